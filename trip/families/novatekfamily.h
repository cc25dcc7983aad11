#pragma once

#include "camerafamily.h"

#include <QByteArray>

namespace Camera {

// Cameras on the common dash-cam chip set: "YYYY_MMDD_HHMMSS_NNNN[F|R|I].MP4" (also written
// without underscores in the date, or without the channel letter for a single camera) in
// "DCIM/Movie", protected recordings in "Movie/RO", parking recordings in "Movie/Parking".
// Positions are kept inside the video in "freeGPS" blocks, one a second.
class NovatekFamily : public CameraFamily
{
public:
    static const QString Id;

    // Bytes of a block up to its last field read: the bearing.
    static constexpr int BlockHeaderSize = 92;
    // Most blocks read of one video: a day at one block a second.
    static constexpr int MaxBlocks = 86400;

    QString id() const override { return Id; }
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    Telemetry readTelemetry(const Recording& recording) const override;

    // Reads one block, from its size field on, into a sample; false when the block is no
    // "freeGPS" block or holds no valid fix (status other than 'A', a date, time or position
    // out of range).
    static bool parseBlock(const QByteArray& block, TelemetrySample& sample);
};

} // namespace Camera
