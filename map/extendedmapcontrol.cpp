#include "extendedmapcontrol.h"

#include <QMouseEvent>
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

void ExtendedMapControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        m_dragged = false;
        m_pressPosition = event->pos();
    }
    MapControl::mousePressEvent(event);
}

void ExtendedMapControl::mouseMoveEvent(QMouseEvent* event)
{
    if (m_pressed && !m_dragged) {
        // A hand's tremor during a click neither pans the map nor turns the click into a drag.
        if ((event->pos() - m_pressPosition).manhattanLength() <= ClickTolerance) {
            event->accept();
            return;
        }
        m_dragged = true;
        emit dragStarted();
    }
    MapControl::mouseMoveEvent(event);
}

void ExtendedMapControl::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = m_pressed && !m_dragged && event->button() == Qt::LeftButton;
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        m_dragged = false;
    }
    MapControl::mouseReleaseEvent(event);
    if (click)
        emit clicked(m_pressPosition);
}
