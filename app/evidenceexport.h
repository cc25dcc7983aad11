#pragma once

#include "trackexport.h"
#include "tripdata.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>

#include <memory>

class ClipExportJob;
class QWidget;

// Evidence out of the playing trip: the clip of a range as MP4 with its GPX, the track as GPX,
// KML or CSV, and snapshots. Asks where to save, runs the export and tells how it went.
class EvidenceExport : public QObject
{
    Q_OBJECT
public:
    // Dialogs open over `window`.
    explicit EvidenceExport(QWidget* window);

    // The recording's clock time at a trip position; invalid without a trip.
    QDateTime clockAt(qint64 positionMs) const;
    bool isExporting() const { return !m_job.isNull(); }

    // Snapshots go here: the folder chosen in the settings, else the Pictures folder.
    static QString snapshotFolder();
    static bool snapshotStamp();

public slots:
    void setTrip(std::shared_ptr<Trip::TripList> trip);
    void setPositions(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    // The trip and its records from the trip session.
    void setTripData(const TripDataPtr& data);
    void exportClip(qint64 fromMs, qint64 toMs);
    void exportTrack(TrackExport::Format format, qint64 fromMs, qint64 toMs);
    void takeSnapshot(qint64 positionMs);

signals:
    // A short confirmation for the status line.
    void note(const QString& text);
    void clipExportStarting(ClipExportJob* job);
    void clipExportFinished(bool ok, const QString& path);
    void snapshotSaved(const QString& path);

private:
    // A path to save to, asked in a dialog that starts in the last export folder with `name`.
    QString askSavePath(const QString& title, const QString& name, const QString& filter,
                        const QString& suffix) const;
    QString clockName(qint64 positionMs, const QString& suffix) const;
    void showError(const QString& text, const QString& detail) const;

    QWidget* m_window = nullptr;
    std::shared_ptr<Trip::TripList> m_trip;
    PositionsPtr m_positions;
    QPointer<ClipExportJob> m_job;
};
