#include "overlaypainter.h"

#include "privacyzones.h"
#include "trackexport.h"
#include "units.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

const QColor Background(20, 20, 20);
const QColor Text(240, 240, 240);
const QColor Route(150, 150, 150);
const QColor Driven(255, 190, 40);
const QColor Acceleration(90, 200, 255);
constexpr int GraphSeconds = 60;

int even(double value)
{
    return std::max(2, int(std::lround(value / 2.0)) * 2);
}

QFont bandFont(int pixels)
{
    QFont font(QStringLiteral("Open Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(6, pixels));
    return font;
}

} // namespace

OverlayPainter::OverlayPainter(Trip::TripList trip, PositionsPtr positions, qint64 clockOffsetSeconds)
    : m_trip(std::move(trip)), m_positions(std::move(positions)), m_clockOffset(clockOffsetSeconds)
{}

bool OverlayPainter::parseItems(const QString& text, int& items)
{
    items = 0;
    for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = word.trimmed().toLower();
        if (name == QLatin1String("band"))
            items |= Band;
        else if (name == QLatin1String("map"))
            items |= Map;
        else if (name == QLatin1String("graph"))
            items |= Graph;
        else
            return false;
    }
    return items != 0;
}

int OverlayPainter::bandHeight(int pictureHeight)
{
    return std::max(20, even(pictureHeight * 36.0 / 1080.0));
}

int OverlayPainter::recordAt(qint64 positionMs) const
{
    return TripTimeline::recordAt(positionMs, m_positions ? m_positions->size() : 0);
}

QString OverlayPainter::bandText(qint64 positionMs) const
{
    QStringList parts;
    const QDateTime recorded = TripClock::at(m_trip, m_positions, positionMs);
    if (recorded.isValid()) {
        const QDateTime shown = recorded.addSecs(m_clockOffset);
        const QLocale locale = Units::displayLocale();
        // The locale's short date with the whole year, as the window shows it.
        QString date = locale.dateFormat(QLocale::ShortFormat);
        if (!date.contains(QLatin1String("yyyy")))
            date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
        parts << locale.toString(shown.date(), date) + QLatin1Char(' ') +
                     locale.toString(shown.time(), QStringLiteral("HH:mm:ss")) + QLatin1Char(' ') +
                     Units::offsetText(m_clockOffset);
    }
    const int second = recordAt(positionMs);
    const QNmeaPositionInfo* record = second >= 0 ? &(*m_positions)[std::size_t(second)] : nullptr;
    const bool hidden = record && PrivacyZones::isHidden(*record);
    if (!record || !(TrackExport::hasFix(*record) || hidden)) {
        parts << tr("no data");
        return parts.join(QStringLiteral("   "));
    }
    const double speed = record->attribute(QNmeaPositionInfo::GroundSpeed);
    parts << (std::isnan(speed) ? tr("speed unknown") : Units::speedText(speed, 0));
    if (hidden) {
        parts << tr("position hidden");
        return parts.join(QStringLiteral("   "));
    }
    const QGeoCoordinate c = record->coordinate();
    parts << Units::latitudeText(c.latitude()) + QLatin1Char(' ') + Units::longitudeText(c.longitude());
    const double course = record->attribute(QNmeaPositionInfo::Direction);
    if (course >= 0.0 && course < 360.0)
        parts << tr("heading %1").arg(Units::headingText(course));
    return parts.join(QStringLiteral("   "));
}

QImage OverlayPainter::renderBand(const QString& text, int width, int height)
{
    QImage band(width, height, QImage::Format_RGB32);
    band.fill(Background);
    QFont font = bandFont(int(height * 0.62));
    const int margin = height / 3;
    // A narrow picture takes a smaller text rather than losing its end.
    const int advance = QFontMetrics(font).horizontalAdvance(text);
    if (advance > width - 2 * margin && advance > 0)
        font.setPixelSize(std::max(6, font.pixelSize() * (width - 2 * margin) / advance));
    QPainter painter(&band);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font);
    painter.setPen(Text);
    painter.drawText(QRect(margin, 0, width - 2 * margin, height), Qt::AlignVCenter | Qt::AlignLeft, text);
    return band;
}

int OverlayPainter::reservedHeight(const QSize& picture) const
{
    // As panels() places them.
    const int band = bandHeight(picture.height());
    const int above = (m_items & Band) ? band : 0;
    const int margin = even(band / 2.0);
    const int side = even(picture.height() / 4.0);
    if ((m_items & Map) && side + above + margin <= picture.height() && side + margin <= picture.width())
        return above + margin + side;
    return above;
}

QVector<OverlayPainter::Panel> OverlayPainter::panels(qint64 positionMs, const QSize& picture,
                                                      const QStringList& knownKeys) const
{
    QVector<Panel> result;
    const int band = bandHeight(picture.height());
    const int record = recordAt(positionMs);
    const auto add = [&](const QRect& rect, const QString& key, const auto& render) {
        Panel panel{rect, QImage(), key};
        if (knownKeys.value(result.size()) != key)
            panel.image = render();
        result.append(panel);
    };
    if (m_items & Band) {
        const QString text = bandText(positionMs);
        add(QRect(0, picture.height() - band, picture.width(), band), text,
            [&]() { return renderBand(text, picture.width(), band); });
    }
    const int above = (m_items & Band) ? band : 0;
    const int margin = even(band / 2.0);
    const int side = even(picture.height() / 4.0);
    if ((m_items & Map) && side + above + margin <= picture.height() && side + margin <= picture.width()) {
        const QRect rect(picture.width() - side - margin, picture.height() - above - margin - side, side,
                         side);
        add(rect, QStringLiteral("map %1").arg(record), [&]() { return renderMap(record, rect.size()); });
    }
    const int graphHeight = even(side / 2.0);
    const int graphWidth = even(picture.width() / 3.0);
    if ((m_items & Graph) && graphHeight + above + margin <= picture.height()) {
        const QRect rect(margin, picture.height() - above - margin - graphHeight, graphWidth, graphHeight);
        add(rect, QStringLiteral("graph %1").arg(record), [&]() { return renderGraph(record, rect.size()); });
    }
    return result;
}

void OverlayPainter::paint(QImage& image, qint64 positionMs) const
{
    QPainter painter(&image);
    for (const Panel& panel : panels(positionMs, image.size()))
        painter.drawImage(panel.rect.topLeft(), panel.image);
}

QImage OverlayPainter::renderMap(int record, const QSize& size) const
{
    QImage map(size, QImage::Format_RGB32);
    map.fill(Background);
    if (!m_positions)
        return map;
    // Web Mercator pixels at zoom 0, where the world is one 256-pixel tile.
    const auto world = [](const QGeoCoordinate& c) {
        const double lat = qDegreesToRadians(std::clamp(c.latitude(), -85.0511, 85.0511));
        return QPointF(256.0 * (c.longitude() + 180.0) / 360.0,
                       256.0 * (1.0 - std::log(std::tan(lat) + 1.0 / std::cos(lat)) / M_PI) / 2.0);
    };
    QRectF bounds;
    for (const QNmeaPositionInfo& p : *m_positions) {
        if (!TrackExport::hasFix(p))
            continue;
        const QPointF point = world(p.coordinate());
        bounds = bounds.isNull() ? QRectF(point, QSizeF(1e-9, 1e-9))
                                 : bounds.united(QRectF(point, QSizeF(1e-9, 1e-9)));
    }
    if (bounds.isNull())
        return map;
    // The closest zoom at which the whole route fits, as the map's zoom levels go.
    const double room = size.width() * 0.8;
    int zoom = 17;
    while (zoom > 1 && std::max(bounds.width(), bounds.height()) * std::ldexp(1.0, zoom) > room)
        --zoom;
    const double scale = std::ldexp(1.0, zoom);
    const QPointF origin = bounds.center() * scale - QPointF(size.width() / 2.0, size.height() / 2.0);
    const auto project = [&](const QGeoCoordinate& c) { return world(c) * scale - origin; };

    if (m_mapBackground.size() != size) {
        m_mapBackground = map;
        m_mapHasTiles = false;
        if (m_tiles) {
            QPainter painter(&m_mapBackground);
            const int tiles = 1 << zoom;
            for (int ty = int(std::floor(origin.y() / 256)); ty * 256 < origin.y() + size.height(); ++ty) {
                for (int tx = int(std::floor(origin.x() / 256)); tx * 256 < origin.x() + size.width(); ++tx) {
                    if (ty < 0 || ty >= tiles)
                        continue;
                    const QImage tile = m_tiles(zoom, ((tx % tiles) + tiles) % tiles, ty);
                    if (tile.isNull())
                        continue;
                    painter.drawImage(QRectF(QPointF(tx * 256.0, ty * 256.0) - origin, QSizeF(256, 256)),
                                      tile);
                    m_mapHasTiles = true;
                }
            }
            // A veil over the street map, so that the route and the text stand out.
            if (m_mapHasTiles)
                painter.fillRect(m_mapBackground.rect(), QColor(0, 0, 0, 90));
        }
    }
    map = m_mapBackground;

    QPainterPath route, driven;
    bool inRoute = false, inDriven = false;
    QPointF here;
    bool haveHere = false;
    for (std::size_t i = 0; i < m_positions->size(); ++i) {
        const QNmeaPositionInfo& p = (*m_positions)[i];
        if (!TrackExport::hasFix(p)) {
            inRoute = inDriven = false; // a gap or a hidden stretch stays open
            continue;
        }
        const QPointF point = project(p.coordinate());
        inRoute ? route.lineTo(point) : route.moveTo(point);
        inRoute = true;
        if (int(i) <= record) {
            inDriven ? driven.lineTo(point) : driven.moveTo(point);
            inDriven = true;
            if (int(i) == record) {
                here = point;
                haveHere = true;
            }
        }
    }
    QPainter painter(&map);
    painter.setRenderHint(QPainter::Antialiasing);
    const double pen = std::max(1.5, size.width() / 80.0);
    painter.setPen(QPen(Route, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(route);
    painter.setPen(QPen(Driven, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(driven);
    if (haveHere) {
        painter.setPen(QPen(Text, pen / 2));
        painter.setBrush(Driven);
        painter.drawEllipse(here, pen * 2, pen * 2);
    }
    if (m_mapHasTiles) {
        painter.setFont(bandFont(std::max(8, size.height() / 18)));
        painter.setPen(Text);
        painter.drawText(QRectF(2, 0, size.width() - 4, size.height() - 1), Qt::AlignRight | Qt::AlignBottom,
                         tr("\u00a9 OpenStreetMap contributors"));
    }
    return map;
}

QImage OverlayPainter::renderGraph(int record, const QSize& size) const
{
    QImage graph(size, QImage::Format_RGB32);
    graph.fill(Background);
    if (!m_positions || record < 0)
        return graph;
    // The last minute up to this second: speed from zero to the minute's top, the change of speed
    // per second around the middle line.
    const int first = std::max(0, record - GraphSeconds + 1);
    const auto speedAt = [&](int i) {
        return (*m_positions)[std::size_t(i)].attribute(QNmeaPositionInfo::GroundSpeed);
    };
    double top = 5.0;
    for (int i = first; i <= record; ++i) {
        if (!std::isnan(speedAt(i)))
            top = std::max(top, speedAt(i));
    }
    const double step = double(size.width()) / (GraphSeconds - 1);
    const double h = size.height();
    QPainterPath speed, acceleration;
    bool inSpeed = false, inAcceleration = false;
    for (int i = first; i <= record; ++i) {
        const double x = size.width() - (record - i) * step;
        const double v = speedAt(i);
        if (std::isnan(v)) {
            inSpeed = inAcceleration = false;
            continue;
        }
        const QPointF s(x, h - 2 - (h - 4) * v / top);
        inSpeed ? speed.lineTo(s) : speed.moveTo(s);
        inSpeed = true;
        if (i > first && !std::isnan(speedAt(i - 1))) {
            // 5 m/s² fills half the height.
            const double a = std::clamp((v - speedAt(i - 1)) / 5.0, -1.0, 1.0);
            const QPointF p(x, h / 2 - a * (h / 2 - 2));
            inAcceleration ? acceleration.lineTo(p) : acceleration.moveTo(p);
            inAcceleration = true;
        }
    }
    QPainter painter(&graph);
    painter.setRenderHint(QPainter::Antialiasing);
    const double pen = std::max(1.5, h / 40.0);
    painter.setPen(QPen(QColor(70, 70, 70), 1));
    painter.drawLine(QPointF(0, h / 2), QPointF(size.width(), h / 2));
    painter.setPen(QPen(Acceleration, pen));
    painter.drawPath(acceleration);
    painter.setPen(QPen(Driven, pen));
    painter.drawPath(speed);
    painter.setFont(bandFont(int(h / 6)));
    painter.setPen(Text);
    painter.drawText(QRectF(4, 2, size.width() - 8, h / 4), Qt::AlignLeft | Qt::AlignTop,
                     Units::speedText(std::isnan(speedAt(record)) ? 0.0 : speedAt(record), 0));
    return graph;
}
