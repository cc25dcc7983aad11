#pragma once

#include "tripclock.h"

#include <QCoreApplication>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <functional>

// What an overlay export burns into the picture at a trip position: a band along the bottom
// with date and clock time (after the clock offset), speed, coordinates and heading, or "no
// data" where a second has none; optionally a small route map and a strip of the last minute's
// speed and acceleration above it. Each is an opaque panel: light text and lines on dark.
// Texts follow the display locale and the speed unit of Units.
class OverlayPainter
{
    Q_DECLARE_TR_FUNCTIONS(OverlayPainter)
public:
    enum Item
    {
        Band = 0x1,
        Map = 0x2,
        Graph = 0x4
    };

    // A panel and the picture that goes there; `key` changes when the picture does.
    struct Panel
    {
        QRect rect;
        QImage image;
        QString key;
    };

    OverlayPainter(Trip::TripList trip, PositionsPtr positions, qint64 clockOffsetSeconds);

    void setItems(int items) { m_items = items; }
    // Where the route map finds its tiles: (zoom, x, y) to a 256-pixel tile, null when there is
    // none. Without it, or where a tile is missing, the map shows the route alone.
    using TileSource = std::function<QImage(int zoom, int x, int y)>;
    void setTileSource(TileSource source)
    {
        m_tiles = std::move(source);
        m_mapBackground = QImage();
    }
    int items() const { return m_items; }
    // "band,map,graph" or any of them; false for an unknown word.
    static bool parseItems(const QString& text, int& items);

    // Height of the band on a picture `pictureHeight` pixels high: 36 at 1080 lines, scaled
    // with the picture, never below 20; even, for pictures with half-height colour planes.
    static int bandHeight(int pictureHeight);
    // How far the chosen panels reach up from the bottom at the right, where the small pictures
    // of other channels go: the band and the route map.
    int reservedHeight(const QSize& picture) const;
    // The band's text at a trip position.
    QString bandText(qint64 positionMs) const;
    // The band with `text` for a picture `width` pixels wide.
    static QImage renderBand(const QString& text, int width, int height);

    // The panels of the chosen items at a trip position on a picture of `picture` size, with
    // even sizes and places. The picture is only drawn when its key differs from `knownKeys`'
    // entry for the panel; otherwise it is left null.
    QVector<Panel> panels(qint64 positionMs, const QSize& picture, const QStringList& knownKeys = {}) const;
    // Draws the panels onto a picture.
    void paint(QImage& image, qint64 positionMs) const;

private:
    int recordAt(qint64 positionMs) const;
    QImage renderMap(int record, const QSize& size) const;
    QImage renderGraph(int record, const QSize& size) const;

    Trip::TripList m_trip;
    PositionsPtr m_positions;
    qint64 m_clockOffset = 0;
    int m_items = Band;
    TileSource m_tiles;
    // The map's tiles depend only on the route and the panel's size: drawn once.
    mutable QImage m_mapBackground;
    mutable bool m_mapHasTiles = false;
};
