#include "triprange.h"

#include <algorithm>

namespace {

// Index of the file holding `position`; at a boundary the earlier file when `atEnd`, the later
// one otherwise. -1 when no file has a length.
int fileAt(const Trip::TripList& trip, qint64 position, bool atEnd, qint64& start)
{
    int found = -1;
    qint64 offset = 0;
    for (std::size_t i = 0; i < trip.size(); ++i) {
        const qint64 length = trip[i].duration;
        if (length <= 0)
            continue;
        found = int(i);
        start = offset;
        const qint64 end = offset + length;
        if (atEnd ? position <= end : position < end)
            return found;
        offset = end;
    }
    return found;
}

qint64 offsetOf(const Trip::TripList& trip, int index)
{
    qint64 offset = 0;
    for (int i = 0; i < index; ++i)
        offset += std::max<qint64>(trip[std::size_t(i)].duration, 0);
    return offset;
}

} // namespace

qint64 TripRange::duration(const Trip::TripList& trip)
{
    return offsetOf(trip, int(trip.size()));
}

TripRange::Piece TripRange::locate(const Trip::TripList& trip, qint64 positionMs)
{
    const qint64 position = std::clamp<qint64>(positionMs, 0, duration(trip));
    qint64 start = 0;
    const int index = fileAt(trip, position, true, start);
    if (index < 0)
        return Piece();
    const qint64 inFile = std::min(position - start, trip[std::size_t(index)].duration);
    return Piece{index, inFile, inFile};
}

std::vector<TripRange::Piece> TripRange::pieces(const Trip::TripList& trip, qint64 fromMs, qint64 toMs)
{
    const qint64 total = duration(trip);
    const qint64 from = std::clamp<qint64>(fromMs, 0, total);
    const qint64 to = std::clamp<qint64>(toMs, from, total);
    qint64 firstStart = 0;
    qint64 lastStart = 0;
    const int first = fileAt(trip, from, false, firstStart);
    int last = fileAt(trip, to, true, lastStart);
    if (first < 0)
        return {};
    if (last < first)
        last = first;

    std::vector<Piece> result;
    for (int i = first; i <= last; ++i) {
        const qint64 length = trip[std::size_t(i)].duration;
        if (length <= 0)
            continue;
        const qint64 start = offsetOf(trip, i);
        const qint64 begin = std::clamp<qint64>(from - start, 0, length);
        const qint64 end = std::clamp<qint64>(to - start, begin, length);
        result.push_back(Piece{i, begin, end});
    }
    return result;
}
