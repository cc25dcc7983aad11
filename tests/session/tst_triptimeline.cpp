#include "triptimeline.h"

#include <QtTest>

namespace {

Trip::TripList files(std::initializer_list<qint64> durations)
{
    Trip::TripList trip;
    for (const qint64 duration : durations)
        trip.push_back(Trip::TripItem{duration, false, {}, {}});
    return trip;
}

} // namespace

// The one timeline of a trip: which file and which second a position lies in, and how a range
// is cut into files. Every view and export asks it, so its boundary rules are the program's.
class TestTripTimeline : public QObject
{
    Q_OBJECT

private slots:
    void locatesFiles_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("index");
        QTest::addColumn<qint64>("time");
        // Files of 3 s, none, 2 s, none and 4 s.
        QTest::newRow("start") << qint64(0) << 0 << qint64(0);
        QTest::newRow("end of the first file belongs to it") << qint64(3000) << 0 << qint64(3000);
        QTest::newRow("just after: the next file with a length") << qint64(3001) << 2 << qint64(1);
        QTest::newRow("end of the middle file") << qint64(5000) << 2 << qint64(2000);
        QTest::newRow("the last file") << qint64(5001) << 4 << qint64(1);
        QTest::newRow("end of the trip") << qint64(9000) << 4 << qint64(4000);
        QTest::newRow("after the end is clamped") << qint64(12000) << 4 << qint64(4000);
        QTest::newRow("before the start is clamped") << qint64(-3000) << 0 << qint64(0);
    }

    void locatesFiles()
    {
        QFETCH(qint64, position);
        QFETCH(int, index);
        QFETCH(qint64, time);
        const TripTimeline timeline(files({3000, 0, 2000, 0, 4000}));
        QCOMPARE(timeline.duration(), qint64(9000));
        QCOMPARE(timeline.indexAt(position), index);
        QCOMPARE(timeline.fileAt(position), index);
        QCOMPARE(timeline.timeInFile(position), time);
        QCOMPARE(timeline.offset(index) + time, qBound<qint64>(0, position, 9000));
    }

    void fileWithoutLengthFirstAndEmptyTrips()
    {
        const TripTimeline leading(files({0, 5000}));
        QCOMPARE(leading.indexAt(0), 1);
        QCOMPARE(TripTimeline(Trip::TripList()).indexAt(0), -1);
        QCOMPARE(TripTimeline(files({0, 0})).indexAt(0), -1);
        QVERIFY(TripTimeline(files({0, 0})).pieces(0, 1000).empty());
    }

    void cutsRangesIntoFiles_data()
    {
        QTest::addColumn<qint64>("from");
        QTest::addColumn<qint64>("to");
        // index, from and to of each piece.
        QTest::addColumn<QList<QList<qint64>>>("expected");
        QTest::newRow("inside one file")
            << qint64(500) << qint64(2500) << QList<QList<qint64>>{{0, 500, 2500}};
        QTest::newRow("starting on a boundary takes nothing before it")
            << qint64(3000) << qint64(4000) << QList<QList<qint64>>{{2, 0, 1000}};
        QTest::newRow("ending on a boundary takes nothing after it")
            << qint64(1000) << qint64(5000) << QList<QList<qint64>>{{0, 1000, 3000}, {2, 0, 2000}};
        QTest::newRow("across all, the files without length left out")
            << qint64(0) << qint64(9000) << QList<QList<qint64>>{{0, 0, 3000}, {2, 0, 2000}, {4, 0, 4000}};
        QTest::newRow("clamped to the trip")
            << qint64(-500) << qint64(20000)
            << QList<QList<qint64>>{{0, 0, 3000}, {2, 0, 2000}, {4, 0, 4000}};
        QTest::newRow("an empty range at a boundary")
            << qint64(3000) << qint64(3000) << QList<QList<qint64>>{{2, 0, 0}};
    }

    void cutsRangesIntoFiles()
    {
        QFETCH(qint64, from);
        QFETCH(qint64, to);
        QFETCH(QList<QList<qint64>>, expected);
        const TripTimeline timeline(files({3000, 0, 2000, 0, 4000}));
        QList<QList<qint64>> pieces;
        for (const TripTimeline::Piece& piece : timeline.pieces(from, to))
            pieces.append({piece.index, piece.fromMs, piece.toMs});
        QCOMPARE(pieces, expected);
    }

    // Record i covers [i s, i+1 s): the same record from x.000 to x.999, never the next one early.
    void secondsAndRecords_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("record");
        QTest::newRow("x.000") << qint64(7000) << 7;
        QTest::newRow("x.499") << qint64(7499) << 7;
        QTest::newRow("x.500") << qint64(7500) << 7;
        QTest::newRow("x.999") << qint64(7999) << 7;
        QTest::newRow("before the start") << qint64(-1) << 0;
        QTest::newRow("past the last record shows the last") << qint64(12500) << 9;
    }

    void secondsAndRecords()
    {
        QFETCH(qint64, position);
        QFETCH(int, record);
        QCOMPARE(TripTimeline::recordAt(position, 10), record);
        QCOMPARE(TripTimeline::recordAt(position, 0), -1);
        if (position >= 0 && position < 10000)
            QCOMPARE(TripTimeline::secondAt(position), qint64(record));
    }
};

QTEST_APPLESS_MAIN(TestTripTimeline)
#include "tst_triptimeline.moc"
