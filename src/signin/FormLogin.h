// Signing in: the user picks a name from the Power table and types its password. The
// name last signed in with is preselected; on success it is stored for the next start and
// handed to the caller (SignedInUser).
#pragma once

#include "FixedDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormLogin : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormLogin(QWidget *parent = nullptr);

    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    void FormShow() override;
    // The name signed in with at the last 确定 that passed; empty before.
    QString SignedInUser() const { return m_user; }

public slots:
    void ActionYesExecute();
    void ActionNoExecute();

private:
    QString m_user;
};

extern TFormLogin *FormLogin;
