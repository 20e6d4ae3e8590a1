// The customer detail window through the UI seam: the customer's data and the totals of
// its receivable, payable and cash records (the visibility filter, the working month),
// the six entry buttons with their locked customer and accounts, 信息修改 with the
// password and the customer dialog (a rename reloads, a deletion closes), the six record
// lists with their date ranges, and 关闭窗口.
#include "BookRows.h"
#include "FormAsk.h"
#include "FormCustomer.h"
#include "FormCustomer2.h"
#include "FormGetPay.h"
#include "FormGetPay2.h"
#include "FormRecord.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QString Cash = QStringLiteral("现金帐");
const QString Receivable = QStringLiteral("应收帐");
const QString Payable = QStringLiteral("应付帐");
const QString Name = QStringLiteral("O'Brien 商行");
const QDate Working(2024, 6, 14);

class CustomerDetail : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindows(FormAsk, &ask, FormGetPay, &pay, FormGetPay2, &pay2, FormCustomer, &dialog,
                        FormRecord, &list, FormCustomer2, &detail);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(Working);
        cash = BookRows::Account(db(), QStringLiteral("现金"), Cash);
        bank = BookRows::Account(db(), QStringLiteral("小李的银行"), Cash, 0, QStringLiteral("小李"));
        owed = BookRows::Account(db(), QStringLiteral("甲应收"), Receivable);
        owing = BookRows::Account(db(), QStringLiteral("乙应付"), Payable);
        customer = BookRows::Customer(db(), Name, QStringLiteral("浙江"));
        other = BookRows::Customer(db(), QStringLiteral("南方公司"));
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    // Shows the window for the customer and runs script in it; the modal result.
    int show(qint64 index, ScriptedUi::Script script)
    {
        detail.DetailCustomerIndex = index;
        ui.OnModal(QStringLiteral("FormCustomer2"), std::move(script));
        return Ui::ShowModal(&detail);
    }

    // The three figures of the left box and the three of the right one.
    QStringList totals() const
    {
        return {detail.LabelGet->text(),   detail.LabelPay->text(),   detail.LabelOwed->text(),
                detail.LabelMoney->text(), detail.LabelMonth->text(), detail.LabelCount->text()};
    }

    void password(const QString &typed) { ScriptPassword(ui, typed); }

    TestDatabase data;
    ScriptedUi ui;
    TFormAsk ask;
    TFormGetPay pay;
    TFormGetPay2 pay2;
    TFormCustomer dialog;
    TFormRecord list;
    TFormCustomer2 detail;
    qint64 cash = 0, bank = 0, owed = 0, owing = 0, customer = 0, other = 0;
};

// The ten values of the customer's row, and 关闭窗口 with its result.
TEST_F(CustomerDetail, ShowsTheCustomersDataAndClosesWithTwo)
{
    BookRows::Exec(db(), QStringLiteral("UPDATE Customer SET CustomerPhone = '0571-1', "
                                        "CustomerFax = '0571-2', CustomerContact = '王五', "
                                        "CustomerHandPhone = '139', CustomerEmail = 'a@b.cn', "
                                        "CustomerQQ = '123', CustomerAddress = '杭州路 1 号', "
                                        "CustomerRemark = '老客户' WHERE CustomerIndex = %1")
                                 .arg(customer));
    QStringList values;
    EXPECT_EQ(show(customer, [&](QDialog *) {
                  for (const QLabel *label : detail.Values)
                      values << label->text();
                  detail.ButtonCancel->click();
              }),
              TFormCustomer2::Closed);
    EXPECT_EQ(values, (QStringList{Name, "浙江", "0571-1", "0571-2", "王五", "139", "a@b.cn",
                                   "123", "杭州路 1 号", "老客户"}));
    EXPECT_EQ(detail.DetailCustomerName, Name);
}

// The totals: receivable less payable owed, the cash total, its month and its count; each
// book whatever the pages show, only this customer's records, only those the user may see.
struct Totals
{
    const char *what;
    const char *user;
    QStringList shown;
};
void PrintTo(const Totals &t, std::ostream *os) { *os << t.what; }

class CustomerTotals : public CustomerDetail, public ::testing::WithParamInterface<Totals> {};

TEST_P(CustomerTotals, SumsTheCustomersRecordsByBook)
{
    const Totals t = GetParam();
    const QString me = QString::fromUtf8(t.user);
    if (*t.user) {
        BookRows::Record(db(), owed, Working, 500, Name);
        BookRows::Record(db(), owing, Working, 200, Name);
        BookRows::Record(db(), owed, QDate(2023, 1, 1), -50, Name, QStringLiteral("小李"));
        BookRows::Record(db(), cash, QDate(2024, 5, 31), 100, Name);
        BookRows::Record(db(), cash, QDate(2024, 6, 1), 30.125, Name);
        BookRows::Record(db(), bank, QDate(2024, 6, 30), -10, Name, QStringLiteral("小李"));
        BookRows::Record(db(), cash, QDate(2024, 7, 1), 7, Name);
        BookRows::Record(db(), owing, Working, 900, QStringLiteral("南方公司"));
        BookRows::Record(db(), cash, Working, 900, QStringLiteral("南方公司"));
    }
    Session::SetUser(me.isEmpty() ? QStringLiteral("出纳") : me);
    // The pages show the cash book only: the totals cover every book regardless.
    AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
    if (SeesOwnRowsOnly(Session::User()))
        MoneyFilter = QStringLiteral(" And (MoneyPower='%1')").arg(me);
    show(customer, [](QDialog *) {});
    EXPECT_EQ(totals(), t.shown);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, CustomerTotals, ::testing::Values(
    Totals{"no records", "", {"0 元", "0 元", "0 元", "0 元", "0 元", "0 条"}},
    Totals{"the cashier sees every record", "出纳",
           {"450 元", "200 元", "250 元", "127.13 元", "20.13 元", "4 条"}},
    Totals{"an ordinary user sees only his own", "小李",
           {"-50 元", "0 元", "-50 元", "-10 元", "-10 元", "1 条"}}));

// Payable above receivable leaves a negative balance; the month follows the working date.
TEST_F(CustomerDetail, TheBalanceMayBeNegativeAndTheMonthFollowsTheWorkingDate)
{
    BookRows::Record(db(), owed, Working, 200, Name);
    BookRows::Record(db(), owing, Working, 500, Name);
    BookRows::Record(db(), cash, QDate(2024, 2, 29), 40, Name);
    BookRows::Record(db(), cash, Working, 60, Name);
    Session::SetWorkingDate(QDate(2024, 2, 10));
    show(customer, [](QDialog *) {});
    EXPECT_EQ(totals(), (QStringList{"200 元", "500 元", "-300 元", "100 元", "40 元", "2 条"}));
}

// The six entry buttons, for every user: the customer locked, the accounts of the button's
// book that the user may see (an ordinary user his own and the cashier's), the working
// date; a saved record brings new totals.
struct Entry
{
    const char *button;
    int mode;
    const char *book;
    const char *user;
    QStringList accounts;
};
void PrintTo(const Entry &e, std::ostream *os) { *os << e.button << " as " << e.user; }

class CustomerEntry : public CustomerDetail, public ::testing::WithParamInterface<Entry> {};

TEST_P(CustomerEntry, StartsARecordForTheCustomer)
{
    const Entry e = GetParam();
    BookRows::Account(db(), QStringLiteral("小王的现金"), Cash, 0, QStringLiteral("小王"));
    Session::SetUser(QString::fromUtf8(e.user));
    for (const QString &key : {SettingKey::IncomePrompt, SettingKey::ExpensePrompt})
        WriteSetting(SettingKey::Section, key, QStringLiteral("不提示"), SettingsFile);
    QStringList accounts;
    QString customerShown, title;
    bool customerLocked = false;
    QDate date;
    ui.OnModal(QStringLiteral("FormGetPay"), [&](QDialog *d) {
        title = d->windowTitle();
        customerShown = pay.ComboBox5->currentText();
        customerLocked = !pay.ComboBox5->isEnabled();
        date = pay.DateTimePicker1->date();
        for (int i = 0; i < pay.ComboBox1->count(); ++i)
            accounts << pay.ComboBox1->itemText(i);
        pay.Edit2->setText(QStringLiteral("12.5"));
        pay.BitBtn1->click();
    });
    QStringList before, after;
    show(customer, [&](QDialog *d) {
        before = totals();
        d->findChild<QToolButton *>(QLatin1String(e.button))->click();
        after = totals();
    });
    EXPECT_EQ(pay.EntryMode, e.mode);
    EXPECT_EQ(pay.EntryAccountType, QString::fromUtf8(e.book));
    EXPECT_EQ(customerShown, Name);
    EXPECT_TRUE(customerLocked);
    EXPECT_EQ(date, Working);
    EXPECT_EQ(accounts, e.accounts);
    EXPECT_EQ(ui.Messages(), QStringList{"记录新增成功"});
    EXPECT_NE(before, after);
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyUser = "
                                                   "'O''Brien 商行' And ABS(MoneySum) = 12.5")),
              1);
}

INSTANTIATE_TEST_SUITE_P(Table, CustomerEntry, ::testing::Values(
    Entry{"ButtonGetIn", TFormGetPay::NewIncome, "应收帐", "出纳", {"甲应收"}},
    Entry{"ButtonGetOut", TFormGetPay::NewExpense, "应收帐", "查看", {"甲应收"}},
    Entry{"ButtonPayIn", TFormGetPay::NewIncome, "应付帐", "出纳", {"乙应付"}},
    Entry{"ButtonPayOut", TFormGetPay::NewExpense, "应付帐", "出纳", {"乙应付"}},
    Entry{"ButtonMoneyIn", TFormGetPay::NewIncome, "现金帐", "出纳",
          {"现金", "小李的银行", "小王的现金"}},
    Entry{"ButtonMoneyOut", TFormGetPay::NewExpense, "现金帐", "小李",
          {"现金", "小李的银行"}}));

// 信息修改: the viewer gets nothing; a wrong password opens no dialog; a rename reloads the
// window under the new name with the same totals; a deletion closes it.
TEST_F(CustomerDetail, EditingTheCustomer)
{
    BookRows::Record(db(), owed, Working, 500, Name);
    Session::SetUser(QStringLiteral("查看"));
    show(customer, [this](QDialog *) { detail.Button1->click(); });
    EXPECT_EQ(ui.Shows(), QStringList{"FormCustomer2"});

    Session::SetUser(QStringLiteral("出纳"));
    password(QStringLiteral("12345"));
    show(customer, [this](QDialog *) { detail.Button1->click(); });
    EXPECT_EQ(ui.Messages(), QStringList{"密码错误，请重新操作"});
    EXPECT_FALSE(DataChanged);

    ui.Clear();
    password(QStringLiteral("1234"));
    ui.OnModal(QStringLiteral("FormCustomer"), [this](QDialog *) {
        dialog.Edit1->setText(QStringLiteral("新名 商行"));
        dialog.ButtonYes->click();
    });
    QString name, get;
    bool open = false;
    show(customer, [&](QDialog *d) {
        detail.Button1->click();
        name = detail.Values[0]->text();
        get = detail.LabelGet->text();
        open = d->isVisible();
    });
    EXPECT_TRUE(open);
    EXPECT_EQ(name, QStringLiteral("新名 商行"));
    EXPECT_EQ(detail.DetailCustomerName, QStringLiteral("新名 商行"));
    EXPECT_EQ(get, QStringLiteral("500 元"));
    EXPECT_TRUE(DataChanged);
    EXPECT_EQ(ui.Messages(), QStringList{"客户资料修改成功"});

    DataChanged = false;
    password(QStringLiteral("1234"));
    ui.OnModal(QStringLiteral("FormCustomer"),
               [this](QDialog *) { dialog.ButtonDelete->click(); });
    ui.answers << true;
    EXPECT_EQ(show(customer, [&](QDialog *d) {
                  detail.Button1->click();
                  open = d->isVisible();
              }),
              TFormCustomer2::Closed);
    EXPECT_FALSE(open);
    EXPECT_TRUE(DataChanged);
}

// The six lists: the customer, the book and the range each hands to the record list.
struct List
{
    const char *button;
    const char *book;
    bool month;
};
void PrintTo(const List &l, std::ostream *os) { *os << l.button; }

class CustomerLists : public CustomerDetail, public ::testing::WithParamInterface<List> {};

TEST_P(CustomerLists, OpenTheRecordListForTheBookAndRange)
{
    const List l = GetParam();
    list.ListDateFrom = QDate(2000, 1, 1);
    QString type, name;
    QDate from, to;
    ui.OnModal(QStringLiteral("FormRecord"), [&](QDialog *) {
        type = list.ListAccountType;
        name = list.ListCustomerName;
        from = list.ListDateFrom;
        to = list.ListDateTo;
    });
    show(customer, [&](QDialog *d) {
        d->findChild<QPushButton *>(QLatin1String(l.button))->click();
    });
    EXPECT_EQ(type, QString::fromUtf8(l.book));
    EXPECT_EQ(name, Name);
    EXPECT_EQ(from, l.month ? QDate(2024, 6, 1) : TFormRecord::NoRange());
    EXPECT_EQ(to, l.month ? QDate(2024, 6, 30) : TFormRecord::NoRange());
}

INSTANTIATE_TEST_SUITE_P(Table, CustomerLists, ::testing::Values(
    List{"Button2", "应收帐", true}, List{"Button3", "应收帐", false},
    List{"Button4", "应付帐", true}, List{"Button5", "应付帐", false},
    List{"Button6", "现金帐", true}, List{"Button7", "现金帐", false}));

// A record changed in a list brings new totals when the list closes.
TEST_F(CustomerDetail, ARecordChangedInAListReloadsTheTotals)
{
    const qint64 record = BookRows::Record(db(), owed, Working, 500, Name);
    QString before, after;
    ui.OnModal(QStringLiteral("FormRecord"), [&](QDialog *) {
        BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneySum = 300 WHERE "
                                            "MoneyIndex = %1").arg(record));
        DataChanged = true;
    });
    show(customer, [&](QDialog *) {
        before = detail.LabelGet->text();
        detail.Button3->click();
        after = detail.LabelGet->text();
    });
    EXPECT_EQ(before, QStringLiteral("500 元"));
    EXPECT_EQ(after, QStringLiteral("300 元"));
    EXPECT_TRUE(DataChanged);
}

// A customer deleted elsewhere says so and closes: no other customer's figures show.
TEST_F(CustomerDetail, ACustomerThatIsGoneClosesTheWindow)
{
    BookRows::Exec(db(), QStringLiteral("DELETE FROM Customer WHERE CustomerIndex = %1")
                             .arg(customer));
    EXPECT_EQ(show(customer, [](QDialog *) {}), TFormCustomer2::Closed);
    EXPECT_EQ(ui.Messages(), QStringList{"找不到该客户，它可能已被删除"});
}

} // namespace
