#include "extendedmapcontrol.h"
#include "mapadapter.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "mercator.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "routefixture.h"
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

} // namespace

// The map as the user sees it: tiles from a server on this machine, the route in its two colours
// and the three markers on top.
class TestMapWidgetScreen : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void routeAndMarkersOnTiles();

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

QTEST_MAIN(TestMapWidgetScreen)
#include "tst_mapwidgetscreen.moc"
