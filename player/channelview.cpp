#include "channelview.h"

#include "channelfollower.h"
#include "channelsync.h"
#include "channeltimeline.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

ChannelView::ChannelView(VlcQtVideoWidget* main, const ChannelTimeline& timeline, QWidget* parent)
    : QWidget(parent), m_follower(new ChannelFollower(this)),
      m_sync(new ChannelSync(main, m_follower, timeline, this)), m_stack(new QStackedWidget(this)),
      m_placeholder(new QLabel(this))
{
    setObjectName(QStringLiteral("channel_") + timeline.channel());
    m_placeholder->setObjectName(QStringLiteral("channelPlaceholder"));
    m_placeholder->setAlignment(Qt::AlignCenter);
    m_placeholder->setWordWrap(true);
    m_placeholder->setMargin(6);
    m_placeholder->setAttribute(Qt::WA_StyledBackground);
    // Light grey on the video area's near black: about 12:1.
    m_placeholder->setStyleSheet(
        QStringLiteral("QLabel { background-color: #1c1c1c; color: #e0e0e0; border: 1px solid #5a5a5a; }"));
    m_placeholder->setMinimumSize(1, 1);
    m_follower->setMinimumSize(1, 1);
    m_stack->addWidget(m_follower);
    m_stack->addWidget(m_placeholder);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_stack);

    connect(m_sync, &ChannelSync::gapChanged, this, &ChannelView::gapChanged);
    connect(m_follower, &ChannelFollower::failed, this, [this]() { gapChanged(true, -1); });
    const Trip::TripList& files = timeline.files();
    m_follower->setDelayedPictures(std::any_of(
        files.begin(), files.end(), [](const Trip::TripItem& item) { return item.pictureStart > 0; }));
    m_follower->setMedia(std::make_shared<Trip::TripList>(files));
}

QString ChannelView::channel() const
{
    return m_sync->timeline().channel();
}

bool ChannelView::showsPlaceholder() const
{
    return m_stack->currentWidget() == m_placeholder;
}

QString ChannelView::placeholderText() const
{
    return m_placeholder->text();
}

QString ChannelView::channelLabel(const QString& channel)
{
    if (channel == QLatin1String("front"))
        return tr("front");
    if (channel == QLatin1String("rear") || channel == QLatin1String("back"))
        return tr("rear");
    if (channel == QLatin1String("interior"))
        return tr("interior");
    if (channel == QLatin1String("left_repeater"))
        return tr("left side");
    if (channel == QLatin1String("right_repeater"))
        return tr("right side");
    if (channel == QLatin1String("left_pillar"))
        return tr("left pillar");
    if (channel == QLatin1String("right_pillar"))
        return tr("right pillar");
    QString word = channel;
    return word.replace(QLatin1Char('_'), QLatin1Char(' '));
}

void ChannelView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitText();
}

void ChannelView::fitText()
{
    // The largest font, up to the window's, with which the note fits: a small picture is small.
    const QString text = m_placeholder->text();
    // The note fills the view (it may not be the page shown yet), less its margin and border.
    const QRect room = rect().adjusted(8, 8, -8, -8);
    QFont font = this->font();
    const int largest = qMax(8, font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize());
    for (int size = largest; size >= 7; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(room, Qt::AlignCenter | Qt::TextWordWrap, text);
        if (room.contains(needed) || size == 7)
            break;
    }
    m_placeholder->setFont(font);
}

void ChannelView::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        updateText();
    QWidget::changeEvent(event);
}

void ChannelView::gapChanged(bool inGap, qint64 tripPosition)
{
    m_gapPosition = inGap ? tripPosition : -1;
    updateText();
    m_stack->setCurrentWidget(inGap ? static_cast<QWidget*>(m_placeholder) : m_follower);
}

QString ChannelView::clockText(qint64 instantMs, qint64 tripPosition, qint64 tripInstant, bool seconds) const
{
    const QString format = seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    if (m_clock && tripPosition >= 0) {
        const QDateTime clock = m_clock(tripPosition + (instantMs - tripInstant));
        if (clock.isValid())
            return clock.toString(format);
    }
    return QDateTime::fromMSecsSinceEpoch(instantMs, Qt::UTC).toString(format);
}

void ChannelView::updateText()
{
    const QString name = channelLabel(channel());
    if (m_gapPosition < 0) {
        m_placeholder->setText(tr("The %1 recording cannot be played").arg(name));
        fitText();
        return;
    }
    const ChannelTimeline& timeline = m_sync->timeline();
    const ChannelTimeline::Gap gap = timeline.gapAt(m_gapPosition);
    const qint64 instant = timeline.instantAt(m_gapPosition);
    // Minutes where the stretch lies on whole minutes, as a camera's one-minute files do.
    const bool seconds = gap.fromMs % 60000 != 0 || gap.toMs % 60000 != 0;
    m_placeholder->setText(tr("No %1 recording for %2–%3")
                               .arg(name, clockText(gap.fromMs, m_gapPosition, instant, seconds),
                                    clockText(gap.toMs, m_gapPosition, instant, seconds)));
    fitText();
}
