// The renderer on its output: the texts and pages of the PDF it writes, read back with
// pdftotext; and the messages of a template it cannot use.
#include "ReportRenderer.h"
#include "ReportTestSupport.h"
#include "TestFolder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// A small list template: a title, a column head, one row of two fields, a summary with
// the sums and a footer with the page numbers, on A5 so that pages fill quickly.
ReportTemplate listTemplate()
{
    ReportTemplate t;
    t.name = QStringLiteral("清单");
    t.page.width = 148;
    t.page.height = 210;
    t.page.marginTop = t.page.marginBottom = 10;
    auto text = [](double x, double w, const QString &s, HAlign a = HAlign::Left) {
        ReportElement e;
        e.rect = QRectF(x, 0, w, 6);
        e.text = s;
        e.align = a;
        return e;
    };
    t.EnsureBand(BandKind::ReportTitle, 12).elements
        << text(0, 118, QStringLiteral("{{CompanyName}}收支清单{{Missing}}"));
    t.EnsureBand(BandKind::ColumnHeader, 6).elements
        << text(0, 60, QStringLiteral("客户名称")) << text(60, 40, QStringLiteral("金额"));
    ReportElement amount = text(60, 40, QStringLiteral("{{MoneySum}}"), HAlign::Right);
    amount.format = QStringLiteral("#,##0.00");
    t.EnsureBand(BandKind::Detail, 6).elements
        << text(0, 60, QStringLiteral("{{MoneyUser}}")) << amount;
    t.EnsureBand(BandKind::Summary, 8).elements
        << text(0, 118, QStringLiteral("共 {{count}} 笔 合计 {{sum.MoneySum}} 元"));
    t.EnsureBand(BandKind::PageFooter, 6).elements
        << text(0, 118, QStringLiteral("第 {{page}} 页／共 {{pages}} 页"), HAlign::Center);
    return t;
}

ListRows customerRows(int count)
{
    std::vector<ReportRow> rows;
    for (int i = 1; i <= count; ++i)
        rows.push_back({QStringLiteral("客户%1").arg(i), 1000.5 * i});
    return ListRows({QStringLiteral("MoneyUser"), QStringLiteral("MoneySum")}, std::move(rows));
}

struct Paging { int rows; int pages; };
class ReportPagingTest : public ::testing::TestWithParam<Paging> {};

// A5 leaves 190 mm: page 1 holds (190 - 12 - 6 - 6) / 6 = 27 rows, later pages 29; the
// summary goes on a page of its own when the last page has no room for it.
TEST_P(ReportPagingTest, RowsFillPagesAndTheSummaryEndsTheLast)
{
    TestFolder folder(false);
    ListRows rows = customerRows(GetParam().rows);
    ReportRenderer renderer;
    QString error;
    ASSERT_TRUE(renderer.Prepare(listTemplate(), &rows, {}, &error)) << error.toStdString();
    const QString pdf = folder.Path() + QStringLiteral("清单.pdf");
    ASSERT_TRUE(renderer.ExportPdf(pdf)) << renderer.LastError().toStdString();
    const QStringList pages = PdfPages(pdf);
    ASSERT_EQ(pages.size(), GetParam().pages);
    EXPECT_EQ(renderer.PageCount(), GetParam().pages);
    const int n = GetParam().rows;
    EXPECT_TRUE(pages.last().contains(
        QStringLiteral("共 %1 笔 合计 %2 元").arg(n).arg(AmountTextForTest(1000.5 * n * (n + 1) / 2))));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("第 %1 页／共 %1 页").arg(pages.size())));
    if (n > 0) {
        EXPECT_TRUE(pages.first().contains(QStringLiteral("客户1 ")));
        EXPECT_TRUE(pages.join(QString()).contains(QStringLiteral("客户%1 ").arg(n)));
        EXPECT_TRUE(pages.first().contains(QStringLiteral("1,000.50")));
    }
    // The title only on the first page; a name nobody answers prints empty.
    EXPECT_TRUE(pages.first().contains(QStringLiteral("收支清单")));
    if (pages.size() > 1) {
        EXPECT_FALSE(pages.at(1).contains(QStringLiteral("收支清单")));
        EXPECT_TRUE(pages.at(1).contains(QStringLiteral("客户名称")));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ReportPagingTest, ::testing::Values(
    Paging{0, 1}, Paging{25, 1}, Paging{27, 2}, Paging{28, 2}, Paging{56, 3}, Paging{200, 7}));

TEST(ReportRendererTest, VariablesFromTheCallerAndTheSettings)
{
    TestFolder folder(false);
    ASSERT_TRUE(SetReportCompanyName(QStringLiteral("澄衡商行")));
    ReportTemplate t = listTemplate();
    t.Band(BandKind::ReportTitle)->elements[0].text =
        QStringLiteral("{{CompanyName}}：{{BeginDate}}至{{EndDate}}{{#Note}}（{{Note}}）{{/Note}}");
    ListRows rows = customerRows(1);
    ReportRenderer renderer;
    QString error;
    const ReportValues values = [](const QString &name, QVariant *value) {
        if (name != QLatin1String("BeginDate"))
            return false;
        *value = QStringLiteral("2024-06-01");
        return true;
    };
    ASSERT_TRUE(renderer.Prepare(t, &rows, values, &error)) << error.toStdString();
    const QList<ReportRenderer::PageText> texts = renderer.PageTexts(0);
    ASSERT_FALSE(texts.isEmpty());
    EXPECT_EQ(texts.first().text, QStringLiteral("澄衡商行：2024-06-01至"));
}

// A text too long for its box is cut with "…"; marked to wrap, it is printed whole and its
// rows grow, so the same rows need more pages.
TEST(ReportRendererTest, LongTextsAreCutOrWrapped)
{
    TestFolder folder(false);
    const QString remark = QStringLiteral("这是一段很长的备注，说明这笔款项的来龙去脉，") .repeated(3);
    std::vector<ReportRow> list;
    for (int i = 0; i < 40; ++i)
        list.push_back({remark + QString::number(i), 1.0});
    ListRows rows({QStringLiteral("MoneyUser"), QStringLiteral("MoneySum")}, std::move(list));
    int pages[2] = {0, 0};
    for (bool wrap : {false, true}) {
        ReportTemplate t = listTemplate();
        t.Band(BandKind::Detail)->elements[0].wrap = wrap;
        ReportRenderer renderer;
        QString error;
        ASSERT_TRUE(renderer.Prepare(t, &rows, {}, &error)) << error.toStdString();
        const QString pdf = folder.Path() + QStringLiteral("wrap.pdf");
        ASSERT_TRUE(renderer.ExportPdf(pdf));
        const QString text = PdfPages(pdf).join(QString()).remove(QRegularExpression(QStringLiteral("\\s")));
        pages[wrap] = renderer.PageCount();
        EXPECT_EQ(text.contains(QStringLiteral("来龙去脉，39")), wrap) << text.toStdString();
        EXPECT_EQ(text.contains(QStringLiteral("…")), !wrap);
    }
    EXPECT_EQ(pages[0], 2);
    EXPECT_GT(pages[1], pages[0] + 2);
}

struct BadUse { const char *text; BandKind band; const char *message; };
class ReportBadUseTest : public ::testing::TestWithParam<BadUse> {};

TEST_P(ReportBadUseTest, PreparingFailsWithItsMessage)
{
    TestFolder folder(false);
    ReportTemplate t = listTemplate();
    ReportElement e;
    e.rect = QRectF(0, 0, 20, 5);
    e.text = QString::fromUtf8(GetParam().text);
    t.EnsureBand(GetParam().band).elements << e;
    ListRows rows = customerRows(3);
    ReportRenderer renderer;
    QString error;
    EXPECT_FALSE(renderer.Prepare(t, &rows, {}, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().message))) << error.toStdString();
    EXPECT_FALSE(renderer.Prepared());
}

INSTANTIATE_TEST_SUITE_P(Uses, ReportBadUseTest, ::testing::Values(
    BadUse{"{{MoneyOut}}", BandKind::Detail, "字段“MoneyOut”，数据中没有这个字段"},
    BadUse{"{{sum.MoneyOut}}", BandKind::Summary, "字段“MoneyOut”，数据中没有这个字段"},
    BadUse{"{{#a}}没有结束", BandKind::PageHeader, "页眉区域中的文字"}));

TEST(ReportRendererTest, MissingAndMalformedTemplateFiles)
{
    TestFolder folder(false);
    ListRows rows = customerRows(1);
    ReportRenderer renderer;
    QString error;
    EXPECT_FALSE(renderer.Prepare(folder.Path() + QStringLiteral("Frf/Report.frf"), &rows, {},
                                  &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("找不到报表模板文件"))) << error.toStdString();
    QFile bad(folder.Path() + QStringLiteral("坏.frf"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("<report version=\"1\">\n<band type=\"detail\">\n</report>");
    bad.close();
    EXPECT_FALSE(renderer.Prepare(bad.fileName(), &rows, {}, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("第 3 行"))) << error.toStdString();
}

}  // namespace
