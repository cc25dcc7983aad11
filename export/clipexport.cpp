#include "clipexport.h"

#include "avhandles.h"
#include "cutencoder.h"
#include "exportlog.h"
#include "mp4output.h"
#include "recordingguard.h"
#include "trackexport.h"
#include "tripchannels.h"
#include "triptimeline.h"
#include "units.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstring>
#include <deque>
#include <functional>
#include <vector>

namespace {

// FFmpeg's internal time base, written as a plain value: its own macro is a C compound literal.
const AVRational TimeBase{1, AV_TIME_BASE};

// A channel's recording may begin or end this much apart from the main channel's without its
// gap being named: cameras start their channels' files a little apart.
constexpr qint64 UnnamedGapMs = 500;

bool sameExtradata(const AVCodecParameters* a, const AVCodecParameters* b)
{
    return a->extradata_size == b->extradata_size &&
           (a->extradata_size == 0 ||
            std::memcmp(a->extradata, b->extradata, std::size_t(a->extradata_size)) == 0);
}

// Streams that can follow each other in one file without re-encoding.
bool joinable(const AVCodecParameters* a, const AVCodecParameters* b)
{
    if (a->codec_id != b->codec_id || !sameExtradata(a, b))
        return false;
    if (a->codec_type == AVMEDIA_TYPE_VIDEO)
        return a->width == b->width && a->height == b->height;
    return a->sample_rate == b->sample_rate && a->ch_layout.nb_channels == b->ch_layout.nb_channels;
}

Av::Packet clone(const AVPacket* packet)
{
    return Av::Packet(av_packet_clone(packet));
}

// A packet read ahead, handled as if it were read now.
struct Queued
{
    Av::Packet packet;
    bool reencoded = false; // a picture of the re-encoded start
};

// The start of a clip with an exact cut.
struct ExactStart
{
    std::deque<Queued> queue;          // what was read ahead, in the order to handle it
    int64_t shownPts = AV_NOPTS_VALUE; // the first picture, when re-encoded
    int64_t zero = AV_NOPTS_VALUE;     // the first re-encoded decoding time: the clip's time 0
    int64_t copyFrom = INT64_MIN;      // recorded pictures shown before this were re-encoded
    QByteArray extradata;              // the decoder configuration for both parameter sets
};

// Reads from the key frame the file was sought to up to the next key frame. When the picture
// shown at `fromPts` comes after that key frame, the pictures from it to `endPts` are
// re-encoded and queued in place of the recorded ones up to the next key frame; otherwise, or
// when they cannot be re-encoded, what was read is queued as it was. False when cancelled.
bool readExactStart(AVFormatContext* in, int v, int64_t fromPts, int64_t endPts,
                    const std::atomic<bool>& cancelled, const std::function<bool(int64_t)>& progress,
                    ExactStart& start)
{
    AVStream* const vs = in->streams[v];
    std::vector<Queued> read;
    std::vector<Av::Packet> gop;    // the key frame and the pictures up to the next
    auto nextKey = std::size_t(-1); // index of the next key frame in `read`
    Av::Packet packet(av_packet_alloc());
    while (av_read_frame(in, packet.get()) >= 0) {
        const bool video = packet->stream_index == v;
        const bool key = video && (packet->flags & AV_PKT_FLAG_KEY) && packet->pts != AV_NOPTS_VALUE;
        const int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : packet->pts;
        read.push_back({clone(packet.get())});
        av_packet_unref(packet.get());
        if (video && key && !gop.empty()) {
            nextKey = read.size() - 1;
            break;
        }
        if (video && (key || !gop.empty()))
            gop.push_back(clone(read.back().packet.get()));
        if (cancelled)
            return false;
        if (video && dts != AV_NOPTS_VALUE && dts > endPts)
            break;
    }
    const auto asRead = [&]() {
        for (Queued& queued : read)
            start.queue.push_back(std::move(queued));
        return true;
    };
    if (gop.empty())
        return asRead();
    int64_t shownPts = gop.front()->pts;
    for (const Av::Packet& picture : gop) {
        if (picture->pts != AV_NOPTS_VALUE && picture->pts <= fromPts)
            shownPts = std::max(shownPts, picture->pts);
    }
    // The range starts on the key frame: nothing to re-encode.
    if (shownPts == gop.front()->pts)
        return asRead();

    const AVPacket* next = nextKey < read.size() ? read[nextKey].packet.get() : nullptr;
    const int64_t lastPts = next ? std::min(endPts, next->pts - 1) : endPts;
    CutEncoder encoder(vs, av_guess_frame_rate(in, vs, nullptr));
    if (!encoder.canJoin() || !encoder.encode(gop, shownPts, lastPts, progress)) {
        if (cancelled)
            return false;
        qCWarning(lcExport).noquote() << "the clip starts at the key frame before its start:" << in->url
                                      << "cannot be re-encoded:" << encoder.errorString();
        return asRead();
    }
    start.shownPts = shownPts;
    start.zero = encoder.packets().front()->dts;
    start.copyFrom = next ? next->pts : INT64_MAX;
    start.extradata = encoder.extradata();
    for (Av::Packet& picture : encoder.packets()) {
        picture->stream_index = v;
        start.queue.push_back({std::move(picture), true});
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].packet->stream_index != v || (next && i >= nextKey))
            start.queue.push_back(std::move(read[i]));
    }
    return true;
}

} // namespace

ClipExport::ClipExport(Trip::TripList trip, QObject* parent) : QObject(parent), m_trip(std::move(trip)) {}

void ClipExport::setRange(qint64 fromMs, qint64 toMs)
{
    m_fromMs = fromMs;
    m_toMs = toMs;
}

void ClipExport::setPositions(PositionsPtr positions, qint64 clockOffsetSeconds)
{
    m_positions = std::move(positions);
    m_clockOffset = clockOffsetSeconds;
}

void ClipExport::setChannels(const QStringList& channels, bool nameByChannel)
{
    m_channels = channels;
    m_nameByChannel = nameByChannel || channels.size() > 1;
}

QString ClipExport::missingText(const Missing& missing)
{
    if (!missing.file.isEmpty())
        return tr("The %1 recording %2 cannot be read: %3")
            .arg(missing.channel, QDir::toNativeSeparators(missing.file), missing.reason);
    if (!missing.reason.isEmpty())
        return tr("No %1 clip written: %2").arg(missing.channel, missing.reason);
    return tr("No %1 recording from %2 to %3")
        .arg(missing.channel, Units::positionText(missing.fromMs), Units::positionText(missing.toMs));
}

QString ClipExport::trackPathFor(const QString& clipPath)
{
    const QFileInfo info(clipPath);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QStringLiteral(".gpx"));
}

void ClipExport::reportProgress(qint64 doneMs)
{
    const int percent = m_totalMs > 0 ? int(qBound<qint64>(0, doneMs * 100 / m_totalMs, 99)) : 0;
    if (percent != m_percent) {
        m_percent = percent;
        emit progressChanged(percent);
    }
}

bool ClipExport::run(const QString& path)
{
    m_error.clear();
    m_percent = -1;
    m_clipFromMs = m_clipToMs = 0;
    m_startsEarly = false;
    m_written.clear();
    m_missing.clear();
    m_doneMs = 0;
    if (m_trip.empty() || TripTimeline(m_trip).duration() <= 0) {
        m_error = tr("The trip has no video to export.");
        return false;
    }
    if (!m_channels.isEmpty())
        return runChannels(path);
    const QString trackPath = trackPathFor(path);
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
    std::vector<Source> sources;
    m_totalMs = 0;
    for (const TripTimeline::Piece& piece : TripTimeline(m_trip).pieces(m_fromMs, m_toMs)) {
        sources.push_back(
            {piece.index, m_trip[std::size_t(piece.index)].videoFile, piece.fromMs, piece.toMs, false, 0});
        m_totalMs += piece.toMs - piece.fromMs;
    }
    if (!remux(clip, sources, QString()))
        return false;

    std::unique_ptr<QSaveFile> track;
    if (m_positions) {
        TrackExport gpx(m_trip, m_positions);
        // The seconds of the pictures the clip holds: the end of the last picture is not shown.
        gpx.setRange(m_clipFromMs, std::max(m_clipFromMs, m_clipToMs - 1));
        gpx.setClockOffset(m_clockOffset);
        gpx.setName(QFileInfo(path).completeBaseName());
        // The track of what the clip shows, event recordings in the place the video has them.
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
    m_written << path;
    if (track)
        m_written << trackPath;
    emit progressChanged(100);
    return true;
}

std::vector<ClipExport::Source> ClipExport::sourcesOf(const QString& channel) const
{
    std::vector<Source> sources;
    for (const TripTimeline::Piece& piece : TripTimeline(m_trip).pieces(m_fromMs, m_toMs)) {
        const Trip::TripItem& item = m_trip[std::size_t(piece.index)];
        const Trip::TripItem* recording = Trip::TripChannels::recordingOf(item, channel);
        Source source{
            piece.index, recording ? recording->videoFile : QString(), piece.fromMs, piece.toMs, false, 0};
        if (recording && recording != &item) {
            // The main file's time of an instant, as a presentation time of the other file.
            source.presentation = true;
            source.shiftMs =
                Av::videoStartMs(item.videoFile) + Trip::TripChannels::offsetMs(item, *recording);
        }
        sources.push_back(source);
    }
    return sources;
}

void ClipExport::mergeGaps(std::vector<Missing>& missing, std::size_t from)
{
    const auto first = missing.begin() + std::ptrdiff_t(from);
    std::stable_sort(first, missing.end(),
                     [](const Missing& a, const Missing& b) { return a.fromMs < b.fromMs; });
    std::vector<Missing> merged(first, missing.end());
    missing.erase(first, missing.end());
    for (Missing& part : merged) {
        // Gaps that meet read as one; a recording that cannot be read is named on its own.
        const bool plain = part.file.isEmpty() && part.reason.isEmpty();
        if (plain && missing.size() > from && missing.back().file.isEmpty() &&
            missing.back().reason.isEmpty() && missing.back().toMs >= part.fromMs) {
            missing.back().toMs = std::max(missing.back().toMs, part.toMs);
            continue;
        }
        missing.push_back(std::move(part));
    }
}

bool ClipExport::runChannels(const QString& path)
{
    const QString trackPath = trackPathFor(path);
    std::vector<std::pair<QString, std::vector<Source>>> jobs;
    m_totalMs = 0;
    for (const QString& channel : qAsConst(m_channels)) {
        const QString target = m_nameByChannel ? Trip::TripChannels::pathFor(path, channel) : path;
        const QString recording = RecordingGuard::recordingAt(m_trip, target);
        if (!recording.isEmpty()) {
            m_error = tr("Refusing to overwrite the recording %1.").arg(recording);
            return false;
        }
        std::vector<Source> sources = sourcesOf(channel);
        for (const Source& source : sources)
            m_totalMs += source.file.isEmpty() ? 0 : source.toMs - source.fromMs;
        jobs.emplace_back(target, std::move(sources));
    }
    if (m_positions && !RecordingGuard::recordingAt(m_trip, trackPath).isEmpty()) {
        m_error =
            tr("Refusing to overwrite the recording %1.").arg(RecordingGuard::recordingAt(m_trip, trackPath));
        return false;
    }

    const bool exactCut = m_exactCut;
    // Key frames differ between channels: only re-encoded starts begin at one instant.
    if (m_channels.size() > 1)
        m_exactCut = true;
    std::vector<std::unique_ptr<QSaveFile>> clips;
    QStringList clipPaths;
    qint64 clipFromMs = 0;
    qint64 clipToMs = 0;
    bool startsEarly = false;
    for (std::size_t c = 0; c < jobs.size(); ++c) {
        const QString& channel = m_channels[int(c)];
        const QString& target = jobs[c].first;
        const std::vector<Source>& sources = jobs[c].second;
        const std::size_t missingBefore = m_missing.size();
        const qint64 doneBefore = m_doneMs;
        auto clip = std::make_unique<QSaveFile>(target);
        bool done = false;
        m_noPictures = false;
        if (std::none_of(sources.cbegin(), sources.cend(),
                         [](const Source& s) { return !s.file.isEmpty(); })) {
            m_error.clear();
        } else if (!clip->open(QIODevice::WriteOnly)) {
            m_error = tr("Cannot write %1: %2").arg(target, clip->errorString());
        } else {
            done = remux(*clip, sources, channel);
        }
        if (m_cancelled) {
            m_exactCut = exactCut;
            m_error = tr("The export was cancelled.");
            return false;
        }
        const TripTimeline timeline(m_trip);
        for (const Source& source : sources) {
            if (source.file.isEmpty() && source.toMs > source.fromMs)
                m_missing.push_back({channel, timeline.offset(source.index) + source.fromMs,
                                     timeline.offset(source.index) + source.toMs, QString(), QString()});
        }
        mergeGaps(m_missing, missingBefore);
        if (!done) {
            // Whatever the channel's files hold, the other channels are exported. Its gaps and
            // unreadable files tell why a clip without pictures was not written.
            if (!m_error.isEmpty() && !(m_noPictures && m_missing.size() > missingBefore))
                m_missing.push_back({channel, m_fromMs, m_toMs, QString(), m_error});
            m_error.clear();
            m_doneMs = doneBefore;
            for (const Source& source : sources)
                m_doneMs += source.file.isEmpty() ? 0 : source.toMs - source.fromMs;
            continue;
        }
        if (clips.empty()) {
            clipFromMs = m_clipFromMs;
            clipToMs = m_clipToMs;
        }
        startsEarly = startsEarly || m_startsEarly;
        clips.push_back(std::move(clip));
        clipPaths << target;
    }
    m_exactCut = exactCut;
    m_clipFromMs = clipFromMs;
    m_clipToMs = clipToMs;
    m_startsEarly = startsEarly;
    if (clips.empty()) {
        QStringList reasons;
        for (const Missing& missing : m_missing)
            reasons << missingText(missing);
        m_error =
            reasons.isEmpty() ? tr("Nothing to export in this range.") : reasons.join(QLatin1Char('\n'));
        return false;
    }

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
    // All files appear together, or none.
    for (std::size_t c = 0; c < clips.size(); ++c) {
        if (!clips[c]->commit()) {
            m_error = tr("Cannot write %1: %2").arg(clipPaths[int(c)], clips[c]->errorString());
            for (int k = 0; k < int(c); ++k)
                QFile::remove(clipPaths[k]);
            return false;
        }
    }
    if (track && !track->commit()) {
        m_error = tr("Cannot write %1: %2").arg(trackPath, track->errorString());
        for (const QString& clip : qAsConst(clipPaths))
            QFile::remove(clip);
        return false;
    }
    m_written = clipPaths;
    if (track)
        m_written << trackPath;
    emit progressChanged(100);
    return true;
}

bool ClipExport::remux(QIODevice& device, const std::vector<Source>& pieces, const QString& channel)
{
    const TripTimeline timeline(m_trip);
    // A channel's files keep their pictures' places on the trip's timeline.
    const bool aligned = !channel.isEmpty();
    reportProgress(m_doneMs);
    m_noPictures = false;

    Mp4Output out;
    if (!out.open(device)) {
        m_error = tr("Cannot write the clip.");
        return false;
    }

    int outVideo = -1;
    int outAudio = -1;
    int64_t offsetUs = 0; // where the next file's first frame goes in the output
    int64_t lastDts[2] = {INT64_MIN, INT64_MIN};
    int64_t clipOriginUs = INT64_MIN; // with `aligned`: the timeline's time of the clip's time 0
    const qint64 rangeStartMs =
        pieces.empty() ? 0 : timeline.offset(pieces.front().index) + pieces.front().fromMs;
    qint64& doneMs = m_doneMs;
    bool wroteVideo = false;
    bool clipStarted = false;
    Av::Packet packet(av_packet_alloc());
    // The first file's video, which the later files must match.
    Av::Parameters firstVideo(avcodec_parameters_alloc());

    for (const Source& piece : pieces) {
        const QString& file = piece.file;
        if (file.isEmpty())
            continue; // a channel without a recording here: the caller names the gap
        // A channel's recording that cannot be read is a gap in its clip.
        const auto skip = [&](const QString& reason) {
            m_missing.push_back({channel, timeline.offset(piece.index) + piece.fromMs,
                                 timeline.offset(piece.index) + piece.toMs, file, reason});
            doneMs += piece.toMs - piece.fromMs;
            return true;
        };
        const Av::Input in = Av::openInput(file);
        const int v = in ? av_find_best_stream(in.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
        if (v < 0) {
            if (aligned && skip(tr("no video")))
                continue;
            m_error = tr("Cannot read the video of %1.").arg(file);
            return false;
        }
        const int a = av_find_best_stream(in.get(), AVMEDIA_TYPE_AUDIO, -1, v, nullptr, 0);
        AVStream* const vs = in->streams[v];
        AVStream* const as = a >= 0 ? in->streams[a] : nullptr;
        const bool firstPiece = outVideo < 0;
        // The presentation time of the piece's time 0.
        const int64_t origin = piece.presentation
                                   ? -av_rescale_q(piece.shiftMs, AVRational{1, 1000}, vs->time_base)
                                   : Av::streamStart(vs);
        const int64_t fromPts = origin + av_rescale_q(piece.fromMs, AVRational{1, 1000}, vs->time_base);
        const int64_t endPts = origin + av_rescale_q(piece.toMs, AVRational{1, 1000}, vs->time_base);
        // Whether the range starts after the file's first picture.
        const bool within = piece.presentation ? fromPts > Av::streamStart(vs) : piece.fromMs > 0;

        if (within) {
            // Reading on from where the file stands would start the clip at the file's start.
            const int sought = av_seek_frame(in.get(), v, fromPts, AVSEEK_FLAG_BACKWARD);
            if (sought < 0) {
                qCWarning(lcExport).noquote() << "cannot seek to" << piece.fromMs << "ms in" << file
                                              << "for a clip:" << Av::errorText(sought);
                if (aligned && skip(tr("the range cannot be found in it")))
                    continue;
                m_error = tr("Cannot find the start of the range in %1.").arg(file);
                return false;
            }
        }
        ExactStart start;
        if (firstPiece && m_exactCut && within) {
            const auto progress = [&](int64_t pts) {
                const qint64 inFileMs = av_rescale_q(pts - origin, vs->time_base, AVRational{1, 1000});
                reportProgress(doneMs +
                               qBound<qint64>(0, inFileMs - piece.fromMs, piece.toMs - piece.fromMs));
                return !m_cancelled;
            };
            if (!readExactStart(in.get(), v, fromPts, endPts, m_cancelled, progress, start)) {
                m_error = tr("The export was cancelled.");
                return false;
            }
        }

        if (outVideo < 0) {
            // The first file decides the streams of the result.
            const auto addStream = [&out](const AVStream* source) {
                AVStream* stream = avformat_new_stream(out.context(), nullptr);
                if (!stream || avcodec_parameters_copy(stream->codecpar, source->codecpar) < 0)
                    return -1;
                stream->codecpar->codec_tag = 0;
                stream->time_base = source->time_base;
                return stream->index;
            };
            outVideo = addStream(vs);
            if (!firstVideo || avcodec_parameters_copy(firstVideo.get(), vs->codecpar) < 0)
                outVideo = -1;
            if (outVideo >= 0 && !start.extradata.isEmpty()) {
                // The re-encoded pictures' parameter sets beside the recorded ones.
                AVCodecParameters* par = out.context()->streams[outVideo]->codecpar;
                av_freep(&par->extradata);
                const auto size = std::size_t(start.extradata.size());
                par->extradata = static_cast<uint8_t*>(av_mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
                par->extradata_size = par->extradata ? int(size) : 0;
                if (par->extradata)
                    std::memcpy(par->extradata, start.extradata.constData(), size);
                else
                    outVideo = -1;
            }
            if (as && avformat_query_codec(out.context()->oformat, as->codecpar->codec_id,
                                           FF_COMPLIANCE_NORMAL) == 1)
                outAudio = addStream(as);
            if (outVideo < 0 || avformat_write_header(out.context(), nullptr) < 0) {
                m_error = tr("The recorded format cannot be written to MP4.");
                return false;
            }
        } else if (!joinable(firstVideo.get(), vs->codecpar) ||
                   (outAudio >= 0 && as &&
                    !joinable(out.context()->streams[outAudio]->codecpar, as->codecpar))) {
            m_error =
                tr("The files of this range differ in format and cannot be joined without re-encoding.");
            return false;
        }
        const bool withAudio = as && outAudio >= 0;

        const int64_t audioEnd = withAudio ? av_rescale_q(endPts, vs->time_base, as->time_base) : 0;

        // The first key frame's decoding time, or the first re-encoded picture's: this file's time 0.
        int64_t zero = start.zero;
        // With `aligned`, this file's time 0 goes where the timeline has it.
        const auto place = [&]() {
            if (!aligned)
                return;
            const int64_t at = av_rescale_q(timeline.offset(piece.index), AVRational{1, 1000}, TimeBase) +
                               av_rescale_q(zero - origin, vs->time_base, TimeBase);
            // The clip's time 0 is the start of the range, or the first picture when it is
            // shown from before: a channel that begins later starts later in its clip too.
            if (clipOriginUs == INT64_MIN)
                clipOriginUs = std::min(at, av_rescale_q(rangeStartMs, AVRational{1, 1000}, TimeBase));
            offsetUs = at - clipOriginUs;
        };
        if (zero != AV_NOPTS_VALUE)
            place();
        // The pictures this file gives the clip, from the start of the first to the end of the last.
        int64_t firstShown = INT64_MAX;
        int64_t lastShownEnd = INT64_MIN;
        int64_t shownAtFrom = INT64_MIN; // the picture shown at the start of the range
        int64_t videoEnd = 0;
        bool videoDone = false;
        bool audioDone = !withAudio;
        std::vector<Av::Packet> pendingAudio; // read before the first key frame
        std::vector<Av::Packet> heldVideo;    // after the end, kept while later frames may need them

        const auto write = [&](AVPacket* p, const AVStream* source, int index) {
            AVStream* target = out.context()->streams[index];
            const int slot = index == outVideo ? 0 : 1;
            const int64_t origin = av_rescale_q(zero, vs->time_base, source->time_base);
            const int64_t shift = av_rescale_q(offsetUs, TimeBase, target->time_base);
            const auto map = [&](int64_t ts) {
                if (ts == AV_NOPTS_VALUE)
                    return ts;
                return av_rescale_q_rnd(ts - origin, source->time_base, target->time_base,
                                        AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX)) +
                       shift;
            };
            if (slot == 0 && p->pts != AV_NOPTS_VALUE) {
                firstShown = std::min(firstShown, p->pts);
                lastShownEnd = std::max(lastShownEnd, p->pts + p->duration);
            }
            p->pts = map(p->pts);
            p->dts = p->dts == AV_NOPTS_VALUE ? p->pts : map(p->dts);
            p->duration = av_rescale_q(p->duration, source->time_base, target->time_base);
            if (p->dts <= lastDts[slot]) {
                // Sound that overlaps the previous file is dropped; pictures are never dropped.
                if (slot == 1) {
                    av_packet_unref(p);
                    return true;
                }
                p->dts = lastDts[slot] + 1;
            }
            if (p->pts != AV_NOPTS_VALUE && p->pts < p->dts)
                p->pts = p->dts;
            lastDts[slot] = p->dts;
            p->stream_index = index;
            p->pos = -1;
            return av_interleaved_write_frame(out.context(), p) >= 0;
        };
        const auto failWrite = [this]() {
            m_error = tr("Cannot write the clip.");
            return false;
        };

        // Sound before the clip's start: with a re-encoded start, up to the packet nearest to the
        // first picture; otherwise before the first key frame.
        const auto soundBefore = [&](const AVPacket* p) {
            if (start.shownPts == AV_NOPTS_VALUE)
                return p->pts < av_rescale_q(zero, vs->time_base, as->time_base);
            return p->pts + p->duration / 2 <= av_rescale_q(start.shownPts, vs->time_base, as->time_base);
        };
        bool reencoded = false;
        const auto readPacket = [&]() {
            if (!start.queue.empty()) {
                av_packet_move_ref(packet.get(), start.queue.front().packet.get());
                reencoded = start.queue.front().reencoded;
                start.queue.pop_front();
                return true;
            }
            reencoded = false;
            return av_read_frame(in.get(), packet.get()) >= 0;
        };

        while (!(videoDone && audioDone)) {
            if (m_cancelled) {
                m_error = tr("The export was cancelled.");
                return false;
            }
            // A read error ends the file: a recording cut short by a power loss still exports.
            if (!readPacket())
                break;
            if (packet->stream_index == v && !videoDone) {
                const int64_t pts = packet->pts != AV_NOPTS_VALUE ? packet->pts : packet->dts;
                const int64_t dts = packet->dts != AV_NOPTS_VALUE ? packet->dts : pts;
                if (zero == AV_NOPTS_VALUE) {
                    if (!(packet->flags & AV_PKT_FLAG_KEY) || pts == AV_NOPTS_VALUE) {
                        av_packet_unref(packet.get());
                        continue;
                    }
                    zero = dts;
                    place();
                    const int64_t audioZero =
                        withAudio ? av_rescale_q(zero, vs->time_base, as->time_base) : 0;
                    for (Av::Packet& held : pendingAudio) {
                        if (held->pts >= audioZero && held->pts <= audioEnd &&
                            !write(held.get(), as, outAudio))
                            return failWrite();
                    }
                    pendingAudio.clear();
                }
                if (!reencoded && pts < start.copyFrom) {
                    // Re-encoded already.
                    av_packet_unref(packet.get());
                    continue;
                }
                if (firstPiece && pts <= fromPts)
                    shownAtFrom = std::max(shownAtFrom, pts);
                if (dts > endPts) {
                    videoDone = true;
                    av_packet_unref(packet.get());
                    continue;
                }
                if (pts > endPts) {
                    // Shown after the end, but a frame shown before it may be decoded from it.
                    heldVideo.push_back(clone(packet.get()));
                    av_packet_unref(packet.get());
                    continue;
                }
                for (Av::Packet& held : heldVideo) {
                    videoEnd = std::max(videoEnd, held->pts - zero + held->duration);
                    if (!write(held.get(), vs, outVideo))
                        return failWrite();
                }
                heldVideo.clear();
                videoEnd = std::max(videoEnd, pts - zero + packet->duration);
                const qint64 inFileMs = av_rescale_q(pts - origin, vs->time_base, AVRational{1, 1000});
                if (!write(packet.get(), vs, outVideo))
                    return failWrite();
                wroteVideo = true;
                reportProgress(doneMs +
                               qBound<qint64>(0, inFileMs - piece.fromMs, piece.toMs - piece.fromMs));
            } else if (withAudio && packet->stream_index == a && !audioDone &&
                       packet->pts != AV_NOPTS_VALUE) {
                if (packet->pts > audioEnd) {
                    audioDone = true;
                    av_packet_unref(packet.get());
                } else if (zero == AV_NOPTS_VALUE) {
                    pendingAudio.push_back(clone(packet.get()));
                    av_packet_unref(packet.get());
                } else if (soundBefore(packet.get())) {
                    av_packet_unref(packet.get());
                } else if (!write(packet.get(), as, outAudio)) {
                    return failWrite();
                }
            } else {
                av_packet_unref(packet.get());
            }
        }
        if (firstShown <= lastShownEnd) {
            const qint64 fileStart = timeline.offset(piece.index);
            const qint64 fileEnd = fileStart + timeline.fileDuration(piece.index);
            const auto position = [&](int64_t pts, AVRounding rounding) {
                return qBound(
                    fileStart,
                    fileStart + av_rescale_q_rnd(pts - origin, vs->time_base, AVRational{1, 1000}, rounding),
                    fileEnd);
            };
            if (!clipStarted) {
                m_clipFromMs = position(firstShown, AV_ROUND_DOWN);
                m_startsEarly = firstPiece && firstShown < shownAtFrom;
                clipStarted = true;
            }
            m_clipToMs = position(lastShownEnd, AV_ROUND_UP);
        }
        if (aligned) {
            // A recording that begins late, ends early or breaks off leaves a gap in its clip.
            const qint64 fileStart = timeline.offset(piece.index);
            const auto inFile = [&](int64_t pts) {
                return qint64(av_rescale_q(pts - origin, vs->time_base, AVRational{1, 1000}));
            };
            const bool shown = firstShown <= lastShownEnd;
            const qint64 shownFrom = shown ? std::max(piece.fromMs, inFile(firstShown)) : piece.toMs;
            const qint64 shownTo = shown ? std::min(piece.toMs, inFile(lastShownEnd)) : piece.toMs;
            if (shownFrom - piece.fromMs > UnnamedGapMs)
                m_missing.push_back(
                    {channel, fileStart + piece.fromMs, fileStart + shownFrom, QString(), QString()});
            if (piece.toMs - shownTo > UnnamedGapMs)
                m_missing.push_back({channel, fileStart + std::max(shownTo, piece.fromMs),
                                     fileStart + piece.toMs, QString(), QString()});
        }
        offsetUs += av_rescale_q(videoEnd, vs->time_base, TimeBase);
        doneMs += piece.toMs - piece.fromMs;
        reportProgress(doneMs);
    }

    m_noPictures = !wroteVideo;
    if (!wroteVideo) {
        m_error = tr("Nothing to export in this range.");
        return false;
    }
    if (av_write_trailer(out.context()) < 0) {
        m_error = tr("Cannot write the clip.");
        return false;
    }
    if (!out.flush()) {
        m_error = tr("Cannot write the clip.");
        return false;
    }
    return true;
}
