#pragma once

#include <QImage>
#include <QString>

// Map tiles as the map has kept them in its disk cache, read without the network: for pictures
// made away from the map view, such as the route map of a clip exported with data. A tile that
// was never seen is a null image.
class CachedTiles
{
public:
    CachedTiles() = delete;

    // Tile (x, y) at zoom `zoom` of the configured tile server.
    static QImage tile(int zoom, int x, int y);
    // The same from a cache folder and a URL template (%1 zoom, %2 x, %3 y).
    static QImage fromCache(const QString& cacheFolder, const QString& urlTemplate, int zoom, int x, int y);
};
