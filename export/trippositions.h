#pragma once

#include "nmeaparser.h"
#include "qnmeapositioninfo.h"
#include "tripitem.h"

#include <memory>
#include <vector>

using PositionsPtr = std::shared_ptr<const std::vector<QNmeaPositionInfo>>;

// The per-second records of trips, read and assembled on the calling thread exactly as the map
// assembles them for playback: record i belongs to second i of the trip's timeline.
class TripPositions
{
public:
    // Reads the position files of all `trips` once.
    explicit TripPositions(const Trip::Trips& trips);
    explicit TripPositions(const Trip::TripList& trip);

    // Null when the trip has no position data at all.
    PositionsPtr assemble(const Trip::TripList& trip);

    // True when at least one record of `positions` holds a real fix.
    static bool hasFix(const PositionsPtr& positions);

private:
    void parse(const QStringList& nmeaFiles);

    NmeaParser m_parser;
};
