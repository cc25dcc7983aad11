#include "families.h"
#include "goprofamily.h"
#include "gpmf.h"
#include "mergefilelists.h"
#include "tripfile.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using namespace Camera;

namespace {

const qint64 May1At10Utc = QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC).toMSecsSinceEpoch();

QByteArray be(qint64 value, int bytes)
{
    QByteArray out;
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out += char(value >> shift & 0xff);
    return out;
}

QByteArray klv(const char* key, char type, int structSize, int repeat, const QByteArray& values)
{
    QByteArray out = QByteArray(key, 4) + type + char(structSize) + be(repeat, 2) + values;
    while (out.size() % 4 != 0)
        out += '\0';
    return out;
}

QByteArray nest(const char* key, const QByteArray& children)
{
    return klv(key, '\0', 4, children.size() / 4, children);
}

QByteArray int32s(const QVector<qint64>& values)
{
    QByteArray out;
    for (const qint64 v : values)
        out += be(v, 4);
    return out;
}

QByteArray gpsu(qint64 utcMs)
{
    return klv("GPSU", 'U', 16, 1,
               QDateTime::fromMSecsSinceEpoch(utcMs, Qt::UTC).toString("yyMMddHHmmss.zzz").toLatin1());
}

const QVector<qint64> Gps5Scale{10000000, 10000000, 1000, 1000, 100};

// `count` GPS5 samples at 48.1 + k * 0.001 degrees north, 11.5 + k * 0.002 east, 500 + k m, 10 + k m/s.
QByteArray gps5(int count)
{
    QByteArray values;
    for (int k = 0; k < count; ++k)
        values +=
            int32s({481000000 + k * 10000, 115000000 + k * 20000, 500000 + k * 1000, 10000 + k * 1000, 1000});
    return klv("GPS5", 'l', 20, count, values);
}

QByteArray gpsStream(int fix, const QVector<qint64>& scale, int count, qint64 utcMs = May1At10Utc)
{
    return nest("STRM", klv("GPSF", 'L', 4, 1, be(fix, 4)) + gpsu(utcMs) +
                            klv("SCAL", 'l', 4, scale.size(), int32s(scale)) + gps5(count));
}

QByteArray device(const QByteArray& streams)
{
    return nest("DEVC", klv("DVID", 'L', 4, 1, be(1, 4)) + streams);
}

// GPS9 samples one tenth of a second apart from 10:00 on 2024-05-01, with the fixes given.
QByteArray gps9Stream(const QVector<int>& fixes, bool withType = true)
{
    const qint64 days = QDate(2000, 1, 1).daysTo(QDate(2024, 5, 1));
    QByteArray values;
    for (int k = 0; k < fixes.size(); ++k)
        values += int32s({481000000 + k * 10000, 115000000, 500000, 10000, 1000, days, 36000000 + k * 100}) +
                  be(120, 2) + be(fixes[k], 2);
    const QVector<qint64> scale{10000000, 10000000, 1000, 1000, 100, 1, 1000, 100, 1};
    return nest("STRM", (withType ? klv("TYPE", 'c', 1, 9, "lllllllSS") : QByteArray()) +
                            klv("SCAL", 'l', 4, scale.size(), int32s(scale)) +
                            klv("GPS9", '?', 32, fixes.size(), values));
}

QByteArray acclStream(const QByteArray& name, const QVector<qint64>& upRightForward, int count)
{
    QByteArray values;
    for (int k = 0; k < count; ++k)
        for (const qint64 v : upRightForward)
            values += be(v, 2);
    return nest("STRM", klv("STNM", 'c', 1, name.size(), name) + klv("SCAL", 's', 2, 1, be(100, 2)) +
                            klv("ACCL", 's', 6, count, values));
}

bool patchCreationTime(const QString& path, quint32 secs1904)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray data = file.readAll();
    const int mvhd = data.indexOf("mvhd");
    if (mvhd < 0 || data.at(mvhd + 4) != 0)
        return false;
    data.replace(mvhd + 8, 4, be(secs1904, 4));
    return file.seek(0) && file.write(data) == data.size();
}

QDateTime utc(const QString& text)
{
    QDateTime time = QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss.zzz");
    time.setTimeSpec(Qt::UTC);
    return time;
}

// One sample as exiftool reads it.
struct Outside
{
    qint64 utcMs = -1; // -1 where exiftool gives no time of its own
    double latitude = 0;
    double longitude = 0;
    double speed = 0; // m/s
};

} // namespace

// The action-camera family: chaptered names without time, starts that run on from chapter to
// chapter, and GPMF positions compared with an outside reader.
class TestGoProFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void recognise_data();
    void recognise();
    void chaptersJoin();
    void otherNamesLeft_data();
    void otherNamesLeft();
    void startFallbacks_data();
    void startFallbacks();

    void matchesExiftool_data();
    void matchesExiftool();
    void cardAccelerations();

    void payloadTimes();
    void accelerationAxes_data();
    void accelerationAxes();
    void hostilePayloads_data();
    void hostilePayloads();
    void hostileFiles_data();
    void hostileFiles();

private:
    QString card(const QString& relative) const { return m_dir.path() + '/' + relative; }
    QList<Outside> exiftool(const QString& path, bool gps9, QList<int>& perPayload);

    QTemporaryDir m_dir;
};

void TestGoProFamily::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QString source = qEnvironmentVariable("TARROW_SOURCE_DIR");
    QVERIFY(!source.isEmpty());
    QProcess make;
    make.start("python3", {source + "/scripts/make-family-card", "gopro", m_dir.path()});
    QVERIFY2(make.waitForFinished(120000), "the card generator did not finish");
    QVERIFY2(make.exitStatus() == QProcess::NormalExit && make.exitCode() == 0, make.readAllStandardError());
    QCOMPARE(make.readAllStandardOutput().split('\n').size() - 1, 5);
}

void TestGoProFamily::recognise_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("number");
    QTest::addColumn<bool>("telemetry");

    // The camera's clock, two hours ahead of UTC; later chapters run on from the one before.
    QTest::newRow("first chapter") << "DCIM/100GOPRO/GX010001.MP4"
                                   << "2024-05-01 12:00:00.000"
                                   << "0001" << true;
    QTest::newRow("second chapter") << "DCIM/100GOPRO/GX020001.MP4"
                                    << "2024-05-01 12:00:03.000"
                                    << "0001" << true;
    QTest::newRow("next recording") << "DCIM/100GOPRO/GH010002.MP4"
                                    << "2024-05-01 12:05:00.000"
                                    << "0002" << true;
    QTest::newRow("older first part") << "DCIM/101GOPRO/GOPR0003.MP4"
                                      << "2024-05-01 13:00:00.000"
                                      << "0003" << false;
    QTest::newRow("older chapter") << "DCIM/101GOPRO/GP010003.MP4"
                                   << "2024-05-01 13:00:03.000"
                                   << "0003" << false;
}

void TestGoProFamily::recognise()
{
    QFETCH(QString, file);
    QFETCH(QString, start);
    QFETCH(QString, number);
    QFETCH(bool, telemetry);

    const QString path = card(file);
    const Recording recording = Families::recognise(path);
    QCOMPARE(recording.family, GoProFamily::Id);
    QCOMPARE(recording.videoFile, path);
    QCOMPARE(recording.start, utc(start));
    QCOMPARE(recording.start.timeSpec(), Qt::UTC);
    QCOMPARE(recording.channel, QStringLiteral("front"));
    QCOMPARE(recording.kind, RecordingKind::Normal);
    QCOMPARE(recording.run, GoProFamily::Id + ':' + QFileInfo(path).absolutePath() + '/' + number);
    QCOMPARE(recording.telemetry, telemetry ? TelemetrySource::Gpmf : TelemetrySource::None);
    QCOMPARE(recording.telemetryFile, telemetry ? path : QString());
    QCOMPARE(Trip::rejection(path), Trip::Rejection::None);
    QVERIFY(Families::isLayoutFolder(QFileInfo(path).dir().dirName()));
    QVERIFY(Families::isLayoutFolder("DCIM"));
}

void TestGoProFamily::chaptersJoin()
{
    const Recording first = Families::recognise(card("DCIM/100GOPRO/GX010001.MP4"));
    const Recording second = Families::recognise(card("DCIM/100GOPRO/GX020001.MP4"));
    const Recording next = Families::recognise(card("DCIM/100GOPRO/GH010002.MP4"));
    QCOMPARE(first.run, second.run);
    QVERIFY(first.run != next.run);
    // Played back to back, with the length the chapter really has.
    QVERIFY(Trip::MergeFileLists::isContinuous(Trip::itemFor(first, 3000), Trip::itemFor(second, 3000)));
    QCOMPARE(first.start.msecsTo(second.start), 3000);
}

void TestGoProFamily::otherNamesLeft_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name :
         {"001_0001_20240501120000.mp4", "20240501_120000_F.MP4", "GX000001.MP4", "GP000001.MP4",
          "GX01001.MP4", "GX0100011.MP4", "GOPRO001.MP4", "GXAA0001.MP4", "GL010001.LRV", "GX010001.THM",
          "GOPR0001.JPG", "GS010001.360", "GX010001.MP4.bak", "XGX010001.MP4", "GX010001.MOV"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestGoProFamily::otherNamesLeft()
{
    QFETCH(QString, name);
    const QString path = card("DCIM/100GOPRO/") + name;
    QCOMPARE(GoProFamily().recognise(path).family, QString());
    QVERIFY(Families::recognise(path).family != GoProFamily::Id);
}

void TestGoProFamily::startFallbacks_data()
{
    QTest::addColumn<QStringList>("copies"); // "card file>name"
    QTest::addColumn<QStringList>("clockless");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("start");

    const QString one = "DCIM/100GOPRO/GX010001.MP4";
    const QString two = "DCIM/100GOPRO/GX020001.MP4";
    // The camera writes the recording's start in every chapter: alone, a chapter starts there.
    QTest::newRow("earlier chapter missing")
        << QStringList{two + ">GX020001.MP4"} << QStringList() << "GX020001.MP4"
        << "2024-05-01 12:00:00.000";
    // The first fix is at 10:00:01.150 UTC, one second into the track.
    QTest::newRow("no clock: first GPS time")
        << QStringList{one + ">GX010001.MP4"} << QStringList{"GX010001.MP4"} << "GX010001.MP4"
        << "2024-05-01 10:00:00.150";
    QTest::newRow("no clock: chapter runs on") << QStringList{one + ">GX010001.MP4", two + ">GX020001.MP4"}
                                               << QStringList{"GX010001.MP4"} << "GX020001.MP4"
                                               << "2024-05-01 10:00:03.150";
    QTest::newRow("lower-case names")
        << QStringList{one + ">gx010001.mp4", two + ">gx020001.mp4"} << QStringList() << "gx020001.mp4"
        << "2024-05-01 12:00:03.000";
    QTest::newRow("older names") << QStringList{"DCIM/101GOPRO/GOPR0003.MP4>GOPR0003.MP4",
                                                "DCIM/101GOPRO/GP010003.MP4>GP010003.MP4",
                                                "DCIM/101GOPRO/GP010003.MP4>GP020003.MP4"}
                                 << QStringList() << "GP020003.MP4"
                                 << "2024-05-01 13:00:06.000";
    QTest::newRow("no clock, no position") << QStringList{"DCIM/101GOPRO/GOPR0003.MP4>GOPR0003.MP4"}
                                           << QStringList{"GOPR0003.MP4"} << "GOPR0003.MP4"
                                           << "";
}

void TestGoProFamily::startFallbacks()
{
    QFETCH(QStringList, copies);
    QFETCH(QStringList, clockless);
    QFETCH(QString, target);
    QFETCH(QString, start);

    QTemporaryDir dir;
    for (const QString& copy : copies)
        QVERIFY(QFile::copy(card(copy.section('>', 0, 0)), dir.filePath(copy.section('>', 1))));
    for (const QString& name : clockless)
        QVERIFY(patchCreationTime(dir.filePath(name), 0));
    const Recording recording = GoProFamily().recognise(dir.filePath(target));
    QCOMPARE(recording.family, GoProFamily::Id);
    QCOMPARE(recording.start, start.isEmpty() ? QDateTime() : utc(start));
}

QList<Outside> TestGoProFamily::exiftool(const QString& path, bool gps9, QList<int>& perPayload)
{
    QProcess process;
    // exiftool runs in UTC, so that its times are instants whatever the local zone.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TZ", "UTC");
    process.setProcessEnvironment(environment);
    process.start("exiftool", {"-ee", "-n", "-G3", "-a", "-s", "-u", path});
    if (!process.waitForFinished(60000))
        return {};
    static const QRegularExpression line(R"(^\[Doc(\d+)\]\s+(\S+)\s*:\s*(.*)$)");
    QList<Outside> samples;
    QString doc;
    int fix = -1;
    qint64 payloadTime = -1;
    for (const QString& text : QString::fromUtf8(process.readAllStandardOutput()).split('\n')) {
        const QRegularExpressionMatch m = line.match(text.trimmed());
        if (!m.hasMatch())
            continue;
        if (m.captured(1) != doc) {
            doc = m.captured(1);
            fix = -1;
            payloadTime = -1;
            perPayload << 0;
        }
        const QString tag = m.captured(2);
        const QString value = m.captured(3);
        if (tag == "GPSMeasureMode") {
            fix = value.toInt();
        } else if (tag == "GPSDateTime") {
            QDateTime time = QDateTime::fromString(value, "yyyy:MM:dd HH:mm:ss.zzz");
            time.setTimeSpec(Qt::UTC);
            payloadTime = time.toMSecsSinceEpoch();
        } else if (!gps9 && tag == "GPSLatitude" && fix >= 2) {
            Outside sample;
            sample.latitude = value.toDouble();
            // The payload's time belongs to its first sample.
            sample.utcMs = perPayload.last() == 0 ? payloadTime : -1;
            samples << sample;
            ++perPayload.last();
        } else if (!gps9 && tag == "GPSLongitude" && fix >= 2 && !samples.isEmpty()) {
            samples.last().longitude = value.toDouble();
        } else if (!gps9 && tag == "GPSSpeed" && fix >= 2 && !samples.isEmpty()) {
            samples.last().speed = value.toDouble();
        } else if (gps9 && tag == "GoPro_GPS9") {
            // lat lon alt speed2D speed3D days seconds DOP fix, samples separated by commas
            for (const QString& entry : value.split(',')) {
                const QStringList f = entry.simplified().split(' ');
                if (f.size() != 9 || f[8].toInt() < 2)
                    continue;
                Outside sample;
                sample.latitude = f[0].toDouble();
                sample.longitude = f[1].toDouble();
                sample.speed = f[3].toDouble();
                sample.utcMs = QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC)
                                   .addDays(f[5].toLongLong())
                                   .toMSecsSinceEpoch() +
                               std::llround(f[6].toDouble() * 1000);
                samples << sample;
                ++perPayload.last();
            }
        }
    }
    return samples;
}

void TestGoProFamily::matchesExiftool_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("gps9");
    QTest::addColumn<int>("count");

    // The first payload of recording 0001 has no fix; the first three GPS9 samples neither.
    QTest::newRow("GPS5, first chapter") << "DCIM/100GOPRO/GX010001.MP4" << false << 2 * 18;
    QTest::newRow("GPS5, second chapter") << "DCIM/100GOPRO/GX020001.MP4" << false << 3 * 18;
    QTest::newRow("GPS9") << "DCIM/100GOPRO/GH010002.MP4" << true << 3 * 10 - 3;
}

void TestGoProFamily::matchesExiftool()
{
    QFETCH(QString, file);
    QFETCH(bool, gps9);
    QFETCH(int, count);

    const Telemetry telemetry = Families::readTelemetryFile(card(file));
    QCOMPARE(telemetry.source, TelemetrySource::Gpmf);
    QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
    QCOMPARE(int(telemetry.samples.size()), count);
    for (std::size_t i = 1; i < telemetry.samples.size(); ++i)
        QVERIFY(telemetry.samples[i].utcMs > telemetry.samples[i - 1].utcMs);

    if (QStandardPaths::findExecutable("exiftool").isEmpty())
        QSKIP("exiftool is not installed");
    QList<int> perPayload;
    const QList<Outside> outside = exiftool(card(file), gps9, perPayload);
    QCOMPARE(outside.size(), count);
    for (int i = 0; i < count; ++i) {
        const TelemetrySample& mine = telemetry.samples[std::size_t(i)];
        if (outside[i].utcMs >= 0)
            QCOMPARE(QDateTime::fromMSecsSinceEpoch(mine.utcMs, Qt::UTC),
                     QDateTime::fromMSecsSinceEpoch(outside[i].utcMs, Qt::UTC));
        QVERIFY2(std::abs(mine.latitude - outside[i].latitude) <= 1e-6, qPrintable(QString::number(i)));
        QVERIFY2(std::abs(mine.longitude - outside[i].longitude) <= 1e-6, qPrintable(QString::number(i)));
        QVERIFY2(std::abs(mine.speed * 3.6 - outside[i].speed * 3.6) <= 0.01, qPrintable(QString::number(i)));
    }
}

void TestGoProFamily::cardAccelerations()
{
    // Forward 1.2 m/s^2 growing by 0.1 a second, right 0.4 sin(t): the accelerometer names its axes.
    const Telemetry named = Gpmf::read(card("DCIM/100GOPRO/GX020001.MP4"));
    QVERIFY(!named.samples.empty());
    for (const TelemetrySample& sample : named.samples) {
        const double t = 3 + (sample.utcMs - (May1At10Utc + 3150)) / 1000.0;
        QVERIFY2(std::abs(sample.accelerationX - (1.2 + 0.1 * t)) < 0.02, qPrintable(QString::number(t)));
        QVERIFY2(std::abs(sample.accelerationY - 0.4 * std::sin(t)) < 0.03, qPrintable(QString::number(t)));
    }
    // No accelerometer stream.
    const Telemetry none = Gpmf::read(card("DCIM/100GOPRO/GH010002.MP4"));
    QVERIFY(!none.samples.empty());
    QVERIFY(std::isnan(none.samples.front().accelerationX) && std::isnan(none.samples.front().accelerationY));
}

void TestGoProFamily::payloadTimes()
{
    // Four GPS5 samples spread over a second from GPSU; GPS9 samples at their own times.
    Gpmf::Payload payload;
    payload.data = device(gpsStream(3, Gps5Scale, 4) + gps9Stream({3, 3}));
    payload.startMs = 5000;
    payload.durationMs = 1000;
    std::vector<TelemetrySample> samples;
    std::vector<qint64> trackMs;
    QCOMPARE(Gpmf::parse(payload, samples, &trackMs), QString());
    QCOMPARE(int(samples.size()), 6);
    const QVector<qint64> offsets{0, 250, 500, 750, 0, 100};
    const QVector<qint64> track{5000, 5250, 5500, 5750, 5000, 5500};
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(samples[std::size_t(i)].utcMs, May1At10Utc + offsets[i]);
        QCOMPARE(trackMs[std::size_t(i)], track[i]);
    }
    QCOMPARE(samples[3].latitude, 48.103);
    QCOMPARE(samples[3].longitude, 11.506);
    QCOMPARE(samples[3].altitude, 503.0);
    QCOMPARE(samples[3].speed, 13.0);
    QCOMPARE(samples[5].latitude, 48.101);
}

void TestGoProFamily::accelerationAxes_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("y");

    // Values written up 9.81, second axis 0.5, third axis -1.0 m/s^2.
    QTest::newRow("up, right, forward")
        << QByteArray("Accelerometer (up/down, right/left, forward/back)") << -1.0 << 0.5;
    QTest::newRow("up, left, back") << QByteArray("Accelerometer (up/down, left/right, back/forward)") << 1.0
                                    << -0.5;
    QTest::newRow("axes not named") << QByteArray("Accelerometer") << double(NAN) << double(NAN);
    QTest::newRow("no lateral axis") << QByteArray("Accelerometer (up, down, forward)") << double(NAN)
                                     << double(NAN);
}

void TestGoProFamily::accelerationAxes()
{
    QFETCH(QByteArray, name);
    QFETCH(double, x);
    QFETCH(double, y);

    Gpmf::Payload payload;
    payload.data = device(acclStream(name, {981, 50, -100}, 20) + gpsStream(3, Gps5Scale, 2));
    payload.durationMs = 1000;
    std::vector<TelemetrySample> samples;
    QCOMPARE(Gpmf::parse(payload, samples), QString());
    QCOMPARE(int(samples.size()), 2);
    for (const TelemetrySample& sample : samples) {
        if (std::isnan(x)) {
            QVERIFY(std::isnan(sample.accelerationX) && std::isnan(sample.accelerationY));
        } else {
            QCOMPARE(sample.accelerationX, x);
            QCOMPARE(sample.accelerationY, y);
        }
    }
}

void TestGoProFamily::hostilePayloads_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("error");

    const QByteArray good = gpsStream(3, Gps5Scale, 4);
    QTest::newRow("whole") << device(good) << 4 << false;
    QTest::newRow("zero padding after it") << device(good) + QByteArray(12, '\0') << 4 << false;
    QTest::newRow("empty") << QByteArray() << 0 << false;
    QTest::newRow("no fix") << device(gpsStream(0, Gps5Scale, 4)) << 0 << false;
    QTest::newRow("no GPSF") << device(nest("STRM", gpsu(May1At10Utc) + gps5(4))) << 0 << false;
    QTest::newRow("SCAL zero") << device(gpsStream(3, {10000000, 0, 1000, 1000, 100}, 4)) << 0 << true;
    QTest::newRow("SCAL of three for five")
        << device(gpsStream(3, {10000000, 10000000, 1000}, 4)) << 0 << true;
    QTest::newRow("GPS9 without TYPE") << device(gps9Stream({3, 3}, false)) << 0 << true;
    QTest::newRow("GPS9 fix per sample") << device(gps9Stream({0, 3, 2, 1})) << 2 << false;

    // Lengths beyond what holds them.
    QByteArray cut = device(good);
    cut.chop(24);
    QTest::newRow("cut in the samples") << cut << 0 << true;
    QTest::newRow("cut after a header") << device(good).left(8 + 8) << 0 << true;
    QByteArray huge = klv("GPS5", 'l', 255, 0, QByteArray(64, '\1'));
    huge[6] = char(0xff);
    huge[7] = char(0xff); // 255 x 65535 bytes claimed
    QTest::newRow("size x repeat beyond the payload")
        << device(nest("STRM", klv("GPSF", 'L', 4, 1, be(3, 4)) + gpsu(May1At10Utc) + huge)) << 0 << true;
    QTest::newRow("good stream, then a broken one") << device(good + huge) << 4 << true;
    QByteArray inner = device(good);
    QByteArray outer = nest("DEVC", inner);
    outer.replace(6, 2, be(outer.size() / 4, 2)); // claims its own header too
    QTest::newRow("nest as large as its parent") << outer << 0 << true;
    QByteArray self = device(good);
    self.replace(6, 2, be(0xffff, 2));
    QTest::newRow("nest beyond the payload") << self << 0 << true;
    QByteArray deep = device(good);
    for (int level = 0; level < 40; ++level)
        deep = nest("DEVC", deep);
    QTest::newRow("nests 40 deep") << deep << 0 << true;
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise += char((i * 7919 + 13) % 251);
    QTest::newRow("noise") << noise << -1 << true;
}

void TestGoProFamily::hostilePayloads()
{
    QFETCH(QByteArray, data);
    QFETCH(int, samples);
    QFETCH(bool, error);

    Gpmf::Payload payload;
    payload.data = data;
    payload.durationMs = 1000;
    std::vector<TelemetrySample> read;
    const QString problem = Gpmf::parse(payload, read);
    if (samples >= 0) {
        QCOMPARE(int(read.size()), samples);
        QCOMPARE(!problem.isEmpty(), error);
    }
}

void TestGoProFamily::hostileFiles_data()
{
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("maxSamples");

    QTest::newRow("cut in half") << "half" << 0;
    QTest::newRow("movie box cut") << "moov" << 0;
    QTest::newRow("payloads beyond the file") << "stco" << 0;
    QTest::newRow("payload sizes beyond the file") << "stsz" << 0;
    QTest::newRow("payloads without duration") << "stts" << 36;
    QTest::newRow("movie box larger than the file") << "moovsize" << 0;
}

void TestGoProFamily::hostileFiles()
{
    QFETCH(QString, damage);
    QFETCH(int, maxSamples);

    QFile original(card("DCIM/100GOPRO/GX010001.MP4"));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QByteArray data = original.readAll();
    // The metadata track is the last one, so its tables are the last of their kind.
    const auto entries = [&data](const char* box, int skip) { return data.lastIndexOf(box) + 4 + skip; };
    if (damage == "half") {
        data.truncate(data.size() / 2);
    } else if (damage == "moov") {
        data.chop(100);
    } else if (damage == "stco") {
        for (int i = 0; i < 3; ++i)
            data.replace(entries("stco", 8) + 4 * i, 4, be(0x7ffffff0, 4));
    } else if (damage == "stsz") {
        for (int i = 0; i < 3; ++i)
            data.replace(entries("stsz", 12) + 4 * i, 4, be(0xfffffff0, 4));
    } else if (damage == "stts") {
        data.replace(entries("stts", 8) + 4, 4, be(0, 4));
    } else if (damage == "moovsize") {
        const int moov = data.lastIndexOf("moov") - 4;
        data.replace(moov, 4, be(0x7fffffff, 4));
    }
    QTemporaryDir dir;
    const QString path = dir.filePath("GX010001.MP4");
    QFile damaged(path);
    QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(data) == data.size());
    damaged.close();

    const Telemetry telemetry = Gpmf::read(path);
    QVERIFY(int(telemetry.samples.size()) <= maxSamples);
    if (maxSamples == 0)
        QVERIFY(!telemetry.error.isEmpty());
    const Recording recording = GoProFamily().recognise(path);
    QCOMPARE(recording.family, GoProFamily::Id);
    GoProFamily().readTelemetry(recording);
}

QTEST_GUILESS_MAIN(TestGoProFamily)
#include "tst_goprofamily.moc"
