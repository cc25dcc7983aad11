#include "nmeafixture.h"
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

} // namespace

class TestTripAssembly : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void oneVideoIsCutToItsLength();
    void emptyFilesFilledBackward();
    void emptyFileFilledForward();
    void holeInsideFileInterpolated();
    void holeLongerThanVideoStays();
    void holeAcrossMidnightInterpolated();
    void eventMarksItsFileAndTheNext();
    void overlappingFilesSkipKnownSeconds();
    void lengthIsTheTripsWholeSeconds();
    void failures();
    void trailingInvalidRecordDropped();
    void assemblyLeavesParsedFilesUnchanged();
    void tripIgnoresTheTimeZone_data();
    void tripIgnoresTheTimeZone();

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
        lines << Fixture::rmc(t, day, Lat + offset, Lon + offset);
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

void TestTripAssembly::oneVideoIsCutToItsLength()
{
    addFile(QTime(10, 0), 65000, range(QTime(10, 0), 70));
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(65));
    QCOMPARE(v.front().timestamp(), at(10, 0, 0));
    QCOMPARE(v.back().timestamp(), at(10, 1, 4));
    QCOMPARE(v.back().fileName(), m_trip->front().videoFile);
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
    QCOMPARE(v[0].coordinate(), v[120].coordinate());
    QCOMPARE(v[119].coordinate(), v[120].coordinate());
    QCOMPARE(v[0].fileName(), (*m_trip)[0].videoFile);
    QCOMPARE(v[60].fileName(), (*m_trip)[1].videoFile);
}

void TestTripAssembly::emptyFileFilledForward()
{
    addFile(QTime(10, 4, 1), 60000, range(QTime(10, 4, 1), 60));
    addFile(QTime(10, 5, 1), 30000, {});
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(90));
    QCOMPARE(v[59].timestamp(), at(10, 5, 0));
    QCOMPARE(v[60].timestamp(), at(10, 5, 1));
    QCOMPARE(v[89].timestamp(), at(10, 5, 30));
    QCOMPARE(v[89].coordinate().latitude(), v[59].coordinate().latitude());
    QCOMPARE(v[89].coordinate().longitude(), v[59].coordinate().longitude());
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

void TestTripAssembly::eventMarksItsFileAndTheNext()
{
    addFile(QTime(10, 0, 0), 10000, range(QTime(10, 0, 0), 10));
    addFile(QTime(10, 0, 10), 10000, range(QTime(10, 0, 10), 10), true);
    addFile(QTime(10, 0, 20), 10000, range(QTime(10, 0, 20), 10));
    addFile(QTime(10, 0, 30), 10000, range(QTime(10, 0, 30), 10));
    Positions v;
    QVERIFY(assemble(v));
    QCOMPARE(v.size(), std::size_t(40));
    for (std::size_t i = 0; i < v.size(); ++i)
        QCOMPARE(v[i].marker(QNmeaPositionInfo::Event), i >= 10 && i < 30);
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
    // Berlin's clocks skip from 02:00 to 03:00 that night; the recordings' clock runs on, and a
    // pause of an hour between two videos stays a pause of an hour.
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
    }
    QCOMPARE(v[120].timestamp(), at(3, 1, 0, day));
    QVERIFY(!v[59].marker(QNmeaPositionInfo::VideoGapBegin));
    QVERIFY(v[119].marker(QNmeaPositionInfo::VideoGapBegin));
    QVERIFY(v[120].marker(QNmeaPositionInfo::VideoGapEnd));
}

QTEST_GUILESS_MAIN(TestTripAssembly)
#include "tst_tripassembly.moc"
