// One map view of 20 tiles against a loopback tile server, in one of four cases, printing how
// long the tiles take, how busy the GUI thread was, how long its event loop was held up, the
// peak memory of the process, and what the server saw.
#include "extendedmapcontrol.h"
#include "maplayer.h"
#include "osmmapquestadapter.h"
#include "tileloader.h"
#include "tileserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QNetworkProxy>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

using namespace qmapcontrol;

namespace {

qint64 threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// "VmHWM" (peak) or "VmRSS" (now) of this process in MiB.
double memoryMiB(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field + ':')) {
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir cacheHome;
    qputenv("XDG_CACHE_HOME", cacheHome.path().toUtf8());
    QApplication app(argc, argv);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("ordinary");
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);

    TileServer server;
    server.listen();
    server.setDelay(5);
    server.setKeepAlive(true);
    qputenv(OSMMapQuestAdapter::TileServerVariable, server.urlTemplate());
    TileLoader* loader = TileLoader::instance();
    constexpr int Zoom = 3;
    if (scenario == QLatin1String("bombs")) {
        const QByteArray bomb = TileServer::png(QSize(20000, 20000), Qt::color0, QImage::Format_Mono);
        std::printf("bomb: %d bytes of PNG for 20000 x 20000 pixels\n", int(bomb.size()));
        for (int x = 0; x < 8; ++x) {
            for (int y = 0; y < 8; ++y) {
                server.setBody(TileServer::pathOf(Zoom, x, y), bomb);
            }
        }
    } else if (scenario == QLatin1String("endless")) {
        server.setLongBody(TileServer::pathOf(Zoom, 4, 2), 200ll * 1024 * 1024, false);
    } else if (scenario == QLatin1String("silent")) {
        server.setDefaultStatus(0);
        loader->setTransferTimeout(300);
    }
    loader->setRetryDelay(0);

    OSMMapQuestAdapter adapter;
    MapLayer layer(QStringLiteral("OpenStreetMapQuest-Layer"), &adapter);
    ExtendedMapControl control;
    control.addLayer(&layer);
    control.resize(1000, 800);
    control.setView(QPointF(9.949208, 49.79226));
    control.setZoom(Zoom);

    int ready = 0;
    int failed = 0;
    QObject::connect(loader, &TileLoader::tileReady, [&ready] { ++ready; });
    QObject::connect(loader, &TileLoader::tileFailed, [&failed] { ++failed; });

    // The peak memory counts from here, without the making of the bombs.
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly)) {
        clearRefs.write("5");
        clearRefs.close();
    }

    // The view is repainted every 50 ms for three seconds, as a map following the playback is.
    QElapsedTimer clock;
    clock.start();
    const qint64 cpuStart = threadCpuMs();
    qint64 settled = -1;
    qint64 lastBeat = 0;
    qint64 longestPause = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longestPause = std::max(longestPause, now - lastBeat);
        lastBeat = now;
        control.grab();
        if (settled < 0 && ready + failed >= 20 && loader->requestsInFlight() == 0 &&
            loader->pendingDecodes() == 0) {
            settled = now;
        }
        if (now >= 3000) {
            app.quit();
        }
    });
    beat.start(50);
    app.exec();
    const qint64 cpu = threadCpuMs() - cpuStart;

    std::printf("%-9s tiles drawn %d, failed %d, settled after %lld ms\n", qPrintable(scenario), ready,
                failed, settled);
    std::printf(
        "          GUI thread busy %lld ms of %lld ms (%.0f %%), longest gap between 50 ms beats %lld ms\n",
        cpu, clock.elapsed(), 100.0 * double(cpu) / double(clock.elapsed()), longestPause);
    std::printf("          requests %d, most connections at once %d, long-body bytes sent %.1f MiB\n",
                int(server.paths.size()), server.maxConnections, double(server.longBytesSent) / 1048576.0);
    std::printf("          memory now %.0f MiB, peak %.0f MiB\n", memoryMiB("VmRSS"), memoryMiB("VmHWM"));
    return 0;
}
