// Prints parse throughput, trip assembly time and peak memory of the position data code.

#include "nmeaparser.h"
#include "utilities.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>

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

// The straightforward reading: regex splitting and Qt's date-time parsing for every sentence.
namespace straight {

std::vector<std::string> split(const std::string& text)
{
    static const std::regex separator(",");
    std::vector<std::string> fields;
    for (std::sregex_token_iterator it(text.begin(), text.end(), separator, -1), end; it != end; ++it)
        fields.push_back(it->str());
    return fields;
}

QDateTime rounded(QDateTime t)
{
    t = t.addMSecs(500);
    t.setTime(QTime(t.time().hour(), t.time().minute(), t.time().second()));
    return t;
}

QString q(const std::string& s)
{
    return QString::fromStdString(s);
}

std::size_t parse(const QString& path)
{
    std::ifstream in(path.toStdString());
    NmeaFile map;
    QDate date;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::vector<std::string> f = split(line);
        if (f[0] == "$GPRMC" && f.size() >= 10) {
            QDateTime t = QDateTime::fromString(q(f[9] + f[1]), "ddMMyyhhmmss.zzz").addYears(100);
            if (!t.isValid())
                continue;
            t = rounded(t);
            QNmeaPositionInfo r(QNmeaCoordinate::fromString(q(f[3]), q(f[4]), q(f[5]), q(f[6])), t);
            r.setMarker(QNmeaPositionInfo::Fix, f[2] == "A");
            r.setAttribute(QNmeaPositionInfo::GroundSpeed, f[7]);
            r.setAttribute(QNmeaPositionInfo::Direction, f[8]);
            date = t.date();
            auto it = map.find(t);
            if (it == map.end()) {
                map.insert(t, r);
            } else {
                NmeaParser::setMissingAltitude(r, *it);
                NmeaParser::setMissingAccelaration(r, *it);
                *it = r;
            }
        } else if (f[0] == "$GPGGA" && f.size() >= 10 && date.isValid()) {
            QDateTime t = QDateTime::fromString(q(f[1]), "hhmmss.zzz");
            if (!t.isValid())
                continue;
            t = rounded(t);
            t.setDate(date);
            QGeoCoordinate c = QNmeaCoordinate::fromString(q(f[2]), q(f[3]), q(f[4]), q(f[5]));
            bool ok = false;
            const double altitude = q(f[9]).toDouble(&ok);
            if (ok)
                c.setAltitude(altitude);
            QNmeaPositionInfo r(c, t);
            r.setMarker(QNmeaPositionInfo::Fix, f[6]);
            auto it = map.find(t);
            if (it == map.end())
                map.insert(t, r);
            else
                NmeaParser::setMissingAltitude(*it, r);
        } else if (f[0] == "$PZTRX" && f.size() >= 4 && date.isValid()) {
            QDateTime t = QDateTime::fromString(q(f[1]), "hhmmss");
            t.setDate(date);
            QNmeaPositionInfo r;
            r.setTimestamp(t);
            r.setAttribute(QNmeaPositionInfo::AccelerationX, f[2]);
            r.setAttribute(QNmeaPositionInfo::AccelerationY, f[3]);
            auto it = map.find(t);
            if (it != map.end())
                NmeaParser::setMissingAccelaration(*it, r);
        }
    }
    return std::size_t(map.size());
}

} // namespace straight

// Writes `files` one-minute recordings and returns the trip.
std::shared_ptr<Trip::TripList> writeTrip(const QString& dir, int files)
{
    auto trip = std::make_shared<Trip::TripList>();
    const QDateTime start(Day, QTime(8, 0));
    for (int i = 0; i < files; ++i) {
        const QDateTime t = start.addSecs(60 * i);
        Trip::TripItem item;
        item.videoFile = QDir(dir).filePath(QStringLiteral("001_%1_%2.mp4")
                                                .arg(i + 1, 4, 10, QLatin1Char('0'))
                                                .arg(t.toString("yyyyMMddhhmmss")));
        item.nmeaFile = QString(item.videoFile).replace(".mp4", ".nmea");
        item.duration = 60000;
        item.isEvent = i % 20 == 5;
        writeDrive(item.nmeaFile, t, 60);
        trip->push_back(item);
    }
    return trip;
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

void throughput(const QString& dir)
{
    const QString path = QDir(dir).filePath("drive.nmea");
    writeDrive(path, QDateTime(Day, QTime(7, 0)), 10 * 3600);
    const double mb = double(QFileInfo(path).size()) / 1e6;
    std::printf("10-hour NMEA file: %.2f MB, %d sentences\n", mb, 3 * 10 * 3600);

    NmeaParser parser;
    double best = 1e9;
    std::size_t records = 0;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer timer;
        timer.start();
        parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
        parser.doParsing();
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
        NmeaFilePtr map;
        parser.getParsedFile(map, path.toStdString());
        records = map ? std::size_t(map->size()) : 0;
    }
    std::printf("parser:          %7.1f MB/s  %9.0f records/s  %9.0f sentences/s  (%zu records, %.3f s)\n",
                mb / best, double(records) / best, 3 * 36000 / best, records, best);

    QElapsedTimer timer;
    timer.start();
    const std::size_t straightRecords = straight::parse(path);
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("straightforward: %7.1f MB/s  %9.0f records/s  %9.0f sentences/s  (%zu records, %.3f s)\n",
                mb / seconds, double(straightRecords) / seconds, 3 * 36000 / seconds, straightRecords,
                seconds);
}

void assembly(const QString& dir)
{
    const auto trip = writeTrip(dir, 60);
    NmeaParser parser;
    double best = 1e9;
    std::size_t size = 0;
    QObject::connect(&parser, &NmeaParser::ready,
                     [&size](const std::shared_ptr<std::vector<QNmeaPositionInfo>>& v) { size = v->size(); });
    for (int run = 0; run < 5; ++run) {
        parser.requestParsing(nmeaPaths(*trip)); // assembly changes the parsed maps: start afresh
        parser.doParsing();
        QElapsedTimer timer;
        timer.start();
        if (!parser.requestParsed(trip))
            qFatal("assembly failed");
        best = std::min(best, double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("assembly of a 1-hour trip (60 files): %.1f ms (%zu records)\n", best, size);
}

void memory(const QString& dir)
{
    const long before = peakRssKiB();
    const auto trip = writeTrip(dir, 600);
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
    std::printf("10 hours in 600 files: parse %.0f ms, assembly %.0f ms, %zu records\n", parseMs, assembleMs,
                size);
    std::printf("peak memory: %.1f MB (%.1f MB at start of the measurement)\n", double(peakRssKiB()) / 1024.0,
                double(before) / 1024.0);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QStringList args = app.arguments();
    if (args.contains("--memory")) {
        memory(dir.path());
        return 0;
    }
    throughput(dir.path());
    assembly(dir.path());
    std::fflush(stdout);
    // A process of its own, so that the peak covers this measurement alone.
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(app.applicationFilePath(), {"--memory"});
    child.waitForFinished(-1);
    return child.exitCode();
}
