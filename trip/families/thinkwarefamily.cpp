// Sources: the makers' user manuals (F770, X500, FA10: the folders cont_rec, evt_rec,
// manual_rec, parking_rec and motion_rec; file names of year, month, day, hour, minute, second
// and a front or rear mark); a published SD-card profile of a later two-channel model (folders
// motion_timelapse_rec, sos_rec and incabin_rec, prefixes REC, EVT, MOT, PAK, names
// "PREFIX_YYYYMMDD_HHMMSS_CH.MP4" with channel F or R, I for the interior camera); QuickTime
// File Format, "Text sample data" (a 16-bit length word before each sample's text).

#include "thinkwarefamily.h"

#include "mp4boxes.h"
#include "texttrack.h"

#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>

namespace Camera {

const QString ThinkwareFamily::Id = QStringLiteral("thinkware");

namespace {

// The recording mode a folder holds; a folder not listed (the card copied elsewhere, the
// interior camera's folder) leaves the mode to the name's prefix.
const QHash<QString, RecordingKind>& folderKinds()
{
    static const QHash<QString, RecordingKind> kinds{
        {QStringLiteral("cont_rec"), RecordingKind::Normal},
        {QStringLiteral("evt_rec"), RecordingKind::Event},
        {QStringLiteral("manual_rec"), RecordingKind::Event},
        {QStringLiteral("sos_rec"), RecordingKind::Event},
        {QStringLiteral("parking_rec"), RecordingKind::Parking},
        {QStringLiteral("motion_rec"), RecordingKind::Parking},
        {QStringLiteral("motion_timelapse_rec"), RecordingKind::Parking},
    };
    return kinds;
}

RecordingKind prefixKind(const QString& prefix)
{
    if (prefix == QLatin1String("REC"))
        return RecordingKind::Normal;
    if (prefix == QLatin1String("MOT") || prefix == QLatin1String("PAK"))
        return RecordingKind::Parking;
    return RecordingKind::Event; // EVT, MAN, SOS
}

QString kindWord(RecordingKind kind)
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

} // namespace

Recording ThinkwareFamily::recognise(const QString& videoFile) const
{
    // Mode prefix, date and time (joined, or each part parted by "_"), channel letter.
    static const QRegularExpression pattern(
        QStringLiteral("^(REC|EVT|MAN|SOS|MOT|PAK)_(?:([0-9]{8})_([0-9]{6})|([0-9]{4})_([0-9]{2})_([0-9]{2})_"
                       "([0-9]{2})_([0-9]{2})_([0-9]{2}))_([FRI])\\.[mM][pP]4$"));
    const QFileInfo info(videoFile);
    const QRegularExpressionMatch match = pattern.match(info.fileName());
    if (!match.hasMatch())
        return {};

    QString digits = match.captured(2) + match.captured(3);
    if (digits.isEmpty()) {
        for (int part = 4; part <= 9; ++part)
            digits += match.capturedRef(part);
    }
    const auto number = [&digits](int from, int length) { return digits.midRef(from, length).toInt(); };
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime time(number(8, 2), number(10, 2), number(12, 2));

    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    if (date.isValid() && time.isValid())
        recording.start = QDateTime(date, time, Qt::UTC);
    recording.channel = channelOfLetter(match.capturedRef(10).at(0));
    const auto folder = folderKinds().constFind(folderName(videoFile).toLower());
    const bool modeFolder = folder != folderKinds().constEnd();
    recording.kind = modeFolder ? folder.value() : prefixKind(match.captured(1));
    // A mode folder holds one kind; elsewhere recordings of several modes may lie side by side.
    recording.run = Id + QLatin1Char(':') + info.absolutePath();
    if (!modeFolder)
        recording.run += QLatin1Char(':') + kindWord(recording.kind);
    recording.telemetry = TelemetrySource::TextTrack;
    recording.telemetryFile = videoFile;
    return recording;
}

QStringList ThinkwareFamily::folderNames() const
{
    QStringList names = folderKinds().keys();
    names << QStringLiteral("incabin_rec");
    names.sort();
    return names;
}

void ThinkwareFamily::appendSentences(const QByteArray& text, std::vector<std::string>& out)
{
    const char* const data = text.constData();
    const int size = text.size();
    for (int at = text.indexOf('$'); at >= 0;) {
        int end = at + 1;
        while (end < size && data[end] != '$' && data[end] != '\r' && data[end] != '\n' && data[end] != '\0')
            ++end;
        int last = end;
        while (last > at && data[last - 1] == ' ')
            --last;
        if (last - at > 1)
            out.emplace_back(data + at, std::size_t(last - at));
        at = end < size && data[end] == '$' ? end : text.indexOf('$', end);
    }
}

Telemetry ThinkwareFamily::readTelemetry(const Recording& recording) const
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::TextTrack;
    Mp4Boxes file(recording.telemetryFile);
    // A video without a text track (a camera without a receiver) simply has no positions.
    const std::vector<TextTrack> tracks = TextTrack::read(file, telemetry.error);
    for (const TextTrack& track : tracks) {
        for (const TextTrack::Sample& sample : track.samples)
            appendSentences(sample.text, telemetry.nmeaLines);
    }
    return telemetry;
}

} // namespace Camera
