#pragma once

#include "tripitem.h"

#include <vector>

// The files of a trip laid end to end on one timeline in milliseconds.
class TripTimeline
{
public:
    TripTimeline() = default;
    explicit TripTimeline(const Trip::TripList& trip);

    int count() const { return static_cast<int>(m_ends.size()); }
    qint64 duration() const { return m_ends.empty() ? 0 : m_ends.back(); }
    // Start of file `index` on the timeline.
    qint64 offset(int index) const;
    qint64 fileDuration(int index) const { return offset(index + 1) - offset(index); }

    // The file that holds `position` (clamped to the timeline); a position exactly at the
    // end of a file belongs to that file. -1 for an empty timeline.
    int indexAt(qint64 position) const;
    // Time within the file `indexAt(position)`.
    qint64 timeInFile(qint64 position) const;

private:
    std::vector<qint64> m_ends;
};
