#pragma once

#include "mapcontrol.h"

// The map view of the program: 390 × 288 to begin with, panned by dragging, scale shown, and
// zoomed one level per vertical wheel step.
class ExtendedMapControl : public qmapcontrol::MapControl
{
    Q_OBJECT

public:
    ExtendedMapControl();
    ~ExtendedMapControl() override;

protected:
    void wheelEvent(QWheelEvent* event) override;
};
