#pragma once

#include "tripitem.h"

#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

// Measures every selected video and merges the recordings into trips, off the GUI thread.
// One object serves one request; every signal carries the request's id.
class PlaylistPrepareData : public QThread
{
    Q_OBJECT
public:
    // Playing length of a file in milliseconds, 0 when it cannot be measured.
    using DurationProbe = std::function<qint64(const QString& file, QString& error)>;

    explicit PlaylistPrepareData(QObject* parent = nullptr);
    // Interrupts and waits: returns once the probe of the file being measured has returned.
    ~PlaylistPrepareData() override;

    // Replaces the engine's duration probe; only before startProcessing.
    void setDurationProbe(DurationProbe probe);

    // Starts the thread once per object; an id of 0 starts nothing.
    void startProcessing(intptr_t id, const QStringList& ordinary, const QStringList& events);

signals:
    void reportProgress(intptr_t id);
    void completed(intptr_t id, std::shared_ptr<Trip::Trips> trips);
    void finishedEmpty(intptr_t id);

protected:
    void run() override;

private:
    // False when interrupted; the item of a file that measured 0 is left out.
    bool probeAll(QStringList paths, bool isEvent, Trip::TripList& items);

    QMutex m_mutex;
    std::atomic<int> m_started{0};
    intptr_t m_id = 0;
    QStringList m_ordinary;
    QStringList m_events;
    DurationProbe m_probe;
};
