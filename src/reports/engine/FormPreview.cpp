// The preview window: the current page drawn into a picture at the zoom, in a scroll area.
#include "FormPreview.h"

#include "ProgramFolder.h"
#include "Settings.h"
#include "Ui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <set>

// The page on screen: the picture the preview drew, and the marks of a found text.
class PreviewPage : public QWidget
{
public:
    PreviewPage() : QWidget(nullptr) {}
    // Lets the old picture go before a new one is drawn: one page's picture in memory.
    void DropPicture() { m_image = QImage(); }
    void SetPicture(const QImage &image, const QList<QRectF> &marks)
    {
        m_image = image;
        m_marks = marks;
        setFixedSize(image.size() + QSize(2 * Margin, 2 * Margin));
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(128, 128, 128));
        p.fillRect(QRect(QPoint(Margin + 3, Margin + 3), m_image.size()), QColor(64, 64, 64));
        p.drawImage(Margin, Margin, m_image);
        p.setPen(QPen(QColor(255, 120, 0), 2));
        p.setBrush(QColor(255, 200, 0, 80));
        for (const QRectF &r : m_marks)
            p.drawRect(r.translated(Margin, Margin));
    }

private:
    static constexpr int Margin = 12;
    QImage m_image;
    QList<QRectF> m_marks;
};

TFormPreview::TFormPreview(ReportRenderer *renderer, QWidget *parent)
    : QDialog(parent), m_renderer(renderer)
{
    Q_ASSERT(renderer && renderer->Prepared());
    setObjectName(QStringLiteral("FormPreview"));
    setWindowTitle(QStringLiteral("打印预览 - %1").arg(renderer->Template().name));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint);
    setSizeGripEnabled(true);

    auto *bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("ToolBar"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 4, 4, 4);
    row->setSpacing(4);
    row->addWidget(button(QStringLiteral("ButtonZoomIn"), QStringLiteral("放大"),
                          QStringLiteral("放大 (Ctrl++)"), [this] { SetZoom(m_zoom * 1.25); }));
    row->addWidget(button(QStringLiteral("ButtonZoomOut"), QStringLiteral("缩小"),
                          QStringLiteral("缩小 (Ctrl+-)"), [this] { SetZoom(m_zoom / 1.25); }));
    row->addWidget(button(QStringLiteral("ButtonPageWidth"), QStringLiteral("页宽"),
                          QStringLiteral("按页宽显示"), [this] { SetFit(Fit::PageWidth); }));
    row->addWidget(button(QStringLiteral("ButtonWholePage"), QStringLiteral("整页"),
                          QStringLiteral("显示整页"), [this] { SetFit(Fit::WholePage); }));
    m_zoomLabel = new QLabel(bar);
    m_zoomLabel->setObjectName(QStringLiteral("LabelZoom"));
    m_zoomLabel->setMinimumWidth(44);
    row->addWidget(m_zoomLabel);
    row->addSpacing(8);
    m_first = button(QStringLiteral("ButtonFirst"), QStringLiteral("首页"),
                     QStringLiteral("第一页 (Ctrl+Home)"), [this] { SetPage(0); });
    m_previous = button(QStringLiteral("ButtonPrevious"), QStringLiteral("上一页"),
                        QStringLiteral("上一页 (PgUp)"), [this] { SetPage(m_page - 1); });
    m_pageBox = new QSpinBox(bar);
    m_pageBox->setObjectName(QStringLiteral("EditPage"));
    m_pageBox->setAccessibleName(QStringLiteral("页码"));
    m_pageBox->setRange(1, qMax(1, m_renderer->PageCount()));
    m_pageBox->setKeyboardTracking(false);
    m_pageBox->setMinimumWidth(70);
    m_pagesLabel = new QLabel(QStringLiteral("共 %1 页").arg(m_renderer->PageCount()), bar);
    m_pagesLabel->setObjectName(QStringLiteral("LabelPages"));
    m_next = button(QStringLiteral("ButtonNext"), QStringLiteral("下一页"),
                    QStringLiteral("下一页 (PgDn)"), [this] { SetPage(m_page + 1); });
    m_last = button(QStringLiteral("ButtonLast"), QStringLiteral("末页"),
                    QStringLiteral("最后一页 (Ctrl+End)"),
                    [this] { SetPage(m_renderer->PageCount() - 1); });
    for (QWidget *w : std::initializer_list<QWidget *>{m_first, m_previous, m_pageBox,
                                                       m_pagesLabel, m_next, m_last})
        row->addWidget(w);
    row->addSpacing(8);
    row->addWidget(button(QStringLiteral("ButtonPrint"), QStringLiteral("打印"),
                          QStringLiteral("打印 (Ctrl+P)"), [this] { ActionPrintExecute(); }));
    row->addWidget(button(QStringLiteral("ButtonExport"), QStringLiteral("导出PDF"),
                          QStringLiteral("导出为 PDF 文件"), [this] { ActionExportExecute(); }));
    row->addSpacing(8);
    m_findEdit = new QLineEdit(bar);
    m_findEdit->setObjectName(QStringLiteral("EditFind"));
    m_findEdit->setAccessibleName(QStringLiteral("查找内容"));
    m_findEdit->setPlaceholderText(QStringLiteral("查找内容"));
    m_findEdit->setMaximumWidth(160);
    row->addWidget(m_findEdit);
    row->addWidget(button(QStringLiteral("ButtonFind"), QStringLiteral("查找"),
                          QStringLiteral("从当前页起查找 (Ctrl+F, F3)"),
                          [this] { ActionFindExecute(); }));
    row->addStretch(1);
    row->addWidget(button(QStringLiteral("ButtonClose"), QStringLiteral("关闭"),
                          QStringLiteral("关闭预览 (Esc)"), [this] { reject(); }));

    m_view = new PreviewPage;
    m_view->setObjectName(QStringLiteral("PreviewPage"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("ScrollPage"));
    m_scroll->setAccessibleName(QStringLiteral("预览页面"));
    m_scroll->setWidget(m_view);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setFocusPolicy(Qt::StrongFocus);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_pageBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int value) { SetPage(value - 1); });
    connect(m_findEdit, &QLineEdit::returnPressed, this, [this] { ActionFindExecute(); });

    const QRect screen = QGuiApplication::primaryScreen()
        ? QGuiApplication::primaryScreen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(qMin(1100, screen.width() - 40), qMin(820, screen.height() - 40));
    updateControls();
}

TFormPreview::~TFormPreview() = default;

QToolButton *TFormPreview::button(const QString &name, const QString &caption,
                                  const QString &tip, const std::function<void()> &action)
{
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setToolTip(tip);
    b->setAccessibleName(caption);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setAutoRaise(true);
    b->setMinimumWidth(44);
    connect(b, &QToolButton::clicked, this, action);
    return b;
}

void TFormPreview::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    render();
    m_scroll->setFocus();
    // Once the first page is on screen, what any other page needs is read while the user
    // looks at it (a failure shows when that page is drawn).
    if (!m_readAhead) {
        m_readAhead = true;
        QTimer::singleShot(0, this, [this] { m_renderer->ReadAhead(); });
    }
}

void TFormPreview::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // Drawn again only when the fitted zoom changed (showing resizes the window too).
    if (m_fit != Fit::None && isVisible() && !m_image.isNull()
        && qAbs(qBound(0.1, fitZoom(), 8.0) - m_zoom) > 0.001)
        render();
}

double TFormPreview::fitZoom() const
{
    // A page at zoom 1 is its real size on a screen of 96 dots an inch.
    const QSizeF mm = m_renderer->PageSizeMm();
    const double k = 96 / 25.4;
    const QSize room = m_scroll->viewport()->size() - QSize(28, 28);
    const double byWidth = room.width() / (mm.width() * k);
    if (m_fit == Fit::PageWidth)
        return byWidth;
    return qMin(byWidth, room.height() / (mm.height() * k));
}

void TFormPreview::SetZoom(double zoom)
{
    m_fit = Fit::None;
    m_zoom = qBound(0.1, zoom, 8.0);
    render();
}

void TFormPreview::SetFit(Fit fit)
{
    m_fit = fit;
    render();
}

void TFormPreview::SetPage(int page)
{
    page = qBound(0, page, qMax(0, m_renderer->PageCount() - 1));
    if (page == m_page && !m_image.isNull())
        return;
    m_page = page;
    m_marks.clear();
    render();
    m_scroll->verticalScrollBar()->setValue(0);
}

void TFormPreview::render()
{
    if (m_fit != Fit::None)
        m_zoom = qBound(0.1, fitZoom(), 8.0);
    const QSizeF mm = m_renderer->PageSizeMm();
    const double dpi = 96 * m_zoom;
    const QSize size(qMax(1, qRound(mm.width() / 25.4 * dpi)),
                     qMax(1, qRound(mm.height() / 25.4 * dpi)));
    m_image = QImage();
    m_view->DropPicture();
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QList<ReportRenderer::PageText> texts;
    bool ok;
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        ok = m_renderer->DrawPage(&painter, m_page, &texts);
    }
    m_image = image;
    m_marks.clear();
    if (!m_marked.isEmpty()) {
        const double k = dpi / 25.4;
        for (const ReportRenderer::PageText &t : texts)
            if (t.text.contains(m_marked, Qt::CaseInsensitive))
                m_marks << QRectF(t.rect.x() * k, t.rect.y() * k, t.rect.width() * k,
                                  t.rect.height() * k);
    }
    m_view->SetPicture(m_image, m_marks);
    updateControls();
    if (!ok)
        Ui::Message(m_renderer->LastError(), QString(), Ui::Icon::Error);
}

void TFormPreview::updateControls()
{
    const int pages = m_renderer->PageCount();
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(m_page + 1);
    m_pagesLabel->setText(QStringLiteral("共 %1 页").arg(pages));
    m_first->setEnabled(m_page > 0);
    m_previous->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < pages - 1);
    m_last->setEnabled(m_page < pages - 1);
    m_zoomLabel->setText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
}

void TFormPreview::keyPressEvent(QKeyEvent *event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    switch (event->key()) {
    case Qt::Key_PageUp:
        SetPage(m_page - 1);
        return;
    case Qt::Key_PageDown:
        SetPage(m_page + 1);
        return;
    case Qt::Key_Home:
        if (ctrl) {
            SetPage(0);
            return;
        }
        break;
    case Qt::Key_End:
        if (ctrl) {
            SetPage(m_renderer->PageCount() - 1);
            return;
        }
        break;
    case Qt::Key_F:
        if (ctrl) {
            m_findEdit->setFocus();
            m_findEdit->selectAll();
            return;
        }
        break;
    case Qt::Key_F3:
        ActionFindExecute();
        return;
    case Qt::Key_P:
        if (ctrl) {
            ActionPrintExecute();
            return;
        }
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        if (ctrl) {
            SetZoom(m_zoom * 1.25);
            return;
        }
        break;
    case Qt::Key_Minus:
        if (ctrl) {
            SetZoom(m_zoom / 1.25);
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(event);   // Esc closes
}

bool TFormPreview::runPages(const QString &title,
                            const std::function<bool(const ReportProgress &)> &work)
{
    // Shown only when the work lasts: a short report is done before it would appear.
    QProgressDialog progress(title, QStringLiteral("取消"), 0, 100, this);
    progress.setObjectName(QStringLiteral("FormExportProgress"));
    progress.setWindowTitle(QStringLiteral("请稍候"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const bool ok = work([&progress](int done, int total) {
        progress.setValue(int(qint64(done) * 100 / qMax(1, total)));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    });
    progress.close();
    return ok;
}

QString TFormPreview::DefaultPdfName() const
{
    QString name = m_renderer->Template().name;
    name.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|])")), QStringLiteral("_"));
    if (name.isEmpty())
        name = QStringLiteral("报表");
    return name + QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".pdf");
}

bool TFormPreview::ExportTo(const QString &path)
{
    const bool ok = runPages(QStringLiteral("正在导出PDF…"), [this, &path](const ReportProgress &p) {
        return m_renderer->ExportPdf(path, p);
    });
    if (!ok) {
        if (m_renderer->LastError() == QStringLiteral("已取消"))
            Ui::Message(QStringLiteral("已取消导出，没有写入文件。"));
        else
            Ui::Message(QStringLiteral("导出PDF失败：%1").arg(m_renderer->LastError()),
                        QString(), Ui::Icon::Error);
    }
    return ok;
}

void TFormPreview::ActionExportExecute()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir(dir).exists())
        dir = QDir::homePath();
    const QString path = Ui::SaveFile(QStringLiteral("导出PDF"),
                                      QDir(dir).filePath(DefaultPdfName()),
                                      QStringLiteral("PDF 文件 (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (ExportTo(path))
        Ui::Message(QStringLiteral("已导出到 %1").arg(QDir::toNativeSeparators(path)));
}

bool TFormPreview::PrintTo(QPrinter *printer)
{
    int first = 0;
    int last = m_renderer->PageCount() - 1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = printer->fromPage() - 1;
        last = printer->toPage() > 0 ? printer->toPage() - 1 : last;
    } else if (printer->printRange() == QPrinter::CurrentPage) {
        first = last = m_page;
    }
    if (first > last || first >= m_renderer->PageCount()) {
        Ui::Message(QStringLiteral("打印范围不对：本报表共 %1 页").arg(m_renderer->PageCount()));
        return false;
    }
    const bool ok = runPages(QStringLiteral("正在打印…"), [&](const ReportProgress &p) {
        return m_renderer->Print(printer, first, last, p);
    });
    if (!ok && m_renderer->LastError() != QStringLiteral("已取消"))
        Ui::Message(QStringLiteral("打印失败：%1").arg(m_renderer->LastError()), QString(),
                    Ui::Icon::Error);
    return ok;
}

void TFormPreview::ActionPrintExecute()
{
    QPrinter printer(QPrinter::HighResolution);
    ReportRenderer::SetUpDevice(&printer, m_renderer->Template().page);
    printer.setDocName(m_renderer->Template().name);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, m_renderer->PageCount());
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrintTo(&printer);
}

bool TFormPreview::FindText(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        Ui::Message(QStringLiteral("请输入要查找的内容"));
        return false;
    }
    // From the page after the one showing the same text, so that pressing again goes on.
    const int from = text == m_marked && !m_marks.isEmpty() ? m_page + 1 : m_page;
    int found = -1;
    runPages(QStringLiteral("正在查找…"), [&](const ReportProgress &p) {
        found = m_renderer->Find(text, from % qMax(1, m_renderer->PageCount()), p);
        return true;
    });
    if (found < 0) {
        Ui::Message(QStringLiteral("找不到“%1”").arg(text));
        return false;
    }
    m_marked = text;
    m_page = found;
    render();
    return true;
}

void TFormPreview::ActionFindExecute()
{
    if (m_findEdit->text().trimmed().isEmpty()) {
        m_findEdit->setFocus();
        return;
    }
    FindText(m_findEdit->text());
}

bool PreviewReport(const QString &templatePath, ReportRows *rows, const ReportValues &values,
                   QWidget *parent, bool showError)
{
    ReportRenderer renderer;
    QString error;
    if (!renderer.Prepare(templatePath, rows, values, &error)) {
        if (showError)
            Ui::Message(error, QString(), Ui::Icon::Error);
        return false;
    }
    TFormPreview preview(&renderer, parent);
    Ui::ShowModal(&preview);
    return true;
}

QString OrientedTemplate(const QString &base)
{
    return TemplateToRead(
        base + (PortraitPrinting() ? QStringLiteral(".frf") : QStringLiteral("2.frf")));
}
