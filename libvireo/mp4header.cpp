#include "mp4header.h"

#include <QByteArray>
#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

// A movie index larger than this is not read; real ones are a few hundred kilobytes.
constexpr qint64 MaxMovieBoxBytes = 64LL * 1024 * 1024;
constexpr int MaxTopLevelBoxes = 1024;

struct Box
{
    QByteArray type;
    const char* payload = nullptr;
    qint64 size = 0;
};

// The boxes inside [data, data + size), in order; stops at the first that does not fit.
template <typename Visit> void forEachBox(const char* data, qint64 size, Visit visit)
{
    qint64 at = 0;
    while (size - at >= 8) {
        const auto* head = reinterpret_cast<const uchar*>(data + at);
        qint64 boxSize = qFromBigEndian<quint32>(head);
        qint64 headSize = 8;
        if (boxSize == 1) {
            if (size - at < 16) {
                return;
            }
            boxSize = static_cast<qint64>(qFromBigEndian<quint64>(head + 8));
            headSize = 16;
        } else if (boxSize == 0) {
            boxSize = size - at;
        }
        if (boxSize < headSize || boxSize > size - at) {
            return;
        }
        visit(Box{QByteArray(data + at + 4, 4), data + at + headSize, boxSize - headSize});
        at += boxSize;
    }
}

// Timescale and length of a movie or media header ("mvhd", "mdhd"), which share
// their first fields; a length of all ones (not known) reads as 0. False when the
// box is too short for its version.
bool readTimes(const Box& box, quint32& timescale, quint64& length)
{
    const auto* p = reinterpret_cast<const uchar*>(box.payload);
    const int version = box.size > 0 ? p[0] : -1;
    if (version == 1 && box.size >= 32) {
        timescale = qFromBigEndian<quint32>(p + 20);
        length = qFromBigEndian<quint64>(p + 24);
        if (length == ~quint64(0)) {
            length = 0;
        }
        return true;
    }
    if (version == 0 && box.size >= 20) {
        timescale = qFromBigEndian<quint32>(p + 12);
        const auto length32 = qFromBigEndian<quint32>(p + 16);
        length = length32 == 0xffffffffu ? 0 : length32;
        return true;
    }
    return false;
}

qint64 toMs(quint64 length, quint32 timescale)
{
    if (timescale == 0) {
        return 0;
    }
    const double ms = double(length) * 1000.0 / double(timescale);
    return ms < 9.0e15 ? static_cast<qint64>(ms) : qint64(9.0e15);
}

// The handler type of a handler box ("hdlr"): "vide" for a video track.
QByteArray handlerType(const Box& box)
{
    return box.size >= 12 ? QByteArray(box.payload + 8, 4) : QByteArray();
}

// The duration of the last sample in a time-to-sample box ("stts"), 0 when there is none.
quint32 lastSampleDelta(const Box& box)
{
    const auto* p = reinterpret_cast<const uchar*>(box.payload);
    if (box.size < 8) {
        return 0;
    }
    const auto entries = qFromBigEndian<quint32>(p + 4);
    if (entries == 0 || (box.size - 8) / 8 < entries) {
        return 0;
    }
    return qFromBigEndian<quint32>(p + 8 + 8 * qint64(entries - 1) + 4);
}

// One track's media box ("mdia"): its length, and for video where its last picture starts.
void readMedia(const Box& media, Mp4Header& header)
{
    quint32 timescale = 0;
    quint64 length = 0;
    bool timed = false;
    bool video = false;
    quint32 lastDelta = 0;
    forEachBox(media.payload, media.size, [&](const Box& mediaBox) {
        if (mediaBox.type == "mdhd") {
            timed = readTimes(mediaBox, timescale, length);
        } else if (mediaBox.type == "hdlr") {
            video = handlerType(mediaBox) == "vide";
        } else if (mediaBox.type == "minf") {
            forEachBox(mediaBox.payload, mediaBox.size, [&](const Box& infoBox) {
                if (infoBox.type == "stbl") {
                    forEachBox(infoBox.payload, infoBox.size, [&](const Box& tableBox) {
                        if (tableBox.type == "stts") {
                            lastDelta = lastSampleDelta(tableBox);
                        }
                    });
                }
            });
        }
    });
    if (!timed) {
        return;
    }
    header.longestTrackMs = qMax(header.longestTrackMs, toMs(length, timescale));
    if (video && header.lastVideoFrameMs < 0 && timescale > 0 && lastDelta > 0 && lastDelta <= length) {
        header.lastVideoFrameMs = toMs(length - lastDelta, timescale);
    }
}

void readMovie(const QByteArray& moov, Mp4Header& header)
{
    forEachBox(moov.constData(), moov.size(), [&header](const Box& box) {
        if (box.type == "mvhd") {
            quint64 length = 0;
            header.found = readTimes(box, header.movieTimescale, length);
        } else if (box.type == "trak") {
            forEachBox(box.payload, box.size, [&header](const Box& trackBox) {
                if (trackBox.type == "mdia") {
                    readMedia(trackBox, header);
                }
            });
        }
    });
}

} // namespace

Mp4Header Mp4Header::read(const QString& file)
{
    Mp4Header header;
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        return header;
    }
    const qint64 fileSize = in.size();
    qint64 at = 0;
    for (int boxes = 0; boxes < MaxTopLevelBoxes && fileSize - at >= 8; ++boxes) {
        uchar head[16];
        if (!in.seek(at) || in.read(reinterpret_cast<char*>(head), 8) != 8) {
            break;
        }
        qint64 boxSize = qFromBigEndian<quint32>(head);
        qint64 headSize = 8;
        if (boxSize == 1) {
            if (in.read(reinterpret_cast<char*>(head + 8), 8) != 8) {
                break;
            }
            boxSize = static_cast<qint64>(qFromBigEndian<quint64>(head + 8));
            headSize = 16;
        } else if (boxSize == 0) {
            boxSize = fileSize - at;
        }
        if (boxSize < headSize || boxSize > fileSize - at) {
            break;
        }
        if (std::equal(head + 4, head + 8, "moov")) {
            if (boxSize - headSize <= MaxMovieBoxBytes) {
                const QByteArray moov = in.read(boxSize - headSize);
                if (moov.size() == boxSize - headSize) {
                    readMovie(moov, header);
                }
            }
            break;
        }
        at += boxSize;
    }
    return header;
}
