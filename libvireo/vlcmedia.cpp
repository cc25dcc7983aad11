#include "vlcmedia.h"

#include "vireo/vlcplayer.h"

#include <QDir>

#include <vlc/vlc.h>

#include <chrono>
#include <cstring>

namespace VlcMedia {

namespace {

bool isAcceptedFourCC(const char* code)
{
    for (const char* accepted : VlcPlayer::m_correctFourCC) {
        if (std::strncmp(code, accepted, 4) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

libvlc_media_t* fromPath(libvlc_instance_t* engine, const QString& file)
{
    if (!engine) {
        return nullptr;
    }
    return libvlc_media_new_path(engine, QDir::toNativeSeparators(file).toUtf8().constData());
}

Parse::Parse(libvlc_media_t* media, int timeoutMs) : m_media(media), m_timeoutMs(timeoutMs)
{
    libvlc_event_attach(libvlc_media_event_manager(m_media), libvlc_MediaParsedChanged, onParsed, this);
    m_started = libvlc_media_parse_with_options(m_media, libvlc_media_parse_local, m_timeoutMs) == 0;
}

Parse::~Parse()
{
    result();
}

void Parse::onParsed(const libvlc_event_t*, void* data)
{
    auto* parse = static_cast<Parse*>(data);
    std::lock_guard<std::mutex> lock(parse->m_mutex);
    parse->m_parsed = true;
    parse->m_done.notify_all();
}

ParseResult Parse::result()
{
    if (m_finished) {
        return m_result;
    }
    m_finished = true;
    bool reported = false;
    if (m_started) {
        const auto backstop = std::chrono::milliseconds(m_timeoutMs < 0 ? 30000 : m_timeoutMs + 2000);
        std::unique_lock<std::mutex> lock(m_mutex);
        reported = m_done.wait_for(lock, backstop, [this] { return m_parsed; });
        if (!reported) {
            lock.unlock();
            libvlc_media_parse_stop(m_media);
        }
    }
    // Detaching waits for a report in progress, so none reaches this object afterwards.
    libvlc_event_detach(libvlc_media_event_manager(m_media), libvlc_MediaParsedChanged, onParsed, this);

    if (!m_started) {
        m_result = ParseResult::Failed;
        return m_result;
    }
    switch (libvlc_media_get_parsed_status(m_media)) {
    case libvlc_media_parsed_status_done:
        m_result = ParseResult::Done;
        break;
    case libvlc_media_parsed_status_timeout:
        m_result = ParseResult::TimedOut;
        break;
    default:
        m_result = reported ? ParseResult::Failed : ParseResult::TimedOut;
        break;
    }
    return m_result;
}

ParseResult parse(libvlc_media_t* media, int timeoutMs)
{
    Parse parse(media, timeoutMs);
    return parse.result();
}

QString checkTracks(libvlc_media_t* media)
{
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    if (count == 0 || !tracks) {
        if (tracks) {
            libvlc_media_tracks_release(tracks, count);
        }
        return QStringLiteral("track info not avaialble");
    }

    QString reason = QStringLiteral("no video track");
    for (unsigned i = 0; i < count; ++i) {
        const libvlc_media_track_t* track = tracks[i];
        if (!track || track->i_type != libvlc_track_video) {
            continue;
        }
        // The code as the file stores it; a demuxer that does not report one leaves
        // only the decoder's code to go by.
        const uint32_t fourcc = track->i_original_fourcc ? track->i_original_fourcc : track->i_codec;
        char code[5] = {};
        for (int b = 0; b < 4; ++b) {
            const char c = static_cast<char>((fourcc >> (8 * b)) & 0xff);
            code[b] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        if (!isAcceptedFourCC(code)) {
            reason = QStringLiteral("fourcc: [%1]").arg(QString::fromLatin1(code, 4));
        } else if (!track->video) {
            reason = QStringLiteral("video track is NULL");
        } else if (track->video->i_width == 0 || track->video->i_height == 0) {
            reason = QStringLiteral("wrong resolution: %1x%2")
                         .arg(track->video->i_width)
                         .arg(track->video->i_height);
        } else {
            reason.clear();
        }
        // Only the first video track decides.
        break;
    }
    libvlc_media_tracks_release(tracks, count);
    return reason;
}

} // namespace VlcMedia
