#include "nmeacompanionfamily.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace Camera {

const QString NmeaCompanionFamily::Id = QStringLiteral("nmea-companion");
const QString NmeaCompanionFamily::NamePattern = QStringLiteral("[0-9]{3}_[0-9]{4}_[0-9]{14}\\.mp4");

namespace {

const QString EventFolder = QStringLiteral("EVENT");

} // namespace

QString NmeaCompanionFamily::nmeaFileFor(const QString& videoFile)
{
    // Only the file name's extension (".mp4" in any case) is replaced: a folder such as
    // "card.mp4.bak" keeps its name.
    const QString suffix = QFileInfo(videoFile).suffix();
    return (suffix.isEmpty() ? videoFile : videoFile.chopped(suffix.size() + 1)) + QLatin1String(".nmea");
}

bool NmeaCompanionFamily::isEventFile(const QString& videoFile)
{
    // A folder named exactly "EVENT" on the way to the file, at any level; "EVENTCAM" or
    // "PREVENTION" are ordinary folders.
    const QString path = QDir::fromNativeSeparators(videoFile);
    const int name = path.lastIndexOf(QLatin1Char('/'));
    for (int end = name; end > 0;) {
        const int begin = path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
        if (QStringView(path).mid(begin, end - begin) == EventFolder)
            return true;
        end = begin - 1;
    }
    return false;
}

Recording NmeaCompanionFamily::recognise(const QString& videoFile) const
{
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(NamePattern));
    const QString name = QFileInfo(videoFile).fileName();
    if (!pattern.match(name).hasMatch())
        return {};
    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    const QStringRef digits = name.midRef(9, 14);
    const auto number = [&digits](int from, int length) { return digits.mid(from, length).toInt(); };
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime time(number(8, 2), number(10, 2), number(12, 2), 0);
    if (date.isValid() && time.isValid())
        recording.start = QDateTime(date, time, Qt::UTC);
    recording.channel = QStringLiteral("front");
    recording.kind = isEventFile(videoFile) ? RecordingKind::Event : RecordingKind::Normal;
    // One run: the same folder and the same run number.
    recording.run =
        Id + QLatin1Char(':') + QFileInfo(videoFile).absolutePath() + QLatin1Char('/') + name.left(3);
    recording.telemetry = TelemetrySource::NmeaFile;
    recording.telemetryFile = nmeaFileFor(videoFile);
    return recording;
}

QStringList NmeaCompanionFamily::folderNames() const
{
    return {EventFolder};
}

} // namespace Camera
