// Cost per file of the duration probe and of a thumbnail grab, as medians over
// every .mp4 in a directory, beside ffprobe and a one-frame ffmpeg grab of the
// same files in the same run.
//
//   bench_vireo DIR

#include "vireo/vlcfileduration.h"
#include "vireo/vlcthumbnailgenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {

struct Grab
{
    std::vector<unsigned char> buffer;
    std::atomic<bool> done{false};
};

void prerender(void* data, unsigned char** buffer, size_t size)
{
    auto* grab = static_cast<Grab*>(data);
    *buffer = nullptr;
    if (!grab->done) {
        grab->buffer.resize(size);
        *buffer = grab->buffer.data();
    }
}

void postrender(void* data, unsigned char*, int, int, int, size_t, int64_t)
{
    static_cast<Grab*>(data)->done = true;
}

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2.0;
}

double runTool(const QString& program, const QStringList& args)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    return timer.nsecsElapsed() / 1e6;
}

void report(const char* what, const std::vector<double>& ms, int failures)
{
    std::printf("%-34s median %8.2f ms  min %8.2f  max %8.2f  (%zu files, %d failed)\n", what, median(ms),
                ms.empty() ? 0.0 : *std::min_element(ms.begin(), ms.end()),
                ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()), ms.size(), failures);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.mp4")}, QDir::Files, QDir::Name)) {
        files << dir.absoluteFilePath(name);
    }
    if (files.isEmpty()) {
        std::fprintf(stderr, "no .mp4 files in %s\n", argv[1]);
        return 1;
    }

    // Warm the page cache and the engine's plug-in cache so every tool sees the same.
    QString error;
    for (const QString& file : files) {
        runTool(QStringLiteral("cat"), {file});
    }
    VlcFileDuration::getFileDuration(files.first(), error);

    std::vector<double> probe, ffprobe, thumb, thumbNewEngine, ffmpeg;
    int probeFailures = 0;
    int thumbFailures = 0;
    QElapsedTimer timer;

    for (const QString& file : files) {
        timer.start();
        probeFailures += VlcFileDuration::getFileDuration(file, error) > 0 ? 0 : 1;
        probe.push_back(timer.nsecsElapsed() / 1e6);
        ffprobe.push_back(runTool(QStringLiteral("ffprobe"),
                                  {QStringLiteral("-v"), QStringLiteral("error"),
                                   QStringLiteral("-show_entries"), QStringLiteral("format=duration"),
                                   QStringLiteral("-of"), QStringLiteral("csv=p=0"), file}));
    }

    // The thumbnail worker keeps one generator for a whole selection.
    Grab grab;
    {
        VlcThumbnailGenerator generator(prerender, postrender, &grab, 60);
        for (const QString& file : files) {
            grab.done = false;
            timer.start();
            if (generator.start(file) == 0) {
                while (!grab.done && generator.getStatus() <= 3 && timer.elapsed() < 5000) {
                    QThread::usleep(500);
                }
                generator.finalize();
            }
            thumbFailures += grab.done ? 0 : 1;
            thumb.push_back(timer.nsecsElapsed() / 1e6);
            ffmpeg.push_back(
                runTool(QStringLiteral("ffmpeg"),
                        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-nostdin"),
                         QStringLiteral("-i"), file, QStringLiteral("-frames:v"), QStringLiteral("1"),
                         QStringLiteral("-vf"), QStringLiteral("scale=-2:60"), QStringLiteral("-f"),
                         QStringLiteral("rawvideo"), QStringLiteral("-pix_fmt"), QStringLiteral("bgra"),
                         QStringLiteral("-y"), QStringLiteral("/dev/null")}));
        }
    }

    // A generator made for a single file, engine start included.
    for (int i = 0; i < std::min(10, int(files.size())); ++i) {
        grab.done = false;
        timer.start();
        VlcThumbnailGenerator generator(prerender, postrender, &grab, 60);
        if (generator.start(files.at(i)) == 0) {
            while (!grab.done && generator.getStatus() <= 3 && timer.elapsed() < 5000) {
                QThread::usleep(500);
            }
            generator.finalize();
        }
        thumbNewEngine.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::printf("%d files in %s\n", int(files.size()), argv[1]);
    report("duration probe (goal <= 15 ms)", probe, probeFailures);
    report("ffprobe", ffprobe, 0);
    report("thumbnail grab (goal <= 30 ms)", thumb, thumbFailures);
    report("thumbnail, new engine per file", thumbNewEngine, 0);
    report("ffmpeg one-frame grab", ffmpeg, 0);
    return probeFailures + thumbFailures == 0 ? 0 : 1;
}
