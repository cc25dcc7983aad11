#include "vlcqtvideowidget.h"

#include "playerlog.h"
#include "stylesheet.h"
#include "zelcfg.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcfileduration.h"
#include "vireo/vlcinstance.h"
#include "vireo/vlcplayer.h"
#include "vireo/vlcvideowidget.h"

#include <QMessageBox>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const int SkipMs = 5000;
// A time report this far from an outstanding seek target is taken as stale.
const int SeekTolerance = 200;
const int StatePollMs = 20;
const int MutePollMs = 10;
const int StatePollLimit = 100;
const int MutePollLimit = 10;

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
    connect(m_muteTimer, SIGNAL(timeout()), this, SLOT(muteChanged()));
    connect(m_stateTimer, SIGNAL(timeout()), this, SLOT(playingStateChanged()));
    connect(this, &VlcQtVideoWidget::openingMedia, this, &VlcQtVideoWidget::openMedia, Qt::QueuedConnection);

    m_lastWidth = width();
    m_lastHeight = height();
}

VlcQtVideoWidget::~VlcQtVideoWidget()
{
    m_muteTimer->disconnect();
    m_stateTimer->disconnect();
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

QStringList VlcQtVideoWidget::engineArguments() const
{
    return VlcInstance::OptimizedPlayerArgs();
}

void VlcQtVideoWidget::showLoadError()
{
    QMessageBox::critical(nullptr, ZelCfg::AppName, QObject::tr("Corrupted file. Video can't be loaded!"),
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
    const int pendingPosition = m_pendingPosition;
    return m_pendingIndex >= 0 || (pendingPosition >= 0 && qAbs(position - pendingPosition) > SeekTolerance);
}

void VlcQtVideoWidget::setMedia(std::shared_ptr<Trip::TripList> list)
{
    {
        QMutexLocker lock(&m_mutex);
        clearPendingSeek();
        m_position = 0;
        m_keepPaused = false;

        if (!list) {
            m_ready = false;
            if (m_player && m_player->getState() != VlcEnums::Stopped) {
                m_player->stop();
            }
            m_files.clear();
            m_currentIndex = 0;
            m_trip.reset();
            m_timeline = TripTimeline();
            m_engineIndex.clear();
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
        m_engineIndex.clear();

        if (m_player->getMute() != m_muted) {
            m_player->toggleMute();
        }
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

    connect(m_player, SIGNAL(error(const QString&)), this, SLOT(mediaPlayerError(const QString&)),
            Qt::QueuedConnection);
    connect(m_player, SIGNAL(timeChanged(int)), this, SLOT(timeChanged(int)), Qt::QueuedConnection);
    connect(m_player, SIGNAL(stateChanged()), this, SLOT(stateChanged()), Qt::QueuedConnection);
    connect(m_player, SIGNAL(nextItemSet(const QString&)), this, SLOT(mediaChanged(const QString&)),
            Qt::QueuedConnection);
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

    // The player leaves out files that fail its check and says so, once per file, while it opens.
    int refused = 0;
    const auto counter = connect(
        m_player, &VlcPlayer::error, this, [&refused](const QString&) { ++refused; }, Qt::DirectConnection);
    const int result = m_player->open(m_files);
    disconnect(counter);

    if (result == 0) {
        if (refused > 0)
            qCDebug(lcPlayer) << "the engine left out" << refused << "of" << m_files.size() << "files";
        mapEngineItems(refused);
        m_player->setVolume(m_volume);
    } else {
        qCDebug(lcPlayer) << "the engine opened none of the trip's files:" << m_player->getLastError();
        showLoadError();
    }
}

void VlcQtVideoWidget::mapEngineItems(int refused)
{
    const int count = m_files.size();
    m_engineIndex.assign(static_cast<std::size_t>(count), -1);
    if (refused <= 0) {
        for (int i = 0; i < count; ++i) {
            m_engineIndex[static_cast<std::size_t>(i)] = i;
        }
        return;
    }
    // Rare: the playlist has already dropped the files the engine cannot play, unless they
    // changed since. The same check, file by file, tells which ones are missing from the
    // engine's list.
    int engineItem = 0;
    for (int i = 0; i < count; ++i) {
        QString error;
        const bool refusedHere =
            refused > 0 && VlcFileDuration::getFileDuration(m_files.at(i), error) <= 0 && !error.isEmpty();
        if (refusedHere) {
            --refused;
        } else {
            m_engineIndex[static_cast<std::size_t>(i)] = engineItem++;
        }
    }
}

int VlcQtVideoWidget::playableFrom(int index) const
{
    if (m_engineIndex.empty()) {
        // Not opened yet: take every file as playable.
        return index < m_files.size() ? index : -1;
    }
    for (int i = qMax(index, 0); i < static_cast<int>(m_engineIndex.size()); ++i) {
        if (m_engineIndex[static_cast<std::size_t>(i)] >= 0) {
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
    if (state == VlcEnums::Playing) {
        m_keepPaused = true;
        m_expectedState = VlcEnums::Paused;
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
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    setupPosition(static_cast<int>(m_position - SkipMs), true, false);
}

void VlcQtVideoWidget::forward()
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player || currentPage() != VideoPage) {
        return;
    }
    setupPosition(static_cast<int>(m_position + SkipMs), true, false);
}

void VlcQtVideoWidget::toggleMute()
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
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
    emit updateVolumeButtonIcon(m_player->getVolume(), m_player->getMute());
}

void VlcQtVideoWidget::setPosition(int position)
{
    QMutexLocker lock(&m_mutex);
    if (!m_ready || !m_player) {
        return;
    }
    m_pendingPosition = position;
    setupPosition(position, true, false);
}

void VlcQtVideoWidget::setupPosition(int position, bool notify, bool force)
{
    QMutexLocker lock(&m_mutex);
    if (!m_player) {
        return;
    }
    if (!force && m_player->getState() == VlcEnums::Playing && seekOutstanding(position)) {
        // Commands that disagree with an outstanding seek: drop the first, keep later ones quiet.
        if (m_heldSeeks == 0) {
            m_heldSeeks = 1;
            return;
        }
        notify = false;
    }
    m_heldSeeks = 0;

    qint64 target = qBound<qint64>(0, position, m_duration);
    int index = m_timeline.indexAt(target);
    if (!m_trip || index < 0) {
        return;
    }
    // A file the engine left out of its list: go on with the next one it plays, or
    // stay at the end of the last one.
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

    const bool reopen = m_lastState == VlcEnums::Ended && isLastPlayable(m_currentIndex);
    if (index != m_currentIndex || reopen) {
        m_pendingIndex = index;
        const int engineIndex =
            m_engineIndex.empty() ? index : m_engineIndex[static_cast<std::size_t>(index)];
        if (m_player->play(engineIndex) != 0) {
            showLoadError();
        }
    }
    m_player->setTime(static_cast<int>(target - m_timeline.offset(index)));

    if (m_player->getState() != VlcEnums::Playing) {
        m_position = target;
    }
    if (notify) {
        emit onPositionChange(target);
    }
    if (target == m_duration && m_player->getState() != VlcEnums::Playing) {
        m_keepPaused = false;
        clearPendingSeek();
        showPage(EndPage);
    }
}

void VlcQtVideoWidget::timeChanged(int time)
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_player || !m_trip) {
        return;
    }
    const qint64 position = time + m_timeline.offset(m_currentIndex);
    // A report from before an outstanding seek took effect: hold it back (at most twice)
    // rather than let the slider jump back and forth.
    if (m_player->getState() == VlcEnums::Playing && seekOutstanding(position) && ++m_heldReports < 3) {
        return;
    }
    m_heldReports = 0;
    clearPendingSeek();
    m_position = position;
    emit onPositionChange(position);
}

void VlcQtVideoWidget::mediaChanged(const QString& path)
{
    QMutexLocker lock(&m_mutex);
    if (!fromCurrentPlayer() || !m_trip) {
        return;
    }
    const int index = m_files.indexOf(path);
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
            m_player->pause();
            return;
        }
        if (m_player->getMute() != m_muted) {
            m_player->toggleMute();
        }
        break;
    case VlcEnums::Paused:
        clearPendingSeek();
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
        if (m_position == 0) {
            showLoadError();
        }
        return;
    default:
        clearPendingSeek();
        m_lastState = VlcEnums::Error;
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
    m_muted = m_player->getMute();
    if (m_muted == m_requestedMute) {
        m_muteTimer->stop();
        m_invalidMuteCounter = 0;
        emit updateVolumeButtonIcon(m_player->getVolume(), m_player->getMute());
    } else if (++m_invalidMuteCounter > MutePollLimit) {
        m_muteTimer->stop();
        m_invalidMuteCounter = 0;
        m_requestedMute = m_muted;
    }
}

void VlcQtVideoWidget::redrawVideoWidget()
{
    QMutexLocker lock(&m_mutex);
    const qint64 p = m_position;
    const int index = m_currentIndex;
    const bool nextInFile = p + 1 <= m_timeline.offset(index + 1) && p + 1 > m_timeline.offset(index);
    setupPosition(static_cast<int>(nextInFile ? p + 1 : p - 1), false, false);
    setupPosition(static_cast<int>(p), false, false);
}

void VlcQtVideoWidget::updateActivationState()
{
    QMutexLocker lock(&m_mutex);
    const bool active = isActiveWindow();
    if (m_wasActive < 0) {
        m_wasActive = active;
    }
    if (active && !m_wasActive && m_player && m_player->getState() == VlcEnums::Paused) {
        redrawVideoWidget();
    }
    m_wasActive = active;
}

void VlcQtVideoWidget::resizeEvent(QResizeEvent* event)
{
    if (width() == m_lastWidth && height() == m_lastHeight) {
        return;
    }
    m_lastWidth = width();
    m_lastHeight = height();
    QWidget::resizeEvent(event);
    QMutexLocker lock(&m_mutex);
    if (m_player && m_player->getState() == VlcEnums::Paused) {
        redrawVideoWidget();
    }
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
    if (click && m_ready) {
        play();
    }
}
