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
    // the name of the file shown there. The receiver's UTC, held as Qt::UTC; invalid when
    // neither is known.
    static QDateTime at(const Trip::TripList& trip, const TripTimeline& timeline,
                        const PositionsPtr& positions, qint64 positionMs);
    static QDateTime at(const Trip::TripList& trip, const PositionsPtr& positions, qint64 positionMs)
    {
        return at(trip, TripTimeline(trip), positions, positionMs);
    }
    // A file named by the local time `offsetSeconds` ahead of the recorded UTC, with that offset:
    // "2024-06-01_16-03-12+0200.png" for 14:03:12 UTC, +2 h and `suffix` "png". Names of one
    // offset sort by time; a card's file systems allow no ':' in them.
    static QString fileName(const QDateTime& recorded, qint64 offsetSeconds, const QString& suffix);
};
