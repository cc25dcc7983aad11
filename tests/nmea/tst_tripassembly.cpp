#include "nmeafixture.h"
#include "nmeagaps.h"
#include "nmeaparser.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QDate Day(2024, 5, 1);
constexpr double Lat = 48.7766;
constexpr double Lon = 9.1827;

// Records carry the sentences' wall-clock times, kept as UTC.
QDateTime at(int h, int m, int s, const QDate& date = Day)
{
    return QDateTime(date, QTime(h, m, s), Qt::UTC);
}

using Positions = std::vector<QNmeaPositionInfo>;
using P = QNmeaPositionInfo;

QString video(const QString& hhmmss)
{
    return QStringLiteral("/c/001_0001_20240501%1.mp4").arg(hhmmss);
}

// One record per second from 10:00:00 on a line heading north-east.
Positions track(int count)
{
    Positions v;
    for (int i = 0; i < count; ++i)
        v.emplace_back(QNmeaCoordinate(48.0 + i * 1e-4, 9.0 + i * 1e-4), at(10, 0, i));
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

class TestTripAssembly : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void emptyFilesFilledBackward();
    void holeInsideFileInterpolated();
    void holeLongerThanVideoStays();
    void holeAcrossMidnightInterpolated();
    void overlappingFilesSkipKnownSeconds();
    void lengthIsTheTripsWholeSeconds();
    void failures();
    void trailingInvalidRecordDropped();
    void assemblyLeavesParsedFilesUnchanged();
    void tripIgnoresTheTimeZone_data();
    void tripIgnoresTheTimeZone();

    // The gaps the assembly marks and fills.
    void videoGap_data();
    void videoGap();
    void shortSpeedGaps_data();
    void shortSpeedGaps();
    void accelerationInterpolated();
    void singleAccelerationEstimate_data();
    void singleAccelerationEstimate();
    void fillLongGap_data();
    void fillLongGap();

private:
    // A video starting at `start` with an NMEA file holding an RMC for each given second.
    Trip::TripItem addFile(const QTime& start, qint64 durationMs, const QList<QTime>& seconds,
                           bool event = false, const QDate& day = Day);
    QList<QTime> range(const QTime& from, int count) const;
    bool assemble(Positions& out);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::shared_ptr<Trip::TripList> m_trip;
    NmeaParser m_parser;
    int m_sequence = 0;
};

void TestTripAssembly::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_trip = std::make_shared<Trip::TripList>();
    m_sequence = 0;
}

Trip::TripItem TestTripAssembly::addFile(const QTime& start, qint64 durationMs, const QList<QTime>& seconds,
                                         bool event, const QDate& day)
{
    ++m_sequence;
    Trip::TripItem item;
    item.videoFile = m_dir->filePath(QStringLiteral("001_%1_%2.mp4")
                                         .arg(m_sequence, 4, 10, QLatin1Char('0'))
                                         .arg(QDateTime(day, start).toString("yyyyMMddhhmmss")));
    item.nmeaFile = QString(item.videoFile).replace(".mp4", ".nmea");
    item.duration = durationMs;
    item.isEvent = event;
    QStringList lines{"$GPTXT,01,01,02,ANTSTATUS=OK*3B"};
    for (const QTime& t : seconds) {
        const double offset = QTime(10, 0).secsTo(t) * 1e-4;
        lines << Fixture::rmc(t, day, Lat + offset, Lon + offset) << Fixture::gga(t, Lat, Lon, 250.0)
              << Fixture::pztrx(t, 0.25, -0.5);
    }
    Fixture::write(item.nmeaFile, lines);
    m_trip->push_back(item);
    return item;
}

QList<QTime> TestTripAssembly::range(const QTime& from, int count) const
{
    QList<QTime> times;
    for (int i = 0; i < count; ++i)
        times << from.addSecs(i);
    return times;
}

bool TestTripAssembly::assemble(Positions& out)
{
    auto paths = std::make_shared<QStringList>();
    for (const Trip::TripItem& item : *m_trip)
        *paths << item.nmeaFile;
    m_parser.requestParsing(paths);
    m_parser.doParsing();
    QSignalSpy ready(&m_parser, &NmeaParser::ready);
    const bool ok = m_parser.requestParsed(m_trip);
    if (ready.count() != (ok ? 1 : 0))
        return false;
    if (ok)
        out = *ready.first().first().value<std::shared_ptr<Positions>>();
    return ok;
}

void TestTripAssembly::emptyFilesFilledBackward()
{
    addFile(QTime(9, 58), 60000, {});
    addFile(QTime(9, 59), 60000, {});
    addFile(QTime(10, 0), 60000, range(QTime(10, 0), 60));
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(180));
    for (std::size_t i = 0; i < v.size(); ++i)
        QCOMPARE(v[i].timestamp(), at(9, 58, 0).addSecs(qint64(i)));
    // the empty files stand still at the first known position
    const auto place = [&v](std::size_t i) {
        return QPointF(v[i].coordinate().longitude(), v[i].coordinate().latitude());
    };
    QCOMPARE(place(0), place(120));
    QCOMPARE(place(119), place(120));
    QCOMPARE(v[0].fileName(), (*m_trip)[0].videoFile);
    QCOMPARE(v[60].fileName(), (*m_trip)[1].videoFile);
}

void TestTripAssembly::holeInsideFileInterpolated()
{
    QList<QTime> seconds{QTime(10, 0, 0)};
    seconds << range(QTime(10, 0, 3), 7);
    addFile(QTime(10, 0), 10000, seconds);
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(10));
    QCOMPARE(v[1].timestamp(), at(10, 0, 1));
    QCOMPARE(v[2].timestamp(), at(10, 0, 2));
    const double start = v[0].coordinate().latitude();
    const double end = v[3].coordinate().latitude();
    QVERIFY(qAbs(v[1].coordinate().latitude() - (start + (end - start) / 3)) < 1e-7);
    QVERIFY(qAbs(v[2].coordinate().latitude() - (start + 2 * (end - start) / 3)) < 1e-7);
}

void TestTripAssembly::holeLongerThanVideoStays()
{
    addFile(QTime(10, 0), 5000, {QTime(10, 0, 0), QTime(10, 0, 8)});
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(2));
    QVERIFY(v[1].marker(QNmeaPositionInfo::PositionGapEnd));
    QVERIFY(v[0].marker(QNmeaPositionInfo::PositionGapBegin));
}

void TestTripAssembly::holeAcrossMidnightInterpolated()
{
    const QDateTime before(Day, QTime(23, 59, 59));
    const QDateTime after(Day.addDays(1), QTime(0, 0, 2));
    auto map = std::make_shared<NmeaFile>();
    map->insert(before, QNmeaPositionInfo(QNmeaCoordinate(Lat, Lon), before));
    map->insert(after, QNmeaPositionInfo(QNmeaCoordinate(Lat + 0.001, Lon), after));
    NmeaParser::fillWithEstimates(map, 60);
    QCOMPARE(map->keys(), (QList<QDateTime>{before, before.addSecs(1), before.addSecs(2), after}));
}

void TestTripAssembly::overlappingFilesSkipKnownSeconds()
{
    addFile(QTime(10, 0, 0), 11000, range(QTime(10, 0, 0), 11));
    addFile(QTime(10, 0, 10), 11000, range(QTime(10, 0, 10), 11));
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(21));
    for (std::size_t i = 0; i < v.size(); ++i)
        QCOMPARE(v[i].timestamp(), at(10, 0, 0).addSecs(qint64(i)));
    QCOMPARE(v[10].fileName(), (*m_trip)[0].videoFile);
    QCOMPARE(v[11].fileName(), (*m_trip)[1].videoFile);
}

void TestTripAssembly::lengthIsTheTripsWholeSeconds()
{
    addFile(QTime(10, 0, 0), 60000, range(QTime(10, 0, 0), 65));
    addFile(QTime(10, 1, 0), 60000, range(QTime(10, 1, 0), 63));
    addFile(QTime(10, 2, 0), 30500, range(QTime(10, 2, 0), 40));
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(150));
    for (std::size_t i = 0; i < v.size(); ++i)
        QCOMPARE(v[i].timestamp(), at(10, 0, 0).addSecs(qint64(i)));
    for (const QNmeaPositionInfo& p : v) {
        QVERIFY(!p.marker(QNmeaPositionInfo::VideoGapBegin));
        QVERIFY(!p.marker(QNmeaPositionInfo::PositionGapBegin));
    }
}

void TestTripAssembly::failures()
{
    // Nothing with data in the trip: the empty file cannot be filled.
    addFile(QTime(10, 0), 10000, {});
    Positions v;
    QVERIFY(!assemble(v));

    // A file the parser has not registered.
    QSignalSpy ready(&m_parser, &NmeaParser::ready);
    auto other = std::make_shared<Trip::TripList>(*m_trip);
    other->front().nmeaFile += ".unknown";
    QVERIFY(!m_parser.requestParsed(other));
    QVERIFY(!m_parser.requestParsed(nullptr));
    QCOMPARE(ready.count(), 0);
}

void TestTripAssembly::trailingInvalidRecordDropped()
{
    Positions v;
    for (int i = 0; i < 5; ++i)
        v.emplace_back(QNmeaCoordinate(Lat, Lon), at(10, 0, i));
    v.emplace_back(QNmeaCoordinate(), at(10, 0, 5));
    NmeaParser::cutToDuration(v, 10000);
    QCOMPARE(v.size(), std::size_t(5));
    NmeaParser::cutToDuration(v, 3999);
    QCOMPARE(v.size(), std::size_t(3));

    auto map = std::make_shared<NmeaFile>();
    for (int i = 0; i < 5; ++i)
        map->insert(at(10, 0, i), QNmeaPositionInfo(QNmeaCoordinate(Lat, Lon), at(10, 0, i)));
    map->insert(at(10, 0, 5), QNmeaPositionInfo(QNmeaCoordinate(), at(10, 0, 5)));
    NmeaParser::cutToDuration(map, 6000);
    QCOMPARE(map->size(), 5);
    NmeaParser::cutToDuration(map, 2000);
    QCOMPARE(map->lastKey(), at(10, 0, 1));
}

void TestTripAssembly::assemblyLeavesParsedFilesUnchanged()
{
    addFile(QTime(10, 0, 0), 10000, range(QTime(10, 0, 0), 14));
    addFile(QTime(10, 0, 10), 10000, range(QTime(10, 0, 10), 10), true);
    const Trip::TripItem after = addFile(QTime(10, 0, 20), 10000, {});
    const Trip::TripItem last = addFile(QTime(10, 0, 30), 10000, range(QTime(10, 0, 30), 10));
    Positions whole;
    QVERIFY(assemble(whole));

    // The same files assembled again, alone and as a whole, without parsing them again.
    QSignalSpy ready(&m_parser, &NmeaParser::ready);
    QVERIFY(m_parser.requestParsed(std::make_shared<Trip::TripList>(Trip::TripList{last})));
    const Positions alone = *ready.takeFirst().first().value<std::shared_ptr<Positions>>();
    QCOMPARE(alone.size(), std::size_t(10));
    for (const QNmeaPositionInfo& position : alone) {
        QVERIFY(!position.marker(QNmeaPositionInfo::Event));
        QCOMPARE(position.fileName(), last.videoFile);
    }
    // The empty file was filled for the whole trip only: on its own it has nothing to show.
    QVERIFY(!m_parser.requestParsed(std::make_shared<Trip::TripList>(Trip::TripList{after})));

    QVERIFY(m_parser.requestParsed(m_trip));
    const Positions again = *ready.takeFirst().first().value<std::shared_ptr<Positions>>();
    QCOMPARE(again.size(), whole.size());
    for (std::size_t i = 0; i < whole.size(); ++i) {
        QCOMPARE(again[i].timestamp(), whole[i].timestamp());
        QCOMPARE(again[i].marker(QNmeaPositionInfo::Event), whole[i].marker(QNmeaPositionInfo::Event));
        QCOMPARE(again[i].fileName(), whole[i].fileName());
    }
}

void TestTripAssembly::tripIgnoresTheTimeZone_data()
{
    QTest::addColumn<QByteArray>("zone");
    QTest::newRow("unset") << QByteArray();
    QTest::newRow("UTC") << QByteArray("UTC");
    QTest::newRow("Berlin") << QByteArray("Europe/Berlin");
}

void TestTripAssembly::tripIgnoresTheTimeZone()
{
    QFETCH(QByteArray, zone);
    const Fixture::TimeZone timeZone(zone);
    // Berlin's clocks skip from 02:00 to 03:00 that night; the recordings' clock runs on, a pause
    // of an hour between two videos stays a pause of an hour, and altitudes and accelerations
    // join their second in the hour the local clock skips.
    const QDate day(2024, 3, 31);
    addFile(QTime(1, 59, 0), 60000, range(QTime(1, 59, 0), 60), false, day);
    addFile(QTime(2, 0, 0), 60000, range(QTime(2, 0, 0), 60), false, day);
    addFile(QTime(3, 1, 0), 30000, range(QTime(3, 1, 0), 30), false, day);
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(150));
    for (std::size_t i = 0; i < 120; ++i) {
        QCOMPARE(v[i].timestamp(), at(1, 59, 0, day).addSecs(qint64(i)));
        QVERIFY(qAbs(v[i].coordinate().latitude() - (Lat + (double(i) - 28860.0) * 1e-4)) < 1e-5);
        QCOMPARE(v[i].coordinate().altitude(), 250.0);
        QCOMPARE(v[i].attribute(QNmeaPositionInfo::AccelerationX), 0.25);
    }
    QCOMPARE(v[120].timestamp(), at(3, 1, 0, day));
    QVERIFY(!v[59].marker(QNmeaPositionInfo::VideoGapBegin));
    QVERIFY(v[119].marker(QNmeaPositionInfo::VideoGapBegin));
    QVERIFY(v[120].marker(QNmeaPositionInfo::VideoGapEnd));
}

void TestTripAssembly::videoGap_data()
{
    QTest::addColumn<qint64>("duration");
    QTest::addColumn<bool>("marked");
    QTest::newRow("10 s pause") << qint64(60000) << true;
    QTest::newRow("6 s pause") << qint64(64000) << true;
    QTest::newRow("exactly 5 s") << qint64(65000) << false;
}

void TestTripAssembly::videoGap()
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

void TestTripAssembly::shortSpeedGaps_data()
{
    QTest::addColumn<QString>("speeds"); // before | after the filling
    QTest::newRow("two inside") << "10 - - 16 | 10 12 14 16";
    QTest::newRow("five inside") << "0 - - - - - 6 | 0 1 2 3 4 5 6";
    QTest::newRow("six inside stay") << "0 - - - - - - 7 | 0 - - - - - - 7";
    QTest::newRow("ends") << "- - 7 8 - | 7 7 7 8 8";
    QTest::newRow("five leading") << "- - - - - 7 8 | 7 7 7 7 7 7 8";
    QTest::newRow("six leading stay") << "- - - - - - 7 | - - - - - - 7";
    QTest::newRow("six trailing stay") << "7 - - - - - - | 7 - - - - - -";
    QTest::newRow("no speed at all") << "- - - | - - -";
}

void TestTripAssembly::shortSpeedGaps()
{
    QFETCH(QString, speeds);
    const QStringList beforeAndAfter = speeds.split(QStringLiteral(" | "));
    Positions v = ::speeds(beforeAndAfter.at(0));
    Nmea::fillShortSpeedGaps(v);
    QCOMPARE(::speeds(v), beforeAndAfter.at(1));
}

void TestTripAssembly::accelerationInterpolated()
{
    Positions v = track(8);
    const auto setAcc = [&v](std::size_t i, double x, double y) {
        v[i].setAttribute(P::AccelerationX, x);
        v[i].setAttribute(P::AccelerationY, y);
    };
    setAcc(0, 0.0, 0.0);
    setAcc(2, 1.0, -1.0);
    // records 3..5 hold seconds 3, 6, 7 of the trip: a neighbour two seconds away
    v[4].setTimestamp(at(10, 0, 6));
    v[5].setTimestamp(at(10, 0, 8));
    setAcc(3, 3.0, 3.0);
    setAcc(5, 6.0, 0.0);
    setAcc(6, 0.0, 0.0);
    Nmea::fillShortAltitudeAndAccelerationGaps(v);
    // straight line at constant pace: no acceleration
    QVERIFY(qAbs(v[1].attribute(P::AccelerationX)) < 1e-6);
    QVERIFY(qAbs(v[1].attribute(P::AccelerationY)) < 1e-6);
    // dPrev 3 s, dNext 2 s: 3/5 of the way
    QVERIFY(qAbs(v[4].attribute(P::AccelerationX) - (3.0 + 3.0 * 3.0 / 5.0)) < 1e-12);
    QVERIFY(qAbs(v[4].attribute(P::AccelerationY) - (3.0 - 3.0 * 3.0 / 5.0)) < 1e-12);
    QVERIFY(!v[7].hasAttribute(P::AccelerationX)); // the last records are left alone
}

void TestTripAssembly::singleAccelerationEstimate_data()
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

void TestTripAssembly::singleAccelerationEstimate()
{
    QFETCH(double, jumpDegrees);
    QFETCH(bool, withSpeeds);
    QFETCH(bool, set);
    QFETCH(double, expectedY);
    P prev(QNmeaCoordinate(48.5, 9.5), at(10, 0, 0));
    P e(QNmeaCoordinate(48.5 + jumpDegrees, 9.5), at(10, 0, 1));
    P next(QNmeaCoordinate(48.5, 9.5), at(10, 0, 2));
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

void TestTripAssembly::fillLongGap_data()
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

void TestTripAssembly::fillLongGap()
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
    Nmea::fillLongGap(none, P(QNmeaCoordinate(), at(10, 0, 0)), to);
    QVERIFY(none.empty());
}

QTEST_GUILESS_MAIN(TestTripAssembly)
#include "tst_tripassembly.moc"
