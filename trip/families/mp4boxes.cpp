#include "mp4boxes.h"

#include <algorithm>

namespace Camera {

namespace {

constexpr quint32 Uuid = Mp4Boxes::fourcc("uuid");

} // namespace

Mp4Boxes::Mp4Boxes(const QString& path) : m_file(path)
{
    m_open = m_file.open(QIODevice::ReadOnly);
    if (m_open)
        m_size = m_file.size();
}

quint16 Mp4Boxes::u16(const QByteArray& data, qint64 at)
{
    if (at < 0 || at + 2 > data.size())
        return 0;
    const auto* p = reinterpret_cast<const quint8*>(data.constData() + at);
    return quint16(p[0] << 8 | p[1]);
}

quint32 Mp4Boxes::u32(const QByteArray& data, qint64 at)
{
    if (at < 0 || at + 4 > data.size())
        return 0;
    const auto* p = reinterpret_cast<const quint8*>(data.constData() + at);
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

quint64 Mp4Boxes::u64(const QByteArray& data, qint64 at)
{
    return quint64(u32(data, at)) << 32 | u32(data, at + 4);
}

void Mp4Boxes::fail(const QString& problem)
{
    if (m_problem.isEmpty())
        m_problem = problem;
}

QByteArray Mp4Boxes::read(qint64 offset, qint64 size)
{
    if (!m_open || offset < 0 || size <= 0 || offset >= m_size)
        return {};
    size = std::min(size, m_size - offset);
    if (!m_file.seek(offset))
        return {};
    return m_file.read(size);
}

std::vector<Mp4Boxes::Box> Mp4Boxes::list(qint64 begin, qint64 end)
{
    std::vector<Box> boxes;
    end = std::min(end, m_size);
    qint64 at = begin;
    while (at + 8 <= end) {
        if (int(boxes.size()) >= MaxChildren) {
            fail(QStringLiteral("too many boxes at %1").arg(begin));
            break;
        }
        const QByteArray head = read(at, 16);
        if (head.size() < 8)
            break;
        Box box;
        box.offset = at;
        box.type = u32(head, 4);
        box.header = 8;
        quint64 size = u32(head, 0);
        if (size == 1) {
            if (head.size() < 16) {
                fail(QStringLiteral("box header cut at %1").arg(at));
                break;
            }
            size = u64(head, 8);
            box.header = 16;
        } else if (size == 0) {
            size = quint64(end - at); // runs to the end of its parent
        }
        if (box.type == Uuid)
            box.header += 16;
        if (size < quint64(box.header) || size > quint64(end - at)) {
            fail(QStringLiteral("box at %1 claims %2 bytes").arg(at).arg(size));
            break;
        }
        box.size = qint64(size);
        boxes.push_back(box);
        at += box.size;
    }
    return boxes;
}

std::vector<Mp4Boxes::Box> Mp4Boxes::topLevel()
{
    return list(0, m_size);
}

std::vector<Mp4Boxes::Box> Mp4Boxes::children(const Box& parent, qint64 skip)
{
    if (skip < 0 || skip > parent.payloadSize())
        return {};
    return list(parent.payloadOffset() + skip, parent.end());
}

const Mp4Boxes::Box* Mp4Boxes::find(const std::vector<Box>& boxes, quint32 type)
{
    const auto it =
        std::find_if(boxes.cbegin(), boxes.cend(), [type](const Box& box) { return box.type == type; });
    return it == boxes.cend() ? nullptr : &*it;
}

bool Mp4Boxes::findPath(const std::vector<quint32>& path, Box& out, const Box* parent)
{
    Box current;
    bool inside = parent != nullptr;
    if (parent)
        current = *parent;
    for (const quint32 type : path) {
        const std::vector<Box> boxes = inside ? children(current) : topLevel();
        const Box* found = find(boxes, type);
        if (!found)
            return false;
        current = *found;
        inside = true;
    }
    out = current;
    return inside;
}

QByteArray Mp4Boxes::payload(const Box& box, qint64 limit)
{
    return read(box.payloadOffset(), std::min(box.payloadSize(), limit));
}

quint64 Mp4Boxes::creationTime()
{
    Box mvhd;
    if (!findPath({fourcc("moov"), fourcc("mvhd")}, mvhd))
        return 0;
    const QByteArray data = payload(mvhd, 32);
    return data.isEmpty() ? 0 : data.at(0) == 1 ? u64(data, 4) : u32(data, 4);
}

qint64 Mp4Boxes::videoStartMs()
{
    Box moov;
    Box mvhd;
    if (!findPath({fourcc("moov")}, moov) || !findPath({fourcc("mvhd")}, mvhd, &moov))
        return 0;
    const QByteArray header = payload(mvhd, 32);
    const quint32 timescale = header.isEmpty() ? 0 : u32(header, header.at(0) == 1 ? 20 : 12);
    if (timescale == 0)
        return 0;
    for (const Box& trak : children(moov)) {
        Box hdlr;
        Box elst;
        if (trak.type != fourcc("trak") || !findPath({fourcc("mdia"), fourcc("hdlr")}, hdlr, &trak) ||
            u32(payload(hdlr, 12), 8) != fourcc("vide"))
            continue;
        if (!findPath({fourcc("edts"), fourcc("elst")}, elst, &trak))
            return 0;
        const QByteArray data = payload(elst, 8 + 20 * 16);
        if (data.size() < 8)
            return 0;
        const bool wide = data.at(0) == 1;
        const qint64 entry = wide ? 20 : 12;
        const qint64 count = qMin<qint64>(u32(data, 4), (data.size() - 8) / entry);
        qint64 empty = 0;
        for (qint64 i = 0; i < count; ++i) {
            const qint64 at = 8 + i * entry;
            const qint64 mediaTime = wide ? qint64(u64(data, at + 8)) : qint64(qint32(u32(data, at + 4)));
            if (mediaTime != -1)
                break;
            empty += wide ? qint64(qMin<quint64>(u64(data, at), quint64(1) << 40)) : qint64(u32(data, at));
        }
        return empty * 1000 / timescale;
    }
    return 0;
}

std::vector<Mp4Boxes::Track> Mp4Boxes::tracks(const std::function<bool(quint32 handler)>& withSamples)
{
    std::vector<Track> tracks;
    quint32 budget = MaxFileSamples;
    Box moov;
    if (!findPath({fourcc("moov")}, moov))
        return tracks;
    for (const Box& trak : children(moov)) {
        if (trak.type != fourcc("trak"))
            continue;
        Box mdia;
        if (!findPath({fourcc("mdia")}, mdia, &trak))
            continue;
        Track track;
        const std::vector<Box> parts = children(mdia);
        if (const Box* hdlr = find(parts, fourcc("hdlr")))
            track.handler = u32(payload(*hdlr, 12), 8);
        if (const Box* mdhd = find(parts, fourcc("mdhd"))) {
            const QByteArray data = payload(*mdhd, 40);
            const bool wide = !data.isEmpty() && data.at(0) == 1;
            track.timescale = u32(data, wide ? 20 : 12);
            track.duration = qint64(wide ? u64(data, 24) : u32(data, 16));
        }
        Box stbl;
        const Box* minf = find(parts, fourcc("minf"));
        if (minf && findPath({fourcc("stbl")}, stbl, minf))
            sampleTable(stbl, track, budget, !withSamples || withSamples(track.handler));
        tracks.push_back(std::move(track));
    }
    return tracks;
}

bool Mp4Boxes::sampleTable(const Box& stbl, Track& track, quint32& budget, bool withSamples)
{
    const std::vector<Box> parts = children(stbl);
    const Box* stsd = find(parts, fourcc("stsd"));
    const Box* stsz = find(parts, fourcc("stsz"));
    const Box* stsc = find(parts, fourcc("stsc"));
    const Box* stco = find(parts, fourcc("stco"));
    const Box* co64 = find(parts, fourcc("co64"));
    const Box* stts = find(parts, fourcc("stts"));
    if (stsd)
        track.format = u32(payload(*stsd, 16), 12);
    if (!withSamples || !stsz || !stsc || (!stco && !co64))
        return false;

    // Every table's entry count is bounded by the bytes its box holds.
    const QByteArray sizes = payload(*stsz);
    const quint32 fixedSize = u32(sizes, 4);
    const quint32 claimed = u32(sizes, 8);
    quint32 count = std::min({claimed, MaxSamples, budget});
    if (count < claimed)
        fail(QStringLiteral("a track claims %1 samples; %2 are read").arg(claimed).arg(count));
    if (fixedSize == 0) {
        const auto entries = quint32(std::min<qint64>(count, std::max<qint64>(0, (sizes.size() - 12) / 4)));
        if (entries < count)
            fail(QStringLiteral("the sample-size table at %1 ends after %2 entries")
                     .arg(stsz->offset)
                     .arg(entries));
        count = entries;
    }

    const QByteArray chunks = payload(co64 ? *co64 : *stco);
    const int width = co64 ? 8 : 4;
    const quint32 chunkCount =
        std::min<quint32>(u32(chunks, 4), quint32(std::max<qint64>(0, (chunks.size() - 8) / width)));

    const QByteArray runs = payload(*stsc);
    const quint32 runCount =
        std::min<quint32>(u32(runs, 4), quint32(std::max<qint64>(0, (runs.size() - 8) / 12)));

    QByteArray times;
    quint32 timeCount = 0;
    if (stts) {
        times = payload(*stts);
        timeCount = std::min<quint32>(u32(times, 4), quint32(std::max<qint64>(0, (times.size() - 8) / 8)));
    }

    track.samples.reserve(std::min<quint32>(count, 65536));
    quint32 sample = 0;
    quint32 timeEntry = 0;
    quint32 leftInEntry = timeCount > 0 ? u32(times, 8) : 0;
    qint64 time = 0;
    for (quint32 run = 0; run < runCount && sample < count; ++run) {
        const quint32 firstChunk = u32(runs, 8 + qint64(run) * 12);
        const quint32 perChunk = u32(runs, 8 + qint64(run) * 12 + 4);
        const quint32 nextFirst = run + 1 < runCount ? u32(runs, 8 + qint64(run + 1) * 12) : chunkCount + 1;
        if (firstChunk == 0 || nextFirst <= firstChunk || perChunk == 0)
            break; // chunk runs must ascend; anything else is damage
        for (quint32 chunk = firstChunk; chunk < nextFirst && chunk <= chunkCount && sample < count;
             ++chunk) {
            qint64 offset = width == 8 ? qint64(u64(chunks, 8 + qint64(chunk - 1) * 8))
                                       : qint64(u32(chunks, 8 + qint64(chunk - 1) * 4));
            for (quint32 i = 0; i < perChunk && sample < count; ++i, ++sample) {
                const quint32 size = fixedSize != 0 ? fixedSize : u32(sizes, 12 + qint64(sample) * 4);
                track.samples.push_back(Sample{offset, size, time});
                offset += size;
                while (timeEntry < timeCount && leftInEntry == 0) {
                    ++timeEntry;
                    leftInEntry = timeEntry < timeCount ? u32(times, 8 + qint64(timeEntry) * 8) : 0;
                }
                if (timeEntry < timeCount) {
                    time += u32(times, 8 + qint64(timeEntry) * 8 + 4);
                    --leftInEntry;
                }
            }
        }
    }
    budget -= quint32(track.samples.size());
    return true;
}

} // namespace Camera
