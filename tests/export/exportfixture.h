#pragma once

// Marked clips, position files beside them, and the reading back of exported files.

#include "../nmea/nmeafixture.h"
#include "tripitem.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QVector>
#include <QXmlStreamReader>

#include <map>

namespace Fixture {

// The frame number drawn into a marked picture: 16 stripes, bit 0 on the left.
inline int frameNumber(const QImage& image)
{
    int number = 0;
    for (int bit = 0; bit < 16; ++bit) {
        const int x = (2 * bit + 1) * image.width() / 32;
        if (qGray(image.pixel(x, image.height() / 2)) > 128)
            number |= 1 << bit;
    }
    return number;
}

// The same from the luma plane of a decoded frame.
inline int frameNumber(const AVFrame* frame)
{
    int number = 0;
    for (int bit = 0; bit < 16; ++bit) {
        const int x = (2 * bit + 1) * frame->width / 32;
        if (frame->data[0][(frame->height / 2) * frame->linesize[0] + x] > 128)
            number |= 1 << bit;
    }
    return number;
}

struct Decoded
{
    QVector<int> frames;  // frame numbers in display order
    double seconds = 0.0; // length of the file
    bool hasAudio = false;
};

// Decodes every picture of a file.
inline Decoded decodeAll(const QString& path)
{
    Decoded result;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return result;
    avformat_find_stream_info(in, nullptr);
    result.seconds = double(in->duration) / AV_TIME_BASE;
    result.hasAudio = av_find_best_stream(in, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
    const AVCodec* decoder = nullptr;
    const int v = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    AVCodecContext* codec = v >= 0 ? avcodec_alloc_context3(decoder) : nullptr;
    if (codec && avcodec_parameters_to_context(codec, in->streams[v]->codecpar) >= 0 &&
        avcodec_open2(codec, decoder, nullptr) >= 0) {
        AVPacket* packet = av_packet_alloc();
        AVFrame* frame = av_frame_alloc();
        const auto drain = [&]() {
            while (avcodec_receive_frame(codec, frame) >= 0) {
                result.frames << frameNumber(frame);
                av_frame_unref(frame);
            }
        };
        while (av_read_frame(in, packet) >= 0) {
            if (packet->stream_index == v)
                avcodec_send_packet(codec, packet);
            av_packet_unref(packet);
            drain();
        }
        avcodec_send_packet(codec, nullptr);
        drain();
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
    avcodec_free_context(&codec);
    avformat_close_input(&in);
    return result;
}

// The video packets of a file in decoding order, as stored.
inline QVector<QByteArray> videoPackets(const QString& path)
{
    QVector<QByteArray> packets;
    AVFormatContext* in = nullptr;
    if (avformat_open_input(&in, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return packets;
    const int v = av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVPacket* packet = av_packet_alloc();
    while (av_read_frame(in, packet) >= 0) {
        if (packet->stream_index == v)
            packets << QByteArray(reinterpret_cast<const char*>(packet->data), packet->size);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&in);
    return packets;
}

// What the ffmpeg program reports while decoding a whole file: nothing for a clean file.
inline QString decodingErrors(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                  QStringLiteral("-i"), path, QStringLiteral("-f"), QStringLiteral("null"),
                  QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000) || ffmpeg.exitStatus() != QProcess::NormalExit)
        return QStringLiteral("ffmpeg did not finish");
    const QString errors = QString::fromUtf8(ffmpeg.readAllStandardError());
    return ffmpeg.exitCode() == 0 ? errors : errors + QStringLiteral("exit code %1").arg(ffmpeg.exitCode());
}

// Ground speed of the written fixes: 19.4 knots, 35.93 km/h.
constexpr double Knots = 19.4;
constexpr double Kmh = Knots * 1.852;

// A position file of `seconds` fixes, one per second from `start`, heading east.
inline bool writeTrack(const QString& path, const QDateTime& start, int seconds, double lat = 48.1,
                       double lon = 11.5)
{
    QStringList lines;
    for (int s = 0; s < seconds; ++s) {
        const QDateTime t = start.addSecs(s);
        const double east = lon + s * 0.000135; // about 10 m per second
        lines << rmc(t.time(), t.date(), lat, east, Knots, 90.0) << gga(t.time(), lat, east, 500.0 + s);
    }
    return write(path, lines);
}

// Copies the marked clips of `media` named in `names` into `dir`, with a position file of
// `seconds` fixes beside each, the fixes starting at the time in the clip's name.
inline Trip::TripList markedTrip(const QString& media, const QString& dir, const QStringList& names,
                                 qint64 durationMs = 2000)
{
    Trip::TripList trip;
    for (const QString& name : names) {
        const QString video = QDir(dir).filePath(name);
        QFile::copy(QDir(media).filePath(name), video);
        const QString nmea = QString(video).replace(QStringLiteral(".mp4"), QStringLiteral(".nmea"));
        const QDateTime start = QDateTime::fromString(name.mid(9, 14), QStringLiteral("yyyyMMddHHmmss"));
        writeTrack(nmea, start, int(durationMs / 1000));
        trip.push_back(Trip::TripItem{durationMs, false, video, nmea});
    }
    return trip;
}

inline const QString Gpx = QStringLiteral("http://www.topografix.com/GPX/1/1");
inline const QString TrackPointExtension =
    QStringLiteral("http://www.garmin.com/xmlschemas/TrackPointExtension/v2");

// Children each GPX 1.1 element may have, in the order the schema's sequences give; "*" marks
// elements that may repeat.
inline const std::map<QString, QStringList> GpxSequences{
    {QStringLiteral("gpx"), {"metadata", "wpt*", "rte*", "trk*", "extensions"}},
    {QStringLiteral("metadata"),
     {"name", "desc", "author", "copyright", "link*", "time", "keywords", "bounds", "extensions"}},
    {QStringLiteral("trk"),
     {"name", "cmt", "desc", "src", "link*", "number", "type", "extensions", "trkseg*"}},
    {QStringLiteral("trkseg"), {"trkpt*", "extensions"}},
    {QStringLiteral("trkpt"),
     {"ele", "time", "magvar", "geoidheight", "name", "cmt", "desc", "src", "link*", "sym", "type", "fix",
      "sat", "hdop", "vdop", "pdop", "ageofdgpsdata", "dgpsid", "extensions"}},
};

struct GpxPoint
{
    double lat = 0;
    double lon = 0;
    double ele = qQNaN();
    QString time;
    double speed = qQNaN();
    int segment = 0;
};

inline bool isDecimal(const QString& text)
{
    static const QRegularExpression decimal(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    return decimal.match(text).hasMatch();
}

// Reads a GPX file, checking it against the structural rules of the GPX 1.1 schema for the
// elements a track uses; an empty error means it conforms.
inline QVector<GpxPoint> readGpx(const QByteArray& bytes, QString& error)
{
    QVector<GpxPoint> points;
    QXmlStreamReader xml(bytes);
    struct Level
    {
        QString name;
        int position = 0; // index into the element's sequence
    };
    QVector<Level> stack;
    int segments = 0;
    const auto fail = [&](const QString& text) {
        if (error.isEmpty())
            error = QStringLiteral("line %1: %2").arg(xml.lineNumber()).arg(text);
    };
    while (!xml.atEnd() && error.isEmpty()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            stack.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        const QString name = xml.name().toString();
        if (stack.isEmpty()) {
            if (name != QLatin1String("gpx") || xml.namespaceUri() != Gpx)
                fail(QStringLiteral("the root is not a GPX 1.1 gpx element"));
            if (xml.attributes().value(QStringLiteral("version")) != QLatin1String("1.1") ||
                xml.attributes().value(QStringLiteral("creator")).isEmpty())
                fail(QStringLiteral("gpx needs version 1.1 and a creator"));
            stack.append({name});
            continue;
        }
        Level& parent = stack.last();
        if (parent.name == QLatin1String("extensions")) {
            if (xml.namespaceUri() == Gpx)
                fail(QStringLiteral("extensions hold elements of other namespaces only"));
            if (name == QLatin1String("speed") && xml.namespaceUri() == TrackPointExtension) {
                const QString text = xml.readElementText();
                if (!isDecimal(text) || text.toDouble() < 0)
                    fail(QStringLiteral("speed %1").arg(text));
                points.last().speed = text.toDouble();
                continue;
            }
            stack.append({QStringLiteral("extensions")}); // anything inside is free
            continue;
        }
        if (xml.namespaceUri() != Gpx) {
            fail(QStringLiteral("%1 is not in the GPX namespace").arg(name));
            break;
        }
        const auto sequence = GpxSequences.find(parent.name);
        if (sequence == GpxSequences.end()) {
            fail(QStringLiteral("%1 may not contain %2").arg(parent.name, name));
            break;
        }
        const QStringList& allowed = sequence->second;
        int found = -1;
        for (int i = parent.position; i < allowed.size(); ++i) {
            if (QString(allowed[i]).remove(QLatin1Char('*')) == name) {
                found = i;
                break;
            }
        }
        if (found < 0) {
            fail(QStringLiteral("%1 out of order in %2").arg(name, parent.name));
            break;
        }
        parent.position = allowed[found].endsWith(QLatin1Char('*')) ? found : found + 1;

        if (name == QLatin1String("trkseg")) {
            ++segments;
        } else if (name == QLatin1String("trkpt")) {
            GpxPoint point;
            const QString lat = xml.attributes().value(QStringLiteral("lat")).toString();
            const QString lon = xml.attributes().value(QStringLiteral("lon")).toString();
            point.lat = lat.toDouble();
            point.lon = lon.toDouble();
            point.segment = segments;
            if (!isDecimal(lat) || !isDecimal(lon) || qAbs(point.lat) > 90 || point.lon < -180 ||
                point.lon >= 180)
                fail(QStringLiteral("coordinates %1 %2").arg(lat, lon));
            points.append(point);
        } else if (name == QLatin1String("ele")) {
            const QString text = xml.readElementText();
            if (!isDecimal(text))
                fail(QStringLiteral("ele %1").arg(text));
            points.last().ele = text.toDouble();
            continue;
        } else if (name == QLatin1String("time") && parent.name == QLatin1String("trkpt")) {
            const QString text = xml.readElementText();
            if (!QDateTime::fromString(text, Qt::ISODate).isValid() || !text.endsWith(QLatin1Char('Z')))
                fail(QStringLiteral("time %1").arg(text));
            points.last().time = text;
            continue;
        } else if (name == QLatin1String("name")) {
            xml.readElementText();
            continue;
        }
        stack.append({name});
    }
    if (xml.hasError())
        fail(xml.errorString());
    return points;
}

} // namespace Fixture
