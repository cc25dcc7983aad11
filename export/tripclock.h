#pragma once

#include "trippositions.h"

#include <QDateTime>

// The recording's own clock time at a position of a trip's timeline.
class TripClock
{
public:
    TripClock() = delete;

    // From the position record of that second when it has a time, else from the start time in
    // the name of the file shown there. A wall-clock value held as UTC; invalid when neither
    // is known.
    static QDateTime at(const Trip::TripList& trip, const PositionsPtr& positions, qint64 positionMs);
};
