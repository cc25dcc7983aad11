#include "qnmeapositioninfo.h"
#include "utilities.h"

#include <QtTest>

#include <cmath>

using P = QNmeaPositionInfo;

class TestPositionInfo : public QObject
{
    Q_OBJECT

private slots:
    void extendedValidity_data();
    void extendedValidity();
    void toDecimal_data();
    void toDecimal();
    void freshRecord();
    void attributeText_data();
    void attributeText();
    void markerText_data();
    void markerText();
    void copiesAreDeep();
    void textsFollowTheValues();
    void timestampDiff_data();
    void timestampDiff();
    void coordinateParts();
    void debugTexts();
    void split_data();
    void split();
    void splitLongInput();
    void secureStod_data();
    void secureStod();
    void metaTypeResolvesByName();
};

void TestPositionInfo::extendedValidity_data()
{
    QTest::addColumn<double>("lat");
    QTest::addColumn<double>("lon");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("extended");
    QTest::newRow("near equator") << 0.005 << 10.0 << true << false;
    QTest::newRow("edge of tolerance") << 0.01 << 10.0 << true << false;
    QTest::newRow("near meridian") << 48.0 << -0.01 << true << false;
    QTest::newRow("just outside") << 0.02 << -0.02 << true << true;
    QTest::newRow("out of range") << 91.0 << 10.0 << false << false;
}

void TestPositionInfo::extendedValidity()
{
    QFETCH(double, lat);
    QFETCH(double, lon);
    QFETCH(bool, valid);
    QFETCH(bool, extended);
    const QNmeaCoordinate c(lat, lon);
    QCOMPARE(c.isValid(), valid);
    QCOMPARE(c.isExtendedValid(), extended);
    const P withTime(c, QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
    QCOMPARE(withTime.isExtendedValid(), extended);
    QVERIFY(!P(c, QDateTime()).isExtendedValid());
}

void TestPositionInfo::toDecimal_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("hemisphere");
    QTest::addColumn<double>("expected");
    QTest::newRow("north") << "4846.5995"
                           << "N" << 48 + 46.5995 / 60;
    QTest::newRow("south") << "4846.5995"
                           << "S" << -(48 + 46.5995 / 60);
    QTest::newRow("west, three digits") << "12330.0000"
                                        << "W" << -123.5;
    QTest::newRow("lower case is positive") << "12330.0000"
                                            << "w" << 123.5;
    QTest::newRow("checksum glued") << "0030.0000*6A"
                                    << "E" << 0.5;
}

void TestPositionInfo::toDecimal()
{
    QFETCH(QString, value);
    QFETCH(QString, hemisphere);
    QFETCH(double, expected);
    QVERIFY(qAbs(QNmeaCoordinate::toDecimal(value, hemisphere) - expected) < 1e-12);
    const QNmeaCoordinate c = QNmeaCoordinate::fromString("4846.5995", "N", value, hemisphere);
    QVERIFY(qAbs(c.longitude() - expected) < 1e-12 || !c.isValid());
    QVERIFY(qIsNaN(c.altitude()));
}

void TestPositionInfo::freshRecord()
{
    const P p;
    QVERIFY(!p.isValid());
    QVERIFY(qIsNaN(p.attribute(P::AccelerationX)));
    QVERIFY(!p.hasAttribute(P::AccelerationX));
    QVERIFY(qIsNaN(p.attribute(P::GroundSpeed)));
    QVERIFY(!p.marker(P::Event));
    QVERIFY(p.timestampText().isEmpty());
    QVERIFY(p.speedText().isEmpty());
    QVERIFY(p.fileName().isEmpty());
}

void TestPositionInfo::attributeText_data()
{
    QTest::addColumn<int>("attribute");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("stored");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("speedText");
    QTest::newRow("knots to m/s") << int(P::GroundSpeed) << "10" << true << 10 * 1.852 / 3.6 << "5.14444";
    QTest::newRow("exactly 1.0 ignored") << int(P::Direction) << "1.0" << false << 0.0 << "";
    QTest::newRow("1 knot ignored") << int(P::GroundSpeed) << "1" << false << 0.0 << "";
    QTest::newRow("direction") << int(P::Direction) << "359.9" << true << 359.9 << "";
    QTest::newRow("acceleration, checksum glued")
        << int(P::AccelerationY) << "-0.25*3C" << true << -0.25 << "";
    QTest::newRow("unparsable stores NaN") << int(P::AccelerationX) << "abc" << true << qQNaN() << "";
}

void TestPositionInfo::attributeText()
{
    QFETCH(int, attribute);
    QFETCH(QString, text);
    QFETCH(bool, stored);
    QFETCH(double, value);
    QFETCH(QString, speedText);
    P p;
    const auto key = attribute >= P::AccelerationX ? P::AttributeKey(P::Attribute(attribute))
                                                   : P::AttributeKey(QGeoPositionInfo::Attribute(attribute));
    p.setAttribute(key, text.toStdString());
    QCOMPARE(p.hasAttribute(key), stored);
    if (stored && qIsNaN(value))
        QVERIFY(qIsNaN(p.attribute(key)));
    else if (stored)
        QVERIFY(qAbs(p.attribute(key) - value) < 1e-12);
    QCOMPARE(p.speedText(), speedText);
}

void TestPositionInfo::markerText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("2") << "2" << true;
    QTest::newRow("blank 3") << " 3" << true;
    QTest::newRow("-1") << "-1" << false;
    QTest::newRow("1 with checksum") << "1*5B" << true;
    QTest::newRow("no number keeps marker") << "x" << true;
    QTest::newRow("out of range keeps marker") << "99999999999999999999" << true;
}

void TestPositionInfo::markerText()
{
    QFETCH(QString, text);
    QFETCH(bool, expected);
    P p;
    p.setMarker(P::Fix, true);
    p.setMarker(P::Fix, text.toStdString());
    QCOMPARE(p.marker(P::Fix), expected);
    p.setMarker(P::Event, "0"); // a string literal must not read as a true bool
    QVERIFY(!p.marker(P::Event));
}

void TestPositionInfo::copiesAreDeep()
{
    P p(QNmeaCoordinate(48.5, 9.25), QDateTime(QDate(2024, 5, 1), QTime(10, 0, 5)));
    p.setMarker(P::Event, true);
    p.setAttribute(P::AccelerationX, 0.5);
    p.setAttribute(P::GroundSpeed, std::string("10"));
    p.setFileName("/c/001_0001_20240501100000.mp4");

    P copy(p);
    QVERIFY(copy.marker(P::Event));
    QCOMPARE(copy.attribute(P::AccelerationX), 0.5);
    QCOMPARE(copy.fileName(), p.fileName());
    QCOMPARE(copy.speedText(), QStringLiteral("5.14444"));
    QCOMPARE(copy.timestampText(), QDate(2024, 5, 1).toString(Qt::TextDate) + "\n10:00:05");
    QCOMPARE(copy.tooltip(), copy.timestampText() + "\n5.14444");

    copy.setAttribute(P::AccelerationX, 2.0);
    copy.setMarker(P::Event, false);
    copy.setTimestamp(QDateTime(QDate(2024, 5, 2), QTime(11, 0)));
    QCOMPARE(p.attribute(P::AccelerationX), 0.5);
    QVERIFY(p.marker(P::Event));
    QVERIFY(p.timestampText().endsWith("10:00:05"));
    QVERIFY(copy.timestampText().endsWith("11:00:00"));

    P assigned;
    assigned = p;
    QCOMPARE(assigned.timestampText(), p.timestampText());
    QCOMPARE(assigned.attribute(P::AccelerationX), 0.5);
}

void TestPositionInfo::textsFollowTheValues()
{
    P p(QNmeaCoordinate(48.5, 9.25), QDateTime(QDate(2024, 5, 1), QTime(10, 0, 5), Qt::UTC));
    p.setAttribute(P::GroundSpeed, 10.0);
    // Changed through the base class, which knows nothing of the texts.
    QGeoPositionInfo& base = p;
    base.setTimestamp(QDateTime(QDate(2024, 5, 2), QTime(23, 59, 59), Qt::UTC));
    base.setAttribute(QGeoPositionInfo::GroundSpeed, 2.5);
    const P copy(p);
    QCOMPARE(copy.timestampText(), QDate(2024, 5, 2).toString(Qt::TextDate) + "\n23:59:59");
    QCOMPARE(copy.speedText(), QStringLiteral("2.5"));
    base.removeAttribute(QGeoPositionInfo::GroundSpeed);
    QVERIFY(p.speedText().isEmpty());
    QCOMPARE(p.tooltip(), p.timestampText() + "\n");
    // No timestamp, no text.
    p.setTimestamp(QDateTime());
    QVERIFY(p.timestampText().isEmpty());
}

void TestPositionInfo::timestampDiff_data()
{
    QTest::addColumn<QTime>("mine");
    QTest::addColumn<QTime>("other");
    QTest::addColumn<int>("diff");
    QTest::addColumn<bool>("within");
    QTest::newRow("two apart") << QTime(12, 0, 0) << QTime(12, 0, 2) << 2 << false;
    QTest::newRow("one back") << QTime(12, 0, 1) << QTime(12, 0, 0) << -1 << true;
    QTest::newRow("same") << QTime(12, 0, 0) << QTime(12, 0, 0) << 0 << true;
}

void TestPositionInfo::timestampDiff()
{
    QFETCH(QTime, mine);
    QFETCH(QTime, other);
    QFETCH(int, diff);
    QFETCH(bool, within);
    const P a(QNmeaCoordinate(48, 9), QDateTime(QDate(2024, 5, 1), mine));
    const P b(QNmeaCoordinate(48, 9), QDateTime(QDate(2020, 1, 1), other)); // dates are ignored
    int result = 99;
    QCOMPARE(a.isTimestampDiffWithingSec(&result, b), within);
    QCOMPARE(result, diff);
}

void TestPositionInfo::coordinateParts()
{
    P p(QNmeaCoordinate(48.5, -9.25), QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
    QCOMPARE(QString::fromStdString(p.coordinateToStdString(P::Latitude)),
             QString::fromUtf8("48° 30' 0.0\" N"));
    QCOMPARE(QString::fromStdString(p.coordinateToStdString(P::Longitude)),
             QString::fromUtf8(" 9° 15' 0.0\" W"));
    QCOMPARE(p.coordinateToStdString(P::Altitude), std::string());
    QGeoCoordinate high(48.5, -9.25, 250);
    p.setCoordinate(high);
    QCOMPARE(p.coordinateToStdString(P::Altitude), std::string(" 250m"));
}

void TestPositionInfo::debugTexts()
{
    P p(QNmeaCoordinate(48.5, 9.25), QDateTime(QDate(2024, 5, 1), QTime(10, 0, 5)));
    p.setAttribute(P::GroundSpeed, 12.5);
    p.setAttribute(P::Direction, 90.75);
    p.setAttribute(P::AccelerationY, -0.5);
    p.setMarker(P::Fix, true);
    p.setMarker(P::VideoGapBegin, true);
    p.setFileName("/c/001_0001_20240501100000.mp4");
    const QString text = p.toString();
    QVERIFY2(text.startsWith("Timestamp 2024-05-01 10:00:05 Coor: "), qPrintable(text));
    QVERIFY2(text.endsWith("Speed: 12.5000 AccX: nan AccY: -0.5000 Dir: 90.8 Fix: 1 Event 0 NGap (0, 0) "
                           "VGap (0, 1), FileTime 2024-05-01 10:00:00"),
             qPrintable(text));
    const QString std = QString::fromStdString(p.toStdString());
    QVERIFY2(std.startsWith("Timestamp: 2024-05-01 10:00:05 Coor: "), qPrintable(std));
    QVERIFY2(std.endsWith("Speed: 12.5000 AccX: nan AccY: -0.5000 Dir: 90.8 Fix: 1 Event: 0 NGap: (0,0) "
                          "VGap: (0,1) FileTime: 2024-05-01 10:00:00"),
             qPrintable(std));
}

void TestPositionInfo::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QStringList>("fields");
    QTest::newRow("empty fields kept") << "a,,b"
                                       << "," << QStringList{"a", "", "b"};
    QTest::newRow("no trailing field") << "a,b,"
                                       << "," << QStringList{"a", "b"};
    QTest::newRow("no separator") << "abc"
                                  << "," << QStringList{"abc"};
    QTest::newRow("empty text") << ""
                                << "," << QStringList{""};
    QTest::newRow("leading separator") << ",a"
                                       << "," << QStringList{"", "a"};
    QTest::newRow("regex") << "a1b22c"
                           << "[0-9]+" << QStringList{"a", "b", "c"};
    QTest::newRow("regex, trailing") << "a b  "
                                     << "\\s+" << QStringList{"a", "b"};
    QTest::newRow("multi-char literal") << "a::b"
                                        << "::" << QStringList{"a", "b"};
}

void TestPositionInfo::split()
{
    QFETCH(QString, text);
    QFETCH(QString, separator);
    QFETCH(QStringList, fields);
    QStringList result;
    for (const std::string& f : Utilities::split(text.toStdString(), separator.toStdString()))
        result << QString::fromStdString(f);
    QCOMPARE(result, fields);
}

void TestPositionInfo::splitLongInput()
{
    const std::string blanks = "a" + std::string(1 << 20, ' ') + "b";
    QCOMPARE(Utilities::split(blanks, "\\s+"), (std::vector<std::string>{"a", "b"}));
    const std::string commas(1 << 20, ',');
    QCOMPARE(Utilities::split(commas, ",").size(), std::size_t(1 << 20));
}

void TestPositionInfo::secureStod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("plain") << "12.5" << 12.5;
    QTest::newRow("blanks") << "  -3.25" << -3.25;
    QTest::newRow("plus") << "+4" << 4.0;
    QTest::newRow("prefix only") << "022.4*6A" << 22.4;
    QTest::newRow("exponent") << "1e3x" << 1000.0;
    QTest::newRow("hex") << "0x10" << 16.0;
    QTest::newRow("nothing") << "abc" << qQNaN();
    QTest::newRow("empty") << "" << qQNaN();
    QTest::newRow("double sign") << "+-1" << qQNaN();
    QTest::newRow("out of range") << "1e999" << qQNaN();
}

void TestPositionInfo::secureStod()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double value = Utilities::secureStod(text.toStdString());
    if (qIsNaN(expected))
        QVERIFY(qIsNaN(value));
    else
        QCOMPARE(value, expected);
}

void TestPositionInfo::metaTypeResolvesByName()
{
    P::registerMetaTypes();
    const int id = qMetaTypeId<std::shared_ptr<std::vector<P>>>();
    QCOMPARE(QMetaType::type("std::shared_ptr<std::vector<QNmeaPositionInfo>>"), id);
    QCOMPARE(QMetaType::type("std::shared_ptr<std::vector<QNmeaPositionInfo> >"), id);
}

QTEST_GUILESS_MAIN(TestPositionInfo)
#include "tst_positioninfo.moc"
