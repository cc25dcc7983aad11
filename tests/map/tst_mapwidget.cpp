#include "../nmea/nmeafixture.h"
#include "extendedmapcontrol.h"
#include "layer.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "routefixture.h"
#include "routelegend.h"
#include "units.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>

using namespace qmapcontrol;
using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;

namespace {

Positions positionsFrom(const QSignalSpy& spy, int index = 0)
{
    return spy.at(index).at(0).value<Positions>();
}

// Counts the paintings of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    // Paintings since the last take, once every pending update has been painted.
    int take()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        return std::exchange(m_count, 0);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    int m_count = 0;
};

// Press, a few moves with the button held, release.
void drag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    const auto send = [widget](QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                               Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        send(QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QPointF screenOf(const ExtendedMapControl& control, const QNmeaPositionInfo& record)
{
    return control.coordinateToScreen(
        QPointF(record.coordinate().longitude(), record.coordinate().latitude()));
}

QRect boxIn(const QWidget* child, const QWidget* ancestor)
{
    return {child->mapTo(ancestor, QPoint(0, 0)), child->size()};
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

class TestMapWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void nothingToParse_data();
    void nothingToParse();
    void unparsedTripResetsTheView();
    void redrawOncePerSecond();
    void zoomToFit_data();
    void zoomToFit();
    void speedText_data();
    void speedText();
    void toolTipText_data();
    void toolTipText();
    void toolTipOnRoute();
    void zoomButtons();
    void selectionToRoute();
    void newSelectionReplacesRunningParse();

    void followsTheVehicle();
    void clickOnTheRouteSeeks();
    void repaintsOnlyWhatMoved();
    void routeControlsAndLegend();

private:
    void show(MapWidget& widget);
    std::shared_ptr<Trip::TripList> writeTrip(const QString& folder, const QDateTime& start, int files);

    QTemporaryDir m_home;
};

void TestMapWidget::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toUtf8());
    qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
    // Port 9 on the loopback address: tiles are refused at once, nothing leaves the machine.
    qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
}

void TestMapWidget::cleanup()
{
    QLocale::setDefault(QLocale::c());
}

void TestMapWidget::show(MapWidget& widget)
{
    widget.resize(400, 300);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCOMPARE(widget.mapControl()->size(), QSize(400, 300));
}

std::shared_ptr<Trip::TripList> TestMapWidget::writeTrip(const QString& folder, const QDateTime& start,
                                                         int files)
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

void TestMapWidget::nothingToParse_data()
{
    QTest::addColumn<bool>("null");
    QTest::newRow("no list") << true;
    QTest::newRow("empty list") << false;
}

void TestMapWidget::nothingToParse()
{
    QFETCH(bool, null);
    MapWidget widget;
    QSignalSpy finished(&widget, &MapWidget::parsing_finished);
    widget.on_setFilesSelected(null ? nullptr : std::make_shared<QStringList>());
    QTest::qWait(200);
    QCOMPARE(finished.count(), 0);
    auto* thread = widget.findChild<QThread*>(QStringLiteral("NmeaParser_Thread"));
    QVERIFY(thread);
    QVERIFY(!thread->isRunning());

    // A list that names a missing file still runs the parser to its end.
    widget.on_setFilesSelected(std::make_shared<QStringList>(QStringList{m_home.filePath("missing.nmea")}));
    QTRY_COMPARE(finished.count(), 1);
}

void TestMapWidget::unparsedTripResetsTheView()
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

void TestMapWidget::redrawOncePerSecond()
{
    MapWidget widget;
    show(widget);
    PaintCounter paints(widget.mapControl());
    const Positions positions = RouteFixture::line(60);
    widget.onReady(positions);
    QCOMPARE(widget.currentSecond(), -1);
    paints.take();

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
        widget.on_PositionChange(step.ms);
        QCOMPARE(widget.currentSecond(), step.second);
        QVERIFY2((paints.take() > 0) == step.redraw, qPrintable(QString::number(step.ms)));
    }

    widget.on_PositionChange(10000);
    QCOMPARE(int(widget.markers().size()), 3);
    const Point& vehicle = *widget.markers().back();
    QCOMPARE(vehicle.name(), QStringLiteral("Vehicle"));
    QCOMPARE(RouteFixture::indexOf(vehicle.longitude()), 10);
    const std::vector<Route::Track> tracks = widget.routes();
    QCOMPARE(tracks.front().pen, &MapWidgetConfig::activeRoutePen);
    QCOMPARE(RouteFixture::indexOf(tracks.front().points.back().x()), 11);
    QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
}

void TestMapWidget::zoomToFit_data()
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

void TestMapWidget::zoomToFit()
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

    // Every position is in view, and so is every marker's image.
    const QRectF view(QPointF(0, 0), QSizeF(control.size()));
    for (const QNmeaPositionInfo& r : *positions) {
        const QPointF p =
            control.coordinateToScreen(QPointF(r.coordinate().longitude(), r.coordinate().latitude()));
        QVERIFY2(view.contains(p), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    }
    for (const std::shared_ptr<Point>& marker : widget.markers()) {
        const QPointF p = control.coordinateToScreen(marker->coordinate());
        const QRectF box(Point::alignedTopLeft(p, marker->pixmap().size(), marker->alignment()),
                         marker->pixmap().size());
        QVERIFY2(view.adjusted(-1, -1, 1, 1).contains(box), qPrintable(marker->name()));
    }
    if (zoom < 0) {
        // And one level closer would cut something off.
        widget.mapControl()->zoomIn();
        bool cut = false;
        for (const QNmeaPositionInfo& r : *positions) {
            cut = cut || !view.contains(control.coordinateToScreen(
                             QPointF(r.coordinate().longitude(), r.coordinate().latitude())));
        }
        for (const std::shared_ptr<Point>& marker : widget.markers()) {
            const QPointF p = control.coordinateToScreen(marker->coordinate());
            cut = cut || !view.contains(
                             QRectF(Point::alignedTopLeft(p, marker->pixmap().size(), marker->alignment()),
                                    marker->pixmap().size()));
        }
        QVERIFY(cut);
    }
}

void TestMapWidget::speedText_data()
{
    QTest::addColumn<Units::SpeedUnit>("unit");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QString>("expected");

    const auto kmh = Units::SpeedUnit::KilometresPerHour;
    QTest::newRow("whole number without decimals") << kmh << 10.0 << "36 km/h";
    QTest::newRow("miles") << Units::SpeedUnit::MilesPerHour << 10.0 << "22.4 mph";
    QTest::newRow("half rounds away from zero") << kmh << 1.25 << "4.5 km/h";
}

void TestMapWidget::speedText()
{
    QFETCH(Units::SpeedUnit, unit);
    QFETCH(double, speed);
    QFETCH(QString, expected);
    Units::setSpeedUnit(unit);
    QCOMPARE(MapWidget::speedLocaleToString(speed), expected);
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
}

void TestMapWidget::toolTipText_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("expectedSpeed");

    QTest::newRow("speed") << "10"
                           << "\n36 km/h";
    QTest::newRow("no speed") << ""
                              << "";
    QTest::newRow("speed of exactly 1") << "1"
                                        << "";
    QTest::newRow("fraction") << "5.14444"
                              << "\n18.5 km/h";
}

void TestMapWidget::toolTipText()
{
    QFETCH(QString, speed);
    QFETCH(QString, expectedSpeed);
    Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);

    QNmeaPositionInfo record(QNmeaCoordinate(49.8, 9.9), QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9)));
    if (!speed.isEmpty())
        record.setAttribute(QNmeaPositionInfo::GroundSpeed, speed.toDouble());
    const QString expected = QStringLiteral("01.03.24\n14:05") + expectedSpeed;
    QCOMPARE(MapWidget::toolTipLocale(record.tooltip()), expected);
    QCOMPARE(MapWidget::toolTipLocale(QString()), QStringLiteral("NaN"));
}

void TestMapWidget::toolTipOnRoute()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    MapWidget widget;
    show(widget);
    widget.onReady(RouteFixture::line(60));
    const ExtendedMapControl& control = *widget.mapControl();

    const QNmeaPositionInfo record = RouteFixture::record(30);
    const QPoint onRoute =
        control.coordinateToScreen(QPointF(record.coordinate().longitude(), record.coordinate().latitude()))
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

void TestMapWidget::zoomButtons()
{
    MapWidget widget;
    show(widget);
    QCOMPARE(widget.objectName(), QStringLiteral("MapWidget"));
    QCOMPARE(widget.windowTitle(), QStringLiteral("Form"));
    auto* zoomIn = widget.findChild<QPushButton*>(QStringLiteral("zoomInButton"));
    auto* zoomOut = widget.findChild<QPushButton*>(QStringLiteral("zoomOutButton"));
    QVERIFY(zoomIn && zoomOut);
    QCOMPARE(zoomIn->toolTip(), QStringLiteral("Zoom in"));
    QCOMPARE(zoomIn->toolTipDuration(), 5000);
    QVERIFY(zoomIn->styleSheet().contains("68_zoom_in_v1.png"));
    QCOMPARE(zoomIn->mapTo(&widget, QPoint(0, 0)), QPoint(15, 15));
    QVERIFY(zoomOut->mapTo(&widget, QPoint(0, 0)).y() > 15);

    QCOMPARE(widget.mapControl()->currentZoom(), 5);
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    QCOMPARE(widget.mapControl()->currentZoom(), 6);
    QTest::mouseClick(zoomOut, Qt::LeftButton);
    QTest::mouseClick(zoomOut, Qt::LeftButton);
    QCOMPARE(widget.mapControl()->currentZoom(), 4);

    // The attribution sits at the bottom right, whether or not tiles arrive.
    auto* label = widget.findChild<QLabel*>(QStringLiteral("copyrightLabel"));
    QVERIFY(label && label->isVisible());
    QVERIFY(label->text().contains("OpenStreetMap"));
    const QRect box(label->mapTo(&widget, QPoint(0, 0)), label->size());
    QCOMPARE(box.right(), widget.width() - 1);
    QCOMPARE(box.bottom(), widget.height() - 1);
}

void TestMapWidget::selectionToRoute()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDateTime start(QDate(2024, 3, 1), QTime(10, 0, 0));
    const std::shared_ptr<Trip::TripList> trip = writeTrip(folder.path(), start, 2);
    QVERIFY(trip);

    MapWidget widget;
    show(widget);
    QSignalSpy finished(&widget, &MapWidget::parsing_finished);
    QSignalSpy ready(&widget, &MapWidget::nmeaReady);
    widget.on_setFilesSelected(
        std::make_shared<QStringList>(QStringList{trip->at(0).nmeaFile, trip->at(1).nmeaFile}));
    QTRY_COMPARE(finished.count(), 1);

    widget.on_setContentForNmeaReader(trip);
    QTRY_COMPARE(ready.count(), 1);
    const Positions positions = positionsFrom(ready);
    QVERIFY(positions);
    QCOMPARE(int(positions->size()), 120);
    for (std::size_t i = 0; i < positions->size(); ++i) {
        const QNmeaPositionInfo& r = (*positions)[i];
        QCOMPARE(r.timestamp(), start.toUTC().addSecs(qint64(i))); // the times written in the files
        QVERIFY(r.marker(QNmeaPositionInfo::Fix));
        QVERIFY(!r.marker(QNmeaPositionInfo::Event));
        QCOMPARE(RouteFixture::indexOf(r.coordinate().longitude()), int(i));
        QVERIFY(r.hasAttribute(QNmeaPositionInfo::AccelerationX));
    }
    QCOMPARE((*positions)[0].fileName(), trip->at(0).videoFile);
    QCOMPARE((*positions)[119].fileName(), trip->at(1).videoFile);

    // The whole trip drawn as not yet driven but for its start, with its three markers.
    QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
    QCOMPARE(int(widget.markers().size()), 3);
    std::size_t points = 0;
    for (const Route::Track& track : widget.routes())
        points += track.points.size();
    QCOMPARE(points, std::size_t(120));
    QVERIFY(widget.mapControl()->currentZoom() > 10);

    widget.on_PositionChange(90400);
    QCOMPARE(RouteFixture::indexOf(widget.markers().back()->longitude()), 90);
}

void TestMapWidget::newSelectionReplacesRunningParse()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::shared_ptr<Trip::TripList> first =
        writeTrip(folder.path(), QDateTime(QDate(2024, 3, 1), QTime(9, 0)), 2);
    const std::shared_ptr<Trip::TripList> second =
        writeTrip(folder.path(), QDateTime(QDate(2024, 3, 1), QTime(11, 0)), 1);
    QVERIFY(first && second);
    QStringList many;
    for (int i = 0; i < 200; ++i)
        many << first->at(std::size_t(i % 2)).nmeaFile;

    MapWidget widget;
    QSignalSpy finished(&widget, &MapWidget::parsing_finished);
    QSignalSpy ready(&widget, &MapWidget::nmeaReady);
    widget.on_setFilesSelected(std::make_shared<QStringList>(many));
    QTest::qWait(5);
    widget.on_setFilesSelected(std::make_shared<QStringList>(QStringList{second->at(0).nmeaFile}));
    // Only the end of the latest request counts, and that request is served.
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);

    widget.on_setContentForNmeaReader(second);
    QTRY_COMPARE(ready.count(), 1);
    QVERIFY(positionsFrom(ready));
    QCOMPARE(int(positionsFrom(ready)->size()), 60);
}

void TestMapWidget::followsTheVehicle()
{
    MapWidget widget;
    show(widget);
    const Positions positions = RouteFixture::line(600);
    widget.onReady(positions);
    ExtendedMapControl& control = *widget.mapControl();
    const QPointF middle(control.width() / 2.0, control.height() / 2.0);
    const auto vehicleOffCentre = [&] {
        return QLineF(control.coordinateToScreen(widget.markers().back()->coordinate()), middle).length();
    };
    QVERIFY(widget.isFollowing());

    // While the whole trip is in view, nothing needs to move.
    const QPointF fitted = control.currentCoordinate();
    const int fittedZoom = control.currentZoom();
    widget.on_PositionChange(100000);
    QCOMPARE(control.currentCoordinate(), fitted);

    // Zoomed in, the view keeps the vehicle in its middle, at once and second by second.
    auto* zoomIn = widget.findChild<QPushButton*>(QStringLiteral("zoomInButton"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(zoomIn, Qt::LeftButton);
    QCOMPARE(control.currentZoom(), fittedZoom + 3);
    QVERIFY(vehicleOffCentre() < 1.5);
    for (const qint64 ms : {101000, 102000, 250000}) {
        widget.on_PositionChange(ms);
        QVERIFY2(vehicleOffCentre() < 1.5, qPrintable(QString::number(ms)));
    }

    // Dragging the map ends following; the view stays where the user put it.
    drag(&control, middle.toPoint(), middle.toPoint() + QPoint(80, 40));
    QVERIFY(!widget.isFollowing());
    const QPointF dragged = control.currentCoordinate();
    QVERIFY(vehicleOffCentre() > 50);
    widget.on_PositionChange(260000);
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    QCOMPARE(control.currentCoordinate(), dragged);

    // The centre button brings the vehicle back and follows on.
    auto* centre = widget.findChild<QPushButton*>(QStringLiteral("centreButton"));
    QVERIFY(centre && centre->isVisible());
    QTest::mouseClick(centre, Qt::LeftButton);
    QVERIFY(widget.isFollowing());
    QVERIFY(vehicleOffCentre() < 1.5);
    widget.on_PositionChange(270000);
    QVERIFY(vehicleOffCentre() < 1.5);

    // The fit button shows the whole trip again.
    auto* fit = widget.findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
    QVERIFY(fit && fit->isVisible());
    QTest::mouseClick(fit, Qt::LeftButton);
    QCOMPARE(control.currentZoom(), fittedZoom);
    const QRectF view(QPointF(0, 0), QSizeF(control.size()));
    for (const std::size_t i : {std::size_t(0), std::size_t(300), std::size_t(599)})
        QVERIFY(view.contains(screenOf(control, (*positions)[i])));

    // A new trip is followed again.
    drag(&control, middle.toPoint(), middle.toPoint() + QPoint(-30, 0));
    QVERIFY(!widget.isFollowing());
    widget.onReady(RouteFixture::line(60));
    QVERIFY(widget.isFollowing());
}

void TestMapWidget::clickOnTheRouteSeeks()
{
    MapWidget widget;
    show(widget);
    const Positions positions = RouteFixture::line(60);
    widget.onReady(positions);
    ExtendedMapControl& control = *widget.mapControl();
    QSignalSpy seek(&widget, &MapWidget::positionSelected);
    const auto at = [&](int record) { return screenOf(control, (*positions)[std::size_t(record)]); };
    const QPointF along = at(31) - at(30);
    const QPointF across = QPointF(-along.y(), along.x()) / QLineF(QPointF(), along).length();

    // A click a little beside the line takes the nearer of the two records around it.
    QTest::mouseClick(&control, Qt::LeftButton, {}, (at(30) + 0.3 * along + 3 * across).toPoint());
    QTest::mouseClick(&control, Qt::LeftButton, {}, (at(30) + 0.7 * along - 3 * across).toPoint());
    QCOMPARE(seek.count(), 2);
    QCOMPARE(seek.at(0).at(0).toLongLong(), 30000);
    QCOMPARE(seek.at(1).at(0).toLongLong(), 31000);

    // A hand's tremor between press and release is still a click, and the map stays put.
    const QPointF view = control.currentCoordinate();
    drag(&control, at(20).toPoint(), at(20).toPoint() + QPoint(2, -1));
    QCOMPARE(seek.count(), 3);
    QCOMPARE(seek.at(2).at(0).toLongLong(), 20000);
    QCOMPARE(control.currentCoordinate(), view);

    // Away from the route nothing happens; a drag along it pans without seeking.
    QTest::mouseClick(&control, Qt::LeftButton, {}, (at(30) + 40 * across).toPoint());
    drag(&control, at(10).toPoint(), at(40).toPoint());
    QCOMPARE(seek.count(), 3);
    QVERIFY(control.currentCoordinate() != view);
}

void TestMapWidget::repaintsOnlyWhatMoved()
{
    MapWidget widget;
    show(widget);
    PaintCounter paints(widget.mapControl());
    // The vehicle stands still from second 20 to 39.
    const Positions positions = RouteFixture::line(60);
    for (std::size_t i = 21; i < 40; ++i)
        (*positions)[i].setCoordinate((*positions)[20].coordinate());
    widget.onReady(positions);
    paints.take();

    for (int second = 15; second <= 38; ++second) {
        widget.on_PositionChange(second * 1000);
        const bool moved = second <= 20 || second >= 38;
        QVERIFY2((paints.take() > 0) == moved, qPrintable(QString::number(second)));
    }
    // A seek always shows.
    widget.on_PositionChange(25000);
    QVERIFY(paints.take() > 0);
}

void TestMapWidget::routeControlsAndLegend()
{
    MapWidget widget;
    show(widget);
    auto* legend = widget.findChild<RouteLegend*>();
    auto* centre = widget.findChild<QPushButton*>(QStringLiteral("centreButton"));
    auto* fit = widget.findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
    auto* zoomOut = widget.findChild<QPushButton*>(QStringLiteral("zoomOutButton"));
    auto* label = widget.findChild<QLabel*>(QStringLiteral("copyrightLabel"));
    QVERIFY(legend && centre && fit && zoomOut && label);

    // Without a route there is nothing to explain or to centre on.
    QVERIFY(!legend->isVisible() && !centre->isVisible() && !fit->isVisible());
    widget.onReady(RouteFixture::line(60));
    QVERIFY(legend->isVisible() && centre->isVisible() && fit->isVisible());
    QCOMPARE(centre->toolTip(), QStringLiteral("Centre on vehicle"));
    QCOMPARE(fit->toolTip(), QStringLiteral("Show whole route"));
    QCOMPARE(fit->toolTipDuration(), 5000);
    QVERIFY(centre->styleSheet().contains("68_centre_vehicle.png"));
    QVERIFY(fit->styleSheet().contains("68_fit_route.png"));
    QVERIFY(!QImage(QStringLiteral(":/resources/images/68_centre_vehicle.png")).isNull());
    QVERIFY(!QImage(QStringLiteral(":/resources/images/68_fit_route.png")).isNull());

    // The route's buttons below the zoom pair; the legend at the top right, clear of the
    // buttons and of the attribution.
    QCOMPARE(boxIn(centre, &widget).left(), 15);
    QVERIFY(boxIn(centre, &widget).top() > boxIn(zoomOut, &widget).bottom());
    QVERIFY(boxIn(fit, &widget).top() > boxIn(centre, &widget).bottom());
    const QRect key = boxIn(legend, &widget);
    QVERIFY(key.right() < widget.width() && key.right() > widget.width() - 30);
    QVERIFY(key.top() < 30);
    // Whatever the language and the width of the map, a legend shown covers nothing else.
    QTranslator german;
    QVERIFY(german.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/resources/translations/trans_ru_RU.qm")));
    for (QTranslator* language : {static_cast<QTranslator*>(nullptr), &german, &russian}) {
        if (language)
            QCoreApplication::installTranslator(language);
        QCoreApplication::processEvents();
        for (const int width : {120, 260, 400}) {
            widget.resize(width, 300);
            QCoreApplication::processEvents();
            if (!legend->isVisible())
                continue;
            const QRect shown = boxIn(legend, &widget);
            QVERIFY(shown.right() < widget.width());
            QVERIFY(shown.width() >= legend->sizeHint().width());
            for (const QWidget* other : std::initializer_list<const QWidget*>{label, fit, centre, zoomOut})
                QVERIFY2(!shown.intersects(boxIn(other, &widget)), qPrintable(other->objectName()));
        }
        QVERIFY(legend->isVisible());
        if (language)
            QCoreApplication::removeTranslator(language);
    }

    // In German the labels and the tooltips follow.
    QCoreApplication::installTranslator(&german);
    QCOMPARE(RouteLegend::label(RouteLegend::Driven), QStringLiteral("Gefahren"));
    QCOMPARE(RouteLegend::label(RouteLegend::NoFix), QStringLiteral("Kein GPS-Empfang"));
    QTRY_COMPARE(centre->toolTip(), QStringLiteral("Auf Fahrzeug zentrieren"));
    QCoreApplication::removeTranslator(&german);
    QTRY_COMPARE(fit->toolTip(), QStringLiteral("Show whole route"));
}

QTEST_MAIN(TestMapWidget)
#include "tst_mapwidget.moc"
