#pragma once

#include <QStringList>

// Turns the files and folders a user chose into the camera videos they stand for. The open
// dialog and the command line share it, so both expand folders the same way.
class VideoSelection
{
public:
    VideoSelection() = delete;

    // The open dialog's filter of video files.
    static const char* const NameFilter;

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

    // "*.mp4", "*.mov" from dialog name filters such as "Videos (*.mp4 *.MP4 *.mov *.MOV)".
    static QStringList namePatterns(const QStringList& nameFilters);
    // The patterns of NameFilter.
    static QStringList videoPatterns();

    // A video some camera family knows by its path.
    static bool isCameraVideo(const QString& path);

    // Every chosen folder stands for itself and its immediate subfolders, alone or among other
    // folders and files, and for the folders below them that a camera family files videos in
    // ("DCIM/Movie/RO"). Only files matching `namePatterns` that a camera family knows are kept,
    // each once however often it is reached, in the order chosen, folders' files in name order
    // ignoring case.
    static Result collect(const QStringList& chosen, const QStringList& namePatterns = videoPatterns());
    static QStringList expand(const QStringList& chosen, const QStringList& namePatterns = videoPatterns());

    // How deep below a chosen folder the camera families' folders are searched.
    static constexpr int LayoutDepth = 4;

    // Subfolders of `dir`, without symbolic links, sorted by name ignoring case.
    static QStringList subfolders(const QString& dir);
};
