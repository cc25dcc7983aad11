#pragma once

#include "tripclock.h"

#include <QCoreApplication>
#include <QGeoCoordinate>
#include <QString>
#include <QStringList>
#include <QVector>

// Circles around places a driver does not want to publish, such as home. No export shows a
// position inside one: the records there lose their coordinates and keep their time, speed and
// fix marker, so tracks leave those seconds out (CSV keeps the row without coordinates) and data
// bands show "position hidden".
class PrivacyZones
{
    Q_DECLARE_TR_FUNCTIONS(PrivacyZones)
public:
    struct Zone
    {
        double latitude = 0.0;
        double longitude = 0.0;
        double radiusMetres = 0.0;
    };

    PrivacyZones() = default;
    explicit PrivacyZones(QVector<Zone> zones) : m_zones(std::move(zones)) {}

    // "LAT,LON,RADIUS_M" in decimal degrees and metres; false with the problem in `error`.
    static bool parse(const QString& text, Zone& zone, QString* error = nullptr);
    static QString toText(const Zone& zone);
    // The zones kept in the settings, one "LAT,LON,RADIUS_M" each; bad entries are skipped.
    static PrivacyZones fromStrings(const QStringList& texts);
    QStringList toStrings() const;

    void add(const Zone& zone) { m_zones.append(zone); }
    const QVector<Zone>& zones() const { return m_zones; }
    bool isEmpty() const { return m_zones.isEmpty(); }
    bool contains(const QGeoCoordinate& coordinate) const;

    // The records with the coordinates inside a zone removed; `positions` itself when no record
    // lies inside one (or there are no zones).
    PositionsPtr redact(const PositionsPtr& positions) const;
    // A record whose position a zone hid: it has a fix but no coordinate.
    static bool isHidden(const QNmeaPositionInfo& record);

    // The zones of the settings key.
    static PrivacyZones stored();
    static void store(const PrivacyZones& zones);

private:
    QVector<Zone> m_zones;
};
