#pragma once

#include "geometry.h"

#include <QPixmap>
#include <QPointF>

namespace qmapcontrol {

// One coordinate with a name. A plain point draws nothing by itself (it is a vertex of a
// line); an image point draws its pixmap, placed by the alignment.
class Point : public Geometry
{
    Q_OBJECT

public:
    // Which part of the pixmap sits on the coordinate.
    enum Alignment
    {
        TopLeft,
        TopRight,
        TopMiddle,
        BottomLeft,
        BottomRight,
        BottomMiddle,
        Middle
    };
    Q_ENUM(Alignment)

    Point(qreal x, qreal y, const QString& name = QString(), Alignment alignment = Middle);

    QPointF coordinate() const { return m_coordinate; }
    void setCoordinate(const QPointF& coordinate);
    qreal longitude() const { return m_coordinate.x(); }
    qreal latitude() const { return m_coordinate.y(); }
    Alignment alignment() const { return m_alignment; }
    QPixmap pixmap() const { return m_pixmap; }

    // Where the pixmap is drawn, in display pixels of `adapter`.
    QRectF displayRect(const MapAdapter& adapter) const;
    static QPointF alignedTopLeft(const QPointF& display, const QSizeF& size, Alignment alignment);

    void draw(QPainter& painter, const MapAdapter& adapter, const QRectF& viewport) override;

protected:
    void setPixmap(const QPixmap& pixmap) { m_pixmap = pixmap; }

private:
    QPointF m_coordinate;
    Alignment m_alignment;
    QPixmap m_pixmap;
};

} // namespace qmapcontrol
