#include "units.h"

#include <QtTest>

#include <cmath>

// The one place where numbers become text: lengths of time, speeds, accelerations,
// coordinates and dates.
class TestUnits : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
        Units::setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared);
        Units::setDisplayLocale(QLocale::c());
    }

    void durations_data()
    {
        QTest::addColumn<qint64>("milliseconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << "00:00";
        QTest::newRow("under a second") << qint64(999) << "00:00";
        QTest::newRow("minutes before seconds") << qint64(65999) << "01:05";
        QTest::newRow("negative reads as nothing") << qint64(-5000) << "00:00";
        QTest::newRow("last second of the hour") << qint64(3599999) << "59:59";
        QTest::newRow("one hour") << qint64(3600000) << "01:00:00";
        QTest::newRow("ten hours and a bit") << qint64(36065000) << "10:01:05";
        QTest::newRow("beyond 32 bits") << qint64(100) * 3600000 << "100:00:00";
    }

    void durations()
    {
        QFETCH(qint64, milliseconds);
        QTEST(Units::durationText(milliseconds), "text");
    }

    void clockTimes()
    {
        QCOMPARE(Units::clockText(30999), QStringLiteral("0:00:30"));
        QCOMPARE(Units::clockText(36065000), QStringLiteral("10:01:05"));
    }

    void speeds()
    {
        QCOMPARE(Units::speedText(10.0), QStringLiteral("36.0 km/h"));
        QCOMPARE(Units::speedText(qQNaN()), QStringLiteral("0.0 km/h")); // no value reads as 0
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QCOMPARE(Units::speedText(10.0), QStringLiteral("22.4 mph"));
    }

    void speedUnitFollowsMeasurementSystem()
    {
        using U = Units::SpeedUnit;
        QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::German, QLocale::Germany)), U::KilometresPerHour);
        QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::English, QLocale::UnitedStates)), U::MilesPerHour);
        // The imperial UK system counts as miles too.
        QCOMPARE(Units::defaultSpeedUnit(QLocale(QLocale::English, QLocale::UnitedKingdom)), U::MilesPerHour);
    }

    void accelerationsHaveNoNegativeZero()
    {
        QCOMPARE(Units::accelerationText(-0.04), QStringLiteral("0.0 m/s²"));
        QCOMPARE(Units::accelerationText(-0.05), QStringLiteral("-0.1 m/s²"));
        QCOMPARE(Units::fixed(-0.0, 0), QStringLiteral("0"));
        Units::setAccelerationUnit(Units::AccelerationUnit::StandardGravity);
        QCOMPARE(Units::accelerationText(9.80665), QStringLiteral("1.00 g"));
    }

    void coordinates_data()
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

    void coordinates()
    {
        QFETCH(double, latitude);
        QFETCH(double, longitude);
        QTEST(Units::latitudeText(latitude), "latitudeText");
        QTEST(Units::longitudeText(longitude), "longitudeText");
    }

    void datesFollowTheDisplayLocale()
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
        // The clock beside the picture always gives the whole year.
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        QCOMPARE(Units::clockTimeText(late), QStringLiteral("02.05.2024 00:30:15"));
        Units::setClockOffsetSeconds(0);
        QCOMPARE(Units::clockTimeText(QDateTime()), QString());
    }

    // The offset written with every clock time that leaves the program.
    void offsets_data()
    {
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("iso");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("compact");
        QTest::addColumn<QString>("clock"); // 2024-06-15 14:02:50 UTC on that clock
        QTest::newRow("ahead") << 7200LL << "+02:00"
                               << "+0200"
                               << "+2"
                               << "2024-06-15T16:02:50+02:00";
        QTest::newRow("none, never Z") << 0LL << "+00:00"
                                       << "+0000"
                                       << "+0"
                                       << "2024-06-15T14:02:50+00:00";
        QTest::newRow("behind, half hours")
            << -5400LL << "-01:30"
            << "-0130" << QString::fromUtf8("\u22121:30") << "2024-06-15T12:32:50-01:30";
        QTest::newRow("the day before")
            << -15LL * 3600 << "-15:00"
            << "-1500" << QString::fromUtf8("\u221215") << "2024-06-14T23:02:50-15:00";
        QTest::newRow("odd seconds") << -50430LL << "-14:00:30"
                                     << "-140030" << QString::fromUtf8("\u221214:00:30")
                                     << "2024-06-15T00:02:20-14:00:30";
    }

    void offsets()
    {
        QFETCH(qint64, seconds);
        QTEST(Units::offsetText(seconds), "iso");
        QTEST(Units::fileOffsetText(seconds), "file");
        QTEST(Units::shortOffsetText(seconds), "compact");
        const QDateTime fix(QDate(2024, 6, 15), QTime(14, 2, 50), Qt::UTC);
        QTEST(Units::clockIsoText(fix, seconds), "clock");
        // ISO 8601 has no seconds in an offset; the settings and the command line give whole minutes.
        if (seconds % 60 == 0)
            QCOMPARE(QDateTime::fromString(Units::clockIsoText(fix, seconds), Qt::ISODate), fix);
    }

    void isoTimesReadTheRecordedFields()
    {
        // The recorded value is read as it is, whatever zone the machine is in.
        const QDateTime local(QDate(2024, 3, 31), QTime(1, 30), Qt::LocalTime);
        QCOMPARE(Units::utcIsoText(local), QStringLiteral("2024-03-31T01:30:00Z"));
        QCOMPARE(Units::clockIsoText(local, -2 * 3600), QStringLiteral("2024-03-30T23:30:00-02:00"));
        QCOMPARE(Units::utcIsoText(QDateTime()), QString());
        QCOMPARE(Units::clockIsoText(QDateTime(), 60), QString());
    }

    void headings_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::addColumn<QString>("text");
        QTest::newRow("north") << 0.0 << QString::fromUtf8("0° N");
        QTest::newRow("last of north") << 22.4 << QString::fromUtf8("22° N");
        QTest::newRow("first of north-east") << 22.6 << QString::fromUtf8("23° NE");
        QTest::newRow("east") << 90.0 << QString::fromUtf8("90° E");
        QTest::newRow("south-west") << 225.0 << QString::fromUtf8("225° SW");
        QTest::newRow("north-west") << 337.4 << QString::fromUtf8("337° NW");
        QTest::newRow("rounds to north") << 359.6 << QString::fromUtf8("0° N");
        QTest::newRow("negative") << -90.0 << QString::fromUtf8("270° W");
        QTest::newRow("none") << qQNaN() << QString();
    }

    void headings()
    {
        QFETCH(double, degrees);
        QTEST(Units::headingText(degrees), "text");
    }

    void numbersFollowTheDisplayLocale()
    {
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

    void scaleBarLengths_data()
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

    // A round length no longer than the room for the scale bar, in the chosen units.
    void scaleBarLengths()
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
};

QTEST_GUILESS_MAIN(TestUnits)
#include "tst_units.moc"
