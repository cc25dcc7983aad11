#pragma once

#include <QPoint>
#include <QPointF>

// Web-Mercator conversions between geographic coordinates (x longitude, y latitude, degrees),
// world pixels at a zoom level (origin at the north-west corner of the world) and tile numbers.
namespace qmapcontrol::Mercator {

constexpr int DefaultTileSize = 256;
// The latitude at which the square Web-Mercator world ends.
constexpr double MaxLatitude = 85.05112877980659;

double worldSize(int zoom, int tileSize = DefaultTileSize);
QPointF coordinateToPixel(const QPointF& coordinate, int zoom, int tileSize = DefaultTileSize);
QPointF pixelToCoordinate(const QPointF& pixel, int zoom, int tileSize = DefaultTileSize);
// Number of the tile holding `coordinate`, clamped to the tiles that exist at `zoom`.
QPoint tileAt(const QPointF& coordinate, int zoom);
double metresPerPixel(double latitude, int zoom, int tileSize = DefaultTileSize);

} // namespace qmapcontrol::Mercator
