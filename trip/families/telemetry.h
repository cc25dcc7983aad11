#pragma once

#include <QString>
#include <QtGlobal>

#include <cmath>
#include <string>
#include <vector>

namespace Camera {

// Where a recording's position data lives.
enum class TelemetrySource
{
    None,
    NmeaFile,  // a ".nmea" text file beside the video
    GpsFile,   // a ".gps" text file of "[epoch ms]NMEA" lines beside the video
    GpxFile,   // a ".gpx" track beside the video
    Mp4Box,    // inside the MP4 in a "free"/"gps " box or a freeGPS block
    TextTrack, // inside the MP4 in a text track (NMEA sentences or binary records)
    Gpmf,      // inside the MP4 in a GPMF metadata track
    Sei        // inside the video stream's SEI messages
};

// The name the command line writes: "nmea-file", "gps-file", "mp4-box", ...
QString sourceName(TelemetrySource source);

// One position read from binary telemetry. Times are UTC milliseconds since the epoch.
struct TelemetrySample
{
    qint64 utcMs = 0;
    double latitude = 0;        // degrees, north positive
    double longitude = 0;       // degrees, east positive
    double speed = NAN;         // metres per second
    double course = NAN;        // degrees clockwise from north
    double altitude = NAN;      // metres
    double accelerationX = NAN; // m/s^2, longitudinal
    double accelerationY = NAN; // m/s^2, lateral
};

// What a recording's telemetry holds. NMEA text is handed on as lines so that the NMEA rules
// (checksums, the date of time-only sentences) apply to it as to a ".nmea" file.
struct Telemetry
{
    TelemetrySource source = TelemetrySource::None;
    std::vector<std::string> nmeaLines;
    std::vector<TelemetrySample> samples;
    // Why nothing or only part could be read; empty when all went well.
    QString error;
};

} // namespace Camera
