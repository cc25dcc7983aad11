// GPMF as published with the format's own description (the README of github.com/gopro/gpmf-parser):
// a KLV is a four-character key, a type character, an 8-bit structure size and a 16-bit repeat,
// then size x repeat bytes of big-endian values padded to 32 bits; type 0 nests further KLVs.
// SCAL (a divisor, one per field or one for all) and TYPE (the fields of a '?' structure) apply
// to the KLVs after them in the same nest. GPS5 holds latitude, longitude, altitude, 2D and 3D
// speed (deg, deg, m, m/s, m/s); GPSU the UTC time of the payload ("yymmddhhmmss.sss"); GPSF the
// fix (0 none, 2 or 3). GPS9, written by newer cameras, adds to each sample the days since
// 2000-01-01, the seconds since midnight, the DOP and the fix, as public write-ups of those
// cameras' telemetry describe it. The track's sample table times the payloads.

#include "gpmf.h"

#include "mp4boxes.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Camera {

namespace {

constexpr quint32 key(const char (&name)[5])
{
    return Mp4Boxes::fourcc(name);
}

constexpr qint64 Epoch2000Ms = 946684800000LL;
constexpr qint64 DayMs = 86400000LL;
constexpr int MaxFields = 64;
// Most data KLVs of one kind in a payload; cameras write one.
constexpr std::size_t MaxBlocks = 1024;

// The bytes of one value of a type character; 0 for types that hold no number.
int valueSize(char type)
{
    switch (type) {
    case 'b':
    case 'B':
        return 1;
    case 's':
    case 'S':
        return 2;
    case 'l':
    case 'L':
    case 'f':
    case 'q':
        return 4;
    case 'd':
    case 'j':
    case 'J':
    case 'Q':
        return 8;
    default:
        return 0;
    }
}

quint64 bigEndian(const uchar* p, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | p[i];
    return value;
}

double number(const uchar* p, char type)
{
    switch (type) {
    case 'b':
        return qint8(p[0]);
    case 'B':
        return p[0];
    case 's':
        return qint16(bigEndian(p, 2));
    case 'S':
        return quint16(bigEndian(p, 2));
    case 'l':
        return qint32(bigEndian(p, 4));
    case 'L':
        return quint32(bigEndian(p, 4));
    case 'q':
        return qint32(bigEndian(p, 4)) / 65536.0;
    case 'f': {
        const auto bits = quint32(bigEndian(p, 4));
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return double(value);
    }
    case 'd': {
        const quint64 bits = bigEndian(p, 8);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    case 'j':
        return double(qint64(bigEndian(p, 8)));
    case 'J':
        return double(bigEndian(p, 8));
    case 'Q':
        return double(qint64(bigEndian(p, 8))) / 4294967296.0;
    default:
        return NAN;
    }
}

// A key as text, other bytes than printable ASCII as '?'.
QString keyText(quint32 key)
{
    QString text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = char(key >> shift & 0xff);
        text += c >= 0x20 && c < 0x7f ? QLatin1Char(c) : QLatin1Char('?');
    }
    return text;
}

// One KLV's place in the payload.
struct Klv
{
    quint32 key = 0;
    char type = 0;
    int structSize = 0;
    int repeat = 0;
    qint64 value = 0; // offset of the first value byte
    qint64 size() const { return qint64(structSize) * repeat; }
};

// What the KLVs before a data KLV in the same nest said about it.
struct Properties
{
    std::vector<double> scale;
    QByteArray type;  // TYPE of a '?' structure
    QByteArray name;  // STNM
    qint64 gpsu = -1; // UTC ms
    int fix = -1;     // GPSF
};

// A data KLV with the properties in force where it stood.
struct Block
{
    Klv klv;
    Properties properties;
};

// The fields of one structure: their types and offsets.
struct Layout
{
    std::vector<char> types;
    std::vector<int> offsets;
};

bool layoutOf(const Klv& klv, const QByteArray& typeString, Layout& layout)
{
    const auto add = [&layout](char type, int& offset) {
        if (valueSize(type) == 0 || int(layout.types.size()) >= MaxFields)
            return false;
        layout.types.push_back(type);
        layout.offsets.push_back(offset);
        offset += valueSize(type);
        return true;
    };
    int offset = 0;
    if (klv.type != '?') {
        const int size = valueSize(klv.type);
        if (size == 0 || klv.structSize % size != 0)
            return false;
        for (int i = 0; i < klv.structSize / size; ++i) {
            if (!add(klv.type, offset))
                return false;
        }
        return true;
    }
    // "lllllllSS", arrays as "f[8]".
    for (int i = 0; i < typeString.size(); ++i) {
        const char c = typeString.at(i);
        if (c == '\0')
            break;
        if (c == '[') {
            const int close = typeString.indexOf(']', i);
            bool ok = false;
            const int count = close > i ? typeString.mid(i + 1, close - i - 1).toInt(&ok) : 0;
            if (!ok || count < 1 || count > MaxFields || layout.types.empty())
                return false;
            for (int n = 1; n < count; ++n) {
                if (!add(layout.types.back(), offset))
                    return false;
            }
            i = close;
        } else if (!add(c, offset)) {
            return false;
        }
    }
    return !layout.types.empty() && offset <= klv.structSize;
}

// "yymmddhhmmss.sss", years 2000 to 2099.
qint64 gpsuMs(const uchar* p, int size)
{
    if (size < 16)
        return -1;
    const auto digits = [p](int at, int count) {
        int value = 0;
        for (int i = at; i < at + count; ++i) {
            if (p[i] < '0' || p[i] > '9')
                return -1;
            value = value * 10 + (p[i] - '0');
        }
        return value;
    };
    const int ms = digits(13, 3);
    const QDate date(2000 + digits(0, 2), digits(2, 2), digits(4, 2));
    const QTime time(digits(6, 2), digits(8, 2), digits(10, 2), std::max(ms, 0));
    if (p[12] != '.' || ms < 0 || !date.isValid() || !time.isValid())
        return -1;
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
}

// The divisor of field `field`; 0 when the scale given does not fit the fields or is no divisor.
double divisor(const std::vector<double>& scale, std::size_t field, std::size_t fields)
{
    double value = 1;
    if (scale.size() == 1)
        value = scale.front();
    else if (scale.size() >= fields)
        value = scale[field];
    else if (!scale.empty())
        return 0;
    return std::isfinite(value) && value != 0 ? value : 0;
}

// The positions of the longitudinal and lateral axes in an accelerometer stream that names its
// axes, "Accelerometer (up/down, right/left, forward/back)", with their signs (forward and right
// positive). False when the name does not say.
bool vehicleAxes(const QByteArray& name, int& longitudinal, double& longSign, int& lateral, double& latSign)
{
    const int open = name.indexOf('(');
    const int close = name.indexOf(')', open + 1);
    if (open < 0 || close < 0)
        return false;
    longitudinal = lateral = -1;
    const QList<QByteArray> axes = name.mid(open + 1, close - open - 1).split(',');
    for (int i = 0; i < axes.size(); ++i) {
        const QByteArray axis = axes.at(i).trimmed().toLower();
        if (axis.startsWith("forward") || axis.startsWith("back")) {
            longitudinal = i;
            longSign = axis.startsWith("forward") ? 1 : -1;
        } else if (axis.startsWith("right") || axis.startsWith("left")) {
            lateral = i;
            latSign = axis.startsWith("right") ? 1 : -1;
        }
    }
    return longitudinal >= 0 && lateral >= 0;
}

class PayloadReader
{
public:
    PayloadReader(const Gpmf::Payload& payload, std::vector<TelemetrySample>& samples,
                  std::vector<qint64>* trackMs)
        : m_payload(payload), m_data(reinterpret_cast<const uchar*>(payload.data.constData())),
          m_size(payload.data.size()), m_samples(samples), m_trackMs(trackMs)
    {}

    QString read()
    {
        walk();
        const std::size_t first = m_samples.size();
        std::vector<qint64> times; // track times of this payload's samples
        std::vector<double> periods;
        for (std::size_t b = 0; b < m_gps.size(); ++b) {
            if (m_gps[b].klv.key == key("GPS5"))
                readGps5(b, times, periods);
            else
                readGps9(m_gps[b], times, periods);
        }
        attachAccelerations(first, times, periods);
        if (m_trackMs)
            m_trackMs->insert(m_trackMs->end(), times.begin(), times.end());
        return m_error;
    }

private:
    void fail(const QString& error)
    {
        if (m_error.isEmpty())
            m_error = error;
    }

    // Lists the data KLVs with their properties, nest by nest, without recursion.
    void walk()
    {
        struct Frame
        {
            qint64 end;
            qint64 resume; // where the enclosing nest goes on
            Properties properties;
        };
        std::vector<Frame> stack{Frame{m_size, m_size, {}}};
        qint64 at = 0;
        while (!stack.empty()) {
            Frame& frame = stack.back();
            if (at + 8 > frame.end) {
                // Fewer bytes than a header are padding.
                at = frame.resume;
                stack.pop_back();
                continue;
            }
            Klv klv;
            klv.key = quint32(bigEndian(m_data + at, 4));
            klv.type = char(m_data[at + 4]);
            klv.structSize = m_data[at + 5];
            klv.repeat = int(bigEndian(m_data + at + 6, 2));
            klv.value = at + 8;
            if (klv.key == 0) { // zero padding up to the end of the nest
                at = frame.resume;
                stack.pop_back();
                continue;
            }
            if (klv.size() > frame.end - klv.value) {
                fail(QStringLiteral("GPMF: %1 at %2 claims %3 bytes, %4 are left")
                         .arg(keyText(klv.key))
                         .arg(at)
                         .arg(klv.size())
                         .arg(frame.end - klv.value));
                at = frame.resume;
                stack.pop_back();
                continue;
            }
            // The padding of the last KLV of a nest may be left out.
            const qint64 next = std::min(klv.value + ((klv.size() + 3) & ~qint64(3)), frame.end);
            if (klv.type == '\0') {
                if (int(stack.size()) > Gpmf::MaxDepth) {
                    fail(QStringLiteral("GPMF: nests deeper than %1 levels at %2")
                             .arg(Gpmf::MaxDepth)
                             .arg(at));
                    at = next;
                    continue;
                }
                stack.push_back(Frame{klv.value + klv.size(), next, {}});
                at = klv.value;
                continue;
            }
            take(klv, stack.back().properties);
            at = next;
        }
    }

    void take(const Klv& klv, Properties& properties)
    {
        const uchar* value = m_data + klv.value;
        const int bytes = int(klv.size());
        switch (klv.key) {
        case key("SCAL"): {
            properties.scale.clear();
            const int size = valueSize(klv.type);
            for (int at = 0; size > 0 && at + size <= bytes && int(properties.scale.size()) < MaxFields;
                 at += size)
                properties.scale.push_back(number(value + at, klv.type));
            break;
        }
        case key("TYPE"):
            properties.type = QByteArray(reinterpret_cast<const char*>(value), bytes);
            break;
        case key("STNM"):
            properties.name = QByteArray(reinterpret_cast<const char*>(value), bytes);
            break;
        case key("GPSU"):
            properties.gpsu = gpsuMs(value, bytes);
            break;
        case key("GPSF"): {
            const int size = valueSize(klv.type);
            const double fix = size > 0 && size <= bytes ? number(value, klv.type) : -1;
            properties.fix = fix >= 0 && fix <= 255 ? int(fix) : -1;
            break;
        }
        case key("GPS5"):
        case key("GPS9"):
            keep(m_gps, klv, properties);
            break;
        case key("ACCL"):
            keep(m_accl, klv, properties);
            break;
        default:
            break;
        }
    }

    void keep(std::vector<Block>& blocks, const Klv& klv, const Properties& properties)
    {
        if (klv.repeat == 0)
            return;
        if (blocks.size() >= MaxBlocks) {
            fail(QStringLiteral("GPMF: more than %1 %2 in one payload").arg(MaxBlocks).arg(keyText(klv.key)));
            return;
        }
        blocks.push_back(Block{klv, properties});
    }

    // Scaled fields of one structure; false when the layout or scale does not fit `minimum` fields.
    bool fields(const Block& block, std::size_t minimum, Layout& layout)
    {
        const QString what = keyText(block.klv.key);
        if (!layoutOf(block.klv, block.properties.type, layout) || layout.types.size() < minimum) {
            fail(QStringLiteral("GPMF: %1 has no structure of %2 numbers").arg(what).arg(minimum));
            return false;
        }
        for (std::size_t f = 0; f < layout.types.size(); ++f) {
            if (divisor(block.properties.scale, f, layout.types.size()) == 0) {
                fail(QStringLiteral("GPMF: %1 has no usable scale").arg(what));
                return false;
            }
        }
        return true;
    }

    double field(const Block& block, const Layout& layout, int sample, std::size_t f) const
    {
        const uchar* p = m_data + block.klv.value + qint64(sample) * block.klv.structSize + layout.offsets[f];
        return number(p, layout.types[f]) / divisor(block.properties.scale, f, layout.types.size());
    }

    bool room()
    {
        if (m_samples.size() < Gpmf::MaxSamples)
            return true;
        fail(QStringLiteral("GPMF: more than %1 positions").arg(Gpmf::MaxSamples));
        return false;
    }

    // Keeps a sample whose position is a place on earth; values that are no numbers are left unset.
    void add(TelemetrySample sample, qint64 trackMs, double periodMs, std::vector<qint64>& times,
             std::vector<double>& periods)
    {
        if (!(std::abs(sample.latitude) <= 90 && std::abs(sample.longitude) <= 180))
            return;
        for (double* value : {&sample.altitude, &sample.speed}) {
            if (!std::isfinite(*value))
                *value = NAN;
        }
        m_samples.push_back(sample);
        times.push_back(trackMs);
        periods.push_back(periodMs);
    }

    // GPS5 samples are spread evenly from the GPSU before them to the next block's GPSU, or over
    // the payload's duration for the last block.
    void readGps5(std::size_t b, std::vector<qint64>& times, std::vector<double>& periods)
    {
        const Block& block = m_gps[b];
        Layout layout;
        if (block.properties.fix < 2 || !fields(block, 5, layout))
            return;
        const qint64 begin = block.properties.gpsu;
        if (begin < 0) {
            fail(QStringLiteral("GPMF: GPS5 without a valid GPSU time"));
            return;
        }
        qint64 end = begin + m_payload.durationMs;
        for (std::size_t n = b + 1; n < m_gps.size(); ++n) {
            if (m_gps[n].klv.key == key("GPS5") && m_gps[n].properties.gpsu > begin) {
                end = m_gps[n].properties.gpsu;
                break;
            }
        }
        const int count = block.klv.repeat;
        const double period = double(end - begin) / count;
        const qint64 firstGpsu = m_gps.front().properties.gpsu >= 0 ? m_gps.front().properties.gpsu : begin;
        for (int i = 0; i < count && room(); ++i) {
            TelemetrySample sample;
            sample.utcMs = begin + qint64(std::llround(period * i));
            sample.latitude = field(block, layout, i, 0);
            sample.longitude = field(block, layout, i, 1);
            sample.altitude = field(block, layout, i, 2);
            sample.speed = field(block, layout, i, 3);
            const qint64 offset = std::clamp<qint64>(sample.utcMs - firstGpsu, 0, m_payload.durationMs);
            add(sample, m_payload.startMs + offset, period, times, periods);
        }
    }

    // GPS9 samples carry their own time and fix.
    void readGps9(const Block& block, std::vector<qint64>& times, std::vector<double>& periods)
    {
        Layout layout;
        if (!fields(block, 9, layout))
            return;
        const int count = block.klv.repeat;
        const double period = double(m_payload.durationMs) / count;
        for (int i = 0; i < count && room(); ++i) {
            if (field(block, layout, i, 8) < 2)
                continue;
            const double days = field(block, layout, i, 5);
            const double seconds = field(block, layout, i, 6);
            if (!(days >= 0 && days < 100000 && seconds >= 0 && seconds <= 86401))
                continue;
            TelemetrySample sample;
            sample.utcMs = Epoch2000Ms + qint64(days) * DayMs + std::llround(seconds * 1000);
            sample.latitude = field(block, layout, i, 0);
            sample.longitude = field(block, layout, i, 1);
            sample.altitude = field(block, layout, i, 2);
            sample.speed = field(block, layout, i, 3);
            add(sample, m_payload.startMs + qint64(std::llround(period * i)), period, times, periods);
        }
    }

    // Each position takes the mean of the accelerometer samples of its own period (accelerometer
    // samples spread evenly over the payload), when the accelerometer stream names its axes.
    void attachAccelerations(std::size_t first, const std::vector<qint64>& times,
                             const std::vector<double>& periods)
    {
        // Running sums of longitudinal and lateral values, so that any period's mean costs the same.
        std::vector<std::pair<double, double>> sums{{0.0, 0.0}};
        for (const Block& block : m_accl) {
            int longitudinal = -1;
            int lateral = -1;
            double longSign = 1;
            double latSign = 1;
            Layout layout;
            if (!vehicleAxes(block.properties.name, longitudinal, longSign, lateral, latSign) ||
                !fields(block, std::size_t(std::max(longitudinal, lateral)) + 1, layout))
                continue;
            for (int i = 0; i < block.klv.repeat; ++i)
                sums.emplace_back(
                    sums.back().first + longSign * field(block, layout, i, std::size_t(longitudinal)),
                    sums.back().second + latSign * field(block, layout, i, std::size_t(lateral)));
        }
        const std::size_t count = sums.size() - 1;
        if (count == 0 || m_payload.durationMs <= 0)
            return;
        const double perMs = double(count) / double(m_payload.durationMs);
        const auto index = [&](double ms) { return std::size_t(std::clamp(ms * perMs, 0.0, double(count))); };
        for (std::size_t s = 0; s < times.size(); ++s) {
            const auto from = double(times[s] - m_payload.startMs);
            const std::size_t begin = std::min(index(from), count - 1);
            const std::size_t end = std::max(begin + 1, index(from + periods[s]));
            const auto n = double(end - begin);
            const double x = (sums[end].first - sums[begin].first) / n;
            const double y = (sums[end].second - sums[begin].second) / n;
            if (std::isfinite(x) && std::isfinite(y)) {
                m_samples[first + s].accelerationX = x;
                m_samples[first + s].accelerationY = y;
            }
        }
    }

    const Gpmf::Payload& m_payload;
    const uchar* m_data;
    qint64 m_size;
    std::vector<TelemetrySample>& m_samples;
    std::vector<qint64>* m_trackMs;
    std::vector<Block> m_gps;
    std::vector<Block> m_accl;
    QString m_error;
};

// Track time in milliseconds, held within 0 and about 30,000 years.
qint64 toMs(qint64 time, quint32 timescale)
{
    constexpr qint64 LatestSeconds = 1000000000000LL;
    if (time <= 0)
        return 0;
    if (time / timescale >= LatestSeconds)
        return LatestSeconds * 1000;
    return time / timescale * 1000 + time % timescale * 1000 / timescale;
}

// Reads the payloads of the "gpmd" track; with `firstFix`, stops at the first that gives a position.
Telemetry readTrack(const QString& videoFile, bool firstFix, std::vector<qint64>& trackMs)
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::Gpmf;
    Mp4Boxes file(videoFile);
    if (!file.isOpen()) {
        telemetry.error = QStringLiteral("cannot open %1").arg(videoFile);
        return telemetry;
    }
    // The pictures' and the sound's tables are never needed here.
    const auto notMedia = [](quint32 handler) {
        return handler != Mp4Boxes::fourcc("vide") && handler != Mp4Boxes::fourcc("soun");
    };
    const std::vector<Mp4Boxes::Track> tracks = file.tracks(notMedia);
    const auto track = std::find_if(tracks.cbegin(), tracks.cend(), [](const Mp4Boxes::Track& t) {
        return t.format == Mp4Boxes::fourcc("gpmd");
    });
    if (track == tracks.cend()) {
        telemetry.error = file.problem().isEmpty() ? QStringLiteral("no GPMF track") : file.problem();
        return telemetry;
    }
    if (track->timescale == 0) {
        telemetry.error = QStringLiteral("the GPMF track has no time scale");
        return telemetry;
    }
    qint64 readBytes = 0;
    for (std::size_t k = 0; k < track->samples.size(); ++k) {
        const Mp4Boxes::Sample& sample = track->samples[k];
        const qint64 end = k + 1 < track->samples.size() ? track->samples[k + 1].time : track->duration;
        Gpmf::Payload payload;
        payload.startMs = toMs(sample.time, track->timescale);
        payload.durationMs = std::max<qint64>(0, toMs(end, track->timescale) - payload.startMs);
        if (sample.size > Gpmf::MaxPayload) {
            telemetry.error = QStringLiteral("GPMF payload %1 claims %2 bytes").arg(k).arg(sample.size);
            continue;
        }
        // Payloads do not overlap: more bytes than the file holds is a damaged table.
        readBytes += sample.size;
        if (readBytes > file.fileSize()) {
            telemetry.error = QStringLiteral("the GPMF track claims more bytes than the file holds");
            break;
        }
        payload.data = file.read(sample.offset, sample.size);
        QString error;
        if (payload.data.size() < qint64(sample.size))
            error = QStringLiteral("GPMF payload %1 is cut at the end of the file").arg(k);
        const QString problem = Gpmf::parse(payload, telemetry.samples, &trackMs);
        if (error.isEmpty())
            error = problem;
        if (telemetry.error.isEmpty())
            telemetry.error = error;
        if ((firstFix && !telemetry.samples.empty()) || telemetry.samples.size() >= Gpmf::MaxSamples)
            break;
    }
    if (telemetry.error.isEmpty() && !file.problem().isEmpty())
        telemetry.error = file.problem();
    return telemetry;
}

} // namespace

QString Gpmf::parse(const Payload& payload, std::vector<TelemetrySample>& samples,
                    std::vector<qint64>* trackMs)
{
    return PayloadReader(payload, samples, trackMs).read();
}

Telemetry Gpmf::read(const QString& videoFile)
{
    std::vector<qint64> trackMs;
    return readTrack(videoFile, false, trackMs);
}

qint64 Gpmf::startUtcMs(const QString& videoFile)
{
    std::vector<qint64> trackMs;
    const Telemetry telemetry = readTrack(videoFile, true, trackMs);
    if (telemetry.samples.empty() || trackMs.empty())
        return -1;
    return telemetry.samples.front().utcMs - trackMs.front();
}

} // namespace Camera
