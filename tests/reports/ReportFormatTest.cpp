// The .frf file: a template survives a save and a load unchanged, a bad file fails with
// its message, and a save never leaves a broken file behind.
#include "ReportFormat.h"
#include "TestFolder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

ReportTemplate sampleTemplate()
{
    ReportTemplate t;
    t.name = QStringLiteral("收支报表");
    t.page.landscape = true;
    t.page.marginLeft = 12.5;
    ReportElement title;
    title.rect = QRectF(0, 0, 180, 9.25);
    title.text = QStringLiteral("{{CompanyName}} <收支> & \"明细\"");
    title.fontFamily = QStringLiteral("Noto Sans CJK SC");
    title.fontSize = 16;
    title.bold = true;
    title.align = HAlign::Center;
    title.valign = VAlign::Bottom;
    title.frame = FrameTop | FrameBottom;
    t.EnsureBand(BandKind::ReportTitle, 20).elements << title;
    ReportElement amount;
    amount.rect = QRectF(100, 0, 30, 6);
    amount.text = QStringLiteral("{{Amount}}");
    amount.align = HAlign::Right;
    amount.format = QStringLiteral("#,##0.00");
    amount.wrap = true;
    amount.frame = FrameAll;
    ReportElement line;
    line.kind = ElementKind::Line;
    line.rect = QRectF(0, 6, 277, 0);
    line.lineWidth = 0.5;
    ReportElement picture;
    picture.kind = ElementKind::Picture;
    picture.rect = QRectF(1, 1, 20, 10);
    picture.text = QStringLiteral("标志.png");
    // Added out of order: the bands still come back in their drawing order.
    t.EnsureBand(BandKind::Detail, 6).elements << amount << line;
    ReportElement box;
    box.kind = ElementKind::Rect;
    box.rect = QRectF(0, 0, 277, 8);
    t.EnsureBand(BandKind::PageHeader, 12).elements << picture << box;
    return t;
}

TEST(ReportFormatTest, SavedAndLoadedUnchanged)
{
    TestFolder folder(false);
    const QString path = (folder.Path() + QStringLiteral("样本.frf"));
    const ReportTemplate t = sampleTemplate();
    QString error;
    ASSERT_TRUE(ReportFormat::Save(t, path, &error)) << error.toStdString();
    ReportTemplate loaded;
    ASSERT_TRUE(ReportFormat::Load(path, &loaded, &error)) << error.toStdString();
    EXPECT_TRUE(loaded == t);
    ASSERT_EQ(loaded.bands.size(), 3);
    EXPECT_EQ(loaded.bands[1].kind, BandKind::PageHeader);
    EXPECT_EQ(ReportFormat::Write(loaded), ReportFormat::Write(t));
}

struct BadFile { const char *xml; const char *message; };

class ReportFormatBadTest : public ::testing::TestWithParam<BadFile> {};

TEST_P(ReportFormatBadTest, FailsWithItsMessage)
{
    TestFolder folder(false);
    const QString path = (folder.Path() + QStringLiteral("坏.frf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(GetParam().xml);
    f.close();
    ReportTemplate t;
    QString error;
    EXPECT_FALSE(ReportFormat::Load(path, &t, &error));
    EXPECT_TRUE(error.contains(QString::fromUtf8(GetParam().message))) << error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, ReportFormatBadTest, ::testing::Values(
    BadFile{"<report version=\"1\">\n  <band type=\"detail\" height=\"6\">\n    <text x=\"1\">"
            "</band></report>", "第 3 行"},
    BadFile{"", "文件中没有报表模板"},
    BadFile{"<report version=\"1\">\n<band type=\"margin\"/></report>", "第 2 行"},
    BadFile{"<report version=\"2\"/>", "比本程序认得的（1）新"},
    BadFile{"<report/>", "版本号"},
    BadFile{"<html version=\"1\"/>", "根元素"},
    BadFile{"<report version=\"1\"><band type=\"detail\" height=\"abc\"/></report>",
            "height"},
    BadFile{"<report version=\"1\"><page left=\"200\" right=\"200\"/></report>", "页边距"},
    BadFile{"<report version=\"1\"><band type=\"detail\"><text>a<b/></text></band></report>",
            "格式有误"}));

TEST(ReportFormatTest, MissingFileAndFailedSave)
{
    TestFolder folder(false);
    ReportTemplate t;
    QString error;
    EXPECT_FALSE(ReportFormat::Load((folder.Path() + QStringLiteral("无.frf")), &t, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("找不到报表模板文件"))) << error.toStdString();

    // A save into a folder that is not there fails and says so.
    error.clear();
    EXPECT_FALSE(ReportFormat::Save(sampleTemplate(), (folder.Path() + QStringLiteral("无/a.frf")),
                                    &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("无法保存报表模板文件")));
}

}  // namespace
