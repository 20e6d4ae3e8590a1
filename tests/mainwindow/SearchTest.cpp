// The two searches: what the customer and account cards show after a search, how the
// conditions combine, what 取消 keeps, and how a search meets the paging.
#include "CardsFixture.h"

namespace {

class Search : public CardsTest
{
protected:
    // Fills the customer search's inputs (object name → text) and clicks 确定 or 取消.
    void searchCustomers(const QMap<QString, QString> &texts, bool confirm = true)
    {
        ui.OnModal(QStringLiteral("FormCustomerSearch"), [texts, confirm](QDialog *d) {
            for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
                if (auto *combo = d->findChild<QComboBox *>(it.key()))
                    combo->setEditText(it.value());
                else
                    d->findChild<QLineEdit *>(it.key())->setText(it.value());
            }
            d->findChild<QPushButton *>(confirm ? QStringLiteral("ButtonYes")
                                                : QStringLiteral("ButtonNo"))
                ->click();
        });
        main.SpeedButton6->click();
    }
    void searchAccounts(const QString &text, bool confirm = true)
    {
        ui.OnModal(QStringLiteral("FormAccountSearch"), [text, confirm](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
            d->findChild<QPushButton *>(confirm ? QStringLiteral("ButtonYes")
                                                : QStringLiteral("ButtonNo"))
                ->click();
        });
        main.SpeedButton7->click();
    }
    void addCustomers()
    {
        BookRows::Customer(db(), QStringLiteral("Acme Trading"), QStringLiteral("浙江杭州"));
        BookRows::Customer(db(), QStringLiteral("acme'S 分号"), QStringLiteral("江苏"));
        BookRows::Customer(db(), QStringLiteral("ACME 无地区"));
        BookRows::Customer(db(), QStringLiteral("Beta"), QStringLiteral("浙江宁波"));
    }
};

struct CustomerSearchCase
{
    QMap<QString, QString> texts;
    QStringList found;
};

class CustomerSearch : public Search, public ::testing::WithParamInterface<CustomerSearchCase>
{};

TEST_P(CustomerSearch, ShowsTheCustomersMatchingEveryGivenText)
{
    addCustomers();
    startAs(QStringLiteral("出纳"));
    searchCustomers(GetParam().texts);
    EXPECT_EQ(names(main.CustomerPage), GetParam().found);
    EXPECT_TRUE(ui.Messages().isEmpty());
}

const QString Name = QStringLiteral("Edit1");
const QString Region = QStringLiteral("ComboBox1");

INSTANTIATE_TEST_SUITE_P(Table, CustomerSearch, ::testing::Values(
    CustomerSearchCase{{}, {QStringLiteral("Acme Trading"), QStringLiteral("acme'S 分号"),
                            QStringLiteral("ACME 无地区"), QStringLiteral("Beta")}},
    CustomerSearchCase{{{Name, QStringLiteral("acme")}},
                       {QStringLiteral("Acme Trading"), QStringLiteral("acme'S 分号"),
                        QStringLiteral("ACME 无地区")}},
    CustomerSearchCase{{{Name, QStringLiteral("acme")}, {Region, QStringLiteral("浙江")}},
                       {QStringLiteral("Acme Trading")}},
    CustomerSearchCase{{{Region, QStringLiteral("浙江")}},
                       {QStringLiteral("Acme Trading"), QStringLiteral("Beta")}},
    CustomerSearchCase{{{Name, QStringLiteral("'s")}}, {QStringLiteral("acme'S 分号")}},
    CustomerSearchCase{{{Name, QStringLiteral("') Or ('1'='1")}}, {}},
    CustomerSearchCase{{{Region, QStringLiteral("无")}}, {}},
    CustomerSearchCase{{{QStringLiteral("Edit8"), QStringLiteral("x")}}, {}}));

TEST_F(Search, CancelKeepsTheCardsAndTheInputsForNextTime)
{
    addCustomers();
    startAs(QStringLiteral("出纳"));
    searchCustomers({{Name, QStringLiteral("Beta")}});
    ASSERT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("Beta")});
    searchCustomers({{Name, QStringLiteral("acme")}, {Region, QStringLiteral("江苏")}}, false);
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("Beta")});
    QString name, region;
    QStringList regions;
    ui.OnModal(QStringLiteral("FormCustomerSearch"), [&](QDialog *d) {
        name = d->findChild<QLineEdit *>(Name)->text();
        auto *combo = d->findChild<QComboBox *>(Region);
        region = combo->currentText();
        for (int i = 0; i < combo->count(); ++i)
            regions << combo->itemText(i);
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    main.SpeedButton6->click();
    EXPECT_EQ(name, QStringLiteral("acme"));
    EXPECT_EQ(region, QStringLiteral("江苏"));
    EXPECT_TRUE(regions.contains(QStringLiteral("浙江宁波")));
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("acme'S 分号")});
}

// A search stays in force until the next one: a new working date keeps it.
TEST_F(Search, TheSearchStaysWhenTheWorkingDateChanges)
{
    addCustomers();
    BookRows::Account(db(), QStringLiteral("Bank"));
    BookRows::Account(db(), QStringLiteral("Cash box"));
    startAs(QStringLiteral("出纳"));
    searchCustomers({{Region, QStringLiteral("江苏")}});
    searchAccounts(QStringLiteral("BANK"));
    main.BitBtn1->click();
    EXPECT_EQ(names(main.CustomerPage), QStringList{QStringLiteral("acme'S 分号")});
    EXPECT_EQ(names(main.AccountPage), QStringList{QStringLiteral("Bank")});
    searchAccounts(QString());
    EXPECT_EQ(names(main.AccountPage).size(), 2);
}

TEST_F(Search, AnAccountSearchThatFindsNothingShowsTheHint)
{
    BookRows::Account(db(), QStringLiteral("Bank'1"));
    startAs(QStringLiteral("出纳"));
    searchAccounts(QStringLiteral("abc"));
    EXPECT_TRUE(names(main.AccountPage).isEmpty());
    EXPECT_FALSE(main.ImageAccount->isHidden());
    EXPECT_FALSE(main.PriorAccount->isEnabled());
    EXPECT_FALSE(main.NextAccount->isEnabled());
    searchAccounts(QStringLiteral("k'"));
    EXPECT_EQ(names(main.AccountPage), QStringList{QStringLiteral("Bank'1")});
    EXPECT_TRUE(main.ImageAccount->isHidden());
}

// A search from page three that finds two accounts shows them on the first page: the
// index never stays past the last page that holds cards.
TEST_F(Search, AnAccountSearchFromAFarPageShowsTheLastPageWithCards)
{
    for (int i = 1; i <= 40; ++i)
        BookRows::Account(db(),
                          (i <= 2 ? QStringLiteral("Match%1") : QStringLiteral("Other%1")).arg(i));
    startAs(QStringLiteral("出纳"));
    main.NextAccount->click();
    main.NextAccount->click();
    ASSERT_EQ(main.AccountPageIndex, 2);
    searchAccounts(QStringLiteral("match"));
    EXPECT_EQ(main.AccountPageIndex, 0);
    EXPECT_EQ(names(main.AccountPage).size(), 2);
    EXPECT_FALSE(main.PriorAccount->isEnabled());
    EXPECT_FALSE(main.NextAccount->isEnabled());
}

} // namespace
