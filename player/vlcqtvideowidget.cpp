#include "vlcqtvideowidget.h"

#include "playerlog.h"
#include "stylesheet.h"
#include "zelcfg.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vireo/vlcvideowidget.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

namespace {

const int SkipMs = 5000;
// A time report this far from an outstanding seek target is taken as stale; at higher
// speeds the engine moves further between two reports.
const int SeekTolerance = 200;
const int ReportIntervalMs = 300;
const int StatePollMs = 20;
const int MutePollMs = 10;
const int StatePollLimit = 100;
const int MutePollLimit = 10;
// Longest wait for the picture of a paused seek before its position is published anyway.
const int PictureWaitMs = 1500;
// Time from the engine's full buffer after a paused seek to its picture on screen.
const int PictureSettleMs = 60;
// A paused seek stays this far from the end of its file.
const int PausedSeekEndMargin = 25;
// Delay of the second seek after a file switched to while paused.
const int ConfirmSeekMs = 300;
// A file is started this far before its end at the latest.
const int NearEndMs = 1000;
// Frame rate taken when a file does not give one.
const double DefaultFrameRate = 25.0;
// Above this speed the engine's sound breaks up: it is switched off.
const double LoudestRate = 2.0;

} // namespace

void Ui_VlcQtVideoWidget::setupUi(QWidget* widget)
{
    if (widget->objectName().isEmpty()) {
        widget->setObjectName(QStringLiteral("VlcQtVideoWidget"));
    }
    widget->resize(640, 360);
    QFont font = widget->font();
    font.setFamily(QStringLiteral("Arial"));
    widget->setFont(font);
    widget->setAutoFillBackground(false);
    widget->setStyleSheet(QStringLiteral("background-color: black;\ncolor: rgb(0, 0, 0);\n"));

    video = new VlcVideoWidget(widget);
    video->setObjectName(QStringLiteral("video"));
    video->setGeometry(0, 0, 640, 360);
    video->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    video->setMinimumSize(320, 180);
}

const QList<double>& VlcQtVideoWidget::rates()
{
    static const QList<double> list{0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0};
    return list;
}

VlcQtVideoWidget::VlcQtVideoWidget(QWidget* parent)
    : QWidget(parent), ui(new Ui_VlcQtVideoWidget), m_lastState(VlcEnums::Error)
{
    ui->setupUi(this);

    m_stack = new QStackedWidget(this);
    m_stack->addWidget(ui->video);
    auto* endPage = new QWidget(m_stack);
    endPage->setObjectName(QStringLiteral("endPage"));
    endPage->setAttribute(Qt::WA_StyledBackground);
    endPage->setStyleSheet(QStringLiteral("background-color: black;"));
    m_stack->addWidget(endPage);
    m_stack->setCurrentIndex(VideoPage);
    QString sheet;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myVideoWgt.qss"), sheet)) {
        m_stack->setStyleSheet(sheet);
    }

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_stack);
    setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,0);"));

    m_muteTimer = new QTimer(this);
    m_stateTimer = new QTimer(this);
    m_pictureTimer = new QTimer(this);
    m_pictureTimer->setSingleShot(true);
    connect(m_muteTimer, SIGNAL(timeout()), this, SLOT(muteChanged()));
    connect(m_stateTimer, SIGNAL(timeout()), this, SLOT(playingStateChanged()));
    connect(m_pictureTimer, &QTimer::timeout, this, &VlcQtVideoWidget::pictureShown);
    m_confirmTimer = new QTimer(this);
    m_confirmTimer->setSingleShot(true);
    connect(m_confirmTimer, &QTimer::timeout, this, &VlcQtVideoWidget::confirmSeek);
    connect(this, &VlcQtVideoWidget::openingMedia, this, &VlcQtVideoWidget::openMedia, Qt::QueuedConnection);

    m_lastWidth = width();
    m_lastHeight = height();
}

VlcQtVideoWidget::~VlcQtVideoWidget()
{
    m_muteTimer->disconnect();
    m_stateTimer->disconnect();
    m_pictureTimer->disconnect();
    m_muteTimer->deleteLater();
    m_stateTimer->deleteLater();
    m_files.clear();
    // The player draws into the form's surface: it goes before the surface does.
    delete m_instance;
    m_instance = nullptr;
    m_player = nullptr;
    delete ui;
    m_trip.reset();
}

int VlcQtVideoWidget::currentPage() const
{
    return m_stack->currentIndex();
}

VlcVideoWidget* VlcQtVideoWidget::videoSurface() const
{
    return ui->video;
}

QStringList VlcQtVideoWidget::engineArguments() const
{
    return VlcInstance::OptimizedPlayerArgs();
}

void VlcQtVideoWidget::showLoadError()
{
    QMessageBox::critical(nullptr, ZelCfg::AppName, QObject::tr("Corrupted file. Video can't be loaded!"),
                          QMessageBox::Ok);
}

void VlcQtVideoWidget::showMissingFile(const QString& file)
{
    QMessageBox::warning(nullptr, ZelCfg::AppName,
                         QObject::tr("Playback stopped: the recording %1 can no longer be read. "
                                     "The card or folder may have been removed.")
                             .arg(QDir::toNativeSeparators(file)),
                         QMessageBox::Ok);
}

void VlcQtVideoWidget::showPage(Page page)
{
    m_stack->setCurrentIndex(page);
}

bool VlcQtVideoWidget::fromCurrentPlayer() const
{
    // Reports of a replaced player may still be queued.
    const QObject* origin = sender();
    return !origin || origin == m_player;
}

void VlcQtVideoWidget::clearPendingSeek()
{
    m_pendingIndex = -1;
    m_pendingPosition = -1;
}

bool VlcQtVideoWidget::seekOutstanding(qint64 position) const
{
    const qint64 pendingPosition = m_pendingPosition;
    const double tolerance = SeekTolerance + ReportIntervalMs * qMax(0.0, m_rate - 1.0);
    return m_pendingIndex >= 0 || (pendingPosition >= 0 && qAbs(position - pendingPosition) > tolerance);
}

void VlcQtVideoWidget::publish(qint64 position)
{
    m_position = position;
    m_published = position;
    m_positionClock.start();
    emit onPositionChange(position);
}

double VlcQtVideoWidget::frameInterval() const
{
    const double fps = m_player ? m_player->frameRate() : 0.0;
    return 1000.0 / (fps > 1.0 ? fps : DefaultFrameRate);
}

void VlcQtVideoWidget::setMedia(std::shared_ptr<Trip::TripList> list)
{
    {
        QMutexLocker lock(&m_mutex);
        clearPendingSeek();
        m_position = 0;
        m_published = 0;
        m_keepPaused = false;
        m_pauseTarget = -1;
        m_switchTarget = -1;
        m_awaitingPicture = false;
        m_pictureTimer->stop();
        m_missingReported = false;

        if (!list) {
            m_ready = false;
            if (m_player && m_player->getState() != VlcEnums::Stopped) {
                m_player->stop();
            }
            m_files.clear();
            m_currentIndex = 0;
            m_trip.reset();
            m_timeline = TripTimeline();
            return;
        }

        createPlayer();
        m_trip = std::move(list);
        m_timeline = TripTimeline(*m_trip);
        m_duration = 0;
        for (const Trip::TripItem& item : *m_trip) {
            m_files.append(item.videoFile);
            m_duration += item.duration;
        }

        applyEngineMute();
        m_position = 0;
        qCDebug(lcPlayer) << "opening a trip of" << m_files.size() << "files," << m_duration << "ms";
        if (static_cast<int>(m_duration) > 0) {
            emit onDurationChange(m_duration);
        }
    }
    // Queued: the files open after every receiver of the trip selection has run.
    emit openingMedia();
}

void VlcQtVideoWidget::createPlayer()
{
    QMutexLocker lock(&m_mutex);
    if (m_player) {
        m_ready = false;
        m_expectedState = 0;
        m_requestedMute = m_muted;
        m_muteTimer->stop();
        m_stateTimer->stop();
        disconnect(m_player, nullptr, this, nullptr);
        // Stopped now, so the old engine no longer draws into the surface the new one takes.
        m_player->stop();
        m_player->deleteLater();
        m_player = nullptr;
        m_files.clear();
        m_currentIndex = 0;
    }
    if (m_instance) {
        m_instance->disconnect();
        m_instance->deleteLater();
        m_instance = nullptr;
    }
    m_lastState = VlcEnums::Error;

    m_instance = new VlcInstance(engineArguments(), this);
    m_instance->setObjectName(QStringLiteral("Player m_instance"));
    m_player = new VlcPlayer(m_instance, ui->video, true);
    m_player->setObjectName(QStringLiteral("Player m_player"));
    // The speed holds from trip to trip.
    m_player->setRate(m_rate);

    connect(m_player, SIGNAL(error(const QString&)), this, SLOT(mediaPlayerError(const QString&)),
            Qt::QueuedConnection);
    connect(m_player, SIGNAL(timeChanged(int)), this, SLOT(timeChanged(int)), Qt::QueuedConnection);
    connect(m_player, SIGNAL(stateChanged()), this, SLOT(stateChanged()), Qt::QueuedConnection);
    connect(m_player, SIGNAL(nextItemSet(const QString&)), this, SLOT(mediaChanged(const QString&)),
            Qt::QueuedConnection);
    connect(m_player, &VlcPlayer::buffering, this, &VlcQtVideoWidget::buffering, Qt::QueuedConnection);
    m_ready = true;
}

void VlcQtVideoWidget::openMedia()
{
    QMutexLocker lock(&m_mutex);
    if (!m_player || m_files.isEmpty() || m_currentIndex >= m_files.size()) {
        return;
    }
    if (m_player->getState() != VlcEnums::Stopped) {
        m_player->stop();
    }
    showPage(VideoPage);
    if (m_player->open(m_files) == 0) {
        m_player->setVolume(m_volume);
    } else {
        qCDebug(lcPlayer) << "the engine opened none of the trip's files:" << m_player->getLastError();
        showLoadError();
    }
}

int VlcQtVideoWidget::playableFrom(int index) const
{
    for (int i = qMax(index, 0); i < m_files.size(); ++i) {
        if (!m_player || m_player->isPlayable(i)) {
            return i;
        }
    }
    return -1;
}

bool VlcQtVideoWidget::isLastPlayable(int index) const
{
    return !m_files.isEmpty() && (index + 1 >= m_files.size() || playableFrom(index + 1) < 0);
}

void VlcQtVideoWidget::play()
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    showPage(VideoPage);
    m_stateTimer->start(StatePollMs);
    const int state = m_player->getState();
    const bool starting = state == VlcEnums::Opening || state == VlcEnums::Buffering;
    if (state == VlcEnums::Playing || (starting && !m_keepPaused)) {
        m_keepPaused = true;
        m_expectedState = VlcEnums::Paused;
        // The engine stops on the picture it shows now; once paused it is put exactly there
        // (seekPaused), so the position published and the picture agree.
        m_pauseTarget = shownPosition();
        m_player->pause();
    } else if (state == VlcEnums::Ended) {
        m_keepPaused = false;
        m_expectedState = VlcEnums::Playing;
        if (!m_files.isEmpty() && isLastPlayable(m_currentIndex)) {
            m_player->play(0);
        } else {
            m_player->play();
        }
    } else {
        m_keepPaused = false;
        m_pauseTarget = -1;
        m_switchTarget = -1;
        m_awaitingPicture = false;
        m_pictureTimer->stop();
        m_expectedState = VlcEnums::Playing;
        m_player->play();
    }
}

void VlcQtVideoWidget::stop()
{
    QMutexLocker lock(&m_mutex);
    if (m_player && m_player->getState() != VlcEnums::Stopped) {
        m_player->stop();
    }
}

void VlcQtVideoWidget::rewind()
{
    seekBy(-SkipMs);
}

void VlcQtVideoWidget::forward()
{
    QMutexLocker lock(&m_mutex);
    // At the end of the trip there is nothing ahead.
    if (currentPage() != VideoPage) {
        return;
    }
    seekBy(SkipMs);
}

qint64 VlcQtVideoWidget::targetPosition() const
{
    if (m_pauseTarget >= 0) {
        return m_pauseTarget;
    }
    // Paused, m_position is the picture on screen or the target of a seek under way.
    return m_keepPaused ? m_position.load() : shownPosition();
}

void VlcQtVideoWidget::seekBy(int ms)
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    setupPosition(targetPosition() + ms, true);
}

void VlcQtVideoWidget::stepFrame(int frames)
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player || !m_trip || frames == 0 || m_timeline.count() == 0) {
        return;
    }
    const qint64 from = targetPosition();
    const int index =
        qBound(0, m_timeline.indexAt(qBound<qint64>(0, from, m_duration)), m_timeline.count() - 1);
    const qint64 start = m_timeline.offset(index);
    const qint64 end = m_timeline.offset(index + 1);
    const double interval = frameInterval();
    // The frame on screen, counted from the start of its file, and the middle of the one
    // wanted: a seek to the middle of a frame shows that frame, whatever the rounding.
    const double frame = std::floor((from - start) / interval);
    qint64 target = start + qint64((frame + frames) * interval + interval / 2);
    if (target >= end && index + 1 < m_timeline.count()) {
        target = end + qint64(interval / 2);
    } else if (target >= end) {
        target = end - qint64(interval / 2);
    }
    target = qBound<qint64>(0, target, m_duration);
    if (m_player->getState() == VlcEnums::Playing && !m_keepPaused) {
        // Paused first; the engine is put on the stepped frame once it has paused.
        play();
        m_pauseTarget = target;
        return;
    }
    setupPosition(target, true);
}

void VlcQtVideoWidget::setRate(double rate)
{
    QMutexLocker lock(&m_mutex);
    rate = qBound(rates().first(), rate, rates().last());
    if (rate == m_rate) {
        return;
    }
    m_rate = rate;
    if (m_player) {
        m_player->setRate(rate);
        applyEngineMute();
    }
    emit rateChanged(rate);
}

bool VlcQtVideoWidget::engineMuteWanted() const
{
    // Silent too while a file switched to while paused plays up to its first report.
    return m_requestedMute || m_rate > LoudestRate || m_switchTarget >= 0;
}

void VlcQtVideoWidget::applyEngineMute()
{
    if (m_player && m_player->getMute() != engineMuteWanted()) {
        m_player->toggleMute();
    }
}

void VlcQtVideoWidget::toggleMute()
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    if (m_rate > LoudestRate) {
        // The engine stays silent at this speed; the choice holds for slower ones.
        m_muted = !m_muted;
        m_requestedMute = m_muted;
        emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
        return;
    }
    m_requestedMute = !m_muted;
    m_player->toggleMute();
    m_muteTimer->start(MutePollMs);
}

void VlcQtVideoWidget::setVolume(int volume)
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    if (volume >= 0 && volume <= 100) {
        m_volume = volume;
        m_player->setVolume(volume);
    }
    emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
}

void VlcQtVideoWidget::setPosition(int position)
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    setupPosition(position, true);
}

qint64 VlcQtVideoWidget::shownPosition() const
{
    if (m_pendingIndex >= 0 || m_pendingPosition >= 0 || !m_positionClock.isValid()) {
        // A seek is under way: its target is where the picture goes.
        return m_position;
    }
    if (m_keepPaused || !m_player || m_player->getState() != VlcEnums::Playing) {
        // Paused, stopped or at the end: the picture does not move.
        return m_position;
    }
    // Reports come a few times a second and describe the picture shown when they are made.
    const qint64 elapsed = qMin<qint64>(m_positionClock.elapsed(), 1000);
    const int index = qBound(0, m_currentIndex.load(), qMax(0, m_timeline.count() - 1));
    const qint64 estimate = m_position + qint64(elapsed * m_rate);
    return qBound(m_timeline.offset(index), estimate,
                  qMax(m_timeline.offset(index), m_timeline.offset(index + 1) - 1));
}

int VlcQtVideoWidget::pausedSeekTime(qint64 position) const
{
    // A paused engine shows the picture of a seek once it has buffered a little beyond it
    // (20 ms with the playback options): no seek closer to the end of a file than that.
    const int index = m_player->currentIndex();
    const qint64 inFile = position - m_timeline.offset(index);
    return static_cast<int>(qBound<qint64>(0, inFile, m_timeline.fileDuration(index) - PausedSeekEndMargin));
}

void VlcQtVideoWidget::seekPaused(qint64 position)
{
    m_player->setTime(pausedSeekTime(position));
    m_position = position;
    m_positionClock.start();
    m_awaitingPicture = true;
    m_bufferingSeen = false;
    m_pictureTarget = position;
    m_pictureTimer->start(PictureWaitMs);
}

void VlcQtVideoWidget::buffering(int percent)
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_awaitingPicture) {
        return;
    }
    // The engine buffers anew from 0 for every seek: a full buffer counts once the seek's own
    // buffering has begun, not one left over from opening the file.
    if (percent == 0) {
        m_bufferingSeen = true;
    } else if (percent >= 100 && m_bufferingSeen) {
        // The engine reports a full buffer just before its decoder hands the picture over
        // to the display: it is on screen a moment later.
        m_pictureTimer->start(PictureSettleMs);
    }
}

void VlcQtVideoWidget::pictureShown()
{
    QMutexLocker lock(&m_mutex);
    if (!m_awaitingPicture) {
        return;
    }
    m_awaitingPicture = false;
    m_pictureTimer->stop();
    publish(m_pictureTarget);
}

void VlcQtVideoWidget::confirmSeek()
{
    QMutexLocker lock(&m_mutex);
    const qint64 target = m_confirmTarget;
    m_confirmTarget = -1;
    if (m_player && target >= 0 && m_player->getState() == VlcEnums::Paused && m_position == target) {
        seekPaused(target);
    }
}

void VlcQtVideoWidget::setupPosition(qint64 position, bool notify)
{
    QMutexLocker lock(&m_mutex);
    if (!m_player) {
        return;
    }
    m_confirmTarget = -1;
    m_confirmTimer->stop();
    m_heldReports = 0;

    qint64 target = qBound<qint64>(0, position, m_duration);
    int index = m_timeline.indexAt(target);
    if (!m_trip || index < 0) {
        return;
    }
    // A file the engine cannot play: go on with the next one it plays, or stay at the end
    // of the last one.
    const int playable = playableFrom(index);
    if (playable != index) {
        int last = playable;
        if (playable < 0) {
            for (last = index - 1; last >= 0 && playableFrom(last) != last; --last) {
            }
            if (last < 0) {
                return;
            }
        }
        index = last;
        target = playable < 0 ? m_timeline.offset(index + 1) : m_timeline.offset(index);
    }

    const int state = m_player->getState();
    const bool playing = !m_keepPaused && state != VlcEnums::Ended && state != VlcEnums::Stopped;
    const bool reopen = m_lastState == VlcEnums::Ended && isLastPlayable(m_currentIndex);
    const int inFile = static_cast<int>(target - m_timeline.offset(index));
    m_awaitingPicture = false;
    m_pictureTimer->stop();
    m_pauseTarget = -1;
    bool published = false;

    if (index != m_player->currentIndex() || reopen) {
        // The new file starts at the target: its first picture is the one wanted.
        m_pendingIndex = index;
        m_pendingPosition = target;
        m_switchTarget = m_keepPaused ? target : -1;
        m_switchReported = false;
        // The engine cannot start a file in its last moments (it shows the file's first
        // picture instead): start a little before and seek from there.
        const qint64 length = m_timeline.fileDuration(index);
        const int start =
            inFile > length - NearEndMs ? static_cast<int>(qMax<qint64>(0, length - NearEndMs)) : inFile;
        m_switchStart = start;
        if (m_player->play(index, start) != 0) {
            showLoadError();
        } else if (start != inFile && !m_keepPaused) {
            m_player->setTime(inFile);
        }
    } else if (state == VlcEnums::Paused) {
        seekPaused(target);
    } else {
        m_pendingPosition = target;
        m_player->setTime(inFile);
        if (m_keepPaused && state == VlcEnums::Playing) {
            // A pause under way: the engine is put on the target once it has paused.
            m_pauseTarget = target;
        }
    }
    if (m_awaitingPicture || m_switchTarget >= 0 || m_pauseTarget >= 0) {
        // Paused: published once the engine shows the target's picture.
        m_position = target;
        m_positionClock.start();
    } else {
        // Playing, the picture of the target follows within a report; stopped or at the
        // end, nothing will report and the position holds as asked.
        if (notify) {
            publish(target);
        }
        published = true;
    }

    if (target == m_duration && !playing) {
        m_keepPaused = false;
        m_awaitingPicture = false;
        m_pictureTimer->stop();
        m_switchTarget = -1;
        clearPendingSeek();
        showPage(EndPage);
        if (notify && !published) {
            publish(target);
        }
    }
}

void VlcQtVideoWidget::timeChanged(int time)
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_player || !m_trip) {
        return;
    }
    if (m_switchTarget >= 0 && !m_switchReported && m_keepPaused && m_pendingIndex < 0 &&
        time >= m_switchStart - SeekTolerance) {
        m_switchReported = true;
        if (m_player->getState() == VlcEnums::Playing) {
            m_player->pause();
        }
        return;
    }
    // While paused the picture's position is published by the seek that showed it.
    if (m_keepPaused || m_awaitingPicture) {
        return;
    }
    const qint64 position = time + m_timeline.offset(m_currentIndex);
    // A report from before an outstanding seek took effect: hold it back (at most twice)
    // rather than let the slider jump back and forth.
    if (seekOutstanding(position) && ++m_heldReports < 3) {
        return;
    }
    m_heldReports = 0;
    clearPendingSeek();
    publish(position);
    // The engine takes a mute only once its sound output runs, a moment after a file
    // starts: checked with every report.
    if (!m_muteTimer->isActive()) {
        applyEngineMute();
    }
}

void VlcQtVideoWidget::mediaChanged(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_trip) {
        return;
    }
    int index = m_files.indexOf(path);
    if (index < 0) {
        index = m_files.indexOf(QDir::fromNativeSeparators(path));
    }
    if (index < 0) {
        return;
    }
    if (m_pendingIndex == -1 || m_pendingIndex == index) {
        m_pendingIndex = -1;
        emit onCurrentVideoChange(path);
        m_currentIndex = index;
    }
}

void VlcQtVideoWidget::mediaPlayerError(const QString& message)
{
    qCDebug(lcPlayer) << "engine error:" << message;
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_player || m_files.isEmpty()) {
        return;
    }
    // The engine says so when the next file of the list has gone.
    const int state = m_player->getState();
    if (state == VlcEnums::Ended || state == VlcEnums::Error) {
        stopIfFileMissing(m_currentIndex, m_currentIndex + 1);
    }
}

bool VlcQtVideoWidget::stopIfFileMissing(int from, int to)
{
    if (m_missingReported) {
        return true;
    }
    QString missing;
    for (int i = qMax(0, from); i <= to && i < m_files.size(); ++i) {
        if (!QFileInfo::exists(m_files.at(i))) {
            missing = m_files.at(i);
            break;
        }
    }
    if (missing.isEmpty()) {
        return false;
    }
    m_missingReported = true;
    m_keepPaused = true;
    clearPendingSeek();
    m_awaitingPicture = false;
    m_pictureTimer->stop();
    m_stateTimer->stop();
    m_expectedState = 0;
    m_player->stop();
    emit updatePlayPauseButton(VlcEnums::Stopped);
    showMissingFile(missing);
    return true;
}

void VlcQtVideoWidget::stateChanged()
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer()) {
        return;
    }
    if (!m_player) {
        m_lastState = VlcEnums::Error;
        return;
    }
    const int state = m_player->getState();
    if (state == m_lastState) {
        return;
    }
    m_lastState = state;

    switch (state) {
    case VlcEnums::Idle:
    case VlcEnums::Opening:
    case VlcEnums::Buffering:
        return;
    case VlcEnums::Playing:
        showPage(VideoPage);
        if (m_keepPaused) {
            // A file switched to while paused is paused at its first time report: paused
            // before, the engine now and then has not yet taken the start position and
            // leaves every seek of the paused file without a picture.
            if (m_switchTarget < 0 || m_switchReported) {
                m_player->pause();
            }
            applyEngineMute();
            return;
        }
        applyEngineMute();
        break;
    case VlcEnums::Paused:
        clearPendingSeek();
        if (m_switchTarget >= 0) {
            // A file switched to while paused: show the position asked for. Now and then
            // the engine, paused so soon after starting the file, leaves a first seek
            // undone (it shows the file's start); a second one a moment later always takes,
            // and its picture is the one published. Near the end of the file a second seek
            // to the same place shows a broken picture: the first one goes earlier there.
            const int index = m_player->currentIndex();
            const qint64 start = m_timeline.offset(index);
            const bool nearEnd = m_switchTarget - start > m_timeline.fileDuration(index) - NearEndMs;
            m_player->setTime(
                pausedSeekTime(nearEnd ? qMax(start, m_switchTarget - NearEndMs / 2) : m_switchTarget));
            m_position = m_switchTarget;
            m_confirmTarget = m_switchTarget;
            m_confirmTimer->start(ConfirmSeekMs);
            m_switchTarget = -1;
        } else if (m_pauseTarget >= 0) {
            seekPaused(m_pauseTarget);
            m_pauseTarget = -1;
        }
        break;
    case VlcEnums::Stopped:
        clearPendingSeek();
        m_keepPaused = true;
        break;
    case VlcEnums::Ended:
        if (isLastPlayable(m_currentIndex)) {
            m_keepPaused = false;
            clearPendingSeek();
            showPage(EndPage);
            if (m_position == 0) {
                showLoadError();
            }
            break;
        }
        // The player goes on with the next file by itself, unless it has gone (a file cut
        // short because the card was pulled is named first).
        if (stopIfFileMissing(m_currentIndex, m_currentIndex + 1)) {
            return;
        }
        if (m_position == 0) {
            showLoadError();
        }
        return;
    default:
        clearPendingSeek();
        m_lastState = VlcEnums::Error;
        if (stopIfFileMissing(m_currentIndex, m_currentIndex + 1)) {
            return;
        }
        break;
    }
    if (m_expectedState == 0) {
        emit updatePlayPauseButton(state);
    }
}

void VlcQtVideoWidget::playingStateChanged()
{
    QMutexLocker lock(&m_mutex);
    if (m_expectedState == 0 || !m_player) {
        m_stateTimer->stop();
        return;
    }
    if (m_player->getState() == m_expectedState) {
        m_stateTimer->stop();
        emit updatePlayPauseButton(m_expectedState);
        m_expectedState = 0;
        m_invalidStateCounter = 0;
    } else if (++m_invalidStateCounter > StatePollLimit) {
        m_stateTimer->stop();
        m_expectedState = 0;
        m_invalidStateCounter = 0;
        emit updatePlayPauseButton(m_player->getState());
    }
}

void VlcQtVideoWidget::muteChanged()
{
    QMutexLocker lock(&m_mutex);
    if (!m_player) {
        m_muteTimer->stop();
        return;
    }
    const bool engineMuted = m_player->getMute();
    if (engineMuted == m_requestedMute) {
        m_muted = engineMuted;
        m_muteTimer->stop();
        m_invalidMuteCounter = 0;
        emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
    } else if (++m_invalidMuteCounter > MutePollLimit) {
        // The engine takes a mute only while its sound output runs (not while paused at the
        // start of a file): the user's choice holds and is applied with the next report.
        m_muteTimer->stop();
        m_invalidMuteCounter = 0;
        m_muted = m_requestedMute;
        emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
    }
}

void VlcQtVideoWidget::updateActivationState()
{
    // The engine redraws a paused picture by itself (several times a second), also after
    // the window was covered: nothing to do but to follow the window's state.
    QMutexLocker lock(&m_mutex);
    m_wasActive = isActiveWindow();
}

void VlcQtVideoWidget::resizeEvent(QResizeEvent* event)
{
    if (width() == m_lastWidth && height() == m_lastHeight) {
        return;
    }
    m_lastWidth = width();
    m_lastHeight = height();
    QWidget::resizeEvent(event);
}

void VlcQtVideoWidget::mousePressEvent(QMouseEvent* event)
{
    QWidget::mousePressEvent(event);
}

void VlcQtVideoWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        m_mouseMoved = true;
    }
    QWidget::mouseMoveEvent(event);
}

void VlcQtVideoWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = !m_mouseMoved;
    m_mouseMoved = false;
    // Left unaccepted either way: the window behind the video ends its drag on the release.
    QWidget::mouseReleaseEvent(event);
    // Only the left button plays and pauses; a right click (a context menu elsewhere) does not.
    if (click && m_ready && event->button() == Qt::LeftButton) {
        play();
    }
}
