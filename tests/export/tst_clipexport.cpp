#include "avcconfig.h"
#include "clipexport.h"
#include "exportfixture.h"
#include "pngencoder.h"
#include "snapshot.h"
#include "tripclock.h"
#include "tripsession.h"
#include "triptimeline.h"
#include "units.h"

#include <QCryptographicHash>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

const QStringList RunOfThree{QStringLiteral("001_0001_20240501120000.mp4"),
                             QStringLiteral("001_0002_20240501120002.mp4"),
                             QStringLiteral("001_0003_20240501120004.mp4")};
// 30 frames per second, key frames at frames 0 and 150 of each file of 240 frames.
const QStringList LongKeyInterval{QStringLiteral("004_0001_20240501150000.mp4"),
                                  QStringLiteral("004_0002_20240501150008.mp4")};
const QStringList WithBFrames{QStringLiteral("005_0001_20240501160000.mp4")};
// H.265 ("hvc1"), 25 frames per second, a key frame every 10 frames, two files of 50 frames.
const QStringList H265Run{QStringLiteral("006_0001_20240501170000.mp4"),
                          QStringLiteral("006_0002_20240501170002.mp4")};

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

} // namespace

class TestClipExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void rangeIsCutIntoFiles_data();
    void rangeIsCutIntoFiles();
    void exportsTheFramesOfTheRangeInOrder_data();
    void exportsTheFramesOfTheRangeInOrder();
    void exactCutStartsWithThePictureShownAtTheStart_data();
    void exactCutStartsWithThePictureShownAtTheStart();
    void parameterSetsOfBothPartsKeepApart_data();
    void parameterSetsOfBothPartsKeepApart();
    void failedOrCancelledExportLeavesNothing_data();
    void failedOrCancelledExportLeavesNothing();
    void failedSeekFailsWithAMessage();
    void neverReplacesARecording();

    // Stills of a trip.
    void grabsTheFrameShownAtAPosition_data();
    void grabsTheFrameShownAtAPosition();
    void grabsEveryFrameAmongBFrames();
    void stillsAreWrittenLossless_data();
    void stillsAreWrittenLossless();
    void stampShowsTheDataBelowThePicture();
    void bandNamesOffsetHeadingAndFix_data();
    void bandNamesOffsetHeadingAndFix();
    void clockTimeNamesTheFile_data();
    void clockTimeNamesTheFile();
    void savesPngButNeverOverARecording();
    void h265ClipsAndStills();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_recordings;
    QString m_out;
    QTemporaryDir m_stillsDir;
    Trip::TripList m_stills;
};

void TestClipExport::initTestCase()
{
    QVERIFY(m_stillsDir.isValid());
    m_stills = Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_stillsDir.path(), RunOfThree);
}

void TestClipExport::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_recordings = m_dir->filePath(QStringLiteral("card"));
    m_out = m_dir->filePath(QStringLiteral("out"));
    QVERIFY(QDir().mkpath(m_recordings) && QDir().mkpath(m_out));
}

void TestClipExport::rangeIsCutIntoFiles_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QString>("expected"); // "index:from-to ..."

    // The frames test below cuts ranges inside one file, across all, from and to a boundary.
    QTest::newRow("one point on a boundary") << 2000LL << 2000LL << "1:0-0";
    QTest::newRow("clamped to the trip") << -5LL << 99999LL << "0:0-2000 1:0-2000 2:0-2000";
}

void TestClipExport::rangeIsCutIntoFiles()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QString, expected);
    Trip::TripList trip;
    for (int i = 0; i < 3; ++i)
        trip.push_back(Trip::TripItem{2000, false, QString::number(i), QString()});
    QStringList pieces;
    for (const TripTimeline::Piece& piece : TripTimeline(trip).pieces(from, to))
        pieces << QStringLiteral("%1:%2-%3").arg(piece.index).arg(piece.fromMs).arg(piece.toMs);
    QCOMPARE(pieces.join(QLatin1Char(' ')), expected);
}

void TestClipExport::exportsTheFramesOfTheRangeInOrder_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("firstFrame"); // the key frame at or before `from`
    QTest::addColumn<int>("lastFrame");  // the frame shown at `to`

    // 25 frames per second, a key frame every 10 frames, three files of 50 frames.
    QTest::newRow("across three files") << 1300LL << 4500LL << 30 << 112;
    QTest::newRow("from a key frame") << 800LL << 1000LL << 20 << 25;
    QTest::newRow("from a file boundary") << 2000LL << 2600LL << 50 << 65;
    QTest::newRow("to a file boundary") << 1000LL << 2000LL << 20 << 49;
    QTest::newRow("to the end") << 5000LL << 6000LL << 120 << 149;
}

void TestClipExport::exportsTheFramesOfTheRangeInOrder()
{
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, firstFrame);
    QFETCH(int, lastFrame);
    const Trip::TripList trip =
        Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, RunOfThree);
    const PositionsPtr positions = TripSession::loadNow(trip)->positions();
    QVERIFY(TripData::hasFix(positions));

    ClipExport clip(trip);
    clip.setRange(from, to);
    clip.setPositions(positions, 0);
    QSignalSpy progress(&clip, &ClipExport::progressChanged);
    const QString path = QDir(m_out).filePath(QStringLiteral("range.mp4"));
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    QCOMPARE(progress.last().first().toInt(), 100);
    // Where the clip really starts and ends: 40 ms a frame.
    QCOMPARE(clip.clipFromMs(), firstFrame * 40LL);
    QCOMPARE(clip.clipToMs(), (lastFrame + 1) * 40LL);
    QCOMPARE(clip.startsEarly(), firstFrame * 40 + 40 <= from);

    const Fixture::Decoded decoded = Fixture::decodeAll(path);
    QVector<int> expected;
    for (int frame = firstFrame; frame <= lastFrame; ++frame)
        expected << frame;
    QCOMPARE(decoded.frames, expected);
    QVERIFY(decoded.hasAudio);
    // Longer than the range by less than one key-frame interval (10 frames).
    const double range = double(to - from) / 1000.0;
    QVERIFY2(decoded.seconds >= range - 0.04 && decoded.seconds <= range + 0.4 + 0.04,
             qPrintable(QStringLiteral("%1 s for a range of %2 s").arg(decoded.seconds).arg(range)));

    // The GPX beside it is valid and covers exactly the seconds of the frames it holds, from the
    // key frame on; the end of the last frame is not shown.
    const QString gpx = ClipExport::trackPathFor(path);
    QCOMPARE(gpx, QDir(m_out).filePath(QStringLiteral("range.gpx")));
    QFile track(gpx);
    QVERIFY(track.open(QIODevice::ReadOnly));
    QString error;
    const QVector<Fixture::GpxPoint> points = Fixture::readGpx(track.readAll(), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    // Six seconds of positions: records 0 to 5.
    const qint64 firstSecond = firstFrame * 40 / 1000;
    const qint64 lastSecond = std::min<qint64>(((lastFrame + 1) * 40 - 1) / 1000, 5);
    const QDateTime start(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC);
    QCOMPARE(points.size(), int(lastSecond - firstSecond + 1));
    QCOMPARE(points.first().time, start.addSecs(firstSecond).toString(Qt::ISODate));
    QCOMPARE(points.last().time, start.addSecs(lastSecond).toString(Qt::ISODate));
    QCOMPARE(filesIn(m_out), QStringList({QStringLiteral("range.gpx"), QStringLiteral("range.mp4")}));
}

void TestClipExport::exactCutStartsWithThePictureShownAtTheStart_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("exact");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<int>("firstFrame");
    QTest::addColumn<int>("lastFrame");
    QTest::addColumn<int>("reencoded"); // pictures that are not the recording's

    // Key frames at 0 s, 5 s, 8 s (the second file) and 13 s.
    QTest::newRow("stream copy starts at the key frame")
        << LongKeyInterval << false << 2500LL << 6000LL << 0 << 180 << 0;
    QTest::newRow("re-encoded up to the next key frame")
        << LongKeyInterval << true << 2500LL << 6000LL << 75 << 180 << 75;
    QTest::newRow("start between two frames")
        << LongKeyInterval << true << 2510LL << 6000LL << 75 << 180 << 75;
    QTest::newRow("re-encoded to the end of the file, copied from the next")
        << LongKeyInterval << true << 7000LL << 9000LL << 210 << 270 << 30;
    QTest::newRow("range ends before the next key frame")
        << LongKeyInterval << true << 1000LL << 2000LL << 30 << 60 << 31;
    QTest::newRow("start on a key frame") << LongKeyInterval << true << 5000LL << 6000LL << 150 << 180 << 0;
    QTest::newRow("B-frames, High profile") << WithBFrames << true << 2500LL << 6000LL << 75 << 180 << 75;
}

void TestClipExport::exactCutStartsWithThePictureShownAtTheStart()
{
    QFETCH(QStringList, files);
    QFETCH(bool, exact);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(int, firstFrame);
    QFETCH(int, lastFrame);
    QFETCH(int, reencoded);
    const Trip::TripList trip =
        Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, files, 8000);
    ClipExport clip(trip);
    clip.setRange(from, to);
    clip.setExactCut(exact);
    clip.setPositions(TripSession::loadNow(trip)->positions(), 0);
    const QString path = QDir(m_out).filePath(QStringLiteral("clip.mp4"));
    const bool startsEarly = firstFrame < from * 30 / 1000;
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));

    // Every frame of the range once, in order, read from the pictures themselves.
    const Fixture::Decoded decoded = Fixture::decodeAll(path);
    QVector<int> expected;
    for (int frame = firstFrame; frame <= lastFrame; ++frame)
        expected << frame;
    QCOMPARE(decoded.frames, expected);
    QVERIFY(decoded.hasAudio);
    const QString errors = Fixture::decodingErrors(path);
    QVERIFY2(errors.isEmpty(), qPrintable(errors));

    // The range the clip reports is its frames', at 30 frames per second.
    QVERIFY2(qAbs(clip.clipFromMs() - firstFrame * 1000.0 / 30) <= 1.0,
             qPrintable(QString::number(clip.clipFromMs())));
    QVERIFY2(qAbs(clip.clipToMs() - (lastFrame + 1) * 1000.0 / 30) <= 1.0,
             qPrintable(QString::number(clip.clipToMs())));
    QCOMPARE(clip.startsEarly(), startsEarly);

    // The re-encoded pictures are new; from the first copied key frame on, the recording's
    // packets follow bit for bit.
    QVector<QByteArray> recorded;
    for (const Trip::TripItem& item : trip)
        recorded << Fixture::videoPackets(item.videoFile);
    const QVector<QByteArray> written = Fixture::videoPackets(path);
    QCOMPARE(written.size(), lastFrame - firstFrame + 1);
    for (int i = 0; i < reencoded; ++i)
        QVERIFY2(!recorded.contains(written[i]), qPrintable(QString::number(i)));
    if (reencoded < written.size()) {
        const int copied = recorded.indexOf(written[reencoded]);
        QVERIFY(copied >= 0);
        QCOMPARE(written.mid(reencoded), recorded.mid(copied, written.size() - reencoded));
    }

    // The GPX covers the seconds of the clip's first to last frame.
    QFile track(ClipExport::trackPathFor(path));
    QVERIFY(track.open(QIODevice::ReadOnly));
    QString error;
    const QVector<Fixture::GpxPoint> points = Fixture::readGpx(track.readAll(), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QDateTime start = QDateTime::fromString(files.first().mid(9, 14), QStringLiteral("yyyyMMddHHmmss"));
    QVERIFY(!points.isEmpty());
    QCOMPARE(points.first().time, start.addSecs(firstFrame / 30).toString(Qt::ISODate) + QLatin1Char('Z'));
    QCOMPARE(points.last().time, start.addSecs(lastFrame / 30).toString(Qt::ISODate) + QLatin1Char('Z'));

    if (exact && reencoded == 0) {
        // Nothing to re-encode: the very file of a stream copy.
        ClipExport copy(trip);
        copy.setRange(from, to);
        copy.setPositions(TripSession::loadNow(trip)->positions(), 0);
        const QString copyPath = QDir(m_out).filePath(QStringLiteral("copy.mp4"));
        QVERIFY2(copy.run(copyPath), qPrintable(copy.errorString()));
        QCOMPARE(hashOf(copyPath), hashOf(path));
    }
}

void TestClipExport::parameterSetsOfBothPartsKeepApart_data()
{
    QTest::addColumn<QByteArray>("nal");
    QTest::addColumn<int>("id");
    // The id is the first Exp-Golomb number after the header (and profile, flags and level).
    QTest::newRow("sequence set 0") << QByteArray::fromHex("6764001fac") << 0;
    QTest::newRow("sequence set 3") << QByteArray::fromHex("6764001f20") << 3;
    QTest::newRow("sequence set 31") << QByteArray::fromHex("6764001f0410") << 31;
    QTest::newRow("picture set 1") << QByteArray::fromHex("6840") << 1;
    QTest::newRow("a picture") << QByteArray::fromHex("6588") << -1;
}

// The recording's sets and the encoder's share one decoder configuration under different ids.
void TestClipExport::parameterSetsOfBothPartsKeepApart()
{
    QFETCH(QByteArray, nal);
    QFETCH(int, id);
    QCOMPARE(AvcConfig::parameterSetId(nal), id);

    // A recording with sequence set 0 and picture sets 0 and 1: id 2 is the first free one.
    const QByteArray recorded = QByteArray::fromHex("01640028ffe10005") + QByteArray::fromHex("6764001fac") +
                                QByteArray::fromHex("02000268c00002") + QByteArray::fromHex("6840") +
                                QByteArray::fromHex("fdf8f800");
    AvcConfig config;
    QVERIFY(config.read(reinterpret_cast<const uint8_t*>(recorded.constData()), int(recorded.size())));
    QCOMPARE(config.record(), recorded);
    QCOMPARE(config.freeId(), 2);
    // The encoder's sets under id 2, after start codes of three and four bytes, with a trailing zero.
    const QByteArray header = QByteArray::fromHex("000000016764001f60000001686000000000010601ff");
    QVERIFY(config.addAnnexB(reinterpret_cast<const uint8_t*>(header.constData()), int(header.size())));
    QCOMPARE(config.record(), QByteArray::fromHex("01640028ffe2") + QByteArray::fromHex("00056764001fac") +
                                  QByteArray::fromHex("00056764001f60") + QByteArray::fromHex("03") +
                                  QByteArray::fromHex("000268c0000268400002"
                                                      "6860") +
                                  QByteArray::fromHex("fdf8f800"));
    QCOMPARE(
        AvcConfig::lengthPrefixed(reinterpret_cast<const uint8_t*>(header.constData()), int(header.size())),
        QByteArray::fromHex("000000056764001f60000000026860000000030601ff"));
}

void TestClipExport::failedOrCancelledExportLeavesNothing_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("cancel");
    // Where the file system has no unnamed temporary files (FAT, exFAT), the clip is written
    // under a visible temporary name; the preloaded test library makes it so.
    QTest::addColumn<bool>("namedTemporary");

    QTest::newRow("cancelled") << RunOfThree << true << false;
    QTest::newRow("cancelled, named temporary file") << RunOfThree << true << true;
    // The last file has another picture size: joining it needs re-encoding.
    const QStringList unjoinable{RunOfThree.last(), QStringLiteral("002_0001_20240501130000.mp4")};
    QTest::newRow("files that cannot be joined") << unjoinable << false << false;
    QTest::newRow("files that cannot be joined, named temporary file") << unjoinable << false << true;
}

void TestClipExport::failedOrCancelledExportLeavesNothing()
{
    QFETCH(QStringList, files);
    QFETCH(bool, cancel);
    QFETCH(bool, namedTemporary);
    const Trip::TripList trip = Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, files);
    const QStringList recordings = filesIn(m_recordings);
    qputenv("TARROW_TEST_NO_TMPFILE", namedTemporary ? "1" : "0");
    const auto restore = qScopeGuard([] { qunsetenv("TARROW_TEST_NO_TMPFILE"); });

    ClipExport clip(trip);
    clip.setRange(0, TripTimeline(trip).duration());
    clip.setPositions(TripSession::loadNow(trip)->positions(), 0);
    QStringList whileWriting;
    connect(&clip, &ClipExport::progressChanged, &clip, [&](int percent) {
        if (percent < 30 || !whileWriting.isEmpty())
            return;
        whileWriting = filesIn(m_out);
        if (cancel)
            clip.cancel();
    });
    QVERIFY(!clip.run(QDir(m_out).filePath(QStringLiteral("clip.mp4"))));
    QCOMPARE(clip.wasCancelled(), cancel);
    QVERIFY(!clip.errorString().isEmpty());
    if (cancel) {
        // The clip was really being written where it shows, or where it does not.
        QCOMPARE(whileWriting.size(), namedTemporary ? 1 : 0);
        if (namedTemporary)
            QVERIFY2(whileWriting.first().startsWith(QStringLiteral("clip.mp4.")),
                     qPrintable(whileWriting.first()));
    }
    QCOMPARE(filesIn(m_out), QStringList());
    QCOMPARE(filesIn(m_recordings), recordings);
}

void TestClipExport::failedSeekFailsWithAMessage()
{
    // The first file's only key frames after its first are flagged; the first frame no longer
    // is, so no key frame lies at or before 200 ms and the demuxer cannot seek there.
    const Trip::TripList trip =
        Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, {RunOfThree.first()});
    QFile video(trip[0].videoFile);
    QVERIFY(video.open(QIODevice::ReadWrite));
    QByteArray bytes = video.readAll();
    const int stss = bytes.indexOf("stss");
    QVERIFY(stss > 0);
    QCOMPARE(qFromBigEndian<quint32>(bytes.constData() + stss + 8), quint32(5)); // frames 1, 11, 21...
    qToBigEndian<quint32>(11, bytes.data() + stss + 12);
    QVERIFY(video.seek(0) && video.write(bytes) == bytes.size());
    video.close();

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot seek to 200 ms in .* for a clip")));
    ClipExport clip(trip);
    clip.setRange(200, 1500);
    QVERIFY(!clip.run(QDir(m_out).filePath(QStringLiteral("clip.mp4"))));
    QVERIFY2(clip.errorString().contains(trip[0].videoFile), qPrintable(clip.errorString()));
    QCOMPARE(filesIn(m_out), QStringList());

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("cannot seek to 200 ms in .* for a still")));
    Snapshot still(trip, nullptr);
    QVERIFY(!still.grab(200));
    QVERIFY2(still.errorString().contains(trip[0].videoFile), qPrintable(still.errorString()));
    // Positions the demuxer can reach still work.
    QVERIFY2(still.grab(1300), qPrintable(still.errorString()));
    QCOMPARE(Fixture::frameNumber(still.frame()), 32);
}

void TestClipExport::neverReplacesARecording()
{
    const Trip::TripList trip =
        Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, RunOfThree);
    const QString video = trip[1].videoFile;
    const QByteArray before = hashOf(video);
    ClipExport clip(trip);
    clip.setRange(0, 6000);
    // Named directly, and through another spelling of the same path.
    for (const QString& target :
         {video, m_recordings + QStringLiteral("/../card/") + QFileInfo(video).fileName()}) {
        QVERIFY(!clip.run(target));
        QVERIFY(clip.errorString().contains(video));
    }
    QCOMPARE(hashOf(video), before);
}

void TestClipExport::grabsTheFrameShownAtAPosition_data()
{
    QTest::addColumn<qint64>("position");
    QTest::addColumn<int>("frame");

    // 25 frames per second, three files of 50 frames.
    QTest::newRow("start") << 0LL << 0;
    QTest::newRow("between two frames") << 1300LL << 32;
    QTest::newRow("on a frame, not a key frame") << 1320LL << 33;
    QTest::newRow("end of the first file") << 2000LL << 49;
    QTest::newRow("start of the second file") << 2020LL << 50;
    QTest::newRow("end of the trip") << 6000LL << 149;
}

void TestClipExport::grabsTheFrameShownAtAPosition()
{
    QFETCH(qint64, position);
    QFETCH(int, frame);
    Snapshot still(m_stills, nullptr);
    QVERIFY2(still.grab(position), qPrintable(still.errorString()));
    QCOMPARE(still.frame().size(), QSize(320, 64));
    QCOMPARE(Fixture::frameNumber(still.frame()), frame);
}

// A still leaves out the pictures no other refers to on its way to the target: never the one
// shown there. Runs of frames cover every place in the pattern of B-frames, the start, the
// frames on both sides of the second key frame and the end; the instant a frame starts and its
// middle.
// A still's PNG holds every pixel as drawn, whatever the rows' padding in memory.
void TestClipExport::stillsAreWrittenLossless_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("one pixel") << QSize(1, 1);
    QTest::newRow("odd rows, padded in memory") << QSize(5, 3);
    QTest::newRow("a full HD still") << QSize(1920, 1080);
}

void TestClipExport::stillsAreWrittenLossless()
{
    QFETCH(QSize, size);
    QImage image(size, QImage::Format_RGB32);
    quint32 seed = 12345;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y, 0xff000000u | (seed >> 8));
        }
    const QByteArray png = PngEncoder::encode(image);
    QVERIFY(png.startsWith("\x89PNG"));
    const QImage read = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
    QCOMPARE(read.size(), size);
    QVERIFY(read == image);
}

void TestClipExport::grabsEveryFrameAmongBFrames()
{
    const QString video = QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(WithBFrames.front());
    QStringList wrong;
    for (const auto& [first, last] : {std::pair{0, 6}, std::pair{143, 157}, std::pair{233, 239}}) {
        for (int frame = first; frame <= last; ++frame) {
            const qint64 start = (frame * 1000 + 29) / 30;
            const qint64 middle = (frame * 1000 + 500) / 30;
            for (const qint64 ms : {start, middle}) {
                const int shown = Fixture::frameNumber(Snapshot::decodeFrame(video, ms));
                if (shown != frame)
                    wrong << QStringLiteral("%1 ms: frame %2, not %3").arg(ms).arg(shown).arg(frame);
            }
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
}

void TestClipExport::stampShowsTheDataBelowThePicture()
{
    Snapshot still(m_stills, TripSession::loadNow(m_stills)->positions());
    QVERIFY(still.grab(3500));
    const QStringList lines = still.stampLines(3500, 3600);
    QCOMPARE(lines.size(), 4);

    const QImage stamped = Snapshot::stamped(still.frame(), lines);
    QCOMPARE(stamped.width(), still.frame().width());
    QVERIFY(stamped.height() > still.frame().height());
    QCOMPARE(stamped.copy(0, 0, 320, 64), still.frame().convertToFormat(stamped.format()));
    // Text is drawn in the band.
    const QImage band = stamped.copy(0, 64, 320, stamped.height() - 64);
    int lit = 0;
    for (int y = 0; y < band.height(); ++y) {
        for (int x = 0; x < band.width(); ++x)
            lit += qGray(band.pixel(x, y)) > 128 ? 1 : 0;
    }
    QVERIFY(lit > 50);
    QCOMPARE(Snapshot::stamped(still.frame(), {}), still.frame());
}

void TestClipExport::bandNamesOffsetHeadingAndFix_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("positions"); // "all", "none", or "last file without"
    QTest::addColumn<qint64>("at");
    QTest::addColumn<QStringList>("lines"); // @place and @speed: the record's coordinates and speed

    const QStringList located{QStringLiteral("@place"), QStringLiteral("@speed"),
                              QString::fromUtf8("heading 90° E")};
    QTest::newRow("ahead of UTC") << 3600LL << "all" << 3500LL
                                  << QStringList{QStringLiteral("2024-05-01 13:00:03 +01:00")} + located;
    QTest::newRow("behind UTC") << -5400LL << "all" << 3500LL
                                << QStringList{QStringLiteral("2024-05-01 10:30:03 -01:30")} + located;
    QTest::newRow("no offset") << 0LL << "all" << 3500LL
                               << QStringList{QStringLiteral("2024-05-01 12:00:03 +00:00")} + located;
    // The clock from the file's name; nothing located.
    QTest::newRow("no position file")
        << 0LL << "none" << 3500LL
        << QStringList{QStringLiteral("2024-05-01 12:00:03 +00:00"), QStringLiteral("no GPS fix")};
    // Substitute records carry a place, but no fix: neither place nor speed is shown.
    QTest::newRow("second without a fix")
        << 7200LL << "last file without" << 4500LL
        << QStringList{QStringLiteral("2024-05-01 14:00:04 +02:00"), QStringLiteral("no GPS fix")};
}

void TestClipExport::bandNamesOffsetHeadingAndFix()
{
    QFETCH(qint64, offset);
    QFETCH(QString, positions);
    QFETCH(qint64, at);
    QFETCH(QStringList, lines);
    Trip::TripList trip = m_stills;
    if (positions == QLatin1String("last file without"))
        trip.back().nmeaFile = m_stillsDir.filePath(QStringLiteral("missing.nmea"));
    const PositionsPtr records =
        positions == QLatin1String("none") ? nullptr : TripSession::loadNow(trip)->positions();
    const Snapshot still(trip, records);
    const QStringList band = still.stampLines(at, offset);
    for (QString& line : lines) {
        if (line == QLatin1String("@place") || line == QLatin1String("@speed")) {
            const QNmeaPositionInfo& record = (*records)[std::size_t(at / 1000)];
            line = line == QLatin1String("@speed")
                       ? Units::speedText(record.attribute(QNmeaPositionInfo::GroundSpeed), 0)
                       : Units::latitudeText(record.coordinate().latitude()) + QStringLiteral("  ") +
                             Units::longitudeText(record.coordinate().longitude());
        }
    }
    QCOMPARE(band, lines);
}

void TestClipExport::clockTimeNamesTheFile_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::addColumn<QString>("name");
    // The offset clock with its offset; no ':' on a card's file systems.
    QTest::newRow("ahead of UTC") << 7200LL << "2024-06-01_16-03-12+0200.png";
    QTest::newRow("no offset") << 0LL << "2024-06-01_14-03-12+0000.png";
    QTest::newRow("behind UTC, the day before") << -15LL * 3600 - 1800 << "2024-05-31_22-33-12-1530.png";
}

void TestClipExport::clockTimeNamesTheFile()
{
    QFETCH(qint64, offset);
    QFETCH(QString, name);
    QCOMPARE(TripClock::fileName(QDateTime(QDate(2024, 6, 1), QTime(14, 3, 12), Qt::UTC), offset,
                                 QStringLiteral("png")),
             name);
    // Without positions the clock comes from the start time in the file's name.
    const Snapshot still(m_stills, nullptr);
    QCOMPARE(still.clockAt(4500), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 4, 500), Qt::UTC));
    QCOMPARE(still.clockAt(2000), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 2), Qt::UTC));
    // With positions, from the record of that second.
    const Snapshot located(m_stills, TripSession::loadNow(m_stills)->positions());
    QCOMPARE(located.clockAt(4500), QDateTime(QDate(2024, 5, 1), QTime(12, 0, 4), Qt::UTC));
}

void TestClipExport::savesPngButNeverOverARecording()
{
    Snapshot still(m_stills, nullptr);
    QVERIFY(still.grab(1000));
    const QString path = QDir(m_out).filePath(QStringLiteral("still.png"));
    QVERIFY2(still.save(still.frame(), path), qPrintable(still.errorString()));
    QImage read(path);
    QCOMPARE(read.size(), QSize(320, 64));
    QCOMPARE(Fixture::frameNumber(read), 25);

    const qint64 size = QFileInfo(m_stills[0].videoFile).size();
    QVERIFY(!still.save(still.frame(), m_stills[0].videoFile));
    QVERIFY(still.errorString().contains(m_stills[0].videoFile));
    QCOMPARE(QFileInfo(m_stills[0].videoFile).size(), size);
}

// H.265 recordings are cut, joined and grabbed like H.264 ones: the clip holds the frames of
// the range from the key frame before it, across the files, and a still is the frame shown.
void TestClipExport::h265ClipsAndStills()
{
    const Trip::TripList trip = Fixture::markedTrip(QStringLiteral(EXPORT_TEST_MEDIA), m_recordings, H265Run);
    ClipExport clip(trip);
    clip.setRange(1300, 3000);
    clip.setPositions(TripSession::loadNow(trip)->positions(), 0);
    const QString path = QDir(m_out).filePath(QStringLiteral("h265.mp4"));
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    QVector<int> expected;
    for (int frame = 30; frame <= 75; ++frame)
        expected << frame;
    QCOMPARE(Fixture::decodeAll(path).frames, expected);

    Snapshot still(trip, nullptr);
    for (const auto& [position, frame] : {std::pair<qint64, int>{1320, 33}, {2020, 50}, {4000, 99}}) {
        QVERIFY2(still.grab(position), qPrintable(still.errorString()));
        QCOMPARE(still.frame().size(), QSize(320, 64));
        QCOMPARE(Fixture::frameNumber(still.frame()), frame);
    }
}

QTEST_MAIN(TestClipExport)
#include "tst_clipexport.moc"
