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

    // What a choice of files and folders stands for.
    struct Result
    {
        // What the user chose, as absolute paths, each once (the folder shown when nothing was
        // selected).
        QStringList chosen;
        // Camera videos found, each once, in the order described at `expand`.
        QStringList videos;
        // Files looked at: the chosen files and the files in the folders searched.
        int filesSeen = 0;
        // Files matching the name patterns whose name is not a camera video's ("holiday.mp4").
        QStringList misnamed;
        // Chosen paths that do not exist.
        QStringList missing;
    };

    // "*.mp4" from a dialog name filter such as "MP4 (*.mp4)", one pattern per filter.
    static QStringList namePatterns(const QStringList& nameFilters);

    // Every chosen folder stands for itself and its immediate subfolders, alone or among other
    // folders and files. Only files matching `namePatterns` and exactly `filePattern` are kept,
    // each once however often it is reached, in the order chosen, folders' files in name order
    // ignoring case.
    static Result collect(const QStringList& chosen, const QStringList& namePatterns,
                          const QRegularExpression& filePattern);
    static QStringList expand(const QStringList& chosen, const QStringList& namePatterns,
                              const QRegularExpression& filePattern);

    // Subfolders of `dir`, without symbolic links, sorted by name ignoring case.
    static QStringList subfolders(const QString& dir);
};
