#include "triptimeline.h"

#include <algorithm>

TripTimeline::TripTimeline(const Trip::TripList& trip)
{
    m_ends.reserve(trip.size());
    qint64 end = 0;
    for (const Trip::TripItem& item : trip) {
        end += std::max<qint64>(item.duration, 0);
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
    if (duration() <= 0) {
        return -1;
    }
    position = qBound<qint64>(0, position, duration());
    // The first file ending at or after the position that has a length: at a boundary the
    // earlier file, and never a file without length.
    auto it = std::lower_bound(m_ends.begin(), m_ends.end(), position);
    int index = static_cast<int>(it - m_ends.begin());
    while (index + 1 < count() && fileDuration(index) == 0) {
        ++index;
    }
    return index;
}

qint64 TripTimeline::timeInFile(qint64 position) const
{
    const int index = indexAt(position);
    return index < 0 ? 0 : qBound<qint64>(0, position, duration()) - offset(index);
}

std::vector<TripTimeline::Piece> TripTimeline::pieces(qint64 fromMs, qint64 toMs) const
{
    const qint64 total = duration();
    if (total <= 0) {
        return {};
    }
    const qint64 from = std::clamp<qint64>(fromMs, 0, total);
    const qint64 to = std::clamp<qint64>(toMs, from, total);
    // The range starts in the file that holds `from` with a boundary going to the later file,
    // and ends in the file that holds `to` with a boundary going to the earlier one.
    const auto firstEnd = std::upper_bound(m_ends.begin(), m_ends.end(), from);
    const int first = firstEnd == m_ends.end() ? count() - 1 : static_cast<int>(firstEnd - m_ends.begin());
    const int last = std::max(first, indexAt(to));

    std::vector<Piece> result;
    for (int i = first; i <= last; ++i) {
        const qint64 length = fileDuration(i);
        if (length <= 0) {
            continue;
        }
        const qint64 start = offset(i);
        const qint64 begin = std::clamp<qint64>(from - start, 0, length);
        const qint64 end = std::clamp<qint64>(to - start, begin, length);
        result.push_back(Piece{i, begin, end});
    }
    return result;
}

qint64 TripTimeline::secondAt(qint64 position)
{
    return position > 0 ? position / 1000 : 0;
}

int TripTimeline::recordAt(qint64 position, std::size_t count)
{
    if (count == 0) {
        return -1;
    }
    return static_cast<int>(std::min<qint64>(secondAt(position), static_cast<qint64>(count) - 1));
}
