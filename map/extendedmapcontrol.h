#pragma once

#include "mapcontrol.h"

#include <QPoint>

// The map view of the program: 390 × 288 to begin with, panned by dragging, scale shown, and
// zoomed one level per vertical wheel step. It tells a click from a drag: the pointer may move a
// few pixels between press and release and still click, without panning the map.
class ExtendedMapControl : public qmapcontrol::MapControl
{
    Q_OBJECT

public:
    // How far the pointer may move, in pixels, between press and release of a click.
    static constexpr int ClickTolerance = 4;

    ExtendedMapControl();
    ~ExtendedMapControl() override;

signals:
    // The left button was pressed and released at `position` without dragging.
    void clicked(const QPoint& position);
    // The user began to pan the map by dragging.
    void dragStarted();

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_pressed = false;
    bool m_dragged = false;
    QPoint m_pressPosition;
};
