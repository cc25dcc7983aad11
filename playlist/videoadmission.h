#pragma once

#include "playlistpreparedata.h"
#include "skippedfiles.h"
#include "videoselection.h"

#include <QStringList>
#include <QVector>

// Which videos of a selection go on to be measured and merged into trips, and which files of
// it are left out and why. The window's skipped files and the command line's `skipped` list are
// both made here, so they name the same files for the same reasons.
struct VideoAdmission
{
    // Admitted videos (native separators), split as the preparation takes them.
    QStringList ordinary;
    QStringList events;
    // The position files of the admitted videos, in the selection's order.
    QStringList nmeaFiles;
    // Files matching the name patterns but not named like a camera video, then videos without
    // their position file or without a valid start time in the name, in the selection's order.
    SkippedFiles skipped;

    static VideoAdmission admit(const VideoSelection::Result& selection);

    // The files the preparation left out: gone from the disk, or not playable.
    static SkippedFiles::List unplayable(const QVector<PlaylistPrepareData::SkippedFile>& files);
};
