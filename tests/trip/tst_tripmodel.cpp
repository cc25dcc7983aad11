#include "mergefilelists.h"
#include "tripchannels.h"
#include "tripfile.h"
#include "tripitem.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Trip;

namespace {

// "DIR/RRR_SSSS/hhmmss/durationMs" on 2024-05-01 under /rec
TripItem item(const QString& text, bool isEvent)
{
    const QStringList parts = text.split('/');
    TripItem t;
    t.videoFile = "/rec/" + parts[0] + '/' + parts[1] + "_20240501" + parts[2] + ".mp4";
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

bool touch(const QString& path, const QDateTime& modified = {})
{
    QFile f(path);
    return QDir().mkpath(QFileInfo(path).path()) && f.open(QIODevice::WriteOnly) &&
           (!modified.isValid() || f.setFileTime(modified, QFileDevice::FileModificationTime));
}

} // namespace

// Naming rules, admission of selected files and their merging into trips.
class TestTripModel : public QObject
{
    Q_OBJECT

private slots:
    void companionAndEventFolder_data()
    {
        QTest::addColumn<QString>("video");
        QTest::addColumn<QString>("nmea");
        QTest::addColumn<bool>("event");
        const QString name = "001_0001_20240501100000";
        QTest::newRow("card root") << "/c/" + name + ".mp4"
                                   << "/c/" + name + ".nmea" << false;
        QTest::newRow("upper-case extension") << "/c/" + name + ".MP4"
                                              << "/c/" + name + ".nmea" << false;
        QTest::newRow("folder named like a video") << "/c/card.mp4.bak/x.Mp4/" + name + ".mp4"
                                                   << "/c/card.mp4.bak/x.Mp4/" + name + ".nmea" << false;
        QTest::newRow("event folder") << "/c/EVENT/" + name + ".mp4"
                                      << "/c/EVENT/" + name + ".nmea" << true;
        QTest::newRow("event folder deeper") << "/media/u/CARD/EVENT/2024/" + name + ".mp4"
                                             << "/media/u/CARD/EVENT/2024/" + name + ".nmea" << true;
        QTest::newRow("relative event folder") << "EVENT/" + name + ".mp4"
                                               << "EVENT/" + name + ".nmea" << true;
        QTest::newRow("volume named EVENTCAM") << "/media/u/EVENTCAM/" + name + ".mp4"
                                               << "/media/u/EVENTCAM/" + name + ".nmea" << false;
        QTest::newRow("PREVENTION") << "/home/u/PREVENTION/" + name + ".mp4"
                                    << "/home/u/PREVENTION/" + name + ".nmea" << false;
        QTest::newRow("lower case") << "/c/event/" + name + ".mp4"
                                    << "/c/event/" + name + ".nmea" << false;
        QTest::newRow("EVENT in the file name") << "/c/EVENT_" + name + ".mp4"
                                                << "/c/EVENT_" + name + ".nmea" << false;
    }

    void companionAndEventFolder()
    {
        QFETCH(QString, video);
        QFETCH(QString, nmea);
        QFETCH(bool, event);
        QCOMPARE(nmeaFileFor(video), nmea);
        QCOMPARE(isEventFile(video), event);
    }

    void namingRules()
    {

        // Wall-clock times kept as UTC: a name in the hour summer time skips in much of Europe is
        // still a valid time, whatever the machine's zone.
        const QDateTime valid(QDate(2024, 5, 1), QTime(23, 59, 58), Qt::UTC);
        QCOMPARE(startTime("/c/001_0001_20240501235958.mp4"), valid);
        QCOMPARE(startMSecs("/c/001_0001_20240501235958.mp4"), valid.toMSecsSinceEpoch());
        QCOMPARE(startTime("/c/001_0001_20240229000000.mp4"),
                 QDateTime(QDate(2024, 2, 29), QTime(0, 0), Qt::UTC));
        QCOMPARE(startTime("/c/001_0001_20240331023000.mp4"),
                 QDateTime(QDate(2024, 3, 31), QTime(2, 30), Qt::UTC));
        for (const char* invalid : {"/c/001_0001_20241301100000.mp4", "/c/001_0001_20240501240000.mp4",
                                    "/c/001_0001_2024050110000x.mp4", "a.mp4"})
            QVERIFY2(!startTime(invalid).isValid(), invalid);

        // Items compare by every field but the channel's name, which only names the main one.
        const TripItem a = item("A/001_0001/100000/60000", false);
        for (auto change :
             {+[](TripItem& t) { t.isEvent = true; }, +[](TripItem& t) { t.duration += 1; },
              +[](TripItem& t) { t.nmeaFile += 'x'; }, +[](TripItem& t) { t.videoFile += 'x'; },
              +[](TripItem& t) { t.channels.emplace_back(1000, false, "rear.mp4", QString()); }}) {
            TripItem b = a;
            change(b);
            QVERIFY(a != b);
        }
        QVERIFY(a == TripItem(a));
    }

    void admission()
    {
        QTemporaryDir dir;
        for (const char* name :
             {"001_0001_20240501100000.nmea", "001_0002_20240501100100.nmea", "001_0003_20241301100200.nmea",
              "EVENT/001_0004_20240501100130.nmea", "event/001_0005_20240501100140.nmea",
              "PREVENTION/002_0001_20240501110000.nmea", "card.mp4.bak/EVENT/003_0001_20240501120000.nmea"})
            QVERIFY(touch(dir.filePath(name)));

        const QStringList selected{
            dir.filePath("001_0001_20240501100000.mp4"),
            dir.filePath("001_0002_20240501100100.MP4"),
            dir.filePath("001_0003_20241301100200.mp4"), // no valid date
            dir.filePath("001_0009_20240501100300.mp4"), // no position file
            dir.filePath("EVENT/001_0004_20240501100130.mp4"),
            dir.filePath("event/001_0005_20240501100140.mp4"), // lower case is no event folder
            dir.filePath("PREVENTION/002_0001_20240501110000.mp4"),
            dir.filePath("card.mp4.bak/EVENT/003_0001_20240501120000.mp4")};
        QStringList ordinary;
        QStringList events;
        admit(selected, ordinary, events);
        QCOMPARE(ordinary, (QStringList{selected[0], selected[1], selected[5], selected[6]}));
        QCOMPARE(events, (QStringList{selected[4], selected[7]}));
        QCOMPARE(admit(selected[2]), Admission::Rejected);
    }

    void merge()
    {
        struct Row
        {
            const char* name;
            const char* ordinary; // "DIR/RRR_SSSS/hhmmss/durationMs ..."
            const char* events;
            const char* expected; // "DIR:hhmmss ... | ..." with one group per trip
        };
        const Row rows[] = {
            {"nothing given keeps the last result", "", "", "X:090000"},
            {"same prefix, two directories", "A/001_0001/100000/60000 B/001_0002/100100/60000", "",
             "A:100000 | B:100100"},
            {"prefix change, time gap kept",
             "A/001_0001/100000/60000 A/001_0002/110000/60000 A/002_0001/110100/60000", "",
             "A:100000 A:110000 | A:110100"},
            {"event before trip", "A/001_0001/100100/60000", "EVENT/001_0001/100000/59000",
             "EVENT:100000 A:100100"},
            {"event before, too early", "A/001_0001/100100/60000", "EVENT/001_0001/100000/58999",
             "A:100100 | EVENT:100000"},
            {"event after, 1000 ms slack", "A/001_0001/100000/60000", "EVENT/001_0001/100101/30000",
             "A:100000 EVENT:100101"},
            {"event after, 1001 ms", "A/001_0001/100000/59999", "EVENT/001_0001/100101/30000",
             "A:100000 | EVENT:100101"},
            {"event inside", "A/001_0001/100000/60000 A/001_0002/100100/60000 A/001_0003/100200/60000",
             "EVENT/001_0001/100130/20000", "A:100000 A:100100 EVENT:100130 A:100200"},
            {"event in second trip", "A/001_0001/100000/60000 A/002_0001/120000/60000",
             "EVENT/001_0001/120030/10000", "A:100000 | A:120000 EVENT:120030"},
            {"second pass attaches to grown trip", "A/001_0001/100000/60000",
             "EVENT/001_0001/100200/30000 EVENT/002_0001/100100/60000", "A:100000 EVENT:100100 EVENT:100200"},
            {"orphans split by continuity", "A/001_0001/100000/60000",
             "EVENT/001_0001/120000/60000 EVENT/001_0002/120100/60000 EVENT/001_0003/130000/60000",
             "A:100000 | EVENT:120000 EVENT:120100 | EVENT:130000"},
            {"orphans out of order split", "", "EVENT/001_0001/120100/60000 EVENT/001_0002/120000/60000",
             "EVENT:120100 | EVENT:120000"},
            {"no ordinary files", "",
             "EVENT/001_0001/120000/60000 EVENT/001_0002/120101/60000 EVENT/001_0003/120203/60000",
             "EVENT:120000 EVENT:120101 | EVENT:120203"}};
        for (const Row& row : rows) {
            TripList ordinary = items(row.ordinary, false);
            TripList events = items(row.events, true);
            Trips trips{items("X/009_0001/090000/1000", false)};
            MergeFileLists::merge(ordinary, events, trips);
            QVERIFY2(describe(trips) == row.expected, qPrintable(QString(row.name) + ": " + describe(trips)));
            QVERIFY(ordinary.empty() && events.empty());
            for (const TripList& trip : trips) {
                for (const TripItem& t : trip)
                    QCOMPARE(t.isEvent, t.videoFile.contains("EVENT"));
            }
        }
    }

    // An event starting in the same second as a file goes after it when the file is older.
    void equalStartsOrderedByModificationTime()
    {
        QTemporaryDir dir;
        const QString first = dir.filePath("A/001_0001_20240501100000.mp4");
        const QString second = dir.filePath("A/001_0002_20240501100100.mp4");
        const QString event = dir.filePath("EVENT/001_0001_20240501100000.mp4");
        const QDateTime early(QDate(2024, 5, 1), QTime(10, 1));
        const QDateTime late(QDate(2024, 5, 1), QTime(10, 2));
        for (const bool eventNewer : {true, false}) {
            QVERIFY(touch(first, eventNewer ? early : late) && touch(second, eventNewer ? early : late));
            QVERIFY(touch(event, eventNewer ? late : early));
            TripList ordinary{{60000, false, first, nmeaFileFor(first)},
                              {60000, false, second, nmeaFileFor(second)}};
            TripList events{{30000, true, event, nmeaFileFor(event)}};
            Trips trips;
            MergeFileLists::merge(ordinary, events, trips);
            QCOMPARE(describe(trips), eventNewer ? QString("A:100000 EVENT:100000 A:100100")
                                                 : QString("EVENT:100000 A:100000 A:100100"));
        }
    }

    // A trip's channels, main first, and each channel's recording and file-time offset beside
    // the main channel's files, also where the main channel's file is missing.
    void channelsOfATrip()
    {
        const QDateTime nine(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
        const auto item = [&](const QString& channel, qint64 startMs) {
            TripItem made{3000, false, "/c/" + channel + QString::number(startMs) + ".mp4", QString()};
            made.channel = channel;
            made.start = nine.addMSecs(startMs);
            return made;
        };
        TripItem first = item("rear", 0); // no front recording then: the rear is the main file
        TripItem second = item("front", 3000);
        second.channels = {item("interior", 3000), item("rear", 3400)};
        const TripList trip{first, second};
        QCOMPARE(TripChannels::names(trip), (QStringList{"rear", "front", "interior"}));
        QCOMPARE(TripChannels::names(TripList{item("front", 0)}), QStringList{"front"});
        QCOMPARE(TripChannels::recordingOf(trip[0], "rear"), &trip[0]);
        QCOMPARE(TripChannels::recordingOf(trip[0], "front"), nullptr);
        QCOMPARE(TripChannels::recordingOf(trip[1], "front"), &trip[1]);
        QCOMPARE(TripChannels::recordingOf(trip[1], "rear"), &trip[1].channels[1]);
        // The rear started 0.4 s later: the same instant lies 0.4 s earlier in its file.
        QCOMPARE(TripChannels::offsetMs(trip[1], trip[1].channels[1]), qint64(-400));
        QCOMPARE(TripChannels::offsetMs(trip[1], trip[1].channels[0]), qint64(0));
    }

    void channelFileNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("named");
        QTest::newRow("in a folder") << "/out/clip.mp4"
                                     << "/out/clip_rear.mp4";
        QTest::newRow("dots in the name") << "/out/2024-05-01_09.00+0200.png"
                                          << "/out/2024-05-01_09.00+0200_rear.png";
        QTest::newRow("no extension, dotted folder") << "/out.d/clip"
                                                     << "/out.d/clip_rear";
    }

    void channelFileNames()
    {
        QFETCH(QString, path);
        QFETCH(QString, named);
        QCOMPARE(TripChannels::pathFor(path, "rear"), named);
    }
};

QTEST_GUILESS_MAIN(TestTripModel)
#include "tst_tripmodel.moc"
