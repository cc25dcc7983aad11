#pragma once

#include "clipexport.h"
#include "overlayexport.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>

class QThread;
class QWidget;

// One clip export run off the GUI thread, with a progress dialog whose Cancel stops it: a stream
// copy, or a re-encoding with data drawn in. The exporter leaves nothing behind when it fails or
// is cancelled. Deletes itself when done.
class ClipExportJob : public QObject
{
    Q_OBJECT
public:
    ClipExportJob(Trip::TripList trip, qint64 fromMs, qint64 toMs, PositionsPtr positions, QWidget* window);
    // An overlay export, set up already; the job takes it over.
    ClipExportJob(OverlayExport* overlay, QWidget* window);
    ~ClipExportJob() override;

    // The stream copy; null for an overlay export.
    ClipExport* exporter() const { return m_export; }
    OverlayExport* overlayExporter() const { return m_overlay; }
    QProgressDialog* progressDialog() const { return m_progress; }

    void start(const QString& path);
    // Until `finished` has been emitted.
    bool isRunning() const { return m_thread != nullptr; }
    // Stops the export and waits for its thread: nothing is left on the disk, and `finished`
    // has been emitted (cancelled) when this returns.
    void cancelAndWait();

signals:
    // The exporter is set up; its thread has not started yet.
    void starting(ClipExportJob* job);
    void finished(bool ok, bool cancelled, const QString& path, const QString& error);

private:
    void setUpProgress(QObject* exporter, QWidget* window, const QString& title);
    void cancelExport();
    void done();

    ClipExport* m_export = nullptr;
    OverlayExport* m_overlay = nullptr;
    QPointer<QProgressDialog> m_progress;
    QThread* m_thread = nullptr;
    QString m_path;
    bool m_ok = false;
};
