// Plays the first trip of a card in the whole main window, as a user would after a double
// click, and prints what playback costs the process: CPU (all threads, engine included) and
// resident memory, and how far the trip position moves per second of wall time.
//
//   bench_player CARD SECONDS [--rate R] [--paused] [--warmup SECONDS]
//
// --rate R plays at R times normal speed; --paused pauses first and measures the idle cost.
// Prints one line: cpu_percent=... rss_mb=... peak_rss_mb=... advance_s_per_s=...
#include "controlpanelwgt.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "playlistwgt.h"
#include "vlcqtvideowidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardItemModel>
#include <QTimer>
#include <QTreeView>

#include <sys/resource.h>

#include <cstdio>
#include <functional>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A field of /proc/self/status in MB ("VmRSS", "VmHWM").
double statusMb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(field)) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            return parts.size() >= 2 ? parts.at(1).toDouble() / 1024.0 : -1;
        }
    }
    return -1;
}

// Runs the event loop until `done` holds or `timeoutMs` passes; false on a timeout. The loop
// sleeps between checks, so waiting costs the process nothing measurable.
bool waitFor(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&]() {
        if (done() || clock.elapsed() > timeoutMs)
            loop.quit();
    });
    check.start(50);
    if (!done())
        loop.exec();
    return done();
}

void wait(int ms)
{
    waitFor([] { return false; }, ms);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    double rate = 1.0;
    bool paused = false;
    int warmup = 5;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--rate") && i + 1 < args.size()) {
            rate = args.takeAt(i + 1).toDouble();
            args.removeAt(i--);
        } else if (args.at(i) == QLatin1String("--paused")) {
            paused = true;
            args.removeAt(i--);
        } else if (args.at(i) == QLatin1String("--warmup") && i + 1 < args.size()) {
            warmup = args.takeAt(i + 1).toInt();
            args.removeAt(i--);
        }
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bench_player CARD SECONDS [--rate R] [--paused] [--warmup SECONDS]\n");
        return 2;
    }
    const QString card = args.at(0);
    const int seconds = args.at(1).toInt();

    MainWindow window;
    window.show();
    Ui_MainWindow* ui = window.form();
    PlaylistWgt* playlist = ui->fileWidget;
    VlcQtVideoWidget* video = ui->videoWidget;

    window.openPaths({card});
    if (!waitFor(
            [&] { return playlist->model() && playlist->model()->rowCount() > 0 && !playlist->isWorking(); },
            600000)) {
        std::fprintf(stderr, "the card was not listed\n");
        return 1;
    }

    qint64 position = -1;
    QObject::connect(video, &VlcQtVideoWidget::onPositionChange, [&](qint64 p) { position = p; });
    playlist->on_TreeViewDoubleClick(playlist->treeView()->model()->index(0, 1));
    if (!waitFor([&] { return position > 0; }, 60000)) {
        std::fprintf(stderr, "the trip did not start\n");
        return 1;
    }
    if (rate != 1.0 && !QMetaObject::invokeMethod(video, "setRate", Q_ARG(double, rate))) {
        std::fprintf(stderr, "this build cannot change the playback speed\n");
        return 1;
    }
    wait(warmup * 1000);
    if (paused) {
        video->play();
        wait(2000);
    }

    const qint64 startPosition = position;
    const double startCpu = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    wait(seconds * 1000);
    const double cpu = cpuSeconds() - startCpu;
    const double elapsed = wall.elapsed() / 1000.0;
    const double advance = (position - startPosition) / 1000.0 / elapsed;

    std::printf("cpu_percent=%.1f rss_mb=%.0f peak_rss_mb=%.0f advance_s_per_s=%.2f\n", 100.0 * cpu / elapsed,
                statusMb("VmRSS:"), statusMb("VmHWM:"), advance);
    std::fflush(stdout);
    // The window and its engine go down with the process; closing would ask for confirmation.
    std::_Exit(0);
}
