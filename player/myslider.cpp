#include "myslider.h"

#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>

MySlider::MySlider(QWidget* parent) : MySlider(Qt::Horizontal, parent) {}

MySlider::MySlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent)
{
    installEventFilter(this);
}

bool MySlider::positionToValue(int pos, qint64& value) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const bool horizontal = orientation() == Qt::Horizontal;
    const int first = horizontal ? groove.left() : groove.top();
    const int last = horizontal ? groove.right() : groove.bottom();
    const int extent = horizontal ? width() : height();
    if (pos < first || pos > last) {
        return false;
    }
    const int margin = ((extent - 1) - (last - first)) / 2;
    value = QStyle::sliderValueFromPosition(minimum(), maximum(), pos - margin, last - first + 1, false);
    if (invertedAppearance()) {
        value = maximum() - value;
    }
    return true;
}

bool MySlider::eventFilter(QObject* obj, QEvent* event)
{
    return obj == this && event->type() == QEvent::Wheel;
}

void MySlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QSlider::mousePressEvent(event);
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const bool horizontal = orientation() == Qt::Horizontal;
    const double half = (horizontal ? handle.width() : handle.height()) * 0.5 + 0.5;
    const int extent = horizontal ? width() : height();
    int pos = qRound(horizontal ? event->localPos().x() : event->localPos().y());
    pos = qMin(qMax(pos, static_cast<int>(half)), static_cast<int>(extent - half));
    const double ratio = (pos - half) / (extent - 2 * half);
    const int value = static_cast<int>(minimum() + (maximum() - minimum()) * ratio);
    setValue(invertedAppearance() ? maximum() - value : value);
    event->accept();
}

void MySlider::mouseMoveEvent(QMouseEvent* event)
{
    if (event->type() == QEvent::MouseMove && isActiveWindow()) {
        const QPointF local = event->localPos();
        const int pos = qRound(orientation() == Qt::Horizontal ? local.x() : local.y());
        qint64 value = 0;
        if (positionToValue(pos, value)) {
            QToolTip::showText(event->globalPos(), valueText(value), this, QRect(), 5000);
        } else {
            QToolTip::hideText();
        }
    }
    event->ignore();
    // Not the slider's own handling: the handle is never dragged.
    QWidget::mouseMoveEvent(event); // NOLINT(bugprone-parent-virtual-call): skipping QSlider's
}

QString MySlider::valueText(qint64 value) const
{
    return QString::number(value);
}
