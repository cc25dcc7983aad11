#include "clipexport.h"
#include "exportfixture.h"
#include "masks.h"
#include "maskstore.h"
#include "overlayexport.h"
#include "overlaypainter.h"
#include "privacyzones.h"
#include "snapshot.h"
#include "trackexport.h"
#include "tripsession.h"
#include "units.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

const QStringList Detailed{QStringLiteral("007_0001_20240501180000.mp4"),
                           QStringLiteral("007_0002_20240501180002.mp4")};
constexpr qint64 FromMs = 500;
constexpr qint64 ToMs = 3500;

QStringList filesIn(const QString& dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// Pixels whose grey differs by more than a glyph's edge can blur: a wrong or missing letter.
int mismatches(const QImage& a, const QImage& b)
{
    int count = 0;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            count += std::abs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y))) > 96 ? 1 : 0;
    return count;
}

// Peak signal to noise ratio of the grey values of `rect`, leaving out `skip`.
double psnr(const QImage& a, const QImage& b, const QRect& rect, const QRect& skip = QRect())
{
    double sum = 0;
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (skip.contains(x, y))
                continue;
            const double d = qGray(a.pixel(x, y)) - qGray(b.pixel(x, y));
            sum += d * d;
            ++count;
        }
    const double mse = sum / std::max(1, count);
    return mse <= 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// How much fine detail a rectangle holds: the mean step between neighbouring pixels.
double detail(const QImage& image, const QRect& rect)
{
    double sum = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x < rect.right(); ++x)
            sum += std::abs(qGray(image.pixel(x + 1, y)) - qGray(image.pixel(x, y)));
    return sum / (rect.width() * rect.height());
}

} // namespace

class TestOverlayExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void bandShowsTheRecordsOfEachInstant_data();
    void bandShowsTheRecordsOfEachInstant();
    void bandReadsBackByOcr();
    void pictureAboveTheBandIsTheRecording();
    void masksHideTheirRectanglesOnly_data();
    void masksHideTheirRectanglesOnly();
    void cancelledOrFailedExportLeavesNothing_data();
    void cancelledOrFailedExportLeavesNothing();
    void itemsAndBandHeight_data();
    void itemsAndBandHeight();
    void mapShowsTilesWhereItHasThem();

    void maskFilesAreChecked_data();
    void maskFilesAreChecked();
    void maskMovesBetweenKeyframes_data();
    void maskMovesBetweenKeyframes();
    void keyframesAreSetAndRemoved();
    void masksAreKeptPerTripOutsideTheCard();

    void zonesAreParsed_data();
    void zonesAreParsed();
    void noExportedPointLiesInAZone_data();
    void noExportedPointLiesInAZone();
    void bandAndStampHideThePlaceButKeepTheSpeed();

private:
    Trip::TripList trip(const QString& dir, PositionsPtr& positions) const;
    QString m_media;
    QTemporaryDir m_dir;
};

void TestOverlayExport::initTestCase()
{
    m_media = QStringLiteral(EXPORT_TEST_MEDIA);
    QVERIFY(QFileInfo::exists(QDir(m_media).filePath(Detailed.front())));
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
}

void TestOverlayExport::init()
{
    QVERIFY(m_dir.isValid());
    for (const QString& name : filesIn(m_dir.path()))
        QFile::remove(QDir(m_dir.path()).filePath(name));
}

Trip::TripList TestOverlayExport::trip(const QString& dir, PositionsPtr& positions) const
{
    const Trip::TripList trip = Fixture::markedTrip(m_media, dir, Detailed);
    positions = TripSession::loadNow(trip)->positions();
    return trip;
}

void TestOverlayExport::bandShowsTheRecordsOfEachInstant_data()
{
    QTest::addColumn<QString>("units");
    QTest::addColumn<qint64>("offset");
    QTest::newRow("km/h, UTC") << QStringLiteral("km/h") << qint64(0);
    QTest::newRow("mph, +02:00") << QStringLiteral("mph") << qint64(7200);
}

void TestOverlayExport::bandShowsTheRecordsOfEachInstant()
{
    QFETCH(QString, units);
    QFETCH(qint64, offset);
    const auto unit =
        units == QLatin1String("mph") ? Units::SpeedUnit::MilesPerHour : Units::SpeedUnit::KilometresPerHour;
    Units::setSpeedUnit(unit);
    const auto restore = qScopeGuard([] { Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour); });
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    QVERIFY(positions);
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("overlay.mp4"));
    OverlayExport clip(recorded);
    clip.setRange(FromMs, ToMs);
    clip.setPositions(positions, offset);
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    QVERIFY(QFileInfo::exists(ClipExport::trackPathFor(path)));
    // The picture shown at the start of the range begins at 480 ms.
    QCOMPARE(clip.clipFromMs(), qint64(480));
    const Fixture::Decoded decoded = Fixture::decodeAll(path);
    QVERIFY(decoded.hasAudio);
    QCOMPARE(decoded.frames.size(), clip.frameCount());
    QVERIFY(qAbs(clip.frameCount() - 76) <= 1);
    QCOMPARE(Fixture::decodingErrors(path), QString());

    const OverlayPainter painter(recorded, positions, offset);
    const QString speed = Units::speedText(Fixture::Knots * 1852.0 / 3600.0, 0);
    QVERIFY(speed.contains(units));
    // Instants in the middle of a picture and of a second, in both files.
    for (const qint64 at : {700, 1500, 2300, 3300}) {
        const QImage frame = Snapshot::decodeFrame(path, at - clip.clipFromMs());
        QVERIFY(!frame.isNull());
        const int height = OverlayPainter::bandHeight(frame.height());
        const QImage band = frame.copy(0, frame.height() - height, frame.width(), height);
        const QString text = painter.bandText(at);
        QVERIFY2(text.contains(speed), qPrintable(text));
        QVERIFY2(text.contains(Units::offsetText(offset)), qPrintable(text));
        const QImage expected = OverlayPainter::renderBand(text, frame.width(), height);
        const QImage otherSecond =
            OverlayPainter::renderBand(painter.bandText(at + 1000), frame.width(), height);
        const int right = mismatches(band, expected);
        const int wrong = mismatches(band, otherSecond);
        QVERIFY2(right * 4 < wrong && right < band.width() * band.height() / 100,
                 qPrintable(QStringLiteral("at %1 ms: %2 pixels off the expected band, %3 off the next "
                                           "second's")
                                .arg(at)
                                .arg(right)
                                .arg(wrong)));
    }
}

// An outside reader of the picture: the OCR engine reads the band's time, speed and place.
void TestOverlayExport::bandReadsBackByOcr()
{
    if (QStandardPaths::findExecutable(QStringLiteral("tesseract")).isEmpty())
        QSKIP("no OCR engine (package tesseract-ocr)");
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("overlay.mp4"));
    OverlayExport clip(recorded);
    clip.setRange(FromMs, ToMs);
    clip.setPositions(positions, 0);
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    const QImage frame = Snapshot::decodeFrame(path, 2500 - clip.clipFromMs());
    const int height = OverlayPainter::bandHeight(frame.height());
    // Three times larger, as the engine reads text of about 30 pixels best.
    const QImage band =
        frame.copy(0, frame.height() - height, frame.width(), height)
            .scaled(frame.width() * 3, height * 3, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QString png = QDir(m_dir.path()).filePath(QStringLiteral("band.png"));
    QVERIFY(band.save(png));
    QProcess ocr;
    ocr.start(QStringLiteral("tesseract"),
              {png, QStringLiteral("-"), QStringLiteral("--psm"), QStringLiteral("7")});
    QVERIFY(ocr.waitForFinished(60000));
    const QString text = QString::fromUtf8(ocr.readAllStandardOutput()).simplified();
    // Second 2 of the trip: 18:00:02 UTC, the second file's first fix, at the place of the first.
    for (const QString& expected :
         {QStringLiteral("18:00:02"), QStringLiteral("+00:00"), QStringLiteral("36 km/h"),
          QStringLiteral("48"), QStringLiteral("heading 90")})
        QVERIFY2(text.contains(expected), qPrintable(QStringLiteral("%1 not in \"%2\"").arg(expected, text)));
}

void TestOverlayExport::pictureAboveTheBandIsTheRecording()
{
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("overlay.mp4"));
    OverlayExport clip(recorded);
    clip.setRange(FromMs, ToMs);
    clip.setPositions(positions, 0);
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    const TripTimeline timeline(recorded);
    for (const qint64 at : {500, 1900, 2020, 3460}) {
        const QImage exported = Snapshot::decodeFrame(path, at - clip.clipFromMs());
        const QImage source = Snapshot::decodeFrame(recorded[std::size_t(timeline.indexAt(at))].videoFile,
                                                    timeline.timeInFile(at));
        QCOMPARE(exported.size(), source.size());
        const QRect above(0, 0, source.width(),
                          source.height() - OverlayPainter::bandHeight(source.height()));
        const double value = psnr(exported, source, above);
        QVERIFY2(value >= 30.0, qPrintable(QStringLiteral("at %1 ms: %2 dB").arg(at).arg(value)));
    }
}

void TestOverlayExport::masksHideTheirRectanglesOnly_data()
{
    QTest::addColumn<QString>("mode");
    QTest::newRow("blur") << QStringLiteral("blur");
    QTest::newRow("pixelate") << QStringLiteral("pixelate");
}

void TestOverlayExport::masksHideTheirRectanglesOnly()
{
    QFETCH(QString, mode);
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    Masks masks;
    // From (100, 60) at the range's start to (400, 160) two seconds later.
    QVERIFY(masks.read(QStringLiteral(R"({"masks":[{"mode":"%1","keyframes":[
        {"t":0,"x":100,"y":60,"w":120,"h":80},{"t":2,"x":400,"y":160,"w":120,"h":80}]}]})")
                           .arg(mode)
                           .toUtf8()));
    const QString path = QDir(m_dir.path()).filePath(QStringLiteral("masked.mp4"));
    OverlayExport clip(recorded);
    clip.setRange(FromMs, ToMs);
    clip.setPositions(positions, 0);
    clip.setMasks(masks);
    QVERIFY2(clip.run(path), qPrintable(clip.errorString()));
    const TripTimeline timeline(recorded);
    for (const qint64 at : {700, 1500, 3300}) {
        const QRect rect = Masks::rectAt(masks.masks().front(), double(at - FromMs) / 1000.0);
        const QImage exported = Snapshot::decodeFrame(path, at - clip.clipFromMs());
        const QImage source = Snapshot::decodeFrame(recorded[std::size_t(timeline.indexAt(at))].videoFile,
                                                    timeline.timeInFile(at));
        // The rectangle a picture earlier or later: the mask moves about 6 pixels a picture.
        const QRect inner = rect.adjusted(8, 8, -8, -8);
        QVERIFY2(detail(exported, inner) < 0.35 * detail(source, inner),
                 qPrintable(QStringLiteral("at %1 ms: detail %2 of %3")
                                .arg(at)
                                .arg(detail(exported, inner))
                                .arg(detail(source, inner))));
        const QRect above(0, 0, source.width(),
                          source.height() - OverlayPainter::bandHeight(source.height()));
        const double value = psnr(exported, source, above, rect.adjusted(-12, -12, 12, 12));
        QVERIFY2(value >= 30.0,
                 qPrintable(QStringLiteral("at %1 ms: %2 dB outside the mask").arg(at).arg(value)));
    }

    // A still takes the masks where they stand at its instant.
    QImage still = Snapshot::decodeFrame(recorded.front().videoFile, 1000);
    const QImage before = still;
    masks.apply(still, 0.0);
    const QRect first = masks.masks().front().keyframes.front().rect;
    QVERIFY(detail(still, first) < 0.35 * detail(before, first));
    QCOMPARE(psnr(still, before, still.rect(), first), 99.0);
}

void TestOverlayExport::cancelledOrFailedExportLeavesNothing_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("cancelled") << QStringLiteral("cancel");
    QTest::newRow("mask outside the picture") << QStringLiteral("mask");
    QTest::newRow("unwritable folder") << QStringLiteral("folder");
}

void TestOverlayExport::cancelledOrFailedExportLeavesNothing()
{
    QFETCH(QString, failure);
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    const QStringList before = filesIn(m_dir.path());
    QString path = QDir(m_dir.path()).filePath(QStringLiteral("overlay.mp4"));
    OverlayExport clip(recorded);
    clip.setRange(FromMs, ToMs);
    clip.setPositions(positions, 0);
    if (failure == QLatin1String("cancel")) {
        connect(&clip, &OverlayExport::progressChanged, &clip, [&clip](int percent) {
            if (percent >= 30)
                clip.cancel();
        });
    } else if (failure == QLatin1String("mask")) {
        Masks masks;
        QVERIFY(masks.read(R"({"masks":[{"keyframes":[{"t":0,"x":600,"y":10,"w":80,"h":20}]}]})"));
        clip.setMasks(masks);
    } else {
        path = QDir(m_dir.path()).filePath(QStringLiteral("missing/overlay.mp4"));
    }
    QVERIFY(!clip.run(path));
    QVERIFY(!clip.errorString().isEmpty());
    if (failure == QLatin1String("cancel"))
        QVERIFY(clip.wasCancelled());
    if (failure == QLatin1String("mask"))
        QVERIFY2(clip.errorString().contains(QStringLiteral("640")), qPrintable(clip.errorString()));
    QCOMPARE(filesIn(m_dir.path()), before);
}

void TestOverlayExport::itemsAndBandHeight_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("items");
    QTest::newRow("band") << QStringLiteral("band") << int(OverlayPainter::Band);
    QTest::newRow("all, any case") << QStringLiteral("Band, map,GRAPH")
                                   << int(OverlayPainter::Band | OverlayPainter::Map | OverlayPainter::Graph);
    QTest::newRow("map alone") << QStringLiteral("map") << int(OverlayPainter::Map);
    QTest::newRow("unknown") << QStringLiteral("band,clock") << -1;
    QTest::newRow("nothing") << QStringLiteral(",") << -1;
}

void TestOverlayExport::itemsAndBandHeight()
{
    QFETCH(QString, text);
    QFETCH(int, items);
    int parsed = 0;
    QCOMPARE(OverlayPainter::parseItems(text, parsed), items >= 0);
    if (items >= 0)
        QCOMPARE(parsed, items);

    QCOMPARE(OverlayPainter::bandHeight(1080), 36);
    QCOMPARE(OverlayPainter::bandHeight(2160), 72);
    QCOMPARE(OverlayPainter::bandHeight(360), 20);
    QCOMPARE(OverlayPainter::bandHeight(1081) % 2, 0);
}

void TestOverlayExport::mapShowsTilesWhereItHasThem()
{
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    OverlayPainter painter(recorded, positions, 0);
    painter.setItems(OverlayPainter::Map);
    const QSize picture(1920, 1080);
    const QVector<OverlayPainter::Panel> offline = painter.panels(1500, picture);
    QCOMPARE(offline.size(), 1);
    QCOMPARE(offline.front().rect.size(), QSize(270, 270));
    QVERIFY(QRect(QPoint(0, 0), picture).contains(offline.front().rect));
    // Offline: the dark panel with the route; a corner far from it stays background.
    const QImage alone = offline.front().image;
    QCOMPARE(alone.pixel(2, 2), QColor(20, 20, 20).rgb());

    int asked = 0;
    painter.setTileSource([&asked](int zoom, int x, int y) {
        ++asked;
        QImage tile(256, 256, QImage::Format_RGB32);
        tile.fill(zoom >= 15 && x > 0 && y > 0 ? QColor(200, 60, 60) : Qt::green);
        return tile;
    });
    const QImage withTiles = painter.panels(2500, picture).front().image;
    QVERIFY(asked > 0);
    // The street map under a dark veil.
    const QColor corner(withTiles.pixel(2, 2));
    QVERIFY2(corner.red() > 100 && corner.green() < 60, qPrintable(corner.name()));
    // The tiles are read once for the whole export.
    const int first = asked;
    painter.panels(3500, picture);
    QCOMPARE(asked, first);
}

void TestOverlayExport::maskFilesAreChecked_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("problem"); // empty when the file is good
    QTest::newRow("good") << QByteArray(R"({"masks":[{"keyframes":[{"t":0,"x":1,"y":2,"w":3,"h":4}]}]})")
                          << QString();
    QTest::newRow("no masks") << QByteArray(R"({"masks":[]})") << QString();
    QTest::newRow("not JSON") << QByteArray(R"({"masks":[)") << QStringLiteral("not JSON");
    QTest::newRow("no list") << QByteArray(R"({"mask":[]})") << QStringLiteral("\"masks\"");
    QTest::newRow("no keyframes") << QByteArray(R"({"masks":[{}]})") << QStringLiteral("mask 1 has no");
    QTest::newRow("text for a number")
        << QByteArray(R"({"masks":[{"keyframes":[{"t":0,"x":"1","y":2,"w":3,"h":4}]}]})")
        << QStringLiteral("\"x\"");
    QTest::newRow("missing height") << QByteArray(R"({"masks":[{"keyframes":[{"t":0,"x":1,"y":2,"w":3}]}]})")
                                    << QStringLiteral("\"h\"");
    QTest::newRow("negative width") << QByteArray(
                                           R"({"masks":[{"keyframes":[{"t":0,"x":1,"y":2,"w":-3,"h":4}]}]})")
                                    << QStringLiteral("keyframe 1");
    QTest::newRow("negative time")
        << QByteArray(
               R"({"masks":[{"keyframes":[{"t":0,"x":1,"y":2,"w":3,"h":4},{"t":-1,"x":1,"y":2,"w":3,"h":4}]}]})")
        << QStringLiteral("keyframe 2");
    QTest::newRow("unknown mode")
        << QByteArray(R"({"masks":[{"mode":"erase","keyframes":[{"t":0,"x":1,"y":2,"w":3,"h":4}]}]})")
        << QStringLiteral("erase");
}

void TestOverlayExport::maskFilesAreChecked()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, problem);
    Masks masks;
    QCOMPARE(masks.read(json), problem.isEmpty());
    QVERIFY2(masks.errorString().contains(problem), qPrintable(masks.errorString()));
    if (!problem.isEmpty())
        return;
    // What is written reads back the same.
    Masks again;
    QVERIFY(again.read(masks.toJson()));
    QCOMPARE(again.toJson(), masks.toJson());
    QVERIFY(masks.fits(QSize(7, 6)));
    QCOMPARE(masks.fits(QSize(3, 6)), masks.isEmpty());
    QCOMPARE(masks.fits(QSize(4, 5)), masks.isEmpty());
}

void TestOverlayExport::maskMovesBetweenKeyframes_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("before the first") << 0.0 << QRect(10, 10, 20, 20);
    QTest::newRow("at the first") << 1.0 << QRect(10, 10, 20, 20);
    QTest::newRow("halfway") << 2.0 << QRect(60, 30, 30, 20);
    QTest::newRow("at the second") << 3.0 << QRect(110, 50, 40, 20);
    QTest::newRow("held after the last") << 9.0 << QRect(110, 50, 40, 20);
}

void TestOverlayExport::maskMovesBetweenKeyframes()
{
    QFETCH(double, seconds);
    QFETCH(QRect, rect);
    Masks masks;
    // Keyframes out of order are put in order.
    QVERIFY(masks.read(R"({"masks":[{"keyframes":[{"t":3,"x":110,"y":50,"w":40,"h":20},
                                                  {"t":1,"x":10,"y":10,"w":20,"h":20}]}]})"));
    QCOMPARE(Masks::rectAt(masks.masks().front(), seconds), rect);
}

void TestOverlayExport::keyframesAreSetAndRemoved()
{
    Masks masks;
    QVERIFY(masks.read(R"({"masks":[{"keyframes":[{"t":2,"x":0,"y":0,"w":10,"h":10}]}]})"));
    // A keyframe before the first, one replacing the one at 2 s, one after.
    masks.setKeyframe(0, 1.0, QRect(100, 0, 10, 10));
    masks.setKeyframe(0, 2.01, QRect(20, 0, 10, 10));
    masks.setKeyframe(0, 4.0, QRect(60, 0, 10, 10));
    QCOMPARE(masks.masks().front().keyframes.size(), 3);
    QCOMPARE(Masks::rectAt(masks.masks().front(), 3.0), QRect(40, 0, 10, 10));
    QCOMPARE(masks.maskAt(QPoint(45, 5), 3.0), 0);
    QCOMPARE(masks.maskAt(QPoint(25, 5), 3.0), -1);
    // On the clock of a clip from 1 s on, the same places one second earlier.
    QCOMPARE(Masks::rectAt(masks.shifted(1.0).masks().front(), 2.0), QRect(40, 0, 10, 10));
    masks.removeKeyframe(0, 2.0);
    QCOMPARE(Masks::rectAt(masks.masks().front(), 2.5), QRect(80, 0, 10, 10));
    masks.removeKeyframe(0, 1.0);
    masks.removeKeyframe(0, 4.0);
    QVERIFY(masks.isEmpty());
}

void TestOverlayExport::masksAreKeptPerTripOutsideTheCard()
{
    QStandardPaths::setTestModeEnabled(true);
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    const QString path = MaskStore::pathFor(recorded);
    QVERIFY(!path.isEmpty());
    QVERIFY(!path.startsWith(m_dir.path()));
    const QStringList card = filesIn(m_dir.path());
    Masks masks;
    QVERIFY(
        masks.read(R"({"masks":[{"mode":"pixelate","keyframes":[{"t":1.5,"x":10,"y":20,"w":30,"h":40}]}]})"));
    QString error;
    QVERIFY2(MaskStore::save(recorded, masks, &error), qPrintable(error));
    QCOMPARE(MaskStore::load(recorded).toJson(), masks.toJson());
    QCOMPARE(filesIn(m_dir.path()), card);
    // Another trip has masks of its own; none left removes the file.
    Trip::TripList other = recorded;
    other.pop_back();
    QVERIFY(MaskStore::load(other).isEmpty());
    QVERIFY(MaskStore::save(recorded, Masks()));
    QVERIFY(!QFileInfo::exists(path));
    QVERIFY(MaskStore::load(recorded).isEmpty());
}

void TestOverlayExport::zonesAreParsed_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("problem");
    QTest::newRow("good") << QStringLiteral("48.1, 11.5, 250") << QString();
    QTest::newRow("radius zero") << QStringLiteral("-33.9,151.2,0") << QString();
    QTest::newRow("negative radius") << QStringLiteral("48.1,11.5,-5") << QStringLiteral("negative radius");
    QTest::newRow("two fields") << QStringLiteral("48.1,11.5") << QStringLiteral("LAT,LON,RADIUS_M");
    QTest::newRow("not numbers") << QStringLiteral("north,11.5,10") << QStringLiteral("LAT,LON,RADIUS_M");
    QTest::newRow("latitude beyond the pole") << QStringLiteral("91,11.5,10") << QStringLiteral("outside");
}

void TestOverlayExport::zonesAreParsed()
{
    QFETCH(QString, text);
    QFETCH(QString, problem);
    PrivacyZones::Zone zone;
    QString error;
    QCOMPARE(PrivacyZones::parse(text, zone, &error), problem.isEmpty());
    QVERIFY2(error.contains(problem), qPrintable(error));
    if (problem.isEmpty()) {
        PrivacyZones::Zone again;
        QVERIFY(PrivacyZones::parse(PrivacyZones::toText(zone), again));
        QCOMPARE(again.radiusMetres, zone.radiusMetres);
        QVERIFY(qAbs(again.latitude - zone.latitude) < 1e-6);
    }
}

void TestOverlayExport::noExportedPointLiesInAZone_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("gpx") << QStringLiteral("gpx");
    QTest::newRow("kml") << QStringLiteral("kml");
    QTest::newRow("csv") << QStringLiteral("csv");
    QTest::newRow("gpx beside a clip") << QStringLiteral("clip");
    QTest::newRow("gpx beside an overlay export") << QStringLiteral("overlay");
}

void TestOverlayExport::noExportedPointLiesInAZone()
{
    QFETCH(QString, format);
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    QCOMPARE(int(positions->size()), 4);
    // Each file's fixes start at the same place and go 10 m east: a zone of 5 m around the start
    // holds the fixes of seconds 0 and 2, not those of 1 and 3.
    const QGeoCoordinate start = (*positions)[0].coordinate();
    const PrivacyZones zones({{start.latitude(), start.longitude(), 5.0}});
    const PositionsPtr redacted = zones.redact(positions);
    QVERIFY(zones.contains((*positions)[2].coordinate()));
    QVERIFY(!zones.contains((*positions)[1].coordinate()));
    QVERIFY(!zones.contains((*positions)[3].coordinate()));

    QString written;
    if (format == QLatin1String("clip") || format == QLatin1String("overlay")) {
        const QString path = QDir(m_dir.path()).filePath(QStringLiteral("clip.mp4"));
        bool done = false;
        if (format == QLatin1String("clip")) {
            ClipExport clip(recorded);
            clip.setRange(0, 3999);
            clip.setPositions(redacted, 0);
            done = clip.run(path);
        } else {
            OverlayExport clip(recorded);
            clip.setRange(0, 3999);
            clip.setPositions(redacted, 0);
            done = clip.run(path);
        }
        QVERIFY(done);
        written = ClipExport::trackPathFor(path);
    } else {
        TrackExport::Format chosen = TrackExport::Format::Gpx;
        QVERIFY(TrackExport::parseFormat(format, chosen));
        TrackExport track(recorded, redacted);
        written = QDir(m_dir.path()).filePath(QStringLiteral("track.") + format);
        QVERIFY(track.save(chosen, written));
    }
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // Every coordinate written, in whichever format, read back as numbers.
    QVector<QGeoCoordinate> points;
    if (format == QLatin1String("csv")) {
        const QList<QByteArray> rows = bytes.split('\n');
        int kept = 0;
        for (const QByteArray& row : rows.mid(1)) {
            const QList<QByteArray> fields = row.split(',');
            if (fields.size() < 6)
                continue;
            ++kept;
            // Time and speed stay where the place goes.
            QVERIFY(!fields[1].isEmpty());
            QVERIFY(qAbs(fields[5].toDouble() - Fixture::Kmh) < 0.1);
            if (!fields[2].isEmpty())
                points << QGeoCoordinate(fields[2].toDouble(), fields[3].toDouble());
        }
        QCOMPARE(kept, 4);
    } else if (format == QLatin1String("kml")) {
        static const QRegularExpression coord(QStringLiteral("<gx:coord>([-\\d.]+) ([-\\d.]+)"));
        for (auto match = coord.globalMatch(QString::fromUtf8(bytes)); match.hasNext();) {
            const QRegularExpressionMatch m = match.next();
            points << QGeoCoordinate(m.captured(2).toDouble(), m.captured(1).toDouble());
        }
    } else {
        QString error;
        for (const Fixture::GpxPoint& point : Fixture::readGpx(bytes, error))
            points << QGeoCoordinate(point.lat, point.lon);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    QCOMPARE(points.size(), 2);
    for (const QGeoCoordinate& point : points)
        QVERIFY(!zones.contains(point));
}

void TestOverlayExport::bandAndStampHideThePlaceButKeepTheSpeed()
{
    PositionsPtr positions;
    const Trip::TripList recorded = trip(m_dir.path(), positions);
    const QGeoCoordinate start = (*positions)[0].coordinate();
    const PrivacyZones zones({{start.latitude(), start.longitude(), 5.0}});
    const PositionsPtr redacted = zones.redact(positions);
    const QString speed = Units::speedText(Fixture::Knots * 1852.0 / 3600.0, 0);
    const QString place = Units::latitudeText(start.latitude());

    const OverlayPainter painter(recorded, redacted, 0);
    QVERIFY(painter.bandText(500).contains(speed));
    QVERIFY(!painter.bandText(500).contains(place));
    QVERIFY(painter.bandText(500).contains(QStringLiteral("position hidden")));
    QVERIFY(painter.bandText(1500).contains(place));
    QVERIFY(painter.bandText(1500).contains(QStringLiteral("heading")));

    const Snapshot still(recorded, redacted);
    const QString stamp = still.stampLines(500, 0).join(QLatin1Char(' '));
    QVERIFY2(stamp.contains(speed) && !stamp.contains(place) && stamp.contains(QStringLiteral("2024")),
             qPrintable(stamp));

    // A second without records reads "no data".
    const OverlayPainter nothing(recorded, nullptr, 0);
    QVERIFY(nothing.bandText(500).contains(QStringLiteral("no data")));
    QVERIFY(nothing.bandText(500).contains(QStringLiteral("2024")));
}

QTEST_MAIN(TestOverlayExport)
#include "tst_overlayexport.moc"
