#include "channelpairing.h"

#include "mp4boxes.h"
#include "tripfile.h"

#include <QStringList>

#include <algorithm>
#include <numeric>

namespace Trip {

int ChannelPairing::rank(const QString& channel)
{
    static const QStringList order{QStringLiteral("front"),         QStringLiteral("rear"),
                                   QStringLiteral("back"),          QStringLiteral("interior"),
                                   QStringLiteral("left_repeater"), QStringLiteral("right_repeater"),
                                   QStringLiteral("left_pillar"),   QStringLiteral("right_pillar")};
    const int known = order.indexOf(channel);
    return known >= 0 ? known : int(order.size());
}

void ChannelPairing::readPictureStart(TripItem& item)
{
    item.pictureStart = Camera::Mp4Boxes(item.videoFile).videoStartMs();
}

TripList ChannelPairing::pair(TripList items)
{
    std::vector<qint64> starts(items.size());
    for (std::size_t i = 0; i < items.size(); ++i)
        starts[i] = startOf(items[i]).toMSecsSinceEpoch();

    // Candidates in (camera, kind, start) order, so that partners are neighbours.
    std::vector<std::size_t> order(items.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (items[a].camera != items[b].camera)
            return items[a].camera < items[b].camera;
        if (items[a].isEvent != items[b].isEvent)
            return items[a].isEvent < items[b].isEvent;
        return starts[a] < starts[b];
    });

    std::vector<bool> joined(items.size(), false); // became another item's channel
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::size_t head = order[k];
        if (joined[head])
            continue;
        // The group: following items of the same camera and kind within the tolerance of the
        // head, one per channel (the first of each channel).
        std::vector<std::size_t> group{head};
        QStringList channels{items[head].channel};
        for (std::size_t n = k + 1; n < order.size(); ++n) {
            const std::size_t next = order[n];
            if (items[next].camera != items[head].camera || items[next].isEvent != items[head].isEvent ||
                starts[next] - starts[head] > ToleranceMs)
                break;
            if (joined[next] || channels.contains(items[next].channel))
                continue;
            group.push_back(next);
            channels << items[next].channel;
        }
        if (group.size() < 2)
            continue;
        std::stable_sort(group.begin(), group.end(), [&](std::size_t a, std::size_t b) {
            return rank(items[a].channel) < rank(items[b].channel);
        });
        TripItem& main = items[group.front()];
        for (std::size_t g = 1; g < group.size(); ++g) {
            joined[group[g]] = true;
            main.channels.push_back(std::move(items[group[g]]));
        }
    }

    // Channels are played in step by the instant of their first picture: read where it lies in
    // the files of every camera that recorded several channels.
    QStringList paired;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (joined[i] && !paired.contains(items[i].camera))
            paired << items[i].camera;
    }
    TripList result;
    result.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (joined[i])
            continue;
        if (paired.contains(items[i].camera)) {
            readPictureStart(items[i]);
            for (TripItem& other : items[i].channels)
                readPictureStart(other);
        }
        result.push_back(std::move(items[i]));
    }
    return result;
}

} // namespace Trip
