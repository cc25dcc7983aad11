#pragma once

#include "tripdata.h"

#include <QIODevice>
#include <QObject>
#include <QString>

#include <atomic>
#include <vector>

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
    // The channels to export, each as its own MP4: at the path given to run() for one channel,
    // else (or with `nameByChannel`) named by Trip::TripChannels::pathFor(). The GPX goes beside
    // the path given, once. Every file keeps its pictures at their place on the trip's
    // timeline, so that the clips stay in step across files; several channels all start with
    // the picture shown at the start of the range (an exact cut for each). A channel without a
    // readable recording for a part of the range leaves that part out and is listed in
    // missing(); the others are written. Empty (the default): the main channel's files as the
    // trip holds them, joined end to end.
    void setChannels(const QStringList& channels, bool nameByChannel);

    // A part of the range, in trip positions, for which a channel has no readable recording.
    struct Missing
    {
        QString channel;
        qint64 fromMs = 0;
        qint64 toMs = 0;
        QString file;   // the recording that cannot be read, or empty when there is none
        QString reason; // why a recording that is there gave nothing, or empty
    };

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
    // What the last run() wrote: the clips, then the GPX.
    QStringList writtenFiles() const { return m_written; }
    // The parts of the range that the last run() with channels left out.
    const std::vector<Missing>& missing() const { return m_missing; }
    // A line for the user about a missing part: the channel, the range or the broken file.
    static QString missingText(const Missing& missing);

    // The GPX written beside a clip: the same name with ".gpx".
    static QString trackPathFor(const QString& clipPath);

public slots:
    // May be called from any thread; the export stops before its next packet.
    void cancel() { m_cancelled = true; }

signals:
    void progressChanged(int percent);

private:
    // A file's part of the range: main-channel file times, `shiftMs` ahead in the file read.
    struct Source
    {
        int index = -1; // the main channel's file on the trip's timeline
        QString file;
        qint64 fromMs = 0;
        qint64 toMs = 0;
        // File times count from the video's first picture (the main channel's files), or are
        // the file's presentation times shifted by `shiftMs` (other channels' files).
        bool presentation = false;
        qint64 shiftMs = 0;
    };

    std::vector<Source> sourcesOf(const QString& channel) const;
    // Sorts the parts from `from` on and joins the gaps among them that meet.
    static void mergeGaps(std::vector<Missing>& missing, std::size_t from);
    bool runChannels(const QString& path);
    // `channel` empty: the main channel as the trip holds it.
    bool remux(QIODevice& output, const std::vector<Source>& sources, const QString& channel);
    void reportProgress(qint64 doneMs);

    Trip::TripList m_trip;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    PositionsPtr m_positions;
    qint64 m_clockOffset = 0;
    bool m_exactCut = false;
    QStringList m_channels;
    bool m_nameByChannel = false;
    QStringList m_written;
    std::vector<Missing> m_missing;
    qint64 m_doneMs = 0;
    bool m_noPictures = false; // the last remux() found no picture to write
    qint64 m_clipFromMs = 0;
    qint64 m_clipToMs = 0;
    bool m_startsEarly = false;
    std::atomic<bool> m_cancelled{false};
    QString m_error;
    qint64 m_totalMs = 0;
    int m_percent = -1;
};
