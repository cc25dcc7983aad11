#include "commandlinelist.h"

#include "trackexport.h"
#include "tripfile.h"

#include <QJsonArray>
#include <QSet>

#include <cmath>

namespace {

constexpr double KmhPerMps = 3.6;
constexpr double DrivingSpeed = 3.0 / KmhPerMps; // m/s
constexpr int StopSeconds = 5;

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

QJsonObject CommandLineList::statistics(const Trip::TripList& trip, const PositionsPtr& positions)
{
    double distance = 0.0;
    qint64 drivingSeconds = 0;
    double topSpeed = 0.0;
    int stops = 0;
    if (positions) {
        QSet<qint64> seconds;
        const QNmeaPositionInfo* previousFix = nullptr;
        bool drove = false;
        int slowRun = 0;
        for (const QNmeaPositionInfo& record : *positions) {
            const QDateTime clock = record.timestamp();
            if (clock.isValid()) {
                const qint64 second = QDateTime(clock.date(), clock.time(), Qt::UTC).toSecsSinceEpoch();
                if (seconds.contains(second))
                    continue;
                seconds.insert(second);
            }
            const bool afterGap = record.marker(QNmeaPositionInfo::PositionGapEnd) ||
                                  record.marker(QNmeaPositionInfo::VideoGapEnd);
            if (afterGap) {
                previousFix = nullptr;
                slowRun = 0;
            }
            if (TrackExport::hasFix(record)) {
                if (previousFix)
                    distance += previousFix->coordinate().distanceTo(record.coordinate());
                previousFix = &record;
            }
            const double speed = record.attribute(QNmeaPositionInfo::GroundSpeed);
            if (std::isnan(speed))
                continue;
            topSpeed = std::max(topSpeed, speed);
            if (speed >= DrivingSpeed) {
                ++drivingSeconds;
                drove = true;
                slowRun = 0;
            } else if (drove && ++slowRun == StopSeconds) {
                ++stops;
            }
        }
    }
    int events = 0;
    for (const Trip::TripItem& item : trip)
        events += item.isEvent ? 1 : 0;

    QJsonObject result;
    result.insert(QStringLiteral("distance_m"), rounded(distance, 1));
    result.insert(QStringLiteral("driving_time_s"), drivingSeconds);
    result.insert(QStringLiteral("max_speed_kmh"), rounded(topSpeed * KmhPerMps, 1));
    result.insert(QStringLiteral("average_moving_speed_kmh"),
                  drivingSeconds > 0 ? rounded(distance / double(drivingSeconds) * KmhPerMps, 1) : 0.0);
    result.insert(QStringLiteral("stops"), stops);
    result.insert(QStringLiteral("events"), events);
    return result;
}

QJsonObject CommandLineList::toJson(const CommandLineTrips& found)
{
    TripPositions positions(found.trips());
    QJsonArray trips;
    int number = 0;
    for (const Trip::TripList& trip : found.trips()) {
        QJsonArray files;
        qint64 duration = 0;
        int events = 0;
        for (const Trip::TripItem& item : trip) {
            duration += item.duration;
            events += item.isEvent ? 1 : 0;
            files.append(QJsonObject{{QStringLiteral("video"), item.videoFile},
                                     {QStringLiteral("nmea"), item.nmeaFile},
                                     {QStringLiteral("duration_ms"), item.duration},
                                     {QStringLiteral("event"), item.isEvent}});
        }
        const QDateTime start = Trip::startTime(trip.front().videoFile);
        trips.append(QJsonObject{
            {QStringLiteral("trip"), ++number},
            {QStringLiteral("start"), start.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))},
            {QStringLiteral("duration_ms"), duration},
            {QStringLiteral("events"), events},
            {QStringLiteral("statistics"), statistics(trip, positions.assemble(trip))},
            {QStringLiteral("files"), files},
        });
    }
    QJsonArray skipped;
    for (const CommandLineTrips::Skipped& file : found.skipped())
        skipped.append(
            QJsonObject{{QStringLiteral("file"), file.file}, {QStringLiteral("reason"), file.reason}});
    return QJsonObject{{QStringLiteral("trips"), trips}, {QStringLiteral("skipped"), skipped}};
}
