#include "geometry.h"

#include <utility>

namespace qmapcontrol {

Geometry::Geometry(QString name, QObject* parent) : QObject(parent), m_name(std::move(name)) {}

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
