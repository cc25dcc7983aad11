#include "snapshot.h"

#include "avhandles.h"
#include "exportlog.h"
#include "pngencoder.h"
#include "privacyzones.h"
#include "recordingguard.h"
#include "trackexport.h"
#include "tripchannels.h"
#include "tripclock.h"
#include "tripfile.h"
#include "triptimeline.h"
#include "units.h"
#include "zelcfg.h"

extern "C" {
#include <libavutil/opt.h>
}

#include <QPainter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

// Converts a decoded picture to a QImage of the same size, in slices on every core.
QImage toImage(const AVFrame* frame)
{
    const auto format = AVPixelFormat(frame->format);
    Av::Scale scale(sws_alloc_context());
    if (!scale)
        return QImage();
    SwsContext* c = scale.get();
    av_opt_set_int(c, "srcw", frame->width, 0);
    av_opt_set_int(c, "srch", frame->height, 0);
    av_opt_set_pixel_fmt(c, "src_format", format, 0);
    av_opt_set_int(c, "dstw", frame->width, 0);
    av_opt_set_int(c, "dsth", frame->height, 0);
    av_opt_set_pixel_fmt(c, "dst_format", AV_PIX_FMT_RGB32, 0);
    av_opt_set_int(c, "sws_flags", SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, 0);
    av_opt_set_int(c, "threads", 0, 0);
    if (sws_init_context(c, nullptr, nullptr) < 0)
        return QImage();
    // High-definition video uses the BT.709 colours unless it says otherwise.
    int space = SWS_CS_DEFAULT;
    if (frame->colorspace == AVCOL_SPC_BT709 ||
        (frame->colorspace == AVCOL_SPC_UNSPECIFIED && frame->height >= 720))
        space = SWS_CS_ITU709;
    const bool fullRange = frame->color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
                           format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P;
    const int* coefficients = sws_getCoefficients(space);
    sws_setColorspaceDetails(c, coefficients, fullRange ? 1 : 0, coefficients, 1, 0, 1 << 16, 1 << 16);

    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    // The image's own memory as the scaler's target, which it must not free.
    Av::Frame target(av_frame_alloc());
    if (!target)
        return QImage();
    target->format = AV_PIX_FMT_RGB32;
    target->width = frame->width;
    target->height = frame->height;
    target->data[0] = image.bits();
    target->linesize[0] = int(image.bytesPerLine());
    target->buf[0] = av_buffer_create(
        image.bits(), std::size_t(image.sizeInBytes()), [](void*, uint8_t*) {}, nullptr, 0);
    if (!target->buf[0] || sws_scale_frame(c, target.get(), frame) < 0)
        return QImage();
    return image;
}

// The length of one frame in the stream's time base, 0 when the stream does not say.
int64_t frameDuration(const AVStream* stream)
{
    const AVRational rate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return 0;
    return av_rescale_q(1, av_inv_q(rate), stream->time_base);
}

// The longest a channel's last picture may have been shown before the instant asked for: the
// pictures of a recording lie much closer together.
constexpr qint64 UnshownGapMs = 500;

// QImage's PNG quality for the fastest compression level of the library (quality maps
// to levels 9 to 0; 90 and above write the picture uncompressed).
constexpr int FastPngQuality = 80;

} // namespace

Snapshot::Snapshot(Trip::TripList trip, PositionsPtr positions)
    : m_trip(std::move(trip)), m_positions(std::move(positions))
{}

bool Snapshot::grab(qint64 positionMs)
{
    m_error.clear();
    m_frame = QImage();
    const TripTimeline timeline(m_trip);
    const int index = timeline.indexAt(positionMs);
    if (index < 0) {
        m_error = tr("The trip has no video.");
        return false;
    }
    const QString& file = m_trip[std::size_t(index)].videoFile;
    QString reason;
    m_frame = decodeFrame(file, timeline.timeInFile(positionMs), &reason);
    if (m_frame.isNull()) {
        m_error = reason.isEmpty() ? tr("Cannot decode a frame of %1.").arg(file) : reason;
        return false;
    }
    return true;
}

bool Snapshot::grab(qint64 positionMs, const QString& channel)
{
    m_error.clear();
    m_frame = QImage();
    const TripTimeline timeline(m_trip);
    const int index = timeline.indexAt(positionMs);
    if (index < 0) {
        m_error = tr("The trip has no video.");
        return false;
    }
    const Trip::TripItem& item = m_trip[std::size_t(index)];
    const Trip::TripItem* recording = Trip::TripChannels::recordingOf(item, channel);
    if (!recording) {
        m_error = tr("No %1 recording at %2").arg(channel, Units::positionText(positionMs));
        return false;
    }
    if (recording == &item)
        return grab(positionMs);
    const qint64 timeMs = timeline.timeInFile(positionMs) + Av::videoStartMs(item.videoFile) +
                          Trip::TripChannels::offsetMs(item, *recording);
    // Before the channel's first picture it shows nothing of this instant.
    if (timeMs < Av::videoStartMs(recording->videoFile)) {
        m_error = tr("No %1 recording at %2").arg(channel, Units::positionText(positionMs));
        return false;
    }
    QString reason;
    qint64 shownMs = timeMs;
    m_frame = decodeFrame(recording->videoFile, timeMs, true, &reason, &shownMs);
    if (m_frame.isNull()) {
        m_error = tr("No %1 recording at %2: %3")
                      .arg(channel, Units::positionText(positionMs),
                           reason.isEmpty() ? tr("Cannot decode a frame of %1.").arg(recording->videoFile)
                                            : reason);
        return false;
    }
    // A recording that ends early or breaks off has no picture of this instant.
    if (timeMs - shownMs > UnshownGapMs) {
        m_frame = QImage();
        m_error = tr("No %1 recording at %2").arg(channel, Units::positionText(positionMs));
        return false;
    }
    return true;
}

QImage Snapshot::decodeFrame(const QString& videoFile, qint64 timeMs, QString* error)
{
    return decodeFrame(videoFile, timeMs, false, error);
}

QImage Snapshot::decodeFrame(const QString& videoFile, qint64 timeMs, bool presentation, QString* error,
                             qint64* shownMs)
{
    const Av::Input in = Av::openInput(videoFile);
    const AVCodec* decoder = nullptr;
    const int v = in ? av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0) : -1;
    if (v < 0 || !decoder)
        return QImage();
    AVStream* stream = in->streams[v];
    Av::Codec codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0)
        return QImage();
    codec->pkt_timebase = stream->time_base;
    // A 4K picture takes long to decode: every core works on it. Frame threads hand pictures
    // over a few packets late, which the loop below does not mind.
    codec->thread_count = 0;
    codec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    if (avcodec_open2(codec.get(), decoder, nullptr) < 0)
        return QImage();
    for (unsigned i = 0; i < in->nb_streams; ++i) {
        if (int(i) != v)
            in->streams[i]->discard = AVDISCARD_ALL;
    }

    const int64_t target = presentation ? av_rescale_q(timeMs, AVRational{1, 1000}, stream->time_base)
                                        : Av::msToStream(timeMs, stream);
    if (presentation ? target > Av::streamStart(stream) : timeMs > 0) {
        // Decoding on from the file's start would give another frame than the one asked for.
        const int sought = av_seek_frame(in.get(), v, target, AVSEEK_FLAG_BACKWARD);
        if (sought < 0) {
            qCWarning(lcExport).noquote() << "cannot seek to" << timeMs << "ms in" << videoFile
                                          << "for a still:" << Av::errorText(sought);
            if (error)
                *error = tr("Cannot find the position in %1.").arg(videoFile);
            return QImage();
        }
    }

    // The frame shown at the target is the last one that starts at or before it.
    Av::Frame shown(av_frame_alloc());
    Av::Frame decoded(av_frame_alloc());
    Av::Packet packet(av_packet_alloc());
    bool haveShown = false;
    bool done = false;
    const auto receive = [&]() {
        while (!done && avcodec_receive_frame(codec.get(), decoded.get()) >= 0) {
            const int64_t ts = decoded->best_effort_timestamp;
            if (haveShown && ts != AV_NOPTS_VALUE && ts > target) {
                done = true;
            } else {
                av_frame_unref(shown.get());
                av_frame_move_ref(shown.get(), decoded.get());
                haveShown = true;
                done = ts != AV_NOPTS_VALUE && ts > target;
            }
            av_frame_unref(decoded.get());
        }
    };
    // A picture no other refers to and that ends well before the target cannot be the one
    // shown: it is not decoded. Two frames of margin keep an uneven frame rate safe.
    const int64_t frameTicks = frameDuration(stream);
    while (!done && av_read_frame(in.get(), packet.get()) >= 0) {
        if (packet->stream_index == v) {
            const int64_t ticks =
                packet->duration > 0 ? std::max<int64_t>(packet->duration, frameTicks) : frameTicks;
            const bool early =
                packet->pts != AV_NOPTS_VALUE && ticks > 0 && packet->pts + 2 * ticks <= target;
            codec->skip_frame = early ? AVDISCARD_NONREF : AVDISCARD_DEFAULT;
            avcodec_send_packet(codec.get(), packet.get());
        }
        av_packet_unref(packet.get());
        receive();
    }
    if (!done) {
        avcodec_send_packet(codec.get(), nullptr);
        receive();
    }
    if (haveShown && shownMs && shown->best_effort_timestamp != AV_NOPTS_VALUE)
        *shownMs = av_rescale_q(shown->best_effort_timestamp, stream->time_base, AVRational{1, 1000});
    return haveShown ? toImage(shown.get()) : QImage();
}

QDateTime Snapshot::clockAt(qint64 positionMs) const
{
    return TripClock::at(m_trip, m_positions, positionMs);
}

QStringList Snapshot::stampLines(qint64 positionMs, qint64 offsetSeconds) const
{
    QStringList lines;
    const QDateTime clock = clockAt(positionMs);
    if (clock.isValid())
        lines << clock.addSecs(offsetSeconds).toString(Utilities::shortDateTimeString) + QLatin1Char(' ') +
                     Units::offsetText(offsetSeconds);
    // The record every view shows at this position; without a fix its values say nothing.
    const int second = TripTimeline::recordAt(positionMs, m_positions ? m_positions->size() : 0);
    const QNmeaPositionInfo* hidden = second >= 0 ? &(*m_positions)[std::size_t(second)] : nullptr;
    if (hidden && PrivacyZones::isHidden(*hidden)) {
        // Inside a privacy zone the time and speed stay, the place goes.
        lines << tr("position hidden");
        const double speed = hidden->attribute(QNmeaPositionInfo::GroundSpeed);
        if (!std::isnan(speed))
            lines << Units::speedText(speed, 0);
        return lines;
    }
    if (second < 0 || !TrackExport::hasFix((*m_positions)[std::size_t(second)])) {
        lines << tr("no GPS fix");
        return lines;
    }
    const QNmeaPositionInfo& record = (*m_positions)[std::size_t(second)];
    const QGeoCoordinate c = record.coordinate();
    lines << Units::latitudeText(c.latitude()) + QStringLiteral("  ") + Units::longitudeText(c.longitude());
    const double speed = record.attribute(QNmeaPositionInfo::GroundSpeed);
    if (!std::isnan(speed))
        lines << Units::speedText(speed, 0);
    const double course = record.attribute(QNmeaPositionInfo::Direction);
    if (course >= 0.0 && course < 360.0)
        lines << tr("heading %1").arg(Units::headingText(course));
    return lines;
}

QImage Snapshot::stamped(const QImage& image, const QStringList& lines)
{
    if (lines.isEmpty() || image.isNull())
        return image;
    QFont font(QStringLiteral("Open Sans"));
    font.setPixelSize(std::max(14, image.width() / 60));
    font.setStyleHint(QFont::SansSerif);
    const QFontMetrics metrics(font);
    const int margin = metrics.height() / 2;
    const QString oneLine = lines.join(QStringLiteral("    "));
    const bool fits = metrics.horizontalAdvance(oneLine) <= image.width() - 2 * margin;
    const QStringList shown = fits ? QStringList{oneLine} : lines;
    const int band = int(shown.size()) * metrics.lineSpacing() + 2 * margin;

    QImage result(image.width(), image.height() + band, QImage::Format_RGB32);
    result.fill(Qt::black);
    QPainter painter(&result);
    painter.drawImage(0, 0, image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    int y = image.height() + margin + metrics.ascent();
    for (const QString& line : shown) {
        painter.drawText(margin, y, line);
        y += metrics.lineSpacing();
    }
    painter.end();
    return result;
}

bool Snapshot::save(const QImage& image, const QString& path)
{
    const QString recording = RecordingGuard::recordingAt(m_trip, path);
    if (!recording.isEmpty()) {
        m_error = tr("Refusing to overwrite the recording %1.").arg(recording);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = tr("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray png = PngEncoder::encode(image);
    // Qt's own writer at its fastest compression where FFmpeg's encoder is missing.
    const bool written =
        png.isEmpty() ? image.save(&file, "PNG", FastPngQuality) : file.write(png) == png.size();
    if (!written || !file.commit()) {
        m_error = tr("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
