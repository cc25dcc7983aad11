#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace Camera {

// Reads the box structure of an MP4 (ISO base media) file without touching its media data:
// boxes are located by their headers, and only the payloads asked for are read. Every size is
// checked against its parent, so a damaged or hostile file ends a listing early, never loops.
class Mp4Boxes
{
public:
    static constexpr quint32 fourcc(const char (&name)[5])
    {
        return quint32(quint8(name[0])) << 24 | quint32(quint8(name[1])) << 16 |
               quint32(quint8(name[2])) << 8 | quint32(quint8(name[3]));
    }

    struct Box
    {
        quint32 type = 0;
        qint64 offset = 0; // of the header
        qint64 header = 0; // header bytes, 8 or 16 (plus 16 for a "uuid" box's own type)
        qint64 size = 0;   // header and payload
        qint64 payloadOffset() const { return offset + header; }
        qint64 payloadSize() const { return size - header; }
        qint64 end() const { return offset + size; }
    };

    struct Sample
    {
        qint64 offset = 0;
        quint32 size = 0;
        qint64 time = 0; // decoding time in the track's timescale
    };

    struct Track
    {
        quint32 handler = 0; // "vide", "soun", "text", "meta", ...
        quint32 format = 0;  // the first sample entry's type: "avc1", "gpmd", "tx3g", ...
        quint32 timescale = 0;
        qint64 duration = 0; // in timescale units
        std::vector<Sample> samples;
    };

    // Most boxes listed at one level, most samples of one track and of all tracks of a file
    // together: far beyond any camera's file. The file's own limit keeps many tracks, each
    // claiming a long table, from multiplying the memory a listing takes.
    static constexpr int MaxChildren = 100000;
    static constexpr quint32 MaxSamples = 1000000;
    static constexpr quint32 MaxFileSamples = 4 * MaxSamples;

    explicit Mp4Boxes(const QString& path);

    bool isOpen() const { return m_open; }
    qint64 fileSize() const { return m_size; }
    // Why the structure ends early, empty while nothing was wrong.
    const QString& problem() const { return m_problem; }

    // The boxes of the whole file, or inside one box's payload (skipping `skip` bytes of it
    // first, such as a full box's version and flags or a sample entry's fields).
    std::vector<Box> topLevel();
    std::vector<Box> children(const Box& parent, qint64 skip = 0);
    static const Box* find(const std::vector<Box>& boxes, quint32 type);
    // The first box on a path of types below `parent`, or below the file when `parent` is null.
    bool findPath(const std::vector<quint32>& path, Box& out, const Box* parent = nullptr);

    // A box's payload, at most `limit` bytes; empty when it cannot be read.
    QByteArray payload(const Box& box, qint64 limit = 16 * 1024 * 1024);
    // Bytes of the file; fewer when the file ends.
    QByteArray read(qint64 offset, qint64 size);

    // The tracks of the movie box with their sample tables.
    // Only tracks whose handler `withSamples` accepts get their samples listed (all without it):
    // a reader of one data track need not walk the video's tables.
    std::vector<Track> tracks(const std::function<bool(quint32 handler)>& withSamples = {});
    // Seconds since 1904-01-01 from the movie header; 0 when there is none.
    quint64 creationTime();
    // Milliseconds from the start of the file's timeline to its first picture: the empty edits
    // that open the video track's edit list (a camera channel that started late). 0 without.
    qint64 videoStartMs();

    static quint16 u16(const QByteArray& data, qint64 at);
    static quint32 u32(const QByteArray& data, qint64 at);
    static quint64 u64(const QByteArray& data, qint64 at);

private:
    std::vector<Box> list(qint64 begin, qint64 end);
    // Reads at most `budget` samples (and at most MaxSamples) and takes those it read from it.
    bool sampleTable(const Box& stbl, Track& track, quint32& budget, bool withSamples);
    void fail(const QString& problem);

    QFile m_file;
    bool m_open = false;
    qint64 m_size = 0;
    QString m_problem;
};

} // namespace Camera
