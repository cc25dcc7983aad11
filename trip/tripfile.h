#pragma once

#include "recording.h"
#include "tripitem.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// Naming rules of the cameras' files, as the camera families read them.
namespace Trip {

// The position file of a video: the file name's extension (".mp4", any case) replaced by ".nmea";
// the folders on the way keep their names.
QString nmeaFileFor(const QString& videoFile);

// The start time as 14 digits "YYYYMMDDhhmmss"; their string order is their time order. Empty when
// the name holds no start.
QString startTimeString(const QString& videoFile);

// The start time the camera family reads from the file name (or its header), a wall-clock time
// kept as Qt::UTC; invalid when it holds no date and time.
QDateTime startTime(const QString& videoFile);

// The start of an item: what its camera family read, or read from its name now.
QDateTime startOf(const TripItem& item);

// Start time in milliseconds since the epoch (meaningless for an invalid time).
qint64 startMSecs(const QString& videoFile);

// An event recording as its camera family defines it; a video no family knows is one when it
// lies in a folder named exactly "EVENT" (any level of the path).
bool isEventFile(const QString& videoFile);

// The recording a video stands for, as the first camera family that knows its name reads it.
Camera::Recording recording(const QString& videoFile);

// The trip item of an admitted video, with what its camera family read.
TripItem itemFor(const Camera::Recording& recording, qint64 durationMs);

enum class Admission
{
    Rejected,
    Ordinary,
    Event
};

// Admission of one selected video: a camera family must know its name and read a valid start;
// a family that keeps positions only beside its videos needs that file.
Admission admit(const QString& videoFile);

// Why a video is not admitted.
enum class Rejection
{
    None,
    NoNmeaFile,
    NoStartTime,
    NoCameraName
};
Rejection rejection(const QString& videoFile);

// Sorts selected paths (native separators) into the ordinary and event lists; rejected ones are dropped.
void admit(const QStringList& selected, QStringList& ordinary, QStringList& events);

} // namespace Trip
