#include "channelpictures.h"

#include "exportlog.h"

namespace {

// Further ahead than this, seeking costs less than decoding on.
constexpr qint64 SeekAheadMs = 3000;

} // namespace

const AVFrame* ChannelPictures::at(const QString& file, qint64 timeMs)
{
    if (file != m_file || (m_haveShown && timeMs < m_shownMs) ||
        (m_haveNext && timeMs > m_nextMs + SeekAheadMs))
        open(file, timeMs);
    if (!m_in)
        return nullptr;
    if (!m_haveNext)
        decodeNext();
    while (m_haveNext && m_nextMs <= timeMs) {
        std::swap(m_shown, m_next);
        m_shownMs = m_nextMs;
        m_haveShown = true;
        decodeNext();
    }
    if (!m_haveShown)
        return m_haveNext && m_nextMs - timeMs <= HoldMs ? m_next.get() : nullptr;
    // A picture shown long before is a recording that ended or broke off.
    return timeMs - m_shownMs <= UnshownGapMs ? m_shown.get() : nullptr;
}

void ChannelPictures::open(const QString& file, qint64 timeMs)
{
    m_file = file;
    m_codec.reset();
    m_in.reset();
    m_haveShown = m_haveNext = false;
    m_ended = true;
    m_in = Av::openInput(file);
    const AVCodec* decoder = nullptr;
    m_stream = m_in ? av_find_best_stream(m_in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0) : -1;
    if (m_stream < 0 || !decoder) {
        m_in.reset();
        return;
    }
    AVStream* stream = m_in->streams[m_stream];
    m_codec.reset(avcodec_alloc_context3(decoder));
    if (!m_codec || avcodec_parameters_to_context(m_codec.get(), stream->codecpar) < 0) {
        m_in.reset();
        return;
    }
    m_codec->pkt_timebase = stream->time_base;
    m_codec->thread_count = 0;
    m_codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(m_codec.get(), decoder, nullptr) < 0) {
        m_in.reset();
        return;
    }
    if (!m_shown)
        m_shown.reset(av_frame_alloc());
    if (!m_next)
        m_next.reset(av_frame_alloc());
    const int64_t target = av_rescale_q(timeMs, AVRational{1, 1000}, stream->time_base);
    if (target > Av::streamStart(stream)) {
        const int sought = av_seek_frame(m_in.get(), m_stream, target, AVSEEK_FLAG_BACKWARD);
        if (sought < 0)
            qCWarning(lcExport).noquote()
                << "cannot seek to" << timeMs << "ms in" << file << "for a channel:" << Av::errorText(sought);
    }
    m_ended = false;
}

bool ChannelPictures::decodeNext()
{
    m_haveNext = false;
    if (!m_in || !m_shown || !m_next)
        return false;
    AVStream* stream = m_in->streams[m_stream];
    Av::Packet packet(av_packet_alloc());
    for (;;) {
        av_frame_unref(m_next.get());
        const int received = avcodec_receive_frame(m_codec.get(), m_next.get());
        if (received >= 0) {
            if (m_next->best_effort_timestamp == AV_NOPTS_VALUE)
                continue;
            m_nextMs = av_rescale_q(m_next->best_effort_timestamp, stream->time_base, AVRational{1, 1000});
            m_haveNext = true;
            return true;
        }
        if (received != AVERROR(EAGAIN) || m_ended || !packet)
            return false;
        // Packets until the decoder has a picture; a read error ends the file, as a recording
        // cut short by a power loss ends.
        bool sent = false;
        while (!sent) {
            if (av_read_frame(m_in.get(), packet.get()) < 0) {
                m_ended = true;
                avcodec_send_packet(m_codec.get(), nullptr);
                break;
            }
            if (packet->stream_index == m_stream) {
                // A damaged packet costs its picture.
                avcodec_send_packet(m_codec.get(), packet.get());
                sent = true;
            }
            av_packet_unref(packet.get());
        }
    }
}
