// Cost per file of the duration probe and of a thumbnail grab, as medians over every
// .mp4 in a directory, beside the engine's own parse of the same files (the floor
// of any probe through the engine), ffprobe and a one-frame ffmpeg grab, in the same
// run. Files of REFUSED_DIR are probed too: a refused file should cost no more than
// a good one.
//
//   bench_vireo DIR [REFUSED_DIR]
//   bench_vireo --floor DIR...    (the engine's own parse of every .mp4 in DIRs, in all)

#include "vireo/vlcfileduration.h"
#include "vireo/vlcthumbnailgenerator.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <vlc/vlc.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <numeric>
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

// The engine's own parse of one file on a shared engine, nothing else: what any
// probe through the engine costs at least.
class EngineParse
{
public:
    EngineParse()
    {
        const char* const args[] = {"--intf=dummy", "--ignore-config", "--vout=dummy", "--aout=dummy",
                                    "--no-video",   "--no-audio",      "--quiet"};
        m_engine = libvlc_new(int(std::size(args)), args);
    }
    ~EngineParse()
    {
        if (m_engine) {
            libvlc_release(m_engine);
        }
    }

    qint64 length(const QString& file)
    {
        libvlc_media_t* media = libvlc_media_new_path(m_engine, file.toUtf8().constData());
        if (!media) {
            return 0;
        }
        m_parsed = false;
        libvlc_event_manager_t* events = libvlc_media_event_manager(media);
        libvlc_event_attach(events, libvlc_MediaParsedChanged, onParsed, this);
        if (libvlc_media_parse_with_options(media, libvlc_media_parse_local, 5000) == 0) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_done.wait(lock, [this] { return m_parsed; });
        }
        libvlc_event_detach(events, libvlc_MediaParsedChanged, onParsed, this);
        const qint64 length = libvlc_media_get_duration(media);
        libvlc_media_release(media);
        return length;
    }

private:
    static void onParsed(const libvlc_event_t*, void* data)
    {
        auto* self = static_cast<EngineParse*>(data);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        self->m_parsed = true;
        self->m_done.notify_all();
    }

    libvlc_instance_t* m_engine = nullptr;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_parsed = false;
};

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

// Median, and mean: the time of the whole series per file.
void report(const char* what, const std::vector<double>& ms, int failures)
{
    const double sum = std::accumulate(ms.begin(), ms.end(), 0.0);
    std::printf("%-38s median %7.2f ms  mean %7.2f  min %7.2f  max %7.2f  (%zu files, %d failed)\n", what,
                median(ms), ms.empty() ? 0.0 : sum / double(ms.size()),
                ms.empty() ? 0.0 : *std::min_element(ms.begin(), ms.end()),
                ms.empty() ? 0.0 : *std::max_element(ms.begin(), ms.end()), ms.size(), failures);
}

QStringList videosIn(const char* folder)
{
    const QDir dir(QString::fromLocal8Bit(folder));
    QStringList files;
    for (const QString& name : dir.entryList({QStringLiteral("*.mp4")}, QDir::Files, QDir::Name)) {
        files << dir.absoluteFilePath(name);
    }
    return files;
}

// Prints the time the engine's own parse takes for every file of `folders`, one engine
// for all: the floor for listing a card of those files.
int parseFloor(const QStringList& folders)
{
    QStringList files;
    for (const QString& folder : folders) {
        files << videosIn(folder.toLocal8Bit().constData());
    }
    QElapsedTimer timer;
    timer.start();
    int failures = 0;
    {
        EngineParse engine;
        for (const QString& file : files) {
            failures += engine.length(file) > 0 ? 0 : 1;
        }
    }
    std::printf("engine's own parse of the same files: %lld ms (%d files, %d failed)\n", timer.elapsed(),
                int(files.size()), failures);
    return failures == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--floor") == 0) {
        return parseFloor(QCoreApplication::arguments().mid(2));
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [REFUSED_DIR]\n", argv[0]);
        return 2;
    }
    const QStringList files = videosIn(argv[1]);
    const QStringList refused = argc > 2 ? videosIn(argv[2]) : QStringList();
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

    std::vector<double> parse, shared, single, ffprobe, refusedShared, refusedSingle;
    int parseFailures = 0;
    int sharedFailures = 0;
    int singleFailures = 0;
    int refusedAdmitted = 0;
    QElapsedTimer timer;

    {
        EngineParse engine;
        for (const QString& file : files) {
            timer.start();
            parseFailures += engine.length(file) > 0 ? 0 : 1;
            parse.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    {
        VlcFileDuration probe;
        for (const QString& file : files) {
            timer.start();
            sharedFailures += probe.duration(file, error) > 0 ? 0 : 1;
            shared.push_back(timer.nsecsElapsed() / 1e6);
        }
        for (const QString& file : refused) {
            timer.start();
            refusedAdmitted += probe.duration(file, error) > 0 ? 1 : 0;
            refusedShared.push_back(timer.nsecsElapsed() / 1e6);
        }
    }
    for (const QString& file : files) {
        timer.start();
        singleFailures += VlcFileDuration::getFileDuration(file, error) > 0 ? 0 : 1;
        single.push_back(timer.nsecsElapsed() / 1e6);
        ffprobe.push_back(runTool(QStringLiteral("ffprobe"),
                                  {QStringLiteral("-v"), QStringLiteral("error"),
                                   QStringLiteral("-show_entries"), QStringLiteral("format=duration"),
                                   QStringLiteral("-of"), QStringLiteral("csv=p=0"), file}));
    }
    for (const QString& file : refused) {
        timer.start();
        refusedAdmitted += VlcFileDuration::getFileDuration(file, error) > 0 ? 1 : 0;
        refusedSingle.push_back(timer.nsecsElapsed() / 1e6);
    }

    std::vector<double> thumb, thumbNewEngine, ffmpeg;
    int thumbFailures = 0;
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
    report("engine's own parse (floor)", parse, parseFailures);
    report("duration probe, one engine (goal <= 4 ms)", shared, sharedFailures);
    report("duration probe, engine per file", single, singleFailures);
    report("ffprobe", ffprobe, 0);
    if (!refused.isEmpty()) {
        std::printf("%d refused files in %s (%d admitted)\n", int(refused.size()), argv[2], refusedAdmitted);
        report("refused file, one engine", refusedShared, 0);
        report("refused file, engine per file", refusedSingle, 0);
    }
    report("thumbnail grab (goal <= 30 ms)", thumb, thumbFailures);
    report("thumbnail, new engine per file", thumbNewEngine, 0);
    report("ffmpeg one-frame grab", ffmpeg, 0);
    return parseFailures + sharedFailures + singleFailures + thumbFailures + refusedAdmitted == 0 ? 0 : 1;
}
