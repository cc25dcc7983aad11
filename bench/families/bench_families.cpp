// Prints how long reading a recording's position data takes, beside reading its movie box
// alone, for files whose camera family keeps the data inside the MP4; and the bytes each asks
// of the kernel (rchar of /proc/self/io) and, with the file dropped from the page cache, the
// bytes read from the disk (read_bytes, readahead included).
//
//   bench_families LABEL FILE [LABEL FILE ...]
//
// The first call on a file recognises it afresh; the calls after it find the family's reading
// remembered, as a listing leaves it before the positions are read.
#include "families.h"
#include "mp4boxes.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr int WarmRuns = 11;
constexpr int ColdRuns = 3;

struct Io
{
    qint64 rchar = 0;     // bytes asked of read calls, from the cache or not
    qint64 readBytes = 0; // bytes the kernel fetched from the disk for them
};

Io ioNow()
{
    Io io;
    const int fd = ::open("/proc/self/io", O_RDONLY);
    if (fd < 0)
        return io;
    char text[512] = {};
    const ssize_t got = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (got <= 0)
        return io;
    const auto field = [&text](const char* name) -> qint64 {
        const char* at = std::strstr(text, name);
        return at ? std::atoll(at + std::strlen(name)) : -1;
    };
    io.rchar = field("rchar: ");
    io.readBytes = field("\nread_bytes: ");
    return io;
}

// What reading /proc/self/io itself adds to rchar between two readings.
qint64 ioOverhead()
{
    const Io a = ioNow();
    const Io b = ioNow();
    return b.rchar - a.rchar;
}

struct Run
{
    double ms = 0;
    qint64 asked = 0;
    qint64 fromDisk = 0;
};

Run measure(const std::function<void()>& work, qint64 overhead)
{
    const Io before = ioNow();
    QElapsedTimer timer;
    timer.start();
    work();
    Run run;
    run.ms = double(timer.nsecsElapsed()) / 1e6;
    const Io after = ioNow();
    run.asked = after.rchar - before.rchar - overhead;
    run.fromDisk = after.readBytes - before.readBytes;
    return run;
}

Run median(std::vector<Run> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Run& a, const Run& b) { return a.ms < b.ms; });
    return runs[runs.size() / 2];
}

// Writes the file's pages out and asks the kernel to drop them; the share of the file still
// cached after that (0 when the drop worked).
double dropFromCache(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY);
    if (fd < 0)
        return 1;
    ::fdatasync(fd);
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
    double share = 1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const long page = ::sysconf(_SC_PAGESIZE);
    if (size > 0) {
        void* map = ::mmap(nullptr, size_t(size), PROT_READ, MAP_SHARED, fd, 0);
        if (map != MAP_FAILED) {
            std::vector<unsigned char> resident(size_t((size + page - 1) / page));
            if (::mincore(map, size_t(size), resident.data()) == 0)
                share = double(std::count_if(resident.begin(), resident.end(),
                                             [](unsigned char flags) { return flags & 1; })) /
                        double(resident.size());
            ::munmap(map, size_t(size));
        }
    }
    ::close(fd);
    return share;
}

QString kb(qint64 bytes)
{
    return QString::number(double(bytes) / 1024, 'f', 1) + QStringLiteral(" KB");
}

void bench(const QString& label, const QString& path, qint64 overhead)
{
    Camera::Telemetry telemetry;
    const auto readTelemetry = [&]() { telemetry = Camera::Families::readTelemetryFile(path); };
    qint64 moovBytes = 0;
    const auto readMoov = [&]() {
        Camera::Mp4Boxes mp4(path);
        const std::vector<Camera::Mp4Boxes::Box> top = mp4.topLevel();
        if (const Camera::Mp4Boxes::Box* moov = Camera::Mp4Boxes::find(top, Camera::Mp4Boxes::fourcc("moov")))
            moovBytes = mp4.payload(*moov).size();
    };

    const Run first = measure(readTelemetry, overhead);
    std::vector<Run> telemetryRuns;
    std::vector<Run> moovRuns;
    for (int i = 0; i < WarmRuns; ++i) {
        telemetryRuns.push_back(measure(readTelemetry, overhead));
        moovRuns.push_back(measure(readMoov, overhead));
    }
    const Run warm = median(telemetryRuns);
    const Run warmMoov = median(moovRuns);

    std::vector<Run> coldRuns;
    std::vector<Run> coldMoovRuns;
    double stillCached = 0;
    for (int i = 0; i < ColdRuns; ++i) {
        stillCached = std::max(stillCached, dropFromCache(path));
        coldRuns.push_back(measure(readTelemetry, overhead));
        stillCached = std::max(stillCached, dropFromCache(path));
        coldMoovRuns.push_back(measure(readMoov, overhead));
    }
    const Run cold = median(coldRuns);
    const Run coldMoov = median(coldMoovRuns);

    const qint64 positions = qint64(telemetry.samples.size()) + qint64(telemetry.nmeaLines.size());
    const QString what = telemetry.samples.empty() ? QStringLiteral("NMEA lines") : QStringLiteral("samples");
    std::printf("%-13s telemetry %6.3f ms   moov %6.3f ms   ratio %4.1f   (goal <= 2x and <= 5 ms)\n",
                qPrintable(label), warm.ms, warmMoov.ms, warm.ms / warmMoov.ms);
    std::printf("%-13s   asked of the kernel: telemetry %s, moov %s (moov box %s, file %.1f MB)\n", "",
                qPrintable(kb(warm.asked)), qPrintable(kb(warmMoov.asked)), qPrintable(kb(moovBytes)),
                double(QFileInfo(path).size()) / (1024 * 1024));
    std::printf(
        "%-13s   cold: telemetry %6.2f ms, %s from disk;  moov %6.2f ms, %s from disk;  ratio %.1f%s\n", "",
        cold.ms, qPrintable(kb(cold.fromDisk)), coldMoov.ms, qPrintable(kb(coldMoov.fromDisk)),
        cold.ms / coldMoov.ms,
        stillCached > 0 ? qPrintable(QStringLiteral(" (%1% stayed cached)").arg(stillCached * 100, 0, 'f', 0))
                        : "");
    std::printf("%-13s   first call %.2f ms; %lld %s%s\n", "", first.ms, positions, qPrintable(what),
                telemetry.error.isEmpty() ? "" : qPrintable(QStringLiteral("; error: ") + telemetry.error));
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.size() % 2 != 0) {
        std::fprintf(stderr, "usage: bench_families LABEL FILE [LABEL FILE ...]\n");
        return 2;
    }
    // The families' patterns are built once per process, not per file.
    Camera::Families::isLayoutFolder(QStringLiteral("DCIM"));
    Camera::Families::recognise(QStringLiteral("none.mp4"));
    const qint64 overhead = ioOverhead();
    for (int i = 0; i < args.size(); i += 2)
        bench(args.at(i), args.at(i + 1), overhead);
    return 0;
}
