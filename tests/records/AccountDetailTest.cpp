// The account detail window through the UI seam: its four figures for the working month,
// the entry buttons of each book, the two lists it hands to the report grid, and 修改帐户
// with the password, the duplicate name check, the rename, the new opening amount and the
// deletion.
#include "BookRows.h"
#include "FormAccount.h"
#include "FormAccount2.h"
#include "FormAsk.h"
#include "FormGetPay.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Scripts.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "SqlText.h"
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

class AccountDetail : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindows(FormAsk, &ask, FormGetPay, &pay, FormAccount, &dialog, FormAccount2,
                        &detail);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(QDate(2007, 2, 14));
        AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        detail.ShowReport = [this] { reported << ReportCondition; };
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    // Shows the detail window of account and runs script in it; true when the window
    // closed itself.
    bool show(qint64 account, ScriptedUi::Script script)
    {
        detail.DetailAccountIndex = account;
        bool closed = false;
        ui.OnModal(QStringLiteral("FormAccount2"), [&](QDialog *d) {
            script(d);
            closed = !d->isVisible();
        });
        Ui::ShowModal(&detail);
        return closed;
    }

    QStringList figures() const
    {
        return {detail.LabelName->text(), detail.LabelBalance->text(),
                detail.LabelCount->text(), detail.LabelSum->text()};
    }

    // The records (by amount) a report condition selects, as the report grid would.
    QStringList selected(const QString &condition)
    {
        DbQuery q(db());
        q.SetSQL(QStringLiteral("Select MoneySum From Account,MoneyTable Where (AccountIndex = "
                                "MoneyAccount)") + AccountFilter + MoneyFilter + condition
                 + QStringLiteral(" Order By MoneyIndex"));
        EXPECT_TRUE(q.Open()) << q.LastError().toStdString();
        QStringList out;
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldByName(QStringLiteral("MoneySum")).AsString();
        return out;
    }

    void password(const char *typed)
    {
        ScriptPassword(ui, typed ? QString::fromUtf8(typed) : QString());
    }

    QString text(const QString &statement, const char *field)
    {
        return BookRows::Text(db(), statement, QLatin1String(field));
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormAsk ask;
    TFormGetPay pay;
    TFormAccount dialog;
    TFormAccount2 detail;
    QStringList reported;
};

// The figures: the balance counts every record, "当月收支" the sum of all of them too,
// "记录总数" only the records of the working month, bounds included.
struct Figures
{
    const char *what;
    double base;
    QList<QPair<QDate, double>> records;
    QStringList shown;   // name, balance, count, sum
};
void PrintTo(const Figures &f, std::ostream *os) { *os << f.what; }

class AccountFigures : public AccountDetail, public ::testing::WithParamInterface<Figures> {};

TEST_P(AccountFigures, ShowsBalanceCountAndSum)
{
    const Figures f = GetParam();
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"), Cash, f.base);
    const qint64 other = BookRows::Account(db(), QStringLiteral("银行"), Cash, 1000);
    for (const auto &r : f.records)
        BookRows::Record(db(), account, r.first, r.second);
    BookRows::Record(db(), other, QDate(2007, 2, 14), 7);
    EXPECT_FALSE(show(account, [](QDialog *) {}));
    EXPECT_EQ(figures(), f.shown);
    EXPECT_EQ(detail.DetailAccountName, QStringLiteral("现金"));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, AccountFigures, ::testing::Values(
    Figures{"opening 100, +50 last month, -20 this month", 100,
            {{QDate(2007, 1, 20), 50}, {QDate(2007, 2, 10), -20}},
            {"现金", "130 元", "1 条", "30 元"}},
    Figures{"the month runs from 2007-02-01 to 2007-02-28", 0,
            {{QDate(2007, 1, 31), 1}, {QDate(2007, 2, 1), 2}, {QDate(2007, 2, 28), 4},
             {QDate(2007, 3, 1), 8}},
            {"现金", "15 元", "2 条", "15 元"}},
    Figures{"no records", 250.5, {}, {"现金", "250.5 元", "0 条", "0 元"}},
    Figures{"a negative balance", -10, {{QDate(2007, 2, 3), -0.456}},
            {"现金", "-10.46 元", "1 条", "-0.46 元"}}));

// The entry buttons are named after the book the pages show.
TEST_F(AccountDetail, EntryCaptionsFollowTheBook)
{
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"), Cash);
    const struct { QString book; QString get; QString pay; } books[] = {
        {Cash, QStringLiteral("财务收入"), QStringLiteral("财务支出")},
        {Receivable, QStringLiteral("应收入帐"), QStringLiteral("应收出帐")},
        {Payable, QStringLiteral("应付入帐"), QStringLiteral("应付出帐")},
    };
    for (const auto &b : books) {
        Session::SetBook(b.book);
        QString get, pay;
        show(account, [&](QDialog *) {
            get = detail.ButtonGet->text();
            pay = detail.ButtonPay->text();
        });
        EXPECT_EQ(get, b.get) << b.book.toStdString();
        EXPECT_EQ(pay, b.pay) << b.book.toStdString();
    }
}

// An entry button opens the entry window for this account, locked, on the working date;
// a saved record closes the detail window too, a cancelled one leaves it open.
struct Entry
{
    const char *what;
    bool get;
    bool save;
    int mode;
    double stored;
};
void PrintTo(const Entry &e, std::ostream *os) { *os << e.what; }

class AccountEntry : public AccountDetail, public ::testing::WithParamInterface<Entry> {};

TEST_P(AccountEntry, OpensTheEntryWindowForThisAccount)
{
    const Entry e = GetParam();
    BookRows::Account(db(), QStringLiteral("银行"), Cash);
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"), Cash);
    // No write-off question after a cash record: the follow-up is not this window's.
    for (const QString &key : {SettingKey::IncomePrompt, SettingKey::ExpensePrompt})
        WriteSetting(SettingKey::Section, key, QStringLiteral("不提示"), SettingsFile);
    pay.EntryAmountText = QStringLiteral("left over");
    bool locked = false;
    QString accountShown, amount;
    QDate date;
    int mode = -1;
    ui.OnModal(QStringLiteral("FormGetPay"), [&](QDialog *) {
        mode = pay.EntryMode;
        locked = !pay.ComboBox1->isEnabled();
        accountShown = pay.ComboBox1->currentText();
        amount = pay.Edit2->text();
        date = pay.DateTimePicker1->date();
        if (!e.save) {
            pay.BitBtn2->click();
            return;
        }
        pay.Edit2->setText(QStringLiteral("25"));
        pay.BitBtn1->click();
    });
    const bool closed = show(account, [&](QDialog *) {
        (e.get ? detail.ButtonGet : detail.ButtonPay)->click();
    });
    EXPECT_EQ(mode, e.mode);
    EXPECT_TRUE(locked);
    EXPECT_EQ(accountShown, QStringLiteral("现金"));
    EXPECT_EQ(amount, QString());
    EXPECT_EQ(date, QDate(2007, 2, 14));
    EXPECT_EQ(closed, e.save);
    EXPECT_EQ(DataChanged, e.save);
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyAccount = %1 "
                                                   "And MoneySum = %2")
                                        .arg(account)
                                        .arg(e.stored)),
              e.save ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, AccountEntry, ::testing::Values(
    Entry{"income saved", true, true, TFormGetPay::NewIncome, 25},
    Entry{"expense saved", false, true, TFormGetPay::NewExpense, -25},
    Entry{"income cancelled", true, false, TFormGetPay::NewIncome, 25}));

// The viewer gets no reaction from the entry buttons and from 修改帐户.
TEST_F(AccountDetail, TheViewerCannotEnterOrEdit)
{
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"), Cash);
    Session::SetUser(QStringLiteral("查看"));
    const bool closed = show(account, [this](QDialog *) {
        detail.ButtonGet->click();
        detail.ButtonPay->click();
        detail.ButtonEditAccount->click();
    });
    EXPECT_FALSE(closed);
    EXPECT_EQ(ui.Shows(), QStringList{"FormAccount2"});
    EXPECT_TRUE(ui.Messages().isEmpty());
}

// 当月记录 and 所有记录, for every user: the condition selects this account's records of the
// month, or all of them; the report is shown and the window closes.
TEST_F(AccountDetail, ListsTheAccountsRecordsInTheReportGrid)
{
    const qint64 account = BookRows::Account(db(), QStringLiteral("O'Neil 现金"), Cash);
    const qint64 other = BookRows::Account(db(), QStringLiteral("银行"), Cash);
    BookRows::Record(db(), account, QDate(2007, 1, 31), 1);
    BookRows::Record(db(), account, QDate(2007, 2, 1), 2);
    BookRows::Record(db(), other, QDate(2007, 2, 10), 3);
    BookRows::Record(db(), account, QDate(2007, 2, 28), 4);
    BookRows::Record(db(), account, QDate(2007, 3, 1), 5);
    Session::SetUser(QStringLiteral("查看"));
    EXPECT_TRUE(show(account, [this](QDialog *) { detail.ButtonMonth->click(); }));
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(selected(reported.last()), (QStringList{"2", "4"}));
    EXPECT_TRUE(show(account, [this](QDialog *) { detail.ButtonAll->click(); }));
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(selected(reported.last()), (QStringList{"1", "2", "4", "5"}));
    EXPECT_EQ(ReportCondition, reported.last());
    EXPECT_FALSE(DataChanged);
}

// 修改帐户: each outcome with its messages, what is stored afterwards and whether the window
// closes.
enum class Then { Nothing, Rename, Cancel, Delete };
struct Change
{
    const char *what;
    const char *password;   // nullptr: the prompt is cancelled
    Then then;
    const char *name;       // typed in the account dialog
    const char *base;
    QStringList messages;
    bool closed;
    const char *storedName; // the account's name afterwards; empty when it is gone
    double storedBase;
};
void PrintTo(const Change &c, std::ostream *os) { *os << c.what; }

class AccountChange : public AccountDetail, public ::testing::WithParamInterface<Change> {};

TEST_P(AccountChange, RenamesChangesOrDeletesTheAccount)
{
    const Change c = GetParam();
    const qint64 account = BookRows::Account(db(), QStringLiteral("cash box"), Cash, 100);
    BookRows::Account(db(), QStringLiteral("银行"), Cash);
    BookRows::Account(db(), QStringLiteral("甲应收"), Receivable);
    BookRows::Record(db(), account, QDate(2007, 2, 1), 5);
    password(c.password);
    if (c.then != Then::Nothing)
        ui.OnModal(QStringLiteral("FormAccount"), [&c](QDialog *d) {
            auto *f = static_cast<TFormAccount *>(d);
            if (c.then == Then::Delete) {
                f->SpeedButton3->click();
                return;
            }
            f->Edit1->setText(QString::fromUtf8(c.name));
            f->Edit2->setText(QString::fromUtf8(c.base));
            (c.then == Then::Cancel ? f->SpeedButton2 : f->SpeedButton1)->click();
        });
    if (c.then == Then::Delete)
        ui.answers << true;
    const bool closed = show(account, [this](QDialog *) { detail.ButtonEditAccount->click(); });
    EXPECT_EQ(ui.Messages(), c.messages);
    EXPECT_EQ(closed, c.closed);
    EXPECT_EQ(DataChanged, c.closed);
    const QString row =
        QStringLiteral("Select * From Account Where AccountIndex = %1").arg(account);
    EXPECT_EQ(text(row, "AccountName"), QString::fromUtf8(c.storedName));
    if (*c.storedName) {
        EXPECT_EQ(text(row, "AccountBase").toDouble(), c.storedBase);
    }
    // A rename leaves the records with their account; a deletion takes them along.
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyAccount = %1")
                                        .arg(account)),
              *c.storedName ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Table, AccountChange, ::testing::Values(
    Change{"prompt cancelled", nullptr, Then::Nothing, "", "", {}, false, "cash box", 100},
    Change{"wrong password", "4321", Then::Nothing, "", "", {"密码错误，请重新操作"}, false,
           "cash box", 100},
    Change{"account dialog cancelled", "1234", Then::Cancel, "新名字", "5", {}, false,
           "cash box", 100},
    Change{"renamed to another account of the book", "1234", Then::Rename, "银行", "100",
           {"该帐户名已经存在，请重新操作"}, false, "cash box", 100},
    Change{"renamed to an account of another book", "1234", Then::Rename, "甲应收", "100",
           {"帐户　甲应收　修改成功"}, true, "甲应收", 100},
    Change{"the same name, a new opening amount", "1234", Then::Rename, "cash box", "-20.5",
           {"帐户　cash box　修改成功"}, true, "cash box", -20.5},
    Change{"only the case of its letters changed", "1234", Then::Rename, "Cash Box", "100",
           {"帐户　Cash Box　修改成功"}, true, "Cash Box", 100},
    Change{"a name with a quote", "1234", Then::Rename, "O'Neil's", "1",
           {"帐户　O'Neil's　修改成功"}, true, "O'Neil's", 1},
    Change{"deleted in the dialog", "1234", Then::Delete, "", "",
           {"帐户　cash box　删除成功"}, true, "", 0}));

// An account that went meanwhile says so and closes; its old name reaches nothing.
TEST_F(AccountDetail, AnAccountThatIsGoneClosesTheWindow)
{
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"), Cash);
    show(account, [](QDialog *) {});
    BookRows::Exec(db(),
                   QStringLiteral("DELETE FROM Account WHERE AccountIndex = %1").arg(account));
    detail.DetailAccountIndex = account;
    ui.OnModal(QStringLiteral("FormAccount2"), [](QDialog *) {});
    EXPECT_EQ(Ui::ShowModal(&detail), QDialog::Rejected);
    EXPECT_EQ(ui.Messages(), QStringList{"找不到该帐户，它可能已被删除"});
    EXPECT_TRUE(detail.DetailAccountName.isEmpty());
}

} // namespace
