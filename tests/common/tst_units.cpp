#include "units.h"

#include <QtTest>

#include <cmath>

// The one place where numbers become text: lengths of time, speeds, accelerations,
// coordinates and dates.
class TestUnits : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void durations_data();
    void durations();
    void clockTimes();
    void speeds_data();
    void speeds();
    void speedUnitFollowsMeasurementSystem();
    void accelerationsHaveNoNegativeZero();
    void coordinates_data();
    void coordinates();
    void datesFollowTheDisplayLocale();
    void numbersFollowTheDisplayLocale();
    void scaleBarLengths_data();
    void scaleBarLengths();
};

void TestUnits::cleanup()
{
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    Units::setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared);
    Units::setDisplayLocale(QLocale::c());
}

void TestUnits::durations_data()
{
    QTest::addColumn<qint64>("milliseconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << qint64(0) << "00:00";
    QTest::newRow("under a second") << qint64(999) << "00:00";
    QTest::newRow("negative reads as nothing") << qint64(-5000) << "00:00";
    QTest::newRow("last second of the hour") << qint64(3599999) << "59:59";
    QTest::newRow("one hour") << qint64(3600000) << "01:00:00";
    QTest::newRow("ten hours and a bit") << qint64(36061000) << "10:01:01";
    QTest::newRow("beyond 32 bits") << qint64(100) * 3600000 << "100:00:00";
}

void TestUnits::durations()
{
    QFETCH(qint64, milliseconds);
    QTEST(Units::durationText(milliseconds), "text");
}

void TestUnits::clockTimes()
{
    QCOMPARE(Units::clockText(30999), QStringLiteral("0:00:30"));
    QCOMPARE(Units::clockText(36061000), QStringLiteral("10:01:01"));
}

void TestUnits::speeds_data()
{
    QTest::addColumn<Units::SpeedUnit>("unit");
    QTest::addColumn<double>("metresPerSecond");
    QTest::addColumn<QString>("text");
    const auto kmh = Units::SpeedUnit::KilometresPerHour;
    const auto mph = Units::SpeedUnit::MilesPerHour;
    QTest::newRow("km/h") << kmh << 10.0 << "36.0 km/h";
    QTest::newRow("mph") << mph << 10.0 << "22.4 mph";
    QTest::newRow("no value reads as 0") << kmh << qQNaN() << "0.0 km/h";
}

void TestUnits::speeds()
{
    QFETCH(Units::SpeedUnit, unit);
    QFETCH(double, metresPerSecond);
    Units::setSpeedUnit(unit);
    QTEST(Units::speedText(metresPerSecond), "text");
}

void TestUnits::speedUnitFollowsMeasurementSystem()
{
    using U = Units::SpeedUnit;
    QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::German, QLocale::Germany)), U::KilometresPerHour);
    QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::English, QLocale::UnitedStates)), U::MilesPerHour);
    // The imperial UK system counts as miles too.
    QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::English, QLocale::UnitedKingdom)), U::MilesPerHour);
}

void TestUnits::accelerationsHaveNoNegativeZero()
{
    QCOMPARE(Units::accelerationText(-0.04), QStringLiteral("0.0 m/s²"));
    QCOMPARE(Units::accelerationText(-0.05), QStringLiteral("-0.1 m/s²"));
    QCOMPARE(Units::fixed(-0.0, 0), QStringLiteral("0"));
    Units::setAccelerationUnit(Units::AccelerationUnit::StandardGravity);
    QCOMPARE(Units::accelerationText(9.80665), QStringLiteral("1.00 g"));
}

void TestUnits::coordinates_data()
{
    QTest::addColumn<double>("latitude");
    QTest::addColumn<double>("longitude");
    QTest::addColumn<QString>("latitudeText");
    QTest::addColumn<QString>("longitudeText");
    QTest::newRow("north-west") << 48.0 + 46.0 / 60 + 35.9 / 3600 << -(9.0 + 10.0 / 60 + 55.1 / 3600)
                                << QString::fromUtf8("48° 46' 35.9\" N")
                                << QString::fromUtf8("9° 10' 55.1\" W");
    QTest::newRow("south-east") << -33.5 << 151.25 << QString::fromUtf8("33° 30' 0.0\" S")
                                << QString::fromUtf8("151° 15' 0.0\" E");
    // 59.99 s rounds to a whole minute, which carries into the degrees.
    QTest::newRow("seconds never read 60")
        << 10.9999999 << 0.0 << QString::fromUtf8("11° 0' 0.0\" N") << QString::fromUtf8("0° 0' 0.0\" E");
    QTest::newRow("a hair south of the equator")
        << -1e-9 << -1e-9 << QString::fromUtf8("0° 0' 0.0\" N") << QString::fromUtf8("0° 0' 0.0\" E");
    QTest::newRow("no coordinate") << qQNaN() << qQNaN() << QString() << QString();
}

void TestUnits::coordinates()
{
    QFETCH(double, latitude);
    QFETCH(double, longitude);
    QTEST(Units::latitudeText(latitude), "latitudeText");
    QTEST(Units::longitudeText(longitude), "longitudeText");
}

void TestUnits::datesFollowTheDisplayLocale()
{
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 5), Qt::UTC);
    Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(Units::dateTimeText(start), QStringLiteral("01.05.24 09:05"));
    Units::setDisplayLocale(QLocale(QLocale::English, QLocale::UnitedKingdom));
    QCOMPARE(Units::dateTimeText(start), QStringLiteral("01/05/2024 09:05"));

    // Shown clock times move by the offset, across midnight too; the record keeps its time.
    const QDateTime late(QDate(2024, 5, 1), QTime(23, 30, 15), Qt::UTC);
    Units::setClockOffsetSeconds(3600);
    QCOMPARE(Units::clockTimeText(late), QStringLiteral("02/05/2024 00:30:15"));
    Units::setClockOffsetSeconds(0);
    QCOMPARE(Units::clockTimeText(QDateTime()), QString());
}

void TestUnits::numbersFollowTheDisplayLocale()
{
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    for (const char* name : {"de_DE", "ru_RU"}) {
        Units::setDisplayLocale(QLocale(QString::fromLatin1(name)));
        QCOMPARE(Units::accelerationText(-0.44).left(4), QStringLiteral("-0,4"));
        QCOMPARE(Units::fixed(-0.01, 1), QStringLiteral("0,0"));
        QCOMPARE(Units::fixed(1234.5, 1), QStringLiteral("1234,5"));
        QVERIFY(Units::latitudeText(48.7766).contains(QStringLiteral("35,8\"")));
    }
    Units::setDisplayLocale(QLocale(QStringLiteral("en_GB")));
    QCOMPARE(Units::fixed(1234.5, 1), QStringLiteral("1234.5"));
    QCOMPARE(Units::fixed(-0.04, 1), QStringLiteral("0.0"));
}

void TestUnits::scaleBarLengths_data()
{
    QTest::addColumn<double>("maxMetres");
    QTest::addColumn<bool>("metric");
    QTest::addColumn<double>("metres");
    QTest::addColumn<QString>("text");
    QTest::newRow("metres") << 270.0 << true << 200.0 << "200 m";
    QTest::newRow("exactly a kilometre") << 1000.0 << true << 1000.0 << "1 km";
    QTest::newRow("kilometres") << 7600.0 << true << 5000.0 << "5 km";
    QTest::newRow("under a metre") << 0.4 << true << 1.0 << "1 m";
    QTest::newRow("feet") << 100.0 << false << 200 * 0.3048 << "200 ft";
    QTest::newRow("just under a mile") << 1600.0 << false << 5000 * 0.3048 << "5000 ft";
    QTest::newRow("miles") << 25000.0 << false << 10 * 1609.344 << "10 mi";
}

void TestUnits::scaleBarLengths()
{
    QFETCH(double, maxMetres);
    QFETCH(bool, metric);
    QFETCH(double, metres);
    QFETCH(QString, text);
    const Units::ScaleLength length = Units::scaleLength(
        maxMetres, metric ? Units::SpeedUnit::KilometresPerHour : Units::SpeedUnit::MilesPerHour);
    QVERIFY(qAbs(length.metres - metres) < 1e-6);
    QCOMPARE(length.text, text);
    QVERIFY(length.metres <= qMax(maxMetres, 1.0) + 1e-6);
}

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
