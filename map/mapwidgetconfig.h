#pragma once

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QObject>
#include <QPen>
#include <QPixmap>

// The look of the map: pens of the route kinds, marker images and the attribution text.
class MapWidgetConfig : public QObject
{
    Q_OBJECT

public:
    explicit MapWidgetConfig(QObject* parent = nullptr);

    // The vehicle marker, 24 × 24.
    const QPixmap& hotSpotImage() const { return m_hotSpotImage; }
    // The beginning and end markers, 32 × 32.
    const QPixmap& pinImage() const { return m_pinImage; }

    static const QColor inactiveRouteColor;
    static const QColor activeRouteColor;
    static const QColor eventRouteColor;
    static const QColor lostRouteColor;
    static const QColor longNmeaGapColor;

    static const QBrush inactiveRouteBrush;
    static const QBrush activeRouteBrush;
    static const QBrush eventRouteBrush;
    static const QBrush lostRouteBrush;
    static const QBrush longNmeaGapBrush;

    static const QPen inactiveRoutePen;
    static const QPen activeRoutePen;
    static const QPen eventRoutePen;
    static const QPen lostRoutePen;
    static const QPen lostActiveRoutePen;
    static const QPen lostInactiveRoutePen;
    static const QPen longNmeaGapPen;

    // Rich text, UTF-8.
    static const QByteArray copyrightsText;

private:
    QPixmap m_hotSpotImage;
    QPixmap m_pinImage;
};
