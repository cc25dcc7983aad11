#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// Naming rules of the camera's files: "RRR_SSSS_YYYYMMDDhhmmss.mp4", the position file beside it.
namespace Trip {

// The position file of a video: the file name's extension (".mp4", any case) replaced by ".nmea";
// the folders on the way keep their names.
QString nmeaFileFor(const QString& videoFile);

// The 14 start-time digits of a video path; their string order is their time order.
QString startTimeString(const QString& videoFile);

// The start time in the file name, a wall-clock time kept as Qt::UTC; invalid when the digits are
// no date and time.
QDateTime startTime(const QString& videoFile);

// Start time in milliseconds since the epoch (meaningless for an invalid time).
qint64 startMSecs(const QString& videoFile);

// An event recording lies in a folder named exactly "EVENT" (any level of the path).
bool isEventFile(const QString& videoFile);

enum class Admission
{
    Rejected,
    Ordinary,
    Event
};

// Admission of one selected video: it needs its position file and a valid start time in its name.
Admission admit(const QString& videoFile);

// Why a video is not admitted.
enum class Rejection
{
    None,
    NoNmeaFile,
    NoStartTime
};
Rejection rejection(const QString& videoFile);

// Sorts selected paths (native separators) into the ordinary and event lists; rejected ones are dropped.
void admit(const QStringList& selected, QStringList& ordinary, QStringList& events);

} // namespace Trip
