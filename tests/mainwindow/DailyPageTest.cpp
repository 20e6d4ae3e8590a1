// The daily journal and the report grid through the UI seam: the day's figures and grid,
// the shared columns and footers, the colour of 合计, the title click, the report's sort
// orders and its failures, editing the chosen record from either grid, and the journal in
// the main window's refresh.
#include "DailyPage.h"
#include "FormAsk.h"
#include "FormChose.h"
#include "FormGetPay.h"
#include "FormLogin.h"
#include "FormMain.h"
#include "FormPreview.h"
#include "FormWelcome.h"
#include "Globals.h"
#include "PublicFunction.h"
#include "RecordGrid.h"
#include "ReportTestSupport.h"
#include "Registry.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QBrush>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QDate Working(2024, 6, 10);

struct Row
{
    qint64 index;
    QString account;
    QString created;
    double sum;
};

class Journal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormAsk, &ask);
        RegisterWindow(FormGetPay, &pay);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(Working);
        Session::SetRefreshAll(&daily, [this] {
            ++refreshes;
            page.FillRecordGrids();
        });
        AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        cash = addAccount(QStringLiteral("现金"), QStringLiteral("现金帐"), 1000);
        bank = addAccount(QStringLiteral("银行"), QStringLiteral("现金帐"), 500);
        owed = addAccount(QStringLiteral("甲应收"), QStringLiteral("应收帐"), 77);
        daily.resize(1400, 700);
        report.resize(1400, 700);
    }

    DbConnection *conn() { return &t.dm->ADOConnection1; }

    qint64 addAccount(const QString &name, const QString &type, double base)
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
        EXPECT_TRUE(q.Open());
        q.Append();
        q.SetField(QStringLiteral("AccountName"), name);
        q.SetField(QStringLiteral("AccountType"), type);
        q.SetField(QStringLiteral("AccountBase"), base);
        q.SetField(QStringLiteral("AccountPower"), QStringLiteral("出纳"));
        EXPECT_TRUE(q.Post());
        return q.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
    }

    qint64 add(qint64 account, const QDate &day, double sum,
               const QString &remark = QString(), const QString &user = QStringLiteral("客户甲"))
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
        EXPECT_TRUE(q.Open());
        q.Append();
        q.SetField(QStringLiteral("MoneyAccount"), account);
        q.SetField(QStringLiteral("MoneyCreateTime"), day);
        q.SetField(QStringLiteral("MoneyUser"), user);
        q.SetField(QStringLiteral("MoneyIn"), sum >= 0 ? sum : 0.0);
        q.SetField(QStringLiteral("MoneyOut"), sum < 0 ? -sum : 0.0);
        q.SetField(QStringLiteral("MoneySum"), sum);
        q.SetField(QStringLiteral("MoneyReason"), QStringLiteral("销售收入"));
        q.SetField(QStringLiteral("MoneyType"), QStringLiteral("货款"));
        q.SetField(QStringLiteral("MoneyToken"), QStringLiteral("现金"));
        q.SetField(QStringLiteral("MoneyRemark"), remark);
        q.SetField(QStringLiteral("MoneyPower"), QStringLiteral("出纳"));
        EXPECT_TRUE(q.Post());
        return q.FieldByName(QStringLiteral("MoneyIndex")).AsInteger();
    }

    // The three incomes of 100, 50 and 0 and the expense of 30 on the working date, with
    // records before it, after it and in another book around them.
    void addTheExampleDay()
    {
        add(cash, Working.addDays(-9), 200);
        add(bank, Working.addDays(-5), -50);
        add(owed, Working, 999);
        add(cash, Working, 100);
        add(bank, Working, 50);
        add(cash, Working, 0);
        add(cash, Working, -30);
        add(cash, Working.addDays(1), 400);
    }

    static QStringList column(TRecordGrid *grid, const QString &field)
    {
        QStringList out;
        const int c = grid->ColumnOf(field);
        for (int row = 0; row < grid->Model()->rowCount(); ++row)
            out << grid->Model()->data(grid->Model()->index(row, c)).toString();
        return out;
    }

    static QList<qint64> keys(TRecordGrid *grid)
    {
        QList<qint64> out;
        for (int row = 0; row < grid->Model()->rowCount(); ++row)
            out << grid->Model()->KeyOfRow(row);
        return out;
    }

    void chooseOrder(int order)
    {
        page.ComboBox3->setCurrentIndex(order);
        emit page.ComboBox3->activated(order);
    }

    static void clickTitle(TRecordGrid *grid, int column)
    {
        QHeaderView *header = grid->View()->horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent e(type, at, header->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(header->viewport(), &e);
        }
    }

    static void doubleClickRow(TRecordGrid *grid, int row)
    {
        QWidget *rows = grid->View()->viewport();
        const QPoint at = grid->View()->visualRect(grid->Model()->index(row, 1)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                  QEvent::MouseButtonDblClick}) {
            QMouseEvent e(type, at, rows->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(rows, &e);
        }
    }

    TestDatabase t;
    ScriptedUi ui;
    TFormAsk ask;
    TFormGetPay pay;
    QWidget daily;
    QWidget report;
    QLabel accountSum;
    TDailyPage page{&daily, &report, &accountSum};
    int refreshes = 0;
    qint64 cash = 0, bank = 0, owed = 0;
};

TEST_F(Journal, TheExampleDay)
{
    addTheExampleDay();
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    EXPECT_TRUE(ui.Messages().isEmpty());
    // Opening amounts 1500 and 150 before the day; the day adds 100 + 50 + 0 - 30.
    EXPECT_EQ(page.Label7->text(), QStringLiteral("上日结余：1650 元"));
    EXPECT_EQ(page.Label8->text(), QStringLiteral("本日结余：1770 元"));
    EXPECT_EQ(page.Label11->text(), QStringLiteral("共 3 笔～150 元"));
    EXPECT_EQ(page.Label12->text(), QStringLiteral("共 1 笔～30 元"));
    EXPECT_EQ(page.Label9->text(), QStringLiteral("本日收入："));
    EXPECT_EQ(page.Label10->text(), QStringLiteral("本日支出："));
    EXPECT_EQ(accountSum.text(), QStringLiteral("总金额：1770 元"));

    TRecordGrid *grid = page.DBGridEh1;
    EXPECT_EQ(column(grid, QStringLiteral("MoneySum")),
              (QStringList{"100", "50", "0", "-30"}));
    EXPECT_EQ(column(grid, QStringLiteral("MoneyCreateTime")),
              QStringList(4, QStringLiteral("2024-06-10")));
    const QStringList titles{"记录号", "单据编号", "录入时间", "帐户名", "客户名称", "收入", "支出",
                             "合计", "业务员", "收支种类", "类别", "凭证", "备注"};
    const QList<int> widths{50, 60, 70, 90, 112, 60, 60, 65, 50, 60, 40, 40, 128};
    ASSERT_EQ(grid->ColumnCount(), titles.size());
    for (int c = 0; c < grid->ColumnCount(); ++c) {
        EXPECT_EQ(grid->ColumnTitle(c), titles[c]);
        EXPECT_EQ(grid->ColumnWidth(c), widths[c]);
        EXPECT_TRUE(grid->ColumnCentred(c));
    }
    EXPECT_EQ(grid->FooterText(0), QStringLiteral("4条"));
    EXPECT_EQ(grid->FooterText(grid->ColumnOf(QStringLiteral("MoneyIn"))), QStringLiteral("150"));
    EXPECT_EQ(grid->FooterText(grid->ColumnOf(QStringLiteral("MoneyOut"))), QStringLiteral("30"));
    EXPECT_EQ(grid->FooterText(grid->ColumnOf(QStringLiteral("MoneySum"))), QStringLiteral("120"));
    EXPECT_EQ(grid->FooterColour(grid->ColumnOf(QStringLiteral("MoneyOut"))), QColor(Qt::red));
    EXPECT_EQ(grid->FooterText(grid->ColumnOf(QStringLiteral("MoneyUser"))), QString());
}

TEST_F(Journal, ADayWithoutRecords)
{
    addTheExampleDay();
    Session::SetWorkingDate(QDate(2024, 6, 20));
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    EXPECT_EQ(page.Label7->text(), QStringLiteral("上日结余：2170 元"));
    EXPECT_EQ(page.Label8->text(), QStringLiteral("本日结余：2170 元"));
    EXPECT_EQ(page.Label11->text(), QStringLiteral("共 0 笔～0 元"));
    EXPECT_EQ(page.Label12->text(), QStringLiteral("共 0 笔～0 元"));
    EXPECT_EQ(page.DBGridEh1->Model()->rowCount(), 0);
    EXPECT_EQ(page.DBGridEh1->FooterText(0), QStringLiteral("0条"));
    EXPECT_EQ(page.DBGridEh1->FooterText(page.DBGridEh1->ColumnOf(QStringLiteral("MoneySum"))),
              QStringLiteral("0"));
}

// An ordinary user's journal counts his own records of his and the cashier's accounts.
TEST_F(Journal, FollowsTheVisibilityFilters)
{
    addTheExampleDay();
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where MoneySum = 50"));
        ASSERT_TRUE(q.Open());
        q.Edit();
        q.SetField(QStringLiteral("MoneyPower"), QStringLiteral("王五"));
        ASSERT_TRUE(q.Post());
    }
    MoneyFilter = QStringLiteral(" And (MoneyPower='王五')");
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    EXPECT_EQ(page.Label11->text(), QStringLiteral("共 1 笔～50 元"));
    EXPECT_EQ(page.Label12->text(), QStringLiteral("共 0 笔～0 元"));
    EXPECT_EQ(page.Label7->text(), QStringLiteral("上日结余：1500 元"));
    EXPECT_EQ(page.Label8->text(), QStringLiteral("本日结余：1550 元"));
    EXPECT_EQ(page.DBGridEh1->Model()->rowCount(), 1);
}

// 合计 is red when it rounds to a whole number below zero: -0.4 and -0.5 stay black.
TEST_F(Journal, NegativeSumsDrawRedOnceRounded)
{
    const struct { double sum; bool red; } cases[] = {
        {-0.4, false}, {-0.5, false}, {-0.6, true}, {-1.5, true}, {0, false}, {12, false}};
    for (const auto &c : cases)
        add(cash, Working, c.sum);
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    TRecordGridModel *m = page.DBGridEh1->Model();
    const int sum = m->FieldIndex(QStringLiteral("MoneySum"));
    ASSERT_EQ(m->rowCount(), int(std::size(cases)));
    for (int row = 0; row < m->rowCount(); ++row) {
        const QVariant brush = m->data(m->index(row, sum), Qt::ForegroundRole);
        ASSERT_TRUE(brush.isValid());
        EXPECT_EQ(brush.value<QBrush>().color(), cases[row].red ? QColor(Qt::red)
                                                                : QColor(Qt::black))
            << cases[row].sum;
        EXPECT_FALSE(m->data(m->index(row, 0), Qt::ForegroundRole).isValid());
    }
}

// A click on 备注's title after long remarks were drawn widens it to the longest one plus
// 20 pixels; clicking again changes nothing, and a wide enough column stays as it is.
TEST_F(Journal, ATitleClickWidensToTheWidestTextDrawn)
{
    const QString longest = QStringLiteral("这是一条很长很长的备注，写满了说明文字");
    add(cash, Working, 1, QStringLiteral("短"));
    add(cash, Working, 2, longest);
    add(cash, Working, 3, QStringLiteral("中等长度的备注"));
    daily.show();
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    TRecordGrid *grid = page.DBGridEh1;
    const int remark = grid->ColumnOf(QStringLiteral("MoneyRemark"));
    const int index = grid->ColumnOf(QStringLiteral("MoneyIndex"));
    daily.grab();
    const int wanted = QFontMetrics(grid->View()->font()).horizontalAdvance(longest) + 20;
    ASSERT_GT(wanted, 128);
    EXPECT_EQ(grid->ColumnWidth(remark), 128);
    clickTitle(grid, remark);
    EXPECT_EQ(grid->ColumnWidth(remark), wanted);
    clickTitle(grid, remark);
    EXPECT_EQ(grid->ColumnWidth(remark), wanted);
    clickTitle(grid, index);
    EXPECT_EQ(grid->ColumnWidth(index), 50);
    // Rebuilt columns start again from nothing remembered.
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    EXPECT_EQ(grid->ColumnWidth(remark), 128);
    clickTitle(grid, remark);
    EXPECT_EQ(grid->ColumnWidth(remark), 128);
}

// The report grid in each order: by date, by account, by amount largest first; ties by
// date and then by record number.
TEST_F(Journal, TheReportGridsThreeOrders)
{
    const QDate d1(2024, 1, 5), d2(2024, 1, 6);
    add(bank, d2, 20);
    add(cash, d2, 20);
    add(cash, d1, -7);
    add(bank, d1, 20);
    add(cash, d1, 35.5);
    add(owed, d1, 500);   // another book: never listed
    add(bank, d2, 20);
    QList<Row> rows;
    {
        DbQuery q(conn());
        q.SetSQL(QStringLiteral("Select * From Account,MoneyTable Where (AccountIndex = "
                                "MoneyAccount) And (AccountType = '现金帐')"));
        ASSERT_TRUE(q.Open());
        for (q.First(); !q.Eof(); q.Next())
            rows << Row{q.FieldByName(QStringLiteral("MoneyIndex")).AsInteger(),
                        q.FieldByName(QStringLiteral("AccountName")).AsString(),
                        q.FieldByName(QStringLiteral("MoneyCreateTime")).AsString(),
                        q.FieldByName(QStringLiteral("MoneySum")).AsFloat()};
    }
    const auto sorted = [&rows](auto less) {
        QList<Row> r = rows;
        std::sort(r.begin(), r.end(), less);
        QList<qint64> out;
        for (const Row &x : r)
            out << x.index;
        return out;
    };
    const QList<qint64> byTime = sorted([](const Row &a, const Row &b) {
        return std::tie(a.created, a.index) < std::tie(b.created, b.index);
    });
    const QList<qint64> byAccount = sorted([](const Row &a, const Row &b) {
        return std::tie(a.account, a.created, a.index) < std::tie(b.account, b.created, b.index);
    });
    const QList<qint64> byAmount = sorted([](const Row &a, const Row &b) {
        return std::make_tuple(-a.sum, a.created, a.index)
            < std::make_tuple(-b.sum, b.created, b.index);
    });
    EXPECT_FALSE(page.DBGridEh2->Active());
    EXPECT_EQ(page.ComboBox3->currentText(), QStringLiteral("按时间排"));
    chooseOrder(TDailyPage::ByAccount);
    EXPECT_EQ(keys(page.DBGridEh2), byAccount);
    chooseOrder(TDailyPage::ByAmount);
    EXPECT_EQ(keys(page.DBGridEh2), byAmount);
    EXPECT_EQ(column(page.DBGridEh2, QStringLiteral("MoneySum")).first(), QStringLiteral("35.5"));
    chooseOrder(TDailyPage::ByTime);
    EXPECT_EQ(keys(page.DBGridEh2), byTime);
    EXPECT_EQ(page.DBGridEh2->FooterText(0), QStringLiteral("6条"));
    EXPECT_EQ(page.DBGridEh2->ColumnTitle(4), QStringLiteral("客户名称"));
    EXPECT_TRUE(ui.Messages().isEmpty());
}

// The report's condition narrows it; a condition the engine refuses is reported in the
// engine's own words and leaves the grid closed, so a refresh leaves it alone.
TEST_F(Journal, TheReportConditionAndItsFailure)
{
    addTheExampleDay();
    add(cash, Working, 5, QString(), QStringLiteral("客户乙"));
    ReportCondition = QStringLiteral(" And (MoneyUser = '客户乙')");
    chooseOrder(TDailyPage::ByTime);
    EXPECT_EQ(column(page.DBGridEh2, QStringLiteral("MoneyUser")), QStringList{"客户乙"});
    ReportCondition = QStringLiteral(" And (NoSuchColumn = 1)");
    chooseOrder(TDailyPage::ByAmount);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().first().contains(QStringLiteral("no such column")))
        << ui.Messages().first().toStdString();
    EXPECT_FALSE(page.DBGridEh2->Active());
    EXPECT_EQ(page.DBGridEh2->ColumnCount(), 0);
    ReportCondition.clear();
    page.FillRecordGrids();
    EXPECT_FALSE(page.DBGridEh2->Active());
    EXPECT_TRUE(page.DBGridEh1->Active());
}

// A refresh refills the report grid only while it is open.
TEST_F(Journal, ARefreshRefillsAnOpenReportGrid)
{
    addTheExampleDay();
    page.FillRecordGrids();
    EXPECT_FALSE(page.DBGridEh2->Active());
    chooseOrder(TDailyPage::ByTime);
    const int before = page.DBGridEh2->Model()->rowCount();
    add(bank, Working.addDays(3), 9);
    page.FillRecordGrids();
    EXPECT_EQ(page.DBGridEh2->Model()->rowCount(), before + 1);
}

// Editing: a record of -50 opens as an expense (mode 3) with its number; OK refreshes.
struct Edit
{
    const char *what;
    bool report;
    double sum;
    int mode;
    bool save;
};
void PrintTo(const Edit &e, std::ostream *os) { *os << e.what; }

class Editing : public Journal, public ::testing::WithParamInterface<Edit> {};

TEST_P(Editing, OpensTheChosenRecordInTheEntryWindow)
{
    const Edit e = GetParam();
    add(cash, Working, 12);
    const qint64 chosen = add(bank, Working, e.sum);
    add(cash, Working, 7);
    WriteSetting(SettingKey::Section, SettingKey::AccountType, QStringLiteral("现金帐"),
                 SettingsFile);
    daily.show();
    report.show();
    TRecordGrid *grid = e.report ? page.DBGridEh2 : page.DBGridEh1;
    ASSERT_TRUE(e.report ? (chooseOrder(TDailyPage::ByTime), grid->Active())
                         : page.FillRecordGrid(grid));
    ui.OnModal(QStringLiteral("FormGetPay"), [&e, chosen](QDialog *d) {
        auto *w = static_cast<TFormGetPay *>(d);
        EXPECT_EQ(w->EntryMode, e.mode);
        EXPECT_EQ(w->EntryRecordIndex, chosen);
        EXPECT_EQ(w->EntryAccountFilter, AccountFilter);
        EXPECT_EQ(w->EntryAccountType, QStringLiteral("现金帐"));
        EXPECT_EQ(w->ComboBox1->currentText(), QStringLiteral("银行"));
        if (!e.save) {
            w->BitBtn2->click();
            return;
        }
        w->Edit2->setText(QStringLiteral("88"));
        w->BitBtn1->click();
    });
    if (e.save)
        ui.OnModal(QStringLiteral("FormAsk"), [](QDialog *d) {
            auto *f = static_cast<TFormAsk *>(d);
            f->Edit1->setText(QStringLiteral("1234"));
            f->BitBtn1->click();
        });
    doubleClickRow(grid, 1);
    EXPECT_EQ(ui.Shows().first(), QStringLiteral("FormGetPay"));
    EXPECT_EQ(refreshes, e.save ? 1 : 0);
    if (e.save) {
        EXPECT_EQ(column(page.DBGridEh1, QStringLiteral("MoneySum")).value(1),
                  e.sum < 0 ? QStringLiteral("-88") : QStringLiteral("88"));
        EXPECT_EQ(page.Label8->text(), QStringLiteral("本日结余：%1 元")
                                           .arg(AmountText(1500 + 19 + (e.sum < 0 ? -88 : 88))));
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Editing, ::testing::Values(
    Edit{"day grid, expense saved", false, -50, TFormGetPay::EditExpense, true},
    Edit{"day grid, income cancelled", false, 50, TFormGetPay::EditIncome, false},
    Edit{"day grid, zero is an income", false, 0, TFormGetPay::EditIncome, false},
    Edit{"report grid, expense saved", true, -50, TFormGetPay::EditExpense, true},
    Edit{"report grid, income cancelled", true, 20, TFormGetPay::EditIncome, false}));

// 修改记录 and Enter reach the entry window too.
TEST_F(Journal, TheButtonAndEnterEditTheCurrentRow)
{
    add(cash, Working, 12);
    const qint64 last = add(cash, Working, -3);
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    const auto cancel = [last](QDialog *d) {
        EXPECT_EQ(static_cast<TFormGetPay *>(d)->EntryRecordIndex, last);
        static_cast<TFormGetPay *>(d)->BitBtn2->click();
    };
    ui.OnModal(QStringLiteral("FormGetPay"), cancel);
    ui.OnModal(QStringLiteral("FormGetPay"), cancel);
    page.DBGridEh1->SetCurrentRow(1);
    page.ButtonEditMoney->click();
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent key(type, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(page.DBGridEh1->View(), &key);
    }
    EXPECT_EQ(ui.Shows(), (QStringList{"FormGetPay", "FormGetPay"}));
}

// Nothing chosen: each grid says so in its own words; the viewer gets nothing at all.
TEST_F(Journal, NothingToEditOrNoRightToEdit)
{
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));   // an empty day
    page.ActionEditMoneyExecute();
    page.DBGridEh2DblClick();                           // the report was never opened
    EXPECT_EQ(ui.Messages(), (QStringList{QStringLiteral("请先选中要修改的记录"),
                                          QStringLiteral("请先选中需要修改的记录")}));
    ui.Clear();
    add(cash, Working, 5);
    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    chooseOrder(TDailyPage::ByTime);
    Session::SetUser(QStringLiteral("查看"));
    page.ButtonEditMoney->click();
    page.DBGridEh2DblClick();
    EXPECT_TRUE(ui.log.isEmpty());
}

// ---------------------------------------------------------------- in the main window

class JournalInMainWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dm.ConnectDatabase(folder.Database()));
        RegisterWindow(FormMain, &main);
        RegisterWindow(FormLogin, &login);
        RegisterWindow(FormWelcome, &welcome);
        RegisterWindow(FormChose, &chose);
    }

    TestFolder folder;
    ScriptedUi ui;
    TShareDataModule dm;
    Registration<TShareDataModule> dmSlot{ShareDataModule, &dm};
    TFormMain main;
    TFormLogin login{&main};
    TFormWelcome welcome{&main};
    TFormChose chose{&main};
};

// Signing in fills the journal for today; a date change fills it for the new day.
TEST_F(JournalInMainWindow, FollowsTheWorkingDate)
{
    {
        DbQuery q(&dm.ADOConnection1);
        q.SetSQL(QStringLiteral("Select * From Account Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        q.Append();
        q.SetField(QStringLiteral("AccountName"), QStringLiteral("现金"));
        q.SetField(QStringLiteral("AccountType"), QStringLiteral("现金帐"));
        q.SetField(QStringLiteral("AccountBase"), 10.0);
        ASSERT_TRUE(q.Post());
        const qint64 account = q.FieldByName(QStringLiteral("AccountIndex")).AsInteger();
        q.SetSQL(QStringLiteral("Select * From MoneyTable Where 1 = 0"));
        ASSERT_TRUE(q.Open());
        for (const QDate &day : {QDate::currentDate(), QDate::currentDate().addDays(-1)}) {
            q.Append();
            q.SetField(QStringLiteral("MoneyAccount"), account);
            q.SetField(QStringLiteral("MoneyCreateTime"), day);
            q.SetField(QStringLiteral("MoneySum"), 5.0);
            q.SetField(QStringLiteral("MoneyIn"), 5.0);
            ASSERT_TRUE(q.Post());
        }
    }
    ui.OnModal(QStringLiteral("FormWelcome"), [](QDialog *d) {
        d->findChild<QPushButton *>(QStringLiteral("ButtonLogin"))->click();
    });
    ui.OnModal(QStringLiteral("FormLogin"), [](QDialog *d) {
        d->findChild<QPushButton *>(QStringLiteral("ButtonYes"))->click();
    });
    ui.OnModal(QStringLiteral("FormChose"), [](QDialog *) {});
    ASSERT_EQ(main.FormShow(), TFormMain::StartResult::SignedIn);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
    EXPECT_EQ(main.Daily->Label8->text(), QStringLiteral("本日结余：20 元"));
    EXPECT_EQ(main.AccountSum->text(), QStringLiteral("总金额：20 元"));
    EXPECT_EQ(main.Daily->DBGridEh1->Model()->rowCount(), 1);
    main.BitBtn1Click();
    EXPECT_EQ(main.Daily->Label8->text(), QStringLiteral("本日结余：15 元"));
    main.BitBtn1Click();
    EXPECT_EQ(main.Daily->Label8->text(), QStringLiteral("本日结余：10 元"));
    EXPECT_EQ(main.Daily->DBGridEh1->Model()->rowCount(), 0);
    EXPECT_EQ(main.Daily->DBGridEh1->parentWidget(), main.TabSheet3);
    EXPECT_EQ(main.Daily->DBGridEh2->parentWidget(), main.TabSheet4);
}



// The printouts: each template writes which file it is, so the PDF tells which one the
// settings chose; its rows are those of the grid, in the grid's order.
class JournalPrint : public Journal
{
protected:
    void SetUp() override
    {
        Journal::SetUp();
        ASSERT_TRUE(QDir().mkpath(ProgramDir + QStringLiteral("Frf")));
        const QStringList fields = {QStringLiteral("MoneyIndex"), QStringLiteral("MoneyUser")};
        for (const char *name : {"Report", "Report2", "Daily", "Daily2"})
            ASSERT_TRUE(WriteListTemplate(
                ProgramDir + QStringLiteral("Frf/%1.frf").arg(QLatin1String(name)),
                QStringLiteral("模板%1").arg(QLatin1String(name)),
                name[0] == 'R' ? fields
                               : fields + QStringList{QStringLiteral("PrintValue1"),
                                                      QStringLiteral("PrintValue4")}));
    }

    // The next preview exports its pages; returns their texts joined.
    QString printed(const std::function<void()> &action)
    {
        const QString pdf = ProgramDir + QStringLiteral("out.pdf");
        QFile::remove(pdf);
        ui.OnModal(QStringLiteral("FormPreview"), [pdf](QDialog *d) {
            EXPECT_TRUE(static_cast<TFormPreview *>(d)->ExportTo(pdf));
        });
        action();
        return PdfPages(pdf).join(QString());
    }

    // The record numbers in the order printed.
    static QList<qint64> printedKeys(const QString &text)
    {
        QList<qint64> keys;
        static const QRegularExpression row(QStringLiteral(R"(\|(\d+)\|)"));
        for (auto it = row.globalMatch(text); it.hasNext();)
            keys << it.next().captured(1).toLongLong();
        return keys;
    }
};

struct PrintChoice { const char *printType; const char *report; const char *daily; };
class JournalPrintType : public JournalPrint, public ::testing::WithParamInterface<PrintChoice> {};

TEST_P(JournalPrintType, TheSettingPicksTheTemplateAndThePrintFollowsTheGrid)
{
    if (GetParam().printType)
        ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::PrintType,
                                 QString::fromUtf8(GetParam().printType), SettingsFile));
    addTheExampleDay();
    add(cash, Working, 5, QString(), QStringLiteral("客户乙"));
    // Never filled: nothing happens.
    page.ActionPrintReportExecute();
    EXPECT_TRUE(ui.Shows().isEmpty());

    ReportCondition = QStringLiteral(" And (MoneyUser = '客户甲')");
    chooseOrder(TDailyPage::ByAmount);
    const QString report = printed([this] { page.ButtonPrintReport->click(); });
    EXPECT_TRUE(report.contains(QString::fromUtf8(GetParam().report))) << report.toStdString();
    EXPECT_EQ(printedKeys(report), keys(page.DBGridEh2));
    EXPECT_FALSE(report.contains(QStringLiteral("客户乙")));
    ReportCondition.clear();

    ASSERT_TRUE(page.FillRecordGrid(page.DBGridEh1));
    const QString day = printed([this] { page.ButtonPrintMoney->click(); });
    EXPECT_TRUE(day.contains(QString::fromUtf8(GetParam().daily))) << day.toStdString();
    EXPECT_EQ(printedKeys(day), keys(page.DBGridEh1));
    // Row 1 of PrintTable holds the four figures, and the template printed them.
    DbQuery q(conn());
    q.SetSQL(QStringLiteral("Select * From PrintTable Where PrintIndex = 1"));
    ASSERT_TRUE(q.Open());
    EXPECT_EQ(q.FieldByName(QStringLiteral("PrintValue1")).AsString(), page.Label7->text());
    EXPECT_EQ(q.FieldByName(QStringLiteral("PrintValue2")).AsString(), page.Label8->text());
    EXPECT_EQ(q.FieldByName(QStringLiteral("PrintValue3")).AsString(),
              QStringLiteral("本日收入：共 4 笔～155 元"));
    EXPECT_EQ(q.FieldByName(QStringLiteral("PrintValue4")).AsString(),
              QStringLiteral("本日支出：共 1 笔～30 元"));
    EXPECT_TRUE(day.contains(QStringLiteral("|上日结余：1650 元|本日支出：共 1 笔～30 元|")));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(QLatin1Char('\n')).toStdString();
}

INSTANTIATE_TEST_SUITE_P(Settings, JournalPrintType, ::testing::Values(
    PrintChoice{nullptr, "模板Report", "模板Daily"},
    PrintChoice{"纵向打印", "模板Report", "模板Daily"},
    PrintChoice{"横向打印", "模板Report2", "模板Daily2"},
    PrintChoice{"竖着打", "模板Report2", "模板Daily2"}));

// A missing or malformed template: the engine's message, no preview.
TEST_F(JournalPrint, ATemplateThatCannotBeUsed)
{
    addTheExampleDay();
    chooseOrder(TDailyPage::ByTime);
    QFile::remove(ProgramDir + QStringLiteral("Frf/Report.frf"));
    page.ActionPrintReportExecute();
    QFile bad(ProgramDir + QStringLiteral("Frf/Daily.frf"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly | QIODevice::Truncate));
    bad.write("<report version=\"1\">\n<band type=\"detail\"");
    bad.close();
    page.ActionPrintMoneyExecute();
    EXPECT_TRUE(ui.Shows().isEmpty());
    ASSERT_EQ(ui.Messages().size(), 2);
    EXPECT_TRUE(ui.Messages().at(0).startsWith(QStringLiteral("找不到报表模板文件")));
    EXPECT_TRUE(ui.Messages().at(1).contains(QStringLiteral("格式有误，第 2 行")))
        << ui.Messages().at(1).toStdString();
}

} // namespace
