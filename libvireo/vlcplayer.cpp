#include "vireo/vlcplayer.h"

#include "vireo/vlcinstance.h"
#include "vireo/vlcvideowidget.h"
#include "vireolog.h"
#include "vlcinstance_p.h"
#include "vlcmedia.h"

#include <QDir>
#include <QUrl>

#include <vlc/vlc.h>

const int VlcPlayer::m_eventlist[9] = {
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerOpening,    libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,      libvlc_MediaPlayerStopped,    libvlc_MediaPlayerForward,
    libvlc_MediaPlayerBackward,    libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
};

const char* const VlcPlayer::m_correctFourCC[6] = {"AVC1", "H264", "X264", "DAVC", "LMP4", "SVQ3"};

namespace {

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

} // namespace

class VlcPlayerPrivate
{
public:
    explicit VlcPlayerPrivate(VlcPlayer* player) : m_player(player) {}

    static void handleEvent(const libvlc_event_t* event, void* data);

    libvlc_media_t* createMedia(const QString& file) const;
    // Parses media and runs the file check; a failure is reported.
    bool verify(libvlc_media_t* media);
    void fail(const QString& message);
    void requestSurface();
    int playItem(int idx);

    VlcPlayer* m_player;
    QString m_lastError;
    libvlc_instance_t* m_vlcInstance = nullptr;
    VlcVideoWidget* m_videoWidget = nullptr;
    libvlc_media_player_t* m_mediaPlayer = nullptr;
    libvlc_media_list_player_t* m_listPlayer = nullptr;
    libvlc_event_manager_t* m_playerEvents = nullptr;
    libvlc_event_manager_t* m_listEvents = nullptr;
    libvlc_media_list_t* m_mediaList = nullptr;
    QList<QByteArray> m_mediaOptions;
};

VlcPlayer::VlcPlayer(VlcInstance* instance, VlcVideoWidget* videoWidget, bool listPlayback)
    : QObject(instance), m_d(std::make_unique<VlcPlayerPrivate>(this))
{
    m_d->m_vlcInstance = VlcInstancePrivate::core(instance);
    m_d->m_videoWidget = videoWidget;
    // An engine that failed to start leaves a player that refuses everything.
    if (!m_d->m_vlcInstance) {
        return;
    }
    m_d->m_mediaPlayer = libvlc_media_player_new(m_d->m_vlcInstance);
    if (!m_d->m_mediaPlayer) {
        return;
    }
    libvlc_video_set_key_input(m_d->m_mediaPlayer, 0);
    libvlc_video_set_mouse_input(m_d->m_mediaPlayer, 0);

    m_d->m_playerEvents = libvlc_media_player_event_manager(m_d->m_mediaPlayer);
    for (int type : m_eventlist) {
        libvlc_event_attach(m_d->m_playerEvents, type, VlcPlayerPrivate::handleEvent, this);
    }

    if (listPlayback) {
        m_d->m_listPlayer = libvlc_media_list_player_new(m_d->m_vlcInstance);
        if (m_d->m_listPlayer) {
            libvlc_media_list_player_set_media_player(m_d->m_listPlayer, m_d->m_mediaPlayer);
            m_d->m_listEvents = libvlc_media_list_player_event_manager(m_d->m_listPlayer);
            libvlc_event_attach(m_d->m_listEvents, libvlc_MediaListPlayerNextItemSet,
                                VlcPlayerPrivate::handleEvent, this);
        }
    }
}

VlcPlayer::~VlcPlayer()
{
    // Detaching waits for a callback in progress, so none runs on a dead object.
    if (m_d->m_playerEvents) {
        for (int type : m_eventlist) {
            libvlc_event_detach(m_d->m_playerEvents, type, VlcPlayerPrivate::handleEvent, this);
        }
    }
    if (m_d->m_listEvents) {
        libvlc_event_detach(m_d->m_listEvents, libvlc_MediaListPlayerNextItemSet,
                            VlcPlayerPrivate::handleEvent, this);
    }
    if (m_d->m_mediaPlayer) {
        libvlc_media_player_stop(m_d->m_mediaPlayer);
        libvlc_media_player_release(m_d->m_mediaPlayer);
    }
    if (m_d->m_listPlayer) {
        libvlc_media_list_player_release(m_d->m_listPlayer);
    }
    if (m_d->m_mediaList) {
        libvlc_media_list_release(m_d->m_mediaList);
    }
}

libvlc_media_t* VlcPlayerPrivate::createMedia(const QString& file) const
{
    libvlc_media_t* media = VlcMedia::fromPath(m_vlcInstance, file);
    if (media) {
        for (const QByteArray& option : m_mediaOptions) {
            libvlc_media_add_option(media, option.constData());
        }
    }
    return media;
}

bool VlcPlayerPrivate::verify(libvlc_media_t* media)
{
    if (!media) {
        return false;
    }
    VlcMedia::parse(media, -1);
    const QString reason = VlcMedia::checkTracks(media);
    if (!reason.isEmpty()) {
        fail(reason);
    }
    return reason.isEmpty();
}

void VlcPlayerPrivate::fail(const QString& message)
{
    qCDebug(lcVireo) << "media refused:" << message;
    m_lastError = message;
    emit m_player->error(message);
}

void VlcPlayerPrivate::requestSurface()
{
    if (!m_videoWidget) {
        return;
    }
    const WId window = m_videoWidget->request();
    if (window != 0) {
        libvlc_media_player_set_xwindow(m_mediaPlayer, static_cast<uint32_t>(window));
    }
}

int VlcPlayerPrivate::playItem(int idx)
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
        emit m_player->nextItemSet(mediaLocation(media));
    }
    libvlc_media_release(media);
    return result;
}

void VlcPlayer::setMediaOptions(const QStringList& options)
{
    m_d->m_mediaOptions.clear();
    for (const QString& option : options) {
        m_d->m_mediaOptions.append(option.toUtf8());
    }
}

QString VlcPlayer::getLastError() const
{
    return m_d->m_lastError;
}

void VlcPlayer::clearLastError()
{
    m_d->m_lastError.clear();
}

int VlcPlayer::open(const QString& file)
{
    if (!m_d->m_mediaPlayer) {
        return -1;
    }
    libvlc_media_t* media = m_d->createMedia(file);
    if (!media) {
        return -1;
    }
    libvlc_media_player_set_media(m_d->m_mediaPlayer, media);
    const bool passed = m_d->verify(media);
    libvlc_media_release(media);
    if (!passed) {
        return -1;
    }
    m_d->requestSurface();
    return libvlc_media_player_play(m_d->m_mediaPlayer);
}

int VlcPlayer::open(const QStringList& files)
{
    if (!m_d->m_listPlayer) {
        return -1;
    }
    libvlc_media_list_t* list = libvlc_media_list_new(m_d->m_vlcInstance);
    if (!list) {
        return -1;
    }
    libvlc_media_list_lock(list);
    for (const QString& file : files) {
        libvlc_media_t* media = m_d->createMedia(file);
        if (!media) {
            continue;
        }
        if (m_d->verify(media)) {
            libvlc_media_list_add_media(list, media);
        }
        libvlc_media_release(media);
    }
    const int count = libvlc_media_list_count(list);
    libvlc_media_list_player_set_media_list(m_d->m_listPlayer, list);
    libvlc_media_list_unlock(list);
    if (m_d->m_mediaList) {
        libvlc_media_list_release(m_d->m_mediaList);
    }
    m_d->m_mediaList = list;

    if (count <= 0) {
        m_d->fail(QStringLiteral("no media"));
        return -1;
    }
    m_d->requestSurface();
    return m_d->playItem(0);
}

bool VlcPlayer::verifyFourCC(const QString& file)
{
    libvlc_media_t* media = m_d->createMedia(file);
    if (!media) {
        return false;
    }
    const bool passed = m_d->verify(media);
    libvlc_media_release(media);
    return passed;
}

int VlcPlayer::play()
{
    if (!m_d->m_mediaPlayer) {
        return -1;
    }
    m_d->requestSurface();
    return libvlc_media_player_play(m_d->m_mediaPlayer);
}

int VlcPlayer::play(int idx)
{
    if (!m_d->m_listPlayer || !m_d->m_mediaList) {
        return -1;
    }
    return m_d->playItem(idx);
}

void VlcPlayer::pause()
{
    if (m_d->m_mediaPlayer && libvlc_media_player_can_pause(m_d->m_mediaPlayer)) {
        libvlc_media_player_set_pause(m_d->m_mediaPlayer, 1);
    }
}

void VlcPlayer::stop()
{
    if (m_d->m_videoWidget) {
        m_d->m_videoWidget->release();
    }
    if (m_d->m_mediaPlayer) {
        libvlc_media_player_stop(m_d->m_mediaPlayer);
    }
}

int VlcPlayer::next()
{
    return m_d->m_listPlayer ? libvlc_media_list_player_next(m_d->m_listPlayer) : -1;
}

int VlcPlayer::previous()
{
    return m_d->m_listPlayer ? libvlc_media_list_player_previous(m_d->m_listPlayer) : -1;
}

void VlcPlayer::setTime(int ms)
{
    if (m_d->m_mediaPlayer) {
        libvlc_media_player_set_time(m_d->m_mediaPlayer, static_cast<libvlc_time_t>(ms));
    }
}

void VlcPlayer::setVolume(int volume)
{
    if (m_d->m_mediaPlayer && libvlc_audio_get_volume(m_d->m_mediaPlayer) != volume) {
        libvlc_audio_set_volume(m_d->m_mediaPlayer, volume);
    }
}

void VlcPlayer::toggleMute()
{
    if (m_d->m_mediaPlayer) {
        libvlc_audio_toggle_mute(m_d->m_mediaPlayer);
    }
}

qint64 VlcPlayer::getDuration() const
{
    return m_d->m_mediaPlayer ? libvlc_media_player_get_length(m_d->m_mediaPlayer) : -1;
}

qint64 VlcPlayer::getTime() const
{
    return m_d->m_mediaPlayer ? libvlc_media_player_get_time(m_d->m_mediaPlayer) : -1;
}

int VlcPlayer::getState() const
{
    if (!m_d->m_mediaPlayer) {
        return libvlc_NothingSpecial;
    }
    libvlc_media_t* media = libvlc_media_player_get_media(m_d->m_mediaPlayer);
    if (!media) {
        return libvlc_NothingSpecial;
    }
    libvlc_media_release(media);
    return libvlc_media_player_get_state(m_d->m_mediaPlayer);
}

int VlcPlayer::getVolume() const
{
    return m_d->m_mediaPlayer ? libvlc_audio_get_volume(m_d->m_mediaPlayer) : -1;
}

bool VlcPlayer::getMute() const
{
    return m_d->m_mediaPlayer && libvlc_audio_get_mute(m_d->m_mediaPlayer) == 1;
}

void VlcPlayerPrivate::handleEvent(const libvlc_event_t* event, void* data)
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
        qCWarning(lcVireo, "the player met an error: %s", message && *message ? message : "no reason given");
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
