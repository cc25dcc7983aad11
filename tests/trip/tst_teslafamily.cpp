#include "families.h"
#include "mp4boxes.h"
#include "teslafamily.h"
#include "teslasei.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

using namespace Camera;

namespace {

QByteArray varint(quint64 value)
{
    QByteArray out;
    do {
        const char byte = char(value & 0x7F);
        value >>= 7;
        out.append(value ? char(byte | 0x80) : byte);
    } while (value);
    return out;
}

QByteArray key(int field, int wire)
{
    return varint(quint64(field) << 3 | quint64(wire));
}

QByteArray fixed64(int field, double value)
{
    QByteArray out = key(field, 1) + QByteArray(8, '\0');
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, out.data() + out.size() - 8);
    return out;
}

QByteArray fixed32(int field, float value)
{
    QByteArray out = key(field, 5) + QByteArray(4, '\0');
    quint32 bits;
    std::memcpy(&bits, &value, sizeof bits);
    qToLittleEndian(bits, out.data() + out.size() - 4);
    return out;
}

QByteArray delimited(int field, const QByteArray& bytes)
{
    return key(field, 2) + varint(quint64(bytes.size())) + bytes;
}

const QByteArray Marker("\x42\x42\x42\x69", 4);

QByteArray position(double lat, double lon)
{
    return fixed64(11, lat) + fixed64(12, lon);
}

// An SEI NAL unit with one user data unregistered message (no emulation prevention needed by
// the payloads used here).
QByteArray seiUnit(const QByteArray& payload)
{
    return QByteArray(1, '\x06') + char(5) + char(payload.size()) + payload + char(0x80);
}

QJsonObject loadTruth(const QString& dir)
{
    QFile file(dir + QLatin1String("/.cardgen.json"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

QDateTime wallClock(const QString& text)
{
    const QDateTime time = QDateTime::fromString(text, Qt::ISODate);
    return QDateTime(time.date(), time.time(), Qt::UTC);
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

} // namespace

class TestTeslaFamily : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_card.isValid());
        QProcess make;
        make.start(QStringLiteral("python3"),
                   {qEnvironmentVariable("TARROW_SOURCE_DIR") + QLatin1String("/scripts/make-family-card"),
                    QStringLiteral("tesla"), m_card.path(), QStringLiteral("--minutes"),
                    QStringLiteral("1")});
        QVERIFY(make.waitForFinished(120000));
        QVERIFY2(make.exitCode() == 0, make.readAllStandardError().constData());
        m_truth = loadTruth(m_card.path());
        QVERIFY(m_truth.value(QLatin1String("videos")).toObject().size() > 20);
    }

    // Every video of the card is read as the generator wrote it; cameras of one folder share a
    // run, different folders never do.
    void recognisesTheCard()
    {
        const QJsonObject videos = m_truth.value(QLatin1String("videos")).toObject();
        QHash<QString, QString> runs; // generator's run -> recording's run
        QSet<QString> seen;
        QDirIterator it(m_card.path(), {QStringLiteral("*.mp4")}, QDir::Files, QDirIterator::Subdirectories);
        int count = 0;
        while (it.hasNext()) {
            const QString path = it.next();
            const QJsonObject expected = videos.value(QDir(m_card.path()).relativeFilePath(path)).toObject();
            QVERIFY2(!expected.isEmpty(), qPrintable(path));
            const Recording recording = Families::recognise(path);
            QCOMPARE(recording.family, TeslaFamily::Id);
            QCOMPARE(recording.start, wallClock(expected.value(QLatin1String("start")).toString()));
            QCOMPARE(recording.channel, expected.value(QLatin1String("channel")).toString());
            QCOMPARE(recording.kind,
                     expected.value(QLatin1String("kind")).toString() == QLatin1String("event")
                         ? RecordingKind::Event
                         : RecordingKind::Normal);
            QCOMPARE(recording.telemetry, TelemetrySource::Sei);
            QCOMPARE(recording.telemetryFile, path);
            const QString run = expected.value(QLatin1String("run")).toString();
            if (!runs.contains(run)) {
                QVERIFY2(!seen.contains(recording.run), qPrintable(recording.run));
                runs.insert(run, recording.run);
                seen.insert(recording.run);
            }
            QCOMPARE(recording.run, runs.value(run));
            ++count;
        }
        QCOMPARE(count, videos.size());
        QCOMPARE(runs.size(), 3); // RecentClips, one saved and one Sentry event
    }

    void names_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("family"); // the family that takes the name; empty: none
        QTest::addColumn<QString>("channel");
        QTest::addColumn<bool>("event");
        QTest::newRow("recent") << "TeslaCam/RecentClips/2024-05-01_09-00-00-front.mp4"
                                << "tesla"
                                << "front" << false;
        QTest::newRow("pillar") << "TeslaCam/RecentClips/2024-05-01_09-00-00-left_pillar.mp4"
                                << "tesla"
                                << "left_pillar" << false;
        QTest::newRow("saved") << "TeslaCam/SavedClips/2024-05-01_09-10-00/2024-05-01_09-00-00-back.mp4"
                               << "tesla"
                               << "back" << true;
        QTest::newRow("sentry")
            << "TeslaCam/SentryClips/2024-05-01_09-10-00/2024-05-01_09-00-00-right_repeater.mp4"
            << "tesla"
            << "right_repeater" << true;
        QTest::newRow("copied elsewhere") << "backup/2024-05-01_09-00-00-right_pillar.MP4"
                                          << "tesla"
                                          << "right_pillar" << false;
        QTest::newRow("unknown camera") << "TeslaCam/RecentClips/2024-05-01_09-00-00-cabin.mp4"
                                        << "generic"
                                        << "front" << false;
        QTest::newRow("prefix") << "TeslaCam/RecentClips/x2024-05-01_09-00-00-front.mp4"
                                << "generic"
                                << "front" << false;
        QTest::newRow("thumbnail") << "TeslaCam/SavedClips/2024-05-01_09-10-00/thumb.png"
                                   << ""
                                   << "" << false;
        QTest::newRow("folder-paired camera") << "Normal/Front/NO20240501-090000-000001F.MP4"
                                              << "70mai"
                                              << "front" << false;
        QTest::newRow("companion") << "EVENT/001_0001_20240501120000.mp4"
                                   << "nmea-companion"
                                   << "front" << true;
        QTest::newRow("date-time only") << "DCIM/20240501_090000.mp4"
                                        << "generic"
                                        << "front" << false;
    }
    void names()
    {
        QFETCH(QString, path);
        QFETCH(QString, family);
        QFETCH(QString, channel);
        QFETCH(bool, event);
        const QString full = QDir::cleanPath(QStringLiteral("/card/") + path);
        const Recording recording = Families::recognise(full);
        QCOMPARE(recording.family, family);
        if (family.isEmpty())
            return;
        QCOMPARE(recording.channel, channel);
        QCOMPARE(recording.kind == RecordingKind::Event, event);
        QCOMPARE(TeslaFamily().recognise(full).family.isEmpty(), family != TeslaFamily::Id);
    }

    // A name of the family whose digits are no date is the family's, without a start.
    void nameWithoutDate()
    {
        const Recording recording =
            TeslaFamily().recognise(QStringLiteral("/c/2024-13-01_09-00-00-front.mp4"));
        QCOMPARE(recording.family, TeslaFamily::Id);
        QVERIFY(!recording.start.isValid());
        QVERIFY(!recording.isValid());
    }

    // The reader reads the first frame of each second: its position, speed, heading and
    // accelerations as the generator wrote them, timed from the clip's start. Frames without a
    // fix give no position.
    void positionsInTheStream()
    {
        const QJsonObject videos = m_truth.value(QLatin1String("videos")).toObject();
        int clips = 0;
        for (auto it = videos.begin(); it != videos.end(); ++it) {
            const QJsonArray frames = it.value().toObject().value(QLatin1String("frames")).toArray();
            if (frames.isEmpty())
                continue;
            ++clips;
            const Recording recording = Families::recognise(m_card.filePath(it.key()));
            const Telemetry telemetry = Families::readTelemetryFile(recording.videoFile);
            QVERIFY2(telemetry.error.isEmpty(), qPrintable(telemetry.error));
            QCOMPARE(telemetry.source, TelemetrySource::Sei);
            std::size_t next = 0;
            for (int second = 0; second * 30 < frames.size(); ++second) {
                const QJsonObject frame = frames.at(second * 30).toObject();
                if (!frame.value(QLatin1String("fix")).toBool())
                    continue;
                QVERIFY2(next < telemetry.samples.size(), qPrintable(it.key()));
                const TelemetrySample& sample = telemetry.samples[next++];
                QCOMPARE(sample.utcMs, recording.start.toMSecsSinceEpoch() + second * 1000);
                QCOMPARE(sample.latitude, frame.value(QLatin1String("lat")).toDouble());
                QCOMPARE(sample.longitude, frame.value(QLatin1String("lon")).toDouble());
                QCOMPARE(sample.speed, frame.value(QLatin1String("speed")).toDouble());
                QCOMPARE(sample.course, frame.value(QLatin1String("heading")).toDouble());
                QCOMPARE(sample.accelerationX, frame.value(QLatin1String("ax")).toDouble());
                QCOMPARE(sample.accelerationY, frame.value(QLatin1String("ay")).toDouble());
                QVERIFY(std::isnan(sample.altitude));
            }
            QCOMPARE(telemetry.samples.size(), next);
        }
        QVERIFY(clips > 20);
    }

    // A parked car writes no state: the clip holding the event's time gets the event's place,
    // the other cameras' clips of the same time too; clips with positions keep their own.
    void eventPlaceWithoutStream()
    {
        const QJsonObject events = m_truth.value(QLatin1String("events")).toObject();
        QCOMPARE(events.size(), 1);
        const QString folder = m_card.filePath(events.begin().key());
        const QJsonObject expected = events.begin().value().toObject();
        const QStringList clips = QDir(folder).entryList({QStringLiteral("*.mp4")});
        QCOMPARE(clips.size(), 4);
        for (const QString& clip : clips) {
            const Recording recording = Families::recognise(folder + QLatin1Char('/') + clip);
            const Telemetry telemetry = Families::byId(TeslaFamily::Id)->readTelemetry(recording);
            QVERIFY(telemetry.error.isEmpty());
            QCOMPARE(telemetry.samples.size(), std::size_t(1));
            QCOMPARE(telemetry.samples[0].utcMs,
                     wallClock(expected.value(QLatin1String("time")).toString()).toMSecsSinceEpoch());
            QCOMPARE(telemetry.samples[0].latitude, expected.value(QLatin1String("lat")).toDouble());
            QCOMPARE(telemetry.samples[0].longitude, expected.value(QLatin1String("lon")).toDouble());
        }

        // The same clip named a minute earlier does not hold the event's time.
        const QString early = folder + QLatin1String("/2024-05-01_10-58-57-front.mp4");
        QVERIFY(QFile::copy(folder + QLatin1Char('/') + clips.first(), early));
        const Recording recording = Families::recognise(early);
        QVERIFY(Families::byId(TeslaFamily::Id)->readTelemetry(recording).samples.empty());
        QVERIFY(QFile::remove(early));
    }

    void eventFile_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("time"); // empty: none
        QTest::addColumn<double>("lat");   // NaN: no position
        QTest::addColumn<double>("lon");
        QTest::newRow("as written") << QByteArray(R"({"timestamp":"2024-05-01T09:10:13","city":"Berlin",)"
                                                  R"("est_lat":"52.5163","est_lon":"13.3777",)"
                                                  R"("reason":"sentry_aware_object_detection","camera":"0"})")
                                    << "2024-05-01T09:10:13" << 52.5163 << 13.3777;
        QTest::newRow("numbers")
            << QByteArray(R"({"timestamp":"2024-05-01T09:10:13","est_lat":-33.5,"est_lon":151.25})")
            << "2024-05-01T09:10:13" << -33.5 << 151.25;
        QTest::newRow("zone not applied") << QByteArray(R"({"timestamp":"2024-05-01T09:10:13+02:00"})")
                                          << "2024-05-01T09:10:13" << qQNaN() << qQNaN();
        QTest::newRow("no place") << QByteArray(
                                         R"({"timestamp":"2024-05-01T09:10:13","est_lat":"","est_lon":"x"})")
                                  << "2024-05-01T09:10:13" << qQNaN() << qQNaN();
        QTest::newRow("out of range")
            << QByteArray(R"({"est_lat":"95","est_lon":"13"})") << "" << qQNaN() << qQNaN();
        QTest::newRow("not json") << QByteArray("\x01{\"timestamp\":") << "" << qQNaN() << qQNaN();
        QTest::newRow("array") << QByteArray("[1,2]") << "" << qQNaN() << qQNaN();
    }
    void eventFile()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, time);
        QFETCH(double, lat);
        QFETCH(double, lon);
        const TeslaFamily::Event event = TeslaFamily::parseEvent(json);
        QCOMPARE(event.time.isValid(), !time.isEmpty());
        if (!time.isEmpty())
            QCOMPARE(event.time, wallClock(time));
        QCOMPARE(event.hasPosition(), !std::isnan(lat));
        if (event.hasPosition()) {
            QCOMPARE(event.latitude, lat);
            QCOMPARE(event.longitude, lon);
        }
    }

    void message_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("decoded"); // TeslaSei::Decoded
        QTest::addColumn<double>("lat");  // expected when Ok
        QTest::addColumn<double>("speed");
        const int foreign = int(TeslaSei::Decoded::Foreign);
        const int damaged = int(TeslaSei::Decoded::Damaged);
        const int ok = int(TeslaSei::Decoded::Ok);
        const QByteArray pos = position(48.1, 11.5);
        QTest::newRow("position and speed")
            << Marker + key(1, 0) + varint(1) + fixed32(4, 20.5f) + pos << ok << 48.1 << 20.5;
        QTest::newRow("long padding") << QByteArray(15, '\x42') + '\x69' + pos << ok << 48.1 << 0.0;
        QTest::newRow("no fix") << Marker + fixed32(4, 3.0f) << ok << 0.0 << 3.0;
        QTest::newRow("other user data") << QByteArray("x264 - core 164") << foreign << 0.0 << 0.0;
        QTest::newRow("no start byte") << QByteArray("\x42\x42\x42\x08\x01", 5) << foreign << 0.0 << 0.0;
        QTest::newRow("empty") << QByteArray() << foreign << 0.0 << 0.0;
        QTest::newRow("unknown fields skipped")
            << Marker + key(30, 0) + varint(quint64(1) << 63) + key(31, 5) + QByteArray(4, '\0') +
                   delimited(32, QByteArray("\x08\x01", 2)) + pos
            << ok << 48.1 << 0.0;
        // Nested messages are skipped whole, however deep: no recursion into them.
        QByteArray nested = pos;
        for (int depth = 0; depth < 2000; ++depth)
            nested = delimited(20, nested);
        QTest::newRow("deep nesting") << Marker + nested + pos << ok << 48.1 << 0.0;
        QTest::newRow("length beyond the message")
            << Marker + key(20, 2) + varint(1000) + pos << damaged << 0.0 << 0.0;
        QTest::newRow("length beyond 64 bits")
            << Marker + key(20, 2) + varint(~quint64(0)) + pos << damaged << 0.0 << 0.0;
        QTest::newRow("varint never ends")
            << Marker + key(3, 0) + QByteArray(40, '\xff') << damaged << 0.0 << 0.0;
        QTest::newRow("varint runs to the end")
            << Marker + pos + key(3, 0) + QByteArray(3, '\x80') << damaged << 0.0 << 0.0;
        QTest::newRow("key never ends") << Marker + QByteArray(12, '\x80') << damaged << 0.0 << 0.0;
        QTest::newRow("double cut") << Marker + pos.left(pos.size() - 3) << damaged << 0.0 << 0.0;
        QTest::newRow("float cut") << Marker + key(4, 5) + QByteArray(2, '\0') << damaged << 0.0 << 0.0;
        QTest::newRow("group") << Marker + key(5, 3) + pos << damaged << 0.0 << 0.0;
        QTest::newRow("field zero") << Marker + key(0, 0) + varint(1) + pos << damaged << 0.0 << 0.0;
    }
    void message()
    {
        QFETCH(QByteArray, payload);
        QFETCH(int, decoded);
        QFETCH(double, lat);
        QFETCH(double, speed);
        TeslaSei::Metadata metadata;
        QCOMPARE(int(TeslaSei::decode(payload, metadata)), decoded);
        if (decoded == int(TeslaSei::Decoded::Ok)) {
            QCOMPARE(metadata.latitude, lat);
            QCOMPARE(metadata.speed, speed);
            QCOMPARE(metadata.hasPosition(), lat != 0);
        }
    }

    void seiUnits_data()
    {
        QTest::addColumn<QByteArray>("nal");
        QTest::addColumn<int>("payloads");
        QTest::addColumn<bool>("damaged");
        const QByteArray data = Marker + position(1, 2);
        QTest::newRow("one") << seiUnit(data) << 1 << false;
        QTest::newRow("other type first")
            << QByteArray(1, '\x06') + char(1) + char(2) + "ab" + seiUnit(data).mid(1) << 1 << false;
        QTest::newRow("two user data") << seiUnit(data).chopped(1) + seiUnit(data).mid(1) << 2 << false;
        QTest::newRow("size beyond the unit") << QByteArray("\x06\x05\x40\x42\x69", 5) << 0 << true;
        QTest::newRow("type runs to the end") << QByteArray(1, '\x06') + QByteArray(300, '\xff') << 0 << true;
        QTest::newRow("size of 0xff bytes")
            << QByteArray("\x06\x05", 2) + QByteArray(30, '\xff') << 0 << true;
        QTest::newRow("not SEI") << QByteArray("\x65\x05\x01\x00\x80", 5) << 0 << false;
        QTest::newRow("header only") << QByteArray(1, '\x06') << 0 << false;
        // 00 00 03 01 in the unit is 00 00 01 in the message: the size counts unescaped bytes.
        QTest::newRow("emulation prevention")
            << QByteArray("\x06\x05\x04\x00\x00\x03\x01\x42\x80", 9) << 1 << false;
    }
    void seiUnits()
    {
        QFETCH(QByteArray, nal);
        QFETCH(int, payloads);
        QFETCH(bool, damaged);
        bool found = false;
        const std::vector<QByteArray> read = TeslaSei::userData(nal, found);
        QCOMPARE(int(read.size()), payloads);
        QCOMPARE(found, damaged);
        if (payloads == 1 && damaged == false && nal.size() == 9)
            QCOMPARE(read.front(), QByteArray("\x00\x00\x01\x42", 4));
    }

    // Damaged files: no crash, no hang; what can be read is kept and the damage reported.
    void hostileFiles_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<bool>("somePositions");
        QTest::newRow("cut in the media data") << "cut" << true;
        QTest::newRow("movie box beyond the file") << "moov" << false;
        QTest::newRow("box smaller than its header") << "trak" << false;
        QTest::newRow("NAL length beyond the frame") << "nal" << true;
        QTest::newRow("SEI size beyond the unit") << "sei" << true;
        QTest::newRow("sample offsets beyond the file") << "stco" << false;
        QTest::newRow("empty file") << "empty" << false;
    }
    void hostileFiles()
    {
        QFETCH(QString, damage);
        QFETCH(bool, somePositions);
        const QString source =
            m_card.filePath(QStringLiteral("TeslaCam/RecentClips/2024-05-01_09-00-06-front.mp4"));
        QByteArray bytes = readAll(source);
        QVERIFY(!bytes.isEmpty());
        Mp4Boxes boxes(source);
        const std::vector<Mp4Boxes::Track> tracks = boxes.tracks();
        QCOMPARE(tracks.size(), std::size_t(1));
        const std::vector<Mp4Boxes::Sample>& samples = tracks.front().samples;
        QVERIFY(samples.size() >= 90);
        Mp4Boxes::Box moov;
        QVERIFY(boxes.findPath({Mp4Boxes::fourcc("moov")}, moov));
        const auto putU32 = [&bytes](qint64 at, quint32 value) { qToBigEndian(value, bytes.data() + at); };
        const auto find = [&bytes](const char* type) { return bytes.indexOf(QByteArray(type, 4)) - 4; };

        if (damage == QLatin1String("cut")) {
            // The movie box moved before the media data (its chunk offsets moved with it), then
            // the file cut in the middle of the media data: the frames of 1.5 s remain.
            QByteArray movie = bytes.mid(int(moov.offset), int(moov.size));
            const int stco = movie.indexOf("stco") - 4;
            const quint32 chunks = qFromBigEndian<quint32>(movie.constData() + stco + 12);
            for (quint32 i = 0; i < chunks; ++i) {
                char* entry = movie.data() + stco + 16 + 4 * i;
                qToBigEndian(quint32(qFromBigEndian<quint32>(entry) + moov.size), entry);
            }
            const int mdat = find("mdat");
            bytes = bytes.left(mdat) + movie + bytes.mid(mdat, int(moov.offset) - mdat);
            bytes.truncate(int(samples[45].offset + moov.size));
        } else if (damage == QLatin1String("moov")) {
            putU32(moov.offset, quint32(moov.size + 100));
        } else if (damage == QLatin1String("trak")) {
            putU32(find("trak"), 4);
        } else if (damage == QLatin1String("nal")) {
            // The first unit of the second second's frame claims far more than the frame.
            putU32(samples[30].offset, 0x7fffffff);
        } else if (damage == QLatin1String("sei")) {
            // The car's SEI unit of frame 60: its second message's size (after the first
            // message of 30 bytes) made larger than the unit.
            const qint64 at = bytes.indexOf(QByteArray("\x06\x05\x1e", 3), samples[60].offset);
            QVERIFY(at > 0 && at < samples[61].offset);
            bytes[int(at + 3 + 30 + 1)] = char(0xfe);
        } else if (damage == QLatin1String("stco")) {
            const qint64 stco = find("stco");
            putU32(stco + 16, 0x7ffffff0);
        } else {
            bytes.clear();
        }
        // A name of the family so that the family reads it.
        const QString path = m_card.filePath(QStringLiteral("2024-05-01_09-00-06-front.mp4"));
        writeAll(path, bytes);
        const Recording recording = Families::recognise(path);
        QCOMPARE(recording.family, TeslaFamily::Id);
        const Telemetry telemetry = Families::byId(TeslaFamily::Id)->readTelemetry(recording);
        QVERIFY(!telemetry.error.isEmpty());
        QCOMPARE(!telemetry.samples.empty(), somePositions);
        QVERIFY(telemetry.samples.size() < 3);
        QVERIFY(QFile::remove(path));
    }

private:
    QTemporaryDir m_card;
    QJsonObject m_truth;
};

QTEST_GUILESS_MAIN(TestTeslaFamily)
#include "tst_teslafamily.moc"
