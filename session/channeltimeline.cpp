#include "channeltimeline.h"

#include "channelpairing.h"
#include "tripfile.h"

#include <algorithm>
#include <map>

namespace {

// The item's start as an instant; items without one follow on from the one before.
qint64 startMs(const Trip::TripItem& item, qint64 fallback)
{
    const QDateTime start = Trip::startOf(item);
    return start.isValid() ? start.toMSecsSinceEpoch() : fallback;
}

} // namespace

QStringList ChannelTimeline::channelsOf(const Trip::TripList& trip)
{
    // The trip's own channel is the one most of its items are in.
    std::map<QString, int> counts;
    for (const Trip::TripItem& item : trip) {
        if (!item.channel.isEmpty())
            ++counts[item.channel];
        for (const Trip::TripItem& other : item.channels) {
            if (!other.channel.isEmpty())
                counts.emplace(other.channel, 0);
        }
    }
    if (counts.size() < 2)
        return {};
    QStringList names;
    for (const auto& entry : counts)
        names << entry.first;
    const auto main = std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        if (a.second != b.second)
            return a.second < b.second;
        return Trip::ChannelPairing::rank(a.first) > Trip::ChannelPairing::rank(b.first);
    });
    std::stable_sort(names.begin(), names.end(), [&](const QString& a, const QString& b) {
        if ((a == main->first) != (b == main->first))
            return a == main->first;
        return Trip::ChannelPairing::rank(a) < Trip::ChannelPairing::rank(b);
    });
    return names;
}

ChannelTimeline::ChannelTimeline(const Trip::TripList& trip, const QString& channel) : m_channel(channel)
{
    qint64 offset = 0;
    qint64 next = 0;
    std::vector<Trip::TripItem> found;
    for (const Trip::TripItem& item : trip) {
        // The trip's own player reads the files with the engine's MP4 reader, whose clock
        // includes the time before the first picture.
        const qint64 from = startMs(item, next);
        m_trip.push_back({from, offset, std::max<qint64>(item.duration, 0)});
        offset += std::max<qint64>(item.duration, 0);
        next = from + std::max<qint64>(item.duration, 0);
        if (item.channel == channel) {
            found.push_back(item);
        }
        for (const Trip::TripItem& other : item.channels) {
            if (other.channel == channel)
                found.push_back(other);
        }
    }
    std::stable_sort(found.begin(), found.end(), [](const Trip::TripItem& a, const Trip::TripItem& b) {
        return startMs(a, 0) + a.pictureStart < startMs(b, 0) + b.pictureStart;
    });
    // The channel's player reads files whose pictures begin late with a reader whose clock
    // starts at the first picture; the others, as the trip's player does, from the file's start.
    const bool delayed = std::any_of(found.begin(), found.end(), [](const Trip::TripItem& item) {
        return item.duration > 0 && item.pictureStart > 0;
    });
    qint64 channelOffset = 0;
    for (Trip::TripItem& item : found) {
        if (item.duration <= 0)
            continue;
        item.channels.clear();
        // A clock that starts at the first picture: the pictures cover the file's length less
        // the time before the first.
        const qint64 late = delayed ? item.pictureStart : 0;
        const qint64 from = startMs(item, 0) + late;
        m_spans.push_back({from, from + std::max<qint64>(item.duration - late, 0), channelOffset});
        channelOffset += item.duration;
        m_files.push_back(std::move(item));
    }
}

qint64 ChannelTimeline::instantAt(qint64 tripPosition) const
{
    if (m_trip.empty())
        return 0;
    // The file shown at the position: at a boundary the earlier one, as the trip's timeline has it.
    auto it = std::lower_bound(
        m_trip.begin(), m_trip.end(), tripPosition,
        [](const TripFile& file, qint64 position) { return file.offset + file.duration < position; });
    if (it == m_trip.end())
        it = std::prev(m_trip.end());
    const qint64 inFile = qBound<qint64>(0, tripPosition - it->offset, it->duration);
    return it->fromMs + inFile;
}

qint64 ChannelTimeline::channelPosition(qint64 tripPosition) const
{
    if (m_spans.empty())
        return -1;
    const qint64 instant = instantAt(tripPosition);
    // The last recording that starts at or before the instant; its end belongs to it.
    auto it = std::upper_bound(m_spans.begin(), m_spans.end(), instant,
                               [](qint64 when, const Span& span) { return when < span.fromMs; });
    if (it == m_spans.begin())
        return -1;
    --it;
    if (instant > it->toMs)
        return -1;
    return it->offset + (instant - it->fromMs);
}

ChannelTimeline::Place ChannelTimeline::placeAt(qint64 tripPosition) const
{
    const qint64 position = channelPosition(tripPosition);
    if (position >= 0 || m_spans.empty())
        return {position, 0};
    const qint64 instant = instantAt(tripPosition);
    auto next = std::upper_bound(m_spans.begin(), m_spans.end(), instant,
                                 [](qint64 when, const Span& span) { return when < span.fromMs; });
    if (next == m_spans.end() || next->fromMs - instant > HoldMs)
        return {};
    // Only a gap between two files, or before the first one, is held: on the next file's first
    // picture (its offset itself would be the end of the file before).
    return {next->offset + 1, next->fromMs - instant};
}

ChannelTimeline::Gap ChannelTimeline::gapAt(qint64 tripPosition) const
{
    if (m_trip.empty() || placeAt(tripPosition).position >= 0)
        return {};
    const qint64 instant = instantAt(tripPosition);
    const TripFile& last = m_trip.back();
    Gap gap{m_trip.front().fromMs, last.fromMs + last.duration};
    for (const Span& span : m_spans) {
        if (span.toMs < instant)
            gap.fromMs = std::max(gap.fromMs, span.toMs);
        else if (span.fromMs > instant)
            gap.toMs = std::min(gap.toMs, span.fromMs);
    }
    return gap;
}
