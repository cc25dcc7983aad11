#include "layer.h"

#include "geometry.h"
#include "mapadapter.h"

#include <utility>

namespace qmapcontrol {

Layer::Layer(QString name, MapAdapter* adapter, QObject* parent)
    : QObject(parent), m_name(std::move(name)), m_adapter(adapter)
{}

void Layer::setVisible(bool visible)
{
    if (visible != m_visible) {
        m_visible = visible;
        emit updateRequest();
    }
}

void Layer::addGeometry(Geometry* geometry)
{
    if (!geometry || m_geometries.contains(geometry)) {
        return;
    }
    m_geometries.append(geometry);
    connect(geometry, &Geometry::changed, this, &Layer::updateRequest);
    emit updateRequest();
}

void Layer::removeGeometry(Geometry* geometry)
{
    if (geometry && m_geometries.removeAll(geometry) > 0) {
        disconnect(geometry, &Geometry::changed, this, &Layer::updateRequest);
        emit updateRequest();
    }
}

void Layer::clearGeometries()
{
    for (const QPointer<Geometry>& geometry : qAsConst(m_geometries)) {
        if (geometry) {
            disconnect(geometry, &Geometry::changed, this, &Layer::updateRequest);
        }
    }
    m_geometries.clear();
    emit updateRequest();
}

QList<Geometry*> Layer::geometries() const
{
    QList<Geometry*> list;
    for (const QPointer<Geometry>& geometry : m_geometries) {
        if (geometry) {
            list.append(geometry.data());
        }
    }
    return list;
}

void Layer::draw(QPainter& painter, const QRectF& viewport)
{
    drawGeometries(painter, viewport);
}

void Layer::drawGeometries(QPainter& painter, const QRectF& viewport)
{
    if (!m_adapter) {
        return;
    }
    for (const QPointer<Geometry>& geometry : qAsConst(m_geometries)) {
        if (geometry && geometry->isVisible()) {
            geometry->draw(painter, *m_adapter, viewport);
        }
    }
}

} // namespace qmapcontrol
