#pragma once

#include "layer.h"

namespace qmapcontrol {

// A layer of lines and points only, drawn over the tiles.
class GeometryLayer : public Layer
{
    Q_OBJECT

public:
    using Layer::Layer;
};

} // namespace qmapcontrol
