// The money record entry window: one money record as a form of ten fields, new or
// existing, income or expense. It checks the input, writes the MoneyTable row, keeps the
// book's last document number and, after a new cash record, offers to enter the matching
// receivable or payable 出帐 at once in the follow-up window (TFormGetPay2).
#pragma once

#include "BookKind.h"
#include "FixedDialog.h"

#include <QDate>

class DbQuery;
class QComboBox;
class QCompleter;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QStringListModel;
class QVariant;

class TFormGetPay : public TFixedDialog
{
    Q_OBJECT
public:
    enum Mode { NewIncome = 0, EditIncome = 1, NewExpense = 2, EditExpense = 3 };

    explicit TFormGetPay(QWidget *parent = nullptr);

    // Inputs, set by the caller before showing the window. EntryAccountName and
    // EntryCustomerName lock their field to that one name and are cleared once applied;
    // the others keep their values between showings, so every caller sets those its mode
    // uses. The preset texts and EntryDate serve the new modes, EntryRecordIndex the edit
    // modes. EntryAccountFilter is added to the account list and to the account lookup at
    // saving; EntryAccountType (a book's name, BookKind.h) picks the header picture, the last
    // document number row and whether the write-off is offered.
    int EntryMode = NewIncome;
    qint64 EntryRecordIndex = 0;
    QString EntryAccountName;
    QString EntryCustomerName;
    QString EntryCustomerText;
    QString EntryAmountText;
    QString EntryRemarkText;
    QString EntryManText;
    QDate EntryDate;   // the working date when not set
    QString EntryAccountFilter;
    QString EntryAccountType = BookKindOf(BookId::Cash).name;

    QLabel *Image1;
    QLabel *Label1;            // 单据编号
    QLineEdit *Edit4;
    QLabel *Label2;            // 帐户名称
    QComboBox *ComboBox1;
    QLabel *Label3;            // 客户名称
    QComboBox *ComboBox5;
    QLabel *Label4;            // 录入时间
    QDateEdit *DateTimePicker1;
    QLabel *Label5;            // 金额
    QLineEdit *Edit2;
    QLabel *Label6;            // 收支种类
    QComboBox *ComboBox2;
    QLabel *Label7;            // 业务员
    QComboBox *ComboBox6;
    QLabel *Label8;            // 款项类别
    QComboBox *ComboBox3;
    QLabel *Label9;            // 凭证
    QComboBox *ComboBox4;
    QLabel *Label10;           // 备注
    QLineEdit *Edit3;
    QPushButton *BitBtn1;      // 保存
    QPushButton *BitBtn3;      // 删除, edit modes
    QPushButton *PrintButton;  // 打印 (ActionPrint), edit modes: the bill (BillPrint.cpp)
    QPushButton *BitBtn2;      // 取消

    bool IsEditMode() const { return EntryMode == EditIncome || EntryMode == EditExpense; }
    bool IsIncome() const { return EntryMode == NewIncome || EntryMode == EditIncome; }

    // Fills every list and field afresh from the database and the inputs.
    void FormShow() override;
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    // The bill of the stored record, with the amount on the screen in capitals (MoneyCN).
    void ActionPrintExecute();
    // The bill's value callback: answers MoneyCN only.
    bool frReport1GetValue(const QString &name, QVariant *value) const;
    // The amount in capitals computed by the last print.
    QString MoneyCN;

protected:
    TFormGetPay(QWidget *parent, const QString &name);
    // Whether a new cash record offers the matching 出帐; the follow-up window does not.
    virtual bool OffersWriteOff() const { return true; }

private:
    void build();
    void clearFields();
    bool fillAccounts();
    bool fillCustomers();
    bool fillPickLists();
    bool loadRecord();
    bool presetNew();
    int documentRow() const;
    void placeButtons();
    void closeAtOnce();
    bool checkInput(double *amount);
    bool lookUpAccount(qint64 *account);
    void setAmountFields(DbQuery &query, double amount) const;
    void saveNew(qint64 account, double amount);
    bool openRecordToChange(const QString &gone);
    void saveEdit(qint64 account, double amount);
    void writeOffPrompt();
    void refuse(const QString &message, QWidget *field);

    QStringListModel *m_customers;
    QCompleter *m_customerCompleter;
    int m_showing = 0;   // counts showings, so a late close never hits a later one
    // The book's last document number when the window was shown, and the next one that
    // was offered: another computer on the same book may take that one meanwhile.
    QString m_lastNumberShown;
    QString m_numberOffered;
};

extern TFormGetPay *FormGetPay;
