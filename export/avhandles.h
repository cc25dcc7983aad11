#pragma once

// Owning handles for the FFmpeg objects the exporters use.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <QString>

#include <memory>

namespace Av {

struct InputCloser
{
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct CodecFreer
{
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer
{
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer
{
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ParametersFreer
{
    void operator()(AVCodecParameters* parameters) const { avcodec_parameters_free(&parameters); }
};
struct ScaleFreer
{
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};

using Input = std::unique_ptr<AVFormatContext, InputCloser>;
using Codec = std::unique_ptr<AVCodecContext, CodecFreer>;
using Frame = std::unique_ptr<AVFrame, FrameFreer>;
using Packet = std::unique_ptr<AVPacket, PacketFreer>;
using Parameters = std::unique_ptr<AVCodecParameters, ParametersFreer>;
using Scale = std::unique_ptr<SwsContext, ScaleFreer>;

// Opens a media file for reading only; null on failure.
inline Input openInput(const QString& path)
{
    // The libraries' own notes on ordinary files (such as a missing frame size that the MP4
    // writer works out itself) would only clutter the terminal.
    av_log_set_level(AV_LOG_ERROR);
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, QFile::encodeName(path).constData(), nullptr, nullptr) < 0)
        return nullptr;
    return Input(context);
}

// Time of the stream's first frame in its own time base (0 when the file does not say).
inline int64_t streamStart(const AVStream* stream)
{
    return stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
}

// FFmpeg's words for an error code.
inline QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

inline int64_t msToStream(qint64 ms, const AVStream* stream)
{
    return streamStart(stream) + av_rescale_q(ms, AVRational{1, 1000}, stream->time_base);
}

// Where a file's video starts in its presentation times, in ms; 0 when unknown.
inline qint64 videoStartMs(const QString& path)
{
    const Input in = openInput(path);
    const int v = in ? av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
    if (v < 0)
        return 0;
    const AVStream* stream = in->streams[v];
    return av_rescale_q(streamStart(stream), stream->time_base, AVRational{1, 1000});
}

} // namespace Av
