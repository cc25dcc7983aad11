#include "teslafamily.h"

#include "teslasei.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace Camera {

const QString TeslaFamily::Id = QStringLiteral("tesla");

namespace {

double coordinate(const QJsonValue& value)
{
    // Written as text ("52.5163"); a number is taken as well.
    bool ok = value.isDouble();
    const double number = value.isString() ? value.toString().toDouble(&ok) : value.toDouble();
    return ok ? number : NAN;
}

} // namespace

bool TeslaFamily::Event::hasPosition() const
{
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90 &&
           std::abs(longitude) <= 180 && (latitude != 0 || longitude != 0);
}

Recording TeslaFamily::recognise(const QString& videoFile) const
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(
            QStringLiteral("([0-9]{4}-[0-9]{2}-[0-9]{2}_[0-9]{2}-[0-9]{2}-[0-9]{2})-"
                           "(front|back|left_repeater|right_repeater|left_pillar|right_pillar)\\.mp4")),
        QRegularExpression::CaseInsensitiveOption);
    const QFileInfo info(videoFile);
    const QRegularExpressionMatch match = pattern.match(info.fileName());
    if (!match.hasMatch())
        return {};
    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    const QDateTime start = QDateTime::fromString(match.captured(1), QStringLiteral("yyyy-MM-dd_HH-mm-ss"));
    if (start.isValid())
        recording.start = QDateTime(start.date(), start.time(), Qt::UTC);
    recording.channel = match.captured(2).toLower();
    // Saved and Sentry clips lie in a folder per event below "SavedClips" or "SentryClips".
    const bool event = inFolder(videoFile, QStringLiteral("SavedClips"), 2) ||
                       inFolder(videoFile, QStringLiteral("SentryClips"), 2);
    recording.kind = event ? RecordingKind::Event : RecordingKind::Normal;
    // Every camera of a folder records together: "RecentClips", or one event's folder.
    recording.run = Id + QLatin1Char(':') + info.absolutePath();
    recording.telemetry = TelemetrySource::Sei;
    recording.telemetryFile = videoFile;
    return recording;
}

QStringList TeslaFamily::folderNames() const
{
    // Saved and sentry clips lie in a folder per event named by its time.
    return {QStringLiteral("TeslaCam"), QStringLiteral("RecentClips"), QStringLiteral("SavedClips"),
            QStringLiteral("SentryClips"), QStringLiteral("[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]_*")};
}

TeslaFamily::Event TeslaFamily::parseEvent(const QByteArray& json)
{
    Event event;
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    const QDateTime time =
        QDateTime::fromString(object.value(QLatin1String("timestamp")).toString(), Qt::ISODate);
    // The car's wall clock, as in its file names; a zone written after it is not applied.
    if (time.isValid())
        event.time = QDateTime(time.date(), time.time(), Qt::UTC);
    event.latitude = coordinate(object.value(QLatin1String("est_lat")));
    event.longitude = coordinate(object.value(QLatin1String("est_lon")));
    event.reason = object.value(QLatin1String("reason")).toString();
    return event;
}

TeslaFamily::Event TeslaFamily::eventFor(const QString& videoFile)
{
    QFile file(QFileInfo(videoFile).path() + QLatin1String("/event.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseEvent(file.read(MaxEventSize));
}

Telemetry TeslaFamily::readTelemetry(const Recording& recording) const
{
    qint64 durationMs = 0;
    Telemetry telemetry = TeslaSei::read(recording.videoFile, recording.start, &durationMs);
    if (!telemetry.samples.empty() || recording.kind != RecordingKind::Event || !recording.start.isValid())
        return telemetry;
    // No positions in the stream (a parked car writes none): the event's estimated place, for
    // the clip that holds the event's time.
    const Event event = eventFor(recording.videoFile);
    const qint64 offset = recording.start.msecsTo(event.time);
    if (event.time.isValid() && event.hasPosition() && offset >= 0 && offset <= durationMs) {
        TelemetrySample sample;
        sample.utcMs = event.time.toMSecsSinceEpoch();
        sample.latitude = event.latitude;
        sample.longitude = event.longitude;
        telemetry.samples.push_back(sample);
    }
    return telemetry;
}

} // namespace Camera
