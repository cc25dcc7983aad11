#include "nmeafilecodec.h"

#include <QDataStream>
#include <QtMath>

#include <array>
#include <cmath>
#include <cstring>
#include <type_traits>

namespace {

// A timestamp is one tag and what it needs: nothing, milliseconds of UTC (nearly every one), or
// Qt's own form for a timestamp in any other zone.
enum TimeTag : quint8
{
    NullTime,
    UtcTime,
    OtherTime
};

// What a record leaves out: most records follow the one before by a second, carry their key as
// timestamp, and have neither altitude nor file name.
enum RecordFlag : quint8
{
    NextSecond = 1,  // the key is the previous key and a second, both UTC
    TimeIsKey = 2,   // the timestamp is the key, a UTC one
    HasAltitude = 4, // else no altitude
    HasFileName = 8, // else none
    AllFlags = 15
};

constexpr int AttributeCount = 8; // QGeoPositionInfo's six, then the two accelerations
constexpr int MarkerCount = 6;

QNmeaPositionInfo::AttributeKey attributeKey(int i)
{
    return i < QNmeaPositionInfo::AccelerationX
               ? QNmeaPositionInfo::AttributeKey(QGeoPositionInfo::Attribute(i))
               : QNmeaPositionInfo::AttributeKey(QNmeaPositionInfo::Attribute(i));
}

class Writer
{
public:
    explicit Writer(QByteArray& out) : m_out(out) {}

    template <typename T> void put(T value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        m_out.append(reinterpret_cast<const char*>(&value), int(sizeof(T)));
    }

    void putTime(const QDateTime& time)
    {
        if (time.isNull()) {
            put(quint8(NullTime));
        } else if (time.timeSpec() == Qt::UTC && time.isValid()) {
            put(quint8(UtcTime));
            put(time.toMSecsSinceEpoch());
        } else {
            QByteArray bytes;
            QDataStream stream(&bytes, QIODevice::WriteOnly);
            stream.setVersion(QDataStream::Qt_5_15);
            stream << time;
            put(quint8(OtherTime));
            putBytes(bytes);
        }
    }

    void putBytes(const QByteArray& bytes)
    {
        put(quint32(bytes.size()));
        m_out.append(bytes);
    }

private:
    QByteArray& m_out;
};

class Reader
{
public:
    Reader(const QByteArray& in, int offset)
        : m_at(in.constData() + offset), m_end(in.constData() + in.size())
    {}

    bool atEnd() const { return m_at == m_end; }

    template <typename T> bool get(T& value)
    {
        if (m_end - m_at < qint64(sizeof(T)))
            return false;
        std::memcpy(&value, m_at, sizeof(T));
        m_at += sizeof(T);
        return true;
    }

    bool getBytes(QByteArray& bytes)
    {
        quint32 size = 0;
        if (!get(size) || quint64(m_end - m_at) < size)
            return false;
        bytes = QByteArray(m_at, int(size));
        m_at += size;
        return true;
    }

    bool getTime(QDateTime& time)
    {
        quint8 tag = 0;
        if (!get(tag))
            return false;
        switch (tag) {
        case NullTime:
            time = QDateTime();
            return true;
        case UtcTime: {
            qint64 ms = 0;
            if (!get(ms))
                return false;
            time = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
            return true;
        }
        case OtherTime: {
            QByteArray bytes;
            if (!getBytes(bytes))
                return false;
            QDataStream stream(bytes);
            stream.setVersion(QDataStream::Qt_5_15);
            stream >> time;
            return stream.status() == QDataStream::Ok && stream.atEnd();
        }
        default:
            return false;
        }
    }

private:
    const char* m_at;
    const char* m_end;
};

bool sameTime(const QDateTime& a, const QDateTime& b)
{
    // Equal instants of different specs are not the same timestamp.
    return a == b && a.timeSpec() == b.timeSpec() && a.offsetFromUtc() == b.offsetFromUtc() &&
           a.isNull() == b.isNull();
}

} // namespace

QByteArray NmeaFileCodec::encode(const Records& records, const QByteArray& prefix)
{
    QByteArray bytes = prefix;
    bytes.reserve(prefix.size() + 4 + records.size() * 36);
    Writer out(bytes);
    out.put(quint32(records.size()));
    const QDateTime* previous = nullptr;
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        const QDateTime& key = it.key();
        const QNmeaPositionInfo& record = it.value();
        const QGeoCoordinate coordinate = record.coordinate();
        const bool utcKey = key.timeSpec() == Qt::UTC && key.isValid();
        quint8 flags = 0;
        if (utcKey && previous && previous->timeSpec() == Qt::UTC && previous->isValid() &&
            key.toMSecsSinceEpoch() == previous->toMSecsSinceEpoch() + 1000)
            flags |= NextSecond;
        if (utcKey && sameTime(record.timestamp(), key))
            flags |= TimeIsKey;
        if (!std::isnan(coordinate.altitude()))
            flags |= HasAltitude;
        if (!record.fileName().isEmpty())
            flags |= HasFileName;
        out.put(flags);
        if (!(flags & NextSecond))
            out.putTime(key);
        if (!(flags & TimeIsKey))
            out.putTime(record.timestamp());
        out.put(coordinate.latitude());
        out.put(coordinate.longitude());
        if (flags & HasAltitude)
            out.put(coordinate.altitude());
        quint8 attributes = 0;
        for (int i = 0; i < AttributeCount; ++i) {
            if (record.hasAttribute(attributeKey(i)))
                attributes |= quint8(1u << i);
        }
        out.put(attributes);
        for (int i = 0; i < AttributeCount; ++i) {
            if (attributes & (1u << i))
                out.put(record.attribute(attributeKey(i)));
        }
        quint8 markers = 0;
        for (int i = 0; i < MarkerCount; ++i) {
            if (record.marker(QNmeaPositionInfo::Markers(i)))
                markers |= quint8(1u << i);
        }
        out.put(markers);
        if (flags & HasFileName)
            out.putBytes(record.fileName().toUtf8());
        previous = &key;
    }
    return bytes;
}

bool NmeaFileCodec::decode(const QByteArray& bytes, Records& records, int offset)
{
    Records result;
    if (!walk(bytes, offset, &result))
        return false;
    records = std::move(result);
    return true;
}

bool NmeaFileCodec::isWhole(const QByteArray& bytes, int offset)
{
    return walk(bytes, offset, nullptr);
}

bool NmeaFileCodec::walk(const QByteArray& bytes, int offset, Records* records)
{
    if (offset < 0 || offset > bytes.size())
        return false;
    Reader in(bytes, offset);
    quint32 count = 0;
    if (!in.get(count) || count > quint32(bytes.size()))
        return false;
    QDateTime previous;
    for (quint32 n = 0; n < count; ++n) {
        quint8 flags = 0;
        QDateTime key;
        QDateTime timestamp;
        double latitude = 0;
        double longitude = 0;
        double altitude = qQNaN();
        quint8 attributes = 0;
        if (!in.get(flags) || (flags & ~AllFlags))
            return false;
        if (flags & NextSecond) {
            if (n == 0 || previous.timeSpec() != Qt::UTC || !previous.isValid())
                return false;
            key = QDateTime::fromMSecsSinceEpoch(previous.toMSecsSinceEpoch() + 1000, Qt::UTC);
        } else if (!in.getTime(key) || (n > 0 && !(previous < key))) {
            return false;
        }
        if (flags & TimeIsKey) {
            if (key.timeSpec() != Qt::UTC || !key.isValid())
                return false;
            timestamp = key;
        } else if (!in.getTime(timestamp)) {
            return false;
        }
        if (!in.get(latitude) || !in.get(longitude) || ((flags & HasAltitude) && !in.get(altitude)) ||
            !in.get(attributes))
            return false;
        previous = key;
        std::array<double, AttributeCount> values{};
        for (int i = 0; i < AttributeCount; ++i) {
            if ((attributes & (1u << i)) && !in.get(values[std::size_t(i)]))
                return false;
        }
        quint8 markers = 0;
        QByteArray fileName;
        if (!in.get(markers) || ((flags & HasFileName) && !in.getBytes(fileName)))
            return false;
        if (!records)
            continue;
        // Set one by one, so that an invalid coordinate keeps the values it was read with.
        QGeoCoordinate coordinate;
        coordinate.setLatitude(latitude);
        coordinate.setLongitude(longitude);
        coordinate.setAltitude(altitude);
        QNmeaPositionInfo record(QNmeaCoordinate(coordinate), timestamp);
        for (int i = 0; i < AttributeCount; ++i) {
            if (attributes & (1u << i))
                record.setAttribute(attributeKey(i), values[std::size_t(i)]);
        }
        for (int i = 0; i < MarkerCount; ++i) {
            if (markers & (1u << i))
                record.setMarker(QNmeaPositionInfo::Markers(i), true);
        }
        if (!fileName.isEmpty())
            record.setFileName(QString::fromUtf8(fileName));
        // Keys were written in order: each goes at the end.
        records->insert(records->cend(), key, record);
    }
    return in.atEnd();
}

int NmeaFileCodec::validPositions(const Records& records)
{
    int count = 0;
    for (const QNmeaPositionInfo& record : records)
        count += record.coordinate().isValid() ? 1 : 0;
    return count;
}
