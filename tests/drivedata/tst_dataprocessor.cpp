#include "../nmea/nmeafixture.h"
#include "dataprocessor.h"
#include "nmeaparser.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <cmath>

using P = QNmeaPositionInfo;
using Samples = std::shared_ptr<std::vector<DataPoint>>;
using Positions = std::shared_ptr<std::vector<P>>;

namespace {

P position(double lat, double lon)
{
    return P(QNmeaCoordinate(lat, lon), QDateTime(QDate(2021, 5, 4), QTime(10, 0, 0)));
}

Samples processed(DataProcessor& processor, Positions input)
{
    QSignalSpy spy(&processor, &DataProcessor::trip_data_processed);
    processor.process_trip_data(std::move(input));
    if (spy.count() != 1) {
        qFatal("trip_data_processed emitted %d times", spy.count());
    }
    return spy.at(0).at(0).value<Samples>();
}

} // namespace

class SampleSink : public QObject
{
    Q_OBJECT
public:
    Samples received;
    int calls = 0;

public slots:
    void take(std::shared_ptr<std::vector<DataPoint>> samples)
    {
        received = std::move(samples);
        ++calls;
    }
};

class TestDataProcessor : public QObject
{
    Q_OBJECT

private slots:
    void nullInputEmitsNull();
    void emptyInputGivesEmptyVector();
    void absentValues_data();
    void absentValues();
    void timelineAndTexts();
    void travelsQueuedByRegisteredName();

    // Seconds the assembly fills without data.
    void filledSecondsAreNotMeasured();
};

void TestDataProcessor::nullInputEmitsNull()
{
    DataProcessor processor;
    QVERIFY(!processed(processor, nullptr));
}

void TestDataProcessor::emptyInputGivesEmptyVector()
{
    DataProcessor processor;
    const Samples samples = processed(processor, std::make_shared<std::vector<P>>());
    QVERIFY(samples);
    QVERIFY(samples->empty());
}

void TestDataProcessor::absentValues_data()
{
    const double nan = std::nan("");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("accX");
    QTest::addColumn<double>("accY");
    QTest::addColumn<double>("direction");
    QTest::addColumn<double>("expSpeed");
    QTest::addColumn<double>("expX");
    QTest::addColumn<double>("expY");
    QTest::addColumn<bool>("expValid");
    QTest::addColumn<double>("expDirection");

    QTest::newRow("all recorded") << 12.5 << -0.25 << 0.75 << 270.0 << 12.5 << -0.25 << 0.75 << true << 270.0;
    QTest::newRow("Y absent") << 3.0 << 1.5 << nan << 10.0 << 3.0 << 1.5 << 0.0 << false << 10.0;
    QTest::newRow("X absent") << 3.0 << nan << -1.5 << 10.0 << 3.0 << 0.0 << -1.5 << false << 10.0;
    QTest::newRow("nothing recorded") << nan << nan << nan << nan << 0.0 << 0.0 << 0.0 << false << 0.0;
    QTest::newRow("zero accelerations are values")
        << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << true << 0.0;
}

void TestDataProcessor::absentValues()
{
    QFETCH(double, speed);
    QFETCH(double, accX);
    QFETCH(double, accY);
    QFETCH(double, direction);

    P p = position(48.5, 9.25);
    // NaN is what the record holds for a value whose text did not parse.
    p.setAttribute(QGeoPositionInfo::GroundSpeed, speed);
    p.setAttribute(P::AccelerationX, accX);
    p.setAttribute(P::AccelerationY, accY);
    p.setAttribute(QGeoPositionInfo::Direction, direction);

    DataProcessor processor;
    const Samples samples = processed(processor, std::make_shared<std::vector<P>>(1, p));
    QCOMPARE(samples->size(), std::size_t(1));
    const DataPoint& s = samples->front();
    QTEST(s.speed, "expSpeed");
    QTEST(s.accelerationX, "expX");
    QTEST(s.accelerationY, "expY");
    QTEST(s.accelerationValid, "expValid");
    QTEST(s.direction, "expDirection");
}

void TestDataProcessor::timelineAndTexts()
{
    auto positions = std::make_shared<std::vector<P>>();
    for (int i = 0; i < 61; ++i) {
        P p = position(48.0 + i * 0.001, -9.0);
        p.setMarker(P::Fix, i % 2 == 0);
        positions->push_back(p);
    }
    // A position the receiver never had: no coordinate, no fix.
    positions->push_back(P());

    DataProcessor processor;
    const Samples samples = processed(processor, positions);
    QCOMPARE(samples->size(), positions->size());
    QCOMPARE(samples->at(0).time, qint64(0));
    QCOMPARE(samples->at(1).time, qint64(1000));
    QCOMPARE(samples->at(60).time, qint64(60000));
    for (std::size_t i = 0; i < samples->size(); ++i) {
        const DataPoint& s = samples->at(i);
        QCOMPARE(s.fix, positions->at(i).marker(P::Fix));
        if (i + 1 < samples->size()) {
            QCOMPARE(s.latitude, positions->at(i).coordinate().latitude());
            QCOMPARE(s.longitude, positions->at(i).coordinate().longitude());
        }
    }
    QVERIFY(std::isnan(samples->back().latitude));
    QVERIFY(std::isnan(samples->back().longitude));
}

// The main window connects by signature text through the event loop; that only works when the
// shared vector is known under its normalised name.
void TestDataProcessor::travelsQueuedByRegisteredName()
{
    DataProcessor sender;
    DataPoint::registerMetaTypes();
    DataPoint::registerMetaTypes();
    QVERIFY(QMetaType::type("std::shared_ptr<std::vector<DataPoint> >") != QMetaType::UnknownType);

    SampleSink sink;
    QVERIFY(QObject::connect(&sender, SIGNAL(trip_data_processed(std::shared_ptr<std::vector<DataPoint>>)),
                             &sink, SLOT(take(std::shared_ptr<std::vector<DataPoint>>)),
                             Qt::QueuedConnection));

    sender.process_trip_data(std::make_shared<std::vector<P>>(3, position(1.0, 2.0)));
    QCOMPARE(sink.calls, 0);
    QTRY_COMPARE(sink.calls, 1);
    QVERIFY(sink.received);
    QCOMPARE(sink.received->size(), std::size_t(3));
}

// Three 10-second clips: the first with a 4-second hole, the second with an empty NMEA file,
// the third with data. The assembly gives every second a record; only the recorded ones are
// measured, and the empty clip borrows nothing from the third.
void TestDataProcessor::filledSecondsAreNotMeasured()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 0, 0));
    auto write = [&](const QString& name, const QVector<int>& seconds) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QTextStream out(&file);
        for (int i : seconds) {
            const QDateTime t = start.addSecs(i);
            out << Fixture::rmc(t.time(), t.date(), 48.0 + i * 0.0001, 11.0, 20.0, 45.0) << "\r\n";
        }
    };
    write(QStringLiteral("001_0001_20240501090000.nmea"), {0, 1, 2, 3, 8, 9});
    write(QStringLiteral("001_0002_20240501090010.nmea"), {});
    write(QStringLiteral("001_0003_20240501090020.nmea"), {20, 21, 22, 23, 24, 25, 26, 27, 28, 29});
    auto trip = std::make_shared<Trip::TripList>();
    for (const char* name : {"001_0001_20240501090000", "001_0002_20240501090010", "001_0003_20240501090020"})
        trip->push_back(
            {10000, false, dir.filePath(QString(name) + ".mp4"), dir.filePath(QString(name) + ".nmea")});

    NmeaParser parser;
    QStringList files;
    for (const Trip::TripItem& item : *trip)
        files << item.nmeaFile;
    parser.requestParsing(std::make_shared<QStringList>(files));
    parser.doParsing();
    QSignalSpy ready(&parser, &NmeaParser::ready);
    QVERIFY(parser.requestParsed(trip));
    QCOMPARE(ready.count(), 1);
    const auto positions = ready.at(0).at(0).value<Positions>();
    QCOMPARE(positions->size(), std::size_t(30));

    const Samples samples = DataProcessor::process(*positions);
    for (int i = 0; i < 30; ++i) {
        const DataPoint& s = samples->at(std::size_t(i));
        const bool recorded = (i <= 3) || i == 8 || i == 9 || i >= 20;
        QVERIFY2(s.positionValid == recorded, qPrintable(QString::number(i)));
        QVERIFY2(s.directionValid == recorded, qPrintable(QString::number(i)));
        // Holes of up to five seconds inside a clip with data get interpolated speeds.
        QVERIFY2(s.speedValid == (i < 10 || i >= 20), qPrintable(QString::number(i)));
    }
    QVERIFY(std::abs(samples->at(5).speed - 20.0 * 0.514444) < 0.01);
}

QTEST_GUILESS_MAIN(TestDataProcessor)
#include "tst_dataprocessor.moc"
