#include "overlayexport.h"

#include "avhandles.h"
#include "clipexport.h"
#include "exportlog.h"
#include "mp4output.h"
#include "recordingguard.h"
#include "trackexport.h"
#include "triptimeline.h"
#include "yuvpicture.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

const AVRational Microseconds{1, 1000000};
const AVRational Milliseconds{1, 1000};
const AVRational EncoderTimeBase{1, 90000};

const char* const Encoder = "libx264";
// Fast enough to keep up with a camera's 1080p30 on two cores, at the encoder's usual quality.
const char* const Speed = "superfast";
const char* const Quality = "23";

// A panel converted to the picture's planes, kept while its key stays the same.
struct PanelPlanes
{
    QString key;
    QRect rect;
    Av::Frame yuv;
};

} // namespace

OverlayExport::OverlayExport(Trip::TripList trip, QObject* parent) : QObject(parent), m_trip(std::move(trip))
{}

OverlayExport::~OverlayExport() = default;

void OverlayExport::setChannels(ChannelComposer::Layout layout, const QStringList& order,
                                std::function<QString(const QString&)> labels)
{
    m_composer.reset();
    const QString own = m_trip.empty() ? QString() : m_trip.front().channel;
    // The trip's own pictures alone need no composing.
    if (order.isEmpty() || (order.size() == 1 && order.front() == own) ||
        (layout == ChannelComposer::Layout::MainOnly && order.front() == own))
        return;
    m_composer = std::make_unique<ChannelComposer>(m_trip, layout, order);
    m_composer->setLabels(std::move(labels));
}

void OverlayExport::setRange(qint64 fromMs, qint64 toMs)
{
    m_fromMs = fromMs;
    m_toMs = toMs;
}

void OverlayExport::setPositions(PositionsPtr positions, qint64 clockOffsetSeconds)
{
    m_positions = std::move(positions);
    m_clockOffset = clockOffsetSeconds;
}

void OverlayExport::reportProgress(qint64 doneMs)
{
    const int percent = m_totalMs > 0 ? int(qBound<qint64>(0, doneMs * 100 / m_totalMs, 99)) : 0;
    if (percent != m_percent) {
        m_percent = percent;
        emit progressChanged(percent);
    }
}

bool OverlayExport::run(const QString& path)
{
    m_error.clear();
    m_percent = -1;
    m_clipFromMs = m_clipToMs = 0;
    m_frames = 0;
    if (m_trip.empty() || TripTimeline(m_trip).duration() <= 0) {
        m_error = tr("The trip has no video to export.");
        return false;
    }
    const QString trackPath = ClipExport::trackPathFor(path);
    for (const QString& target : {path, m_positions ? trackPath : QString()}) {
        const QString recording = target.isEmpty() ? QString() : RecordingGuard::recordingAt(m_trip, target);
        if (!recording.isEmpty()) {
            m_error = tr("Refusing to overwrite the recording %1.").arg(recording);
            return false;
        }
    }

    QSaveFile clip(path);
    if (!clip.open(QIODevice::WriteOnly)) {
        m_error = tr("Cannot write %1: %2").arg(path, clip.errorString());
        return false;
    }
    if (!encode(clip))
        return false;

    std::unique_ptr<QSaveFile> track;
    if (m_positions) {
        TrackExport gpx(m_trip, m_positions);
        gpx.setRange(m_clipFromMs, std::max(m_clipFromMs, m_clipToMs - 1));
        gpx.setClockOffset(m_clockOffset);
        gpx.setName(QFileInfo(path).completeBaseName());
        gpx.setOrder(TrackExport::Order::Timeline);
        track = std::make_unique<QSaveFile>(trackPath);
        if (!track->open(QIODevice::WriteOnly) || !gpx.write(TrackExport::Format::Gpx, *track)) {
            m_error = tr("Cannot write %1: %2").arg(trackPath, track->errorString());
            return false;
        }
    }
    if (m_cancelled) {
        m_error = tr("The export was cancelled.");
        return false;
    }
    if (!clip.commit()) {
        m_error = tr("Cannot write %1: %2").arg(path, clip.errorString());
        return false;
    }
    if (track && !track->commit()) {
        m_error = tr("Cannot write %1: %2").arg(trackPath, track->errorString());
        QFile::remove(path);
        return false;
    }
    emit progressChanged(100);
    return true;
}

bool OverlayExport::encode(QIODevice& device)
{
    const TripTimeline timeline(m_trip);
    const std::vector<TripTimeline::Piece> pieces = timeline.pieces(m_fromMs, m_toMs);
    m_totalMs = 0;
    for (const TripTimeline::Piece& piece : pieces)
        m_totalMs += piece.toMs - piece.fromMs;
    reportProgress(0);

    OverlayPainter painter(m_trip, m_positions, m_clockOffset);
    painter.setItems(m_items);
    painter.setTileSource(m_tiles);

    Mp4Output out;
    if (!out.open(device)) {
        m_error = tr("Cannot write the clip.");
        return false;
    }

    Av::Codec encoder;
    int outVideo = -1;
    int outAudio = -1;
    bool headerWritten = false;
    Av::Parameters firstAudio(avcodec_parameters_alloc());
    int64_t offsetUs = 0; // where the next file's first picture goes in the clip
    int64_t lastVideoPts = INT64_MIN;
    int64_t lastAudioDts = INT64_MIN;
    qint64 doneMs = 0;
    bool clipStarted = false;
    std::vector<PanelPlanes> panels;
    Av::Scale converter;
    Av::Packet encoded(av_packet_alloc());
    int64_t pictureTicks = 0; // the length of a picture in the encoder's time base

    const auto failWrite = [this]() {
        m_error = tr("Cannot write the clip.");
        return false;
    };
    // Passes a picture to the encoder (null to drain it) and writes what it returns.
    const auto encodeFrame = [&](AVFrame* frame) {
        if (avcodec_send_frame(encoder.get(), frame) < 0)
            return failWrite();
        for (;;) {
            const int received = avcodec_receive_packet(encoder.get(), encoded.get());
            if (received == AVERROR(EAGAIN) || received == AVERROR_EOF)
                return true;
            if (received < 0)
                return failWrite();
            // The encoder leaves the length of a picture open; the last one's sets the clip's end.
            encoded->duration = pictureTicks;
            av_packet_rescale_ts(encoded.get(), encoder->time_base,
                                 out.context()->streams[outVideo]->time_base);
            encoded->stream_index = outVideo;
            if (av_interleaved_write_frame(out.context(), encoded.get()) < 0)
                return failWrite();
        }
    };

    for (const TripTimeline::Piece& piece : pieces) {
        const QString& file = m_trip[std::size_t(piece.index)].videoFile;
        const Av::Input in = Av::openInput(file);
        const AVCodec* codec = nullptr;
        const int v = in ? av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0) : -1;
        Av::Codec decoder(v >= 0 && codec ? avcodec_alloc_context3(codec) : nullptr);
        if (!decoder || avcodec_parameters_to_context(decoder.get(), in->streams[v]->codecpar) < 0) {
            m_error = tr("Cannot read the video of %1.").arg(file);
            return false;
        }
        AVStream* const vs = in->streams[v];
        decoder->pkt_timebase = vs->time_base;
        // Frame threads decode several pictures at once, one per core and one more.
        decoder->thread_count = 0;
        decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
        if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
            m_error = tr("Cannot read the video of %1.").arg(file);
            return false;
        }
        const int a = av_find_best_stream(in.get(), AVMEDIA_TYPE_AUDIO, -1, v, nullptr, 0);
        AVStream* const as = a >= 0 ? in->streams[a] : nullptr;
        const int64_t fromPts = Av::msToStream(piece.fromMs, vs);
        const int64_t endPts = Av::msToStream(piece.toMs, vs);
        AVRational rate = av_guess_frame_rate(in.get(), vs, nullptr);
        if (rate.num <= 0 || rate.den <= 0)
            rate = AVRational{30, 1};
        const int64_t frameTicks = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), vs->time_base));
        pictureTicks = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), EncoderTimeBase));

        if (piece.fromMs > 0) {
            const int sought = av_seek_frame(in.get(), v, fromPts, AVSEEK_FLAG_BACKWARD);
            if (sought < 0) {
                qCWarning(lcExport).noquote() << "cannot seek to" << piece.fromMs << "ms in" << file
                                              << "for an overlay export:" << Av::errorText(sought);
                m_error = tr("Cannot find the start of the range in %1.").arg(file);
                return false;
            }
        }

        int64_t origin = AV_NOPTS_VALUE; // the first picture's time: this file's time 0 in the clip
        int64_t lastEnd = AV_NOPTS_VALUE;
        bool videoDone = false;
        bool audioDone = !as;
        std::vector<Av::Packet> heldAudio; // until the first picture is known
        Av::Frame candidate;               // the latest picture at or before the start
        const int64_t audioEnd = as ? av_rescale_q(endPts + frameTicks, vs->time_base, as->time_base) : 0;

        const auto writeAudio = [&](AVPacket* p) {
            if (outAudio < 0 || !headerWritten)
                return true;
            const int64_t audioOrigin = av_rescale_q(origin, vs->time_base, as->time_base);
            if (p->pts < audioOrigin || p->pts > audioEnd)
                return true;
            AVStream* target = out.context()->streams[outAudio];
            const int64_t shift = av_rescale_q(offsetUs, Microseconds, target->time_base);
            const auto map = [&](int64_t ts) {
                return ts == AV_NOPTS_VALUE
                           ? ts
                           : av_rescale_q(ts - audioOrigin, as->time_base, target->time_base) + shift;
            };
            p->pts = map(p->pts);
            p->dts = p->dts == AV_NOPTS_VALUE ? p->pts : map(p->dts);
            p->duration = av_rescale_q(p->duration, as->time_base, target->time_base);
            // Sound that overlaps the previous file's is left out.
            if (p->dts <= lastAudioDts)
                return true;
            lastAudioDts = p->dts;
            p->stream_index = outAudio;
            p->pos = -1;
            return av_interleaved_write_frame(out.context(), p) >= 0;
        };

        const auto openOutput = [&](const AVFrame* frame) {
            const AVCodec* x264 = avcodec_find_encoder_by_name(Encoder);
            encoder.reset(x264 ? avcodec_alloc_context3(x264) : nullptr);
            if (!encoder) {
                m_error = tr("No H.264 encoder is installed.");
                return false;
            }
            AVCodecContext* enc = encoder.get();
            const QSize size = m_composer ? m_composer->canvasSize(QSize(frame->width, frame->height))
                                          : QSize(frame->width, frame->height);
            enc->width = size.width();
            enc->height = size.height();
            enc->pix_fmt = AV_PIX_FMT_YUV420P;
            enc->sample_aspect_ratio = frame->sample_aspect_ratio;
            enc->color_range = YuvPicture::fullRange(frame) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
            enc->color_primaries = frame->color_primaries;
            enc->color_trc = frame->color_trc;
            enc->colorspace = frame->colorspace;
            enc->time_base = EncoderTimeBase;
            enc->framerate = rate;
            enc->gop_size = std::max(1, 2 * rate.num / std::max(1, rate.den));
            enc->thread_count = 0;
            enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
            AVDictionary* options = nullptr;
            av_dict_set(&options, "preset", Speed, 0);
            av_dict_set(&options, "crf", Quality, 0);
            const int opened = avcodec_open2(enc, x264, &options);
            av_dict_free(&options);
            if (opened < 0) {
                qCWarning(lcExport).noquote() << "the H.264 encoder does not open:" << Av::errorText(opened);
                m_error = tr("Cannot write the clip.");
                return false;
            }
            AVStream* stream = avformat_new_stream(out.context(), nullptr);
            if (!stream || avcodec_parameters_from_context(stream->codecpar, enc) < 0)
                return failWrite();
            stream->time_base = enc->time_base;
            outVideo = stream->index;
            if (as && avformat_query_codec(out.context()->oformat, as->codecpar->codec_id,
                                           FF_COMPLIANCE_NORMAL) == 1) {
                AVStream* sound = avformat_new_stream(out.context(), nullptr);
                if (!sound || avcodec_parameters_copy(sound->codecpar, as->codecpar) < 0 ||
                    avcodec_parameters_copy(firstAudio.get(), as->codecpar) < 0)
                    return failWrite();
                sound->codecpar->codec_tag = 0;
                sound->time_base = as->time_base;
                outAudio = sound->index;
            }
            if (avformat_write_header(out.context(), nullptr) < 0) {
                m_error = tr("Cannot write the clip.");
                return false;
            }
            headerWritten = true;
            return true;
        };

        // A picture of the range: masked, drawn on and encoded.
        const auto emitFrame = [&](AVFrame* frame) {
            const int64_t pts = frame->best_effort_timestamp;
            if (!headerWritten) {
                if (!m_masks.fits(QSize(frame->width, frame->height))) {
                    m_error = m_masks.errorString();
                    return false;
                }
                if (!openOutput(frame))
                    return false;
            }
            if (origin == AV_NOPTS_VALUE) {
                origin = pts;
                for (Av::Packet& held : heldAudio) {
                    if (!writeAudio(held.get()))
                        return failWrite();
                }
                heldAudio.clear();
            }
            const qint64 inFileMs = av_rescale_q(pts - Av::streamStart(vs), vs->time_base, Milliseconds);
            const qint64 positionMs = timeline.offset(piece.index) + std::max(piece.fromMs, inFileMs);
            if (!clipStarted) {
                m_clipFromMs = timeline.offset(piece.index) + std::max<qint64>(0, inFileMs);
                clipStarted = true;
            }
            lastEnd = pts + frameTicks;
            m_clipToMs = std::min(timeline.offset(piece.index) + timeline.fileDuration(piece.index),
                                  timeline.offset(piece.index) + av_rescale_q(lastEnd - Av::streamStart(vs),
                                                                              vs->time_base, Milliseconds));

            // The picture in the encoder's format, in memory of its own: the decoder may still
            // predict other pictures from the one it returned. Composed channels keep the trip's
            // picture at its own size until it is scaled into its place.
            AVFrame* work = frame;
            Av::Frame converted;
            const AVCodecContext* enc = encoder.get();
            const QSize size =
                m_composer ? QSize(frame->width, frame->height) : QSize(enc->width, enc->height);
            if (YuvPicture::isYuv420(frame->format) && frame->width == size.width() &&
                frame->height == size.height()) {
                if (av_frame_make_writable(frame) < 0)
                    return failWrite();
                frame->format = AV_PIX_FMT_YUV420P;
            } else {
                converter.reset(sws_getCachedContext(
                    converter.release(), frame->width, frame->height, AVPixelFormat(frame->format),
                    size.width(), size.height(), AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
                converted.reset(av_frame_alloc());
                if (!converter || !converted)
                    return failWrite();
                converted->format = AV_PIX_FMT_YUV420P;
                converted->width = size.width();
                converted->height = size.height();
                if (av_frame_get_buffer(converted.get(), 0) < 0)
                    return failWrite();
                sws_scale(converter.get(), frame->data, frame->linesize, 0, frame->height, converted->data,
                          converted->linesize);
                av_frame_copy_props(converted.get(), frame);
                work = converted.get();
            }
            work->color_range = enc->color_range;
            m_masks.apply(work, double(positionMs - m_fromMs) / 1000.0);

            Av::Frame composed;
            if (m_composer) {
                composed = YuvPicture::make(enc->width, enc->height, work);
                if (!composed)
                    return failWrite();
                const int reserved = painter.reservedHeight(QSize(enc->width, enc->height));
                if (!m_composer->compose(work, piece.index, std::max<qint64>(0, inFileMs), composed.get(),
                                         reserved))
                    return failWrite();
                av_frame_copy_props(composed.get(), work);
                composed->color_range = enc->color_range;
                work = composed.get();
            }

            QStringList known;
            for (const PanelPlanes& panel : panels)
                known << panel.key;
            const QVector<OverlayPainter::Panel> now =
                painter.panels(positionMs, QSize(work->width, work->height), known);
            panels.resize(std::size_t(now.size()));
            for (int i = 0; i < now.size(); ++i) {
                PanelPlanes& planes = panels[std::size_t(i)];
                if (!now[i].image.isNull()) {
                    planes.key = now[i].key;
                    planes.rect = now[i].rect;
                    planes.yuv = YuvPicture::fromImage(now[i].image, work);
                    if (!planes.yuv)
                        return failWrite();
                }
                if (planes.yuv)
                    YuvPicture::paste(planes.yuv.get(), planes.rect.topLeft(), work);
            }

            int64_t outPts = av_rescale_q(offsetUs, Microseconds, EncoderTimeBase) +
                             av_rescale_q(pts - origin, vs->time_base, EncoderTimeBase);
            if (outPts <= lastVideoPts)
                outPts = lastVideoPts + 1;
            lastVideoPts = outPts;
            work->pts = outPts;
            work->pict_type = AV_PICTURE_TYPE_NONE;
            if (!encodeFrame(work))
                return false;
            ++m_frames;
            reportProgress(doneMs + qBound<qint64>(0, inFileMs - piece.fromMs, piece.toMs - piece.fromMs));
            return true;
        };

        Av::Frame frame(av_frame_alloc());
        const auto receive = [&]() {
            while (!videoDone) {
                const int received = avcodec_receive_frame(decoder.get(), frame.get());
                if (received < 0)
                    return true;
                if (m_cancelled) {
                    m_error = tr("The export was cancelled.");
                    return false;
                }
                const int64_t pts = frame->best_effort_timestamp;
                if (pts == AV_NOPTS_VALUE) {
                    av_frame_unref(frame.get());
                    continue;
                }
                if (pts <= fromPts && piece.fromMs > 0) {
                    // Shown at the start only when no later picture starts before it.
                    candidate.reset(av_frame_alloc());
                    av_frame_move_ref(candidate.get(), frame.get());
                    continue;
                }
                if (pts > endPts) {
                    videoDone = true;
                    av_frame_unref(frame.get());
                    break;
                }
                if (candidate) {
                    const bool ok = emitFrame(candidate.get());
                    candidate.reset();
                    if (!ok)
                        return false;
                }
                const bool ok = emitFrame(frame.get());
                av_frame_unref(frame.get());
                if (!ok)
                    return false;
            }
            return true;
        };

        Av::Packet packet(av_packet_alloc());
        while (!(videoDone && audioDone)) {
            if (m_cancelled) {
                m_error = tr("The export was cancelled.");
                return false;
            }
            // A read error ends the file: a recording cut short by a power loss still exports.
            if (av_read_frame(in.get(), packet.get()) < 0)
                break;
            if (packet->stream_index == v && !videoDone) {
                // A damaged packet costs its picture, not the clip.
                avcodec_send_packet(decoder.get(), packet.get());
                av_packet_unref(packet.get());
                if (!receive())
                    return false;
            } else if (as && packet->stream_index == a && !audioDone && packet->pts != AV_NOPTS_VALUE) {
                if (packet->pts > audioEnd) {
                    audioDone = true;
                } else if (outAudio >= 0 && headerWritten && origin != AV_NOPTS_VALUE) {
                    const AVCodecParameters* first = firstAudio.get();
                    const AVCodecParameters* now = as->codecpar;
                    // Sound of another format cannot follow in the same track.
                    if (first->codec_id == now->codec_id && first->sample_rate == now->sample_rate &&
                        first->ch_layout.nb_channels == now->ch_layout.nb_channels &&
                        !writeAudio(packet.get()))
                        return failWrite();
                } else if (origin == AV_NOPTS_VALUE) {
                    heldAudio.push_back(Av::Packet(av_packet_clone(packet.get())));
                }
                av_packet_unref(packet.get());
            } else {
                av_packet_unref(packet.get());
            }
        }
        if (!videoDone) {
            avcodec_send_packet(decoder.get(), nullptr);
            if (!receive())
                return false;
        }
        // A range that ends before the next picture starts still shows the one at its start.
        if (candidate && !emitFrame(candidate.get()))
            return false;
        if (origin != AV_NOPTS_VALUE)
            offsetUs += av_rescale_q(lastEnd - origin, vs->time_base, Microseconds);
        doneMs += piece.toMs - piece.fromMs;
        reportProgress(doneMs);
    }

    if (!encoder || m_frames == 0) {
        if (m_error.isEmpty())
            m_error = tr("Nothing to export in this range.");
        return false;
    }
    if (!encodeFrame(nullptr))
        return false;
    if (av_write_trailer(out.context()) < 0)
        return failWrite();
    if (!out.flush())
        return failWrite();
    return true;
}
