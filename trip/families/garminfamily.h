#pragma once

#include "camerafamily.h"

namespace Camera {

// Cameras that file videos the way still cameras do: "DCIM/100EVENT/GRMN0001.MP4", one folder
// per kind ("EVENT", "SAVED", "UNSVD", "PARKM" after a three-digit number). The name holds no
// time: the start is the movie header's creation time, which these cameras write in UTC.
// Positions are binary "PNDM" records in a text track, one per sample.
class GarminFamily : public CameraFamily
{
public:
    static const QString Id;
    // Seconds from 1904-01-01, where MP4 times count from, to 1970-01-01.
    static constexpr qint64 Seconds1904To1970 = 2082844800;

    QString id() const override { return Id; }
    // A name of this family whose header holds no creation time gives a recording without start.
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    bool readsFile() const override { return true; }
    Telemetry readTelemetry(const Recording& recording) const override;

    // The movie header's creation time of a video, kept as Qt::UTC; invalid when there is none.
    static QDateTime headerStart(const QString& videoFile);

    // A position from the text of one sample ("PNDM", 4 bytes, speed in km/h as a signed 16-bit
    // number, 2 bytes of flags, latitude and longitude as signed 32-bit semicircles, all
    // big-endian), taken at `utcMs`. False when the text is no such record or holds no fix.
    static bool readRecord(const QByteArray& text, qint64 utcMs, TelemetrySample& out);
};

} // namespace Camera
