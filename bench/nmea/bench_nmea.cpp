// Prints parse throughput against a plain hand scan and the assembly time of a 10-hour trip, each
// under three time-zone settings, and the peak memory of parsing and assembling that trip.

#include "nmeaparser.h"
#include "utilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const QDate Day(2024, 5, 1);

QString withChecksum(const QByteArray& body)
{
    int sum = 0;
    for (const char c : body)
        sum ^= c;
    return QStringLiteral("$%1*%2")
        .arg(QString::fromLatin1(body))
        .arg(sum, 2, 16, QLatin1Char('0'))
        .toUpper();
}

// One RMC, GGA and proprietary sentence per second, driving north-east at about 50 km/h.
void writeDrive(const QString& path, const QDateTime& start, int seconds)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QTextStream out(&file);
    for (int s = 0; s < seconds; ++s) {
        const QDateTime t = start.addSecs(s);
        const QByteArray time = t.toString("hhmmss").toLatin1() + ".000";
        const double lat = 4846.5995 + s * 0.0075;
        const double lon = 910.9620 + s * 0.0075;
        const QByteArray latText = QByteArray::number(lat, 'f', 4);
        const QByteArray lonText = "00" + QByteArray::number(lon, 'f', 4);
        out << withChecksum("GPRMC," + time + ",A," + latText + ",N," + lonText + ",E,027.0," +
                            QByteArray::number(40 + s % 10) + ".0," + t.toString("ddMMyy").toLatin1() +
                            ",,,A")
            << "\r\n";
        out << withChecksum("GPGGA," + time + "," + latText + ",N," + lonText + ",E,1,08,0.9," +
                            QByteArray::number(250 + s % 7) + ".0,M,47.0,M,,")
            << "\r\n";
        out << withChecksum("PZTRX," + t.toString("hhmmss").toLatin1() + ",0." + QByteArray::number(s % 97) +
                            ",-0." + QByteArray::number(s % 89))
            << "\r\n";
    }
}

const QDateTime TripStart(Day, QTime(8, 0), Qt::UTC);

// The trip of `files` one-minute recordings; every twentieth an event.
std::shared_ptr<Trip::TripList> tripOf(const QString& dir, int files)
{
    auto trip = std::make_shared<Trip::TripList>();
    for (int i = 0; i < files; ++i) {
        const QDateTime t = TripStart.addSecs(60 * i);
        Trip::TripItem item;
        item.videoFile = QDir(dir).filePath(QStringLiteral("001_%1_%2.mp4")
                                                .arg(i + 1, 4, 10, QLatin1Char('0'))
                                                .arg(t.toString("yyyyMMddhhmmss")));
        item.nmeaFile = QString(item.videoFile).replace(".mp4", ".nmea");
        item.duration = 60000;
        item.isEvent = i % 20 == 5;
        trip->push_back(item);
    }
    return trip;
}

void writeTrip(const QString& dir, int files)
{
    const auto trip = tripOf(dir, files);
    for (int i = 0; i < files; ++i)
        writeDrive((*trip)[std::size_t(i)].nmeaFile, TripStart.addSecs(60 * i), 60);
}

std::shared_ptr<Trip::TripList> readTrip(const QString& dir)
{
    return tripOf(dir, 600);
}

std::shared_ptr<QStringList> nmeaPaths(const Trip::TripList& trip)
{
    auto paths = std::make_shared<QStringList>();
    for (const Trip::TripItem& item : trip)
        *paths << item.nmeaFile;
    return paths;
}

// The resident-set high-water mark of this process image (getrusage would report the parent's
// peak after a fork and exec).
long peakRssKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}

// The plain hand scan: the bytes cut into lines and fields, nothing converted. What any parser of
// these files has to do at least.
std::size_t handScan(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    std::vector<char> buffer(256 * 1024);
    std::string partial;
    NmeaFields fields;
    std::size_t count = 0;
    qint64 n = 0;
    while ((n = file.read(buffer.data(), qint64(buffer.size()))) > 0) {
        const char* begin = buffer.data();
        const char* const end = begin + n;
        while (begin != end) {
            const auto* newline =
                static_cast<const char*>(std::memchr(begin, '\n', std::size_t(end - begin)));
            if (!newline) {
                partial.append(begin, end);
                break;
            }
            if (partial.empty()) {
                fields.assign(std::string_view(begin, std::size_t(newline - begin)));
            } else {
                partial.append(begin, newline);
                fields.assign(partial);
                partial.clear();
            }
            count += fields.size();
            begin = newline + 1;
        }
    }
    return count;
}

// The best of `runs` timings in seconds: the machine may be busy with other work.
template <typename Prepare, typename Run> double bestOf(int runs, Prepare prepare, Run run)
{
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

// Parse and assembly figures under the time-zone setting this process was started with.
void figures(const QString& dir)
{
    const QString path = QDir(dir).filePath("drive.nmea");
    const double mb = double(QFileInfo(path).size()) / 1e6;

    NmeaParser parser;
    std::size_t records = 0;
    const auto release = [&parser] { parser.requestParsing(std::make_shared<QStringList>()); };
    const double parse = bestOf(7, release, [&] {
        parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
        parser.doParsing();
        NmeaFilePtr map;
        parser.getParsedFile(map, path.toStdString());
        records = map ? std::size_t(map->size()) : 0;
    });
    std::size_t fieldCount = 0;
    const double scan = bestOf(
        7, [] {}, [&] { fieldCount = handScan(path); });
    std::printf("  parse:           %6.1f MB/s  (%zu records, %.0f ms)\n", mb / parse, records, parse * 1e3);
    std::printf("  plain hand scan: %6.1f MB/s  (%zu fields, %.0f ms)\n", mb / scan, fieldCount, scan * 1e3);

    const auto trip = readTrip(dir);
    parser.requestParsing(nmeaPaths(*trip));
    parser.doParsing();
    // The receiver keeps the records, as the map does; they are released between the runs.
    std::shared_ptr<std::vector<QNmeaPositionInfo>> received;
    QObject::connect(&parser, &NmeaParser::ready,
                     [&received](const std::shared_ptr<std::vector<QNmeaPositionInfo>>& v) { received = v; });
    // Assembly works on copies of the parsed files: the same registry serves every run.
    const double assembly = bestOf(
        9, [&received] { received.reset(); },
        [&] {
            if (!parser.requestParsed(trip))
                qFatal("assembly failed");
        });
    std::printf("  assembly of a 10-hour trip (%zu files): %.1f ms (%zu records)\n", trip->size(),
                assembly * 1e3, received ? received->size() : std::size_t(0));
}

void memory(const QString& dir)
{
    const long before = peakRssKiB();
    const auto trip = readTrip(dir);
    NmeaParser parser;
    std::size_t size = 0;
    QObject::connect(&parser, &NmeaParser::ready,
                     [&size](const std::shared_ptr<std::vector<QNmeaPositionInfo>>& v) { size = v->size(); });
    QElapsedTimer timer;
    timer.start();
    parser.requestParsing(nmeaPaths(*trip));
    parser.doParsing();
    const double parseMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    if (!parser.requestParsed(trip))
        qFatal("assembly failed");
    const double assembleMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("10 hours in 600 files, once: parse %.0f ms, assembly %.0f ms, %zu records\n", parseMs,
                assembleMs, size);
    std::printf("peak memory: %.1f MB (%.1f MB at start of the measurement)\n", double(peakRssKiB()) / 1024.0,
                double(before) / 1024.0);
}

// Runs this program again with `args` and the time zone `tz` (empty: TZ unset).
int child(const QStringList& args, const QString& tz)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (tz.isEmpty())
        environment.remove(QStringLiteral("TZ"));
    else
        environment.insert(QStringLiteral("TZ"), tz);
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(QCoreApplication::applicationFilePath(), args);
    process.waitForFinished(-1);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Gap messages of the assembly are not part of the figures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(text));
    });
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == "--figures") {
        figures(args[2]);
        return 0;
    }
    if (args.size() == 3 && args[1] == "--memory") {
        memory(args[2]);
        return 0;
    }

    // --write DIR leaves the input in DIR, for running --figures DIR under a profiler.
    const bool keep = args.size() == 3 && args[1] == "--write";
    QTemporaryDir temporary;
    if (!temporary.isValid())
        return 1;
    const QString dir = keep ? args[2] : temporary.path();
    writeDrive(QDir(dir).filePath("drive.nmea"), QDateTime(Day, QTime(7, 0), Qt::UTC), 10 * 3600);
    writeTrip(dir, 600);
    if (keep)
        return 0;
    std::printf("10-hour NMEA file: %.2f MB, %d sentences; trip of 600 one-minute files on %s\n",
                double(QFileInfo(QDir(dir).filePath("drive.nmea")).size()) / 1e6, 3 * 10 * 3600,
                qPrintable(Day.toString(Qt::ISODate)));
    std::fflush(stdout);
    int status = 0;
    for (const QString& tz : {QString(), QStringLiteral("UTC"), QStringLiteral("Europe/Berlin")}) {
        std::printf("TZ %s:\n", tz.isEmpty() ? "unset" : qPrintable(tz));
        std::fflush(stdout);
        status |= child({"--figures", dir}, tz);
    }
    // A process of its own, so that the peak covers this measurement alone.
    status |= child({"--memory", dir}, QString());
    return status;
}
