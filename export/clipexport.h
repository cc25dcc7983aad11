#pragma once

#include "tripdata.h"

#include <QIODevice>
#include <QObject>
#include <QString>

#include <atomic>

// Writes a range of a trip's timeline as one MP4 by copying the recorded streams: from the key
// frame at or before the start to the frame shown at the end, the files joined in trip order
// with continuous timestamps, the sound too when the first file has any. With an exact cut the
// pictures from the one shown at the start up to the next key frame are re-encoded instead, so
// the clip starts where the range does. With position data, a GPX file of the seconds the clip
// really shows goes beside it. Both files are written under temporary names and appear only when
// everything succeeded.
class ClipExport : public QObject
{
    Q_OBJECT
public:
    explicit ClipExport(Trip::TripList trip, QObject* parent = nullptr);

    void setRange(qint64 fromMs, qint64 toMs);
    // Off by default: the clip starts at the key frame at or before the start of the range.
    void setExactCut(bool exact) { m_exactCut = exact; }
    // Positions for the GPX beside the clip; without them no GPX is written.
    void setPositions(PositionsPtr positions, qint64 clockOffsetSeconds);

    // Runs on the calling thread. False when it failed or was cancelled; see errorString().
    bool run(const QString& path);
    QString errorString() const { return m_error; }
    bool wasCancelled() const { return m_cancelled; }

    // What the last successful run() wrote: the trip positions of the start of the clip's first
    // picture and of the end of its last.
    qint64 clipFromMs() const { return m_clipFromMs; }
    qint64 clipToMs() const { return m_clipToMs; }
    // The clip starts at a key frame before the picture shown at the start of the range.
    bool startsEarly() const { return m_startsEarly; }

    // The GPX written beside a clip: the same name with ".gpx".
    static QString trackPathFor(const QString& clipPath);

public slots:
    // May be called from any thread; the export stops before its next packet.
    void cancel() { m_cancelled = true; }

signals:
    void progressChanged(int percent);

private:
    bool remux(QIODevice& output);
    void reportProgress(qint64 doneMs);

    Trip::TripList m_trip;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    PositionsPtr m_positions;
    qint64 m_clockOffset = 0;
    bool m_exactCut = false;
    qint64 m_clipFromMs = 0;
    qint64 m_clipToMs = 0;
    bool m_startsEarly = false;
    std::atomic<bool> m_cancelled{false};
    QString m_error;
    qint64 m_totalMs = 0;
    int m_percent = -1;
};
