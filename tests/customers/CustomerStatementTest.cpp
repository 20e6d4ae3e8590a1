// 财务数据明细: the customer statement of the chosen range, section by section, as written
// into PrintReport and printed through Frf/CustomerDetail.frf; with a table of 20,000 rows
// and with one cut down to 10, a statement of 25 lines loses none.
#include "BookRows.h"
#include "FormCustomer2.h"
#include "FormDateChose.h"
#include "FormPreview.h"
#include "Globals.h"
#include "Registry.h"
#include "ReportTestSupport.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "Shots.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const QString Name = QStringLiteral("O'Brien 商行");

class CustomerStatement : public ::testing::TestWithParam<int>
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormCustomer2, &detail);
        RegisterWindow(FormDateChose, &chooser);
        Session::SetUser(QStringLiteral("出纳"));
        Session::SetWorkingDate(QDate(2024, 6, 14));
        MoneyFilter = QStringLiteral(" And (MoneyPower='出纳')");
        ASSERT_TRUE(QDir().mkpath(ProgramDir + QStringLiteral("Frf")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QM_SHIPPED_FRF "/CustomerDetail.frf"),
                                ProgramDir + QStringLiteral("Frf/CustomerDetail.frf")));
        BookRows::Exec(db(), QStringLiteral("DELETE FROM PrintReport WHERE ReportIndex > %1")
                                 .arg(GetParam()));
    }
    DbConnection *db() { return &data.dm->ADOConnection1; }

    // The enabled rows of PrintReport, their eight columns joined by bars.
    QStringList printed()
    {
        return BookRows::Column(db(), QStringLiteral(
            "Select ReportGrid1||'|'||ReportGrid2||'|'||ReportGrid3||'|'||ReportGrid4||'|'||"
            "ReportGrid5||'|'||ReportGrid6||'|'||ReportGrid7||'|'||ReportGrid8 As Line From "
            "PrintReport Where ReportEnable = 1 Order By ReportIndex"), QStringLiteral("Line"));
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormCustomer2 detail;
    TFormDateChose chooser;
};

TEST_P(CustomerStatement, SectionsRecordsSubtotalsAndPrintout)
{
    const qint64 customer = BookRows::Customer(db(), Name);
    const qint64 owed = BookRows::Account(db(), QStringLiteral("甲应收"), QStringLiteral("应收帐"));
    const qint64 owing = BookRows::Account(db(), QStringLiteral("乙应付"), QStringLiteral("应付帐"));
    const qint64 cash = BookRows::Account(db(), QStringLiteral("现金"));
    BookRows::Record(db(), owed, QDate(2024, 5, 31), 80, Name);          // before the range
    BookRows::Record(db(), owing, QDate(2024, 6, 1), -120.5, Name);
    BookRows::Record(db(), owing, QDate(2024, 6, 10), 300, Name);
    BookRows::Record(db(), cash, QDate(2024, 6, 5), -0.25, Name);
    const qint64 timed = BookRows::Record(db(), cash, QDate(2024, 6, 12), 7.5, Name);
    BookRows::Record(db(), cash, QDate(2024, 6, 30), 1000, Name);
    const qint64 late = BookRows::Record(db(), cash, QDate(2024, 6, 30), 9, Name);
    BookRows::Record(db(), cash, QDate(2024, 6, 20), 5, Name, QStringLiteral("小李"));   // hidden
    BookRows::Record(db(), cash, QDate(2024, 6, 20), 6, QStringLiteral("别的客户"));
    BookRows::Exec(db(), QStringLiteral("UPDATE MoneyTable SET MoneyCreateTime = CASE MoneyIndex "
                                        "WHEN %1 THEN '2024-06-12 09:30:00' ELSE "
                                        "'2024-06-30 10:00:00' END WHERE MoneyIndex IN (%1, %2)")
                             .arg(timed)
                             .arg(late));
    const qint64 bank = BookRows::Account(db(), QStringLiteral("银行"));
    for (int i = 1; i <= 11; ++i)
        BookRows::Record(db(), bank, QDate(2024, 6, 20), 2000 + i, Name);

    const QString pdf = ProgramDir + QStringLiteral("statement.pdf");
    ui.OnModal(QStringLiteral("FormDateChose"),
               [this](QDialog *) {
                   KeepShot(&chooser, QStringLiteral("date-chooser"));
                   chooser.BitBtn1->click();
               });
    ui.OnModal(QStringLiteral("FormPreview"),
               [pdf](QDialog *d) {
                   KeepShot(d, QStringLiteral("statement-preview"));
                   EXPECT_TRUE(static_cast<TFormPreview *>(d)->ExportTo(pdf));
               });
    ui.OnModal(QStringLiteral("FormCustomer2"),
               [this](QDialog *) {
                   KeepShot(&detail, QStringLiteral("customer-detail"));
                   detail.ButtonMoneyDetail->click();
               });
    detail.DetailCustomerIndex = customer;
    Ui::ShowModal(&detail);

    const QString blank = QStringLiteral("|||||||");
    QStringList expected{
        "应收记录|录入时间|帐户名称|客户名称|应收入帐|应收出帐|应收合计|业务员",
        "------|------|------|应收帐务合计|0|0|0|------", blank,
        "应付记录|录入时间|帐户名称|客户名称|应付入帐|应付出帐|应付合计|业务员",
        "|2024-06-01|乙应付|O'Brien 商行|0|120.5|-120.5|",
        "|2024-06-10|乙应付|O'Brien 商行|300|0|300|",
        "------|------|------|应付帐务合计|300|120.5|179.5|------", blank,
        "财务记录|录入时间|帐户名称|客户名称|财务收入|财务支出|财务合计|业务员",
        "|2024-06-05|现金|O'Brien 商行|0|0.25|-0.25|",
        "|2024-06-12 09:30:00|现金|O'Brien 商行|7.5|0|7.5|",
        "|2024-06-30|现金|O'Brien 商行|1000|0|1000|"};
    for (int i = 1; i <= 11; ++i)
        expected << QStringLiteral("|2024-06-20|银行|O'Brien 商行|%1|0|%1|").arg(2000 + i);
    expected << "------|------|------|财务收支合计|23073.5|0.25|23073.25|------" << blank;
    ASSERT_EQ(expected.size(), 25);
    EXPECT_EQ(printed(), expected);

    KeepForLooking(pdf);
    const QString text = PdfPages(pdf).join(QString());
    for (const char *s : {"客户对帐单", "客户：O'Brien 商行", "2024-06-01 至 2024-06-30",
                          "应付帐务合计", "23073.25", "2024-06-12 09:30:00", "客户确认（签章）"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s << "\n" << text.toStdString();
    EXPECT_TRUE(ui.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(TableRows, CustomerStatement, ::testing::Values(20000, 10));

} // namespace
