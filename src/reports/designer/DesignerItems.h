// What the designer's page is made of: a band (its Chinese name at the left of the page,
// its height dragged at its bottom edge) and an element of a band (moved with the mouse,
// resized at its handles). Scene units are millimetres; the items only show the template,
// every change goes back to the designer, which makes it an undoable step.
#pragma once

#include "ReportTemplate.h"

#include <QGraphicsItem>

class TFormDesigner;

// 报表标题, 页眉, 列标题, 明细, 合计, 页脚.
QString BandCaption(BandKind kind);

class TBandItem : public QGraphicsItem
{
public:
    // The width of the column at the page's left that holds the band names, in mm.
    static constexpr double LabelWidth = 22;

    TBandItem(TFormDesigner *designer, BandKind kind);

    BandKind Kind() const { return m_kind; }
    // Its width and height in mm, and how far the page's edge lies left of it.
    void SetGeometry(double width, double height, double leftMargin);
    void SetCurrent(bool current);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    bool onBottomEdge(const QPointF &at) const;

    TFormDesigner *m_designer;
    BandKind m_kind;
    double m_width = 0, m_height = 0, m_leftMargin = 0;
    bool m_current = false;
    bool m_resizing = false;
    double m_dragHeight = 0;
};

class TElementItem : public QGraphicsItem
{
public:
    TElementItem(TFormDesigner *designer, int band, int index);

    int Band() const { return m_band; }
    int Index() const { return m_index; }
    // Shows the element: its place within the band, its size, what it draws.
    void SetElement(const ReportElement &element, const QSizeF &bandSize);
    const ReportElement &Element() const { return m_element; }
    // Where it stands now, in mm within its band (differs from Element().rect while the
    // user drags it).
    QRectF CurrentRect() const { return QRectF(pos(), m_size); }

    QRectF boundingRect() const override;
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option,
               QWidget *widget) override;

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    int handleAt(const QPointF &at) const;
    QList<QPointF> handles() const;

    TFormDesigner *m_designer;
    int m_band;
    int m_index;
    ReportElement m_element;
    QSizeF m_size;
    QSizeF m_bandSize;
    int m_handle = -1;   // the handle being dragged
    QRectF m_pressRect;
};
