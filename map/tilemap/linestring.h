#pragma once

#include "geometry.h"

#include <QList>
#include <QPainterPath>
#include <QPointer>

namespace qmapcontrol {

class Point;

// A polyline through points, drawn with the geometry's pen. The line adopts the points that
// have no parent yet (they are deleted with it); a point already owned elsewhere, for example
// shared with a neighbouring line, stays with its owner and simply drops out when deleted.
class LineString : public Geometry
{
    Q_OBJECT

public:
    explicit LineString(const QList<Point*>& points = {}, const QString& name = QString(),
                        const QPen& pen = QPen());
    ~LineString() override;

    QList<Point*> points() const;
    int numberOfPoints() const { return points().size(); }
    void addPoint(Point* point);
    void setPoints(const QList<Point*>& points);

    void draw(QPainter& painter, const MapAdapter& adapter, const QRectF& viewport) override;

    // The line in display pixels of `adapter`; vertices closer than a pixel to the previous one
    // are left out. Rebuilt only when the zoom or a point changes.
    QPainterPath displayPath(const MapAdapter& adapter);

private:
    void invalidate();

    QList<QPointer<Point>> m_points;
    QPainterPath m_path;
    int m_pathZoom = -1;
    int m_pathTileSize = 0;
};

} // namespace qmapcontrol
