#include "graph.h"

#include <QToolTip>
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

int countInColumn(const QImage& image, int x, int fromY, int toY, bool (*test)(QRgb))
{
    int count = 0;
    for (int y = fromY; y <= toY; ++y)
        count += test(image.pixel(x, y)) ? 1 : 0;
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

// The speed and acceleration graph: its scales, the mappings between values and pixels, what
// it draws and its tooltips.
class TestGraph : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void scales()
    {
        const double absent = std::nan(""); // not recorded: the sample's accelerations are invalid
        struct Row
        {
            const char* name;
            QVector<double> speeds, x, y;
            double speedScale, accelerationScale;
        };
        const Row rows[] = {{"standing still", {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, 5.0, 3.0},
                            {"10 m/s at most", {3, 10, 7}, {0, 0, 0}, {0, 0, 0}, 10.5, 3.0},
                            {"-2 to +3 m/s²", {1, 1}, {-2, 1}, {3, 0}, 5.0, 5.25},
                            {"hard braking", {20}, {-8}, {0}, 21.0, 21.0},
                            {"hard acceleration on Y", {1}, {0}, {6}, 5.0, 10.5},
                            {"invalid samples ignored", {1, 1}, {50, 2}, {absent, -1}, 5.0, 3.5},
                            {"no accelerations", {2, 4}, {9, absent}, {absent, absent}, 5.0, 0.0}};
        for (const Row& row : rows) {
            auto samples = std::make_shared<std::vector<DataPoint>>();
            for (int i = 0; i < row.speeds.size(); ++i) {
                const bool valid = !std::isnan(row.x[i]) && !std::isnan(row.y[i]);
                samples->push_back(sample(i * 1000, row.speeds[i], std::isnan(row.x[i]) ? 0.0 : row.x[i],
                                          std::isnan(row.y[i]) ? 0.0 : row.y[i], valid));
            }
            Graph graph;
            graph.new_nmea_data(samples);
            QVERIFY2(qFuzzyCompare(graph.speedScale(), row.speedScale), row.name);
            QVERIFY2(qFuzzyCompare(1 + graph.accelerationScale(), 1 + row.accelerationScale), row.name);
            QVERIFY2(graph.hasAcceleration() == (row.accelerationScale > 0), row.name);
            // A null vector clears the samples but keeps the scales.
            graph.new_nmea_data(nullptr);
            QVERIFY2(qFuzzyCompare(graph.speedScale(), row.speedScale), row.name);
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

    void mappingsRoundTrip_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("accelerations");
        QTest::newRow("minimum size") << QSize(320, 148) << true;
        QTest::newRow("without accelerations") << QSize(1001, 457) << false;
    }

    void mappingsRoundTrip()
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
        for (int x = 40; x <= w1 - 39; ++x)
            QVERIFY2(std::abs(graph.time_to_pixel(graph.pixel_to_time(x)) - x) <= 1,
                     qPrintable(QString::number(x)));
        QCOMPARE(graph.pixel_to_time(40), qint64(0));
        QCOMPARE(graph.pixel_to_time(w1 - 39), qint64(725000));
        QCOMPARE(graph.pixel_to_time(39), qint64(0));
        QCOMPARE(graph.pixel_to_time(w1 - 38), qint64(0));
        for (int y = 5; y <= graph.speed_to_pixel(0.0); ++y)
            QVERIFY2(std::abs(graph.speed_to_pixel(graph.pixel_to_speed(y)) - y) <= 1,
                     qPrintable(QString::number(y)));
        for (int y = 5; accelerations && y <= size.height() - 5; ++y) {
            const double a = graph.pixel_to_acceleration(y);
            QVERIFY2(std::abs(graph.acceleration_to_pixel(a) - y) <= 1, qPrintable(QString::number(y)));
        }
        const DataPoint& s = samples->at(100);
        QCOMPARE(graph.speed_to_QPoint(s),
                 QPoint(graph.time_to_pixel(100000), graph.speed_to_pixel(s.speed)));
        QCOMPARE(graph.acceleration_y_to_QPoint(s).y(), graph.acceleration_to_pixel(s.accelerationY));

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
        QVERIFY(countInColumn(image, cursorX, 0, curveY - 3, isCyan) >= (curveY - 3) / 3);
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
        QCOMPARE(graph.speed_to_pixel(0.0), (199 - 9) * 60 / 100 + 5);
        QCOMPARE(graph.acceleration_to_pixel(0.0), graph.speed_to_pixel(0.0));
        QVERIFY(brightPixels(render(graph)) > 0);

        graph.new_nmea_data(constantDrive(60, 10.0, -1, false));
        QCOMPARE(graph.speed_to_pixel(0.0), 199 - 4);
        QCOMPARE(graph.speed_to_pixel(graph.speedScale()), 5);
        // No scale: every acceleration maps onto the zero line instead of dividing by zero.
        QCOMPARE(graph.acceleration_to_pixel(2.0), 5);
        const QImage image = render(graph);
        QCOMPARE(brightPixels(image), 0);
        QCOMPARE(qGray(image.pixel(399 - 39, 100)), 255);
        QCOMPARE(qGray(image.pixel(200, 199 - 4)), 255);
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
};

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
