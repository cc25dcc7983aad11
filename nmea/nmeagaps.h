#pragma once

#include "qnmeapositioninfo.h"
#include "tripitem.h"

#include <memory>
#include <vector>

// Gap handling on the per-second records of a trip.
namespace Nmea {

using Positions = std::vector<QNmeaPositionInfo>;

constexpr qint64 LongGapMs = 5000;
constexpr std::size_t ShortRun = 5;
constexpr qint64 LongInterpolationSec = 5;
// Longest gap that fillLongGap fills. A video lasts minutes: a longer gap inside one comes from a
// damaged or reset clock, and filling it would cost a record for each of its seconds.
constexpr qint64 LongestInterpolationSec = 3600;
constexpr double PlausibleAcceleration = 30.0;
constexpr double PlausibleStepMetres = 111.0;

// Marks pauses of more than 5 s between two videos and holes of more than 5 s in the positions.
void detectLongGaps(Positions& v, std::shared_ptr<Trip::TripList> trip);

// The value of the `index`-th (1 .. count) of `count` points spread evenly between two known
// values, which lie at 0 and count + 1.
inline double evenlyBetween(double from, double to, qint64 index, qint64 count)
{
    return from + double(index) * (to - from) / double(count + 1);
}

void fillShortGaps(Positions& v);
void fillShortSpeedGaps(Positions& v);
// Altitudes and accelerations of short holes, in trips that have acceleration data.
void fillShortAltitudeAndAccelerationGaps(Positions& v);
void fillSingleAccelerationsGap(QNmeaPositionInfo& e, const QNmeaPositionInfo& prev,
                                const QNmeaPositionInfo& next);

// Appends substitute records on the straight line between two samples more than 5 s and at most an
// hour apart.
void fillLongGap(Positions& out, const QNmeaPositionInfo& from, const QNmeaPositionInfo& to);

void fillSpeedGapsForRange(Positions& v, std::size_t first, double startValue, double endValue,
                           std::size_t count);
void fillAltitudeGapsForRange(Positions& v, std::size_t first, double startValue, double endValue,
                              std::size_t count);

// Index of the first (last) record in [first, end) with the attribute; `end` when there is none.
std::size_t findFirstValidAttribute(const Positions& v, QNmeaPositionInfo::AttributeKey attribute,
                                    std::size_t first, std::size_t end);
std::size_t findLastValidAttribute(const Positions& v, QNmeaPositionInfo::AttributeKey attribute,
                                   std::size_t first, std::size_t end);

} // namespace Nmea
