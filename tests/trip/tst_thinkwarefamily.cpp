// The mode-folder family with NMEA in a text track: names, kinds and runs from the path, and the
// sentences of a generated card read back as exiftool reads them.

#include "families.h"
#include "familycard.h"
#include "nmeaparser.h"
#include "thinkwarefamily.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Camera::RecordingKind;

Q_DECLARE_METATYPE(Camera::RecordingKind)
Q_DECLARE_METATYPE(FamilyCard::Damage)

class TestThinkwareFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recognise_data();
    void recognise();
    void everyCardFileIsThisFamilys();
    void foreignNames_data();
    void foreignNames();
    void runs();
    void sentencesAgreeWithExiftool();
    void videoWithoutTextTrack();
    void sentencesOfOneSample_data();
    void sentencesOfOneSample();
    void damagedVideos_data();
    void damagedVideos();

private:
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }
    QStringList frontFiles() const { return m_files.filter(QStringLiteral("_F.MP4")); }

    QTemporaryDir m_dir;
    QStringList m_files;
};

namespace {

const Camera::ThinkwareFamily Family;

QDateTime at(int h, int m, int s)
{
    return QDateTime(QDate(2024, 5, 1), QTime(h, m, s), Qt::UTC);
}

} // namespace

void TestThinkwareFamily::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    m_files = FamilyCard::make(QStringLiteral("thinkware"), m_dir.path(), error);
    QVERIFY2(!m_files.isEmpty(), qPrintable(error));
}

void TestThinkwareFamily::recognise_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<RecordingKind>("kind");

    // Files of the generated card.
    QTest::newRow("continuous front")
        << "cont_rec/REC_20240501_090003_F.MP4" << at(9, 0, 3) << "front" << RecordingKind::Normal;
    QTest::newRow("continuous rear") << "cont_rec/REC_20240501_090003_R.MP4" << at(9, 0, 3) << "rear"
                                     << RecordingKind::Normal;
    QTest::newRow("event") << "evt_rec/EVT_20240501_090007_F.MP4" << at(9, 0, 7) << "front"
                           << RecordingKind::Event;
    QTest::newRow("parking") << "parking_rec/PAK_20240501_091100_F.MP4" << at(9, 11, 0) << "front"
                             << RecordingKind::Parking;
    // Names from the path alone: older models part every field, later ones add modes and an
    // interior camera; outside a mode folder the prefix tells the mode.
    QTest::newRow("older naming") << "cont_rec/REC_2024_05_01_23_59_58_R.MP4" << at(23, 59, 58) << "rear"
                                  << RecordingKind::Normal;
    QTest::newRow("manual, lower-case suffix")
        << "manual_rec/MAN_20240501_100000_F.mp4" << at(10, 0, 0) << "front" << RecordingKind::Event;
    QTest::newRow("sos") << "sos_rec/SOS_20240501_100000_F.MP4" << at(10, 0, 0) << "front"
                         << RecordingKind::Event;
    QTest::newRow("motion") << "motion_rec/MOT_2024_05_01_10_00_00_F.MP4" << at(10, 0, 0) << "front"
                            << RecordingKind::Parking;
    QTest::newRow("time-lapse") << "motion_timelapse_rec/MOT_20240501_100000_R.MP4" << at(10, 0, 0) << "rear"
                                << RecordingKind::Parking;
    QTest::newRow("interior") << "incabin_rec/REC_20240501_100000_I.MP4" << at(10, 0, 0) << "interior"
                              << RecordingKind::Normal;
    QTest::newRow("folder over prefix")
        << "evt_rec/REC_20240501_100000_F.MP4" << at(10, 0, 0) << "front" << RecordingKind::Event;
    QTest::newRow("copied parking") << "backup/PAK_20240501_100000_F.MP4" << at(10, 0, 0) << "front"
                                    << RecordingKind::Parking;
    QTest::newRow("no date") << "cont_rec/REC_20241301_100000_F.MP4" << QDateTime() << "front"
                             << RecordingKind::Normal;
}

void TestThinkwareFamily::recognise()
{
    QFETCH(QString, file);
    QFETCH(QDateTime, start);
    QFETCH(QString, channel);
    QFETCH(RecordingKind, kind);

    const Camera::Recording recording = Camera::Families::recognise(path(file));
    QCOMPARE(recording.family, Camera::ThinkwareFamily::Id);
    QCOMPARE(recording.start, start);
    if (start.isValid())
        QCOMPARE(recording.start.timeSpec(), Qt::UTC);
    QCOMPARE(recording.channel, channel);
    QCOMPARE(recording.kind, kind);
    QCOMPARE(recording.telemetry, Camera::TelemetrySource::TextTrack);
    QCOMPARE(recording.telemetryFile, path(file));
}

void TestThinkwareFamily::everyCardFileIsThisFamilys()
{
    // The generic family would take these names too: this family is asked first.
    for (const QString& file : qAsConst(m_files)) {
        const Camera::Recording recording = Camera::Families::recognise(file);
        QCOMPARE(recording.family, Camera::ThinkwareFamily::Id);
        QVERIFY(recording.isValid());
    }
    QCOMPARE(m_files.filter(QStringLiteral("cont_rec/")).size(), 40); // a minute of 3-second pairs
}

void TestThinkwareFamily::foreignNames_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("no channel") << "cont_rec/REC_20240501_090000.MP4";
    QTest::newRow("unknown channel") << "cont_rec/REC_20240501_090000_X.MP4";
    QTest::newRow("unknown mode") << "cont_rec/NOR_20240501_090000_F.MP4";
    QTest::newRow("digits run on") << "cont_rec/REC_20240501_0900000_F.MP4";
    QTest::newRow("lower-case prefix") << "cont_rec/rec_20240501_090000_f.mp4";
    QTest::newRow("not a video") << "cont_rec/REC_20240501_090000_F.JPG";
    QTest::newRow("mode and channel after the time") << "Normal/20240501_090000_NF.mp4";
    QTest::newRow("numbered only") << "DCIM/105UNSVD/GRMN0001.MP4";
    QTest::newRow("run, sequence, time") << "001_0001_20240501090000.mp4";
}

void TestThinkwareFamily::foreignNames()
{
    QFETCH(QString, file);
    QVERIFY(Family.recognise(path(file)).family.isEmpty());
    QVERIFY(Camera::Families::recognise(path(file)).family != Camera::ThinkwareFamily::Id);
}

void TestThinkwareFamily::runs()
{
    const auto run = [this](const QString& file) { return Family.recognise(path(file)).run; };
    // A mode folder is one run for both channels; another mode folder is another run.
    QCOMPARE(run("cont_rec/REC_20240501_090000_F.MP4"), run("cont_rec/REC_20240501_090057_R.MP4"));
    QVERIFY(run("cont_rec/REC_20240501_090000_F.MP4") != run("evt_rec/EVT_20240501_090007_F.MP4"));
    QVERIFY(run("evt_rec/EVT_20240501_090007_F.MP4") != run("parking_rec/PAK_20240501_091100_F.MP4"));
    // Copied out of the mode folders, modes lying side by side still make runs of their own.
    QCOMPARE(run("backup/REC_20240501_090000_F.MP4"), run("backup/REC_20240501_090003_R.MP4"));
    QVERIFY(run("backup/REC_20240501_090000_F.MP4") != run("backup/EVT_20240501_090007_F.MP4"));
    QVERIFY(run("backup/REC_20240501_090000_F.MP4") != run("other/REC_20240501_090000_F.MP4"));
}

void TestThinkwareFamily::sentencesAgreeWithExiftool()
{
    if (!FamilyCard::hasExiftool())
        QSKIP("exiftool is not installed");
    const QStringList files = frontFiles();
    const QHash<QString, std::vector<FamilyCard::Fix>> outside = FamilyCard::exiftoolFixes(files);

    NmeaParser parser;
    parser.requestParsing(std::make_shared<QStringList>(files));
    parser.doParsing();
    int positions = 0;
    QList<QDateTime> refused; // seconds exiftool reads that the parser refuses
    for (const QString& file : files) {
        const Camera::Telemetry telemetry = Family.readTelemetry(Family.recognise(file));
        QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
        NmeaFilePtr ours;
        QVERIFY(parser.getParsedFile(ours, file.toStdString()));
        const std::vector<FamilyCard::Fix>& theirs = outside.value(file);
        QCOMPARE(int(theirs.size()), 3);
        int taken = 0;
        for (const FamilyCard::Fix& fix : theirs) {
            const auto it = ours->constFind(fix.utc);
            if (it == ours->constEnd()) {
                refused << fix.utc;
                continue;
            }
            ++taken;
            QVERIFY(std::abs(it->coordinate().latitude() - fix.latitude) < 1e-6);
            QVERIFY(std::abs(it->coordinate().longitude() - fix.longitude) < 1e-6);
            QVERIFY(std::abs(it->attribute(QNmeaPositionInfo::GroundSpeed) * 3.6 - fix.speedKmh) < 0.01);
        }
        QCOMPARE(int(ours->size()), taken); // no position exiftool lacks
        positions += taken;
    }
    // The one second whose sentences carry wrong checksums, which exiftool takes all the same.
    QCOMPARE(refused, QList<QDateTime>{at(9, 0, 4)});
    QCOMPARE(positions, 3 * files.size() - 1);
}

void TestThinkwareFamily::videoWithoutTextTrack()
{
    // The rear camera's videos carry no text track: no positions, and nothing wrong either.
    const Camera::Telemetry telemetry =
        Family.readTelemetry(Family.recognise(path("cont_rec/REC_20240501_090000_R.MP4")));
    QVERIFY(telemetry.nmeaLines.empty());
    QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
    QCOMPARE(telemetry.source, Camera::TelemetrySource::TextTrack);
}

void TestThinkwareFamily::sentencesOfOneSample_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("sentences");
    QTest::newRow("lines") << QByteArray("$GPRMC,1*00\r\n$GPGGA,2*00\r\n")
                           << QStringList{"$GPRMC,1*00", "$GPGGA,2*00"};
    QTest::newRow("glued, trailing blanks")
        << QByteArray("$GPRMC,1*00  $GPGGA,2*00") << QStringList{"$GPRMC,1*00", "$GPGGA,2*00"};
    QTest::newRow("text around") << QByteArray("gps:\n$GPRMC,1*00\0junk", 21) << QStringList{"$GPRMC,1*00"};
    QTest::newRow("lone dollars") << QByteArray("$$\n$") << QStringList();
    QTest::newRow("none") << QByteArray("no fix") << QStringList();
}

void TestThinkwareFamily::sentencesOfOneSample()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, sentences);
    std::vector<std::string> out;
    Camera::ThinkwareFamily::appendSentences(text, out);
    QStringList got;
    for (const std::string& sentence : out)
        got << QString::fromStdString(sentence);
    QCOMPARE(got, sentences);
}

void TestThinkwareFamily::damagedVideos_data()
{
    using FamilyCard::Damage;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<int>("mostLines"); // of the six a clip holds
    QTest::newRow("movie box beyond the file") << Damage::MovieBeyondFile << 0;
    QTest::newRow("media box smaller than its header") << Damage::MediaSizeTooSmall << 0;
    QTest::newRow("samples beyond the file") << Damage::SamplesBeyondFile << 2;
    QTest::newRow("length word beyond the sample") << Damage::LengthBeyondSample << 6;
    QTest::newRow("two billion samples claimed") << Damage::CountBeyondTable << 6;
    QTest::newRow("cut in half") << Damage::CutInHalf << 0;
    QTest::newRow("not a video") << Damage::NotAVideo << 0;
}

void TestThinkwareFamily::damagedVideos()
{
    QFETCH(FamilyCard::Damage, damage);
    QFETCH(int, mostLines);
    const QString copy = path("damaged/REC_20240501_090000_F.MP4");
    QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
    QVERIFY(FamilyCard::writeAll(
        copy, FamilyCard::damaged(FamilyCard::readAll(path("cont_rec/REC_20240501_090000_F.MP4")), damage)));

    const Camera::Telemetry telemetry = Family.readTelemetry(Family.recognise(copy));
    QVERIFY(!telemetry.error.isEmpty());
    QVERIFY(int(telemetry.nmeaLines.size()) <= mostLines);
    if (mostLines > 0)
        QVERIFY(!telemetry.nmeaLines.empty()); // what could be read is kept
}

QTEST_GUILESS_MAIN(TestThinkwareFamily)
#include "tst_thinkwarefamily.moc"
