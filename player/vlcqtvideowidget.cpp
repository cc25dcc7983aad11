#include "vlcqtvideowidget.h"

#include "playerlog.h"
#include "stylesheet.h"
#include "zelcfg.h"
#include "zelsettings.h"

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

#include <chrono>
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

qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

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
    // The frame around the picture sets the smallest size: a small picture of a channel is smaller.
    video->setMinimumSize(1, 1);
}

const QList<double>& VlcQtVideoWidget::rates()
{
    static const QList<double> list{0.25, 0.5, 1.0, 2.0, 4.0, 8.0, 16.0};
    return list;
}

namespace {

using State = VlcQtVideoWidget::PlayState;

struct Transitions
{
    State from;
    QList<State> to;
};

// Besides these, every state goes to NoTrip (unloaded) and Opening (another trip).
const Transitions TransitionTable[] = {
    {State::NoTrip, {}},
    {State::Opening, {State::Playing, State::Pausing, State::Stopped, State::Ended}},
    {State::Starting, {State::Playing, State::Pausing, State::Stopped, State::Ended}},
    // Playing to Starting: play asked for where the engine stands by itself (an end not yet reported).
    {State::Playing, {State::Starting, State::Pausing, State::Stopped, State::Ended}},
    {State::Pausing, {State::Paused, State::SeekingPaused, State::Starting, State::Stopped, State::Ended}},
    {State::Paused,
     {State::SeekingPaused, State::SwitchingFile, State::Starting, State::Stopped, State::Ended}},
    {State::SeekingPaused,
     {State::Paused, State::SwitchingFile, State::Starting, State::Stopped, State::Ended}},
    {State::SwitchingFile,
     {State::SettlingFile, State::ConfirmingSeek, State::Starting, State::Stopped, State::Ended}},
    {State::SettlingFile, {State::ConfirmingSeek, State::Starting, State::Stopped, State::Ended}},
    {State::ConfirmingSeek,
     {State::SeekingPaused, State::Paused, State::Starting, State::Stopped, State::Ended}},
    {State::Stopped,
     {State::Starting, State::Playing, State::SeekingPaused, State::SwitchingFile, State::Ended}},
    {State::Ended,
     {State::Starting, State::Playing, State::SeekingPaused, State::SwitchingFile, State::Stopped}},
};

} // namespace

QList<VlcQtVideoWidget::PlayState> VlcQtVideoWidget::playStates()
{
    QList<PlayState> list;
    for (const Transitions& row : TransitionTable) {
        list << row.from;
    }
    return list;
}

bool VlcQtVideoWidget::canMove(PlayState from, PlayState to)
{
    if (to == PlayState::NoTrip || to == PlayState::Opening) {
        return true;
    }
    for (const Transitions& row : TransitionTable) {
        if (row.from == from) {
            return row.to.contains(to);
        }
    }
    return false;
}

VlcQtVideoWidget::VlcQtVideoWidget(QWidget* parent) : QWidget(parent), ui(new Ui_VlcQtVideoWidget)
{
    // The state travels in queued connections too.
    qRegisterMetaType<PlayState>();
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
    connect(m_muteTimer, &QTimer::timeout, this, &VlcQtVideoWidget::muteChanged);
    m_startingPausingTimer = new QTimer(this);
    connect(m_startingPausingTimer, &QTimer::timeout, this, &VlcQtVideoWidget::commandPoll);
    m_seekingPausedTimer = new QTimer(this);
    m_seekingPausedTimer->setSingleShot(true);
    connect(m_seekingPausedTimer, &QTimer::timeout, this, &VlcQtVideoWidget::pictureShown);
    m_confirmingSeekTimer = new QTimer(this);
    m_confirmingSeekTimer->setSingleShot(true);
    connect(m_confirmingSeekTimer, &QTimer::timeout, this, &VlcQtVideoWidget::confirmSeek);
    connect(this, &VlcQtVideoWidget::openingMedia, this, &VlcQtVideoWidget::openMedia, Qt::QueuedConnection);

    m_lastWidth = width();
    m_lastHeight = height();
}

VlcQtVideoWidget::~VlcQtVideoWidget()
{
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
    return VlcInstance::OptimizedPlayerArgs(ZelSettings::value(ZelSettings::HardwareDecoding, true).toBool());
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

void VlcQtVideoWidget::reportLoadError()
{
    QTimer::singleShot(0, this, [this]() { showLoadError(); });
}

void VlcQtVideoWidget::reportMissingFile(const QString& file)
{
    QTimer::singleShot(0, this, [this, file]() { showMissingFile(file); });
}

void VlcQtVideoWidget::setState(PlayState state)
{
    if (state == m_state) {
        return;
    }
    if (!canMove(m_state, state)) {
        qCWarning(lcPlayer) << "unexpected transition from" << m_state << "to" << state;
    }
    const PlayState left = m_state;
    m_state = state;
    switch (left) {
    case PlayState::Starting:
    case PlayState::Pausing:
        m_startingPausingTimer->stop();
        m_commandPolls = 0;
        break;
    case PlayState::SeekingPaused:
        m_seekingPausedTimer->stop();
        break;
    case PlayState::ConfirmingSeek:
        m_confirmingSeekTimer->stop();
        break;
    default:
        break;
    }
    switch (state) {
    case PlayState::Playing:
        // The picture starts moving from the position held: the estimate counts from now, not
        // from when that position was taken.
        m_positionClock.start();
        m_stateTarget = -1;
        break;
    case PlayState::Starting:
    case PlayState::Pausing:
        m_commandPolls = 0;
        m_startingPausingTimer->start(StatePollMs);
        m_stateTarget = -1;
        break;
    case PlayState::SeekingPaused:
    case PlayState::SwitchingFile:
    case PlayState::SettlingFile:
    case PlayState::ConfirmingSeek:
        break;
    default:
        m_stateTarget = -1;
        break;
    }
    // A play or pause asked for has been taken by the engine: the button shows it.
    if (left == PlayState::Starting && state == PlayState::Playing) {
        emit updatePlayPauseButton(VlcEnums::Playing);
    } else if (left == PlayState::Pausing &&
               (state == PlayState::Paused || state == PlayState::SeekingPaused)) {
        emit updatePlayPauseButton(VlcEnums::Paused);
    }
    emit playStateChanged(state);
}

bool VlcQtVideoWidget::keepsPaused() const
{
    switch (m_state) {
    case PlayState::Pausing:
    case PlayState::Paused:
    case PlayState::SeekingPaused:
    case PlayState::SwitchingFile:
    case PlayState::SettlingFile:
    case PlayState::ConfirmingSeek:
    case PlayState::Stopped:
        return true;
    default:
        return false;
    }
}

bool VlcQtVideoWidget::pausedSeekUnderWay() const
{
    return m_state == PlayState::Pausing || m_state == PlayState::SeekingPaused ||
           m_state == PlayState::SwitchingFile || m_state == PlayState::SettlingFile ||
           m_state == PlayState::ConfirmingSeek;
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
    const double tolerance = SeekTolerance + ReportIntervalMs * qMax(0.0, m_rate * m_trim - 1.0);
    return m_pendingIndex >= 0 || (m_pendingPosition >= 0 && qAbs(position - m_pendingPosition) > tolerance);
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
    clearPendingSeek();
    m_position = 0;
    m_published = 0;
    m_queuedTarget = -1;
    m_missingReported = false;

    if (!list) {
        setState(PlayState::NoTrip);
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
    setState(PlayState::Opening);
    m_trip = std::move(list);
    m_timeline = TripTimeline(*m_trip);
    m_duration = 0;
    for (const Trip::TripItem& item : *m_trip) {
        m_files.append(item.videoFile);
        m_duration += item.duration;
    }

    applyEngineMute();
    qCDebug(lcPlayer) << "opening a trip of" << m_files.size() << "files," << m_duration << "ms";
    if (static_cast<int>(m_duration) > 0) {
        emit onDurationChange(m_duration);
    }
    // Queued: the files open after every receiver of the trip selection has run.
    emit openingMedia();
}

void VlcQtVideoWidget::createPlayer()
{
    if (m_player) {
        m_requestedMute = m_muted;
        m_muteTimer->stop();
        setState(PlayState::NoTrip);
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
    m_lastEngineState = VlcEnums::Error;

    m_instance = new VlcInstance(engineArguments(), this);
    m_instance->setObjectName(QStringLiteral("Player m_instance"));
    m_player = new VlcPlayer(m_instance, ui->video, true);
    m_player->setObjectName(QStringLiteral("Player m_player"));
    // A file check can take seconds on a slow or stalled card: never on this thread.
    m_player->setBackgroundChecks(true);
    // The speed holds from trip to trip.
    m_player->setRate(m_rate * m_trim);

    connect(m_player, &VlcPlayer::error, this, &VlcQtVideoWidget::mediaPlayerError, Qt::QueuedConnection);
    connect(m_player, &VlcPlayer::timeChanged, this, &VlcQtVideoWidget::timeChanged, Qt::QueuedConnection);
    m_reportedTime = -1;
    connect(
        m_player, &VlcPlayer::timeChanged, this,
        [this](int time) {
            m_reportedAt = steadyMs();
            m_reportedTime = time;
        },
        Qt::DirectConnection);
    connect(m_player, &VlcPlayer::stateChanged, this, &VlcQtVideoWidget::stateChanged, Qt::QueuedConnection);
    connect(m_player, &VlcPlayer::nextItemSet, this, &VlcQtVideoWidget::mediaChanged, Qt::QueuedConnection);
    connect(m_player, &VlcPlayer::buffering, this, &VlcQtVideoWidget::buffering, Qt::QueuedConnection);
    connect(m_player, &VlcPlayer::playFailed, this, &VlcQtVideoWidget::reportLoadError, Qt::QueuedConnection);
}

void VlcQtVideoWidget::openMedia()
{
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
        reportLoadError();
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
    if (m_state == PlayState::NoTrip || !m_player) {
        return;
    }
    showPage(VideoPage);
    const int state = m_player->getState();
    const bool starting = state == VlcEnums::Opening || state == VlcEnums::Buffering;
    if (state == VlcEnums::Playing && keepsPaused() && m_state != PlayState::Stopped) {
        // Already on the way to a still picture (a file switched to while paused plays up
        // to its first report): it stays paused.
        return;
    }
    if (state == VlcEnums::Playing || (starting && !keepsPaused())) {
        // The engine stops on the picture it shows now; once paused it is put exactly there
        // (seekPaused), so the position published and the picture agree.
        const qint64 shown = shownPosition();
        setState(PlayState::Pausing);
        m_stateTarget = shown;
        m_player->pause();
        emit targetChanged(shown);
    } else if (state == VlcEnums::Ended) {
        setState(PlayState::Starting);
        if (!m_files.isEmpty() && isLastPlayable(m_currentIndex)) {
            m_player->play(0);
        } else {
            m_player->play();
        }
    } else {
        setState(PlayState::Starting);
        m_player->play();
        // A seek that waited for a paused one goes on from where it was asked.
        const qint64 queued = m_queuedTarget;
        m_queuedTarget = -1;
        if (queued >= 0) {
            setupPosition(queued, true);
        }
    }
}

void VlcQtVideoWidget::stop()
{
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
    // At the end of the trip there is nothing ahead.
    if (currentPage() != VideoPage) {
        return;
    }
    seekBy(SkipMs);
}

qint64 VlcQtVideoWidget::targetPosition() const
{
    if (m_queuedTarget >= 0) {
        return m_queuedTarget;
    }
    if (m_state == PlayState::Pausing && m_stateTarget >= 0) {
        return m_stateTarget;
    }
    // Paused, m_position is the picture on screen or the target of a seek under way.
    return keepsPaused() ? m_position : shownPosition();
}

void VlcQtVideoWidget::seekBy(int ms)
{
    if (m_state == PlayState::NoTrip || !m_player) {
        return;
    }
    setupPosition(targetPosition() + ms, true);
}

void VlcQtVideoWidget::stepFrame(int frames)
{
    if (m_state == PlayState::NoTrip || !m_player || !m_trip || frames == 0 || m_timeline.count() == 0) {
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
    if (m_player->getState() == VlcEnums::Playing && !keepsPaused()) {
        // Paused first; the engine is put on the stepped frame once it has paused.
        play();
        m_stateTarget = target;
        emit targetChanged(target);
        return;
    }
    setupPosition(target, true);
}

void VlcQtVideoWidget::setRate(double rate)
{
    rate = qBound(rates().first(), rate, rates().last());
    if (rate == m_rate) {
        return;
    }
    m_rate = rate;
    if (m_player) {
        m_player->setRate(rate * m_trim);
        applyEngineMute();
    }
    emit rateChanged(rate);
}

void VlcQtVideoWidget::setRateTrim(double factor)
{
    if (factor == m_trim) {
        return;
    }
    // From here on the estimate runs at the new speed.
    m_position = shownPosition();
    m_positionClock.start();
    m_trim = factor;
    if (m_player) {
        m_player->setRate(m_rate * m_trim);
    }
}

bool VlcQtVideoWidget::engineMuteWanted() const
{
    // Silent too while a file switched to while paused plays up to its first report.
    return m_requestedMute || m_rate > LoudestRate || m_state == PlayState::SwitchingFile ||
           m_state == PlayState::SettlingFile;
}

void VlcQtVideoWidget::applyEngineMute()
{
    if (m_player && m_player->getMute() != engineMuteWanted()) {
        m_player->toggleMute();
    }
}

void VlcQtVideoWidget::toggleMute()
{
    if (m_state == PlayState::NoTrip || !m_player) {
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
    m_mutePolls = 0;
    m_muteTimer->start(MutePollMs);
}

void VlcQtVideoWidget::setVolume(int volume)
{
    if (m_state == PlayState::NoTrip || !m_player) {
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
    if (m_state == PlayState::NoTrip || !m_player) {
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
    if (keepsPaused() || !m_player || m_player->getState() != VlcEnums::Playing) {
        // Paused, stopped or at the end: the picture does not move.
        return m_position;
    }
    // Reports come a few times a second and describe the picture shown when they are made.
    const qint64 elapsed = qMin<qint64>(m_positionClock.elapsed(), 1000);
    const int index = qBound(0, m_currentIndex, qMax(0, m_timeline.count() - 1));
    const qint64 estimate = m_position + qint64(elapsed * m_rate * m_trim);
    return qBound(m_timeline.offset(index), estimate,
                  qMax(m_timeline.offset(index), m_timeline.offset(index + 1) - 1));
}

qint64 VlcQtVideoWidget::enginePosition() const
{
    if (m_state != PlayState::Playing || !m_player || m_pendingIndex >= 0 || m_pendingPosition >= 0 ||
        m_player->getState() != VlcEnums::Playing) {
        return shownPosition();
    }
    const int index = m_player->currentIndex();
    const qint64 time = m_reportedTime;
    if (index < 0 || time < 0) {
        return shownPosition();
    }
    const qint64 elapsed = qBound<qint64>(0, steadyMs() - m_reportedAt, 1000);
    return m_timeline.offset(index) + time + qint64(elapsed * m_rate * m_trim);
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
    setState(PlayState::SeekingPaused);
    m_stateTarget = position;
    m_bufferingSeen = false;
    m_seekingPausedTimer->start(PictureWaitMs);
}

void VlcQtVideoWidget::buffering(int percent)
{
    if (!fromCurrentPlayer() || m_state != PlayState::SeekingPaused) {
        return;
    }
    // The engine buffers anew from 0 for every seek: a full buffer counts once the seek's own
    // buffering has begun, not one left over from opening the file.
    if (percent == 0) {
        m_bufferingSeen = true;
    } else if (percent >= 100 && m_bufferingSeen) {
        // The engine reports a full buffer just before its decoder hands the picture over
        // to the display: it is on screen a moment later.
        m_seekingPausedTimer->start(PictureSettleMs);
    }
}

void VlcQtVideoWidget::pictureShown()
{
    if (m_state != PlayState::SeekingPaused) {
        return;
    }
    qCDebug(lcPlayer) << objectName() << "paused seek to" << m_stateTarget
                      << (m_bufferingSeen ? "buffered" : "timed out");
    const qint64 target = m_stateTarget;
    setState(PlayState::Paused);
    // A later seek waited for this one: its picture is the one to publish.
    if (!seekQueued()) {
        publish(target);
    }
}

bool VlcQtVideoWidget::seekQueued()
{
    if (m_queuedTarget < 0 || pausedSeekUnderWay()) {
        return false;
    }
    const qint64 target = m_queuedTarget;
    m_queuedTarget = -1;
    setupPosition(target, true);
    return true;
}

void VlcQtVideoWidget::confirmSeek()
{
    if (m_state != PlayState::ConfirmingSeek) {
        return;
    }
    const qint64 target = m_stateTarget;
    if (m_player && target >= 0 && m_player->getState() == VlcEnums::Paused && m_position == target) {
        seekPaused(target);
        return;
    }
    setState(PlayState::Paused);
    seekQueued();
}

void VlcQtVideoWidget::setupPosition(qint64 position, bool notify)
{
    if (!m_player) {
        return;
    }
    qint64 target = qBound<qint64>(0, position, m_duration);
    if (pausedSeekUnderWay()) {
        // The engine takes one paused seek at a time: a new one waits for the picture of
        // the one under way and replaces any other waiting.
        m_queuedTarget = target;
        emit targetChanged(target);
        return;
    }
    m_queuedTarget = -1;
    m_heldReports = 0;

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
    const bool paused = keepsPaused();
    const bool playing = !paused && state != VlcEnums::Ended && state != VlcEnums::Stopped;
    const bool reopen = m_lastEngineState == VlcEnums::Ended && isLastPlayable(m_currentIndex);
    const int inFile = static_cast<int>(target - m_timeline.offset(index));

    if (index != m_player->currentIndex() || reopen || (paused && m_reopenPausedSeeks)) {
        // The new file starts at the target: its first picture is the one wanted.
        m_pendingIndex = index;
        m_pendingPosition = target;
        if (paused) {
            setState(PlayState::SwitchingFile);
            m_stateTarget = target;
        }
        // The engine cannot start a file in its last moments (it shows the file's first
        // picture instead): start a little before and seek from there.
        const qint64 length = m_timeline.fileDuration(index);
        const int start =
            inFile > length - NearEndMs ? static_cast<int>(qMax<qint64>(0, length - NearEndMs)) : inFile;
        m_switchStart = start;
        if (m_player->play(index, start) != 0) {
            reportLoadError();
        } else if (start != inFile && !paused) {
            m_player->setTime(inFile);
        }
    } else if (state == VlcEnums::Paused && paused) {
        // Not when a play is under way: the engine still says paused until it has taken it.
        seekPaused(target);
    } else {
        m_pendingPosition = target;
        m_player->setTime(inFile);
    }

    emit targetChanged(target);
    m_reportedTime = -1;
    bool published = false;
    if (pausedSeekUnderWay()) {
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
        clearPendingSeek();
        setState(PlayState::Ended);
        showPage(EndPage);
        if (notify && !published) {
            publish(target);
        }
    }
}

void VlcQtVideoWidget::timeChanged(int time)
{
    if (!fromCurrentPlayer() || !m_player || !m_trip) {
        return;
    }
    if (m_state == PlayState::SwitchingFile && m_pendingIndex < 0 && time >= m_switchStart - SeekTolerance) {
        setState(PlayState::SettlingFile);
        if (m_player->getState() == VlcEnums::Playing) {
            m_player->pause();
        }
        return;
    }
    // While paused the picture's position is published by the seek that showed it.
    if (keepsPaused()) {
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
    clearPendingSeek();
    m_queuedTarget = -1;
    setState(PlayState::Stopped);
    m_player->stop();
    emit updatePlayPauseButton(VlcEnums::Stopped);
    reportMissingFile(missing);
    return true;
}

void VlcQtVideoWidget::stateChanged()
{
    if (!fromCurrentPlayer()) {
        return;
    }
    if (!m_player) {
        m_lastEngineState = VlcEnums::Error;
        return;
    }
    const int state = m_player->getState();
    if (state != m_lastEngineState) {
        engineStateReached(state);
    }
}

void VlcQtVideoWidget::engineStateReached(int state)
{
    m_lastEngineState = state;
    switch (state) {
    case VlcEnums::Idle:
    case VlcEnums::Opening:
    case VlcEnums::Buffering:
        return;
    case VlcEnums::Playing:
        showPage(VideoPage);
        if (keepsPaused()) {
            // A file switched to while paused is paused at its first time report: paused
            // before, the engine now and then has not yet taken the start position and
            // leaves every seek of the paused file without a picture.
            if (m_state != PlayState::SwitchingFile) {
                m_player->pause();
            }
            applyEngineMute();
            return;
        }
        applyEngineMute();
        setState(PlayState::Playing);
        break;
    case VlcEnums::Paused:
        clearPendingSeek();
        if (m_state == PlayState::SwitchingFile || m_state == PlayState::SettlingFile) {
            // A file switched to while paused: show the position asked for. Now and then
            // the engine, paused so soon after starting the file, leaves a first seek
            // undone (it shows the file's start); a second one a moment later always takes,
            // and its picture is the one published. Near the end of the file a second seek
            // to the same place shows a broken picture: the first one goes earlier there.
            const qint64 target = m_stateTarget;
            const int index = m_player->currentIndex();
            const qint64 start = m_timeline.offset(index);
            const bool nearEnd = target - start > m_timeline.fileDuration(index) - NearEndMs;
            m_player->setTime(pausedSeekTime(nearEnd ? qMax(start, target - NearEndMs / 2) : target));
            m_position = target;
            setState(PlayState::ConfirmingSeek);
            m_stateTarget = target;
            m_confirmingSeekTimer->start(ConfirmSeekMs);
        } else if (m_state == PlayState::Pausing) {
            seekPaused(m_stateTarget >= 0 ? m_stateTarget : m_position);
        }
        break;
    case VlcEnums::Stopped:
        clearPendingSeek();
        m_queuedTarget = -1;
        if (!pausedSeekUnderWay() || m_state == PlayState::Pausing) {
            setState(PlayState::Stopped);
        }
        break;
    case VlcEnums::Ended:
        if (isLastPlayable(m_currentIndex)) {
            clearPendingSeek();
            m_queuedTarget = -1;
            setState(PlayState::Ended);
            showPage(EndPage);
            if (m_position == 0) {
                reportLoadError();
            }
            break;
        }
        // The player goes on with the next file by itself, unless it has gone (a file cut
        // short because the card was pulled is named first).
        if (stopIfFileMissing(m_currentIndex, m_currentIndex + 1)) {
            return;
        }
        if (m_position == 0) {
            reportLoadError();
        }
        return;
    default:
        clearPendingSeek();
        m_lastEngineState = VlcEnums::Error;
        if (stopIfFileMissing(m_currentIndex, m_currentIndex + 1)) {
            return;
        }
        break;
    }
    // While a play or pause waits for the engine, the button changes when the engine has it.
    if (m_state != PlayState::Starting && m_state != PlayState::Pausing) {
        emit updatePlayPauseButton(state);
    }
}

void VlcQtVideoWidget::commandPoll()
{
    if ((m_state != PlayState::Starting && m_state != PlayState::Pausing) || !m_player) {
        m_startingPausingTimer->stop();
        return;
    }
    // The engine's report may come late, or not at all when it was already there.
    const int expected = m_state == PlayState::Starting ? VlcEnums::Playing : VlcEnums::Paused;
    const int state = m_player->getState();
    if (state == expected) {
        engineStateReached(state);
    } else if (++m_commandPolls > StatePollLimit) {
        // The engine did not follow: the button shows what it does.
        setState(m_state == PlayState::Starting ? PlayState::Playing : PlayState::Paused);
        emit updatePlayPauseButton(state);
    }
}

void VlcQtVideoWidget::muteChanged()
{
    if (!m_player) {
        m_muteTimer->stop();
        return;
    }
    const bool engineMuted = m_player->getMute();
    if (engineMuted == m_requestedMute) {
        m_muted = engineMuted;
        m_muteTimer->stop();
        emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
    } else if (++m_mutePolls > MutePollLimit) {
        // The engine takes a mute only while its sound output runs (not while paused at the
        // start of a file): the user's choice holds and is applied with the next report.
        m_muteTimer->stop();
        m_muted = m_requestedMute;
        emit updateVolumeButtonIcon(m_player->getVolume(), m_muted);
    }
}

void VlcQtVideoWidget::updateActivationState()
{
    // The engine redraws a paused picture by itself (several times a second), also after
    // the window was covered: nothing to do but to follow the window's state.
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
    if (click && m_state != PlayState::NoTrip && event->button() == Qt::LeftButton) {
        play();
    }
}
