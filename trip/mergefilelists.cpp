#include "mergefilelists.h"

#include "tripfile.h"

#include <QFileInfo>

namespace Trip {

namespace {

constexpr qint64 ContinuitySlackMs = 1000;

bool sameRecordingRun(const QFileInfo& head, const QString& videoFile)
{
    const QFileInfo info(videoFile);
    return info.absolutePath() == head.absolutePath() && info.fileName().left(3) == head.fileName().left(3);
}

// Inserts an event whose start lies within the trip's first and last start.
void insertInside(TripList& trip, TripItem event, const QString& eventStart)
{
    for (auto it = trip.begin(); it != trip.end(); ++it) {
        const QString itemStart = startTimeString(it->videoFile);
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
    const QString eventStart = startTimeString(event.videoFile);
    for (TripList& trip : trips) {
        if (trip.empty())
            continue;
        const QString first = startTimeString(trip.front().videoFile);
        const QString last = startTimeString(trip.back().videoFile);
        if (eventStart < first) {
            if (startMSecs(trip.front().videoFile) <=
                startMSecs(event.videoFile) + event.duration + ContinuitySlackMs) {
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
    const qint64 startA = startMSecs(a.videoFile);
    const qint64 startB = startMSecs(b.videoFile);
    return startB <= startA + a.duration + ContinuitySlackMs && startA <= startB;
}

void MergeFileLists::merge(TripList& ordinary, TripList& events, Trips& trips)
{
    if (ordinary.empty() && events.empty())
        return;
    trips.clear();

    auto begin = ordinary.begin();
    while (begin != ordinary.end()) {
        const QFileInfo head(begin->videoFile);
        auto end = begin + 1;
        while (end != ordinary.end() && sameRecordingRun(head, end->videoFile))
            ++end;
        trips.emplace_back(std::make_move_iterator(begin), std::make_move_iterator(end));
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
