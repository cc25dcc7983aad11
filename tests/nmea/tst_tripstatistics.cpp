#include "tripstatistics.h"

#include <QtTest>

#include <cmath>

using P = QNmeaPositionInfo;
using Track = std::vector<P>;

namespace {

constexpr double EarthRadius = 6371007.2; // metres, the mean radius distances are taken on
constexpr double Lat0 = 48.0;
constexpr double Lon0 = 11.0;
const QDateTime Start(QDate(2024, 5, 1), QTime(9, 0, 0));
const QString Ordinary = QStringLiteral("/card/Normal/001_0001_20240501090000.mp4");
const QString Ordinary2 = QStringLiteral("/card/Normal/001_0002_20240501090010.mp4");
const QString Event = QStringLiteral("/card/EVENT/001_0001_20240501090005.mp4");

double degreesNorth(double metres)
{
    return metres / EarthRadius * 180.0 / M_PI;
}

double degreesEast(double metres, double latitude)
{
    return degreesNorth(metres) / std::cos(latitude * M_PI / 180.0);
}

P record(int second, double northMetres, double eastMetres, double speed, const QString& file = Ordinary,
         bool fix = true)
{
    const double lat = Lat0 + degreesNorth(northMetres);
    P p(QNmeaCoordinate(lat, Lon0 + degreesEast(eastMetres, Lat0)), Start.addSecs(second));
    if (!std::isnan(speed))
        p.setAttribute(QGeoPositionInfo::GroundSpeed, speed);
    p.setMarker(P::Fix, fix);
    p.setFileName(file);
    return p;
}

// Northwards at a constant speed, one record a second from `first` on.
Track straight(int first, int count, double speed, double startMetres = 0.0, const QString& file = Ordinary)
{
    Track track;
    for (int i = 0; i < count; ++i)
        track.push_back(record(first + i, startMetres + i * speed, 0.0, speed, file));
    return track;
}

void append(Track& to, const Track& more)
{
    to.insert(to.end(), more.begin(), more.end());
}

} // namespace

class TestTripStatistics : public QObject
{
    Q_OBJECT

private slots:
    void straightKilometre();
    void longHolesAndPauses_data();
    void longHolesAndPauses();
    void shortHoleIsBridged();
    void stops_data();
    void stops();
    void eventSecondsCountOnce();
    void substitutesCountForNothing();
};

// 1 km due north at 10 m/s: 101 records, 100 steps of 10 m.
void TestTripStatistics::straightKilometre()
{
    const TripStatistics s = TripStatistics::fromPositions(straight(0, 101, 10.0));
    QVERIFY2(std::abs(s.distance - 1000.0) < 0.5, qPrintable(QString::number(s.distance)));
    QCOMPARE(s.drivingSeconds, qint64(101));
    QCOMPARE(s.seconds, qint64(101));
    QCOMPARE(s.maxSpeed, 10.0);
    QVERIFY(std::abs(s.averageSpeed - s.distance / 101.0) < 1e-9);
    QCOMPARE(s.stops, 0);
    QCOMPARE(s.events, 0);
}

// Two stretches of 60 s at 10 m/s, 2 km and ten minutes apart: inside one recording the car
// covered at least the straight 2 km; across a pause between videos they are bridged distance.
void TestTripStatistics::longHolesAndPauses_data()
{
    QTest::addColumn<int>("beginMarker");
    QTest::addColumn<int>("endMarker");
    QTest::addColumn<int>("bridge"); // records inside the marked gap, with a fix
    QTest::addColumn<QString>("secondFile");
    QTest::addColumn<double>("distance");
    QTest::addColumn<double>("bridged");

    QTest::newRow("position gap") << int(P::PositionGapBegin) << int(P::PositionGapEnd) << 0 << Ordinary
                                  << 3180.0 << 0.0;
    QTest::newRow("records inside a gap left out")
        << int(P::PositionGapBegin) << int(P::PositionGapEnd) << 5 << Ordinary << 3180.0 << 0.0;
    QTest::newRow("unmarked hole in one recording") << -1 << -1 << 0 << Ordinary << 3180.0 << 0.0;
    QTest::newRow("pause between videos")
        << int(P::VideoGapBegin) << int(P::VideoGapEnd) << 0 << Ordinary2 << 1180.0 << 2000.0;
    QTest::newRow("records inside a pause left out")
        << int(P::VideoGapBegin) << int(P::VideoGapEnd) << 5 << Ordinary2 << 1180.0 << 2000.0;
    QTest::newRow("long hole into the next recording") << -1 << -1 << 0 << Ordinary2 << 1180.0 << 0.0;
}

void TestTripStatistics::longHolesAndPauses()
{
    QFETCH(int, beginMarker);
    QFETCH(int, endMarker);
    QFETCH(int, bridge);
    QFETCH(QString, secondFile);

    Track track = straight(0, 60, 10.0);
    // Records that only stand in for the gap: far off and fast, so that counting them shows.
    for (int i = 0; i < bridge; ++i)
        track.push_back(record(100 + i * 100, 1000.0 + i * 200.0, 0.0, 50.0));
    append(track, straight(600, 60, 10.0, 2590.0, secondFile));
    if (beginMarker >= 0) {
        track[59].setMarker(P::Markers(beginMarker), true);
        track[60 + bridge].setMarker(P::Markers(endMarker), true);
    }
    QFETCH(double, distance);
    QFETCH(double, bridged);
    const TripStatistics s = TripStatistics::fromPositions(track);
    QVERIFY2(std::abs(s.distance - distance) < 0.5, qPrintable(QString::number(s.distance)));
    QVERIFY2(std::abs(s.bridgedDistance - bridged) < 0.5, qPrintable(QString::number(s.bridgedDistance)));
    QCOMPARE(s.toJson().value(QStringLiteral("bridgedDistanceMetres")).toDouble(), s.bridgedDistance);
    QCOMPARE(s.drivingSeconds, qint64(120));
    QCOMPARE(s.maxSpeed, 10.0);
    QCOMPARE(s.seconds, qint64(120));
}

// Three seconds without a fix inside a clip (estimates from the assembly): the distance runs
// straight across, and the speed from the fix before to the fix after.
void TestTripStatistics::shortHoleIsBridged()
{
    Track track = straight(0, 20, 10.0);
    for (int i = 8; i <= 10; ++i) {
        track[i].setMarker(P::Fix, false);
        track[i].setAttribute(QGeoPositionInfo::GroundSpeed, qQNaN());
    }
    track[11].setAttribute(QGeoPositionInfo::GroundSpeed, 2.0); // standing speed after the hole
    const TripStatistics s = TripStatistics::fromPositions(track);
    QVERIFY(std::abs(s.distance - 190.0) < 0.5);
    // 10 m/s at 7, then 8 m/s, 6 m/s, 4 m/s interpolated, 2 m/s at 11: all at least 3 km/h.
    QCOMPARE(s.drivingSeconds, qint64(20));
}

void TestTripStatistics::stops_data()
{
    // Runs of (seconds, speed in m/s), one record a second.
    QTest::addColumn<QVector<QPointF>>("runs");
    QTest::addColumn<int>("stops");
    QTest::addColumn<qint64>("driving");

    QTest::newRow("two stops") << QVector<QPointF>{{10, 10}, {6, 0}, {10, 10}, {5, 0.5}, {10, 8}} << 2
                               << qint64(30);
    QTest::newRow("4 s is no stop") << QVector<QPointF>{{10, 10}, {4, 0}, {10, 10}} << 0 << qint64(20);
    QTest::newRow("waiting before driving") << QVector<QPointF>{{30, 0}, {10, 10}} << 0 << qint64(10);
    QTest::newRow("one long stop") << QVector<QPointF>{{10, 10}, {120, 0.2}, {10, 10}} << 1 << qint64(20);
    QTest::newRow("3 km/h is driving") << QVector<QPointF>{{10, 10}, {10, 3.0 / 3.6}} << 0 << qint64(20);
    QTest::newRow("parked at the end") << QVector<QPointF>{{10, 10}, {20, 0}} << 1 << qint64(10);
}

void TestTripStatistics::stops()
{
    QFETCH(QVector<QPointF>, runs);
    Track track;
    int second = 0;
    double north = 0.0;
    for (const QPointF& run : runs) {
        for (int i = 0; i < int(run.x()); ++i, ++second) {
            track.push_back(record(second, north, 0.0, run.y()));
            north += run.y();
        }
    }
    const TripStatistics s = TripStatistics::fromPositions(track);
    QTEST(s.stops, "stops");
    QTEST(s.drivingSeconds, "driving");
}

// Ordinary clips cover 9:00:00–9:00:19; an event recording 9:00:05–9:00:14 plays between them
// on the timeline. Its seconds are already counted.
void TestTripStatistics::eventSecondsCountOnce()
{
    Track ordinaryOnly = straight(0, 10, 10.0);
    append(ordinaryOnly, straight(10, 10, 10.0, 100.0, Ordinary2));

    Track played = straight(0, 10, 10.0);
    Track event = straight(5, 10, 10.0, 50.0, Event);
    for (P& p : event)
        p.setMarker(P::Event, true);
    append(played, event);
    append(played, straight(10, 10, 10.0, 100.0, Ordinary2));

    const TripStatistics expected = TripStatistics::fromPositions(ordinaryOnly);
    const TripStatistics s = TripStatistics::fromPositions(played);
    QCOMPARE(s.seconds, qint64(20));
    QCOMPARE(s.drivingSeconds, expected.drivingSeconds);
    QVERIFY(std::abs(s.distance - expected.distance) < 1e-6);
    QVERIFY(std::abs(s.distance - 190.0) < 0.5);
    QCOMPARE(s.events, 1);

    // The trip's list decides what an event is, whatever the folder.
    Trip::TripList trip{
        {10000, false, Ordinary, {}}, {10000, true, Event, {}}, {10000, false, Ordinary2, {}}};
    const TripStatistics listed = TripStatistics::fromPositions(played, &trip);
    QCOMPARE(listed.events, 1);
    QCOMPARE(listed.seconds, qint64(20));

    // Seconds that only the event covers count.
    Track longer = played;
    append(longer, straight(20, 5, 10.0, 200.0, Event));
    QCOMPARE(TripStatistics::fromPositions(longer).seconds, qint64(25));
}

// A clip whose NMEA file was empty: the assembly gives it the neighbour's coordinate without a
// fix or speed. Those seconds add neither distance nor driving time.
void TestTripStatistics::substitutesCountForNothing()
{
    Track track = straight(0, 10, 10.0);
    for (int i = 10; i < 40; ++i)
        track.push_back(record(i, 5000.0, 0.0, qQNaN(), Ordinary2, false));
    append(track, straight(40, 10, 10.0, 5000.0, QStringLiteral("/card/Normal/001_0003_20240501090040.mp4")));
    const TripStatistics s = TripStatistics::fromPositions(track);
    QVERIFY(std::abs(s.distance - 180.0) < 0.5);
    QCOMPARE(s.drivingSeconds, qint64(20));
    QCOMPARE(s.seconds, qint64(50));
    QCOMPARE(s.stops, 0);
}

QTEST_GUILESS_MAIN(TestTripStatistics)
#include "tst_tripstatistics.moc"
