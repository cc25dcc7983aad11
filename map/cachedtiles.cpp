#include "cachedtiles.h"

#include "osmmapquestadapter.h"
#include "tileloader.h"

#include <QIODevice>
#include <QNetworkDiskCache>
#include <QUrl>

#include <memory>

QImage CachedTiles::tile(int zoom, int x, int y)
{
    return fromCache(qmapcontrol::TileLoader::diskCacheDirectory(), OSMMapQuestAdapter::tileServer(), zoom, x,
                     y);
}

QImage CachedTiles::fromCache(const QString& cacheFolder, const QString& urlTemplate, int zoom, int x, int y)
{
    if (cacheFolder.isEmpty())
        return QImage();
    QNetworkDiskCache cache;
    cache.setCacheDirectory(cacheFolder);
    const QUrl url(urlTemplate.arg(zoom).arg(x).arg(y));
    const std::unique_ptr<QIODevice> data(cache.data(url));
    if (!data)
        return QImage();
    // Tiles the map refuses (not an image, too large) are refused here too.
    QImage image;
    if (data->size() > qint64(2) * 1024 * 1024 || !image.loadFromData(data->readAll()) ||
        image.width() > 1024 || image.height() > 1024)
        return QImage();
    return image;
}
