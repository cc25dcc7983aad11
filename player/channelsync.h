#pragma once

#include "channeltimeline.h"
#include "vlcqtvideowidget.h"

#include <QObject>

class QTimer;

// Keeps one of a trip's other channels on the instant the trip's own player shows. Paused, the
// channel is sought to that instant whenever the trip's player chooses a new picture (a seek,
// a step, a pause), at the same time as the trip's player, not after it. Playing, both run on
// the engine's clocks, and the channel's speed is trimmed by a few percent where its picture
// runs early or late, so that it catches up without a jump; only a channel far off is sought.
class ChannelSync : public QObject
{
    Q_OBJECT
public:
    // Differences up to this are left alone: well under a frame at 25 or 30 frames a second.
    static const int InStepMs = 12;
    // Further behind than this, the channel is sought instead of trimmed; further ahead, it
    // nearly stands (HoldTrim) until the trip has caught up.
    static const int SeekBeyondMs = 400;
    static const int HoldBeyondMs = 150;
    static constexpr double HoldTrim = 0.1;
    // The largest change of speed a trim makes.
    static constexpr double MaxTrim = 0.25;

    ChannelSync(VlcQtVideoWidget* main, VlcQtVideoWidget* follower, ChannelTimeline timeline,
                QObject* parent = nullptr);

    // Paused seeks of the channel start its file anew (see VlcQtVideoWidget::setReopenPausedSeeks).
    void setConfirmPausedSeeks(bool confirm) { m_confirmPaused = confirm; }

    const ChannelTimeline& timeline() const { return m_timeline; }
    VlcQtVideoWidget* follower() const { return m_follower; }
    // A channel not shown stands still until it is shown again.
    void setActive(bool active);
    // The speed factor that brings a channel `driftMs` ahead (positive) or behind back in step
    // within about a second.
    static double trimFor(double driftMs);

signals:
    // The trip's instant lies in a stretch without this channel's recording (or no longer).
    void gapChanged(bool inGap, qint64 tripPosition);

public slots:
    void reconcile();

private:
    void mainTarget(qint64 tripPosition);
    void follow(const ChannelTimeline::Place& place, VlcQtVideoWidget::PlayState state);

    // A channel whose paused seeks start its file anew is sought once more a moment after its
    // picture came: on a loaded machine the first start can stop short of the picture.
    void confirmPaused();

    VlcQtVideoWidget* m_main;
    VlcQtVideoWidget* m_follower;
    ChannelTimeline m_timeline;
    QTimer* m_timer;
    bool m_active = true;
    bool m_inGap = false;
    bool m_confirmPaused = false;
    double m_drift = 0.0;
    QTimer* m_confirmTimer = nullptr;
    qint64 m_confirmed = -1;
};
