#pragma once

#include "camerafamily.h"

namespace Camera {

// A camera that files its videos in a folder per kind and channel: "Normal/Front", "Normal/Back",
// "Event/Front", "Parking/Back", ... named "NO20240501-090000-000001F.MP4" ("EV", "PA" for the
// other kinds). The folders say what a video is: any name holding a date and time is taken
// there. Positions only in a ".nmea", ".gps" or ".gpx" file beside a video.
class SeventyMaiFamily : public CameraFamily
{
public:
    static const QString Id;

    QString id() const override { return Id; }
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
};

} // namespace Camera
