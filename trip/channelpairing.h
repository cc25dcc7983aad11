#pragma once

#include "tripitem.h"

namespace Trip {

// Joins the recordings that several channels of one camera made at the same time.
class ChannelPairing
{
public:
    ChannelPairing() = delete;

    // Two channels' recordings belong together when they start at most this far apart.
    static constexpr qint64 ToleranceMs = 2000;

    // The rank of a channel name: front first, then rear, interior and the side cameras.
    static int rank(const QString& channel);

    // Items of the same camera and kind that start together become one item: the main channel's
    // (lowest rank), holding the others in `channels` by rank. A time with no main-channel
    // recording keeps the best channel there is. Items keep their order otherwise.
    // Cameras that recorded several channels get each item's `pictureStart` read from its file.
    static TripList pair(TripList items);
    static void readPictureStart(TripItem& item);
};

} // namespace Trip
