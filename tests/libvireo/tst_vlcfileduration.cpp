#include "mp4header.h"
#include "testmedia.h"

#include "vireo/vlcfileduration.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

using namespace TestMedia;

namespace {

// Length in ms as ffprobe reads it from the container, -1 when it cannot.
qint64 ffprobeLength(const QString& file)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
                 QStringLiteral("format=duration"), QStringLiteral("-of"), QStringLiteral("csv=p=0"), file});
    if (!probe.waitForFinished(10000) || probe.exitCode() != 0) {
        return -1;
    }
    bool ok = false;
    const double seconds = probe.readAllStandardOutput().trimmed().toDouble(&ok);
    return ok ? qRound64(seconds * 1000.0) : -1;
}

constexpr qint64 OneFrameMs = 40; // the fixtures run at 25 frames per second

QByteArray be32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray be64(quint64 value)
{
    QByteArray bytes(8, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

QByteArray box(const char* type, const QByteArray& payload)
{
    return be32(quint32(8 + payload.size())) + type + payload;
}

// A box with the 64-bit size field.
QByteArray largeBox(const char* type, const QByteArray& payload)
{
    return be32(1) + type + be64(quint64(16 + payload.size())) + payload;
}

// A movie ("mvhd") or media ("mdhd") header: both start with the same fields.
QByteArray timesBox(const char* type, int version, quint32 timescale, quint64 length)
{
    QByteArray payload(1, char(version));
    payload += QByteArray(3, '\0'); // flags
    if (version == 1) {
        payload += be64(0) + be64(0) + be32(timescale) + be64(length);
    } else {
        payload += be32(0) + be32(0) + be32(timescale) + be32(quint32(length));
    }
    return box(type, payload + QByteArray(80, '\0'));
}

QByteArray track(int version, quint32 timescale, quint64 length)
{
    return box("trak",
               box("tkhd", QByteArray(84, '\0')) + box("mdia", timesBox("mdhd", version, timescale, length)));
}

} // namespace

class TestVlcFileDuration : public QObject
{
    Q_OBJECT
private slots:
    // Refused files get the player's file-check message, and a length the file's own tracks do
    // not back is refused, not taken as weeks, as 50 minutes, or narrowed to a negative number.
    // One engine measures a whole series: a refused file leaves nothing behind that changes the
    // next result, and every result matches the single-file probe.
    void refusedFilesInASeries()
    {
        const QString unconfirmed = QStringLiteral("length not confirmed");
        const QString noTrackInfo = QStringLiteral("track info not avaialble");
        const QList<QPair<QString, QString>> files{{path(RunFirst), QString()},
                                                   {path(Mpeg4), QStringLiteral("fourcc: [MP4V]")},
                                                   {path(RunSecond), QString()},
                                                   {path(Truncated), noTrackInfo},
                                                   {path(TimescaleZero), unconfirmed},
                                                   {path(Empty), noTrackInfo},
                                                   {path(FullHd), QString()},
                                                   {path("000_0000_20000101000000.mp4"), noTrackInfo},
                                                   {path(RunThird), QString()},
                                                   {path(HevcHvc1), QString()},
                                                   {path(HevcHev1), QString()},
                                                   {path(LengthAllOnes), unconfirmed},
                                                   {path(Random), noTrackInfo},
                                                   {path(LengthZero), unconfirmed},
                                                   {path(AudioOnly), QStringLiteral("no video track")}};
        QList<qint64> single;
        for (const auto& [file, expected] : files) {
            QString error = QStringLiteral("stale");
            single << VlcFileDuration::getFileDuration(file, error);
            QCOMPARE(error, expected);
            QVERIFY2(expected.isEmpty() ? single.last() > 0 : single.last() == 0, qPrintable(file));
        }
        VlcFileDuration probe;
        QVERIFY(probe.isValid());
        for (int round = 0; round < 2; ++round) {
            for (int i = 0; i < files.size(); ++i) {
                QString error = QStringLiteral("stale");
                const qint64 length = probe.duration(files.at(i).first, error);
                QCOMPARE(qMakePair(length, error), qMakePair(single.at(i), files.at(i).second));
            }
        }
    }

    // The length agrees with the container's, and it comes from the engine's parse: it must be
    // there every time, not only when the engine happens to be quick.
    void lengthOfAGoodFileEveryTime()
    {
        VlcFileDuration probe;
        const char* const files[] = {RunFirst, FullHd, HevcHvc1, RunSecond};
        for (const char* name : files) {
            const QString file = path(name);
            const qint64 expected = ffprobeLength(file);
            QVERIFY(expected > 0);
            QString error;
            QVERIFY2(qAbs(VlcFileDuration::getFileDuration(file, error) - expected) <= OneFrameMs, name);
            int wrong = 0;
            const int repeats = name == files[2] ? 300 : 1;
            for (int i = 0; i < repeats; ++i)
                wrong += qAbs(probe.duration(file, error) - expected) > OneFrameMs ? 1 : 0;
            QCOMPARE(wrong, 0);
        }
    }

    // The movie index as the file states it, whatever the file holds: what the probe checks
    // the engine's length against.
    void read_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<bool>("found");
        QTest::addColumn<quint32>("timescale");
        QTest::addColumn<qint64>("longestTrackMs");

        const QByteArray ftyp = box("ftyp", "isom\0\0\0\0isomavc1");
        const QByteArray movie =
            box("moov", timesBox("mvhd", 0, 1000, 3000) + track(0, 12800, 38400) + track(0, 48000, 144384));
        QTest::newRow("index first") << ftyp + movie + box("mdat", QByteArray(500, 'x')) << true << 1000u
                                     << qint64(3008);
        QTest::newRow("index last, after a 64-bit box")
            << ftyp + largeBox("mdat", QByteArray(500, 'x')) +
                   box("moov", timesBox("mvhd", 1, 90000, 270000) + track(1, 90000, 8100000000ULL))
            << true << 90000u << qint64(90000000);
        QTest::newRow("index to the end of the file")
            << ftyp + be32(0) + "moov" + timesBox("mvhd", 0, 1000, 3000) + track(0, 1000, 2000) << true
            << 1000u << qint64(2000);
        QTest::newRow("timescale of zero")
            << ftyp + box("moov", timesBox("mvhd", 0, 0, 3000) + track(0, 12800, 38400)) << true << 0u
            << qint64(3000);
        QTest::newRow("track lengths not known")
            << ftyp + box("moov",
                          timesBox("mvhd", 0, 1000, 0) + track(0, 12800, 0xffffffffu) + track(1, 0, 5000))
            << true << 1000u << qint64(0);
        QTest::newRow("index cut short") << ftyp + movie.left(movie.size() - 20) << false << 0u << qint64(0);
        QTest::newRow("box shorter than its head")
            << ftyp + be32(4) + "free" + movie << false << 0u << qint64(0);
        QTest::newRow("no index") << ftyp + box("mdat", QByteArray(100, 'x')) << false << 0u << qint64(0);
        QTest::newRow("empty") << QByteArray() << false << 0u << qint64(0);
    }

    void read()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, found);
        QFETCH(quint32, timescale);
        QFETCH(qint64, longestTrackMs);

        QTemporaryDir dir;
        QFile out(dir.filePath("clip.mp4"));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(file);
        out.close();

        const Mp4Header header = Mp4Header::read(out.fileName());
        QCOMPARE(header.found, found);
        QCOMPARE(header.movieTimescale, timescale);
        QCOMPARE(header.longestTrackMs, longestTrackMs);
    }

    void unreadableFile() { QVERIFY(!Mp4Header::read(QStringLiteral("/nonexistent/clip.mp4")).found); }
};

QTEST_GUILESS_MAIN(TestVlcFileDuration)
#include "tst_vlcfileduration.moc"
