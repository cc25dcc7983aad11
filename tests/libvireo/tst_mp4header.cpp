#include "mp4header.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

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

// The movie index as the file states it, whatever the file holds.
class TestMp4Header : public QObject
{
    Q_OBJECT
private slots:
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

QTEST_GUILESS_MAIN(TestMp4Header)
#include "tst_mp4header.moc"
