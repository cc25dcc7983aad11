#include "avcconfig.h"

#include <QSet>

namespace {

constexpr int SpsType = 7;
constexpr int PpsType = 8;
// Ids of sequence parameter sets run from 0 to 31.
constexpr int MaxSpsId = 31;

int nalType(const QByteArray& nal)
{
    return nal.isEmpty() ? -1 : nal[0] & 0x1f;
}

void appendSets(QByteArray& record, const QList<QByteArray>& sets)
{
    for (const QByteArray& set : sets) {
        record.append(char(set.size() >> 8)).append(char(set.size() & 0xff));
        record.append(set);
    }
}

} // namespace

bool AvcConfig::read(const uint8_t* data, int size)
{
    m_sps.clear();
    m_pps.clear();
    if (!data || size < 7 || data[0] != 1)
        return false;
    m_head = QByteArray(reinterpret_cast<const char*>(data), 4);
    m_lengthSize = (data[4] & 3) + 1;
    int pos = 5;
    const auto readSets = [&](int count, QList<QByteArray>& sets) {
        for (int i = 0; i < count; ++i) {
            if (size - pos < 2)
                return false;
            const int length = (data[pos] << 8) | data[pos + 1];
            pos += 2;
            if (length == 0 || size - pos < length)
                return false;
            sets << QByteArray(reinterpret_cast<const char*>(data + pos), length);
            pos += length;
        }
        return true;
    };
    if (!readSets(data[pos++] & 0x1f, m_sps) || pos >= size || !readSets(data[pos++], m_pps))
        return false;
    m_tail = QByteArray(reinterpret_cast<const char*>(data + pos), size - pos);
    return !m_sps.isEmpty() && !m_pps.isEmpty();
}

bool AvcConfig::addAnnexB(const uint8_t* data, int size)
{
    QList<QByteArray> sps;
    QList<QByteArray> pps;
    for (const QByteArray& nal : nalUnits(data, size)) {
        if (nalType(nal) == SpsType)
            sps << nal;
        else if (nalType(nal) == PpsType)
            pps << nal;
    }
    if (sps.isEmpty() || pps.isEmpty() || m_sps.size() + sps.size() > MaxSpsId ||
        m_pps.size() + pps.size() > 255)
        return false;
    m_sps << sps;
    m_pps << pps;
    return true;
}

QByteArray AvcConfig::record() const
{
    QByteArray record = m_head;
    record.append(char(0xfc | (m_lengthSize - 1)));
    record.append(char(0xe0 | m_sps.size()));
    appendSets(record, m_sps);
    record.append(char(m_pps.size()));
    appendSets(record, m_pps);
    return record + m_tail;
}

int AvcConfig::freeId() const
{
    QSet<int> used;
    for (const QList<QByteArray>* sets : {&m_sps, &m_pps}) {
        for (const QByteArray& set : *sets)
            used.insert(parameterSetId(set));
    }
    for (int id = 0; id <= MaxSpsId; ++id) {
        if (!used.contains(id))
            return id;
    }
    return -1;
}

QList<QByteArray> AvcConfig::nalUnits(const uint8_t* data, int size)
{
    QList<QByteArray> units;
    // Start of the NAL unit being read, -1 before the first start code.
    int start = -1;
    const auto finish = [&](int end) {
        while (end > start && data[end - 1] == 0)
            --end;
        if (start >= 0 && end > start)
            units << QByteArray(reinterpret_cast<const char*>(data + start), end - start);
    };
    for (int i = 0; i + 2 < size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            finish(i);
            start = i + 3;
            i += 2;
        }
    }
    if (start >= 0)
        finish(size);
    return units;
}

QByteArray AvcConfig::lengthPrefixed(const uint8_t* data, int size)
{
    QByteArray sample;
    for (const QByteArray& nal : nalUnits(data, size)) {
        const auto length = quint32(nal.size());
        sample.append(char(length >> 24)).append(char(length >> 16 & 0xff));
        sample.append(char(length >> 8 & 0xff)).append(char(length & 0xff));
        sample.append(nal);
    }
    return sample;
}

int AvcConfig::parameterSetId(const QByteArray& nal)
{
    // The id is the first Exp-Golomb number of the payload, after profile, constraint flags and
    // level in a sequence parameter set.
    int skip = 0;
    if (nalType(nal) == SpsType)
        skip = 3;
    else if (nalType(nal) != PpsType)
        return -1;
    // The payload without emulation prevention bytes, as far as the id can reach.
    QByteArray payload;
    int zeros = 0;
    for (int i = 1; i < nal.size() && payload.size() < skip + 8; ++i) {
        const auto byte = uint8_t(nal[i]);
        if (zeros >= 2 && byte == 3) {
            zeros = 0;
            continue;
        }
        zeros = byte == 0 ? zeros + 1 : 0;
        payload.append(char(byte));
    }
    const int bits = (payload.size() - skip) * 8;
    const auto bit = [&](int n) { return (uint8_t(payload[skip + n / 8]) >> (7 - n % 8)) & 1; };
    int leadingZeros = 0;
    while (leadingZeros < bits && bit(leadingZeros) == 0)
        ++leadingZeros;
    if (leadingZeros > 8 || 2 * leadingZeros + 1 > bits)
        return -1;
    int value = 0;
    for (int n = 0; n < leadingZeros; ++n)
        value = value << 1 | bit(leadingZeros + 1 + n);
    return (1 << leadingZeros) - 1 + value;
}
