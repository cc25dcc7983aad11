#include "nmeafixture.h"
#include "nmeaparser.h"
#include "utilities.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using P = QNmeaPositionInfo;

namespace {

const QDate Day(2024, 5, 1);
constexpr double Lat = 48.7766;
constexpr double Lon = 9.1827;

// Keys are the sentences' wall-clock times, kept as UTC.
QDateTime at(int h, int m, int s, const QDate& date = Day)
{
    return QDateTime(date, QTime(h, m, s), Qt::UTC);
}

// Parses the files on the calling thread and returns the map of the first one.
NmeaFile parse(NmeaParser& parser, const QStringList& paths)
{
    parser.requestParsing(std::make_shared<QStringList>(paths));
    parser.doParsing();
    NmeaFilePtr map;
    parser.getParsedFile(map, paths.first().toStdString());
    return map ? *map : NmeaFile();
}

// Writes the lines to a file and parses it.
NmeaFile parseLines(const QString& file, const QStringList& lines)
{
    NmeaParser parser;
    return Fixture::write(file, lines) ? parse(parser, {file}) : NmeaFile();
}

NmeaParser::FileReport reportOf(NmeaParser& parser, const QString& path)
{
    NmeaParser::FileReport report;
    report.badChecksumLines = -1;
    parser.getFileReport(report, path.toStdString());
    return report;
}

// The same sentence with its checksum digits replaced.
QString withChecksum(QString sentence, const QString& digits)
{
    return sentence.left(sentence.lastIndexOf('*') + 1) + digits;
}

// "hh:mm:ss altitude" of every entry, "-" for no altitude.
QStringList secondsAndAltitudes(const NmeaFile& map)
{
    QStringList entries;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const double altitude = it->coordinate().altitude();
        entries << it.key().time().toString("hh:mm:ss") + ' ' +
                       (qIsNaN(altitude) ? QStringLiteral("-") : QString::number(altitude));
    }
    return entries;
}

NmeaFields fields(const char* line)
{
    return NmeaFields(std::string_view(line));
}

} // namespace

class TestNmeaParser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void frameTypes_data();
    void frameTypes();
    void fieldsCountLikeSplit_data();
    void fieldsCountLikeSplit();
    void rmcTime_data();
    void rmcTime();
    void rmcValues();
    void rmcNearZeroIsDiscarded();
    void ggaBeforeAndAfterFirstRmc();
    void ggaJustAfterMidnight();
    void pztrxMergedPostFactum();
    void valuesOfOneAreMeasurements();
    void snrmcBeforeFirstFix();
    void snrmcAfterFix_data();
    void snrmcAfterFix();
    void badInputDoesNotStopTheFile_data();
    void badInputDoesNotStopTheFile();
    void registry();
    void secondRequestAbortsFirst();
    void receiverLogs_data();
    void receiverLogs();
    void checksum_data();
    void checksum();
    void badChecksumsSkippedAndCounted();
    void onlyRegularFilesAreRead();
    void longLinesAndLargeFilesAreCut();
    void linesAcrossReadChunks();

    // The records and the number reading they rely on.
    void toDecimal_data();
    void toDecimal();
    void attributeText_data();
    void attributeText();
    void markerText_data();
    void markerText();
    void copiesAreDeepAndTextsFollow();
    void secureStod_data();
    void secureStod();
    void metaTypeResolvesByName();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestNmeaParser::frameTypes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("type");
    QTest::newRow("GPRMC") << "$GPRMC" << int(NmeaParser::GPRMC);
    QTest::newRow("SNRMC") << "$SNRMC" << int(NmeaParser::SNRMC);
    QTest::newRow("GPGGA") << "$GPGGA" << int(NmeaParser::GPGGA);
    QTest::newRow("PZTRX") << "$PZTRX" << int(NmeaParser::PZTRX);
    // Receivers of several satellite systems: every talker counts.
    QTest::newRow("GNRMC") << "$GNRMC" << int(NmeaParser::GPRMC);
    QTest::newRow("BDRMC") << "$BDRMC" << int(NmeaParser::GPRMC);
    QTest::newRow("GNGGA") << "$GNGGA" << int(NmeaParser::GPGGA);
    QTest::newRow("maker's own RMC") << "$PXRMC" << int(NmeaParser::Other);
    QTest::newRow("digit talker") << "$G1RMC" << int(NmeaParser::Other);
    QTest::newRow("lower-case talker") << "$gnRMC" << int(NmeaParser::Other);
    QTest::newRow("one-letter talker") << "$GRMC" << int(NmeaParser::Other);
    QTest::newRow("longer") << "$GPRMCX" << int(NmeaParser::Other);
    QTest::newRow("no dollar") << "GPRMC" << int(NmeaParser::Other);
    QTest::newRow("SN talker of GGA") << "$SNGGA" << int(NmeaParser::GPGGA);
    QTest::newRow("other proprietary") << "$PZTRY" << int(NmeaParser::Other);
    QTest::newRow("other sentence") << "$GPGSV" << int(NmeaParser::Other);
    QTest::newRow("empty") << "" << int(NmeaParser::Other);
}

void TestNmeaParser::frameTypes()
{
    QFETCH(QString, field);
    QFETCH(int, type);
    QCOMPARE(int(NmeaParser::lookUpFrameType(field.toStdString())), type);
}

void TestNmeaParser::fieldsCountLikeSplit_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("count"); // a last empty field does not count
    QTest::newRow("plain") << "$GPGGA,1,2,3" << 4;
    QTest::newRow("empty inside") << "a,,b,," << 4;
    QTest::newRow("trailing comma") << "a,b," << 2;
    QTest::newRow("only comma") << "," << 1;
    QTest::newRow("no comma") << "abc" << 1;
    QTest::newRow("empty") << "" << 1;
    QTest::newRow("leading comma") << ",a" << 2;
    QTest::newRow("many") << "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19," << 20;
}

void TestNmeaParser::fieldsCountLikeSplit()
{
    QFETCH(QString, line);
    QFETCH(int, count);
    const std::string text = line.toStdString();
    const NmeaFields scanned{std::string_view(text)};
    QCOMPARE(int(scanned.size()), count);
    const QStringList split = line.split(QLatin1Char(','));
    for (int i = 0; i < count && i < int(NmeaFields::Kept); ++i)
        QCOMPARE(QString::fromStdString(std::string(scanned[std::size_t(i)])), split[i]);
    QVERIFY(scanned[NmeaFields::Kept].empty() && scanned[std::size_t(count)].empty());
}

void TestNmeaParser::rmcTime_data()
{
    QTest::addColumn<QString>("timeAndDate");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow(".600 rounds up") << "120000.600 010524" << at(12, 0, 1);
    QTest::newRow(".400 rounds down") << "120000.400 010524" << at(12, 0, 0);
    QTest::newRow(".500 rounds up") << "120000.500 010524" << at(12, 0, 1);
    QTest::newRow("no fraction") << "120000 010524" << at(12, 0, 0);
    QTest::newRow("one digit") << "120000.6 010524" << at(12, 0, 1);
    QTest::newRow("two digits") << "120000.45 010524" << at(12, 0, 0);
    QTest::newRow("into next day") << "235959.700 311224" << at(0, 0, 0, QDate(2025, 1, 1));
    QTest::newRow("minute 60") << "126000.000 010524" << QDateTime();
    QTest::newRow("five digits") << "12000 010524" << QDateTime();
    QTest::newRow("letter") << "1200a0.000 010524" << QDateTime();
    QTest::newRow("bad date") << "120000.000 310224" << QDateTime();
    QTest::newRow("empty date") << "120000.000 " << QDateTime();
}

void TestNmeaParser::rmcTime()
{
    QFETCH(QString, timeAndDate);
    QFETCH(QDateTime, expected);
    const QStringList fields = timeAndDate.split(QLatin1Char(' '));
    const std::string line = QStringLiteral("$GPRMC,%1,A,4846.5995,N,00910.9620,E,10.0,45.0,%2,,")
                                 .arg(fields.at(0), fields.at(1))
                                 .toStdString();
    const QNmeaPositionInfo record = NmeaParser::parseGPRMC(NmeaFields(std::string_view(line)));
    QCOMPARE(record.timestamp(), expected);
    QCOMPARE(record.isValid(), expected.isValid());
}

void TestNmeaParser::rmcValues()
{
    const QNmeaPositionInfo r = NmeaParser::parseGPRMC(
        fields("$GPRMC,120000.000,A,4846.5995,N,00910.9620,W,10.0,45.5,010524,003.1,W*6A"));
    QVERIFY(r.isValid());
    QVERIFY(r.marker(QNmeaPositionInfo::Fix));
    QVERIFY(qAbs(r.coordinate().latitude() - (48 + 46.5995 / 60)) < 1e-9);
    QVERIFY(qAbs(r.coordinate().longitude() + (9 + 10.962 / 60)) < 1e-9);
    QVERIFY(qAbs(r.attribute(QNmeaPositionInfo::GroundSpeed) - 10 * 1.852 / 3.6) < 1e-12);
    QCOMPARE(r.attribute(QNmeaPositionInfo::Direction), 45.5);
    // The checksum glued to the last field does not hide the west sign.
    QCOMPARE(r.attribute(QNmeaPositionInfo::MagneticVariation), -3.1);

    const QNmeaPositionInfo v =
        NmeaParser::parseGPRMC(fields("$GPRMC,120000.000,V,4846.5995,N,00910.9620,E,,,010524,,"));
    QVERIFY(v.isValid());
    QVERIFY(!v.marker(QNmeaPositionInfo::Fix));
    QVERIFY(!v.hasAttribute(QNmeaPositionInfo::GroundSpeed));
    QVERIFY(!v.hasAttribute(QNmeaPositionInfo::MagneticVariation));

    const QNmeaPositionInfo bad =
        NmeaParser::parseGPRMC(fields("$GPRMC,120000.000,A,4846.5995,N,00910.9620,E,x1,junk,010524,,"));
    QVERIFY(bad.isValid());
    QVERIFY(!bad.hasAttribute(QNmeaPositionInfo::GroundSpeed));
    QVERIFY(!bad.hasAttribute(QNmeaPositionInfo::Direction));

    QVERIFY(!NmeaParser::parseGPRMC(fields("$GPRMC,120000.000,A,4846.5995,N,00910.9620")).isValid());
}

void TestNmeaParser::rmcNearZeroIsDiscarded()
{
    const NmeaFile map =
        parseLines(path("zero.nmea"), {"$GPRMC,100000.000,V,0000.0000,N,00000.0000,E,0.0,0.0,010524,,,N*7C",
                                       Fixture::rmc(QTime(10, 0, 1), Day, 0.005, 10.0),
                                       Fixture::rmc(QTime(10, 0, 2), Day, Lat, Lon)});
    QCOMPARE(map.keys(), QList<QDateTime>{at(10, 0, 2)});
}

void TestNmeaParser::ggaBeforeAndAfterFirstRmc()
{
    const NmeaFile map =
        parseLines(path("gga.nmea"), {Fixture::gga(QTime(10, 0, 0), Lat, Lon, 200.0),
                                      Fixture::rmc(QTime(10, 0, 1), Day, Lat, Lon),
                                      Fixture::gga(QTime(10, 0, 1), Lat + 0.1, Lon, 250.5),
                                      Fixture::gga(QTime(10, 0, 2), Lat, Lon + 0.1, 260.0, 0),
                                      Fixture::gga(QTime(10, 0, 3), Lat, Lon, 270.0, 2),
                                      "$GPGGA,100004.000,4846.5995,N,00910.9620,E,x,08,0.9,abc,M,,M,,"});
    QCOMPARE(map.keys(), (QList<QDateTime>{at(10, 0, 1), at(10, 0, 2), at(10, 0, 3), at(10, 0, 4)}));

    const QNmeaPositionInfo merged = map.value(at(10, 0, 1));
    QCOMPARE(merged.coordinate().altitude(), 250.5);
    QVERIFY(qAbs(merged.coordinate().latitude() - Lat) < 1e-6); // the RMC's own position stays

    QVERIFY(!map.value(at(10, 0, 2)).marker(QNmeaPositionInfo::Fix));
    QCOMPARE(map.value(at(10, 0, 2)).coordinate().altitude(), 260.0);
    QVERIFY(map.value(at(10, 0, 3)).marker(QNmeaPositionInfo::Fix));
    // Unparsable altitude and fix quality: the position is still taken.
    QVERIFY(qIsNaN(map.value(at(10, 0, 4)).coordinate().altitude()));
    QVERIFY(!map.value(at(10, 0, 4)).marker(QNmeaPositionInfo::Fix));
}

void TestNmeaParser::ggaJustAfterMidnight()
{
    NmeaParser parser;
    const QString file = path("midnight.nmea");
    const QDate next = Day.addDays(1);
    QVERIFY(Fixture::write(
        file, {Fixture::rmc(QTime(23, 59, 59), Day, Lat, Lon), Fixture::gga(QTime(0, 0, 0), Lat, Lon, 300.0),
               Fixture::pztrx(QTime(0, 0, 1), 0.25, -0.5), Fixture::rmc(QTime(0, 0, 1), next, Lat, Lon)}));
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.keys(), (QList<QDateTime>{at(23, 59, 59), at(0, 0, 0, next), at(0, 0, 1, next)}));
    QCOMPARE(map.value(at(0, 0, 0, next)).coordinate().altitude(), 300.0);
    QCOMPARE(map.value(at(0, 0, 1, next)).attribute(QNmeaPositionInfo::AccelerationX), 0.25);
}

void TestNmeaParser::pztrxMergedPostFactum()
{
    const NmeaFile map =
        parseLines(path("pztrx.nmea"), {Fixture::pztrx(QTime(9, 59, 59), 0.3, 0.3), // before any fix: dropped
                                        Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon),
                                        Fixture::pztrx(QTime(10, 0, 1), 0.5, -0.25), // arrives before its RMC
                                        Fixture::rmc(QTime(10, 0, 1), Day, Lat, Lon),
                                        Fixture::pztrx(QTime(10, 0, 0), 0.125, 0.075),
                                        Fixture::pztrx(QTime(10, 0, 0), 0.9, 0.9), // entry has values already
                                        Fixture::pztrx(QTime(10, 0, 5), 0.7, 0.7)}); // no such second
    QCOMPARE(map.size(), 2);
    QCOMPARE(map.value(at(10, 0, 1)).attribute(QNmeaPositionInfo::AccelerationX), 0.5);
    QCOMPARE(map.value(at(10, 0, 1)).attribute(QNmeaPositionInfo::AccelerationY), -0.25);
    QCOMPARE(map.value(at(10, 0, 0)).attribute(QNmeaPositionInfo::AccelerationX), 0.125);
    QCOMPARE(map.value(at(10, 0, 0)).attribute(QNmeaPositionInfo::AccelerationY), 0.075);
}

void TestNmeaParser::valuesOfOneAreMeasurements()
{
    // 1.00 kn, 1.00 degrees and an acceleration of 1.0 are kept as read, not left to gap filling.
    const NmeaFile map = parseLines(path("one.nmea"), {Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon, 1.0, 1.0),
                                                       Fixture::pztrx(QTime(10, 0, 0), 1.0, 1.0)});
    QCOMPARE(map.size(), 1);
    const QNmeaPositionInfo& r = map.first();
    QVERIFY(qAbs(r.attribute(QNmeaPositionInfo::GroundSpeed) - 1.852 / 3.6) < 1e-12);
    QCOMPARE(r.attribute(QNmeaPositionInfo::Direction), 1.0);
    QCOMPARE(r.attribute(QNmeaPositionInfo::AccelerationX), 1.0);
    QCOMPARE(r.attribute(QNmeaPositionInfo::AccelerationY), 1.0);
}

void TestNmeaParser::snrmcBeforeFirstFix()
{
    const NmeaFile map =
        parseLines(path("snrmc-before.nmea"), {Fixture::snrmc("", ",,,"), Fixture::snrmc("095000.000", ",,,"),
                                               Fixture::snrmc("", "0000.0000,N,00000.0000,E"),
                                               Fixture::rmc(QTime(10, 0, 10), Day, Lat, Lon)});
    QCOMPARE(map.keys(), (QList<QDateTime>{at(10, 0, 7), at(10, 0, 8), at(10, 0, 9), at(10, 0, 10)}));
    for (const QNmeaPositionInfo& p : map) {
        QVERIFY(qAbs(p.coordinate().latitude() - Lat) < 1e-6);
        QVERIFY(qAbs(p.coordinate().longitude() - Lon) < 1e-6);
    }
}

void TestNmeaParser::snrmcAfterFix_data()
{
    QTest::addColumn<QString>("position");
    QTest::addColumn<double>("latitude");
    QTest::newRow("own position") << "4900.0000,N,00910.9620,E" << 49.0;
    QTest::newRow("no position") << ",,," << Lat;
    QTest::newRow("near zero") << "0000.0010,N,00910.9620,E" << Lat;
}

void TestNmeaParser::snrmcAfterFix()
{
    QFETCH(QString, position);
    QFETCH(double, latitude);
    const NmeaFile map = parseLines(path("snrmc-after.nmea"), {Fixture::rmc(QTime(10, 0, 10), Day, Lat, Lon),
                                                               Fixture::snrmc("", position)});
    QCOMPARE(map.keys(), (QList<QDateTime>{at(10, 0, 10), at(10, 0, 11)}));
    QVERIFY(qAbs(map.value(at(10, 0, 11)).coordinate().latitude() - latitude) < 1e-6);
}

void TestNmeaParser::badInputDoesNotStopTheFile_data()
{
    QTest::addColumn<QByteArray>("junk");
    QTest::addColumn<bool>("endsFile");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) % 256));
    QTest::newRow("binary") << binary << false;
    QTest::newRow("NUL bytes") << QByteArray(300, '\0') << false;
    QTest::newRow("NUL inside sentence") << QByteArray("$GPRMC,10\0\0\0,A,48,N", 20) << false;
    QTest::newRow("1 MB without commas") << QByteArray(1 << 20, 'x') << false;
    QTest::newRow("1 MB of commas") << QByteArray("$GPRMC") + QByteArray(1 << 20, ',') << false;
    QTest::newRow("1 MB digits in a field")
        << QByteArray("$GPRMC,100030.000,A,") + QByteArray(1 << 20, '4') + ",N,00910.9620,E,1,1,010524,,"
        << false;
    QTest::newRow("1 MB GGA time") << QByteArray("$GPGGA,") + QByteArray(1 << 20, '1') + ",4846.5,N" << false;
    QTest::newRow("missing fields") << QByteArray("$GPRMC\n$GPGGA\n$PZTRX\n$SNRMC\n$GPRMC,,,,,,,,,,,,")
                                    << false;
    QTest::newRow("unparsable numbers")
        << QByteArray("$GPRMC,100030.000,A,abc,N,def,E,x,y,010524,z,W\n$PZTRX,100030,q,r\n"
                      "$GPGGA,100005.000,4846.5995,N,00910.9620,E,99999999999999999999,08,0.9,1e999,M,,M,,")
        << false;
    QTest::newRow("truncated last line") << QByteArray("$GPRMC,100030.000,A,4846.59") << true;
    QTest::newRow("lone CR") << QByteArray("\r\r\r") << false;
}

void TestNmeaParser::badInputDoesNotStopTheFile()
{
    QFETCH(QByteArray, junk);
    QFETCH(bool, endsFile);
    QByteArray bytes;
    for (int s = 0; s < 10; ++s)
        bytes += Fixture::rmc(QTime(10, 0, s), Day, Lat, Lon).toLatin1() + "\r\n";
    bytes += junk;
    if (!endsFile) {
        bytes += '\n';
        for (int s = 10; s < 20; ++s)
            bytes += Fixture::rmc(QTime(10, 0, s), Day, Lat, Lon).toLatin1() + "\n";
    }
    const QString file = path("junk.nmea");
    QVERIFY(Fixture::writeRaw(file, bytes));
    NmeaParser parser;
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.size(), endsFile ? 10 : 20);
    QCOMPARE(map.firstKey(), at(10, 0, 0));
}

void TestNmeaParser::registry()
{
    const QString good = path("registered.nmea");
    QVERIFY(Fixture::write(good, {Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon)}));
    const QString missing = path("does-not-exist.nmea");
    NmeaParser parser;
    QSignalSpy finished(&parser, &NmeaParser::parsingFinished);
    parse(parser, {good, missing});
    QCOMPARE(finished.count(), 1);

    NmeaFilePtr out;
    QVERIFY(parser.getParsedFile(out, good.toStdString()));
    QCOMPARE(out->size(), 1);

    NmeaFilePtr empty;
    QVERIFY(!parser.getParsedFile(empty, missing.toStdString()));
    QVERIFY(empty && empty->isEmpty());
    QCOMPARE(reportOf(parser, missing).problem, NmeaParser::FileReport::CannotOpen);
    QCOMPARE(reportOf(parser, good).problem, NmeaParser::FileReport::None);
    QVERIFY(!reportOf(parser, good).isDamaged());
    NmeaFilePtr untouched = out;
    QVERIFY(!parser.getParsedFile(untouched, path("never-requested.nmea").toStdString()));
    QCOMPARE(untouched, out);

    // A new request drops the previous registry.
    parser.requestParsing(std::make_shared<QStringList>());
    NmeaFilePtr gone;
    QVERIFY(!parser.getParsedFile(gone, good.toStdString()));
    QVERIFY(!gone);
    QVERIFY(!parser.abort()); // not running: nothing to abort
}

void TestNmeaParser::secondRequestAbortsFirst()
{
    QStringList first;
    QStringList lines;
    for (int s = 0; s < 20000; ++s)
        lines << Fixture::rmc(QTime(0, 0, 0).addSecs(s), Day, Lat, Lon);
    for (int i = 0; i < 6; ++i) {
        first << path(QStringLiteral("slow%1.nmea").arg(i));
        QVERIFY(Fixture::write(first.last(), lines));
    }
    const QString second = path("quick.nmea");
    QVERIFY(Fixture::write(second, {Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon)}));

    QThread thread;
    auto* parser = new NmeaParser;
    parser->moveToThread(&thread);
    connect(parser, &NmeaParser::parsingRequested, parser, &NmeaParser::doParsing);
    connect(&thread, &QThread::finished, parser, &QObject::deleteLater);
    QSignalSpy finished(parser, &NmeaParser::parsingFinished);
    thread.start();

    parser->requestParsing(std::make_shared<QStringList>(first));
    QTRY_VERIFY_WITH_TIMEOUT(parser->isRunning(), 10000);
    // Returns at once: the first parse stops on its own at its next chunk.
    parser->requestParsing(std::make_shared<QStringList>(QStringList{second}));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 20000);
    QVERIFY(!parser->isRunning());

    NmeaFilePtr map;
    QVERIFY(parser->getParsedFile(map, second.toStdString()));
    for (const QString& slow : first) {
        NmeaFilePtr none;
        QVERIFY(!parser->getParsedFile(none, slow.toStdString()));
        QVERIFY(!none);
    }
    thread.quit();
    QVERIFY(thread.wait(10000));
}

void TestNmeaParser::receiverLogs_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<double>("knots");
    // GGA before the RMC of its second: it is dropped until the first RMC, then it makes the entry
    // that the RMC of the same second takes over with its altitude.
    QTest::newRow("GN, GP and GB talkers")
        << "gpsd-beidou-gb.nmea" << QDate(2015, 3, 2) << QStringList{"05:32:32 -", "05:32:33 167.2"} << 0.07;
    QTest::newRow("GN and BD talkers, long GGA")
        << "gpsd-beidou-bd.nmea" << QDate(2015, 2, 25) << QStringList{"07:41:56 -", "07:41:57 190.7"} << 0.26;
    QTest::newRow("GN, GL and GA talkers, NMEA 4.1")
        << "gpsd-furuno-gl-ga.nmea" << QDate(2022, 7, 31)
        << QStringList{"12:02:13 168.9", "12:02:14 168.9", "12:02:15 168.9"} << 0.0;
}

void TestNmeaParser::receiverLogs()
{
    QFETCH(QString, file);
    QFETCH(QDate, date);
    QFETCH(QStringList, entries);
    QFETCH(double, knots);
    const QString log = QStringLiteral(NMEA_TEST_DATA "/") + file;
    QVERIFY(QFileInfo::exists(log));
    NmeaParser parser;
    const NmeaFile map = parse(parser, {log});
    QCOMPARE(secondsAndAltitudes(map), entries);
    QCOMPARE(map.firstKey().date(), date);
    const QNmeaPositionInfo last = map.last();
    QVERIFY(last.marker(QNmeaPositionInfo::Fix));
    QVERIFY(last.isExtendedValid());
    QVERIFY(qAbs(last.attribute(QNmeaPositionInfo::GroundSpeed) - knots * 1.852 / 3.6) < 1e-12);
    const NmeaParser::FileReport report = reportOf(parser, log);
    QCOMPARE(report.badChecksumLines, 0);
    QVERIFY(!report.isDamaged());
}

void TestNmeaParser::checksum_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("valid");
    const QString real = "$GNRMC,120213.000,A,5957.0062,N,01100.6429,E,0.00,0.00,310722,,,D,V*0A";
    QTest::newRow("right") << real << true;
    QTest::newRow("another sentence") << "$GPGSA,A,1,,,,,,,,,,,,,,,,*32" << true;
    QTest::newRow("lower-case letters") << withChecksum(real, "0a") << true;
    QTest::newRow("blanks after it") << real + "  " << true;
    QTest::newRow("none") << real.left(real.indexOf('*')) << true;
    QTest::newRow("wrong") << withChecksum(real, "0B") << false;
    QTest::newRow("one digit") << withChecksum(real, "A") << false;
    QTest::newRow("star alone") << withChecksum(real, "") << false;
    QTest::newRow("three digits") << withChecksum(real, "0A0") << false;
    QTest::newRow("not hexadecimal") << withChecksum(real, "0G") << false;
    QTest::newRow("signs") << withChecksum(real, "+A") << false;
    QTest::newRow("text after it") << real + ",1" << false;
    QTest::newRow("star inside") << "$GNRMC,1*0A,A" << false;
    QTest::newRow("one changed byte") << QString(real).replace("5957.0062", "5957.0063") << false;
}

void TestNmeaParser::checksum()
{
    QFETCH(QString, line);
    QFETCH(bool, valid);
    QCOMPARE(NmeaParser::hasValidChecksum(line.toStdString()), valid);
}

void TestNmeaParser::badChecksumsSkippedAndCounted()
{
    const QTime t(10, 0, 0);
    const QString file = path("checksums.nmea");
    QVERIFY(Fixture::write(
        file,
        {Fixture::rmc(t, Day, Lat, Lon), withChecksum(Fixture::rmc(t.addSecs(1), Day, Lat, Lon), "00"),
         withChecksum(Fixture::rmc(t.addSecs(2), Day, Lat, Lon), ""),
         withChecksum(Fixture::gga(t, Lat, Lon, 250.0), "00"), withChecksum(Fixture::pztrx(t, 0.5, 0.5), "0"),
         withChecksum(Fixture::snrmc("", ",,,"), "XY"), "$GPGSV,3,1,11,03,03,111,00*00",
         Fixture::rmc(t.addSecs(3), Day, Lat, Lon, 20.0, 90.0, Fixture::Style{"GN", 2, false})}));
    NmeaParser parser;
    const NmeaFile map = parse(parser, {file});
    // Nothing of the damaged sentences is taken; the unchecked sentence and the unknown kind
    // are no damage.
    QCOMPARE(map.keys(), (QList<QDateTime>{at(10, 0, 0), at(10, 0, 3)}));
    QVERIFY(qIsNaN(map.first().coordinate().altitude()));
    QVERIFY(!map.first().hasAttribute(QNmeaPositionInfo::AccelerationX));
    const NmeaParser::FileReport report = reportOf(parser, file);
    QCOMPARE(report.badChecksumLines, 5);
    QCOMPARE(report.problem, NmeaParser::FileReport::None);
    QVERIFY(report.isDamaged());
}

void TestNmeaParser::onlyRegularFilesAreRead()
{
    const QString fifo = path("fifo.nmea");
    const QString zero = path("link-to-zeros.nmea");
    const QString folder = path("folder.nmea");
    const QString good = path("regular.nmea");
    QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
    QVERIFY(::symlink("/dev/zero", QFile::encodeName(zero).constData()) == 0);
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(Fixture::write(good, {Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon)}));
    const QStringList files{fifo, zero, folder, "/dev/null", good};

    QThread thread;
    auto* parser = new NmeaParser;
    parser->moveToThread(&thread);
    connect(parser, &NmeaParser::parsingRequested, parser, &NmeaParser::doParsing);
    connect(&thread, &QThread::finished, parser, &QObject::deleteLater);
    QSignalSpy finished(parser, &NmeaParser::parsingFinished);
    thread.start();
    // However the test ends: stop the parse, give a reader waiting for a writer its end of file
    // and let the thread go.
    const auto release = qScopeGuard([&] {
        parser->abort();
        const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0)
            ::close(writer);
        thread.quit();
        thread.wait();
    });

    parser->requestParsing(std::make_shared<QStringList>(files));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 20000);
    for (const QString& special : {fifo, zero, folder, QStringLiteral("/dev/null")}) {
        NmeaFilePtr map;
        QVERIFY2(!parser->getParsedFile(map, special.toStdString()), qPrintable(special));
        QVERIFY(map && map->isEmpty());
        QCOMPARE(reportOf(*parser, special).problem, NmeaParser::FileReport::NotAFile);
    }
    NmeaFilePtr map;
    QVERIFY(parser->getParsedFile(map, good.toStdString()));
    QCOMPARE(map->size(), 1);
}

void TestNmeaParser::longLinesAndLargeFilesAreCut()
{
    QByteArray bytes;
    for (int s = 0; s < 3; ++s)
        bytes += Fixture::rmc(QTime(10, 0, s), Day, Lat, Lon).toLatin1() + "\n";
    // The longest line read whole, then one byte more: the rest of that line is skipped even where
    // it looks like a sentence.
    bytes += QByteArray(int(NmeaParser::MaxLineLength) - 1, '#') + "\r\n";
    bytes += QByteArray(int(NmeaParser::MaxLineLength) + 1, '#') +
             Fixture::rmc(QTime(10, 0, 30), Day, Lat, Lon).toLatin1() + "\n";
    bytes += QByteArray(int(NmeaParser::MaxLineLength) - 100, ',') + "\n";
    for (int s = 3; s < 6; ++s)
        bytes += Fixture::rmc(QTime(10, 0, s), Day, Lat, Lon).toLatin1() + "\n";
    const QString longLines = path("long-lines.nmea");
    QVERIFY(Fixture::writeRaw(longLines, bytes));

    // A file of more than MaxFileSize bytes, most of them a hole of zeros without a line end.
    const QString large = path("large.nmea");
    {
        QFile file(large);
        QVERIFY(file.open(QIODevice::WriteOnly));
        for (int s = 0; s < 3; ++s)
            file.write(Fixture::rmc(QTime(11, 0, s), Day, Lat, Lon).toLatin1() + "\n");
        QVERIFY(file.seek(NmeaParser::MaxFileSize - 10));
        file.write("\n" + Fixture::rmc(QTime(11, 0, 10), Day, Lat, Lon).toLatin1() + "\n");
    }

    NmeaParser parser;
    const NmeaFile first = parse(parser, {longLines, large});
    QCOMPARE(first.keys(), (QList<QDateTime>{at(10, 0, 0), at(10, 0, 1), at(10, 0, 2), at(10, 0, 3),
                                             at(10, 0, 4), at(10, 0, 5)}));
    NmeaParser::FileReport report = reportOf(parser, longLines);
    QCOMPARE(report.overlongLines, 1);
    QCOMPARE(report.problem, NmeaParser::FileReport::None);
    QVERIFY(report.isDamaged());

    // What lies within the limit is read; the line the limit cuts is not taken.
    NmeaFilePtr second;
    QVERIFY(parser.getParsedFile(second, large.toStdString()));
    QCOMPARE(second->keys(), (QList<QDateTime>{at(11, 0, 0), at(11, 0, 1), at(11, 0, 2)}));
    report = reportOf(parser, large);
    QCOMPARE(report.problem, NmeaParser::FileReport::TooLarge);
    QCOMPARE(report.overlongLines, 1);
    QVERIFY(report.isDamaged());
}

void TestNmeaParser::linesAcrossReadChunks()
{
    // Sentences between comment lines of every length from 0 to 600 bytes: over 1.5 MB, line
    // ends at every position relative to the reads.
    QByteArray bytes;
    QList<QDateTime> expected;
    for (int i = 0; i < 4000; ++i) {
        const QTime t = QTime(10, 0, 0).addSecs(i);
        bytes += '#' + QByteArray((i * 7919) % 600, 'c') + (i % 3 ? "\n" : "\r\n");
        bytes += Fixture::rmc(t, Day, Lat, Lon).toLatin1() + (i % 2 ? "\n" : "\r\n");
        expected << at(10, 0, 0).addSecs(i);
    }
    bytes.chop(1); // the last line without its line end
    const QString file = path("chunks.nmea");
    QVERIFY(Fixture::writeRaw(file, bytes));
    NmeaParser parser;
    QCOMPARE(parse(parser, {file}).keys(), expected);
    QVERIFY(!reportOf(parser, file).isDamaged());
}

void TestNmeaParser::toDecimal_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("hemisphere");
    QTest::addColumn<double>("expected");
    QTest::newRow("north") << "4846.5995" << QString("N") << 48 + 46.5995 / 60;
    QTest::newRow("south") << "4846.5995" << QString("S") << -(48 + 46.5995 / 60);
    QTest::newRow("west, three digits") << "12330.0000" << QString("W") << -123.5;
    QTest::newRow("lower case is positive") << "12330.0000" << QString("w") << 123.5;
    QTest::newRow("checksum glued") << "0030.0000*6A" << QString("E") << 0.5;
}

void TestNmeaParser::toDecimal()
{
    QFETCH(QString, value);
    QFETCH(QString, hemisphere);
    QFETCH(double, expected);
    QVERIFY(qAbs(QNmeaCoordinate::toDecimal(value, hemisphere) - expected) < 1e-12);
    const QNmeaCoordinate c = QNmeaCoordinate::fromString("4846.5995", "N", value, hemisphere);
    QVERIFY(qAbs(c.longitude() - expected) < 1e-12 || !c.isValid());
    QVERIFY(qIsNaN(c.altitude()));
}

void TestNmeaParser::attributeText_data()
{
    QTest::addColumn<int>("attribute");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("speedText");
    QTest::newRow("knots to m/s") << int(P::GroundSpeed) << "10" << true << 10 * 1.852 / 3.6 << "5.14444";
    QTest::newRow("1.00 degrees kept") << int(P::Direction) << "1.00" << true << 1.0 << "";
    QTest::newRow("1 knot kept") << int(P::GroundSpeed) << "1" << true << 1.852 / 3.6 << "0.514444";
    QTest::newRow("acceleration 1.0 kept") << int(P::AccelerationX) << "1.0" << true << 1.0 << "";
    QTest::newRow("direction") << int(P::Direction) << "359.9" << true << 359.9 << "";
    QTest::newRow("acceleration, checksum glued")
        << int(P::AccelerationY) << "-0.25*3C" << true << -0.25 << "";
    QTest::newRow("unparsable sets nothing") << int(P::AccelerationX) << "abc" << false << 0.0 << "";
}

void TestNmeaParser::attributeText()
{
    QFETCH(int, attribute);
    QFETCH(QString, text);
    QFETCH(bool, stored);
    QFETCH(double, value);
    QFETCH(QString, speedText);
    P p;
    const auto key = attribute >= P::AccelerationX ? P::AttributeKey(P::Attribute(attribute))
                                                   : P::AttributeKey(QGeoPositionInfo::Attribute(attribute));
    p.setAttribute(key, text.toStdString());
    QCOMPARE(p.hasAttribute(key), stored);
    if (stored && qIsNaN(value))
        QVERIFY(qIsNaN(p.attribute(key)));
    else if (stored)
        QVERIFY(qAbs(p.attribute(key) - value) < 1e-12);
    QCOMPARE(p.speedText(), speedText);
}

void TestNmeaParser::markerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("blank 3") << " 3" << true;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("1 with checksum") << "1*5B" << true;
    QTest::newRow("no number keeps marker") << "x" << true;
    QTest::newRow("out of range keeps marker") << "99999999999999999999" << true;
}

void TestNmeaParser::markerText()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    P p;
    p.setMarker(P::Fix, true);
    p.setMarker(P::Fix, text.toStdString());
    QCOMPARE(p.marker(P::Fix), expected);
    p.setMarker(P::Event, "0"); // a string literal must not read as a true bool
    QVERIFY(!p.marker(P::Event));
}

void TestNmeaParser::copiesAreDeepAndTextsFollow()
{
    P p(QNmeaCoordinate(48.5, 9.25), QDateTime(QDate(2024, 5, 1), QTime(10, 0, 5)));
    p.setMarker(P::Event, true);
    p.setAttribute(P::AccelerationX, 0.5);
    p.setAttribute(P::GroundSpeed, std::string("10"));
    p.setFileName("/c/001_0001_20240501100000.mp4");

    P copy;
    copy = p;
    QVERIFY(copy.marker(P::Event));
    QCOMPARE(copy.fileName(), p.fileName());
    QCOMPARE(copy.tooltip(), QDate(2024, 5, 1).toString(Qt::TextDate) + "\n10:00:05\n5.14444");

    copy.setAttribute(P::AccelerationX, 2.0);
    copy.setMarker(P::Event, false);
    copy.setTimestamp(QDateTime(QDate(2024, 5, 2), QTime(11, 0)));
    QCOMPARE(p.attribute(P::AccelerationX), 0.5);
    QVERIFY(p.marker(P::Event));
    QVERIFY(p.timestampText().endsWith("10:00:05"));
    QVERIFY(copy.timestampText().endsWith("11:00:00"));

    // Changed through the base class, which knows nothing of the texts, the texts still follow.
    QGeoPositionInfo& base = p;
    base.setTimestamp(QDateTime(QDate(2024, 5, 2), QTime(23, 59, 59), Qt::UTC));
    base.setAttribute(QGeoPositionInfo::GroundSpeed, 2.5);
    const P second(p);
    QCOMPARE(second.timestampText(), QDate(2024, 5, 2).toString(Qt::TextDate) + "\n23:59:59");
    QCOMPARE(second.speedText(), QStringLiteral("2.5"));
    base.removeAttribute(QGeoPositionInfo::GroundSpeed);
    QVERIFY(p.speedText().isEmpty());
    QCOMPARE(p.tooltip(), p.timestampText() + "\n");
    // No timestamp, no text.
    p.setTimestamp(QDateTime());
    QVERIFY(p.timestampText().isEmpty());
}

void TestNmeaParser::secureStod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "12.5" << 12.5;
    QTest::newRow("blanks") << "  -3.25" << -3.25;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("prefix only") << "022.4*6A" << 22.4;
    QTest::newRow("exponent") << "1e3x" << 1000.0;
    QTest::newRow("hex") << "0x10" << 16.0;
    QTest::newRow("nothing") << "abc" << qQNaN();
    QTest::newRow("empty") << "" << qQNaN();
    QTest::newRow("double sign") << "+-1" << qQNaN();
    QTest::newRow("out of range") << "1e999" << qQNaN();
}

void TestNmeaParser::secureStod()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = Utilities::secureStod(text.toStdString());
    if (qIsNaN(expected))
        QVERIFY(qIsNaN(value));
    else
        QCOMPARE(value, expected);
}

void TestNmeaParser::metaTypeResolvesByName()
{
    P::registerMetaTypes();
    const int id = qMetaTypeId<std::shared_ptr<std::vector<P>>>();
    QCOMPARE(QMetaType::type("std::shared_ptr<std::vector<QNmeaPositionInfo>>"), id);
    QCOMPARE(QMetaType::type("std::shared_ptr<std::vector<QNmeaPositionInfo> >"), id);
}

QTEST_GUILESS_MAIN(TestNmeaParser)
#include "tst_nmeaparser.moc"
