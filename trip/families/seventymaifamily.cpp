#include "seventymaifamily.h"

#include "families.h"
#include "nametime.h"

#include <QFileInfo>

namespace Camera {

const QString SeventyMaiFamily::Id = QStringLiteral("70mai");

namespace {

bool kindOf(const QString& folder, RecordingKind& kind)
{
    if (folder.compare(QLatin1String("Normal"), Qt::CaseInsensitive) == 0)
        kind = RecordingKind::Normal;
    else if (folder.compare(QLatin1String("Event"), Qt::CaseInsensitive) == 0)
        kind = RecordingKind::Event;
    else if (folder.compare(QLatin1String("Parking"), Qt::CaseInsensitive) == 0)
        kind = RecordingKind::Parking;
    else
        return false;
    return true;
}

// The channel a folder holds; empty for any other folder. Three-channel models add "Interior".
QString channelOf(const QString& folder)
{
    for (const char* name : {"Front", "Back", "Interior"}) {
        if (folder.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name).toLower();
    }
    return QString();
}

} // namespace

Recording SeventyMaiFamily::recognise(const QString& videoFile) const
{
    const QFileInfo info(videoFile);
    if (!Families::isVideoName(info.fileName()))
        return {};
    const QFileInfo channelFolder(info.path());
    const QFileInfo kindFolder(channelFolder.path());
    Recording recording;
    const QString channel = channelOf(channelFolder.fileName());
    if (channel.isEmpty() || !kindOf(kindFolder.fileName(), recording.kind))
        return {};
    recording.start = NameTime::find(info.completeBaseName());
    if (!recording.start.isValid())
        return {};
    recording.family = Id;
    recording.videoFile = videoFile;
    recording.channel = channel;
    // The channels of one kind share a run: their folders are siblings below the kind's folder.
    recording.run = Id + QLatin1Char(':') + QFileInfo(info.absolutePath()).absolutePath();
    const struct
    {
        const char* suffix;
        TelemetrySource source;
    } sidecars[] = {{".nmea", TelemetrySource::NmeaFile},
                    {".gps", TelemetrySource::GpsFile},
                    {".gpx", TelemetrySource::GpxFile}};
    for (const auto& sidecar : sidecars) {
        const QString file = sibling(videoFile, QLatin1String(sidecar.suffix));
        if (!file.isEmpty()) {
            recording.telemetry = sidecar.source;
            recording.telemetryFile = file;
            break;
        }
    }
    return recording;
}

QStringList SeventyMaiFamily::folderNames() const
{
    return {QStringLiteral("Normal"), QStringLiteral("Event"), QStringLiteral("Parking"),
            QStringLiteral("Front"),  QStringLiteral("Back"),  QStringLiteral("Interior")};
}

} // namespace Camera
