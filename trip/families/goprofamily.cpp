// File names as public descriptions of the maker's naming give them: "GHzzxxxx.mp4" /
// "GXzzxxxx.mp4" (H for AVC, X for HEVC, zz the chapter, xxxx the file number) on newer cameras,
// "GOPRxxxx.mp4" followed by "GP01xxxx.mp4", "GP02xxxx.mp4" for the chapters of older ones; folders
// "DCIM/100GOPRO" onwards. The cameras keep no time zone: the movie header holds the clock as it
// was set, normally local time, so it is read as the camera's wall clock like the times other
// cameras write in their names.

#include "goprofamily.h"

#include "gpmf.h"
#include "mp4boxes.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace Camera {

const QString GoProFamily::Id = QStringLiteral("gopro");

namespace {

constexpr int MaxChapter = 99;
// Movie-header times before 1970 are a clock never set; after 2200, damage.
constexpr quint64 Secs1904To1970 = 2082844800ULL;
constexpr quint64 LatestSecs1904 = Secs1904To1970 + 7258118400ULL;

struct MovieHeader
{
    quint64 created = 0;    // seconds since 1904; 0 when there is none
    qint64 durationMs = -1; // -1 when unknown
    bool telemetry = false; // a "gpmd" track
};

MovieHeader movieHeader(const QString& videoFile)
{
    MovieHeader header;
    Mp4Boxes file(videoFile);
    Mp4Boxes::Box moov;
    if (!file.isOpen() || !file.findPath({Mp4Boxes::fourcc("moov")}, moov))
        return header;
    const std::vector<Mp4Boxes::Box> parts = file.children(moov);
    if (const Mp4Boxes::Box* mvhd = Mp4Boxes::find(parts, Mp4Boxes::fourcc("mvhd"))) {
        const QByteArray data = file.payload(*mvhd, 32);
        const bool wide = !data.isEmpty() && data.at(0) == 1;
        if (data.size() >= (wide ? 32 : 20)) {
            header.created = wide ? Mp4Boxes::u64(data, 4) : Mp4Boxes::u32(data, 4);
            const quint64 timescale = Mp4Boxes::u32(data, wide ? 20 : 12);
            const quint64 duration = wide ? Mp4Boxes::u64(data, 24) : Mp4Boxes::u32(data, 16);
            // All ones is "unknown"; anything beyond a year is damage.
            if (timescale > 0 && duration / timescale < 366ULL * 86400)
                header.durationMs =
                    qint64(duration / timescale * 1000 + duration % timescale * 1000 / timescale);
        }
    }
    for (const Mp4Boxes::Box& trak : parts) {
        Mp4Boxes::Box stsd;
        if (trak.type == Mp4Boxes::fourcc("trak") &&
            file.findPath({Mp4Boxes::fourcc("mdia"), Mp4Boxes::fourcc("minf"), Mp4Boxes::fourcc("stbl"),
                           Mp4Boxes::fourcc("stsd")},
                          stsd, &trak) &&
            Mp4Boxes::u32(file.payload(stsd, 16), 12) == Mp4Boxes::fourcc("gpmd")) {
            header.telemetry = true;
            break;
        }
    }
    return header;
}

QDateTime wallClock(quint64 secs1904)
{
    if (secs1904 < Secs1904To1970 || secs1904 > LatestSecs1904)
        return {};
    return QDateTime::fromSecsSinceEpoch(qint64(secs1904 - Secs1904To1970), Qt::UTC);
}

// The start a chapter gives on its own: its header's clock, else its first GPS time.
QDateTime ownStart(const QString& videoFile, const MovieHeader& header)
{
    QDateTime clock = wallClock(header.created);
    if (clock.isValid())
        return clock;
    const qint64 utcMs = header.telemetry ? Gpmf::startUtcMs(videoFile) : -1;
    return utcMs >= 0 ? QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC) : QDateTime();
}

// Back through the chapters on hand, adding up the lengths of those that play before.
QDateTime chainedStart(const QString& videoFile, const MovieHeader& own)
{
    QString earliest = videoFile;
    MovieHeader earliestHeader = own;
    qint64 offsetMs = 0;
    for (int step = 0; step < MaxChapter + 1; ++step) {
        const QString previous = GoProFamily::previousChapter(earliest);
        if (previous.isEmpty())
            break;
        const MovieHeader header = movieHeader(previous);
        if (header.durationMs < 0)
            break;
        offsetMs += header.durationMs;
        earliest = previous;
        earliestHeader = header;
    }
    if (earliest != videoFile) {
        const QDateTime start = ownStart(earliest, earliestHeader);
        if (start.isValid())
            return start.addMSecs(offsetMs);
    }
    return ownStart(videoFile, own);
}

} // namespace

GoProFamily::Name GoProFamily::parseName(const QString& fileName)
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral(
                                                "(G[HX]|GP)([0-9]{2})([0-9]{4})\\.MP4|GOPR([0-9]{4})\\.MP4")),
                                            QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(fileName);
    Name name;
    if (!match.hasMatch())
        return name;
    if (!match.captured(4).isEmpty()) {
        name.number = match.captured(4);
        name.chapter = 0;
        return name;
    }
    const int chapter = match.captured(2).toInt();
    if (chapter < 1)
        return name;
    name.number = match.captured(3);
    name.chapter = chapter;
    return name;
}

QString GoProFamily::previousChapter(const QString& videoFile)
{
    const QFileInfo info(videoFile);
    const QString fileName = info.fileName();
    const Name name = parseName(fileName);
    if (name.chapter < 1)
        return QString();
    QString previous;
    if (name.chapter == 1 && fileName.startsWith(QLatin1String("GP"), Qt::CaseInsensitive))
        previous = QStringLiteral("GOPR") + name.number;
    else
        previous = fileName.left(2) + QStringLiteral("%1").arg(name.chapter - 1, 2, 10, QLatin1Char('0')) +
                   name.number;
    // Written as this name is, else all upper or all lower case.
    const QString suffix = fileName.right(4);
    const QString written = (fileName.at(0).isLower() ? previous.toLower() : previous.toUpper()) + suffix;
    const QString base = info.path() + QLatin1Char('/');
    for (const QString& candidate : {written, written.toUpper(), written.toLower()}) {
        if (QFileInfo(base + candidate).isFile())
            return base + candidate;
    }
    return QString();
}

QDateTime GoProFamily::startTime(const QString& videoFile)
{
    return chainedStart(videoFile, movieHeader(videoFile));
}

Recording GoProFamily::recognise(const QString& videoFile) const
{
    const QFileInfo info(videoFile);
    const Name name = parseName(info.fileName());
    if (name.chapter < 0)
        return {};
    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    const MovieHeader header = movieHeader(videoFile);
    recording.start = chainedStart(videoFile, header);
    recording.channel = QStringLiteral("front");
    recording.kind = RecordingKind::Normal;
    // The chapters of one recording: the same folder and the same recording number.
    recording.run = Id + QLatin1Char(':') + info.absolutePath() + QLatin1Char('/') + name.number;
    if (header.telemetry) {
        recording.telemetry = TelemetrySource::Gpmf;
        recording.telemetryFile = videoFile;
    }
    return recording;
}

QStringList GoProFamily::folderNames() const
{
    // "DCIM" and the numbered folders in it, "100GOPRO" to "999GOPRO".
    return {QStringLiteral("DCIM"), QStringLiteral("[1-9][0-9][0-9]GOPRO")};
}

Telemetry GoProFamily::readTelemetry(const Recording& recording) const
{
    if (recording.telemetry != TelemetrySource::Gpmf)
        return CameraFamily::readTelemetry(recording);
    return Gpmf::read(recording.telemetryFile.isEmpty() ? recording.videoFile : recording.telemetryFile);
}

} // namespace Camera
