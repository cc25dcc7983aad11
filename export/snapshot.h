#pragma once

#include "tripdata.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QString>
#include <QStringList>

// A still of a trip: the frame shown at a position, decoded at the video's full size, saved as
// PNG under the recording's clock time, with an optional band of data below the picture.
class Snapshot
{
    Q_DECLARE_TR_FUNCTIONS(Snapshot)
public:
    Snapshot(Trip::TripList trip, PositionsPtr positions);

    // Decodes the frame shown at `positionMs` of the trip; false with errorString() on failure.
    bool grab(qint64 positionMs);
    // The same for one channel: its picture of the instant the main channel shows at
    // `positionMs`. False with errorString() when it recorded nothing readable then.
    bool grab(qint64 positionMs, const QString& channel);
    QImage frame() const { return m_frame; }
    QString errorString() const { return m_error; }

    // The recording's clock time at `positionMs`: from the position record of that second, else
    // from the start time in the file's name. A wall-clock value held as UTC.
    QDateTime clockAt(qint64 positionMs) const;
    // The band's lines at `positionMs`: the local time `offsetSeconds` ahead of the recorded UTC
    // with that offset, then coordinates, speed and heading, or "no GPS fix" for a second
    // without one.
    QStringList stampLines(qint64 positionMs, qint64 offsetSeconds) const;

    // `image` with `lines` written in a band below it.
    static QImage stamped(const QImage& image, const QStringList& lines);
    // Writes a PNG under a temporary name and renames it when complete; never over a recording.
    bool save(const QImage& image, const QString& path);

    // The frame shown at `timeMs` of one video file, at its full size; null on failure, with
    // the reason in `error` when it is more than "cannot decode".
    static QImage decodeFrame(const QString& videoFile, qint64 timeMs, QString* error = nullptr);

private:
    // `presentation`: `timeMs` is a presentation time of the file, not a time from its first
    // picture. `shownMs`, if given, gets the presentation time of the picture decoded.
    static QImage decodeFrame(const QString& videoFile, qint64 timeMs, bool presentation, QString* error,
                              qint64* shownMs = nullptr);

    Trip::TripList m_trip;
    PositionsPtr m_positions;
    QImage m_frame;
    QString m_error;
};
