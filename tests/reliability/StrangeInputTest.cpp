// Strange input everywhere a user types something the program stores or looks for: every
// text of StrangeTexts() in the entry window, the customer dialog (new, and a rename that
// carries the name into the records and back), a new account, the pick lists, the
// passwords, a new user and the two searches; every amount of StrangeAmounts() in the two
// amount fields. Each input is either refused with a message that says why, or stored and
// read back exactly, and found again by the statements that look for it.
#include "CardsFixture.h"
#include "CustomerFields.h"
#include "FormAsk.h"
#include "FormGetPay.h"
#include "Globals.h"
#include "PageSetting.h"
#include "Session.h"
#include "Settings.h"
#include "SqlText.h"
#include "StrangeInput.h"

#include <QListWidget>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::string testName(const ::testing::TestParamInfo<StrangeText> &info)
{
    return info.param.name;
}

// ------------------------------------------------------------------ the entry window

class EntryWindowText : public CardsTest, public ::testing::WithParamInterface<StrangeText>
{
protected:
    void SetUp() override
    {
        CardsTest::SetUp();
        RegisterWindow(FormGetPay, &pay);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(QDate(2024, 3, 15));
        BookRows::Account(db(), QStringLiteral("甲应收"), Get());
    }
    // A new receivable record, its free texts as given, saved with 保存.
    QStringList save(const QString &customer, const QString &man, const QString &remark,
                     const QString &number = QString())
    {
        ui.Clear();
        pay.EntryMode = TFormGetPay::NewIncome;
        pay.EntryAccountType = Get();
        pay.EntryAccountFilter = QStringLiteral(" And (AccountType = '应收帐')");
        pay.FormShow();
        pay.ComboBox5->setEditText(customer);
        pay.ComboBox6->setEditText(man);
        pay.Edit3->setText(remark);
        if (!number.isNull())
            pay.Edit4->setText(number);
        pay.Edit2->setText(QStringLiteral("8.5"));
        pay.BitBtn1Click();
        return ui.Messages();
    }
    TFormGetPay pay{&main};
};

TEST_P(EntryWindowText, IsStoredExactlyOrRefused)
{
    const QString text = GetParam().text;
    const QStringList said = save(text, text, text);
    const QStringList stored = BookRows::Column(db(), QStringLiteral(
        "Select * From MoneyTable Where MoneyUser = %1 And MoneyMan = %1 And MoneyRemark = %1")
        .arg(Quoted(text)), QStringLiteral("MoneyRemark"));
    if (IsBrokenText(text)) {
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said.constFirst().contains(BrokenTextMessage())) << said[0].toStdString();
        EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable")), 0);
        return;
    }
    EXPECT_EQ(said, QStringList{QStringLiteral("记录新增成功")});
    ASSERT_EQ(stored, QStringList{text});
    // The window shows it again as it was stored.
    const QString index = BookRows::Text(db(), QStringLiteral("Select * From MoneyTable"),
                                         QStringLiteral("MoneyIndex"));
    pay.EntryMode = TFormGetPay::EditIncome;
    pay.EntryRecordIndex = index.toLongLong();
    pay.FormShow();
    EXPECT_EQ(pay.ComboBox5->currentText(), text);
    EXPECT_EQ(pay.ComboBox6->currentText(), text);
    EXPECT_EQ(pay.Edit3->text(), text);

    // As a document number: stored as typed, or refused by the number's own check.
    const QStringList numbered = save(QStringLiteral("客户"), QString(), QString(), text);
    if (numbered == QStringList{QStringLiteral("记录新增成功")}) {
        EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneySerial = ")
                                            + Quoted(text)), 1);
    } else {
        EXPECT_EQ(numbered,
                  QStringList{QStringLiteral("单据编号格式有误，字母不能在数字后面")});
        EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable")), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(StrangeTexts, EntryWindowText, ::testing::ValuesIn(StrangeTexts()),
                         testName);

// ------------------------------------------------------------------ the customer dialog

class CustomerDialogText : public CardsTest, public ::testing::WithParamInterface<StrangeText>
{
protected:
    void SetUp() override
    {
        CardsTest::SetUp();
        Session::SetUser(QStringLiteral("出纳"));
    }
    QStringList confirm(qint64 index, const QString &name, const QString &others)
    {
        ui.Clear();
        customer.DialogCustomerIndex = index;
        ui.OnModal(QStringLiteral("FormCustomer"), [name, others](QDialog *d) {
            for (int i = 0; i < CustomerFieldCount; ++i) {
                const QString control = CustomerFields()[i].control;
                QLineEdit *edit = d->findChild<QLineEdit *>(control);
                if (auto *combo = d->findChild<QComboBox *>(control))
                    edit = combo->lineEdit();
                edit->setText(i == 0 ? name : others);
            }
            d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
        });
        Ui::ShowModal(&customer);
        return ui.Messages();
    }
};

TEST_P(CustomerDialogText, IsStoredExactlyAndCarriedIntoTheRecords)
{
    const QString text = GetParam().text;
    const QStringList said = confirm(0, text, text);
    if (IsBrokenText(text)) {
        ASSERT_EQ(said.size(), 1);
        EXPECT_TRUE(said.constFirst().contains(BrokenTextMessage())) << said[0].toStdString();
        EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From Customer Where CustomerIndex > 1")),
                  0);
        return;
    }
    EXPECT_EQ(said, QStringList{QStringLiteral("客户　%1　新增成功").arg(text)});
    for (const TCustomerField &field : CustomerFields())
        EXPECT_EQ(BookRows::Column(db(), QStringLiteral("Select * From Customer Where CustomerIndex > 1"),
                         field.column),
                  QStringList{text})
            << field.column.toStdString();

    // A customer with records renamed to the text and back: the records follow each time,
    // found by the old name pasted into the statement.
    const qint64 other = BookRows::Customer(db(), QStringLiteral("旧名"));
    const qint64 account = BookRows::Account(db(), QStringLiteral("现金"));
    for (int i = 0; i < 3; ++i)
        BookRows::Record(db(), account, QDate(2024, 3, 1), 10, QStringLiteral("旧名"));
    EXPECT_EQ(confirm(other, text + QStringLiteral("2"), QString()),
              QStringList{QStringLiteral("客户资料修改成功")});
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyUser = ")
                                        + Quoted(text + QStringLiteral("2"))), 3);
    EXPECT_EQ(confirm(other, QStringLiteral("旧名"), QString()),
              QStringList{QStringLiteral("客户资料修改成功")});
    EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable Where MoneyUser = '旧名'")),
              3);
}

INSTANTIATE_TEST_SUITE_P(StrangeTexts, CustomerDialogText, ::testing::ValuesIn(StrangeTexts()),
                         testName);

// ------------------------------------------------------------------ a new account

class AccountText : public CardsTest, public ::testing::WithParamInterface<StrangeText> {};

TEST_P(AccountText, IsStoredExactlyOrRefused)
{
    const QString text = GetParam().text;
    startAs(QStringLiteral("出纳"));
    ui.Clear();
    ui.OnModal(QStringLiteral("FormAccount"), [text](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
        d->findChild<QPushButton *>(QStringLiteral("SpeedButton1"))->click();
    });
    main.NewAccount->click();
    const QStringList stored = BookRows::Column(
        db(), QStringLiteral("Select * From Account Where AccountIndex > 1"),
        QStringLiteral("AccountName"));
    if (IsBrokenText(text)) {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().contains(BrokenTextMessage()));
        EXPECT_TRUE(stored.isEmpty());
        return;
    }
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("帐户　%1　新增成功").arg(text)});
    EXPECT_EQ(stored, QStringList{text});
    EXPECT_EQ(names(main.AccountPage), QStringList{text});
}

INSTANTIATE_TEST_SUITE_P(StrangeTexts, AccountText, ::testing::ValuesIn(StrangeTexts()),
                         testName);

// ------------------------------------------------------------------ the searches

class SearchText : public CardsTest, public ::testing::WithParamInterface<StrangeText> {};

// A customer and an account named with the text, and others beside them: a search for the
// text finds its own, and the others only when their names contain it.
TEST_P(SearchText, FindsWhatContainsTheTextAndNothingElse)
{
    const QString text = GetParam().text;
    const QStringList others{QStringLiteral("Acme"), QStringLiteral("张三")};
    for (const QString &name : others) {
        BookRows::Customer(db(), name);
        BookRows::Account(db(), name);
    }
    if (!IsBrokenText(text)) {
        BookRows::Customer(db(), text);
        BookRows::Account(db(), text);
    }
    startAs(QStringLiteral("出纳"));
    QStringList expected;
    for (const QString &name : others)
        if (name.contains(text, Qt::CaseInsensitive))
            expected << name;
    if (!IsBrokenText(text))
        expected << text;

    ui.OnModal(QStringLiteral("FormCustomerSearch"), [text](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    main.SpeedButton6->click();
    EXPECT_EQ(names(main.CustomerPage), expected);

    ui.OnModal(QStringLiteral("FormAccountSearch"), [text](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    main.SpeedButton7->click();
    EXPECT_EQ(names(main.AccountPage), expected);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(QLatin1Char('|')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(StrangeTexts, SearchText, ::testing::ValuesIn(StrangeTexts()),
                         testName);

// ------------------------------------------------------------------ the settings page

class SettingPageText : public ::testing::TestWithParam<StrangeText>
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormAsk, &ask);
        UserAdminSwitch = true;
        page.AdministratorSignedIn();
    }
    DbConnection *db() { return &t.dm->ADOConnection1; }
    QString keyOf(const QString &name)
    {
        return BookRows::Text(db(), QStringLiteral("Select * From Power Where PowerName = ")
                                        + Quoted(name), QStringLiteral("PowerKey"));
    }

    TestDatabase t;
    ScriptedUi ui;
    QWidget panel;
    TFormAsk ask{&panel};
    TPageSetting page{&panel};
};

// A pick-list entry is kept without the blanks around it; a password exactly as typed; a
// user's name without blanks around it, and only when it is one line of at most 50
// characters, since signing in keeps it in the settings file.
TEST_P(SettingPageText, PickListsPasswordsAndUsersStoreItOrSayWhyNot)
{
    const QString text = GetParam().text;
    const bool broken = IsBrokenText(text);

    ui.OnModal(QStringLiteral("FormAsk"), [text](QDialog *d) {
        d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(text);
        d->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
    });
    page.AddParameter(4);
    const QString entry = text.trimmed();
    const QStringList salesmen = BookRows::Column(
        db(), QStringLiteral("Select * From Parameter Where ParameterType = 4"),
        QStringLiteral("ParameterValue"));
    if (broken) {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().contains(BrokenTextMessage()));
        EXPECT_FALSE(salesmen.contains(entry));
    } else if (entry.isEmpty()) {
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("业务员名称不能为空")});
    } else {
        EXPECT_TRUE(ui.Messages().isEmpty());
        EXPECT_EQ(salesmen.count(entry), 1);
        EXPECT_EQ(page.ListBoxOf(4)->findItems(entry, Qt::MatchExactly).size(), 1);
    }

    ui.Clear();
    ui.answers = {true};
    page.Edit2->setText(text);
    page.Button11->click();
    if (broken) {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().contains(BrokenTextMessage()));
        EXPECT_EQ(keyOf(QStringLiteral("修改")), QStringLiteral("1234"));
    } else {
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("密码修改成功")});
        EXPECT_EQ(keyOf(QStringLiteral("修改")), text);
    }

    ui.Clear();
    page.Button19->click();
    page.Edit4->setText(text);
    page.Edit1->setText(QStringLiteral("pw"));
    page.Button10->click();
    const QString name = text.trimmed();
    const bool control = name.contains(QLatin1Char('\t')) || name.contains(QLatin1Char('\n'));
    if (name.isEmpty()) {
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户名不能为空")});
    } else if (control) {
        EXPECT_EQ(ui.Messages(),
                  QStringList{QStringLiteral("用户名不能包含换行符、制表符等控制字符")});
    } else if (name.size() > 50) {
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户名太长，不能超过 50 个字")});
    } else if (broken) {
        ASSERT_EQ(ui.Messages().size(), 1);
        EXPECT_TRUE(ui.Messages().constFirst().contains(BrokenTextMessage()));
    } else {
        EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("用户新增成功")});
        EXPECT_EQ(keyOf(name), QStringLiteral("pw"));
        // Signing in keeps the name in the settings file and reads back the same one.
        EXPECT_TRUE(WriteSetting(SettingKey::Section, SettingKey::UserPower, name,
                                 SettingsFile));
        EXPECT_EQ(ReadSetting(SettingKey::Section, SettingKey::UserPower, QString(),
                              SettingsFile),
                  name);
    }
}

INSTANTIATE_TEST_SUITE_P(StrangeTexts, SettingPageText, ::testing::ValuesIn(StrangeTexts()),
                         testName);

// ------------------------------------------------------------------ amounts

struct AmountCase
{
    const char *text;
    std::optional<double> entry;   // what the entry window stores, or nothing (refused)
    const char *entryRefusal;
    std::optional<double> opening; // what the account dialog takes, or nothing (refused)
};

// The entry window takes digits and one point with at most two decimals (its field lets
// nothing else be typed); the account dialog takes a signed decimal number, blanks around
// it and full-width digits included, as the opening amount may be negative.
const AmountCase Amounts[] = {
    {"0", 0.0, "", 0.0},
    {"-0", {}, "金额格式有误，请重新输入", 0.0},
    {"0.005", {}, "金额内容可能有误，请重新输入", 0.005},
    {"1e3", {}, "金额格式有误，请重新输入", {}},
    {"１２３", {}, "金额格式有误，请重新输入", 123.0},
    {"1,000", {}, "金额格式有误，请重新输入", {}},
    {" 12 ", {}, "金额格式有误，请重新输入", 12.0},
    {"12.", 12.0, "", 12.0},
    {".5", 0.5, "", 0.5},
    {"1234567890123456789012345678901234567890", {}, "金额太大，请重新输入", {}},
    {"NaN", {}, "金额格式有误，请重新输入", {}},
    {"inf", {}, "金额格式有误，请重新输入", {}},
};

TEST(StrangeAmounts, EveryListedAmountIsInTheTable)
{
    QStringList tabled;
    for (const AmountCase &c : Amounts)
        tabled << QString::fromUtf8(c.text);
    EXPECT_EQ(tabled, StrangeAmounts());
}

class EntryWindowAmount : public EntryWindowText {};

TEST_F(EntryWindowAmount, StoresTheAmountOrSaysWhyNot)
{
    for (const AmountCase &c : Amounts) {
        SCOPED_TRACE(c.text);
        const int before = BookRows::Count(db(), QStringLiteral("From MoneyTable"));
        ui.Clear();
        pay.EntryMode = TFormGetPay::NewIncome;
        pay.EntryAccountType = Get();
        pay.EntryAccountFilter = QStringLiteral(" And (AccountType = '应收帐')");
        pay.FormShow();
        pay.Edit2->setText(QString::fromUtf8(c.text));
        pay.BitBtn1Click();
        if (c.entry) {
            EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("记录新增成功")});
            EXPECT_EQ(BookRows::Text(db(), QStringLiteral("Select * From MoneyTable Order By "
                                                          "MoneyIndex Desc"),
                                     QStringLiteral("MoneyIn")).toDouble(),
                      *c.entry);
        } else {
            EXPECT_EQ(ui.Messages(), QStringList{QString::fromUtf8(c.entryRefusal)});
            EXPECT_EQ(BookRows::Count(db(), QStringLiteral("From MoneyTable")), before);
        }
    }
}

class AccountAmount : public CardsTest {};

TEST_F(AccountAmount, TakesTheOpeningAmountOrSaysWhyNot)
{
    startAs(QStringLiteral("出纳"));
    int n = 0;
    for (const AmountCase &c : Amounts) {
        SCOPED_TRACE(c.text);
        ui.Clear();
        const QString name = QStringLiteral("帐户%1").arg(++n);
        bool stayed = false;
        ui.OnModal(QStringLiteral("FormAccount"), [&](QDialog *d) {
            d->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(name);
            d->findChild<QLineEdit *>(QStringLiteral("Edit2"))->setText(QString::fromUtf8(c.text));
            d->findChild<QPushButton *>(QStringLiteral("SpeedButton1"))->click();
            stayed = d->isVisible() || d->result() != QDialog::Accepted;
        });
        main.NewAccount->click();
        const QString stored = BookRows::Text(
            db(), QStringLiteral("Select * From Account Where AccountName = ") + Quoted(name),
            QStringLiteral("AccountBase"));
        if (c.opening) {
            EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("帐户　%1　新增成功").arg(name)});
            EXPECT_EQ(stored.toDouble(), *c.opening);
        } else {
            EXPECT_TRUE(stayed);
            const QString refusal = QStringLiteral("起初金额“%1”不是有效的金额，请输入数字，"
                                                   "例如 1000 或 -250.5");
            EXPECT_EQ(ui.Messages(), QStringList{refusal.arg(QString::fromUtf8(c.text))});
            EXPECT_TRUE(stored.isEmpty());
        }
    }
}

} // namespace
