#include "channelpairing.h"
#include "families.h"
#include "genericfamily.h"
#include "mergefilelists.h"
#include "mp4boxes.h"
#include "nametime.h"
#include "nmeacompanionfamily.h"
#include "sidecars.h"
#include "tripfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace Camera;

namespace {

void touch(const QString& path, const QByteArray& content = QByteArray())
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray box(const char* type, const QByteArray& payload)
{
    QByteArray out(8, '\0');
    qToBigEndian<quint32>(quint32(8 + payload.size()), out.data());
    out.replace(4, 4, QByteArray(type, 4));
    return out + payload;
}

QByteArray u32(quint32 value)
{
    QByteArray out(4, '\0');
    qToBigEndian<quint32>(value, out.data());
    return out;
}

Trip::TripItem channelItem(const QString& camera, const QString& channel, int second, bool event = false)
{
    Trip::TripItem item;
    item.camera = camera;
    item.channel = channel;
    item.isEvent = event;
    item.videoFile = QStringLiteral("/c/%1_%2.mp4").arg(second).arg(channel);
    item.start = QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC).addMSecs(second);
    return item;
}

} // namespace

class TestFamilies : public QObject
{
    Q_OBJECT

private slots:
    void namesWithTime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("time"); // empty: none
        QTest::newRow("digits") << "001_0001_20240501120000"
                                << "2024-05-01T12:00:00";
        QTest::newRow("year and month-day") << "2024_0501_093015_0001F"
                                            << "2024-05-01T09:30:15";
        QTest::newRow("date_time") << "20240501_093015_NF"
                                   << "2024-05-01T09:30:15";
        QTest::newRow("dashes") << "2024-05-01_09-30-15-front"
                                << "2024-05-01T09:30:15";
        QTest::newRow("dots and blank") << "Clip 2024-05-01 09.30.15"
                                        << "2024-05-01T09:30:15";
        QTest::newRow("prefix and dashes") << "NO20240501-093015-000001F"
                                           << "2024-05-01T09:30:15";
        QTest::newRow("first valid of two") << "20241399000000_20240501093015"
                                            << "2024-05-01T09:30:15";
        QTest::newRow("no time") << "IMG_1234"
                                 << "";
        QTest::newRow("longer number") << "120240501093015"
                                       << "";
        QTest::newRow("month 13") << "20241301093015"
                                  << "";
        QTest::newRow("hour 24") << "20240501243015"
                                 << "";
    }
    void namesWithTime()
    {
        QFETCH(QString, name);
        QFETCH(QString, time);
        const QDateTime found = NameTime::find(name);
        QCOMPARE(found.isValid(), !time.isEmpty());
        if (found.isValid()) {
            QCOMPARE(found.timeSpec(), Qt::UTC);
            QCOMPARE(found.toString(Qt::ISODate), time + 'Z');
        }
    }

    // The first family that knows a name takes it; the generic family takes any name with a
    // time, with the position file beside it when there is one.
    void recognition()
    {
        QTemporaryDir dir;
        const QString companion = dir.filePath("EVENT/001_0001_20240501120000.mp4");
        touch(companion);
        touch(dir.filePath("EVENT/001_0001_20240501120000.nmea"));
        const Recording a = Families::recognise(companion);
        QCOMPARE(a.family, NmeaCompanionFamily::Id);
        QCOMPARE(a.kind, RecordingKind::Event);
        QCOMPARE(a.telemetry, TelemetrySource::NmeaFile);
        QCOMPARE(a.telemetryFile, dir.filePath("EVENT/001_0001_20240501120000.nmea"));
        QCOMPARE(Trip::rejection(companion), Trip::Rejection::None);

        // The camera's own name without its position file stays what it was: not admitted.
        const QString lonely = dir.filePath("002_0001_20240501130000.mp4");
        touch(lonely);
        QCOMPARE(Trip::rejection(lonely), Trip::Rejection::NoNmeaFile);
        const QString badDate = dir.filePath("002_0002_20241301130000.mp4");
        touch(badDate);
        touch(dir.filePath("002_0002_20241301130000.nmea"));
        QCOMPARE(Trip::rejection(badDate), Trip::Rejection::NoStartTime);

        const QString withGpx = dir.filePath("trip 2024-05-01 10.00.00.MP4");
        touch(withGpx);
        touch(dir.filePath("trip 2024-05-01 10.00.00.gpx"));
        const Recording b = Families::recognise(withGpx);
        QCOMPARE(b.family, GenericFamily::Id);
        QCOMPARE(b.start, QDateTime(QDate(2024, 5, 1), QTime(10, 0), Qt::UTC));
        QCOMPARE(b.channel, QStringLiteral("front"));
        QCOMPARE(b.telemetry, TelemetrySource::GpxFile);
        QCOMPARE(Trip::rejection(withGpx), Trip::Rejection::None);

        const QString bare = dir.filePath("20240501_110000.mov");
        touch(bare);
        QCOMPARE(Families::recognise(bare).telemetry, TelemetrySource::None);
        QCOMPARE(Families::recognise(bare).telemetryFile, QString());

        QCOMPARE(Trip::rejection(dir.filePath("IMG_1234.mp4")), Trip::Rejection::NoCameraName);
        QCOMPARE(Trip::rejection(dir.filePath("notes_20240501_110000.txt")), Trip::Rejection::NoCameraName);
        QCOMPARE(sourceName(TelemetrySource::Mp4Box), QStringLiteral("mp4-box"));
        QCOMPARE(sourceName(TelemetrySource::None), QStringLiteral("none"));

        QVERIFY(Families::isLayoutFolder("EVENT"));
        QVERIFY(Families::isLayoutFolder("event"));
        QVERIFY(!Families::isLayoutFolder("EVENTS"));
        QVERIFY(Families::isLayoutFolder("101GOPRO"));
        QVERIFY(!Families::isLayoutFolder("10GOPRO"));
        QVERIFY(Families::isLayoutFolder("2024-05-01_09-10-11"));
    }

    void gpsSidecar()
    {
        const QByteArray text =
            "[1714554000000]$GPRMC,090000.00,A,5230.0000,N,01320.0000,E,10.0,90.0,010524,,,A*6B\r\n"
            "[1714554000500]\n"
            "[1714554001000]$GPGGA,090001.00,5230.0010,N,01320.0010,E,1,08,1.0,35.0,M,,M,,*4C\n"
            "broken line without bracket\n"
            "$GPRMC,090002.00,A,5230.0020,N,01320.0020,E,10.0,90.0,010524,,,A*6B\n"
            "[1714554003000";
        const Telemetry telemetry = Sidecars::parseGps(text);
        QCOMPARE(telemetry.source, TelemetrySource::GpsFile);
        QCOMPARE(int(telemetry.nmeaLines.size()), 3);
        QCOMPARE(QByteArray::fromStdString(telemetry.nmeaLines[0]).left(13), QByteArray("$GPRMC,090000"));
        QVERIFY(QByteArray::fromStdString(telemetry.nmeaLines[0]).endsWith("*6B"));
    }

    void gpxSidecar()
    {
        const QByteArray xml =
            "<?xml version=\"1.0\"?>\n"
            "<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n"
            "<trkpt lat=\"52.5\" lon=\"13.25\"><ele>35.5</ele><time>2024-05-01T09:00:00Z</time></trkpt>\n"
            "<trkpt lat=\"52.5001\" lon=\"13.2501\"><time>2024-05-01T11:00:01+02:00</time></trkpt>\n"
            "<trkpt lat=\"52.5002\" lon=\"13.2502\"><time>2024-05-01T09:00:02</time></trkpt>\n"
            "<trkpt lat=\"52.5003\" lon=\"13.2503\"></trkpt>\n"
            "<trkpt lat=\"95\" lon=\"13.2504\"><time>2024-05-01T09:00:04Z</time></trkpt>\n"
            "</trkseg></trk></gpx>\n";
        const Telemetry telemetry = Sidecars::parseGpx(xml);
        QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
        // Without a time or outside the globe a point is no sample; all times are instants.
        QCOMPARE(int(telemetry.samples.size()), 3);
        const qint64 base = QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC).toMSecsSinceEpoch();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(telemetry.samples[std::size_t(i)].utcMs, base + i * 1000);
        QCOMPARE(telemetry.samples[0].altitude, 35.5);
        QVERIFY(std::isnan(telemetry.samples[1].altitude));

        QVERIFY(!Sidecars::parseGpx(
                     "<gpx><trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>2024-05-01T09:00:00Z</time>")
                     .error.isEmpty());
    }

    // A file ffmpeg wrote: the tracks and their sample tables as ffprobe sees them.
    void tracksOfARealFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("clip.mp4");
        const int rc = QProcess::execute(
            "ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-y", "-f", "lavfi", "-i",
                       "testsrc2=size=160x90:rate=10:duration=2", "-f", "lavfi", "-i", "sine=duration=2",
                       "-c:v", "libx264", "-c:a", "aac", path});
        if (rc != 0)
            QSKIP("ffmpeg cannot make the clip");
        Mp4Boxes file(path);
        QVERIFY(file.isOpen());
        const std::vector<Mp4Boxes::Track> tracks = file.tracks();
        QCOMPARE(int(tracks.size()), 2);
        QCOMPARE(tracks[0].handler, Mp4Boxes::fourcc("vide"));
        QCOMPARE(tracks[0].format, Mp4Boxes::fourcc("avc1"));
        QCOMPARE(int(tracks[0].samples.size()), 20);
        QCOMPARE(tracks[1].handler, Mp4Boxes::fourcc("soun"));
        // Every sample lies inside the file, and consecutive samples of a chunk follow each other.
        for (const Mp4Boxes::Track& track : tracks) {
            for (const Mp4Boxes::Sample& sample : track.samples)
                QVERIFY(sample.offset > 0 && sample.offset + sample.size <= file.fileSize());
        }
        const std::vector<Mp4Boxes::Sample>& video = tracks[0].samples;
        QCOMPARE(video[1].time - video[0].time, qint64(tracks[0].timescale / 10));
        QVERIFY(file.problem().isEmpty());
    }

    // Damaged and hostile structures end a listing early with a problem named, never a hang.
    void hostileBoxes_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("boxes");
        const QByteArray ftyp = box("ftyp", QByteArray("isom\0\0\0\0", 8));
        QTest::newRow("size beyond the file") << ftyp + u32(1000) + "moov" << 1;
        QTest::newRow("size below its header") << ftyp + u32(4) + "free" + QByteArray(8, 'x') << 1;
        QTest::newRow("64-bit size cut") << ftyp + u32(1) + "mdat" + QByteArray(4, '\0') << 1;
        QTest::newRow("64-bit size huge") << ftyp + u32(1) + "mdat" + u32(0x7fffffff) + u32(0) << 1;
        QTest::newRow("size zero runs to the end") << ftyp + u32(0) + "mdat" + QByteArray(20, 'x') << 2;
        QTest::newRow("header cut") << ftyp + QByteArray("\0\0", 2) << 1;
    }
    void hostileBoxes()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, boxes);
        QTemporaryDir dir;
        const QString path = dir.filePath("hostile.mp4");
        touch(path, data);
        Mp4Boxes file(path);
        QCOMPARE(int(file.topLevel().size()), boxes);
        QCOMPARE(file.tracks().size(), std::size_t(0));
    }

    // Sample tables whose counts claim more than their boxes hold give only what is there.
    void hostileSampleTables()
    {
        const auto full = [](const char* type, const QByteArray& payload) {
            return box(type, u32(0) + payload);
        };
        const QByteArray stsd = full("stsd", u32(1) + box("gpmd", QByteArray(8, '\0')));
        const QByteArray stsz = full("stsz", u32(0) + u32(0xffffffff) + u32(10) + u32(10));
        const QByteArray stsc = full("stsc", u32(0xfffffff) + u32(1) + u32(0xffffffff) + u32(1));
        const QByteArray stco = full("stco", u32(0xffffffff) + u32(100));
        const QByteArray stts = full("stts", u32(0xffffffff) + u32(0xffffffff) + u32(1000));
        const QByteArray stbl = box("stbl", stsd + stts + stsc + stsz + stco);
        const QByteArray hdlr = full("hdlr", u32(0) + "meta" + QByteArray(12, '\0'));
        const QByteArray mdia = box("mdia", hdlr + box("minf", stbl));
        const QByteArray moov = box("moov", box("trak", mdia));
        QTemporaryDir dir;
        const QString path = dir.filePath("tables.mp4");
        touch(path, box("ftyp", "isom") + moov);
        Mp4Boxes file(path);
        const std::vector<Mp4Boxes::Track> tracks = file.tracks();
        QCOMPARE(int(tracks.size()), 1);
        QCOMPARE(tracks[0].format, Mp4Boxes::fourcc("gpmd"));
        QCOMPARE(int(tracks[0].samples.size()), 2);
        QCOMPARE(tracks[0].samples[1].offset, qint64(110));
    }

    // A reading that needed the file is kept only while the file stays as it was.
    void readingsFollowTheFile()
    {
        QTemporaryDir dir;
        const QString script = qEnvironmentVariable("TARROW_SOURCE_DIR") + "/scripts/make-family-card";
        if (QProcess::execute(script, {"gopro", dir.filePath("card")}) != 0)
            QSKIP("the card generator cannot run here");
        const QString video = dir.filePath("card/DCIM/100GOPRO/GX010001.MP4");
        const QDateTime before = Families::recognise(video).start;
        QVERIFY(before.isValid());
        QCOMPARE(Families::recognise(video).start, before);

        // The movie header's creation time an hour later, the file touched a minute later.
        const QString later =
            QStringLiteral(
                "import sys; sys.path.insert(0, '%1/scripts/cardgen'); import mp4tool, struct\n"
                "d = open('%2', 'rb').read()\n"
                "m = d.index(b'mvhd') + 4\n"
                "v = d[m]\n"
                "t = struct.unpack('>Q' if v == 1 else '>I', d[m + 4:m + (12 if v == 1 else 8)])[0] + 3600\n"
                "mp4tool.set_creation_time('%2', t)\n")
                .arg(qEnvironmentVariable("TARROW_SOURCE_DIR"), video);
        QCOMPARE(QProcess::execute("python3", {"-c", later}), 0);
        QFile file(video);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(
            file.setFileTime(QDateTime::currentDateTimeUtc().addSecs(60), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(Families::recognise(video).start, before.addSecs(3600));
    }

    // A pause ends a trip of any camera but the one that numbers its drives.
    void pausesSplitRuns()
    {
        const auto run = [](const QString& camera) {
            Trip::TripList items;
            for (int second : {0, 60, 120, 3600, 3660}) {
                Trip::TripItem item = channelItem(camera, "front", second * 1000);
                item.duration = 60000;
                item.run = camera + ":/c";
                items.push_back(item);
            }
            return items;
        };
        Trip::TripList ordinary = run("novatek");
        Trip::TripList events;
        Trip::Trips trips;
        Trip::MergeFileLists::merge(ordinary, events, trips);
        QCOMPARE(trips.size(), std::size_t(2));
        QCOMPARE(trips[0].size(), std::size_t(3));
        ordinary = run(NmeaCompanionFamily::Id);
        Trip::MergeFileLists::merge(ordinary, events, trips);
        QCOMPARE(trips.size(), std::size_t(1));
    }

    void channelsPair_data()
    {
        QTest::addColumn<QStringList>("items"); // camera:channel:ms[:e]
        QTest::addColumn<QString>("expected");  // main(+others) ...
        QTest::newRow("single channel untouched")
            << QStringList{"a:front:0", "a:front:60000"} << "front front";
        QTest::newRow("pairs at the same second")
            << QStringList{"a:front:0", "a:rear:0", "a:front:60000", "a:rear:60400"}
            << "front+rear front+rear";
        QTest::newRow("main first whatever the order")
            << QStringList{"a:interior:0", "a:rear:0", "a:front:500"} << "front+rear+interior";
        QTest::newRow("too far apart") << QStringList{"a:front:0", "a:rear:2500"} << "front rear";
        QTest::newRow("a missing front keeps the rear")
            << QStringList{"a:front:0", "a:rear:0", "a:rear:60000"} << "front+rear rear";
        QTest::newRow("events pair among themselves")
            << QStringList{"a:front:0", "a:rear:0:e", "a:front:0:e"} << "front front+rear";
        QTest::newRow("other cameras never pair") << QStringList{"a:front:0", "b:rear:0"} << "front rear";
        QTest::newRow("two of one channel")
            << QStringList{"a:front:0", "a:front:1000", "a:rear:500"} << "front+rear front";
    }
    void channelsPair()
    {
        QFETCH(QStringList, items);
        QFETCH(QString, expected);
        Trip::TripList list;
        for (const QString& text : items) {
            const QStringList p = text.split(':');
            list.push_back(channelItem(p[0], p[1], p[2].toInt(), p.size() > 3));
        }
        QStringList described;
        for (const Trip::TripItem& item : Trip::ChannelPairing::pair(list)) {
            QString text = item.channel;
            for (const Trip::TripItem& other : item.channels)
                text += '+' + other.channel;
            described << text;
        }
        QCOMPARE(described.join(' '), expected);
    }
};

QTEST_GUILESS_MAIN(TestFamilies)
#include "tst_families.moc"
