#include "point.h"

#include "mapadapter.h"

#include <QPainter>

namespace qmapcontrol {

Point::Point(qreal x, qreal y, const QString& name, Alignment alignment)
    : Geometry(name), m_coordinate(x, y), m_alignment(alignment)
{}

void Point::setCoordinate(const QPointF& coordinate)
{
    if (coordinate != m_coordinate) {
        m_coordinate = coordinate;
        emit changed();
    }
}

QPointF Point::alignedTopLeft(const QPointF& p, const QSizeF& size, Alignment alignment)
{
    const qreal w = size.width();
    const qreal h = size.height();
    switch (alignment) {
    case TopLeft:
        return p;
    case TopRight:
        return {p.x() - w, p.y()};
    case TopMiddle:
        return {p.x() - w / 2, p.y()};
    case BottomLeft:
        return {p.x(), p.y() - h};
    case BottomRight:
        return {p.x() - w, p.y() - h};
    case BottomMiddle:
        return {p.x() - w / 2, p.y() - h};
    case Middle:
        break;
    }
    return {p.x() - w / 2, p.y() - h / 2};
}

QRectF Point::displayRect(const MapAdapter& adapter) const
{
    const QSizeF size = m_pixmap.size() / m_pixmap.devicePixelRatioF();
    return {alignedTopLeft(adapter.coordinateToDisplay(m_coordinate), size, m_alignment), size};
}

void Point::draw(QPainter& painter, const MapAdapter& adapter, const QRectF& viewport)
{
    if (m_pixmap.isNull()) {
        return;
    }
    const QRectF rect = displayRect(adapter);
    if (rect.intersects(viewport)) {
        // Whole pixels keep the image sharp.
        painter.drawPixmap(rect.topLeft().toPoint(), m_pixmap);
    }
}

} // namespace qmapcontrol
