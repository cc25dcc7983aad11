#include "positionslider.h"

#include "duration.h"
#include "fullscreenstate.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

const QColor PlayedColour(0, 173, 239);

void drawMarker(QPainter& painter, const QColor& colour, int x, int top, int bottom)
{
    QPen pen(colour);
    pen.setStyle(Qt::DotLine);
    pen.setCosmetic(true);
    painter.setPen(pen);
    painter.drawLine(x, top, x, bottom);
}

} // namespace

PositionSlider::PositionSlider(QWidget* parent) : MySlider(parent) {}

PositionSlider::PositionSlider(Qt::Orientation orientation, QWidget* parent) : MySlider(orientation, parent)
{}

void PositionSlider::setRangeColours(QList<RangeColour>& list)
{
    m_ranges = list;
}

void PositionSlider::clearRangeColours()
{
    m_ranges.clear();
}

QString PositionSlider::valueText(qint64 value) const
{
    return Duration(value).toString();
}

void PositionSlider::paintEvent(QPaintEvent* event)
{
    QSlider::paintEvent(event);

    QPainter painter(this);
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const bool fullScreen = windowIsFullScreen(this);
    const qint64 maximum = this->maximum();
    const qint64 position = sliderPosition();
    const int markerTop = height() / 2;

    if (maximum >= 1 && position != 0 && position <= maximum) {
        const auto px = static_cast<int>(static_cast<qint64>(width() - 32) * position / maximum);
        painter.fillRect(QRect(QPoint(16, groove.top()), QPoint(px + 15, groove.bottom())), PlayedColour);
        if (!fullScreen) {
            drawMarker(painter, PlayedColour, px + 16, markerTop, height());
        }
    }

    if (maximum >= 1 && !m_ranges.isEmpty()) {
        const qint64 grooveWidth = groove.right() - groove.left() + 1;
        for (const RangeColour& range : qAsConst(m_ranges)) {
            if (range.start >= range.end) {
                continue;
            }
            const auto x1 = static_cast<int>(groove.left() + range.start * grooveWidth / maximum);
            const auto x2 = static_cast<int>(groove.left() + range.end * grooveWidth / maximum);
            painter.fillRect(QRect(QPoint(x1, groove.top()), QPoint(x2, groove.bottom())), range.brush);
            if (range.isEvent && !fullScreen) {
                drawMarker(painter, Qt::red, x1, markerTop, height());
                drawMarker(painter, Qt::red, x2, markerTop, height());
            }
        }
    }

    option.subControls = QStyle::SC_SliderHandle;
    style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
}
