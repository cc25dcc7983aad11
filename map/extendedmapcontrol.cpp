#include "extendedmapcontrol.h"

#include <QWheelEvent>

#include <cstdlib>

ExtendedMapControl::ExtendedMapControl() : MapControl(QSize(390, 288), Panning, true, false, nullptr) {}

ExtendedMapControl::~ExtendedMapControl() = default;

void ExtendedMapControl::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    // Horizontal scrolling belongs to whoever holds the map; an event without any turn (the end
    // of a touchpad gesture) is no request to zoom out.
    if (std::abs(delta.x()) > std::abs(delta.y()) || delta.isNull()) {
        event->ignore();
        return;
    }
    if (delta.y() > 0) {
        zoomIn();
    } else {
        zoomOut();
    }
    event->accept();
}
