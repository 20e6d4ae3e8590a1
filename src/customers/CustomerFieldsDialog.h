// The window the customer dialog and the customer search share: a picture in a rounded
// frame, the ten customer fields at their places, and 确定 and 取消.
#pragma once

#include "CustomerFields.h"
#include "FixedDialog.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TCustomerFieldsDialog : public TFixedDialog
{
    Q_OBJECT
public:
    TCustomerFieldsDialog(QWidget *parent, const QString &name, const QString &title,
                          const QString &picture);

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

protected:
    TCustomerEdits m_edits; // the ten inputs in the order of CustomerFields()
};
