#include "compass.h"

#include "units.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace {

const QColor NorthColour(230, 40, 40);

} // namespace

Compass::Compass(QWidget* parent) : QWidget(parent)
{
    QFont f = font();
    f.setPointSize(10);
    setFont(f);
    setMinimumSize(MinimumSide + headingColumnWidth(), MinimumSide);

    // Bounding-box coordinates keep the gradient fitted to any size.
    QLinearGradient gradient(0.0, 0.0, 0.0, 1.0);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0.0, QColor(60, 60, 60));
    gradient.setColorAt(1.0, Qt::black);
    QPalette pal = palette();
    pal.setBrush(QPalette::Window, QBrush(gradient));
    setPalette(pal);
    setAutoFillBackground(true);
}

QStringList Compass::cardinalLetters()
{
    return {tr("N", "compass: north"), tr("E", "compass: east"), tr("S", "compass: south"),
            tr("W", "compass: west")};
}

QString Compass::headingText() const
{
    if (std::isnan(m_direction))
        return QStringLiteral("–°");
    // Whole degrees from 0 to 359: 359.6 reads 0°, not 360°.
    const double degrees = std::fmod(std::fmod(std::round(m_direction), 360.0) + 360.0, 360.0);
    return Units::fixed(degrees, 0) + QStringLiteral("°");
}

void Compass::set_direction(double direction)
{
    m_direction = direction;
    repaint();
}

int Compass::headingRowHeight() const
{
    return QFontInfo(font()).pixelSize() + 2;
}

int Compass::headingColumnWidth() const
{
    return QFontMetrics(font()).horizontalAdvance(QStringLiteral("359°")) + 8;
}

bool Compass::headingBeside() const
{
    return width() - headingColumnWidth() >= height() - headingRowHeight();
}

QRect Compass::roseRect() const
{
    // A wide widget puts the heading beside the rose, a tall one below it; the rose is the
    // largest square left.
    if (headingBeside()) {
        const int side = std::max(1, std::min(width() - headingColumnWidth(), height()));
        return QRect((width() - headingColumnWidth() - side) / 2, (height() - side) / 2, side, side);
    }
    const int side = std::max(1, std::min(width(), height() - headingRowHeight()));
    return QRect((width() - side) / 2, (height() - headingRowHeight() - side) / 2, side, side);
}

void Compass::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(QColor(51, 51, 51), 1));
    painter.drawLine(0, 0, width(), 0);
    painter.drawLine(width(), 0, width(), height());
    painter.drawLine(0, 0, 0, height());
    paint_circle(painter);
    paint_needle(painter);
    paint_heading(painter);
}

void Compass::paint_circle(QPainter& painter)
{
    const QRect rose = roseRect();
    // Letters sit on the circle, inside the square.
    const int f = std::clamp(rose.width() / 5, 8, QFontInfo(font()).pixelSize());
    QFont letters = font();
    letters.setPixelSize(f);
    letters.setBold(true);
    painter.setFont(letters);
    const QPointF c = QRectF(rose).center();
    const double radius = rose.width() / 2.0 - f / 2.0 - 1.0;

    // The circle in four arcs that leave room for the letters.
    painter.setPen(QPen(QColor(110, 110, 110), 1));
    painter.setBrush(Qt::NoBrush);
    const double gap = std::asin(std::min(1.0, 0.75 * f / std::max(radius, 1.0))) * 180.0 / M_PI;
    const QRectF circle(c.x() - radius, c.y() - radius, 2 * radius, 2 * radius);
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double start = quarter * 90.0 + gap;
        painter.drawArc(circle, int(std::lround(start * 16)), int(std::lround((90.0 - 2 * gap) * 16)));
    }

    const QStringList names = cardinalLetters();
    const QPointF offsets[4] = {{0, -radius}, {radius, 0}, {0, radius}, {-radius, 0}};
    for (int i = 0; i < 4; ++i) {
        const QPointF at = c + offsets[i];
        const QRectF box(at.x() - f, at.y() - f / 2.0, 2.0 * f, f);
        painter.setPen(i == 0 ? NorthColour : Qt::white);
        painter.drawText(box, Qt::AlignCenter, names[i]);
    }
}

void Compass::paint_needle(QPainter& painter)
{
    if (std::isnan(m_direction))
        return;
    const QRect rose = roseRect();
    const int f = std::clamp(rose.width() / 5, 8, QFontInfo(font()).pixelSize());
    const QPointF c = QRectF(rose).center();
    const double length = rose.width() / 2.0 - f - 2.0;
    const double half = std::max(2.0, length * 0.22);

    painter.save();
    painter.translate(c);
    // Clockwise on screen: 0 points up (north), 90 right (east).
    painter.rotate(m_direction);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(NorthColour);
    painter.drawPolygon(QPolygonF({QPointF(0, -length), QPointF(half, 0), QPointF(-half, 0)}));
    painter.setBrush(Qt::white);
    painter.drawPolygon(QPolygonF({QPointF(0, length), QPointF(half, 0), QPointF(-half, 0)}));
    painter.setBrush(QColor(60, 60, 60));
    painter.drawEllipse(QPointF(0, 0), half * 0.45, half * 0.45);
    painter.restore();
}

void Compass::paint_heading(QPainter& painter)
{
    painter.setFont(font());
    painter.setPen(Qt::white);
    const QRect rose = roseRect();
    if (headingBeside()) {
        painter.drawText(QRect(rose.right() + 1, 0, width() - rose.right() - 1, height()), Qt::AlignCenter,
                         headingText());
    } else {
        const int row = headingRowHeight();
        painter.drawText(QRect(0, height() - row - 1, width(), row), Qt::AlignCenter, headingText());
    }
}

void Compass::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        update();
    QWidget::changeEvent(event);
}
