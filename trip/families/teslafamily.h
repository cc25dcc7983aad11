#pragma once

#include "camerafamily.h"

#include <QByteArray>
#include <QDateTime>

#include <cmath>

namespace Camera {

// A car's cameras on a USB drive: "TeslaCam/RecentClips/2024-05-01_09-00-00-front.mp4" while
// driving, and event folders "TeslaCam/SavedClips/<time>/" (saved by the driver) and
// "TeslaCam/SentryClips/<time>/" (recorded while parked), each with an "event.json". Cameras
// front, back, left_repeater, right_repeater and, on newer cars, left_pillar and right_pillar;
// the camera's word is the channel. Positions in the H.264 stream's SEI messages (newer
// firmware); a clip without them holding an event's time gets the event's estimated place.
class TeslaFamily : public CameraFamily
{
public:
    static const QString Id;

    // What an event folder's "event.json" says.
    struct Event
    {
        QDateTime time; // the wall clock as written, kept as Qt::UTC
        double latitude = NAN;
        double longitude = NAN;
        QString reason; // "sentry_aware_object_detection", "user_interaction_dashcam_icon_tapped", ...
        bool hasPosition() const;
    };

    // Most bytes read of an "event.json".
    static constexpr qint64 MaxEventSize = 64 * 1024;

    QString id() const override { return Id; }
    // A name of this family with digits that are no date gives a recording without start.
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    Telemetry readTelemetry(const Recording& recording) const override;

    static Event parseEvent(const QByteArray& json);
    // The "event.json" beside a video; an empty event when there is none.
    static Event eventFor(const QString& videoFile);
};

} // namespace Camera
