#include "tilemapadapter.h"

#include "mercator.h"

namespace qmapcontrol {

TileMapAdapter::TileMapAdapter(const QString& host, const QString& serverPath, int tileSize, int minZoom,
                               int maxZoom, QObject* parent)
    : MapAdapter(host, serverPath, tileSize, minZoom, maxZoom, parent)
{}

QPointF TileMapAdapter::coordinateToDisplay(const QPointF& coordinate) const
{
    return Mercator::coordinateToPixel(coordinate, currentZoom(), tilesize());
}

QPointF TileMapAdapter::displayToCoordinate(const QPointF& point) const
{
    return Mercator::pixelToCoordinate(point, currentZoom(), tilesize());
}

QString TileMapAdapter::query(int x, int y, int z) const
{
    return serverPath().arg(QString::number(z), QString::number(x), QString::number(y));
}

} // namespace qmapcontrol
