#include "extendedmapcontrol.h"
#include "mapadapter.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "mercator.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "routefixture.h"
#include "routelegend.h"
#include "tileloader.h"
#include "tileserver.h"

#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QtTest>

using namespace qmapcontrol;

namespace {

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// A half-transparent route colour over an opaque tile colour.
QColor blend(const QColor& route, const QColor& tile)
{
    const double a = route.alphaF();
    return QColor::fromRgbF(route.redF() * a + tile.redF() * (1 - a),
                            route.greenF() * a + tile.greenF() * (1 - a),
                            route.blueF() * a + tile.blueF() * (1 - a));
}

// Whether some pixel of `area` shows `colour`.
bool shows(const QImage& image, const QRect& area, const QColor& colour, int tolerance)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (near(image.pixelColor(x, y), colour, tolerance))
                return true;
        }
    }
    return false;
}

// Tiles from a port where nobody listens, for as long as it lives: the map without network.
class Offline
{
public:
    Offline() : m_saved(qgetenv(OSMMapQuestAdapter::TileServerVariable))
    {
        qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    }
    ~Offline() { qputenv(OSMMapQuestAdapter::TileServerVariable, m_saved); }

private:
    QByteArray m_saved;
};

} // namespace

// The map as the user sees it: tiles from a server on this machine, the route in its two colours
// and the three markers on top.
class TestMapWidgetScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void routeAndMarkersOnTiles();
    void offlineRouteEventAndLegend();
    void followedVehicleInTheMiddle();

private:
    QTemporaryDir m_cacheHome;
    TileServer m_server;
};

void TestMapWidgetScreen::initTestCase()
{
    QVERIFY(m_cacheHome.isValid());
    qputenv("XDG_CACHE_HOME", m_cacheHome.path().toUtf8());
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    QVERIFY(m_server.listen());
    m_server.setDelay(5);
    qputenv(OSMMapQuestAdapter::TileServerVariable, m_server.urlTemplate());
}

void TestMapWidgetScreen::routeAndMarkersOnTiles()
{
    MapWidget widget;
    widget.resize(400, 300);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    const auto positions = RouteFixture::line(60);
    widget.onReady(positions);
    widget.on_PositionChange(40000);
    QTRY_VERIFY_WITH_TIMEOUT(!m_server.paths.isEmpty() && TileLoader::instance()->requestsInFlight() == 0,
                             10000);
    QTest::qWait(100);

    const ExtendedMapControl& control = *widget.mapControl();
    const int zoom = control.currentZoom();
    QVERIFY(zoom > 10);
    const QImage shot = widget.grab().toImage();
    QCOMPARE(shot.size(), QSize(400, 300));

    QList<QRectF> markerBoxes;
    for (const std::shared_ptr<Point>& marker : widget.markers()) {
        const QPointF p = control.coordinateToScreen(marker->coordinate());
        markerBoxes << QRectF(Point::alignedTopLeft(p, marker->pixmap().size(), marker->alignment()),
                              marker->pixmap().size());
    }
    QCOMPARE(markerBoxes.size(), 3);

    // The centre of the line at a record: the route's colour over the tile's.
    const auto checkRoute = [&](const std::vector<int>& records, const QColor& route) {
        int checked = 0;
        for (const int k : records) {
            const QPointF coordinate((*positions)[std::size_t(k)].coordinate().longitude(),
                                     (*positions)[std::size_t(k)].coordinate().latitude());
            const QPointF screen = control.coordinateToScreen(coordinate);
            bool covered = false;
            for (const QRectF& box : markerBoxes)
                covered = covered || box.adjusted(-3, -3, 3, 3).contains(screen);
            if (covered || !shot.rect().contains(screen.toPoint()))
                continue;
            const QPoint pixel(int(std::floor(screen.x())), int(std::floor(screen.y())));
            const QPointF origin = Mercator::coordinateToPixel(coordinate, zoom, 256) - screen;
            const QPointF display = QPointF(pixel) + QPointF(0.5, 0.5) + origin;
            const QColor tile = TileServer::colourOf(zoom, int(std::floor(display.x() / 256)),
                                                     int(std::floor(display.y() / 256)));
            const QColor expected = blend(route, tile);
            const QColor seen = shot.pixelColor(pixel);
            QVERIFY2(near(seen, expected, 12),
                     qPrintable(QStringLiteral("record %1: %2, expected %3 over tile %4")
                                    .arg(k)
                                    .arg(seen.name(), expected.name(), tile.name())));
            ++checked;
        }
        QVERIFY(checked >= 3);
    };
    checkRoute({18, 22, 26, 30, 34}, MapWidgetConfig::activeRouteColor);
    checkRoute({47, 49, 51, 53, 55}, MapWidgetConfig::inactiveRouteColor);

    // The markers' opaque pixels show unchanged, the vehicle's too.
    for (int m = 0; m < markerBoxes.size(); ++m) {
        const QImage image = widget.markers()[std::size_t(m)]->pixmap().toImage();
        const QPoint topLeft = markerBoxes[m].topLeft().toPoint();
        int opaque = 0;
        int same = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() < 255)
                    continue;
                ++opaque;
                same += near(shot.pixelColor(topLeft + QPoint(x, y)), c, 4) ? 1 : 0;
            }
        }
        QVERIFY2(opaque > 20, qPrintable(widget.markers()[std::size_t(m)]->name()));
        QVERIFY2(same >= opaque * 9 / 10, qPrintable(widget.markers()[std::size_t(m)]->name()));
    }
}

void TestMapWidgetScreen::offlineRouteEventAndLegend()
{
    const Offline offline;
    MapWidget widget;
    widget.resize(400, 300);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    // A drive to the east: an ordinary recording of 10:00:00, an event recording of 10:00:14 and
    // the ordinary recording of 10:00:20 after it, which the assembly marks as event throughout.
    auto positions = std::make_shared<std::vector<QNmeaPositionInfo>>();
    const QStringList files{"/card/Normal/001_0001_20240301100000.mp4",
                            "/card/EVENT/001_0001_20240301100014.mp4",
                            "/card/Normal/001_0002_20240301100020.mp4"};
    for (int i = 0; i < 60; ++i) {
        const int file = i < 20 ? 0 : i < 30 ? 1 : 2;
        const int second = file == 0 ? i : file == 1 ? i - 6 : i - 10;
        QNmeaPositionInfo r(
            QNmeaCoordinate(RouteFixture::Latitude0, RouteFixture::Longitude0 + i * RouteFixture::Step),
            RouteFixture::start().addSecs(second));
        r.setMarker(QNmeaPositionInfo::Fix, true);
        r.setMarker(QNmeaPositionInfo::Event, file > 0);
        r.setFileName(files[file]);
        positions->push_back(r);
    }
    widget.onReady(positions);
    widget.on_PositionChange(10000);
    QTest::qWait(200);
    const ExtendedMapControl& control = *widget.mapControl();
    const QImage shot = widget.grab().toImage();

    // Without tiles the route lies on the plain background: driven, ahead, the event recording
    // and the seconds it covers of the recording after it, and beyond them ahead again.
    const QColor ground = MapControl::backgroundColor();
    const std::vector<std::pair<int, QColor>> expected{
        {5, MapWidgetConfig::activeRouteColor},    {16, MapWidgetConfig::inactiveRouteColor},
        {25, MapWidgetConfig::eventRouteColor},    {32, MapWidgetConfig::eventRouteColor},
        {40, MapWidgetConfig::inactiveRouteColor}, {52, MapWidgetConfig::inactiveRouteColor}};
    for (const auto& [record, colour] : expected) {
        const QNmeaPositionInfo& r = (*positions)[std::size_t(record)];
        const QPoint pixel =
            control.coordinateToScreen(QPointF(r.coordinate().longitude(), r.coordinate().latitude()))
                .toPoint();
        const QColor seen = shot.pixelColor(pixel);
        QVERIFY2(near(seen, blend(colour, ground), 12),
                 qPrintable(QStringLiteral("record %1: %2").arg(record).arg(seen.name())));
    }
    // The markers are drawn too.
    QCOMPARE(int(widget.markers().size()), 3);
    const std::shared_ptr<Point>& vehicle = widget.markers().back();
    const QImage hotSpot = vehicle->pixmap().toImage();
    QVERIFY(near(shot.pixelColor(control.coordinateToScreen(vehicle->coordinate()).toPoint()),
                 hotSpot.pixelColor(hotSpot.width() / 2, hotSpot.height() / 2), 8));

    // The legend's samples in the route's colours, on its half-transparent box.
    auto* legend = widget.findChild<RouteLegend*>();
    QVERIFY(legend && legend->isVisible());
    const QColor box = blend(QColor(255, 255, 255, 200), ground);
    const QPoint origin = legend->mapTo(&widget, QPoint(0, 0));
    const std::vector<std::pair<RouteLegend::Row, QColor>> samples{
        {RouteLegend::Driven, MapWidgetConfig::activeRouteColor},
        {RouteLegend::Ahead, MapWidgetConfig::inactiveRouteColor},
        {RouteLegend::Event, MapWidgetConfig::eventRouteColor},
        {RouteLegend::NoFix, MapWidgetConfig::activeRouteColor},
        {RouteLegend::NoFix, MapWidgetConfig::inactiveRouteColor},
        {RouteLegend::BridgedGap, MapWidgetConfig::longNmeaGapColor}};
    for (const auto& [row, colour] : samples) {
        const QRect area = legend->sampleRect(row).translated(origin);
        QVERIFY2(shows(shot, area, blend(colour, box), 6), qPrintable(RouteLegend::label(row)));
        QVERIFY2(!shows(shot, area, MapWidgetConfig::eventRouteColor, 60) || row == RouteLegend::Event,
                 qPrintable(RouteLegend::label(row)));
    }
    // The box lets the map show through, and its text is dark on it.
    QVERIFY(near(shot.pixelColor(origin + QPoint(2, legend->height() / 2)), box, 6));
}

void TestMapWidgetScreen::followedVehicleInTheMiddle()
{
    const Offline offline;
    MapWidget widget;
    widget.resize(400, 300);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.onReady(RouteFixture::line(600));
    ExtendedMapControl& control = *widget.mapControl();
    for (int i = 0; i < 3; ++i)
        control.zoomIn();

    const QImage hotSpot = widget.markers().back()->pixmap().toImage();
    const QColor centreColour = hotSpot.pixelColor(hotSpot.width() / 2, hotSpot.height() / 2);
    const QPoint middle(control.width() / 2, control.height() / 2);
    // Second by second the vehicle is what the user sees in the middle of the map.
    for (const qint64 ms : {120000, 121000, 122000, 400000}) {
        widget.on_PositionChange(ms);
        QTest::qWait(50);
        const QImage shot = widget.grab().toImage();
        QVERIFY2(near(shot.pixelColor(middle), centreColour, 8), qPrintable(QString::number(ms)));
    }
    // Once the user has moved the map, it stays where it was put.
    const auto send = [&control](QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                                 Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, control.mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(&control, &event);
    };
    send(QEvent::MouseButtonPress, middle, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, middle + QPoint(60, 60), Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, middle + QPoint(60, 60), Qt::LeftButton, Qt::NoButton);
    widget.on_PositionChange(401000);
    QTest::qWait(50);
    QVERIFY(!near(widget.grab().toImage().pixelColor(middle), centreColour, 8));
}

QTEST_MAIN(TestMapWidgetScreen)
#include "tst_mapwidgetscreen.moc"
