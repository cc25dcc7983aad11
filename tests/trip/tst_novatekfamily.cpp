#include "families.h"
#include "genericfamily.h"
#include "novatekfamily.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cstring>

using namespace Camera;

namespace {

// A position as exiftool reports it.
struct Fix
{
    qint64 utcMs = 0;
    double latitude = 0;
    double longitude = 0;
    double kmh = 0;
};

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray leFloat(float value)
{
    quint32 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return le32(bits);
}

QByteArray box(const char* type, const QByteArray& payload)
{
    return be32(quint32(8 + payload.size())) + QByteArray(type, 4) + payload;
}

// A block of `size` bytes; the fields as the camera writes them.
QByteArray block(const QDateTime& when, char status, double latNmea, char latRef, double lonNmea, char lonRef)
{
    const QDate d = when.date();
    const QTime t = when.time();
    QByteArray b = be32(256) + "freeGPS " + le32(76) + QByteArray(32, '\0');
    for (const int v : {t.hour(), t.minute(), t.second(), d.year() - 2000, d.month(), d.day()})
        b += le32(quint32(v));
    b += status;
    b += latRef;
    b += lonRef;
    b += '\0';
    b += leFloat(float(latNmea)) + leFloat(float(lonNmea)) + leFloat(20) + leFloat(90);
    return b + QByteArray(256 - b.size(), '\0');
}

const QDateTime Noon(QDate(2024, 5, 1), QTime(12, 0, 0), Qt::UTC);

QByteArray goodBlock(int second = 0)
{
    return block(Noon.addSecs(second), 'A', 4846.596, 'N', 910.962, 'E');
}

const QByteArray Ftyp = box("ftyp", QByteArray("isom") + be32(0x200) + "isomavc1");

// ftyp, media data holding two blocks, and a movie box listing (offset from the first block,
// size) pairs and a count of its own.
QByteArray indexedFile(const std::vector<std::pair<qint64, quint32>>& places, quint32 count)
{
    const qint64 first = Ftyp.size() + 8;
    QByteArray list = be32(1) + be32(count);
    for (const auto& [offset, size] : places)
        list += be32(quint32(first + offset)) + be32(size);
    return Ftyp + box("mdat", goodBlock(0) + goodBlock(1)) +
           box("moov", box("mvhd", QByteArray(100, '\0')) + box("gps ", list));
}

bool write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QDateTime utc(int h, int m, int s)
{
    return QDateTime(QDate(2024, 5, 1), QTime(h, m, s), Qt::UTC);
}

} // namespace

// The novatek family: names, folders and kinds, channels, and the "freeGPS" blocks inside its
// videos compared with exiftool's reading.
class TestNovatekFamily : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_card;

    QString movie(const QString& name) const { return m_card + QStringLiteral("/DCIM/Movie/") + name; }

    static std::vector<Fix> exiftoolFixes(const QString& file)
    {
        QProcess process;
        // exiftool runs in UTC, so that its times are instants whatever the local zone.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("exiftool"), {"-ee", "-n", "-j", "-G3", file});
        if (!process.waitForFinished(60000))
            return {};
        const QJsonObject tags =
            QJsonDocument::fromJson(process.readAllStandardOutput()).array().at(0).toObject();
        std::vector<Fix> fixes;
        for (int doc = 1; tags.contains(QStringLiteral("Doc%1:GPSLatitude").arg(doc)); ++doc) {
            const auto tag = [&](const char* name) {
                return tags.value(QStringLiteral("Doc%1:%2").arg(doc).arg(name));
            };
            QString time = tag("GPSDateTime").toString();
            time.chop(1); // "Z"
            const QDateTime local = QDateTime::fromString(time, QStringLiteral("yyyy:MM:dd HH:mm:ss"));
            Fix fix;
            fix.utcMs = QDateTime(local.date(), local.time(), Qt::UTC).toMSecsSinceEpoch();
            fix.latitude = tag("GPSLatitude").toDouble();
            fix.longitude = tag("GPSLongitude").toDouble();
            fix.kmh = tag("GPSSpeed").toDouble();
            fixes.push_back(fix);
        }
        return fixes;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_card = m_dir.path() + QStringLiteral("/card");
        QProcess generator;
        generator.start(
            QStringLiteral("python3"),
            {qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/scripts/make-family-card"),
             QStringLiteral("novatek"), m_card, QStringLiteral("--minutes"), QStringLiteral("2")});
        QVERIFY(generator.waitForFinished(120000));
        QVERIFY2(generator.exitCode() == 0, generator.readAllStandardError().constData());
    }

    void recognise_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<int>("kind");
        const int normal = int(RecordingKind::Normal);
        const int event = int(RecordingKind::Event);
        const int parking = int(RecordingKind::Parking);
        const QString nvt = NovatekFamily::Id;
        QTest::newRow("front") << "DCIM/Movie/2024_0501_090000_0001F.MP4" << nvt << utc(9, 0, 0) << "front"
                               << normal;
        QTest::newRow("rear") << "DCIM/Movie/2024_0501_090003_0002R.MP4" << nvt << utc(9, 0, 3) << "rear"
                              << normal;
        QTest::newRow("interior") << "DCIM/Movie/2024_0501_090003_0002I.MP4" << nvt << utc(9, 0, 3)
                                  << "interior" << normal;
        QTest::newRow("protected") << "DCIM/Movie/RO/2024_0501_090006_0003F.MP4" << nvt << utc(9, 0, 6)
                                   << "front" << event;
        QTest::newRow("parking, compact name without channel")
            << "DCIM/Movie/Parking/20240501100000_0004.MP4" << nvt << utc(10, 0, 0) << "front" << parking;
        QTest::newRow("compact name in Movie")
            << "DCIM/Movie/20240501090000_0001R.MP4" << nvt << utc(9, 0, 0) << "rear" << normal;
        QTest::newRow("lower case, short number")
            << "x/2024_0501_235959_001r.mp4" << nvt
            << QDateTime(QDate(2024, 5, 1), QTime(23, 59, 59), Qt::UTC) << "rear" << normal;
        QTest::newRow("MOV") << "DCIM/Movie/2024_0501_090000_0001F.MOV" << nvt << utc(9, 0, 0) << "front"
                             << normal;
        // Not this family's: left to the others.
        QTest::newRow("compact name elsewhere")
            << "DCIM/20240501090000_0001F.MP4" << GenericFamily::Id << utc(9, 0, 0) << "front" << normal;
        QTest::newRow("underscores in one place only")
            << "DCIM/Movie/2024_0501090000_0001F.MP4" << GenericFamily::Id << QDateTime() << "" << normal;
        QTest::newRow("no date") << "DCIM/Movie/2024_1301_090000_0001F.MP4" << QString() << QDateTime() << ""
                                 << normal;
        QTest::newRow("other channel letter") << "DCIM/Movie/2024_0501_090000_0001X.MP4" << GenericFamily::Id
                                              << utc(9, 0, 0) << "front" << normal;
        QTest::newRow("companion name") << "DCIM/Movie/001_0001_20240501090000.mp4"
                                        << "nmea-companion" << utc(9, 0, 0) << "front" << normal;
        QTest::newRow("two-letter suffix") << "Record/20240501_090000_NF.mp4"
                                           << "blackvue" << utc(9, 0, 0) << "front" << normal;
        QTest::newRow("text file") << "DCIM/Movie/2024_0501_090000_0001F.txt" << QString() << QDateTime()
                                   << "" << normal;
    }

    void recognise()
    {
        QFETCH(QString, path);
        QFETCH(QString, family);
        QFETCH(QDateTime, start);
        QFETCH(QString, channel);
        QFETCH(int, kind);
        const Recording mine = NovatekFamily().recognise(path);
        const Recording any = Families::recognise(path);
        QCOMPARE(any.family, family);
        QCOMPARE(mine.family.isEmpty(), family != NovatekFamily::Id);
        if (family.isEmpty() || family == "nmea-companion" ||
            (family != NovatekFamily::Id && !start.isValid()))
            return;
        QCOMPARE(any.start, start);
        QCOMPARE(any.start.timeSpec(), Qt::UTC);
        if (family != NovatekFamily::Id)
            return;
        QCOMPARE(mine.channel, channel);
        QCOMPARE(int(mine.kind), kind);
        QCOMPARE(mine.telemetry, TelemetrySource::Mp4Box);
        QCOMPARE(mine.telemetryFile, path);
    }

    void cardRuns()
    {
        const NovatekFamily family;
        const QString f1 = family.recognise(movie("2024_0501_090000_0001F.MP4")).run;
        QVERIFY(!f1.isEmpty());
        QCOMPARE(family.recognise(movie("2024_0501_090000_0001R.MP4")).run, f1);
        QCOMPARE(family.recognise(movie("2024_0501_090003_0002F.MP4")).run, f1);
        const QString ro = family.recognise(movie("RO/2024_0501_090006_0003F.MP4")).run;
        const QString parked = family.recognise(movie("Parking/20240501100000_0004.MP4")).run;
        QVERIFY(ro != f1 && parked != f1 && ro != parked);
        const QStringList folders = family.folderNames();
        for (const char* folder : {"DCIM", "Movie", "RO", "Parking"})
            QVERIFY(Families::isLayoutFolder(folder));
        QCOMPARE(folders.size(), 4);
    }

    // Blocks inside the media data, listed by the movie box: what exiftool reads.
    void samplesAgreeWithExiftool_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("count");
        QTest::newRow("first") << "2024_0501_090000_0001F.MP4" << 3;
        QTest::newRow("block without fix") << "2024_0501_090003_0002F.MP4" << 2;
        QTest::newRow("protected") << "RO/2024_0501_090006_0003F.MP4" << 3;
        QTest::newRow("parking") << "Parking/20240501100000_0004.MP4" << 3;
    }

    void samplesAgreeWithExiftool()
    {
        QFETCH(QString, file);
        QFETCH(int, count);
        const Recording recording = NovatekFamily().recognise(movie(file));
        const Telemetry telemetry = NovatekFamily().readTelemetry(recording);
        QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
        QCOMPARE(telemetry.source, TelemetrySource::Mp4Box);
        QCOMPARE(int(telemetry.samples.size()), count);
        for (const TelemetrySample& sample : telemetry.samples) // the block without a fix is 09:00:04
            QVERIFY(sample.utcMs != utc(9, 0, 4).toMSecsSinceEpoch());

        if (QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty())
            QSKIP("exiftool is not installed");
        const std::vector<Fix> fixes = exiftoolFixes(movie(file));
        QCOMPARE(int(fixes.size()), count);
        for (int i = 0; i < count; ++i) {
            const TelemetrySample& s = telemetry.samples[std::size_t(i)];
            const Fix& f = fixes[std::size_t(i)];
            QCOMPARE(s.utcMs, f.utcMs);
            QVERIFY2(std::abs(s.latitude - f.latitude) < 1e-6,
                     qPrintable(QString::number(s.latitude - f.latitude)));
            QVERIFY(std::abs(s.longitude - f.longitude) < 1e-6);
            QVERIFY(std::abs(s.speed * 3.6 - f.kmh) < 0.01);
        }
    }

    // Rear videos keep their blocks as top-level boxes: the same positions as the front's.
    void topLevelBlocks()
    {
        const NovatekFamily family;
        for (const char* stamp : {"2024_0501_090000_0001", "2024_0501_090003_0002"}) {
            const Telemetry rear = family.readTelemetry(family.recognise(movie(QString(stamp) + "R.MP4")));
            const Telemetry front = family.readTelemetry(family.recognise(movie(QString(stamp) + "F.MP4")));
            QVERIFY(rear.error.isEmpty());
            QCOMPARE(int(rear.samples.size()), 3);
            for (const TelemetrySample& f : front.samples) {
                const auto same =
                    std::find_if(rear.samples.cbegin(), rear.samples.cend(), [&f](const TelemetrySample& r) {
                        return r.utcMs == f.utcMs && r.latitude == f.latitude && r.longitude == f.longitude &&
                               r.speed == f.speed && r.course == f.course;
                    });
                QVERIFY(same != rear.samples.cend());
            }
        }
    }

    void parseBlock_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("longitude");
        const double lat = 48 + 46.596 / 60;
        const double lon = 9 + 10.962 / 60;
        QTest::newRow("north east") << goodBlock() << true << lat << lon;
        QTest::newRow("south west") << block(Noon, 'A', 4846.596, 'S', 910.962, 'W') << true << -lat << -lon;
        QByteArray fullYear = goodBlock();
        fullYear.replace(60, 4, le32(2024));
        QTest::newRow("four-digit year") << fullYear << true << lat << lon;
        QTest::newRow("no fix") << block(Noon, 'V', 4846.596, 'N', 910.962, 'E') << false << 0.0 << 0.0;
        QTest::newRow("no hemisphere")
            << block(Noon, 'A', 4846.596, '\0', 910.962, 'E') << false << 0.0 << 0.0;
        QTest::newRow("60 minutes") << block(Noon, 'A', 4860.5, 'N', 910.962, 'E') << false << 0.0 << 0.0;
        QTest::newRow("beyond the pole") << block(Noon, 'A', 9100, 'N', 910.962, 'E') << false << 0.0 << 0.0;
        QTest::newRow("not a number")
            << block(Noon, 'A', std::nan(""), 'N', 910.962, 'E') << false << 0.0 << 0.0;
        QByteArray month13 = goodBlock();
        month13.replace(64, 4, le32(13));
        QTest::newRow("month 13") << month13 << false << 0.0 << 0.0;
        QByteArray hour99 = goodBlock();
        hour99.replace(48, 4, le32(0xFFFFFFFF));
        QTest::newRow("hour out of range") << hour99 << false << 0.0 << 0.0;
        QTest::newRow("cut before the bearing")
            << goodBlock().left(NovatekFamily::BlockHeaderSize - 1) << false << 0.0 << 0.0;
        QByteArray magic = goodBlock();
        magic[5] = 'R';
        QTest::newRow("other box") << magic << false << 0.0 << 0.0;
    }

    void parseBlock()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        TelemetrySample sample;
        QCOMPARE(NovatekFamily::parseBlock(data, sample), valid);
        if (!valid)
            return;
        QCOMPARE(sample.utcMs, Noon.toMSecsSinceEpoch());
        QVERIFY(std::abs(sample.latitude - latitude) < 1e-5);
        QVERIFY(std::abs(sample.longitude - longitude) < 1e-5);
        QVERIFY(std::abs(sample.speed - 20 * 1852.0 / 3600) < 1e-9);
        QCOMPARE(sample.course, 90.0);
    }

    // Damaged and hostile files: no crash, no hang; the blocks that can be read, and an error.
    void hostile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("samples");
        QTest::addColumn<bool>("error");
        QTest::newRow("listed blocks") << indexedFile({{0, 256}, {256, 256}}, 2) << 2 << false;
        QTest::newRow("listed beyond the file") << indexedFile({{0, 256}, {0x7FFFFF00, 256}}, 2) << 1 << true;
        QTest::newRow("listed at no block")
            << indexedFile({{0, 256}, {-8 - Ftyp.size(), 256}}, 2) << 1 << true;
        QTest::newRow("count beyond the list") << indexedFile({{0, 256}}, 0xFFFFFFFF) << 1 << false;
        QTest::newRow("one block listed again and again")
            << indexedFile(std::vector<std::pair<qint64, quint32>>(50000, {0, 256}), 50000) << 1 << false;
        QTest::newRow("block size below its fields") << indexedFile({{0, 16}}, 1) << 0 << true;
        const QByteArray topLevel = Ftyp + goodBlock(0) + goodBlock(1);
        QTest::newRow("top-level blocks") << topLevel << 2 << false;
        QTest::newRow("box beyond the file") << topLevel + be32(0x40000000) + "mdat" << 2 << true;
        QTest::newRow("cut in the last block") << topLevel.left(topLevel.size() - 200) << 1 << true;
        QTest::newRow("64-bit size beyond the file")
            << topLevel + be32(1) + "mdat" + be32(0xFFFFFFFF) + be32(0xFFFFFFF0) << 2 << true;
        QTest::newRow("child smaller than its header")
            << Ftyp + goodBlock(0) + box("moov", be32(4) + "gps " + QByteArray(16, '\0')) << 1 << true;
        QTest::newRow("empty") << QByteArray() << 0 << false;
        QTest::newRow("text") << QByteArray("freeGPS freeGPS freeGPS") << 0 << true;
    }

    void hostile()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, samples);
        QFETCH(bool, error);
        const QString path = m_dir.path() + QStringLiteral("/2024_0501_120000_0001F.MP4");
        QVERIFY(write(path, data));
        const Telemetry telemetry = NovatekFamily().readTelemetry(NovatekFamily().recognise(path));
        QCOMPARE(int(telemetry.samples.size()), samples);
        QVERIFY2(telemetry.error.isEmpty() != error, qPrintable(telemetry.error));
    }

    void truncatedCardVideo()
    {
        // A rear video cut in the middle of its second block: the first block, and an error.
        QFile file(movie("2024_0501_090000_0001R.MP4"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray data = file.readAll();
        const int second = data.indexOf("freeGPS ", data.indexOf("freeGPS ") + 1) - 4;
        QVERIFY(second > 0);
        const QString path = m_dir.path() + QStringLiteral("/2024_0501_120000_0002R.MP4");
        QVERIFY(write(path, data.left(second + 40)));
        const NovatekFamily family;
        const Telemetry telemetry = family.readTelemetry(family.recognise(path));
        QCOMPARE(int(telemetry.samples.size()), 1);
        QVERIFY(!telemetry.error.isEmpty());

        const Telemetry missing =
            family.readTelemetry(family.recognise(m_dir.path() + "/2024_0501_120000_0003R.MP4"));
        QVERIFY(missing.samples.empty());
        QVERIFY(!missing.error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestNovatekFamily)
#include "tst_novatekfamily.moc"
