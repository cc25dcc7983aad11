#include "routegeometry.h"

#include "mapadapter.h"

#include <QPainter>

#include <algorithm>

namespace {

bool apart(const QPointF& a, const QPointF& b)
{
    return (a - b).manhattanLength() >= 1.0;
}

// Whether the segment may show inside `area`.
bool touches(const QPointF& a, const QPointF& b, const QRectF& area)
{
    return std::max(a.x(), b.x()) >= area.left() && std::min(a.x(), b.x()) <= area.right() &&
           std::max(a.y(), b.y()) >= area.top() && std::min(a.y(), b.y()) <= area.bottom();
}

} // namespace

RouteGeometry::RouteGeometry(std::shared_ptr<const Route> route, QObject* parent)
    : Geometry(QString(), parent), m_route(std::move(route))
{}

const std::vector<QPointF>& RouteGeometry::displayPoints(const qmapcontrol::MapAdapter& adapter)
{
    if (m_zoom == adapter.currentZoom() && m_tileSize == adapter.tilesize())
        return m_display;
    const std::vector<QPointF>& vertices = m_route->vertices();
    m_display.resize(vertices.size());
    m_kept.clear();
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        m_display[i] = adapter.coordinateToDisplay(vertices[i]);
        if (m_kept.empty() || apart(m_display[i], m_display[std::size_t(m_kept.back())]))
            m_kept.push_back(int(i));
    }
    m_zoom = adapter.currentZoom();
    m_tileSize = adapter.tilesize();
    return m_display;
}

void RouteGeometry::draw(QPainter& painter, const qmapcontrol::MapAdapter& adapter, const QRectF& viewport)
{
    displayPoints(adapter);
    m_route->parts(m_parts, m_current);
    painter.setBrush(Qt::NoBrush);
    for (const Route::Part& part : m_parts)
        drawPart(painter, adapter, part, viewport);
    m_drawnSecond = int(m_current);
}

void RouteGeometry::drawPart(QPainter& painter, const qmapcontrol::MapAdapter& adapter,
                             const Route::Part& part, const QRectF& viewport)
{
    m_line.clear();
    const auto append = [this](const QPointF& p) {
        if (m_line.isEmpty() || apart(p, m_line.last()))
            m_line.append(p);
    };
    if (part.hasLead)
        append(adapter.coordinateToDisplay(part.lead));
    if (part.begin < part.end) {
        append(m_display[std::size_t(part.begin)]);
        for (auto it = std::upper_bound(m_kept.begin(), m_kept.end(), part.begin);
             it != m_kept.end() && *it < part.end - 1; ++it)
            append(m_display[std::size_t(*it)]);
        // The part ends exactly at its last point, where the next part may begin.
        const QPointF& last = m_display[std::size_t(part.end - 1)];
        if (part.end - 1 > part.begin) {
            if (m_line.size() > 1 && !apart(last, m_line.last()))
                m_line.last() = last;
            else
                append(last);
        }
    }
    if (m_line.isEmpty())
        return;

    const qreal margin = part.pen->widthF() + 1;
    const QRectF area = viewport.adjusted(-margin, -margin, margin, margin);
    painter.setPen(*part.pen);
    if (m_line.size() == 1) {
        // A single point still shows as a dot of the pen's width.
        if (area.contains(m_line.first()))
            painter.drawPoint(m_line.first());
        return;
    }
    // One polyline per stretch in view, so that overlapping half-transparent segments of one
    // stretch are not painted twice.
    int start = -1;
    const int count = m_line.size();
    for (int i = 0; i + 1 < count; ++i) {
        if (touches(m_line[i], m_line[i + 1], area)) {
            if (start < 0)
                start = i;
        } else if (start >= 0) {
            painter.drawPolyline(m_line.constData() + start, i - start + 1);
            start = -1;
        }
    }
    if (start >= 0)
        painter.drawPolyline(m_line.constData() + start, count - start);
}
