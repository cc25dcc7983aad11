#pragma once

#include "tripitem.h"

#include <cstddef>
#include <vector>

// The files of a trip laid end to end on one timeline in milliseconds from the start of the
// first file. Every part of the program that turns a trip position into a file, a time within
// a file or a second of the trip's records asks this class, so that all agree.
class TripTimeline
{
public:
    // The part of file `index` between `fromMs` and `toMs`, both within the file.
    struct Piece
    {
        int index = -1;
        qint64 fromMs = 0;
        qint64 toMs = 0;
    };

    TripTimeline() = default;
    explicit TripTimeline(const Trip::TripList& trip);

    int count() const { return static_cast<int>(m_ends.size()); }
    qint64 duration() const { return m_ends.empty() ? 0 : m_ends.back(); }
    // Start of file `index` on the timeline.
    qint64 offset(int index) const;
    qint64 fileDuration(int index) const { return offset(index + 1) - offset(index); }

    // The file shown at `position` (clamped to the timeline); a position exactly at the end of
    // a file shows that file's last frame, so it belongs to that file. Files without length
    // hold no position. -1 for a timeline without length.
    int indexAt(qint64 position) const;
    int fileAt(qint64 position) const { return indexAt(position); }
    // Time within the file `indexAt(position)`.
    qint64 timeInFile(qint64 position) const;

    // [fromMs, toMs], clamped to the timeline, cut into one piece per file it touches. The range
    // starts in the file that begins at `fromMs` and ends in the file that ends at `toMs`, so a
    // range that starts or ends on a file boundary takes nothing of the neighbouring file.
    std::vector<Piece> pieces(qint64 fromMs, qint64 toMs) const;

    // The second of the trip a position lies in: record i of the trip's per-second records
    // covers [i s, i+1 s). Positions before the start belong to second 0.
    static qint64 secondAt(qint64 position);
    // The record of `count` per-second records shown at `position`: its second, or the last
    // record once the position has passed it. -1 without records.
    static int recordAt(qint64 position, std::size_t count);

private:
    std::vector<qint64> m_ends;
};
