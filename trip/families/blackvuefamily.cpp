// Names and recording types as the maker's help centre describes them ("What types of recording
// or file does the BlackVue camera create?"); the sentences inside the video as other tools'
// documentation lists them: a top-level "free" box whose child boxes include "gps " (the text of
// the ".gps" file) and "3gf " (accelerometer records).

#include "blackvuefamily.h"

#include "mp4boxes.h"
#include "sidecars.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace Camera {

const QString BlackVueFamily::Id = QStringLiteral("blackvue");

namespace {

constexpr quint32 GpsBox = Mp4Boxes::fourcc("gps ");

QString kindName(RecordingKind kind)
{
    switch (kind) {
    case RecordingKind::Normal:
        break;
    case RecordingKind::Event:
        return QStringLiteral("event");
    case RecordingKind::Parking:
        return QStringLiteral("parking");
    }
    return QStringLiteral("normal");
}

bool findGpsBox(Mp4Boxes& mp4, Mp4Boxes::Box& out)
{
    for (const Mp4Boxes::Box& box : mp4.topLevel()) {
        if (box.type == GpsBox) {
            out = box;
            return true;
        }
        if (box.type == Mp4Boxes::fourcc("free")) {
            const std::vector<Mp4Boxes::Box> children = mp4.children(box);
            if (const Mp4Boxes::Box* gps = Mp4Boxes::find(children, GpsBox)) {
                out = *gps;
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool BlackVueFamily::kindOf(QChar type, RecordingKind& kind)
{
    switch (type.toUpper().unicode()) {
    case 'N':
        kind = RecordingKind::Normal;
        return true;
    case 'P': // parking, recorded on motion
        kind = RecordingKind::Parking;
        return true;
    case 'M': // manual: the driver asked the camera to keep it
    case 'E': // impact while driving
    case 'I': // impact while parked
    case 'O': // over the speed limit
    case 'A': // hard acceleration
    case 'T': // hard cornering
    case 'B': // hard braking
    case 'R': // entering a geofence
    case 'X': // leaving a geofence
    case 'G': // passing a geofence
    case 'D': // drowsy driver
        kind = RecordingKind::Event;
        return true;
    default:
        return false;
    }
}

QString BlackVueFamily::gpsFileFor(const QString& videoFile)
{
    if (QString own = sibling(videoFile, QStringLiteral(".gps")); !own.isEmpty())
        return own;
    // The channels of one recording share "YYYYMMDD_HHMMSS_N.gps".
    const QFileInfo video(videoFile);
    const QString base = video.completeBaseName();
    if (base.isEmpty())
        return QString();
    const QString shared = video.path() + QLatin1Char('/') + base.chopped(1);
    for (const QString& candidate : {shared + QLatin1String(".gps"), shared + QLatin1String(".GPS")}) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate);
    }
    return QString();
}

bool BlackVueFamily::hasGpsBox(const QString& videoFile)
{
    Mp4Boxes mp4(videoFile);
    Mp4Boxes::Box box;
    return mp4.isOpen() && findGpsBox(mp4, box);
}

Recording BlackVueFamily::recognise(const QString& videoFile) const
{
    static const QRegularExpression pattern(
        QStringLiteral(
            "^([0-9]{4})([0-9]{2})([0-9]{2})_([0-9]{2})([0-9]{2})([0-9]{2})_([A-Z])([FRI])\\.mp4$"),
        QRegularExpression::CaseInsensitiveOption);
    const QFileInfo info(videoFile);
    const QRegularExpressionMatch match = pattern.match(info.fileName());
    RecordingKind kind = RecordingKind::Normal;
    if (!match.hasMatch() || !kindOf(match.capturedRef(7).at(0), kind))
        return {};
    const auto part = [&match](int i) { return match.capturedRef(i).toInt(); };
    const QDate date(part(1), part(2), part(3));
    const QTime time(part(4), part(5), part(6));
    if (!date.isValid() || !time.isValid())
        return {};

    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    recording.start = QDateTime(date, time, Qt::UTC);
    recording.channel = channelOfLetter(match.capturedRef(8).at(0));
    recording.kind = kind;
    // Every kind shares one folder: the kind keeps their runs apart.
    recording.run = Id + QLatin1Char(':') + info.absolutePath() + QLatin1Char(':') + kindName(kind);
    if (const QString gps = gpsFileFor(videoFile); !gps.isEmpty()) {
        recording.telemetry = TelemetrySource::GpsFile;
        recording.telemetryFile = gps;
    } else if (hasGpsBox(videoFile)) {
        recording.telemetry = TelemetrySource::Mp4Box;
        recording.telemetryFile = videoFile;
    }
    return recording;
}

QStringList BlackVueFamily::folderNames() const
{
    return {QStringLiteral("BlackVue"), QStringLiteral("Record")};
}

Telemetry BlackVueFamily::readTelemetry(const Recording& recording) const
{
    if (recording.telemetry == TelemetrySource::GpsFile)
        return Sidecars::readGps(recording.telemetryFile);
    if (recording.telemetry != TelemetrySource::Mp4Box)
        return CameraFamily::readTelemetry(recording);

    Telemetry telemetry;
    Mp4Boxes mp4(recording.telemetryFile);
    Mp4Boxes::Box box;
    if (!mp4.isOpen()) {
        telemetry.error = QStringLiteral("cannot open the video");
    } else if (!findGpsBox(mp4, box)) {
        telemetry.error =
            mp4.problem().isEmpty() ? QStringLiteral("the video holds no GPS box") : mp4.problem();
    } else {
        QByteArray text = mp4.payload(box, Sidecars::MaxSize);
        const qint64 read = text.size();
        // The camera pads the text with zero bytes: they end a line like a line break.
        text.replace('\0', '\n');
        telemetry = Sidecars::parseGps(text);
        if (read < box.payloadSize())
            telemetry.error = QStringLiteral("read only %1 bytes of the GPS box").arg(read);
    }
    telemetry.source = TelemetrySource::Mp4Box;
    return telemetry;
}

} // namespace Camera
