#include "extendedmapcontrol.h"
#include "geometrylayer.h"
#include "imagepoint.h"
#include "linestring.h"
#include "mapcontrol.h"
#include "maplayer.h"
#include "mapwidgetconfig.h"
#include "mercator.h"
#include "osmmapquestadapter.h"
#include "units.h"

#include <QPainter>
#include <QTextDocument>
#include <QtTest>

using namespace qmapcontrol;

namespace {

const QPointF Home(9.949208, 49.79226);

bool near(const QColor& a, const QColor& b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor& color)
{
    return color.name();
}

void wheel(QWidget& widget, const QPoint& angle, bool& accepted)
{
    const QPointF pos(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(pos, widget.mapToGlobal(pos.toPoint()), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&widget, &event);
    accepted = event.isAccepted();
}

void mouse(QWidget& widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget.mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

class TestMapControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void zoomStopsAtLimits();
    void wheel_data();
    void wheel();
    void dragPans();
    void viewportFollowsZoom();
    void layersByName();
    void scaleBarFollowsUnits();
    void deletedObjectsLeaveTheMap();
    void geometriesDrawnWhereAdapterPutsThem_data();
    void geometriesDrawnWhereAdapterPutsThem();
    void pathSkipsPointsWithinAPixel();
    void configImagesAndAttribution();

private:
    OSMMapQuestAdapter* m_adapter = nullptr;
};

void TestMapControl::initTestCase()
{
    // Nothing here draws tiles; should anything try, it stays on this machine.
    qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    m_adapter = new OSMMapQuestAdapter(this);
}

void TestMapControl::zoomStopsAtLimits()
{
    ExtendedMapControl control;
    GeometryLayer layer(QStringLiteral("Routes"), m_adapter);
    control.addLayer(&layer);
    control.setZoom(16);
    control.zoomIn();
    control.zoomIn();
    QCOMPARE(control.currentZoom(), 17);
    QCOMPARE(m_adapter->currentZoom(), 17);
    control.setZoom(40);
    QCOMPARE(control.currentZoom(), 17);
    control.setZoom(1);
    control.zoomOut();
    control.zoomOut();
    QCOMPARE(control.currentZoom(), 0);
    control.setZoom(-3);
    QCOMPARE(control.currentZoom(), 0);
    QCOMPARE(m_adapter->currentZoom(), 0);
}

void TestMapControl::wheel_data()
{
    QTest::addColumn<int>("startZoom");
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("up") << 5 << QPoint(0, 120) << 6 << true;
    QTest::newRow("down") << 5 << QPoint(0, -120) << 4 << true;
    QTest::newRow("fine step up") << 5 << QPoint(0, 15) << 6 << true;
    QTest::newRow("mostly vertical") << 5 << QPoint(10, -120) << 4 << true;
    QTest::newRow("horizontal right") << 5 << QPoint(120, 0) << 5 << false;
    QTest::newRow("horizontal left") << 5 << QPoint(-120, 0) << 5 << false;
    QTest::newRow("mostly horizontal") << 5 << QPoint(-120, 40) << 5 << false;
    QTest::newRow("no turn") << 5 << QPoint(0, 0) << 5 << false;
    QTest::newRow("up at 17") << 17 << QPoint(0, 120) << 17 << true;
    QTest::newRow("down at 0") << 0 << QPoint(0, -120) << 0 << true;
}

void TestMapControl::wheel()
{
    QFETCH(int, startZoom);
    QFETCH(QPoint, angle);
    QFETCH(int, zoom);
    QFETCH(bool, accepted);
    ExtendedMapControl control;
    QCOMPARE(control.size(), QSize(390, 288));
    control.setZoom(startZoom);
    bool wasAccepted = !accepted;
    ::wheel(control, angle, wasAccepted);
    QCOMPARE(control.currentZoom(), zoom);
    QCOMPARE(wasAccepted, accepted);
}

void TestMapControl::dragPans()
{
    ExtendedMapControl control;
    control.setView(Home);
    control.setZoom(10);
    const QPointF centre = control.coordinateToScreen(Home);
    QVERIFY(qAbs(centre.x() - 195) <= 0.5 && qAbs(centre.y() - 144) <= 0.5);

    mouse(control, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    mouse(control, QEvent::MouseMove, QPoint(180, 120), Qt::LeftButton);
    mouse(control, QEvent::MouseMove, QPoint(150, 100), Qt::LeftButton);
    mouse(control, QEvent::MouseButtonRelease, QPoint(150, 100), Qt::NoButton);
    // The map follows the pointer: what was in the middle moved 50 pixels left and up.
    const QPointF moved = control.coordinateToScreen(Home);
    QVERIFY2(qAbs(moved.x() - (centre.x() - 50)) <= 1 && qAbs(moved.y() - (centre.y() - 50)) <= 1,
             qPrintable(QStringLiteral("%1,%2").arg(moved.x()).arg(moved.y())));

    // A move after the release pans no more, and neither does a drag when panning is off.
    const QPointF view = control.currentCoordinate();
    mouse(control, QEvent::MouseMove, QPoint(10, 10), Qt::NoButton);
    QCOMPARE(control.currentCoordinate(), view);
    control.setMouseMode(MapControl::None);
    mouse(control, QEvent::MouseButtonPress, QPoint(200, 150), Qt::LeftButton);
    mouse(control, QEvent::MouseMove, QPoint(100, 50), Qt::LeftButton);
    mouse(control, QEvent::MouseButtonRelease, QPoint(100, 50), Qt::NoButton);
    QCOMPARE(control.currentCoordinate(), view);
}

void TestMapControl::viewportFollowsZoom()
{
    ExtendedMapControl control;
    control.setView(Home);
    control.setZoom(8);
    const QRectF wide = control.getViewport();
    QVERIFY(wide.width() > 0 && wide.height() > 0);
    QVERIFY(wide.contains(Home));
    QVERIFY(qAbs(wide.width() - 390.0 / (256 << 8) * 360) < 1e-9);
    QVERIFY(wide.top() < Home.y() && wide.bottom() > Home.y());

    control.zoomIn();
    const QRectF narrow = control.getViewport();
    QVERIFY(narrow.contains(Home));
    QVERIFY(qAbs(narrow.width() * 2 - wide.width()) < 1e-9);
    QVERIFY(wide.contains(narrow));

    // The corners of the viewport are the corners of the widget.
    const QPointF north_west = control.coordinateToScreen(QPointF(narrow.left(), narrow.bottom()));
    QVERIFY(north_west.manhattanLength() < 1e-6);
}

// The scale bar is a round length in the chosen units: its drawn length in pixels is that length
// at the map's resolution, so switching to miles changes it.
void TestMapControl::scaleBarFollowsUnits()
{
    const int zoom = 12;
    const double metresPerPixel = Mercator::metresPerPixel(Home.y(), zoom);
    for (const auto unit : {Units::SpeedUnit::KilometresPerHour, Units::SpeedUnit::MilesPerHour}) {
        Units::setSpeedUnit(unit);
        MapControl control(QSize(300, 200), MapControl::Panning, true);
        control.addLayer(new MapLayer(QStringLiteral("Map"), m_adapter, &control));
        control.setView(Home);
        control.setZoom(zoom);
        const QImage image = control.grab().toImage();
        // The bar's black line runs along the row 10 pixels above the bottom, from x = 10.
        const int row = image.height() - 10;
        int right = 10;
        while (right + 1 < image.width() && qGray(image.pixel(right + 1, row)) < 64)
            ++right;
        const Units::ScaleLength scale = Units::scaleLength(metresPerPixel * 120);
        QVERIFY2(qAbs((right - 10) - scale.metres / metresPerPixel) <= 2,
                 qPrintable(QStringLiteral("%1 px for %2").arg(right - 10).arg(scale.text)));
    }
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
}

void TestMapControl::layersByName()
{
    ExtendedMapControl control;
    MapLayer tiles(QStringLiteral("OpenStreetMapQuest-Layer"), m_adapter);
    GeometryLayer routes(QStringLiteral("Routes"), m_adapter);
    GeometryLayer markers(QStringLiteral("Markers"), m_adapter);
    control.addLayer(&tiles);
    control.addLayer(&routes);
    control.addLayer(&markers);
    control.addLayer(&routes);
    QCOMPARE(control.layerNames(), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
    QCOMPARE(control.layer(QStringLiteral("Routes")), &routes);
    QCOMPARE(control.layer(QStringLiteral("Nothing")), nullptr);
    control.removeLayer(&routes);
    QCOMPARE(control.layer(QStringLiteral("Routes")), nullptr);
    QCOMPARE(control.layers().size(), 2);
    control.addLayer(&routes);
    QCOMPARE(control.layerNames().last(), QStringLiteral("Routes"));
}

void TestMapControl::deletedObjectsLeaveTheMap()
{
    ExtendedMapControl control;
    control.setView(Home);
    auto* layer = new GeometryLayer(QStringLiteral("Routes"), m_adapter);
    control.addLayer(layer);

    auto* line = new LineString({new Point(9.9, 49.7), new Point(10.0, 49.8)}, QString(), QPen(Qt::red, 5));
    QPointer<Point> adopted = line->points().first();
    auto* shared = new Point(10.1, 49.9);
    auto* owner = new LineString({shared});
    line->addPoint(shared);
    QCOMPARE(line->numberOfPoints(), 3);
    layer->addGeometry(line);
    layer->addGeometry(owner);

    // The other line owns the shared point: deleting it shortens this line and nothing dangles.
    delete owner;
    QCOMPARE(line->numberOfPoints(), 2);
    QCOMPARE(layer->geometries().size(), 1);
    QVERIFY(!control.grab().isNull());

    delete line;
    QVERIFY(adopted.isNull());
    QVERIFY(layer->geometries().isEmpty());
    QVERIFY(!control.grab().isNull());

    delete layer;
    QVERIFY(control.layers().isEmpty());
    QVERIFY(!control.grab().isNull());
}

void TestMapControl::geometriesDrawnWhereAdapterPutsThem_data()
{
    QTest::addColumn<int>("zoom");
    QTest::addColumn<int>("alignment");
    // Where the coordinate falls on the 12 x 12 image.
    QTest::addColumn<QPointF>("anchor");
    QTest::newRow("z12 bottom middle") << 12 << int(Point::BottomMiddle) << QPointF(6, 12);
    QTest::newRow("z15 top left") << 15 << int(Point::TopLeft) << QPointF(0, 0);
    QTest::newRow("z16 top right") << 16 << int(Point::TopRight) << QPointF(12, 0);
    QTest::newRow("z17 middle") << 17 << int(Point::Middle) << QPointF(6, 6);
}

void TestMapControl::geometriesDrawnWhereAdapterPutsThem()
{
    QFETCH(int, zoom);
    QFETCH(int, alignment);
    QFETCH(QPointF, anchor);
    ExtendedMapControl control;
    control.showScale(false);
    GeometryLayer routes(QStringLiteral("Routes"), m_adapter);
    GeometryLayer markers(QStringLiteral("Markers"), m_adapter);
    control.addLayer(&routes);
    control.addLayer(&markers);
    control.setView(Home);
    control.setZoom(zoom);

    // A line from the centre towards the north-west corner, within the view at every zoom.
    const QPointF centreDisplay = m_adapter->coordinateToDisplay(Home);
    const QPointF start = m_adapter->displayToCoordinate(centreDisplay + QPointF(-120, -90));
    const QPointF end = m_adapter->displayToCoordinate(centreDisplay + QPointF(-20, -10));
    LineString line({new Point(start.x(), start.y()), new Point(end.x(), end.y())}, QString(),
                    QPen(Qt::red, 6, Qt::SolidLine, Qt::FlatCap));
    routes.addGeometry(&line);

    QPixmap green(12, 12);
    green.fill(Qt::green);
    const QPointF spot = m_adapter->displayToCoordinate(centreDisplay + QPointF(80, 60));
    ImagePoint marker(spot.x(), spot.y(), green, QStringLiteral("Vehicle"), Point::Alignment(alignment));
    markers.addGeometry(&marker);

    const QImage image = control.grab().toImage();
    const QPointF origin = control.coordinateToScreen(Home) - centreDisplay;
    auto pixel = [&image](const QPointF& p) { return image.pixelColor(p.toPoint()); };

    // Along the line and not beside it.
    const QPointF a = m_adapter->coordinateToDisplay(start) + origin;
    const QPointF b = m_adapter->coordinateToDisplay(end) + origin;
    for (const double t : {0.25, 0.5, 0.75}) {
        const QPointF on = a + (b - a) * t;
        QVERIFY2(near(pixel(on), Qt::red), qPrintable(describe(pixel(on))));
        QVERIFY(near(pixel(on + QPointF(9, -12)), MapControl::backgroundColor()));
    }

    // The image lies where its alignment puts it, and nowhere else.
    const QPointF topLeft = control.coordinateToScreen(spot) - anchor;
    QCOMPARE(marker.displayRect(*m_adapter).translated(origin).topLeft().toPoint(), topLeft.toPoint());
    for (const QPointF& inside : {QPointF(1, 1), QPointF(6, 6), QPointF(10, 10), QPointF(1, 10)}) {
        const QColor colour = pixel(topLeft + inside);
        QVERIFY2(near(colour, Qt::green), qPrintable(describe(colour)));
    }
    for (const QPointF& outside : {QPointF(-3, 6), QPointF(6, -3), QPointF(15, 6), QPointF(6, 15)}) {
        const QColor colour = pixel(topLeft + outside);
        QVERIFY2(near(colour, MapControl::backgroundColor()), qPrintable(describe(colour)));
    }
}

void TestMapControl::pathSkipsPointsWithinAPixel()
{
    ExtendedMapControl control;
    GeometryLayer layer(QStringLiteral("Routes"), m_adapter);
    control.addLayer(&layer);
    control.setZoom(10);
    // A vehicle standing still for a hundred seconds, then driving off.
    QList<Point*> points;
    for (int i = 0; i < 100; ++i) {
        points.append(new Point(Home.x() + i * 1e-6, Home.y()));
    }
    points.append(new Point(Home.x() + 0.01, Home.y()));
    LineString line(points);
    QCOMPARE(line.displayPath(*m_adapter).elementCount(), 2);
    // Closer up the same hundred points spread over about nine pixels.
    control.setZoom(17);
    const int close = line.displayPath(*m_adapter).elementCount();
    QVERIFY2(close > 5 && close < 20, qPrintable(QString::number(close)));
    // A moved point is seen at the next drawing.
    const QPointF moved(Home.x(), Home.y() + 0.01);
    points.last()->setCoordinate(moved);
    const QPainterPath path = line.displayPath(*m_adapter);
    QCOMPARE(QPointF(path.elementAt(path.elementCount() - 1)), m_adapter->coordinateToDisplay(moved));
}

void TestMapControl::configImagesAndAttribution()
{
    const MapWidgetConfig config;
    QCOMPARE(config.hotSpotImage().size(), QSize(24, 24));
    QCOMPARE(config.pinImage().size(), QSize(32, 32));
    QCOMPARE(MapWidgetConfig::lostRoutePen.style(), Qt::DotLine);
    QCOMPARE(MapWidgetConfig::activeRoutePen.color(), QColor(0, 172, 239, 127));

    QTextDocument document;
    document.setHtml(QString::fromUtf8(MapWidgetConfig::copyrightsText));
    QCOMPARE(document.toPlainText(), QString::fromUtf8("\u00a9 OpenStreetMap contributors, ODbL"));
    QVERIFY(MapWidgetConfig::copyrightsText.contains("href=\"https://www.openstreetmap.org/copyright\""));
}

QTEST_MAIN(TestMapControl)
#include "tst_mapcontrol.moc"
