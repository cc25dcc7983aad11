#include "evidenceexport.h"

#include "cachedtiles.h"
#include "channelview.h"
#include "clipexport.h"
#include "clipexportjob.h"
#include "dialoglook.h"
#include "exportlog.h"
#include "mainwindow.h"
#include "maskstore.h"
#include "overlayexport.h"
#include "privacyzones.h"
#include "snapshot.h"
#include "tripchannels.h"
#include "tripclock.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>

#include <utility>

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

EvidenceExport::EvidenceExport(QWidget* window) : QObject(window), m_window(window)
{
    m_snapshots.setMaxThreadCount(1);
    connect(this, &EvidenceExport::snapshotDone, this, &EvidenceExport::reportSnapshot, Qt::QueuedConnection);
    connect(this, &EvidenceExport::channelSnapshotsDone, this, &EvidenceExport::reportChannelSnapshots,
            Qt::QueuedConnection);
}

QStringList EvidenceExport::channels() const
{
    const QStringList shown = m_channelSource ? m_channelSource() : QStringList();
    return shown.size() > 1 ? shown : QStringList();
}

EvidenceExport::~EvidenceExport()
{
    if (isExporting()) {
        // The window went without being asked (the session ends): no half clip stays behind.
        qCWarning(lcExport) << "the program ends during a clip export: cancelled";
        m_job->disconnect(this);
        m_job->cancelAndWait();
        delete m_job;
    }
    m_snapshots.waitForDone();
}

bool EvidenceExport::isExporting() const
{
    // A job that has finished waits for its deletion a moment longer.
    return m_job && m_job->isRunning();
}

bool EvidenceExport::confirmQuit()
{
    if (!isExporting())
        return true;
    QMessageBox box(QMessageBox::Question, ZelCfg::AppName, tr("A clip is still being exported."),
                    QMessageBox::NoButton, DialogLook::parentFor(m_window));
    box.setObjectName(QStringLiteral("quitDuringExport"));
    box.setWindowIcon(QIcon(Design::WindowIconPath));
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(tr("Quit once the clip is saved, or cancel the export and quit now?"));
    QPushButton* finish = box.addButton(tr("Quit when saved"), QMessageBox::AcceptRole);
    QPushButton* cancel = box.addButton(tr("Cancel export and quit"), QMessageBox::DestructiveRole);
    QPushButton* stay = box.addButton(tr("Don't quit"), QMessageBox::RejectRole);
    finish->setObjectName(QStringLiteral("quitWhenSaved"));
    cancel->setObjectName(QStringLiteral("cancelAndQuit"));
    stay->setObjectName(QStringLiteral("dontQuit"));
    box.setDefaultButton(finish);
    box.setEscapeButton(stay);
    DialogLook::apply(&box);
    box.exec();
    QAbstractButton* answer = box.clickedButton();
    if (answer == stay || !answer)
        return false;
    if (!isExporting()) // ended while the question was open
        return true;
    if (answer == cancel) {
        m_job->cancelAndWait();
        return true;
    }
    m_quitWhenSaved = true;
    emit note(tr("The program quits when the clip is saved."));
    return false;
}

QString EvidenceExport::snapshotFolder()
{
    const QString stored = ZelSettings::value(ZelSettings::SnapshotPath).toString();
    return stored.isEmpty() ? firstLocation(QStandardPaths::PicturesLocation) : stored;
}

bool EvidenceExport::snapshotStamp()
{
    return ZelSettings::value(ZelSettings::SnapshotStamp, false).toBool();
}

bool EvidenceExport::exactCut()
{
    return ZelSettings::value(ZelSettings::ExactCut, true).toBool();
}

void EvidenceExport::setExactCut(bool exact)
{
    ZelSettings::setValue(ZelSettings::ExactCut, exact);
}

int EvidenceExport::overlayItems()
{
    int items = OverlayPainter::Band;
    OverlayPainter::parseItems(
        ZelSettings::value(ZelSettings::OverlayItems, QStringLiteral("band")).toString(), items);
    return items | OverlayPainter::Band;
}

void EvidenceExport::setOverlayItems(int items)
{
    QStringList names{QStringLiteral("band")};
    if (items & OverlayPainter::Map)
        names << QStringLiteral("map");
    if (items & OverlayPainter::Graph)
        names << QStringLiteral("graph");
    ZelSettings::setValue(ZelSettings::OverlayItems, names.join(QLatin1Char(',')));
}

PositionsPtr EvidenceExport::exportedPositions() const
{
    return PrivacyZones::stored().redact(m_positions);
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
    return clock.isValid() ? TripClock::fileName(clock, Units::clockOffsetSeconds(), suffix)
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

bool EvidenceExport::confirmReplace(const QString& path, bool channelClip) const
{
    QMessageBox box(QMessageBox::Question, ZelCfg::AppName,
                    tr("%1 exists already.").arg(QDir::toNativeSeparators(path)), QMessageBox::NoButton,
                    DialogLook::parentFor(m_window));
    box.setObjectName(QStringLiteral("replaceTrack"));
    box.setWindowIcon(QIcon(Design::WindowIconPath));
    box.setTextFormat(Qt::PlainText);
    box.setInformativeText(channelClip ? tr("A channel's clip goes into this file. Replace it?")
                                       : tr("The clip's track goes into this file. Replace it?"));
    QPushButton* replace = box.addButton(tr("Replace"), QMessageBox::DestructiveRole);
    QPushButton* keep = box.addButton(tr("Don't export"), QMessageBox::RejectRole);
    replace->setObjectName(QStringLiteral("replace"));
    keep->setObjectName(QStringLiteral("keep"));
    box.setDefaultButton(keep);
    box.setEscapeButton(keep);
    DialogLook::apply(&box);
    box.exec();
    return box.clickedButton() == replace;
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
    // The save dialog asked about the clip; the track beside it is not replaced unasked either.
    const QString track = ClipExport::trackPathFor(path);
    if (m_positions && QFileInfo::exists(track) && !confirmReplace(track))
        return;
    // Nor are the channels' clips, which the dialog did not name.
    const QStringList shown = channels();
    for (const QString& channel : shown) {
        const QString clip = Trip::TripChannels::pathFor(path, channel);
        if (QFileInfo::exists(clip) && !confirmReplace(clip, true))
            return;
    }
    auto* job = new ClipExportJob(*m_trip, fromMs, toMs, exportedPositions(), m_window);
    job->exporter()->setExactCut(exactCut());
    if (!shown.isEmpty())
        job->exporter()->setChannels(shown, true);
    startJob(job, path, fromMs, shown);
}

void EvidenceExport::exportOverlay(qint64 fromMs, qint64 toMs)
{
    if (!m_trip || m_trip->empty() || isExporting())
        return;
    const QString path = askSavePath(tr("Export with data"), clockName(fromMs, QStringLiteral("mp4")),
                                     tr("MP4 video (*.mp4)"), QStringLiteral("mp4"));
    if (path.isEmpty())
        return;
    const QString track = ClipExport::trackPathFor(path);
    if (m_positions && QFileInfo::exists(track) && !confirmReplace(track))
        return;
    auto* overlay = new OverlayExport(*m_trip);
    overlay->setRange(fromMs, toMs);
    overlay->setPositions(TripData::hasFix(m_positions) ? exportedPositions() : nullptr,
                          Units::clockOffsetSeconds());
    overlay->setItems(overlayItems());
    overlay->setTileSource(&CachedTiles::tile);
    // The channels as the window shows them, the large one first.
    const QStringList shown = m_channelSource ? m_channelSource() : QStringList();
    ChannelComposer::Layout layout = ChannelComposer::Layout::PictureInPicture;
    if (!shown.isEmpty() && m_layoutSource && ChannelComposer::parseLayout(m_layoutSource(), layout))
        overlay->setChannels(layout, shown, &ChannelView::channelLabel);
    // The trip's masks, on the clip's clock.
    overlay->setMasks(MaskStore::load(*m_trip).shifted(double(fromMs) / 1000.0));
    startJob(new ClipExportJob(overlay, m_window), path, fromMs, {});
}

void EvidenceExport::startJob(ClipExportJob* job, const QString& path, qint64 fromMs,
                              const QStringList& shown)
{
    job->setParent(this);
    m_job = job;
    // The progress dialog blocks the window, whose quit key then works in the dialog.
    auto* quitKey = new QShortcut(MainWindow::closeShortcut(), job->progressDialog());
    connect(quitKey, &QShortcut::activated, m_window, &QWidget::close);
    connect(job, &ClipExportJob::starting, this, &EvidenceExport::clipExportStarting, Qt::DirectConnection);
    connect(job, &ClipExportJob::finished, this,
            [this, job, fromMs, channels = shown](bool ok, bool cancelled, const QString& clip,
                                                  const QString& error) {
                const QString name = QDir::toNativeSeparators(clip);
                const bool quit = std::exchange(m_quitWhenSaved, false);
                if (ok && quit)
                    QTimer::singleShot(0, m_window, &QWidget::close);
                const ClipExport* exporter = job->exporter();
                if (ok && !channels.isEmpty()) {
                    // Several channels: the files written, then the channels' missing parts.
                    QStringList names;
                    for (const QString& written : exporter->writtenFiles())
                        names << QFileInfo(written).fileName();
                    QString saved = tr("Clips saved: %1").arg(names.join(QStringLiteral(", ")));
                    for (const ClipExport::Missing& part : exporter->missing())
                        saved += QStringLiteral("; ") + ClipExport::missingText(part);
                    emit note(saved);
                } else if (ok) {
                    QString saved = m_positions ? tr("Clip saved: %1 (with its track as GPX)").arg(name)
                                                : tr("Clip saved: %1").arg(name);
                    if (exporter && exporter->startsEarly()) {
                        // A stream copy starts at a key frame: say where, as the clip shows it.
                        saved += QStringLiteral("; ") +
                                 tr("it starts %1 s before the in point, at %2 (key frame)")
                                     .arg(Units::fixed(double(fromMs - exporter->clipFromMs()) / 1000.0, 1),
                                          Units::positionText(exporter->clipFromMs()));
                    }
                    emit note(saved);
                } else if (cancelled) {
                    emit note(tr("Export cancelled; nothing was written."));
                } else {
                    qCWarning(lcExport).noquote() << "clip export to" << clip << "failed:" << error;
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
    TrackExport track(*m_trip, exportedPositions());
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
    const QString name = clockName(positionMs, QStringLiteral("png"));
    Snapshot still(*m_trip, exportedPositions());
    const QStringList stamp =
        snapshotStamp() ? still.stampLines(positionMs, Units::clockOffsetSeconds()) : QStringList();
    const Masks masks = MaskStore::load(*m_trip);
    const QStringList shown = channels();
    if (!shown.isEmpty()) {
        // One still per channel of the same instant, each named with its channel.
        m_snapshots.start([this, still, folder, name, stamp, masks, positionMs, shown,
                           main = m_trip->front().channel]() mutable {
            QStringList paths;
            QStringList missing;
            if (!QDir().mkpath(folder)) {
                missing << tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder));
                emit channelSnapshotsDone(paths, missing, QPrivateSignal());
                return;
            }
            for (const QString& channel : shown) {
                if (!still.grab(positionMs, channel)) {
                    missing << still.errorString();
                    continue;
                }
                QImage image = still.frame();
                // Masks are drawn on the trip's own channel.
                if (channel == main)
                    masks.apply(image, double(positionMs) / 1000.0);
                if (!stamp.isEmpty())
                    image = Snapshot::stamped(image, stamp);
                const QString path =
                    unusedPath(QDir(folder).filePath(Trip::TripChannels::pathFor(name, channel)));
                if (still.save(image, path))
                    paths << path;
                else
                    missing << still.errorString();
            }
            emit channelSnapshotsDone(paths, missing, QPrivateSignal());
        });
        return;
    }
    // Decoding a large frame and writing its PNG take a good part of a second: off the GUI
    // thread, one snapshot after the other so that names taken in the same second stay unique.
    m_snapshots.start([this, still, folder, name, stamp, masks, positionMs]() mutable {
        if (!QDir().mkpath(folder)) {
            emit snapshotDone(QString(),
                              tr("The folder %1 cannot be created.").arg(QDir::toNativeSeparators(folder)),
                              QPrivateSignal());
            return;
        }
        if (!still.grab(positionMs)) {
            emit snapshotDone(QString(), still.errorString(), QPrivateSignal());
            return;
        }
        QImage image = still.frame();
        masks.apply(image, double(positionMs) / 1000.0);
        if (!stamp.isEmpty())
            image = Snapshot::stamped(image, stamp);
        const QString path = unusedPath(QDir(folder).filePath(name));
        if (!still.save(image, path)) {
            emit snapshotDone(QString(), still.errorString(), QPrivateSignal());
            return;
        }
        emit snapshotDone(path, QString(), QPrivateSignal());
    });
}

void EvidenceExport::reportSnapshot(const QString& path, const QString& error)
{
    if (path.isEmpty()) {
        qCWarning(lcExport).noquote() << "snapshot failed:" << error;
        showError(tr("The snapshot could not be saved."), error);
        return;
    }
    emit note(tr("Snapshot saved: %1").arg(QDir::toNativeSeparators(path)));
    emit snapshotSaved(path);
}

void EvidenceExport::reportChannelSnapshots(const QStringList& paths, const QStringList& missing)
{
    if (paths.isEmpty()) {
        qCWarning(lcExport).noquote() << "snapshots failed:" << missing.join(QStringLiteral("; "));
        showError(tr("The snapshot could not be saved."), missing.join(QLatin1Char('\n')));
        return;
    }
    QStringList names;
    for (const QString& path : paths)
        names << QDir::toNativeSeparators(path);
    QString text = tr("Snapshots saved: %1").arg(names.join(QStringLiteral(", ")));
    if (!missing.isEmpty())
        text += QStringLiteral("; ") + missing.join(QStringLiteral("; "));
    emit note(text);
    for (const QString& path : paths)
        emit snapshotSaved(path);
}
