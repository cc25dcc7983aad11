// Sources: the makers' manuals (media in the DCIM folder: 100EVENT incidents saved by the camera,
// 101SAVED videos saved by the user, 10xUNSVD unsaved footage the camera overwrites); a published
// analysis of the GPS records of these cameras (22-byte text samples: length word 0x0014, "PNDM",
// four unknown bytes, speed in km/h, two bytes of flags, then two 32-bit coordinates in units of
// 180/2^31 degrees, the value for -180 standing for "no fix"); real readings of such files, whose
// first coordinate is the latitude, and whose movie header creation time is UTC (the times an
// outside reader gives the positions, creation time plus sample time, are the UTC track of a
// camera that also writes a local one; a one-minute clip created at 10:22:47 was last written at
// 13:24:24 local time, three hours east of UTC); QuickTime File Format, "Text sample data".

#include "garminfamily.h"

#include "mp4boxes.h"
#include "texttrack.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace Camera {

const QString GarminFamily::Id = QStringLiteral("garmin");

namespace {

constexpr int RecordSize = 20; // the text of a record, without its length word
constexpr double DegreesPerSemicircle = 180.0 / 2147483648.0;
// Creation times past this (the year 2200) are damage, not a clock.
constexpr quint64 LatestCreation = 9'530'000'000ULL;

qint32 s32(const QByteArray& data, int at)
{
    return qint32(Mp4Boxes::u32(data, at));
}

QDateTime creation(Mp4Boxes& file)
{
    const quint64 created = file.creationTime();
    if (created == 0 || created > LatestCreation)
        return QDateTime();
    return QDateTime::fromSecsSinceEpoch(qint64(created) - GarminFamily::Seconds1904To1970, Qt::UTC);
}

} // namespace

QDateTime GarminFamily::headerStart(const QString& videoFile)
{
    Mp4Boxes file(videoFile);
    return creation(file);
}

Recording GarminFamily::recognise(const QString& videoFile) const
{
    static const QRegularExpression name(QStringLiteral("^GRMN[0-9]{4}\\.MP4$"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression folder(QStringLiteral("^[0-9]{3}(EVENT|SAVED|UNSVD|PARKM)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QFileInfo info(videoFile);
    if (!name.match(info.fileName()).hasMatch())
        return {};

    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    recording.start = headerStart(videoFile);
    recording.channel = QStringLiteral("front");
    // Incidents and videos the user saved are events; unsaved footage (or a copy outside the
    // camera's folders) is an ordinary recording.
    const QString kind = folder.match(folderName(videoFile)).captured(1).toUpper();
    if (kind == QLatin1String("EVENT") || kind == QLatin1String("SAVED"))
        recording.kind = RecordingKind::Event;
    else if (kind == QLatin1String("PARKM"))
        recording.kind = RecordingKind::Parking;
    recording.run = Id + QLatin1Char(':') + info.absolutePath();
    recording.telemetry = TelemetrySource::TextTrack;
    recording.telemetryFile = videoFile;
    return recording;
}

QStringList GarminFamily::folderNames() const
{
    // The videos lie in numbered folders inside this one: "100EVENT", "101SAVED", "102UNSVD".
    return {QStringLiteral("DCIM"), QStringLiteral("[1-9][0-9][0-9]EVENT"),
            QStringLiteral("[1-9][0-9][0-9]SAVED"), QStringLiteral("[1-9][0-9][0-9]UNSVD"),
            QStringLiteral("[1-9][0-9][0-9]PARKM")};
}

bool GarminFamily::readRecord(const QByteArray& text, qint64 utcMs, TelemetrySample& out)
{
    if (text.size() < RecordSize || !text.startsWith("PNDM"))
        return false;
    const qint32 latitude = s32(text, 12);
    const qint32 longitude = s32(text, 16);
    if (latitude == std::numeric_limits<qint32>::min() || longitude == std::numeric_limits<qint32>::min())
        return false; // no fix
    out = TelemetrySample();
    out.utcMs = utcMs;
    out.latitude = latitude * DegreesPerSemicircle;
    out.longitude = longitude * DegreesPerSemicircle;
    if (std::abs(out.latitude) > 90)
        return false;
    const auto speed = qint16(Mp4Boxes::u16(text, 8));
    if (speed >= 0)
        out.speed = speed / 3.6;
    return true;
}

Telemetry GarminFamily::readTelemetry(const Recording& recording) const
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::TextTrack;
    Mp4Boxes file(recording.telemetryFile);
    const QDateTime start = creation(file);
    const std::vector<TextTrack> tracks = TextTrack::read(file, telemetry.error);
    if (!start.isValid()) {
        if (telemetry.error.isEmpty())
            telemetry.error = QStringLiteral("the movie header holds no creation time");
        return telemetry;
    }
    const qint64 startMs = start.toMSecsSinceEpoch();
    // The first track of records: a camera may write the same records again in another track.
    for (const TextTrack& track : tracks) {
        bool records = false;
        for (const TextTrack::Sample& sample : track.samples) {
            records = records || sample.text.startsWith("PNDM");
            TelemetrySample position;
            if (readRecord(sample.text, startMs + sample.timeMs, position))
                telemetry.samples.push_back(position);
        }
        if (records)
            break;
    }
    return telemetry;
}

} // namespace Camera
