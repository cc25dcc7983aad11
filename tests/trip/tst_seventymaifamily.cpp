#include "families.h"
#include "seventymaifamily.h"
#include "tripfile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace Camera;

namespace {

QDateTime wallClock(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

RecordingKind kindNamed(const QString& kind)
{
    return kind == QLatin1String("event")     ? RecordingKind::Event
           : kind == QLatin1String("parking") ? RecordingKind::Parking
                                              : RecordingKind::Normal;
}

} // namespace

class TestSeventyMaiFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_card.isValid());
        QProcess make;
        make.start(QStringLiteral("python3"),
                   {qEnvironmentVariable("TARROW_SOURCE_DIR") + QLatin1String("/scripts/make-family-card"),
                    QStringLiteral("70mai"), m_card.path(), QStringLiteral("--minutes"),
                    QStringLiteral("1")});
        QVERIFY(make.waitForFinished(120000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
        QFile truth(m_card.filePath(QStringLiteral(".cardgen.json")));
        QVERIFY(truth.open(QIODevice::ReadOnly));
        m_truth = QJsonDocument::fromJson(truth.readAll()).object();
    }

    // Every video of the card: its start from the name, its kind from the upper folder, its
    // channel from the lower; the channels of one kind share a run; position files beside it.
    void recognisesTheCard()
    {
        const QJsonObject videos = m_truth.value(QLatin1String("videos")).toObject();
        QVERIFY(videos.size() > 20);
        QHash<QString, QString> runs;
        QSet<QString> seen;
        QDirIterator it(m_card.path(), {QStringLiteral("*.MP4")}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            const QJsonObject expected = videos.value(QDir(m_card.path()).relativeFilePath(path)).toObject();
            QVERIFY2(!expected.isEmpty(), qPrintable(path));
            const Recording recording = Families::recognise(path);
            QCOMPARE(recording.family, SeventyMaiFamily::Id);
            QCOMPARE(recording.start, wallClock(expected.value(QLatin1String("start")).toString()));
            QCOMPARE(recording.channel, expected.value(QLatin1String("channel")).toString());
            QCOMPARE(recording.kind, kindNamed(expected.value(QLatin1String("kind")).toString()));
            QCOMPARE(Trip::rejection(path), Trip::Rejection::None);

            const QString run = expected.value(QLatin1String("run")).toString();
            if (!runs.contains(run)) {
                QVERIFY2(!seen.contains(recording.run), qPrintable(recording.run));
                runs.insert(run, recording.run);
                seen.insert(recording.run);
            }
            QCOMPARE(recording.run, runs.value(run));

            const QString sidecar = expected.value(QLatin1String("sidecar")).toString();
            QCOMPARE(recording.telemetryFile, sidecar.isEmpty() ? QString() : m_card.filePath(sidecar));
            const QString suffix = QFileInfo(sidecar).suffix();
            QCOMPARE(recording.telemetry, suffix == QLatin1String("nmea")  ? TelemetrySource::NmeaFile
                                          : suffix == QLatin1String("gps") ? TelemetrySource::GpsFile
                                          : suffix == QLatin1String("gpx") ? TelemetrySource::GpxFile
                                                                           : TelemetrySource::None);
            ++count;
        }
        QCOMPARE(count, videos.size());
        QCOMPARE(runs.size(), 3); // Normal, Event, Parking
    }

    // The position files beside the videos read as the generator wrote them.
    void positionFiles()
    {
        const QJsonObject sidecars = m_truth.value(QLatin1String("sidecars")).toObject();
        QCOMPARE(sidecars.size(), 3);
        for (auto it = sidecars.begin(); it != sidecars.end(); ++it) {
            const QJsonArray points = it.value().toArray();
            const QString path = m_card.filePath(it.key());
            if (path.endsWith(QLatin1String(".nmea")))
                continue; // the NMEA parser's own
            const Telemetry telemetry = Families::readTelemetryFile(path);
            QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
            if (path.endsWith(QLatin1String(".gps"))) {
                QCOMPARE(telemetry.source, TelemetrySource::GpsFile);
                QCOMPARE(int(telemetry.nmeaLines.size()), points.size());
                for (int i = 0; i < points.size(); ++i) {
                    const QDateTime time =
                        wallClock(points.at(i).toObject().value(QLatin1String("time")).toString());
                    QVERIFY(QByteArray::fromStdString(telemetry.nmeaLines[std::size_t(i)])
                                .startsWith("$GPRMC," + time.toString(QStringLiteral("HHmmss")).toLatin1()));
                }
                continue;
            }
            QCOMPARE(telemetry.source, TelemetrySource::GpxFile);
            QCOMPARE(int(telemetry.samples.size()), points.size());
            for (int i = 0; i < points.size(); ++i) {
                const QJsonObject point = points.at(i).toObject();
                const TelemetrySample& sample = telemetry.samples[std::size_t(i)];
                QCOMPARE(sample.utcMs,
                         wallClock(point.value(QLatin1String("time")).toString()).toMSecsSinceEpoch());
                QVERIFY(std::abs(sample.latitude - point.value(QLatin1String("lat")).toDouble()) < 1e-6);
                QVERIFY(std::abs(sample.longitude - point.value(QLatin1String("lon")).toDouble()) < 1e-6);
                QVERIFY(std::abs(sample.speed * 3.6 - point.value(QLatin1String("speed_kmh")).toDouble()) <
                        0.01);
            }
        }
    }

    // The folders decide: any name with a date and time below a kind's and a channel's folder
    // is this family's; anything else is left to other families.
    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("family"); // the family that takes it; empty: none
        QTest::addColumn<QString>("channel");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("start");
        const int normal = int(RecordingKind::Normal);
        const int event = int(RecordingKind::Event);
        const int parking = int(RecordingKind::Parking);
        QTest::newRow("normal front") << "Normal/Front/NO20240501-090000-000001F.MP4"
                                      << "70mai"
                                      << "front" << normal << "2024-05-01T09:00:00";
        QTest::newRow("event back") << "Event/Back/EV20240501-090107-000022B.MP4"
                                    << "70mai"
                                    << "back" << event << "2024-05-01T09:01:07";
        QTest::newRow("parking") << "Parking/Front/PA20240501-230000-000003F.mp4"
                                 << "70mai"
                                 << "front" << parking << "2024-05-01T23:00:00";
        QTest::newRow("folders in other case") << "normal/BACK/NO20240501-090000-000001B.MP4"
                                               << "70mai"
                                               << "back" << normal << "2024-05-01T09:00:00";
        QTest::newRow("interior") << "Normal/Interior/NO20240501-090000-000001I.MP4"
                                  << "70mai"
                                  << "interior" << normal << "2024-05-01T09:00:00";
        QTest::newRow("folder over letter") << "Normal/Back/NO20240501-090000-000001F.MP4"
                                            << "70mai"
                                            << "back" << normal << "2024-05-01T09:00:00";
        QTest::newRow("any name with a time") << "Event/Front/clip 2024-05-01 09.30.15.mov"
                                              << "70mai"
                                              << "front" << event << "2024-05-01T09:30:15";
        QTest::newRow("no time") << "Normal/Front/NO-000001F.MP4"
                                 << ""
                                 << "" << normal << "";
        QTest::newRow("not a video") << "Normal/Front/NO20240501-090000-000001F.JPG"
                                     << ""
                                     << "" << normal << "";
        QTest::newRow("unknown channel folder") << "Normal/Side/NO20240501-090000-000001F.MP4"
                                                << "generic"
                                                << "front" << normal << "2024-05-01T09:00:00";
        QTest::newRow("no kind folder") << "card/Front/NO20240501-090000-000001F.MP4"
                                        << "generic"
                                        << "front" << normal << "2024-05-01T09:00:00";
        QTest::newRow("no channel folder") << "Normal/NO20240501-090000-000001F.MP4"
                                           << "generic"
                                           << "front" << normal << "2024-05-01T09:00:00";
        QTest::newRow("kind folder too high") << "Normal/x/Front/NO20240501-090000-000001F.MP4"
                                              << "generic"
                                              << "front" << normal << "2024-05-01T09:00:00";
        QTest::newRow("car camera") << "TeslaCam/RecentClips/2024-05-01_09-00-00-back.mp4"
                                    << "tesla"
                                    << "back" << normal << "2024-05-01T09:00:00";
        QTest::newRow("companion") << "DCIM/001_0001_20240501120000.mp4"
                                   << "nmea-companion"
                                   << "front" << normal << "2024-05-01T12:00:00";
    }
    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, family);
        QFETCH(QString, channel);
        QFETCH(int, kind);
        QFETCH(QString, start);
        const QString full = QStringLiteral("/card/") + path;
        const Recording recording = Families::recognise(full);
        QCOMPARE(recording.family, family);
        QCOMPARE(SeventyMaiFamily().recognise(full).family.isEmpty(), family != SeventyMaiFamily::Id);
        if (family.isEmpty())
            return;
        QCOMPARE(recording.channel, channel);
        QCOMPARE(int(recording.kind), kind);
        QCOMPARE(recording.start, wallClock(start));
        if (family == SeventyMaiFamily::Id) {
            QCOMPARE(recording.telemetry, TelemetrySource::None);
            QVERIFY(recording.telemetryFile.isEmpty());
        }
    }

    // A position file in another case than the camera's is found; ".nmea" is preferred.
    void positionFileChoice()
    {
        QTemporaryDir dir;
        const QString video = dir.filePath(QStringLiteral("Normal/Front/NO20240501-090000-000001F.MP4"));
        QVERIFY(QDir().mkpath(QFileInfo(video).path()));
        for (const QString& name :
             {video, dir.filePath(QStringLiteral("Normal/Front/NO20240501-090000-000001F.GPX"))}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        Recording recording = Families::recognise(video);
        QCOMPARE(recording.telemetry, TelemetrySource::GpxFile);
        QVERIFY(recording.telemetryFile.endsWith(QLatin1String(".GPX")));
        QFile nmea(dir.filePath(QStringLiteral("Normal/Front/NO20240501-090000-000001F.nmea")));
        QVERIFY(nmea.open(QIODevice::WriteOnly));
        nmea.close();
        recording = Families::recognise(video);
        QCOMPARE(recording.telemetry, TelemetrySource::NmeaFile);
        QCOMPARE(recording.telemetryFile, nmea.fileName());
    }

private:
    QTemporaryDir m_card;
    QJsonObject m_truth;
};

QTEST_GUILESS_MAIN(TestSeventyMaiFamily)
#include "tst_seventymaifamily.moc"
