#include "../nmea/nmeafixture.h"
#include "extendedmapcontrol.h"
#include "layer.h"
#include "linestring.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "routefixture.h"
#include "units.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QtTest>

using namespace qmapcontrol;
using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;

namespace {

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

// The map panel: parsing the chosen files, the route of the playing trip, the view that fits
// it, the tooltips and the zoom buttons.
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

    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void nothingToParse()
    {
        MapWidget widget;
        QSignalSpy finished(&widget, &MapWidget::parsing_finished);
        widget.on_setFilesSelected(nullptr);
        widget.on_setFilesSelected(std::make_shared<QStringList>());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
        auto* thread = widget.findChild<QThread*>(QStringLiteral("NmeaParser_Thread"));
        QVERIFY(thread && !thread->isRunning());

        // A list that names a missing file still runs the parser to its end.
        widget.on_setFilesSelected(
            std::make_shared<QStringList>(QStringList{m_home.filePath("missing.nmea")}));
        QTRY_COMPARE(finished.count(), 1);
    }

    void unparsedTripResetsTheView()
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

    void toolTipTexts()
    {
        // A speed with one decimal, none where it is 0, in the chosen unit.
        QCOMPARE(MapWidget::speedLocaleToString(10.0), QStringLiteral("36 km/h"));
        QCOMPARE(MapWidget::speedLocaleToString(1.25), QStringLiteral("4.5 km/h"));
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QCOMPARE(MapWidget::speedLocaleToString(10.0), QStringLiteral("22.4 mph"));
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);

        // A record's date and time in the display locale, and its speed when it has one (exactly
        // 1 m/s marks none).
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
    }

    void toolTipOnRoute()
    {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        MapWidget widget;
        show(widget);
        widget.onReady(RouteFixture::line(60));
        const ExtendedMapControl& control = *widget.mapControl();

        const QNmeaPositionInfo record = RouteFixture::record(30);
        const QPoint onRoute =
            control
                .coordinateToScreen(QPointF(record.coordinate().longitude(), record.coordinate().latitude()))
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
        QCOMPARE(zoomIn->toolTip(), QStringLiteral("Zoom in"));
        QVERIFY(zoomIn->styleSheet().contains("68_zoom_in_v1.png"));
        QCOMPARE(zoomIn->mapTo(&widget, QPoint(0, 0)), QPoint(15, 15));
        QVERIFY(zoomOut->mapTo(&widget, QPoint(0, 0)).y() > 15);

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
        const QRect box(label->mapTo(&widget, QPoint(0, 0)), label->size());
        QCOMPARE(box.right(), widget.width() - 1);
        QCOMPARE(box.bottom(), widget.height() - 1);
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
