#pragma once

#include "layer.h"

namespace qmapcontrol {

// The tiles of its adapter, with its geometries (if any) on top. Tiles that have not arrived
// or could not be fetched leave the map's background showing.
class MapLayer : public Layer
{
    Q_OBJECT

public:
    MapLayer(const QString& name, MapAdapter* adapter, QObject* parent = nullptr);

    void draw(QPainter& painter, const QRectF& viewport) override;
};

} // namespace qmapcontrol
