// The report query builder through the UI seam: which records the report grid lists for
// each input alone and for all of them together, the amount checks, what every showing
// resets and keeps, cancelling, and the lists that cannot be read.
#include "BookRows.h"
#include "FormMakeReport.h"
#include "Globals.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "SqlText.h"
#include "TestFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Choose = std::function<void(TFormMakeReport &)>;

class ReportBuilder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormMakeReport, &builder);
        Session::SetUser(QStringLiteral("出纳"));
        AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        const qint64 a = BookRows::Account(db(), QStringLiteral("甲帐户"), QStringLiteral("现金帐"));
        const qint64 b = BookRows::Account(db(), QStringLiteral("乙帐户"), QStringLiteral("现金帐"));
        const qint64 c = BookRows::Account(db(), QStringLiteral("丙帐户"), QStringLiteral("现金帐"));
        const qint64 owed = BookRows::Account(db(), QStringLiteral("丁应收"),
                                              QStringLiteral("应收帐"));
        for (const char *man : {"张伟", "王芳", "刘洋"})
            BookRows::Exec(db(), QStringLiteral("INSERT INTO Parameter VALUES (4, '%1')")
                                     .arg(QString::fromUtf8(man)));
        for (const char *name : {"北方贸易公司", "南方商行", "O'Brien 商行"})
            BookRows::Customer(db(), QString::fromUtf8(name));
        // serial, account, day, amount, kind, category, voucher, customer, salesman, remark
        add("A-101", a, QDate(2024, 6, 1), 150, "销售收入", "货款", "现金", "北方贸易公司", "张伟",
            "首付");
        add("A-102", a, QDate(2024, 6, 30), -150, "采购支出", "费用", "支票", "南方商行", "王芳", "");
        add("B-201", b, QDate(2024, 5, 31), 100, "其他收入", "预收款", "转帐", "北方贸易公司",
            "李娜", "尾款");
        add("B-202", b, QDate(2024, 7, 1), -200, "费用支出", "费用", "现金", "东方公司", "张伟",
            "首付款");
        add("C-301", c, QDate(2024, 6, 15), 0, "销售收入", "货款", "发票", "O'Brien 商行", "刘洋",
            "it's");
        // A record without kind and customer, and one of another book that no report lists.
        BookRows::Exec(db(), QStringLiteral("INSERT INTO MoneyTable (MoneyAccount, "
                                            "MoneyCreateTime, MoneySum, MoneySerial) VALUES "
                                            "(%1, '2024-06-16', 80, 'C-302')").arg(c));
        add("D-401", owed, QDate(2024, 6, 10), 50, "销售收入", "货款", "现金", "南方商行", "张伟",
            "");
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    void add(const char *serial, qint64 account, const QDate &day, double amount,
             const char *kind, const char *category, const char *voucher, const char *customer,
             const char *man, const char *remark)
    {
        const qint64 key =
            BookRows::Record(db(), account, day, amount, QString::fromUtf8(customer));
        BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneySerial = '%1', "
                                            "MoneyReason = '%2', MoneyType = '%3', "
                                            "MoneyToken = '%4', MoneyMan = '%5', "
                                            "MoneyRemark = %6 WHERE MoneyIndex = %7")
                                 .arg(QString::fromUtf8(serial), QString::fromUtf8(kind),
                                      QString::fromUtf8(category), QString::fromUtf8(voucher),
                                      QString::fromUtf8(man))
                                 .arg(Quoted(QString::fromUtf8(remark)))
                                 .arg(key));
    }

    // Shows the builder, lets choose fill it and clicks 确定; the modal result.
    int build(const Choose &choose)
    {
        ui.OnModal(QStringLiteral("FormMakeReport"), [this, choose](QDialog *) {
            choose(builder);
            builder.BitBtn1->click();
        });
        return Ui::ShowModal(&builder);
    }

    // The serials of the records the report grid lists under the current condition.
    QStringList listed()
    {
        QStringList out;
        DbQuery q(db());
        q.SetSQL(QStringLiteral("Select MoneySerial From Account,MoneyTable Where (AccountIndex "
                                "= MoneyAccount)") + AccountFilter + MoneyFilter + ReportCondition
                 + QStringLiteral(" Order By MoneySerial"));
        if (!q.Open()) {
            ADD_FAILURE() << q.LastError().toStdString() << ": " << ReportCondition.toStdString();
            return out;
        }
        for (q.First(); !q.Eof(); q.Next())
            out << q.FieldByName(QStringLiteral("MoneySerial")).AsString();
        return out;
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormMakeReport builder;
};

// A click on an entry of the account list, with Ctrl held to add it to the others.
void clickAccount(TFormMakeReport &b, const QString &name, bool control)
{
    QListWidgetItem *item = b.ListBox1->findItems(name, Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr) << name.toStdString();
    QWidget *area = b.ListBox1->viewport();
    const QPoint at = b.ListBox1->visualItemRect(item).center();
    const Qt::KeyboardModifiers keys = control ? Qt::ControlModifier : Qt::NoModifier;
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, area->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, keys);
        QCoreApplication::sendEvent(area, &e);
    }
}

void pick(QComboBox *combo, const char *text)
{
    const int at = combo->findText(QString::fromUtf8(text));
    ASSERT_GE(at, 0) << text;
    combo->setCurrentIndex(at);
}

void type(QComboBox *combo, const char *text)
{
    combo->setEditText(QString::fromUtf8(text));
}

void range(QCheckBox *box, QLineEdit *lower, QLineEdit *upper, const char *from, const char *to)
{
    box->setChecked(true);
    lower->setText(QString::fromUtf8(from));
    upper->setText(QString::fromUtf8(to));
}

struct Input
{
    const char *what;
    Choose choose;
    QStringList listed;
};
void PrintTo(const Input &i, std::ostream *os) { *os << i.what; }

const QStringList Everything = {"A-101", "A-102", "B-201", "B-202", "C-301", "C-302"};

class EachInput : public ReportBuilder, public ::testing::WithParamInterface<Input> {};

TEST_P(EachInput, ListsTheRecordsItChooses)
{
    const Input in = GetParam();
    ReportCondition = QStringLiteral(" And (1 = 0)");
    EXPECT_EQ(build(in.choose), TFormMakeReport::Built);
    EXPECT_EQ(listed(), in.listed) << ReportCondition.toStdString();
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, EachInput, ::testing::Values(
    Input{"nothing chosen", [](TFormMakeReport &) {}, Everything},
    Input{"时间范围, both ends included", [](TFormMakeReport &b) {
              b.CheckBox1->setChecked(true);
              b.DateTimePicker1->setDate(QDate(2024, 6, 1));
              b.DateTimePicker2->setDate(QDate(2024, 6, 30));
          }, {"A-101", "A-102", "C-301", "C-302"}},
    Input{"dates set, 时间范围 not ticked", [](TFormMakeReport &b) {
              b.DateTimePicker1->setDate(QDate(2030, 1, 1));
          }, Everything},
    Input{"金额范围 100 to 200 is strict on the absolute amount", [](TFormMakeReport &b) {
              range(b.CheckBox2, b.Edit2, b.Edit4, "100", "200");
          }, {"A-101", "A-102"}},
    Input{"金额范围 with a lower amount only", [](TFormMakeReport &b) {
              range(b.CheckBox2, b.Edit2, b.Edit4, "120", "");
          }, {"A-101", "A-102", "B-202"}},
    Input{"金额范围 with a signed, pointed upper amount", [](TFormMakeReport &b) {
              range(b.CheckBox2, b.Edit2, b.Edit4, "-1", "100.");
          }, {"C-301", "C-302"}},
    Input{"amounts typed, 金额范围 not ticked", [](TFormMakeReport &b) {
              b.Edit2->setText(QStringLiteral("1000"));
          }, Everything},
    Input{"财务收入单 leaves out 0", [](TFormMakeReport &b) { pick(b.ComboBox5, "财务收入单"); },
          {"A-101", "B-201", "C-302"}},
    Input{"财务支出单 leaves out 0", [](TFormMakeReport &b) { pick(b.ComboBox5, "财务支出单"); },
          {"A-102", "B-202"}},
    Input{"单据编号, a part of it", [](TFormMakeReport &b) {
              b.Edit5->setText(QStringLiteral("20"));
          }, {"B-201", "B-202"}},
    Input{"客户名称, a part of the name", [](TFormMakeReport &b) { type(b.ComboBox6, "北方"); },
          {"A-101", "B-201"}},
    Input{"客户名称 with a quote, in other letter case", [](TFormMakeReport &b) {
              type(b.ComboBox6, "o'brien");
          }, {"C-301"}},
    Input{"客户名称 from the list", [](TFormMakeReport &b) { pick(b.ComboBox6, "南方商行"); },
          {"A-102"}},
    Input{"客户名称 emptied: every record with a customer", [](TFormMakeReport &b) {
              type(b.ComboBox6, "");
          }, {"A-101", "A-102", "B-201", "B-202", "C-301"}},
    Input{"收支种类, a part of it", [](TFormMakeReport &b) { type(b.ComboBox2, "收入"); },
          {"A-101", "B-201", "C-301"}},
    Input{"收支种类 emptied: every record with a kind", [](TFormMakeReport &b) {
              type(b.ComboBox2, "");
          }, {"A-101", "A-102", "B-201", "B-202", "C-301"}},
    Input{"类别 matches exactly", [](TFormMakeReport &b) { pick(b.ComboBox3, "费用"); },
          {"A-102", "B-202"}},
    Input{"凭证", [](TFormMakeReport &b) { pick(b.ComboBox4, "现金"); }, {"A-101", "B-202"}},
    Input{"业务员", [](TFormMakeReport &b) { pick(b.ComboBox7, "张伟"); }, {"A-101", "B-202"}},
    Input{"备注, a part of it", [](TFormMakeReport &b) {
              b.Edit3->setText(QStringLiteral("首付"));
          }, {"A-101", "B-202"}},
    Input{"备注 with a quote", [](TFormMakeReport &b) {
              b.Edit3->setText(QStringLiteral("'s"));
          }, {"C-301"}},
    Input{"accounts A and B, B clicked last", [](TFormMakeReport &b) {
              clickAccount(b, QStringLiteral("甲帐户"), false);
              clickAccount(b, QStringLiteral("乙帐户"), true);
          }, {"A-101", "A-102", "B-201", "B-202"}},
    Input{"one account clicked", [](TFormMakeReport &b) {
              clickAccount(b, QStringLiteral("丙帐户"), false);
          }, {"C-301", "C-302"}},
    Input{"accounts chosen, 所有 clicked last", [](TFormMakeReport &b) {
              clickAccount(b, QStringLiteral("甲帐户"), false);
              clickAccount(b, QStringLiteral("乙帐户"), true);
              clickAccount(b, QStringLiteral("所有"), true);
          }, Everything},
    Input{"everything together", [](TFormMakeReport &b) {
              pick(b.ComboBox5, "财务收入单");
              b.CheckBox1->setChecked(true);
              b.DateTimePicker1->setDate(QDate(2024, 6, 1));
              b.DateTimePicker2->setDate(QDate(2024, 6, 30));
              range(b.CheckBox2, b.Edit2, b.Edit4, "100", "200");
              b.Edit5->setText(QStringLiteral("101"));
              type(b.ComboBox6, "北方");
              clickAccount(b, QStringLiteral("甲帐户"), false);
              clickAccount(b, QStringLiteral("丙帐户"), true);
              type(b.ComboBox2, "销售");
              pick(b.ComboBox3, "货款");
              pick(b.ComboBox4, "现金");
              pick(b.ComboBox7, "张伟");
              b.Edit3->setText(QStringLiteral("首付"));
          }, {"A-101"}}));

// With nothing chosen the condition is empty: the grid lists what the filters allow.
TEST_F(ReportBuilder, NothingChosenGivesAnEmptyCondition)
{
    ReportCondition = QStringLiteral(" And (1 = 0)");
    EXPECT_EQ(build([](TFormMakeReport &) {}), TFormMakeReport::Built);
    EXPECT_TRUE(ReportCondition.isEmpty());
}

// A bad amount is refused, in either field, ticked or not: the message, the focus on the
// field, the condition emptied, the builder open. Cancelling then keeps it empty.
struct Bad
{
    const char *lower;
    const char *upper;
    bool ticked;
    bool lowerFocused;
};
void PrintTo(const Bad &b, std::ostream *os) { *os << "[" << b.lower << "] [" << b.upper << "]"; }

class BadAmount : public ReportBuilder, public ::testing::WithParamInterface<Bad> {};

TEST_P(BadAmount, IsRefused)
{
    const Bad b = GetParam();
    ReportCondition = QStringLiteral(" And (MoneySum > 0)");
    bool open = false, lowerFocused = false, upperFocused = false;
    ui.OnModal(QStringLiteral("FormMakeReport"), [&](QDialog *d) {
        builder.CheckBox2->setChecked(true);
        builder.Edit2->setText(QString::fromUtf8(b.lower));
        builder.Edit4->setText(QString::fromUtf8(b.upper));
        builder.CheckBox2->setChecked(b.ticked);
        builder.BitBtn1->click();
        open = d->isVisible();
        lowerFocused = builder.focusWidget() == builder.Edit2;
        upperFocused = builder.focusWidget() == builder.Edit4;
        builder.BitBtn2->click();
    });
    EXPECT_EQ(Ui::ShowModal(&builder), TFormMakeReport::Cancelled);
    EXPECT_TRUE(open);
    EXPECT_EQ(ui.Messages(), QStringList{"金额格式有误，请重新输入"});
    EXPECT_EQ(lowerFocused, b.lowerFocused);
    EXPECT_EQ(upperFocused, !b.lowerFocused);
    EXPECT_TRUE(ReportCondition.isEmpty());
    EXPECT_EQ(listed(), Everything);
}

INSTANTIATE_TEST_SUITE_P(Table, BadAmount, ::testing::Values(
    Bad{"-", "", true, true}, Bad{"--5", "", true, true}, Bad{"1.2.3", "", true, true},
    Bad{".", "", true, true}, Bad{"１００", "", true, true}, Bad{"5); Drop", "", true, true},
    Bad{"10", "2,000", true, false}, Bad{"abc", "", false, true}, Bad{"1", " 5", false, false}));

// Cancel keeps the condition; every showing resets dates, boxes and texts to their start,
// reads the lists anew and keeps the document type.
TEST_F(ReportBuilder, ShowingResetsAllButTheDocumentType)
{
    build([](TFormMakeReport &b) {
        pick(b.ComboBox5, "财务支出单");
        b.CheckBox1->setChecked(true);
        b.DateTimePicker1->setDate(QDate(2020, 1, 1));
        range(b.CheckBox2, b.Edit2, b.Edit4, "1", "2");
        b.Edit3->setText(QStringLiteral("x"));
        b.Edit5->setText(QStringLiteral("y"));
        type(b.ComboBox6, "北方");
        type(b.ComboBox2, "收入");
        pick(b.ComboBox3, "费用");
    });
    const QString built = ReportCondition;
    BookRows::Account(db(), QStringLiteral("新帐户"), QStringLiteral("现金帐"));
    BookRows::Customer(db(), QStringLiteral("新客户"));
    struct Seen
    {
        QString type, customer, kind, category, voucher, man, account;
        bool dates = true, amounts = true, datesOn = true, amountsOn = true;
        QDate from, to;
        QStringList texts, accounts;
        int customers = 0;
    } seen;
    ui.OnModal(QStringLiteral("FormMakeReport"), [&](QDialog *) {
        seen.type = builder.ComboBox5->currentText();
        seen.customer = builder.ComboBox6->currentText();
        seen.kind = builder.ComboBox2->currentText();
        seen.category = builder.ComboBox3->currentText();
        seen.voucher = builder.ComboBox4->currentText();
        seen.man = builder.ComboBox7->currentText();
        seen.account = builder.ListBox1->currentItem()->text();
        for (int i = 0; i < builder.ListBox1->count(); ++i)
            seen.accounts << builder.ListBox1->item(i)->text();
        seen.customers = builder.ComboBox6->count();
        seen.dates = builder.CheckBox1->isChecked();
        seen.amounts = builder.CheckBox2->isChecked();
        seen.datesOn =
            builder.DateTimePicker1->isEnabled() || builder.DateTimePicker2->isEnabled();
        seen.amountsOn = builder.Edit2->isEnabled() || builder.Edit4->isEnabled();
        seen.from = builder.DateTimePicker1->date();
        seen.to = builder.DateTimePicker2->date();
        seen.texts = {builder.Edit2->text(), builder.Edit3->text(), builder.Edit4->text(),
                      builder.Edit5->text()};
        builder.BitBtn2->click();
    });
    EXPECT_EQ(Ui::ShowModal(&builder), TFormMakeReport::Cancelled);
    EXPECT_EQ(ReportCondition, built);
    EXPECT_EQ(seen.type, QStringLiteral("财务支出单"));
    for (const QString &first : {seen.customer, seen.kind, seen.category, seen.voucher,
                                 seen.man, seen.account})
        EXPECT_EQ(first, QStringLiteral("所有"));
    EXPECT_EQ(seen.accounts, (QStringList{"所有", "甲帐户", "乙帐户", "丙帐户", "新帐户"}));
    EXPECT_EQ(seen.customers, 1 + 4);
    EXPECT_FALSE(seen.dates || seen.amounts || seen.datesOn || seen.amountsOn);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(seen.from, QDate(today.year(), today.month(), 1));
    EXPECT_EQ(seen.to, QDate(today.year(), today.month(), today.daysInMonth()));
    EXPECT_EQ(seen.texts, QStringList(4, QString()));
}

// An ordinary user's lists hold his and the cashier's accounts and customers only.
TEST_F(ReportBuilder, ListsFollowTheVisibilityFilters)
{
    BookRows::Account(db(), QStringLiteral("小李的帐户"), QStringLiteral("现金帐"), 0,
                      QStringLiteral("小李"));
    BookRows::Account(db(), QStringLiteral("小王的帐户"), QStringLiteral("现金帐"), 0,
                      QStringLiteral("小王"));
    BookRows::Customer(db(), QStringLiteral("小王的客户"), QString(), QStringLiteral("小王"));
    AccountFilter += QStringLiteral(" And ((AccountPower = '小李') Or (AccountPower = '出纳'))");
    CustomerFilter = QStringLiteral(" And ((CustomerPower = '小李') Or (CustomerPower = '出纳'))");
    QStringList accounts, customers;
    ui.OnModal(QStringLiteral("FormMakeReport"), [&](QDialog *) {
        for (int i = 0; i < builder.ListBox1->count(); ++i)
            accounts << builder.ListBox1->item(i)->text();
        for (int i = 0; i < builder.ComboBox6->count(); ++i)
            customers << builder.ComboBox6->itemText(i);
    });
    Ui::ShowModal(&builder);
    EXPECT_EQ(accounts, (QStringList{"所有", "甲帐户", "乙帐户", "丙帐户", "小李的帐户"}));
    EXPECT_EQ(customers, (QStringList{"所有", "北方贸易公司", "南方商行", "O'Brien 商行"}));
}

// A list that cannot be read says which, and the preparation stops there.
TEST_F(ReportBuilder, AListThatCannotBeReadSaysWhich)
{
    const struct { const char *table; const char *message; } cases[] = {
        {"Account", "帐户读入失败"}, {"Parameter", "参数读入失败"}, {"Customer", "客户读入失败"}};
    for (const auto &c : cases) {
        BookRows::Exec(db(), QStringLiteral("ALTER TABLE %1 RENAME TO Gone%1")
                                 .arg(QLatin1String(c.table)));
        ui.Clear();
        ui.OnModal(QStringLiteral("FormMakeReport"), [](QDialog *) {});
        Ui::ShowModal(&builder);
        EXPECT_EQ(ui.Messages(), QStringList{QString::fromUtf8(c.message)}) << c.table;
        BookRows::Exec(db(), QStringLiteral("ALTER TABLE Gone%1 RENAME TO %1")
                                 .arg(QLatin1String(c.table)));
    }
}

} // namespace
