#include "mergefilelists.h"
#include "tripfile.h"
#include "tripitem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Trip;

namespace {

const QString Base = QStringLiteral("/rec/");

// "DIR/RRR_SSSS/hhmmss/durationMs" on 2024-05-01 under /rec
TripItem item(const QString& text, bool isEvent)
{
    const QStringList parts = text.split('/');
    TripItem t;
    t.videoFile = Base + parts[0] + '/' + parts[1] + "_20240501" + parts[2] + ".mp4";
    t.nmeaFile = nmeaFileFor(t.videoFile);
    t.duration = parts[3].toLongLong();
    t.isEvent = isEvent;
    return t;
}

TripList items(const QString& texts, bool isEvent)
{
    TripList list;
    for (const QString& text : texts.split(' ', Qt::SkipEmptyParts))
        list.push_back(item(text, isEvent));
    return list;
}

// "DIR:hhmmss ... | ..." with one group per trip
QString describe(const Trips& trips)
{
    QStringList groups;
    for (const TripList& trip : trips) {
        QStringList names;
        for (const TripItem& t : trip)
            names << t.videoFile.section('/', -2, -2) + ':' + startTimeString(t.videoFile).right(6);
        groups << names.join(' ');
    }
    return groups.join(QStringLiteral(" | "));
}

} // namespace

class TestTripModel : public QObject
{
    Q_OBJECT

private slots:
    void equality();
    void pairing_data();
    void pairing();
    void startTime_data();
    void startTime();
    void admission();
    void merge_data();
    void merge();
    void mergeKeepsResultWhenNothingGiven();
    void equalStartsOrderedByModificationTime_data();
    void equalStartsOrderedByModificationTime();
    void metaTypesResolveByName();
};

void TestTripModel::equality()
{
    const TripItem a = item("A/001_0001/100000/60000", false);
    TripItem b = a;
    QVERIFY(a == b);
    b.isEvent = true;
    QVERIFY(!(a == b));
    b = a;
    b.duration = 60001;
    QVERIFY(a != b);
    b = a;
    b.nmeaFile += 'x';
    QVERIFY(a != b);
}

void TestTripModel::pairing_data()
{
    QTest::addColumn<QString>("video");
    QTest::addColumn<QString>("nmea");
    QTest::newRow("lower") << "/c/001_0001_20240501100000.mp4"
                           << "/c/001_0001_20240501100000.nmea";
    QTest::newRow("upper") << "/c/001_0001_20240501100000.MP4"
                           << "/c/001_0001_20240501100000.nmea";
    QTest::newRow("every occurrence") << "/c/x.Mp4/001_0001_20240501100000.mp4"
                                      << "/c/x.nmea/001_0001_20240501100000.nmea";
}

void TestTripModel::pairing()
{
    QFETCH(QString, video);
    QFETCH(QString, nmea);
    QCOMPARE(nmeaFileFor(video), nmea);
}

void TestTripModel::startTime_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QDateTime>("expected");
    QTest::newRow("valid") << "/c/001_0001_20240501235958.mp4"
                           << QDateTime(QDate(2024, 5, 1), QTime(23, 59, 58), Qt::UTC);
    QTest::newRow("leap day") << "/c/001_0001_20240229000000.mp4"
                              << QDateTime(QDate(2024, 2, 29), QTime(0, 0), Qt::UTC);
    // Summer time starts at 02:00 on 31 March 2024 in much of Europe; a wall-clock name in the
    // skipped hour is still a valid time, whatever the machine's zone.
    QTest::newRow("in a summer-time gap")
        << "/c/001_0001_20240331023000.mp4" << QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC);
    QTest::newRow("month 13") << "/c/001_0001_20241301100000.mp4" << QDateTime();
    QTest::newRow("hour 24") << "/c/001_0001_20240501240000.mp4" << QDateTime();
    QTest::newRow("not digits") << "/c/001_0001_2024050110000x.mp4" << QDateTime();
    QTest::newRow("short") << "a.mp4" << QDateTime();
}

void TestTripModel::startTime()
{
    QFETCH(QString, path);
    QFETCH(QDateTime, expected);
    QCOMPARE(Trip::startTime(path), expected);
    if (expected.isValid())
        QCOMPARE(startMSecs(path), expected.toMSecsSinceEpoch());
}

void TestTripModel::admission()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath("EVENT"));
    const auto touch = [&dir](const QString& name) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    };
    touch("001_0001_20240501100000.nmea");
    touch("001_0002_20240501100100.nmea");
    touch("001_0003_20241301100200.nmea"); // no valid date
    touch("EVENT/001_0004_20240501100130.nmea");
    QVERIFY(QDir(dir.path()).mkpath("event"));
    touch("event/001_0005_20240501100140.nmea"); // lower case is no event folder

    const QStringList selected{
        dir.filePath("001_0001_20240501100000.mp4"),       dir.filePath("001_0002_20240501100100.MP4"),
        dir.filePath("001_0003_20241301100200.mp4"),
        dir.filePath("001_0009_20240501100300.mp4"), // no nmea
        dir.filePath("EVENT/001_0004_20240501100130.mp4"), dir.filePath("event/001_0005_20240501100140.mp4")};
    QStringList ordinary;
    QStringList events;
    admit(selected, ordinary, events);
    QCOMPARE(ordinary, (QStringList{selected[0], selected[1], selected[5]}));
    QCOMPARE(events, QStringList{selected[4]});
    QCOMPARE(admit(selected[2]), Admission::Rejected);
}

void TestTripModel::merge_data()
{
    QTest::addColumn<QString>("ordinary");
    QTest::addColumn<QString>("events");
    QTest::addColumn<QString>("expected");

    QTest::newRow("same prefix, two directories") << "A/001_0001/100000/60000 B/001_0002/100100/60000"
                                                  << ""
                                                  << "A:100000 | B:100100";
    QTest::newRow("prefix change, time gap kept")
        << "A/001_0001/100000/60000 A/001_0002/110000/60000 A/002_0001/110100/60000"
        << ""
        << "A:100000 A:110000 | A:110100";
    QTest::newRow("event before trip") << "A/001_0001/100100/60000"
                                       << "EVENT/001_0001/100000/59000"
                                       << "EVENT:100000 A:100100";
    QTest::newRow("event before, too early") << "A/001_0001/100100/60000"
                                             << "EVENT/001_0001/100000/58999"
                                             << "A:100100 | EVENT:100000";
    QTest::newRow("event after, 1000 ms slack") << "A/001_0001/100000/60000"
                                                << "EVENT/001_0001/100101/30000"
                                                << "A:100000 EVENT:100101";
    QTest::newRow("event after, 1001 ms") << "A/001_0001/100000/59999"
                                          << "EVENT/001_0001/100101/30000"
                                          << "A:100000 | EVENT:100101";
    QTest::newRow("event inside") << "A/001_0001/100000/60000 A/001_0002/100100/60000 A/001_0003/100200/60000"
                                  << "EVENT/001_0001/100130/20000"
                                  << "A:100000 A:100100 EVENT:100130 A:100200";
    QTest::newRow("event in second trip") << "A/001_0001/100000/60000 A/002_0001/120000/60000"
                                          << "EVENT/001_0001/120030/10000"
                                          << "A:100000 | A:120000 EVENT:120030";
    QTest::newRow("second pass attaches to grown trip")
        << "A/001_0001/100000/60000"
        << "EVENT/001_0001/100200/30000 EVENT/002_0001/100100/60000"
        << "A:100000 EVENT:100100 EVENT:100200";
    QTest::newRow("orphans split by continuity")
        << "A/001_0001/100000/60000"
        << "EVENT/001_0001/120000/60000 EVENT/001_0002/120100/60000 EVENT/001_0003/130000/60000"
        << "A:100000 | EVENT:120000 EVENT:120100 | EVENT:130000";
    QTest::newRow("orphans out of order split") << ""
                                                << "EVENT/001_0001/120100/60000 EVENT/001_0002/120000/60000"
                                                << "EVENT:120100 | EVENT:120000";
    QTest::newRow("no ordinary files")
        << ""
        << "EVENT/001_0001/120000/60000 EVENT/001_0002/120101/60000 EVENT/001_0003/120203/60000"
        << "EVENT:120000 EVENT:120101 | EVENT:120203";
}

void TestTripModel::merge()
{
    QFETCH(QString, ordinary);
    QFETCH(QString, events);
    QFETCH(QString, expected);
    TripList ordinaryItems = items(ordinary, false);
    TripList eventItems = items(events, true);
    Trips trips{items("X/009_0001/090000/1000", false)};
    MergeFileLists::merge(ordinaryItems, eventItems, trips);
    QCOMPARE(describe(trips), expected);
    QVERIFY(ordinaryItems.empty());
    QVERIFY(eventItems.empty());
    for (const TripList& trip : trips) {
        for (const TripItem& t : trip)
            QCOMPARE(t.isEvent, t.videoFile.contains("EVENT"));
    }
}

void TestTripModel::mergeKeepsResultWhenNothingGiven()
{
    TripList none;
    TripList noEvents;
    Trips trips{items("X/009_0001/090000/1000", false)};
    MergeFileLists::merge(none, noEvents, trips);
    QCOMPARE(describe(trips), QStringLiteral("X:090000"));
}

void TestTripModel::equalStartsOrderedByModificationTime_data()
{
    QTest::addColumn<bool>("itemOlder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("item older: event after") << true << "A:100000 EVENT:100000 A:100100";
    QTest::newRow("item newer: event before") << false << "EVENT:100000 A:100000 A:100100";
}

void TestTripModel::equalStartsOrderedByModificationTime()
{
    QFETCH(bool, itemOlder);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkpath("A") && QDir(dir.path()).mkpath("EVENT"));
    const QString first = dir.filePath("A/001_0001_20240501100000.mp4");
    const QString second = dir.filePath("A/001_0002_20240501100100.mp4");
    const QString event = dir.filePath("EVENT/001_0001_20240501100000.mp4");
    const QDateTime early(QDate(2024, 5, 1), QTime(10, 1));
    const QDateTime late(QDate(2024, 5, 1), QTime(10, 2));
    for (const QString& path : {first, second, event}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const QDateTime when = (path == event) == itemOlder ? late : early;
        QVERIFY(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    TripList ordinary{{60000, false, first, nmeaFileFor(first)}, {60000, false, second, nmeaFileFor(second)}};
    TripList events{{30000, true, event, nmeaFileFor(event)}};
    Trips trips;
    MergeFileLists::merge(ordinary, events, trips);
    QCOMPARE(describe(trips), expected);
}

void TestTripModel::metaTypesResolveByName()
{
    registerMetaTypes();
    QCOMPARE(QMetaType::type("std::shared_ptr<Trip::TripList>"), qMetaTypeId<std::shared_ptr<TripList>>());
    QCOMPARE(QMetaType::type("std::shared_ptr<Trip::Trips>"), qMetaTypeId<std::shared_ptr<Trips>>());
}

QTEST_GUILESS_MAIN(TestTripModel)
#include "tst_tripmodel.moc"
