#include "graph.h"
#include "units.h"

#include <QToolTip>
#include <QTranslator>
#include <QtTest>

#include <cmath>

using Samples = std::shared_ptr<std::vector<DataPoint>>;

namespace {

DataPoint sample(qint64 time, double speed, double x = 0.0, double y = 0.0, bool valid = true,
                 bool fix = true)
{
    DataPoint s;
    s.time = time;
    s.speed = speed;
    s.accelerationX = x;
    s.accelerationY = y;
    s.accelerationValid = valid;
    s.fix = fix;
    s.speedValid = true;
    s.positionValid = fix;
    s.directionValid = true;
    return s;
}

// One sample per second at a constant speed, with accelerations of 0.
Samples constantDrive(int seconds, double speed, int fixUntil = -1)
{
    auto samples = std::make_shared<std::vector<DataPoint>>();
    for (int i = 0; i <= seconds; ++i) {
        samples->push_back(sample(i * 1000, speed, 0.0, 0.0, true, fixUntil < 0 || i <= fixUntil));
    }
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

bool hasInColumn(const QImage& image, int x, int fromY, int toY, bool (*test)(QRgb))
{
    for (int y = fromY; y <= toY; ++y) {
        if (test(image.pixel(x, y))) {
            return true;
        }
    }
    return false;
}

int countInColumn(const QImage& image, int x, int fromY, int toY, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = fromY; y <= toY; ++y) {
        count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
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

} // namespace

class TestGraph : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void scales_data();
    void scales();
    void eventBorders_data();
    void eventBorders();
    void mappingsRoundTrip_data();
    void mappingsRoundTrip();
    void timeScaleNeverZero();
    void rendersCurveAndCursor();
    void samplesWithoutFixAreDotted();
    void rightAxisWithoutAccelerations();
    void tooltips_data();
    void tooltips();

    // Gaps, round ticks, legend, cursor and seeking.
    void secondsWithoutDataAreGaps();
    void roundTicks_data();
    void roundTicks();
    void legend();
    void curvesStayInsideThePlot();
    void cursorOnTheSampleItMarks();
    void clickSeeksToThePointer();

    // The cached picture of long trips.
    void cachedPictureMatchesDirectDrawing_data();
    void cachedPictureMatchesDirectDrawing();
    void positionChangeKeepsThePicture();
};

void TestGraph::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestGraph::scales_data()
{
    const double absent = std::nan("");
    QTest::addColumn<QVector<double>>("speeds");
    QTest::addColumn<QVector<double>>("accX");
    QTest::addColumn<QVector<double>>("accY"); // NaN: not recorded, the sample's accelerations are invalid
    QTest::addColumn<double>("speedTopKmh");
    QTest::addColumn<double>("accelerationStep");
    QTest::addColumn<bool>("hasAcceleration");

    // 640 × 480: up to six ticks above the zero line; a round step holds the largest value
    // with 5 % room (at least 18 km/h and ±1 m/s²).
    QTest::newRow("standing still") << QVector<double>{0, 0, 0} << QVector<double>{0, 0, 0}
                                    << QVector<double>{0, 0, 0} << 20.0 << 0.5 << true;
    QTest::newRow("10 m/s at most") << QVector<double>{3, 10, 7} << QVector<double>{0, 0, 0}
                                    << QVector<double>{0, 0, 0} << 40.0 << 0.5 << true;
    QTest::newRow("-2 to +3 m/s²") << QVector<double>{1, 1} << QVector<double>{-2, 1} << QVector<double>{3, 0}
                                   << 20.0 << 1.0 << true;
    QTest::newRow("hard braking") << QVector<double>{20} << QVector<double>{-8} << QVector<double>{0} << 80.0
                                  << 5.0 << true;
    QTest::newRow("hard acceleration on Y")
        << QVector<double>{1} << QVector<double>{0} << QVector<double>{6} << 20.0 << 2.0 << true;
    QTest::newRow("invalid samples ignored") << QVector<double>{1, 1} << QVector<double>{50, 2}
                                             << QVector<double>{absent, -1} << 20.0 << 1.0 << true;
    QTest::newRow("no accelerations") << QVector<double>{2, 4} << QVector<double>{9, absent}
                                      << QVector<double>{absent, absent} << 20.0 << 0.0 << false;
}

void TestGraph::scales()
{
    QFETCH(QVector<double>, speeds);
    QFETCH(QVector<double>, accX);
    QFETCH(QVector<double>, accY);
    QFETCH(double, speedTopKmh);

    auto samples = std::make_shared<std::vector<DataPoint>>();
    for (int i = 0; i < speeds.size(); ++i) {
        const bool valid = !std::isnan(accX[i]) && !std::isnan(accY[i]);
        samples->push_back(sample(i * 1000, speeds[i], std::isnan(accX[i]) ? 0.0 : accX[i],
                                  std::isnan(accY[i]) ? 0.0 : accY[i], valid));
    }
    Graph graph;
    graph.resize(640, 480);
    graph.new_nmea_data(samples);
    QCOMPARE(qRound(graph.speedScale() * 3.6), qRound(speedTopKmh));
    QTEST(graph.accelerationTickStep(), "accelerationStep");
    QTEST(graph.hasAcceleration(), "hasAcceleration");

    // A null vector clears the samples but keeps the scales.
    graph.new_nmea_data(nullptr);
    QCOMPARE(qRound(graph.speedScale() * 3.6), qRound(speedTopKmh));
}

void TestGraph::eventBorders_data()
{
    QTest::addColumn<QVector<qint64>>("durations");
    QTest::addColumn<QVector<bool>>("events");
    QTest::addColumn<QVector<qint64>>("borders");

    QTest::newRow("normal then event")
        << QVector<qint64>{60000, 30000} << QVector<bool>{false, true} << QVector<qint64>{60000, 90000};
    QTest::newRow("event first") << QVector<qint64>{30000, 60000} << QVector<bool>{true, false}
                                 << QVector<qint64>{0, 30000};
    QTest::newRow("adjacent events") << QVector<qint64>{10000, 5000, 7000, 1000}
                                     << QVector<bool>{false, true, true, false}
                                     << QVector<qint64>{10000, 15000, 15000, 22000};
}

void TestGraph::eventBorders()
{
    QFETCH(QVector<qint64>, durations);
    QFETCH(QVector<bool>, events);
    QFETCH(QVector<qint64>, borders);

    auto trip = std::make_shared<Trip::TripList>();
    for (int i = 0; i < durations.size(); ++i) {
        Trip::TripItem item;
        item.duration = durations[i];
        item.isEvent = events[i];
        trip->push_back(item);
    }
    Graph graph;
    // Borders of an earlier trip must not survive.
    graph.setMedia(std::make_shared<Trip::TripList>(1, Trip::TripItem{5000, true, {}, {}}));
    graph.setMedia(trip);
    QCOMPARE(QVector<qint64>(graph.eventBorders().begin(), graph.eventBorders().end()), borders);

    graph.setMedia(nullptr);
    QVERIFY(graph.eventBorders().empty());
}

void TestGraph::mappingsRoundTrip_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("accelerations");
    QTest::newRow("minimum size") << QSize(320, 148) << true;
    QTest::newRow("wide") << QSize(1001, 457) << true;
    QTest::newRow("without accelerations") << QSize(640, 211) << false;
}

void TestGraph::mappingsRoundTrip()
{
    QFETCH(QSize, size);
    QFETCH(bool, accelerations);

    auto samples = std::make_shared<std::vector<DataPoint>>();
    for (int i = 0; i <= 725; ++i) {
        samples->push_back(sample(i * 1000, 30.0 * std::sin(i / 50.0) + 30.0, 4.0 * std::sin(i / 9.0),
                                  -2.5 * std::cos(i / 7.0), accelerations));
    }
    Graph graph;
    graph.resize(size);
    graph.new_nmea_data(samples);
    const int w1 = size.width() - 1;
    const int h1 = size.height() - 1;

    for (int x = 40; x <= w1 - 39; ++x) {
        const qint64 t = graph.pixel_to_time(x);
        QVERIFY2(std::abs(graph.time_to_pixel(t) - x) <= 1, qPrintable(QString::number(x)));
    }
    QCOMPARE(graph.pixel_to_time(40), qint64(0));
    QCOMPARE(graph.pixel_to_time(w1 - 39), qint64(725000));
    QCOMPARE(graph.pixel_to_time(39), qint64(0));
    QCOMPARE(graph.pixel_to_time(w1 - 38), qint64(0));

    const int speedZero = graph.speed_to_pixel(0.0);
    for (int y = 5; y <= speedZero; ++y) {
        QVERIFY2(std::abs(graph.speed_to_pixel(graph.pixel_to_speed(y)) - y) <= 1,
                 qPrintable(QString::number(y)));
    }
    if (accelerations) {
        for (int y = 5; y <= h1 - 4; ++y) {
            const double a = graph.pixel_to_acceleration(y);
            QVERIFY2(std::abs(graph.acceleration_to_pixel(a) - y) <= 1, qPrintable(QString::number(y)));
        }
    }
    const DataPoint& s = samples->at(100);
    QCOMPARE(graph.speed_to_QPoint(s), QPoint(graph.time_to_pixel(100000), graph.speed_to_pixel(s.speed)));
    QCOMPARE(graph.acceleration_y_to_QPoint(s).y(), graph.acceleration_to_pixel(s.accelerationY));
}

void TestGraph::timeScaleNeverZero()
{
    Graph graph;
    graph.resize(400, 200);
    graph.new_nmea_data(std::make_shared<std::vector<DataPoint>>(1, sample(0, 12.0)));
    QCOMPARE(graph.time_to_pixel(0), 40);
    QVERIFY(!render(graph).isNull());

    graph.new_nmea_data(std::make_shared<std::vector<DataPoint>>());
    QCOMPARE(graph.time_to_pixel(0), 40);
    QVERIFY(!render(graph).isNull());
}

void TestGraph::rendersCurveAndCursor()
{
    Graph graph;
    graph.resize(400, 200);
    graph.new_nmea_data(constantDrive(60, 10.0));
    graph.current_video_length_changed(60000);
    graph.current_video_position_changed(20000);
    const QImage image = render(graph);

    const int curveY = graph.speed_to_pixel(10.0);
    for (qint64 t = 5000; t <= 55000; t += 5000) {
        const int x = graph.time_to_pixel(t);
        QVERIFY2(hasInColumn(image, x, curveY - 1, curveY + 1, isCyan), qPrintable(QString::number(t)));
        QVERIFY2(!hasInColumn(image, x, 6, curveY - 3, isCyan) || x == graph.overlay_time_to_pixel(20000),
                 qPrintable(QString::number(t)));
    }

    const int cursorX = graph.overlay_time_to_pixel(20000);
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
}

void TestGraph::samplesWithoutFixAreDotted()
{
    Graph graph;
    graph.resize(700, 200);
    graph.new_nmea_data(constantDrive(60, 10.0, 30));
    const QImage image = render(graph);
    const int y = graph.speed_to_pixel(10.0);

    auto coverage = [&](qint64 from, qint64 to) {
        int hit = 0;
        const int x0 = graph.time_to_pixel(from);
        const int x1 = graph.time_to_pixel(to);
        for (int x = x0; x <= x1; ++x) {
            hit += hasInColumn(image, x, y - 1, y + 1, isCyan) ? 1 : 0;
        }
        return double(hit) / (x1 - x0 + 1);
    };
    QCOMPARE(coverage(2000, 28000), 1.0);
    QVERIFY(coverage(33000, 58000) < 0.8);
}

// Without recorded accelerations the speed takes the whole height and the right axis is bare.
void TestGraph::rightAxisWithoutAccelerations()
{
    auto brightPixels = [](const QImage& image) {
        int count = 0;
        const int w1 = image.width() - 1;
        for (int x = w1 - 38; x <= w1; ++x) {
            for (int y = 1; y < image.height(); ++y) {
                count += qGray(image.pixel(x, y)) > 60 ? 1 : 0;
            }
        }
        return count;
    };

    Graph graph;
    graph.resize(400, 200);
    graph.new_nmea_data(constantDrive(60, 10.0));
    const QRect plot = graph.plotRect();
    QCOMPARE(graph.speed_to_pixel(0.0), plot.top() + (plot.bottom() - plot.top()) * 60 / 100);
    QCOMPARE(graph.acceleration_to_pixel(0.0), graph.speed_to_pixel(0.0));
    QVERIFY(brightPixels(render(graph)) > 0);

    auto noAcc = constantDrive(60, 10.0);
    for (DataPoint& s : *noAcc) {
        s.accelerationValid = false;
    }
    graph.new_nmea_data(noAcc);
    QCOMPARE(graph.speed_to_pixel(0.0), graph.plotRect().bottom());
    QCOMPARE(graph.speed_to_pixel(graph.speedScale()), graph.plotRect().top());
    // No scale: every acceleration maps onto the zero line instead of dividing by zero.
    QCOMPARE(graph.acceleration_to_pixel(2.0), graph.plotRect().bottom());
    const QImage image = render(graph);
    QCOMPARE(brightPixels(image), 0);
    QCOMPARE(qGray(image.pixel(399 - 39, 100)), 255);
    QCOMPARE(qGray(image.pixel(200, graph.plotRect().bottom())), 255);
}

void TestGraph::tooltips_data()
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

void TestGraph::tooltips()
{
    QFETCH(int, x);
    QFETCH(bool, accelerations);
    QFETCH(QString, text);

    auto samples = constantDrive(60, 10.0);
    for (DataPoint& s : *samples) {
        s.accelerationX = 0.5;
        s.accelerationY = -0.25;
        s.accelerationValid = accelerations;
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

    const bool accepted = sendMove(graph, x);
    if (text.isEmpty()) {
        QVERIFY(!accepted);
        QTRY_VERIFY(!QToolTip::isVisible());
    } else {
        QVERIFY(accepted);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), text);
    }
}

namespace {

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

} // namespace

// Seconds 20 to 39 have no speed and no accelerations: their curves break off instead of
// dropping to the zero line.
void TestGraph::secondsWithoutDataAreGaps()
{
    auto samples = constantDrive(60, 20.0);
    for (DataPoint& s : *samples) {
        s.accelerationX = 2.0;
        s.accelerationY = -1.5;
        if (s.time >= 20000 && s.time < 40000) {
            s.speedValid = false;
            s.speed = 0.0;
            s.accelerationValid = false;
            s.accelerationX = s.accelerationY = 0.0;
        }
    }
    Graph graph;
    graph.resize(500, 220);
    graph.new_nmea_data(samples);
    const QImage image = render(graph);
    const QRect plot = graph.plotRect();
    for (qint64 t = 22000; t <= 37000; t += 1000) {
        const int x = graph.time_to_pixel(t);
        QVERIFY2(!hasInColumn(image, x, plot.top(), plot.bottom(), isCurve), qPrintable(QString::number(t)));
    }
    for (qint64 t : {5000, 50000}) {
        const int x = graph.time_to_pixel(t);
        QVERIFY(hasInColumn(image, x, plot.top(), plot.bottom(), isCyan));
        QVERIFY(hasInColumn(image, x, plot.top(), plot.bottom(), isYellow));
        QVERIFY(hasInColumn(image, x, plot.top(), plot.bottom(), isGreen));
    }
    // The scale ignores the missing values, and the tooltip shows none for them.
    QVERIFY(graph.speedScale() >= 20.0);
    const QString tip = graph.make_tooltip(samples->at(25));
    QVERIFY2(!tip.contains(QStringLiteral("0.0")), qPrintable(tip));
}

void TestGraph::roundTicks_data()
{
    QTest::addColumn<int>("speedUnit");
    QTest::addColumn<int>("accelerationUnit");
    QTest::addColumn<double>("topSpeed"); // m/s
    QTest::addColumn<QSize>("size");

    using S = Units::SpeedUnit;
    using A = Units::AccelerationUnit;
    QTest::newRow("87 km/h") << int(S::KilometresPerHour) << int(A::MetresPerSecondSquared) << 87 / 3.6
                             << QSize(500, 200);
    QTest::newRow("54 mph") << int(S::MilesPerHour) << int(A::MetresPerSecondSquared) << 24.14
                            << QSize(500, 200);
    QTest::newRow("in g") << int(S::KilometresPerHour) << int(A::StandardGravity) << 30.0 << QSize(500, 200);
    QTest::newRow("minimum size") << int(S::KilometresPerHour) << int(A::MetresPerSecondSquared) << 13.0
                                  << QSize(320, 148);
    QTest::newRow("tall") << int(S::MilesPerHour) << int(A::MetresPerSecondSquared) << 41.0
                          << QSize(700, 600);
}

void TestGraph::roundTicks()
{
    QFETCH(int, speedUnit);
    QFETCH(int, accelerationUnit);
    QFETCH(double, topSpeed);
    QFETCH(QSize, size);
    Units::setSpeedUnit(Units::SpeedUnit(speedUnit));
    Units::setAccelerationUnit(Units::AccelerationUnit(accelerationUnit));

    auto samples = constantDrive(100, 10.0);
    samples->at(40).speed = topSpeed;
    samples->at(50).accelerationX = 3.3;
    samples->at(60).accelerationY = -6.7;
    Graph graph;
    graph.resize(size);
    graph.new_nmea_data(samples);

    auto isRound = [](double step) {
        const double power = std::pow(10.0, std::floor(std::log10(step)));
        const double mantissa = step / power;
        return std::abs(mantissa - 1) < 1e-9 || std::abs(mantissa - 2) < 1e-9 ||
               std::abs(mantissa - 5) < 1e-9;
    };
    const double speedStep = graph.speedTickStep();
    QVERIFY2(isRound(speedStep), qPrintable(QString::number(speedStep)));
    const std::vector<Graph::Tick> speed = graph.speedTicks();
    QVERIFY(speed.size() >= 3);
    for (std::size_t k = 0; k < speed.size(); ++k) {
        QCOMPARE(speed[k].value, double(k) * speedStep);
        QCOMPARE(speed[k].y, graph.speed_to_pixel(speed[k].value / Units::speedValue(1.0)));
        if (k > 0)
            QVERIFY(speed[k - 1].y - speed[k].y >= 18);
    }
    QVERIFY(speed.back().value >= Units::speedValue(topSpeed));
    QCOMPARE(speed.back().y, graph.plotRect().top());

    const double accelerationStep = graph.accelerationTickStep();
    QVERIFY2(isRound(accelerationStep), qPrintable(QString::number(accelerationStep)));
    const std::vector<Graph::Tick> acceleration = graph.accelerationTicks();
    QVERIFY(acceleration.front().value <= Units::accelerationValue(-6.7));
    QVERIFY(acceleration.back().value >= Units::accelerationValue(3.3));
    for (const Graph::Tick& tick : acceleration) {
        const double multiple = tick.value / accelerationStep;
        QVERIFY(std::abs(multiple - std::round(multiple)) < 1e-9);
        // Both axes share the grid lines.
        QVERIFY(
            std::any_of(speed.begin(), speed.end(), [&](const Graph::Tick& s) { return s.y == tick.y; }) ||
            tick.value < 0);
        QVERIFY(tick.y >= graph.plotRect().top() && tick.y <= graph.plotRect().bottom());
    }
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    Units::setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared);
}

// Above the plot a legend names the curves in their colours, in the interface language.
void TestGraph::legend()
{
    Graph graph;
    graph.resize(600, 200);
    graph.new_nmea_data(constantDrive(60, 10.0));
    const QImage english = render(graph);
    const int rows = graph.plotRect().top() - 2;
    auto legendHas = [&](const QImage& image, bool (*test)(QRgb)) {
        for (int x = graph.plotRect().left(); x < graph.plotRect().right(); ++x) {
            if (hasInColumn(image, x, 0, rows, test))
                return true;
        }
        return false;
    };
    QVERIFY(legendHas(english, isCyan));
    QVERIFY(legendHas(english, isYellow));
    QVERIFY(legendHas(english, isGreen));

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QTRY_VERIFY(render(graph).copy(0, 0, 600, rows) != english.copy(0, 0, 600, rows));
    const QImage german = render(graph);
    QCoreApplication::removeTranslator(&translator);
    QTRY_COMPARE(render(graph), english);
    QCOMPARE(german.copy(0, rows + 1, 600, 100), english.copy(0, rows + 1, 600, 100));

    // Without accelerations only the speed is named.
    auto noAcc = constantDrive(60, 10.0);
    for (DataPoint& s : *noAcc)
        s.accelerationValid = false;
    graph.new_nmea_data(noAcc);
    const QImage speedOnly = render(graph);
    QVERIFY(legendHas(speedOnly, isCyan));
    QVERIFY(!legendHas(speedOnly, isYellow));
}

// The largest values lie exactly on round numbers: the curves still keep clear of the frame.
void TestGraph::curvesStayInsideThePlot()
{
    auto samples = constantDrive(60, 10.0);
    samples->at(30).speed = 100.0 / 3.6;
    samples->at(10).accelerationX = 2.0;
    samples->at(20).accelerationY = -2.0;
    for (const QSize& size : {QSize(320, 148), QSize(800, 300)}) {
        Graph graph;
        graph.resize(size);
        graph.new_nmea_data(samples);
        const QImage image = render(graph);
        const QRect plot = graph.plotRect();
        for (int x = 0; x < size.width(); ++x) {
            const bool inPlot = x > plot.left() && x < plot.right();
            // Above the plot only the legend's colour marks.
            for (int y = plot.top(); y < size.height(); ++y) {
                const bool inside = inPlot && y > plot.top() && y < plot.bottom();
                QVERIFY2(inside || !isCurve(image.pixel(x, y)),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
        QVERIFY(graph.speed_to_pixel(100.0 / 3.6) > plot.top());
    }
}

// The trip lasts 40 s and its last sample is at 39 s: the cursor for 20 s stands on the
// column where the sample of 20 s is drawn.
void TestGraph::cursorOnTheSampleItMarks()
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

    const int apexY = graph.speed_to_pixel(15.0);
    int apexX = -1;
    for (int x = graph.plotRect().left() + 1; x < graph.plotRect().right() && apexX < 0; ++x) {
        if (hasInColumn(withoutCursor, x, apexY - 1, apexY + 1, isCyan))
            apexX = x;
    }
    // The cursor: the column with the most cyan.
    int cursorX = -1;
    int most = 10;
    for (int x = graph.plotRect().left() + 1; x < graph.plotRect().right(); ++x) {
        const int count = countInColumn(image, x, graph.plotRect().top(), graph.plotRect().bottom(), isCyan);
        if (count > most) {
            most = count;
            cursorX = x;
        }
    }
    QVERIFY(apexX > 0);
    QCOMPARE(cursorX, graph.time_to_pixel(20000));
    QVERIFY2(std::abs(cursorX - apexX) <= 1, qPrintable(QStringLiteral("%1 %2").arg(cursorX).arg(apexX)));
}

void TestGraph::clickSeeksToThePointer()
{
    Graph graph;
    graph.resize(500, 200);
    graph.new_nmea_data(constantDrive(600, 10.0));
    graph.current_video_length_changed(600500);
    graph.show();
    graph.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&graph));
    QSignalSpy seeks(&graph, &Graph::seekRequested);

    for (int x : {graph.plotRect().left(), 137, 300, graph.plotRect().right()}) {
        QTest::mouseClick(&graph, Qt::LeftButton, Qt::NoModifier, QPoint(x, 100));
        QCOMPARE(seeks.count(), 1);
        const qint64 t = seeks.takeFirst().at(0).toLongLong();
        QVERIFY(t >= 0 && t <= 600500);
        graph.current_video_position_changed(t);
        QCOMPARE(graph.time_to_pixel(t), x);
        const QImage image = render(graph);
        QVERIFY2(countInColumn(image, x, graph.plotRect().top(), graph.plotRect().bottom(), isCyan) > 10,
                 qPrintable(QString::number(x)));
    }
    QCOMPARE(graph.time_to_pixel(graph.pixel_to_position(137)), 137);

    // Outside the plot a click does nothing; hovering still explains.
    QTest::mouseClick(&graph, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
    QTest::mouseClick(&graph, Qt::RightButton, Qt::NoModifier, QPoint(300, 100));
    QCOMPARE(seeks.count(), 0);
    QVERIFY(sendMove(graph, 300));
    QTRY_VERIFY(QToolTip::isVisible());
    QVERIFY(QToolTip::text().contains(QStringLiteral("36.0")));
}

namespace {

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
        if (i >= 1500 && i < 1620) {
            s.speedValid = false;
            s.accelerationValid = false;
        }
        samples->push_back(s);
    }
    return samples;
}

} // namespace

void TestGraph::cachedPictureMatchesDirectDrawing_data()
{
    QTest::addColumn<bool>("accelerations");
    QTest::addColumn<QSize>("size");
    QTest::newRow("with accelerations") << true << QSize(600, 200);
    QTest::newRow("speed only") << false << QSize(600, 200);
    QTest::newRow("wide") << true << QSize(1400, 300);
}

// The cached picture keeps of each curve only four points per pixel column; drawn from all
// 3600 samples the picture is the same up to a few pixels' shading.
void TestGraph::cachedPictureMatchesDirectDrawing()
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

// A new playing position draws the cached picture and the cursor: a change of the samples
// in place shows only after the data are announced again.
void TestGraph::positionChangeKeepsThePicture()
{
    const Samples samples = constantDrive(600, 10.0);
    Graph graph;
    graph.resize(500, 200);
    graph.new_nmea_data(samples);
    graph.current_video_length_changed(600000);
    const QImage before = render(graph);
    const int x = graph.time_to_pixel(300000);
    const int y = graph.speed_to_pixel(10.0);
    QVERIFY(hasInColumn(before, x + 20, y - 1, y + 1, isCyan));

    for (DataPoint& s : *samples)
        s.speed = 2.0;
    graph.current_video_position_changed(300000);
    const QImage moved = render(graph);
    QVERIFY(hasInColumn(moved, x + 20, y - 1, y + 1, isCyan));
    QVERIFY(countInColumn(moved, x, graph.plotRect().top(), graph.plotRect().bottom(), isCyan) > 10);

    graph.new_nmea_data(samples);
    QVERIFY(!hasInColumn(render(graph), x + 20, y - 1, y + 1, isCyan));
}

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
