#pragma once

#include "mediacache.h"
#include "telemetry.h"

#include <QByteArray>
#include <QString>

// Position data that the camera families read from inside videos and from sidecars of other
// formats (GPX, ".gps"), kept between runs in the user's cache folder while each file keeps its
// size and modification time: a card seen before is not read again. Of faster receivers only the
// first sample of each second is kept, as the parser uses no more. Belongs to one thread.
class TelemetryCache
{
public:
    TelemetryCache();

    // The position data of a video or sidecar, from the cache or read now.
    Camera::Telemetry read(const QString& path);
    // Writes what was read now for the next run.
    void save() { m_cache.save(); }

    static QByteArray encode(const Camera::Telemetry& telemetry);
    // False when `bytes` is not a whole encoded value.
    static bool decode(const QByteArray& bytes, Camera::Telemetry& telemetry);
    // The first sample of each second, in their order.
    static std::vector<Camera::TelemetrySample>
    firstOfEachSecond(const std::vector<Camera::TelemetrySample>& samples);

private:
    MediaCache m_cache;
};
