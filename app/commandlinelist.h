#pragma once

#include "commandlinetrips.h"
#include "tripdata.h"

#include <QJsonObject>

// The trips of `--list` as JSON: start, length, events, statistics and files of each trip, and
// the files that were left out with the reason.
class CommandLineList
{
public:
    CommandLineList() = delete;

    static QJsonObject toJson(const CommandLineTrips& found);

    // Figures of one drive: distance, driving time, top and average moving speed, stops, events.
    // Every clock second counts once (an event recording repeats seconds of the ordinary ones)
    // and no step is taken across a long gap.
    static QJsonObject statistics(const TripData& data);
};
