#include "tripstatistics.h"

#include "tripfile.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// A clock second as a number, without a time-zone lookup: local wall-clock time as recorded.
qint64 clockSecond(const QDateTime& timestamp)
{
    return timestamp.date().toJulianDay() * 86400 + timestamp.time().msecsSinceStartOfDay() / 1000;
}

struct Counted
{
    qint64 second;
    const QNmeaPositionInfo* record;
};

bool startsGap(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::PositionGapBegin) ||
           record.marker(QNmeaPositionInfo::VideoGapBegin);
}

bool endsGap(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::PositionGapEnd) || record.marker(QNmeaPositionInfo::VideoGapEnd);
}

bool isFix(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::Fix) && record.coordinate().isValid();
}

// The records that count, one per clock second, in time order: ordinary clips first, then
// the seconds that only an event recording covers.
std::vector<Counted> countedRecords(const std::vector<QNmeaPositionInfo>& positions,
                                    const std::function<bool(const QString&)>& isEvent)
{
    std::vector<Counted> counted;
    counted.reserve(positions.size());
    QSet<qint64> seen;
    for (bool eventPass : {false, true}) {
        for (const QNmeaPositionInfo& record : positions) {
            if (!record.timestamp().isValid() || isEvent(record.fileName()) != eventPass)
                continue;
            const qint64 second = clockSecond(record.timestamp());
            if (seen.contains(second))
                continue;
            seen.insert(second);
            counted.push_back({second, &record});
        }
    }
    std::stable_sort(counted.begin(), counted.end(),
                     [](const Counted& a, const Counted& b) { return a.second < b.second; });
    return counted;
}

} // namespace

TripStatistics TripStatistics::fromPositions(const std::vector<QNmeaPositionInfo>& positions,
                                             const Trip::TripList* trip)
{
    TripStatistics result;
    std::function<bool(const QString&)> isEvent;
    if (trip) {
        QSet<QString> eventFiles;
        for (const Trip::TripItem& item : *trip) {
            if (item.isEvent) {
                eventFiles.insert(item.videoFile);
                ++result.events;
            }
        }
        isEvent = [eventFiles](const QString& file) { return eventFiles.contains(file); };
    } else {
        QSet<QString> eventFiles;
        for (const QNmeaPositionInfo& record : positions) {
            if (Trip::isEventFile(record.fileName()))
                eventFiles.insert(record.fileName());
        }
        result.events = eventFiles.size();
        isEvent = [](const QString& file) { return Trip::isEventFile(file); };
    }

    const std::vector<Counted> counted = countedRecords(positions, isEvent);

    // One speed per second of the drive where it is known; `joined` says whether the second
    // follows the previous one without a gap.
    struct Speed
    {
        double value;
        bool joined;
    };
    std::vector<Speed> speeds;
    speeds.reserve(counted.size());

    bool inGap = false;
    bool broken = true;   // nothing to join the next fix to
    bool bridged = false; // a pause between two videos lies since the last fix
    const Counted* previousFix = nullptr;
    for (const Counted& entry : counted) {
        const QNmeaPositionInfo& record = *entry.record;
        if (inGap && !endsGap(record))
            continue;
        ++result.seconds;
        if (endsGap(record)) {
            inGap = false;
            broken = true;
        }
        if (record.marker(QNmeaPositionInfo::VideoGapEnd))
            bridged = true;
        if (isFix(record)) {
            const qint64 step = previousFix ? entry.second - previousFix->second : 0;
            const bool joined = previousFix && !broken && step > 0 && step <= LongGapSeconds;
            if (previousFix && step > 0) {
                // Inside one recording the car covered at least the straight line between two
                // fixes, however long the stretch without a fix; across a pause between videos
                // the line is a guess and counts apart.
                const double leg = previousFix->record->coordinate().distanceTo(record.coordinate());
                if (bridged)
                    result.bridgedDistance += leg;
                else if (joined || previousFix->record->fileName() == record.fileName())
                    result.distance += leg;
            }
            bridged = false;
            const double speed = record.attribute(QGeoPositionInfo::GroundSpeed);
            if (!std::isnan(speed)) {
                const double before =
                    previousFix ? previousFix->record->attribute(QGeoPositionInfo::GroundSpeed) : qQNaN();
                if (joined && !std::isnan(before)) {
                    // The seconds of a short hole, on the straight line between the two fixes.
                    for (qint64 s = 1; s < step; ++s)
                        speeds.push_back({before + (speed - before) * double(s) / double(step), true});
                }
                speeds.push_back({speed, joined && !std::isnan(before)});
                result.maxSpeed = std::max(result.maxSpeed, speed);
            }
            previousFix = &entry;
            broken = false;
        }
        if (startsGap(record)) {
            inGap = true;
            broken = true;
        }
        if (record.marker(QNmeaPositionInfo::VideoGapBegin))
            bridged = true;
    }

    bool driven = false;
    int slow = 0;
    for (const Speed& speed : speeds) {
        if (!speed.joined)
            slow = 0;
        if (speed.value >= MovingSpeed) {
            ++result.drivingSeconds;
            driven = true;
            slow = 0;
        } else if (driven && ++slow == StopSeconds) {
            ++result.stops;
            driven = false;
        }
    }
    if (result.drivingSeconds > 0)
        result.averageSpeed = result.distance / double(result.drivingSeconds);
    return result;
}

QJsonObject TripStatistics::toJson() const
{
    return QJsonObject{{QStringLiteral("distanceMetres"), distance},
                       {QStringLiteral("drivingSeconds"), double(drivingSeconds)},
                       {QStringLiteral("maxSpeedMetresPerSecond"), maxSpeed},
                       {QStringLiteral("averageSpeedMetresPerSecond"), averageSpeed},
                       {QStringLiteral("bridgedDistanceMetres"), bridgedDistance},
                       {QStringLiteral("stops"), stops},
                       {QStringLiteral("events"), events},
                       {QStringLiteral("seconds"), double(seconds)}};
}

void TripStatistics::registerMetaTypes()
{
    static const int id = qRegisterMetaType<TripStatistics>("TripStatistics");
    Q_UNUSED(id)
}
