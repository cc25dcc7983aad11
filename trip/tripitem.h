#pragma once

#include "telemetry.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <utility>
#include <vector>

namespace Trip {

// One recorded video file with its position file.
struct TripItem
{
    TripItem() = default;
    TripItem(qint64 durationMs, bool event, QString video, QString positions)
        : duration(durationMs), isEvent(event), videoFile(std::move(video)), nmeaFile(std::move(positions))
    {}

    qint64 duration = 0; // playing length in milliseconds
    bool isEvent = false;
    QString videoFile;
    // The file holding the position data: a sidecar, the video itself, or empty when none.
    QString nmeaFile;
    // What the camera family read; left empty, the trip model reads it from the video's name.
    QDateTime start;
    QString camera;
    QString channel;
    // Recordings of one run share it; empty, the run is the folder and the name's first three characters.
    QString run;
    Camera::TelemetrySource telemetry = Camera::TelemetrySource::NmeaFile;
    // Milliseconds from the file's start to its first picture (an edit list's empty edit, as a
    // channel that started late has). The engine's clock starts at the first picture.
    qint64 pictureStart = 0;
    // The other channels' recordings that start with this one, main channel's order.
    std::vector<TripItem> channels;

    bool operator==(const TripItem& other) const;
    bool operator!=(const TripItem& other) const { return !(*this == other); }
};

// The files of one trip, in playing order.
using TripList = std::vector<TripItem>;
// The trips of a playlist, in playlist order.
using Trips = std::vector<TripList>;

// Registers the shared-pointer types that cross threads in queued signals.
void registerMetaTypes();

} // namespace Trip

Q_DECLARE_METATYPE(std::shared_ptr<Trip::TripList>)
Q_DECLARE_METATYPE(std::shared_ptr<Trip::Trips>)
