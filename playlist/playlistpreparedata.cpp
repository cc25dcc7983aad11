#include "playlistpreparedata.h"

#include "channelpairing.h"
#include "mergefilelists.h"
#include "playlistlog.h"
#include "tripfile.h"

#include <vireo/vlcfileduration.h>

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString FileVanished = QStringLiteral("file vanished");
const QString LengthNotConfirmed = QStringLiteral("length not confirmed");

} // namespace

PlaylistPrepareData::PlaylistPrepareData(QObject* parent) : QThread(parent)
{
    setObjectName(QStringLiteral("PlaylistPrepareData_Thread"));
}

PlaylistPrepareData::~PlaylistPrepareData()
{
    requestInterruption();
    wait();
}

void PlaylistPrepareData::setDurationProbe(DurationProbe probe)
{
    QMutexLocker lock(&m_mutex);
    if (!m_started)
        m_probe = std::move(probe);
}

void PlaylistPrepareData::startProcessing(intptr_t id, const QStringList& ordinary, const QStringList& events)
{
    QMutexLocker lock(&m_mutex);
    if (id == 0 || m_started.exchange(1) != 0)
        return;
    m_id = id;
    m_ordinary = ordinary;
    m_events = events;
    start(QThread::InheritPriority);
}

QVector<PlaylistPrepareData::SkippedFile> PlaylistPrepareData::skippedFiles() const
{
    QMutexLocker lock(&m_skippedMutex);
    return m_skipped;
}

void PlaylistPrepareData::skip(const QString& file, const QString& reason)
{
    qCDebug(lcPlaylist).noquote() << "left out" << file << "-" << reason;
    QMutexLocker lock(&m_skippedMutex);
    m_skipped.push_back(SkippedFile{file, reason, reason == FileVanished});
}

bool PlaylistPrepareData::inGoneFolder(const QString& file) const
{
    return std::any_of(m_goneFolders.cbegin(), m_goneFolders.cend(),
                       [&file](const QString& folder) { return file.startsWith(folder); });
}

void PlaylistPrepareData::noteGoneFolder(const QString& file)
{
    QString gone;
    for (QString folder = QFileInfo(file).absolutePath(); !QFileInfo::exists(folder);) {
        gone = folder;
        const QString parent = QFileInfo(folder).absolutePath();
        if (parent == folder)
            break;
        folder = parent;
    }
    if (!gone.isEmpty())
        m_goneFolders << QDir::toNativeSeparators(gone) + QDir::separator();
}

bool PlaylistPrepareData::probeAll(QStringList paths, bool isEvent, Trip::TripList& items,
                                   const DurationProbe& probe)
{
    std::sort(paths.begin(), paths.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& path : qAsConst(paths)) {
        if (isInterruptionRequested())
            return false;
        QString reason;
        qint64 duration = 0;
        if (inGoneFolder(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))) {
            reason = FileVanished;
        } else {
            QString error;
            duration = probe(path, error);
            // A worker deleted during the probe must not report the file any more.
            if (isInterruptionRequested())
                return false;
            if (duration <= 0 || duration > VlcFileDuration::MaxClipMs) {
                if (!QFileInfo::exists(path)) {
                    reason = FileVanished;
                    noteGoneFolder(path);
                } else {
                    reason = duration == 0 && !error.isEmpty() ? error : LengthNotConfirmed;
                }
            }
        }
        emit reportProgress(m_id);
        if (reason.isEmpty()) {
            Trip::TripItem item = Trip::itemFor(Trip::recording(path), duration);
            item.isEvent = isEvent;
            items.push_back(std::move(item));
        } else
            skip(path, reason);
    }
    return true;
}

void PlaylistPrepareData::run()
{
    auto trips = std::make_shared<Trip::Trips>();
    bool empty = true;
    {
        QMutexLocker lock(&m_mutex);
        if (!isInterruptionRequested()) {
            // One engine measures the whole selection; it starts with the first file that
            // needs it and ends with this thread's work.
            std::unique_ptr<VlcFileDuration> engine;
            DurationProbe probe = m_probe;
            if (!probe) {
                probe = [&engine](const QString& file, QString& error) {
                    if (!engine)
                        engine = std::make_unique<VlcFileDuration>();
                    return engine->duration(file, error);
                };
            }
            Trip::TripList ordinary;
            Trip::TripList events;
            if (!probeAll(m_ordinary, false, ordinary, probe) || !probeAll(m_events, true, events, probe))
                return;
            // The channels of a multi-channel camera that recorded together become one item.
            ordinary = Trip::ChannelPairing::pair(std::move(ordinary));
            events = Trip::ChannelPairing::pair(std::move(events));
            if (!isInterruptionRequested() && !(ordinary.empty() && events.empty())) {
                Trip::MergeFileLists::merge(ordinary, events, *trips);
                empty = false;
            }
        }
    }
    if (isInterruptionRequested())
        return;
    if (empty)
        emit finishedEmpty(m_id);
    else
        emit completed(m_id, trips);
}
