#include "mercator.h"
#include "osmmapquestadapter.h"

#include <QtTest>

using namespace qmapcontrol;

class TestMercator : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void tileNumbers_data();
    void tileNumbers();
    void worldEdges();
    void adapterFollowsZoom();
    void tilePath_data();
    void tilePath();
    void tileServerChoice_data();
    void tileServerChoice();
};

void TestMercator::roundTrip_data()
{
    QTest::addColumn<QPointF>("coordinate");
    QTest::addColumn<int>("zoom");
    const QList<QPointF> places = {{9.949208, 49.79226}, {-74.006, 40.7128}, {151.2093, -33.8688}, {0, 0},
                                   {-179.9, 84.9},       {179.9, -84.9}};
    for (const QPointF& place : places) {
        for (int zoom : {0, 5, 12, 17}) {
            QTest::addRow("%g,%g@%d", place.x(), place.y(), zoom) << place << zoom;
        }
    }
}

void TestMercator::roundTrip()
{
    QFETCH(QPointF, coordinate);
    QFETCH(int, zoom);
    const QPointF pixel = Mercator::coordinateToPixel(coordinate, zoom);
    QVERIFY(pixel.x() >= 0 && pixel.x() <= Mercator::worldSize(zoom));
    QVERIFY(pixel.y() >= 0 && pixel.y() <= Mercator::worldSize(zoom));
    const QPointF back = Mercator::pixelToCoordinate(pixel, zoom);
    QVERIFY2(qAbs(back.x() - coordinate.x()) < 1e-9 && qAbs(back.y() - coordinate.y()) < 1e-9,
             qPrintable(QStringLiteral("%1,%2").arg(back.x(), 0, 'g', 15).arg(back.y(), 0, 'g', 15)));
}

void TestMercator::tileNumbers_data()
{
    QTest::addColumn<QPointF>("coordinate");
    QTest::addColumn<int>("zoom");
    QTest::addColumn<QPoint>("tile");
    QTest::newRow("origin z1") << QPointF(0, 0) << 1 << QPoint(1, 1);
    QTest::newRow("origin z0") << QPointF(0, 0) << 0 << QPoint(0, 0);
    QTest::newRow("London z10") << QPointF(-0.1278, 51.5074) << 10 << QPoint(511, 340);
    QTest::newRow("Wuerzburg z5") << QPointF(9.949208, 49.79226) << 5 << QPoint(16, 10);
    QTest::newRow("Wuerzburg z17") << QPointF(9.949208, 49.79226) << 17 << QPoint(69158, 44569);
    QTest::newRow("New York z15") << QPointF(-74.006, 40.7128) << 15 << QPoint(9647, 12320);
    QTest::newRow("Sydney z8") << QPointF(151.2093, -33.8688) << 8 << QPoint(235, 153);
    // Beyond the square world the tile numbers stay on the last existing tile.
    QTest::newRow("north pole z3") << QPointF(180, 90) << 3 << QPoint(7, 0);
    QTest::newRow("south pole z3") << QPointF(-180, -90) << 3 << QPoint(0, 7);
}

void TestMercator::tileNumbers()
{
    QFETCH(QPointF, coordinate);
    QFETCH(int, zoom);
    QFETCH(QPoint, tile);
    QCOMPARE(Mercator::tileAt(coordinate, zoom), tile);
}

void TestMercator::worldEdges()
{
    QCOMPARE(Mercator::worldSize(0), 256.0);
    QCOMPARE(Mercator::worldSize(17), 256.0 * (1 << 17));
    const QPointF north = Mercator::coordinateToPixel(QPointF(-180, Mercator::MaxLatitude), 4);
    QVERIFY(qAbs(north.x()) < 1e-9 && qAbs(north.y()) < 1e-6);
    // Latitudes beyond the edge are clamped, not turned into infinities.
    const QPointF pole = Mercator::coordinateToPixel(QPointF(0, 90), 4);
    QVERIFY(qIsFinite(pole.y()));
    QCOMPARE(Mercator::coordinateToPixel(QPointF(0, -90), 4).y(), Mercator::worldSize(4));
    // One pixel at the equator at zoom 0 is 1/256 of the earth's circumference.
    QVERIFY(qAbs(Mercator::metresPerPixel(0, 0) - 156543.03) < 0.01);
}

void TestMercator::adapterFollowsZoom()
{
    qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    OSMMapQuestAdapter adapter;
    QCOMPARE(adapter.tilesize(), 256);
    QCOMPARE(adapter.minZoom(), 0);
    QCOMPARE(adapter.maxZoom(), 17);
    const QPointF place(9.949208, 49.79226);
    QCOMPARE(adapter.coordinateToDisplay(place), Mercator::coordinateToPixel(place, adapter.currentZoom()));
    const QPointF back = adapter.displayToCoordinate(adapter.coordinateToDisplay(place));
    QVERIFY(qAbs(back.x() - place.x()) < 1e-9 && qAbs(back.y() - place.y()) < 1e-9);
    QVERIFY(adapter.isTileValid(0, 0, 0));
    QVERIFY(!adapter.isTileValid(1, 0, 0));
    QVERIFY(!adapter.isTileValid(0, 0, 18));
    QVERIFY(adapter.isTileValid(7, 7, 3));
    QVERIFY(!adapter.isTileValid(-1, 0, 3));
}

void TestMercator::tilePath_data()
{
    QTest::addColumn<QByteArray>("server");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QByteArray("http://127.0.0.1:8080/%1/%2/%3.png") << "http://127.0.0.1:8080"
                           << "/3/4/2.png";
    QTest::newRow("access key") << QByteArray("https://tiles.example/kelm_Q4mT8vLz2KpW9sXn3RbYc/%1/%2/%3.png")
                                << "https://tiles.example"
                                << "/kelm_Q4mT8vLz2KpW9sXn3RbYc/3/4/2.png";
    QTest::newRow("query order") << QByteArray("http://localhost/tile?y=%3&x=%2&z=%1") << "http://localhost"
                                 << "/tile?y=2&x=4&z=3";
}

void TestMercator::tilePath()
{
    QFETCH(QByteArray, server);
    QFETCH(QString, host);
    QFETCH(QString, path);
    qputenv(OSMMapQuestAdapter::TileServerVariable, server);
    const OSMMapQuestAdapter adapter;
    QCOMPARE(adapter.host(), host);
    QCOMPARE(adapter.query(4, 2, 3), path);
    QCOMPARE(adapter.tileUrl(4, 2, 3), QUrl(host + path));
}

void TestMercator::tileServerChoice_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("chosen");
    const QString a = QStringLiteral("http://127.0.0.1:1/%1/%2/%3.png");
    const QString b = QStringLiteral("https://tiles.example/%1/%2/%3.png");
    const QString fallback = OSMMapQuestAdapter::DefaultTileServer;
    QTest::newRow("environment wins") << a << b << a;
    QTest::newRow("setting") << QString() << b << b;
    QTest::newRow("default") << QString() << QString() << fallback;
    QTest::newRow("bad environment") << "127.0.0.1/%1/%2/%3" << b << b;
    QTest::newRow("missing placeholder") << QString() << "https://tiles.example/%1/%2.png" << fallback;
    QTest::newRow("not http") << "file:///tmp/%1/%2/%3.png" << QString() << fallback;
    QTest::newRow("no path") << "http://%1%2%3" << QString() << fallback;
}

void TestMercator::tileServerChoice()
{
    QFETCH(QString, environment);
    QFETCH(QString, setting);
    QFETCH(QString, chosen);
    QCOMPARE(OSMMapQuestAdapter::chooseTileServer(environment, setting), chosen);
}

QTEST_GUILESS_MAIN(TestMercator)
#include "tst_mercator.moc"
