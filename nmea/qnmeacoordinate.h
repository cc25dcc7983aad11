#pragma once

#include <QGeoCoordinate>
#include <QString>

#include <string_view>

// A coordinate read from NMEA text.
class QNmeaCoordinate : public QGeoCoordinate
{
public:
    QNmeaCoordinate() = default;
    QNmeaCoordinate(double latitude, double longitude);
    QNmeaCoordinate(const QGeoCoordinate& other);
    QNmeaCoordinate(const QNmeaCoordinate& other) = default;
    QNmeaCoordinate& operator=(const QNmeaCoordinate& other) = default;
    virtual ~QNmeaCoordinate();

    // Valid and not within 0.01 degrees of the equator or the prime meridian.
    bool isExtendedValid() const;

    static QNmeaCoordinate fromString(const QString& lat, const QString& latHemisphere, const QString& lon,
                                      const QString& lonHemisphere);
    static QNmeaCoordinate fromText(std::string_view lat, std::string_view latHemisphere,
                                    std::string_view lon, std::string_view lonHemisphere);

    // "ddmm.mmmm" or "dddmm.mmmm" to decimal degrees, negative for "S" and "W".
    static double toDecimal(const QString& value, const QString& hemisphere);
    static double toDecimal(double value, std::string_view hemisphere);
};
