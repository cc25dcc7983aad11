#include "imagepoint.h"
#include "mapwidgetconfig.h"
#include "nmeagaps.h"
#include "route.h"
#include "routefixture.h"

#include <QtTest>

#include <functional>

using namespace qmapcontrol;
using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;
using Setup = std::function<void(std::vector<QNmeaPositionInfo>&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

QString penName(const QPen* pen)
{
    const std::vector<std::pair<const QPen*, const char*>> names{
        {&MapWidgetConfig::activeRoutePen, "active"},
        {&MapWidgetConfig::inactiveRoutePen, "inactive"},
        {&MapWidgetConfig::eventRoutePen, "event"},
        {&MapWidgetConfig::lostActiveRoutePen, "lostActive"},
        {&MapWidgetConfig::lostInactiveRoutePen, "lostInactive"},
        {&MapWidgetConfig::lostRoutePen, "lostEvent"},
        {&MapWidgetConfig::longNmeaGapPen, "gap"},
    };
    for (const auto& [candidate, name] : names) {
        if (candidate == pen)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("?");
}

// "active[0..11] inactive[12..59]": each track's pen and the records of its points.
QString describe(const std::vector<Route::Track>& tracks)
{
    QStringList parts;
    for (const Route::Track& track : tracks) {
        QStringList runs;
        int first = -1;
        int last = -1;
        const auto close = [&] {
            if (first >= 0)
                runs << (first == last ? QString::number(first)
                                       : QStringLiteral("%1..%2").arg(first).arg(last));
        };
        for (const QPointF& point : track.points) {
            const int index = RouteFixture::indexOf(point.x());
            if (first >= 0 && index == last + 1) {
                last = index;
                continue;
            }
            close();
            first = last = index;
        }
        close();
        parts << penName(track.pen) + '[' + runs.join(',') + ']';
    }
    return parts.join(' ');
}

void mark(std::vector<QNmeaPositionInfo>& v, int from, int to, QNmeaPositionInfo::Markers marker, bool value)
{
    for (int i = from; i <= to; ++i)
        v[std::size_t(i)].setMarker(marker, value);
}

} // namespace

class TestRoute : public QObject
{
    Q_OBJECT

private slots:
    void tracksAtSecond_data();
    void tracksAtSecond();
    void longPositionGaps_data();
    void longPositionGaps();
    void markers_data();
    void markers();
    void markerLook();
    void nothingWithoutPositions();
    void filledPointsKeepTheirPlace();
    void everyRecordInItsColourAtEverySecond();
    void eventOnlyWhereAnEventRecordingCovers_data();
    void eventOnlyWhereAnEventRecordingCovers();
};

void TestRoute::tracksAtSecond_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<unsigned>("current");
    QTest::addColumn<QString>("expected");

    const Setup none = [](std::vector<QNmeaPositionInfo>&) {};
    QTest::newRow("all fix, second 10") << none << 10u << "active[0..11] inactive[12..59]";
    QTest::newRow("all fix, second 0") << none << 0u << "active[0..1] inactive[2..59]";
    QTest::newRow("last second") << none << 59u << "active[0..59]";
    QTest::newRow("beyond the end") << none << 500u << "active[0..59]";

    const Setup event = [](auto& v) { mark(v, 20, 29, QNmeaPositionInfo::Event, true); };
    QTest::newRow("event, before it")
        << event << 0u << "active[0..1] inactive[2..19] event[20..29] inactive[30..59]";
    QTest::newRow("event, inside it") << event << 25u << "active[0..19] event[20..29] inactive[30..59]";
    QTest::newRow("event, after it") << event << 59u << "active[0..19] event[20..29] active[30..59]";

    const Setup lost = [](auto& v) { mark(v, 10, 14, QNmeaPositionInfo::Fix, false); };
    QTest::newRow("no fix ahead") << lost << 0u
                                  << "active[0..1] inactive[2..9] lostInactive[10..15] inactive[14..59]";
    QTest::newRow("no fix, partly driven")
        << lost << 12u << "active[0..9] lostActive[10..13] lostInactive[12..15] inactive[14..59]";

    const Setup lostEvent = [](auto& v) {
        mark(v, 20, 29, QNmeaPositionInfo::Event, true);
        mark(v, 20, 24, QNmeaPositionInfo::Fix, false);
    };
    QTest::newRow("event without fix")
        << lostEvent << 0u << "active[0..1] inactive[2..19] lostEvent[20..25] event[25..29] inactive[30..59]";

    const Setup videoGap = [](auto& v) {
        v[29].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
        v[30].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
    };
    QTest::newRow("pause between videos") << videoGap << 59u << "active[0..29,31..59]";
    QTest::newRow("pause between videos, driven up to it")
        << videoGap << 28u << "active[0..29] inactive[31..59]";

    const Setup lostStart = [](auto& v) { mark(v, 0, 4, QNmeaPositionInfo::Fix, false); };
    QTest::newRow("no fix at the start, second 0") << lostStart << 0u << "lostInactive[0..5] inactive[4..59]";
    QTest::newRow("no fix at the start, second 1")
        << lostStart << 1u << "lostActive[0..2] lostInactive[1..5] inactive[4..59]";
}

namespace {

// "active gap×11 inactive": the pens in drawing order, repeats counted.
QString penSequence(const std::vector<Route::Track>& tracks)
{
    QStringList names;
    int repeats = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        ++repeats;
        if (i + 1 < tracks.size() && tracks[i + 1].pen == tracks[i].pen)
            continue;
        names << penName(tracks[i].pen) + (repeats > 1 ? QStringLiteral("×%1").arg(repeats) : QString());
        repeats = 0;
    }
    return names.join(' ');
}

} // namespace

void TestRoute::tracksAtSecond()
{
    QFETCH(Setup, setup);
    QFETCH(unsigned, current);
    QFETCH(QString, expected);

    const Positions positions = RouteFixture::line(60);
    setup(*positions);
    Route route(nullptr, positions);
    std::vector<Route::Track> tracks;
    QVERIFY(route.test(tracks, current));
    QCOMPARE(describe(tracks), expected);
}

void TestRoute::longPositionGaps_data()
{
    QTest::addColumn<int>("gapSeconds");
    QTest::addColumn<int>("filled");

    QTest::newRow("4 s") << 4 << 0;
    QTest::newRow("5 s") << 5 << 0;
    QTest::newRow("6 s") << 6 << 5;
    QTest::newRow("12 s") << 12 << 11;
}

void TestRoute::longPositionGaps()
{
    QFETCH(int, gapSeconds);
    QFETCH(int, filled);

    // 30 records, a hole of gapSeconds, 30 more further along the same line.
    auto positions = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < 30; ++i)
        positions->push_back(RouteFixture::record(i));
    for (int i = 0; i < 30; ++i) {
        QNmeaPositionInfo r = RouteFixture::record(30 + i);
        r.setTimestamp(RouteFixture::start().addSecs(29 + gapSeconds + i));
        positions->push_back(r);
    }
    Nmea::detectLongGaps(*positions, nullptr);

    Route route(nullptr, positions);
    std::vector<Route::Track> tracks;
    QVERIFY(route.test(tracks, 59));

    int dots = 0;
    std::vector<Route::Track> line;
    for (const Route::Track& track : tracks) {
        if (track.pen != &MapWidgetConfig::longNmeaGapPen) {
            line.push_back(track);
            continue;
        }
        ++dots;
        QCOMPARE(int(track.points.size()), 1);
        const double longitude = track.points.front().x();
        QVERIFY2(longitude > (*positions)[29].coordinate().longitude() &&
                     longitude < (*positions)[30].coordinate().longitude(),
                 "a filled point lies between the two sides of the gap");
    }
    QCOMPARE(dots, filled);
    // The line itself runs on across the gap.
    QCOMPARE(describe(line), QStringLiteral("active[0..59]"));
}

void TestRoute::markers_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<unsigned>("current");
    QTest::addColumn<QString>("expected");

    const auto invalidate = [](int from, int to) {
        return Setup([from, to](std::vector<QNmeaPositionInfo>& v) {
            for (int i = from; i <= to; ++i)
                v[std::size_t(i)] = RouteFixture::invalid(i);
        });
    };
    QTest::newRow("all valid") << invalidate(1, 0) << 10u << "Beginning@0 End@59 Vehicle@10";
    QTest::newRow("vehicle at the start") << invalidate(1, 0) << 0u << "Beginning@0 End@59 Vehicle@0";
    QTest::newRow("invalid start") << invalidate(0, 4) << 0u << "Beginning@5 End@59 Vehicle@5";
    QTest::newRow("invalid stretch under the vehicle")
        << invalidate(40, 49) << 45u << "Beginning@0 End@59 Vehicle@50";
    QTest::newRow("second beyond the last valid record") << invalidate(50, 59) << 55u << "Beginning@0 End@49";
    QTest::newRow("second beyond the trip") << invalidate(1, 0) << 60u << "Beginning@0 End@59";
    QTest::newRow("no valid coordinate") << invalidate(0, 59) << 10u << "";
}

void TestRoute::markers()
{
    QFETCH(Setup, setup);
    QFETCH(unsigned, current);
    QFETCH(QString, expected);

    const Positions positions = RouteFixture::line(60);
    setup(*positions);
    Route route(nullptr, positions);
    std::vector<std::shared_ptr<Point>> markers;
    route.setMarkers(markers, current);

    QStringList found;
    for (const std::shared_ptr<Point>& marker : markers)
        found << QStringLiteral("%1@%2").arg(marker->name()).arg(RouteFixture::indexOf(marker->longitude()));
    QCOMPARE(found.join(' '), expected);
}

void TestRoute::markerLook()
{
    Route route(nullptr, RouteFixture::line(10));
    std::shared_ptr<Point> marker;
    QVERIFY(route.createMarker(marker, Route::Beginning, 0));
    QCOMPARE(marker->alignment(), Point::BottomMiddle);
    QVERIFY(!marker->pixmap().isNull());
    QCOMPARE(std::max(marker->pixmap().width(), marker->pixmap().height()), 32);
    QVERIFY(route.createMarker(marker, Route::End, 0));
    QCOMPARE(marker->alignment(), Point::BottomMiddle);
    QVERIFY(route.createMarker(marker, Route::Vehicle, 3));
    QCOMPARE(marker->alignment(), Point::Middle);
    QCOMPARE(std::max(marker->pixmap().width(), marker->pixmap().height()), 24);
    QCOMPARE(marker->latitude(), RouteFixture::record(3).coordinate().latitude());
}

void TestRoute::nothingWithoutPositions()
{
    Route route(nullptr, std::make_shared<std::vector<QNmeaPositionInfo>>());
    std::vector<Route::Track> tracks;
    QVERIFY(!route.test(tracks, 0));
    QVERIFY(tracks.empty());
    std::vector<std::shared_ptr<Point>> markers;
    route.setMarkers(markers, 0);
    QVERIFY(markers.empty());
}

void TestRoute::filledPointsKeepTheirPlace()
{
    // 30 records, 12 s without positions, 30 more: the points filled into the gap are drawn
    // between the driven part and the part ahead when the gap lies between them, so the
    // half-transparent strokes overlap the same way whatever the second.
    auto positions = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < 60; ++i) {
        QNmeaPositionInfo r = RouteFixture::record(i);
        r.setTimestamp(RouteFixture::start().addSecs(i < 30 ? i : i + 11));
        positions->push_back(r);
    }
    Nmea::detectLongGaps(*positions, nullptr);
    Route route(nullptr, positions);

    const std::vector<std::pair<unsigned, QString>> expected{{10, "active gap×11 inactive"},
                                                             {28, "gap×11 active inactive"},
                                                             {40, "gap×11 active inactive"},
                                                             {59, "gap×11 active"}};
    for (const auto& [current, sequence] : expected) {
        std::vector<Route::Track> tracks;
        QVERIFY(route.test(tracks, current));
        QCOMPARE(penSequence(tracks), sequence);
    }
}

void TestRoute::everyRecordInItsColourAtEverySecond()
{
    // A trip with a bit of everything; whatever the second, each record's point is drawn with
    // the pen of its kind at that second.
    const Positions positions = RouteFixture::line(60);
    mark(*positions, 5, 8, QNmeaPositionInfo::Fix, false);
    mark(*positions, 20, 27, QNmeaPositionInfo::Event, true);
    mark(*positions, 24, 25, QNmeaPositionInfo::Fix, false);
    mark(*positions, 40, 41, QNmeaPositionInfo::Fix, false);
    (*positions)[33].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
    (*positions)[34].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
    (*positions)[50] = RouteFixture::invalid(50);
    Route route(nullptr, positions);

    for (unsigned current = 0; current <= 61; ++current) {
        std::vector<Route::Track> tracks;
        QVERIFY(route.test(tracks, current));
        for (std::size_t i = 0; i < positions->size(); ++i) {
            if (i == 34 || i == 50)
                continue; // left out of the line, or without a position
            const QPointF point(RouteFixture::record(int(i)).coordinate().longitude(),
                                RouteFixture::record(int(i)).coordinate().latitude());
            const QPen* pen = Route::penOf(route.typeAt(i, current));
            const bool drawn = std::any_of(tracks.begin(), tracks.end(), [&](const Route::Track& track) {
                return track.pen == pen &&
                       std::find(track.points.begin(), track.points.end(), point) != track.points.end();
            });
            QVERIFY2(drawn, qPrintable(QStringLiteral("record %1 at second %2").arg(i).arg(current)));
        }
    }
}

void TestRoute::eventOnlyWhereAnEventRecordingCovers_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QList<int>>("firstRecords");
    QTest::addColumn<QList<int>>("startSeconds");
    QTest::addColumn<QString>("expected");

    // Ordinary recordings of 10:00:00 and 10:00:20, an event recording of 10:00:14 between
    // them as the trip plays them; the assembly marks the event and everything of the
    // recording after it.
    const QString a = "/card/Normal/001_0001_20240301100000.mp4";
    const QString e = "/card/EVENT/001_0001_20240301100014.mp4";
    const QString b = "/card/Normal/001_0002_20240301100020.mp4";
    QTest::newRow("recording after an event")
        << QStringList{a, e, b} << QList<int>{0, 20, 30} << QList<int>{0, 14, 20}
        << "active[0..1] inactive[2..19] event[20..33] inactive[34..59]";
    const QString e2 = "/card/EVENT/001_0002_20240301100024.mp4";
    QTest::newRow("two events in a row")
        << QStringList{a, e, e2, b} << QList<int>{0, 20, 30, 40} << QList<int>{0, 14, 24, 30}
        << "active[0..1] inactive[2..19] event[20..43] inactive[44..59]";
    QTest::newRow("recording after the event's end")
        << QStringList{a, e, b} << QList<int>{0, 20, 30} << QList<int>{0, 14, 24}
        << "active[0..1] inactive[2..19] event[20..29] inactive[30..59]";
}

void TestRoute::eventOnlyWhereAnEventRecordingCovers()
{
    QFETCH(QStringList, files);
    QFETCH(QList<int>, firstRecords);
    QFETCH(QList<int>, startSeconds);
    QFETCH(QString, expected);

    const Positions positions = RouteFixture::line(60);
    for (int f = 0; f < files.size(); ++f) {
        const int end = f + 1 < files.size() ? firstRecords[f + 1] : 60;
        for (int i = firstRecords[f]; i < end; ++i) {
            QNmeaPositionInfo& r = (*positions)[std::size_t(i)];
            r.setFileName(files[f]);
            r.setTimestamp(RouteFixture::start().addSecs(startSeconds[f] + i - firstRecords[f]));
            r.setMarker(QNmeaPositionInfo::Event, f > 0 && files[f - 1].contains("EVENT"));
            if (files[f].contains("EVENT"))
                r.setMarker(QNmeaPositionInfo::Event, true);
        }
    }
    Route route(nullptr, positions);
    std::vector<Route::Track> tracks;
    QVERIFY(route.test(tracks, 0));
    QCOMPARE(describe(tracks), expected);
    // Whatever the second, the event stays where it is.
    tracks.clear();
    QVERIFY(route.test(tracks, 59));
    QCOMPARE(describe(tracks).count("event["), 1);
}

QTEST_MAIN(TestRoute)
#include "tst_route.moc"
