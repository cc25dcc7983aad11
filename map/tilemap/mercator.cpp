#include "mercator.h"

#include <algorithm>
#include <cmath>

namespace qmapcontrol::Mercator {

namespace {
constexpr double Pi = 3.14159265358979323846;
constexpr double EarthRadius = 6378137.0;

double radians(double degrees)
{
    return degrees * Pi / 180.0;
}
} // namespace

double worldSize(int zoom, int tileSize)
{
    return std::ldexp(double(tileSize), zoom);
}

QPointF coordinateToPixel(const QPointF& coordinate, int zoom, int tileSize)
{
    const double size = worldSize(zoom, tileSize);
    const double lat = radians(std::clamp(coordinate.y(), -MaxLatitude, MaxLatitude));
    const double x = (coordinate.x() + 180.0) / 360.0 * size;
    const double y = (1.0 - std::log(std::tan(lat) + 1.0 / std::cos(lat)) / Pi) / 2.0 * size;
    return {x, y};
}

QPointF pixelToCoordinate(const QPointF& pixel, int zoom, int tileSize)
{
    const double size = worldSize(zoom, tileSize);
    const double lon = pixel.x() / size * 360.0 - 180.0;
    const double n = Pi * (1.0 - 2.0 * pixel.y() / size);
    const double lat = std::atan(std::sinh(n)) * 180.0 / Pi;
    return {lon, lat};
}

QPoint tileAt(const QPointF& coordinate, int zoom)
{
    const QPointF pixel = coordinateToPixel(coordinate, zoom, 1);
    const int last = (1 << zoom) - 1;
    return {std::clamp(int(std::floor(pixel.x())), 0, last), std::clamp(int(std::floor(pixel.y())), 0, last)};
}

double metresPerPixel(double latitude, int zoom, int tileSize)
{
    return 2.0 * Pi * EarthRadius * std::cos(radians(latitude)) / worldSize(zoom, tileSize);
}

} // namespace qmapcontrol::Mercator
