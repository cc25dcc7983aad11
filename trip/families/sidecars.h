#pragma once

#include "telemetry.h"

#include <QByteArray>

namespace Camera {

// Position files kept beside videos, read from their bytes.
class Sidecars
{
public:
    Sidecars() = delete;

    // Most bytes read of a sidecar; a larger file is read up to this size and reported.
    static constexpr qint64 MaxSize = 64LL * 1024 * 1024;

    // "[1714554000000]$GPRMC,..." lines: the NMEA sentences, each without its time prefix.
    // Lines without a sentence (the camera's own notes) are left out.
    static Telemetry parseGps(const QByteArray& text);
    // A GPX file's track, route and way points with a time, in file order.
    static Telemetry parseGpx(const QByteArray& xml);

    static Telemetry readGps(const QString& path);
    static Telemetry readGpx(const QString& path);
};

} // namespace Camera
