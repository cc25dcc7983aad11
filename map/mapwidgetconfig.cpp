#include "mapwidgetconfig.h"

#include <QGuiApplication>

namespace {

QPen routePen(const QBrush& brush, Qt::PenStyle style)
{
    return QPen(brush, 5, style, Qt::SquareCap, Qt::BevelJoin);
}

// The image at `size` logical pixels, with as many device pixels as the sharpest screen shows.
QPixmap scaledImage(const QString& path, int size)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int side = qRound(size * ratio);
    QPixmap pixmap = QPixmap(path).scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    return pixmap;
}

} // namespace

// Defined in this order on purpose: the brushes are made from the colours, the pens from the brushes.
const QColor MapWidgetConfig::inactiveRouteColor(102, 102, 102, 127);
const QColor MapWidgetConfig::activeRouteColor(0, 172, 239, 127);
const QColor MapWidgetConfig::eventRouteColor(255, 0, 0, 127);
const QColor MapWidgetConfig::lostRouteColor(255, 0, 0, 127);
const QColor MapWidgetConfig::longNmeaGapColor(102, 102, 102, 127);

const QBrush MapWidgetConfig::inactiveRouteBrush(inactiveRouteColor, Qt::SolidPattern);
const QBrush MapWidgetConfig::activeRouteBrush(activeRouteColor, Qt::SolidPattern);
const QBrush MapWidgetConfig::eventRouteBrush(eventRouteColor, Qt::SolidPattern);
const QBrush MapWidgetConfig::lostRouteBrush(lostRouteColor, Qt::SolidPattern);
const QBrush MapWidgetConfig::longNmeaGapBrush(longNmeaGapColor, Qt::SolidPattern);

const QPen MapWidgetConfig::inactiveRoutePen = routePen(inactiveRouteBrush, Qt::SolidLine);
const QPen MapWidgetConfig::activeRoutePen = routePen(activeRouteBrush, Qt::SolidLine);
const QPen MapWidgetConfig::eventRoutePen = routePen(eventRouteBrush, Qt::SolidLine);
const QPen MapWidgetConfig::lostRoutePen = routePen(lostRouteBrush, Qt::DotLine);
const QPen MapWidgetConfig::lostActiveRoutePen = routePen(activeRouteBrush, Qt::DotLine);
const QPen MapWidgetConfig::lostInactiveRoutePen = routePen(inactiveRouteBrush, Qt::DotLine);
const QPen MapWidgetConfig::longNmeaGapPen = routePen(longNmeaGapBrush, Qt::DotLine);

const QByteArray MapWidgetConfig::copyrightsText(
    "\xc2\xa9 <a href=\"https://www.openstreetmap.org/copyright\">OpenStreetMap</a> contributors, "
    "<a href=\"https://opendatacommons.org/licenses/odbl/\">ODbL</a>");

MapWidgetConfig::MapWidgetConfig(QObject* parent)
    : QObject(parent),
      m_hotSpotImage(scaledImage(QStringLiteral(":/resources/images/440_hot_spot_cyan.png"), 24)),
      m_pinImage(scaledImage(QStringLiteral(":/resources/images/440_pin_general.png"), 32))
{}
