#include "triptimeline.h"

#include <QtTest>

class TestTripTimeline : public QObject
{
    Q_OBJECT
private slots:
    void locate_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("index");
        QTest::addColumn<qint64>("time");

        QTest::newRow("start") << qint64(0) << 0 << qint64(0);
        QTest::newRow("end of first file stays in it") << qint64(60000) << 0 << qint64(60000);
        QTest::newRow("just after a file end") << qint64(60001) << 1 << qint64(1);
        QTest::newRow("middle file") << qint64(90000) << 1 << qint64(30000);
        QTest::newRow("trip end") << qint64(180000) << 2 << qint64(60000);
        QTest::newRow("beyond the end is clamped") << qint64(200000) << 2 << qint64(60000);
        QTest::newRow("before the start is clamped") << qint64(-3000) << 0 << qint64(0);
    }

    void locate()
    {
        QFETCH(qint64, position);
        QFETCH(int, index);
        QFETCH(qint64, time);

        Trip::TripList trip(3);
        for (Trip::TripItem& item : trip) {
            item.duration = 60000;
        }
        const TripTimeline timeline(trip);
        QCOMPARE(timeline.duration(), qint64(180000));
        QCOMPARE(timeline.indexAt(position), index);
        QCOMPARE(timeline.timeInFile(position), time);
        QCOMPARE(timeline.offset(index) + time, qBound<qint64>(0, position, 180000));
    }

    void unevenFilesAndEmptyTrip()
    {
        Trip::TripList trip(3);
        trip[0].duration = 3000;
        trip[1].duration = 2000;
        trip[2].duration = 4000;
        const TripTimeline timeline(trip);
        QCOMPARE(timeline.offset(2), qint64(5000));
        QCOMPARE(timeline.fileDuration(1), qint64(2000));
        QCOMPARE(timeline.indexAt(5000), 1);
        QCOMPARE(timeline.indexAt(5001), 2);

        const TripTimeline empty{Trip::TripList()};
        QCOMPARE(empty.indexAt(0), -1);
        QCOMPARE(empty.duration(), qint64(0));
    }
};

QTEST_APPLESS_MAIN(TestTripTimeline)
#include "tst_triptimeline.moc"
