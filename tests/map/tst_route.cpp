#include "imagepoint.h"
#include "linestring.h"
#include "mapwidgetconfig.h"
#include "nmeagaps.h"
#include "route.h"
#include "routefixture.h"

#include <QPointer>
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

// "active[0..11] inactive[12..59]": each track's pen and the records of its
// points.
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
        for (const Point* point : *track.points) {
            const int index = RouteFixture::indexOf(point->longitude());
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

// The route of a trip at a playing second: its tracks in their pens, the filled
// long gaps and the three markers.
class TestRoute : public QObject
{
    Q_OBJECT

private slots:
    void tracksAtSecond_data()
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
        QTest::newRow("no fix ahead")
            << lost << 0u << "active[0..1] inactive[2..9] lostInactive[10..15] inactive[14..59]";
        QTest::newRow("no fix, partly driven") << lost << 12u
                                               << "active[0..9] lostActive[10..13] lostInactive[12..15] "
                                                  "inactive[14..59]";

        const Setup lostEvent = [](auto& v) {
            mark(v, 20, 29, QNmeaPositionInfo::Event, true);
            mark(v, 20, 24, QNmeaPositionInfo::Fix, false);
        };
        QTest::newRow("event without fix") << lostEvent << 0u
                                           << "active[0..1] inactive[2..19] lostEvent[20..25] event[25..29] "
                                              "inactive[30..59]";

        const Setup videoGap = [](auto& v) {
            v[29].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
            v[30].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
        };
        QTest::newRow("pause between videos") << videoGap << 59u << "active[0..29,31..59]";
    }

    void tracksAtSecond()
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

    void longPositionGaps()
    {
        // 30 records, a hole of some seconds, 30 more further along the same line:
        // above 5 s the hole gets a dot a second between its two sides, and the
        // line runs on across it.
        for (const auto& [gapSeconds, filled] : {std::pair{5, 0}, {6, 5}, {12, 11}}) {
            auto positions = RouteFixture::line(60);
            for (int i = 30; i < 60; ++i)
                (*positions)[std::size_t(i)].setTimestamp(RouteFixture::start().addSecs(i - 1 + gapSeconds));
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
                QCOMPARE(track.points->size(), 1);
                const double longitude = track.points->first()->longitude();
                QVERIFY(longitude > (*positions)[29].coordinate().longitude() &&
                        longitude < (*positions)[30].coordinate().longitude());
            }
            QCOMPARE(dots, filled);
            QCOMPARE(describe(line), QStringLiteral("active[0..59]"));
        }
    }

    void markers_data()
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
        QTest::newRow("second beyond the last valid record")
            << invalidate(50, 59) << 55u << "Beginning@0 End@49";
        QTest::newRow("second beyond the trip") << invalidate(1, 0) << 60u << "Beginning@0 End@59";
        QTest::newRow("no valid coordinate") << invalidate(0, 59) << 10u << "";
    }

    void markers()
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
        for (const std::shared_ptr<Point>& marker : markers) {
            found << marker->name() + '@' + QString::number(RouteFixture::indexOf(marker->longitude()));
            // The pins stand on their place, the vehicle's spot is centred on it.
            QCOMPARE(marker->alignment(), marker->name() == "Vehicle" ? Point::Middle : Point::BottomMiddle);
        }
        QCOMPARE(found.join(' '), expected);
    }

    void linesOwnTheirPoints()
    {
        const Positions positions = RouteFixture::line(30);
        mark(*positions, 10, 14, QNmeaPositionInfo::Fix, false);
        Route route(nullptr, positions);
        std::vector<std::shared_ptr<LineString>> lines;
        route.setRoutes(lines, 20);
        QCOMPARE(int(lines.size()), 4);

        QList<QPointer<Point>> points;
        for (const std::shared_ptr<LineString>& line : lines) {
            QVERIFY(line->name().isEmpty());
            for (Point* point : line->points()) {
                QCOMPARE(point->parent(), line.get());
                QCOMPARE(point->name(),
                         (*positions)[std::size_t(RouteFixture::indexOf(point->longitude()))].tooltip());
                points << point;
            }
        }
        QCOMPARE(lines[0]->pen(), MapWidgetConfig::activeRoutePen);
        QCOMPARE(lines[1]->pen().style(), Qt::DotLine);
        lines.clear();
        for (const QPointer<Point>& point : points)
            QVERIFY(point.isNull());
    }

    void nothingWithoutPositions()
    {
        Route route(nullptr, std::make_shared<std::vector<QNmeaPositionInfo>>());
        std::vector<Route::Track> tracks;
        QVERIFY(!route.test(tracks, 0) && tracks.empty());
        std::vector<std::shared_ptr<Point>> markers;
        route.setMarkers(markers, 0);
        QVERIFY(markers.empty());
    }
};

QTEST_MAIN(TestRoute)
#include "tst_route.moc"
