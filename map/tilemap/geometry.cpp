#include "geometry.h"

namespace qmapcontrol {

Geometry::Geometry(const QString& name, QObject* parent) : QObject(parent), m_name(name) {}

void Geometry::setPen(const QPen& pen)
{
    m_pen = pen;
    emit changed();
}

void Geometry::setVisible(bool visible)
{
    if (visible != m_visible) {
        m_visible = visible;
        emit changed();
    }
}

} // namespace qmapcontrol
