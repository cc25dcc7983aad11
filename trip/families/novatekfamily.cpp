// Position blocks as described in public reverse-engineering notes: an article on extracting the
// GPS data of Novatek-based cameras (sergei.nz, "Extracting GPS data from Viofo A119 and other
// Novatek powered cameras") and a forum post with an annotated hex dump of one block
// (dashcamtalk.com, "A119 first impressions", page 2). The layout read here, from the block's
// start:
//   0  size (32-bit big-endian), "freeGPS " (the box type "free" and "GPS ")
//   48 hour, minute, second, year (since 2000), month, day: 32-bit little-endian each
//   72 status ('A' for a fix), latitude hemisphere ('N'/'S'), longitude hemisphere ('E'/'W')
//   76 latitude (ddmm.mmmm), longitude (dddmm.mmmm), speed (knots), bearing (degrees):
//      32-bit little-endian floats
// Blocks are top-level "free" boxes, or lie anywhere in the file and are listed by a "gps " box
// in the movie box: a version and a count (32-bit big-endian each), then 32-bit big-endian
// (offset, size) pairs.

#include "novatekfamily.h"

#include "mp4boxes.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace Camera {

const QString NovatekFamily::Id = QStringLiteral("novatek");

namespace {

const QString ProtectedFolder = QStringLiteral("RO");
const QString ParkingFolder = QStringLiteral("Parking");
const QString MovieFolder = QStringLiteral("Movie");
const QByteArray Magic = QByteArrayLiteral("freeGPS ");

constexpr qint64 IndexHeader = 8; // version and count before the (offset, size) pairs

quint32 le32(const QByteArray& data, int at)
{
    return qFromLittleEndian<quint32>(data.constData() + at);
}

double leFloat(const QByteArray& data, int at)
{
    const quint32 bits = le32(data, at);
    float value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return double(value);
}

// "ddmm.mmmm" to degrees; NaN when the minutes or degrees are out of range.
double degrees(double nmea, double limit)
{
    if (!std::isfinite(nmea) || nmea < 0)
        return NAN;
    const double whole = std::floor(nmea / 100);
    const double minutes = nmea - whole * 100;
    const double value = whole + minutes / 60;
    return minutes < 60 && value <= limit ? value : NAN;
}

struct BlockPlace
{
    qint64 offset = 0;
    qint64 size = 0;
};

} // namespace

Recording NovatekFamily::recognise(const QString& videoFile) const
{
    // The date's parts are parted by underscores in both places or in neither.
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4})(_?)([0-9]{2})([0-9]{2})\\2([0-9]{2})([0-9]{2})([0-9]{2})_[0-9]{3,6}"
                       "([FRI]?)\\.(mp4|mov)$"),
        QRegularExpression::CaseInsensitiveOption);
    const QFileInfo info(videoFile);
    const QRegularExpressionMatch match = pattern.match(info.fileName());
    if (!match.hasMatch())
        return {};
    // Fourteen digits and a number are common to many cameras: that form only in a "Movie" folder.
    if (match.capturedRef(2).isEmpty() && !inFolder(videoFile, MovieFolder, 2))
        return {};
    const auto part = [&match](int i) { return match.capturedRef(i).toInt(); };
    const QDate date(part(1), part(3), part(4));
    const QTime time(part(5), part(6), part(7));
    if (!date.isValid() || !time.isValid())
        return {};

    Recording recording;
    recording.family = Id;
    recording.videoFile = videoFile;
    recording.start = QDateTime(date, time, Qt::UTC);
    recording.channel =
        channelOfLetter(match.capturedRef(8).isEmpty() ? QChar('F') : match.capturedRef(8).at(0));
    const QString folder = folderName(videoFile);
    if (folder.compare(ProtectedFolder, Qt::CaseInsensitive) == 0)
        recording.kind = RecordingKind::Event;
    else if (folder.compare(ParkingFolder, Qt::CaseInsensitive) == 0)
        recording.kind = RecordingKind::Parking;
    // Each kind has a folder of its own.
    recording.run = Id + QLatin1Char(':') + info.absolutePath();
    recording.telemetry = TelemetrySource::Mp4Box;
    recording.telemetryFile = videoFile;
    return recording;
}

QStringList NovatekFamily::folderNames() const
{
    return {QStringLiteral("DCIM"), MovieFolder, ProtectedFolder, ParkingFolder};
}

bool NovatekFamily::parseBlock(const QByteArray& block, TelemetrySample& sample)
{
    if (block.size() < BlockHeaderSize || block.mid(4, Magic.size()) != Magic)
        return false;
    int year = int(std::min<quint32>(le32(block, 60), 9999));
    if (year < 100)
        year += 2000;
    const auto field = [&block](int at) { return int(std::min<quint32>(le32(block, at), 99)); };
    const QDate date(year, field(64), field(68));
    const QTime time(field(48), field(52), field(56));
    if (!date.isValid() || !time.isValid() || block.at(72) != 'A')
        return false;
    const char latitudeRef = block.at(73);
    const char longitudeRef = block.at(74);
    if ((latitudeRef != 'N' && latitudeRef != 'S') || (longitudeRef != 'E' && longitudeRef != 'W'))
        return false;
    const double latitude = degrees(leFloat(block, 76), 90);
    const double longitude = degrees(leFloat(block, 80), 180);
    if (std::isnan(latitude) || std::isnan(longitude))
        return false;

    sample = TelemetrySample();
    sample.utcMs = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    sample.latitude = latitudeRef == 'S' ? -latitude : latitude;
    sample.longitude = longitudeRef == 'W' ? -longitude : longitude;
    const double knots = leFloat(block, 84);
    if (std::isfinite(knots) && knots >= 0)
        sample.speed = knots * 1852.0 / 3600.0;
    const double bearing = leFloat(block, 88);
    if (std::isfinite(bearing) && bearing >= 0 && bearing <= 360)
        sample.course = bearing;
    return true;
}

Telemetry NovatekFamily::readTelemetry(const Recording& recording) const
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::Mp4Box;
    Mp4Boxes mp4(recording.telemetryFile.isEmpty() ? recording.videoFile : recording.telemetryFile);
    if (!mp4.isOpen()) {
        telemetry.error = QStringLiteral("cannot open the video");
        return telemetry;
    }

    // Where the blocks are: listed by the movie box, or top-level boxes of their own.
    std::vector<BlockPlace> places;
    const std::vector<Mp4Boxes::Box> top = mp4.topLevel();
    if (const Mp4Boxes::Box* moov = Mp4Boxes::find(top, Mp4Boxes::fourcc("moov"))) {
        const std::vector<Mp4Boxes::Box> movie = mp4.children(*moov);
        if (const Mp4Boxes::Box* index = Mp4Boxes::find(movie, Mp4Boxes::fourcc("gps "))) {
            const QByteArray list = mp4.payload(*index, IndexHeader + qint64(MaxBlocks) * 8);
            const qint64 count = std::min<qint64>(Mp4Boxes::u32(list, 4), (list.size() - IndexHeader) / 8);
            for (qint64 i = 0; i < count; ++i) {
                const qint64 at = IndexHeader + i * 8;
                places.push_back({qint64(Mp4Boxes::u32(list, at)), qint64(Mp4Boxes::u32(list, at + 4))});
            }
        }
    }
    for (const Mp4Boxes::Box& box : top) {
        if (box.type == Mp4Boxes::fourcc("free") && box.header == 8 && box.payloadSize() >= 4 &&
            mp4.read(box.payloadOffset(), 4) == QByteArrayLiteral("GPS ")) {
            places.push_back({box.offset, box.size});
        }
    }

    QSet<qint64> seen;
    int damaged = 0;
    for (const BlockPlace& place : places) {
        if (seen.size() >= MaxBlocks)
            break;
        if (seen.contains(place.offset))
            continue;
        seen.insert(place.offset);
        TelemetrySample sample;
        const bool inside =
            place.offset >= 0 && place.size >= BlockHeaderSize && place.offset + place.size <= mp4.fileSize();
        const QByteArray block = inside ? mp4.read(place.offset, BlockHeaderSize) : QByteArray();
        if (block.size() < BlockHeaderSize || block.mid(4, Magic.size()) != Magic)
            ++damaged; // no block where one is listed, or one cut by the end of the file
        else if (parseBlock(block, sample))
            telemetry.samples.push_back(sample);
    }
    if (damaged > 0)
        telemetry.error = QStringLiteral("%1 GPS blocks are missing or cut").arg(damaged);
    else if (!mp4.problem().isEmpty())
        telemetry.error = mp4.problem();
    return telemetry;
}

} // namespace Camera
