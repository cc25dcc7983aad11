#include "panelicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const int Size = 64;

QIcon drawn(const std::function<void(QPainter&)>& draw)
{
    QIcon icon;
    for (const QColor& colour : {QColor(Qt::white), QColor(120, 120, 120)}) {
        QPixmap pixmap(Size, Size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(colour, 5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(colour);
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap, colour == Qt::white ? QIcon::Normal : QIcon::Disabled);
    }
    return icon;
}

// A bracket with a triangle pointing into the range it opens or closes.
void bracket(QPainter& painter, bool opening)
{
    const int x = opening ? 14 : Size - 14;
    const int foot = opening ? 12 : -12;
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(
        QPolygon({QPoint(x + foot, 10), QPoint(x, 10), QPoint(x, 54), QPoint(x + foot, 54)}));
    painter.setBrush(painter.pen().color());
    const int tip = opening ? 50 : 14;
    const int base = opening ? 30 : 34;
    painter.drawPolygon(QPolygon({QPoint(base, 20), QPoint(tip, 32), QPoint(base, 44)}));
}

} // namespace

namespace PanelIcons {

QIcon inPoint()
{
    return drawn([](QPainter& painter) { bracket(painter, true); });
}

QIcon outPoint()
{
    return drawn([](QPainter& painter) { bracket(painter, false); });
}

QIcon snapshot()
{
    return drawn([](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRect(8, 18, 48, 34), 5, 5);
        painter.drawRect(QRect(22, 11, 20, 7));
        painter.drawEllipse(QPoint(32, 35), 10, 10);
    });
}

QIcon exportClip()
{
    return drawn([](QPainter& painter) {
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygon({QPoint(10, 30), QPoint(10, 54), QPoint(54, 54), QPoint(54, 30)}));
        painter.drawLine(32, 42, 32, 10);
        painter.setBrush(painter.pen().color());
        painter.drawPolygon(QPolygon({QPoint(20, 20), QPoint(32, 6), QPoint(44, 20)}));
    });
}

} // namespace PanelIcons
