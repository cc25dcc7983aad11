#pragma once

#include "commandlinetrips.h"
#include "tripdata.h"

#include <QJsonObject>

// The trips of `--list` as JSON: start (as the file name records it, without a zone; as the UTC
// instant, `start_utc`; and as the local time the offset gives, with the offset, `clock_start`),
// length, events, statistics and files of each trip, and the files that were left out with the
// reason.
class CommandLineList
{
public:
    CommandLineList() = delete;

    static QJsonObject toJson(const CommandLineTrips& found, qint64 clockOffsetSeconds = 0);

    // Figures of one drive: distance, bridged distance, driving time, top and average moving
    // speed, stops, events. Every clock second counts once (an event recording repeats seconds
    // of the ordinary ones); legs across a pause between videos are bridged distance.
    static QJsonObject statistics(const TripData& data);
};
