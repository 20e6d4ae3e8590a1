// The template designer through its controls: keys move and resize the selected element,
// undo and redo step back and forth, 保存 writes what is shown and it loads again; elements
// are added and deleted; a save that cannot be written says so and keeps the old file; the
// close asks to save; 预览 shows the template as edited, with the company name set here.
#include "FormDesigner.h"
#include "FormFieldChose.h"
#include "FormPreview.h"
#include "Globals.h"
#include "ReportFormat.h"
#include "ScriptedUi.h"
#include "TestFolder.h"

#include <QUndoStack>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QDir>
#include <QFile>
#include <QGraphicsView>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

const QRectF Start(10, 1, 40, 6);   // the detail band's text, in a band 8 mm high

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Designer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ReportTemplate t;
        t.name = QStringLiteral("样单");
        t.EnsureBand(BandKind::PageHeader, 10);
        ReportElement e;
        e.text = QStringLiteral("{{MoneyUser}}");
        e.rect = Start;
        t.EnsureBand(BandKind::Detail, 8).elements << e;
        QDir().mkpath(ProgramDir + QStringLiteral("Frf"));
        path = ProgramDir + QStringLiteral("Frf/Report.frf");
        QString error;
        ASSERT_TRUE(ReportFormat::Save(t, path, &error)) << error.toStdString();
        ASSERT_TRUE(d.OpenTemplate(path));
        choose(1, 0);
    }
    void key(QWidget *to, int k, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QKeyEvent e(QEvent::KeyPress, k, mods);
        QCoreApplication::sendEvent(to, &e);
    }
    void choose(int band, int index)
    {
        emit d.ComboElement->activated(d.ComboElement->findData(QPoint(band, index)));
    }
    void click(const char *name) { d.findChild<QPushButton *>(QLatin1String(name))->click(); }
    const QList<ReportElement> &detail() const { return d.Template().bands[1].elements; }

    TestFolder folder;
    ScriptedUi ui;
    TFormDesigner d;
    QString path;
};

struct KeyCase { int key; Qt::KeyboardModifiers mods; QRectF moved; };
class DesignerKeys : public Designer, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(DesignerKeys, MoveUndoRedoSaveAndLoadAgain)
{
    const KeyCase c = GetParam();
    key(d.View1, c.key, c.mods);
    EXPECT_EQ(detail()[0].rect, c.moved);
    EXPECT_TRUE(d.Modified());
    click("ButtonUndo");
    EXPECT_EQ(detail()[0].rect, Start);
    EXPECT_FALSE(d.Modified());
    click("ButtonRedo");
    EXPECT_EQ(detail()[0].rect, c.moved);
    EXPECT_EQ(d.Selection(), (QList<QPair<int, int>>{{1, 0}}));
    click("ButtonSave");
    EXPECT_FALSE(d.Modified());
    ReportTemplate again;
    QString error;
    ASSERT_TRUE(ReportFormat::Load(path, &again, &error)) << error.toStdString();
    EXPECT_EQ(again, d.Template());
    EXPECT_EQ(again.bands[1].elements[0].rect, c.moved);
    EXPECT_TRUE(ui.Messages().isEmpty()) << ui.Messages().join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, DesignerKeys, ::testing::Values(
    KeyCase{Qt::Key_Right, Qt::NoModifier, QRectF(10.5, 1, 40, 6)},
    KeyCase{Qt::Key_Left, Qt::ShiftModifier, QRectF(5, 1, 40, 6)},
    KeyCase{Qt::Key_Down, Qt::NoModifier, QRectF(10, 1.5, 40, 6)},
    // Kept inside the band: 8 mm high, so the top of a 6 mm text stops at 2 mm.
    KeyCase{Qt::Key_Down, Qt::ShiftModifier, QRectF(10, 2, 40, 6)},
    KeyCase{Qt::Key_Right, Qt::ControlModifier, QRectF(10, 1, 40.5, 6)},
    KeyCase{Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier, QRectF(10, 1, 40, 1)}));

// Points on the page in mm: the detail band starts 25 mm down (15 mm margin, 10 mm page
// header) and 15 mm in, so its text stands at 25..65 × 26..32.
struct DragCase { QPointF from, to; QRectF rect; double bandHeight; };
class DesignerMouse : public Designer, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DesignerMouse, DragsMoveResizeAndHeighten)
{
    const DragCase c = GetParam();
    d.resize(1800, 1200);
    d.ComboZoom->setCurrentIndex(d.ComboZoom->findData(200));
    d.TemplatePath = path;
    d.show();
    choose(1, 0);
    QWidget *port = d.View1->viewport();
    const auto send = [&](QEvent::Type type, const QPointF &mm, Qt::MouseButtons buttons) {
        const QPointF at = d.View1->mapFromScene(mm);
        QMouseEvent e(type, at, port->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(port, &e);
    };
    send(QEvent::MouseButtonPress, c.from, Qt::LeftButton);
    send(QEvent::MouseMove, (c.from + c.to) / 2, Qt::LeftButton);
    send(QEvent::MouseMove, c.to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, c.to, Qt::NoButton);
    EXPECT_EQ(detail()[0].rect, c.rect);
    EXPECT_EQ(d.Template().bands[1].height, c.bandHeight);
    EXPECT_EQ(d.UndoStack()->count(), 1);
    click("ButtonUndo");
    EXPECT_EQ(detail()[0].rect, Start);
    EXPECT_EQ(d.Template().bands[1].height, 8);
}

INSTANTIATE_TEST_SUITE_P(Table, DesignerMouse, ::testing::Values(
    DragCase{{45, 29}, {55, 30}, QRectF(20, 2, 40, 6), 8},        // moved, kept in its band
    DragCase{{65, 32}, {75, 40}, QRectF(10, 1, 50, 7), 8},        // the bottom right handle
    DragCase{{150, 32.6}, {150, 37}, Start, 12}));                // the band's bottom edge

// The panel edits the selected element (or the band), each edit one undo step.
struct PanelCase
{
    const char *what;   // for the reader of a failure
    std::function<void(TFormDesigner &)> edit;
    std::function<bool(const ReportTemplate &)> done;
};
class DesignerPanel : public Designer, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(DesignerPanel, EditsTheSelectionAndUndoes)
{
    const ReportTemplate before = d.Template();
    GetParam().edit(d);
    EXPECT_TRUE(GetParam().done(d.Template())) << GetParam().what;
    EXPECT_EQ(d.UndoStack()->count(), 1);
    click("ButtonUndo");
    EXPECT_EQ(d.Template(), before);
}

const ReportElement &text(const ReportTemplate &t) { return t.Band(BandKind::Detail)->elements[0]; }

INSTANTIATE_TEST_SUITE_P(Table, DesignerPanel, ::testing::Values(
    PanelCase{"text", [](TFormDesigner &d) {
        d.EditText->setText(QStringLiteral("收款人"));
        emit d.EditText->editingFinished();
    }, [](const ReportTemplate &t) { return text(t).text == QStringLiteral("收款人"); }},
    PanelCase{"size", [](TFormDesigner &d) { d.SpinSize->setValue(14); },
              [](const ReportTemplate &t) { return text(t).fontSize == 14; }},
    PanelCase{"bold", [](TFormDesigner &d) { d.CheckBold->click(); },
              [](const ReportTemplate &t) { return text(t).bold; }},
    PanelCase{"align", [](TFormDesigner &d) { emit d.ComboAlign->activated(2); },
              [](const ReportTemplate &t) { return text(t).align == HAlign::Right; }},
    PanelCase{"frame", [](TFormDesigner &d) { d.CheckFrame[3]->click(); },
              [](const ReportTemplate &t) { return text(t).frame == FrameBottom; }},
    PanelCase{"format", [](TFormDesigner &d) { emit d.ComboFormat->activated(1); },
              [](const ReportTemplate &t) { return text(t).format == QStringLiteral("0.00"); }},
    PanelCase{"width", [](TFormDesigner &d) { d.SpinWidth->setValue(30); },
              [](const ReportTemplate &t) { return text(t).rect == QRectF(10, 1, 30, 6); }},
    PanelCase{"band", [](TFormDesigner &d) { d.SpinBandHeight->setValue(12); },
              [](const ReportTemplate &t) { return t.Band(BandKind::Detail)->height == 12; }},
    // An empty band set to 0 is left out of the template.
    PanelCase{"emptyBand", [](TFormDesigner &d) {
        emit d.ComboBand->activated(d.ComboBand->findData(int(BandKind::PageHeader)));
        d.SpinBandHeight->setValue(0);
    }, [](const ReportTemplate &t) { return t.bands.size() == 1 && !t.Band(BandKind::PageHeader); }}));

struct AddCase { const char *button; ElementKind kind; const char *text; };
class DesignerAdds : public Designer, public ::testing::WithParamInterface<AddCase> {};

TEST_P(DesignerAdds, AddThenDeleteThenUndo)
{
    const AddCase c = GetParam();
    const QString picture = folder.Path() + QStringLiteral("logo.png");
    if (c.kind == ElementKind::Picture) {
        QImage image(40, 20, QImage::Format_RGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(picture));
        ui.files << picture;
    }
    if (QLatin1String(c.button) == QLatin1String("ButtonField"))
        ui.OnModal(QStringLiteral("FormFieldChose"), [](QDialog *w) {
            auto *list = w->findChild<QListWidget *>(QStringLiteral("ListBox1"));
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->data(Qt::UserRole) == QStringLiteral("MoneyIn"))
                    list->setCurrentRow(i);
            w->findChild<QPushButton *>(QStringLiteral("Button1"))->click();
        });
    click(c.button);
    ASSERT_EQ(detail().size(), 2);
    EXPECT_EQ(detail()[1].kind, c.kind);
    EXPECT_EQ(detail()[1].text, QString::fromUtf8(c.text));
    EXPECT_EQ(d.Selection(), (QList<QPair<int, int>>{{1, 1}}));
    if (c.kind == ElementKind::Picture)
        EXPECT_EQ(bytes(ProgramDir + QStringLiteral("Frf/logo.png")), bytes(picture));

    key(d.View1, Qt::Key_Delete);
    ASSERT_EQ(detail().size(), 1);
    EXPECT_EQ(detail()[0].text, QStringLiteral("{{MoneyUser}}"));
    click("ButtonUndo");
    ASSERT_EQ(detail().size(), 2);
    EXPECT_EQ(detail()[1].text, QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Table, DesignerAdds, ::testing::Values(
    AddCase{"ButtonText", ElementKind::Text, "文本"},
    AddCase{"ButtonField", ElementKind::Text, "{{MoneyIn}}"},
    AddCase{"ButtonLine", ElementKind::Line, ""},
    AddCase{"ButtonPicture", ElementKind::Picture, "logo.png"}));

TEST_F(Designer, SaveInAFolderThatCannotBeWrittenKeepsTheOldFile)
{
    const QByteArray before = bytes(path);
    key(d.View1, Qt::Key_Right);
    const QString frf = ProgramDir + QStringLiteral("Frf");
    ASSERT_TRUE(QFile::setPermissions(frf, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther
                                               | QFile::ExeOther));
    // Root writes where permissions say no: the save runs as nobody.
    const bool root = geteuid() == 0;
    ASSERT_TRUE(!root || seteuid(65534) == 0);
    click("ButtonSave");
    ASSERT_TRUE(!root || seteuid(0) == 0);
    QFile::setPermissions(frf, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].startsWith(QStringLiteral("单据模板没有保存，原来的文件没有改动。")))
        << ui.Messages()[0].toStdString();
    EXPECT_EQ(bytes(path), before);
    EXPECT_EQ(QDir(frf).entryList(QDir::Files), QStringList{QStringLiteral("Report.frf")});
    EXPECT_TRUE(d.Modified());
}

TEST_F(Designer, AMalformedTemplateIsNamedAndTheOpenOneStays)
{
    const QString bad = ProgramDir + QStringLiteral("Frf/Bad.frf");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<report version=\"1\"><band type=\"detail\" height=\"8\">");
    f.close();
    const ReportTemplate before = d.Template();
    ui.files << bad;
    click("ButtonOpen");
    EXPECT_EQ(ui.log.constFirst().text, ProgramDir + QStringLiteral("Frf"));
    ASSERT_EQ(ui.Messages().size(), 1);
    EXPECT_TRUE(ui.Messages()[0].contains(QStringLiteral("Bad.frf"))) << ui.Messages()[0].toStdString();
    EXPECT_EQ(d.Template(), before);
    EXPECT_EQ(d.CurrentPath(), path);
}

TEST_F(Designer, PreviewShowsTheEditedTemplateWithTheCompanyName)
{
    d.EditCompany->setText(QStringLiteral(" 澄衡商行 "));
    click("ButtonCompany");
    EXPECT_EQ(ui.Messages(), QStringList{QStringLiteral("公司名称设置为：澄衡商行")});
    click("ButtonText");
    d.EditText->setText(QStringLiteral("{{CompanyName}}样张"));
    emit d.EditText->editingFinished();
    bool found = false;
    ui.OnModal(QStringLiteral("FormPreview"), [&found](QDialog *w) {
        found = static_cast<TFormPreview *>(w)->FindText(QStringLiteral("澄衡商行样张"));
    });
    click("ButtonPreview");
    EXPECT_TRUE(found);
    EXPECT_TRUE(d.Modified());
}

struct CloseCase { UiBackend::Choice choice; bool saved; bool closed; };
class DesignerClose : public Designer, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(DesignerClose, AsksToSaveChanges)
{
    const CloseCase c = GetParam();
    const QByteArray before = bytes(path);
    d.TemplatePath = path;
    bool closed = false;
    ui.OnModal(QStringLiteral("FormDesigner"), [&](QDialog *) {
        choose(1, 0);
        key(d.View1, Qt::Key_Right);
        ui.choices << c.choice;
        click("ButtonClose");
        closed = !d.isVisible();
        if (!closed)   // closed for good after the test's look
            ui.choices << UiBackend::Choice::No;
    });
    Ui::ShowModal(&d);
    EXPECT_EQ(closed, c.closed);
    EXPECT_EQ(bytes(path) != before, c.saved);
    EXPECT_EQ(ui.Questions().constFirst(), QStringLiteral("单据模板已修改，要保存吗？"));
}

INSTANTIATE_TEST_SUITE_P(Table, DesignerClose, ::testing::Values(
    CloseCase{UiBackend::Choice::Yes, true, true},
    CloseCase{UiBackend::Choice::No, false, true},
    CloseCase{UiBackend::Choice::Cancel, false, false}));

} // namespace
