#include "tripfile.h"

#include "families.h"
#include "nmeacompanionfamily.h"

#include <QDir>
#include <QFileInfo>

namespace Trip {

QString nmeaFileFor(const QString& videoFile)
{
    return Camera::NmeaCompanionFamily::nmeaFileFor(videoFile);
}

Camera::Recording recording(const QString& videoFile)
{
    return Camera::Families::recognise(videoFile);
}

QString startTimeString(const QString& videoFile)
{
    const QDateTime start = startTime(videoFile);
    return start.isValid() ? start.toString(QStringLiteral("yyyyMMddHHmmss")) : QString();
}

QDateTime startTime(const QString& videoFile)
{
    return recording(videoFile).start;
}

QDateTime startOf(const TripItem& item)
{
    return item.start.isValid() ? item.start : startTime(item.videoFile);
}

qint64 startMSecs(const QString& videoFile)
{
    return startTime(videoFile).toMSecsSinceEpoch();
}

bool isEventFile(const QString& videoFile)
{
    const Camera::Recording known = recording(videoFile);
    if (known.family.isEmpty())
        return Camera::NmeaCompanionFamily::isEventFile(videoFile);
    return known.kind == Camera::RecordingKind::Event;
}

TripItem itemFor(const Camera::Recording& recording, qint64 durationMs)
{
    TripItem item;
    item.duration = durationMs;
    item.isEvent = recording.kind == Camera::RecordingKind::Event;
    item.videoFile = recording.videoFile;
    item.nmeaFile = recording.telemetryFile;
    item.start = recording.start;
    item.camera = recording.family;
    item.channel = recording.channel;
    item.run = recording.run;
    item.telemetry = recording.telemetry;
    return item;
}

Rejection rejection(const QString& videoFile)
{
    const Camera::Recording known = recording(videoFile);
    if (known.family.isEmpty())
        return Rejection::NoCameraName;
    // This family keeps its positions only beside its videos: a video without them is no recording.
    if (known.family == Camera::NmeaCompanionFamily::Id && !QFileInfo::exists(known.telemetryFile))
        return Rejection::NoNmeaFile;
    if (!known.start.isValid())
        return Rejection::NoStartTime;
    return Rejection::None;
}

Admission admit(const QString& videoFile)
{
    if (rejection(videoFile) != Rejection::None)
        return Admission::Rejected;
    return isEventFile(videoFile) ? Admission::Event : Admission::Ordinary;
}

void admit(const QStringList& selected, QStringList& ordinary, QStringList& events)
{
    for (const QString& path : selected) {
        const QString native = QDir::toNativeSeparators(path);
        switch (admit(native)) {
        case Admission::Ordinary:
            ordinary.append(native);
            break;
        case Admission::Event:
            events.append(native);
            break;
        case Admission::Rejected:
            break;
        }
    }
}

} // namespace Trip
