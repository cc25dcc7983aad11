#pragma once

#include "camerafamily.h"

#include <string>
#include <vector>

namespace Camera {

// Two-channel cameras that file each recording mode in a folder of its own ("cont_rec",
// "evt_rec", "parking_rec", ...) and name a video by mode, start and channel:
// "REC_20240501_090000_F.MP4", or on older models "REC_2024_05_01_09_00_00_F.MP4". Positions
// are NMEA sentences in a text track of the video.
class ThinkwareFamily : public CameraFamily
{
public:
    static const QString Id;

    QString id() const override { return Id; }
    // A name of this family with digits that are no date gives a recording without start.
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    Telemetry readTelemetry(const Recording& recording) const override;

    // The NMEA sentences in a text sample, one per entry: each runs from "$" to the end of the
    // line, to the next "$" or to the end of the text.
    static void appendSentences(const QByteArray& text, std::vector<std::string>& out);
};

} // namespace Camera
