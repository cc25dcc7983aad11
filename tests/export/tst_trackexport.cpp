#include "exportfixture.h"
#include "trackexport.h"
#include "tripsession.h"
#include "units.h"

#include <QBuffer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QStringList csvRows(const TrackExport& track)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    track.write(TrackExport::Format::Csv, buffer);
    return QString::fromUtf8(buffer.data()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QByteArray written(const TrackExport& track, TrackExport::Format format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    return track.write(format, buffer) ? buffer.data() : QByteArray();
}

} // namespace

class TestTrackExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void gpxIsValidAndRoundTrips();
    void clipTrackFollowsTheTimeline();
    void eachClockSecondOnceInTimeOrder_data();
    void eachClockSecondOnceInTimeOrder();
    void csvHasOneRowPerSecond();
    void kmlMarksEachEventRecording();
    void kmlIsValidWithATimePerPoint();
    void rangeTakesTheSecondsItTouches_data();
    void rangeTakesTheSecondsItTouches();
    void timesAreInstants_data();
    void timesAreInstants();
    void savingNeverReplacesARecording();

private:
    QTemporaryDir m_dir;
    Trip::TripList m_trip;
    PositionsPtr m_positions;
};

void TestTrackExport::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A drive of 10 s, an event recording that repeats its last 5 s and goes on, a pause of
    // 15 s, 10 s more, and a last file of 5 s without any position.
    const QDate day(2024, 5, 1);
    const auto add = [this, day](const QString& name, bool event, qint64 ms, const QTime& start, int fixes,
                                 double lat) {
        const QString video = m_dir.filePath(name + QStringLiteral(".mp4"));
        const QString nmea = m_dir.filePath(name + QStringLiteral(".nmea"));
        QVERIFY(Fixture::writeTrack(nmea, QDateTime(day, start), fixes, lat));
        m_trip.push_back(Trip::TripItem{ms, event, video, nmea});
    };
    add(QStringLiteral("001_0001_20240501100000"), false, 10000, QTime(10, 0, 0), 10, 48.1);
    add(QStringLiteral("EVENT_001_0001_20240501100005"), true, 10000, QTime(10, 0, 5), 10, 48.2);
    add(QStringLiteral("001_0002_20240501100030"), false, 10000, QTime(10, 0, 30), 10, 48.1);
    add(QStringLiteral("001_0003_20240501100040"), false, 5000, QTime(10, 0, 40), 0, 48.1);
    m_positions = TripSession::loadNow(m_trip)->positions();
    QVERIFY(m_positions);
    QCOMPARE(m_positions->size(), std::size_t(35));
}

void TestTrackExport::gpxIsValidAndRoundTrips()
{
    TrackExport track(m_trip, m_positions);
    track.setName(QStringLiteral("Drive & <test>"));
    QString error;
    const QVector<Fixture::GpxPoint> points =
        Fixture::readGpx(written(track, TrackExport::Format::Gpx), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));

    // Every second with a fix comes back once, in time order: the drive's 10 s, the 5 s only the
    // event recording covers, and after the pause 10 s more.
    QCOMPARE(points.size(), 25);
    for (int i = 0; i < points.size(); ++i) {
        const int second = i < 15 ? i : 30 + i - 15;
        QCOMPARE(points[i].time, QStringLiteral("2024-05-01T10:00:%1Z").arg(second, 2, 10, QLatin1Char('0')));
        // Where both recordings hold a second, the ordinary one's point is written.
        QCOMPARE(points[i].lat, second >= 10 && second < 15 ? 48.2 : 48.1);
        QCOMPARE(points[i].segment, i < 15 ? 1 : 2);
        const QNmeaPositionInfo& record = (*m_positions)[std::size_t(i < 10 ? i : i + 5)];
        QVERIFY(qAbs(points[i].lon - record.coordinate().longitude()) < 1e-8);
        QVERIFY(qAbs(points[i].ele - record.coordinate().altitude()) < 0.05);
        QVERIFY(qAbs(points[i].speed - record.attribute(QNmeaPositionInfo::GroundSpeed)) < 1e-3);
    }
    QVERIFY(qAbs(points[0].speed - Fixture::Kmh / 3.6) < 0.001);
}

// The track beside a clip shows what the video shows: the event recording's repeated seconds
// in their place, in a segment of their own so that no segment runs back in time.
void TestTrackExport::clipTrackFollowsTheTimeline()
{
    TrackExport track(m_trip, m_positions);
    track.setOrder(TrackExport::Order::Timeline);
    QString error;
    const QVector<Fixture::GpxPoint> points =
        Fixture::readGpx(written(track, TrackExport::Format::Gpx), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    int index = 0;
    for (const QNmeaPositionInfo& record : *m_positions) {
        if (!TrackExport::hasFix(record))
            continue;
        QVERIFY(index < points.size());
        const Fixture::GpxPoint& point = points[index++];
        QVERIFY(qAbs(point.lat - record.coordinate().latitude()) < 1e-8);
        QCOMPARE(point.time, Units::utcIsoText(record.timestamp()));
    }
    QCOMPARE(points.size(), index);
    QCOMPARE(points.size(), 30);
    for (int i = 0; i < points.size(); ++i) {
        QCOMPARE(points[i].segment, 1 + i / 10);
        if (i > 0 && points[i].segment == points[i - 1].segment)
            QVERIFY(points[i].time > points[i - 1].time);
    }
}

void TestTrackExport::eachClockSecondOnceInTimeOrder_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("rows");

    QTest::newRow("whole trip") << 0LL << 35000LL << "10:00:00" << 30;
    // The drive's last seconds and the event recording that repeats them.
    QTest::newRow("across the repeat") << 7000LL << 12999LL << "10:00:05" << 5;
    QTest::newRow("only the event recording") << 10000LL << 19999LL << "10:00:05" << 10;
}

void TestTrackExport::eachClockSecondOnceInTimeOrder()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QString, first);
    QFETCH(int, rows);
    TrackExport track(m_trip, m_positions);
    track.setRange(from, to);
    const QStringList lines = csvRows(track).mid(1);
    QCOMPARE(lines.size(), rows);
    QCOMPARE(lines.first().section(QLatin1Char(','), 1, 1), QStringLiteral("2024-05-01T%1+00:00").arg(first));
    QString previous;
    for (const QString& line : lines) {
        const QString clock = line.section(QLatin1Char(','), 1, 1);
        QVERIFY2(clock > previous, qPrintable(previous + QStringLiteral(" then ") + clock));
        previous = clock;
    }
}

void TestTrackExport::csvHasOneRowPerSecond()
{
    const QStringList rows = csvRows(TrackExport(m_trip, m_positions));
    QCOMPARE(rows.first(),
             QStringLiteral("trip_s,clock,lat,lon,alt,speed_kmh,heading,acc_x,acc_y,fix,event"));
    QCOMPARE(rows.size(), 1 + 30);
    const QStringList first = rows[1].split(QLatin1Char(','));
    QCOMPARE(first.size(), 11);
    QCOMPARE(first[0], QStringLiteral("0"));
    QCOMPARE(first[1], QStringLiteral("2024-05-01T10:00:00+00:00"));
    QCOMPARE(first[2].toDouble(), 48.1);
    QVERIFY(qAbs(first[5].toDouble() - Fixture::Kmh) < 0.01);
    QCOMPARE(first[6], QStringLiteral("90.0"));
    QCOMPARE(first[9], QStringLiteral("1"));
    QCOMPARE(first[10], QStringLiteral("0"));
    // The seconds the event recording covers carry the event flag, also those the drive holds
    // too (written from the drive's records, at their trip second); the file after the event
    // carries it as well.
    const auto field = [&rows](int row, int column) {
        return rows[1 + row].section(QLatin1Char(','), column, column);
    };
    QCOMPARE(field(4, 10), QStringLiteral("0"));
    for (int row = 5; row < 25; ++row)
        QCOMPARE(field(row, 10), QStringLiteral("1"));
    QCOMPARE(field(5, 0), QStringLiteral("5"));
    QCOMPARE(field(10, 0), QStringLiteral("15"));
    // The file without positions is filled with substitutes: located, but no fix; it does not
    // follow the event, so it carries no event mark.
    const QStringList substitute = rows[1 + 25].split(QLatin1Char(','));
    QCOMPARE(substitute[0], QStringLiteral("30"));
    QVERIFY(!substitute[2].isEmpty());
    QCOMPARE(substitute[9], QStringLiteral("0"));
    QCOMPARE(substitute[10], QStringLiteral("0"));
}

namespace {

struct Kml
{
    QStringList whens;  // of the track
    QStringList coords; // of the track
    QStringList marks;  // coordinates of the points
    QStringList markWhens;
    QString error;
};

Kml readKml(const QByteArray& bytes)
{
    Kml kml;
    QXmlStreamReader xml(bytes);
    bool inTrack = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("Track"))
            inTrack = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("Track")) {
            inTrack = xml.namespaceUri() == QLatin1String("http://www.google.com/kml/ext/2.2");
        } else if (xml.name() == QLatin1String("Point")) {
            xml.readNextStartElement();
            kml.marks << xml.readElementText();
        } else if (xml.name() == QLatin1String("when")) {
            (inTrack ? kml.whens : kml.markWhens) << xml.readElementText();
        } else if (xml.name() == QLatin1String("coord") && inTrack) {
            kml.coords << xml.readElementText();
        }
    }
    if (xml.hasError())
        kml.error = xml.errorString();
    return kml;
}

} // namespace

void TestTrackExport::kmlMarksEachEventRecording()
{
    TrackExport track(m_trip, m_positions);
    track.setClockOffset(3600);
    const Kml kml = readKml(written(track, TrackExport::Format::Kml));
    QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
    QCOMPARE(kml.coords.size(), 25);
    QCOMPARE(kml.marks.size(), 1);
    QCOMPARE(kml.marks.first(), QStringLiteral("11.50000000,48.20000000"));
    // The mark's time is the instant, whatever the offset.
    QCOMPARE(kml.markWhens, QStringList{QStringLiteral("2024-05-01T10:00:05Z")});
}

// Viewers play a track back only with a time for each of its points.
void TestTrackExport::kmlIsValidWithATimePerPoint()
{
    TrackExport track(m_trip, m_positions);
    track.setName(QStringLiteral("Drive & <test>"));
    const QByteArray bytes = written(track, TrackExport::Format::Kml);
    const Kml kml = readKml(bytes);
    QVERIFY2(kml.error.isEmpty(), qPrintable(kml.error));
    QCOMPARE(kml.whens.size(), 25);
    QCOMPARE(kml.coords.size(), kml.whens.size());
    QCOMPARE(kml.whens.first(), QStringLiteral("2024-05-01T10:00:00Z"));
    QCOMPARE(kml.coords.first(), QStringLiteral("11.50000000 48.10000000 500.0"));
    for (int i = 1; i < kml.whens.size(); ++i)
        QVERIFY(kml.whens[i] > kml.whens[i - 1]);

    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty())
        QSKIP("xmllint is not installed");
    const QString path = m_dir.filePath(QStringLiteral("lint.kml"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), path});
    QVERIFY(lint.waitForFinished(30000));
    QVERIFY2(lint.exitCode() == 0, lint.readAllStandardError().constData());
}

void TestTrackExport::rangeTakesTheSecondsItTouches_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last"); // -1: no record

    QTest::newRow("whole trip") << 0LL << 35000LL << 0 << 34;
    QTest::newRow("inside seconds") << 12500LL << 14000LL << 12 << 14;
    QTest::newRow("one instant") << 7300LL << 7300LL << 7 << 7;
    QTest::newRow("past the end") << 34999LL << 99000LL << 34 << 34;
    QTest::newRow("after the trip") << 40000LL << 50000LL << 0 << -1;
}

void TestTrackExport::rangeTakesTheSecondsItTouches()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, first);
    QFETCH(int, last);
    TrackExport track(m_trip, m_positions);
    track.setRange(from, to);
    track.setOrder(TrackExport::Order::Timeline);
    const QStringList rows = csvRows(track).mid(1);
    if (last < 0) {
        QVERIFY(rows.isEmpty());
        return;
    }
    QCOMPARE(rows.size(), last - first + 1);
    QCOMPARE(rows.first().section(QLatin1Char(','), 0, 0).toInt(), first);
    QCOMPARE(rows.last().section(QLatin1Char(','), 0, 0).toInt(), last);
}

void TestTrackExport::timesAreInstants_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("clock"); // CSV's clock of the first fix
    QTest::newRow("ahead of UTC") << 2LL * 3600 << "2024-06-15T16:02:50+02:00";
    QTest::newRow("behind UTC") << -90LL * 60 << "2024-06-15T12:32:50-01:30";
    QTest::newRow("no offset") << 0LL << "2024-06-15T14:02:50+00:00";
    QTest::newRow("the next day") << 10LL * 3600 << "2024-06-16T00:02:50+10:00";
}

// A fix the receiver took at 14:02:50 UTC: GPX and KML give that instant in UTC, whatever the
// offset; CSV's clock is the same instant on the offset clock, with the offset written.
void TestTrackExport::timesAreInstants()
{
    QFETCH(qint64, offset);
    QFETCH(QString, clock);
    const QString name = QStringLiteral("instants/001_0001_20240615140250");
    QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("instants"))));
    const Trip::TripList trip{Trip::TripItem{3000, false, m_dir.filePath(name + QStringLiteral(".mp4")),
                                             m_dir.filePath(name + QStringLiteral(".nmea"))}};
    QVERIFY(Fixture::writeTrack(trip.front().nmeaFile, QDateTime(QDate(2024, 6, 15), QTime(14, 2, 50)), 3));
    TrackExport track(trip, TripSession::loadNow(trip)->positions());
    track.setClockOffset(offset);
    const QDateTime fix(QDate(2024, 6, 15), QTime(14, 2, 50), Qt::UTC);

    QString error;
    const QVector<Fixture::GpxPoint> points =
        Fixture::readGpx(written(track, TrackExport::Format::Gpx), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(points.size(), 3);
    QCOMPARE(points.first().time, QStringLiteral("2024-06-15T14:02:50Z"));
    const Kml kml = readKml(written(track, TrackExport::Format::Kml));
    QCOMPARE(kml.whens.size(), 3);
    QCOMPARE(kml.whens.first(), QStringLiteral("2024-06-15T14:02:50Z"));
    const QString csv = csvRows(track).value(1).section(QLatin1Char(','), 1, 1);
    QCOMPARE(csv, clock);
    for (const QString& text : {points.first().time, kml.whens.first(), csv})
        QCOMPARE(QDateTime::fromString(text, Qt::ISODate), fix);
}

void TestTrackExport::savingNeverReplacesARecording()
{
    const QString nmea = m_trip.front().nmeaFile;
    QFile file(nmea);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QString error;
    QVERIFY(!TrackExport(m_trip, m_positions).save(TrackExport::Format::Csv, nmea, &error));
    QVERIFY(error.contains(nmea));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);

    const QString path = m_dir.filePath(QStringLiteral("track.gpx"));
    QVERIFY(TrackExport(m_trip, m_positions).save(TrackExport::Format::Gpx, path, &error));
    QVERIFY(QFileInfo(path).size() > 0);
}

QTEST_GUILESS_MAIN(TestTrackExport)
#include "tst_trackexport.moc"
