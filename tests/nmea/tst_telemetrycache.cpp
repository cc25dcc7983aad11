#include "mediacache.h"
#include "nmeafilecodec.h"
#include "nmeafixture.h"
#include "nmeaparser.h"
#include "telemetrycache.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// A GPX track of `points` points a second apart from 2024-05-01 12:00:00 UTC, at `longitude`.
QByteArray gpx(int points, const char* longitude)
{
    QByteArray text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<trk><trkseg>\n";
    for (int i = 0; i < points; ++i)
        text += QByteArray("<trkpt lat=\"48.100000\" lon=\"") + longitude +
                "\"><time>2024-05-01T12:00:" + QByteArray::number(i).rightJustified(2, '0') +
                "Z</time></trkpt>\n";
    return text + "</trkseg></trk></gpx>\n";
}

// One RMC sentence a second from 2024-05-01 12:00:00 UTC at `longitude` ("01130.0000"), with its checksum.
QByteArray nmea(int seconds, const char* longitude)
{
    QByteArray text;
    for (int i = 0; i < seconds; ++i) {
        const QByteArray body = "GPRMC,1200" + QByteArray::number(i).rightJustified(2, '0') +
                                ".000,A,4808.2260,N," + longitude + ",E,25.00,80.00,010524,,,A";
        quint8 sum = 0;
        for (const char c : body)
            sum ^= quint8(c);
        text += '$' + body + '*' + QByteArray::number(sum, 16).toUpper().rightJustified(2, '0') + "\r\n";
    }
    return text;
}

// The records of a file as the parser hands them out, every field in text, and how many positions
// it counts.
QString parsed(const QString& path, int* positions = nullptr)
{
    NmeaParser parser;
    parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
    parser.doParsing();
    NmeaFilePtr file;
    parser.getParsedFile(file, path.toStdString());
    if (positions)
        *positions = parser.getPositionCount(path.toStdString());
    QString text;
    for (auto it = file->cbegin(); it != file->cend(); ++it)
        text += it.key().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + it->toString() +
                QStringLiteral(" alt %1\n").arg(it->coordinate().altitude());
    return text;
}

bool write(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile file(path);
    // Written out before the time is set: writing later would set it again.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return !modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime);
}

} // namespace

// Position data read from videos and other sidecars is kept between runs while the file stays as
// it was, and what comes back is what was read.
class TestTelemetryCache : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
    }

    void encodingKeepsEveryField()
    {
        Camera::Telemetry telemetry;
        telemetry.source = Camera::TelemetrySource::Gpmf;
        telemetry.error = QStringLiteral("cut short");
        telemetry.nmeaLines = {"$GPRMC,120000.000,A*00", ""};
        telemetry.samples.push_back({1714564800000, 48.1, 11.5, 13.2, 80.5, 512.25, NAN, -0.5});
        telemetry.samples.push_back({-1500, -33.9, -70.6, NAN, NAN, NAN, 0.25, NAN});
        Camera::Telemetry decoded;
        QVERIFY(TelemetryCache::decode(TelemetryCache::encode(telemetry), decoded));
        QCOMPARE(int(decoded.source), int(telemetry.source));
        QCOMPARE(decoded.error, telemetry.error);
        QCOMPARE(decoded.nmeaLines, telemetry.nmeaLines);
        QCOMPARE(decoded.samples.size(), telemetry.samples.size());
        for (std::size_t i = 0; i < decoded.samples.size(); ++i) {
            const Camera::TelemetrySample& a = decoded.samples[i];
            const Camera::TelemetrySample& b = telemetry.samples[i];
            const auto same = [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; };
            QVERIFY(a.utcMs == b.utcMs && same(a.latitude, b.latitude) && same(a.longitude, b.longitude) &&
                    same(a.speed, b.speed) && same(a.course, b.course) && same(a.altitude, b.altitude) &&
                    same(a.accelerationX, b.accelerationX) && same(a.accelerationY, b.accelerationY));
        }
        // Anything cut or extended is refused, never half read.
        const QByteArray bytes = TelemetryCache::encode(telemetry);
        for (int size = 0; size < bytes.size(); size += 7)
            QVERIFY(!TelemetryCache::decode(bytes.left(size), decoded));
        QVERIFY(!TelemetryCache::decode(bytes + "x", decoded));

        // Of a fast receiver only the first sample of each second stays (also before 1970).
        std::vector<Camera::TelemetrySample> fast;
        for (qint64 ms : {-1500LL, -1100LL, -900LL, 0LL, 100LL, 999LL, 1000LL})
            fast.push_back({ms, 1, 1, NAN, NAN, NAN, NAN, NAN});
        QStringList kept;
        for (const Camera::TelemetrySample& sample : TelemetryCache::firstOfEachSecond(fast))
            kept << QString::number(sample.utcMs);
        QCOMPARE(kept, (QStringList{"-1500", "-900", "0", "1000"}));
    }

    // The parser's next run takes a GPX track from the cache while the file keeps its size and
    // time (here rewritten behind the cache's back to show it is not read), and reads it again once
    // it changed.
    void parserReadsAChangedFileAgain()
    {
        const QString track = m_dir->filePath(QStringLiteral("2024_0501_120000_0001F.gpx"));
        const QDateTime modified = QDateTime::currentDateTimeUtc().addSecs(-3600);
        QVERIFY(write(track, gpx(3, "11.500000"), modified));
        const auto longitudeRead = [&track]() {
            NmeaParser parser;
            parser.requestParsing(std::make_shared<QStringList>(QStringList{track}));
            parser.doParsing();
            NmeaFilePtr file;
            if (!parser.getParsedFile(file, track.toStdString()) || !file || file->isEmpty())
                return 0.0;
            return file->first().coordinate().longitude();
        };
        QCOMPARE(longitudeRead(), 11.5);
        QVERIFY(QFile::exists(MediaCache::folder() + QStringLiteral("/telemetry.cache")));
        QVERIFY(write(track, gpx(3, "11.600000"), modified));
        QCOMPARE(longitudeRead(), 11.5);
        QVERIFY(write(track, gpx(3, "11.600000"), modified.addSecs(1)));
        QCOMPARE(longitudeRead(), 11.6);
        // Without the cache it is read every time.
        MediaCache::setEnabled(false);
        QVERIFY(write(track, gpx(3, "11.700000"), modified.addSecs(1)));
        QCOMPARE(longitudeRead(), 11.7);
        MediaCache::setEnabled(true);
    }

    // Records come back from their compact form as they were: timestamps of every kind of zone, invalid
    // coordinates with their values, attributes set or not, markers and file name; anything cut
    // or out of order is refused.
    void compactRecordsKeepEveryField()
    {
        NmeaFile records;
        const QDateTime utc(QDate(2024, 5, 1), QTime(12, 0, 1, 500), Qt::UTC);
        QNmeaPositionInfo full(QNmeaCoordinate(QGeoCoordinate(48.1, 11.5, 512.25)), utc);
        for (int i = 0; i < 8; ++i)
            full.setAttribute(i < 6 ? QNmeaPositionInfo::AttributeKey(QGeoPositionInfo::Attribute(i))
                                    : QNmeaPositionInfo::AttributeKey(QNmeaPositionInfo::Attribute(i)),
                              i - 2.5);
        full.setMarker(QNmeaPositionInfo::Event, true);
        full.setMarker(QNmeaPositionInfo::VideoGapEnd, true);
        full.setFileName(QStringLiteral("/card/Normal/001_0001_20240501120000.mp4"));
        records.insert(utc, full);
        QGeoCoordinate outOfRange;
        outOfRange.setLatitude(123.0);
        outOfRange.setLongitude(-200.0);
        QNmeaPositionInfo invalid{QNmeaCoordinate(outOfRange), QDateTime()};
        invalid.setAttribute(QNmeaPositionInfo::GroundSpeed, NAN);
        records.insert(utc.addSecs(1), invalid);
        const QDateTime offset(QDate(2024, 5, 1), QTime(14, 0, 3), Qt::OffsetFromUTC, 7200);
        records.insert(utc.addSecs(2), QNmeaPositionInfo(QNmeaCoordinate(-33.9, -70.6), offset));
        records.insert(QDateTime(), QNmeaPositionInfo(QNmeaCoordinate(1, 2), utc));

        const QByteArray bytes = NmeaFileCodec::encode(records);
        NmeaFile decoded;
        QVERIFY(NmeaFileCodec::decode(bytes, decoded));
        QCOMPARE(decoded.keys(), records.keys());
        for (auto a = decoded.cbegin(), b = records.cbegin(); a != decoded.cend(); ++a, ++b) {
            QCOMPARE(a->toStdString(), b->toStdString());
            QCOMPARE(a->timestamp(), b->timestamp());
            QCOMPARE(a->timestamp().timeSpec(), b->timestamp().timeSpec());
            QCOMPARE(a->timestamp().offsetFromUtc(), b->timestamp().offsetFromUtc());
            QCOMPARE(a->fileName(), b->fileName());
            const auto same = [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; };
            QVERIFY(same(a->coordinate().latitude(), b->coordinate().latitude()));
            QVERIFY(same(a->coordinate().longitude(), b->coordinate().longitude()));
            QVERIFY(same(a->coordinate().altitude(), b->coordinate().altitude()));
            for (int i = 0; i < 8; ++i) {
                const auto key = i < 6 ? QNmeaPositionInfo::AttributeKey(QGeoPositionInfo::Attribute(i))
                                       : QNmeaPositionInfo::AttributeKey(QNmeaPositionInfo::Attribute(i));
                QCOMPARE(a->hasAttribute(key), b->hasAttribute(key));
                QVERIFY(same(a->attribute(key), b->attribute(key)));
            }
            for (int m = 0; m < 6; ++m)
                QCOMPARE(a->marker(QNmeaPositionInfo::Markers(m)), b->marker(QNmeaPositionInfo::Markers(m)));
        }
        QCOMPARE(NmeaFileCodec::validPositions(records), 3);
        for (int size = 0; size < bytes.size(); size += 5)
            QVERIFY(!NmeaFileCodec::isWhole(bytes.left(size)) &&
                    !NmeaFileCodec::decode(bytes.left(size), decoded));
        QVERIFY(!NmeaFileCodec::isWhole(bytes + "x"));
        // The same key twice is not a file's records.
        NmeaFile one;
        one.insert(utc, full);
        QByteArray twice = NmeaFileCodec::encode(one);
        twice += twice.mid(4);
        twice[0] = 2;
        QVERIFY(!NmeaFileCodec::isWhole(twice));
    }

    // A ".nmea" file is parsed once while it keeps its size and time (here rewritten behind the
    // cache's back, same size and time, to show it is not read), and again once it is touched.
    void nmeaFileReadAgainOnceTouched()
    {
        const QString path = m_dir->filePath(QStringLiteral("001_0001_20240501120000.nmea"));
        const QDateTime modified = QDateTime::currentDateTimeUtc().addSecs(-3600);
        QVERIFY(write(path, nmea(5, "01130.0000"), modified));
        int positions = 0;
        const QString first = parsed(path, &positions);
        QVERIFY(first.contains(QStringLiteral("11\u00b0 30' 0.0\" E")));
        QCOMPARE(positions, 5);
        QVERIFY(QFile::exists(MediaCache::folder() + QStringLiteral("/positions.cache")));
        QVERIFY(write(path, nmea(5, "01140.0000"), modified));
        QCOMPARE(parsed(path, &positions), first);
        QCOMPARE(positions, 5);
        QVERIFY(write(path, nmea(5, "01140.0000"), modified.addSecs(1)));
        const QString touched = parsed(path);
        QVERIFY(touched.contains(QStringLiteral("11\u00b0 40' 0.0\" E")));
        MediaCache::setEnabled(false);
        QCOMPARE(parsed(path), touched);
        MediaCache::setEnabled(true);
    }

    // What the cache gives back is what parsing gives: records, report and position count, for
    // real receivers' logs and for a drive across midnight mixing every sentence the parser knows,
    // a line with a wrong checksum among them.
    void cachedFileEqualsParsed_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* name : {"gpsd-beidou-bd.nmea", "gpsd-beidou-gb.nmea", "gpsd-furuno-gl-ga.nmea"})
            QTest::newRow(name) << QStringLiteral(NMEA_TEST_DATA "/") + QLatin1String(name);
        QTest::newRow("every sentence") << QString();
    }

    void cachedFileEqualsParsed()
    {
        QFETCH(QString, path);
        if (path.isEmpty()) {
            path = m_dir->filePath(QStringLiteral("001_0001_20240501235958.nmea"));
            const QDate day(2024, 5, 1);
            QStringList lines{
                Fixture::snrmc(QStringLiteral("235957.000"), QStringLiteral(",,,")),
                Fixture::rmc(QTime(23, 59, 58), day, 48.1, 11.5),
                Fixture::gga(QTime(23, 59, 58), 48.1, 11.5, 512.5),
                Fixture::pztrx(QTime(23, 59, 58), 0.25, -0.5),
                Fixture::rmc(QTime(23, 59, 59, 500), day, 48.1001, 11.5002, 1.0, 1.0),
                Fixture::gga(QTime(0, 0, 1), 48.1002, 11.5004, 513.0),
                Fixture::pztrx(QTime(0, 0, 2), 0.5, 0.75),
                Fixture::rmc(QTime(0, 0, 2), day.addDays(1), 48.1003, 11.5006),
                QStringLiteral("$GPRMC,000003.000,A,4806.1800,N,01130.0360,E,20.0,90.0,020524,,,A*00")};
            QVERIFY(Fixture::write(path, lines, true));
        }
        const auto report = [&path]() {
            NmeaParser parser;
            parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
            parser.doParsing();
            NmeaParser::FileReport out;
            parser.getFileReport(out, path.toStdString());
            return QStringLiteral("%1 %2 %3")
                .arg(out.problem)
                .arg(out.badChecksumLines)
                .arg(out.overlongLines);
        };
        MediaCache::setEnabled(false);
        int expectedPositions = 0;
        const QString expected = parsed(path, &expectedPositions);
        const QString expectedReport = report();
        MediaCache::setEnabled(true);
        QVERIFY(!expected.isEmpty());
        QCOMPARE(parsed(path), expected); // read, and stored
        QVERIFY(QFile::exists(MediaCache::folder() + QStringLiteral("/positions.cache")));
        int positions = 0;
        QCOMPARE(parsed(path, &positions), expected); // from the cache
        QCOMPARE(positions, expectedPositions);
        QCOMPARE(report(), expectedReport);
    }

    // A damaged entry is not used: the file is parsed and the entry written anew.
    void damagedEntryRebuilt_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("report only") << QByteArray(17, '\0');
        QTest::newRow("garbage") << QByteArray(200, '\x7f');
        QTest::newRow("records cut") << QByteArray();
        QTest::newRow("unknown problem") << QByteArray();
    }

    void damagedEntryRebuilt()
    {
        QFETCH(QByteArray, entry);
        const QString path = m_dir->filePath(QStringLiteral("001_0001_20240501120000.nmea"));
        QVERIFY(write(path, nmea(4, "01130.0000"), QDateTime::currentDateTimeUtc().addSecs(-60)));
        MediaCache::setEnabled(false);
        const QString expected = parsed(path);
        MediaCache::setEnabled(true);
        QCOMPARE(parsed(path), expected);
        const QString key = QFileInfo(path).absoluteFilePath();
        QByteArray good;
        {
            MediaCache cache(NmeaParser::FileCacheName, NmeaParser::FileCacheGeneration);
            QVERIFY(cache.lookup(key, good));
        }
        if (QByteArray(QTest::currentDataTag()) == "records cut")
            entry = good.left(good.size() - 3);
        else if (QByteArray(QTest::currentDataTag()) == "unknown problem")
            entry = QByteArray(1, '\x7f') + good.mid(1);
        {
            MediaCache cache(NmeaParser::FileCacheName, NmeaParser::FileCacheGeneration);
            cache.store(key, entry);
            QVERIFY(cache.save());
        }
        int positions = 0;
        QCOMPARE(parsed(path, &positions), expected);
        QCOMPARE(positions, 4);
        MediaCache cache(NmeaParser::FileCacheName, NmeaParser::FileCacheGeneration);
        QByteArray rebuilt;
        QVERIFY(cache.lookup(key, rebuilt));
        QCOMPARE(rebuilt, good);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestTelemetryCache)
#include "tst_telemetrycache.moc"
