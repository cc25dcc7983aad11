#include "../sessionfixture.h"
#include "clipexportjob.h"
#include "evidenceexport.h"
#include "exportmenu.h"
#include "maskstore.h"
#include "privacyzones.h"
#include "snapshot.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QAbstractButton>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <memory>

namespace {

// A second of 2560 × 1440 frames that carry their number (see tests/export/make-export-media).
const QString LargeClip = QStringLiteral("003_0001_20240501140000.mp4");

// The longest time the event loop went without running a 5 ms timer while `until` was false.
int longestStall(const std::function<bool()>& until, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&]() {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    tick.start();
    while (!until() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    longest = std::max(longest, clock.elapsed() - last);
    return int(longest);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray hashOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1)
                                          : QByteArray();
}

// The drive frame a picture of the channel card shows (see scripts/cardgen/channels.py).
int frameCode(const QImage& image)
{
    if (image.isNull())
        return -1;
    const QColor colour = image.pixelColor(image.width() / 2, image.height() / 4);
    const auto digit = [](int value) { return int(std::lround((value - 16) / 32.0)); };
    return digit(colour.red()) + 8 * digit(colour.green()) + 64 * digit(colour.blue());
}

} // namespace

// Evidence out of the window without holding up the window.
class TestEvidenceExport : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void snapshotKeepsTheWindowAnswering();
    void windowGoingAwayCancelsTheExport();
    void clipAsksBeforeReplacingItsTrack_data();
    void clipAsksBeforeReplacingItsTrack();
    void windowWritesTheClipTheCommandLineWrites_data();
    void windowWritesTheClipTheCommandLineWrites();
    void exportWithDataRunsInTheBackground_data();
    void exportWithDataRunsInTheBackground();
    void shownChannelsGiveOneFileEach();
    void cleanupTestCase();

private:
    QTemporaryDir m_tmp;
    std::shared_ptr<Trip::TripList> m_trip;
};

void TestEvidenceExport::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    const QString video = m_tmp.filePath(LargeClip);
    QVERIFY(QFile::copy(QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(LargeClip), video));
    m_trip = std::make_shared<Trip::TripList>(Trip::TripList{Trip::TripItem{1000, false, video, QString()}});
    QFile::remove(ZelSettings::getWritablePath());
    ZelSettings::setValue(ZelSettings::SnapshotPath, m_tmp.filePath(QStringLiteral("shots")));
    ZelSettings::setValue(ZelSettings::ExportPath, m_tmp.filePath(QStringLiteral("out")));
    QVERIFY(QDir().mkpath(m_tmp.filePath(QStringLiteral("out"))));
}

// Decoding a large frame and writing its PNG take about half a second: off the GUI thread. The
// still is named on the offset clock, with the offset.
void TestEvidenceExport::snapshotKeepsTheWindowAnswering()
{
    Units::setClockOffsetSeconds(-90 * 60);
    const auto noOffset = qScopeGuard([]() { Units::setClockOffsetSeconds(0); });
    QWidget window;
    EvidenceExport evidence(&window);
    evidence.setTrip(m_trip);
    QSignalSpy saved(&evidence, &EvidenceExport::snapshotSaved);
    QElapsedTimer made;
    QTimer::singleShot(20, &evidence, [&evidence, &made]() {
        made.start();
        evidence.takeSnapshot(500);
    });
    const int stall = longestStall([&saved]() { return saved.count() > 0; }, 30000);
    QCOMPARE(saved.count(), 1);
    // Compared with the still's own time, which a loaded machine stretches as much: made on
    // the window's thread, the loop would stand still for nearly all of it.
    const qint64 total = made.elapsed();
    QVERIFY2(stall * 3 < total,
             qPrintable(QStringLiteral("the event loop stood still for %1 ms of %2").arg(stall).arg(total)));
    const QString path = saved.at(0).at(0).toString();
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("2024-05-01_12-30-00-0130.png"));
    const QImage still(path);
    QCOMPARE(still.size(), QSize(2560, 1440));
}

// The window closed without being asked (the session ends): the export stops at once and
// leaves nothing, and no thread of it outlives the window.
void TestEvidenceExport::windowGoingAwayCancelsTheExport()
{
    auto window = std::make_unique<QWidget>();
    auto* evidence = new EvidenceExport(window.get());
    evidence->setTrip(m_trip);
    // The exporter waits after its first packet until it is cancelled (or 10 s have passed).
    auto inGate = std::make_shared<std::atomic<bool>>(false);
    auto leftGate = std::make_shared<std::atomic<bool>>(false);
    connect(
        evidence, &EvidenceExport::clipExportStarting, this,
        [inGate, leftGate](ClipExportJob* job) {
            ClipExport* exporter = job->exporter();
            connect(
                exporter, &ClipExport::progressChanged, exporter,
                [exporter, inGate, leftGate](int) {
                    if (inGate->exchange(true))
                        return;
                    QElapsedTimer waited;
                    waited.start();
                    while (!exporter->wasCancelled() && waited.elapsed() < 10000)
                        QThread::msleep(5);
                    *leftGate = true;
                },
                Qt::DirectConnection);
        },
        Qt::DirectConnection);
    const QString out = m_tmp.filePath(QStringLiteral("out"));
    Session::whenShown<QFileDialog>(
        [out](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir(out).filePath(QStringLiteral("clip.mp4")));
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence->exportClip(0, 1000);
    QTRY_VERIFY_WITH_TIMEOUT(*inGate, 10000);
    QVERIFY(evidence->isExporting());

    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("program ends during a clip export")));
    window.reset();
    QVERIFY(*leftGate);
    QCOMPARE(entries(out), QStringList());
}

void TestEvidenceExport::clipAsksBeforeReplacingItsTrack_data()
{
    QTest::addColumn<QString>("answer"); // the button's object name
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replace") << "replace" << true;
    QTest::newRow("keep") << "keep" << false;
}

// The save dialog asks about the clip; the GPX of the same name beside it is not replaced unasked.
// The GPX gives the UTC instant, whatever the offset.
void TestEvidenceExport::clipAsksBeforeReplacingItsTrack()
{
    QFETCH(QString, answer);
    QFETCH(bool, replaced);
    Units::setClockOffsetSeconds(2 * 3600);
    const auto noOffset = qScopeGuard([]() { Units::setClockOffsetSeconds(0); });
    const QString out = m_tmp.filePath(QStringLiteral("replace-") + answer);
    QVERIFY(QDir().mkpath(out));
    ZelSettings::setValue(ZelSettings::ExportPath, out);
    const QString clip = QDir(out).filePath(QStringLiteral("clip.mp4"));
    const QString track = QDir(out).filePath(QStringLiteral("clip.gpx"));
    const QByteArray before("an earlier track\n");
    QVERIFY(Session::writeFile(track, before));

    QWidget window;
    EvidenceExport evidence(&window);
    evidence.setTrip(m_trip);
    QNmeaPositionInfo record(QNmeaCoordinate(48.1, 11.5),
                             QDateTime(QDate(2024, 5, 1), QTime(14, 0), Qt::UTC));
    record.setMarker(QNmeaPositionInfo::Fix, true);
    evidence.setPositions(std::make_shared<std::vector<QNmeaPositionInfo>>(1, record));
    QSignalSpy finished(&evidence, &EvidenceExport::clipExportFinished);
    QString asked;
    Session::whenShown<QFileDialog>(
        [clip, answer, &asked](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(clip);
            Session::whenShown<QMessageBox>(
                [answer, &asked](QMessageBox* box) {
                    asked = box->text();
                    box->findChild<QAbstractButton*>(answer)->click();
                },
                50);
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence.exportClip(0, 1000);
    QVERIFY2(asked.contains(track), qPrintable(asked));
    if (replaced) {
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
        QVERIFY(finished.at(0).at(0).toBool());
        QVERIFY(Session::readFile(track).contains("<time>2024-05-01T14:00:00Z</time>"));
        QVERIFY(QFileInfo(clip).size() > 0);
    } else {
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!evidence.isExporting());
        QCOMPARE(Session::readFile(track), before);
        QVERIFY(!QFileInfo::exists(clip));
    }
}

void TestEvidenceExport::windowWritesTheClipTheCommandLineWrites_data()
{
    QTest::addColumn<bool>("exact");
    QTest::addColumn<QString>("note"); // what the status line adds about the start
    QTest::newRow("exact cut, the window's default") << true << "";
    QTest::newRow("exact cut turned off in the menu")
        << false << "; it starts 2.5 s before the in point, at 00:00.0 (key frame)";
}

// The window exports a clip with the exact cut unless it is turned off in the export menu, and
// writes the same bytes as the exporter the command line runs with the same options.
void TestEvidenceExport::windowWritesTheClipTheCommandLineWrites()
{
    QFETCH(bool, exact);
    QFETCH(QString, note);
    ZelSettings::remove(ZelSettings::ExactCut);
    const auto restore = qScopeGuard([] { ZelSettings::remove(ZelSettings::ExactCut); });
    // 30 frames per second with key frames 5 s apart (see tests/export/make-export-media).
    Trip::TripList trip;
    for (const QString& name :
         {QStringLiteral("004_0001_20240501150000.mp4"), QStringLiteral("004_0002_20240501150008.mp4")}) {
        const QString video = m_tmp.filePath(name);
        QVERIFY(QFile::exists(video) ||
                QFile::copy(QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(name), video));
        trip.push_back(Trip::TripItem{8000, false, video, QString()});
    }
    const QString out = m_tmp.filePath(exact ? QStringLiteral("exact") : QStringLiteral("copy"));
    QVERIFY(QDir().mkpath(out));

    ExportMenu menu;
    QVERIFY(menu.exactCutAction()->isCheckable());
    QVERIFY(menu.exactCutAction()->isChecked());
    if (!exact)
        menu.exactCutAction()->trigger();
    QCOMPARE(EvidenceExport::exactCut(), exact);

    QWidget window;
    EvidenceExport evidence(&window);
    evidence.setTrip(std::make_shared<Trip::TripList>(trip));
    QSignalSpy finished(&evidence, &EvidenceExport::clipExportFinished);
    QSignalSpy notes(&evidence, &EvidenceExport::note);
    const QString clip = QDir(out).filePath(QStringLiteral("window.mp4"));
    Session::whenShown<QFileDialog>(
        [clip](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(clip);
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence.exportClip(2500, 6000);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    QVERIFY(finished.at(0).at(0).toBool());
    QCOMPARE(notes.last().at(0).toString(), QStringLiteral("Clip saved: %1").arg(clip) + note);

    ClipExport reference(trip);
    reference.setRange(2500, 6000);
    reference.setExactCut(exact);
    const QString referencePath = QDir(out).filePath(QStringLiteral("reference.mp4"));
    QVERIFY2(reference.run(referencePath), qPrintable(reference.errorString()));
    QCOMPARE(hashOf(clip), hashOf(referencePath));
}

void TestEvidenceExport::exportWithDataRunsInTheBackground_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::newRow("saved") << false;
    QTest::newRow("cancelled") << true;
}

// "Export with data" re-encodes off the GUI thread with progress and Cancel; the GPX beside the
// clip leaves out the privacy zones of the settings.
void TestEvidenceExport::exportWithDataRunsInTheBackground()
{
    QFETCH(bool, cancel);
    Trip::TripList trip;
    for (const QString& name :
         {QStringLiteral("007_0001_20240501180000.mp4"), QStringLiteral("007_0002_20240501180002.mp4")}) {
        const QString video = m_tmp.filePath(name);
        QVERIFY(QFile::exists(video) ||
                QFile::copy(QDir(QStringLiteral(EXPORT_TEST_MEDIA)).filePath(name), video));
        trip.push_back(Trip::TripItem{2000, false, video, QString()});
    }
    // A fix a second, 70 m apart; the first inside a zone.
    std::vector<QNmeaPositionInfo> records;
    for (int s = 0; s < 4; ++s) {
        QNmeaPositionInfo record(QNmeaCoordinate(48.1, 11.5 + s * 0.001),
                                 QDateTime(QDate(2024, 5, 1), QTime(17, 0, s), Qt::UTC));
        record.setMarker(QNmeaPositionInfo::Fix, true);
        records.push_back(record);
    }
    PrivacyZones::store(PrivacyZones({{48.1, 11.5, 20.0}}));
    // The trip's masks, kept in the data folder: a square pixelated from 0.5 s of the trip on.
    QStandardPaths::setTestModeEnabled(true);
    Masks masks;
    QVERIFY(masks.read(
        R"({"masks":[{"mode":"pixelate","keyframes":[{"t":0.5,"x":64,"y":64,"w":128,"h":128}]}]})"));
    QVERIFY(MaskStore::save(trip, masks));
    const auto restore = qScopeGuard([trip] {
        ZelSettings::remove(ZelSettings::PrivacyZones);
        MaskStore::save(trip, Masks());
        QStandardPaths::setTestModeEnabled(false);
    });
    const QString out = m_tmp.filePath(cancel ? QStringLiteral("data-cancelled") : QStringLiteral("data"));
    QVERIFY(QDir().mkpath(out));
    ZelSettings::setValue(ZelSettings::ExportPath, out);

    ExportMenu menu;
    QSignalSpy requested(&menu, &ExportMenu::overlayRequested);
    menu.overlayAction()->trigger();
    QCOMPARE(requested.count(), 1);

    QWidget window;
    EvidenceExport evidence(&window);
    evidence.setTrip(std::make_shared<Trip::TripList>(trip));
    evidence.setPositions(std::make_shared<std::vector<QNmeaPositionInfo>>(records));
    QSignalSpy finished(&evidence, &EvidenceExport::clipExportFinished);
    QSignalSpy notes(&evidence, &EvidenceExport::note);
    // The exporter holds at its first progress until the test lets it go on or cancels it.
    auto inGate = std::make_shared<std::atomic<bool>>(false);
    auto open = std::make_shared<std::atomic<bool>>(false);
    QPointer<ClipExportJob> running;
    connect(
        &evidence, &EvidenceExport::clipExportStarting, this,
        [inGate, open, &running](ClipExportJob* job) {
            running = job;
            OverlayExport* exporter = job->overlayExporter();
            QVERIFY(exporter && !job->exporter());
            connect(
                exporter, &OverlayExport::progressChanged, exporter,
                [exporter, inGate, open](int percent) {
                    if (percent < 10 || inGate->exchange(true))
                        return;
                    QElapsedTimer waited;
                    waited.start();
                    while (!*open && !exporter->wasCancelled() && waited.elapsed() < 10000)
                        QThread::msleep(5);
                },
                Qt::DirectConnection);
        },
        Qt::DirectConnection);
    const QString clip = QDir(out).filePath(QStringLiteral("data.mp4"));
    Session::whenShown<QFileDialog>(
        [clip](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(clip);
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence.exportOverlay(500, 3999);
    // The window answers while the export runs.
    const int stall = longestStall([inGate]() { return inGate->load(); }, 20000);
    QVERIFY(*inGate);
    QVERIFY2(stall <= 100, qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(stall)));
    QVERIFY(running && running->progressDialog());
    QCOMPARE(running->progressDialog()->windowTitle(), QStringLiteral("Export with data"));
    if (cancel)
        running->progressDialog()->findChild<QPushButton*>()->click();
    *open = true;
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    QCOMPARE(finished.at(0).at(0).toBool(), !cancel);
    if (cancel) {
        QCOMPARE(entries(out), QStringList());
        QCOMPARE(notes.last().at(0).toString(), QStringLiteral("Export cancelled; nothing was written."));
        return;
    }
    QCOMPARE(entries(out), QStringList({QStringLiteral("data.gpx"), QStringLiteral("data.mp4")}));
    const QString gpx = QString::fromUtf8(Session::readFile(QDir(out).filePath(QStringLiteral("data.gpx"))));
    QCOMPARE(gpx.count(QStringLiteral("<trkpt")), 3);
    QVERIFY(!gpx.contains(QStringLiteral("lon=\"11.5\"")));
    // The masked square lost its fine pattern; the same square of the recording has it.
    const auto steps = [](const QImage& image) {
        double sum = 0;
        for (int y = 72; y < 184; y += 8)
            for (int x = 72; x < 184; ++x)
                sum += std::abs(qGray(image.pixel(x + 1, y)) - qGray(image.pixel(x, y)));
        return sum;
    };
    const QImage exported = Snapshot::decodeFrame(clip, 1000);
    const QImage recorded = Snapshot::decodeFrame(trip.front().videoFile, 1500);
    QVERIFY2(steps(exported) < 0.2 * steps(recorded),
             qPrintable(QStringLiteral("%1 of %2").arg(steps(exported)).arg(steps(recorded))));
}

// With several channels shown, snapshots and clips are made of each, of the same instant; a
// channel without a recording is named on the status line and the others are saved.
void TestEvidenceExport::shownChannelsGiveOneFileEach()
{
    const QString card = m_tmp.filePath(QStringLiteral("channels"));
    QProcess make;
    make.start(qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/scripts/make-channel-card"),
               {card});
    QVERIFY(make.waitForFinished(120000) && make.exitCode() == 0);
    // Three segments of 3 s; the rear, 0.4 s late in each of its files, has none for the third.
    Trip::TripList trip;
    for (const QString& stamp :
         {QStringLiteral("090000"), QStringLiteral("090003"), QStringLiteral("090006")}) {
        const QString front = card + QStringLiteral("/BlackVue/Record/20240501_") + stamp;
        Trip::TripItem item{3000, false, front + QStringLiteral("_NF.mp4"), QString()};
        item.channel = QStringLiteral("front");
        item.start =
            QDateTime::fromString(QStringLiteral("20240501") + stamp, QStringLiteral("yyyyMMddHHmmss"));
        item.start.setTimeSpec(Qt::UTC);
        Trip::TripItem rear = item;
        rear.videoFile = front + QStringLiteral("_NR.mp4");
        rear.channel = QStringLiteral("rear");
        if (QFileInfo::exists(rear.videoFile))
            item.channels.push_back(rear);
        trip.push_back(item);
    }
    const QString out = m_tmp.filePath(QStringLiteral("channels-out"));
    const QString shots = m_tmp.filePath(QStringLiteral("channel-shots"));
    QVERIFY(QDir().mkpath(out));
    ZelSettings::setValue(ZelSettings::SnapshotPath, shots);
    const auto restore = qScopeGuard([this] {
        ZelSettings::setValue(ZelSettings::SnapshotPath, m_tmp.filePath(QStringLiteral("shots")));
    });

    QWidget window;
    EvidenceExport evidence(&window);
    evidence.setTrip(std::make_shared<Trip::TripList>(trip));
    evidence.setChannelSource([]() { return QStringList{QStringLiteral("front"), QStringLiteral("rear")}; });
    QSignalSpy saved(&evidence, &EvidenceExport::snapshotSaved);
    QSignalSpy notes(&evidence, &EvidenceExport::note);

    evidence.takeSnapshot(3500);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 2, 30000);
    QCOMPARE(QFileInfo(saved.at(0).at(0).toString()).fileName(),
             QStringLiteral("2024-05-01_09-00-03+0000_front.png"));
    QCOMPARE(QFileInfo(saved.at(1).at(0).toString()).fileName(),
             QStringLiteral("2024-05-01_09-00-03+0000_rear.png"));
    for (int i = 0; i < 2; ++i)
        QCOMPARE(frameCode(QImage(saved.at(i).at(0).toString())), 87);

    evidence.takeSnapshot(7000);
    QTRY_COMPARE_WITH_TIMEOUT(saved.count(), 3, 30000);
    QVERIFY(saved.at(2).at(0).toString().endsWith(QStringLiteral("_front.png")));
    QVERIFY2(notes.last().at(0).toString().contains(QStringLiteral("No rear recording at 00:07.0")),
             qPrintable(notes.last().at(0).toString()));

    QSignalSpy finished(&evidence, &EvidenceExport::clipExportFinished);
    Session::whenShown<QFileDialog>(
        [out](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir(out).filePath(QStringLiteral("clip.mp4")));
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence.exportClip(1300, 7500);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QVERIFY(finished.at(0).at(0).toBool());
    QCOMPARE(entries(out), (QStringList{QStringLiteral("clip_front.mp4"), QStringLiteral("clip_rear.mp4")}));
    QVERIFY2(
        notes.last().at(0).toString().contains(QStringLiteral("No rear recording from 00:06.0 to 00:07.5")),
        qPrintable(notes.last().at(0).toString()));
    for (const QString& name : entries(out))
        QCOMPARE(frameCode(Snapshot::decodeFrame(QDir(out).filePath(name), 0)), 32);

    // The save dialog named none of the channels' clips: they are not replaced unasked.
    QString asked;
    Session::whenShown<QFileDialog>(
        [out, &asked](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir(out).filePath(QStringLiteral("clip.mp4")));
            Session::whenShown<QMessageBox>(
                [&asked](QMessageBox* box) {
                    asked = box->text();
                    box->findChild<QAbstractButton*>(QStringLiteral("keep"))->click();
                },
                50);
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    const QByteArray before = hashOf(QDir(out).filePath(QStringLiteral("clip_front.mp4")));
    evidence.exportClip(0, 1000);
    QVERIFY2(asked.contains(QStringLiteral("clip_front.mp4")), qPrintable(asked));
    QTest::qWait(200);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(hashOf(QDir(out).filePath(QStringLiteral("clip_front.mp4"))), before);

    // Export with data composes the shown channels as the window lays them out.
    evidence.setLayoutSource([]() { return QStringLiteral("side"); });
    Session::whenShown<QFileDialog>(
        [out](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                ->setText(QDir(out).filePath(QStringLiteral("composed.mp4")));
            static_cast<QDialog*>(dialog)->accept();
        },
        50);
    evidence.exportOverlay(1300, 2500);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, 60000);
    QVERIFY(finished.at(1).at(0).toBool());
    const QImage composed = Snapshot::decodeFrame(QDir(out).filePath(QStringLiteral("composed.mp4")), 0);
    QCOMPARE(composed.size(), QSize(320, 90));
    QCOMPARE(frameCode(composed.copy(0, 0, 160, 90)), 32);
    QCOMPARE(frameCode(composed.copy(160, 0, 160, 90)), 32);
}

void TestEvidenceExport::cleanupTestCase()
{
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestEvidenceExport)
#include "tst_evidenceexport.moc"
