#pragma once

#include "qnmeapositioninfo.h"
#include "tripitem.h"
#include "triptimeline.h"

#include <QDateTime>

#include <memory>
#include <vector>

using PositionsPtr = std::shared_ptr<const std::vector<QNmeaPositionInfo>>;

// The recording's own clock time at a position of a trip's timeline.
class TripClock
{
public:
    TripClock() = delete;

    // From the position record of that second when it has a time, else from the start time in
    // the name of the file shown there. A wall-clock value held as UTC; invalid when neither
    // is known.
    static QDateTime at(const Trip::TripList& trip, const TripTimeline& timeline,
                        const PositionsPtr& positions, qint64 positionMs);
    static QDateTime at(const Trip::TripList& trip, const PositionsPtr& positions, qint64 positionMs)
    {
        return at(trip, TripTimeline(trip), positions, positionMs);
    }
    // A file named by a clock time: "2024-06-01_14-03-12.png" for `suffix` "png".
    static QString fileName(const QDateTime& clock, const QString& suffix);
};
