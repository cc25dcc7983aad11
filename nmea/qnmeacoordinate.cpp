#include "qnmeacoordinate.h"

#include "utilities.h"

#include <cmath>

QNmeaCoordinate::QNmeaCoordinate(double latitude, double longitude) : QGeoCoordinate(latitude, longitude) {}

QNmeaCoordinate::QNmeaCoordinate(const QGeoCoordinate& other) : QGeoCoordinate(other) {}

QNmeaCoordinate::~QNmeaCoordinate() = default;

bool QNmeaCoordinate::isExtendedValid() const
{
    if (!isValid())
        return false;
    const double lat = latitude();
    const double lon = longitude();
    return (lat < -0.01 || lat > 0.01) && (lon < -0.01 || lon > 0.01);
}

QNmeaCoordinate QNmeaCoordinate::fromString(const QString& lat, const QString& latHemisphere,
                                            const QString& lon, const QString& lonHemisphere)
{
    return QNmeaCoordinate(toDecimal(lat, latHemisphere), toDecimal(lon, lonHemisphere));
}

QNmeaCoordinate QNmeaCoordinate::fromText(std::string_view lat, std::string_view latHemisphere,
                                          std::string_view lon, std::string_view lonHemisphere)
{
    return QNmeaCoordinate(toDecimal(Utilities::secureStod(lat), latHemisphere),
                           toDecimal(Utilities::secureStod(lon), lonHemisphere));
}

double QNmeaCoordinate::toDecimal(const QString& value, const QString& hemisphere)
{
    const QByteArray text = value.toUtf8();
    const QByteArray side = hemisphere.toUtf8();
    return toDecimal(Utilities::secureStod(std::string_view(text.constData(), std::size_t(text.size()))),
                     std::string_view(side.constData(), std::size_t(side.size())));
}

double QNmeaCoordinate::toDecimal(double value, std::string_view hemisphere)
{
    const double degrees = std::trunc(value / 100.0);
    const double result = degrees + (value - 100.0 * degrees) / 60.0;
    return (hemisphere == "S" || hemisphere == "W") ? -result : result;
}
