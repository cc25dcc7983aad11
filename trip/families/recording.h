#pragma once

#include "telemetry.h"

#include <QDateTime>
#include <QString>

namespace Camera {

enum class RecordingKind
{
    Normal,
    Event, // an event or protected recording
    Parking
};

// What a camera family reads from one video's path (and, where the name holds no time, its header).
struct Recording
{
    QString family; // the family's id, "nmea-companion", "novatek", ...
    QString videoFile;
    QDateTime start; // the camera's wall clock at the first frame, kept as Qt::UTC
    QString channel; // "front", "rear", "interior", or the camera's own word
    RecordingKind kind = RecordingKind::Normal;
    // Recordings of one run share a key; only recordings of one run join a trip, beside events.
    QString run;
    TelemetrySource telemetry = TelemetrySource::None;
    // The file holding the position data: the sidecar, the video itself, or empty.
    QString telemetryFile;

    bool isValid() const { return !family.isEmpty() && start.isValid(); }
};

} // namespace Camera
