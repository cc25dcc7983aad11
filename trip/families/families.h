#pragma once

#include "camerafamily.h"

#include <memory>
#include <vector>

namespace Camera {

// The camera families Tarrow knows, asked in a fixed order: the most particular names first,
// the generic family last.
class Families
{
public:
    Families() = delete;

    static const std::vector<std::unique_ptr<CameraFamily>>& all();
    static const CameraFamily* byId(const QString& id);

    // The first family's reading of a video path; invalid when no family knows the name.
    static Recording recognise(const QString& videoFile);

    // A video file's name: ".mp4" or ".mov" in any case.
    static bool isVideoName(const QString& fileName);

    // A folder, below a chosen one, that some family files its videos in.
    static bool isLayoutFolder(const QString& folderName);

    // Reads a telemetry file: a ".gps" or ".gpx" sidecar, or a video holding its own data (the
    // family that recognises the video reads it). ".nmea" files are the NMEA parser's own.
    static Telemetry readTelemetryFile(const QString& path);
};

} // namespace Camera
