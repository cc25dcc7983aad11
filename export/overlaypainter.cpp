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
    // The route alone, as an equirectangular projection around its middle: at this scale it
    // differs from the map's projection by less than a pixel.
    double south = 90, north = -90, west = 180, east = -180;
    for (const QNmeaPositionInfo& p : *m_positions) {
        if (!TrackExport::hasFix(p))
            continue;
        const QGeoCoordinate c = p.coordinate();
        south = std::min(south, c.latitude());
        north = std::max(north, c.latitude());
        west = std::min(west, c.longitude());
        east = std::max(east, c.longitude());
    }
    if (south > north)
        return map;
    const double xScale = std::cos(qDegreesToRadians((south + north) / 2.0));
    const double spanX = std::max((east - west) * xScale, 1e-6);
    const double spanY = std::max(north - south, 1e-6);
    const double margin = size.width() / 10.0;
    const double scale = std::min((size.width() - 2 * margin) / spanX, (size.height() - 2 * margin) / spanY);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double midX = (west + east) / 2.0 * xScale;
    const double midY = (south + north) / 2.0;
    const auto project = [&](const QGeoCoordinate& c) {
        return centre + QPointF((c.longitude() * xScale - midX) * scale, -(c.latitude() - midY) * scale);
    };

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
