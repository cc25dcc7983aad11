#include "vireo/vlcplayer.h"

#include "vireo/vlcinstance.h"
#include "vireo/vlcvideowidget.h"
#include "vireolog.h"
#include "vlcerror.h"
#include "vlcinstance_p.h"
#include "vlcmedia.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

#include <vlc/vlc.h>

#include <functional>
#include <memory>
#include <vector>

const int VlcPlayer::m_eventlist[9] = {
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerOpening,    libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,      libvlc_MediaPlayerStopped,    libvlc_MediaPlayerForward,
    libvlc_MediaPlayerBackward,    libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
};

const char* const VlcPlayer::m_correctFourCC[9] = {"AVC1", "H264", "X264", "DAVC", "LMP4",
                                                   "SVQ3", "HVC1", "HEV1", "HEVC"};

namespace {

// Decoder threads for pictures larger than full HD.
const char* const LargeVideoThreads = ":avcodec-threads=2";

bool isLarge(const VlcMedia::VideoInfo& video)
{
    return qint64(video.width) * video.height > qint64(1920) * 1088;
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

// The file checks of one list, run in order on a thread of the pool. Parsing a file can take
// the engine's whole parse timeout (a stalled card): the player's thread never waits for it.
class BackgroundChecks
{
public:
    struct Result
    {
        int index = -1;
        QString reason;
        VlcMedia::VideoInfo video;
    };

    BackgroundChecks(libvlc_instance_t* engine, QStringList files)
        : m_engine(engine), m_files(std::move(files))
    {
        // The engine stays alive while the checks run, also when the player has gone.
        libvlc_retain(m_engine);
    }
    ~BackgroundChecks() { libvlc_release(m_engine); }

    // Runs `deliver` with each result on the thread of `receiver`, while it lives.
    static void start(const std::shared_ptr<BackgroundChecks>& checks, QObject* receiver,
                      const std::function<void(const Result&)>& deliver)
    {
        checks->m_receiver = receiver;
        QThreadPool::globalInstance()->start([checks, deliver]() { checks->run(deliver); });
    }

    // No more results; a parse under way is told to stop.
    void cancel()
    {
        QMutexLocker lock(&m_mutex);
        m_cancelled = true;
        m_receiver = nullptr;
        if (m_parsing) {
            libvlc_media_parse_stop(m_parsing);
        }
    }

private:
    void run(const std::function<void(const Result&)>& deliver)
    {
        for (int i = 0; i < m_files.size(); ++i) {
            libvlc_media_t* media = nullptr;
            {
                QMutexLocker lock(&m_mutex);
                if (m_cancelled) {
                    return;
                }
                media = VlcMedia::fromPath(m_engine, m_files.at(i));
                m_parsing = media;
            }
            Result result;
            result.index = i;
            if (!media) {
                result.reason = QStringLiteral("track info not avaialble");
            } else {
                VlcMedia::parse(media, -1);
                result.reason = VlcMedia::checkTracks(media, &result.video);
            }
            QMutexLocker lock(&m_mutex);
            m_parsing = nullptr;
            if (media) {
                libvlc_media_release(media);
            }
            if (m_cancelled || !m_receiver) {
                return;
            }
            // Posted while the receiver is known to live; Qt drops it should it go before.
            QMetaObject::invokeMethod(
                m_receiver, [deliver, result]() { deliver(result); }, Qt::QueuedConnection);
        }
    }

    libvlc_instance_t* m_engine;
    const QStringList m_files;
    QMutex m_mutex;
    bool m_cancelled = false;
    QObject* m_receiver = nullptr;
    libvlc_media_t* m_parsing = nullptr;
};

} // namespace

class VlcPlayerPrivate
{
public:
    // One file of a list and what its check found.
    struct Item
    {
        enum Check
        {
            Unchecked,
            Playable,
            Refused
        };
        QString file;
        Check check = Unchecked;
        VlcMedia::VideoInfo video;
    };

    explicit VlcPlayerPrivate(VlcPlayer* player) : m_player(player) {}

    static void handleEvent(const libvlc_event_t* event, void* data);

    libvlc_media_t* createMedia(const QString& file);
    // Parses media and runs the file check; a failure is reported.
    bool verify(libvlc_media_t* media, VlcMedia::VideoInfo* video = nullptr);
    bool checkItem(int idx);
    void fail(const QString& message);
    void requestSurface();
    // Starts the media player; a failure is reported with the engine's reason.
    int startPlayer();
    // Plays the first playable item from idx on, from startMs into it.
    int playItem(int idx, int startMs);
    // After a list item has played to its end: the next one, unless the list is over or
    // its files have gone (a card pulled during playback).
    void advance();
    // With background checks: item idx may be played (passed, or not checked yet).
    bool mayPlay(int idx);
    void startBackgroundChecks(const QStringList& files);
    void checkDone(const BackgroundChecks::Result& result);

    VlcPlayer* m_player;
    bool m_background = false;
    std::shared_ptr<BackgroundChecks> m_checks;
    // A play asked for while its item was still being checked: item and start time.
    int m_waitingIndex = -1;
    int m_waitingStart = 0;
    QString m_lastError;
    libvlc_instance_t* m_vlcInstance = nullptr;
    VlcVideoWidget* m_videoWidget = nullptr;
    libvlc_media_player_t* m_mediaPlayer = nullptr;
    libvlc_event_manager_t* m_playerEvents = nullptr;
    bool m_listPlayback = false;
    std::vector<Item> m_items;
    int m_current = -1;
    // Checked file of a single-file player, for its picture shape and frame rate.
    VlcMedia::VideoInfo m_singleVideo;
    QList<QByteArray> m_mediaOptions;
};

VlcPlayer::VlcPlayer(VlcInstance* instance, VlcVideoWidget* videoWidget, bool listPlayback)
    : QObject(instance), m_d(std::make_unique<VlcPlayerPrivate>(this))
{
    m_d->m_vlcInstance = VlcInstancePrivate::core(instance);
    m_d->m_videoWidget = videoWidget;
    m_d->m_listPlayback = listPlayback;
    // An engine that failed to start leaves a player that refuses everything.
    if (!m_d->m_vlcInstance) {
        return;
    }
    m_d->m_mediaPlayer = libvlc_media_player_new(m_d->m_vlcInstance);
    if (!m_d->m_mediaPlayer) {
        m_d->m_lastError = VlcError::report("creating the media player");
        return;
    }
    libvlc_video_set_key_input(m_d->m_mediaPlayer, 0);
    libvlc_video_set_mouse_input(m_d->m_mediaPlayer, 0);

    m_d->m_playerEvents = libvlc_media_player_event_manager(m_d->m_mediaPlayer);
    for (int type : m_eventlist) {
        libvlc_event_attach(m_d->m_playerEvents, type, VlcPlayerPrivate::handleEvent, this);
    }
    libvlc_event_attach(m_d->m_playerEvents, libvlc_MediaPlayerBuffering, VlcPlayerPrivate::handleEvent,
                        this);
}

VlcPlayer::~VlcPlayer()
{
    if (m_d->m_checks) {
        m_d->m_checks->cancel();
    }
    // Detaching waits for a callback in progress, so none runs on a dead object.
    if (m_d->m_playerEvents) {
        for (int type : m_eventlist) {
            libvlc_event_detach(m_d->m_playerEvents, type, VlcPlayerPrivate::handleEvent, this);
        }
        libvlc_event_detach(m_d->m_playerEvents, libvlc_MediaPlayerBuffering, VlcPlayerPrivate::handleEvent,
                            this);
    }
    if (m_d->m_mediaPlayer) {
        libvlc_media_player_stop(m_d->m_mediaPlayer);
        libvlc_media_player_release(m_d->m_mediaPlayer);
    }
}

libvlc_media_t* VlcPlayerPrivate::createMedia(const QString& file)
{
    libvlc_media_t* media = VlcMedia::fromPath(m_vlcInstance, file);
    if (!media) {
        m_lastError = VlcError::report("creating a media");
    } else {
        for (const QByteArray& option : m_mediaOptions) {
            libvlc_media_add_option(media, option.constData());
        }
    }
    return media;
}

bool VlcPlayerPrivate::verify(libvlc_media_t* media, VlcMedia::VideoInfo* video)
{
    if (!media) {
        return false;
    }
    VlcMedia::parse(media, -1);
    const QString reason = VlcMedia::checkTracks(media, video);
    if (!reason.isEmpty()) {
        fail(reason);
    }
    return reason.isEmpty();
}

bool VlcPlayerPrivate::checkItem(int idx)
{
    Item& item = m_items[static_cast<std::size_t>(idx)];
    if (item.check == Item::Unchecked) {
        libvlc_media_t* media = VlcMedia::fromPath(m_vlcInstance, item.file);
        item.check = media && verify(media, &item.video) ? Item::Playable : Item::Refused;
        if (media) {
            libvlc_media_release(media);
        }
    }
    return item.check == Item::Playable;
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

int VlcPlayerPrivate::playItem(int idx, int startMs)
{
    const int count = static_cast<int>(m_items.size());
    m_waitingIndex = -1;
    for (int i = qMax(idx, 0); i < count; ++i) {
        if (m_background && m_items[static_cast<std::size_t>(i)].check == Item::Unchecked) {
            // Played once its check has passed; a later play replaces this one.
            m_waitingIndex = i;
            m_waitingStart = startMs;
            return 0;
        }
        if (!checkItem(i)) {
            startMs = 0;
            continue;
        }
        // A fresh media for every start: the start time is an option of the media, and
        // one set for this start must not hold for the next.
        libvlc_media_t* media = createMedia(m_items[static_cast<std::size_t>(i)].file);
        if (!media) {
            return -1;
        }
        if (startMs > 0) {
            libvlc_media_add_option(
                media, QStringLiteral(":start-time=%1").arg(startMs / 1000.0, 0, 'f', 3).toUtf8());
        }
        if (isLarge(m_items[static_cast<std::size_t>(i)].video)) {
            // One core does not decode 4K in time, least of all the pictures from the key frame
            // up to a paused seek's target. Two threads hold frames back by one, which a paused
            // seek into a file's last frames still gets; smaller pictures keep one.
            libvlc_media_add_option(media, LargeVideoThreads);
        }
        libvlc_media_player_set_media(m_mediaPlayer, media);
        const QString location = mediaLocation(media);
        libvlc_media_release(media);
        m_current = i;
        if (m_videoWidget) {
            m_videoWidget->setVideoSize(m_player->videoSize());
        }
        requestSurface();
        const int result = startPlayer();
        if (result == 0) {
            emit m_player->nextItemSet(location);
        }
        return result;
    }
    return -1;
}

int VlcPlayerPrivate::startPlayer()
{
    const int result = libvlc_media_player_play(m_mediaPlayer);
    if (result != 0) {
        fail(VlcError::report("starting playback"));
    }
    return result;
}

void VlcPlayerPrivate::advance()
{
    // Only when the player still stands at the end of the item that ended: a file chosen
    // meanwhile is not passed over.
    if (!m_mediaPlayer || libvlc_media_player_get_state(m_mediaPlayer) != libvlc_Ended) {
        return;
    }
    const int next = m_current + 1;
    if (next < 0 || next >= static_cast<int>(m_items.size())) {
        return;
    }
    const QString& file = m_items[static_cast<std::size_t>(next)].file;
    if (!QFileInfo::exists(file)) {
        // The rest of the list is gone with it; the player stays at the end of what it had.
        fail(QStringLiteral("file not found: %1").arg(QDir::toNativeSeparators(file)));
        return;
    }
    playItem(next, 0);
}

bool VlcPlayerPrivate::mayPlay(int idx)
{
    if (m_background) {
        return m_items[static_cast<std::size_t>(idx)].check != Item::Refused;
    }
    return checkItem(idx);
}

void VlcPlayerPrivate::startBackgroundChecks(const QStringList& files)
{
    if (m_checks) {
        m_checks->cancel();
    }
    m_checks = std::make_shared<BackgroundChecks>(m_vlcInstance, files);
    const std::weak_ptr<BackgroundChecks> batch = m_checks;
    BackgroundChecks::start(m_checks, m_player, [this, batch](const BackgroundChecks::Result& result) {
        // Results of a list replaced meanwhile are of no use.
        if (batch.lock() == m_checks) {
            checkDone(result);
        }
    });
}

void VlcPlayerPrivate::checkDone(const BackgroundChecks::Result& result)
{
    if (result.index < 0 || result.index >= static_cast<int>(m_items.size())) {
        return;
    }
    Item& item = m_items[static_cast<std::size_t>(result.index)];
    if (item.check != Item::Unchecked) {
        return;
    }
    item.check = result.reason.isEmpty() ? Item::Playable : Item::Refused;
    item.video = result.video;
    if (!result.reason.isEmpty()) {
        fail(result.reason);
    }
    if (m_waitingIndex != result.index) {
        return;
    }
    const bool opening = m_current < 0;
    if (playItem(m_waitingIndex, m_waitingStart) != 0 && m_waitingIndex < 0) {
        if (opening && m_current < 0) {
            fail(QStringLiteral("no media"));
        }
        emit m_player->playFailed();
    }
}

void VlcPlayer::setBackgroundChecks(bool enabled)
{
    m_d->m_background = enabled && m_d->m_listPlayback;
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
    m_d->m_singleVideo = VlcMedia::VideoInfo();
    const bool passed = m_d->verify(media, &m_d->m_singleVideo);
    if (passed && isLarge(m_d->m_singleVideo)) {
        // Read when the engine starts the media, after this.
        libvlc_media_add_option(media, LargeVideoThreads);
    }
    libvlc_media_release(media);
    if (!passed) {
        return -1;
    }
    if (m_d->m_videoWidget) {
        m_d->m_videoWidget->setVideoSize(videoSize());
    }
    m_d->requestSurface();
    return m_d->startPlayer();
}

int VlcPlayer::open(const QStringList& files)
{
    if (!m_d->m_listPlayback || !m_d->m_mediaPlayer) {
        return -1;
    }
    // Files are checked when their turn comes; a long list opens at once.
    m_d->m_items.clear();
    m_d->m_items.reserve(static_cast<std::size_t>(files.size()));
    for (const QString& file : files) {
        m_d->m_items.push_back({file, VlcPlayerPrivate::Item::Unchecked, {}});
    }
    m_d->m_current = -1;
    if (m_d->m_background) {
        m_d->startBackgroundChecks(files);
    }
    const int result = m_d->playItem(0, 0);
    if (m_d->m_current < 0 && m_d->m_waitingIndex < 0) {
        m_d->fail(QStringLiteral("no media"));
        return -1;
    }
    return result;
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
    return m_d->startPlayer();
}

int VlcPlayer::play(int idx)
{
    return play(idx, 0);
}

int VlcPlayer::play(int idx, int startMs)
{
    if (!m_d->m_listPlayback || !m_d->m_mediaPlayer || m_d->m_items.empty()) {
        return -1;
    }
    return m_d->playItem(idx, startMs);
}

int VlcPlayer::currentIndex() const
{
    return m_d->m_current;
}

bool VlcPlayer::isPlayable(int idx)
{
    if (idx < 0 || idx >= static_cast<int>(m_d->m_items.size()) || !m_d->m_vlcInstance) {
        return false;
    }
    return m_d->mayPlay(idx);
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
    if (!m_d->m_listPlayback || !m_d->m_mediaPlayer || m_d->m_items.empty()) {
        return -1;
    }
    return m_d->playItem(m_d->m_current + 1, 0);
}

int VlcPlayer::previous()
{
    if (!m_d->m_listPlayback || !m_d->m_mediaPlayer || m_d->m_items.empty()) {
        return -1;
    }
    for (int i = m_d->m_current - 1; i >= 0; --i) {
        if (m_d->mayPlay(i)) {
            return m_d->playItem(i, 0);
        }
    }
    return -1;
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

void VlcPlayer::setRate(double rate)
{
    if (m_d->m_mediaPlayer && rate > 0) {
        libvlc_media_player_set_rate(m_d->m_mediaPlayer, static_cast<float>(rate));
    }
}

double VlcPlayer::rate() const
{
    return m_d->m_mediaPlayer ? libvlc_media_player_get_rate(m_d->m_mediaPlayer) : 1.0;
}

QSize VlcPlayer::videoSize() const
{
    const VlcMedia::VideoInfo* video = &m_d->m_singleVideo;
    if (m_d->m_listPlayback) {
        const int current = m_d->m_current;
        if (current < 0 || current >= static_cast<int>(m_d->m_items.size())) {
            return {};
        }
        video = &m_d->m_items[static_cast<std::size_t>(current)].video;
    }
    if (video->width <= 0 || video->height <= 0) {
        return {};
    }
    const qint64 width = qint64(video->width) * video->sarNum / qMax(1u, video->sarDen);
    return {static_cast<int>(qBound<qint64>(1, width, 1 << 20)), video->height};
}

double VlcPlayer::frameRate() const
{
    if (!m_d->m_listPlayback) {
        return m_d->m_singleVideo.frameRate;
    }
    const int current = m_d->m_current;
    if (current < 0 || current >= static_cast<int>(m_d->m_items.size())) {
        return 0;
    }
    return m_d->m_items[static_cast<std::size_t>(current)].video.frameRate;
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
        emit player->stateChanged();
        break;
    case libvlc_MediaPlayerEndReached:
        emit player->stateChanged();
        if (player->m_d->m_listPlayback) {
            // The engine must not be called back from its own event thread: the next
            // item starts on the player's thread.
            QMetaObject::invokeMethod(
                player, [player]() { player->m_d->advance(); }, Qt::QueuedConnection);
        }
        break;
    case libvlc_MediaPlayerTimeChanged:
        emit player->timeChanged(static_cast<int>(event->u.media_player_time_changed.new_time));
        break;
    case libvlc_MediaPlayerBuffering:
        emit player->buffering(static_cast<int>(event->u.media_player_buffering.new_cache));
        break;
    case libvlc_MediaPlayerEncounteredError: {
        // The engine raises this event on the thread where playback failed, right after it
        // logged why there; its per-thread error text of API calls says nothing here.
        const QString message = VlcError::takeLogged();
        qCWarning(lcVireo, "the player met an error: %s",
                  message.isEmpty() ? "no reason given" : qUtf8Printable(message));
        if (!message.isEmpty()) {
            emit player->error(message);
        }
        // The player has stopped on the error: its state says so.
        emit player->stateChanged();
        break;
    }
    default:
        break;
    }
}
