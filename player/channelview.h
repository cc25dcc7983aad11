#pragma once

#include <QDateTime>
#include <QWidget>

#include <functional>

class ChannelFollower;
class ChannelSync;
class ChannelTimeline;
class QLabel;
class QStackedWidget;
class VlcQtVideoWidget;

// One of a trip's other channels in the video area: its player, kept in step with the trip's
// own player, or a placeholder naming the stretch it did not record.
class ChannelView : public QWidget
{
    Q_OBJECT
public:
    ChannelView(VlcQtVideoWidget* main, const ChannelTimeline& timeline, QWidget* parent = nullptr);

    QString channel() const;
    ChannelFollower* follower() const { return m_follower; }
    ChannelSync* sync() const { return m_sync; }
    bool showsPlaceholder() const;
    QString placeholderText() const;

    // The clock time of a trip position, as the other views show it; the camera's own time
    // without one.
    void setClockSource(std::function<QDateTime(qint64)> source) { m_clock = std::move(source); }

    // The translated word for a channel's name ("front", "rear", "left_repeater", ...).
    static QString channelLabel(const QString& channel);

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void gapChanged(bool inGap, qint64 tripPosition);
    void updateText();
    void fitText();
    QString clockText(qint64 instantMs, qint64 tripPosition, qint64 tripInstant, bool seconds) const;

    ChannelFollower* m_follower;
    ChannelSync* m_sync;
    QStackedWidget* m_stack;
    QLabel* m_placeholder;
    std::function<QDateTime(qint64)> m_clock;
    qint64 m_gapPosition = -1;
};
