#include "channelsync.h"

#include "playerlog.h"

#include <QTimer>

namespace {

using State = VlcQtVideoWidget::PlayState;

const int CheckMs = 200;
const int ConfirmMs = 300;

bool runs(State state)
{
    return state == State::Starting || state == State::Playing;
}

// States in which the widget is between two of its own steps: run/pause commands wait.
bool settling(State state)
{
    switch (state) {
    case State::Opening:
    case State::Starting:
    case State::Pausing:
    case State::SeekingPaused:
    case State::SwitchingFile:
    case State::SettlingFile:
    case State::ConfirmingSeek:
        return true;
    default:
        return false;
    }
}

} // namespace

ChannelSync::ChannelSync(VlcQtVideoWidget* main, VlcQtVideoWidget* follower, ChannelTimeline timeline,
                         QObject* parent)
    : QObject(parent), m_main(main), m_follower(follower), m_timeline(std::move(timeline)),
      m_timer(new QTimer(this))
{
    m_timer->setInterval(CheckMs);
    connect(m_timer, &QTimer::timeout, this, &ChannelSync::reconcile);
    m_confirmTimer = new QTimer(this);
    m_confirmTimer->setSingleShot(true);
    m_confirmTimer->setInterval(ConfirmMs);
    connect(m_confirmTimer, &QTimer::timeout, this, &ChannelSync::confirmPaused);
    connect(m_main, &VlcQtVideoWidget::targetChanged, this, &ChannelSync::mainTarget);
    connect(m_main, &VlcQtVideoWidget::playStateChanged, this, &ChannelSync::reconcile);
    connect(m_main, &VlcQtVideoWidget::onPositionChange, this, &ChannelSync::reconcile);
    connect(m_main, &VlcQtVideoWidget::rateChanged, this, &ChannelSync::reconcile);
    connect(m_follower, &VlcQtVideoWidget::playStateChanged, this, &ChannelSync::reconcile);
    m_timer->start();
}

void ChannelSync::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    reconcile();
}

double ChannelSync::trimFor(double driftMs)
{
    if (std::abs(driftMs) <= InStepMs)
        return 1.0;
    if (driftMs > HoldBeyondMs)
        return HoldTrim;
    return qBound(1.0 - MaxTrim, 1.0 - driftMs / 1000.0, 1.0 + MaxTrim);
}

void ChannelSync::mainTarget(qint64 tripPosition)
{
    // The trip's player has chosen its next picture: the channel goes there at the same time.
    const qint64 target = m_timeline.placeAt(tripPosition).position;
    if (!m_active || target < 0 || m_follower->playState() == State::NoTrip ||
        m_follower->playState() == State::Opening)
        return;
    m_drift = 0.0;
    m_follower->setRateTrim(1.0);
    m_follower->setPosition(static_cast<int>(target));
}

void ChannelSync::reconcile()
{
    const State mainState = m_main->playState();
    if (mainState == State::NoTrip || mainState == State::Opening || m_timeline.isEmpty())
        return;
    const bool mainRuns = runs(mainState);
    const qint64 tripPosition = mainRuns ? m_main->enginePosition() : m_main->targetPosition();
    const ChannelTimeline::Place place = m_timeline.placeAt(tripPosition);
    const bool inGap = place.position < 0;
    if (inGap != m_inGap) {
        m_inGap = inGap;
        emit gapChanged(inGap, tripPosition);
    }

    const State state = m_follower->playState();
    if (state == State::NoTrip || settling(state))
        return;
    m_follower->setRate(m_main->rate());
    if (!m_active) {
        // Not shown: it stands where it is, and is put in step when shown again.
        if (runs(state))
            m_follower->play();
        return;
    }
    if (inGap) {
        if (runs(state))
            m_follower->play();
        return;
    }
    if (mainRuns) {
        follow(place, state);
        return;
    }
    m_drift = 0.0;
    m_follower->setRateTrim(1.0);
    if (runs(state)) {
        m_follower->play();
        m_follower->setPosition(static_cast<int>(place.position));
    } else if (m_follower->targetPosition() != place.position) {
        m_confirmed = -1;
        m_follower->setPosition(static_cast<int>(place.position));
    } else if (m_confirmPaused && state == State::Paused && m_confirmed != place.position &&
               !m_confirmTimer->isActive()) {
        m_confirmTimer->start();
    }
}

void ChannelSync::confirmPaused()
{
    const qint64 target = m_follower->targetPosition();
    if (m_main->playState() != State::Paused || m_follower->playState() != State::Paused ||
        m_timeline.placeAt(m_main->targetPosition()).position != target)
        return;
    m_confirmed = target;
    m_follower->setPosition(static_cast<int>(target));
}

void ChannelSync::follow(const ChannelTimeline::Place& place, State state)
{
    // Where the channel's picture would be now; before its file's first picture in a short gap.
    const qint64 due = place.position - place.waitMs;
    if (state != State::Playing) {
        // Paused, ended or stopped: a seek puts it on its picture, and it plays from there.
        if (m_follower->targetPosition() != place.position)
            m_follower->setPosition(static_cast<int>(place.position));
        if (state == State::Paused)
            m_follower->play();
        return;
    }
    const auto drift = double(m_follower->enginePosition() - due);
    if (drift < -SeekBeyondMs) {
        qCDebug(lcPlayer) << "channel" << m_timeline.channel() << "is" << -drift << "ms behind: sought";
        m_drift = 0.0;
        m_follower->setRateTrim(1.0);
        m_follower->setPosition(static_cast<int>(place.position));
        return;
    }
    // The reports behind both estimates come a few times a second: smoothed, one late report
    // does not swing the speed. Far ahead (moved on to a file whose pictures begin later), it
    // nearly stands until the trip has caught up.
    m_drift = drift > HoldBeyondMs ? drift : 0.7 * m_drift + 0.3 * drift;
    m_follower->setRateTrim(trimFor(m_drift));
}
