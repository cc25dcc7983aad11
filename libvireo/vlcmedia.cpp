#include "vlcmedia.h"

#include "vireo/vlcplayer.h"

#include <QDir>
#include <QFile>

#include <vlc/vlc.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

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
    // The file system's own bytes: a name that is not valid UTF-8 must still reach the file.
    return libvlc_media_new_path(engine, QFile::encodeName(QDir::toNativeSeparators(file)).constData());
}

ParseResult parse(libvlc_media_t* media, int timeoutMs)
{
    struct Waiter
    {
        std::mutex mutex;
        std::condition_variable done;
        bool parsed = false;
    } waiter;

    auto onParsed = [](const libvlc_event_t*, void* data) {
        auto* w = static_cast<Waiter*>(data);
        std::lock_guard<std::mutex> lock(w->mutex);
        w->parsed = true;
        w->done.notify_all();
    };

    const auto backstop = std::chrono::milliseconds(timeoutMs < 0 ? 30000 : timeoutMs + 2000);
    libvlc_event_manager_t* events = libvlc_media_event_manager(media);
    libvlc_event_attach(events, libvlc_MediaParsedChanged, onParsed, &waiter);
    const bool started = libvlc_media_parse_with_options(media, libvlc_media_parse_local, timeoutMs) == 0;
    bool reported = false;
    if (started) {
        std::unique_lock<std::mutex> lock(waiter.mutex);
        reported = waiter.done.wait_for(lock, backstop, [&waiter] { return waiter.parsed; });
        if (!reported) {
            lock.unlock();
            libvlc_media_parse_stop(media);
        }
    }
    // Detaching waits for a report in progress, so none reaches the waiter after this.
    libvlc_event_detach(events, libvlc_MediaParsedChanged, onParsed, &waiter);

    if (!started) {
        return ParseResult::Failed;
    }
    switch (libvlc_media_get_parsed_status(media)) {
    case libvlc_media_parsed_status_done:
        return ParseResult::Done;
    case libvlc_media_parsed_status_timeout:
        return ParseResult::TimedOut;
    default:
        return reported ? ParseResult::Failed : ParseResult::TimedOut;
    }
}

QString checkTracks(libvlc_media_t* media, VideoInfo* info)
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
            if (info) {
                const libvlc_video_track_t* video = track->video;
                info->width = static_cast<int>(video->i_width);
                info->height = static_cast<int>(video->i_height);
                if (video->i_sar_num > 0 && video->i_sar_den > 0) {
                    info->sarNum = video->i_sar_num;
                    info->sarDen = video->i_sar_den;
                }
                if (video->i_frame_rate_num > 0 && video->i_frame_rate_den > 0) {
                    info->frameRate = double(video->i_frame_rate_num) / video->i_frame_rate_den;
                }
            }
        }
        // Only the first video track decides.
        break;
    }
    libvlc_media_tracks_release(tracks, count);
    return reason;
}

} // namespace VlcMedia
