#include "compass.h"
#include "dataprocessor.h"
#include "drivedata.h"
#include "units.h"

#include <QTranslator>
#include <QtTest>

#include <cmath>

using P = QNmeaPositionInfo;
using Samples = std::shared_ptr<std::vector<DataPoint>>;

namespace {

Samples processed(std::shared_ptr<std::vector<P>> input)
{
    DataProcessor processor;
    QSignalSpy spy(&processor, &DataProcessor::trip_data_processed);
    processor.process_trip_data(std::move(input));
    return spy.count() == 1 ? spy.at(0).at(0).value<Samples>() : Samples();
}

DataPoint sample(qint64 time, double direction, double speed = 10.0, bool accelerationValid = true)
{
    DataPoint s;
    s.time = time;
    s.direction = direction;
    s.speed = speed;
    s.accelerationX = 1.25;
    s.accelerationY = -0.5;
    s.accelerationValid = accelerationValid;
    s.latitude = 48.0 + 46.0 / 60 + 35.9 / 3600;
    s.longitude = 9.0 + 10.0 / 60 + 55.1 / 3600;
    s.fix = true;
    return s;
}

Samples samples(std::vector<DataPoint> list)
{
    return std::make_shared<std::vector<DataPoint>>(std::move(list));
}

// Where the needle's tip points, as a unit vector in screen coordinates: the needle is slim at
// its tip and broad at its tail, so its white area lies mostly behind the centre.
QPointF needleTip(Compass& compass)
{
    const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF centre(compass.width() / 2, compass.height() / 2);
    const double reach = std::min(compass.width(), compass.height()) * 0.21; // inside the letters
    QPointF sum;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPointF offset = QPointF(x, y) - centre;
            if (std::hypot(offset.x(), offset.y()) <= reach && qGray(image.pixel(x, y)) > 160)
                sum += offset;
        }
    }
    const double length = std::hypot(sum.x(), sum.y());
    return length > 0 ? -sum / length : QPointF();
}

int yellowPixels(DriveData& panel)
{
    const QImage image = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            count += qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 80 ? 1 : 0;
        }
    }
    return count;
}

} // namespace

// Positions become drive-data samples; the panel and the compass show the sample of the
// playing position.
class TestDriveData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { DataPoint::registerMetaTypes(); }
    void cleanup() { Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour); }

    void samplesFromPositions()
    {
        QVERIFY(!processed(nullptr));
        QVERIFY(processed(std::make_shared<std::vector<P>>()) &&
                processed(std::make_shared<std::vector<P>>())->empty());

        // NaN is what a record holds for a value whose text did not parse: it reads as 0, and an
        // acceleration counts only with both axes.
        const double nan = std::nan("");
        struct Row
        {
            double speed, x, y, direction;
            DataPoint expected;
        };
        const Row rows[] = {{12.5, -0.25, 0.75, 270.0, {12.5, -0.25, 0.75, true, 270.0}},
                            {3.0, 1.5, nan, 10.0, {3.0, 1.5, 0.0, false, 10.0}},
                            {3.0, nan, -1.5, 10.0, {3.0, 0.0, -1.5, false, 10.0}},
                            {nan, nan, nan, nan, {0.0, 0.0, 0.0, false, 0.0}},
                            {0.0, 0.0, 0.0, 0.0, {0.0, 0.0, 0.0, true, 0.0}}};
        for (const Row& row : rows) {
            P p(QNmeaCoordinate(48.5, 9.25), QDateTime(QDate(2021, 5, 4), QTime(10, 0, 0)));
            p.setAttribute(QGeoPositionInfo::GroundSpeed, row.speed);
            p.setAttribute(P::AccelerationX, row.x);
            p.setAttribute(P::AccelerationY, row.y);
            p.setAttribute(QGeoPositionInfo::Direction, row.direction);
            const DataPoint s = processed(std::make_shared<std::vector<P>>(1, p))->front();
            QCOMPARE(
                (std::tuple{s.speed, s.accelerationX, s.accelerationY, s.accelerationValid, s.direction}),
                (std::tuple{row.expected.speed, row.expected.accelerationX, row.expected.accelerationY,
                            row.expected.accelerationValid, row.expected.direction}));
        }

        // One sample a second from the trip's start; a position never received has no coordinate.
        auto positions = std::make_shared<std::vector<P>>();
        for (int i = 0; i < 61; ++i) {
            positions->emplace_back(QNmeaCoordinate(48.0 + i * 0.001, -9.0),
                                    QDateTime(QDate(2021, 5, 4), QTime(10, 0)));
            positions->back().setMarker(P::Fix, i % 2 == 0);
        }
        positions->push_back(P());
        const Samples result = processed(positions);
        QCOMPARE(result->size(), positions->size());
        for (std::size_t i = 0; i + 1 < result->size(); ++i) {
            const DataPoint& s = result->at(i);
            QCOMPARE(s.time, qint64(i) * 1000);
            QCOMPARE(s.fix, i % 2 == 0);
            QCOMPARE(s.latitude, positions->at(i).coordinate().latitude());
            QCOMPARE(s.longitude, -9.0);
        }
        QVERIFY(std::isnan(result->back().latitude) && std::isnan(result->back().longitude));
    }

    void sampleForTime_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("index"); // -1: placeholder
        QTest::addColumn<double>("heading");

        // Samples at 1 s, 2 s and 3 s heading 10, 20 and 30 degrees.
        QTest::newRow("trip start, before the first sample") << qint64(0) << -1 << 0.0;
        QTest::newRow("just before the first sample") << qint64(999) << -1 << 0.0;
        QTest::newRow("first sample") << qint64(1000) << 0 << 10.0;
        QTest::newRow("between samples") << qint64(1999) << 0 << 10.0;
        QTest::newRow("second sample") << qint64(2000) << 1 << 20.0;
        QTest::newRow("past the last sample") << qint64(100000) << 2 << 30.0;
        QTest::newRow("negative position") << qint64(-5) << -1 << 0.0;
    }

    void sampleForTime()
    {
        QFETCH(qint64, position);
        QFETCH(int, index);
        QFETCH(double, heading);

        auto data = samples({sample(1000, 10), sample(2000, 20), sample(3000, 30)});
        data->at(1).speed = 20.0;
        DriveData panel;
        Compass compass;
        connect(&panel, &DriveData::direction_changed, &compass, &Compass::set_direction);
        panel.new_nmea_data(data);
        panel.current_video_position_changed(2500);

        QSignalSpy headings(&panel, &DriveData::direction_changed);
        panel.current_video_position_changed(position);
        QCOMPARE(headings.count(), 1);
        QCOMPARE(headings.at(0).at(0).toDouble(), heading);
        QCOMPARE(compass.direction(), heading);
        if (index < 0) {
            QVERIFY(!panel.currentSample());
            QCOMPARE(panel.latitudeText(), QStringLiteral("Unknown"));
            QCOMPARE(panel.longitudeText(), QString());
            QCOMPARE(panel.speedValue(), 0);
        } else {
            QCOMPARE(panel.currentSample(), &data->at(index));
            QCOMPARE(panel.latitudeText(), QString::fromUtf8("48° 46' 35.9\" N"));
            QCOMPARE(panel.longitudeText(), QString::fromUtf8("9° 10' 55.1\" E"));
            QCOMPARE(panel.speedValue(), index == 1 ? 72 : 36);
        }
    }

    void newDataRestartsAtTripStart()
    {
        auto first = samples({sample(0, 45), sample(1000, 90)});
        DriveData panel;
        panel.new_nmea_data(first);
        panel.current_video_position_changed(1500);
        QCOMPARE(panel.currentSample(), &first->at(1));

        auto second = samples({sample(0, 180), sample(1000, 270)});
        QSignalSpy headings(&panel, &DriveData::direction_changed);
        panel.new_nmea_data(second);
        QCOMPARE(panel.currentSample(), &second->at(0));
        QCOMPARE(headings.count(), 1);
        QCOMPARE(headings.at(0).at(0).toDouble(), 180.0);

        // The processor's null result clears the display.
        panel.new_nmea_data(nullptr);
        QVERIFY(!panel.currentSample());
        QCOMPARE(panel.latitudeText(), QStringLiteral("Unknown"));
        QCOMPARE(headings.last().at(0).toDouble(), 0.0);
    }

    void speedShownInTheChosenUnit()
    {
        struct Row
        {
            Units::SpeedUnit unit;
            double metresPerSecond;
            int shown;
            const char* unitText;
        };
        const Row rows[] = {
            {Units::SpeedUnit::MilesPerHour, 25.0, 56, " mph"},
            {Units::SpeedUnit::KilometresPerHour, 98.8 / 3.6, 99, " km/h"}, // rounded, not cut
            {Units::SpeedUnit::KilometresPerHour, 0.1, 0, " km/h"}};
        for (const Row& row : rows) {
            Units::setSpeedUnit(row.unit);
            DriveData panel;
            panel.new_nmea_data(samples({sample(0, 0, row.metresPerSecond)}));
            QCOMPARE(panel.speedValue(), row.shown);
            QCOMPARE(panel.speedUnitText(), QString(row.unitText));
        }
    }

    void accelerationsOnlyWhenRecorded()
    {
        DriveData panel;
        panel.resize(160, 160);
        panel.new_nmea_data(samples({sample(0, 0, 5.0, false)}));
        QVERIFY(!panel.hasAcceleration());
        QCOMPARE(yellowPixels(panel), 0);
        panel.new_nmea_data(samples({sample(0, 0, 5.0, false), sample(1000, 0, 5.0, true)}));
        QVERIFY(panel.hasAcceleration());
        QVERIFY(yellowPixels(panel) > 10);
    }

    void compassNeedleAndLetters()
    {
        struct Row
        {
            double heading;
            QPointF tip;
            QSize size;
        };
        const Row rows[] = {{0.0, {0, -1}, {300, 300}},
                            {90.0, {1, 0}, {300, 300}},
                            {180.0, {0, 1}, {300, 300}},
                            {90.0, {1, 0}, {420, 200}},
                            {225.0, {-M_SQRT1_2, M_SQRT1_2}, {200, 330}}};
        for (const Row& row : rows) {
            Compass compass;
            compass.resize(row.size);
            compass.set_direction(row.heading);
            const QPointF seen = needleTip(compass);
            QVERIFY2(
                QPointF::dotProduct(seen, row.tip) > 0.95,
                qPrintable(QStringLiteral("%1°: tip at %2 %3").arg(row.heading).arg(seen.x()).arg(seen.y())));
        }

        // The four letters sit on the circle, also when the widget is taller than wide.
        Compass compass;
        compass.resize(120, 240);
        const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const auto brightAround = [&image](QPoint p) {
            for (int y = p.y() - 4; y <= p.y() + 4; ++y) {
                for (int x = p.x() - 4; x <= p.x() + 4; ++x) {
                    if (qGray(image.pixel(x, y)) > 160)
                        return true;
                }
            }
            return false;
        };
        for (const QPoint& letter : {QPoint(60, 90), QPoint(60, 150), QPoint(30, 120), QPoint(90, 120)})
            QVERIFY(brightAround(letter));
    }

    // The panel's texts are looked up when drawn: a new catalog shows at the next paint.
    void textsFollowLanguage()
    {
        DriveData panel;
        panel.resize(160, 160);
        const QImage before = panel.grab().toImage();
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(panel.latitudeText(), QStringLiteral("Unbekannt"));
        QVERIFY(panel.grab().toImage() != before);
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(panel.latitudeText(), QStringLiteral("Unknown"));
    }
};

QTEST_MAIN(TestDriveData)
#include "tst_drivedata.moc"
