#include "privacyzones.h"

#include "zelcfg.h"
#include "zelsettings.h"

#include <cmath>

bool PrivacyZones::parse(const QString& text, Zone& zone, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 3)
        return fail(tr("the privacy zone %1 is not LAT,LON,RADIUS_M").arg(text));
    bool ok[3] = {};
    const double lat = fields[0].trimmed().toDouble(&ok[0]);
    const double lon = fields[1].trimmed().toDouble(&ok[1]);
    const double radius = fields[2].trimmed().toDouble(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || !std::isfinite(lat) || !std::isfinite(lon) || !std::isfinite(radius))
        return fail(tr("the privacy zone %1 is not LAT,LON,RADIUS_M").arg(text));
    if (std::abs(lat) > 90.0 || std::abs(lon) > 180.0)
        return fail(tr("the privacy zone %1 lies outside the latitudes -90 to 90 and longitudes -180 to 180")
                        .arg(text));
    if (radius < 0.0)
        return fail(tr("the privacy zone %1 has a negative radius").arg(text));
    zone = Zone{lat, lon, radius};
    return true;
}

QString PrivacyZones::toText(const Zone& zone)
{
    return QStringLiteral("%1,%2,%3")
        .arg(QString::number(zone.latitude, 'f', 6), QString::number(zone.longitude, 'f', 6),
             QString::number(zone.radiusMetres, 'f', 0));
}

PrivacyZones PrivacyZones::fromStrings(const QStringList& texts)
{
    PrivacyZones zones;
    for (const QString& text : texts) {
        Zone zone;
        if (parse(text, zone))
            zones.add(zone);
    }
    return zones;
}

QStringList PrivacyZones::toStrings() const
{
    QStringList texts;
    for (const Zone& zone : m_zones)
        texts << toText(zone);
    return texts;
}

bool PrivacyZones::contains(const QGeoCoordinate& coordinate) const
{
    if (!coordinate.isValid())
        return false;
    for (const Zone& zone : m_zones) {
        const QGeoCoordinate centre(zone.latitude, zone.longitude);
        if (centre.distanceTo(coordinate) <= zone.radiusMetres)
            return true;
    }
    return false;
}

PositionsPtr PrivacyZones::redact(const PositionsPtr& positions) const
{
    if (!positions || m_zones.isEmpty())
        return positions;
    std::shared_ptr<std::vector<QNmeaPositionInfo>> copy;
    for (std::size_t i = 0; i < positions->size(); ++i) {
        if (!contains((*positions)[i].coordinate()))
            continue;
        if (!copy)
            copy = std::make_shared<std::vector<QNmeaPositionInfo>>(*positions);
        (*copy)[i].setCoordinate(QGeoCoordinate());
    }
    return copy ? PositionsPtr(copy) : positions;
}

bool PrivacyZones::isHidden(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::Fix) && !record.coordinate().isValid();
}

PrivacyZones PrivacyZones::stored()
{
    return fromStrings(ZelSettings::value(ZelSettings::PrivacyZones).toStringList());
}

void PrivacyZones::store(const PrivacyZones& zones)
{
    ZelSettings::setValue(ZelSettings::PrivacyZones, zones.toStrings());
}
