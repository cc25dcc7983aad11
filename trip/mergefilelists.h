#pragma once

#include "tripitem.h"

namespace Trip {

// Groups recordings into trips. Both inputs are sorted by path.
class MergeFileLists
{
public:
    MergeFileLists() = delete;

    // Consumes `ordinary` and `events`; `trips` is replaced unless both are empty.
    static void merge(TripList& ordinary, TripList& events, Trips& trips);

    // Splits every trip, in place, wherever two neighbouring files are not continuous in time.
    static void checkTripsConsistency(Trips& trips);

    // b may follow a directly: it starts neither before a nor more than 1000 ms after a's end.
    static bool isContinuous(const TripItem& a, const TripItem& b);
};

} // namespace Trip
