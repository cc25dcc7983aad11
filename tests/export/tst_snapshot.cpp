#include "exportfixture.h"
#include "snapshot.h"
#include "units.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QStringList RunOfThree{QStringLiteral("001_0001_20240501120000.mp4"),
                             QStringLiteral("001_0002_20240501120002.mp4"),
                             QStringLiteral("001_0003_20240501120004.mp4")};

} // namespace

class TestSnapshot : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void grabsTheFrameShownAtAPosition_data();
    void grabsTheFrameShownAtAPosition();
    void stampShowsTheDataBelowThePicture();
    void clockTimeNamesTheFile();
    void savesPngButNeverOverARecording();

private:
    QTemporaryDir m_dir;
    Trip::TripList m_trip;
};

void TestSnapshot::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_trip = Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_dir.path(), RunOfThree);
}

void TestSnapshot::grabsTheFrameShownAtAPosition_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("frame");

    // 25 frames per second, three files of 50 frames.
    QTest::newRow("start") << 0LL << 0;
    QTest::newRow("between two frames") << 1300LL << 32;
    QTest::newRow("on a frame, not a key frame") << 1320LL << 33;
    QTest::newRow("end of the first file") << 2000LL << 49;
    QTest::newRow("start of the second file") << 2020LL << 50;
    QTest::newRow("end of the trip") << 6000LL << 149;
}

void TestSnapshot::grabsTheFrameShownAtAPosition()
{
    QFETCH(qint64, position);
    QFETCH(int, frame);
    Snapshot still(m_trip, nullptr);
    QVERIFY2(still.grab(position), qPrintable(still.errorString()));
    QCOMPARE(still.frame().size(), QSize(320, 64));
    QCOMPARE(Fixture::frameNumber(still.frame()), frame);
}

void TestSnapshot::stampShowsTheDataBelowThePicture()
{
    TripPositions reader(m_trip);
    Snapshot still(m_trip, reader.assemble(m_trip));
    QVERIFY(still.grab(3500));
    const QStringList lines = still.stampLines(3500, 3600);
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines[0], QStringLiteral("2024-05-01 13:00:03"));
    QVERIFY2(lines[1].contains(QStringLiteral("48° 6' 0.0\" N")), qPrintable(lines[1]));
    QCOMPARE(lines[2], Units::speedText(Fixture::Kmh / 3.6, 0));

    const QImage stamped = Snapshot::stamped(still.frame(), lines);
    QCOMPARE(stamped.width(), still.frame().width());
    QVERIFY(stamped.height() > still.frame().height());
    QCOMPARE(stamped.copy(0, 0, 320, 64), still.frame().convertToFormat(stamped.format()));
    // Text is drawn in the band.
    const QImage band = stamped.copy(0, 64, 320, stamped.height() - 64);
    int lit = 0;
    for (int y = 0; y < band.height(); ++y) {
        for (int x = 0; x < band.width(); ++x)
            lit += qGray(band.pixel(x, y)) > 128 ? 1 : 0;
    }
    QVERIFY(lit > 50);
    QCOMPARE(Snapshot::stamped(still.frame(), {}), still.frame());
}

void TestSnapshot::clockTimeNamesTheFile()
{
    QCOMPARE(Snapshot::fileName(QDateTime(QDate(2024, 6, 1), QTime(14, 3, 12), Qt::UTC)),
             QStringLiteral("2024-06-01_14-03-12.png"));
    // Without positions the clock comes from the start time in the file's name.
    const Snapshot still(m_trip, nullptr);
    QCOMPARE(still.clockAt(4500), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 4, 500), Qt::UTC));
    QCOMPARE(still.clockAt(2000), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 2), Qt::UTC));
    // With positions, from the record of that second.
    TripPositions reader(m_trip);
    const Snapshot located(m_trip, reader.assemble(m_trip));
    QCOMPARE(located.clockAt(4500), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 4), Qt::UTC));
}

void TestSnapshot::savesPngButNeverOverARecording()
{
    Snapshot still(m_trip, nullptr);
    QVERIFY(still.grab(1000));
    const QString path = m_dir.filePath(QStringLiteral("still.png"));
    QVERIFY2(still.save(still.frame(), path), qPrintable(still.errorString()));
    QImage read(path);
    QCOMPARE(read.size(), QSize(320, 64));
    QCOMPARE(Fixture::frameNumber(read), 25);

    const qint64 size = QFileInfo(m_trip[0].videoFile).size();
    QVERIFY(!still.save(still.frame(), m_trip[0].videoFile));
    QVERIFY(still.errorString().contains(m_trip[0].videoFile));
    QCOMPARE(QFileInfo(m_trip[0].videoFile).size(), size);
}

QTEST_MAIN(TestSnapshot)
#include "tst_snapshot.moc"
