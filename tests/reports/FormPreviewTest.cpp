// The preview: page turning by buttons and keys, 共 N 页, finding a text, zoom; and an
// export that is stopped or fails leaves no file behind.
#include "FormPreview.h"
#include "ReportTestSupport.h"
#include "ScriptedUi.h"
#include "TestFolder.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QSpinBox>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// 200 rows of "客户N" on A5 pages of 30 rows: 7 pages.
class Preview : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::vector<ReportRow> list;
        for (int i = 1; i <= 200; ++i)
            list.push_back({QStringLiteral("客户%1").arg(i), double(i)});
        rows = std::make_unique<ListRows>(
            QStringList{QStringLiteral("MoneyUser"), QStringLiteral("MoneySum")}, std::move(list));
        ReportTemplate t;
        t.name = QStringLiteral("清单");
        t.page.width = 148;
        t.page.height = 210;
        ReportElement e;
        e.rect = QRectF(0, 0, 100, 6);
        e.text = QStringLiteral("{{MoneyUser}}");
        t.EnsureBand(BandKind::Detail, 6).elements << e;
        QString error;
        ASSERT_TRUE(renderer.Prepare(t, rows.get(), {}, &error)) << error.toStdString();
        ASSERT_EQ(renderer.PageCount(), 7);
        preview = std::make_unique<TFormPreview>(&renderer);
        preview->resize(900, 700);
        preview->show();
    }

    void key(int k, Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, k, m);
        QCoreApplication::sendEvent(preview.get(), &e);
    }
    QToolButton *button(const char *name)
    {
        return preview->findChild<QToolButton *>(QLatin1String(name));
    }

    TestFolder folder{false};
    ScriptedUi ui;
    std::unique_ptr<ListRows> rows;
    ReportRenderer renderer;
    std::unique_ptr<TFormPreview> preview;
};

TEST_F(Preview, TurnsPagesByButtonsKeysAndNumber)
{
    EXPECT_EQ(preview->findChild<QLabel *>(QStringLiteral("LabelPages"))->text(),
              QStringLiteral("共 7 页"));
    EXPECT_FALSE(button("ButtonPrevious")->isEnabled());
    button("ButtonNext")->click();
    EXPECT_EQ(preview->CurrentPage(), 1);
    key(Qt::Key_PageDown);
    EXPECT_EQ(preview->CurrentPage(), 2);
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(preview->CurrentPage(), 6);
    EXPECT_FALSE(button("ButtonNext")->isEnabled());
    key(Qt::Key_PageDown);
    EXPECT_EQ(preview->CurrentPage(), 6);
    key(Qt::Key_PageUp);
    EXPECT_EQ(preview->CurrentPage(), 5);
    preview->findChild<QSpinBox *>(QStringLiteral("EditPage"))->setValue(3);
    EXPECT_EQ(preview->CurrentPage(), 2);
    button("ButtonFirst")->click();
    EXPECT_EQ(preview->CurrentPage(), 0);
    EXPECT_TRUE(ui.Messages().isEmpty());
}

TEST_F(Preview, FindsFromTheCurrentPageOnAndSaysWhenNothingIs)
{
    EXPECT_TRUE(preview->FindText(QStringLiteral("客户150")));
    EXPECT_EQ(preview->CurrentPage(), 4);   // rows 121 to 150
    EXPECT_EQ(preview->Marks().size(), 1);
    EXPECT_TRUE(preview->FindText(QStringLiteral("客户2")));
    EXPECT_EQ(preview->CurrentPage(), 6);   // 客户200
    // Again: the next page that holds it, round to the start.
    EXPECT_TRUE(preview->FindText(QStringLiteral("客户2")));
    EXPECT_EQ(preview->CurrentPage(), 0);
    EXPECT_EQ(preview->Marks().size(), 11);
    EXPECT_FALSE(preview->FindText(QStringLiteral("没有的人")));
    EXPECT_EQ(preview->CurrentPage(), 0);
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("找不到“没有的人”")});
}

TEST_F(Preview, ZoomAndFit)
{
    preview->SetZoom(2);
    // A5 is 148 mm wide: at twice its size on a 96 dpi screen, 1119 pixels.
    EXPECT_NEAR(preview->PageImage().width(), 148 / 25.4 * 96 * 2, 1);
    preview->SetFit(TFormPreview::Fit::WholePage);
    EXPECT_LT(preview->PageImage().height(), 700);
    const QString shots = qEnvironmentVariable("QM_REPORT_SHOTS");
    if (!shots.isEmpty())
        preview->grab().save(shots + QStringLiteral("/preview.png"));
}

// A stopped export and one into a folder that is not there: no file, an older one whole.
TEST_F(Preview, AnExportThatDoesNotFinishLeavesNoFile)
{
    const QString path = folder.Path() + QStringLiteral("报表.pdf");
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older");
    old.close();
    int calls = 0;
    EXPECT_FALSE(renderer.ExportPdf(path, [&calls](int, int) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("older"));
    old.close();
    EXPECT_EQ(QDir(folder.Path()).entryList(QDir::Files), QStringList{QStringLiteral("报表.pdf")});
    EXPECT_FALSE(preview->ExportTo(folder.Path() + QStringLiteral("无此目录/a.pdf")));
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages().first().startsWith(QStringLiteral("导出PDF失败")));
    ASSERT_TRUE(preview->ExportTo(path));
    EXPECT_EQ(PdfPages(path).size(), 7);
}

// The print dialog's page range: only those pages reach the printer.
TEST_F(Preview, PrintsThePageRange)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder.Path() + QStringLiteral("printed.pdf"));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(3, 4);
    ASSERT_TRUE(preview->PrintTo(&printer));
    const QStringList pages = PdfPages(printer.outputFileName());
    ASSERT_EQ(pages.size(), 2);
    EXPECT_TRUE(pages.first().contains(QStringLiteral("客户61")));
    EXPECT_TRUE(pages.last().contains(QStringLiteral("客户120")));
}

}  // namespace
