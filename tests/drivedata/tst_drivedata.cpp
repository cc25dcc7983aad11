#include "compass.h"
#include "drivedata.h"
#include "graph.h"
#include "units.h"

#include <QToolTip>
#include <QTranslator>
#include <QtTest>

#include <cmath>

using Samples = std::shared_ptr<std::vector<DataPoint>>;

namespace {

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
    s.speedValid = true;
    s.positionValid = true;
    s.directionValid = true;
    return s;
}

// Where the needle's tip points, as a unit vector in screen coordinates: the needle is slim at
// its tip and broad at its tail, so its white area lies mostly behind the centre.
QPointF needleTip(Compass& compass)
{
    const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPointF centre = QRectF(compass.roseRect()).center();
    const double reach = compass.roseRect().width() * 0.21; // inside the letters
    QPointF sum;
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QPointF offset = QPointF(x, y) - centre;
            if (std::hypot(offset.x(), offset.y()) <= reach && qGray(image.pixel(x, y)) > 160) {
                sum += offset;
                ++count;
            }
        }
    }
    if (count == 0) {
        return {};
    }
    const QPointF tail = sum / count;
    return -tail / std::hypot(tail.x(), tail.y());
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

class TestDriveData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void placeholderBeforeData();
    void sampleForTime_data();
    void sampleForTime();
    void newDataRestartsAtTripStart();
    void speedByLocale_data();
    void speedByLocale();
    void accelerationsOnlyWhenRecorded();
    void needle_data();
    void needle();
    void compassLetters();
    void textsFollowLanguage();

    // Seconds without data, and the compass's north, degrees and letters.
    void secondWithoutDataShowsNoData();
    void compassNorthAndDegrees();
    void compassLettersTranslated_data();
    void compassLettersTranslated();
};

void TestDriveData::initTestCase()
{
    DataPoint::registerMetaTypes();
}

void TestDriveData::cleanup()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

void TestDriveData::placeholderBeforeData()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DriveData panel;
    panel.resize(160, 160);
    QVERIFY(!panel.currentSample());
    QCOMPARE(panel.latitudeText(), QStringLiteral("Unknown"));
    QCOMPARE(panel.longitudeText(), QString());
    QCOMPARE(panel.speedValue(), 0);
    QCOMPARE(panel.speedUnitText(), QStringLiteral(" km/h"));

    Compass compass;
    compass.resize(300, 300);
    QCOMPARE(compass.direction(), 0.0);
    const QPointF tip = needleTip(compass);
    QVERIFY2(tip.y() < -0.95, qPrintable(QStringLiteral("%1 %2").arg(tip.x()).arg(tip.y())));
}

void TestDriveData::sampleForTime_data()
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

void TestDriveData::sampleForTime()
{
    QFETCH(qint64, position);
    QFETCH(int, index);
    QFETCH(double, heading);

    auto samples = std::make_shared<std::vector<DataPoint>>(
        std::vector<DataPoint>{sample(1000, 10), sample(2000, 20), sample(3000, 30)});
    samples->at(1).speed = 20.0;
    DriveData panel;
    Compass compass;
    connect(&panel, &DriveData::direction_changed, &compass, &Compass::set_direction);
    panel.new_nmea_data(samples);
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
        QCOMPARE(panel.currentSample(), &samples->at(index));
        QCOMPARE(panel.latitudeText(), QString::fromUtf8("48° 46' 35.9\" N"));
        QCOMPARE(panel.longitudeText(), QString::fromUtf8("9° 10' 55.1\" E"));
        QCOMPARE(panel.speedValue(), index == 1 ? 72 : 36);
    }
}

void TestDriveData::newDataRestartsAtTripStart()
{
    auto first =
        std::make_shared<std::vector<DataPoint>>(std::vector<DataPoint>{sample(0, 45), sample(1000, 90)});
    DriveData panel;
    panel.new_nmea_data(first);
    panel.current_video_position_changed(1500);
    QCOMPARE(panel.currentSample(), &first->at(1));

    auto second =
        std::make_shared<std::vector<DataPoint>>(std::vector<DataPoint>{sample(0, 180), sample(1000, 270)});
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

void TestDriveData::speedByLocale_data()
{
    QTest::addColumn<Units::SpeedUnit>("unit");
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("shown");
    QTest::addColumn<QString>("unitText");

    const auto kmh = Units::SpeedUnit::KilometresPerHour;
    const auto mph = Units::SpeedUnit::MilesPerHour;
    QTest::newRow("25 m/s metric") << kmh << 25.0 << 90 << " km/h";
    QTest::newRow("25 m/s in miles") << mph << 25.0 << 56 << " mph";
    QTest::newRow("98.8 km/h is rounded, not cut") << kmh << 98.8 / 3.6 << 99 << " km/h";
    QTest::newRow("rounded down") << kmh << 0.1 << 0 << " km/h";
}

void TestDriveData::speedByLocale()
{
    QFETCH(Units::SpeedUnit, unit);
    QFETCH(double, speed);
    Units::setSpeedUnit(unit);

    DriveData panel;
    panel.new_nmea_data(std::make_shared<std::vector<DataPoint>>(1, sample(0, 0, speed)));
    QTEST(panel.speedValue(), "shown");
    QTEST(panel.speedUnitText(), "unitText");
}

void TestDriveData::accelerationsOnlyWhenRecorded()
{
    DriveData panel;
    panel.resize(160, 160);
    auto samples = std::make_shared<std::vector<DataPoint>>(std::vector<DataPoint>{sample(0, 0, 5.0, false)});
    panel.new_nmea_data(samples);
    QVERIFY(!panel.hasAcceleration());
    QCOMPARE(yellowPixels(panel), 0);

    samples = std::make_shared<std::vector<DataPoint>>(
        std::vector<DataPoint>{sample(0, 0, 5.0, false), sample(1000, 0, 5.0, true)});
    panel.new_nmea_data(samples);
    QVERIFY(panel.hasAcceleration());
    QVERIFY(yellowPixels(panel) > 10);
}

void TestDriveData::needle_data()
{
    QTest::addColumn<double>("heading");
    QTest::addColumn<QPointF>("tip");
    QTest::addColumn<QSize>("size");

    QTest::newRow("north") << 0.0 << QPointF(0, -1) << QSize(300, 300);
    QTest::newRow("east") << 90.0 << QPointF(1, 0) << QSize(300, 300);
    QTest::newRow("south") << 180.0 << QPointF(0, 1) << QSize(300, 300);
    QTest::newRow("east, wide widget") << 90.0 << QPointF(1, 0) << QSize(420, 200);
    QTest::newRow("south-west, tall widget") << 225.0 << QPointF(-M_SQRT1_2, M_SQRT1_2) << QSize(200, 330);
}

void TestDriveData::needle()
{
    QFETCH(double, heading);
    QFETCH(QPointF, tip);
    QFETCH(QSize, size);

    Compass compass;
    compass.resize(size);
    compass.set_direction(heading);
    const QPointF seen = needleTip(compass);
    const double agreement = seen.x() * tip.x() + seen.y() * tip.y();
    QVERIFY2(agreement > 0.95, qPrintable(QStringLiteral("tip at %1 %2").arg(seen.x()).arg(seen.y())));
}

// The four letters sit on the circle, also when the widget is taller than wide.
void TestDriveData::compassLetters()
{
    Compass compass;
    compass.resize(120, 240);
    const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect rose = compass.roseRect();
    const int d = rose.width() - QFontInfo(compass.font()).pixelSize();
    const QPoint centre = rose.center();
    auto brightAround = [&](QPoint p) {
        for (int y = p.y() - 4; y <= p.y() + 4; ++y) {
            for (int x = p.x() - 4; x <= p.x() + 4; ++x) {
                if (qGray(image.pixel(x, y)) > 160 || qRed(image.pixel(x, y)) > 160) {
                    return true;
                }
            }
        }
        return false;
    };
    QVERIFY(brightAround(centre + QPoint(0, -d / 2)));
    QVERIFY(brightAround(centre + QPoint(0, d / 2)));
    QVERIFY(brightAround(centre + QPoint(-d / 2, 0)));
    QVERIFY(brightAround(centre + QPoint(d / 2, 0)));
}

void TestDriveData::textsFollowLanguage()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    DriveData panel;
    panel.resize(160, 160);
    Graph graph;
    graph.resize(400, 200);
    graph.show();
    graph.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&graph));
    const QImage before = panel.grab().toImage();

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCOMPARE(panel.latitudeText(), QStringLiteral("Unbekannt"));
    QVERIFY(panel.grab().toImage() != before);

    const QPoint axis(20, 100);
    QMouseEvent move(QEvent::MouseMove, axis, graph.mapToGlobal(axis), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&graph, &move);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Geschwindigkeit in km/h"));

    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(panel.latitudeText(), QStringLiteral("Unknown"));
}

// A second whose record the assembly made up: the panel shows no borrowed coordinate and no
// 0 km/h, and the compass no heading.
void TestDriveData::secondWithoutDataShowsNoData()
{
    auto samples = std::make_shared<std::vector<DataPoint>>();
    samples->push_back(sample(0, 40.0, 0.0));
    DataPoint missing = sample(1000, 0.0, 0.0, false);
    missing.speedValid = missing.positionValid = missing.directionValid = false;
    samples->push_back(missing);
    DriveData panel;
    panel.resize(160, 160);
    Compass compass;
    compass.resize(120, 70);
    connect(&panel, &DriveData::direction_changed, &compass, &Compass::set_direction);
    panel.new_nmea_data(samples);

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
    QCOMPARE(yellowPixels(panel) > 0, true); // the acceleration rows keep their unit

    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_ru_RU.qm")));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCOMPARE(panel.latitudeText(), QStringLiteral("Нет данных"));
    QCoreApplication::removeTranslator(&translator);
}

void TestDriveData::compassNorthAndDegrees()
{
    Compass compass;
    QVERIFY(compass.minimumHeight() >= Compass::MinimumSide);
    compass.resize(compass.minimumSize());
    QVERIFY(compass.roseRect().width() >= 64);
    auto redBalance = [&]() {
        // Red pixels above the rose's centre minus those below.
        const QImage image = compass.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QRect rose = compass.roseRect();
        const int reach = rose.width() / 4;
        int balance = 0;
        for (int y = rose.center().y() - reach; y <= rose.center().y() + reach; ++y) {
            for (int x = rose.center().x() - reach; x <= rose.center().x() + reach; ++x) {
                const QRgb p = image.pixel(x, y);
                if (qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90)
                    balance += y < rose.center().y() ? 1 : -1;
            }
        }
        return balance;
    };
    compass.set_direction(0.0);
    QVERIFY(redBalance() > 10);
    compass.set_direction(180.0);
    QVERIFY(redBalance() < -10);
    compass.set_direction(237.4);
    QCOMPARE(compass.headingText(), QStringLiteral("237°"));
    compass.set_direction(359.6);
    QCOMPARE(compass.headingText(), QStringLiteral("0°"));
    compass.set_direction(qQNaN());
    QCOMPARE(redBalance(), 0);
}

void TestDriveData::compassLettersTranslated_data()
{
    QTest::addColumn<QString>("catalog");
    QTest::addColumn<QStringList>("letters");
    QTest::newRow("en") << QString() << QStringList{"N", "E", "S", "W"};
    QTest::newRow("de") << "de_DE" << QStringList{"N", "O", "S", "W"};
    QTest::newRow("ru") << "ru_RU" << QStringList{"С", "В", "Ю", "З"};
}

void TestDriveData::compassLettersTranslated()
{
    QFETCH(QString, catalog);
    QTranslator translator;
    if (!catalog.isEmpty()) {
        QVERIFY(translator.load(QStringLiteral(":/resources/translations/trans_%1.qm").arg(catalog)));
        QVERIFY(QCoreApplication::installTranslator(&translator));
    }
    QTEST(Compass::cardinalLetters(), "letters");
    QCoreApplication::removeTranslator(&translator);
}

QTEST_MAIN(TestDriveData)
#include "tst_drivedata.moc"
