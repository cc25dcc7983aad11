#include "cutencoder.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <algorithm>

namespace {

const char* const Encoder = "libx264";
// Visually close to the recording; the re-encoded part is at most one key-frame interval long.
const char* const Quality = "18";
const char* const Speed = "fast";
// A fixed number of threads: the encoder's result depends on it, and the same clip must come
// out the same on every computer.
constexpr int EncoderThreads = 4;

} // namespace

CutEncoder::CutEncoder(const AVStream* source, AVRational frameRate)
    : m_source(source), m_frameRate(frameRate)
{}

bool CutEncoder::canJoin()
{
    const AVCodecParameters* par = m_source->codecpar;
    if (par->codec_id != AV_CODEC_ID_H264) {
        m_error = QStringLiteral("the video is not H.264");
        return false;
    }
    if (!m_config.read(par->extradata, par->extradata_size) || m_config.lengthSize() != 4) {
        m_error = QStringLiteral("the video has no decoder configuration with 4-byte lengths");
        return false;
    }
    m_id = m_config.freeId();
    if (m_id < 0) {
        m_error = QStringLiteral("every parameter set id is in use");
        return false;
    }
    if (!avcodec_find_encoder_by_name(Encoder)) {
        m_error = QStringLiteral("no H.264 encoder");
        return false;
    }
    return true;
}

bool CutEncoder::openEncoder(const AVFrame* frame, int reorder)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(Encoder);
    m_encoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!m_encoder) {
        m_error = QStringLiteral("no H.264 encoder");
        return false;
    }
    AVCodecContext* enc = m_encoder.get();
    enc->width = frame->width;
    enc->height = frame->height;
    enc->pix_fmt = AVPixelFormat(frame->format);
    enc->sample_aspect_ratio = frame->sample_aspect_ratio.num > 0 ? frame->sample_aspect_ratio
                                                                  : m_source->codecpar->sample_aspect_ratio;
    enc->color_range = frame->color_range;
    enc->color_primaries = frame->color_primaries;
    enc->color_trc = frame->color_trc;
    enc->colorspace = frame->colorspace;
    enc->chroma_sample_location = frame->chroma_location;
    enc->time_base = m_source->time_base;
    if (m_frameRate.num > 0 && m_frameRate.den > 0)
        enc->framerate = m_frameRate;
    // As many pictures held back for reordering as in the recording: a player's decoder then
    // keeps the same delay across the joint, and does not show a picture late.
    enc->max_b_frames = std::min(reorder, 2);
    enc->gop_size = 1 << 20;
    enc->level = m_config.level();
    enc->thread_count = EncoderThreads;
    enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", Speed, 0);
    av_dict_set(&options, "crf", Quality, 0);
    if (m_config.profile() == FF_PROFILE_H264_BASELINE)
        av_dict_set(&options, "profile", "baseline", 0);
    else if (m_config.profile() == FF_PROFILE_H264_MAIN)
        av_dict_set(&options, "profile", "main", 0);
    av_dict_set(&options, "x264-params", qPrintable(QStringLiteral("sps-id=%1").arg(m_id)), 0);
    const int opened = avcodec_open2(enc, enc->codec, &options);
    av_dict_free(&options);
    if (opened < 0) {
        m_error = QStringLiteral("the encoder does not open: %1").arg(Av::errorText(opened));
        return false;
    }
    if (!m_config.addAnnexB(enc->extradata, enc->extradata_size)) {
        m_error = QStringLiteral("the encoder gave no parameter sets");
        return false;
    }
    return true;
}

bool CutEncoder::encodeFrame(AVFrame* frame)
{
    const int sent = avcodec_send_frame(m_encoder.get(), frame);
    if (sent < 0) {
        m_error = QStringLiteral("encoding failed: %1").arg(Av::errorText(sent));
        return false;
    }
    for (;;) {
        Av::Packet packet(av_packet_alloc());
        const int received = avcodec_receive_packet(m_encoder.get(), packet.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
            return true;
        if (received < 0) {
            m_error = QStringLiteral("encoding failed: %1").arg(Av::errorText(received));
            return false;
        }
        const QByteArray sample = AvcConfig::lengthPrefixed(packet->data, packet->size);
        Av::Packet stored(av_packet_alloc());
        if (av_new_packet(stored.get(), int(sample.size())) < 0)
            return false;
        std::copy(sample.cbegin(), sample.cend(), stored->data);
        stored->pts = packet->pts;
        stored->dts = packet->dts;
        stored->flags = packet->flags & AV_PKT_FLAG_KEY;
        const auto duration = std::lower_bound(m_durations.cbegin(), m_durations.cend(),
                                               std::make_pair(packet->pts, INT64_MIN));
        stored->duration =
            duration != m_durations.cend() && duration->first == packet->pts ? duration->second : 0;
        m_packets.push_back(std::move(stored));
    }
}

bool CutEncoder::encode(const std::vector<Av::Packet>& packets, int64_t fromPts, int64_t toPts,
                        const std::function<bool(int64_t)>& progress)
{
    m_packets.clear();
    m_durations.clear();
    for (const Av::Packet& packet : packets) {
        if (packet->pts != AV_NOPTS_VALUE)
            m_durations.emplace_back(packet->pts, packet->duration);
    }
    std::sort(m_durations.begin(), m_durations.end());

    const AVCodec* codec = avcodec_find_decoder(m_source->codecpar->codec_id);
    Av::Codec decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), m_source->codecpar) < 0) {
        m_error = QStringLiteral("no decoder");
        return false;
    }
    decoder->pkt_timebase = m_source->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        m_error = QStringLiteral("the decoder does not open");
        return false;
    }

    Av::Frame frame(av_frame_alloc());
    const auto receive = [&]() {
        for (;;) {
            const int received = avcodec_receive_frame(decoder.get(), frame.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0) {
                m_error = QStringLiteral("decoding failed: %1").arg(Av::errorText(received));
                return false;
            }
            const int64_t pts = frame->best_effort_timestamp;
            if (pts != AV_NOPTS_VALUE && pts >= fromPts && pts <= toPts) {
                if (!m_encoder && !openEncoder(frame.get(), decoder->has_b_frames))
                    return false;
                frame->pts = pts;
                frame->pict_type = AV_PICTURE_TYPE_NONE;
                if (!encodeFrame(frame.get()))
                    return false;
                if (!progress(pts)) {
                    m_error = QStringLiteral("cancelled");
                    return false;
                }
            }
            av_frame_unref(frame.get());
        }
    };
    for (const Av::Packet& packet : packets) {
        // A damaged packet costs its picture, not the clip.
        avcodec_send_packet(decoder.get(), packet.get());
        if (!receive())
            return false;
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (!receive())
        return false;
    if (!m_encoder) {
        m_error = QStringLiteral("no picture decoded");
        return false;
    }
    if (!encodeFrame(nullptr))
        return false;
    if (m_packets.empty() || !(m_packets.front()->flags & AV_PKT_FLAG_KEY)) {
        m_error = QStringLiteral("the encoder gave no key frame");
        return false;
    }
    return true;
}
