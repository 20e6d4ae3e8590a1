// The account detail window: one account's name, balance, records of the working month
// and the sum of its records, with the two entry buttons of its book, the account's month
// or all of its records in the report grid, and the renaming, changing or deleting of the
// account through the account dialog.
#pragma once

#include "FixedDialog.h"

#include <functional>

class QLabel;
class QToolButton;

class TFormAccount2 : public TFixedDialog
{
    Q_OBJECT
public:
    explicit TFormAccount2(QWidget *parent = nullptr);

    // Input: the AccountIndex of the account, set by the caller before every showing.
    qint64 DetailAccountIndex = 0;
    // The account's name as the last showing read it.
    QString DetailAccountName;

    // Fills the main window's report grid with ReportCondition and brings its page to the
    // front; set by whoever owns the main window. While unset the list actions only set
    // the condition.
    std::function<void()> ShowReport;

    QLabel *LabelTitle;
    QLabel *Label1;        // 帐户名称
    QLabel *Label2;        // 帐户余额
    QLabel *Label3;        // 记录总数
    QLabel *Label4;        // 当月收支
    QLabel *LabelName;
    QLabel *LabelBalance;
    QLabel *LabelCount;
    QLabel *LabelSum;
    QToolButton *ButtonGet;           // ActionGet: 财务收入, 应收入帐 or 应付入帐
    QToolButton *ButtonPay;           // ActionPay: 财务支出, 应收出帐 or 应付出帐
    QToolButton *ButtonMonth;         // ActionMonth: 当月记录
    QToolButton *ButtonAll;           // ActionAll: 所有记录
    QToolButton *ButtonEditAccount;   // ActionEditAccount: 修改帐户
    QToolButton *ButtonCancel;        // ActionCancel: 取消操作

    // Reads the account and its figures afresh; an account that is gone closes the window.
    void FormShow() override;
    void ActionGetExecute();
    void ActionPayExecute();
    void ActionMonthExecute();
    void ActionAllExecute();
    void ActionEditAccountExecute();
    void ActionCancelExecute();

private:
    void enter(int mode);
    void listRecords(const QString &condition);

    QString m_book;   // the book whose captions and pictures the entry buttons show
};

extern TFormAccount2 *FormAccount2;
