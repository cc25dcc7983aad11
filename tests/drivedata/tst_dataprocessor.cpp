#include "dataprocessor.h"

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

QTEST_GUILESS_MAIN(TestDataProcessor)
#include "tst_dataprocessor.moc"
