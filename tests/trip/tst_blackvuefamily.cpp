#include "blackvuefamily.h"
#include "families.h"
#include "genericfamily.h"
#include "nmeaparser.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Camera;

namespace {

QByteArray box(const char* type, const QByteArray& payload)
{
    QByteArray size(4, '\0');
    qToBigEndian(quint32(8 + payload.size()), size.data());
    return size + QByteArray(type, 4) + payload;
}

QDateTime utc(int h, int m, int s)
{
    return QDateTime(QDate(2024, 5, 1), QTime(h, m, s), Qt::UTC);
}

bool write(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

// The positions the program's NMEA parser takes from a file, through the camera families.
NmeaFile parse(const QString& path)
{
    NmeaParser parser;
    parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
    parser.doParsing();
    NmeaFilePtr map;
    parser.getParsedFile(map, path.toStdString());
    return map ? *map : NmeaFile();
}

const QByteArray Rmc =
    "[1714554000000]$GPRMC,090000.00,A,4846.5960,N,00910.9620,E,24.30,45.00,010524,,,A*50\n";

} // namespace

// The blackvue family: names and recording types, shared ".gps" files, the sentences inside its
// videos compared with exiftool's reading.
class TestBlackVueFamily : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_record;

    QString record(const QString& name) const { return m_record + QLatin1Char('/') + name; }

    // exiftool's positions by time: latitude, longitude, km/h.
    static QMap<qint64, std::array<double, 3>> exiftoolFixes(const QString& file)
    {
        QProcess process;
        // exiftool runs in UTC, so that its times are instants whatever the local zone.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TZ", "UTC");
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral("exiftool"), {"-ee", "-n", "-j", "-G3", file});
        process.waitForFinished(60000);
        const QJsonObject tags =
            QJsonDocument::fromJson(process.readAllStandardOutput()).array().at(0).toObject();
        QMap<qint64, std::array<double, 3>> fixes;
        for (int doc = 1; tags.contains(QStringLiteral("Doc%1:GPSLatitude").arg(doc)); ++doc) {
            const auto tag = [&](const char* name) {
                return tags.value(QStringLiteral("Doc%1:%2").arg(doc).arg(name));
            };
            // "2024:05:01 09:00:00.00Z"
            const QStringList text = tag("GPSDateTime").toString().chopped(1).split('.');
            const QDateTime time = QDateTime::fromString(text.value(0), QStringLiteral("yyyy:MM:dd HH:mm:ss"))
                                       .addMSecs(qRound(("0." + text.value(1)).toDouble() * 1000));
            fixes[QDateTime(time.date(), time.time(), Qt::UTC).toMSecsSinceEpoch()] = {
                tag("GPSLatitude").toDouble(), tag("GPSLongitude").toDouble(), tag("GPSSpeed").toDouble()};
        }
        return fixes;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString card = m_dir.path() + QStringLiteral("/card");
        m_record = card + QStringLiteral("/BlackVue/Record");
        QProcess generator;
        generator.start(
            QStringLiteral("python3"),
            {qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/scripts/make-family-card"),
             QStringLiteral("blackvue"), card, QStringLiteral("--minutes"), QStringLiteral("2")});
        QVERIFY(generator.waitForFinished(120000));
        QVERIFY2(generator.exitCode() == 0, generator.readAllStandardError().constData());
    }

    void recognise_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("channel");
        QTest::addColumn<int>("kind");
        const int normal = int(RecordingKind::Normal);
        const int event = int(RecordingKind::Event);
        const QString bv = BlackVueFamily::Id;
        QTest::newRow("normal front") << "20240501_090000_NF.mp4" << bv << "front" << normal;
        QTest::newRow("normal rear") << "20240501_090000_NR.mp4" << bv << "rear" << normal;
        QTest::newRow("normal interior") << "20240501_090000_NI.mp4" << bv << "interior" << normal;
        QTest::newRow("impact") << "20240501_090000_EF.mp4" << bv << "front" << event;
        QTest::newRow("impact while parked, interior")
            << "20240501_090000_II.mp4" << bv << "interior" << event;
        QTest::newRow("manual") << "20240501_090000_MR.mp4" << bv << "rear" << event;
        QTest::newRow("geofence, rear") << "20240501_090000_RR.mp4" << bv << "rear" << event;
        QTest::newRow("parking") << "20240501_090000_PF.mp4" << bv << "front" << int(RecordingKind::Parking);
        QTest::newRow("lower case") << "20240501_090000_nf.MP4" << bv << "front" << normal;
        // Not this family's.
        QTest::newRow("unknown type") << "20240501_090000_ZF.mp4" << GenericFamily::Id << "front" << normal;
        QTest::newRow("unknown channel")
            << "20240501_090000_NX.mp4" << GenericFamily::Id << "front" << normal;
        QTest::newRow("one letter") << "20240501_090000_N.mp4" << GenericFamily::Id << "front" << normal;
        QTest::newRow("novatek") << "2024_0501_090000_0001F.MP4"
                                 << "novatek"
                                 << "front" << normal;
        QTest::newRow("companion") << "001_0001_20240501090000.mp4"
                                   << "nmea-companion"
                                   << "front" << normal;
        QTest::newRow("sidecar") << "20240501_090000_N.gps" << QString() << "" << normal;
    }

    void recognise()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        QFETCH(QString, channel);
        QFETCH(int, kind);
        const QString path = "/card/BlackVue/Record/" + name;
        const Recording any = Families::recognise(path);
        QCOMPARE(any.family, family);
        QCOMPARE(BlackVueFamily().recognise(path).family.isEmpty(), family != BlackVueFamily::Id);
        if (family.isEmpty())
            return;
        QCOMPARE(any.start, utc(9, 0, 0));
        QCOMPARE(any.channel, channel);
        QCOMPARE(int(any.kind), kind);
    }

    // Where each video of the card keeps its sentences, and which videos form one run.
    void cardTelemetryAndRuns_data()
    {
        QTest::addColumn<QString>("video");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("file");
        const int gps = int(TelemetrySource::GpsFile);
        QTest::newRow("front, shared") << "20240501_090000_NF.mp4" << gps << "20240501_090000_N.gps";
        QTest::newRow("rear, shared") << "20240501_090000_NR.mp4" << gps << "20240501_090000_N.gps";
        QTest::newRow("front beside a rear's own")
            << "20240501_090003_NF.mp4" << gps << "20240501_090003_N.gps";
        QTest::newRow("rear, its own") << "20240501_090003_NR.mp4" << gps << "20240501_090003_NR.gps";
        QTest::newRow("event, inside")
            << "20240501_090006_EF.mp4" << int(TelemetrySource::Mp4Box) << "20240501_090006_EF.mp4";
        QTest::newRow("parking, none") << "20240501_100000_PF.mp4" << int(TelemetrySource::None) << "";
    }

    void cardTelemetryAndRuns()
    {
        QFETCH(QString, video);
        QFETCH(int, source);
        QFETCH(QString, file);
        const Recording recording = BlackVueFamily().recognise(record(video));
        QCOMPARE(int(recording.telemetry), source);
        QCOMPARE(recording.telemetryFile, file.isEmpty() ? QString() : record(file));
        const QString drive = BlackVueFamily().recognise(record("20240501_090000_NF.mp4")).run;
        QCOMPARE(recording.run == drive, video.contains("_N"));
    }

    // exiftool reads the sentences inside the videos; a sentence with a wrong checksum (09:00:04)
    // is no position here, though exiftool takes it.
    void positionsAgreeWithExiftool_data()
    {
        QTest::addColumn<QString>("video");
        QTest::addColumn<int>("count");
        QTest::newRow("front") << "20240501_090000_NF.mp4" << 3;
        QTest::newRow("wrong checksum") << "20240501_090003_NF.mp4" << 2;
        QTest::newRow("event") << "20240501_090006_EF.mp4" << 3;
    }

    void positionsAgreeWithExiftool()
    {
        QFETCH(QString, video);
        QFETCH(int, count);
        const Recording recording = BlackVueFamily().recognise(record(video));
        const Telemetry telemetry = BlackVueFamily().readTelemetry(recording);
        QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
        QCOMPARE(int(telemetry.nmeaLines.size()), 3);
        // Through the families as the NMEA parser reads a trip: the sidecar, else the video.
        const NmeaFile positions = parse(recording.telemetryFile);
        QCOMPARE(positions.size(), count);
        QVERIFY(!positions.contains(utc(9, 0, 4)));
        if (recording.telemetry == TelemetrySource::GpsFile) // the same text inside the video
            QCOMPARE(parse(record(video)).keys(), positions.keys());

        if (QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty())
            QSKIP("exiftool is not installed");
        const auto fixes = exiftoolFixes(record(video));
        QCOMPARE(fixes.size(), 3);
        QCOMPARE(fixes.contains(utc(9, 0, 4).toMSecsSinceEpoch()), video == "20240501_090003_NF.mp4");
        for (const QNmeaPositionInfo& position : positions) {
            const auto fix = fixes.value(position.timestamp().toMSecsSinceEpoch(), {NAN, NAN, NAN});
            QVERIFY(std::abs(position.coordinate().latitude() - fix[0]) < 1e-6);
            QVERIFY(std::abs(position.coordinate().longitude() - fix[1]) < 1e-6);
            QVERIFY(std::abs(position.attribute(QNmeaPositionInfo::GroundSpeed) * 3.6 - fix[2]) < 0.01);
        }
    }

    // Damaged and hostile videos: no crash, no hang; the sentences that can be read, or an error.
    void hostile_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("error");
        const QByteArray ftyp = box("ftyp", "isom\0\0\0\0isom");
        QTest::newRow("gps in free") << ftyp + box("free", box("cprt", "x") + box("gps ", Rmc + Rmc)) << 2
                                     << false;
        QTest::newRow("top-level gps, zero bytes after a sentence")
            << ftyp + box("gps ", Rmc.chopped(1) + QByteArray(64, '\0') + Rmc.chopped(1) + '\0') << 2
            << false;
        QTest::newRow("no gps box") << ftyp + box("free", box("3gf ", QByteArray(40, '\1'))) << 0 << true;
        QByteArray beyond = ftyp + box("free", box("gps ", Rmc));
        beyond[ftyp.size() + 3] = char(0x7F); // the free box claims more than the file
        QTest::newRow("box beyond the file") << beyond << 0 << true;
        QByteArray child = ftyp + box("free", box("gps ", Rmc));
        child[ftyp.size() + 8 + 3] = 4; // the gps box smaller than its header
        QTest::newRow("child smaller than its header") << child << 0 << true;
        QTest::newRow("cut in the middle of the text")
            << (ftyp + box("gps ", Rmc + Rmc)).left(ftyp.size() + 8 + Rmc.size() + 20) << 0 << true;
        QTest::newRow("empty") << QByteArray() << 0 << true;
    }

    void hostile()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, lines);
        QFETCH(bool, error);
        const QString path = m_dir.path() + QStringLiteral("/20240501_090000_EF.mp4");
        QVERIFY(write(path, data));
        Recording recording = BlackVueFamily().recognise(path);
        recording.telemetry = TelemetrySource::Mp4Box;
        recording.telemetryFile = path;
        const Telemetry telemetry = BlackVueFamily().readTelemetry(recording);
        QCOMPARE(int(telemetry.nmeaLines.size()), lines);
        for (const std::string& line : telemetry.nmeaLines)
            QVERIFY(NmeaParser::hasValidChecksum(line));
        QVERIFY2(telemetry.error.isEmpty() != error, qPrintable(telemetry.error));
        QCOMPARE(telemetry.source, TelemetrySource::Mp4Box);
    }
};

QTEST_GUILESS_MAIN(TestBlackVueFamily)
#include "tst_blackvuefamily.moc"
