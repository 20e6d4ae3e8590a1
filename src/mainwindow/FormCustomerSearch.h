// The customer search: pieces of text for up to ten customer fields that narrow the
// customer cards until the next search; every given piece must match.
#pragma once

#include "CustomerFields.h"
#include "FixedDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFormCustomerSearch : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormCustomerSearch(QWidget *parent = nullptr);

    // Appended to the customer cards' statement: empty, or one " And InStr(field,'text')"
    // for every field with a text, in the order of the fields.
    QString CustomerSearchCondition;

    QLabel *Image1;
    QLineEdit *Edit1; // 客户名称
    QComboBox *ComboBox1; // 省份地区, editable
    QLineEdit *Edit2; // 电话号码
    QLineEdit *Edit9; // 传真号码
    QLineEdit *Edit3; // 联 系 人
    QLineEdit *Edit4; // 联系手机
    QLineEdit *Edit5; // 电子邮箱
    QLineEdit *Edit6; // QQ/MSN
    QLineEdit *Edit7; // 联系地址
    QLineEdit *Edit8; // 备注信息
    QPushButton *ButtonYes;
    QPushButton *ButtonNo;

    // The inputs keep what was typed last time; only the region list is read again.
    void FormShow() override;

public slots:
    void ActionYesExecute();
    void ActionNoExecute();

private:
    TCustomerEdits m_edits;
};

extern TFormCustomerSearch *FormCustomerSearch;
