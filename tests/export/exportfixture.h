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
#include <QVector>

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

} // namespace Fixture
