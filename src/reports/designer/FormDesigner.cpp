// The template designer. The template is plain data held here; the page's items show it.
// Every change is made on a copy and pushed as one undo step holding the template before
// and after (templates are a few dozen elements, so whole copies cost nothing), and the
// items are brought up to date from the template after every step, undo and redo.
#include "FormDesigner.h"

#include "DesignerItems.h"
#include "FormFieldChose.h"
#include "FormPreview.h"
#include "Globals.h"
#include "Look.h"
#include "ProgramFolder.h"
#include "ReportFormat.h"
#include "ReportRenderer.h"
#include "Settings.h"
#include "Ui.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFormLayout>
#include <QFrame>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QUndoCommand>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

TFormDesigner *FormDesigner = nullptr;

namespace {

const QString Title = QStringLiteral("单据设计");
const QString Filter = QStringLiteral("单据模板 (*.frf)");

QString kindCaption(ElementKind kind)
{
    switch (kind) {
    case ElementKind::Text:
        return QStringLiteral("文本");
    case ElementKind::Line:
        return QStringLiteral("线条");
    case ElementKind::Rect:
        return QStringLiteral("方框");
    case ElementKind::Picture:
        return QStringLiteral("图片");
    }
    return QString();
}

constexpr BandKind AllBands[] = {BandKind::ReportTitle, BandKind::PageHeader,
                                 BandKind::ColumnHeader, BandKind::Detail, BandKind::Summary,
                                 BandKind::PageFooter};

int bandIndex(const ReportTemplate &report, BandKind kind)
{
    for (int i = 0; i < report.bands.size(); ++i)
        if (report.bands[i].kind == kind)
            return i;
    return -1;
}

QDoubleSpinBox *millimetres(const QString &name, const QString &accessible, double max)
{
    auto *spin = new QDoubleSpinBox;
    spin->setObjectName(name);
    spin->setAccessibleName(accessible);
    spin->setRange(0, max);
    spin->setDecimals(1);
    spin->setSingleStep(0.5);
    spin->setSuffix(QStringLiteral(" 毫米"));
    spin->setKeyboardTracking(false);
    return spin;
}

} // namespace

// One step of the designer: the template and the selection before and after it.
class TFormDesigner::Change : public QUndoCommand
{
public:
    Change(TFormDesigner *designer, State before, State after, const QString &text)
        : QUndoCommand(text), m_designer(designer), m_before(std::move(before)),
          m_after(std::move(after))
    {
    }
    void undo() override { m_designer->apply(m_before); }
    void redo() override { m_designer->apply(m_after); }

private:
    TFormDesigner *m_designer;
    State m_before, m_after;
};

TFormDesigner::TFormDesigner(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormDesigner"));
    setWindowTitle(Title);
    resize(1120, 740);
    setMinimumSize(900, 600);
    m_undo = new QUndoStack(this);
    m_scene = new QGraphicsScene(this);
    m_chooser = new TFormFieldChose(this);

    auto *top = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    buildToolbar(bar);
    top->addLayout(bar);
    auto *middle = new QHBoxLayout;
    View1 = new QGraphicsView(m_scene, this);
    View1->setObjectName(QStringLiteral("View1"));
    View1->setAccessibleName(QStringLiteral("单据页面"));
    View1->setBackgroundBrush(QColor(150, 150, 150));
    View1->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing
                          | QPainter::SmoothPixmapTransform);
    View1->setFocusPolicy(Qt::StrongFocus);
    View1->installEventFilter(this);
    middle->addWidget(View1, 1);
    middle->addWidget(buildPanel());
    top->addLayout(middle, 1);

    connect(m_scene, &QGraphicsScene::selectionChanged, this, &TFormDesigner::selectionChanged);
    connect(m_undo, &QUndoStack::cleanChanged, this, &TFormDesigner::updateTitle);
    connect(m_undo, &QUndoStack::canUndoChanged, ButtonUndo, &QWidget::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, ButtonRedo, &QWidget::setEnabled);
    ButtonUndo->setEnabled(false);
    ButtonRedo->setEnabled(false);
    setTabOrders();
    NewTemplate();
}

TFormDesigner::~TFormDesigner()
{
    // The items call back into the window: they go before it does.
    m_filling = true;
    m_undo->clear();
    m_scene->clear();
}

void TFormDesigner::buildToolbar(QHBoxLayout *bar)
{
    const auto button = [this, bar](const QString &name, const QString &caption,
                                    const QKeySequence &keys, auto action) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAccessibleName(caption);
        b->setAutoDefault(false);
        if (!keys.isEmpty()) {
            b->setShortcut(keys);
            b->setToolTip(caption + QStringLiteral("（")
                          + keys.toString(QKeySequence::NativeText) + QStringLiteral("）"));
        }
        connect(b, &QPushButton::clicked, this, action);
        bar->addWidget(b);
        return b;
    };
    ButtonOpen = button(QStringLiteral("ButtonOpen"), QStringLiteral("打开"),
                        QKeySequence::Open, [this] { ActionOpenExecute(); });
    ButtonSave = button(QStringLiteral("ButtonSave"), QStringLiteral("保存"),
                        QKeySequence::Save, [this] { ActionSaveExecute(); });
    ButtonSaveAs = button(QStringLiteral("ButtonSaveAs"), QStringLiteral("另存为"),
                          QKeySequence(QStringLiteral("Ctrl+Shift+S")),
                          [this] { ActionSaveAsExecute(); });
    bar->addSpacing(12);
    ButtonUndo = button(QStringLiteral("ButtonUndo"), QStringLiteral("撤销"), QKeySequence(),
                        [this] { m_undo->undo(); });
    ButtonRedo = button(QStringLiteral("ButtonRedo"), QStringLiteral("重做"), QKeySequence(),
                        [this] { m_undo->redo(); });
    // Ctrl+Z and Ctrl+Y work wherever the focus is, except in a text field, which undoes
    // its own typing.
    auto *undo = new QAction(QStringLiteral("撤销"), this);
    undo->setShortcut(QKeySequence::Undo);
    connect(undo, &QAction::triggered, m_undo, &QUndoStack::undo);
    auto *redo = new QAction(QStringLiteral("重做"), this);
    redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence::Redo});
    connect(redo, &QAction::triggered, m_undo, &QUndoStack::redo);
    addAction(undo);
    addAction(redo);
    ButtonUndo->setToolTip(QStringLiteral("撤销（Ctrl+Z）"));
    ButtonRedo->setToolTip(QStringLiteral("重做（Ctrl+Y）"));
    bar->addSpacing(12);
    ButtonText = button(QStringLiteral("ButtonText"), QStringLiteral("加文本"),
                        QKeySequence(QStringLiteral("Ctrl+T")), [this] { AddText(); });
    ButtonField = button(QStringLiteral("ButtonField"), QStringLiteral("加字段"),
                         QKeySequence(QStringLiteral("Ctrl+F")), [this] { AddField(); });
    ButtonPicture = button(QStringLiteral("ButtonPicture"), QStringLiteral("加图片"),
                           QKeySequence(QStringLiteral("Ctrl+I")), [this] { AddPicture(); });
    ButtonLine = button(QStringLiteral("ButtonLine"), QStringLiteral("加线条"),
                        QKeySequence(QStringLiteral("Ctrl+L")), [this] { AddLine(); });
    ButtonDelete = button(QStringLiteral("ButtonDelete"), QStringLiteral("删除"), QKeySequence(),
                          [this] { DeleteSelection(); });
    ButtonDelete->setToolTip(QStringLiteral("删除选中的元素（页面上按 Delete）"));
    bar->addSpacing(12);
    auto *zoomLabel = new QLabel(QStringLiteral("缩放(&Z)："), this);
    ComboZoom = new QComboBox(this);
    ComboZoom->setObjectName(QStringLiteral("ComboZoom"));
    ComboZoom->setAccessibleName(QStringLiteral("缩放"));
    for (int percent : {50, 75, 100, 125, 150, 200})
        ComboZoom->addItem(QStringLiteral("%1%").arg(percent), percent);
    ComboZoom->setCurrentIndex(2);
    zoomLabel->setBuddy(ComboZoom);
    connect(ComboZoom, &QComboBox::currentIndexChanged, this, &TFormDesigner::setZoom);
    bar->addWidget(zoomLabel);
    bar->addWidget(ComboZoom);
    bar->addSpacing(12);
    ButtonPreview = button(QStringLiteral("ButtonPreview"), QStringLiteral("预览"),
                           QKeySequence(QStringLiteral("Ctrl+R")),
                           [this] { ActionPreviewExecute(); });
    bar->addStretch(1);
    ButtonClose = button(QStringLiteral("ButtonClose"), QStringLiteral("关闭"), QKeySequence(),
                         [this] { reject(); });
}

QWidget *TFormDesigner::buildPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("PanelProperty"));
    panel->setFixedWidth(300);
    auto *form = new QFormLayout(panel);
    form->setContentsMargins(6, 0, 0, 0);
    const auto row = [this, form](const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        form->addRow(label, field);
    };

    ComboElement = new QComboBox(this);
    ComboElement->setObjectName(QStringLiteral("ComboElement"));
    ComboElement->setAccessibleName(QStringLiteral("选中的元素"));
    row(QStringLiteral("元素(&E)："), ComboElement);
    connect(ComboElement, &QComboBox::activated, this, [this](int i) {
        const QPoint place = ComboElement->itemData(i).toPoint();
        Select({{place.x(), place.y()}});
        if (!Selection().isEmpty())
            View1->ensureVisible(m_elementItems[place.x()][place.y()]);
    });

    ComboBand = new QComboBox(this);
    ComboBand->setObjectName(QStringLiteral("ComboBand"));
    ComboBand->setAccessibleName(QStringLiteral("带区"));
    for (BandKind kind : AllBands)
        ComboBand->addItem(BandCaption(kind), int(kind));
    row(QStringLiteral("带区(&B)："), ComboBand);
    connect(ComboBand, &QComboBox::activated, this, [this](int i) {
        BandClicked(BandKind(ComboBand->itemData(i).toInt()));
    });
    SpinBandHeight = millimetres(QStringLiteral("SpinBandHeight"), QStringLiteral("带区高度"), 300);
    SpinBandHeight->setToolTip(QStringLiteral("0 表示不用这个带区（带区里没有元素时）"));
    row(QStringLiteral("带区高度(&H)："), SpinBandHeight);
    connect(SpinBandHeight, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        if (!m_filling)
            SetBandHeight(m_band, v);
    });

    auto *line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    form->addRow(line);

    EditText = new QLineEdit(this);
    EditText->setObjectName(QStringLiteral("EditText"));
    EditText->setAccessibleName(QStringLiteral("文本"));
    EditText->setToolTip(QStringLiteral("{{字段名}} 印出字段的值；图片元素是 Frf 文件夹里的文件名"));
    row(QStringLiteral("文本(&X)："), EditText);
    connect(EditText, &QLineEdit::editingFinished, this, [this] {
        const QString text = EditText->text();
        editCurrent(QStringLiteral("修改文本"), [text](ReportElement &e) { e.text = text; });
    });

    ComboFont = new QComboBox(this);
    ComboFont->setObjectName(QStringLiteral("ComboFont"));
    ComboFont->setAccessibleName(QStringLiteral("字体"));
    ComboFont->addItem(QStringLiteral("（程序字体）"), QString());
    for (const QString &family : QFontDatabase::families(QFontDatabase::SimplifiedChinese))
        ComboFont->addItem(family, family);
    row(QStringLiteral("字体(&F)："), ComboFont);
    connect(ComboFont, &QComboBox::activated, this, [this](int i) {
        const QString family = ComboFont->itemData(i).toString();
        editCurrent(QStringLiteral("修改字体"),
                    [family](ReportElement &e) { e.fontFamily = family; }, true);
    });

    SpinSize = new QDoubleSpinBox(this);
    SpinSize->setObjectName(QStringLiteral("SpinSize"));
    SpinSize->setAccessibleName(QStringLiteral("字号"));
    SpinSize->setRange(4, 72);
    SpinSize->setDecimals(1);
    SpinSize->setSingleStep(0.5);
    SpinSize->setSuffix(QStringLiteral(" 磅"));
    SpinSize->setKeyboardTracking(false);
    row(QStringLiteral("字号(&S)："), SpinSize);
    connect(SpinSize, &QDoubleSpinBox::valueChanged, this, [this](double v) {
        editCurrent(QStringLiteral("修改字号"), [v](ReportElement &e) { e.fontSize = v; }, true);
    });

    CheckBold = new QCheckBox(QStringLiteral("粗体(&W)"), this);
    CheckBold->setObjectName(QStringLiteral("CheckBold"));
    CheckBold->setAccessibleName(QStringLiteral("粗体"));
    form->addRow(QString(), CheckBold);
    connect(CheckBold, &QCheckBox::toggled, this, [this](bool on) {
        editCurrent(QStringLiteral("修改粗体"), [on](ReportElement &e) { e.bold = on; }, true);
    });

    ComboAlign = new QComboBox(this);
    ComboAlign->setObjectName(QStringLiteral("ComboAlign"));
    ComboAlign->setAccessibleName(QStringLiteral("对齐"));
    ComboAlign->addItem(QStringLiteral("左对齐"), int(HAlign::Left));
    ComboAlign->addItem(QStringLiteral("居中"), int(HAlign::Center));
    ComboAlign->addItem(QStringLiteral("右对齐"), int(HAlign::Right));
    row(QStringLiteral("对齐(&A)："), ComboAlign);
    connect(ComboAlign, &QComboBox::activated, this, [this](int i) {
        const auto align = HAlign(ComboAlign->itemData(i).toInt());
        editCurrent(QStringLiteral("修改对齐"), [align](ReportElement &e) { e.align = align; },
                    true);
    });

    ComboFormat = new QComboBox(this);
    ComboFormat->setObjectName(QStringLiteral("ComboFormat"));
    ComboFormat->setAccessibleName(QStringLiteral("数字或日期格式"));
    ComboFormat->setEditable(true);
    ComboFormat->addItems({QString(), QStringLiteral("0.00"), QStringLiteral("#,##0.00"),
                           QStringLiteral("0"), QStringLiteral("yyyy-MM-dd"),
                           QStringLiteral("yyyy年M月d日")});
    ComboFormat->setToolTip(QStringLiteral("整个文本是数字或日期时按这个格式印出；空着原样印出"));
    row(QStringLiteral("格式(&G)："), ComboFormat);
    const auto setFormat = [this](const QString &text) {
        const QString format = text.trimmed();
        editCurrent(QStringLiteral("修改格式"),
                    [format](ReportElement &e) { e.format = format; }, true);
    };
    connect(ComboFormat, &QComboBox::activated, this,
            [this, setFormat](int i) { setFormat(ComboFormat->itemText(i)); });
    connect(ComboFormat->lineEdit(), &QLineEdit::editingFinished, this,
            [this, setFormat] { setFormat(ComboFormat->currentText()); });

    CheckWrap = new QCheckBox(QStringLiteral("自动换行(&R)"), this);
    CheckWrap->setObjectName(QStringLiteral("CheckWrap"));
    CheckWrap->setAccessibleName(QStringLiteral("自动换行"));
    form->addRow(QString(), CheckWrap);
    connect(CheckWrap, &QCheckBox::toggled, this, [this](bool on) {
        editCurrent(QStringLiteral("修改换行"), [on](ReportElement &e) { e.wrap = on; }, true);
    });

    auto *frames = new QWidget(this);
    auto *frameRow = new QHBoxLayout(frames);
    frameRow->setContentsMargins(0, 0, 0, 0);
    const QString sides[] = {QStringLiteral("左"), QStringLiteral("上"), QStringLiteral("右"),
                             QStringLiteral("下")};
    const int bits[] = {FrameLeft, FrameTop, FrameRight, FrameBottom};
    for (int i = 0; i < 4; ++i) {
        CheckFrame[i] = new QCheckBox(sides[i], frames);
        CheckFrame[i]->setObjectName(QStringLiteral("CheckFrame%1").arg(i + 1));
        CheckFrame[i]->setAccessibleName(sides[i] + QStringLiteral("边框线"));
        frameRow->addWidget(CheckFrame[i]);
        const int bit = bits[i];
        connect(CheckFrame[i], &QCheckBox::toggled, this, [this, bit](bool on) {
            editCurrent(QStringLiteral("修改边框"), [bit, on](ReportElement &e) {
                e.frame = on ? (e.frame | bit) : (e.frame & ~bit);
            }, true);
        });
    }
    auto *frameLabel = new QLabel(QStringLiteral("边框(&K)："), this);
    frameLabel->setBuddy(CheckFrame[0]);
    form->addRow(frameLabel, frames);

    SpinX = millimetres(QStringLiteral("SpinX"), QStringLiteral("左边距带区"), 1000);
    SpinY = millimetres(QStringLiteral("SpinY"), QStringLiteral("上边距带区"), 1000);
    SpinWidth = millimetres(QStringLiteral("SpinWidth"), QStringLiteral("宽度"), 1000);
    SpinHeight = millimetres(QStringLiteral("SpinHeight"), QStringLiteral("高度"), 1000);
    row(QStringLiteral("左(&1)："), SpinX);
    row(QStringLiteral("上(&2)："), SpinY);
    row(QStringLiteral("宽(&3)："), SpinWidth);
    row(QStringLiteral("高(&4)："), SpinHeight);
    QDoubleSpinBox *const geometry[] = {SpinX, SpinY, SpinWidth, SpinHeight};
    for (int i = 0; i < 4; ++i) {
        connect(geometry[i], &QDoubleSpinBox::valueChanged, this, [this, i](double v) {
            editCurrent(QStringLiteral("修改位置和大小"), [i, v](ReportElement &e) {
                QRectF &r = e.rect;
                if (i == 0)
                    r.moveLeft(v);
                else if (i == 1)
                    r.moveTop(v);
                else if (i == 2)
                    r.setWidth(v);
                else
                    r.setHeight(v);
            });
        });
    }
    auto *hint = new QLabel(QStringLiteral("页面上：PgDn、PgUp 选择元素，方向键移动选中的元素"
                                           "（Shift 每次 5 毫米），Ctrl+方向键改变大小，"
                                           "Delete 删除。"),
                            this);
    hint->setWordWrap(true);
    form->addRow(hint);

    auto *line2 = new QFrame(this);
    line2->setFrameShape(QFrame::HLine);
    form->addRow(line2);
    EditCompany = new QLineEdit(this);
    EditCompany->setObjectName(QStringLiteral("EditCompany"));
    EditCompany->setAccessibleName(QStringLiteral("公司名称"));
    EditCompany->setToolTip(QStringLiteral("每个单据的 {{CompanyName}} 印出这个名称"));
    ButtonCompany = new QPushButton(QStringLiteral("确定"), this);
    ButtonCompany->setObjectName(QStringLiteral("ButtonCompany"));
    ButtonCompany->setAccessibleName(QStringLiteral("保存公司名称"));
    ButtonCompany->setAutoDefault(false);
    auto *company = new QWidget(this);
    auto *companyRow = new QHBoxLayout(company);
    companyRow->setContentsMargins(0, 0, 0, 0);
    companyRow->addWidget(EditCompany, 1);
    companyRow->addWidget(ButtonCompany);
    auto *companyLabel = new QLabel(QStringLiteral("公司名称(&N)："), this);
    companyLabel->setBuddy(EditCompany);
    form->addRow(companyLabel, company);
    connect(ButtonCompany, &QPushButton::clicked, this, &TFormDesigner::ButtonCompanyClick);
    connect(EditCompany, &QLineEdit::returnPressed, this, &TFormDesigner::ButtonCompanyClick);
    return panel;
}

void TFormDesigner::setTabOrders()
{
    QWidget *order[] = {ButtonOpen, ButtonSave, ButtonSaveAs, ButtonUndo, ButtonRedo,
                        ButtonText, ButtonField, ButtonPicture, ButtonLine, ButtonDelete,
                        ComboZoom, ButtonPreview, ButtonClose, View1, ComboElement, ComboBand,
                        SpinBandHeight, EditText, ComboFont, SpinSize, CheckBold, ComboAlign,
                        ComboFormat, CheckWrap,
                        CheckFrame[0], CheckFrame[1], CheckFrame[2], CheckFrame[3], SpinX,
                        SpinY, SpinWidth, SpinHeight, EditCompany, ButtonCompany};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// ---------------------------------------------------------------- files

QString TFormDesigner::FrfFolder() const
{
    // Where the user's templates and pictures go: beside the program, or in the user's own
    // data folder when the program folder is shared.
    return QFileInfo(TemplateToSave(QStringLiteral("x.frf"))).path();
}

void TFormDesigner::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (TemplatePath.isEmpty() || !OpenTemplate(TemplatePath))
        NewTemplate();
    EditCompany->setText(ReportCompanyName());
    View1->setFocus();
}

void TFormDesigner::NewTemplate()
{
    ReportTemplate report;
    report.name = QStringLiteral("新单据");
    const double heights[] = {16, 8, 8, 7, 8, 8};
    for (int i = 0; i < 6; ++i)
        report.EnsureBand(AllBands[i], heights[i]);
    m_report = report;
    m_path.clear();
    m_band = BandKind::Detail;
    m_undo->clear();
    m_pictures.clear();
    rebuild();
    fillPanel();
    updateTitle();
}

bool TFormDesigner::OpenTemplate(const QString &path)
{
    ReportTemplate report;
    QString error;
    if (!ReportFormat::Load(path, &report, &error)) {
        Ui::Error(error, Title);
        return false;
    }
    m_report = report;
    m_path = path;
    m_band = report.Band(BandKind::Detail) || report.bands.isEmpty() ? BandKind::Detail
                                                                    : report.bands[0].kind;
    m_undo->clear();
    m_pictures.clear();
    rebuild();
    fillPanel();
    updateTitle();
    return true;
}

void TFormDesigner::ActionOpenExecute()
{
    if (Modified()) {
        const Ui::Choice choice = Ui::AskYesNoCancel(
            QStringLiteral("单据模板已修改，打开别的模板前要保存吗？"), Title);
        if (choice == Ui::Choice::Cancel || (choice == Ui::Choice::Yes && !ActionSaveExecute()))
            return;
    }
    // The user's own templates when there are any, else the shipped ones.
    const bool own = !QDir(FrfFolder()).entryList({QStringLiteral("*.frf")}, QDir::Files).isEmpty();
    const QString path = Ui::OpenFile(QStringLiteral("打开单据模板"),
                                      own ? FrfFolder() : ProgramDir + QStringLiteral("Frf"), Filter,
                                      QStringLiteral("frf"));
    if (!path.isEmpty())
        OpenTemplate(path);
}

bool TFormDesigner::ActionSaveExecute()
{
    if (m_path.isEmpty())
        return ActionSaveAsExecute();
    // A shipped template opened from a shared program folder is saved as the user's own
    // copy, which the prints then prefer.
    if (DataDir != ProgramDir
        && QFileInfo(m_path).absolutePath() == QFileInfo(ProgramDir + QStringLiteral("Frf/x")).absolutePath())
        return saveTo(TemplateToSave(QFileInfo(m_path).fileName()));
    return saveTo(m_path);
}

bool TFormDesigner::ActionSaveAsExecute()
{
    QDir().mkpath(FrfFolder());
    const QString start = m_path.isEmpty()
        ? FrfFolder()
        : FrfFolder() + QLatin1Char('/') + QFileInfo(m_path).fileName();
    QString path = Ui::SaveFile(QStringLiteral("单据模板另存为"), start, Filter,
                                QStringLiteral("frf"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".frf");
    return saveTo(path);
}

bool TFormDesigner::saveTo(const QString &path)
{
    QString error;
    if (!ReportFormat::Save(m_report, path, &error)) {
        Ui::Error(QStringLiteral("单据模板没有保存，原来的文件没有改动。\n") + error, Title);
        return false;
    }
    m_path = path;
    m_undo->setClean();
    updateTitle();
    return true;
}

bool TFormDesigner::Modified() const
{
    return !m_undo->isClean();
}

void TFormDesigner::reject()
{
    if (Modified()) {
        const Ui::Choice choice =
            Ui::AskYesNoCancel(QStringLiteral("单据模板已修改，要保存吗？"), Title);
        if (choice == Ui::Choice::Cancel || (choice == Ui::Choice::Yes && !ActionSaveExecute()))
            return;
    }
    QDialog::reject();
}

void TFormDesigner::ActionPreviewExecute()
{
    PreviewWithSampleRows(m_report, m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName(),
                          this);
}

void TFormDesigner::ButtonCompanyClick()
{
    const QString name = EditCompany->text().trimmed();
    if (!SetReportCompanyName(name)) {
        Ui::Error(SettingsNotWritten(), Title);
        EditCompany->setText(ReportCompanyName());
        return;
    }
    EditCompany->setText(name);
    Ui::Message(QStringLiteral("公司名称设置为：") + name, Title);
}

void TFormDesigner::updateTitle()
{
    const QString name = m_path.isEmpty() ? QStringLiteral("新单据") : QFileInfo(m_path).fileName();
    setWindowTitle(Title + QStringLiteral(" - ") + name + (Modified() ? QStringLiteral(" *")
                                                                      : QString()));
}

// ---------------------------------------------------------------- changes

void TFormDesigner::change(const QString &what, const std::function<void(ReportTemplate &)> &edit,
                           const QList<QPair<int, int>> &selectAfter, bool keepSelection)
{
    State before{m_report, Selection(), m_band};
    State after = before;
    edit(after.report);
    after.selection = !selectAfter.isEmpty() || !keepSelection ? selectAfter : before.selection;
    if (after.report == m_report) {
        // Nothing changed (a drag that came back to its start): the items show the template.
        apply(before);
        return;
    }
    m_undo->push(new Change(this, std::move(before), std::move(after), what));
}

void TFormDesigner::apply(const State &state)
{
    const bool sameShape = [&] {
        if (state.report.bands.size() != m_report.bands.size()
            || m_elementItems.size() != m_report.bands.size())
            return false;
        for (int b = 0; b < m_report.bands.size(); ++b)
            if (state.report.bands[b].kind != m_report.bands[b].kind
                || state.report.bands[b].elements.size() != m_elementItems[b].size())
                return false;
        return true;
    }();
    m_report = state.report;
    m_band = state.band;
    if (sameShape)
        layoutBands();
    else
        rebuild();
    Select(state.selection);
    fillPanel();
    updateTitle();
}

void TFormDesigner::rebuild()
{
    const bool was = m_filling;
    m_filling = true;
    m_bandItems.clear();
    m_elementItems.clear();
    m_scene->clear();
    for (int b = 0; b < m_report.bands.size(); ++b) {
        auto *band = new TBandItem(this, m_report.bands[b].kind);
        band->setZValue(1);
        m_scene->addItem(band);
        m_bandItems.append(band);
        QList<TElementItem *> items;
        for (int i = 0; i < m_report.bands[b].elements.size(); ++i)
            items.append(new TElementItem(this, b, i));
        for (TElementItem *item : items)
            item->setParentItem(band);
        m_elementItems.append(items);
    }
    m_filling = was;
    layoutBands();
}

void TFormDesigner::layoutBands()
{
    const ReportPage &page = m_report.page;
    const QRectF area = page.PrintableArea();
    double y = area.top();
    double footerTop = area.bottom();
    for (int b = 0; b < m_report.bands.size(); ++b) {
        const ReportBand &band = m_report.bands[b];
        double top = y;
        if (band.kind == BandKind::PageFooter)
            top = std::max(y, area.bottom() - band.height);
        else
            y += band.height;
        if (band.kind == BandKind::PageFooter)
            footerTop = top + band.height;
        TBandItem *item = m_bandItems[b];
        item->SetGeometry(area.width(), band.height, page.marginLeft);
        item->setPos(area.left(), top);
        item->SetCurrent(band.kind == m_band);
        const QSizeF size(area.width(), band.height);
        for (int i = 0; i < band.elements.size(); ++i)
            m_elementItems[b][i]->SetElement(band.elements[i], size);
    }
    // The page grows in the designer when its bands need more than the sheet.
    const double height = std::max({page.PrintedHeight(), y + page.marginBottom,
                                    footerTop + page.marginBottom});
    const QRectF sheet(0, 0, page.PrintedWidth(), height);
    const auto items = m_scene->items();
    QGraphicsRectItem *paper = nullptr;
    for (QGraphicsItem *item : items)
        if (item->data(0).toString() == QLatin1String("paper"))
            paper = static_cast<QGraphicsRectItem *>(item);
    if (!paper) {
        paper = m_scene->addRect(sheet, QPen(Qt::NoPen), QBrush(Qt::white));
        paper->setData(0, QStringLiteral("paper"));
        paper->setZValue(0);
        QPen dashed(QColor(170, 170, 170), 0, Qt::DashLine);
        dashed.setCosmetic(true);
        auto *margins = new QGraphicsRectItem(area, paper);
        margins->setPen(dashed);
        margins->setData(0, QStringLiteral("margins"));
    }
    paper->setRect(sheet);
    for (QGraphicsItem *child : paper->childItems())
        static_cast<QGraphicsRectItem *>(child)->setRect(QRectF(area.left(), area.top(),
                                                               area.width(),
                                                               height - page.marginTop
                                                                   - page.marginBottom));
    m_scene->setSceneRect(QRectF(-TBandItem::LabelWidth - 4, -4,
                                 sheet.width() + TBandItem::LabelWidth + 8, sheet.height() + 8));
    setZoom();
}

void TFormDesigner::setZoom()
{
    const double percent = ComboZoom->currentData().toDouble();
    const double k = percent / 100 * View1->logicalDpiX() / 25.4;
    View1->setTransform(QTransform::fromScale(k, k));
}

// ---------------------------------------------------------------- selection and panel

QList<QPair<int, int>> TFormDesigner::Selection() const
{
    QList<QPair<int, int>> out;
    for (const QList<TElementItem *> &band : m_elementItems)
        for (const TElementItem *item : band)
            if (item->isSelected())
                out.append({item->Band(), item->Index()});
    return out;
}

void TFormDesigner::Select(const QList<QPair<int, int>> &places)
{
    const bool was = m_filling;
    m_filling = true;
    m_scene->clearSelection();
    for (const auto &p : places)
        if (p.first >= 0 && p.first < m_elementItems.size() && p.second >= 0
            && p.second < m_elementItems[p.first].size())
            m_elementItems[p.first][p.second]->setSelected(true);
    m_filling = was;
    selectionChanged();
}

void TFormDesigner::selectionChanged()
{
    if (m_filling)
        return;
    const QList<QPair<int, int>> places = Selection();
    if (!places.isEmpty())
        m_band = m_report.bands[places.first().first].kind;
    for (TBandItem *band : m_bandItems)
        band->SetCurrent(band->Kind() == m_band);
    fillPanel();
}

ReportElement *TFormDesigner::currentElement(ReportTemplate &report) const
{
    const QList<QPair<int, int>> places = Selection();
    if (places.isEmpty())
        return nullptr;
    return &report.bands[places.first().first].elements[places.first().second];
}

void TFormDesigner::fillElementList()
{
    ComboElement->clear();
    for (int b = 0; b < m_report.bands.size(); ++b) {
        const ReportBand &band = m_report.bands[b];
        for (int i = 0; i < band.elements.size(); ++i) {
            const ReportElement &e = band.elements[i];
            QString text = BandCaption(band.kind) + QStringLiteral(" · ") + kindCaption(e.kind);
            if (!e.text.isEmpty())
                text += QLatin1Char(' ') + e.text.left(24);
            ComboElement->addItem(text, QPoint(b, i));
        }
    }
}

void TFormDesigner::fillPanel()
{
    const bool was = m_filling;
    m_filling = true;
    fillElementList();
    const QList<QPair<int, int>> places = Selection();
    ComboElement->setCurrentIndex(
        places.isEmpty() ? -1 : ComboElement->findData(QPoint(places[0].first, places[0].second)));
    ComboBand->setCurrentIndex(ComboBand->findData(int(m_band)));
    const ReportBand *band = m_report.Band(m_band);
    SpinBandHeight->setValue(band ? band->height : 0);

    ReportTemplate &report = m_report;
    const ReportElement *e = currentElement(report);
    const bool text = e && (e->kind == ElementKind::Text);
    const bool framed = e && (e->kind == ElementKind::Text || e->kind == ElementKind::Picture);
    EditText->setEnabled(e && (text || e->kind == ElementKind::Picture));
    for (QWidget *w : std::initializer_list<QWidget *>{ComboFont, SpinSize, CheckBold, ComboAlign,
                                                       ComboFormat, CheckWrap})
        w->setEnabled(text);
    for (QCheckBox *c : CheckFrame)
        c->setEnabled(framed);
    for (QDoubleSpinBox *s : {SpinX, SpinY, SpinWidth, SpinHeight})
        s->setEnabled(e != nullptr);
    ButtonDelete->setEnabled(e != nullptr);
    const ReportElement blank;
    const ReportElement &shown = e ? *e : blank;
    EditText->setText(e ? shown.text : QString());
    const int font = ComboFont->findData(shown.fontFamily);
    if (font < 0)
        ComboFont->addItem(shown.fontFamily, shown.fontFamily);
    ComboFont->setCurrentIndex(ComboFont->findData(shown.fontFamily));
    SpinSize->setValue(shown.fontSize);
    CheckBold->setChecked(shown.bold);
    ComboAlign->setCurrentIndex(ComboAlign->findData(int(shown.align)));
    ComboFormat->setEditText(shown.format);
    CheckWrap->setChecked(shown.wrap);
    const int bits[] = {FrameLeft, FrameTop, FrameRight, FrameBottom};
    for (int i = 0; i < 4; ++i)
        CheckFrame[i]->setChecked(shown.frame & bits[i]);
    SpinX->setValue(shown.rect.x());
    SpinY->setValue(shown.rect.y());
    SpinWidth->setValue(shown.rect.width());
    SpinHeight->setValue(shown.rect.height());
    m_filling = was;
}

void TFormDesigner::editCurrent(const QString &what,
                                const std::function<void(ReportElement &)> &edit,
                                bool allSelected)
{
    if (m_filling)
        return;
    QList<QPair<int, int>> places = Selection();
    if (places.isEmpty())
        return;
    if (!allSelected)
        places = places.mid(0, 1);
    change(what, [&](ReportTemplate &r) {
        for (const auto &p : places)
            edit(r.bands[p.first].elements[p.second]);
    });
}

// ---------------------------------------------------------------- the page's items

void TFormDesigner::BandClicked(BandKind kind)
{
    m_band = kind;
    if (!Selection().isEmpty())
        Select({});
    else
        selectionChanged();
}

void TFormDesigner::SetBandHeight(BandKind kind, double height)
{
    change(QStringLiteral("改变带区高度"), [kind, height](ReportTemplate &r) {
        ReportBand *band = r.Band(kind);
        if (height <= 0 && (!band || band->elements.isEmpty())) {
            const int at = bandIndex(r, kind);
            if (at >= 0)
                r.bands.removeAt(at);
            return;
        }
        r.EnsureBand(kind).height = std::max(height, MinBandHeight);
    }, {}, false);
}

void TFormDesigner::GeometryChanged()
{
    change(QStringLiteral("移动"), [this](ReportTemplate &r) {
        for (const QList<TElementItem *> &band : m_elementItems)
            for (const TElementItem *item : band)
                r.bands[item->Band()].elements[item->Index()].rect = item->CurrentRect();
    });
}

QImage TFormDesigner::Picture(const QString &fileName)
{
    auto it = m_pictures.find(fileName);
    if (it == m_pictures.end()) {
        QImageReader reader(TemplateToRead(fileName));
        it = m_pictures.insert(fileName, reader.read());
    }
    return *it;
}

bool TFormDesigner::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != View1 || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const double step = key->modifiers() & Qt::ShiftModifier ? BigStep : Step;
    const bool resize = key->modifiers() & Qt::ControlModifier;
    const bool selected = !Selection().isEmpty();
    switch (key->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        // The next or previous element in the element list, round the end.
        const int count = ComboElement->count();
        if (count == 0)
            return true;
        const int now = ComboElement->currentIndex();
        const int next = key->key() == Qt::Key_PageDown ? (now + 1) % count
                                                        : (now <= 0 ? count : now) - 1;
        const QPoint place = ComboElement->itemData(next).toPoint();
        Select({{place.x(), place.y()}});
        View1->ensureVisible(m_elementItems[place.x()][place.y()]);
        return true;
    }
    case Qt::Key_Left:
        Nudge(-step, 0, resize);
        return selected;
    case Qt::Key_Right:
        Nudge(step, 0, resize);
        return selected;
    case Qt::Key_Up:
        Nudge(0, -step, resize);
        return selected;
    case Qt::Key_Down:
        Nudge(0, step, resize);
        return selected;
    case Qt::Key_Delete:
        DeleteSelection();
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

// ---------------------------------------------------------------- editing

void TFormDesigner::Nudge(double dx, double dy, bool resize)
{
    const QList<QPair<int, int>> places = Selection();
    if (places.isEmpty())
        return;
    const double width = m_report.page.PrintableArea().width();
    change(resize ? QStringLiteral("改变大小") : QStringLiteral("移动"), [&](ReportTemplate &r) {
        for (const auto &p : places) {
            const double height = r.bands[p.first].height;
            QRectF &rect = r.bands[p.first].elements[p.second].rect;
            if (resize) {
                rect.setWidth(std::clamp(rect.width() + dx, 0.0, std::max(0.0, width - rect.x())));
                rect.setHeight(
                    std::clamp(rect.height() + dy, 0.0, std::max(0.0, height - rect.y())));
            } else {
                rect.moveLeft(std::clamp(rect.x() + dx, 0.0, std::max(0.0, width - rect.width())));
                rect.moveTop(
                    std::clamp(rect.y() + dy, 0.0, std::max(0.0, height - rect.height())));
            }
        }
    });
}

void TFormDesigner::addElement(const ReportElement &element)
{
    ReportTemplate after = m_report;
    const BandKind kind = m_band;
    after.EnsureBand(kind);
    const int band = bandIndex(after, kind);
    const int index = after.bands[band].elements.size();
    ReportElement e = element;
    const QRectF area = m_report.page.PrintableArea();
    const double bandHeight = after.bands[band].height;
    e.rect.setWidth(std::min(e.rect.width(), area.width()));
    e.rect.setHeight(std::min(e.rect.height(), bandHeight));
    change(QStringLiteral("加") + kindCaption(e.kind), [kind, e](ReportTemplate &r) {
        r.EnsureBand(kind).elements.append(e);
    }, {{band, index}});
    View1->setFocus();
}

void TFormDesigner::AddText()
{
    ReportElement e;
    e.kind = ElementKind::Text;
    e.text = QStringLiteral("文本");
    e.rect = QRectF(0, 0, 40, 6);
    addElement(e);
}

void TFormDesigner::AddField()
{
    const QString name = m_path.isEmpty() ? QString() : QFileInfo(m_path).fileName();
    m_chooser->Fields = FieldsOf ? FieldsOf(name) : TemplateFields(name);
    if (Ui::ShowModal(m_chooser) != QDialog::Accepted || m_chooser->Chosen.isEmpty())
        return;
    ReportElement e;
    e.kind = ElementKind::Text;
    e.text = QStringLiteral("{{") + m_chooser->Chosen + QStringLiteral("}}");
    e.rect = QRectF(0, 0, 30, 6);
    addElement(e);
}

void TFormDesigner::AddLine()
{
    ReportElement e;
    e.kind = ElementKind::Line;
    e.rect = QRectF(0, 0, 60, 0);
    addElement(e);
}

void TFormDesigner::AddPicture()
{
    const QString source = Ui::OpenFile(QStringLiteral("选择图片"), FrfFolder(),
                                        QStringLiteral("图片 (*.png *.jpg *.jpeg *.bmp)"));
    if (source.isEmpty())
        return;
    QImageReader reader(source);
    const QImage image = reader.read();
    if (image.isNull()) {
        Ui::Error(QStringLiteral("这个文件不是能用的图片：\n") + QDir::toNativeSeparators(source)
                      + QStringLiteral("\n") + reader.errorString(),
                  Title);
        return;
    }
    // The template names its pictures by file name in Frf: a picture from elsewhere is
    // copied there, under a name of its own when another picture already has its name.
    const QString folder = FrfFolder();
    QDir().mkpath(folder);
    const QFileInfo info(source);
    QString name = info.fileName();
    const auto sameFile = [](const QString &a, const QString &b) {
        QFile fa(a), fb(b);
        return fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly)
            && fa.readAll() == fb.readAll();
    };
    if (QFileInfo(folder + QLatin1Char('/') + name).absoluteFilePath() != info.absoluteFilePath()) {
        for (int n = 2; QFile::exists(folder + QLatin1Char('/') + name)
                        && !sameFile(source, folder + QLatin1Char('/') + name);
             ++n)
            name = info.completeBaseName() + QStringLiteral("_%1.").arg(n) + info.suffix();
        const QString target = folder + QLatin1Char('/') + name;
        if (!QFile::exists(target) && !QFile::copy(source, target)) {
            Ui::Error(QStringLiteral("图片没有复制到单据模板文件夹：\n")
                          + QDir::toNativeSeparators(target),
                      Title);
            return;
        }
    }
    m_pictures.remove(name);
    ReportElement e;
    e.kind = ElementKind::Picture;
    e.text = name;
    const double width = 30;
    e.rect = QRectF(0, 0, width, width * image.height() / std::max(1, image.width()));
    addElement(e);
}

void TFormDesigner::DeleteSelection()
{
    QList<QPair<int, int>> places = Selection();
    if (places.isEmpty())
        return;
    std::sort(places.begin(), places.end(), std::greater<>());
    change(QStringLiteral("删除"), [&](ReportTemplate &r) {
        for (const auto &p : places)
            r.bands[p.first].elements.removeAt(p.second);
    }, {}, false);
    View1->setFocus();
}
