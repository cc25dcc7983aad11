#include "osmmapquestadapter.h"

#include "zelcfg.h"

#include "zelsettings.h"

const QString OSMMapQuestAdapter::DefaultTileServer =
    QStringLiteral("https://tile.openstreetmap.org/%1/%2/%3.png");
const char* const OSMMapQuestAdapter::TileServerVariable = "TARROW_TILE_SERVER";

OSMMapQuestAdapter::OSMMapQuestAdapter(QObject* parent) : OSMMapQuestAdapter(hostAndPath(), parent) {}

OSMMapQuestAdapter::OSMMapQuestAdapter(const std::pair<QString, QString>& hostAndPath, QObject* parent)
    : TileMapAdapter(hostAndPath.first, hostAndPath.second, 256, 0, 17, parent)
{}

std::pair<QString, QString> OSMMapQuestAdapter::hostAndPath()
{
    std::pair<QString, QString> result;
    splitTileServer(tileServer(), result.first, result.second);
    return result;
}

QString OSMMapQuestAdapter::tileServer()
{
    QString environment = qEnvironmentVariable(TileServerVariable);
    QString host;
    QString path;
    if (splitTileServer(environment, host, path)) {
        return environment;
    }
    return chooseTileServer(environment, ZelSettings::value(ZelSettings::TileServer).toString());
}

QString OSMMapQuestAdapter::chooseTileServer(const QString& environment, const QString& setting)
{
    QString host;
    QString path;
    for (const QString& candidate : {environment.trimmed(), setting.trimmed()}) {
        if (splitTileServer(candidate, host, path)) {
            return candidate;
        }
    }
    return DefaultTileServer;
}

bool OSMMapQuestAdapter::splitTileServer(const QString& url, QString& host, QString& path)
{
    const int schemeEnd = url.indexOf(QStringLiteral("://"));
    if (schemeEnd < 0) {
        return false;
    }
    const QString scheme = url.left(schemeEnd).toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        return false;
    }
    const int pathStart = url.indexOf(QLatin1Char('/'), schemeEnd + 3);
    if (pathStart <= schemeEnd + 3) {
        return false;
    }
    const QString tail = url.mid(pathStart);
    for (const char* placeholder : {"%1", "%2", "%3"}) {
        if (!tail.contains(QLatin1String(placeholder))) {
            return false;
        }
    }
    host = url.left(pathStart);
    path = tail;
    return true;
}
