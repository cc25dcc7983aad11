#include "compass.h"

#include <QFontInfo>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

Compass::Compass(QWidget* parent) : QWidget(parent)
{
    QFont f = font();
    f.setPointSize(10);
    setFont(f);

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

void Compass::set_direction(double direction)
{
    m_direction = direction;
    repaint();
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
}

void Compass::paint_circle(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const int d = static_cast<int>(std::min(w, h) * m_circleRatio);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse((w - d) / 2, (h - d) / 2, d, d);

    const int f = QFontInfo(painter.font()).pixelSize();
    auto letter = [&](int x, int y, const QString& text) {
        painter.drawText(QRect(x, y, f, f), Qt::AlignCenter, text);
    };
    painter.setPen(Qt::white);
    letter((w - d) / 2 - f / 2, h / 2 - f / 2, QStringLiteral("W"));
    letter(w - (w - d) / 2 - f / 2, h / 2 - f / 2, QStringLiteral("E"));
    letter(w / 2 - f / 2, (h - d) / 2 - f / 2, QStringLiteral("N"));
    // Mirrors "N" about the centre, so "S" stays on the circle in a tall widget as well.
    letter(w / 2 - f / 2, h - (h - d) / 2 - f / 2, QStringLiteral("S"));
}

void Compass::paint_needle(QPainter& painter)
{
    const double r = std::min(width(), height()) * m_needleLength * 0.5;
    const double halfWidth = m_needleWidth * r;
    const int cx = width() / 2;
    const int cy = height() / 2;
    const int tip = static_cast<int>(r);
    const int tail = static_cast<int>(m_needleTail * r);
    const int side = static_cast<int>(halfWidth);

    painter.save();
    // The needle is drawn along the x axis with its tip at -r; a quarter turn more points it north.
    painter.translate(cx, cy);
    painter.rotate(m_direction + 90.0);
    painter.translate(-cx, -cy);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::white);

    QPainterPath path;
    for (int sign : {1, -1}) {
        path.moveTo(cx, cy);
        path.lineTo(cx - tip, cy);
        path.lineTo(cx + tail, cy + sign * side);
        path.lineTo(cx + tip, cy);
        path.closeSubpath();
    }
    painter.drawPath(path);
    painter.restore();
}
