#include "genericfamily.h"

#include "families.h"
#include "nametime.h"
#include "nmeacompanionfamily.h"

#include <QFileInfo>

namespace Camera {

const QString GenericFamily::Id = QStringLiteral("generic");

Recording GenericFamily::recognise(const QString& videoFile) const
{
    const QFileInfo info(videoFile);
    if (!Families::isVideoName(info.fileName()))
        return {};
    const QDateTime start = NameTime::find(info.completeBaseName());
    if (!start.isValid())
        return {};
    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    recording.start = start;
    recording.channel = QStringLiteral("front");
    recording.kind =
        NmeaCompanionFamily::isEventFile(videoFile) ? RecordingKind::Event : RecordingKind::Normal;
    recording.run = Id + QLatin1Char(':') + info.absolutePath();
    if (const QString nmea = sibling(videoFile, QStringLiteral(".nmea")); !nmea.isEmpty()) {
        recording.telemetry = TelemetrySource::NmeaFile;
        recording.telemetryFile = nmea;
    } else if (const QString gpx = sibling(videoFile, QStringLiteral(".gpx")); !gpx.isEmpty()) {
        recording.telemetry = TelemetrySource::GpxFile;
        recording.telemetryFile = gpx;
    }
    return recording;
}

} // namespace Camera
