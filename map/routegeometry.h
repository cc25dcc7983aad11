#pragma once

#include "geometry.h"
#include "route.h"

#include <QPolygonF>

#include <memory>
#include <vector>

// The route of a trip on a map layer, drawn as it stands at one second of playback. The display
// pixels of its points are worked out once per zoom level; points closer than a pixel to the
// one before are drawn as one, and stretches outside the view are not drawn at all.
class RouteGeometry : public qmapcontrol::Geometry
{
    Q_OBJECT

public:
    explicit RouteGeometry(std::shared_ptr<const Route> route, QObject* parent = nullptr);

    const Route& route() const { return *m_route; }
    unsigned current() const { return m_current; }
    // Moves the split between the driven part and the part ahead. Whether that is worth a
    // repaint is the caller's decision.
    void setCurrent(unsigned second) { m_current = second; }
    // The second of the last drawing; -1 before the first.
    int drawnSecond() const { return m_drawnSecond; }

    // Display pixels of every vertex of the route at the adapter's zoom level.
    const std::vector<QPointF>& displayPoints(const qmapcontrol::MapAdapter& adapter);

    void draw(QPainter& painter, const qmapcontrol::MapAdapter& adapter, const QRectF& viewport) override;

private:
    void drawPart(QPainter& painter, const qmapcontrol::MapAdapter& adapter, const Route::Part& part,
                  const QRectF& viewport);

    std::shared_ptr<const Route> m_route;
    unsigned m_current = 0;
    int m_drawnSecond = -1;

    int m_zoom = -1;
    int m_tileSize = 0;
    std::vector<QPointF> m_display;
    // Vertices at least a pixel away from the vertex kept before them in their piece, ascending.
    std::vector<int> m_kept;

    // Reused from one drawing to the next.
    std::vector<Route::Part> m_parts;
    QPolygonF m_line;
};
