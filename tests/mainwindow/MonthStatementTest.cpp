// 帐户月结: the figures of each account for the working date's month and the total line, as
// written into PrintTable and printed through Frf/AccountMonth.frf; every line kept when
// the table is short, and the previous statement whole when writing fails.
#include "BookRows.h"
#include "FormPreview.h"
#include "Globals.h"
#include "MonthStatement.h"
#include "ReportTestSupport.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "Shots.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// The rows of PrintTable, the spare accounts added, and the total line.
struct MonthCase
{
    int tableRows;
    int spare;
    const char *total;
};

class MonthStatement : public ::testing::TestWithParam<MonthCase>
{
protected:
    void SetUp() override
    {
        Session::SetBook(QStringLiteral("现金帐"));
        AccountFilter = QStringLiteral(" And (AccountType = '现金帐')");
        ASSERT_TRUE(QDir().mkpath(ProgramDir + QStringLiteral("Frf")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QM_SHIPPED_FRF "/AccountMonth.frf"),
                                ProgramDir + QStringLiteral("Frf/AccountMonth.frf")));
        BookRows::Exec(db(), QStringLiteral("DELETE FROM PrintTable WHERE PrintIndex > %1")
                                 .arg(GetParam().tableRows));
    }
    DbConnection *db() { return &data.dm->ADOConnection1; }
    // The enabled lines, "name|opening|income|expense|net|closing|" and the four empty texts.
    QStringList lines()
    {
        return BookRows::Column(db(), QStringLiteral(
            "Select PrintValue1||'|'||PrintValue2||'|'||PrintValue3||'|'||PrintValue4||'|'||"
            "PrintValue5||'|'||PrintValue6||'|'||PrintValue7||PrintValue8||PrintValue9||"
            "PrintValue10 As Line From PrintTable Where PrintEnable = 1 Order By PrintIndex"),
            QStringLiteral("Line"));
    }

    TestDatabase data;
    ScriptedUi ui;
};

// The month example, February 2008 (a leap year), a zero record, a record on each side of
// the month, an account of another book, and two accounts closing 1300 and −50.
TEST_P(MonthStatement, FiguresTotalAndPrintout)
{
    const qint64 a = BookRows::Account(db(), QStringLiteral("现金"), QStringLiteral("现金帐"), 1000);
    BookRows::Record(db(), a, QDate(2008, 2, 3), 500);
    BookRows::Record(db(), a, QDate(2008, 2, 20), -200);
    BookRows::Record(db(), a, QDate(2008, 2, 10), 0);
    BookRows::Record(db(), a, QDate(2008, 3, 1), 77);
    const qint64 b = BookRows::Account(db(), QStringLiteral("银行"), QStringLiteral("现金帐"), -20);
    BookRows::Record(db(), b, QDate(2008, 1, 31), -30);
    BookRows::Account(db(), QStringLiteral("甲应收"), QStringLiteral("应收帐"), 999);
    for (int i = 3; i < 3 + GetParam().spare; ++i)
        BookRows::Account(db(), QStringLiteral("备用%1").arg(i), QStringLiteral("现金帐"), i);
    const QString pdf = ProgramDir + QStringLiteral("month.pdf");
    ui.OnModal(QStringLiteral("FormPreview"),
               [pdf](QDialog *d) {
                   KeepShot(d, QStringLiteral("month-preview"));
                   EXPECT_TRUE(static_cast<TFormPreview *>(d)->ExportTo(pdf));
               });
    ASSERT_TRUE(PrintMonthStatement(QDate(2008, 2, 15), nullptr));

    const QStringList got = lines();
    ASSERT_EQ(got.size(), 3 + GetParam().spare);
    EXPECT_EQ(got.mid(0, 2), (QStringList{"现金|1000|500|200|300|1300|", "银行|-50|0|0|0|-50|"}));
    EXPECT_EQ(got.last().toStdString(), GetParam().total);
    KeepForLooking(pdf);
    const QString text = PdfPages(pdf).join(QString());
    for (const char *expected : {"帐户月结表", "现金帐", "2008年2月", "2008-02-01 至 2008-02-29",
                                 "1,000.00", "1,300.00", "-50.00", "总合计"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
}

// The second: 25 lines (spare accounts of 3 … 24) on a table cut down to 10 rows.
INSTANTIATE_TEST_SUITE_P(Months, MonthStatement, ::testing::Values(
    MonthCase{1000, 0, "总合计|950|500|200|300|1250|"},
    MonthCase{10, 22, "总合计|1247|500|200|300|1547|"}));

// A second statement over a longer first one disables the rows left over; one whose
// writing fails leaves the previous statement as it was and says so.
TEST_P(MonthStatement, ShorterAndFailedRewrites)
{
    for (int i = 1; i <= 6; ++i)
        BookRows::Account(db(), QStringLiteral("户%1").arg(i), QStringLiteral("现金帐"), i);
    ScratchRows printed;
    ASSERT_TRUE(WriteMonthStatement(QDate(2024, 5, 1), &printed));
    EXPECT_EQ(printed.rows.size(), 7u);
    BookRows::Exec(db(), QStringLiteral("UPDATE Account SET AccountType = '应付帐' WHERE "
                                        "AccountName IN ('户5', '户6')"));
    ASSERT_TRUE(WriteMonthStatement(QDate(2024, 5, 1), &printed));
    const QStringList shorter = lines();
    EXPECT_EQ(shorter.size(), 5);
    EXPECT_TRUE(shorter.last().startsWith(QStringLiteral("总合计|10|")));
    BookRows::Exec(db(), QStringLiteral("CREATE TRIGGER Broken BEFORE UPDATE ON PrintTable "
                                        "WHEN NEW.PrintValue1 = '总合计' BEGIN "
                                        "SELECT RAISE(ABORT, 'disk'); END"));
    BookRows::Exec(db(), QStringLiteral("UPDATE Account SET AccountType = '现金帐'"));
    EXPECT_FALSE(WriteMonthStatement(QDate(2024, 5, 1), &printed));
    EXPECT_EQ(lines(), shorter);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().first().startsWith(QStringLiteral("月结数据写入失败")));
}

} // namespace
