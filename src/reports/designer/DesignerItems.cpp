// The band and element items of the designer's page.
#include "DesignerItems.h"

#include "FormDesigner.h"
#include "Look.h"
#include "ReportRenderer.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPathStroker>

#include <algorithm>
#include <cmath>

namespace {

constexpr double Grid = 0.5;          // mm: where the mouse puts things
constexpr double HandleSize = 1.6;    // mm
constexpr double EdgeGrab = 1.2;      // mm above a band's bottom edge that resizes it
constexpr double TextPadding = ReportTextPadding;

double snap(double v)
{
    return std::round(v / Grid) * Grid;
}

// Points are drawn at their size on paper: the painter's units are millimetres, a font's
// points count in the device's pixels, so text is drawn in a frame scaled to pixels.
double pixelsPerMm(const QPainter *painter)
{
    const QPaintDevice *device = painter->device();
    return (device ? device->logicalDpiY() : 96) / 25.4;
}

void drawTextMm(QPainter *painter, const QRectF &rect, const QFont &font, int flags,
                const QString &text, bool elide)
{
    const double k = pixelsPerMm(painter);
    painter->save();
    painter->scale(1 / k, 1 / k);
    painter->setFont(font);
    const QRectF r(rect.x() * k, rect.y() * k, rect.width() * k, rect.height() * k);
    const QString shown =
        elide ? QFontMetricsF(font, painter->device()).elidedText(text, Qt::ElideRight, r.width())
              : text;
    painter->drawText(r, flags, shown);
    painter->restore();
}

int alignmentOf(const ReportElement &e)
{
    const int h = e.align == HAlign::Center ? Qt::AlignHCenter
        : e.align == HAlign::Right          ? Qt::AlignRight
                                            : Qt::AlignLeft;
    const int v = e.valign == VAlign::Top ? Qt::AlignTop
        : e.valign == VAlign::Bottom      ? Qt::AlignBottom
                                          : Qt::AlignVCenter;
    return h | v;
}

} // namespace

QString BandCaption(BandKind kind)
{
    switch (kind) {
    case BandKind::ReportTitle:
        return QStringLiteral("报表标题");
    case BandKind::PageHeader:
        return QStringLiteral("页眉");
    case BandKind::ColumnHeader:
        return QStringLiteral("列标题");
    case BandKind::Detail:
        return QStringLiteral("明细");
    case BandKind::Summary:
        return QStringLiteral("合计");
    case BandKind::PageFooter:
        return QStringLiteral("页脚");
    }
    return QString();
}

// ---------------------------------------------------------------- band

TBandItem::TBandItem(TFormDesigner *designer, BandKind kind) : m_designer(designer), m_kind(kind)
{
    setAcceptHoverEvents(true);
}

void TBandItem::SetGeometry(double width, double height, double leftMargin)
{
    prepareGeometryChange();
    m_width = width;
    m_height = height;
    m_leftMargin = leftMargin;
    m_dragHeight = height;
}

void TBandItem::SetCurrent(bool current)
{
    m_current = current;
    update();
}

QRectF TBandItem::boundingRect() const
{
    const double left = -m_leftMargin - LabelWidth;
    return QRectF(left, 0, m_width - left, std::max(m_height, m_dragHeight) + 0.5);
}

void TBandItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double height = m_resizing ? m_dragHeight : m_height;
    const QRectF area(0, 0, m_width, height);
    painter->fillRect(area, m_current ? QColor(232, 240, 255) : QColor(250, 250, 250));
    QPen edge(QColor(120, 140, 180), 0, Qt::DashLine);
    edge.setCosmetic(true);
    painter->setPen(edge);
    painter->drawLine(area.bottomLeft(), area.bottomRight());

    // The band's name in the column left of the page.
    const QRectF tag(-m_leftMargin - LabelWidth, 0, LabelWidth - 2, std::min(height, 6.0));
    painter->fillRect(tag, m_current ? QColor(70, 110, 190) : QColor(150, 160, 180));
    painter->setPen(Qt::white);
    QFont font = ProgramFont();
    font.setPointSizeF(9);
    drawTextMm(painter, tag, font, Qt::AlignCenter, BandCaption(m_kind), true);
}

bool TBandItem::onBottomEdge(const QPointF &at) const
{
    return at.x() >= 0 && at.y() >= m_height - EdgeGrab && at.y() <= m_height + 0.5;
}

void TBandItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    setCursor(onBottomEdge(event->pos()) ? Qt::SizeVerCursor : Qt::ArrowCursor);
}

void TBandItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_resizing = onBottomEdge(event->pos());
    m_dragHeight = m_height;
    m_designer->BandClicked(m_kind);
    event->accept();
}

void TBandItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_resizing)
        return;
    prepareGeometryChange();
    m_dragHeight = std::max(TFormDesigner::MinBandHeight, snap(event->pos().y()));
    update();
}

void TBandItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *)
{
    if (!m_resizing)
        return;
    m_resizing = false;
    if (m_dragHeight != m_height)
        m_designer->SetBandHeight(m_kind, m_dragHeight);
    update();
}

// ---------------------------------------------------------------- element

TElementItem::TElementItem(TFormDesigner *designer, int band, int index)
    : m_designer(designer), m_band(band), m_index(index)
{
    // Not focusable: Tab leaves the page for the panel; PgDn and PgUp select in the page.
    setFlags(ItemIsMovable | ItemIsSelectable | ItemSendsGeometryChanges);
    setAcceptHoverEvents(true);
}

void TElementItem::SetElement(const ReportElement &element, const QSizeF &bandSize)
{
    prepareGeometryChange();
    m_element = element;
    m_bandSize = bandSize;
    m_size = element.rect.size();
    // Placed as stored, even where the band has since become smaller.
    setFlag(ItemSendsGeometryChanges, false);
    setPos(element.rect.topLeft());
    setFlag(ItemSendsGeometryChanges, true);
    update();
}

QRectF TElementItem::boundingRect() const
{
    const double m = HandleSize;
    return QRectF(QPointF(0, 0), m_size).normalized().adjusted(-m, -m, m, m);
}

QPainterPath TElementItem::shape() const
{
    QPainterPath path;
    if (m_element.kind == ElementKind::Line) {
        path.moveTo(0, 0);
        path.lineTo(m_size.width(), m_size.height());
        QPainterPathStroker stroker;
        stroker.setWidth(HandleSize);
        path = stroker.createStroke(path);
    } else {
        path.addRect(QRectF(QPointF(0, 0), m_size));
    }
    if (isSelected())
        for (const QPointF &h : handles())
            path.addRect(QRectF(h - QPointF(HandleSize / 2, HandleSize / 2),
                                QSizeF(HandleSize, HandleSize)));
    return path;
}

QList<QPointF> TElementItem::handles() const
{
    const double w = m_size.width(), h = m_size.height();
    if (m_element.kind == ElementKind::Line)
        return {QPointF(0, 0), QPointF(), QPointF(), QPointF(), QPointF(w, h)};
    return {QPointF(0, 0), QPointF(w / 2, 0), QPointF(w, 0), QPointF(w, h / 2),
            QPointF(w, h),  QPointF(w / 2, h), QPointF(0, h), QPointF(0, h / 2)};
}

int TElementItem::handleAt(const QPointF &at) const
{
    if (!isSelected())
        return -1;
    const QList<QPointF> points = handles();
    for (int i = 0; i < points.size(); ++i) {
        if (m_element.kind == ElementKind::Line && i != 0 && i != 4)
            continue;
        if (QRectF(points[i] - QPointF(HandleSize / 2, HandleSize / 2),
                   QSizeF(HandleSize, HandleSize)).contains(at))
            return i;
    }
    return -1;
}

void TElementItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF box(QPointF(0, 0), m_size);
    const ReportElement &e = m_element;
    QPen pen(Qt::black, std::max(e.lineWidth, 0.05));
    switch (e.kind) {
    case ElementKind::Text: {
        QFont font = e.fontFamily.isEmpty() ? ProgramFont() : QFont(e.fontFamily);
        font.setPointSizeF(e.fontSize > 0 ? e.fontSize : 10);
        font.setBold(e.bold);
        painter->setPen(Qt::black);
        int flags = alignmentOf(e);
        if (e.wrap)
            flags |= Qt::TextWordWrap;
        drawTextMm(painter, box.adjusted(TextPadding, 0, -TextPadding, 0), font, flags, e.text,
                   !e.wrap);
        // A text without a frame still shows where its box is, faintly.
        QPen faint(QColor(190, 190, 190), 0, Qt::DotLine);
        faint.setCosmetic(true);
        painter->setPen(faint);
        painter->drawRect(box);
        break;
    }
    case ElementKind::Line:
        painter->setPen(pen);
        painter->drawLine(QPointF(0, 0), QPointF(m_size.width(), m_size.height()));
        break;
    case ElementKind::Rect:
        painter->setPen(pen);
        painter->drawRect(box);
        break;
    case ElementKind::Picture: {
        const QImage image = m_designer->Picture(e.text);
        if (image.isNull()) {
            painter->fillRect(box, QColor(235, 235, 235));
            painter->setPen(Qt::darkGray);
            QFont font = ProgramFont();
            font.setPointSizeF(8);
            drawTextMm(painter, box, font, Qt::AlignCenter,
                       QStringLiteral("图片 ") + e.text, true);
        } else {
            QSizeF size = image.size();
            size.scale(box.size(), Qt::KeepAspectRatio);
            const QRectF at(box.center() - QPointF(size.width() / 2, size.height() / 2), size);
            painter->drawImage(at, image);
        }
        break;
    }
    }
    if (e.kind == ElementKind::Text || e.kind == ElementKind::Picture) {
        painter->setPen(pen);
        DrawFrameSides(painter, box, e.frame);
    }
    if (isSelected()) {
        QPen outline(QColor(30, 90, 220), 0, Qt::DashLine);
        outline.setCosmetic(true);
        painter->setPen(outline);
        painter->setBrush(Qt::NoBrush);
        if (e.kind != ElementKind::Line) {
            painter->fillRect(box, QColor(30, 90, 220, 36));
            painter->drawRect(box);
        }
        const QList<QPointF> points = handles();
        for (int i = 0; i < points.size(); ++i) {
            if (e.kind == ElementKind::Line && i != 0 && i != 4)
                continue;
            painter->fillRect(QRectF(points[i] - QPointF(HandleSize / 4, HandleSize / 4),
                                     QSizeF(HandleSize / 2, HandleSize / 2)),
                              QColor(30, 90, 220));
        }
    }
}

QVariant TElementItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemPositionChange) {
        // Kept inside its band, on the grid.
        QPointF at = value.toPointF();
        const double maxX = std::max(0.0, m_bandSize.width() - m_size.width());
        const double maxY = std::max(0.0, m_bandSize.height() - m_size.height());
        at.setX(std::clamp(snap(at.x()), 0.0, maxX));
        at.setY(std::clamp(snap(at.y()), 0.0, maxY));
        return at;
    }
    if (change == ItemSelectedHasChanged)
        prepareGeometryChange();
    return QGraphicsItem::itemChange(change, value);
}

void TElementItem::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    static const Qt::CursorShape shapes[] = {Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                             Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                                             Qt::SizeFDiagCursor, Qt::SizeVerCursor,
                                             Qt::SizeBDiagCursor, Qt::SizeHorCursor};
    const int h = handleAt(event->pos());
    setCursor(h >= 0 ? shapes[h] : Qt::SizeAllCursor);
}

void TElementItem::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_handle = event->button() == Qt::LeftButton ? handleAt(event->pos()) : -1;
    m_pressRect = CurrentRect();
    if (m_handle >= 0) {
        event->accept();
        return;
    }
    QGraphicsItem::mousePressEvent(event);
}

void TElementItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_handle < 0) {
        QGraphicsItem::mouseMoveEvent(event);
        return;
    }
    const QPointF p = mapToParent(event->pos());
    const double x = std::clamp(snap(p.x()), 0.0, m_bandSize.width());
    const double y = std::clamp(snap(p.y()), 0.0, m_bandSize.height());
    double left = m_pressRect.left(), top = m_pressRect.top();
    double right = m_pressRect.right(), bottom = m_pressRect.bottom();
    const int h = m_handle;
    if (h == 0 || h == 6 || h == 7)
        left = std::min(x, right);
    if (h == 2 || h == 3 || h == 4)
        right = std::max(x, left);
    if (h == 0 || h == 1 || h == 2)
        top = std::min(y, bottom);
    if (h == 4 || h == 5 || h == 6)
        bottom = std::max(y, top);
    prepareGeometryChange();
    m_size = QSizeF(right - left, bottom - top);
    setFlag(ItemSendsGeometryChanges, false);
    setPos(left, top);
    setFlag(ItemSendsGeometryChanges, true);
    update();
}

void TElementItem::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_handle < 0)
        QGraphicsItem::mouseReleaseEvent(event);
    m_handle = -1;
    m_designer->GeometryChanged();
}
