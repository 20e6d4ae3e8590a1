// The account cards: balance on the working date, the month's total, the icon with its
// plus signs, the colours, what an ordinary user sees, and 新增帐户 with its duplicate check.
#include "AccountCards.h"
#include "CardsFixture.h"
#include "Globals.h"
#include "Look.h"
#include "Session.h"

namespace {

struct Entry
{
    int days;        // from the working day
    double amount;
};

struct BalanceCase
{
    int book;               // 0 cash, 1 receivable, 2 payable
    double base;
    QList<Entry> records;
    const char *icon;
    const char *balance;
    const char *month;
    bool red;
};

class AccountCard : public CardsTest, public ::testing::WithParamInterface<BalanceCase> {};

TEST_P(AccountCard, ShowsBalanceMonthIconAndColour)
{
    const BalanceCase c = GetParam();
    const QString type = QList<QString>{Cash(), Get(), Pay()}[c.book];
    const qint64 id = BookRows::Account(db(), QStringLiteral("O'Brien"), type, c.base);
    for (const Entry &e : c.records)
        BookRows::Record(db(), id, Day().addDays(e.days), e.amount);
    startAs(QStringLiteral("出纳"), c.book);
    const TCard *shown = card(main.AccountPage, QStringLiteral("O'Brien"));
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Tag(), id);
    EXPECT_EQ(shown->TypeLabel->text(), type);
    EXPECT_EQ(shown->SecondValue->text(), QString::fromUtf8(c.balance));
    EXPECT_EQ(shown->ThirdValue->text(), QString::fromUtf8(c.month));
    const QColor expected = c.red ? Red() : Blue();
    for (const QLabel *label : {shown->NameValue, shown->SecondValue, shown->ThirdValue,
                                shown->TypeLabel})
        EXPECT_EQ(colour(label), expected) << label->objectName().toStdString();
    const QImage icon = LoadPicture(QString::fromUtf8(c.icon)).toImage();
    ASSERT_FALSE(icon.isNull()) << c.icon;
    EXPECT_EQ(shown->Icon->pixmap().toImage(), icon) << c.icon;
    EXPECT_TRUE(ui.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, AccountCard, ::testing::Values(
    BalanceCase{0, 500, {{0, -500}}, "Res/Money0.ico", "0 元", "-500 元", false},
    BalanceCase{0, 0, {{-40, 20000}, {-1, 15000}}, "Res/Yellow++.ico", "35000 元", "15000 元",
                false},
    BalanceCase{0, 0, {{-3, 120000}}, "Res/Yellow+++.ico", "120000 元", "120000 元", false},
    BalanceCase{0, 0, {{0, 30000}}, "Res/Yellow+.ico", "30000 元", "30000 元", false},
    BalanceCase{0, 0, {{0, 100000}}, "Res/Yellow++.ico", "100000 元", "100000 元", false},
    BalanceCase{1, 200000, {}, "Res/Blue+.ico", "200000 元", "0 元", false},
    BalanceCase{2, 0, {{-2, 12.5}}, "Res/Purple+.ico", "12.5 元", "12.5 元", false},
    BalanceCase{2, 100, {{-2, -100.01}}, "Res/Money-.ico", "-0.01 元", "-100.01 元", true},
    // A record after the working day counts in the month, not in the balance; one in
    // the month before counts in the balance only.
    BalanceCase{0, 0, {{0, 100}, {1, 50}, {-14, 7}}, "Res/Yellow+.ico", "107 元", "150 元",
                false},
    BalanceCase{0, 1000, {{16, -5000}}, "Res/Yellow+.ico", "1000 元", "-5000 元", false},
    BalanceCase{0, 0, {{17, 9}}, "Res/Money0.ico", "0 元", "0 元", false}));

TEST(AccountCardIcon, PlusSignsCountTheRecordsAloneAndCompareStrictly)
{
    const struct { const char *type; double sum; double balance; const char *icon; } cases[] = {
        {"现金帐", 30000, 30000, "Res/Yellow+.ico"},
        {"现金帐", 30000.01, 30000.01, "Res/Yellow++.ico"},
        {"现金帐", 100000, 100000, "Res/Yellow++.ico"},
        {"现金帐", 100000.01, 100000.01, "Res/Yellow+++.ico"},
        {"应收帐", 0, 200000, "Res/Blue+.ico"},
        {"应付帐", 50000, 10, "Res/Purple++.ico"},
        {"应付帐", -50000, 60000, "Res/Purple+.ico"},
        {"现金帐", 5, -0.01, "Res/Money-.ico"},
        {"现金帐", 5, 0.004, "Res/Money0.ico"},
        {"现金帐", 5, -0.004, "Res/Money0.ico"}};
    for (const auto &c : cases)
        EXPECT_EQ(AccountCardIcon(QString::fromUtf8(c.type), c.sum, c.balance),
                  QString::fromUtf8(c.icon))
            << c.type << " " << c.sum << " " << c.balance;
}

// The cashier sees every account of the book and every record; anyone else only accounts
// of his own or the cashier's, and in them only his own records.
TEST_F(CardsTest, AnOrdinaryUserSeesHisAndTheCashiersAccountsAndOnlyHisRecords)
{
    BookRows::User(db(), QStringLiteral("王五"));
    const qint64 his = BookRows::Account(db(), QStringLiteral("王五的"), Cash(), 0,
                                         QStringLiteral("王五"));
    const qint64 cashier = BookRows::Account(db(), QStringLiteral("出纳的"), Cash(), 0,
                                             QStringLiteral("出纳"));
    BookRows::Account(db(), QStringLiteral("李四的"), Cash(), 0, QStringLiteral("李四"));
    BookRows::Account(db(), QStringLiteral("别的帐簿"), Get(), 0, QStringLiteral("王五"));
    BookRows::Record(db(), cashier, Day(), 100, QString(), QStringLiteral("王五"));
    BookRows::Record(db(), cashier, Day(), 1000, QString(), QStringLiteral("出纳"));
    BookRows::Record(db(), his, Day(), 7, QString(), QStringLiteral("李四"));

    startAs(QStringLiteral("王五"));
    EXPECT_EQ(names(main.AccountPage), (QStringList{QStringLiteral("王五的"),
                                                    QStringLiteral("出纳的")}));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("出纳的"))->SecondValue->text(),
              QStringLiteral("100 元"));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("王五的"))->SecondValue->text(),
              QStringLiteral("0 元"));

    ScriptSignIn(ui, QStringLiteral("出纳"));
    main.ActionLoginExecute();
    EXPECT_EQ(names(main.AccountPage).size(), 3);
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("出纳的"))->SecondValue->text(),
              QStringLiteral("1100 元"));
    EXPECT_EQ(card(main.AccountPage, QStringLiteral("王五的"))->SecondValue->text(),
              QStringLiteral("7 元"));
}

// A sum that fails is said once and the page stops at that card.
TEST_F(CardsTest, AFailingSumIsReportedAndStopsTheFill)
{
    BookRows::Account(db(), QStringLiteral("甲"));
    BookRows::Account(db(), QStringLiteral("乙"));
    startAs(QStringLiteral("出纳"));
    ASSERT_EQ(names(main.AccountPage).size(), 2);
    MoneyFilter = QStringLiteral(" And (NoSuchColumn = 1)");
    EXPECT_FALSE(main.FillAccountCards());
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("统计帐户金额时出错")});
}

struct NewAccountCase
{
    int book;
    const char *typed;
    const char *message;
    int accountsAfter;   // in the book chosen
};

class NewAccount : public CardsTest, public ::testing::WithParamInterface<NewAccountCase> {};

// The name must be unique within the book (in any letter case, whoever owns it); another
// book may have it.
TEST_P(NewAccount, IsRefusedOnlyForANameOfTheSameBook)
{
    const NewAccountCase c = GetParam();
    BookRows::User(db(), QStringLiteral("王五"));
    BookRows::Account(db(), QStringLiteral("Bank'A"), Cash(), 0, QStringLiteral("李四"));
    startAs(QStringLiteral("王五"), c.book);
    const QString typed = QString::fromUtf8(c.typed);
    ui.OnModal(QStringLiteral("FormAccount"), [typed](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(typed);
        d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->setText(QStringLiteral("88.5"));
        d->findChild<QPushButton *>(QStringLiteral("SpeedButton1"))->click();
    });
    main.NewAccount->click();
    EXPECT_EQ(ui.Messages(), QStringList{QString::fromUtf8(c.message)});
    const QString type = QList<QString>{Cash(), Get(), Pay()}[c.book];
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From Account Where AccountType = '%1'")
                                        .arg(type)),
              c.accountsAfter);
    if (c.accountsAfter == 1 && c.book != 0) {
        EXPECT_EQ(names(main.AccountPage), QStringList{typed});
        EXPECT_EQ(card(main.AccountPage, typed)->SecondValue->text(), QStringLiteral("88.5 元"));
        EXPECT_EQ(BookRows::Text(db(), QStringLiteral("Select * From Account Where AccountType"
                                                      " = '%1'").arg(type),
                                 QStringLiteral("AccountPower")),
                  QStringLiteral("王五"));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, NewAccount, ::testing::Values(
    NewAccountCase{0, "Bank'A", "该帐户名已经存在，请重新操作", 1},
    NewAccountCase{0, "BANK'a", "该帐户名已经存在，请重新操作", 1},
    NewAccountCase{1, "Bank'A", "帐户　Bank'A　新增成功", 1},
    NewAccountCase{2, "现金'B", "帐户　现金'B　新增成功", 1}));

TEST_F(CardsTest, NewAccountCancelledWritesNothing)
{
    startAs(QStringLiteral("出纳"));
    ui.OnModal(QStringLiteral("FormAccount"), [](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("甲"));
        d->findChild<QPushButton *>(QStringLiteral("SpeedButton2"))->click();
    });
    main.NewAccount->click();
    EXPECT_TRUE(ui.Messages().isEmpty());
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From Account Where AccountIndex > 1")), 0);
    EXPECT_FALSE(main.ImageAccount->isHidden());
}

} // namespace
