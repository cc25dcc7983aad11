#include "commandlinelist.h"

#include "channelpairing.h"
#include "nmealog.h"
#include "tripfile.h"
#include "triplistingcache.h"
#include "tripsession.h"
#include "tripstatistics.h"
#include "units.h"

#include <QJsonArray>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

constexpr double KmhPerMps = 3.6;

int fileCount(const Trip::TripList& trip)
{
    int count = 0;
    for (const Trip::TripItem& item : trip)
        count += 1 + int(item.channels.size());
    return count;
}

double rounded(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

QJsonObject CommandLineList::statistics(const TripData& data)
{
    const Trip::TripList& trip = data.trip();
    TripStatistics figures;
    if (data.statistics())
        figures = *data.statistics();
    else
        figures.events = int(
            std::count_if(trip.begin(), trip.end(), [](const Trip::TripItem& item) { return item.isEvent; }));
    QJsonObject result;
    result.insert(QStringLiteral("distance_m"), rounded(figures.distance, 1));
    result.insert(QStringLiteral("bridged_distance_m"), rounded(figures.bridgedDistance, 1));
    result.insert(QStringLiteral("driving_time_s"), figures.drivingSeconds);
    result.insert(QStringLiteral("max_speed_kmh"), rounded(figures.maxSpeed * KmhPerMps, 1));
    result.insert(QStringLiteral("average_moving_speed_kmh"), rounded(figures.averageSpeed * KmhPerMps, 1));
    result.insert(QStringLiteral("stops"), figures.stops);
    result.insert(QStringLiteral("events"), figures.events);
    return result;
}

QJsonObject CommandLineList::toJson(const CommandLineTrips& found, qint64 clockOffsetSeconds)
{
    const QString format = QStringLiteral("yyyy-MM-ddTHH:mm:ss");
    // Trips listed before come from the cache; the position files of the others are read once,
    // each trip assembled from them.
    TripListingCache cache;
    std::vector<std::optional<TripListingCache::Listing>> listings;
    TripSession session;
    QStringList nmeaFiles;
    for (const Trip::TripList& trip : found.trips()) {
        TripListingCache::Listing listing;
        if (cache.lookup(trip, listing) && listing.positions.size() == fileCount(trip)) {
            qCDebug(lcNmea).noquote() << "trip of" << trip.front().videoFile << "listed from the cache";
            listings.emplace_back(std::move(listing));
            continue;
        }
        listings.emplace_back();
        for (const Trip::TripItem& item : trip) {
            nmeaFiles << item.nmeaFile;
            for (const Trip::TripItem& other : item.channels)
                nmeaFiles << other.nmeaFile;
        }
    }
    nmeaFiles.removeAll(QString());
    if (!nmeaFiles.isEmpty())
        session.parseNow(nmeaFiles);
    QJsonArray trips;
    int number = 0;
    for (const Trip::TripList& trip : found.trips()) {
        const std::optional<TripListingCache::Listing>& cached = listings[std::size_t(number)];
        TripListingCache::Listing listing;
        QJsonArray files;
        qint64 duration = 0;
        int events = 0;
        QStringList channels;
        // Every channel's file, each after the main channel's file it recorded with.
        const auto addFile = [&](const Trip::TripItem& item) {
            if (!channels.contains(item.channel))
                channels << item.channel;
            const int positions =
                cached ? cached->positions.at(files.size()) : session.positionsIn(item.nmeaFile);
            listing.positions << positions;
            files.append(QJsonObject{
                {QStringLiteral("video"), item.videoFile},
                {QStringLiteral("nmea"), item.nmeaFile},
                {QStringLiteral("duration_ms"), item.duration},
                {QStringLiteral("event"), item.isEvent},
                {QStringLiteral("channel"), item.channel},
                {QStringLiteral("telemetry"),
                 QJsonObject{{QStringLiteral("source"),
                              Camera::sourceName(item.nmeaFile.isEmpty() ? Camera::TelemetrySource::None
                                                                         : item.telemetry)},
                             {QStringLiteral("samples"), positions}}}});
        };
        for (const Trip::TripItem& item : trip) {
            duration += item.duration;
            events += item.isEvent ? 1 : 0;
            addFile(item);
            for (const Trip::TripItem& other : item.channels)
                addFile(other);
        }
        // The main channel first, then by the channels' order.
        std::stable_sort(channels.begin() + 1, channels.end(), [](const QString& a, const QString& b) {
            return Trip::ChannelPairing::rank(a) < Trip::ChannelPairing::rank(b);
        });
        if (cached) {
            listing.statistics = cached->statistics;
        } else {
            listing.statistics = statistics(*session.load(trip));
            cache.store(trip, listing);
        }
        const QDateTime start = Trip::startOf(trip.front());
        trips.append(QJsonObject{
            {QStringLiteral("trip"), ++number},
            {QStringLiteral("camera"), trip.front().camera},
            {QStringLiteral("channels"), QJsonArray::fromStringList(channels)},
            {QStringLiteral("start"), start.toString(format)},
            {QStringLiteral("start_utc"), Units::utcIsoText(start)},
            {QStringLiteral("clock_start"), Units::clockIsoText(start, clockOffsetSeconds)},
            {QStringLiteral("duration_ms"), duration},
            {QStringLiteral("events"), events},
            {QStringLiteral("statistics"), listing.statistics},
            {QStringLiteral("files"), files},
        });
    }
    cache.save();
    QJsonArray skipped;
    for (const CommandLineTrips::Skipped& file : found.skipped())
        skipped.append(
            QJsonObject{{QStringLiteral("file"), file.file}, {QStringLiteral("reason"), file.reason}});
    return QJsonObject{{QStringLiteral("trips"), trips}, {QStringLiteral("skipped"), skipped}};
}
