#include "design.h"

#include <QLinearGradient>
#include <QMainWindow>
#include <QPainter>
#include <QPixmap>

namespace Design {

void ApplyFixedSizeGradientForBackground(QMainWindow* window)
{
    if (!window || window->width() <= 0) {
        return;
    }
    QPixmap background(window->width(), 1000);
    {
        QPainter painter(&background);
        QLinearGradient gradient(1, 1, 1, 0);
        gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
        gradient.setColorAt(0.0, Qt::black);
        gradient.setColorAt(0.7, QColor(46, 46, 46));
        gradient.setColorAt(1.0, Qt::black);
        painter.fillRect(background.rect(), gradient);
    }

    // setPalette returns early when nothing changes, so repeating this on every paint is cheap.
    QPalette palette = window->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::black));
    window->setPalette(palette);
    window->setAutoFillBackground(true);

    QPainter painter(window);
    painter.drawPixmap(window->rect(), background);
}

} // namespace Design
