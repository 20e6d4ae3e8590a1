// The banded renderer. Sizes are kept in mm and turned into device units while drawing:
// k = the device's dots per mm.
#include "ReportRenderer.h"

#include "Globals.h"
#include "ProgramFolder.h"
#include "PublicFunction.h"
#include "ReportFormat.h"
#include "Settings.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <QDateTime>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>

#include <kainjow/mustache.hpp>

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <set>

namespace {

namespace ms = kainjow::mustache;

const QString CompanyNameKey = QStringLiteral("CompanyName");
const QString ReportFontFamily = QStringLiteral("WenQuanYi Micro Hei");
constexpr double TextPadding = ReportTextPadding;

QString bandTitle(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle: return QStringLiteral("报表标题");
    case BandKind::PageHeader: return QStringLiteral("页眉");
    case BandKind::ColumnHeader: return QStringLiteral("列标题");
    case BandKind::Detail: return QStringLiteral("明细");
    case BandKind::Summary: return QStringLiteral("汇总");
    case BandKind::PageFooter: return QStringLiteral("页脚");
    }
    return QString();
}

// A stored value as a report prints it: amounts with two decimals at most.
QString valueText(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QString();
    case QMetaType::Double:
    case QMetaType::Float:
        return AmountText(value.toDouble());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    default:
        return value.toString();
    }
}

bool isNumberFormat(const QString &format)
{
    for (QChar c : format)
        if (c != QLatin1Char('0') && c != QLatin1Char('#') && c != QLatin1Char(',')
            && c != QLatin1Char('.'))
            return false;
    return true;
}

// The text in the element's format when it is wholly a number or a date; else as it is.
QString formatted(const QString &text, const QString &format)
{
    if (format.isEmpty() || text.isEmpty())
        return text;
    if (isNumberFormat(format)) {
        bool ok = false;
        double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v))
            return text;
        const int point = int(format.indexOf(QLatin1Char('.')));
        const int decimals = point < 0 ? 0 : int(format.size()) - point - 1;
        QString s = QString::number(v, 'f', decimals);
        if (s.toDouble() == 0)
            s = QString::number(0.0, 'f', decimals);   // never "-0.00"
        if (format.contains(QLatin1Char(','))) {
            int end = int(s.indexOf(QLatin1Char('.')));
            if (end < 0)
                end = int(s.size());
            const int start = s.startsWith(QLatin1Char('-')) ? 1 : 0;
            for (int i = end - 3; i > start; i -= 3)
                s.insert(i, QLatin1Char(','));
        }
        return s;
    }
    // A day, or a day and a time, as the database writes them; read by hand and formatted
    // without a time zone (local time asks the system for its zone at every call).
    const QString t = text.trimmed();
    if (t.size() < 10 || t.at(4) != QLatin1Char('-') || t.at(7) != QLatin1Char('-'))
        return text;
    const QDate day(t.left(4).toInt(), t.mid(5, 2).toInt(), t.mid(8, 2).toInt());
    if (!day.isValid())
        return text;
    QTime time(0, 0);
    if (t.size() > 10) {
        if (t.at(10) != QLatin1Char(' ') && t.at(10) != QLatin1Char('T'))
            return text;
        time = QTime::fromString(t.mid(11, 8), QStringLiteral("HH:mm:ss"));
        if (!time.isValid())
            return text;
    }
    return QDateTime(day, time, Qt::UTC).toString(format);
}

// Where a name's value comes from.
struct Source
{
    enum Kind { Empty, Field, Page, Text } kind = Empty;
    int column = -1;
    QString text;
};

// The names a text uses, found by rendering it once with every name answered empty.
class ProbeContext : public ms::basic_context<std::string>
{
public:
    void push(const ms::data *data) override { m_items.insert(m_items.begin(), data); }
    void pop() override { m_items.erase(m_items.begin()); }
    const ms::data *get(const std::string &name) const override
    {
        if (name == "." && !m_items.empty())
            return m_items.front();
        names.insert(name);
        return &m_empty;
    }
    const ms::data *get_partial(const std::string &) const override { return nullptr; }

    mutable std::set<std::string> names;

private:
    std::vector<const ms::data *> m_items;
    ms::data m_empty{std::string()};
};

// The values of one text's names for one row of one page.
class ValueContext : public ms::basic_context<std::string>
{
public:
    using Resolve = std::function<QString(const std::string &)>;
    explicit ValueContext(Resolve resolve) : m_resolve(std::move(resolve)) {}
    void push(const ms::data *data) override { m_items.insert(m_items.begin(), data); }
    void pop() override { m_items.erase(m_items.begin()); }
    const ms::data *get(const std::string &name) const override
    {
        if (name == "." && !m_items.empty())
            return m_items.front();
        const QString value = m_resolve(name);
        // An empty value is false in a section: {{#x}}…{{/x}} prints only when x has one.
        if (value.isEmpty())
            return &m_slots.emplace_back(false);
        return &m_slots.emplace_back(value.toStdString());
    }
    const ms::data *get_partial(const std::string &) const override { return nullptr; }

private:
    Resolve m_resolve;
    std::vector<const ms::data *> m_items;
    mutable std::deque<ms::data> m_slots;
};

bool printedTextIsSimpleName(const QString &text, QString *name)
{
    static const QRegularExpression simple(
        QStringLiteral(R"(^\{\{\s*([A-Za-z_][A-Za-z0-9_]*(\.[A-Za-z0-9_]+)?)\s*\}\}$)"));
    const QRegularExpressionMatch m = simple.match(text);
    if (!m.hasMatch())
        return false;
    *name = m.captured(1);
    return true;
}

}  // namespace

QString ReportCompanyName()
{
    return ReadSetting(SettingKey::Section, CompanyNameKey, QString(), SettingsFile);
}

bool SetReportCompanyName(const QString &name)
{
    return WriteSetting(SettingKey::Section, CompanyNameKey, name, SettingsFile);
}

struct ReportRenderer::Private
{
    struct Text
    {
        enum Mode { Constant, Single, Template } mode = Constant;
        QString constant;
        QString name;                      // Single: the name printed
        std::unique_ptr<ms::mustache> tmpl;
        QFont font;
        std::optional<QFontMetricsF> metrics;   // for the device being drawn on
        QHash<char16_t, double> advances;       // the widths of characters met so far
        int picture = -1;                  // a picture element: its index in pictures
    };
    std::vector<std::vector<Text>> texts;  // by band, by element
    std::vector<QImage> pictures;
    QHash<QString, Source> names;          // every name the texts use
    ReportValues values;
    int cachedPage = -1;                   // the page whose rows cachedRows holds
    const void *lastFont = nullptr;        // what the painter was last given in DrawPage
    double lastPen = -1;
    std::vector<ReportRow> cachedRows;

    // The text of a name for a row of a page.
    QString resolve(const QString &name, const ReportRow *row, int page) const
    {
        const auto it = names.constFind(name);
        if (it == names.constEnd())
            return QString();
        switch (it->kind) {
        case Source::Field:
            return row && it->column < row->size() ? valueText(row->at(it->column)) : QString();
        case Source::Page:
            return QString::number(page + 1);
        case Source::Text:
            return it->text;
        case Source::Empty:
            break;
        }
        return QString();
    }
};

namespace {

// True when the text is sure to fit the width: the sum of its characters' own widths,
// without kerning, leaves a margin.
template <typename Text>
bool fitsEasily(Text &t, const QString &text, double width)
{
    double sum = 0;
    for (QChar c : text) {
        if (c.isSurrogate())
            return false;
        auto it = t.advances.constFind(c.unicode());
        if (it == t.advances.constEnd())
            it = t.advances.insert(c.unicode(), t.metrics->horizontalAdvance(c));
        sum += *it;
        if (sum > width * 0.95)
            return false;
    }
    return true;
}

}  // namespace

ReportRenderer::ReportRenderer() : d(std::make_unique<Private>()) {}
ReportRenderer::~ReportRenderer() = default;

bool ReportRenderer::Prepare(const QString &templatePath, ReportRows *rows,
                             const ReportValues &values, QString *error)
{
    m_prepared = false;
    ReportTemplate report;
    if (!ReportFormat::Load(templatePath, &report, error)) {
        m_error = *error;
        return false;
    }
    const QString file = QFileInfo(templatePath).fileName();
    if (report.name.isEmpty())
        report.name = QFileInfo(templatePath).completeBaseName();
    m_templateName = file;
    return prepare(report, rows, values, error);
}

bool ReportRenderer::Prepare(const ReportTemplate &report, ReportRows *rows,
                             const ReportValues &values, QString *error)
{
    m_templateName = report.name;
    return prepare(report, rows, values, error);
}

bool ReportRenderer::prepare(const ReportTemplate &report, ReportRows *rows,
                             const ReportValues &values, QString *error)
{
    Q_ASSERT(rows);
    m_prepared = false;
    m_template = report;
    m_rows = rows;
    d = std::make_unique<Private>();
    d->values = values;
    m_pageStarts.clear();
    m_error.clear();
    if (!compile(error) || !paginate(error)) {
        m_error = *error;
        return false;
    }
    m_prepared = true;
    return true;
}

bool ReportRenderer::compile(QString *error)
{
    const QString which = QStringLiteral("报表模板“%1”").arg(m_templateName);
    // First every text's names, then the data set opened with the sums they ask for.
    std::vector<std::pair<QString, BandKind>> used;   // name, the band that uses it
    d->texts.resize(size_t(m_template.bands.size()));
    for (int b = 0; b < m_template.bands.size(); ++b) {
        const ReportBand &band = m_template.bands.at(b);
        auto &texts = d->texts[size_t(b)];
        texts.resize(size_t(band.elements.size()));
        for (int e = 0; e < band.elements.size(); ++e) {
            const ReportElement &el = band.elements.at(e);
            Private::Text &t = texts[size_t(e)];
            if (el.kind == ElementKind::Picture) {
                QImage picture(TemplateToRead(el.text));
                t.picture = int(d->pictures.size());
                d->pictures.push_back(picture);   // a missing picture draws nothing
                continue;
            }
            if (el.kind != ElementKind::Text)
                continue;
            // Without a face of its own a text takes the reports' face, whose PDFs keep
            // the characters a reader copies or searches for (the CJK faces the windows
            // use turn some into look-alike radicals there).
            t.font = QGuiApplication::font();
            t.font.setFamilies(QStringList{el.fontFamily.isEmpty() ? ReportFontFamily
                                                                   : el.fontFamily,
                                           ReportFontFamily}
                               + QGuiApplication::font().families());
            t.font.setPointSizeF(el.fontSize);
            t.font.setBold(el.bold);
            QString name;
            if (!el.text.contains(QLatin1String("{{"))) {
                t.mode = Private::Text::Constant;
                t.constant = formatted(el.text, el.format);
            } else if (printedTextIsSimpleName(el.text, &name)) {
                t.mode = Private::Text::Single;
                t.name = name;
                used.emplace_back(name, band.kind);
            } else {
                t.mode = Private::Text::Template;
                t.tmpl = std::make_unique<ms::mustache>(el.text.toStdString());
                if (!t.tmpl->is_valid()) {
                    *error = QStringLiteral("%1的%2区域中的文字“%3”有误：%4")
                                 .arg(which, bandTitle(band.kind), el.text,
                                      QString::fromStdString(t.tmpl->error_message()));
                    return false;
                }
                t.tmpl->set_custom_escape([](const std::string &s) { return s; });
                ProbeContext probe;
                t.tmpl->render(probe);
                for (const std::string &n : probe.names)
                    used.emplace_back(QString::fromStdString(n), band.kind);
            }
        }
    }

    QStringList sums;
    QString dataError;
    // The fields first, without reading rows: a sum of a field the data set does not have
    // is refused before anything is summed; then one aggregate counts and sums.
    if (!m_rows->ReadFields(&dataError)) {
        *error = QStringLiteral("%1的数据无法读取：%2").arg(which, dataError);
        return false;
    }
    for (const auto &[name, band] : used) {
        if (!name.startsWith(QLatin1String("sum.")))
            continue;
        const QString field = name.mid(4);
        if (m_rows->FieldIndex(field) < 0) {
            *error = QStringLiteral("%1用到了字段“%2”，数据中没有这个字段").arg(which, field);
            return false;
        }
        if (!sums.contains(field, Qt::CaseInsensitive))
            sums << field;
    }
    if (!m_rows->Open(sums, &dataError)) {
        *error = QStringLiteral("%1的数据无法读取：%2").arg(which, dataError);
        return false;
    }

    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    QString company;
    bool companyRead = false;
    for (const auto &[name, band] : used) {
        if (d->names.contains(name) && band != BandKind::Detail)
            continue;
        Source s;
        const int column = m_rows->FieldIndex(name);
        QVariant answer;
        if (column >= 0) {
            s.kind = Source::Field;
            s.column = column;
        } else if (name == QLatin1String("page")) {
            s.kind = Source::Page;
        } else if (name == QLatin1String("pages")) {
            s.kind = Source::Text;   // filled in once the pages are counted
        } else if (name == QLatin1String("count")) {
            s = {Source::Text, -1, QString::number(m_rows->Count())};
        } else if (name == QLatin1String("date")) {
            s = {Source::Text, -1, today};
        } else if (name.startsWith(QLatin1String("sum."))) {
            s = {Source::Text, -1, AmountText(m_rows->Sum(name.mid(4)))};
        } else if (d->values && d->values(name, &answer)) {
            s = {Source::Text, -1, valueText(answer)};
        } else if (name == CompanyNameKey) {
            if (!companyRead)
                company = ReportCompanyName();
            companyRead = true;
            s = {Source::Text, -1, company};
        } else if (band == BandKind::Detail) {
            *error = QStringLiteral("%1的明细区域用到了字段“%2”，数据中没有这个字段")
                         .arg(which, name);
            return false;
        }
        d->names.insert(name, s);
    }
    return true;
}

double ReportRenderer::rowHeight(const ReportRow &row)
{
    const int b = int(std::distance(
        m_template.bands.cbegin(),
        std::find_if(m_template.bands.cbegin(), m_template.bands.cend(),
                     [](const ReportBand &x) { return x.kind == BandKind::Detail; })));
    const ReportBand &band = m_template.bands.at(b);
    double height = band.height;
    // Measured at 600 dots an inch: fine enough that the printer's and the preview's
    // text fit the same height.
    static QImage reference = [] {
        QImage image(1, 1, QImage::Format_Mono);
        image.setDotsPerMeterX(23622);
        image.setDotsPerMeterY(23622);
        return image;
    }();
    const double k = 600 / 25.4;
    for (int e = 0; e < band.elements.size(); ++e) {
        const ReportElement &el = band.elements.at(e);
        if (el.kind != ElementKind::Text || !el.wrap)
            continue;
        const QString text = textOf(b, e, &row, 0);
        const QFontMetricsF fm(d->texts[size_t(b)][size_t(e)].font, &reference);
        const double width = qMax(1.0, (el.rect.width() - 2 * TextPadding) * k);
        const QRectF box = fm.boundingRect(QRectF(0, 0, width, 1e7),
                                           Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                                           text);
        height = qMax(height, el.rect.y() + box.height() / k + 0.5);
    }
    return height;
}

bool ReportRenderer::paginate(QString *error)
{
    const auto heightOf = [this](BandKind kind) {
        const ReportBand *b = m_template.Band(kind);
        return b ? b->height : 0.0;
    };
    const double area = m_template.page.PrintableArea().height();
    const double title = heightOf(BandKind::ReportTitle);
    const double heads = heightOf(BandKind::PageHeader) + heightOf(BandKind::ColumnHeader);
    const double footer = heightOf(BandKind::PageFooter);
    const double summary = heightOf(BandKind::Summary);
    const ReportBand *detail = m_template.Band(BandKind::Detail);
    const double first = area - title - heads - footer;   // room for rows on page 1
    const double later = area - heads - footer;           // and on the others
    const qint64 count = m_rows->Count();
    constexpr double slack = 1e-6;
    const QString which = QStringLiteral("报表模板“%1”").arg(m_templateName);
    if (first < -slack || later <= slack) {
        *error = QStringLiteral("%1的各区域加起来比纸张的可打印高度还高").arg(which);
        return false;
    }
    bool wraps = false;
    if (detail)
        for (const ReportElement &e : detail->elements)
            wraps = wraps || (e.kind == ElementKind::Text && e.wrap);
    m_measured = detail && count > 0 && wraps;
    double used = 0;   // height of the last page's rows
    if (!detail || count == 0) {
        m_firstPageRows = detail ? 0 : count;
        m_pageRows = 1;
        m_pages = 1;
        used = 0;
    } else if (!m_measured) {
        if (detail->height <= slack || later < detail->height - slack) {
            *error = QStringLiteral("%1的明细区域高度不对，一页放不下一行").arg(which);
            return false;
        }
        m_firstPageRows = qint64(std::floor(first / detail->height + slack));
        m_pageRows = qint64(std::floor(later / detail->height + slack));
        if (count <= m_firstPageRows) {
            m_pages = 1;
            used = double(count) * detail->height;
        } else {
            const qint64 rest = count - m_firstPageRows;
            const qint64 more = (rest + m_pageRows - 1) / m_pageRows;
            if (more >= INT_MAX - 2) {
                *error = QStringLiteral("%1的页数太多").arg(which);
                return false;
            }
            m_pages = 1 + int(more);
            used = double(rest - (more - 1) * m_pageRows) * detail->height;
        }
    } else {
        // Rows of their own heights: every row is measured once, in chunks.
        m_pageStarts = {0};
        double room = first;
        used = 0;
        qint64 onPage = 0;
        std::vector<ReportRow> chunk;
        QString why;
        for (qint64 at = 0; at < count; at += 500) {
            if (!m_rows->Fetch(at, 500, &chunk, &why)) {
                *error = QStringLiteral("%1的数据无法读取：%2").arg(which, why);
                return false;
            }
            if (chunk.empty())
                break;
            for (size_t i = 0; i < chunk.size(); ++i) {
                const double h = rowHeight(chunk[i]);
                if (onPage > 0 && used + h > room + slack) {
                    m_pageStarts.push_back(at + qint64(i));
                    room = later;
                    used = 0;
                    onPage = 0;
                }
                used += h;
                ++onPage;
            }
        }
        m_pageStarts.push_back(count);
        m_pages = int(m_pageStarts.size()) - 1;
    }
    const double room = m_pages == 1 ? first : later;
    m_summaryAlone = summary > 0 && used + summary > room + slack;
    if (m_summaryAlone) {
        ++m_pages;
        if (m_measured)
            m_pageStarts.push_back(count);
    }
    const auto pages = d->names.find(QStringLiteral("pages"));
    if (pages != d->names.end())
        pages->text = QString::number(m_pages);
    return true;
}

qint64 ReportRenderer::firstRow(int page) const
{
    if (m_measured)
        return m_pageStarts[size_t(page)];
    if (page == 0)
        return 0;
    return qMin(m_rows->Count(), m_firstPageRows + qint64(page - 1) * m_pageRows);
}

qint64 ReportRenderer::rowsOn(int page) const
{
    if (m_summaryAlone && page == m_pages - 1)
        return 0;
    if (m_measured)
        return m_pageStarts[size_t(page) + 1] - m_pageStarts[size_t(page)];
    if (!m_template.Band(BandKind::Detail))
        return 0;
    const qint64 left = m_rows->Count() - firstRow(page);
    return qMax<qint64>(0, qMin(left, page == 0 ? m_firstPageRows : m_pageRows));
}

QSizeF ReportRenderer::PageSizeMm() const
{
    return QSizeF(m_template.page.PrintedWidth(), m_template.page.PrintedHeight());
}

QString ReportRenderer::textOf(int bandIndex, int element, const ReportRow *row, int page)
{
    const ReportElement &el = m_template.bands.at(bandIndex).elements.at(element);
    Private::Text &t = d->texts[size_t(bandIndex)][size_t(element)];
    switch (t.mode) {
    case Private::Text::Constant:
        return t.constant;
    case Private::Text::Single:
        return formatted(d->resolve(t.name, row, page), el.format);
    case Private::Text::Template: {
        ValueContext context([this, row, page](const std::string &name) {
            return d->resolve(QString::fromStdString(name), row, page);
        });
        return formatted(QString::fromStdString(t.tmpl->render(context)), el.format);
    }
    }
    return QString();
}

void ReportRenderer::drawBand(QPainter *painter, const ReportBand &band, int bandIndex,
                              double top, double height, const ReportRow *row, int page,
                              QList<PageText> *texts)
{
    // A row that grew for a wrapped text: what reached the band's bottom reaches the row's,
    // so the text has its room and the ruled cells stay closed.
    const double grown = height - band.height;
    const double left = m_template.page.marginLeft;
    double kx = 1, ky = 1;
    if (painter) {
        kx = painter->device()->logicalDpiX() / 25.4;
        ky = painter->device()->logicalDpiY() / 25.4;
    }
    const auto toDevice = [&](const QRectF &mm) {
        return QRectF((left + mm.x()) * kx, (top + mm.y()) * ky, mm.width() * kx,
                      mm.height() * ky);
    };
    for (int e = 0; e < band.elements.size(); ++e) {
        ReportElement el = band.elements.at(e);
        if (grown > 0 && el.rect.bottom() >= band.height - 0.01)
            el.rect.setHeight(el.rect.height() + grown);
        Private::Text &t = d->texts[size_t(bandIndex)][size_t(e)];
        if (el.kind == ElementKind::Text) {
            const QString text = textOf(bandIndex, e, row, page);
            if (texts && !text.isEmpty())
                texts->append({el.rect.translated(left, top), text});
            if (!painter)
                continue;
            const QRectF box = toDevice(el.rect);
            const QRectF inner = box.adjusted(TextPadding * kx, 0, -TextPadding * kx, 0);
            if (!text.isEmpty()) {
                int flags = el.align == HAlign::Center ? Qt::AlignHCenter
                    : el.align == HAlign::Right        ? Qt::AlignRight
                                                       : Qt::AlignLeft;
                flags |= el.valign == VAlign::Top      ? Qt::AlignTop
                    : el.valign == VAlign::Bottom      ? Qt::AlignBottom
                                                       : Qt::AlignVCenter;
                if (d->lastFont != &t) {
                    painter->setFont(t.font);
                    d->lastFont = &t;
                }
                if (el.wrap) {
                    painter->drawText(inner, flags | Qt::TextWordWrap, text);
                } else {
                    if (!t.metrics) {
                        t.metrics.emplace(t.font, painter->device());
                        t.advances.clear();
                    }
                    QString shown = text;
                    // A text that does not fit is cut, and says so with "…". Most texts
                    // fit with room to spare by the sum of their characters' widths, kept
                    // per character; only a close one is laid out to be measured.
                    if (!fitsEasily(t, text, inner.width())
                        && t.metrics->horizontalAdvance(text) > inner.width())
                        shown = t.metrics->elidedText(text, Qt::ElideRight, inner.width());
                    painter->drawText(inner, flags | Qt::TextSingleLine, shown);
                }
            }
        }
        if (!painter)
            continue;
        const QRectF box = toDevice(el.rect);
        const double penWidth = qMax(0.0, el.lineWidth) * kx;
        if (penWidth != d->lastPen) {
            painter->setPen(QPen(Qt::black, penWidth, Qt::SolidLine, Qt::FlatCap));
            d->lastPen = penWidth;
        }
        switch (el.kind) {
        case ElementKind::Line:
            painter->drawLine(box.topLeft(), box.bottomRight());
            break;
        case ElementKind::Rect:
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(box);
            break;
        case ElementKind::Picture: {
            const QImage &picture = d->pictures[size_t(t.picture)];
            if (!picture.isNull()) {
                QSizeF size = picture.size();
                size.scale(box.size(), Qt::KeepAspectRatio);
                const QRectF place(box.center() - QPointF(size.width() / 2, size.height() / 2),
                                   size);
                painter->drawImage(place, picture);
            }
            break;
        }
        case ElementKind::Text:
            break;
        }
        if (el.kind == ElementKind::Text || el.kind == ElementKind::Picture) {
            DrawFrameSides(painter, box, el.frame);
        }
    }
}

bool ReportRenderer::DrawPage(QPainter *painter, int page, QList<PageText> *texts)
{
    Q_ASSERT(m_prepared && page >= 0 && page < m_pages);
    for (auto &band : d->texts)
        for (auto &t : band)
            t.metrics.reset();
    d->lastFont = nullptr;
    d->lastPen = -1;
    const QRectF area = m_template.page.PrintableArea();
    double y = area.top();
    bool ok = true;
    const qint64 count = rowsOn(page);
    // The page last drawn keeps its rows: the preview draws it again at every zoom.
    if (d->cachedPage != page) {
        d->cachedPage = -1;
        d->cachedRows.clear();
        if (count > 0 && !m_rows->Fetch(firstRow(page), int(count), &d->cachedRows, &m_error)) {
            m_error = QStringLiteral("报表的数据无法读取：%1").arg(m_error);
            ok = false;
            d->cachedRows.clear();
        } else {
            d->cachedPage = page;
        }
    }
    const std::vector<ReportRow> &rows = d->cachedRows;
    if (painter) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
    }
    for (int b = 0; b < m_template.bands.size(); ++b) {
        const ReportBand &band = m_template.bands.at(b);
        switch (band.kind) {
        case BandKind::ReportTitle:
            if (page != 0)
                continue;
            break;
        case BandKind::PageHeader:
        case BandKind::ColumnHeader:
            break;
        case BandKind::Detail:
            for (const ReportRow &row : rows) {
                const double h = m_measured ? rowHeight(row) : band.height;
                drawBand(painter, band, b, y, h, &row, page, texts);
                y += h;
            }
            continue;
        case BandKind::Summary:
            if (page != m_pages - 1)
                continue;
            break;
        case BandKind::PageFooter:
            drawBand(painter, band, b, area.bottom() - band.height, band.height, nullptr, page,
                     texts);
            continue;
        }
        drawBand(painter, band, b, y, band.height, nullptr, page, texts);
        y += band.height;
    }
    if (painter)
        painter->restore();
    return ok;
}

bool ReportRenderer::ReadAhead()
{
    QString why;
    if (!m_rows || m_rows->ReadAhead(&why))
        return true;
    m_error = QStringLiteral("报表的数据无法读取：%1").arg(why);
    return false;
}

QList<ReportRenderer::PageText> ReportRenderer::PageTexts(int page)
{
    QList<PageText> texts;
    DrawPage(nullptr, page, &texts);
    return texts;
}

int ReportRenderer::Find(const QString &text, int from, const ReportProgress &progress)
{
    if (text.isEmpty() || m_pages == 0)
        return -1;
    from = qBound(0, from, m_pages - 1);
    for (int i = 0; i < m_pages; ++i) {
        const int page = (from + i) % m_pages;
        for (const PageText &t : PageTexts(page))
            if (t.text.contains(text, Qt::CaseInsensitive))
                return page;
        if (progress && !progress(i + 1, m_pages))
            return -1;
    }
    return -1;
}

void ReportRenderer::SetUpDevice(QPagedPaintDevice *device, const ReportPage &page)
{
    if (auto *printer = dynamic_cast<QPrinter *>(device))
        printer->setFullPage(true);
    device->setPageSize(QPageSize(QSizeF(page.width, page.height), QPageSize::Millimeter,
                                  QString(), QPageSize::FuzzyMatch));
    device->setPageOrientation(page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    device->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool ReportRenderer::Print(QPagedPaintDevice *device, int first, int last,
                           const ReportProgress &progress)
{
    Q_ASSERT(m_prepared);
    first = qBound(0, first, m_pages - 1);
    last = qBound(first, last, m_pages - 1);
    QPainter painter;
    if (!painter.begin(device)) {
        m_error = QStringLiteral("无法开始打印：打印机或文件不可用");
        return false;
    }
    const int total = last - first + 1;
    // The pages in order: their rows come from one statement.
    m_rows->Stream(firstRow(first));
    struct EndStream
    {
        ReportRows *rows;
        ~EndStream() { rows->EndStream(); }
    } endStream{m_rows};
    d->cachedPage = -1;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device->newPage()) {
            m_error = QStringLiteral("无法开始新的一页");
            painter.end();
            return false;
        }
        if (!DrawPage(&painter, page)) {
            painter.end();
            return false;
        }
        if (progress && !progress(page - first + 1, total)) {
            m_error = QStringLiteral("已取消");
            painter.end();
            return false;
        }
    }
    if (!painter.end()) {
        m_error = QStringLiteral("打印没有完成");
        return false;
    }
    return true;
}

bool ReportRenderer::ExportPdf(const QString &path, const ReportProgress &progress)
{
    Q_ASSERT(m_prepared);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("无法写入文件 %1：%2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    bool ok;
    {
        QPdfWriter writer(&file);
        writer.setTitle(m_template.name);
        writer.setCreator(QStringLiteral("澄衡客户管理软件"));
        writer.setResolution(600);
        SetUpDevice(&writer, m_template.page);
        ok = Print(&writer, 0, m_pages - 1, progress);
    }
    if (!ok) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_error = QStringLiteral("无法写入文件 %1：%2")
                      .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

void DrawFrameSides(QPainter *painter, const QRectF &box, int frame)
{
    if (frame & FrameLeft)
        painter->drawLine(box.topLeft(), box.bottomLeft());
    if (frame & FrameTop)
        painter->drawLine(box.topLeft(), box.topRight());
    if (frame & FrameRight)
        painter->drawLine(box.topRight(), box.bottomRight());
    if (frame & FrameBottom)
        painter->drawLine(box.bottomLeft(), box.bottomRight());
}
