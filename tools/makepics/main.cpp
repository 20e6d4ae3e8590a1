// makepics - draws every picture the program uses and writes them into the
// folder given on the command line.
//
// All pictures are painted with QPainter so that the build needs no binary
// artwork.  Icons are designed on a 32x32 grid; .ico files keep real alpha,
// .bmp files are written as 24-bit pictures on a solid background.  Where a
// picture is shown "transparent" (the two hint bubbles) the background is
// pure magenta, which the program masks out when it loads the file.
//
// Usage: makepics <output folder>    (run with QT_QPA_PLATFORM=offscreen)

#include "BookKind.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QtEndian>
#include <QtMath>

#include <cstdio>
#include <functional>

namespace {

// ---------------------------------------------------------------------------
// Palette
// ---------------------------------------------------------------------------

struct Tone
{
    QColor light;
    QColor base;
    QColor dark;
};

const Tone kGold   {QColor(0xFF, 0xE4, 0x8F), QColor(0xF2, 0xB4, 0x2C), QColor(0xA8, 0x72, 0x08)};
const Tone kBlue   {QColor(0xA9, 0xD2, 0xF7), QColor(0x3C, 0x8D, 0xDE), QColor(0x1B, 0x5A, 0x9E)};
const Tone kPurple {QColor(0xD9, 0xC4, 0xF2), QColor(0x8E, 0x5C, 0xC8), QColor(0x55, 0x2E, 0x8A)};
const Tone kSilver {QColor(0xF4, 0xF6, 0xF8), QColor(0xBC, 0xC4, 0xCC), QColor(0x72, 0x7C, 0x87)};
const Tone kGreen  {QColor(0x9B, 0xDE, 0xAE), QColor(0x2F, 0xA8, 0x52), QColor(0x1A, 0x6E, 0x35)};
const Tone kRed    {QColor(0xF7, 0xA8, 0xA8), QColor(0xDB, 0x3B, 0x3B), QColor(0x98, 0x1E, 0x1E)};
const Tone kOrange {QColor(0xFF, 0xCF, 0x99), QColor(0xEE, 0x86, 0x25), QColor(0xA8, 0x55, 0x0C)};
const Tone kTeal   {QColor(0x9A, 0xDB, 0xE3), QColor(0x23, 0x95, 0xAA), QColor(0x13, 0x5E, 0x72)};
const Tone kSlate  {QColor(0xC9, 0xD2, 0xDD), QColor(0x7C, 0x8C, 0xA0), QColor(0x42, 0x50, 0x61)};
const Tone kBrown  {QColor(0xDC, 0xA5, 0x76), QColor(0xA9, 0x6A, 0x3D), QColor(0x68, 0x3D, 0x1E)};

const QColor kInk       (0x2C, 0x38, 0x47);
const QColor kPaper     (0xFF, 0xFD, 0xF6);
const QColor kCream     (0xFB, 0xF4, 0xDF);
const QColor kPanel     (0xE6, 0xED, 0xF5);   // left bar background
const QColor kPanelLine (0xC3, 0xCF, 0xDD);
const QColor kButtonFace(240, 240, 240);
const QColor kMagenta   (255, 0, 255);
const QColor kSkin      (0xF7, 0xCF, 0xA8);
const QColor kSkinLine  (0xB7, 0x82, 0x58);
const QColor kHair      (0x4A, 0x37, 0x2B);

// ---------------------------------------------------------------------------
// Output
// ---------------------------------------------------------------------------

QString g_outDir;
QString g_iconDir; // the menu icons in the icon theme's layout (NNxNN/apps/quillmark.png)
int g_failures = 0;

void report(const QString &message)
{
    std::fprintf(stderr, "makepics: %s\n", qPrintable(message));
}

// The icon writer leaves the padding at the end of each row of the 1-bit
// mask uninitialised (rows are padded to 4 bytes, which matters for 16 and
// 48 pixel wide pictures).  Clear it so that every build writes the same bytes.
void clearMaskPadding(QByteArray &ico)
{
    if (ico.size() < 6)
        return;
    auto *raw = reinterpret_cast<uchar *>(ico.data());
    const int count = qFromLittleEndian<quint16>(raw + 4);
    for (int i = 0; i < count; ++i) {
        const int at = 6 + i * 16;
        if (at + 16 > ico.size())
            return;
        const qint64 offset = qFromLittleEndian<quint32>(raw + at + 12);
        if (offset + 40 > ico.size())
            return;
        const uchar *info = raw + offset;
        const qint64 width = qFromLittleEndian<qint32>(info + 4);
        const qint64 height = qFromLittleEndian<qint32>(info + 8) / 2;
        const int bpp = qFromLittleEndian<quint16>(info + 14);
        if (bpp != 32 || width <= 0 || height <= 0)
            continue;
        const qint64 headerSize = qFromLittleEndian<quint32>(info);
        const qint64 maskStart = offset + headerSize + width * height * 4;
        const qint64 stride = ((width + 31) / 32) * 4;
        const qint64 used = (width + 7) / 8;
        if (maskStart + stride * height > ico.size())
            continue;
        for (qint64 row = 0; row < height; ++row) {
            uchar *line = raw + maskStart + row * stride;
            if (width % 8)
                line[used - 1] &= uchar(0xFF << (8 - width % 8));
            for (qint64 b = used; b < stride; ++b)
                line[b] = 0;
        }
    }
}

QByteArray encodeIco(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image)) {
        report(QStringLiteral("cannot encode icon: %1").arg(writer.errorString()));
        return {};
    }
    buffer.close();
    clearMaskPadding(bytes);
    return bytes;
}

// Qt's icon writer stores one picture per file; several sizes are joined
// here into a single icon directory.
QByteArray joinIcoImages(const QList<QByteArray> &parts)
{
    struct Entry { QByteArray dir; QByteArray data; };
    QList<Entry> entries;
    for (const QByteArray &part : parts) {
        if (part.size() < 6)
            return {};
        const auto *raw = reinterpret_cast<const uchar *>(part.constData());
        const int count = qFromLittleEndian<quint16>(raw + 4);
        for (int i = 0; i < count; ++i) {
            const int at = 6 + i * 16;
            if (at + 16 > part.size())
                return {};
            const quint32 size = qFromLittleEndian<quint32>(raw + at + 8);
            const quint32 offset = qFromLittleEndian<quint32>(raw + at + 12);
            if (qint64(offset) + qint64(size) > part.size())
                return {};
            entries.append({part.mid(at, 16), part.mid(int(offset), int(size))});
        }
    }

    QByteArray out(6, '\0');
    auto *head = reinterpret_cast<uchar *>(out.data());
    qToLittleEndian<quint16>(0, head);
    qToLittleEndian<quint16>(1, head + 2);
    qToLittleEndian<quint16>(quint16(entries.size()), head + 4);

    quint32 offset = quint32(6 + 16 * entries.size());
    for (Entry &e : entries) {
        auto *dir = reinterpret_cast<uchar *>(e.dir.data());
        qToLittleEndian<quint32>(quint32(e.data.size()), dir + 8);
        qToLittleEndian<quint32>(offset, dir + 12);
        out.append(e.dir);
        offset += quint32(e.data.size());
    }
    for (const Entry &e : entries)
        out.append(e.data);
    return out;
}

bool writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(QDir(g_outDir).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(bytes) != bytes.size()) {
        report(QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString()));
        ++g_failures;
        return false;
    }
    return true;
}

using Painting = std::function<void(QPainter &)>;

// Renders a drawing designed on the 32x32 grid at the given pixel size.
QImage renderIcon(int size, const Painting &paint)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(size / 32.0, size / 32.0);
    paint(p);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

void writeIcon(const QString &name, const Painting &paint, const QList<int> &sizes = {32})
{
    QList<QByteArray> parts;
    for (int size : sizes) {
        const QByteArray part = encodeIco(renderIcon(size, paint));
        if (part.isEmpty()) {
            ++g_failures;
            return;
        }
        parts.append(part);
    }
    const QByteArray bytes = parts.size() == 1 ? parts.first() : joinIcoImages(parts);
    if (bytes.isEmpty()) {
        report(QStringLiteral("cannot assemble %1").arg(name));
        ++g_failures;
        return;
    }
    writeFile(name, bytes);
}

void writeBitmap(const QString &name, const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    QImageWriter writer(QDir(g_outDir).filePath(name), "bmp");
    if (!writer.write(rgb)) {
        report(QStringLiteral("cannot write %1: %2").arg(name, writer.errorString()));
        ++g_failures;
    }
}

QImage canvas(int w, int h, const QColor &background)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

void beginPainting(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont chineseFont(int pixelSize, bool bold, bool serif = false)
{
    QFont font;
    if (serif)
        font.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    else
        font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

// ---------------------------------------------------------------------------
// Drawing helpers (coordinates on the 32x32 grid unless noted)
// ---------------------------------------------------------------------------

QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

QPen roundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void fillPath(QPainter &p, const QPainterPath &path, const QBrush &fill,
              const QColor &line = QColor(), qreal width = 1.0)
{
    p.setPen(line.isValid() ? roundPen(line, width) : QPen(Qt::NoPen));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath circle(const QPointF &c, qreal r)
{
    QPainterPath path;
    path.addEllipse(c, r, r);
    return path;
}

QPainterPath polygonPath(const QPolygonF &poly)
{
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

// The yen sign, drawn with strokes; s is half the height of the glyph.
void drawYen(QPainter &p, const QPointF &c, qreal s, const QColor &color, bool twoBars)
{
    const qreal x = c.x();
    const qreal y = c.y();
    QPainterPath path;
    path.moveTo(x - s * 0.62, y - s * 0.9);
    path.lineTo(x, y - s * 0.05);
    path.lineTo(x + s * 0.62, y - s * 0.9);
    path.moveTo(x, y - s * 0.05);
    path.lineTo(x, y + s * 0.95);
    if (twoBars) {
        path.moveTo(x - s * 0.5, y + s * 0.12);
        path.lineTo(x + s * 0.5, y + s * 0.12);
        path.moveTo(x - s * 0.5, y + s * 0.5);
        path.lineTo(x + s * 0.5, y + s * 0.5);
    } else {
        path.moveTo(x - s * 0.52, y + s * 0.3);
        path.lineTo(x + s * 0.52, y + s * 0.3);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, qMax<qreal>(1.5, s * 0.24), Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(path);
}

// A coin seen from the front, with a little edge showing below.
void drawCoin(QPainter &p, const QPointF &c, qreal r, const Tone &t, bool mark = true)
{
    p.save();
    const qreal edge = qMax<qreal>(1.2, r * 0.13);
    p.setPen(Qt::NoPen);
    p.setBrush(t.dark);
    p.drawEllipse(QPointF(c.x(), c.y() + edge), r, r);

    QRadialGradient face(c.x() - r * 0.4, c.y() - r * 0.45, r * 1.7);
    face.setColorAt(0.0, t.light);
    face.setColorAt(0.45, t.base);
    face.setColorAt(1.0, t.base.darker(112));
    const qreal rim = qMax<qreal>(1.0, r * 0.08);
    p.setBrush(face);
    p.setPen(QPen(t.dark, rim));
    p.drawEllipse(c, r - rim / 2, r - rim / 2);

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(t.dark, 140), qMax<qreal>(0.9, r * 0.06)));
    p.drawEllipse(c, r * 0.74, r * 0.74);

    if (mark)
        drawYen(p, QPointF(c.x(), c.y() + r * 0.02), r * 0.5, t.dark.darker(115), r >= 14);
    p.restore();
}

// A coin lying flat (used for stacks).
void drawFlatCoin(QPainter &p, const QPointF &topCentre, qreal w, qreal h, qreal thick, const Tone &t)
{
    const QRectF top(topCentre.x() - w / 2, topCentre.y() - h / 2, w, h);
    QPainterPath side;
    side.moveTo(top.left(), topCentre.y());
    side.lineTo(top.left(), topCentre.y() + thick);
    side.arcTo(top.translated(0, thick), 180, 180);
    side.lineTo(top.right(), topCentre.y());
    side.closeSubpath();
    const qreal line = qMax<qreal>(0.8, h * 0.12);
    fillPath(p, side, t.dark.lighter(115), t.dark, line);
    QLinearGradient g(top.topLeft(), top.bottomRight());
    g.setColorAt(0, t.light);
    g.setColorAt(1, t.base);
    p.setBrush(g);
    p.setPen(QPen(t.dark, line));
    p.drawEllipse(top);
}

// A round badge carrying a white plus or minus sign.  The centre and radius
// should be whole numbers so that the sign lands exactly on pixels at 32x32.
void drawSignBadge(QPainter &p, const QPointF &c, qreal r, const QColor &fill, bool plus)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(c, r + 1, r + 1);
    p.setBrush(fill);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::white);
    const qreal len = 2 * qFloor(r * 0.65);
    const qreal bar = 2;
    p.drawRect(QRectF(c.x() - len / 2, c.y() - bar / 2, len, bar));
    if (plus)
        p.drawRect(QRectF(c.x() - bar / 2, c.y() - len / 2, bar, len));
    p.restore();
}

// A thick arrow from one point to another; the tip ends exactly at `to`.
void drawArrow(QPainter &p, const QPointF &from, const QPointF &to, qreal width,
               const Tone &t, bool whiteEdge = true)
{
    const QLineF line(from, to);
    const qreal len = line.length();
    const qreal head = qMin(len * 0.55, width * 1.7);
    const qreal half = width / 2;
    const qreal wing = width * 1.25;
    QPolygonF poly;
    poly << QPointF(0, -half) << QPointF(len - head, -half) << QPointF(len - head, -wing)
         << QPointF(len, 0) << QPointF(len - head, wing) << QPointF(len - head, half)
         << QPointF(0, half);
    QTransform tr;
    tr.translate(from.x(), from.y());
    tr.rotate(qRadiansToDegrees(qAtan2(to.y() - from.y(), to.x() - from.x())));
    const QPainterPath path = polygonPath(tr.map(poly));
    if (whiteEdge) {
        p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::white);
        p.drawPath(path);
    }
    fillPath(p, path, t.base, t.dark, 0.9);
}

// A person (head and shoulders) drawn in a 32x32 box at `origin`, scaled.
void drawPerson(QPainter &p, const QPointF &origin, qreal scale, const Tone &shirt)
{
    p.save();
    p.translate(origin);
    p.scale(scale, scale);

    QPainterPath body;
    body.moveTo(4.5, 31);
    body.lineTo(4.5, 26.5);
    body.cubicTo(4.5, 21, 9, 18, 16, 18);
    body.cubicTo(23, 18, 27.5, 21, 27.5, 26.5);
    body.lineTo(27.5, 31);
    body.closeSubpath();
    QLinearGradient g(0, 18, 0, 31);
    g.setColorAt(0, shirt.base.lighter(112));
    g.setColorAt(1, shirt.base);
    fillPath(p, body, g, shirt.dark, 1.0);

    QPainterPath collar;
    collar.moveTo(12.6, 18.6);
    collar.lineTo(16, 23);
    collar.lineTo(19.4, 18.6);
    collar.closeSubpath();
    fillPath(p, collar, Qt::white);

    const QPointF headCentre(16, 10.5);
    fillPath(p, circle(headCentre, 6.4), kSkin, kSkinLine, 1.0);
    QPainterPath hair = circle(headCentre, 6.4);
    QPainterPath cap;
    cap.moveTo(8, 3);
    cap.lineTo(24, 3);
    cap.lineTo(24, 9.2);
    cap.cubicTo(20, 8.6, 17, 7.2, 15.5, 5.8);
    cap.cubicTo(13.5, 7.6, 11, 8.8, 8, 9.2);
    cap.closeSubpath();
    hair = hair.intersected(cap);
    fillPath(p, hair, kHair);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kSkinLine, 1.0));
    p.drawEllipse(headCentre, 6.4, 6.4);
    p.restore();
}

void drawMagnifier(QPainter &p, const QPointF &c, qreal r)
{
    p.save();
    const QPointF dir(M_SQRT1_2, M_SQRT1_2);
    const QPointF a = c + dir * (r + 0.6);
    const QPointF b = c + dir * (r + 7.2);
    p.setPen(roundPen(Qt::white, 6.0));
    p.drawLine(a, b);
    p.setPen(roundPen(kBrown.dark, 4.2));
    p.drawLine(a, b);
    p.setPen(roundPen(kBrown.base, 2.0));
    p.drawLine(a + dir * 1.2, b - dir * 0.6);

    p.setPen(QPen(Qt::white, 4.4));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(225, 241, 255, 190));
    p.setPen(QPen(kInk, 2.2));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(QColor(255, 255, 255, 230), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r * 0.58, c.y() - r * 0.58, r * 1.16, r * 1.16), 100 * 16, 70 * 16);
    p.restore();
}

// A floppy disk filling rectangle r.
void drawDisk(QPainter &p, const QRectF &r, const Tone &t)
{
    const qreal cut = r.width() * 0.16;
    QPainterPath body;
    body.moveTo(r.left() + 2, r.top());
    body.lineTo(r.right() - cut, r.top());
    body.lineTo(r.right(), r.top() + cut);
    body.lineTo(r.right(), r.bottom() - 2);
    body.quadTo(r.right(), r.bottom(), r.right() - 2, r.bottom());
    body.lineTo(r.left() + 2, r.bottom());
    body.quadTo(r.left(), r.bottom(), r.left(), r.bottom() - 2);
    body.lineTo(r.left(), r.top() + 2);
    body.quadTo(r.left(), r.top(), r.left() + 2, r.top());
    body.closeSubpath();
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, t.base.lighter(110));
    g.setColorAt(1, t.base.darker(108));
    fillPath(p, body, g, t.dark, 1.0);

    // metal shutter
    const QRectF shutter(r.left() + r.width() * 0.24, r.top() + 0.5, r.width() * 0.5, r.height() * 0.34);
    fillPath(p, roundedRect(shutter, 1), kSilver.light, kSilver.dark, 0.8);
    const QRectF slot(shutter.right() - shutter.width() * 0.36, shutter.top() + shutter.height() * 0.18,
                      shutter.width() * 0.2, shutter.height() * 0.62);
    fillPath(p, QPainterPath([&] { QPainterPath s; s.addRect(slot); return s; }()), t.dark);

    // label
    const QRectF label(r.left() + r.width() * 0.14, r.top() + r.height() * 0.52,
                       r.width() * 0.72, r.height() * 0.42);
    fillPath(p, roundedRect(label, 1.2), kPaper, t.dark, 0.7);
    p.setPen(QPen(withAlpha(t.base, 170), 1.0));
    const qreal step = label.height() / 3;
    for (int i = 1; i < 3; ++i) {
        const qreal y = label.top() + step * i;
        p.drawLine(QPointF(label.left() + 2, y), QPointF(label.right() - 2, y));
    }
}

// A wall calendar page filling rectangle r.
void drawCalendar(QPainter &p, const QRectF &r, const Tone &header)
{
    fillPath(p, roundedRect(r, 2), kPaper, kSlate.dark, 1.0);
    QPainterPath head;
    head.addRoundedRect(QRectF(r.left(), r.top(), r.width(), r.height() * 0.3), 2, 2);
    head.addRect(QRectF(r.left(), r.top() + 2, r.width(), r.height() * 0.3 - 2));
    head = head.simplified();
    fillPath(p, head, header.base, header.dark, 1.0);
    // binding rings
    p.setPen(Qt::NoPen);
    for (qreal x : {r.left() + r.width() * 0.28, r.left() + r.width() * 0.72}) {
        p.setBrush(kSlate.dark);
        p.drawRoundedRect(QRectF(x - 1.5, r.top() - 3, 3, 6), 1.3, 1.3);
        p.setBrush(kSlate.light);
        p.drawRect(QRectF(x - 0.5, r.top() - 2, 1, 3));
    }
    // day grid
    p.setBrush(kSlate.light);
    const qreal gx = r.left() + r.width() * 0.14;
    const qreal gy = r.top() + r.height() * 0.42;
    const qreal cw = r.width() * 0.72 / 4;
    const qreal ch = r.height() * 0.5 / 3;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col)
            p.drawRect(QRectF(gx + col * cw + 0.4, gy + row * ch + 0.4, cw - 1.6, ch - 1.6));
}

void drawCheck(QPainter &p, const QPolygonF &points, qreal width, const Tone &t, bool whiteEdge)
{
    QPainterPath path;
    path.addPolygon(points);
    p.setBrush(Qt::NoBrush);
    if (whiteEdge) {
        p.setPen(roundPen(Qt::white, width + 2.4));
        p.drawPath(path);
    }
    p.setPen(roundPen(t.dark, width));
    p.drawPath(path);
    p.setPen(roundPen(t.base, width - 1.8));
    p.drawPath(path);
}

void drawPencil(QPainter &p, const QPointF &tip, qreal angleDeg, qreal length)
{
    p.save();
    p.translate(tip);
    p.rotate(angleDeg);
    // drawn pointing to the left from the tip at the origin
    const qreal w = 2.2;
    const qreal cone = 3.6;
    QPainterPath wood;
    wood.moveTo(0, 0);
    wood.lineTo(cone, -w);
    wood.lineTo(cone, w);
    wood.closeSubpath();
    fillPath(p, wood, QColor(0xF3, 0xD6, 0xA6), kBrown.dark, 0.6);
    QPainterPath lead;
    lead.moveTo(0, 0);
    lead.lineTo(1.3, -0.8);
    lead.lineTo(1.3, 0.8);
    lead.closeSubpath();
    fillPath(p, lead, kInk);
    fillPath(p, [&] { QPainterPath s; s.addRect(QRectF(cone, -w, length - cone - 2.6, 2 * w)); return s; }(),
             kOrange.base, kOrange.dark, 0.6);
    fillPath(p, [&] { QPainterPath s; s.addRect(QRectF(length - 2.6, -w, 2.6, 2 * w)); return s; }(),
             QColor(0xF0, 0x9A, 0xA6), kRed.dark, 0.6);
    p.restore();
}

// A sheet of paper with a folded corner.
QPainterPath sheetPath(const QRectF &r, qreal fold)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    return path;
}

void drawSheet(QPainter &p, const QRectF &r, qreal fold)
{
    fillPath(p, sheetPath(r, fold), kPaper, kSlate.dark, 1.0);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    corner.closeSubpath();
    fillPath(p, corner, kSlate.light, kSlate.dark, 1.0);
}

QPainterPath gearPath(const QPointF &c, qreal outer, qreal inner, int teeth, qreal hole)
{
    QPolygonF poly;
    const qreal step = 360.0 / teeth;
    auto at = [&](qreal deg, qreal radius) {
        const qreal a = qDegreesToRadians(deg);
        return QPointF(c.x() + radius * qCos(a), c.y() + radius * qSin(a));
    };
    for (int i = 0; i < teeth; ++i) {
        const qreal a = i * step - 90;
        poly << at(a - step * 0.27, inner) << at(a - step * 0.17, outer)
             << at(a + step * 0.17, outer) << at(a + step * 0.27, inner);
        for (int k = 1; k < 4; ++k)
            poly << at(a + step * 0.27 + (step * 0.46) * k / 4, inner);
    }
    QPainterPath path = polygonPath(poly);
    path.addEllipse(c, hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

void drawKey(QPainter &p, const Tone &t)
{
    // key on the 32 grid, bow at the upper left, bit towards the lower right
    p.save();
    p.translate(10, 10);
    p.rotate(45);
    QPainterPath key;
    key.addEllipse(QPointF(0, 0), 7.5, 7.5);
    key.addRect(QRectF(5, -2.2, 19, 4.4));
    key.addRect(QRectF(15, 1.8, 2.6, 4.6));
    key.addRect(QRectF(19.6, 1.8, 2.6, 3.4));
    key = key.simplified();
    QPainterPath hole = circle(QPointF(-2.2, 0), 2.6);
    key = key.subtracted(hole);
    QLinearGradient g(-7, -7, 7, 7);
    g.setColorAt(0, t.light);
    g.setColorAt(1, t.base);
    fillPath(p, key, g, t.dark, 1.0);
    p.setPen(QPen(withAlpha(t.dark, 120), 0.8));
    p.drawLine(QPointF(7, 0), QPointF(23, 0));
    p.restore();
}

QPainterPath bubblePath(const QRectF &r, qreal radius, const QPointF &tailBase, qreal tailHalf,
                        const QPointF &tip)
{
    QPainterPath body = roundedRect(r, radius);
    QPainterPath tail;
    tail.moveTo(tailBase.x() - tailHalf, tailBase.y());
    tail.lineTo(tip);
    tail.lineTo(tailBase.x() + tailHalf, tailBase.y());
    tail.closeSubpath();
    return body.united(tail);
}

// ---------------------------------------------------------------------------
// Icons (32x32 grid)
// ---------------------------------------------------------------------------

void paintBalanceCoin(QPainter &p, const Tone &t, int plusCount)
{
    drawCoin(p, QPointF(13, 16), 11, t);
    // signs grow upwards along the right edge: + at the bottom, then above it
    const int rows[3] = {26, 16, 6};
    for (int i = 0; i < plusCount; ++i)
        drawSignBadge(p, QPointF(26, rows[i]), 5, kGreen.base, true);
}

void paintMoneyZero(QPainter &p)
{
    drawCoin(p, QPointF(16, 15.5), 13, kSilver);
}

void paintMoneyMinus(QPainter &p)
{
    drawCoin(p, QPointF(13, 14), 11.5, kSilver);
    drawSignBadge(p, QPointF(24, 24), 7, kRed.base, false);
}

// A detail window's entry button: the book's coin with money coming in (a green arrow
// down into it) or going out (a red arrow up from it).
void paintEntry(QPainter &p, const Tone &t, bool incoming)
{
    drawCoin(p, QPointF(12, 17), 10.5, t);
    if (incoming)
        drawArrow(p, QPointF(25, 1.5), QPointF(25, 20), 4.4, kGreen);
    else
        drawArrow(p, QPointF(25, 20), QPointF(25, 1.5), 4.4, kRed);
}

// The records of one month.
void paintMonth(QPainter &p)
{
    drawCalendar(p, QRectF(4, 5.5, 24, 23), kBlue);
}

void paintCustomer(QPainter &p)
{
    drawPerson(p, QPointF(0, 0), 1.0, kBlue);
}

void paintYellowTower(QPainter &p)
{
    const qreal bottom = 28.5;
    const qreal layer = 3.2;
    const int counts[3] = {3, 5, 7};
    const qreal xs[3] = {6.2, 16, 25.8};
    for (int s = 0; s < 3; ++s)
        for (int i = 0; i < counts[s]; ++i)
            drawFlatCoin(p, QPointF(xs[s], bottom - 2.4 - i * layer), 9.2, 4.0, 2.2, kGold);
}

void paintReason(QPainter &p)
{
    const QPointF c(15.5, 16.5);
    const qreal r = 12.5;
    struct Slice { qreal start; qreal sweep; Tone tone; bool out; };
    const Slice slices[] = {
        {90, 140, kGold, false},
        {230, 95, kBlue, false},
        {325, 70, kPurple, false},
        {35, 55, kGreen, true},
    };
    for (const Slice &s : slices) {
        QPointF centre = c;
        if (s.out) {
            const qreal mid = qDegreesToRadians(s.start + s.sweep / 2);
            centre += QPointF(qCos(mid) * 2.6, -qSin(mid) * 2.6);
        }
        const QRectF box(centre.x() - r, centre.y() - r, 2 * r, 2 * r);
        QPainterPath path;
        path.moveTo(centre);
        path.arcTo(box, s.start, s.sweep);
        path.closeSubpath();
        fillPath(p, path, s.tone.base, s.tone.dark, 1.0);
    }
    // a small highlight on the big slice
    p.setPen(QPen(withAlpha(Qt::white, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - r + 2.5, c.y() - r + 2.5, 2 * r - 5, 2 * r - 5), 120 * 16, 60 * 16);
}

void paintTabCustomer(QPainter &p)
{
    drawPerson(p, QPointF(9.5, -1.5), 0.72, kPurple);
    drawPerson(p, QPointF(-3.5, 2.5), 0.9, kBlue);
}

void paintTabAccount(QPainter &p)
{
    drawCoin(p, QPointF(11, 8.5), 6.5, kGold, false);
    drawCoin(p, QPointF(19.5, 7.5), 6, kGold, false);
    const QRectF body(2, 11, 27, 18);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, kBrown.base.lighter(112));
    g.setColorAt(1, kBrown.base);
    fillPath(p, roundedRect(body, 3), g, kBrown.dark, 1.0);
    p.setPen(QPen(withAlpha(kBrown.light, 200), 0.8, Qt::DashLine));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(body.adjusted(2, 2, -2, -2), 2, 2);
    const QRectF flap(18, 15.5, 13, 9);
    fillPath(p, roundedRect(flap, 2.5), kBrown.dark.lighter(125), kBrown.dark, 1.0);
    fillPath(p, circle(QPointF(22.5, 20), 1.9), kGold.base, kGold.dark, 0.8);
}

void paintTabDaily(QPainter &p)
{
    const QRectF page(5, 5, 21, 25);
    fillPath(p, roundedRect(page.translated(1.5, 1.5), 2), withAlpha(kSlate.dark, 70));
    fillPath(p, roundedRect(page, 2), kPaper, kSlate.dark, 1.0);
    // header band
    QPainterPath band;
    band.addRect(QRectF(page.left() + 0.5, page.top() + 0.5, page.width() - 1, 4.5));
    fillPath(p, band, kTeal.base);
    // ruled lines and margin
    p.setPen(QPen(withAlpha(kBlue.base, 150), 1.0));
    for (int i = 0; i < 4; ++i) {
        const qreal y = 14.5 + i * 4;
        p.drawLine(QPointF(8, y), QPointF(23, y));
    }
    p.setPen(QPen(withAlpha(kRed.base, 170), 1.0));
    p.drawLine(QPointF(10.5, 10.5), QPointF(10.5, 28.5));
    // rings
    for (int i = 0; i < 4; ++i) {
        const qreal x = 8.5 + i * 5;
        p.setPen(roundPen(kSlate.dark, 1.6));
        p.drawLine(QPointF(x, 2.5), QPointF(x, 7.5));
    }
    drawPencil(p, QPointF(17, 27), -45, 15);
}

void paintTabReport(QPainter &p)
{
    const QRectF sheet(5, 3, 21, 27);
    fillPath(p, sheetPath(sheet.translated(1.5, 1.5), 6), withAlpha(kSlate.dark, 70));
    drawSheet(p, sheet, 6);
    p.setPen(QPen(kSlate.base, 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(8.5, 7.5), QPointF(17, 7.5));
    p.drawLine(QPointF(8.5, 10.5), QPointF(14, 10.5));
    p.setPen(Qt::NoPen);
    const struct { qreal x; qreal h; Tone t; } bars[] = {
        {8, 7, kBlue}, {13, 12, kGreen}, {18, 9, kGold}};
    for (const auto &b : bars)
        fillPath(p, [&] { QPainterPath s; s.addRect(QRectF(b.x, 26 - b.h, 4, b.h)); return s; }(),
                 b.t.base, b.t.dark, 0.8);
    p.setPen(QPen(kInk, 1.0));
    p.drawLine(QPointF(7, 26.5), QPointF(24, 26.5));
}

void paintTabSetting(QPainter &p)
{
    const QPointF c(16, 16);
    QRadialGradient g(c.x() - 4, c.y() - 5, 18);
    g.setColorAt(0, kSlate.light);
    g.setColorAt(0.6, kSlate.base);
    g.setColorAt(1, kSlate.base.darker(115));
    fillPath(p, gearPath(c, 14.3, 10.6, 8, 4.3), g, kSlate.dark, 1.1);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(kSlate.dark, 150), 1.0));
    p.drawEllipse(c, 7.4, 7.4);
}

void paintTabData(QPainter &p)
{
    const qreal left = 5.5, right = 26.5, ry = 3.6;
    const qreal top = 7, bottom = 24.5;
    const qreal w = right - left;
    QPainterPath body;
    body.moveTo(left, top);
    body.lineTo(left, bottom);
    body.arcTo(QRectF(left, bottom - ry, w, 2 * ry), 180, 180);
    body.lineTo(right, top);
    body.closeSubpath();
    QLinearGradient g(left, 0, right, 0);
    g.setColorAt(0, kBlue.base.darker(108));
    g.setColorAt(0.35, kBlue.base.lighter(118));
    g.setColorAt(1, kBlue.base.darker(115));
    fillPath(p, body, g, kBlue.dark, 1.0);
    p.setBrush(Qt::NoBrush);
    for (qreal y : {12.8, 18.6}) {
        p.setPen(QPen(withAlpha(Qt::white, 200), 1.1));
        p.drawArc(QRectF(left, y - ry, w, 2 * ry), 180 * 16, 180 * 16);
    }
    QLinearGradient tg(left, top - ry, right, top + ry);
    tg.setColorAt(0, kBlue.light);
    tg.setColorAt(1, kBlue.base.lighter(125));
    p.setBrush(tg);
    p.setPen(QPen(kBlue.dark, 1.0));
    p.drawEllipse(QRectF(left, top - ry, w, 2 * ry));
}

void paintLogin(QPainter &p)
{
    drawPerson(p, QPointF(-3, 0), 0.92, kBlue);
    fillPath(p, circle(QPointF(24, 23), 8), Qt::white);
    fillPath(p, circle(QPointF(24, 23), 7), kGreen.base, kGreen.dark, 1.0);
    // a turning arrow: sign in again
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawArc(QRectF(20, 19, 8, 8), 100 * 16, 260 * 16);
    QPolygonF head;
    head << QPointF(22.2, 16.8) << QPointF(26, 19.2) << QPointF(22.4, 21.6);
    fillPath(p, polygonPath(head), Qt::white);
}

void paintSupport(QPainter &p)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kSlate.dark, 3.0));
    p.drawArc(QRectF(6, 3.5, 20, 22), 10 * 16, 160 * 16);
    p.setPen(roundPen(kSlate.base, 1.2));
    p.drawArc(QRectF(6, 3.5, 20, 22), 20 * 16, 140 * 16);
    fillPath(p, roundedRect(QRectF(2.5, 12.5, 7.5, 11), 3), kBlue.base, kBlue.dark, 1.0);
    fillPath(p, roundedRect(QRectF(22, 12.5, 7.5, 11), 3), kBlue.base, kBlue.dark, 1.0);
    QPainterPath boom;
    boom.moveTo(6.5, 23);
    boom.cubicTo(7, 28, 10, 28.8, 14, 28.8);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kSlate.dark, 1.8));
    p.drawPath(boom);
    fillPath(p, roundedRect(QRectF(13, 26.8, 7, 4), 2), kInk);
}

void paintAccountSearch(QPainter &p)
{
    drawCoin(p, QPointF(12, 12), 10, kGold);
    drawMagnifier(p, QPointF(19.5, 19.5), 6.2);
}

void paintCustomerSearch(QPainter &p)
{
    drawPerson(p, QPointF(-2, -1), 0.82, kBlue);
    drawMagnifier(p, QPointF(19.5, 19.5), 6.2);
}

void paintMonthClose(QPainter &p)
{
    drawCalendar(p, QRectF(3, 5.5, 23, 23), kRed);
    drawCheck(p, QPolygonF() << QPointF(14, 21) << QPointF(19, 26) << QPointF(29, 13), 4.2, kGreen, true);
}

void paintBackup(QPainter &p)
{
    drawDisk(p, QRectF(2.5, 9.5, 21, 21), kBlue);
    drawArrow(p, QPointF(24.5, 1.5), QPointF(24.5, 19), 4.4, kGreen);
}

void paintRestore(QPainter &p)
{
    drawDisk(p, QRectF(2.5, 9.5, 21, 21), kBlue);
    drawArrow(p, QPointF(24.5, 19), QPointF(24.5, 1.5), 4.4, kOrange);
}

void paintOk(QPainter &p)
{
    drawCheck(p, QPolygonF() << QPointF(5, 17) << QPointF(12.5, 24.5) << QPointF(27, 8), 6.0, kGreen, false);
}

void paintCancel(QPainter &p)
{
    QPainterPath cross;
    cross.moveTo(8, 8);
    cross.lineTo(24, 24);
    cross.moveTo(24, 8);
    cross.lineTo(8, 24);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kRed.dark, 6.0));
    p.drawPath(cross);
    p.setPen(roundPen(kRed.base, 4.0));
    p.drawPath(cross);
}

void paintHome(QPainter &p)
{
    fillPath(p, [] { QPainterPath s; s.addRect(QRectF(20.5, 4.5, 3.5, 7)); return s; }(), kRed.dark, kRed.dark, 0.8);
    const QRectF walls(7, 14, 18, 15);
    fillPath(p, [&] { QPainterPath s; s.addRect(walls); return s; }(), kCream, kBrown.dark, 1.0);
    QPolygonF roof;
    roof << QPointF(2.5, 16) << QPointF(16, 3.5) << QPointF(29.5, 16) << QPointF(27, 17.5)
         << QPointF(16, 7.4) << QPointF(5, 17.5);
    fillPath(p, polygonPath(roof), kRed.base, kRed.dark, 1.0);
    fillPath(p, roundedRect(QRectF(10, 19.5, 6, 9.5), 1), kBrown.base, kBrown.dark, 0.8);
    fillPath(p, roundedRect(QRectF(18.5, 18.5, 4.5, 4.5), 0.8), kBlue.light, kBlue.dark, 0.8);
    fillPath(p, circle(QPointF(14.6, 24.5), 0.7), kGold.base);
}

void paintHelp(QPainter &p)
{
    QRadialGradient g(12, 10, 18);
    g.setColorAt(0, kBlue.base.lighter(125));
    g.setColorAt(1, kBlue.base);
    fillPath(p, circle(QPointF(16, 16), 13.5), g, kBlue.dark, 1.2);
    // question mark drawn with strokes
    QPainterPath q;
    q.moveTo(11.6, 12.2);
    q.cubicTo(11.6, 8.6, 14, 7.2, 16.2, 7.2);
    q.cubicTo(19, 7.2, 20.6, 9.1, 20.6, 11.4);
    q.cubicTo(20.6, 14.6, 16.3, 15.3, 16.3, 18.4);
    q.lineTo(16.3, 19.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(Qt::white, 3.2));
    p.drawPath(q);
    fillPath(p, circle(QPointF(16.3, 24.3), 2.0), Qt::white);
}

void paintSend(QPainter &p)
{
    const QPointF tip(29.5, 3.5);
    QPolygonF upper;
    upper << QPointF(2.5, 14) << tip << QPointF(12.5, 19);
    QPolygonF lower;
    lower << QPointF(12.5, 19) << tip << QPointF(19, 28.5);
    QPolygonF fold;
    fold << QPointF(12.5, 19) << QPointF(13.5, 27) << QPointF(16.5, 23.2);
    fillPath(p, polygonPath(fold), kBlue.dark, kBlue.dark, 1.0);
    fillPath(p, polygonPath(lower), kBlue.light, kBlue.dark, 1.0);
    fillPath(p, polygonPath(upper), Qt::white, kBlue.dark, 1.0);
    p.setPen(QPen(withAlpha(kBlue.base, 200), 0.9));
    p.drawLine(QPointF(12.5, 19), tip);
}

void paintPrint(QPainter &p)
{
    drawSheet(p, QRectF(9, 2.5, 14, 11), 0);
    const QRectF body(2.5, 11, 27, 13);
    QLinearGradient g(body.topLeft(), body.bottomLeft());
    g.setColorAt(0, kSlate.light);
    g.setColorAt(0.35, kSlate.base);
    g.setColorAt(1, kSlate.base.darker(120));
    fillPath(p, roundedRect(body, 2.5), g, kSlate.dark, 1.0);
    p.setPen(QPen(kInk, 1.6));
    p.drawLine(QPointF(7, 19.5), QPointF(25, 19.5));
    fillPath(p, circle(QPointF(25.5, 14.8), 1.3), kGreen.base, kGreen.dark, 0.6);
    const QRectF out(8, 19.5, 16, 10.5);
    fillPath(p, [&] { QPainterPath s; s.addRect(out); return s; }(), kPaper, kSlate.dark, 1.0);
    p.setPen(QPen(kSlate.base, 1.0));
    p.drawLine(QPointF(10.5, 23.5), QPointF(21.5, 23.5));
    p.drawLine(QPointF(10.5, 26.5), QPointF(18, 26.5));
}

void paintDelete(QPainter &p)
{
    QPolygonF can;
    can << QPointF(7.5, 10) << QPointF(24.5, 10) << QPointF(22.8, 29.5) << QPointF(9.2, 29.5);
    QLinearGradient g(7, 0, 25, 0);
    g.setColorAt(0, kSlate.base);
    g.setColorAt(0.4, kSlate.light);
    g.setColorAt(1, kSlate.base);
    fillPath(p, polygonPath(can), g, kSlate.dark, 1.0);
    p.setPen(roundPen(kSlate.dark, 1.3));
    for (qreal x : {12.3, 16.0, 19.7})
        p.drawLine(QPointF(x, 13.5), QPointF(x + (x - 16) * 0.12, 26.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kSlate.dark, 1.6));
    p.drawRoundedRect(QRectF(12.5, 3, 7, 4.5), 1.5, 1.5);
    fillPath(p, roundedRect(QRectF(5, 6.5, 22, 4), 1.5), kRed.base, kRed.dark, 1.0);
}

void paintSave(QPainter &p)
{
    drawDisk(p, QRectF(3.5, 3.5, 25, 25), kBlue);
}

// A sheet with a pencil across it: change the chosen record.
void paintModify(QPainter &p)
{
    drawSheet(p, QRectF(4, 3, 19, 25), 5);
    p.setPen(QPen(kSlate.base, 1.0));
    for (qreal y : {12.5, 16.5, 20.5})
        p.drawLine(QPointF(7.5, y), QPointF(17, y));
    p.save();
    p.translate(22, 17);
    p.rotate(45);
    fillPath(p, roundedRect(QRectF(-3, -11, 6, 17), 1.0), kGold.base, kGold.dark, 1.0);
    fillPath(p, roundedRect(QRectF(-3, -14, 6, 4), 1.0), kRed.base, kRed.dark, 1.0);
    QPolygonF tip;
    tip << QPointF(-3, 6) << QPointF(3, 6) << QPointF(0, 12);
    fillPath(p, polygonPath(tip), kSkin, kSkinLine, 0.9);
    fillPath(p, circle(QPointF(0, 11.2), 0.9), kInk, kInk, 0.5);
    p.restore();
}

void paintApp(QPainter &p)
{
    // a ledger with a gold coin in front of it
    fillPath(p, roundedRect(QRectF(8, 4.5, 20, 24), 1.5), kCream, kBrown.dark, 1.0);
    p.setPen(QPen(withAlpha(kBrown.base, 150), 0.8));
    for (qreal y : {8.5, 12.5, 16.5})
        p.drawLine(QPointF(23, y), QPointF(27, y));
    const QRectF cover(4, 2.5, 21, 25);
    QLinearGradient g(cover.topLeft(), cover.bottomRight());
    g.setColorAt(0, kTeal.base.lighter(115));
    g.setColorAt(1, kTeal.base.darker(110));
    fillPath(p, roundedRect(cover, 2), g, kTeal.dark, 1.0);
    fillPath(p, [&] { QPainterPath s; s.addRect(QRectF(4.5, 3, 4, 24)); return s; }(), kTeal.dark);
    fillPath(p, roundedRect(QRectF(11, 6.5, 11, 6), 1), kCream, kTeal.dark, 0.7);
    p.setPen(QPen(kTeal.dark, 1.0));
    p.drawLine(QPointF(13, 9.5), QPointF(20, 9.5));
    drawCoin(p, QPointF(22, 21.5), 8.5, kGold);
}

void paintChat(QPainter &p)
{
    const QPainterPath back = bubblePath(QRectF(1.5, 2.5, 20, 14), 4, QPointF(7, 16), 2.6, QPointF(4.5, 21));
    fillPath(p, back, kBlue.base, kBlue.dark, 1.0);
    p.setPen(QPen(withAlpha(Qt::white, 230), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 7.5), QPointF(17, 7.5));
    p.drawLine(QPointF(6, 11.2), QPointF(13, 11.2));
    const QPainterPath front = bubblePath(QRectF(10.5, 12.5, 20, 13.5), 4, QPointF(25, 25.5), 2.6, QPointF(28, 30.5));
    fillPath(p, front, Qt::white, Qt::white, 2.4);
    fillPath(p, front, kGreen.base, kGreen.dark, 1.0);
    for (int i = 0; i < 3; ++i)
        fillPath(p, circle(QPointF(15.5 + i * 5, 19.3), 1.5), Qt::white);
}

void paintNetwork(QPainter &p)
{
    const QRectF monitor(3.5, 3, 25, 17);
    fillPath(p, roundedRect(monitor, 2), kSlate.dark.lighter(110), kInk, 1.0);
    QLinearGradient screen(6, 5, 26, 18);
    screen.setColorAt(0, kBlue.light);
    screen.setColorAt(1, kBlue.base);
    fillPath(p, [] { QPainterPath s; s.addRect(QRectF(6, 5.5, 20, 12)); return s; }(), screen);
    p.setPen(QPen(withAlpha(Qt::white, 120), 2.0));
    p.drawLine(QPointF(9, 15.5), QPointF(16, 7.5));
    fillPath(p, [] { QPainterPath s; s.addRect(QRectF(14, 20, 4, 3)); return s; }(), kSlate.base, kSlate.dark, 0.8);
    fillPath(p, roundedRect(QRectF(9.5, 22.5, 13, 2.5), 1), kSlate.base, kSlate.dark, 0.8);
    // the cable running to a plug
    QPainterPath cable;
    cable.moveTo(16, 25);
    cable.lineTo(16, 28);
    cable.quadTo(16, 29.5, 17.5, 29.5);
    cable.lineTo(23, 29.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(kBlue.dark, 1.6));
    p.drawPath(cable);
    fillPath(p, roundedRect(QRectF(23, 27, 6.5, 5), 1), kGreen.base, kGreen.dark, 0.8);
    p.setPen(QPen(Qt::white, 0.8));
    p.drawLine(QPointF(25, 28.5), QPointF(25, 30.5));
    p.drawLine(QPointF(27.3, 28.5), QPointF(27.3, 30.5));
}

// ---------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------

QImage makeBookCover(const Tone &t, const QString &title)
{
    QImage image = canvas(80, 60, kPanel);
    QPainter p(&image);
    beginPainting(p);
    const QRectF cover(8.5, 3.5, 60, 51);
    // shadow and page block
    fillPath(p, roundedRect(cover.translated(4, 3), 3), withAlpha(kInk, 45));
    fillPath(p, roundedRect(cover.translated(3, 2), 2.5), kCream, QColor(0xB8, 0xAD, 0x92), 1.0);
    p.setPen(QPen(QColor(0xD6, 0xCC, 0xB2), 1.0));
    for (int i = 1; i < 3; ++i) {
        p.drawLine(QPointF(cover.right() + 0.5, cover.top() + 3 + i),
                   QPointF(cover.right() + 0.5 + i * 0.0, cover.bottom() + 1));
    }
    // cover
    QLinearGradient g(cover.topLeft(), cover.bottomRight());
    g.setColorAt(0, t.base.lighter(112));
    g.setColorAt(1, t.base.darker(108));
    fillPath(p, roundedRect(cover, 3), g, t.dark, 1.0);
    // spine
    QPainterPath spine;
    spine.addRect(QRectF(cover.left() + 0.5, cover.top() + 0.5, 7, cover.height() - 1));
    fillPath(p, spine, t.dark);
    p.setPen(QPen(withAlpha(t.light, 210), 1.0));
    for (qreal y : {10.5, 13.5, 44.5, 47.5})
        p.drawLine(QPointF(cover.left() + 1, y), QPointF(cover.left() + 7.5, y));
    // corner guards
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(t.dark, 150));
    QPolygonF tr;
    tr << QPointF(cover.right() - 9, cover.top() + 0.5) << QPointF(cover.right() - 0.5, cover.top() + 0.5)
       << QPointF(cover.right() - 0.5, cover.top() + 9);
    p.drawPolygon(tr);
    QPolygonF br;
    br << QPointF(cover.right() - 9, cover.bottom() - 0.5) << QPointF(cover.right() - 0.5, cover.bottom() - 0.5)
       << QPointF(cover.right() - 0.5, cover.bottom() - 9);
    p.drawPolygon(br);
    // title label
    const QRectF label(17.5, 17.5, 48, 22);
    fillPath(p, roundedRect(label, 2), kPaper, t.dark, 1.0);
    p.setFont(chineseFont(14, true));
    p.setPen(kInk);
    p.drawText(label.adjusted(0, -1, 0, 0), Qt::AlignCenter, title);
    p.end();
    return image;
}

QImage makeBarStrip(bool pointLeft)
{
    QImage image = canvas(16, 536, kPanel);
    QPainter p(&image);
    beginPainting(p);
    p.setPen(Qt::NoPen);
    p.setBrush(kPanel.darker(104));
    p.drawRect(QRectF(0, 0, 16, 536));
    p.setBrush(kPanelLine);
    p.drawRect(QRectF(0, 0, 1, 536));
    p.drawRect(QRectF(15, 0, 1, 536));

    const qreal cy = 268;
    const QRectF handle(2.5, cy - 34.5, 11, 69);
    fillPath(p, roundedRect(handle, 4), kPanel.lighter(104), kPanelLine, 1.0);
    // grip dots
    p.setPen(Qt::NoPen);
    p.setBrush(kSlate.base);
    for (int i = 0; i < 3; ++i) {
        p.drawEllipse(QPointF(8, cy - 26 + i * 4), 1.0, 1.0);
        p.drawEllipse(QPointF(8, cy + 18 + i * 4), 1.0, 1.0);
    }
    // a double chevron pointing the way the bar moves
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kBlue.dark, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal dir = pointLeft ? -1 : 1;
    for (int k = 0; k < 2; ++k) {
        const qreal x = 8 + dir * (k == 0 ? 3.5 : -0.5);
        QPainterPath chevron;
        chevron.moveTo(x - dir * 3, cy - 4);
        chevron.lineTo(x, cy);
        chevron.lineTo(x - dir * 3, cy + 4);
        p.drawPath(chevron);
    }
    p.end();
    return image;
}

QImage makeBanner(const Tone &t, const QColor &from, const QColor &to, bool incoming,
                  const QString &title, const QString &book)
{
    QImage image = canvas(420, 60, to);
    QPainter p(&image);
    beginPainting(p);
    QLinearGradient g(0, 0, 420, 0);
    g.setColorAt(0, from);
    g.setColorAt(1, to);
    p.fillRect(QRect(0, 0, 420, 60), g);
    // soft circles for a little depth
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(Qt::white, 26));
    p.drawEllipse(QPointF(395, 8), 52, 52);
    p.drawEllipse(QPointF(330, 66), 36, 36);
    p.setBrush(withAlpha(Qt::white, 16));
    p.drawEllipse(QPointF(250, -30), 48, 48);
    // lower edge
    p.setBrush(withAlpha(t.dark.darker(120), 150));
    p.drawRect(QRectF(0, 58, 420, 2));
    p.setBrush(withAlpha(Qt::white, 60));
    p.drawRect(QRectF(0, 0, 420, 1));

    // picture at the left: a coin on a white plate with an arrow in or out
    fillPath(p, circle(QPointF(32, 30), 23), withAlpha(Qt::black, 40));
    fillPath(p, circle(QPointF(31, 29), 23), withAlpha(Qt::white, 235));
    drawCoin(p, QPointF(28, 31), 14.5, t);
    if (incoming)
        drawArrow(p, QPointF(53, 6), QPointF(41, 19), 5.5, kGreen);
    else
        drawArrow(p, QPointF(39, 22), QPointF(54, 6), 5.5, kOrange);

    // title with a soft shadow
    QFont font = chineseFont(23, true);
    p.setFont(font);
    const QRectF textBox(70, 0, 300, 58);
    p.setPen(withAlpha(Qt::black, 70));
    p.drawText(textBox.translated(1, 1.5), Qt::AlignVCenter | Qt::AlignLeft, title);
    p.setPen(Qt::white);
    p.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, title);

    // book name at the right
    p.setFont(chineseFont(15, true));
    p.setPen(withAlpha(Qt::white, 190));
    p.drawText(QRectF(300, 0, 108, 58), Qt::AlignVCenter | Qt::AlignRight, book);
    p.end();
    return image;
}

QImage makeDayButton(bool next)
{
    QImage image = canvas(16, 16, kButtonFace);
    QPainter p(&image);
    beginPainting(p);
    QPolygonF tri;
    if (next)
        tri << QPointF(5, 3) << QPointF(11.5, 8) << QPointF(5, 13);
    else
        tri << QPointF(11, 3) << QPointF(4.5, 8) << QPointF(11, 13);
    fillPath(p, polygonPath(tri), kInk, kInk, 0.8);
    p.end();
    return image;
}

QImage makeWelcome()
{
    QImage image = canvas(220, 220, Qt::white);
    QPainter p(&image);
    beginPainting(p);
    QRadialGradient bg(110, 95, 170);
    bg.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    bg.setColorAt(1, QColor(0xD8, 0xEA, 0xEF));
    p.fillRect(QRect(0, 0, 220, 220), bg);

    // ring emblem
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(kTeal.base, 70), 2.0));
    p.drawEllipse(QPointF(110, 104), 98, 98);
    p.setPen(QPen(withAlpha(kTeal.base, 40), 1.0));
    p.drawEllipse(QPointF(110, 104), 92, 92);

    // title
    p.setFont(chineseFont(48, true, true));
    p.setPen(withAlpha(kTeal.dark.darker(130), 60));
    p.drawText(QRectF(0, 14, 222, 64), Qt::AlignCenter, QStringLiteral("澄衡"));
    p.setPen(kTeal.dark);
    p.drawText(QRectF(0, 12, 220, 64), Qt::AlignCenter, QStringLiteral("澄衡"));

    // a balance beam under the title
    p.setPen(roundPen(kGold.dark, 2.0));
    p.drawLine(QPointF(62, 84), QPointF(158, 84));
    fillPath(p, polygonPath(QPolygonF() << QPointF(110, 78) << QPointF(116, 84) << QPointF(110, 90)
                                        << QPointF(104, 84)),
             kGold.base, kGold.dark, 1.0);
    fillPath(p, circle(QPointF(62, 84), 3), kGold.base, kGold.dark, 1.0);
    fillPath(p, circle(QPointF(158, 84), 3), kGold.base, kGold.dark, 1.0);

    // open ledger
    QPainterPath cover;
    cover.moveTo(24, 104);
    cover.quadTo(66, 92, 110, 102);
    cover.quadTo(154, 92, 196, 104);
    cover.lineTo(198, 166);
    cover.quadTo(154, 156, 110, 168);
    cover.quadTo(66, 156, 22, 166);
    cover.closeSubpath();
    fillPath(p, cover, kTeal.base, kTeal.dark, 1.5);

    auto page = [&](bool left) {
        const qreal s = left ? -1 : 1;
        QPainterPath pg;
        pg.moveTo(110, 99);
        pg.quadTo(110 + s * 42, 88, 110 + s * 80, 98);
        pg.lineTo(110 + s * 82, 158);
        pg.quadTo(110 + s * 42, 150, 110, 161);
        pg.closeSubpath();
        return pg;
    };
    for (bool left : {true, false}) {
        QLinearGradient pg(left ? 30 : 190, 0, 110, 0);
        pg.setColorAt(0, kPaper);
        pg.setColorAt(0.85, kPaper);
        pg.setColorAt(1, QColor(0xE8, 0xE0, 0xC8));
        fillPath(p, page(left), pg, QColor(0x9F, 0x94, 0x78), 1.0);
    }
    // ruled lines, margins and a few entries
    p.save();
    for (bool left : {true, false}) {
        p.setClipPath(page(left));
        const qreal s = left ? -1 : 1;
        for (int i = 0; i < 6; ++i) {
            const qreal y = 109 + i * 8.5;
            QPainterPath line;
            line.moveTo(110 + s * 4, y + 2);
            line.quadTo(110 + s * 42, y - 8 + i * 0.6, 110 + s * 82, y + i * 0.2);
            p.setPen(QPen(withAlpha(kBlue.base, 110), 1.0));
            p.setBrush(Qt::NoBrush);
            p.drawPath(line);
        }
        p.setPen(QPen(withAlpha(kRed.base, 150), 1.0));
        p.drawLine(QPointF(110 + s * 62, 90), QPointF(110 + s * 63, 165));
        // entries
        p.setPen(QPen(withAlpha(kInk, 150), 2.0, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i) {
            const qreal y = 111 + i * 8.5 - (left ? 2.5 : 2.5);
            const qreal a = left ? 110 - 56 : 110 + 14;
            const qreal len = 14 + ((i * 7) % 12);
            p.drawLine(QPointF(a, y + (left ? 0 : -1.8)), QPointF(a + len, y + (left ? 0.2 : -2.6)));
        }
    }
    p.restore();
    p.setPen(QPen(withAlpha(kInk, 90), 1.0));
    p.drawLine(QPointF(110, 100), QPointF(110, 161));

    // coins: a stack on the right, one standing coin at the left
    for (int i = 0; i < 4; ++i)
        drawFlatCoin(p, QPointF(170, 172 - i * 6), 40, 13, 5, kGold);
    drawCoin(p, QPointF(48, 164), 19, kGold);

    // subtitle
    p.setFont(chineseFont(15, true));
    p.setPen(kTeal.dark);
    p.drawText(QRectF(0, 190, 220, 24), Qt::AlignCenter, QStringLiteral("客户管理软件"));
    p.end();
    return image;
}

QImage makeAsk()
{
    QImage image = canvas(80, 80, kButtonFace);
    QPainter p(&image);
    beginPainting(p);
    p.save();
    p.translate(2, 10);
    p.scale(2.2, 2.2);
    drawKey(p, kGold);
    p.restore();
    fillPath(p, circle(QPointF(58, 22), 17), Qt::white);
    QRadialGradient g(52, 16, 22);
    g.setColorAt(0, kBlue.base.lighter(125));
    g.setColorAt(1, kBlue.base);
    fillPath(p, circle(QPointF(58, 22), 15.5), g, kBlue.dark, 1.5);
    p.save();
    p.translate(58 - 16 * 0.95, 22 - 16 * 0.95);
    p.scale(0.95, 0.95);
    QPainterPath q;
    q.moveTo(11.6, 12.2);
    q.cubicTo(11.6, 8.6, 14, 7.2, 16.2, 7.2);
    q.cubicTo(19, 7.2, 20.6, 9.1, 20.6, 11.4);
    q.cubicTo(20.6, 14.6, 16.3, 15.3, 16.3, 18.4);
    q.lineTo(16.3, 19.6);
    p.setBrush(Qt::NoBrush);
    p.setPen(roundPen(Qt::white, 3.4));
    p.drawPath(q);
    fillPath(p, circle(QPointF(16.3, 24.4), 2.1), Qt::white);
    p.restore();
    p.end();
    return image;
}

// A speech bubble on magenta.  The outer outline is drawn without
// antialiasing so that no pixel is blended with the mask colour.
QImage makeHint(const QString &first, const QString &second, const QString &third)
{
    QImage image = canvas(350, 150, kMagenta);
    QPainter p(&image);
    const QColor border(0x6B, 0x5A, 0x2E);
    const QColor fill(0xFF, 0xF8, 0xCC);

    const QRectF body(3, 3, 343, 114);
    const qreal tailHalf = 16;
    const QPointF tailBase(175, body.bottom() - 2);
    const QPointF tip(175, 146);

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(border);
    p.drawPath(bubblePath(body, 12, tailBase, tailHalf, tip));

    // the inner area may be smooth: its edge only meets the border colour
    beginPainting(p);
    // the inner outline runs parallel to the outer one, bw pixels inside
    const qreal bw = 2;
    const qreal h = tip.y() - tailBase.y();
    const qreal len = qSqrt(h * h + tailHalf * tailHalf);
    const qreal sideShift = bw * len / h;         // horizontal inset of the slanted sides
    const qreal tipShift = bw * len / tailHalf;   // the tip moves up by this much
    const qreal innerBaseY = body.bottom() - bw - 4;
    const qreal innerHalf = tailHalf - sideShift + (tailBase.y() - innerBaseY) * tailHalf / h;
    QPainterPath inner = bubblePath(body.adjusted(bw, bw, -bw, -bw), 12 - bw,
                                    QPointF(tip.x(), innerBaseY), innerHalf,
                                    QPointF(tip.x(), tip.y() - tipShift));
    QLinearGradient g(0, body.top(), 0, body.bottom());
    g.setColorAt(0, fill.lighter(103));
    g.setColorAt(1, fill);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(inner);

    // a small light bulb at the left of the first line
    const QPointF bulb(46, 34);
    fillPath(p, circle(bulb, 8), kGold.base, kGold.dark, 1.2);
    fillPath(p, roundedRect(QRectF(bulb.x() - 4, bulb.y() + 7, 8, 5), 1.2), kSlate.base, kSlate.dark, 1.0);
    p.setPen(QPen(withAlpha(Qt::white, 220), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(bulb.x() - 5, bulb.y() - 5, 10, 10), 100 * 16, 70 * 16);

    p.setFont(chineseFont(19, true));
    p.setPen(QColor(0x8A, 0x4B, 0x08));
    p.drawText(QRectF(62, 18, 260, 32), Qt::AlignVCenter | Qt::AlignLeft, first);
    p.setFont(chineseFont(16, false));
    p.setPen(QColor(0x3A, 0x30, 0x20));
    p.drawText(QRectF(20, 56, 310, 24), Qt::AlignCenter, second);
    p.drawText(QRectF(20, 82, 310, 24), Qt::AlignCenter, third);
    p.end();
    return image;
}

// ---------------------------------------------------------------------------

void makeAll()
{
    // balance icons
    writeIcon(QStringLiteral("Money0.ico"), paintMoneyZero);
    writeIcon(QStringLiteral("Money-.ico"), paintMoneyMinus);
    const struct { const char *name; Tone tone; } coins[] = {
        {"Yellow", kGold}, {"Blue", kBlue}, {"Purple", kPurple}};
    for (const auto &c : coins)
        for (int n = 1; n <= 3; ++n) {
            const Tone tone = c.tone;
            writeIcon(QString::fromLatin1(c.name) + QString(n, QLatin1Char('+')) + QStringLiteral(".ico"),
                      [tone, n](QPainter &p) { paintBalanceCoin(p, tone, n); });
        }
    writeIcon(QStringLiteral("Customer2.ico"), paintCustomer);

    // account book covers
    // (the books' own table names them; the colours follow its order: cash, receivable, payable)
    const Tone bookTones[] = {kGold, kBlue, kPurple};
    for (const TBookKind &b : BookKinds())
        writeBitmap(b.Picture().mid(4), makeBookCover(bookTones[int(b.id)], b.name));

    // left bar fold strips
    writeBitmap(QStringLiteral("LeftBar.bmp"), makeBarStrip(true));
    writeBitmap(QStringLiteral("RightBar.bmp"), makeBarStrip(false));

    // entry window headers
    const struct
    {
        QColor from;
        QColor to;
    } bannerColours[] = {
        {QColor(0xB0, 0x74, 0x06), QColor(0xEC, 0xB3, 0x3A)},
        {QColor(0x17, 0x55, 0x99), QColor(0x4C, 0x9E, 0xE8)},
        {QColor(0x4E, 0x2A, 0x82), QColor(0x9C, 0x6E, 0xD6)},
    };
    const QString dot = QStringLiteral(" · ");
    for (const TBookKind &b : BookKinds())
        for (bool isNew : {true, false})
            for (bool incoming : {true, false}) {
                const QString name = QString::fromLatin1(isNew ? "New" : "Edit") + b.key
                    + QString::fromLatin1(incoming ? "In" : "Out") + QStringLiteral(".bmp");
                const QString title = (isNew ? QStringLiteral("新增") : QStringLiteral("修改"))
                    + dot + b.Caption(incoming);
                const int i = int(b.id);
                writeBitmap(name,
                            makeBanner(bookTones[i], bannerColours[i].from, bannerColours[i].to,
                                       incoming, title, b.name));
            }

    // entry buttons of the detail windows, one pair per book, and their month lists
    const struct { const char *key; Tone tone; } entryCoins[] = {
        {"Money", kGold}, {"Get", kBlue}, {"Pay", kPurple}};
    for (const auto &c : entryCoins)
        for (bool incoming : {true, false}) {
            const Tone tone = c.tone;
            writeIcon(QString::fromLatin1(c.key) + QString::fromLatin1(incoming ? "In.ico" : "Out.ico"),
                      [tone, incoming](QPainter &p) { paintEntry(p, tone, incoming); });
        }
    writeIcon(QStringLiteral("Month.ico"), paintMonth);

    // analysis
    writeIcon(QStringLiteral("YellowTower.ico"), paintYellowTower);
    writeIcon(QStringLiteral("Reason.ico"), paintReason);

    // tabs
    writeIcon(QStringLiteral("TabCustomer.ico"), paintTabCustomer);
    writeIcon(QStringLiteral("TabAccount.ico"), paintTabAccount);
    writeIcon(QStringLiteral("TabDaily.ico"), paintTabDaily);
    writeIcon(QStringLiteral("TabReport.ico"), paintTabReport);
    writeIcon(QStringLiteral("TabSetting.ico"), paintTabSetting);
    writeIcon(QStringLiteral("TabData.ico"), paintTabData);

    // buttons
    writeIcon(QStringLiteral("Login.ico"), paintLogin);
    writeIcon(QStringLiteral("Support.ico"), paintSupport);
    writeIcon(QStringLiteral("AccountSearch.ico"), paintAccountSearch);
    writeIcon(QStringLiteral("CustomerSearch.ico"), paintCustomerSearch);
    writeIcon(QStringLiteral("MonthClose.ico"), paintMonthClose);
    writeIcon(QStringLiteral("Backup.ico"), paintBackup);
    writeIcon(QStringLiteral("Restore.ico"), paintRestore);
    writeIcon(QStringLiteral("Ok.ico"), paintOk);
    writeIcon(QStringLiteral("Cancel.ico"), paintCancel);
    writeIcon(QStringLiteral("Home.ico"), paintHome);
    writeIcon(QStringLiteral("Help.ico"), paintHelp);
    writeIcon(QStringLiteral("Send.ico"), paintSend);
    writeIcon(QStringLiteral("Print.ico"), paintPrint);
    writeIcon(QStringLiteral("Delete.ico"), paintDelete);
    writeIcon(QStringLiteral("Save.ico"), paintSave);
    writeIcon(QStringLiteral("Modify.ico"), paintModify);

    writeBitmap(QStringLiteral("DayPrev.bmp"), makeDayButton(false));
    writeBitmap(QStringLiteral("DayNext.bmp"), makeDayButton(true));

    writeBitmap(QStringLiteral("Welcome.bmp"), makeWelcome());
    writeBitmap(QStringLiteral("Ask.bmp"), makeAsk());

    writeIcon(QStringLiteral("App.ico"), paintApp, {32, 16, 48});
    // The desktop's menu entry shows the same picture; menus want it as a PNG.
    if (!renderIcon(48, paintApp).save(QDir(g_outDir).filePath(QStringLiteral("App48.png")),
                                       "png")) {
        report(QStringLiteral("cannot write App48.png"));
        ++g_failures;
    }
    // The menu's icon in the sizes of the desktop's icon theme, when a folder is given.
    if (!g_iconDir.isEmpty())
        for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
            const QString folder = QStringLiteral("%1/%2x%2/apps").arg(g_iconDir).arg(size);
            if (!QDir().mkpath(folder)
                || !renderIcon(size, paintApp)
                        .save(folder + QStringLiteral("/quillmark.png"), "png")) {
                report(QStringLiteral("cannot write the %1 px menu icon").arg(size));
                ++g_failures;
            }
        }
    writeIcon(QStringLiteral("Chat.ico"), paintChat);
    writeIcon(QStringLiteral("Network.ico"), paintNetwork);

    writeBitmap(QStringLiteral("HintAccount.bmp"),
                makeHint(QStringLiteral("还没有帐户，"), QStringLiteral("请点击下面的“新增帐户”按钮"),
                         QStringLiteral("添加第一个帐户")));
    writeBitmap(QStringLiteral("HintCustomer.bmp"),
                makeHint(QStringLiteral("还没有客户，"), QStringLiteral("请点击下面的“新增客户”按钮"),
                         QStringLiteral("添加第一个客户")));
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);

    const QStringList args = QGuiApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: makepics <output folder> [<menu icon folder>]\n");
        return 2;
    }
    g_outDir = QDir(args.at(1)).absolutePath();
    if (args.size() > 2)
        g_iconDir = QDir(args.at(2)).absolutePath();
    if (!QDir().mkpath(g_outDir)) {
        report(QStringLiteral("cannot create folder %1").arg(g_outDir));
        return 1;
    }

    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    if (!writable.contains("ico")) {
        report(QStringLiteral("Qt's ICO image plugin (qico) is not available; "
                              "install it or set QT_PLUGIN_PATH so that imageformats/qico can be found"));
        return 1;
    }
    if (!writable.contains("bmp")) {
        report(QStringLiteral("Qt cannot write BMP pictures"));
        return 1;
    }

    makeAll();

    if (g_failures > 0) {
        report(QStringLiteral("%1 picture(s) could not be written").arg(g_failures));
        return 1;
    }
    return 0;
}
