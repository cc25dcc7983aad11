#include "nmeafixture.h"
#include "nmeagaps.h"

#include <QtTest>

using P = QNmeaPositionInfo;
using Nmea::Positions;

namespace {

const QDate Day(2024, 5, 1);

QDateTime at(int secondsAfterTen)
{
    return QDateTime(Day, QTime(10, 0)).addSecs(secondsAfterTen);
}

QString video(const QString& hhmmss)
{
    return QStringLiteral("/c/001_0001_20240501%1.mp4").arg(hhmmss);
}

// One record per second from 10:00:00 on a line heading north-east.
Positions track(int count)
{
    Positions v;
    for (int i = 0; i < count; ++i)
        v.emplace_back(QNmeaCoordinate(48.0 + i * 1e-4, 9.0 + i * 1e-4), at(i));
    return v;
}

// "10 - - 16": a number sets the speed, "-" leaves it out
Positions speeds(const QString& pattern)
{
    const QStringList values = pattern.split(' ');
    Positions v = track(values.size());
    for (int i = 0; i < values.size(); ++i) {
        if (values[i] != "-")
            v[std::size_t(i)].setAttribute(P::GroundSpeed, values[i].toDouble());
    }
    return v;
}

QString speeds(const Positions& v)
{
    QStringList values;
    for (const P& p : v)
        values << (p.hasAttribute(P::GroundSpeed) ? QString::number(p.attribute(P::GroundSpeed)) : "-");
    return values.join(' ');
}

} // namespace

class TestNmeaGaps : public QObject
{
    Q_OBJECT

private slots:
    void videoGap_data();
    void videoGap();
    void videoGapIgnoresTheTimeZone_data();
    void videoGapIgnoresTheTimeZone();
    void positionGap_data();
    void positionGap();
    void shortSpeedGaps_data();
    void shortSpeedGaps();
    void altitudesNeedAccelerationData();
    void accelerationInterpolated();
    void singleAccelerationEstimate_data();
    void singleAccelerationEstimate();
    void fillLongGap_data();
    void fillLongGap();
};

void TestNmeaGaps::videoGap_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<bool>("marked");
    QTest::newRow("10 s pause") << qint64(60000) << true;
    QTest::newRow("6 s pause") << qint64(64000) << true;
    QTest::newRow("exactly 5 s") << qint64(65000) << false;
}

void TestNmeaGaps::videoGap()
{
    QFETCH(qint64, duration);
    QFETCH(bool, marked);
    auto trip = std::make_shared<Trip::TripList>();
    trip->push_back({duration, false, video("100000"), ""});
    trip->push_back({60000, false, video("100110"), ""});
    Positions v = track(3);
    v[0].setFileName(video("100000"));
    v[1].setFileName(video("100000"));
    v[2].setFileName(video("100110"));
    Nmea::detectLongGaps(v, trip);
    QCOMPARE(v[1].marker(P::VideoGapBegin), marked);
    QCOMPARE(v[2].marker(P::VideoGapEnd), marked);
    QVERIFY(!v[0].marker(P::VideoGapBegin) && !v[0].marker(P::PositionGapBegin));
    QVERIFY(!v[2].marker(P::PositionGapEnd));
}

void TestNmeaGaps::videoGapIgnoresTheTimeZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("marked");
    // Berlin's clocks skip from 02:00 to 03:00 on 2024-03-31; the names' clock does not.
    for (const QByteArray& zone : {QByteArray(), QByteArray("UTC"), QByteArray("Europe/Berlin")}) {
        const QByteArray name = zone.isEmpty() ? QByteArray("unset") : zone;
        QTest::newRow(name + ", next at 02:00:00") << zone << "20240331020000" << false;
        QTest::newRow(name + ", next at 02:30:00") << zone << "20240331023000" << true;
        QTest::newRow(name + ", next at 03:00:00") << zone << "20240331030000" << true;
    }
}

void TestNmeaGaps::videoGapIgnoresTheTimeZone()
{
    QFETCH(QByteArray, zone);
    QFETCH(QString, second);
    QFETCH(bool, marked);
    const Fixture::TimeZone timeZone(zone);
    const QString first = QStringLiteral("/c/001_0001_20240331015900.mp4");
    const QString next = QStringLiteral("/c/001_0002_%1.mp4").arg(second);
    auto trip = std::make_shared<Trip::TripList>();
    trip->push_back({60000, false, first, ""});
    trip->push_back({60000, false, next, ""});
    Positions v = track(2);
    v[0].setFileName(first);
    v[1].setFileName(next);
    Nmea::detectLongGaps(v, trip);
    QCOMPARE(v[0].marker(P::VideoGapBegin), marked);
    QCOMPARE(v[1].marker(P::VideoGapEnd), marked);
}

void TestNmeaGaps::positionGap_data()
{
    QTest::addColumn<int>("second");
    QTest::addColumn<bool>("marked");
    QTest::newRow("6 s") << 6 << true;
    QTest::newRow("5 s") << 5 << false;
}

void TestNmeaGaps::positionGap()
{
    QFETCH(int, second);
    QFETCH(bool, marked);
    Positions v = track(2);
    v[1].setTimestamp(at(second));
    for (P& p : v)
        p.setFileName(video("100000"));
    Nmea::detectLongGaps(v, nullptr);
    QCOMPARE(v[0].marker(P::PositionGapBegin), marked);
    QCOMPARE(v[1].marker(P::PositionGapEnd), marked);
    QVERIFY(!v[0].marker(P::PositionGapEnd) && !v[1].marker(P::PositionGapBegin));
}

void TestNmeaGaps::shortSpeedGaps_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::newRow("two inside") << "10 - - 16"
                                << "10 12 14 16";
    QTest::newRow("five inside") << "0 - - - - - 6"
                                 << "0 1 2 3 4 5 6";
    QTest::newRow("six inside stay") << "0 - - - - - - 7"
                                     << "0 - - - - - - 7";
    QTest::newRow("ends") << "- - 7 8 -"
                          << "7 7 7 8 8";
    QTest::newRow("five leading") << "- - - - - 7 8"
                                  << "7 7 7 7 7 7 8";
    QTest::newRow("six leading stay") << "- - - - - - 7"
                                      << "- - - - - - 7";
    QTest::newRow("six trailing stay") << "7 - - - - - -"
                                       << "7 - - - - - -";
    QTest::newRow("no speed at all") << "- - -"
                                     << "- - -";
}

void TestNmeaGaps::shortSpeedGaps()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    Positions v = speeds(before);
    Nmea::fillShortSpeedGaps(v);
    QCOMPARE(speeds(v), after);
}

void TestNmeaGaps::altitudesNeedAccelerationData()
{
    Positions v = track(6);
    for (std::size_t i : {0, 4, 5}) {
        QGeoCoordinate c = v[i].coordinate();
        c.setAltitude(100.0 + 10.0 * double(i));
        v[i].setCoordinate(c);
    }
    Positions without = v;
    Nmea::fillShortAccelerationGaps(without);
    QVERIFY(qIsNaN(without[2].coordinate().altitude()));

    v[0].setAttribute(P::AccelerationX, 0.1);
    v[0].setAttribute(P::AccelerationY, 0.2);
    Nmea::fillShortAccelerationGaps(v);
    QCOMPARE(v[1].coordinate().altitude(), 110.0);
    QCOMPARE(v[3].coordinate().altitude(), 130.0);
}

void TestNmeaGaps::accelerationInterpolated()
{
    Positions v = track(8);
    const auto setAcc = [&v](std::size_t i, double x, double y) {
        v[i].setAttribute(P::AccelerationX, x);
        v[i].setAttribute(P::AccelerationY, y);
    };
    setAcc(0, 0.0, 0.0);
    setAcc(2, 1.0, -1.0);
    // records 3..5 hold seconds 3, 6, 7 of the trip: a neighbour two seconds away
    v[4].setTimestamp(at(6));
    v[5].setTimestamp(at(8));
    setAcc(3, 3.0, 3.0);
    setAcc(5, 6.0, 0.0);
    setAcc(6, 0.0, 0.0);
    Nmea::fillShortAccelerationGaps(v);
    // straight line at constant pace: no acceleration
    QVERIFY(qAbs(v[1].attribute(P::AccelerationX)) < 1e-6);
    QVERIFY(qAbs(v[1].attribute(P::AccelerationY)) < 1e-6);
    // dPrev 3 s, dNext 2 s: 3/5 of the way
    QVERIFY(qAbs(v[4].attribute(P::AccelerationX) - (3.0 + 3.0 * 3.0 / 5.0)) < 1e-12);
    QVERIFY(qAbs(v[4].attribute(P::AccelerationY) - (3.0 - 3.0 * 3.0 / 5.0)) < 1e-12);
    QVERIFY(!v[7].hasAttribute(P::AccelerationX)); // the last records are left alone
}

void TestNmeaGaps::singleAccelerationEstimate_data()
{
    QTest::addColumn<double>("jumpDegrees");
    QTest::addColumn<bool>("withSpeeds");
    QTest::addColumn<bool>("set");
    QTest::addColumn<double>("expectedY");
    // A latitude detour of d degrees gives a second difference of -2d degrees (about 111 km each).
    QTest::newRow("plausible") << 0.0001 << false << true << -2 * 0.0001 * 111132.9;
    QTest::newRow("implausible, long jump") << 0.01 << true << false << 0.0;
    QTest::newRow("implausible, speed change smaller") << 0.0005 << true << true << 2.0;
    QTest::newRow("implausible, no speed") << 0.0005 << false << false << 0.0;
}

void TestNmeaGaps::singleAccelerationEstimate()
{
    QFETCH(double, jumpDegrees);
    QFETCH(bool, withSpeeds);
    QFETCH(bool, set);
    QFETCH(double, expectedY);
    P prev(QNmeaCoordinate(48.5, 9.5), at(0));
    P e(QNmeaCoordinate(48.5 + jumpDegrees, 9.5), at(1));
    P next(QNmeaCoordinate(48.5, 9.5), at(2));
    if (withSpeeds) {
        prev.setAttribute(P::GroundSpeed, 10.0);
        e.setAttribute(P::GroundSpeed, 12.0);
    }
    Nmea::fillSingleAccelerationsGap(e, prev, next);
    QCOMPARE(e.attribute(P::AccelerationX), 0.0);
    QCOMPARE(e.hasAttribute(P::AccelerationY), set);
    if (set)
        QVERIFY2(qAbs(e.attribute(P::AccelerationY) - expectedY) < 0.1 * qAbs(expectedY),
                 qPrintable(QString::number(e.attribute(P::AccelerationY))));
}

void TestNmeaGaps::fillLongGap_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<qint64>("count");
    QTest::newRow("5 s") << qint64(5) << qint64(0);
    QTest::newRow("5.5 s rounds up") << qint64(-6) << qint64(5);
    QTest::newRow("10 s") << qint64(10) << qint64(9);
    QTest::newRow("an hour") << qint64(3600) << qint64(3599);
    // A damaged clock: a record for each second could exhaust the memory.
    QTest::newRow("an hour and a second") << qint64(3601) << qint64(0);
    QTest::newRow("99 years") << qint64(99) * 365 * 24 * 3600 << qint64(0);
}

void TestNmeaGaps::fillLongGap()
{
    QFETCH(qint64, seconds);
    QFETCH(qint64, count);
    const QDateTime start(Day, QTime(10, 0), Qt::UTC);
    const P from(QNmeaCoordinate(QGeoCoordinate(48.0, 9.0, 100.0)), start);
    P to(QNmeaCoordinate(QGeoCoordinate(48.0, 9.1, 210.0)), start.addSecs(qAbs(seconds)));
    if (seconds < 0)
        to.setTimestamp(start.addSecs(-seconds).addMSecs(-500));
    Positions out;
    Nmea::fillLongGap(out, from, to);
    QCOMPARE(qint64(out.size()), count);
    const double distance = from.coordinate().distanceTo(to.coordinate());
    for (int i = 1; i <= int(out.size()); ++i) {
        const P& p = out[std::size_t(i - 1)];
        const double share = double(i) / double(qAbs(seconds) + 1);
        QCOMPARE(p.timestamp(), start.addSecs(i));
        QVERIFY(qAbs(from.coordinate().distanceTo(p.coordinate()) - distance * share) < 0.01);
        QVERIFY(qAbs(p.coordinate().altitude() - (100.0 + 110.0 * share)) < 1e-9);
    }

    Positions none;
    Nmea::fillLongGap(none, P(QNmeaCoordinate(), at(0)), to);
    QVERIFY(none.empty());
}

QTEST_GUILESS_MAIN(TestNmeaGaps)
#include "tst_nmeagaps.moc"
