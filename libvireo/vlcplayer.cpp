#include "vireo/vlcplayer.h"

#include "vireo/vlcinstance.h"
#include "vireo/vlcvideowidget.h"

#include <QDir>
#include <QUrl>

#include <vlc/vlc.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>

const int VlcPlayer::m_eventlist[9] = {
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerOpening,    libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,      libvlc_MediaPlayerStopped,    libvlc_MediaPlayerForward,
    libvlc_MediaPlayerBackward,    libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
};

const char* const VlcPlayer::m_correctFourCC[6] = {"AVC1", "H264", "X264", "DAVC", "LMP4", "SVQ3"};

namespace {

// Synchronous parse of a local media. The preparser gives up by itself after
// its own timeout; the wait here is only a backstop should no event ever come.
void parseMedia(libvlc_media_t* media)
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

    libvlc_event_manager_t* events = libvlc_media_event_manager(media);
    libvlc_event_attach(events, libvlc_MediaParsedChanged, onParsed, &waiter);
    if (libvlc_media_parse_with_options(media, libvlc_media_parse_local, -1) == 0) {
        std::unique_lock<std::mutex> lock(waiter.mutex);
        waiter.done.wait_for(lock, std::chrono::seconds(30), [&waiter] { return waiter.parsed; });
    }
    libvlc_event_detach(events, libvlc_MediaParsedChanged, onParsed, &waiter);
}

// A local file as a native path, anything else as its whole location.
QString mediaLocation(libvlc_media_t* media)
{
    char* mrl = libvlc_media_get_mrl(media);
    if (!mrl) {
        return {};
    }
    const QUrl url(QString::fromUtf8(mrl), QUrl::TolerantMode);
    libvlc_free(mrl);
    return url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
}

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

VlcPlayer::VlcPlayer(VlcInstance* instance, VlcVideoWidget* videoWidget, bool listPlayback)
    : QObject(instance), m_vlcInstance(instance ? instance->core() : nullptr), m_videoWidget(videoWidget)
{
    // An engine that failed to start leaves a player that refuses everything.
    if (!m_vlcInstance) {
        return;
    }
    m_mediaPlayer = libvlc_media_player_new(m_vlcInstance);
    if (!m_mediaPlayer) {
        return;
    }
    libvlc_video_set_key_input(m_mediaPlayer, 0);
    libvlc_video_set_mouse_input(m_mediaPlayer, 0);

    m_playerEvents = libvlc_media_player_event_manager(m_mediaPlayer);
    for (int type : m_eventlist) {
        libvlc_event_attach(m_playerEvents, type, handleEvent, this);
    }

    if (listPlayback) {
        m_listPlayer = libvlc_media_list_player_new(m_vlcInstance);
        if (m_listPlayer) {
            libvlc_media_list_player_set_media_player(m_listPlayer, m_mediaPlayer);
            m_listEvents = libvlc_media_list_player_event_manager(m_listPlayer);
            libvlc_event_attach(m_listEvents, libvlc_MediaListPlayerNextItemSet, handleEvent, this);
        }
    }
}

VlcPlayer::~VlcPlayer()
{
    // Detaching waits for a callback in progress, so none runs on a dead object.
    if (m_playerEvents) {
        for (int type : m_eventlist) {
            libvlc_event_detach(m_playerEvents, type, handleEvent, this);
        }
    }
    if (m_listEvents) {
        libvlc_event_detach(m_listEvents, libvlc_MediaListPlayerNextItemSet, handleEvent, this);
    }
    if (m_mediaPlayer) {
        libvlc_media_player_stop(m_mediaPlayer);
        libvlc_media_player_release(m_mediaPlayer);
    }
    if (m_listPlayer) {
        libvlc_media_list_player_release(m_listPlayer);
    }
    if (m_mediaList) {
        libvlc_media_list_release(m_mediaList);
    }
}

libvlc_media_t* VlcPlayer::createMedia(const QString& file) const
{
    libvlc_media_t* media =
        libvlc_media_new_path(m_vlcInstance, QDir::toNativeSeparators(file).toUtf8().constData());
    if (media) {
        for (const QByteArray& option : m_mediaOptions) {
            libvlc_media_add_option(media, option.constData());
        }
    }
    return media;
}

void VlcPlayer::setMediaOptions(const QStringList& options)
{
    m_mediaOptions.clear();
    for (const QString& option : options) {
        m_mediaOptions.append(option.toUtf8());
    }
}

void VlcPlayer::fail(const QString& message)
{
    m_lastError = message;
    emit error(message);
}

void VlcPlayer::requestSurface()
{
    if (!m_videoWidget) {
        return;
    }
    const WId window = m_videoWidget->request();
    if (window != 0) {
        libvlc_media_player_set_xwindow(m_mediaPlayer, static_cast<uint32_t>(window));
    }
}

int VlcPlayer::open(const QString& file)
{
    if (!m_mediaPlayer) {
        return -1;
    }
    libvlc_media_t* media = createMedia(file);
    if (!media) {
        return -1;
    }
    libvlc_media_player_set_media(m_mediaPlayer, media);
    const bool passed = verifyFourCC(media);
    libvlc_media_release(media);
    if (!passed) {
        return -1;
    }
    requestSurface();
    return libvlc_media_player_play(m_mediaPlayer);
}

int VlcPlayer::open(const QStringList& files)
{
    if (!m_listPlayer) {
        return -1;
    }
    libvlc_media_list_t* list = libvlc_media_list_new(m_vlcInstance);
    if (!list) {
        return -1;
    }
    libvlc_media_list_lock(list);
    for (const QString& file : files) {
        libvlc_media_t* media = createMedia(file);
        if (!media) {
            continue;
        }
        if (verifyFourCC(media)) {
            libvlc_media_list_add_media(list, media);
        }
        libvlc_media_release(media);
    }
    const int count = libvlc_media_list_count(list);
    libvlc_media_list_player_set_media_list(m_listPlayer, list);
    libvlc_media_list_unlock(list);
    if (m_mediaList) {
        libvlc_media_list_release(m_mediaList);
    }
    m_mediaList = list;

    if (count <= 0) {
        fail(QStringLiteral("no media"));
        return -1;
    }
    requestSurface();
    return playItem(0);
}

int VlcPlayer::playItem(int idx)
{
    // The list player of libVLC 3 does not restart a new list at its first item
    // (stepping on continues from the position kept from the old list), and
    // playing an item by index announces the item played before it. Selecting
    // the item itself and announcing it here gives the right item and the right
    // announcement.
    libvlc_media_list_lock(m_mediaList);
    libvlc_media_t* media = libvlc_media_list_item_at_index(m_mediaList, idx);
    libvlc_media_list_unlock(m_mediaList);
    if (!media) {
        return -1;
    }
    const int result = libvlc_media_list_player_play_item(m_listPlayer, media);
    if (result == 0) {
        emit nextItemSet(mediaLocation(media));
    }
    libvlc_media_release(media);
    return result;
}

int VlcPlayer::play()
{
    if (!m_mediaPlayer) {
        return -1;
    }
    requestSurface();
    return libvlc_media_player_play(m_mediaPlayer);
}

int VlcPlayer::play(int idx)
{
    if (!m_listPlayer || !m_mediaList) {
        return -1;
    }
    return playItem(idx);
}

void VlcPlayer::pause()
{
    if (m_mediaPlayer && libvlc_media_player_can_pause(m_mediaPlayer)) {
        libvlc_media_player_set_pause(m_mediaPlayer, 1);
    }
}

void VlcPlayer::stop()
{
    if (m_videoWidget) {
        m_videoWidget->release();
    }
    if (m_mediaPlayer) {
        libvlc_media_player_stop(m_mediaPlayer);
    }
}

int VlcPlayer::next()
{
    return m_listPlayer ? libvlc_media_list_player_next(m_listPlayer) : -1;
}

int VlcPlayer::previous()
{
    return m_listPlayer ? libvlc_media_list_player_previous(m_listPlayer) : -1;
}

void VlcPlayer::setTime(int ms)
{
    if (m_mediaPlayer) {
        libvlc_media_player_set_time(m_mediaPlayer, static_cast<libvlc_time_t>(ms));
    }
}

void VlcPlayer::setVolume(int volume)
{
    if (m_mediaPlayer && libvlc_audio_get_volume(m_mediaPlayer) != volume) {
        libvlc_audio_set_volume(m_mediaPlayer, volume);
    }
}

void VlcPlayer::toggleMute()
{
    if (m_mediaPlayer) {
        libvlc_audio_toggle_mute(m_mediaPlayer);
    }
}

qint64 VlcPlayer::getDuration() const
{
    return m_mediaPlayer ? libvlc_media_player_get_length(m_mediaPlayer) : -1;
}

qint64 VlcPlayer::getTime() const
{
    return m_mediaPlayer ? libvlc_media_player_get_time(m_mediaPlayer) : -1;
}

int VlcPlayer::getState() const
{
    if (!m_mediaPlayer) {
        return libvlc_NothingSpecial;
    }
    libvlc_media_t* media = libvlc_media_player_get_media(m_mediaPlayer);
    if (!media) {
        return libvlc_NothingSpecial;
    }
    libvlc_media_release(media);
    return libvlc_media_player_get_state(m_mediaPlayer);
}

int VlcPlayer::getVolume() const
{
    return m_mediaPlayer ? libvlc_audio_get_volume(m_mediaPlayer) : -1;
}

bool VlcPlayer::getMute() const
{
    return m_mediaPlayer && libvlc_audio_get_mute(m_mediaPlayer) == 1;
}

bool VlcPlayer::verifyFourCC(libvlc_media_t* media)
{
    if (!media) {
        return false;
    }
    parseMedia(media);

    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    if (count == 0 || !tracks) {
        if (tracks) {
            libvlc_media_tracks_release(tracks, count);
        }
        fail(QStringLiteral("track info not avaialble"));
        return false;
    }

    bool passed = false;
    bool sawVideo = false;
    for (unsigned i = 0; i < count && !sawVideo; ++i) {
        const libvlc_media_track_t* track = tracks[i];
        if (!track || track->i_type != libvlc_track_video) {
            continue;
        }
        sawVideo = true;
        // The code as the file stores it; a demuxer that does not report one leaves
        // only the decoder's code to go by.
        const uint32_t fourcc = track->i_original_fourcc ? track->i_original_fourcc : track->i_codec;
        char code[5] = {};
        for (int b = 0; b < 4; ++b) {
            const char c = static_cast<char>((fourcc >> (8 * b)) & 0xff);
            code[b] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        }
        if (!isAcceptedFourCC(code)) {
            fail(QStringLiteral("fourcc: [%1]").arg(QString::fromLatin1(code, 4)));
        } else if (!track->video) {
            fail(QStringLiteral("video track is NULL"));
        } else if (track->video->i_width == 0 || track->video->i_height == 0) {
            fail(QStringLiteral("wrong resolution: %1x%2")
                     .arg(track->video->i_width)
                     .arg(track->video->i_height));
        } else {
            passed = true;
        }
    }
    libvlc_media_tracks_release(tracks, count);

    if (!sawVideo) {
        fail(QStringLiteral("no video track"));
    }
    return passed;
}

void VlcPlayer::handleEvent(const libvlc_event_t* event, void* data)
{
    auto* player = static_cast<VlcPlayer*>(data);
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
    case libvlc_MediaPlayerPlaying:
    case libvlc_MediaPlayerPaused:
    case libvlc_MediaPlayerStopped:
    case libvlc_MediaPlayerForward:
    case libvlc_MediaPlayerBackward:
    case libvlc_MediaPlayerEndReached:
        emit player->stateChanged();
        break;
    case libvlc_MediaPlayerTimeChanged:
        emit player->timeChanged(static_cast<int>(event->u.media_player_time_changed.new_time));
        break;
    case libvlc_MediaPlayerEncounteredError: {
        const char* message = libvlc_errmsg();
        if (message && *message) {
            emit player->error(QString::fromUtf8(message));
            libvlc_clearerr();
        }
        break;
    }
    case libvlc_MediaListPlayerNextItemSet: {
        libvlc_media_t* media = event->u.media_list_player_next_item_set.item;
        if (!media) {
            break;
        }
        emit player->nextItemSet(mediaLocation(media));
        break;
    }
    default:
        break;
    }
}
