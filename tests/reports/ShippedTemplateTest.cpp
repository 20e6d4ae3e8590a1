// The six templates the program ships: each loads, survives a save unchanged, and prints
// the rows and figures its window gives it.
#include "FormPreview.h"
#include "ReportFormat.h"
#include "ReportRenderer.h"
#include "ReportTestSupport.h"
#include "RecordStatement.h"
#include "TestFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

class ShippedTemplateTest : public ::testing::TestWithParam<const char *> {};

TEST_P(ShippedTemplateTest, LoadsSavesAndPrintsItsRows)
{
    TestFolder folder(false);
    const QString name = QString::fromLatin1(GetParam());
    const QString source = QStringLiteral(QM_SHIPPED_FRF "/") + name;
    ReportTemplate t;
    QString error;
    ASSERT_TRUE(ReportFormat::Load(source, &t, &error)) << error.toStdString();
    const QString copy = folder.Path() + name;
    ASSERT_TRUE(ReportFormat::Save(t, copy, &error));
    ReportTemplate again;
    ASSERT_TRUE(ReportFormat::Load(copy, &again, &error));
    EXPECT_TRUE(again == t);

    ASSERT_TRUE(SetReportCompanyName(QStringLiteral("澄衡商行")));
    std::vector<ReportRow> list;
    for (int i = 1; i <= 60; ++i)
        list.push_back({i, QStringLiteral("NO%1").arg(i), QStringLiteral("2024-06-14"),
                        QStringLiteral("现金"), QStringLiteral("客户%1").arg(i), 1234.5 * i, 0.0,
                        1234.5 * i, QStringLiteral("张三"), QStringLiteral("货款"),
                        QStringLiteral("收入"), QString(), QStringLiteral("备注%1").arg(i)});
    ListRows rows(RecordFields(), std::move(list));
    const ReportValues values = [](const QString &n, QVariant *v) {
        if (!n.startsWith(QLatin1String("PrintValue")))
            return false;
        *v = QStringLiteral("数字%1").arg(n.right(1));
        return true;
    };
    ReportRenderer renderer;
    ASSERT_TRUE(renderer.Prepare(source, &rows, values, &error)) << error.toStdString();
    const QString pdf = folder.Path() + name + QStringLiteral(".pdf");
    ASSERT_TRUE(renderer.ExportPdf(pdf)) << renderer.LastError().toStdString();
    const QString shots = qEnvironmentVariable("QM_REPORT_SHOTS");
    if (!shots.isEmpty())
        QFile::copy(pdf, shots + QLatin1Char('/') + name + QStringLiteral(".pdf"));
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), renderer.PageCount());
    ASSERT_GE(pages.size(), 2);
    EXPECT_TRUE(pages.first().contains(QStringLiteral("澄衡商行")));
    EXPECT_TRUE(pages.first().contains(QStringLiteral("客户名称")));
    EXPECT_TRUE(pages.first().contains(QStringLiteral("1,234.50")));
    EXPECT_TRUE(pages.join(QString()).contains(QStringLiteral("客户60")));
    // The summary: the count and the sum of 1234.5 × (1 + … + 60).
    EXPECT_TRUE(pages.last().contains(QStringLiteral("共 60 笔"))) << pages.last().toStdString();
    EXPECT_TRUE(pages.last().contains(QStringLiteral("收入合计 2259135 元")));
    EXPECT_TRUE(pages.last().contains(
        QStringLiteral("第 %1 页／共 %1 页").arg(pages.size())));
    if (name.startsWith(QLatin1String("Daily")))
        for (int i = 1; i <= 4; ++i)
            EXPECT_TRUE(pages.first().contains(QStringLiteral("数字%1").arg(i)));
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedTemplateTest,
                         ::testing::Values("Report.frf", "Report2.frf", "Record.frf",
                                           "Record2.frf", "Daily.frf", "Daily2.frf"));

}  // namespace
