// The `.frf` file: a template as XML. Sizes are written in millimetres to 0.01 mm, so a
// template loaded and saved again comes back the same.
#include "ReportFormat.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

const char *const RootName = "report";

struct BandName { BandKind kind; const char *name; };
const BandName BandNames[] = {
    {BandKind::ReportTitle, "title"},         {BandKind::PageHeader, "page-header"},
    {BandKind::ColumnHeader, "column-header"}, {BandKind::Detail, "detail"},
    {BandKind::Summary, "summary"},           {BandKind::PageFooter, "page-footer"},
};

struct ElementName { ElementKind kind; const char *name; };
const ElementName ElementNames[] = {
    {ElementKind::Text, "text"}, {ElementKind::Line, "line"},
    {ElementKind::Rect, "rect"}, {ElementKind::Picture, "picture"},
};

struct SideName { int bit; const char *name; };
const SideName SideNames[] = {
    {FrameLeft, "left"}, {FrameTop, "top"}, {FrameRight, "right"}, {FrameBottom, "bottom"},
};

QString mm(double v)
{
    return QString::number(std::round(v * 100) / 100, 'g', 10);
}

const char *halignName(HAlign a)
{
    return a == HAlign::Center ? "center" : a == HAlign::Right ? "right" : "left";
}

const char *valignName(VAlign a)
{
    return a == VAlign::Top ? "top" : a == VAlign::Bottom ? "bottom" : "middle";
}

QString frameText(int frame)
{
    if ((frame & FrameAll) == FrameAll)
        return QStringLiteral("all");
    QStringList sides;
    for (const SideName &s : SideNames)
        if (frame & s.bit)
            sides << QLatin1String(s.name);
    return sides.join(QLatin1Char(' '));
}

// Reads one template; every fault goes through fail() with the reader's position.
class Reader
{
public:
    explicit Reader(const QByteArray &xml) : m_xml(xml), m_empty(xml.trimmed().isEmpty()) {}

    bool Read(ReportTemplate *out, QString *error)
    {
        ReportTemplate t;
        if (m_empty) {
            if (error)
                *error = QStringLiteral("文件中没有报表模板");
            return false;
        }
        if (!m_xml.readNextStartElement()) {
            if (!m_xml.hasError())
                fail(QStringLiteral("文件中没有报表模板"));
        } else if (m_xml.name() != QLatin1String(RootName)) {
            fail(QStringLiteral("根元素应为 <report>，而不是 <%1>").arg(m_xml.name()));
        } else {
            readReport(&t);
        }
        if (m_xml.hasError() || !m_fault.isEmpty()) {
            if (error) {
                const QString why = m_fault.isEmpty()
                    ? QStringLiteral("XML 语法错误（%1）").arg(m_xml.errorString()) : m_fault;
                *error = QStringLiteral("第 %1 行第 %2 列：%3")
                             .arg(m_line ? m_line : m_xml.lineNumber())
                             .arg(m_line ? m_column : m_xml.columnNumber())
                             .arg(why);
            }
            return false;
        }
        *out = t;
        return true;
    }

private:
    void fail(const QString &why)
    {
        if (!m_fault.isEmpty())
            return;
        m_fault = why;
        m_line = m_xml.lineNumber();
        m_column = m_xml.columnNumber();
        m_xml.raiseError(why);
    }

    bool ok() const { return m_fault.isEmpty() && !m_xml.hasError(); }

    double number(const char *name, double fallback, double min = -1e6, double max = 1e6)
    {
        const QStringView v = m_xml.attributes().value(QLatin1String(name));
        if (v.isNull())
            return fallback;
        bool good = false;
        const double d = v.toDouble(&good);
        if (!good || !std::isfinite(d) || d < min || d > max) {
            fail(QStringLiteral("属性 %1 的值“%2”不是有效的数").arg(QLatin1String(name))
                     .arg(v));
            return fallback;
        }
        return d;
    }

    bool flag(const char *name)
    {
        const QStringView v = m_xml.attributes().value(QLatin1String(name));
        if (v.isNull() || v == QLatin1String("false") || v == QLatin1String("0"))
            return false;
        if (v == QLatin1String("true") || v == QLatin1String("1"))
            return true;
        fail(QStringLiteral("属性 %1 的值“%2”应为 true 或 false").arg(QLatin1String(name)).arg(v));
        return false;
    }

    QString text(const char *name) { return m_xml.attributes().value(QLatin1String(name)).toString(); }

    void readReport(ReportTemplate *t)
    {
        const double version = number("version", -1, 0, 1e6);
        if (!ok())
            return;
        if (version < 1 || version != std::floor(version)) {
            fail(QStringLiteral("缺少有效的版本号（version）"));
            return;
        }
        if (version > ReportFormat::Version) {
            fail(QStringLiteral("模板的版本（%1）比本程序认得的（%2）新，请升级程序")
                     .arg(version).arg(ReportFormat::Version));
            return;
        }
        t->name = text("name");
        bool hadPage = false;
        while (ok() && m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("page")) {
                if (hadPage) {
                    fail(QStringLiteral("<page> 只能有一个"));
                    return;
                }
                hadPage = true;
                readPage(&t->page);
            } else if (m_xml.name() == QLatin1String("band")) {
                readBand(t);
            } else {
                fail(QStringLiteral("不认识的元素 <%1>").arg(m_xml.name()));
            }
        }
    }

    void readPage(ReportPage *p)
    {
        p->width = number("width", p->width, 10, 5000);
        p->height = number("height", p->height, 10, 5000);
        const QString o = text("orientation");
        if (o.isEmpty() || o == QLatin1String("portrait"))
            p->landscape = false;
        else if (o == QLatin1String("landscape"))
            p->landscape = true;
        else
            fail(QStringLiteral("页面方向“%1”应为 portrait 或 landscape").arg(o));
        p->marginLeft = number("left", p->marginLeft, 0, 1000);
        p->marginTop = number("top", p->marginTop, 0, 1000);
        p->marginRight = number("right", p->marginRight, 0, 1000);
        p->marginBottom = number("bottom", p->marginBottom, 0, 1000);
        if (ok() && (p->PrintableArea().width() <= 0 || p->PrintableArea().height() <= 0))
            fail(QStringLiteral("页边距超出了纸张"));
        if (ok())
            m_xml.skipCurrentElement();
    }

    void readBand(ReportTemplate *t)
    {
        const QString type = text("type");
        const BandName *found = nullptr;
        for (const BandName &b : BandNames)
            if (type == QLatin1String(b.name))
                found = &b;
        if (!found) {
            fail(QStringLiteral("不认识的区域类型“%1”").arg(type));
            return;
        }
        if (t->Band(found->kind)) {
            fail(QStringLiteral("区域“%1”出现了两次").arg(type));
            return;
        }
        ReportBand &band = t->EnsureBand(found->kind);
        band.height = number("height", 10, 0, 5000);
        while (ok() && m_xml.readNextStartElement()) {
            const ElementName *kind = nullptr;
            for (const ElementName &e : ElementNames)
                if (m_xml.name() == QLatin1String(e.name))
                    kind = &e;
            if (!kind) {
                fail(QStringLiteral("不认识的元素 <%1>").arg(m_xml.name()));
                return;
            }
            readElement(kind->kind, &band);
        }
    }

    void readElement(ElementKind kind, ReportBand *band)
    {
        ReportElement e;
        e.kind = kind;
        e.rect = QRectF(number("x", 0), number("y", 0), number("width", 0, 0, 1e5),
                        number("height", 0, 0, 1e5));
        e.lineWidth = number("line-width", e.lineWidth, 0, 50);
        if (kind == ElementKind::Text || kind == ElementKind::Picture) {
            const QString frame = text("frame");
            if (frame == QLatin1String("all")) {
                e.frame = FrameAll;
            } else {
                for (const QString &side : frame.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
                    int bit = 0;
                    for (const SideName &s : SideNames)
                        if (side == QLatin1String(s.name))
                            bit = s.bit;
                    if (!bit)
                        fail(QStringLiteral("不认识的框线“%1”").arg(side));
                    e.frame |= bit;
                }
            }
        }
        if (kind == ElementKind::Picture)
            e.text = text("file");
        if (kind == ElementKind::Text) {
            e.fontFamily = text("font");
            e.fontSize = number("size", e.fontSize, 1, 500);
            e.bold = flag("bold");
            e.wrap = flag("wrap");
            e.format = text("format");
            const QString a = text("align");
            if (a == QLatin1String("center"))
                e.align = HAlign::Center;
            else if (a == QLatin1String("right"))
                e.align = HAlign::Right;
            else if (!a.isEmpty() && a != QLatin1String("left"))
                fail(QStringLiteral("对齐方式“%1”应为 left、center 或 right").arg(a));
            const QString v = text("valign");
            if (v == QLatin1String("top"))
                e.valign = VAlign::Top;
            else if (v == QLatin1String("bottom"))
                e.valign = VAlign::Bottom;
            else if (!v.isEmpty() && v != QLatin1String("middle"))
                fail(QStringLiteral("垂直对齐“%1”应为 top、middle 或 bottom").arg(v));
            if (!ok())
                return;
            e.text = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        } else if (ok()) {
            m_xml.skipCurrentElement();
        }
        if (ok())
            band->elements << e;
    }

    QXmlStreamReader m_xml;
    bool m_empty;
    QString m_fault;
    qint64 m_line = 0, m_column = 0;
};

}  // namespace

namespace ReportFormat {

bool Read(const QByteArray &xml, ReportTemplate *out, QString *error)
{
    return Reader(xml).Read(out, error);
}

QByteArray Write(const ReportTemplate &report)
{
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartDocument();
    w.writeStartElement(QLatin1String(RootName));
    w.writeAttribute(QStringLiteral("version"), QString::number(Version));
    w.writeAttribute(QStringLiteral("name"), report.name);
    const ReportPage &p = report.page;
    w.writeEmptyElement(QStringLiteral("page"));
    w.writeAttribute(QStringLiteral("width"), mm(p.width));
    w.writeAttribute(QStringLiteral("height"), mm(p.height));
    w.writeAttribute(QStringLiteral("orientation"),
                     p.landscape ? QStringLiteral("landscape") : QStringLiteral("portrait"));
    w.writeAttribute(QStringLiteral("left"), mm(p.marginLeft));
    w.writeAttribute(QStringLiteral("top"), mm(p.marginTop));
    w.writeAttribute(QStringLiteral("right"), mm(p.marginRight));
    w.writeAttribute(QStringLiteral("bottom"), mm(p.marginBottom));
    for (const ReportBand &b : report.bands) {
        w.writeStartElement(QStringLiteral("band"));
        for (const BandName &n : BandNames)
            if (n.kind == b.kind)
                w.writeAttribute(QStringLiteral("type"), QLatin1String(n.name));
        w.writeAttribute(QStringLiteral("height"), mm(b.height));
        for (const ReportElement &e : b.elements) {
            const char *name = "text";
            for (const ElementName &n : ElementNames)
                if (n.kind == e.kind)
                    name = n.name;
            w.writeStartElement(QLatin1String(name));
            w.writeAttribute(QStringLiteral("x"), mm(e.rect.x()));
            w.writeAttribute(QStringLiteral("y"), mm(e.rect.y()));
            w.writeAttribute(QStringLiteral("width"), mm(e.rect.width()));
            w.writeAttribute(QStringLiteral("height"), mm(e.rect.height()));
            if (e.kind == ElementKind::Text) {
                if (!e.fontFamily.isEmpty())
                    w.writeAttribute(QStringLiteral("font"), e.fontFamily);
                w.writeAttribute(QStringLiteral("size"), mm(e.fontSize));
                if (e.bold)
                    w.writeAttribute(QStringLiteral("bold"), QStringLiteral("true"));
                w.writeAttribute(QStringLiteral("align"), QLatin1String(halignName(e.align)));
                if (e.valign != VAlign::Middle)
                    w.writeAttribute(QStringLiteral("valign"),
                                     QLatin1String(valignName(e.valign)));
                if (e.wrap)
                    w.writeAttribute(QStringLiteral("wrap"), QStringLiteral("true"));
                if (!e.format.isEmpty())
                    w.writeAttribute(QStringLiteral("format"), e.format);
            }
            if (e.kind == ElementKind::Picture)
                w.writeAttribute(QStringLiteral("file"), e.text);
            if ((e.kind == ElementKind::Text || e.kind == ElementKind::Picture) && e.frame)
                w.writeAttribute(QStringLiteral("frame"), frameText(e.frame));
            if (e.kind != ElementKind::Text || e.frame)
                w.writeAttribute(QStringLiteral("line-width"), mm(e.lineWidth));
            if (e.kind == ElementKind::Text)
                w.writeCharacters(e.text);
            w.writeEndElement();
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndDocument();
    return bytes;
}

bool Load(const QString &path, ReportTemplate *out, QString *error)
{
    QFile file(path);
    if (!file.exists()) {
        if (error)
            *error = QStringLiteral("找不到报表模板文件：%1").arg(QDir::toNativeSeparators(path));
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取报表模板文件 %1：%2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    QString why;
    if (!Read(file.readAll(), out, &why)) {
        if (error)
            *error = QStringLiteral("报表模板文件 %1 格式有误，%2")
                         .arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    return true;
}

bool Save(const ReportTemplate &report, const QString &path, QString *error)
{
    QSaveFile file(path);
    const QByteArray bytes = Write(report);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
        || !file.commit()) {
        if (error)
            *error = QStringLiteral("无法保存报表模板文件 %1：%2")
                         .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    return true;
}

}  // namespace ReportFormat
