#include "clipexportjob.h"

#include "dialoglook.h"
#include "units.h"

#include <QDir>
#include <QProgressDialog>
#include <QThread>

ClipExportJob::ClipExportJob(Trip::TripList trip, qint64 fromMs, qint64 toMs, PositionsPtr positions,
                             QWidget* window)
    : m_export(new ClipExport(std::move(trip), this))
{
    m_export->setRange(fromMs, toMs);
    if (positions)
        m_export->setPositions(std::move(positions), Units::clockOffsetSeconds());
    setUpProgress(m_export, window, tr("Export clip"));
    connect(m_export, &ClipExport::progressChanged, m_progress, &QProgressDialog::setValue);
}

ClipExportJob::ClipExportJob(OverlayExport* overlay, QWidget* window) : m_overlay(overlay)
{
    m_overlay->setParent(this);
    setUpProgress(m_overlay, window, tr("Export with data"));
    connect(m_overlay, &OverlayExport::progressChanged, m_progress, &QProgressDialog::setValue);
}

void ClipExportJob::setUpProgress(QObject* exporter, QWidget* window, const QString& title)
{
    m_progress = new QProgressDialog(DialogLook::parentFor(window));
    m_progress->setObjectName(QStringLiteral("clipExportProgress"));
    DialogLook::apply(m_progress);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->setRange(0, 100);
    m_progress->setWindowTitle(title);
    m_progress->setCancelButtonText(tr("Cancel"));
    // Cancel only asks the exporter to stop; the dialog goes when the export has ended.
    disconnect(m_progress, SIGNAL(canceled()), m_progress, SLOT(cancel()));
    connect(
        m_progress, &QProgressDialog::canceled, exporter, [this]() { cancelExport(); }, Qt::DirectConnection);
    connect(
        m_progress, &QDialog::rejected, exporter, [this]() { cancelExport(); }, Qt::DirectConnection);
}

void ClipExportJob::cancelExport()
{
    if (m_export)
        m_export->cancel();
    if (m_overlay)
        m_overlay->cancel();
}

ClipExportJob::~ClipExportJob()
{
    if (m_thread) {
        cancelExport();
        m_thread->wait();
    }
    if (m_progress)
        m_progress->close();
}

void ClipExportJob::start(const QString& path)
{
    m_path = path;
    m_progress->setLabelText(tr("Writing %1\u2026").arg(QDir::toNativeSeparators(path)));
    m_progress->show();
    m_thread =
        QThread::create([this]() { m_ok = m_export ? m_export->run(m_path) : m_overlay->run(m_path); });
    connect(m_thread, &QThread::finished, this, &ClipExportJob::done);
    emit starting(this);
    m_thread->start();
}

void ClipExportJob::cancelAndWait()
{
    if (!m_thread)
        return;
    cancelExport();
    m_thread->wait();
    done();
}

void ClipExportJob::done()
{
    // The thread's end may still be queued after cancelAndWait() has handled it.
    if (!m_thread)
        return;
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    // Closing the dialog emits its cancel signal: the outcome is taken before.
    const bool cancelled = m_export ? m_export->wasCancelled() : m_overlay->wasCancelled();
    if (m_progress) {
        m_progress->disconnect(m_export ? static_cast<QObject*>(m_export) : m_overlay);
        m_progress->close();
    }
    emit finished(m_ok, cancelled, m_path, m_export ? m_export->errorString() : m_overlay->errorString());
    deleteLater();
}
