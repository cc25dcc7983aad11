#include "evidenceexport.h"

#include "clipexportjob.h"
#include "dialoglook.h"
#include "snapshot.h"
#include "tripclock.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

namespace {

QString firstLocation(QStandardPaths::StandardLocation location)
{
    const QStringList paths = QStandardPaths::standardLocations(location);
    return paths.isEmpty() ? QDir::homePath() : paths.first();
}

// `path`, or the first of "name_2.png", "name_3.png"... that does not exist yet.
QString unusedPath(const QString& path)
{
    const QFileInfo info(path);
    QString candidate = path;
    for (int n = 2; QFileInfo::exists(candidate); ++n) {
        candidate = info.dir().filePath(
            QStringLiteral("%1_%2.%3").arg(info.completeBaseName()).arg(n).arg(info.suffix()));
    }
    return candidate;
}

} // namespace

EvidenceExport::EvidenceExport(QWidget* window) : QObject(window), m_window(window) {}

QString EvidenceExport::snapshotFolder()
{
    const QString stored = ZelSettings::value(ZelSettings::SnapshotPath).toString();
    return stored.isEmpty() ? firstLocation(QStandardPaths::PicturesLocation) : stored;
}

bool EvidenceExport::snapshotStamp()
{
    return ZelSettings::value(ZelSettings::SnapshotStamp, false).toBool();
}

void EvidenceExport::setTrip(std::shared_ptr<Trip::TripList> trip)
{
    m_trip = std::move(trip);
    m_positions.reset();
}

void EvidenceExport::setPositions(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
{
    m_positions = std::move(positions);
}

void EvidenceExport::setTripData(const TripDataPtr& data)
{
    m_trip = data ? std::make_shared<Trip::TripList>(data->trip()) : nullptr;
    m_positions = data ? data->positions() : nullptr;
}

QDateTime EvidenceExport::clockAt(qint64 positionMs) const
{
    return m_trip ? TripClock::at(*m_trip, m_positions, positionMs) : QDateTime();
}

QString EvidenceExport::clockName(qint64 positionMs, const QString& suffix) const
{
    const QDateTime clock = clockAt(positionMs);
    return clock.isValid() ? TripClock::fileName(Units::shownClock(clock), suffix)
                           : tr("trip") + QLatin1Char('.') + suffix;
}

QString EvidenceExport::askSavePath(const QString& title, const QString& name, const QString& filter,
                                    const QString& suffix) const
{
    QString folder = ZelSettings::value(ZelSettings::ExportPath).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = firstLocation(QStandardPaths::MoviesLocation);
    if (!QFileInfo(folder).isDir())
        folder = QDir::homePath();

    // The program's own dialog, in the program's readable look.
    QFileDialog dialog(DialogLook::parentFor(m_window), title, QDir(folder).filePath(name), filter);
    dialog.setObjectName(QStringLiteral("exportSaveDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    DialogLook::apply(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    QString path = dialog.selectedFiles().first();
    ZelSettings::setValue(ZelSettings::ExportPath, QFileInfo(path).absolutePath());
    return path;
}

void EvidenceExport::showError(const QString& text, const QString& detail) const
{
    QMessageBox* box =
        DialogLook::messageBox(DialogLook::parentFor(m_window), QMessageBox::Warning, text, detail);
    box->setObjectName(QStringLiteral("exportError"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void EvidenceExport::exportClip(qint64 fromMs, qint64 toMs)
{
    if (!m_trip || m_trip->empty() || isExporting())
        return;
    const QString path = askSavePath(tr("Export clip"), clockName(fromMs, QStringLiteral("mp4")),
                                     tr("MP4 video (*.mp4)"), QStringLiteral("mp4"));
    if (path.isEmpty())
        return;
    auto* job = new ClipExportJob(*m_trip, fromMs, toMs, m_positions, m_window);
    m_job = job;
    connect(job, &ClipExportJob::starting, this, &EvidenceExport::clipExportStarting, Qt::DirectConnection);
    connect(job, &ClipExportJob::finished, this,
            [this](bool ok, bool cancelled, const QString& clip, const QString& error) {
                const QString name = QDir::toNativeSeparators(clip);
                if (ok) {
                    emit note(m_positions ? tr("Clip saved: %1 (with its track as GPX)").arg(name)
                                          : tr("Clip saved: %1").arg(name));
                } else if (cancelled) {
                    emit note(tr("Export cancelled; nothing was written."));
                } else {
                    showError(tr("The clip could not be exported."), error);
                }
                emit clipExportFinished(ok, clip);
            });
    job->start(path);
}

void EvidenceExport::exportTrack(TrackExport::Format format, qint64 fromMs, qint64 toMs)
{
    if (!m_trip || m_trip->empty())
        return;
    if (!TripData::hasFix(m_positions)) {
        showError(tr("The track cannot be exported."), tr("This trip has no position data."));
        return;
    }
    const QString suffix = TrackExport::suffix(format);
    const QString filter = tr("%1 files (*.%2)").arg(suffix.toUpper(), suffix);
    const QString path = askSavePath(tr("Export track"), clockName(fromMs, suffix), filter, suffix);
    if (path.isEmpty())
        return;
    TrackExport track(*m_trip, m_positions);
    track.setRange(fromMs, toMs);
    track.setClockOffset(Units::clockOffsetSeconds());
    track.setName(QFileInfo(path).completeBaseName());
    QString error;
    if (!track.save(format, path, &error)) {
        showError(tr("The track could not be exported."), error);
        return;
    }
    emit note(tr("Track saved: %1").arg(QDir::toNativeSeparators(path)));
}

void EvidenceExport::takeSnapshot(qint64 positionMs)
{
    if (!m_trip || m_trip->empty())
        return;
    const QString folder = snapshotFolder();
    if (!QDir().mkpath(folder)) {
        showError(tr("The snapshot could not be saved."),
                  tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    Snapshot still(*m_trip, m_positions);
    if (!still.grab(positionMs)) {
        showError(tr("The snapshot could not be saved."), still.errorString());
        return;
    }
    QImage image = still.frame();
    if (snapshotStamp())
        image = Snapshot::stamped(image, still.stampLines(positionMs, Units::clockOffsetSeconds()));
    const QString path = unusedPath(QDir(folder).filePath(clockName(positionMs, QStringLiteral("png"))));
    if (!still.save(image, path)) {
        showError(tr("The snapshot could not be saved."), still.errorString());
        return;
    }
    emit note(tr("Snapshot saved: %1").arg(QDir::toNativeSeparators(path)));
    emit snapshotSaved(path);
}
