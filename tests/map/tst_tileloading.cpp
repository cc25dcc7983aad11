#include "cachedtiles.h"
#include "extendedmapcontrol.h"
#include "maplayer.h"
#include "osmmapquestadapter.h"
#include "tileloader.h"
#include "tileserver.h"

#include <QNetworkDiskCache>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace qmapcontrol;

namespace {

// Würzburg: at zoom 3 it lies in tile x 4, y 2.
const QPointF Home(9.949208, 49.79226);
constexpr int Zoom = 3;

// One map view on the tile server named by the environment.
struct MapView
{
    MapView(const QSize& size = QSize(1000, 800))
        : adapter(new OSMMapQuestAdapter), layer(QStringLiteral("OpenStreetMapQuest-Layer"), adapter.get())
    {
        control.addLayer(&layer);
        control.resize(size);
        control.setView(Home);
        control.setZoom(Zoom);
    }

    // The colour drawn in the middle of tile (x, y) at the current zoom.
    QColor tileColour(const QImage& image, int x, int y) const
    {
        const QPointF origin = control.coordinateToScreen(Home) - adapter->coordinateToDisplay(Home);
        return image.pixelColor((QPointF(x + 0.5, y + 0.5) * 256 + origin).toPoint());
    }

    std::unique_ptr<OSMMapQuestAdapter> adapter;
    ExtendedMapControl control;
    MapLayer layer;
};

bool idle()
{
    const TileLoader* loader = TileLoader::instance();
    return loader->requestsInFlight() == 0 && loader->pendingDecodes() == 0;
}

// Whether the disk cache of the tile loaders holds `url`.
bool diskCacheHolds(const QUrl& url)
{
    QNetworkDiskCache cache;
    cache.setCacheDirectory(TileLoader::diskCacheDirectory());
    return cache.metaData(url).isValid();
}

// The tiles of the default view: x 2 to 6, y 1 to 4 at zoom 3 in 1000 x 800 pixels.
int visibleTiles()
{
    return 5 * 4;
}

} // namespace

class TestTileLoading : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void tilesArriveAndAreDrawn();
    void secondViewSendsNoRequest();
    void refusedTile_data();
    void refusedTile();
    void seenTilesStayVisibleOffline();
    void hostileTile_data();
    void hostileTile();
    void longBodyCutShort_data();
    void longBodyCutShort();
    void stalledRequestsHoldNoExtraConnection_data();
    void stalledRequestsHoldNoExtraConnection();
    void loaderGoesAwayWhileDecoding();
    void contactInUserAgent_data();
    void contactInUserAgent();

private:
    void pointServerAt(const TileServer& server);

    QTemporaryDir m_cacheHome;
    std::unique_ptr<TileServer> m_server;
};

void TestTileLoading::initTestCase()
{
    QVERIFY(m_cacheHome.isValid());
    // A private disk cache for this run, set before the loader exists.
    qputenv("XDG_CACHE_HOME", m_cacheHome.path().toUtf8());
    qputenv(TileLoader::ContactVariable, "maps@tests.example");
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
}

void TestTileLoading::init()
{
    m_server = std::make_unique<TileServer>();
    QVERIFY(m_server->listen());
    pointServerAt(*m_server);
}

void TestTileLoading::cleanup()
{
    QTRY_VERIFY(idle());
    TileLoader* loader = TileLoader::instance();
    loader->setRetryDelay(TileLoader::DefaultRetryDelay);
    loader->setTransferTimeout(TileLoader::DefaultTransferTimeout);
    m_server.reset();
}

void TestTileLoading::pointServerAt(const TileServer& server)
{
    qputenv(OSMMapQuestAdapter::TileServerVariable, server.urlTemplate());
}

void TestTileLoading::tilesArriveAndAreDrawn()
{
    m_server->setDelay(30);
    // Not even the disk cache may hide a tile asked for twice.
    m_server->setMaxAge(-1);
    MapView view;
    QCOMPARE(view.adapter->currentZoom(), Zoom);
    // Repainting while the tiles are on their way asks for none of them twice.
    QTRY_VERIFY((view.control.grab(), m_server->paths.size() == visibleTiles() && idle()));
    for (int i = 0; i < 5; ++i) {
        view.control.grab();
    }
    QCOMPARE(m_server->paths.size(), visibleTiles());
    QCOMPARE(QSet<QString>(m_server->paths.begin(), m_server->paths.end()).size(), visibleTiles());
    QVERIFY(m_server->paths.contains(TileServer::pathOf(3, 4, 2)));
    QVERIFY2(m_server->maxInFlight <= TileLoader::MaxRequestsPerHost,
             qPrintable(QString::number(m_server->maxInFlight)));
    QVERIFY(m_server->maxInFlight >= 1);
    QVERIFY(m_server->maxConnections <= TileLoader::MaxRequestsPerHost);
    for (const QByteArray& agent : qAsConst(m_server->userAgents)) {
        QCOMPARE(agent, QByteArray("Tarrow/1.0.17 (+maps@tests.example)"));
    }
    QCOMPARE(m_server->userAgents.size(), visibleTiles());

    const QImage image = view.control.grab().toImage();
    for (const QPoint& tile : {QPoint(4, 2), QPoint(2, 1), QPoint(5, 3)}) {
        QCOMPARE(view.tileColour(image, tile.x(), tile.y()), TileServer::colourOf(Zoom, tile.x(), tile.y()));
    }
}

void TestTileLoading::secondViewSendsNoRequest()
{
    {
        MapView first;
        QTRY_VERIFY((first.control.grab(), m_server->paths.size() == visibleTiles() && idle()));
    }
    // The memory cache draws a new view of the same area at once.
    MapView second;
    QImage image = second.control.grab().toImage();
    QCOMPARE(second.tileColour(image, 4, 2), TileServer::colourOf(Zoom, 4, 2));

    // Without it the disk cache answers, still without asking the server.
    TileLoader::instance()->clearMemoryCache();
    QSignalSpy ready(TileLoader::instance(), &TileLoader::tileReady);
    second.control.grab();
    QTRY_COMPARE(ready.count(), visibleTiles());
    image = second.control.grab().toImage();
    QCOMPARE(second.tileColour(image, 4, 2), TileServer::colourOf(Zoom, 4, 2));
    QTest::qWait(100);
    QCOMPARE(m_server->paths.size(), visibleTiles());
}

void TestTileLoading::refusedTile_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("requests");
    QTest::newRow("not found") << 404 << 1;
    QTest::newRow("forbidden") << 403 << 1;
    QTest::newRow("too many requests") << 429 << TileLoader::MaxAttempts;
    QTest::newRow("server error") << 503 << TileLoader::MaxAttempts;
}

void TestTileLoading::refusedTile()
{
    QFETCH(int, status);
    QFETCH(int, requests);
    const QString refused = TileServer::pathOf(Zoom, 4, 2);
    m_server->setStatus(refused, status);
    TileLoader::instance()->setRetryDelay(0);
    QSignalSpy failed(TileLoader::instance(), &TileLoader::tileFailed);

    MapView view;
    QTRY_VERIFY((view.control.grab(), m_server->paths.size() >= visibleTiles() && idle()));
    // Many repaints later the tile has been asked for no more than allowed.
    for (int i = 0; i < 10; ++i) {
        view.control.grab();
        QTRY_VERIFY(idle());
    }
    QCOMPARE(m_server->paths.count(refused), requests);
    QCOMPARE(failed.count(), requests);
    QCOMPARE(m_server->paths.size(), visibleTiles() - 1 + requests);

    const QImage image = view.control.grab().toImage();
    QCOMPARE(view.tileColour(image, 4, 2), MapControl::backgroundColor());
    QCOMPARE(view.tileColour(image, 3, 2), TileServer::colourOf(Zoom, 3, 2));
}

void TestTileLoading::seenTilesStayVisibleOffline()
{
    // Tiles that must be checked with the server before use ...
    m_server->setMaxAge(0);
    MapView view;
    QTRY_VERIFY((view.control.grab(), m_server->paths.size() == visibleTiles() && idle()));

    // ... are still drawn from the disk cache when the server is gone.
    m_server->close();
    TileLoader::instance()->clearMemoryCache();
    QSignalSpy ready(TileLoader::instance(), &TileLoader::tileReady);
    view.control.grab();
    QTRY_COMPARE(ready.count(), visibleTiles());
    const QImage image = view.control.grab().toImage();
    QCOMPARE(view.tileColour(image, 4, 2), TileServer::colourOf(Zoom, 4, 2));

    // Pictures made away from the map (a clip's route map) read the same tiles; one never seen
    // is none.
    const QImage cached = CachedTiles::tile(Zoom, 4, 2);
    QCOMPARE(cached.size(), QSize(256, 256));
    QCOMPARE(QColor(cached.pixel(128, 128)), TileServer::colourOf(Zoom, 4, 2));
    QVERIFY(CachedTiles::tile(Zoom + 5, 4, 2).isNull());
}

void TestTileLoading::hostileTile_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("drawn");
    const QColor colour(200, 40, 90);
    QTest::newRow("largest allowed") << TileServer::png(QSize(1024, 1024), colour) << true;
    QTest::newRow("too wide") << TileServer::png(QSize(1025, 256), colour) << false;
    QTest::newRow("too high") << TileServer::png(QSize(256, 1025), colour) << false;
    QTest::newRow("decompression bomb")
        << TileServer::png(QSize(20000, 20000), Qt::color0, QImage::Format_Mono) << false;
    QTest::newRow("not an image") << QByteArray("<html><body>Busy</body></html>") << false;
    const QByteArray whole = TileServer::png(QSize(256, 256), colour);
    QTest::newRow("cut off") << whole.left(whole.size() / 2) << false;
}

void TestTileLoading::hostileTile()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, drawn);
    const QString path = TileServer::pathOf(Zoom, 4, 2);
    const QUrl url = m_server->urlOf(Zoom, 4, 2);
    m_server->setBody(path, body);
    TileLoader::instance()->setRetryDelay(0);
    QSignalSpy failed(TileLoader::instance(), &TileLoader::tileFailed);

    {
        MapView view;
        QTRY_VERIFY((view.control.grab(), m_server->paths.size() == visibleTiles() && idle()));
        for (int i = 0; i < 5; ++i) {
            view.control.grab();
            QTRY_VERIFY(idle());
        }
        const QImage image = view.control.grab().toImage();
        QCOMPARE(view.tileColour(image, 4, 2), drawn ? QColor(200, 40, 90) : MapControl::backgroundColor());
        QCOMPARE(view.tileColour(image, 3, 2), TileServer::colourOf(Zoom, 3, 2));
    }
    QCOMPARE(failed.count(), drawn ? 0 : 1);
    // A bad tile is not kept for later sessions ...
    QCOMPARE(diskCacheHolds(url), drawn);
    // ... nor asked for again in this one, not even by a new view.
    TileLoader::instance()->clearMemoryCache();
    MapView again;
    again.control.grab();
    QTRY_VERIFY(idle());
    QCOMPARE(m_server->paths.count(path), 1);
}

void TestTileLoading::longBodyCutShort_data()
{
    QTest::addColumn<bool>("declared");
    QTest::newRow("length declared") << true;
    QTest::newRow("length not declared") << false;
}

void TestTileLoading::longBodyCutShort()
{
    QFETCH(bool, declared);
    constexpr qint64 Size = 256ll * 1024 * 1024;
    const QString path = TileServer::pathOf(Zoom, 4, 2);
    m_server->setLongBody(path, Size, declared);
    QSignalSpy failed(TileLoader::instance(), &TileLoader::tileFailed);

    MapView view;
    view.control.grab();
    QTRY_COMPARE(failed.count(), 1);
    QTRY_VERIFY(idle());
    // The server could hand over no more than the limit and what the sockets buffer on the way.
    QVERIFY2(m_server->longBytesSent < Size / 8, qPrintable(QString::number(m_server->longBytesSent)));
    // The server notices the closed connection only after its next write; slow under load.
    QTRY_COMPARE_WITH_TIMEOUT(m_server->connections, 0, 20000);
    QVERIFY(!diskCacheHolds(m_server->urlOf(Zoom, 4, 2)));
    const QImage image = view.control.grab().toImage();
    QCOMPARE(view.tileColour(image, 4, 2), MapControl::backgroundColor());
    QCOMPARE(view.tileColour(image, 4, 1), TileServer::colourOf(Zoom, 4, 1));
    QCOMPARE(m_server->paths.count(path), 1);
}

void TestTileLoading::stalledRequestsHoldNoExtraConnection_data()
{
    QTest::addColumn<QString>("stall");
    QTest::addColumn<bool>("keepAlive");
    QTest::newRow("silent server") << "every tile" << false;
    QTest::newRow("two tiles stall, connections kept") << "two tiles" << true;
    QTest::newRow("two tiles trickle, connections kept") << "two tiles trickle" << true;
}

void TestTileLoading::stalledRequestsHoldNoExtraConnection()
{
    QFETCH(QString, stall);
    QFETCH(bool, keepAlive);
    m_server->setKeepAlive(keepAlive);
    m_server->setDelay(0);
    if (stall == QLatin1String("every tile")) {
        m_server->setDefaultStatus(0);
    }
    for (const QString& path : {TileServer::pathOf(Zoom, 4, 2), TileServer::pathOf(Zoom, 3, 2)}) {
        if (stall == QLatin1String("two tiles")) {
            m_server->setStatus(path, 0);
        } else if (stall == QLatin1String("two tiles trickle")) {
            // Never silent long enough to time out, yet never done.
            m_server->setTrickle(path, 50);
        }
    }
    TileLoader* loader = TileLoader::instance();
    loader->setTransferTimeout(200);
    loader->setRetryDelay(0);
    QSignalSpy failed(loader, &TileLoader::tileFailed);

    MapView view;
    // Aborted requests make room for the next ones, and their connections go with them.
    while (failed.count() < 2 * TileLoader::MaxAttempts) {
        view.control.grab();
        QVERIFY(failed.wait());
    }
    QTRY_VERIFY(idle());
    if (!keepAlive) {
        QTRY_COMPARE(m_server->connections, 0);
    }
    QVERIFY2(m_server->maxConnections <= TileLoader::MaxRequestsPerHost,
             qPrintable(QString::number(m_server->maxConnections)));
    QVERIFY(m_server->paths.size() >= 2 * TileLoader::MaxAttempts);
}

void TestTileLoading::loaderGoesAwayWhileDecoding()
{
    const QColor colour(30, 160, 90);
    m_server->setBody(TileServer::pathOf(Zoom, 4, 2), TileServer::png(QSize(1024, 1024), colour));
    m_server->setDelay(0);
    const QUrl url = m_server->urlOf(Zoom, 4, 2);

    // A loader of its own that delivers a tile ...
    auto* loader = new TileLoader;
    QSignalSpy ready(loader, &TileLoader::tileReady);
    QVERIFY(loader->tile(url).isNull());
    QTRY_COMPARE(ready.count(), 1);
    QCOMPARE(loader->tile(url).toImage().pixelColor(512, 512), colour);

    // ... and one that goes away as soon as the body is in, while the tile is being decoded:
    // nothing arrives from it afterwards, and nothing crashes.
    loader->clearMemoryCache();
    auto* doomed = new TileLoader;
    QSignalSpy doomedReady(doomed, &TileLoader::tileReady);
    doomed->tile(url);
    while (doomed->requestsInFlight() > 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    delete doomed;
    QTest::qWait(200);
    QCOMPARE(doomedReady.count(), 0);
    delete loader;
}

void TestTileLoading::contactInUserAgent_data()
{
    QTest::addColumn<QString>("environment");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QByteArray>("agent");
    QTest::newRow("environment wins")
        << "ops@fleet.example"
        << "https://fleet.example/maps" << QByteArray("Tarrow/1.0.17 (+ops@fleet.example)");
    QTest::newRow("setting") << QString() << " https://fleet.example/maps "
                             << QByteArray("Tarrow/1.0.17 (+https://fleet.example/maps)");
    QTest::newRow("default") << "  " << QString() << QByteArray("Tarrow/1.0.17 (+https://halvard.example)");
    // A contact cannot add header lines or close the comment it stands in.
    QTest::newRow("line breaks") << "a@b.example\r\nX-Evil: 1" << QString()
                                 << QByteArray("Tarrow/1.0.17 (+a@b.example X-Evil: 1)");
    QTest::newRow("brackets") << QString() << "me (at) home)" << QByteArray("Tarrow/1.0.17 (+me at home)");
    QTest::newRow("nothing printable")
        << QString::fromUtf8("\t\u00e9\u00e9") << "x@y.example" << QByteArray("Tarrow/1.0.17 (+x@y.example)");
}

void TestTileLoading::contactInUserAgent()
{
    QFETCH(QString, environment);
    QFETCH(QString, setting);
    QFETCH(QByteArray, agent);
    QCOMPARE(TileLoader::userAgentFor(TileLoader::chooseContact(environment, setting)), agent);
}

QTEST_MAIN(TestTileLoading)
#include "tst_tileloading.moc"
