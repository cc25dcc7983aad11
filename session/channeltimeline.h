#pragma once

#include "tripitem.h"

#include <QString>
#include <QStringList>

#include <vector>

// Where one of a trip's other channels shows the instant the trip's timeline is at. Channels
// are matched by wall-clock time, not by position in a file: the instant of a trip position is
// its file's start (as the camera named it) plus the time in the file, and the channel shows
// that instant in whichever of its recordings covers it. A channel whose files' pictures begin
// after their start (`pictureStart`, an edit list's empty edit) is played by a reader whose clock
// starts at the first picture: a rear file whose pictures begin 0.4 s into it shows the instant
// 0.4 s after its start at its time 0. Nothing accumulates from file to file.
class ChannelTimeline
{
public:
    // A channel's files follow each other with short gaps (a rear file whose pictures begin a
    // moment after the front's): up to this long the channel holds the next file's first
    // picture instead of calling the stretch missing.
    static const int HoldMs = 1500;

    // Where the channel is at an instant: the position of the picture to show (-1: none), and
    // how long until that picture is due (0 once it is; more in a short gap before a file).
    struct Place
    {
        qint64 position = -1;
        qint64 waitMs = 0;
    };

    // A stretch of the trip without a recording of the channel, as instants (ms since the epoch).
    struct Gap
    {
        qint64 fromMs = 0;
        qint64 toMs = 0;
    };

    ChannelTimeline() = default;
    ChannelTimeline(const Trip::TripList& trip, const QString& channel);

    // The channels a trip's recordings hold, the trip's own channel first, the others by rank.
    // Empty for a trip of one channel.
    static QStringList channelsOf(const Trip::TripList& trip);

    const QString& channel() const { return m_channel; }
    // The channel's recordings, in time order, to be played end to end.
    const Trip::TripList& files() const { return m_files; }
    bool isEmpty() const { return m_files.empty(); }

    // The instant a trip position shows, in ms since the epoch.
    qint64 instantAt(qint64 tripPosition) const;
    // The position on the channel's own timeline (its files end to end) that shows the instant
    // of tripPosition; -1 where none of its recordings covers that instant.
    qint64 channelPosition(qint64 tripPosition) const;
    // As channelPosition, with short gaps held on the next file's first picture.
    Place placeAt(qint64 tripPosition) const;
    // The stretch without a recording around tripPosition; {0, 0} where there is one.
    Gap gapAt(qint64 tripPosition) const;

private:
    struct Span
    {
        qint64 fromMs = 0; // instant of the file's start
        qint64 toMs = 0;
        qint64 offset = 0; // on the channel's timeline
    };
    struct TripFile
    {
        qint64 fromMs = 0; // instant of the file's start
        qint64 offset = 0; // on the trip's timeline
        qint64 duration = 0;
    };

    QString m_channel;
    Trip::TripList m_files;
    std::vector<Span> m_spans;
    std::vector<TripFile> m_trip;
};
