#pragma once

#include <QRegularExpression>
#include <QStringList>

// Turns the files and folders a user chose into the camera videos they stand for. The open
// dialog and the command line share it, so both expand folders the same way.
class VideoSelection
{
public:
    VideoSelection() = delete;

    // Name of a camera video: run, sequence number and start time, "001_0042_20240501120000.mp4".
    static const QString FilePattern;

    // "*.mp4" from a dialog name filter such as "MP4 (*.mp4)", one pattern per filter.
    static QStringList namePatterns(const QStringList& nameFilters);

    // A single chosen folder stands for itself and its immediate subfolders; otherwise every
    // chosen folder stands for its own files. Only files matching `namePatterns` and exactly
    // `filePattern` are kept, each once, folders' files in name order ignoring case.
    static QStringList expand(const QStringList& chosen, const QStringList& namePatterns,
                              const QRegularExpression& filePattern);

    // Subfolders of `dir`, without symbolic links, sorted by name ignoring case.
    static QStringList subfolders(const QString& dir);
};
