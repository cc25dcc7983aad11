#pragma once

#include <QObject>
#include <QPointF>
#include <QString>
#include <QUrl>

namespace qmapcontrol {

// A tile source: where its tiles are, how they are numbered and how coordinates map to
// display pixels at the current zoom level. Display pixels count from the north-west corner
// of the whole world, so they do not depend on any view.
class MapAdapter : public QObject
{
    Q_OBJECT

public:
    ~MapAdapter() override = default;

    QString host() const { return m_host; }
    QString serverPath() const { return m_serverPath; }
    int tilesize() const { return m_tileSize; }
    int minZoom() const { return m_minZoom; }
    int maxZoom() const { return m_maxZoom; }
    int currentZoom() const { return m_zoom; }

    virtual QPointF coordinateToDisplay(const QPointF& coordinate) const = 0;
    virtual QPointF displayToCoordinate(const QPointF& point) const = 0;
    // The request path (and query) of one tile.
    virtual QString query(int x, int y, int z) const = 0;

    QUrl tileUrl(int x, int y, int z) const;
    bool isTileValid(int x, int y, int z) const;

protected:
    MapAdapter(QString host, QString serverPath, int tileSize, int minZoom, int maxZoom,
               QObject* parent = nullptr);

private:
    friend class MapControl;
    void setZoom(int zoom);

    QString m_host;
    QString m_serverPath;
    int m_tileSize;
    int m_minZoom;
    int m_maxZoom;
    int m_zoom;
};

} // namespace qmapcontrol
