// The customer cards: receivable and payable totals up to the working date over the
// accounts of every owner, the colour rule, what an ordinary user sees, and 新增客户.
#include "CardsFixture.h"
#include "Session.h"

namespace {

struct Entry
{
    int book;     // 0 cash, 1 receivable, 2 payable
    int days;     // from the working day
    double amount;
};

struct CustomerCase
{
    QList<Entry> records;
    const char *receivable;
    const char *payable;
    bool red;
};

class CustomerCard : public CardsTest, public ::testing::WithParamInterface<CustomerCase> {};

TEST_P(CustomerCard, ShowsWhatIsOwedBothWaysUpToTheWorkingDay)
{
    const CustomerCase c = GetParam();
    const QString name = QStringLiteral("O'Neil's");
    const qint64 id = BookRows::Customer(db(), name, QStringLiteral("上海"));
    BookRows::Customer(db(), QStringLiteral("旁人"));
    // Accounts of two owners in each book: the totals take them all.
    qint64 accounts[3][2];
    const QString types[] = {Cash(), Get(), Pay()};
    for (int b = 0; b < 3; ++b)
        for (int o = 0; o < 2; ++o)
            accounts[b][o] = BookRows::Account(db(), QStringLiteral("帐户%1%2").arg(b).arg(o),
                                               types[b], 0,
                                               o ? QStringLiteral("李四") : QStringLiteral("出纳"));
    int n = 0;
    for (const Entry &e : c.records)
        BookRows::Record(db(), accounts[e.book][n++ % 2], Day().addDays(e.days), e.amount, name);
    BookRows::Record(db(), accounts[1][0], Day(), 999, QStringLiteral("旁人"));
    startAs(QStringLiteral("出纳"));
    const TCard *shown = card(main.CustomerPage, name);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Tag(), id);
    EXPECT_EQ(shown->TypeLabel->text(), QStringLiteral("上海"));
    EXPECT_EQ(shown->SecondValue->text(), QString::fromUtf8(c.receivable));
    EXPECT_EQ(shown->ThirdValue->text(), QString::fromUtf8(c.payable));
    const QColor expected = c.red ? Red() : Blue();
    for (const QLabel *label : {shown->NameValue, shown->SecondValue, shown->ThirdValue,
                                shown->TypeLabel})
        EXPECT_EQ(colour(label), expected) << label->objectName().toStdString();
    EXPECT_TRUE(ui.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Table, CustomerCard, ::testing::Values(
    CustomerCase{{{1, 0, 100}, {1, -3, 200}, {2, -1, 500}}, "300 元", "500 元", true},
    CustomerCase{{{1, 0, 500}, {2, 0, 500}}, "500 元", "500 元", false},
    CustomerCase{{{0, 0, 800}, {0, -5, -50}}, "0 元", "0 元", false},
    CustomerCase{{{1, 0, 10}, {1, 1, 1000}, {2, 1, 20}}, "10 元", "0 元", false},
    CustomerCase{{{2, 0, 0.01}}, "0 元", "0.01 元", true},
    CustomerCase{{{1, -400, 12.344}, {2, -1, -3}}, "12.34 元", "-3 元", false}));

TEST_F(CardsTest, AnOrdinaryUserSeesHisAndTheCashiersCustomersAndOnlyHisRecords)
{
    BookRows::User(db(), QStringLiteral("王五"));
    BookRows::Customer(db(), QStringLiteral("王五的"), QString(), QStringLiteral("王五"));
    BookRows::Customer(db(), QStringLiteral("出纳的"), QString(), QStringLiteral("出纳"));
    BookRows::Customer(db(), QStringLiteral("李四的"), QString(), QStringLiteral("李四"));
    const qint64 get = BookRows::Account(db(), QStringLiteral("应收"), Get(), 0,
                                         QStringLiteral("李四"));
    BookRows::Record(db(), get, Day(), 40, QStringLiteral("出纳的"), QStringLiteral("王五"));
    BookRows::Record(db(), get, Day(), 400, QStringLiteral("出纳的"), QStringLiteral("出纳"));
    startAs(QStringLiteral("王五"), 2);
    EXPECT_EQ(names(main.CustomerPage), (QStringList{QStringLiteral("王五的"),
                                                     QStringLiteral("出纳的")}));
    EXPECT_EQ(card(main.CustomerPage, QStringLiteral("出纳的"))->SecondValue->text(),
              QStringLiteral("40 元"));
}

// The customers are the same in every book: choosing another one changes nothing on them.
TEST_F(CardsTest, CustomerCardsDoNotDependOnTheBook)
{
    BookRows::Customer(db(), QStringLiteral("甲"));
    const qint64 get = BookRows::Account(db(), QStringLiteral("应收"), Get());
    BookRows::Record(db(), get, Day(), 40, QStringLiteral("甲"));
    startAs(QStringLiteral("出纳"), 0);
    EXPECT_EQ(card(main.CustomerPage, QStringLiteral("甲"))->SecondValue->text(),
              QStringLiteral("40 元"));
    ScriptBook(ui, 2);
    main.Image1Click();
    EXPECT_EQ(Session::Book(), Pay());
    EXPECT_EQ(card(main.CustomerPage, QStringLiteral("甲"))->SecondValue->text(),
              QStringLiteral("40 元"));
}

TEST_F(CardsTest, NewCustomerShowsOnTheCardsOnlyWhenTheDialogWroteIt)
{
    startAs(QStringLiteral("出纳"));
    EXPECT_FALSE(main.ImageCustomer->isHidden());
    ui.OnModal(QStringLiteral("FormCustomer"), [](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("甲'乙"));
        d->findChild<QPushButton *>(QStringLiteral("ButtonNo"))->click();
    });
    main.NewCustomer->click();
    EXPECT_TRUE(names(main.CustomerPage).isEmpty());
    ui.OnModal(QStringLiteral("FormCustomer"), [](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("甲'乙"));
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    main.NewCustomer->click();
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("客户　甲'乙　新增成功")});
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("甲'乙")});
    EXPECT_TRUE(main.ImageCustomer->isHidden());
    EXPECT_EQ(card(main.CustomerPage, QStringLiteral("甲'乙"))->SecondValue->text(),
              QStringLiteral("0 元"));
}

// With sixteen customers the second page shows one card, and keeps showing it after the
// working date changes: the customer page keeps its index.
TEST_F(CardsTest, TheCustomerPageKeepsItsPageAcrossADateChange)
{
    for (int i = 1; i <= 16; ++i)
        BookRows::Customer(db(), QStringLiteral("客户%1").arg(i));
    startAs(QStringLiteral("出纳"));
    main.NextCustomer->click();
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("客户16")});
    main.BitBtn2->click();
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("客户16")});
    EXPECT_TRUE(main.PriorCustomer->isEnabled());
}

} // namespace
