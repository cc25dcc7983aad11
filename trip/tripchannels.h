#pragma once

#include "tripitem.h"

#include <QString>
#include <QStringList>

namespace Trip {

// The channels of a trip and their recordings beside the main channel's files.
class TripChannels
{
public:
    TripChannels() = delete;

    // The channels the trip recorded: the first file's channel, then the others by rank.
    static QStringList names(const TripList& trip);
    // The recording of `channel` that plays with `item`: the item itself or one of its
    // channels; null when the channel recorded nothing then.
    static const TripItem* recordingOf(const TripItem& item, const QString& channel);
    // How far the file time of `recording` lies ahead of the file time of `item` for the same
    // instant: the difference of their starts as the names give them.
    static qint64 offsetMs(const TripItem& item, const TripItem& recording);
    // `path` with "_<channel>" before its extension: "clip.mp4" and "rear" give "clip_rear.mp4".
    static QString pathFor(const QString& path, const QString& channel);
};

} // namespace Trip
