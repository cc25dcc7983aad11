#include "../nmea/nmeafixture.h"
#include "compass.h"
#include "dataprocessor.h"
#include "drivedata.h"
#include "graph.h"
#include "nmeaparser.h"
#include "tripsummary.h"
#include "units.h"

#include <QTemporaryDir>
#include <QToolTip>
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

Samples samples(std::vector<DataPoint> list)
{
    return std::make_shared<std::vector<DataPoint>>(std::move(list));
}

// Where the needle's tip points, as a unit vector in screen coordinates: the needle is slim at
// its tip and broad at its tail, so its white area lies mostly behind the centre.
QPointF needleTip(Compass& compass)
{
    const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF centre = QRectF(compass.roseRect()).center();
    const double reach = compass.roseRect().width() * 0.21; // inside the letters
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

DataPoint sample(qint64 time, double speed, double x = 0.0, double y = 0.0, bool valid = true,
                 bool fix = true)
{
    DataPoint s;
    s.time = time;
    s.speed = speed;
    s.accelerationX = x;
    s.accelerationY = y;
    s.accelerationValid = valid;
    s.fix = s.positionValid = fix;
    s.speedValid = s.directionValid = true;
    return s;
}

// A sample with a heading at 48° 46' 35.9" N, 9° 10' 55.1" E.
DataPoint located(qint64 time, double direction, double speed = 10.0, bool accelerationValid = true)
{
    DataPoint s = sample(time, speed, 1.25, -0.5, accelerationValid);
    s.direction = direction;
    s.latitude = 48.0 + 46.0 / 60 + 35.9 / 3600;
    s.longitude = 9.0 + 10.0 / 60 + 55.1 / 3600;
    return s;
}

// One sample per second at a constant speed, with accelerations of 0.
Samples constantDrive(int seconds, double speed, int fixUntil = -1, bool accelerations = true)
{
    auto samples = std::make_shared<std::vector<DataPoint>>();
    for (int i = 0; i <= seconds; ++i)
        samples->push_back(sample(i * 1000, speed, 0.0, 0.0, accelerations, fixUntil < 0 || i <= fixUntil));
    return samples;
}

bool isCyan(QRgb p)
{
    return qBlue(p) - qRed(p) > 40 && qGreen(p) > 60;
}

bool isRed(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) < 80 && qBlue(p) < 80;
}

bool isYellow(QRgb p)
{
    return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 80;
}

bool isGreen(QRgb p)
{
    return qGreen(p) > 150 && qRed(p) < 80 && qBlue(p) < 80;
}

bool isCurve(QRgb p)
{
    return isCyan(p) || isYellow(p) || isGreen(p);
}

int yellowPixels(QWidget& widget)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += isYellow(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

int countInColumn(const QImage& image, int x, int fromY, int toY, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = fromY; y <= toY; ++y)
        count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

bool hasInColumn(const QImage& image, int x, int fromY, int toY, bool (*test)(QRgb))
{
    return countInColumn(image, x, fromY, toY, test) > 0;
}

QImage render(Graph& graph)
{
    return graph.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool sendMove(QWidget& w, int x)
{
    const QPoint local(x, w.height() / 2);
    QMouseEvent move(QEvent::MouseMove, local, w.mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&w, &move);
    return move.isAccepted();
}

// An hour of driving: speeds and accelerations that change every second, a two-minute hole.
Samples hourOfDriving(bool accelerations)
{
    auto samples = std::make_shared<std::vector<DataPoint>>();
    std::uint32_t noise = 12345;
    auto next = [&noise]() {
        noise = noise * 1103515245u + 12345u;
        return double((noise >> 16) & 0x7fff) / 32768.0 - 0.5;
    };
    for (int i = 0; i < 3600; ++i) {
        const double speed = std::max(0.0, 14.0 + 12.0 * std::sin(i / 300.0) + 3.0 * next());
        DataPoint s = sample(i * 1000, speed, 2.0 * next() + std::sin(i / 40.0), 1.5 * next(), accelerations);
        if (i >= 1500 && i < 1620)
            s.speedValid = s.accelerationValid = false;
        samples->push_back(s);
    }
    return samples;
}

} // namespace

// Positions become drive-data samples; the panel and the compass show the sample of the
// playing position, the graph the whole trip: its scales, the mappings between values and pixels,
// what it draws and its tooltips.
class TestDriveData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        DataPoint::registerMetaTypes();
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }
    void cleanup()
    {
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
        Units::setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared);
    }

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

    // Three 10-second clips: the first with a 4-second hole, the second with an empty NMEA file,
    // the third with data. The assembly gives every second a record; only the recorded ones are
    // measured, and the empty clip borrows nothing from the third.
    void filledSecondsAreNotMeasured()
    {
        QTemporaryDir dir;
        const QDateTime start(QDate(2024, 5, 1), QTime(9, 0, 0));
        const auto write = [&](const QString& name, const QVector<int>& seconds) {
            QStringList lines;
            for (int i : seconds) {
                const QDateTime t = start.addSecs(i);
                lines << Fixture::rmc(t.time(), t.date(), 48.0 + i * 0.0001, 11.0, 20.0, 45.0);
            }
            return Fixture::write(dir.filePath(name + ".nmea"), lines);
        };
        QVERIFY(write("001_0001_20240501090000", {0, 1, 2, 3, 8, 9}));
        QVERIFY(write("001_0002_20240501090010", {}));
        QVERIFY(write("001_0003_20240501090020", {20, 21, 22, 23, 24, 25, 26, 27, 28, 29}));
        auto trip = std::make_shared<Trip::TripList>();
        QStringList files;
        for (const char* name :
             {"001_0001_20240501090000", "001_0002_20240501090010", "001_0003_20240501090020"}) {
            trip->push_back(
                {10000, false, dir.filePath(QString(name) + ".mp4"), dir.filePath(QString(name) + ".nmea")});
            files << trip->back().nmeaFile;
        }
        NmeaParser parser;
        parser.requestParsing(std::make_shared<QStringList>(files));
        parser.doParsing();
        QSignalSpy ready(&parser, &NmeaParser::ready);
        QVERIFY(parser.requestParsed(trip));
        const auto positions = ready.at(0).at(0).value<std::shared_ptr<std::vector<P>>>();
        QCOMPARE(positions->size(), std::size_t(30));

        const Samples samples = DataProcessor::process(*positions);
        for (int i = 0; i < 30; ++i) {
            const DataPoint& s = samples->at(std::size_t(i));
            const bool recorded = (i <= 3) || i == 8 || i == 9 || i >= 20;
            QVERIFY2(s.positionValid == recorded && s.directionValid == recorded,
                     qPrintable(QString::number(i)));
            // Holes of up to five seconds inside a clip with data get interpolated speeds.
            QVERIFY2(s.speedValid == (i < 10 || i >= 20), qPrintable(QString::number(i)));
        }
        QVERIFY(std::abs(samples->at(5).speed - 20.0 * 0.514444) < 0.01);
    }

    void sampleForTime_data()
    {
        QTest::addColumn<qint64>("position");
        QTest::addColumn<int>("index"); // -1: placeholder
        QTest::addColumn<double>("heading");

        // Samples of seconds 0, 1 and 2 heading 10, 20 and 30 degrees: a sample holds from the
        // first to the last millisecond of its second, as every other view shows it.
        QTest::newRow("trip start") << qint64(0) << 0 << 10.0;
        QTest::newRow("last millisecond of the first second") << qint64(999) << 0 << 10.0;
        QTest::newRow("second sample") << qint64(1000) << 1 << 20.0;
        QTest::newRow("its middle") << qint64(1500) << 1 << 20.0;
        QTest::newRow("past the last sample") << qint64(100000) << 2 << 30.0;
        QTest::newRow("negative position") << qint64(-5) << 0 << 10.0;
        QTest::newRow("no samples") << qint64(1000) << -1 << 0.0;
    }

    void sampleForTime()
    {
        QFETCH(qint64, position);
        QFETCH(int, index);
        QFETCH(double, heading);

        auto data = samples({located(0, 10), located(1000, 20), located(2000, 30)});
        data->at(1).speed = 20.0;
        DriveData panel;
        Compass compass;
        connect(&panel, &DriveData::direction_changed, &compass, &Compass::set_direction);
        panel.new_nmea_data(index < 0 ? samples({}) : data);
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
        auto first = samples({located(0, 45), located(1000, 90)});
        DriveData panel;
        panel.new_nmea_data(first);
        panel.current_video_position_changed(1500);
        QCOMPARE(panel.currentSample(), &first->at(1));

        auto second = samples({located(0, 180), located(1000, 270)});
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

        // The panel's texts are looked up when drawn: a new catalog shows at the next paint.
        panel.resize(160, 160);
        const QImage english = panel.grab().toImage();
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QCOMPARE(panel.latitudeText(), QStringLiteral("Unbekannt"));
        QVERIFY(panel.grab().toImage() != english);
        QCoreApplication::removeTranslator(&translator);
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
            panel.new_nmea_data(samples({located(0, 0, row.metresPerSecond)}));
            QCOMPARE(panel.speedValue(), row.shown);
            QCOMPARE(panel.speedUnitText(), QString(row.unitText));
        }
    }

    // A change of units is announced to every window as a language change; a paused panel
    // converts the number it shows at once, without waiting for the next position.
    void unitChangeWhilePausedConvertsTheReading()
    {
        DataPoint missing = located(1000, 0.0, 0.0);
        missing.speedValid = false;
        QWidget window;
        auto* panel = new DriveData(&window);
        panel->new_nmea_data(samples({located(0, 0, 70.0 / 3.6), missing}));
        QCOMPARE(panel->speedValue(), 70);

        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(&window, &change);
        QCOMPARE(panel->speedValue(), 43);
        QCOMPARE(panel->speedUnitText(), QStringLiteral(" mph"));

        // A second without a measured speed keeps its dashes in either unit.
        panel->current_video_position_changed(1500);
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
        QCoreApplication::sendEvent(&window, &change);
        QVERIFY(!panel->speedKnown());
    }

    // A second whose record the assembly made up: the panel shows no borrowed coordinate and no
    // 0 km/h, and the compass no heading.
    void secondWithoutDataShowsNoData()
    {
        DataPoint missing = located(1000, 0.0, 0.0, false);
        missing.speedValid = missing.positionValid = missing.directionValid = false;
        DriveData panel;
        panel.resize(160, 160);
        Compass compass;
        compass.resize(120, 70);
        connect(&panel, &DriveData::direction_changed, &compass, &Compass::set_direction);
        // Accelerations are shown only when some second has them.
        panel.new_nmea_data(samples({missing}));
        QVERIFY(!panel.hasAcceleration());
        QCOMPARE(yellowPixels(panel), 0);
        panel.new_nmea_data(samples({located(0, 40.0, 0.0), missing}));
        QVERIFY(panel.hasAcceleration());
        QVERIFY(yellowPixels(panel) > 10);

        const QImage standing = panel.grab().toImage();
        QVERIFY(panel.speedKnown());
        QCOMPARE(panel.speedValue(), 0);
        QCOMPARE(compass.headingText(), QStringLiteral("40°"));

        panel.current_video_position_changed(1500);
        QVERIFY(!panel.speedKnown());
        QCOMPARE(panel.latitudeText(), DriveData::noDataText());
        QCOMPARE(panel.longitudeText(), QString());
        QVERIFY(panel.grab().toImage() != standing);
        QVERIFY(std::isnan(compass.direction()));
        QCOMPARE(compass.headingText(), QStringLiteral("–°"));
        QVERIFY(yellowPixels(panel) > 0); // the acceleration rows keep their unit
    }

    void compassRose()
    {
        Compass compass;
        QVERIFY(compass.minimumHeight() >= Compass::MinimumSide);
        compass.resize(compass.minimumSize());
        QVERIFY(compass.roseRect().width() >= 64);
        // Red pixels above the rose's centre minus those below.
        const auto redBalance = [&]() {
            const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QPoint centre = compass.roseRect().center();
            const int reach = compass.roseRect().width() / 4;
            int balance = 0;
            for (int y = centre.y() - reach; y <= centre.y() + reach; ++y) {
                for (int x = centre.x() - reach; x <= centre.x() + reach; ++x)
                    balance += isRed(image.pixel(x, y)) ? (y < centre.y() ? 1 : -1) : 0;
            }
            return balance;
        };
        compass.set_direction(0.0);
        QVERIFY(redBalance() > 10);
        compass.set_direction(180.0);
        QVERIFY(redBalance() < -10);

        // The needle's tip points the heading's way, whatever the shape of the widget.
        struct Row
        {
            double heading;
            QPointF tip;
            QSize size;
        };
        const Row rows[] = {{0.0, {0, -1}, {300, 300}},
                            {90.0, {1, 0}, {420, 200}},
                            {180.0, {0, 1}, {300, 300}},
                            {225.0, {-M_SQRT1_2, M_SQRT1_2}, {200, 330}}};
        for (const Row& row : rows) {
            compass.resize(row.size);
            compass.set_direction(row.heading);
            const QPointF seen = needleTip(compass);
            QVERIFY2(
                QPointF::dotProduct(seen, row.tip) > 0.95,
                qPrintable(QStringLiteral("%1°: tip at %2 %3").arg(row.heading).arg(seen.x()).arg(seen.y())));
        }

        compass.set_direction(237.4);
        QCOMPARE(compass.headingText(), QStringLiteral("237°"));
        compass.set_direction(359.6);
        QCOMPARE(compass.headingText(), QStringLiteral("0°"));
        compass.set_direction(qQNaN());
        QCOMPARE(redBalance(), 0);
    }

    // Both axes tick at round steps on shared grid lines, the speed's top tick at the plot's top.
    // At 640 × 480 there are up to six ticks above the zero line; a round step holds the largest
    // value with 5 % room (at least 18 km/h and ±1 m/s²).
    void scales()
    {
        constexpr auto kmh = Units::SpeedUnit::KilometresPerHour;
        constexpr auto mph = Units::SpeedUnit::MilesPerHour;
        constexpr auto ms2 = Units::AccelerationUnit::MetresPerSecondSquared;
        const double absent = std::nan(""); // not recorded: the sample's accelerations are invalid
        struct Row
        {
            const char* name;
            QVector<double> speeds, x, y; // m/s and m/s², one sample a second
            double speedTopKmh = 0;       // 0: not checked
            double accelerationStep = -1; // 0: no acceleration axis; -1: not checked
            Units::SpeedUnit speedUnit = kmh;
            Units::AccelerationUnit accelerationUnit = ms2;
            QSize size = QSize(640, 480);
        };
        const QVector<double> x{0, 3.3, 0};
        const QVector<double> y{0, 0, -6.7};
        const Row rows[] = {
            {"standing still", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 20.0, 0.5},
            {"10 m/s at most", {3, 10, 7}, {0, 0, 0}, {0, 0, 0}, 40.0, 0.5},
            {"-2 to +3 m/s²", {1, 1}, {-2, 1}, {3, 0}, 20.0, 1.0},
            {"hard braking", {20}, {-8}, {0}, 80.0, 5.0},
            {"hard acceleration on Y", {1}, {0}, {6}, 20.0, 2.0},
            {"invalid samples ignored", {1, 1}, {50, 2}, {absent, -1}, 20.0, 1.0},
            {"no accelerations", {2, 4}, {9, absent}, {absent, absent}, 20.0, 0.0},
            {"87 km/h", {10, 87 / 3.6, 10}, x, y, 0, -1, kmh, ms2, {500, 200}},
            {"54 mph", {10, 24.14, 10}, x, y, 0, -1, mph, ms2, {500, 200}},
            {"in g", {10, 30, 10}, x, y, 0, -1, kmh, Units::AccelerationUnit::StandardGravity, {500, 200}},
            {"minimum size", {10, 13, 10}, x, y, 0, -1, kmh, ms2, {320, 148}},
            {"tall", {10, 41, 10}, x, y, 0, -1, mph, ms2, {700, 600}}};
        const auto isRound = [](double step) {
            const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
            return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
                   std::abs(mantissa - 5) < 1e-9;
        };
        for (const Row& row : rows) {
            Units::setSpeedUnit(row.speedUnit);
            Units::setAccelerationUnit(row.accelerationUnit);
            auto samples = std::make_shared<std::vector<DataPoint>>();
            double low = 0.0;
            double high = 0.0;
            for (int i = 0; i < row.speeds.size(); ++i) {
                const bool valid = !std::isnan(row.x[i]) && !std::isnan(row.y[i]);
                samples->push_back(
                    sample(i * 1000, row.speeds[i], valid ? row.x[i] : 0.0, valid ? row.y[i] : 0.0, valid));
                low = valid ? std::min({low, row.x[i], row.y[i]}) : low;
                high = valid ? std::max({high, row.x[i], row.y[i]}) : high;
            }
            Graph graph;
            graph.resize(row.size);
            graph.new_nmea_data(samples);
            QVERIFY2(row.speedTopKmh == 0 || qRound(graph.speedScale() * 3.6) == qRound(row.speedTopKmh),
                     row.name);
            QVERIFY2(row.accelerationStep < 0 ||
                         qFuzzyCompare(1 + graph.accelerationTickStep(), 1 + row.accelerationStep),
                     row.name);
            QVERIFY2(row.accelerationStep < 0 || graph.hasAcceleration() == (row.accelerationStep > 0),
                     row.name);

            const double speedStep = graph.speedTickStep();
            QVERIFY2(isRound(speedStep), row.name);
            const std::vector<Graph::Tick> speed = graph.speedTicks();
            QVERIFY2(speed.size() >= 3, row.name);
            for (std::size_t k = 0; k < speed.size(); ++k) {
                QCOMPARE(speed[k].value, double(k) * speedStep);
                // Exact for the rows that check only the steps; the others round a half pixel.
                const int off = speed[k].y - graph.speed_to_pixel(speed[k].value / Units::speedValue(1.0));
                QVERIFY2(std::abs(off) <= (row.speedTopKmh > 0 ? 1 : 0), row.name);
                QVERIFY2(k == 0 || speed[k - 1].y - speed[k].y >= 18, row.name);
            }
            QVERIFY2(speed.back().value >=
                         Units::speedValue(*std::max_element(row.speeds.begin(), row.speeds.end())),
                     row.name);
            QCOMPARE(speed.back().y, graph.plotRect().top());

            const double accelerationStep = graph.accelerationTickStep();
            QVERIFY2(!graph.hasAcceleration() || isRound(accelerationStep), row.name);
            for (const Graph::Tick& tick : graph.accelerationTicks()) {
                const double multiple = tick.value / accelerationStep;
                QVERIFY(std::abs(multiple - std::round(multiple)) < 1e-9);
                QVERIFY2(tick.value < 0 || std::any_of(speed.begin(), speed.end(),
                                                       [&](const Graph::Tick& s) { return s.y == tick.y; }),
                         row.name);
                QVERIFY(tick.y >= graph.plotRect().top() && tick.y <= graph.plotRect().bottom());
            }
            if (graph.hasAcceleration()) {
                QVERIFY2(graph.accelerationTicks().front().value <= Units::accelerationValue(low), row.name);
                QVERIFY2(graph.accelerationTicks().back().value >= Units::accelerationValue(high), row.name);
            }

            // A null vector clears the samples but keeps the scales.
            const double top = graph.speedScale();
            graph.new_nmea_data(nullptr);
            QCOMPARE(graph.speedScale(), top);
        }
    }

    void eventBorders()
    {
        Graph graph;
        const auto borders = [&graph](const std::vector<std::pair<qint64, bool>>& files) {
            auto trip = std::make_shared<Trip::TripList>();
            for (const auto& [duration, isEvent] : files)
                trip->push_back(Trip::TripItem{duration, isEvent, {}, {}});
            graph.setMedia(trip);
            return std::vector<qint64>(graph.eventBorders().begin(), graph.eventBorders().end());
        };
        QCOMPARE(borders({{60000, false}, {30000, true}}), (std::vector<qint64>{60000, 90000}));
        QCOMPARE(borders({{30000, true}, {60000, false}}), (std::vector<qint64>{0, 30000}));
        QCOMPARE(borders({{10000, false}, {5000, true}, {7000, true}, {1000, false}}),
                 (std::vector<qint64>{10000, 15000, 15000, 22000}));
        // Borders of an earlier trip do not survive.
        QCOMPARE(borders({{5000, false}}), std::vector<qint64>());
        graph.setMedia(nullptr);
        QVERIFY(graph.eventBorders().empty());
    }

    // The pointer's column gives the time the tooltip shows.
    void mappingsRoundTrip()
    {
        Graph graph;
        for (const QSize& size : {QSize(320, 148), QSize(1001, 457)}) {
            graph.resize(size);
            graph.new_nmea_data(constantDrive(725, 10.0));
            const int w1 = size.width() - 1;
            for (int x = 40; x <= w1 - 39; ++x)
                QVERIFY2(std::abs(graph.time_to_pixel(graph.pixel_to_time(x)) - x) <= 1,
                         qPrintable(QString::number(x)));
            QCOMPARE(graph.pixel_to_time(40), qint64(0));
            QCOMPARE(graph.pixel_to_time(w1 - 39), qint64(725000));
            QCOMPARE(graph.pixel_to_time(39), qint64(0));
            QCOMPARE(graph.pixel_to_time(w1 - 38), qint64(0));
        }

        // A single sample, or none, still gives the time axis a length.
        for (const Samples& few : {constantDrive(0, 12.0), std::make_shared<std::vector<DataPoint>>()}) {
            graph.new_nmea_data(few);
            QCOMPARE(graph.time_to_pixel(0), 40);
            QVERIFY(!render(graph).isNull());
        }
    }

    void rendersCurveCursorAndBorders()
    {
        Graph graph;
        graph.resize(400, 200);
        graph.new_nmea_data(constantDrive(60, 10.0));
        graph.current_video_length_changed(60000);
        graph.current_video_position_changed(20000);
        const QImage image = render(graph);

        const int curveY = graph.speed_to_pixel(10.0);
        const int cursorX = graph.overlay_time_to_pixel(20000);
        for (qint64 t = 5000; t <= 55000; t += 5000) {
            const int x = graph.time_to_pixel(t);
            QVERIFY2(countInColumn(image, x, curveY - 1, curveY + 1, isCyan) > 0,
                     qPrintable(QString::number(t)));
            QVERIFY2(countInColumn(image, x, 6, curveY - 3, isCyan) == 0 || x == cursorX,
                     qPrintable(QString::number(t)));
        }
        QCOMPARE(cursorX, 320 * 20000 / 60000 + 40);
        QVERIFY(countInColumn(image, cursorX, graph.plotRect().top(), curveY - 3, isCyan) >=
                (curveY - 3 - graph.plotRect().top()) / 3);
        QCOMPARE(countInColumn(image, cursorX - 2, 0, curveY - 3, isCyan), 0);
        QCOMPARE(countInColumn(image, cursorX + 2, 0, curveY - 3, isCyan), 0);

        // A position past the end draws no cursor.
        graph.current_video_position_changed(60001);
        QCOMPARE(countInColumn(render(graph), cursorX, 0, curveY - 3, isCyan), 0);

        // Event borders: 40 s ordinary, then 20 s event.
        graph.setMedia(std::make_shared<Trip::TripList>(
            Trip::TripList{Trip::TripItem{40000, false, {}, {}}, Trip::TripItem{20000, true, {}, {}}}));
        graph.current_video_length_changed(60000);
        const QImage withBorders = render(graph);
        const int borderX = graph.overlay_time_to_pixel(40000);
        QVERIFY(countInColumn(withBorders, borderX, 0, 195, isRed) > 30);
        QCOMPARE(countInColumn(withBorders, borderX - 2, 0, 195, isRed), 0);

        // Samples without a fix are drawn dotted.
        graph.resize(700, 200);
        graph.new_nmea_data(constantDrive(60, 10.0, 30));
        const QImage dotted = render(graph);
        const auto coverage = [&](qint64 from, qint64 to) {
            int hit = 0;
            for (int x = graph.time_to_pixel(from); x <= graph.time_to_pixel(to); ++x)
                hit += countInColumn(dotted, x, curveY - 1, curveY + 1, isCyan) > 0 ? 1 : 0;
            return double(hit) / (graph.time_to_pixel(to) - graph.time_to_pixel(from) + 1);
        };
        QCOMPARE(coverage(2000, 28000), 1.0);
        QVERIFY(coverage(33000, 58000) < 0.8);
    }

    // Without recorded accelerations the speed takes the whole height and the right axis is bare.
    void rightAxisWithoutAccelerations()
    {
        const auto brightPixels = [](const QImage& image) {
            int count = 0;
            for (int x = image.width() - 39; x < image.width(); ++x)
                count += countInColumn(image, x, 1, image.height() - 1, [](QRgb p) { return qGray(p) > 60; });
            return count;
        };
        Graph graph;
        graph.resize(400, 200);
        graph.new_nmea_data(constantDrive(60, 10.0));
        const QRect plot = graph.plotRect();
        QCOMPARE(graph.speed_to_pixel(0.0), plot.top() + (plot.bottom() - plot.top()) * 60 / 100);
        QCOMPARE(graph.acceleration_to_pixel(0.0), graph.speed_to_pixel(0.0));
        QVERIFY(brightPixels(render(graph)) > 0);

        graph.new_nmea_data(constantDrive(60, 10.0, -1, false));
        const QRect bare = graph.plotRect();
        QCOMPARE(graph.speed_to_pixel(0.0), bare.bottom());
        QCOMPARE(graph.speed_to_pixel(graph.speedScale()), bare.top());
        // No scale: every acceleration maps onto the zero line instead of dividing by zero.
        QCOMPARE(graph.acceleration_to_pixel(2.0), bare.bottom());
        const QImage image = render(graph);
        QCOMPARE(brightPixels(image), 0);
        QCOMPARE(qGray(image.pixel(399 - 39, 100)), 255);
        QCOMPARE(qGray(image.pixel(200, bare.bottom())), 255);
    }

    void tooltips_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<bool>("accelerations");
        QTest::addColumn<QString>("text"); // empty: hidden

        // 400 pixels wide: the plot spans x 40..360 for 60 s.
        QTest::newRow("speed axis") << 20 << true << "Speed in km/h";
        QTest::newRow("speed axis, left edge") << 6 << true << "Speed in km/h";
        QTest::newRow("acceleration axis") << 380 << true << "Acceleration in m/s²";
        QTest::newRow("plot start is t = 0") << 40 << true << QString();
        QTest::newRow("frame") << 3 << true << QString();
        QTest::newRow("right of the labels") << 396 << true << QString();
        QTest::newRow("middle") << 200 << true << "0:00:30\n36.0 km/h\n↕ 0.5 m/s²\n↔ -0.3 m/s²";
        QTest::newRow("between samples") << 45 << true << "0:00:00\n36.0 km/h\n↕ 0.5 m/s²\n↔ -0.3 m/s²";
        QTest::newRow("plot end") << 360 << false << "0:01:00\n36.0 km/h";
    }

    void tooltips()
    {
        QFETCH(int, x);
        QFETCH(bool, accelerations);
        QFETCH(QString, text);
        auto samples = constantDrive(60, 10.0, -1, accelerations);
        for (DataPoint& s : *samples) {
            s.accelerationX = 0.5;
            s.accelerationY = -0.25;
        }
        Graph graph;
        graph.resize(400, 200);
        graph.new_nmea_data(samples);
        graph.show();
        graph.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&graph));

        // Start from a visible tooltip, so hiding is observable.
        QVERIFY(sendMove(graph, 20));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(sendMove(graph, x), !text.isEmpty());
        QTRY_COMPARE(QToolTip::isVisible(), !text.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(QToolTip::text(), text);
    }

    // Seconds 20 to 39 have no speed and no accelerations: their curves break off instead of
    // dropping to the zero line.
    void secondsWithoutDataAreGaps()
    {
        auto samples = constantDrive(60, 20.0);
        for (DataPoint& s : *samples) {
            s.accelerationX = 2.0;
            s.accelerationY = -1.5;
            if (s.time >= 20000 && s.time < 40000) {
                s.speedValid = s.accelerationValid = false;
                s.speed = s.accelerationX = s.accelerationY = 0.0;
            }
        }
        Graph graph;
        graph.resize(500, 220);
        graph.new_nmea_data(samples);
        const QImage image = render(graph);
        const QRect plot = graph.plotRect();
        // Also half a second from each side: no line runs down into the gap or up out of it.
        for (qint64 t = 19500; t <= 39500; t += 1000) {
            const int x = graph.time_to_pixel(t);
            QVERIFY2(!hasInColumn(image, x, plot.top(), plot.bottom(), isCurve),
                     qPrintable(QString::number(t)));
        }
        for (qint64 t : {5000, 50000}) {
            const int x = graph.time_to_pixel(t);
            for (bool (*colour)(QRgb) : {isCyan, isYellow, isGreen})
                QVERIFY(hasInColumn(image, x, plot.top(), plot.bottom(), colour));
        }
        // The scale ignores the missing values, and the tooltip shows none for them.
        QVERIFY(graph.speedScale() >= 20.0);
        const QString tip = graph.make_tooltip(samples->at(25));
        QVERIFY2(!tip.contains(QStringLiteral("0.0")), qPrintable(tip));
    }

    // The tooltip's first line is the recording's clock at that second as the clock label shows
    // it (whole year, seconds, time offset); without a known clock, the position on the trip.
    void tooltipShowsTheShiftedClock()
    {
        Graph graph;
        graph.resize(600, 200);
        const Samples samples = constantDrive(60, 10.0);
        graph.new_nmea_data(samples);
        QCOMPARE(graph.make_tooltip(samples->at(25)).section('\n', 0, 0), QStringLiteral("0:00:25"));
        graph.setClockSource([](qint64 ms) {
            return ms < 30000 ? QDateTime(QDate(2024, 5, 1), QTime(0, 0), Qt::UTC).addMSecs(ms) : QDateTime();
        });
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        Units::setClockOffsetSeconds(-60);
        QCOMPARE(graph.make_tooltip(samples->at(25)).section('\n', 0, 0),
                 QStringLiteral("30.04.2024 23:59:25"));
        QCOMPARE(graph.make_tooltip(samples->at(40)).section('\n', 0, 0), QStringLiteral("0:00:40"));
        Units::setClockOffsetSeconds(0);
        Units::setDisplayLocale(QLocale::c());
    }

    // The line below the graph names the distance across pauses between videos apart from the
    // driven one, once it shows at one decimal, in the interface language.
    void summaryNamesBridgedDistance()
    {
        TripStatistics s;
        s.distance = 12345.0;
        s.drivingSeconds = 600;
        s.bridgedDistance = 40.0;
        QCOMPARE(TripSummary::summaryText(s).section(QStringLiteral(" · "), 0, 1),
                 QStringLiteral("12.3 km · 10 min driving"));
        s.bridgedDistance = 2400.0;
        QCOMPARE(TripSummary::summaryText(s).section(QStringLiteral(" · "), 0, 1),
                 QStringLiteral("12.3 km · 2.4 km bridged"));
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QCOMPARE(TripSummary::summaryText(s).section(QStringLiteral(" · "), 1, 1),
                 QStringLiteral("1.5 mi bridged"));
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);

        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        QCoreApplication::installTranslator(&german);
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        TripSummary summary;
        summary.setStatistics(s);
        QCOMPARE(summary.text().section(QStringLiteral(" · "), 0, 1),
                 QStringLiteral("12,3 km · 2,4 km überbrückt"));
        QCoreApplication::removeTranslator(&german);
        Units::setDisplayLocale(QLocale::c());
    }

    // Above the plot a legend names the curves in their colours, in the interface language.
    void legend()
    {
        Graph graph;
        graph.resize(600, 200);
        graph.new_nmea_data(constantDrive(60, 10.0));
        const QImage english = render(graph);
        const int rows = graph.plotRect().top() - 2;
        const auto legendHas = [&](const QImage& image, bool (*test)(QRgb)) {
            for (int x = graph.plotRect().left(); x < graph.plotRect().right(); ++x) {
                if (hasInColumn(image, x, 0, rows, test))
                    return true;
            }
            return false;
        };
        QVERIFY(legendHas(english, isCyan) && legendHas(english, isYellow) && legendHas(english, isGreen));

        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        QTRY_VERIFY(render(graph).copy(0, 0, 600, rows) != english.copy(0, 0, 600, rows));
        const QImage german = render(graph);
        QCoreApplication::removeTranslator(&translator);
        QTRY_COMPARE(render(graph), english);
        QCOMPARE(german.copy(0, rows + 1, 600, 100), english.copy(0, rows + 1, 600, 100));

        // Without accelerations only the speed is named.
        graph.new_nmea_data(constantDrive(60, 10.0, -1, false));
        const QImage speedOnly = render(graph);
        QVERIFY(legendHas(speedOnly, isCyan) && !legendHas(speedOnly, isYellow));
    }

    // The trip lasts 40 s and its last sample is at 39 s: the cursor for 20 s stands on the
    // column where the sample of 20 s is drawn.
    void cursorOnTheSampleItMarks()
    {
        auto samples = constantDrive(39, 5.0);
        samples->at(20).speed = 15.0;
        Graph graph;
        graph.resize(420, 200);
        graph.new_nmea_data(samples);
        graph.current_video_length_changed(40000);
        const QImage withoutCursor = render(graph);
        graph.current_video_position_changed(20000);
        const QImage image = render(graph);

        const QRect plot = graph.plotRect();
        const int apexY = graph.speed_to_pixel(15.0);
        const int cursorX = graph.overlay_time_to_pixel(20000);
        QVERIFY(countInColumn(image, cursorX, plot.top(), plot.bottom(), isCyan) > 10);
        int apexColumns = 0;
        for (int x = plot.left() + 1; x < plot.right(); ++x) {
            if (hasInColumn(withoutCursor, x, apexY - 1, apexY + 1, isCyan)) {
                ++apexColumns;
                QVERIFY2(std::abs(x - cursorX) <= 1, qPrintable(QStringLiteral("%1 %2").arg(x).arg(cursorX)));
            }
        }
        QVERIFY(apexColumns > 0);
    }

    void clickSeeksToThePointer()
    {
        Graph graph;
        graph.resize(500, 200);
        graph.new_nmea_data(constantDrive(600, 10.0));
        graph.current_video_length_changed(600500);
        graph.show();
        QVERIFY(QTest::qWaitForWindowExposed(&graph));
        QSignalSpy seeks(&graph, &Graph::seekRequested);

        for (int x : {graph.plotRect().left(), 137, 300, graph.plotRect().right()}) {
            QTest::mouseClick(&graph, Qt::LeftButton, Qt::NoModifier, QPoint(x, 100));
            QCOMPARE(seeks.count(), 1);
            const qint64 t = seeks.takeFirst().at(0).toLongLong();
            QVERIFY(t >= 0 && t <= 600500);
            graph.current_video_position_changed(t);
            QCOMPARE(graph.time_to_pixel(t), x);
            QVERIFY2(countInColumn(render(graph), x, graph.plotRect().top(), graph.plotRect().bottom(),
                                   isCyan) > 10,
                     qPrintable(QString::number(x)));
        }

        // Outside the plot, or with another button, a click does nothing.
        QTest::mouseClick(&graph, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
        QTest::mouseClick(&graph, Qt::RightButton, Qt::NoModifier, QPoint(300, 100));
        QCOMPARE(seeks.count(), 0);
    }

    void cachedPictureMatchesDirectDrawing_data()
    {
        QTest::addColumn<bool>("accelerations");
        QTest::addColumn<QSize>("size");
        QTest::newRow("with accelerations") << true << QSize(600, 200);
        QTest::newRow("speed only") << false << QSize(600, 200);
        QTest::newRow("wide") << true << QSize(1400, 300);
    }

    // The cached picture keeps of each curve only four points per pixel column; drawn from all
    // 3600 samples the picture is the same up to a few pixels' shading.
    void cachedPictureMatchesDirectDrawing()
    {
        QFETCH(bool, accelerations);
        QFETCH(QSize, size);
        const Samples samples = hourOfDriving(accelerations);

        Graph cached;
        Graph direct;
        direct.setCurveCacheEnabled(false);
        QVERIFY(cached.curveCacheEnabled());
        for (Graph* graph : {&cached, &direct}) {
            graph->resize(size);
            graph->setMedia(std::make_shared<Trip::TripList>(
                Trip::TripList{{1800000, false, {}, {}}, {60000, true, {}, {}}, {1740000, false, {}, {}}}));
            graph->new_nmea_data(samples);
            graph->current_video_length_changed(3600000);
            graph->current_video_position_changed(1234000);
        }
        const QImage a = render(cached);
        const QImage b = render(direct);
        QCOMPARE(a.size(), b.size());
        int differing = 0;
        int curvePixels = 0;
        for (int y = 0; y < a.height(); ++y) {
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y);
                const QRgb q = b.pixel(x, y);
                const int d = std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                        std::abs(qBlue(p) - qBlue(q))});
                differing += d > 64 ? 1 : 0;
                curvePixels += isCurve(q) ? 1 : 0;
            }
        }
        QVERIFY(curvePixels > size.width());
        QVERIFY2(differing * 1000 <= curvePixels * 5,
                 qPrintable(QStringLiteral("%1 of %2 curve pixels differ").arg(differing).arg(curvePixels)));
    }
};

QTEST_MAIN(TestDriveData)
#include "tst_drivedata.moc"
