#include "mediacache.h"
#include "nmeaparser.h"
#include "telemetrycache.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

// A GPX track of `points` points a second apart from 2024-05-01 12:00:00 UTC, at `longitude`.
QByteArray gpx(int points, const char* longitude)
{
    QByteArray text =
        "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<trk><trkseg>\n";
    for (int i = 0; i < points; ++i)
        text += QByteArray("<trkpt lat=\"48.100000\" lon=\"") + longitude +
                "\"><time>2024-05-01T12:00:" + QByteArray::number(i).rightJustified(2, '0') +
                "Z</time></trkpt>\n";
    return text + "</trkseg></trk></gpx>\n";
}

bool write(const QString& path, const QByteArray& bytes, const QDateTime& modified = {})
{
    QFile file(path);
    // Written out before the time is set: writing later would set it again.
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    return !modified.isValid() || file.setFileTime(modified, QFileDevice::FileModificationTime);
}

} // namespace

// Position data read from videos and other sidecars is kept between runs while the file stays as
// it was, and what comes back is what was read.
class TestTelemetryCache : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
    }

    void encodingKeepsEveryField()
    {
        Camera::Telemetry telemetry;
        telemetry.source = Camera::TelemetrySource::Gpmf;
        telemetry.error = QStringLiteral("cut short");
        telemetry.nmeaLines = {"$GPRMC,120000.000,A*00", ""};
        telemetry.samples.push_back({1714564800000, 48.1, 11.5, 13.2, 80.5, 512.25, NAN, -0.5});
        telemetry.samples.push_back({-1500, -33.9, -70.6, NAN, NAN, NAN, 0.25, NAN});
        Camera::Telemetry decoded;
        QVERIFY(TelemetryCache::decode(TelemetryCache::encode(telemetry), decoded));
        QCOMPARE(int(decoded.source), int(telemetry.source));
        QCOMPARE(decoded.error, telemetry.error);
        QCOMPARE(decoded.nmeaLines, telemetry.nmeaLines);
        QCOMPARE(decoded.samples.size(), telemetry.samples.size());
        for (std::size_t i = 0; i < decoded.samples.size(); ++i) {
            const Camera::TelemetrySample& a = decoded.samples[i];
            const Camera::TelemetrySample& b = telemetry.samples[i];
            const auto same = [](double x, double y) { return (std::isnan(x) && std::isnan(y)) || x == y; };
            QVERIFY(a.utcMs == b.utcMs && same(a.latitude, b.latitude) && same(a.longitude, b.longitude) &&
                    same(a.speed, b.speed) && same(a.course, b.course) && same(a.altitude, b.altitude) &&
                    same(a.accelerationX, b.accelerationX) && same(a.accelerationY, b.accelerationY));
        }
        // Anything cut or extended is refused, never half read.
        const QByteArray bytes = TelemetryCache::encode(telemetry);
        for (int size = 0; size < bytes.size(); size += 7)
            QVERIFY(!TelemetryCache::decode(bytes.left(size), decoded));
        QVERIFY(!TelemetryCache::decode(bytes + "x", decoded));

        // Of a fast receiver only the first sample of each second stays (also before 1970).
        std::vector<Camera::TelemetrySample> fast;
        for (qint64 ms : {-1500LL, -1100LL, -900LL, 0LL, 100LL, 999LL, 1000LL})
            fast.push_back({ms, 1, 1, NAN, NAN, NAN, NAN, NAN});
        QStringList kept;
        for (const Camera::TelemetrySample& sample : TelemetryCache::firstOfEachSecond(fast))
            kept << QString::number(sample.utcMs);
        QCOMPARE(kept, (QStringList{"-1500", "-900", "0", "1000"}));
    }

    // The parser's next run takes a GPX track from the cache while the file keeps its size and
    // time (here rewritten behind the cache's back to show it is not read), and reads it again once
    // it changed.
    void parserReadsAChangedFileAgain()
    {
        const QString track = m_dir->filePath(QStringLiteral("2024_0501_120000_0001F.gpx"));
        const QDateTime modified = QDateTime::currentDateTimeUtc().addSecs(-3600);
        QVERIFY(write(track, gpx(3, "11.500000"), modified));
        const auto longitudeRead = [&track]() {
            NmeaParser parser;
            parser.requestParsing(std::make_shared<QStringList>(QStringList{track}));
            parser.doParsing();
            NmeaFilePtr file;
            if (!parser.getParsedFile(file, track.toStdString()) || !file || file->isEmpty())
                return 0.0;
            return file->first().coordinate().longitude();
        };
        QCOMPARE(longitudeRead(), 11.5);
        QVERIFY(QFile::exists(MediaCache::folder() + QStringLiteral("/telemetry.cache")));
        QVERIFY(write(track, gpx(3, "11.600000"), modified));
        QCOMPARE(longitudeRead(), 11.5);
        QVERIFY(write(track, gpx(3, "11.600000"), modified.addSecs(1)));
        QCOMPARE(longitudeRead(), 11.6);
        // Without the cache it is read every time.
        MediaCache::setEnabled(false);
        QVERIFY(write(track, gpx(3, "11.700000"), modified.addSecs(1)));
        QCOMPARE(longitudeRead(), 11.7);
        MediaCache::setEnabled(true);
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_GUILESS_MAIN(TestTelemetryCache)
#include "tst_telemetrycache.moc"
