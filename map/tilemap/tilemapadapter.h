#pragma once

#include "mapadapter.h"

namespace qmapcontrol {

// Square Web-Mercator tiles addressed by a path template: %1 zoom, %2 x, %3 y.
// `host` is the scheme and authority ("https://tile.example.org"), the path starts with "/".
class TileMapAdapter : public MapAdapter
{
    Q_OBJECT

public:
    TileMapAdapter(const QString& host, const QString& serverPath, int tileSize, int minZoom = 0,
                   int maxZoom = 17, QObject* parent = nullptr);

    QPointF coordinateToDisplay(const QPointF& coordinate) const override;
    QPointF displayToCoordinate(const QPointF& point) const override;
    QString query(int x, int y, int z) const override;
};

} // namespace qmapcontrol
