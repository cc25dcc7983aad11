#include "maplayer.h"

#include "mapadapter.h"
#include "tileloader.h"

#include <QPainter>
#include <QVector>

#include <algorithm>
#include <cmath>

namespace qmapcontrol {

MapLayer::MapLayer(const QString& name, MapAdapter* adapter, QObject* parent) : Layer(name, adapter, parent)
{}

void MapLayer::draw(QPainter& painter, const QRectF& viewport)
{
    const MapAdapter* adapter = mapAdapter();
    if (adapter) {
        const int size = adapter->tilesize();
        const int zoom = adapter->currentZoom();
        const int last = (1 << zoom) - 1;
        const int left = std::max(0, int(std::floor(viewport.left() / size)));
        const int top = std::max(0, int(std::floor(viewport.top() / size)));
        const int right = std::min(last, int(std::floor(viewport.right() / size)));
        const int bottom = std::min(last, int(std::floor(viewport.bottom() / size)));

        // Ask for the tiles nearest the centre first, so they arrive first.
        QVector<QPoint> tiles;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) {
                tiles.append(QPoint(x, y));
            }
        }
        const QPointF centre = viewport.center() / size - QPointF(0.5, 0.5);
        std::sort(tiles.begin(), tiles.end(), [&centre](const QPoint& a, const QPoint& b) {
            return (QPointF(a) - centre).manhattanLength() < (QPointF(b) - centre).manhattanLength();
        });

        TileLoader* loader = TileLoader::instance();
        for (const QPoint& tile : qAsConst(tiles)) {
            const QPixmap pixmap = loader->tile(adapter->tileUrl(tile.x(), tile.y(), zoom));
            if (!pixmap.isNull()) {
                painter.drawPixmap(QRect(tile.x() * size, tile.y() * size, size, size), pixmap);
            }
        }
    }
    drawGeometries(painter, viewport);
}

} // namespace qmapcontrol
