// The numbered-folder family: kinds from the DCF folders, the start from the movie header, and
// the binary records of a generated card read back as exiftool reads them.

#include "families.h"
#include "familycard.h"
#include "garminfamily.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Camera::RecordingKind;

Q_DECLARE_METATYPE(Camera::RecordingKind)
Q_DECLARE_METATYPE(FamilyCard::Damage)

class TestGarminFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void recognise_data();
    void recognise();
    void everyCardFileIsThisFamilys();
    void foreignNames_data();
    void foreignNames();
    void headerWithoutCreationTime();
    void recordsAgreeWithExiftool();
    void readRecord_data();
    void readRecord();
    void damagedVideos_data();
    void damagedVideos();

private:
    QString path(const QString& relative) const { return m_dir.path() + QLatin1Char('/') + relative; }

    QTemporaryDir m_dir;
    QStringList m_files;
};

namespace {

const Camera::GarminFamily Family;

QDateTime at(int h, int m, int s)
{
    return QDateTime(QDate(2024, 5, 1), QTime(h, m, s), Qt::UTC);
}

// A record's text: "PNDM", four unknown bytes, speed, flags, latitude, longitude.
QByteArray record(qint16 speed, qint32 latitude, qint32 longitude)
{
    QByteArray text("PNDM\0\0\0\0", 8);
    text.resize(20);
    FamilyCard::setU16(text, 8, quint16(speed));
    FamilyCard::setU16(text, 10, 0x0100);
    FamilyCard::setU32(text, 12, quint32(latitude));
    FamilyCard::setU32(text, 16, quint32(longitude));
    return text;
}

} // namespace

void TestGarminFamily::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QString error;
    m_files = FamilyCard::make(QStringLiteral("garmin"), m_dir.path(), error);
    QVERIFY2(!m_files.isEmpty(), qPrintable(error));
}

void TestGarminFamily::recognise_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<RecordingKind>("kind");

    QTest::newRow("unsaved") << "DCIM/105UNSVD/GRMN0002.MP4" << at(9, 0, 3) << RecordingKind::Normal;
    QTest::newRow("unsaved, last") << "DCIM/105UNSVD/GRMN0020.MP4" << at(9, 0, 57) << RecordingKind::Normal;
    QTest::newRow("incident") << "DCIM/100EVENT/GRMN0021.MP4" << at(9, 0, 7) << RecordingKind::Event;
    QTest::newRow("saved by the user")
        << "DCIM/101SAVED/GRMN0022.MP4" << at(9, 0, 15) << RecordingKind::Event;
    QTest::newRow("parked") << "DCIM/104PARKM/GRMN0023.MP4" << at(9, 11, 0) << RecordingKind::Parking;
}

void TestGarminFamily::recognise()
{
    QFETCH(QString, file);
    QFETCH(QDateTime, start);
    QFETCH(RecordingKind, kind);

    const Camera::Recording recording = Camera::Families::recognise(path(file));
    QCOMPARE(recording.family, Camera::GarminFamily::Id);
    QCOMPARE(recording.start, start);
    QCOMPARE(recording.start.timeSpec(), Qt::UTC);
    QCOMPARE(recording.channel, QStringLiteral("front"));
    QCOMPARE(recording.kind, kind);
    QCOMPARE(recording.run, Camera::GarminFamily::Id + ':' + QFileInfo(path(file)).absolutePath());
    QCOMPARE(recording.telemetry, Camera::TelemetrySource::TextTrack);
    QCOMPARE(recording.telemetryFile, path(file));
}

void TestGarminFamily::everyCardFileIsThisFamilys()
{
    // Consecutive clips of one folder follow each other second by second.
    QDateTime previous;
    const QStringList unsaved = m_files.filter(QStringLiteral("105UNSVD"));
    for (const QString& file : unsaved) {
        const Camera::Recording recording = Camera::Families::recognise(file);
        QCOMPARE(recording.family, Camera::GarminFamily::Id);
        if (previous.isValid())
            QCOMPARE(previous.secsTo(recording.start), 3);
        previous = recording.start;
    }
    QCOMPARE(m_files.size(), 23);
}

void TestGarminFamily::foreignNames_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("photo") << "DCIM/102PHOTO/GRMN0001.JPG";
    QTest::newRow("five digits") << "DCIM/105UNSVD/GRMN00001.MP4";
    QTest::newRow("other prefix") << "DCIM/100MEDIA/DJI_0001.MP4";
    QTest::newRow("mode folder name") << "cont_rec/REC_20240501_090000_F.MP4";
}

void TestGarminFamily::foreignNames()
{
    QFETCH(QString, file);
    QVERIFY(Family.recognise(path(file)).family.isEmpty());
}

void TestGarminFamily::headerWithoutCreationTime()
{
    // A copied clip (outside the camera's folders) whose header has no time: known, but no start.
    const QString copy = path("copied/GRMN0002.MP4");
    QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
    QByteArray data = FamilyCard::readAll(path("DCIM/105UNSVD/GRMN0002.MP4"));
    const int mvhd = FamilyCard::lastBox(data, "mvhd");
    FamilyCard::setU32(data, mvhd + 12, 0);
    QVERIFY(FamilyCard::writeAll(copy, data));

    const Camera::Recording recording = Family.recognise(copy);
    QCOMPARE(recording.family, Camera::GarminFamily::Id);
    QVERIFY(!recording.start.isValid());
    QCOMPARE(recording.kind, RecordingKind::Normal);
    const Camera::Telemetry telemetry = Family.readTelemetry(recording);
    QVERIFY(telemetry.samples.empty());
    QVERIFY(!telemetry.error.isEmpty());
}

void TestGarminFamily::recordsAgreeWithExiftool()
{
    if (!FamilyCard::hasExiftool())
        QSKIP("exiftool is not installed");
    const QHash<QString, std::vector<FamilyCard::Fix>> outside = FamilyCard::exiftoolFixes(m_files);
    int positions = 0;
    int noFix = 0;
    for (const QString& file : qAsConst(m_files)) {
        const Camera::Telemetry telemetry = Family.readTelemetry(Family.recognise(file));
        QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
        QCOMPARE(telemetry.source, Camera::TelemetrySource::TextTrack);
        const std::vector<FamilyCard::Fix>& theirs = outside.value(file);
        QCOMPARE(int(theirs.size()), 3);
        std::size_t ours = 0;
        for (const FamilyCard::Fix& fix : theirs) {
            // exiftool gives a record without a fix as -180, -180; it is no position.
            if (fix.latitude == -180 && fix.longitude == -180) {
                ++noFix;
                continue;
            }
            QVERIFY(ours < telemetry.samples.size());
            const Camera::TelemetrySample& sample = telemetry.samples[ours++];
            // exiftool times a record by the header's creation time plus the sample's time, in UTC.
            QCOMPARE(QDateTime::fromMSecsSinceEpoch(sample.utcMs, Qt::UTC), fix.utc);
            QVERIFY(std::abs(sample.latitude - fix.latitude) < 1e-6);
            QVERIFY(std::abs(sample.longitude - fix.longitude) < 1e-6);
            // exiftool takes the speed for miles an hour and gives it converted; the published
            // analysis and the drive it was checked on read kilometres an hour.
            QVERIFY(std::abs(sample.speed * 3.6 - fix.speedKmh / 1.60934) < 0.01);
        }
        QCOMPARE(telemetry.samples.size(), ours);
        positions += int(ours);
    }
    QCOMPARE(noFix, 1);
    QCOMPARE(positions, 3 * m_files.size() - 1);
}

void TestGarminFamily::readRecord_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("position");
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<double>("speedKmh"); // NaN: none

    QTest::newRow("north-west") << record(72, 0x20000000, -0x40000000) << true << 45.0 << -90.0 << 72.0;
    QTest::newRow("south-east, standing")
        << record(0, -0x10000000, 0x7fffffff) << true << -22.5 << 180.0 - 180.0 / 2147483648.0 << 0.0;
    QTest::newRow("speed unknown") << record(-1, 0, 0) << true << 0.0 << 0.0 << qQNaN();
    QTest::newRow("no fix") << record(50, qint32(0x80000000), qint32(0x80000000)) << false << 0.0 << 0.0
                            << 0.0;
    QTest::newRow("longitude marks no fix")
        << record(50, 0x20000000, qint32(0x80000000)) << false << 0.0 << 0.0 << 0.0;
    QTest::newRow("latitude beyond a pole") << record(50, 0x7fffffff, 0) << false << 0.0 << 0.0 << 0.0;
    QTest::newRow("short") << record(50, 0, 0).left(19) << false << 0.0 << 0.0 << 0.0;
    QTest::newRow("other text") << QByteArray("$GPRMC,090000.00,A,4736.3720,N,12219.9260,W,,,010524,,,A*00")
                                << false << 0.0 << 0.0 << 0.0;
}

void TestGarminFamily::readRecord()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, position);
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QFETCH(double, speedKmh);

    Camera::TelemetrySample sample;
    QCOMPARE(Camera::GarminFamily::readRecord(text, 1714554000000, sample), position);
    if (!position)
        return;
    QCOMPARE(sample.utcMs, Q_INT64_C(1714554000000));
    QCOMPARE(sample.latitude, latitude);
    QCOMPARE(sample.longitude, longitude);
    if (std::isnan(speedKmh))
        QVERIFY(std::isnan(sample.speed));
    else
        QCOMPARE(sample.speed * 3.6, speedKmh);
}

void TestGarminFamily::damagedVideos_data()
{
    using FamilyCard::Damage;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<int>("mostSamples"); // of the three a clip holds
    QTest::newRow("movie box beyond the file") << Damage::MovieBeyondFile << 0;
    QTest::newRow("media box smaller than its header") << Damage::MediaSizeTooSmall << 0;
    QTest::newRow("samples beyond the file") << Damage::SamplesBeyondFile << 1;
    QTest::newRow("length word beyond the sample") << Damage::LengthBeyondSample << 3;
    QTest::newRow("two billion samples claimed") << Damage::CountBeyondTable << 3;
    QTest::newRow("cut in half") << Damage::CutInHalf << 0;
    QTest::newRow("not a video") << Damage::NotAVideo << 0;
}

void TestGarminFamily::damagedVideos()
{
    QFETCH(FamilyCard::Damage, damage);
    QFETCH(int, mostSamples);
    const QString copy = path("DCIM/106UNSVD/GRMN0099.MP4");
    QVERIFY(QDir().mkpath(QFileInfo(copy).path()));
    QVERIFY(FamilyCard::writeAll(
        copy, FamilyCard::damaged(FamilyCard::readAll(path("DCIM/105UNSVD/GRMN0001.MP4")), damage)));

    const Camera::Recording recording = Family.recognise(copy);
    QCOMPARE(recording.family, Camera::GarminFamily::Id);
    const Camera::Telemetry telemetry = Family.readTelemetry(recording);
    QVERIFY(!telemetry.error.isEmpty());
    QVERIFY(int(telemetry.samples.size()) <= mostSamples);
    if (mostSamples > 0)
        QVERIFY(!telemetry.samples.empty()); // what could be read is kept
}

QTEST_GUILESS_MAIN(TestGarminFamily)
#include "tst_garminfamily.moc"
