#pragma once

#include "recording.h"

#include <QString>
#include <QStringList>

namespace Camera {

// One family of cameras: how it names and files its videos and where it keeps position data.
// A family answers from the path alone where it can; every answer is a plain value.
class CameraFamily
{
public:
    virtual ~CameraFamily() = default;

    // The id the command line writes, "novatek".
    virtual QString id() const = 0;

    // The recording a video path stands for; an invalid one when the path is not this family's.
    virtual Recording recognise(const QString& videoFile) const = 0;

    // Folder names (any case, "?" and "*" as wildcards) that this family files videos in, searched
    // below a chosen folder besides its immediate subfolders: "Movie", "RO", "1??EVENT", ...
    virtual QStringList folderNames() const { return {}; }

    // Whether recognise() reads the video (its header or its boxes), not only its path; such
    // readings are kept while the file keeps its size and modification time.
    virtual bool readsFile() const { return false; }

    // Reads the position data of a recording this family recognised. Sidecar text formats that
    // every family shares are read by the caller; a family reads what lives inside its videos.
    virtual Telemetry readTelemetry(const Recording& recording) const;

    // A file beside `videoFile` with the same base name and the suffix (".nmea") in any case;
    // empty when there is none.
    static QString sibling(const QString& videoFile, const QString& suffix);
    // A folder on the way to `path` (not the file itself) is named `name`, compared ignoring case.
    static bool inFolder(const QString& path, const QString& name, int levels = 64);
    // The name of the folder holding `path`.
    static QString folderName(const QString& path);
    // The channel a camera's letter names: F front, R rear, I interior (any case); front otherwise.
    static QString channelOfLetter(QChar letter);
};

} // namespace Camera
