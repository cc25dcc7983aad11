#pragma once

#include "qnmeapositioninfo.h"
#include "tripitem.h"

#include <QJsonObject>
#include <QMetaType>

#include <vector>

// Figures of one trip: how far, how long and how fast it was driven. Speeds in m/s, distance in
// metres; views convert. Needs no display, so a command line can print it (toJson).
//
// Every clock second of the drive counts once: where an event recording covers seconds that an
// ordinary clip covers too, the ordinary clip's records count and the event's are left out.
// Only records with a GPS fix are measurements; the substitutes and estimates that fill holes
// count for nothing. Records inside a marked gap (between PositionGapBegin and PositionGapEnd,
// or VideoGapBegin and VideoGapEnd) are left out. Inside one recording every leg between two
// consecutive fixes is driven distance, straight across any hole; a leg across a pause between
// videos is bridged distance, counted apart; a leg from one recording into the next counts when
// it spans at most LongGapSeconds. Inside a hole of at most LongGapSeconds the speed runs
// straight from the fix before to the fix after.
struct TripStatistics
{
    static constexpr double MovingSpeed = 3.0 / 3.6; // m/s; slower is standing
    static constexpr int StopSeconds = 5;            // standing this long after driving is a stop
    static constexpr int LongGapSeconds = 5;

    // Metres between consecutive fixes: inside a recording every leg, also across a stretch
    // without a fix; between recordings the legs of one continuous drive.
    double distance = 0.0;
    // Metres of the legs across pauses between videos (bridged gaps), not part of `distance`.
    double bridgedDistance = 0.0;
    qint64 drivingSeconds = 0; // seconds at MovingSpeed or faster
    double maxSpeed = 0.0;     // m/s; 0 without any measured speed
    double averageSpeed = 0.0; // m/s while moving: distance / driving time; 0 without driving
    int stops = 0;
    int events = 0;     // event recordings of the trip
    qint64 seconds = 0; // clock seconds covered by records, each counted once

    // From the assembled records of a trip (one per second, in timeline order). The trip tells
    // which recordings are events; without it a record's file name does (its "EVENT" folder).
    static TripStatistics fromPositions(const std::vector<QNmeaPositionInfo>& positions,
                                        const Trip::TripList* trip = nullptr);

    // Keys: distanceMetres, bridgedDistanceMetres, drivingSeconds, maxSpeedMetresPerSecond,
    // averageSpeedMetresPerSecond, stops, events, seconds.
    QJsonObject toJson() const;

    static void registerMetaTypes();
};

Q_DECLARE_METATYPE(TripStatistics)
