#include "mapadapter.h"

#include <algorithm>

#include <utility>

namespace qmapcontrol {

MapAdapter::MapAdapter(QString host, QString serverPath, int tileSize, int minZoom, int maxZoom,
                       QObject* parent)
    : QObject(parent), m_host(std::move(host)), m_serverPath(std::move(serverPath)), m_tileSize(tileSize),
      m_minZoom(std::min(minZoom, maxZoom)), m_maxZoom(std::max(minZoom, maxZoom)), m_zoom(m_minZoom)
{}

QUrl MapAdapter::tileUrl(int x, int y, int z) const
{
    return QUrl(m_host + query(x, y, z));
}

bool MapAdapter::isTileValid(int x, int y, int z) const
{
    if (z < m_minZoom || z > m_maxZoom) {
        return false;
    }
    const int count = 1 << z;
    return x >= 0 && y >= 0 && x < count && y < count;
}

void MapAdapter::setZoom(int zoom)
{
    m_zoom = std::clamp(zoom, m_minZoom, m_maxZoom);
}

} // namespace qmapcontrol
