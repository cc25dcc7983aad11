#include "positionslider.h"

#include "duration.h"
#include "fullscreenstate.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

namespace {

const QColor PlayedColour(0, 173, 239);
const QColor MarkColour(255, 196, 0);

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

void PositionSlider::setMarks(qint64 in, qint64 out)
{
    m_in = in;
    m_out = out;
    update();
}

int PositionSlider::xForValue(qint64 value) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const qint64 maximum = qMax(1, this->maximum());
    const qint64 grooveWidth = groove.right() - groove.left() + 1;
    return static_cast<int>(groove.left() + qBound<qint64>(0, value, maximum) * grooveWidth / maximum);
}

void PositionSlider::paintMarks(QPainter& painter, const QRect& groove)
{
    if (maximum() < 1 || (m_in < 0 && m_out < 0)) {
        return;
    }
    // The chosen range as a band above the groove, each end as a bracket over the full height.
    const int from = xForValue(m_in < 0 ? 0 : m_in);
    const int to = xForValue(m_out < 0 ? maximum() : m_out);
    QColor band = MarkColour;
    band.setAlpha(110);
    painter.fillRect(QRect(QPoint(from, 0), QPoint(to, groove.top() - 1)), band);
    painter.setPen(QPen(MarkColour, 2));
    const int foot = 4;
    if (m_in >= 0) {
        painter.drawLine(from, 0, from, height() - 1);
        painter.drawLine(from, 1, from + foot, 1);
        painter.drawLine(from, height() - 2, from + foot, height() - 2);
    }
    if (m_out >= 0) {
        painter.drawLine(to, 0, to, height() - 1);
        painter.drawLine(to - foot, 1, to, 1);
        painter.drawLine(to - foot, height() - 2, to, height() - 2);
    }
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
    // Over the handle: a point set where the playhead stands stays visible.
    paintMarks(painter, groove);
}
