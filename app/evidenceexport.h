#pragma once

#include "trackexport.h"
#include "tripdata.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <functional>
#include <memory>

class ClipExportJob;
class QWidget;

// Evidence out of the playing trip: the clip of a range as MP4 with its GPX (copied, or
// re-encoded with data drawn in), the track as GPX, KML or CSV, and snapshots. Asks where to
// save, runs the export and tells how it went. No export holds a position inside one of the
// privacy zones of the settings.
class EvidenceExport : public QObject
{
    Q_OBJECT
public:
    // Dialogs open over `window`.
    explicit EvidenceExport(QWidget* window);
    // A clip export still running is cancelled (nothing is left on the disk) and a snapshot
    // being taken is finished before this returns.
    ~EvidenceExport() override;

    // The recording's clock time at a trip position; invalid without a trip.
    QDateTime clockAt(qint64 positionMs) const;
    bool isExporting() const;
    // Asked before the window closes. True when no clip is being exported, or when the user
    // chose to cancel the export (it has ended when this returns). False when the window is
    // to stay: with "quit when saved" it closes itself once the clip is saved.
    bool confirmQuit();

    // Snapshots go here: the folder chosen in the settings, else the Pictures folder.
    static QString snapshotFolder();
    static bool snapshotStamp();
    // Whether a clip starts exactly at the in point (its start re-encoded up to the first key
    // frame) rather than at the key frame before it; on unless turned off.
    static bool exactCut();
    static void setExactCut(bool exact);
    // What "Export with data" draws (OverlayPainter::Item); the band unless chosen otherwise.
    static int overlayItems();
    static void setOverlayItems(int items);

    // The channels the window shows; clips and snapshots are made of each when there are
    // several.
    void setChannelSource(std::function<QStringList()> source) { m_channelSource = std::move(source); }
    // How the window lays its channels out ("pip", "side" or "main"): the export with data
    // composes them so.
    void setLayoutSource(std::function<QString()> source) { m_layoutSource = std::move(source); }

public slots:
    void setTrip(std::shared_ptr<Trip::TripList> trip);
    void setPositions(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    // The trip and its records from the trip session.
    void setTripData(const TripDataPtr& data);
    void exportClip(qint64 fromMs, qint64 toMs);
    void exportOverlay(qint64 fromMs, qint64 toMs);
    void exportTrack(TrackExport::Format format, qint64 fromMs, qint64 toMs);
    void takeSnapshot(qint64 positionMs);

signals:
    // A short confirmation for the status line.
    void note(const QString& text);
    void clipExportStarting(ClipExportJob* job);
    void clipExportFinished(bool ok, const QString& path);
    void snapshotSaved(const QString& path);
    // A snapshot taken on the worker thread: the file written, or why it failed.
    void snapshotDone(const QString& path, const QString& error, QPrivateSignal);
    // Snapshots of several channels: the files written and the channels that gave none.
    void channelSnapshotsDone(const QStringList& paths, const QStringList& missing, QPrivateSignal);

private:
    void reportSnapshot(const QString& path, const QString& error);
    // The trip's records with the positions inside the privacy zones removed.
    PositionsPtr exportedPositions() const;
    // Runs a clip export job and reports its outcome.
    void startJob(ClipExportJob* job, const QString& path, qint64 fromMs, const QStringList& shown);
    void reportChannelSnapshots(const QStringList& paths, const QStringList& missing);
    // The shown channels when there are several, else none (the main channel only).
    QStringList channels() const;
    // A path to save to, asked in a dialog that starts in the last export folder with `name`.
    QString askSavePath(const QString& title, const QString& name, const QString& filter,
                        const QString& suffix) const;
    QString clockName(qint64 positionMs, const QString& suffix) const;
    void showError(const QString& text, const QString& detail) const;
    // Asks whether the file at `path` may be replaced: the clip's track, or with `channelClip`
    // the clip of one channel.
    bool confirmReplace(const QString& path, bool channelClip = false) const;

    QWidget* m_window = nullptr;
    std::shared_ptr<Trip::TripList> m_trip;
    PositionsPtr m_positions;
    std::function<QStringList()> m_channelSource;
    std::function<QString()> m_layoutSource;
    QPointer<ClipExportJob> m_job;
    bool m_quitWhenSaved = false;
    // Decodes and writes snapshots one after the other, off the GUI thread.
    QThreadPool m_snapshots;
};
