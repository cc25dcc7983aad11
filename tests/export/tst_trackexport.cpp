#include "exportfixture.h"
#include "trackexport.h"
#include "tripsession.h"

#include <QBuffer>
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
    void csvHasOneRowPerRecord();
    void kmlMarksEachEventRecording();
    void rangeTakesTheSecondsItTouches_data();
    void rangeTakesTheSecondsItTouches();
    void clockTimesAreWallClockShiftedByTheOffset();
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

    // Every record with a fix comes back, in order, and nothing else.
    int index = 0;
    for (const QNmeaPositionInfo& record : *m_positions) {
        if (!TrackExport::hasFix(record))
            continue;
        QVERIFY(index < points.size());
        const Fixture::GpxPoint& point = points[index++];
        QVERIFY(qAbs(point.lat - record.coordinate().latitude()) < 1e-8);
        QVERIFY(qAbs(point.lon - record.coordinate().longitude()) < 1e-8);
        QVERIFY(qAbs(point.ele - record.coordinate().altitude()) < 0.05);
        QCOMPARE(point.time, TrackExport::clockText(record.timestamp(), 0));
        QVERIFY(qAbs(point.speed - record.attribute(QNmeaPositionInfo::GroundSpeed)) < 1e-3);
    }
    QCOMPARE(points.size(), index);
    QCOMPARE(points.size(), 30);
    // Segments: the drive, the event recording that goes back in time, and after the pause.
    for (int i = 0; i < points.size(); ++i)
        QCOMPARE(points[i].segment, 1 + i / 10);
    QVERIFY(qAbs(points[0].speed - Fixture::Kmh / 3.6) < 0.001);
}

void TestTrackExport::csvHasOneRowPerRecord()
{
    const QStringList rows = csvRows(TrackExport(m_trip, m_positions));
    QCOMPARE(rows.first(),
             QStringLiteral("trip_s,clock,lat,lon,alt,speed_kmh,heading,acc_x,acc_y,fix,event"));
    QCOMPARE(rows.size(), 1 + 35);
    const QStringList first = rows[1].split(QLatin1Char(','));
    QCOMPARE(first.size(), 11);
    QCOMPARE(first[0], QStringLiteral("0"));
    QCOMPARE(first[1], QStringLiteral("2024-05-01T10:00:00Z"));
    QCOMPARE(first[2].toDouble(), 48.1);
    QVERIFY(qAbs(first[5].toDouble() - Fixture::Kmh) < 0.01);
    QCOMPARE(first[6], QStringLiteral("90.0"));
    QCOMPARE(first[9], QStringLiteral("1"));
    QCOMPARE(first[10], QStringLiteral("0"));
    // The event recording and the file after it carry the event mark.
    QCOMPARE(rows[1 + 10].section(QLatin1Char(','), 10, 10), QStringLiteral("1"));
    QCOMPARE(rows[1 + 29].section(QLatin1Char(','), 10, 10), QStringLiteral("1"));
    // The file without positions is filled with substitutes: located, but no fix; it does not
    // follow the event, so it carries no event mark.
    const QStringList substitute = rows[1 + 30].split(QLatin1Char(','));
    QCOMPARE(substitute[0], QStringLiteral("30"));
    QVERIFY(!substitute[2].isEmpty());
    QCOMPARE(substitute[9], QStringLiteral("0"));
    QCOMPARE(substitute[10], QStringLiteral("0"));
}

void TestTrackExport::kmlMarksEachEventRecording()
{
    TrackExport track(m_trip, m_positions);
    track.setClockOffset(3600);
    QXmlStreamReader xml(written(track, TrackExport::Format::Kml));
    QStringList lines;
    QStringList marks;
    QString when;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("LineString")) {
            xml.readNextStartElement();
            xml.skipCurrentElement();
            xml.readNextStartElement();
            lines << xml.readElementText();
        } else if (xml.name() == QLatin1String("Point")) {
            xml.readNextStartElement();
            marks << xml.readElementText();
        } else if (xml.name() == QLatin1String("when")) {
            when = xml.readElementText();
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(lines.size(), 1);
    QCOMPARE(lines.first().split(QLatin1Char(' ')).size(), 30);
    QCOMPARE(marks.size(), 1);
    QCOMPARE(marks.first(), QStringLiteral("11.50000000,48.20000000"));
    QCOMPARE(when, QStringLiteral("2024-05-01T11:00:05Z"));
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
    const QStringList rows = csvRows(track).mid(1);
    if (last < 0) {
        QVERIFY(rows.isEmpty());
        return;
    }
    QCOMPARE(rows.size(), last - first + 1);
    QCOMPARE(rows.first().section(QLatin1Char(','), 0, 0).toInt(), first);
    QCOMPARE(rows.last().section(QLatin1Char(','), 0, 0).toInt(), last);
}

void TestTrackExport::clockTimesAreWallClockShiftedByTheOffset()
{
    // The recorded value is written as it reads, whatever zone the machine is in.
    const QDateTime local(QDate(2024, 3, 31), QTime(1, 30), Qt::LocalTime);
    QCOMPARE(TrackExport::clockText(local, 0), QStringLiteral("2024-03-31T01:30:00Z"));
    QCOMPARE(TrackExport::clockText(local, -2 * 3600), QStringLiteral("2024-03-30T23:30:00Z"));
    QCOMPARE(TrackExport::clockText(QDateTime(), 60), QString());
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
