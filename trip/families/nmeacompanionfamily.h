#pragma once

#include "camerafamily.h"

namespace Camera {

// "RRR_SSSS_YYYYMMDDhhmmss.mp4" (run, sequence, start) with a ".nmea" file beside it; event
// recordings in a folder named exactly "EVENT".
class NmeaCompanionFamily : public CameraFamily
{
public:
    static const QString Id;
    // The name of a video, matched exactly.
    static const QString NamePattern;

    QString id() const override { return Id; }
    // A name of this family with digits that are no date gives a recording without start.
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;

    // The position file of a video: the file name's extension replaced by ".nmea".
    static QString nmeaFileFor(const QString& videoFile);
    // A folder named exactly "EVENT" (any level).
    static bool isEventFile(const QString& videoFile);
};

} // namespace Camera
