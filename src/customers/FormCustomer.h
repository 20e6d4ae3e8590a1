// The customer dialog: creates a customer, edits one (a new name is carried into every
// money record of the old one) or deletes one, leaving its money records as they are.
#pragma once

#include "CustomerFields.h"
#include "FixedDialog.h"

#include <QList>
#include <QPair>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class TFormCustomer : public TFixedDialog
{
    Q_OBJECT
public:
    // The modal results: a customer was inserted, updated or deleted; or nothing was.
    enum Result { Written = 1, NothingWritten = 2 };

    explicit TFormCustomer(QWidget *parent = nullptr);

    // Input: 0 for a new customer, else the CustomerIndex of the customer to edit.
    qint64 DialogCustomerIndex = 0;

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
    QToolButton *ButtonDelete;

    void FormShow() override;

public slots:
    void ActionYesExecute();
    void ActionNoExecute();
    void ActionDeleteExecute();
    // The close box and Esc end the dialog as 取消 does.
    void reject() override;

private:
    // Column → text of the ten fields, as they are stored: exactly as typed.
    QList<QPair<QString, QString>> values() const;
    void insertCustomer();
    void updateCustomer();

    TCustomerEdits m_edits; // the ten inputs in the order of CustomerFields()
};

extern TFormCustomer *FormCustomer;
