#include "triptimeline.h"

#include <algorithm>

TripTimeline::TripTimeline(const Trip::TripList& trip)
{
    m_ends.reserve(trip.size());
    qint64 end = 0;
    for (const Trip::TripItem& item : trip) {
        end += item.duration;
        m_ends.push_back(end);
    }
}

qint64 TripTimeline::offset(int index) const
{
    if (index <= 0 || m_ends.empty()) {
        return 0;
    }
    return m_ends[std::min<std::size_t>(static_cast<std::size_t>(index), m_ends.size()) - 1];
}

int TripTimeline::indexAt(qint64 position) const
{
    if (m_ends.empty()) {
        return -1;
    }
    position = qBound<qint64>(0, position, duration());
    const auto it = std::lower_bound(m_ends.begin(), m_ends.end(), position);
    return static_cast<int>(it - m_ends.begin());
}

qint64 TripTimeline::timeInFile(qint64 position) const
{
    const int index = indexAt(position);
    return index < 0 ? 0 : qBound<qint64>(0, position, duration()) - offset(index);
}
