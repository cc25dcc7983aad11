// Plays one file with the program's playback options (the engine's statistics switched on, which
// the program leaves off) into a window of the given size and prints how many frames were shown
// per second, how many were dropped, and the process's CPU in percent of one core.
//
//   bench_playback FILE SECONDS [WIDTHxHEIGHT] [--no-hardware] [--ENGINE-OPTION=VALUE...]
//
// Prints one line: shown_fps=... lost_fps=... decoded_fps=... cpu_percent=... late_ms=...
#include "vireo/vlcinstance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <vlc/vlc.h>

#include <sys/resource.h>

#include <cstdio>
#include <vector>

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_playback FILE SECONDS [WIDTHxHEIGHT] [--no-hardware]\n");
        return 2;
    }
    const QString file = args.at(1);
    const int seconds = args.at(2).toInt();
    QSize size(1280, 720);
    if (args.size() > 3 && args.at(3).contains(QLatin1Char('x')))
        size = QSize(args.at(3).section(QLatin1Char('x'), 0, 0).toInt(),
                     args.at(3).section(QLatin1Char('x'), 1).toInt());
    const bool hardware = !args.contains(QStringLiteral("--no-hardware"));

    QStringList options = VlcInstance::OptimizedPlayerArgs(hardware);
    options.replaceInStrings(QStringLiteral("--no-stats"), QStringLiteral("--stats"));
    // Engine options given after the file replace the program's of the same name.
    for (const QString& arg : args.mid(3)) {
        if (!arg.startsWith(QStringLiteral("--")) || !arg.contains(QLatin1Char('=')))
            continue;
        const QString name = arg.section(QLatin1Char('='), 0, 0) + QLatin1Char('=');
        for (QString& option : options) {
            if (option.startsWith(name))
                option = arg;
        }
    }
    std::vector<QByteArray> storage;
    std::vector<const char*> argv8;
    for (const QString& option : options)
        storage.push_back(option.toUtf8());
    for (const QByteArray& option : storage)
        argv8.push_back(option.constData());
    libvlc_instance_t* engine = libvlc_new(int(argv8.size()), argv8.data());
    if (!engine) {
        std::fprintf(stderr, "the engine does not start\n");
        return 1;
    }
    QWidget window;
    window.resize(size);
    window.show();
    libvlc_media_t* media = libvlc_media_new_path(engine, QFile::encodeName(file).constData());
    libvlc_media_player_t* player = libvlc_media_player_new_from_media(media);
    libvlc_media_player_set_xwindow(player, uint32_t(window.winId()));
    libvlc_media_player_play(player);

    // Measured after a warm-up second, over SECONDS of wall time.
    libvlc_media_stats_t start{};
    double cpuStart = 0;
    QElapsedTimer wall;
    qint64 playedStart = 0;
    QTimer::singleShot(1000, [&]() {
        libvlc_media_get_stats(media, &start);
        cpuStart = cpuSeconds();
        playedStart = libvlc_media_player_get_time(player);
        wall.start();
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    });
    app.exec();
    libvlc_media_stats_t end{};
    libvlc_media_get_stats(media, &end);
    const double elapsed = wall.elapsed() / 1000.0;
    const double cpu = 100.0 * (cpuSeconds() - cpuStart) / elapsed;
    // How far the playing position fell behind the wall clock over the measurement.
    const qint64 played = libvlc_media_player_get_time(player) - playedStart;
    const qint64 late = qint64(elapsed * 1000) - played;
    std::printf("shown_fps=%.1f lost_fps=%.1f decoded_fps=%.1f cpu_percent=%.1f late_ms=%lld\n",
                (end.i_displayed_pictures - start.i_displayed_pictures) / elapsed,
                (end.i_lost_pictures - start.i_lost_pictures) / elapsed,
                (end.i_decoded_video - start.i_decoded_video) / elapsed, cpu, late);
    libvlc_media_player_stop(player);
    libvlc_media_player_release(player);
    libvlc_media_release(media);
    libvlc_release(engine);
    return 0;
}
