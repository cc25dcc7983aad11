#pragma once

#include "tripitem.h"

#include <QDateTime>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class ChannelView;
class VlcQtVideoWidget;

// The video area: the trip's own player and, for a trip of several channels, one view per
// other channel, all on the trip's one timeline. One channel is shown large; the others as
// small pictures over its lower right corner, side by side with it in a grid, or not at all.
// A click on a small picture shows that channel large. The layout and the large channel hold
// from trip to trip and are kept in the settings.
class ChannelDeck : public QWidget
{
    Q_OBJECT
public:
    enum class Layout
    {
        PictureInPicture,
        SideBySide,
        MainOnly
    };
    Q_ENUM(Layout)

    // Small pictures take this share of the area's width.
    static constexpr double SmallShare = 0.25;
    static const int Margin = 8;

    ChannelDeck(VlcQtVideoWidget* main, QWidget* parent = nullptr);

    Layout channelLayout() const { return m_layout; }
    // The trip's channels, its own first; empty for a trip of one channel.
    QStringList channels() const { return m_channels; }
    // The channel shown large (the trip's own when it has no other).
    QString largeChannel() const;
    // The channels on screen, the large one first.
    QStringList shownChannels() const;
    // The widget showing a channel (the trip's own player for its own channel); null if none.
    QWidget* channelWidget(const QString& channel) const;
    ChannelView* view(const QString& channel) const;

    void setClockSource(std::function<QDateTime(qint64)> source);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static QString layoutKey(Layout layout);
    static Layout layoutFromKey(const QString& key);

public slots:
    void setMedia(std::shared_ptr<Trip::TripList> list);
    void setChannelLayout(ChannelDeck::Layout layout);
    void cycleLayout();
    void setLargeChannel(const QString& channel);
    void cycleLargeChannel();
    // Puts the trip's own picture above the small pictures, while something is drawn on it.
    void setOwnOnTop(bool onTop);

signals:
    void channelLayoutChanged(ChannelDeck::Layout layout);
    void largeChannelChanged(const QString& channel);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void arrange();
    QString channelOf(const QObject* widget) const;
    void clearViews();

    VlcQtVideoWidget* m_main;
    std::vector<ChannelView*> m_views;
    QStringList m_channels;
    bool m_ownOnTop = false;
    Layout m_layout = Layout::PictureInPicture;
    // The user's choice; shown when the trip has that channel.
    QString m_wantedLarge;
    std::function<QDateTime(qint64)> m_clock;
    QPoint m_pressAt;
    bool m_pressed = false;
};
