#include "nmeafilecodec.h"

#include <QDataStream>

#include <array>
#include <cstring>
#include <type_traits>

namespace {

// A timestamp is one tag and what it needs: nothing, milliseconds of UTC (nearly every one), or
// Qt's own form for any other time spec.
enum TimeTag : quint8
{
    NullTime,
    UtcTime,
    OtherTime,
    SameAsKey // a record's timestamp equal to its key, spec included
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
    explicit Reader(const QByteArray& in) : m_at(in.constData()), m_end(in.constData() + in.size()) {}

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

    bool getTime(QDateTime& time, const QDateTime* key)
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
        case SameAsKey:
            if (!key)
                return false;
            time = *key;
            return true;
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

QByteArray NmeaFileCodec::encode(const Records& records)
{
    QByteArray bytes;
    bytes.reserve(records.size() * 48 + 4);
    Writer out(bytes);
    out.put(quint32(records.size()));
    for (auto it = records.cbegin(); it != records.cend(); ++it) {
        const QNmeaPositionInfo& record = it.value();
        out.putTime(it.key());
        if (sameTime(record.timestamp(), it.key()) && it.key().timeSpec() == Qt::UTC)
            out.put(quint8(SameAsKey));
        else
            out.putTime(record.timestamp());
        const QGeoCoordinate coordinate = record.coordinate();
        out.put(coordinate.latitude());
        out.put(coordinate.longitude());
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
        if (record.fileName().isEmpty())
            out.put(quint32(0));
        else
            out.putBytes(record.fileName().toUtf8());
    }
    return bytes;
}

bool NmeaFileCodec::decode(const QByteArray& bytes, Records& records)
{
    Records result;
    if (!walk(bytes, &result))
        return false;
    records = std::move(result);
    return true;
}

bool NmeaFileCodec::isWhole(const QByteArray& bytes)
{
    return walk(bytes, nullptr);
}

bool NmeaFileCodec::walk(const QByteArray& bytes, Records* records)
{
    Reader in(bytes);
    quint32 count = 0;
    if (!in.get(count) || count > quint32(bytes.size()))
        return false;
    QDateTime previous;
    for (quint32 n = 0; n < count; ++n) {
        QDateTime key;
        QDateTime timestamp;
        double latitude = 0;
        double longitude = 0;
        double altitude = 0;
        quint8 attributes = 0;
        if (!in.getTime(key, nullptr) || !in.getTime(timestamp, &key) || !in.get(latitude) ||
            !in.get(longitude) || !in.get(altitude) || !in.get(attributes) || (n > 0 && !(previous < key)))
            return false;
        previous = key;
        std::array<double, AttributeCount> values{};
        for (int i = 0; i < AttributeCount; ++i) {
            if ((attributes & (1u << i)) && !in.get(values[std::size_t(i)]))
                return false;
        }
        quint8 markers = 0;
        QByteArray fileName;
        if (!in.get(markers) || !in.getBytes(fileName))
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
