#include "../nmea/nmeafixture.h"
#include "extendedmapcontrol.h"
#include "imagepoint.h"
#include "layer.h"
#include "linestring.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "nmeagaps.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "qnmeapositioninfo.h"
#include "route.h"
#include "units.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// Per-second trip records on a straight line to the north-east: record i lies Step degrees further
// in both directions than record i - 1 and one second later.
namespace RouteFixture {

constexpr double Longitude0 = 9.9;
constexpr double Latitude0 = 49.8;
constexpr double Step = 0.0005;

QDateTime start()
{
    return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
}

QNmeaPositionInfo record(int i)
{
    QNmeaPositionInfo r(QNmeaCoordinate(Latitude0 + i * Step, Longitude0 + i * Step), start().addSecs(i));
    r.setMarker(QNmeaPositionInfo::Fix, true);
    r.setAttribute(QNmeaPositionInfo::GroundSpeed, 10.0);
    return r;
}

std::shared_ptr<std::vector<QNmeaPositionInfo>> line(int count)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < count; ++i)
        v->push_back(record(i));
    return v;
}

// The record a point of the line was made from.
int indexOf(double longitude)
{
    return int(std::lround((longitude - Longitude0) / Step));
}

} // namespace RouteFixture

using namespace qmapcontrol;
using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;
using Setup = std::function<void(std::vector<QNmeaPositionInfo>&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

QString penName(const QPen* pen)
{
    const std::vector<std::pair<const QPen*, const char*>> names{
        {&MapWidgetConfig::activeRoutePen, "active"},
        {&MapWidgetConfig::inactiveRoutePen, "inactive"},
        {&MapWidgetConfig::eventRoutePen, "event"},
        {&MapWidgetConfig::lostActiveRoutePen, "lostActive"},
        {&MapWidgetConfig::lostInactiveRoutePen, "lostInactive"},
        {&MapWidgetConfig::lostRoutePen, "lostEvent"},
        {&MapWidgetConfig::longNmeaGapPen, "gap"},
    };
    for (const auto& [candidate, name] : names) {
        if (candidate == pen)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("?");
}

// "active[0..11] inactive[12..59]": each track's pen and the records of its points.
QString describe(const std::vector<Route::Track>& tracks)
{
    QStringList parts;
    for (const Route::Track& track : tracks) {
        QStringList runs;
        int first = -1;
        int last = -1;
        const auto close = [&] {
            if (first >= 0)
                runs << (first == last ? QString::number(first)
                                       : QStringLiteral("%1..%2").arg(first).arg(last));
        };
        for (const Point* point : *track.points) {
            const int index = RouteFixture::indexOf(point->longitude());
            if (first >= 0 && index == last + 1) {
                last = index;
                continue;
            }
            close();
            first = last = index;
        }
        close();
        parts << penName(track.pen) + '[' + runs.join(',') + ']';
    }
    return parts.join(' ');
}

void mark(std::vector<QNmeaPositionInfo>& v, int from, int to, QNmeaPositionInfo::Markers marker, bool value)
{
    for (int i = from; i <= to; ++i)
        v[std::size_t(i)].setMarker(marker, value);
}

Positions positionsFrom(const QSignalSpy& spy, int index = 0)
{
    return spy.at(index).at(0).value<Positions>();
}

QStringList layerNames(const MapWidget& widget)
{
    return widget.mapControl()->layerNames();
}

// A square of points around (longitude, latitude), `span` degrees wide.
Positions square(double longitude, double latitude, double span)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < 4; ++i) {
        const double x = longitude + ((i & 1) ? span / 2 : -span / 2);
        const double y = latitude + ((i & 2) ? span / 2 : -span / 2);
        QNmeaPositionInfo r(QNmeaCoordinate(y, x), RouteFixture::start().addSecs(i));
        r.setMarker(QNmeaPositionInfo::Fix, true);
        v->push_back(r);
    }
    return v;
}

} // namespace

// The map panel: the route of a trip at a playing second (its tracks in their pens, the filled
// long gaps, the three markers), parsing the chosen files, the view that fits the route, the
// tooltips and the zoom buttons.
class TestMapWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
        // Port 9 on the loopback address: tiles are refused at once, nothing leaves the machine.
        qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    }

    void cleanup() { Units::setDisplayLocale(QLocale::c()); }

    void tracksAtSecond_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<unsigned>("current");
        QTest::addColumn<QString>("expected");

        const Setup none = [](std::vector<QNmeaPositionInfo>&) {};
        QTest::newRow("all fix, second 10") << none << 10u << "active[0..11] inactive[12..59]";
        QTest::newRow("all fix, second 0") << none << 0u << "active[0..1] inactive[2..59]";
        QTest::newRow("last second") << none << 59u << "active[0..59]";
        QTest::newRow("beyond the end") << none << 500u << "active[0..59]";

        const Setup event = [](auto& v) { mark(v, 20, 29, QNmeaPositionInfo::Event, true); };
        QTest::newRow("event, before it")
            << event << 0u << "active[0..1] inactive[2..19] event[20..29] inactive[30..59]";
        QTest::newRow("event, inside it") << event << 25u << "active[0..19] event[20..29] inactive[30..59]";
        QTest::newRow("event, after it") << event << 59u << "active[0..19] event[20..29] active[30..59]";

        const Setup lost = [](auto& v) { mark(v, 10, 14, QNmeaPositionInfo::Fix, false); };
        QTest::newRow("no fix ahead")
            << lost << 0u << "active[0..1] inactive[2..9] lostInactive[10..15] inactive[14..59]";
        QTest::newRow("no fix, partly driven") << lost << 12u
                                               << "active[0..9] lostActive[10..13] lostInactive[12..15] "
                                                  "inactive[14..59]";

        const Setup lostEvent = [](auto& v) {
            mark(v, 20, 29, QNmeaPositionInfo::Event, true);
            mark(v, 20, 24, QNmeaPositionInfo::Fix, false);
        };
        QTest::newRow("event without fix") << lostEvent << 0u
                                           << "active[0..1] inactive[2..19] lostEvent[20..25] event[25..29] "
                                              "inactive[30..59]";

        const Setup videoGap = [](auto& v) {
            v[29].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
            v[30].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
        };
        QTest::newRow("pause between videos") << videoGap << 59u << "active[0..29,31..59]";
    }

    void tracksAtSecond()
    {
        QFETCH(Setup, setup);
        QFETCH(unsigned, current);
        QFETCH(QString, expected);

        const Positions positions = RouteFixture::line(60);
        setup(*positions);
        Route route(nullptr, positions);
        std::vector<Route::Track> tracks;
        QVERIFY(route.test(tracks, current));
        QCOMPARE(describe(tracks), expected);
    }

    void longPositionGaps()
    {
        // 30 records, a hole of some seconds, 30 more further along the same line:
        // above 5 s the hole gets a dot a second between its two sides, and the
        // line runs on across it.
        for (const auto& [gapSeconds, filled] : {std::pair{5, 0}, {6, 5}, {12, 11}}) {
            auto positions = RouteFixture::line(60);
            for (int i = 30; i < 60; ++i)
                (*positions)[std::size_t(i)].setTimestamp(RouteFixture::start().addSecs(i - 1 + gapSeconds));
            Nmea::detectLongGaps(*positions, nullptr);
            Route route(nullptr, positions);
            std::vector<Route::Track> tracks;
            QVERIFY(route.test(tracks, 59));

            int dots = 0;
            std::vector<Route::Track> line;
            for (const Route::Track& track : tracks) {
                if (track.pen != &MapWidgetConfig::longNmeaGapPen) {
                    line.push_back(track);
                    continue;
                }
                ++dots;
                QCOMPARE(track.points->size(), 1);
                const double longitude = track.points->first()->longitude();
                QVERIFY(longitude > (*positions)[29].coordinate().longitude() &&
                        longitude < (*positions)[30].coordinate().longitude());
            }
            QCOMPARE(dots, filled);
            QCOMPARE(describe(line), QStringLiteral("active[0..59]"));
        }
    }

    void markers_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<unsigned>("current");
        QTest::addColumn<QString>("expected");

        const auto invalidate = [](int from, int to) {
            return Setup([from, to](std::vector<QNmeaPositionInfo>& v) {
                for (int i = from; i <= to; ++i)
                    v[std::size_t(i)] =
                        QNmeaPositionInfo(QNmeaCoordinate(), RouteFixture::start().addSecs(i));
            });
        };
        QTest::newRow("all valid") << invalidate(1, 0) << 10u << "Beginning@0 End@59 Vehicle@10";
        QTest::newRow("vehicle at the start") << invalidate(1, 0) << 0u << "Beginning@0 End@59 Vehicle@0";
        QTest::newRow("invalid start") << invalidate(0, 4) << 0u << "Beginning@5 End@59 Vehicle@5";
        QTest::newRow("invalid stretch under the vehicle")
            << invalidate(40, 49) << 45u << "Beginning@0 End@59 Vehicle@50";
        QTest::newRow("second beyond the last valid record")
            << invalidate(50, 59) << 55u << "Beginning@0 End@49";
        QTest::newRow("second beyond the trip") << invalidate(1, 0) << 60u << "Beginning@0 End@59";
        QTest::newRow("no valid coordinate") << invalidate(0, 59) << 10u << "";
    }

    void markers()
    {
        QFETCH(Setup, setup);
        QFETCH(unsigned, current);
        QFETCH(QString, expected);

        const Positions positions = RouteFixture::line(60);
        setup(*positions);
        Route route(nullptr, positions);
        std::vector<std::shared_ptr<Point>> markers;
        route.setMarkers(markers, current);

        QStringList found;
        for (const std::shared_ptr<Point>& marker : markers) {
            found << marker->name() + '@' + QString::number(RouteFixture::indexOf(marker->longitude()));
            // The pins stand on their place, the vehicle's spot is centred on it.
            QCOMPARE(marker->alignment(), marker->name() == "Vehicle" ? Point::Middle : Point::BottomMiddle);
        }
        QCOMPARE(found.join(' '), expected);
    }

    void linesOwnTheirPoints()
    {
        const Positions positions = RouteFixture::line(30);
        mark(*positions, 10, 14, QNmeaPositionInfo::Fix, false);
        Route route(nullptr, positions);
        std::vector<std::shared_ptr<LineString>> lines;
        route.setRoutes(lines, 20);
        QCOMPARE(int(lines.size()), 4);

        QList<QPointer<Point>> points;
        for (const std::shared_ptr<LineString>& line : lines) {
            QVERIFY(line->name().isEmpty());
            for (Point* point : line->points()) {
                QCOMPARE(point->parent(), line.get());
                QCOMPARE(point->name(),
                         (*positions)[std::size_t(RouteFixture::indexOf(point->longitude()))].tooltip());
                points << point;
            }
        }
        QCOMPARE(lines[0]->pen(), MapWidgetConfig::activeRoutePen);
        QCOMPARE(lines[1]->pen().style(), Qt::DotLine);
        lines.clear();
        for (const QPointer<Point>& point : points)
            QVERIFY(point.isNull());
    }

    void nothingWithoutPositions()
    {
        Route route(nullptr, std::make_shared<std::vector<QNmeaPositionInfo>>());
        std::vector<Route::Track> tracks;
        QVERIFY(!route.test(tracks, 0) && tracks.empty());
        std::vector<std::shared_ptr<Point>> markers;
        route.setMarkers(markers, 0);
        QVERIFY(markers.empty());
    }

    void unparsedTripResetsTheViewAndNothingToParse()
    {
        MapWidget widget;
        show(widget);
        QSignalSpy ready(&widget, &MapWidget::nmeaReady);
        widget.onReady(square(139.7, 35.7, 0.01));
        QCOMPARE(ready.count(), 1);
        QVERIFY(widget.mapControl()->currentZoom() > 5);
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));

        auto trip = std::make_shared<Trip::TripList>();
        trip->push_back({60000, false, m_home.filePath("001_0001_20240301100000.mp4"),
                         m_home.filePath("001_0001_20240301100000.nmea")});
        widget.on_setContentForNmeaReader(trip);
        QTRY_COMPARE(ready.count(), 2);
        QVERIFY(!positionsFrom(ready, 1));
        QCOMPARE(widget.mapControl()->currentZoom(), 5);
        QCOMPARE(widget.mapControl()->currentCoordinate().x(), 9.949208);
        QCOMPARE(widget.mapControl()->currentCoordinate().y(), 49.79226);
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer"}));
        QVERIFY(widget.routes().empty());
        QVERIFY(widget.markers().empty());

        // Playing on draws nothing of the old trip.
        widget.on_PositionChange(3000);
        QVERIFY(widget.routes().empty());

        // No trip at all is the same.
        widget.on_setContentForNmeaReader(nullptr);
        QTRY_COMPARE(ready.count(), 3);
        QVERIFY(!positionsFrom(ready, 2));

        // No files to parse start no parser; a missing file still runs it to its end.
        QSignalSpy finished(&widget, &MapWidget::parsing_finished);
        widget.on_setFilesSelected(nullptr);
        widget.on_setFilesSelected(std::make_shared<QStringList>());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
        auto* thread = widget.findChild<QThread*>(QStringLiteral("NmeaParser_Thread"));
        QVERIFY(thread && !thread->isRunning());
        widget.on_setFilesSelected(
            std::make_shared<QStringList>(QStringList{m_home.filePath("missing.nmea")}));
        QTRY_COMPARE(finished.count(), 1);
    }

    void redrawOncePerSecond()
    {
        MapWidget widget;
        show(widget);
        const Positions positions = RouteFixture::line(60);
        widget.onReady(positions);
        QCOMPARE(widget.currentSecond(), -1);

        struct Step
        {
            qint64 ms;
            int second;
            bool redraw;
        };
        const std::vector<Step> steps{{0, 0, true},         {499, 0, false},   {500, 1, true},
                                      {1499, 1, false},     {1500, 2, true},   {10000, 10, true},
                                      {10200, 10, false},   {59499, 59, true}, {59500, 60, false},
                                      {900000, 900, false}, {-300, 0, true}};
        for (const Step& step : steps) {
            const LineString* before = widget.routes().empty() ? nullptr : widget.routes().front().get();
            widget.on_PositionChange(step.ms);
            const LineString* after = widget.routes().empty() ? nullptr : widget.routes().front().get();
            QCOMPARE(widget.currentSecond(), step.second);
            QVERIFY2((before != after) == step.redraw, qPrintable(QString::number(step.ms)));
        }

        widget.on_PositionChange(10000);
        QCOMPARE(int(widget.markers().size()), 3);
        const Point& vehicle = *widget.markers().back();
        QCOMPARE(vehicle.name(), QStringLiteral("Vehicle"));
        QCOMPARE(RouteFixture::indexOf(vehicle.longitude()), 10);
        QCOMPARE(widget.routes().front()->pen(), MapWidgetConfig::activeRoutePen);
        QCOMPARE(RouteFixture::indexOf(widget.routes().front()->points().last()->longitude()), 11);
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
    }

    void zoomToFit_data()
    {
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("zoom");

        QTest::newRow("a few metres") << 9.95 << 49.79 << 0.0001 << 17;
        QTest::newRow("the globe") << 0.0 << 0.0 << 340.0 << 0;
        QTest::newRow("a town") << 9.95 << 49.79 << 0.05 << -1;
        QTest::newRow("near the date line") << 179.0 << -40.0 << 1.0 << -1;
    }

    void zoomToFit()
    {
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        QFETCH(double, span);
        QFETCH(int, zoom);

        MapWidget widget;
        show(widget);
        const Positions positions = square(longitude, latitude, std::min(span, 160.0));
        if (span > 160.0) {
            // Longitudes from -170 to 170 and latitudes of ±80.
            for (std::size_t i = 0; i < positions->size(); ++i) {
                (*positions)[i].setCoordinate(QGeoCoordinate((i & 2) ? 80 : -80, (i & 1) ? 170 : -170));
            }
        }
        widget.onReady(positions);
        const ExtendedMapControl& control = *widget.mapControl();
        if (zoom >= 0)
            QCOMPARE(control.currentZoom(), zoom);

        // Every position is in view, and so is every marker's image (within a pixel) ...
        const auto allInView = [&](double margin) {
            const QRectF view =
                QRectF(QPointF(0, 0), QSizeF(control.size())).adjusted(-margin, -margin, margin, margin);
            for (const QNmeaPositionInfo& r : *positions) {
                if (!view.contains(control.coordinateToScreen(
                        QPointF(r.coordinate().longitude(), r.coordinate().latitude()))))
                    return false;
            }
            for (const std::shared_ptr<Point>& marker : widget.markers()) {
                const QPointF p = control.coordinateToScreen(marker->coordinate());
                if (!view.contains(
                        QRectF(Point::alignedTopLeft(p, marker->pixmap().size(), marker->alignment()),
                               marker->pixmap().size())))
                    return false;
            }
            return true;
        };
        QVERIFY(allInView(1));
        // ... and one level closer would cut something off.
        widget.mapControl()->zoomIn();
        QVERIFY(zoom >= 0 || !allInView(0));
    }

    void toolTips()
    {
        // A record's date and time in the display locale, and its speed with one decimal, none
        // where it is 0, in the chosen unit; exactly 1 m/s marks no speed.
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        for (const auto& [speed, shown] :
             {std::pair{"10", "\n36 km/h"}, {"", ""}, {"1", ""}, {"5.14444", "\n18.5 km/h"}}) {
            QNmeaPositionInfo record(QNmeaCoordinate(49.8, 9.9),
                                     QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9)));
            if (*speed)
                record.setAttribute(QNmeaPositionInfo::GroundSpeed, QString(speed).toDouble());
            QCOMPARE(MapWidget::toolTipLocale(record.tooltip()), QStringLiteral("01.03.24\n14:05") + shown);
        }
        QCOMPARE(MapWidget::toolTipLocale(QString()), QStringLiteral("NaN"));
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QCOMPARE(MapWidget::speedLocaleToString(10.0), QStringLiteral("22.4 mph"));
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);

        // Over the route the tooltip shows its record; away from it none.
        MapWidget widget;
        show(widget);
        widget.onReady(RouteFixture::line(60));
        const QNmeaPositionInfo record = RouteFixture::record(30);
        const QPoint onRoute =
            widget.mapControl()
                ->coordinateToScreen(QPointF(record.coordinate().longitude(), record.coordinate().latitude()))
                .toPoint();
        QHelpEvent hit(QEvent::ToolTip, onRoute, widget.mapToGlobal(onRoute));
        QVERIFY(QCoreApplication::sendEvent(&widget, &hit));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("01.03.24\n10:00\n36 km/h"));
        const QPoint away(5, widget.height() - 5);
        QHelpEvent miss(QEvent::ToolTip, away, widget.mapToGlobal(away));
        QCoreApplication::sendEvent(&widget, &miss);
        QVERIFY(!miss.isAccepted());
        QTRY_VERIFY(!QToolTip::isVisible());
    }

    void zoomButtonsAndAttribution()
    {
        MapWidget widget;
        show(widget);
        auto* zoomIn = widget.findChild<QPushButton*>(QStringLiteral("zoomInButton"));
        auto* zoomOut = widget.findChild<QPushButton*>(QStringLiteral("zoomOutButton"));
        QVERIFY(zoomIn && zoomOut);
        QCOMPARE(widget.mapControl()->currentZoom(), 5);
        QTest::mouseClick(zoomIn, Qt::LeftButton);
        QCOMPARE(widget.mapControl()->currentZoom(), 6);
        QTest::mouseClick(zoomOut, Qt::LeftButton);
        QTest::mouseClick(zoomOut, Qt::LeftButton);
        QCOMPARE(widget.mapControl()->currentZoom(), 4);

        // The attribution, with its link, sits at the bottom right whether or not tiles arrive.
        auto* label = widget.findChild<QLabel*>(QStringLiteral("copyrightLabel"));
        QVERIFY(label && label->isVisible());
        QTextDocument document;
        document.setHtml(label->text());
        QCOMPARE(document.toPlainText(), QString::fromUtf8("\u00a9 OpenStreetMap contributors, ODbL"));
        QVERIFY(label->text().contains("href=\"https://www.openstreetmap.org/copyright\""));
        QCOMPARE(QRect(label->mapTo(&widget, QPoint(0, 0)), label->size()).bottomRight(),
                 widget.rect().bottomRight());
    }

    void selectionToRoute()
    {
        QTemporaryDir folder;
        const QDateTime start(QDate(2024, 3, 1), QTime(10, 0, 0));
        const std::shared_ptr<Trip::TripList> trip = writeTrip(folder.path(), start, 2);
        const std::shared_ptr<Trip::TripList> other = writeTrip(folder.path(), start.addSecs(-3600), 2);
        QVERIFY(trip && other);

        MapWidget widget;
        show(widget);
        QSignalSpy finished(&widget, &MapWidget::parsing_finished);
        QSignalSpy ready(&widget, &MapWidget::nmeaReady);
        // A new selection replaces a long parse still running: only the end of the latest request
        // counts, and that request is served.
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many << other->at(std::size_t(i % 2)).nmeaFile;
        widget.on_setFilesSelected(std::make_shared<QStringList>(many));
        QTest::qWait(5);
        widget.on_setFilesSelected(
            std::make_shared<QStringList>(QStringList{trip->at(0).nmeaFile, trip->at(1).nmeaFile}));
        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);

        widget.on_setContentForNmeaReader(trip);
        QTRY_COMPARE(ready.count(), 1);
        const Positions positions = positionsFrom(ready);
        QVERIFY(positions);
        QCOMPARE(int(positions->size()), 120);
        for (std::size_t i = 0; i < positions->size(); ++i) {
            const QNmeaPositionInfo& r = (*positions)[i];
            QCOMPARE(r.timestamp().toLocalTime(), start.addSecs(qint64(i)));
            QVERIFY(r.marker(QNmeaPositionInfo::Fix) && !r.marker(QNmeaPositionInfo::Event));
            QCOMPARE(RouteFixture::indexOf(r.coordinate().longitude()), int(i));
            QVERIFY(r.hasAttribute(QNmeaPositionInfo::AccelerationX));
        }
        QCOMPARE((*positions)[0].fileName(), trip->at(0).videoFile);
        QCOMPARE((*positions)[119].fileName(), trip->at(1).videoFile);

        // The whole trip drawn as not yet driven but for its start, with its three markers.
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
        QCOMPARE(int(widget.markers().size()), 3);
        int points = 0;
        for (const std::shared_ptr<LineString>& line : widget.routes())
            points += line->numberOfPoints();
        QCOMPARE(points, 120);
        QVERIFY(widget.mapControl()->currentZoom() > 10);
        widget.on_PositionChange(90400);
        QCOMPARE(RouteFixture::indexOf(widget.markers().back()->longitude()), 90);
    }

private:
    void show(MapWidget& widget)
    {
        widget.resize(400, 300);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(widget.mapControl()->size(), QSize(400, 300));
    }
    std::shared_ptr<Trip::TripList> writeTrip(const QString& folder, const QDateTime& start, int files)
    {
        auto trip = std::make_shared<Trip::TripList>();
        for (int f = 0; f < files; ++f) {
            const QDateTime fileStart = start.addSecs(60 * f);
            const QString base = QStringLiteral("%1/001_%2_%3")
                                     .arg(folder)
                                     .arg(f + 1, 4, 10, QLatin1Char('0'))
                                     .arg(fileStart.toString("yyyyMMddHHmmss"));
            QStringList lines;
            for (int s = 0; s < 60; ++s) {
                const int i = 60 * f + s;
                const QDateTime t = fileStart.addSecs(s).toUTC();
                const double lat = RouteFixture::Latitude0 + i * RouteFixture::Step;
                const double lon = RouteFixture::Longitude0 + i * RouteFixture::Step;
                lines << Fixture::rmc(t.time(), t.date(), lat, lon, 20.0 + s % 5, 45.0)
                      << Fixture::gga(t.time(), lat, lon, 180.0 + s)
                      << Fixture::pztrx(t.time(), 0.1 * (s % 3), -0.2);
            }
            if (!Fixture::write(base + ".nmea", lines))
                return nullptr;
            trip->push_back({60000, false, base + ".mp4", base + ".nmea"});
        }
        return trip;
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestMapWidget)
#include "tst_mapwidget.moc"
