#pragma once

#include "channelcomposer.h"
#include "masks.h"
#include "overlaypainter.h"
#include "tripdata.h"

#include <QIODevice>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

// Writes a range of a trip's timeline as one MP4 with data burned into the pictures: every
// picture of the range is decoded, the masks hide their rectangles, the overlay's panels (the
// data band, optionally map and graph) are drawn over the bottom, and the result is encoded as
// H.264; the sound is copied as recorded. With position data a GPX file of the seconds the clip
// shows goes beside it, as with a clip exported by stream copy. Both files are written under
// temporary names and appear only when everything succeeded.
class OverlayExport : public QObject
{
    Q_OBJECT
public:
    explicit OverlayExport(Trip::TripList trip, QObject* parent = nullptr);
    ~OverlayExport() override;

    void setRange(qint64 fromMs, qint64 toMs);
    // Positions for the band and the GPX beside the clip; without them the band says "no data"
    // and no GPX is written.
    void setPositions(PositionsPtr positions, qint64 clockOffsetSeconds);
    void setItems(int items) { m_items = items; }
    void setMasks(const Masks& masks) { m_masks = masks; }
    // Several channels composed into one picture in `layout`, `order` the channels shown with
    // the large one first; `labels` names a channel in its placeholder. Masks stay on the trip's
    // own channel's picture.
    void setChannels(ChannelComposer::Layout layout, const QStringList& order,
                     std::function<QString(const QString&)> labels = {});
    // The route map's tiles; without them it shows the route alone.
    void setTileSource(OverlayPainter::TileSource source) { m_tiles = std::move(source); }

    // Runs on the calling thread. False when it failed or was cancelled; see errorString().
    bool run(const QString& path);
    QString errorString() const { return m_error; }
    bool wasCancelled() const { return m_cancelled; }

    // What the last successful run() wrote: the trip positions of the start of its first
    // picture and of the end of its last, and the number of pictures.
    qint64 clipFromMs() const { return m_clipFromMs; }
    qint64 clipToMs() const { return m_clipToMs; }
    int frameCount() const { return m_frames; }

public slots:
    // May be called from any thread; the export stops before its next picture.
    void cancel() { m_cancelled = true; }

signals:
    void progressChanged(int percent);

private:
    bool encode(QIODevice& output);
    void reportProgress(qint64 doneMs);

    Trip::TripList m_trip;
    qint64 m_fromMs = 0;
    qint64 m_toMs = 0;
    PositionsPtr m_positions;
    qint64 m_clockOffset = 0;
    int m_items = OverlayPainter::Band;
    Masks m_masks;
    OverlayPainter::TileSource m_tiles;
    std::unique_ptr<ChannelComposer> m_composer;
    qint64 m_clipFromMs = 0;
    qint64 m_clipToMs = 0;
    int m_frames = 0;
    std::atomic<bool> m_cancelled{false};
    QString m_error;
    qint64 m_totalMs = 0;
    int m_percent = -1;
};
