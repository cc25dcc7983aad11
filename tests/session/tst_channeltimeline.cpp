#include "channeltimeline.h"

#include <QtTest>

using Trip::TripItem;
using Trip::TripList;
Q_DECLARE_METATYPE(Trip::TripList)

namespace {

const QDateTime Base(QDate(2024, 5, 1), QTime(9, 0, 0), Qt::UTC);

TripItem item(const QString& channel, qint64 startSeconds, qint64 durationMs)
{
    TripItem made(durationMs, false, QStringLiteral("/card/%1_%2.mp4").arg(channel).arg(startSeconds),
                  QString());
    made.channel = channel;
    made.camera = QStringLiteral("cam");
    made.start = Base.addSecs(startSeconds);
    return made;
}

TripItem withChannels(TripItem main, std::vector<TripItem> others)
{
    main.channels = std::move(others);
    return main;
}

qint64 at(qint64 seconds, qint64 ms = 0)
{
    return Base.addSecs(seconds).toMSecsSinceEpoch() + ms;
}

} // namespace

class TestChannelTimeline : public QObject
{
    Q_OBJECT
private slots:
    void channelsOf_data();
    void channelsOf();
    void positions_data();
    void positions();
    void gaps();
};

void TestChannelTimeline::channelsOf_data()
{
    QTest::addColumn<TripList>("trip");
    QTest::addColumn<QStringList>("channels");

    QTest::newRow("one channel") << TripList{item("front", 0, 3000), item("front", 3, 3000)} << QStringList();
    QTest::newRow("no channel names") << TripList{item("", 0, 3000)} << QStringList();
    QTest::newRow("front and rear") << TripList{withChannels(item("front", 0, 3000), {item("rear", 0, 3000)})}
                                    << QStringList{"front", "rear"};
    // Ranked, whatever order the pairing left them in.
    QTest::newRow("four cameras") << TripList{withChannels(item("front", 0, 3000),
                                                           {item("right_repeater", 0, 3000),
                                                            item("back", 0, 3000),
                                                            item("left_repeater", 0, 3000)})}
                                  << QStringList{"front", "back", "left_repeater", "right_repeater"};
    // A stretch without a front recording has the rear as its item: the front stays first.
    QTest::newRow("rear fills a gap")
        << TripList{withChannels(item("front", 0, 3000), {item("rear", 0, 3000)}), item("rear", 3, 3000),
                    withChannels(item("front", 6, 3000), {item("rear", 6, 3000)})}
        << QStringList{"front", "rear"};
}

void TestChannelTimeline::channelsOf()
{
    QFETCH(TripList, trip);
    QFETCH(QStringList, channels);
    QCOMPARE(ChannelTimeline::channelsOf(trip), channels);
}

void TestChannelTimeline::positions_data()
{
    QTest::addColumn<TripList>("trip");
    QTest::addColumn<qint64>("tripPosition");
    QTest::addColumn<qint64>("channelPosition");

    const TripList same{withChannels(item("front", 0, 3000), {item("rear", 0, 3000)}),
                        withChannels(item("front", 3, 3000), {item("rear", 3, 3000)})};
    QTest::newRow("same start") << same << qint64(1234) << qint64(1234);
    QTest::newRow("second file") << same << qint64(4500) << qint64(4500);
    QTest::newRow("boundary") << same << qint64(3000) << qint64(3000);
    QTest::newRow("end") << same << qint64(6000) << qint64(6000);

    // The rear's names say one second later: the same instant is one second earlier in its files,
    // and before its first file starts there is none.
    const TripList later{withChannels(item("front", 0, 3000), {item("rear", 1, 3000)}),
                         withChannels(item("front", 3, 3000), {item("rear", 4, 3000)})};
    QTest::newRow("later, before its start") << later << qint64(500) << qint64(-1);
    QTest::newRow("later, first file") << later << qint64(1500) << qint64(500);
    // Front's second file at 0.5 s is 09:00:03.5: the rear's first file, 2.5 s in.
    QTest::newRow("later, across front boundary") << later << qint64(3500) << qint64(2500);
    QTest::newRow("later, second file") << later << qint64(4500) << qint64(3500);

    // Files of different lengths: no drift from file to file.
    const TripList uneven{withChannels(item("front", 0, 2960), {item("rear", 0, 3040)}),
                          withChannels(item("front", 3, 3000), {item("rear", 3, 3000)})};
    QTest::newRow("short front") << uneven << qint64(2960 + 100) << qint64(3040 + 100);

    // The rear's pictures begin 0.4 s into its files, where the channel's player starts its clock: the
    // instant 1 s into the drive is 0.6 s on that clock.
    TripItem late0 = item("rear", 0, 3000);
    late0.pictureStart = 400;
    TripItem late1 = item("rear", 3, 3000);
    late1.pictureStart = 400;
    const TripList delayed{withChannels(item("front", 0, 3000), {late0}),
                           withChannels(item("front", 3, 3000), {late1})};
    QTest::newRow("picture start") << delayed << qint64(1000) << qint64(600);
    QTest::newRow("before the first picture") << delayed << qint64(200) << qint64(-1);
    QTest::newRow("picture start, second file") << delayed << qint64(3500) << qint64(3000 + 100);

    // Missing rear in the middle.
    const TripList missing{withChannels(item("front", 0, 3000), {item("rear", 0, 3000)}),
                           item("front", 3, 3000),
                           withChannels(item("front", 6, 3000), {item("rear", 6, 3000)})};
    QTest::newRow("gap") << missing << qint64(4000) << qint64(-1);
    QTest::newRow("after the gap") << missing << qint64(6500) << qint64(3500);
}

void TestChannelTimeline::positions()
{
    QFETCH(TripList, trip);
    QFETCH(qint64, tripPosition);
    QFETCH(qint64, channelPosition);
    const ChannelTimeline timeline(trip, QStringLiteral("rear"));
    QCOMPARE(timeline.channelPosition(tripPosition), channelPosition);
}

void TestChannelTimeline::gaps()
{
    // Rear missing for the second file and zero-length for the last one.
    TripItem empty = item("rear", 9, 0);
    const TripList trip{withChannels(item("front", 0, 3000), {item("rear", 0, 3000)}), item("front", 3, 3000),
                        withChannels(item("front", 6, 3000), {item("rear", 6, 3000)}),
                        withChannels(item("front", 9, 3000), {empty})};
    const ChannelTimeline timeline(trip, QStringLiteral("rear"));
    QCOMPARE(int(timeline.files().size()), 2);
    QVERIFY(timeline.files().front().channels.empty());

    const ChannelTimeline::Gap middle = timeline.gapAt(4000);
    QCOMPARE(middle.fromMs, at(3));
    QCOMPARE(middle.toMs, at(6));
    const ChannelTimeline::Gap end = timeline.gapAt(10000);
    QCOMPARE(end.fromMs, at(9));
    QCOMPARE(end.toMs, at(12));
    // Where a recording covers the instant there is no gap.
    QCOMPARE(timeline.gapAt(1000).toMs, qint64(0));
    QCOMPARE(timeline.instantAt(7500), at(7, 500));

    // A channel the trip does not have plays nothing.
    const ChannelTimeline none(trip, QStringLiteral("interior"));
    QVERIFY(none.isEmpty());
    QCOMPARE(none.channelPosition(1000), qint64(-1));
}

QTEST_GUILESS_MAIN(TestChannelTimeline)
#include "tst_channeltimeline.moc"
