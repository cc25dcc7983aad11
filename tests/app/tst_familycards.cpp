// The command line on the cards of every camera family, made by the project's own generators.

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out;
    QByteArray err;
};

Run tarrow(const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARROW_EXE), arguments);
    process.waitForFinished(120000);
    return Run{process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

bool makeCard(const QString& family, const QString& dir)
{
    const QString script = qEnvironmentVariable("TARROW_SOURCE_DIR") + "/scripts/make-family-card";
    QProcess process;
    process.start(script, {family, dir});
    return process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

} // namespace

class TestFamilyCards : public QObject
{
    Q_OBJECT

private slots:
    void cardsOfEveryFamily_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QStringList>("channels"); // of the first trip, main first
        QTest::addColumn<QString>("source");       // where the first file's positions come from
        QTest::addColumn<bool>("events");          // some trip holds an event recording
        QTest::newRow("novatek") << "novatek" << QStringList{"front", "rear"} << "mp4-box" << true;
        QTest::newRow("blackvue") << "blackvue" << QStringList{"front", "rear"} << "gps-file" << true;
        QTest::newRow("thinkware") << "thinkware" << QStringList{"front", "rear"} << "text-track" << true;
        QTest::newRow("70mai") << "70mai" << QStringList{"front", "back"} << "nmea-file" << true;
        QTest::newRow("tesla") << "tesla" << QStringList{"front", "back", "left_repeater", "right_repeater"}
                               << "sei" << true;
        QTest::newRow("garmin") << "garmin" << QStringList{"front"} << "text-track" << true;
        QTest::newRow("gopro") << "gopro" << QStringList{"front"} << "gpmf" << false;
    }

    // Every family's card lists with its camera, channels, events and positions, and its first
    // trip exports as a track with one point per second that has a position.
    void cardsOfEveryFamily()
    {
        QFETCH(QString, family);
        QFETCH(QStringList, channels);
        QFETCH(QString, source);
        QFETCH(bool, events);
        QTemporaryDir dir;
        const QString card = dir.filePath("card");
        QVERIFY2(makeCard(family, card), "the card generator failed");

        const Run list = tarrow({"--list", card});
        QVERIFY2(list.code == 0, list.err.constData());
        const QJsonArray trips = QJsonDocument::fromJson(list.out).object().value("trips").toArray();
        QVERIFY(!trips.isEmpty());
        const QJsonObject first = trips.first().toObject();
        QCOMPARE(first.value("camera").toString(), family);
        QStringList listed;
        for (const QJsonValue& channel : first.value("channels").toArray())
            listed << channel.toString();
        QCOMPARE(listed, channels);

        int eventFiles = 0;
        int samples = 0;
        QSet<QString> videos;
        for (const QJsonValue& trip : trips) {
            QCOMPARE(trip.toObject().value("camera").toString(), family);
            for (const QJsonValue& value : trip.toObject().value("files").toArray()) {
                const QJsonObject file = value.toObject();
                QVERIFY2(!videos.contains(file.value("video").toString()), "a file listed twice");
                videos.insert(file.value("video").toString());
                QVERIFY(!file.value("channel").toString().isEmpty());
                eventFiles += file.value("event").toBool() ? 1 : 0;
                samples += file.value("telemetry").toObject().value("samples").toInt();
            }
        }
        const QJsonObject firstFile = first.value("files").toArray().first().toObject();
        QCOMPARE(firstFile.value("telemetry").toObject().value("source").toString(), source);
        QVERIFY(firstFile.value("telemetry").toObject().value("samples").toInt() > 0);
        QVERIFY(samples > 0);
        QCOMPARE(eventFiles > 0, events);

        const QString gpx = dir.filePath("track.gpx");
        const Run exported = tarrow({"--export-track", "gpx", "--trip", "1", card, "-o", gpx});
        QVERIFY2(exported.code == 0, exported.err.constData());
        QFile file(gpx);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.readAll().count("<trkpt") > 0);
    }

    // Two cameras' cards opened together: each trip belongs to one family.
    void familiesMixInOneSelection()
    {
        QTemporaryDir dir;
        QVERIFY(makeCard("novatek", dir.filePath("a")));
        QVERIFY(makeCard("gopro", dir.filePath("b")));
        const Run list = tarrow({"--list", dir.filePath("a"), dir.filePath("b")});
        QVERIFY2(list.code == 0, list.err.constData());
        QSet<QString> cameras;
        for (const QJsonValue& trip : QJsonDocument::fromJson(list.out).object().value("trips").toArray()) {
            const QJsonObject object = trip.toObject();
            for (const QJsonValue& file : object.value("files").toArray())
                QVERIFY(file.toObject().value("video").toString().startsWith(
                    dir.filePath(object.value("camera").toString() == "novatek" ? "a" : "b")));
            cameras.insert(object.value("camera").toString());
        }
        QCOMPARE(cameras, (QSet<QString>{"novatek", "gopro"}));
    }
};

QTEST_GUILESS_MAIN(TestFamilyCards)
#include "tst_familycards.moc"
