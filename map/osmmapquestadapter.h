#pragma once

#include "tilemapadapter.h"

#include <utility>

// The street-map tile source: 256-pixel tiles, zoom 0 to 17, from the configured tile server.
// The URL template (%1 zoom, %2 x, %3 y) comes from the environment variable
// TARROW_TILE_SERVER, else from the setting "TileServer", else the public OpenStreetMap tiles.
class OSMMapQuestAdapter : public qmapcontrol::TileMapAdapter
{
    Q_OBJECT

public:
    static const QString DefaultTileServer;
    static const char* const TileServerVariable;

    explicit OSMMapQuestAdapter(QObject* parent = nullptr);

    // The first usable template of the environment, the settings and the default.
    static QString tileServer();
    static QString chooseTileServer(const QString& environment, const QString& setting);
    // Splits "http(s)://authority/path" into host and path; false unless the template is such a
    // URL whose path holds %1, %2 and %3.
    static bool splitTileServer(const QString& url, QString& host, QString& path);

private:
    OSMMapQuestAdapter(const std::pair<QString, QString>& hostAndPath, QObject* parent);
    static std::pair<QString, QString> hostAndPath();
};
