#include "extendedmapcontrol.h"
#include "geometrylayer.h"
#include "imagepoint.h"
#include "maplayer.h"
#include "mercator.h"
#include "osmmapquestadapter.h"
#include "units.h"

#include <QPainter>
#include <QtTest>

using namespace qmapcontrol;

namespace {

const QPointF Home(9.949208, 49.79226);

bool near(const QColor& a, const QColor& b, int tolerance = 8)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

bool wheel(QWidget& widget, const QPoint& angle)
{
    const QPointF pos(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(pos, widget.mapToGlobal(pos.toPoint()), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    event.setAccepted(false);
    QCoreApplication::sendEvent(&widget, &event);
    return event.isAccepted();
}

void mouse(QWidget& widget, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget.mapToGlobal(pos),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

} // namespace

// The tile-map engine: the Mercator projection, the tile server's addresses, and the map control
// with its zoom, panning, layers and geometries.
class TestMapControl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // Nothing here draws tiles; should anything try, it stays on this machine.
        qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
        m_adapter = new OSMMapQuestAdapter(this);
    }

    void mercator()
    {
        for (const QPointF& place :
             {QPointF(9.949208, 49.79226), QPointF(-74.006, 40.7128), QPointF(151.2093, -33.8688),
              QPointF(0, 0), QPointF(-179.9, 84.9), QPointF(179.9, -84.9)}) {
            for (int zoom : {0, 5, 12, 17}) {
                const QPointF pixel = Mercator::coordinateToPixel(place, zoom);
                QVERIFY(pixel.x() >= 0 && pixel.x() <= Mercator::worldSize(zoom));
                QVERIFY(pixel.y() >= 0 && pixel.y() <= Mercator::worldSize(zoom));
                const QPointF back = Mercator::pixelToCoordinate(pixel, zoom);
                QVERIFY2(qAbs(back.x() - place.x()) < 1e-9 && qAbs(back.y() - place.y()) < 1e-9,
                         qPrintable(QStringLiteral("%1,%2 at %3").arg(place.x()).arg(place.y()).arg(zoom)));
            }
        }

        // Known places fall on their tiles.
        for (const auto& [place, zoom, tile] : {std::tuple{QPointF(-0.1278, 51.5074), 10, QPoint(511, 340)},
                                                {QPointF(9.949208, 49.79226), 17, QPoint(69158, 44569)},
                                                {QPointF(151.2093, -33.8688), 8, QPoint(235, 153)}}) {
            const QPointF pixel = Mercator::coordinateToPixel(place, zoom) / 256;
            QCOMPARE(QPoint(int(pixel.x()), int(pixel.y())), tile);
        }

        const QPointF north = Mercator::coordinateToPixel(QPointF(-180, Mercator::MaxLatitude), 4);
        QVERIFY(qAbs(north.x()) < 1e-9 && qAbs(north.y()) < 1e-6);
        // Latitudes beyond the edge are clamped, not turned into infinities.
        QVERIFY(qIsFinite(Mercator::coordinateToPixel(QPointF(0, 90), 4).y()));
        QCOMPARE(Mercator::coordinateToPixel(QPointF(0, -90), 4).y(), Mercator::worldSize(4));
        // One pixel at the equator at zoom 0 is 1/256 of the earth's circumference.
        QVERIFY(qAbs(Mercator::metresPerPixel(0, 0) - 156543.03) < 0.01);
    }

    void adapterAndTileServer()
    {
        OSMMapQuestAdapter adapter;
        QCOMPARE(adapter.coordinateToDisplay(Home), Mercator::coordinateToPixel(Home, adapter.currentZoom()));
        const QPointF back = adapter.displayToCoordinate(adapter.coordinateToDisplay(Home));
        QVERIFY(qAbs(back.x() - Home.x()) < 1e-9 && qAbs(back.y() - Home.y()) < 1e-9);

        // The placeholders may come in any order, after a path that carries an access key.
        qputenv(OSMMapQuestAdapter::TileServerVariable,
                "https://tiles.example/kelm_Q4mT8v/tile?y=%3&x=%2&z=%1");
        const OSMMapQuestAdapter withServer;
        QCOMPARE(withServer.host(), QStringLiteral("https://tiles.example"));
        QCOMPARE(withServer.query(4, 2, 3), QStringLiteral("/kelm_Q4mT8v/tile?y=2&x=4&z=3"));
        QCOMPARE(withServer.tileUrl(4, 2, 3), QUrl("https://tiles.example/kelm_Q4mT8v/tile?y=2&x=4&z=3"));
        qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");

        // The environment wins over the setting when usable; a bad one falls back.
        const QString a = QStringLiteral("http://127.0.0.1:1/%1/%2/%3.png");
        const QString b = QStringLiteral("https://tiles.example/%1/%2/%3.png");
        const QString fallback = OSMMapQuestAdapter::DefaultTileServer;
        const auto choose = &OSMMapQuestAdapter::chooseTileServer;
        QCOMPARE(choose(a, b), a);
        QCOMPARE(choose(QString(), b), b);
        QCOMPARE(choose(QString(), QString()), fallback);
        QCOMPARE(choose("127.0.0.1/%1/%2/%3", b), b);
        QCOMPARE(choose(QString(), "https://tiles.example/%1/%2.png"), fallback);
        QCOMPARE(choose("file:///tmp/%1/%2/%3.png", QString()), fallback);
        QCOMPARE(choose("http://%1%2%3", QString()), fallback);
    }

    void zoomByCallAndWheel()
    {
        ExtendedMapControl control;
        GeometryLayer layer(QStringLiteral("Routes"), m_adapter);
        control.addLayer(&layer);
        control.setZoom(16);
        control.zoomIn();
        control.zoomIn();
        QCOMPARE(m_adapter->currentZoom(), 17);
        control.setZoom(40);
        QCOMPARE(control.currentZoom(), 17);
        control.setZoom(-3);
        QCOMPARE(m_adapter->currentZoom(), 0);

        // Vertical turns zoom one level, also the fine steps of a touchpad; sideways turns do not.
        struct Turn
        {
            int startZoom;
            QPoint angle;
            int zoom;
            bool accepted;
        };
        const Turn turns[] = {{5, {0, 120}, 6, true},   {5, {0, -120}, 4, true},  {5, {0, 15}, 6, true},
                              {5, {10, -120}, 4, true}, {5, {120, 0}, 5, false},  {5, {-120, 40}, 5, false},
                              {5, {0, 0}, 5, false},    {17, {0, 120}, 17, true}, {0, {0, -120}, 0, true}};
        for (const Turn& turn : turns) {
            control.setZoom(turn.startZoom);
            QCOMPARE(wheel(control, turn.angle), turn.accepted);
            QCOMPARE(control.currentZoom(), turn.zoom);
        }
    }

    void dragPans()
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

    // The scale bar is a round length in the chosen units: its drawn length in pixels is that
    // length at the map's resolution, so switching to miles changes it.
    void scaleBarFollowsUnits()
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

    void deletedObjectsLeaveTheMap()
    {
        ExtendedMapControl control;
        control.setView(Home);
        auto* layer = new GeometryLayer(QStringLiteral("Markers"), m_adapter);
        control.addLayer(layer);
        QPixmap green(12, 12);
        green.fill(Qt::green);
        auto* first = new ImagePoint(9.9, 49.7, green, QStringLiteral("Beginning"));
        auto* second = new ImagePoint(10.0, 49.8, green, QStringLiteral("End"));
        layer->addGeometry(first);
        layer->addGeometry(second);

        // Nothing dangles after a marker or its layer goes.
        delete first;
        QCOMPARE(layer->geometries().size(), 1);
        QVERIFY(!control.grab().isNull());
        delete second;
        QVERIFY(layer->geometries().isEmpty());
        QVERIFY(!control.grab().isNull());

        delete layer;
        QVERIFY(control.layers().isEmpty());
        QVERIFY(!control.grab().isNull());
    }

    void geometriesDrawnWhereAdapterPutsThem_data()
    {
        QTest::addColumn<int>("zoom");
        QTest::addColumn<int>("alignment");
        QTest::addColumn<QPointF>("anchor"); // where the coordinate falls on the 12 x 12 image
        QTest::newRow("z12 bottom middle") << 12 << int(Point::BottomMiddle) << QPointF(6, 12);
        QTest::newRow("z15 top left") << 15 << int(Point::TopLeft) << QPointF(0, 0);
        QTest::newRow("z16 top right") << 16 << int(Point::TopRight) << QPointF(12, 0);
        QTest::newRow("z17 middle") << 17 << int(Point::Middle) << QPointF(6, 6);
    }

    void geometriesDrawnWhereAdapterPutsThem()
    {
        QFETCH(int, zoom);
        QFETCH(int, alignment);
        QFETCH(QPointF, anchor);
        ExtendedMapControl control;
        control.showScale(false);
        GeometryLayer markers(QStringLiteral("Markers"), m_adapter);
        control.addLayer(&markers);
        control.setView(Home);
        control.setZoom(zoom);

        const QPointF centreDisplay = m_adapter->coordinateToDisplay(Home);
        QPixmap green(12, 12);
        green.fill(Qt::green);
        const QPointF spot = m_adapter->displayToCoordinate(centreDisplay + QPointF(80, 60));
        ImagePoint marker(spot.x(), spot.y(), green, QStringLiteral("Vehicle"), Point::Alignment(alignment));
        markers.addGeometry(&marker);

        const QImage image = control.grab().toImage();
        const QPointF origin = control.coordinateToScreen(Home) - centreDisplay;
        const auto pixel = [&image](const QPointF& p) { return image.pixelColor(p.toPoint()); };

        // The image lies where its alignment puts it, and nowhere else.
        const QPointF topLeft = control.coordinateToScreen(spot) - anchor;
        QCOMPARE(marker.displayRect(*m_adapter).translated(origin).topLeft().toPoint(), topLeft.toPoint());
        for (const QPointF& inside : {QPointF(1, 1), QPointF(6, 6), QPointF(10, 10), QPointF(1, 10)})
            QVERIFY2(near(pixel(topLeft + inside), Qt::green), qPrintable(pixel(topLeft + inside).name()));
        for (const QPointF& outside : {QPointF(-3, 6), QPointF(6, -3), QPointF(15, 6), QPointF(6, 15)}) {
            QVERIFY2(near(pixel(topLeft + outside), MapControl::backgroundColor()),
                     qPrintable(pixel(topLeft + outside).name()));
        }
    }

private:
    OSMMapQuestAdapter* m_adapter = nullptr;
};

QTEST_MAIN(TestMapControl)
#include "tst_mapcontrol.moc"
