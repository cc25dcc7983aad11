#pragma once

#include "camerafamily.h"

namespace Camera {

// "YYYYMMDD_HHMMSS_<type><channel>.mp4" in "Record": the type letter says why the camera recorded
// (N normal, P parking, M manual, E and others events), the channel letter which camera (F front,
// R rear, I interior). Positions are "[epoch ms]NMEA" lines in a ".gps" file beside the videos,
// shared by the channels of one recording, and the same text inside the video.
class BlackVueFamily : public CameraFamily
{
public:
    static const QString Id;

    QString id() const override { return Id; }
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    bool readsFile() const override { return true; }
    // The ".gps" sidecar's sentences, or those kept inside the video.
    Telemetry readTelemetry(const Recording& recording) const override;

    // The kind of a recording-type letter; false for a letter the maker does not describe.
    static bool kindOf(QChar type, RecordingKind& kind);
    // The ".gps" file of a video: its own name, else its name without the channel letter, in
    // any case; empty when there is none.
    static QString gpsFileFor(const QString& videoFile);
    // The video keeps its sentences in a "gps " box: top-level or in a top-level "free" box.
    static bool hasGpsBox(const QString& videoFile);
};

} // namespace Camera
