// The bill of the entry window: the amount on the screen in capitals, the stored record
// through Frf/Bill.frf (收款单 or 付款单 by the stored sign), read back from its PDF; a bad
// amount says so and prints nothing; nothing is ever written.
#include "BookRows.h"
#include "DatabaseDump.h"
#include "FormGetPay.h"
#include "FormPreview.h"
#include "Globals.h"
#include "Registry.h"
#include "ReportRenderer.h"
#include "ReportTestSupport.h"
#include "ScriptedUi.h"
#include "Session.h"
#include "ShareDM.h"
#include "Shots.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString squeezed(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("[\\s\\x{3000}]")));
}

struct BillCase
{
    double stored;
    const char *typed;      // the amount field when 打印 is clicked
    const char *kind;       // 收款单 or 付款单
    const char *msum;
    const char *capitals;   // MoneyCN
};

class Bill : public ::testing::TestWithParam<BillCase>
{
protected:
    void SetUp() override
    {
        RegisterWindow(FormGetPay, &pay);
        Session::SetUser(QStringLiteral("出纳"));
        ASSERT_TRUE(QDir().mkpath(ProgramDir + QStringLiteral("Frf")));
        ASSERT_TRUE(QFile::copy(QStringLiteral(QM_SHIPPED_FRF "/Bill.frf"),
                                ProgramDir + QStringLiteral("Frf/Bill.frf")));
        ASSERT_TRUE(SetReportCompanyName(QStringLiteral("澄衡商行")));
        account = BookRows::Account(db(), QStringLiteral("现金"));
    }
    DbConnection *db() { return &data.dm->ADOConnection1; }

    // Shows the record in its edit mode, types the amount and clicks 打印.
    void print(qint64 record, double stored, const QString &typed)
    {
        pay.EntryMode = stored >= 0 ? TFormGetPay::EditIncome : TFormGetPay::EditExpense;
        pay.EntryRecordIndex = record;
        pay.FormShow();
        ASSERT_FALSE(pay.PrintButton->isHidden());
        pay.Edit2->setText(typed);
        KeepShot(&pay, QStringLiteral("entry-window"));
        pay.PrintButton->click();
        EXPECT_EQ(pay.Edit2->text(), typed);
    }

    TestDatabase data;
    ScriptedUi ui;
    TFormGetPay pay;
    qint64 account = 0;
};

TEST_P(Bill, PrintsTheStoredRecordWithTheScreensAmountInCapitals)
{
    const BillCase c = GetParam();
    const qint64 record = BookRows::Record(db(), account, QDate(2024, 3, 15), c.stored,
                                           QStringLiteral("北方贸易"));
    const QStringList before = DumpDatabase(*db());
    const QString pdf = ProgramDir + QStringLiteral("bill.pdf");
    ui.OnModal(QStringLiteral("FormPreview"),
               [pdf](QDialog *d) {
                   KeepShot(d, QStringLiteral("bill-preview"));
                   EXPECT_TRUE(static_cast<TFormPreview *>(d)->ExportTo(pdf));
               });
    print(record, c.stored, QString::fromUtf8(c.typed));
    EXPECT_EQ(pay.MoneyCN.toStdString(), c.capitals);
    KeepForLooking(pdf);
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString text = squeezed(pages.first());
    for (const QString &expected :
         {QStringLiteral("澄衡商行"), QString::fromUtf8(c.kind), QStringLiteral("北方贸易"),
          QStringLiteral("现金"), QStringLiteral("人民币（大写）") + QString::fromUtf8(c.capitals),
          QStringLiteral("¥") + QString::fromUtf8(c.msum), QStringLiteral("经手人："),
          QStringLiteral("审核："), QStringLiteral("出纳：")})
        EXPECT_TRUE(text.contains(squeezed(expected))) << expected.toStdString() << "\n"
                                                       << text.toStdString();
    EXPECT_EQ(DumpDatabase(*db()), before);
    EXPECT_TRUE(ui.Messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Examples, Bill, ::testing::Values(
    BillCase{-100, "100", "付款单", "100.00", "壹佰　零拾　零元　零角　零分　"},
    BillCase{0.05, "0.05", "收款单", "0.05", "零元　零角　伍分　"},
    // Changed on the screen, not saved: the capitals follow the screen, MSum the record.
    BillCase{1234.5, "88", "收款单", "1234.50", "捌拾　捌元　零角　零分　"}));

// An empty amount or one that is no number gets a message and no bill; a new record has
// no print button at all.
class BillRefused : public Bill {};

TEST_F(BillRefused, ABadAmountPrintsNothing)
{
    const qint64 record = BookRows::Record(db(), account, QDate(2024, 3, 15), 50);
    for (const char *typed : {"", "1.2.3"})
        print(record, 50, QString::fromUtf8(typed));
    EXPECT_EQ(ui.Messages(), (QStringList{"金额为空，请先输入金额再打印单据",
                                          "金额格式有误，无法打印单据，请重新输入"}));
    pay.EntryMode = TFormGetPay::NewIncome;
    pay.FormShow();
    EXPECT_TRUE(pay.PrintButton->isHidden());
}

} // namespace
