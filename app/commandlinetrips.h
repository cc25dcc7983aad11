#pragma once

#include "playlistpreparedata.h"
#include "tripitem.h"

#include <QCoreApplication>
#include <QStringList>
#include <QVector>

// The trips of the files and folders named on the command line, found, numbered and ordered
// exactly as the playlist shows them: folders expanded as in the open dialog, files admitted
// by the same rules, measured and merged by the playlist's own preparation worker, sorted by
// start time as the playlist sorts its rows.
class CommandLineTrips
{
    Q_DECLARE_TR_FUNCTIONS(CommandLineTrips)
public:
    struct Skipped
    {
        QString file;
        QString reason;
    };

    // Needs a running QCoreApplication: it waits for the worker in a local event loop. False
    // with error() when a path does not exist or the paths hold no camera video at all.
    bool load(const QStringList& paths);

    const Trip::Trips& trips() const { return m_trips; }
    // Files that were left out, with the reason: the files the window's skipped list names.
    const QVector<Skipped>& skipped() const { return m_skipped; }
    QString error() const { return m_error; }

    // Replaces the media engine's duration probe (tests).
    void setDurationProbe(PlaylistPrepareData::DurationProbe probe) { m_probe = std::move(probe); }

private:
    // The trips of the admitted videos; `unplayable` gets what the preparation left out.
    Trip::Trips prepare(const QStringList& ordinary, const QStringList& events,
                        QVector<PlaylistPrepareData::SkippedFile>& unplayable);

    Trip::Trips m_trips;
    QVector<Skipped> m_skipped;
    QString m_error;
    PlaylistPrepareData::DurationProbe m_probe;
};
