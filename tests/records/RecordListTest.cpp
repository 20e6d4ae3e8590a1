// The record list window and the date range chooser through the UI seam: which records a
// list of 不限 and of a month shows, its labels and footers, the visibility of other users'
// records, editing a record from the list with the reload after it, the viewer, a list
// that cannot be read; the chooser's presets, its result and its cancel.
#include "BookRows.h"
#include "FormAsk.h"
#include "FormDateChose.h"
#include "FormGetPay.h"
#include "FormPreview.h"
#include "FormRecord.h"
#include "Globals.h"
#include "RecordGrid.h"
#include "Registry.h"
#include "ReportTestSupport.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "Settings.h"
#include "ShareDM.h"
#include "TestFolder.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

const QString Cash = QStringLiteral("现金帐");
const QString Receivable = QStringLiteral("应收帐");
const QString Customer = QStringLiteral("北方贸易");
const QDate Working(2024, 6, 14);

class RecordList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormAsk, &ask);
        RegisterWindow(FormGetPay, &pay);
        RegisterWindow(FormRecord, &list);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(Working);
        owed = BookRows::Account(db(), QStringLiteral("甲应收"), Receivable);
        owed2 = BookRows::Account(db(), QStringLiteral("乙应收"), Receivable);
        cash = BookRows::Account(db(), QStringLiteral("现金"), Cash);
    }

    DbConnection *db() { return &data.dm->ADOConnection1; }

    // A record of the customer with the pick-list values an entry window needs to save it.
    qint64 add(qint64 account, const QDate &day, double amount,
               const QString &customer = Customer, const QString &owner = QStringLiteral("出纳"))
    {
        const qint64 key = BookRows::Record(db(), account, day, amount, customer, owner);
        BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneyReason = '销售收入', "
                                            "MoneyType = '货款', MoneyToken = '现金' "
                                            "WHERE MoneyIndex = %1").arg(key));
        return key;
    }

    // Shows the list for the inputs and runs script in it.
    void show(const QString &type, const QDate &from, const QDate &to,
              ScriptedUi::Script script)
    {
        list.ListAccountType = type;
        list.ListCustomerName = Customer;
        list.ListDateFrom = from;
        list.ListDateTo = to;
        ui.OnModal(QStringLiteral("FormRecord"), std::move(script));
        Ui::ShowModal(&list);
    }

    // The texts a column shows, top to bottom.
    static QStringList column(const TRecordGrid *grid, const QString &field)
    {
        QStringList out;
        const int c = grid->ColumnOf(field);
        for (int row = 0; row < grid->Model()->rowCount(); ++row)
            out << grid->Model()->index(row, c).data().toString();
        return out;
    }
    static QString footer(const TRecordGrid *grid, const QString &field)
    {
        return grid->FooterText(grid->ColumnOf(field));
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

    TestDatabase data;
    ScriptedUi ui;
    TFormAsk ask;
    TFormGetPay pay;
    TFormRecord list;
    qint64 owed = 0, owed2 = 0, cash = 0;
};

// The customer's receivable records of every date, or of the month, both ends included;
// records of other customers and of other account types never show.
struct Range
{
    const char *what;
    QDate from;
    QDate to;
    const char *label;
    QStringList sums;
    const char *count;
    const char *in;
    const char *out;
    const char *total;
};
void PrintTo(const Range &r, std::ostream *os) { *os << r.what; }

class ListRange : public RecordList, public ::testing::WithParamInterface<Range> {};

TEST_P(ListRange, ShowsTheCustomersRecordsOfTheTypeAndRange)
{
    const Range r = GetParam();
    add(owed, QDate(2024, 5, 31), 10);
    add(owed2, QDate(2024, 6, 1), 20);
    add(owed, QDate(2024, 6, 14), -80);
    add(cash, QDate(2024, 6, 14), 999);                       // another type
    add(owed, QDate(2024, 6, 15), 5, QStringLiteral("南方商行"));   // another customer
    add(owed2, QDate(2024, 6, 30), 40);
    add(owed, QDate(2024, 7, 1), 100);
    QStringList labels, sums;
    QString count, in, out, total;
    show(Receivable, r.from, r.to, [&](QDialog *) {
        labels = QStringList{list.Label1->text(), list.Label2->text(), list.Label3->text()};
        sums = column(list.DBGridEh1, QStringLiteral("MoneySum"));
        count = list.DBGridEh1->FooterText(0);
        in = footer(list.DBGridEh1, QStringLiteral("MoneyIn"));
        out = footer(list.DBGridEh1, QStringLiteral("MoneyOut"));
        total = footer(list.DBGridEh1, QStringLiteral("MoneySum"));
        list.close();
    });
    EXPECT_EQ(labels, (QStringList{QStringLiteral("客户名称：北方贸易"),
                                   QStringLiteral("记录类型：应收帐记录"),
                                   QString::fromUtf8(r.label)}));
    EXPECT_EQ(sums, r.sums);
    EXPECT_EQ(count, QString::fromUtf8(r.count));
    EXPECT_EQ(in, QString::fromUtf8(r.in));
    EXPECT_EQ(out, QString::fromUtf8(r.out));
    EXPECT_EQ(total, QString::fromUtf8(r.total));
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, ListRange, ::testing::Values(
    Range{"不限", TFormRecord::NoRange(), TFormRecord::NoRange(), "日期范围：不限",
          {"10", "20", "-80", "40", "100"}, "5条", "170", "80", "90"},
    Range{"不限 whatever the end holds", TFormRecord::NoRange(), QDate(1990, 1, 1),
          "日期范围：不限", {"10", "20", "-80", "40", "100"}, "5条", "170", "80", "90"},
    Range{"the working month", QDate(2024, 6, 1), QDate(2024, 6, 30),
          "日期范围：2024-06-01 至 2024-06-30", {"20", "-80", "40"}, "3条", "60", "80", "-20"},
    Range{"an end before the start", QDate(2024, 6, 30), QDate(2024, 6, 1),
          "日期范围：2024-06-30 至 2024-06-01", {}, "0条", "0", "0", "0"}));

// An ordinary user sees in a list only the records he made himself.
TEST_F(RecordList, AnOrdinaryUserSeesHisOwnRecordsOnly)
{
    add(owed, Working, 10, Customer, QStringLiteral("小李"));
    add(owed, Working, 20, Customer, QStringLiteral("出纳"));
    Session::SetUser(QStringLiteral("小李"));
    MoneyFilter = QStringLiteral(" And (MoneyPower='小李')");
    QStringList sums;
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(),
         [&](QDialog *) { sums = column(list.DBGridEh1, QStringLiteral("MoneySum")); });
    EXPECT_EQ(sums, QStringList{"10"});
}

// A customer without records of the type: an empty list, and nothing to edit.
TEST_F(RecordList, AnEmptyListHasNothingToEdit)
{
    add(cash, Working, 50);
    QString count;
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(), [&](QDialog *) {
        count = list.DBGridEh1->FooterText(0);
        list.EditMoney->click();
        doubleClickRow(list.DBGridEh1, 0);
    });
    EXPECT_EQ(count, QStringLiteral("0条"));
    EXPECT_EQ(ui.Messages(), (QStringList{QStringLiteral("请先选中需要修改的记录"),
                                          QStringLiteral("请先选中需要修改的记录")}));
    EXPECT_EQ(ui.Shows(), QStringList{"FormRecord"});
}

// Double-clicking a record of -80 opens it as an expense with 80 in the amount field, in
// the accounts of the list's type; after saving, the list is read again.
TEST_F(RecordList, EditingARecordReloadsTheList)
{
    add(owed, Working, 30);
    const qint64 expense = add(owed2, Working, -80);
    BookRows::Account(db(), QStringLiteral("别的现金"), Cash);
    int mode = -1;
    QString amount, account, filter;
    QStringList accounts;
    ui.OnModal(QStringLiteral("FormGetPay"), [&](QDialog *) {
        mode = pay.EntryMode;
        filter = pay.EntryAccountFilter;
        amount = pay.Edit2->text();
        account = pay.ComboBox1->currentText();
        for (int i = 0; i < pay.ComboBox1->count(); ++i)
            accounts << pay.ComboBox1->itemText(i);
        pay.Edit2->setText(QStringLiteral("60"));
        pay.BitBtn1->click();
    });
    ui.OnModal(QStringLiteral("FormAsk"), [this](QDialog *) {
        ask.Edit1->setText(QStringLiteral("1234"));
        ask.BitBtn1->click();
    });
    QStringList before, after;
    QString totalAfter;
    int currentAfter = -1;
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(), [&](QDialog *) {
        before = column(list.DBGridEh1, QStringLiteral("MoneySum"));
        list.DBGridEh1->SetCurrentRow(1);
        doubleClickRow(list.DBGridEh1, 1);
        after = column(list.DBGridEh1, QStringLiteral("MoneySum"));
        totalAfter = footer(list.DBGridEh1, QStringLiteral("MoneySum"));
        currentAfter = list.DBGridEh1->CurrentRow();
    });
    EXPECT_EQ(mode, TFormGetPay::EditExpense);
    EXPECT_EQ(pay.EntryRecordIndex, expense);
    EXPECT_EQ(amount, QStringLiteral("80"));
    EXPECT_EQ(account, QStringLiteral("乙应收"));
    EXPECT_EQ(accounts, (QStringList{"甲应收", "乙应收"}));
    EXPECT_EQ(pay.EntryAccountType, Receivable);
    EXPECT_EQ(before, (QStringList{"30", "-80"}));
    EXPECT_EQ(after, (QStringList{"30", "-60"}));
    EXPECT_EQ(totalAfter, QStringLiteral("-30"));
    EXPECT_EQ(currentAfter, 0);
    EXPECT_TRUE(DataChanged);
    EXPECT_EQ(ui.Messages(), QStringList{"记录修改成功"});
}

// The viewer can open a list but opens no record from it.
TEST_F(RecordList, TheViewerOpensNoRecord)
{
    add(owed, Working, 30);
    Session::SetUser(QStringLiteral("查看"));
    QStringList sums;
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(), [&](QDialog *) {
        sums = column(list.DBGridEh1, QStringLiteral("MoneySum"));
        list.EditMoney->click();
        doubleClickRow(list.DBGridEh1, 0);
    });
    EXPECT_EQ(sums, QStringList{"30"});
    EXPECT_EQ(ui.Shows(), QStringList{"FormRecord"});
    EXPECT_TRUE(ui.Messages().isEmpty());
}

// 打印列表, for the viewer too: the rows listed, through the template the print setting
// picks.
TEST_F(RecordList, TheViewerPrintsTheList)
{
    ASSERT_TRUE(QDir().mkpath(ProgramDir + QStringLiteral("Frf")));
    for (const char *name : {"Record", "Record2"})
        ASSERT_TRUE(WriteListTemplate(
            ProgramDir + QStringLiteral("Frf/%1.frf").arg(QLatin1String(name)),
            QStringLiteral("模板%1").arg(QLatin1String(name)),
            {QStringLiteral("MoneyUser"), QStringLiteral("MoneySum")}));
    ASSERT_TRUE(WriteSetting(SettingKey::Section, SettingKey::PrintType,
                             QStringLiteral("横向打印"), SettingsFile));
    add(owed, Working, 30);
    add(owed2, Working.addDays(-40), -12.5);
    add(cash, Working, 99);
    add(owed, Working, 77, QStringLiteral("别的客户"));
    Session::SetUser(QStringLiteral("查看"));
    const QString pdf = ProgramDir + QStringLiteral("list.pdf");
    ui.OnModal(QStringLiteral("FormPreview"), [pdf](QDialog *d) {
        EXPECT_TRUE(static_cast<TFormPreview *>(d)->ExportTo(pdf));
    });
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(),
         [&](QDialog *) { list.PrintMoney->click(); });
    const QString text = PdfPages(pdf).join(QString());
    EXPECT_TRUE(text.contains(QStringLiteral("模板Record2")));
    EXPECT_TRUE(text.contains(QStringLiteral("|北方贸易|30|")));
    EXPECT_TRUE(text.contains(QStringLiteral("|北方贸易|-12.5|")));
    EXPECT_FALSE(text.contains(QStringLiteral("99"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("别的客户")));
    EXPECT_EQ(ui.Shows(), (QStringList{"FormRecord", "FormPreview"}));
}

// A list that cannot be read says so and stays empty; there is then nothing to edit.
TEST_F(RecordList, AListThatCannotBeReadStaysEmpty)
{
    add(owed, Working, 30);
    BookRows::Exec(db(), QStringLiteral("ALTER TABLE MoneyTable RENAME TO Gone"));
    bool active = true;
    show(Receivable, TFormRecord::NoRange(), TFormRecord::NoRange(), [&](QDialog *) {
        active = list.DBGridEh1->Active();
        list.EditMoney->click();
        list.PrintMoney->click();   // nothing to print: no preview, no message
    });
    EXPECT_FALSE(active);
    EXPECT_EQ(ui.Messages(), (QStringList{QStringLiteral("数据库打开失败"),
                                          QStringLiteral("请先选中需要修改的记录")}));
}

// ---------------------------------------------------------------- the date range chooser

class DateChooser : public ::testing::Test
{
protected:
    void SetUp() override { RegisterWindow(FormDateChose, &chooser); }

    TestFolder folder;
    ScriptedUi ui;
    TFormDateChose chooser;
};

// Every showing starts at the working month; 确定 returns the dates as chosen, in any order;
// 取消 returns nothing new.
TEST_F(DateChooser, PresetsTheWorkingMonthAndReturnsTheChoice)
{
    Session::SetWorkingDate(QDate(2024, 2, 14));
    QDate from, to;
    ui.OnModal(QStringLiteral("FormDateChose"), [&](QDialog *) {
        from = chooser.DateTimePicker1->date();
        to = chooser.DateTimePicker2->date();
        chooser.DateTimePicker1->setDate(QDate(2024, 3, 9));
        chooser.DateTimePicker2->setDate(QDate(2024, 1, 2));
        chooser.BitBtn1->click();
    });
    EXPECT_EQ(Ui::ShowModal(&chooser), QDialog::Accepted);
    EXPECT_EQ(from, QDate(2024, 2, 1));
    EXPECT_EQ(to, QDate(2024, 2, 29));
    EXPECT_EQ(chooser.ChosenDateFrom, QDate(2024, 3, 9));
    EXPECT_EQ(chooser.ChosenDateTo, QDate(2024, 1, 2));

    Session::SetWorkingDate(QDate(2023, 12, 31));
    ui.OnModal(QStringLiteral("FormDateChose"), [&](QDialog *) {
        from = chooser.DateTimePicker1->date();
        to = chooser.DateTimePicker2->date();
        chooser.DateTimePicker1->setDate(QDate(2020, 1, 1));
        chooser.BitBtn2->click();
    });
    EXPECT_EQ(Ui::ShowModal(&chooser), QDialog::Rejected);
    EXPECT_EQ(from, QDate(2023, 12, 1));
    EXPECT_EQ(to, QDate(2023, 12, 31));
    EXPECT_EQ(chooser.ChosenDateFrom, QDate(2024, 3, 9));
}

} // namespace
