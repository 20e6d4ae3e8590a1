// The account dialog: the name and opening amount of a new account or of one being
// edited, and the deletion of an account together with all its money records.
#pragma once

#include "FixedDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFormAccount : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormAccount(QWidget *parent = nullptr);

    // Input: 0 for a new account, else the AccountIndex of the account to edit. Set by
    // the caller before every showing.
    qint64 DialogAccountIndex = 0;
    // Results after OK. In edit mode the name is the stored one until 确定 takes the typed
    // one, so after a deletion it still names the account that went.
    QString DialogAccountName;
    double DialogAccountBase = 0;

    QLabel *LabelTitle;
    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *Edit1; // 帐户名称
    QLineEdit *Edit2; // 起初金额
    QPushButton *SpeedButton1;
    QPushButton *SpeedButton2;
    QPushButton *SpeedButton3;

    void FormShow() override;

public slots:
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
};

extern TFormAccount *FormAccount;
