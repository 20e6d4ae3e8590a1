// The report query builder: the user's choices of dates, amounts, document type and
// number, customer, accounts, kind, category, voucher, salesman and remark turned into
// ReportCondition, the conditions the report grid appends to its statement.
#pragma once

#include "FixedDialog.h"

class QCheckBox;
class QComboBox;
class QCompleter;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStringListModel;

class TFormMakeReport : public TFixedDialog
{
    Q_OBJECT
public:
    // The modal results: a new condition was built, or the builder was cancelled and the
    // condition is as it was.
    enum Result { Built = 1, Cancelled = 2 };

    explicit TFormMakeReport(QWidget *parent = nullptr);

    // The first entry of every list: the input restricts nothing.
    static QString All() { return QStringLiteral("所有"); }
    // The document types of ComboBox5, in its order.
    enum DocumentType { AnyDocument, IncomeDocument, ExpenseDocument };

    QLabel *Image1;             // the current account book
    QLabel *Label5;             // 单据类型
    QComboBox *ComboBox5;
    QCheckBox *CheckBox1;       // 时间范围
    QDateEdit *DateTimePicker1;
    QDateEdit *DateTimePicker2;
    QCheckBox *CheckBox2;       // 金额范围
    QLineEdit *Edit2;           // lower amount
    QLineEdit *Edit4;           // upper amount
    QLabel *Label6;             // 单据编号
    QLineEdit *Edit5;
    QLabel *Label7;             // 客户名称
    QComboBox *ComboBox6;       // editable
    QLabel *Label1;             // 帐户名称
    QListWidget *ListBox1;      // several may be chosen
    QLabel *Label2;             // 收支种类
    QComboBox *ComboBox2;       // editable
    QLabel *Label3;             // 类别
    QComboBox *ComboBox3;
    QLabel *Label4;             // 凭证
    QComboBox *ComboBox4;
    QLabel *Label8;             // 业务员
    QComboBox *ComboBox7;
    QLabel *Label9;             // 备注
    QLineEdit *Edit3;
    QPushButton *BitBtn1;       // 确定: build
    QPushButton *BitBtn2;       // 取消

    // Reloads every list, resets the dates, the boxes and the texts; the document type
    // stays as it was chosen.
    void FormShow() override;
    // Builds ReportCondition from the choices and closes with Built; a bad amount is
    // refused with the condition left empty and the window open.
    void BitBtn1Click();
    void BitBtn2Click();
    void CheckBox1Click();
    void CheckBox2Click();

private:
    bool fillAccounts();
    bool fillPickLists();
    bool fillCustomers();
    bool amountAccepted(QLineEdit *edit);

    QStringListModel *m_customers;
    QCompleter *m_customerCompleter;
};

extern TFormMakeReport *FormMakeReport;
