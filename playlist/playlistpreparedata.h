#pragma once

#include "tripitem.h"

#include <QMutex>
#include <QStringList>
#include <QThread>
#include <QVector>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

// Measures every selected video and merges the recordings into trips, off the GUI thread.
// One object serves one request; every signal carries the request's id.
class MediaCache;

class PlaylistPrepareData : public QThread
{
    Q_OBJECT
public:
    // Playing length of a file in milliseconds; 0 or less when it cannot be measured,
    // error then says why.
    using DurationProbe = std::function<qint64(const QString& file, QString& error)>;

    // A file left out of the trips and why: the probe's reason (the engine's file-check
    // message, "length not confirmed", "parse timed out") or "file vanished".
    struct SkippedFile
    {
        QString path;
        QString reason;
        bool vanished = false; // gone from the disk while the selection was read
    };

    explicit PlaylistPrepareData(QObject* parent = nullptr);
    // Interrupts and waits: returns once the probe of the file being measured has returned.
    ~PlaylistPrepareData() override;

    // Replaces the engine's duration probe; only before startProcessing. An empty
    // probe stands for the engine's, which measures the whole selection on one engine.
    void setDurationProbe(DurationProbe probe);

    // The probe's answer for file from the cache when it knows the file as it is now, otherwise
    // from `probe`, kept in the cache unless it says nothing of the file (a parse that timed out).
    static qint64 cachedProbe(MediaCache& cache, const QString& file, QString& error,
                              const DurationProbe& probe);

    // Starts the thread once per object; an id of 0 starts nothing.
    void startProcessing(intptr_t id, const QStringList& ordinary, const QStringList& events);

    // The files left out so far, in the order they were met; complete when completed or
    // finishedEmpty is emitted. Safe from any thread.
    QVector<SkippedFile> skippedFiles() const;

signals:
    void reportProgress(intptr_t id);
    void completed(intptr_t id, std::shared_ptr<Trip::Trips> trips);
    void finishedEmpty(intptr_t id);

protected:
    void run() override;

private:
    // False when interrupted; a file without a plausible length is left out and noted.
    bool probeAll(QStringList paths, bool isEvent, Trip::TripList& items, const DurationProbe& probe);
    // Whether file lies in a folder found gone; remembers the highest gone folder above
    // a file that has just vanished, so the rest of a pulled card is not probed.
    bool inGoneFolder(const QString& file) const;
    void noteGoneFolder(const QString& file);
    void skip(const QString& file, const QString& reason);

    QMutex m_mutex;
    std::atomic<int> m_started{0};
    intptr_t m_id = 0;
    QStringList m_ordinary;
    QStringList m_events;
    DurationProbe m_probe;
    QStringList m_goneFolders;
    mutable QMutex m_skippedMutex;
    QVector<SkippedFile> m_skipped;
};
