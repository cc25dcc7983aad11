#include "linestring.h"

#include "mapadapter.h"
#include "point.h"

#include <QPainter>

namespace qmapcontrol {

LineString::LineString(const QList<Point*>& points, const QString& name, const QPen& pen) : Geometry(name)
{
    setPen(pen);
    setPoints(points);
}

LineString::~LineString()
{
    // The adopted points go with the line; they must not report to it while it is half gone.
    for (const QPointer<Point>& point : qAsConst(m_points)) {
        if (point) {
            point->disconnect(this);
        }
    }
}

QList<Point*> LineString::points() const
{
    QList<Point*> list;
    list.reserve(m_points.size());
    for (const QPointer<Point>& point : m_points) {
        if (point) {
            list.append(point.data());
        }
    }
    return list;
}

void LineString::addPoint(Point* point)
{
    if (!point) {
        return;
    }
    if (!point->parent()) {
        point->setParent(this);
    }
    m_points.append(point);
    connect(point, &Geometry::changed, this, &LineString::invalidate);
    connect(point, &QObject::destroyed, this, &LineString::invalidate);
    invalidate();
}

void LineString::setPoints(const QList<Point*>& points)
{
    for (const QPointer<Point>& point : qAsConst(m_points)) {
        if (point) {
            point->disconnect(this);
            if (point->parent() == this) {
                delete point.data();
            }
        }
    }
    m_points.clear();
    for (Point* point : points) {
        addPoint(point);
    }
    invalidate();
}

void LineString::invalidate()
{
    m_pathZoom = -1;
    emit changed();
}

QPainterPath LineString::displayPath(const MapAdapter& adapter)
{
    if (m_pathZoom == adapter.currentZoom() && m_pathTileSize == adapter.tilesize()) {
        return m_path;
    }
    m_path = QPainterPath();
    QPointF last;
    for (const QPointer<Point>& point : qAsConst(m_points)) {
        if (!point) {
            continue;
        }
        const QPointF p = adapter.coordinateToDisplay(point->coordinate());
        if (m_path.elementCount() == 0) {
            m_path.moveTo(p);
        } else if ((p - last).manhattanLength() >= 1.0) {
            m_path.lineTo(p);
        } else {
            continue;
        }
        last = p;
    }
    m_pathZoom = adapter.currentZoom();
    m_pathTileSize = adapter.tilesize();
    return m_path;
}

void LineString::draw(QPainter& painter, const MapAdapter& adapter, const QRectF& viewport)
{
    const QPainterPath path = displayPath(adapter);
    if (path.elementCount() == 0) {
        return;
    }
    const qreal margin = pen().widthF() + 1;
    if (!path.controlPointRect().adjusted(-margin, -margin, margin, margin).intersects(viewport)) {
        return;
    }
    painter.setPen(pen());
    painter.setBrush(Qt::NoBrush);
    if (path.elementCount() == 1) {
        // A single vertex still shows as a dot of the pen's width.
        painter.drawPoint(path.elementAt(0));
    } else {
        painter.drawPath(path);
    }
}

} // namespace qmapcontrol
