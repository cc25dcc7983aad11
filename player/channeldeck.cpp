#include "channeldeck.h"

#include "channelfollower.h"
#include "channelsync.h"
#include "channeltimeline.h"
#include "channelview.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QMouseEvent>

#include <cmath>

namespace {

const int ClickSlop = 4;

} // namespace

ChannelDeck::ChannelDeck(VlcQtVideoWidget* main, QWidget* parent) : QWidget(parent), m_main(main)
{
    setObjectName(QStringLiteral("channelDeck"));
    m_main->setParent(this);
    m_main->installEventFilter(this);
    setMinimumSize(m_main->minimumSize());
    setSizePolicy(m_main->sizePolicy());
    m_main->setMinimumSize(1, 1);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("ChannelDeck { background-color: black; }"));
    m_layout = layoutFromKey(ZelSettings::value(ZelSettings::ChannelLayout).toString());
    m_wantedLarge = ZelSettings::value(ZelSettings::LargeChannel).toString();
}

QSize ChannelDeck::sizeHint() const
{
    return m_main->sizeHint();
}

QSize ChannelDeck::minimumSizeHint() const
{
    return minimumSize();
}

QString ChannelDeck::layoutKey(Layout layout)
{
    switch (layout) {
    case Layout::SideBySide:
        return QStringLiteral("side");
    case Layout::MainOnly:
        return QStringLiteral("main");
    case Layout::PictureInPicture:
        break;
    }
    return QStringLiteral("pip");
}

ChannelDeck::Layout ChannelDeck::layoutFromKey(const QString& key)
{
    if (key == QLatin1String("side"))
        return Layout::SideBySide;
    if (key == QLatin1String("main"))
        return Layout::MainOnly;
    return Layout::PictureInPicture;
}

void ChannelDeck::setClockSource(std::function<QDateTime(qint64)> source)
{
    m_clock = std::move(source);
    for (ChannelView* view : m_views)
        view->setClockSource(m_clock);
}

QString ChannelDeck::largeChannel() const
{
    if (m_channels.isEmpty())
        return QString();
    return m_channels.contains(m_wantedLarge) ? m_wantedLarge : m_channels.first();
}

QStringList ChannelDeck::shownChannels() const
{
    if (m_channels.isEmpty())
        return {};
    const QString large = largeChannel();
    if (m_layout == Layout::MainOnly)
        return {large};
    QStringList shown{large};
    for (const QString& channel : m_channels) {
        if (channel != large)
            shown << channel;
    }
    return shown;
}

ChannelView* ChannelDeck::view(const QString& channel) const
{
    for (ChannelView* view : m_views) {
        if (view->channel() == channel)
            return view;
    }
    return nullptr;
}

QWidget* ChannelDeck::channelWidget(const QString& channel) const
{
    if (m_channels.isEmpty() || channel == m_channels.first())
        return m_main;
    return view(channel);
}

QString ChannelDeck::channelOf(const QObject* widget) const
{
    if (widget == m_main)
        return m_channels.value(0);
    for (ChannelView* view : m_views) {
        if (view == widget || view->follower() == widget)
            return view->channel();
    }
    return QString();
}

void ChannelDeck::clearViews()
{
    for (ChannelView* view : m_views) {
        view->hide();
        view->deleteLater();
    }
    m_views.clear();
    m_channels.clear();
}

void ChannelDeck::setMedia(std::shared_ptr<Trip::TripList> list)
{
    clearViews();
    if (list)
        m_channels = ChannelTimeline::channelsOf(*list);
    for (int i = 1; i < m_channels.size(); ++i) {
        auto* view = new ChannelView(m_main, ChannelTimeline(*list, m_channels[i]), this);
        view->setClockSource(m_clock);
        view->follower()->installEventFilter(this);
        view->installEventFilter(this);
        m_views.push_back(view);
    }
    arrange();
}

void ChannelDeck::setChannelLayout(Layout layout)
{
    if (layout == m_layout)
        return;
    m_layout = layout;
    ZelSettings::setValue(ZelSettings::ChannelLayout, layoutKey(layout));
    arrange();
    emit channelLayoutChanged(layout);
}

void ChannelDeck::cycleLayout()
{
    switch (m_layout) {
    case Layout::PictureInPicture:
        setChannelLayout(Layout::SideBySide);
        break;
    case Layout::SideBySide:
        setChannelLayout(Layout::MainOnly);
        break;
    case Layout::MainOnly:
        setChannelLayout(Layout::PictureInPicture);
        break;
    }
}

void ChannelDeck::setLargeChannel(const QString& channel)
{
    if (!m_channels.contains(channel) || channel == largeChannel())
        return;
    m_wantedLarge = channel;
    ZelSettings::setValue(ZelSettings::LargeChannel, channel);
    arrange();
    emit largeChannelChanged(channel);
}

void ChannelDeck::cycleLargeChannel()
{
    if (m_channels.size() < 2)
        return;
    const int at = m_channels.indexOf(largeChannel());
    setLargeChannel(m_channels[(at + 1) % m_channels.size()]);
}

void ChannelDeck::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    arrange();
}

void ChannelDeck::arrange()
{
    const QRect area = rect();
    if (m_channels.isEmpty()) {
        m_main->setToolTip(QString());
        m_main->setGeometry(area);
        m_main->show();
        return;
    }
    // Which camera a picture shows, where the pictures do not say.
    for (const QString& channel : qAsConst(m_channels)) {
        channelWidget(channel)->setToolTip(
            channel == largeChannel() ? ChannelView::channelLabel(channel)
                                      : tr("%1 (click: show large)").arg(ChannelView::channelLabel(channel)));
    }
    const QStringList order = shownChannels();
    std::vector<QWidget*> shown;
    for (const QString& channel : order)
        shown.push_back(channelWidget(channel));
    for (const QString& channel : m_channels) {
        QWidget* widget = channelWidget(channel);
        const bool visible = order.contains(channel);
        widget->setVisible(visible);
        if (ChannelView* other = view(channel))
            other->sync()->setActive(visible);
    }

    if (m_layout == Layout::SideBySide) {
        const int count = int(shown.size());
        const int columns = count <= 2 ? count : (count <= 4 ? 2 : 3);
        const int rows = (count + columns - 1) / columns;
        const int width = area.width() / columns;
        const int height = area.height() / rows;
        for (int i = 0; i < count; ++i) {
            const int row = i / columns;
            const int column = i % columns;
            // The last cell of a row takes the pixels the division left over.
            const int cellWidth = column == columns - 1 ? area.width() - column * width : width;
            const int cellHeight = row == rows - 1 ? area.height() - row * height : height;
            shown[std::size_t(i)]->setGeometry(column * width, row * height, cellWidth, cellHeight);
        }
        return;
    }

    shown.front()->setGeometry(area);
    shown.front()->lower();
    // Small pictures in the lower right corner, stacked upwards, each of the video's shape.
    const int smallWidth = qMax(64, int(std::lround(area.width() * SmallShare)));
    const int smallHeight = smallWidth * 9 / 16;
    int bottom = area.height() - Margin;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        shown[i]->setGeometry(area.width() - Margin - smallWidth, bottom - smallHeight, smallWidth,
                              smallHeight);
        shown[i]->raise();
        bottom -= smallHeight + Margin;
    }
    if (m_ownOnTop)
        m_main->raise();
}

void ChannelDeck::setOwnOnTop(bool onTop)
{
    m_ownOnTop = onTop;
    arrange();
}

bool ChannelDeck::eventFilter(QObject* watched, QEvent* event)
{
    if (m_channels.isEmpty() ||
        (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease))
        return QWidget::eventFilter(watched, event);
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton)
        return QWidget::eventFilter(watched, event);
    const QString channel = channelOf(watched);
    const bool large = channel == largeChannel();
    if (event->type() == QEvent::MouseButtonPress) {
        m_pressAt = mouse->globalPos();
        m_pressed = true;
        // The large picture keeps what a press does on the trip's own player (the window's drag).
        return !large;
    }
    const bool click = m_pressed && (mouse->globalPos() - m_pressAt).manhattanLength() <= ClickSlop;
    m_pressed = false;
    if (!large) {
        if (click && m_layout != Layout::MainOnly)
            setLargeChannel(channel);
        return true;
    }
    if (watched != m_main) {
        // Another channel shown large plays and pauses the trip as the trip's own picture does.
        if (click)
            m_main->play();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
