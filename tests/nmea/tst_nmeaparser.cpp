#include "nmeafixture.h"
#include "nmeaparser.h"
#include "utilities.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

const QDate Day(2024, 5, 1);
constexpr double Lat = 48.7766;
constexpr double Lon = 9.1827;

QDateTime at(int h, int m, int s, const QDate& date = Day)
{
    return QDateTime(date, QTime(h, m, s));
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
    void snrmcBeforeFirstFix();
    void snrmcAfterFix_data();
    void snrmcAfterFix();
    void receiverStyles_data();
    void receiverStyles();
    void badInputDoesNotStopTheFile_data();
    void badInputDoesNotStopTheFile();
    void registry();
    void secondRequestAbortsFirst();

private:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestNmeaParser::frameTypes_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("type");
    QTest::newRow("GPRMC") << "$GPRMC" << int(NmeaParser::GPRMC);
    QTest::newRow("GLRMC") << "$GLRMC" << int(NmeaParser::GPRMC);
    QTest::newRow("SNRMC") << "$SNRMC" << int(NmeaParser::SNRMC);
    QTest::newRow("GPGGA") << "$GPGGA" << int(NmeaParser::GPGGA);
    QTest::newRow("GLGGA") << "$GLGGA" << int(NmeaParser::GPGGA);
    QTest::newRow("PZTRX") << "$PZTRX" << int(NmeaParser::PZTRX);
    QTest::newRow("longer") << "$GPRMCX" << int(NmeaParser::Other);
    QTest::newRow("no dollar") << "GPRMC" << int(NmeaParser::Other);
    QTest::newRow("lower case") << "$gprmc" << int(NmeaParser::Other);
    QTest::newRow("other talker") << "$GNRMC" << int(NmeaParser::Other);
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
    QTest::newRow("plain") << "$GPGGA,1,2,3";
    QTest::newRow("empty inside") << "a,,b,,";
    QTest::newRow("trailing comma") << "a,b,";
    QTest::newRow("only comma") << ",";
    QTest::newRow("no comma") << "abc";
    QTest::newRow("empty") << "";
    QTest::newRow("leading comma") << ",a";
    QTest::newRow("many") << "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,";
}

void TestNmeaParser::fieldsCountLikeSplit()
{
    QFETCH(QString, line);
    const std::string text = line.toStdString();
    const std::vector<std::string> split = Utilities::split(text, ",");
    const NmeaFields scanned{std::string_view(text)};
    QCOMPARE(scanned.size(), split.size());
    for (std::size_t i = 0; i < split.size() && i < NmeaFields::Kept; ++i)
        QCOMPARE(std::string(scanned[i]), split[i]);
}

void TestNmeaParser::rmcTime_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow(".600 rounds up") << "120000.600"
                                    << "010524" << at(12, 0, 1);
    QTest::newRow(".400 rounds down") << "120000.400"
                                      << "010524" << at(12, 0, 0);
    QTest::newRow(".500 rounds up") << "120000.500"
                                    << "010524" << at(12, 0, 1);
    QTest::newRow("no fraction") << "120000"
                                 << "010524" << at(12, 0, 0);
    QTest::newRow("one digit") << "120000.6"
                               << "010524" << at(12, 0, 1);
    QTest::newRow("two digits") << "120000.45"
                                << "010524" << at(12, 0, 0);
    QTest::newRow("into next day") << "235959.700"
                                   << "311224" << at(0, 0, 0, QDate(2025, 1, 1));
    QTest::newRow("minute 60") << "126000.000"
                               << "010524" << QDateTime();
    QTest::newRow("five digits") << "12000"
                                 << "010524" << QDateTime();
    QTest::newRow("letter") << "1200a0.000"
                            << "010524" << QDateTime();
    QTest::newRow("bad date") << "120000.000"
                              << "310224" << QDateTime();
    QTest::newRow("empty date") << "120000.000"
                                << "" << QDateTime();
}

void TestNmeaParser::rmcTime()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(QDateTime, expected);
    const std::string line =
        QStringLiteral("$GPRMC,%1,A,4846.5995,N,00910.9620,E,10.0,45.0,%2,,").arg(time, date).toStdString();
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
    QVERIFY(bad.hasAttribute(QNmeaPositionInfo::GroundSpeed));
    QVERIFY(qIsNaN(bad.attribute(QNmeaPositionInfo::GroundSpeed)));

    QVERIFY(!NmeaParser::parseGPRMC(fields("$GPRMC,120000.000,A,4846.5995,N,00910.9620")).isValid());
}

void TestNmeaParser::rmcNearZeroIsDiscarded()
{
    NmeaParser parser;
    const QString file = path("zero.nmea");
    QVERIFY(Fixture::write(file, {"$GPRMC,100000.000,V,0000.0000,N,00000.0000,E,0.0,0.0,010524,,,N*7C",
                                  Fixture::rmc(QTime(10, 0, 1), Day, 0.005, 10.0),
                                  Fixture::rmc(QTime(10, 0, 2), Day, Lat, Lon)}));
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.keys(), QList<QDateTime>{at(10, 0, 2)});
}

void TestNmeaParser::ggaBeforeAndAfterFirstRmc()
{
    NmeaParser parser;
    const QString file = path("gga.nmea");
    QVERIFY(Fixture::write(file, {Fixture::gga(QTime(10, 0, 0), Lat, Lon, 200.0),
                                  Fixture::rmc(QTime(10, 0, 1), Day, Lat, Lon),
                                  Fixture::gga(QTime(10, 0, 1), Lat + 0.1, Lon, 250.5),
                                  Fixture::gga(QTime(10, 0, 2), Lat, Lon + 0.1, 260.0, 0),
                                  Fixture::gga(QTime(10, 0, 3), Lat, Lon, 270.0, 2),
                                  "$GPGGA,100004.000,4846.5995,N,00910.9620,E,x,08,0.9,abc,M,,M,,"}));
    const NmeaFile map = parse(parser, {file});
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
    NmeaParser parser;
    const QString file = path("pztrx.nmea");
    QVERIFY(Fixture::write(file, {Fixture::pztrx(QTime(9, 59, 59), 0.3, 0.3), // before any fix: dropped
                                  Fixture::rmc(QTime(10, 0, 0), Day, Lat, Lon),
                                  Fixture::pztrx(QTime(10, 0, 1), 0.5, -0.25), // arrives before its RMC
                                  Fixture::rmc(QTime(10, 0, 1), Day, Lat, Lon),
                                  Fixture::pztrx(QTime(10, 0, 0), 0.125, 0.075),
                                  Fixture::pztrx(QTime(10, 0, 0), 0.9, 0.9),    // entry has values already
                                  Fixture::pztrx(QTime(10, 0, 5), 0.7, 0.7)})); // no such second
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.size(), 2);
    QCOMPARE(map.value(at(10, 0, 1)).attribute(QNmeaPositionInfo::AccelerationX), 0.5);
    QCOMPARE(map.value(at(10, 0, 1)).attribute(QNmeaPositionInfo::AccelerationY), -0.25);
    QCOMPARE(map.value(at(10, 0, 0)).attribute(QNmeaPositionInfo::AccelerationX), 0.125);
    QCOMPARE(map.value(at(10, 0, 0)).attribute(QNmeaPositionInfo::AccelerationY), 0.075);
}

void TestNmeaParser::snrmcBeforeFirstFix()
{
    NmeaParser parser;
    const QString file = path("snrmc-before.nmea");
    QVERIFY(Fixture::write(file, {Fixture::snrmc("", ",,,"), Fixture::snrmc("095000.000", ",,,"),
                                  Fixture::snrmc("", "0000.0000,N,00000.0000,E"),
                                  Fixture::rmc(QTime(10, 0, 10), Day, Lat, Lon)}));
    const NmeaFile map = parse(parser, {file});
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
    NmeaParser parser;
    const QString file = path("snrmc-after.nmea");
    QVERIFY(
        Fixture::write(file, {Fixture::rmc(QTime(10, 0, 10), Day, Lat, Lon), Fixture::snrmc("", position)}));
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.keys(), (QList<QDateTime>{at(10, 0, 10), at(10, 0, 11)}));
    QVERIFY(qAbs(map.value(at(10, 0, 11)).coordinate().latitude() - latitude) < 1e-6);
}

void TestNmeaParser::receiverStyles_data()
{
    QTest::addColumn<QString>("talker");
    QTest::addColumn<int>("fractionDigits");
    QTest::addColumn<bool>("checksum");
    QTest::addColumn<bool>("crlf");
    QTest::newRow("GP, 3 digits, checksum, CRLF") << "GP" << 3 << true << true;
    QTest::newRow("GL, 2 digits, checksum, LF") << "GL" << 2 << true << false;
    QTest::newRow("GP, 0 digits, no checksum, LF") << "GP" << 0 << false << false;
    QTest::newRow("GL, 1 digit, no checksum, CRLF") << "GL" << 1 << false << true;
}

void TestNmeaParser::receiverStyles()
{
    QFETCH(QString, talker);
    QFETCH(int, fractionDigits);
    QFETCH(bool, checksum);
    QFETCH(bool, crlf);
    const Fixture::Style style{talker, fractionDigits, checksum};
    QStringList lines;
    for (int s = 0; s < 30; ++s) {
        const QTime t = QTime(10, 0, 0).addSecs(s).addMSecs(fractionDigits ? 200 : 0);
        lines << Fixture::rmc(t, Day, Lat + s * 1e-4, Lon, 20.0 + s, 90.0, style)
              << Fixture::gga(t, Lat + s * 1e-4, Lon, 100.0 + s, 1, style) << "$GPGSV,3,1,11,03,03,111,00*74"
              << Fixture::pztrx(t, 0.01 * s, -0.01 * s);
    }
    NmeaParser parser;
    const QString file = path("style.nmea");
    QVERIFY(Fixture::write(file, lines, crlf));
    const NmeaFile map = parse(parser, {file});
    QCOMPARE(map.size(), 30);
    const QNmeaPositionInfo p = map.value(at(10, 0, 29));
    QCOMPARE(p.coordinate().altitude(), 129.0);
    QVERIFY(qAbs(p.attribute(QNmeaPositionInfo::GroundSpeed) - 49 * 1.852 / 3.6) < 1e-9);
    QCOMPARE(p.attribute(QNmeaPositionInfo::AccelerationX), 0.29);
    QVERIFY(p.marker(QNmeaPositionInfo::Fix));
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
    parser->requestParsing(std::make_shared<QStringList>(QStringList{second}));
    QVERIFY(!parser->isRunning() || finished.count() >= 1);
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

QTEST_GUILESS_MAIN(TestNmeaParser)
#include "tst_nmeaparser.moc"
