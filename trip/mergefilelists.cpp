#include "mergefilelists.h"

#include "nmeacompanionfamily.h"
#include "tripfile.h"

#include <QFileInfo>

namespace Trip {

namespace {

constexpr qint64 ContinuitySlackMs = 1000;

QString runOf(const TripItem& item)
{
    if (!item.run.isEmpty())
        return item.run;
    const QFileInfo info(item.videoFile);
    return info.absolutePath() + QLatin1Char('/') + info.fileName().left(3);
}

qint64 startMs(const TripItem& item)
{
    return startOf(item).toMSecsSinceEpoch();
}

// Inserts an event whose start lies within the trip's first and last start.
void insertInside(TripList& trip, TripItem event, qint64 eventStart)
{
    for (auto it = trip.begin(); it != trip.end(); ++it) {
        const qint64 itemStart = startMs(*it);
        if (itemStart > eventStart) {
            trip.insert(it, std::move(event));
            return;
        }
        if (itemStart == eventStart) {
            const bool itemOlder =
                QFileInfo(it->videoFile).lastModified() < QFileInfo(event.videoFile).lastModified();
            trip.insert(itemOlder ? it + 1 : it, std::move(event));
            return;
        }
    }
    trip.push_back(std::move(event));
}

bool placeEvent(Trips& trips, TripItem& event)
{
    const qint64 eventStart = startMs(event);
    for (TripList& trip : trips) {
        if (trip.empty())
            continue;
        const qint64 first = startMs(trip.front());
        const qint64 last = startMs(trip.back());
        if (eventStart < first) {
            if (first <= eventStart + event.duration + ContinuitySlackMs) {
                trip.insert(trip.begin(), std::move(event));
                return true;
            }
        } else if (last < eventStart) {
            if (MergeFileLists::isContinuous(trip.back(), event)) {
                trip.push_back(std::move(event));
                return true;
            }
        } else {
            insertInside(trip, std::move(event), eventStart);
            return true;
        }
    }
    return false;
}

} // namespace

bool MergeFileLists::isContinuous(const TripItem& a, const TripItem& b)
{
    const qint64 startA = startMs(a);
    const qint64 startB = startMs(b);
    return startB <= startA + a.duration + ContinuitySlackMs && startA <= startB;
}

void MergeFileLists::merge(TripList& ordinary, TripList& events, Trips& trips)
{
    if (ordinary.empty() && events.empty())
        return;
    trips.clear();

    auto begin = ordinary.begin();
    while (begin != ordinary.end()) {
        const QString run = runOf(*begin);
        auto end = begin + 1;
        while (end != ordinary.end() && runOf(*end) == run)
            ++end;
        TripList items(std::make_move_iterator(begin), std::make_move_iterator(end));
        if (!items.front().camera.isEmpty() && items.front().camera != Camera::NmeaCompanionFamily::Id) {
            // Other cameras number no drives: a pause between two recordings ends a trip.
            Trips parts{std::move(items)};
            checkTripsConsistency(parts);
            for (TripList& part : parts)
                trips.push_back(std::move(part));
        } else {
            trips.push_back(std::move(items));
        }
        begin = end;
    }
    ordinary.clear();

    // Repeated passes: an event that fitted nowhere may fit a trip that another event has extended.
    TripList leftovers;
    while (!events.empty()) {
        leftovers.clear();
        bool placed = false;
        for (TripItem& event : events) {
            if (placeEvent(trips, event))
                placed = true;
            else
                leftovers.push_back(std::move(event));
        }
        events.clear();
        if (!placed)
            break;
        events.swap(leftovers);
    }

    if (!leftovers.empty()) {
        Trips orphans{std::move(leftovers)};
        checkTripsConsistency(orphans);
        for (TripList& trip : orphans)
            trips.push_back(std::move(trip));
    }
}

void MergeFileLists::checkTripsConsistency(Trips& trips)
{
    for (std::size_t t = 0; t < trips.size(); ++t) {
        if (trips[t].size() < 2)
            continue;
        for (std::size_t i = 0; i + 1 < trips[t].size(); ++i) {
            if (!isContinuous(trips[t][i], trips[t][i + 1])) {
                TripList& trip = trips[t];
                TripList tail(std::make_move_iterator(trip.begin() + i + 1),
                              std::make_move_iterator(trip.end()));
                trip.erase(trip.begin() + i + 1, trip.end());
                trips.insert(trips.begin() + t + 1, std::move(tail));
                break;
            }
        }
    }
}

} // namespace Trip
