#include "telemetry.h"

namespace Camera {

QString sourceName(TelemetrySource source)
{
    switch (source) {
    case TelemetrySource::None:
        break;
    case TelemetrySource::NmeaFile:
        return QStringLiteral("nmea-file");
    case TelemetrySource::GpsFile:
        return QStringLiteral("gps-file");
    case TelemetrySource::GpxFile:
        return QStringLiteral("gpx-file");
    case TelemetrySource::Mp4Box:
        return QStringLiteral("mp4-box");
    case TelemetrySource::TextTrack:
        return QStringLiteral("text-track");
    case TelemetrySource::Gpmf:
        return QStringLiteral("gpmf");
    case TelemetrySource::Sei:
        return QStringLiteral("sei");
    }
    return QStringLiteral("none");
}

} // namespace Camera
