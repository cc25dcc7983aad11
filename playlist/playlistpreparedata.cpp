#include "playlistpreparedata.h"

#include "mergefilelists.h"
#include "tripfile.h"

#include <vireo/vlcfileduration.h>

#include <algorithm>

PlaylistPrepareData::PlaylistPrepareData(QObject* parent)
    : QThread(parent), m_probe([](const QString& file, QString& error) -> qint64 {
          return VlcFileDuration::getFileDuration(file, error);
      })
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

bool PlaylistPrepareData::probeAll(QStringList paths, bool isEvent, Trip::TripList& items)
{
    std::sort(paths.begin(), paths.end(),
              [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    for (const QString& path : qAsConst(paths)) {
        if (isInterruptionRequested())
            return false;
        QString error;
        const qint64 duration = m_probe(path, error);
        // A worker deleted during the probe must not report the file any more.
        if (isInterruptionRequested())
            return false;
        emit reportProgress(m_id);
        if (duration != 0)
            items.push_back(Trip::TripItem{duration, isEvent, path, Trip::nmeaFileFor(path)});
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
            Trip::TripList ordinary;
            Trip::TripList events;
            if (!probeAll(m_ordinary, false, ordinary) || !probeAll(m_events, true, events))
                return;
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
