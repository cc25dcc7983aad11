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

    m_progress = new QProgressDialog(DialogLook::parentFor(window));
    m_progress->setObjectName(QStringLiteral("clipExportProgress"));
    DialogLook::apply(m_progress);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAttribute(Qt::WA_DeleteOnClose);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(0);
    m_progress->setRange(0, 100);
    m_progress->setWindowTitle(tr("Export clip"));
    m_progress->setCancelButtonText(tr("Cancel"));
    // Cancel only asks the exporter to stop; the dialog goes when the export has ended.
    disconnect(m_progress, SIGNAL(canceled()), m_progress, SLOT(cancel()));
    connect(m_progress, &QProgressDialog::canceled, m_export, &ClipExport::cancel, Qt::DirectConnection);
    connect(m_progress, &QDialog::rejected, m_export, &ClipExport::cancel, Qt::DirectConnection);
    connect(m_export, &ClipExport::progressChanged, m_progress, &QProgressDialog::setValue);
}

ClipExportJob::~ClipExportJob()
{
    if (m_thread) {
        m_export->cancel();
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
    m_thread = QThread::create([this]() { m_ok = m_export->run(m_path); });
    connect(m_thread, &QThread::finished, this, &ClipExportJob::done);
    emit starting(this);
    m_thread->start();
}

void ClipExportJob::cancelAndWait()
{
    if (!m_thread)
        return;
    m_export->cancel();
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
    const bool cancelled = m_export->wasCancelled();
    if (m_progress) {
        m_progress->disconnect(m_export);
        m_progress->close();
    }
    emit finished(m_ok, cancelled, m_path, m_export->errorString());
    deleteLater();
}
