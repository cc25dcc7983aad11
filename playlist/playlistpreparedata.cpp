#include "playlistpreparedata.h"

#include "channelpairing.h"
#include "mediacache.h"
#include "mergefilelists.h"
#include "playlistlog.h"
#include "tripfile.h"

#include <vireo/vlcfileduration.h>
#include <vireo/vlcplayer.h>

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include <algorithm>

namespace {

const QString FileVanished = QStringLiteral("file vanished");
const QString LengthNotConfirmed = QStringLiteral("length not confirmed");
const QString ParseTimedOut = QStringLiteral("parse timed out");

// What the probe's results depend on besides the file: the codes the file check admits.
QString probeGeneration()
{
    QStringList codes;
    for (const char* code : VlcPlayer::m_correctFourCC)
        codes << QString::fromLatin1(code);
    return QStringLiteral("probe 1 ") + codes.join(QLatin1Char(','));
}

} // namespace

qint64 PlaylistPrepareData::cachedProbe(MediaCache& cache, const QString& file, QString& error,
                                        const DurationProbe& probe)
{
    const QString key = QFileInfo(file).absoluteFilePath();
    QByteArray stored;
    if (cache.lookup(key, stored)) {
        QDataStream in(stored);
        qint64 duration = 0;
        QString reason;
        in >> duration >> reason;
        if (in.status() == QDataStream::Ok) {
            error = reason;
            return duration;
        }
    }
    const qint64 duration = probe(file, error);
    // A parse that timed out says nothing of the file: it is asked again next time.
    if (duration > 0 || (!error.isEmpty() && error != ParseTimedOut)) {
        QByteArray value;
        QDataStream out(&value, QIODevice::WriteOnly);
        out << duration << (duration > 0 ? QString() : error);
        cache.store(key, value);
    }
    return duration;
}

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
            // The engine's results are kept between runs; the engine starts only for a file
            // the cache does not know as it is now.
            MediaCache cache(QStringLiteral("probe"), probeGeneration());
            const auto saveCache = qScopeGuard([&cache] { cache.save(); });
            DurationProbe probe = m_probe;
            if (!probe) {
                const DurationProbe measure = [&engine](const QString& file, QString& error) {
                    if (!engine)
                        engine = std::make_unique<VlcFileDuration>();
                    return engine->duration(file, error);
                };
                probe = [&cache, measure](const QString& file, QString& error) {
                    return cachedProbe(cache, file, error, measure);
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
