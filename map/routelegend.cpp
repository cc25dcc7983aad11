#include "routelegend.h"

#include "mapwidgetconfig.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>

namespace {

constexpr int Padding = 6;
constexpr int SampleWidth = 28;
constexpr int Gap = 6;
const QColor Background(255, 255, 255, 200);
const QColor Border(102, 102, 102, 84);
const QColor Text(0x2e, 0x2e, 0x2e);

} // namespace

RouteLegend::RouteLegend(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("routeLegend"));
    // The map under the legend stays usable: clicks, drags and tooltips go through.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
}

QString RouteLegend::label(Row row)
{
    switch (row) {
    case Driven:
        return tr("Driven");
    case Ahead:
        return tr("Ahead");
    case Event:
        return tr("Event");
    case NoFix:
        return tr("No GPS fix");
    case BridgedGap:
    case RowCount:
        break;
    }
    return tr("Bridged gap");
}

int RouteLegend::rowHeight() const
{
    return std::max(fontMetrics().height(), 12);
}

QRect RouteLegend::sampleRect(Row row) const
{
    return {Padding, Padding + int(row) * rowHeight(), SampleWidth, rowHeight()};
}

QSize RouteLegend::sizeHint() const
{
    int text = 0;
    for (int row = 0; row < RowCount; ++row)
        text = std::max(text, fontMetrics().horizontalAdvance(label(Row(row))));
    return {2 * Padding + SampleWidth + Gap + text, 2 * Padding + RowCount * rowHeight()};
}

void RouteLegend::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Border);
    painter.setBrush(Background);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);

    for (int row = 0; row < RowCount; ++row) {
        const QRect sample = sampleRect(Row(row));
        const int y = sample.center().y();
        const int left = sample.left() + 3;
        const int right = sample.right() - 3;
        painter.setBrush(Qt::NoBrush);
        switch (Row(row)) {
        case Driven:
            painter.setPen(MapWidgetConfig::activeRoutePen);
            painter.drawLine(left, y, right, y);
            break;
        case Ahead:
            painter.setPen(MapWidgetConfig::inactiveRoutePen);
            painter.drawLine(left, y, right, y);
            break;
        case Event:
            painter.setPen(MapWidgetConfig::eventRoutePen);
            painter.drawLine(left, y, right, y);
            break;
        case NoFix: {
            // Dotted, driven and ahead alike.
            const int middle = (left + right) / 2;
            painter.setPen(MapWidgetConfig::lostActiveRoutePen);
            painter.drawLine(left, y, middle, y);
            painter.setPen(MapWidgetConfig::lostInactiveRoutePen);
            painter.drawLine(middle + 5, y, right, y);
            break;
        }
        case BridgedGap:
            // Single points, one per second of the gap.
            painter.setPen(MapWidgetConfig::longNmeaGapPen);
            for (int x = left; x <= right; x += 9)
                painter.drawPoint(x, y);
            break;
        case RowCount:
            break;
        }
        painter.setPen(Text);
        const QRect text(sample.right() + Gap, sample.top(), width() - sample.right() - Gap - Padding,
                         sample.height());
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, label(Row(row)));
    }
}

void RouteLegend::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
    QWidget::changeEvent(event);
}
