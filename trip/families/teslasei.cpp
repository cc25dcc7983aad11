// Sources: the car maker's published message description (dashcam.proto and its README in
// github.com/teslamotors/dashcam: message SeiMetadata, fields 4 vehicle_speed_mps as float,
// 11-15 latitude_deg, longitude_deg, heading_deg, linear_acceleration_mps2_x/_y as double);
// a forensic write-up of the SEI payload (the marker 42 42 42 69 before the message);
// ITU-T H.264 7.3.2.3 and 7.4.1 (SEI syntax, emulation prevention) and D.1.6 (user data
// unregistered); ISO/IEC 14496-15 (avcC, length-prefixed NAL units); the protobuf wire-format
// documentation (varints, wire types 0, 1, 2 and 5).

#include "teslasei.h"

#include "mp4boxes.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Camera {

namespace {

constexpr quint8 SeiUnit = 6;
constexpr int UserDataUnregistered = 5;
constexpr quint8 Padding = 0x42;
constexpr quint8 Start = 0x69;

// A protobuf varint: at most ten bytes, all within [p, end).
bool readVarint(const uchar*& p, const uchar* end, quint64& value)
{
    value = 0;
    for (int shift = 0; shift < 70 && p < end; shift += 7) {
        const uchar byte = *p++;
        value |= quint64(byte & 0x7F) << std::min(shift, 63);
        if ((byte & 0x80) == 0)
            return true;
    }
    return false;
}

double readDouble(const uchar* p)
{
    const auto bits = qFromLittleEndian<quint64>(p);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

float readFloat(const uchar* p)
{
    const auto bits = qFromLittleEndian<quint32>(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// An SEI payload type or size: 0xFF bytes adding 255 each, then the last byte.
bool readSeiNumber(const QByteArray& rbsp, int& at, int& value)
{
    value = 0;
    while (at < rbsp.size()) {
        const auto byte = quint8(rbsp.at(at++));
        value += byte;
        if (byte != 0xFF)
            return true;
        if (value > rbsp.size() + 255) // larger than anything the unit can hold
            return false;
    }
    return false;
}

// The avcC record's NAL length size (1, 2 or 4) of the first video track; 0 when there is none.
int nalLengthSize(Mp4Boxes& boxes)
{
    Mp4Boxes::Box moov;
    if (!boxes.findPath({Mp4Boxes::fourcc("moov")}, moov))
        return 0;
    for (const Mp4Boxes::Box& trak : boxes.children(moov)) {
        Mp4Boxes::Box hdlr;
        if (trak.type != Mp4Boxes::fourcc("trak") ||
            !boxes.findPath({Mp4Boxes::fourcc("mdia"), Mp4Boxes::fourcc("hdlr")}, hdlr, &trak) ||
            Mp4Boxes::u32(boxes.payload(hdlr, 12), 8) != Mp4Boxes::fourcc("vide"))
            continue;
        Mp4Boxes::Box stsd;
        if (!boxes.findPath({Mp4Boxes::fourcc("mdia"), Mp4Boxes::fourcc("minf"), Mp4Boxes::fourcc("stbl"),
                             Mp4Boxes::fourcc("stsd")},
                            stsd, &trak))
            return 0;
        // A full box with an entry count, then the sample entries; a visual sample entry's own
        // fields take 78 bytes before its boxes.
        const std::vector<Mp4Boxes::Box> entries = boxes.children(stsd, 8);
        if (entries.empty())
            return 0;
        const std::vector<Mp4Boxes::Box> parts = boxes.children(entries.front(), 78);
        const Mp4Boxes::Box* avcC = Mp4Boxes::find(parts, Mp4Boxes::fourcc("avcC"));
        const QByteArray config = avcC ? boxes.payload(*avcC, 8) : QByteArray();
        return config.size() >= 5 ? (quint8(config.at(4)) & 3) + 1 : 0;
    }
    return 0;
}

} // namespace

bool TeslaSei::Metadata::hasPosition() const
{
    // Without a fix the car writes no position: both fields are left out and read as zero.
    return std::isfinite(latitude) && std::isfinite(longitude) && std::abs(latitude) <= 90 &&
           std::abs(longitude) <= 180 && (latitude != 0 || longitude != 0);
}

QByteArray TeslaSei::unescape(const QByteArray& bytes)
{
    QByteArray out;
    out.reserve(bytes.size());
    int zeros = 0;
    for (const char c : bytes) {
        const auto byte = quint8(c);
        if (zeros >= 2 && byte == 3) {
            zeros = 0;
            continue;
        }
        out.append(c);
        zeros = byte == 0 ? zeros + 1 : 0;
    }
    return out;
}

std::vector<QByteArray> TeslaSei::userData(const QByteArray& nal, bool& damaged)
{
    std::vector<QByteArray> payloads;
    if (nal.isEmpty() || (quint8(nal.at(0)) & 0x1F) != SeiUnit)
        return payloads;
    const QByteArray rbsp = unescape(nal.mid(1));
    int at = 0;
    // Each message takes at least two bytes; a lone last byte is the trailing stop bit.
    while (rbsp.size() - at >= 2) {
        int type = 0;
        int size = 0;
        if (!readSeiNumber(rbsp, at, type) || !readSeiNumber(rbsp, at, size) || size > rbsp.size() - at) {
            damaged = true;
            break;
        }
        if (type == UserDataUnregistered)
            payloads.push_back(rbsp.mid(at, size));
        at += size;
    }
    return payloads;
}

TeslaSei::Decoded TeslaSei::decode(const QByteArray& payload, Metadata& out)
{
    const auto* p = reinterpret_cast<const uchar*>(payload.constData());
    const uchar* const end = p + payload.size();
    if (p == end || *p != Padding)
        return Decoded::Foreign;
    while (p != end && *p == Padding)
        ++p;
    if (p == end || *p != Start)
        return Decoded::Foreign;
    ++p;

    Metadata metadata;
    while (p != end) {
        quint64 key = 0;
        if (!readVarint(p, end, key) || key >> 3 == 0)
            return Decoded::Damaged;
        const quint64 field = key >> 3;
        switch (key & 7) {
        case 0: { // varint: gear, frame number, flags; none gives a position
            quint64 ignored = 0;
            if (!readVarint(p, end, ignored))
                return Decoded::Damaged;
            break;
        }
        case 1: { // 64 bits
            if (end - p < 8)
                return Decoded::Damaged;
            const double value = readDouble(p);
            p += 8;
            if (field == 11)
                metadata.latitude = value;
            else if (field == 12)
                metadata.longitude = value;
            else if (field == 13)
                metadata.heading = value;
            else if (field == 14)
                metadata.accelerationX = value;
            else if (field == 15)
                metadata.accelerationY = value;
            break;
        }
        case 2: { // length-delimited: nothing of it is read, nested messages are skipped whole
            quint64 length = 0;
            if (!readVarint(p, end, length) || length > quint64(end - p))
                return Decoded::Damaged;
            p += length;
            break;
        }
        case 5: { // 32 bits
            if (end - p < 4)
                return Decoded::Damaged;
            if (field == 4)
                metadata.speed = double(readFloat(p));
            p += 4;
            break;
        }
        default: // groups and unknown wire types
            return Decoded::Damaged;
        }
    }
    out = metadata;
    return Decoded::Ok;
}

Telemetry TeslaSei::read(const QString& videoFile, const QDateTime& start, qint64* durationMs)
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::Sei;
    if (durationMs)
        *durationMs = 0;
    const auto fail = [&telemetry](const QString& problem) {
        if (telemetry.error.isEmpty())
            telemetry.error = problem;
    };

    Mp4Boxes boxes(videoFile);
    if (!boxes.isOpen()) {
        fail(QStringLiteral("cannot open %1").arg(videoFile));
        return telemetry;
    }
    const std::vector<Mp4Boxes::Track> tracks = boxes.tracks();
    const auto video = std::find_if(tracks.cbegin(), tracks.cend(), [](const Mp4Boxes::Track& track) {
        return track.handler == Mp4Boxes::fourcc("vide");
    });
    if (video == tracks.cend()) {
        fail(boxes.problem().isEmpty() ? QStringLiteral("no video track") : boxes.problem());
        return telemetry;
    }
    if (durationMs && video->timescale > 0)
        *durationMs = qint64(double(video->duration) * 1000.0 / video->timescale);
    if (video->format != Mp4Boxes::fourcc("avc1") && video->format != Mp4Boxes::fourcc("avc3")) {
        fail(QStringLiteral("the video is not H.264"));
        return telemetry;
    }
    const int lengthSize = nalLengthSize(boxes);
    if (lengthSize == 0 || lengthSize == 3 || video->timescale == 0 || !start.isValid()) {
        fail(QStringLiteral("the video track has no decoder configuration, time scale or start"));
        return telemetry;
    }
    if (!boxes.problem().isEmpty())
        fail(boxes.problem());

    qint64 nextSecond = 0;
    for (std::size_t index = 0; index < video->samples.size(); ++index) {
        const Mp4Boxes::Sample& sample = video->samples[index];
        if (sample.time < nextSecond * qint64(video->timescale))
            continue;
        nextSecond = sample.time / video->timescale + 1;
        if (sample.offset < 0 || sample.offset + qint64(sample.size) > boxes.fileSize()) {
            fail(QStringLiteral("frame %1 lies beyond the end of the file").arg(index));
            break;
        }
        // The NAL units before the first slice: SEI comes there.
        qint64 at = 0;
        bool found = false;
        for (int unit = 0; unit < MaxUnitsPerSample && !found && at + lengthSize < sample.size; ++unit) {
            const QByteArray head = boxes.read(sample.offset + at, lengthSize + 1);
            if (head.size() < lengthSize + 1)
                break;
            quint32 length = 0;
            for (int i = 0; i < lengthSize; ++i)
                length = length << 8 | quint8(head.at(i));
            if (length == 0 || length > sample.size - at - lengthSize) {
                fail(QStringLiteral("a NAL unit of frame %1 runs past the frame").arg(index));
                break;
            }
            const quint8 type = quint8(head.at(lengthSize)) & 0x1F;
            if (type >= 1 && type <= 5)
                break; // the first slice: no SEI follows
            if (type == SeiUnit) {
                if (length > quint32(MaxSeiSize)) {
                    fail(QStringLiteral("an SEI unit of frame %1 is too large").arg(index));
                } else {
                    bool damaged = false;
                    const QByteArray nal = boxes.read(sample.offset + at + lengthSize, length);
                    for (const QByteArray& payload : userData(nal, damaged)) {
                        Metadata metadata;
                        const Decoded decoded = decode(payload, metadata);
                        if (decoded == Decoded::Damaged)
                            damaged = true;
                        if (decoded != Decoded::Ok)
                            continue;
                        if (metadata.hasPosition()) {
                            TelemetrySample position;
                            position.utcMs = start.toMSecsSinceEpoch() +
                                             qint64(double(sample.time) * 1000.0 / video->timescale);
                            position.latitude = metadata.latitude;
                            position.longitude = metadata.longitude;
                            if (std::isfinite(metadata.speed))
                                position.speed = std::abs(metadata.speed);
                            if (std::isfinite(metadata.heading))
                                position.course = metadata.heading;
                            if (std::isfinite(metadata.accelerationX))
                                position.accelerationX = metadata.accelerationX;
                            if (std::isfinite(metadata.accelerationY))
                                position.accelerationY = metadata.accelerationY;
                            telemetry.samples.push_back(position);
                        }
                        found = true; // one message a frame
                        break;
                    }
                    if (damaged)
                        fail(QStringLiteral("a damaged SEI message in frame %1").arg(index));
                }
            }
            at += lengthSize + qint64(length);
        }
    }
    return telemetry;
}

} // namespace Camera
