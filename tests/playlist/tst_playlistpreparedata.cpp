#include "playlistpreparedata.h"
#include "testmedia.h"

#include <vireo/vlcfileduration.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <mutex>

namespace {

using Skipped = QVector<PlaylistPrepareData::SkippedFile>;

// Durations and errors by file name; unknown files measure 0. Records the order of the
// probes; `before` runs ahead of every probe with the number of probes made so far.
struct FakeProbe
{
    QMap<QString, qint64> durations;
    QMap<QString, QString> errors;
    std::function<void(int)> before;
    std::shared_ptr<QStringList> probed = std::make_shared<QStringList>();
    std::shared_ptr<std::mutex> lock = std::make_shared<std::mutex>();

    qint64 operator()(const QString& file, QString& error) const
    {
        std::lock_guard<std::mutex> guard(*lock);
        if (before)
            before(probed->size());
        probed->append(file);
        error = errors.value(file);
        return durations.value(file, 0);
    }
};

// Empty files of the given names in folder (made when missing); their paths.
QStringList touch(const QString& folder, const QStringList& names)
{
    QDir().mkpath(folder);
    QStringList paths;
    for (const QString& name : names) {
        QFile file(folder + '/' + name);
        file.open(QIODevice::WriteOnly);
        paths << file.fileName();
    }
    return paths;
}

QStringList pathsOf(const Skipped& skipped)
{
    QStringList paths;
    for (const auto& file : skipped)
        paths << file.path;
    return paths;
}

QStringList reasonsOf(const Skipped& skipped)
{
    QStringList reasons;
    for (const auto& file : skipped)
        reasons << file.reason;
    return reasons;
}

} // namespace

class TestPlaylistPrepareData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void nothingMeasurableFinishesEmpty();
    void refusedStarts();
    void sortsIgnoringCase();
    void eventsOnlyGiveTrips();
    void deletingDuringAProbeWaitsAndStaysSilent();
    void implausibleLengthsAreSkippedWithTheirReason();
    void pulledCardIsNotProbedFurther();
    void engineMeasuresTheSelection();
};

void TestPlaylistPrepareData::initTestCase()
{
    Trip::registerMetaTypes();
    qRegisterMetaType<intptr_t>("intptr_t");
}

void TestPlaylistPrepareData::nothingMeasurableFinishesEmpty()
{
    PlaylistPrepareData worker;
    worker.setDurationProbe(FakeProbe{});
    QSignalSpy progress(&worker, &PlaylistPrepareData::reportProgress);
    QSignalSpy empty(&worker, &PlaylistPrepareData::finishedEmpty);
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);

    worker.startProcessing(7, {"/c/001_0001_20240501120000.mp4", "/c/001_0002_20240501120100.mp4"},
                           {"/c/EVENT/001_0001_20240501120030.mp4"});
    QVERIFY(worker.wait(5000));

    QCOMPARE(progress.count(), 3);
    for (const QList<QVariant>& signal : qAsConst(progress))
        QCOMPARE(signal.at(0).value<intptr_t>(), intptr_t(7));
    QCOMPARE(empty.count(), 1);
    QCOMPARE(empty.at(0).at(0).value<intptr_t>(), intptr_t(7));
    QCOMPARE(completed.count(), 0);
    QCOMPARE(worker.skippedFiles().size(), 3);
}

void TestPlaylistPrepareData::refusedStarts()
{
    FakeProbe probe;
    probe.durations["/c/001_0001_20240501120000.mp4"] = 1000;
    {
        PlaylistPrepareData worker;
        worker.setDurationProbe(probe);
        worker.startProcessing(0, {"/c/001_0001_20240501120000.mp4"}, {});
        QVERIFY(!worker.isRunning());
        QVERIFY(worker.wait(100));
        QVERIFY(probe.probed->isEmpty());
    }
    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
    worker.startProcessing(1, {"/c/001_0001_20240501120000.mp4"}, {});
    worker.startProcessing(2, {"/c/001_0001_20240501120000.mp4", "/c/002_0001_20240501130000.mp4"}, {});
    QVERIFY(worker.wait(5000));
    QCOMPARE(*probe.probed, QStringList{"/c/001_0001_20240501120000.mp4"});
    QCOMPARE(completed.count(), 1);
    QCOMPARE(completed.at(0).at(0).value<intptr_t>(), intptr_t(1));
}

void TestPlaylistPrepareData::sortsIgnoringCase()
{
    // Files on disk: a file that measures nothing is looked for, and a missing one
    // would end the probing of its folder.
    QTemporaryDir card;
    const QStringList ordinary = touch(card.filePath("c"), {"b.mp4", "A.mp4"});
    const QStringList events = touch(card.filePath("c/EVENT"), {"d.mp4", "C.mp4"});
    FakeProbe probe;
    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    worker.startProcessing(1, ordinary, events);
    QVERIFY(worker.wait(5000));
    QCOMPARE(*probe.probed, (QStringList{ordinary.at(1), ordinary.at(0), events.at(1), events.at(0)}));
}

void TestPlaylistPrepareData::eventsOnlyGiveTrips()
{
    FakeProbe probe;
    probe.durations["/c/EVENT/001_0001_20240501120000.mp4"] = 10000;
    probe.durations["/c/EVENT/001_0002_20240501120010.mp4"] = 10000;
    probe.durations["/c/EVENT/001_0003_20240501130000.mp4"] = 5000;
    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
    worker.startProcessing(3, {}, probe.durations.keys() << "/c/EVENT/001_0004_20240501140000.mp4");
    QVERIFY(worker.wait(5000));

    QCOMPARE(completed.count(), 1);
    const auto trips = completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
    QVERIFY(trips);
    // The unmeasurable file is left out; a gap of an hour splits the rest.
    QCOMPARE(trips->size(), size_t(2));
    QCOMPARE(trips->at(0).size(), size_t(2));
    QCOMPARE(trips->at(1).size(), size_t(1));
    const Trip::TripItem& first = trips->at(0).at(0);
    QCOMPARE(first.duration, qint64(10000));
    QVERIFY(first.isEvent);
    QCOMPARE(first.nmeaFile, QString("/c/EVENT/001_0001_20240501120000.nmea"));
    QCOMPARE(pathsOf(worker.skippedFiles()), QStringList{"/c/EVENT/001_0004_20240501140000.mp4"});
}

void TestPlaylistPrepareData::deletingDuringAProbeWaitsAndStaysSilent()
{
    auto inProbe = std::make_shared<QSemaphore>();
    auto probeReturned = std::make_shared<std::atomic<bool>>(false);
    auto worker = std::make_unique<PlaylistPrepareData>();
    worker->setDurationProbe([inProbe, probeReturned](const QString&, QString&) -> qint64 {
        inProbe->release();
        QThread::msleep(200);
        *probeReturned = true;
        return 1000;
    });
    QSignalSpy progress(worker.get(), &PlaylistPrepareData::reportProgress);
    QSignalSpy completed(worker.get(), &PlaylistPrepareData::completed);
    QSignalSpy empty(worker.get(), &PlaylistPrepareData::finishedEmpty);
    worker->startProcessing(5, {"/c/001_0001_20240501120000.mp4", "/c/001_0002_20240501120100.mp4"}, {});
    QVERIFY(inProbe->tryAcquire(1, 5000));

    worker.reset();

    QVERIFY(*probeReturned);
    QCoreApplication::processEvents();
    QCOMPARE(progress.count(), 0);
    QCOMPARE(completed.count(), 0);
    QCOMPARE(empty.count(), 0);
}

void TestPlaylistPrepareData::implausibleLengthsAreSkippedWithTheirReason()
{
    QTemporaryDir card;
    const QStringList files =
        touch(card.path(),
              {"001_0001_20240501120000.mp4", "001_0002_20240501120100.mp4", "001_0003_20240501120200.mp4",
               "001_0004_20240501120300.mp4", "001_0005_20240501120400.mp4", "001_0006_20240501120500.mp4"});
    FakeProbe probe;
    probe.durations[files.at(0)] = 60000;
    probe.durations[files.at(1)] = -1; // a 32-bit length of all ones, narrowed
    probe.durations[files.at(2)] = VlcFileDuration::MaxClipMs + 1;
    probe.errors[files.at(3)] = QStringLiteral("fourcc: [MP4V]");
    probe.durations[files.at(4)] = 4294967295LL; // the same length kept in 64 bits
    probe.durations[files.at(5)] = 0;
    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
    QSignalSpy progress(&worker, &PlaylistPrepareData::reportProgress);
    worker.startProcessing(1, files, {});
    QVERIFY(worker.wait(5000));

    QCOMPARE(progress.count(), 6);
    QCOMPARE(completed.count(), 1);
    const auto trips = completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
    QCOMPARE(trips->size(), size_t(1));
    QCOMPARE(trips->at(0).size(), size_t(1));
    QCOMPARE(trips->at(0).at(0).videoFile, files.at(0));
    QCOMPARE(trips->at(0).at(0).duration, qint64(60000));

    const Skipped skipped = worker.skippedFiles();
    QCOMPARE(pathsOf(skipped), files.mid(1));
    QCOMPARE(reasonsOf(skipped),
             (QStringList{"length not confirmed", "length not confirmed", "fourcc: [MP4V]",
                          "length not confirmed", "length not confirmed"}));
}

void TestPlaylistPrepareData::pulledCardIsNotProbedFurther()
{
    QTemporaryDir mount;
    const QString card = mount.filePath("CARD");
    const QStringList ordinary =
        touch(card + "/Normal",
              {"001_0001_20240501120000.mp4", "001_0002_20240501120010.mp4", "001_0003_20240501120020.mp4",
               "001_0004_20240501120030.mp4", "001_0005_20240501120040.mp4"});
    const QStringList events =
        touch(card + "/EVENT", {"001_0001_20240501120015.mp4", "001_0002_20240501120035.mp4"});
    FakeProbe probe;
    for (const QString& file : ordinary + events)
        probe.durations[file] = 10000;
    // The card goes while the third file is being read.
    probe.before = [card](int probes) {
        if (probes == 2)
            QDir(card).removeRecursively();
    };
    probe.errors[ordinary.at(2)] = QStringLiteral("track info not avaialble");
    probe.durations[ordinary.at(2)] = 0;

    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
    QSignalSpy progress(&worker, &PlaylistPrepareData::reportProgress);
    worker.startProcessing(1, ordinary, events);
    QVERIFY(worker.wait(5000));

    // Nothing after the third file is probed; what was measured before is listed.
    QCOMPARE(*probe.probed, ordinary.mid(0, 3));
    QCOMPARE(progress.count(), 7);
    QCOMPARE(completed.count(), 1);
    const auto trips = completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
    QCOMPARE(trips->size(), size_t(1));
    QCOMPARE(trips->at(0).size(), size_t(2));
    const Skipped skipped = worker.skippedFiles();
    QCOMPARE(pathsOf(skipped), ordinary.mid(2) + events);
    for (const QString& reason : reasonsOf(skipped))
        QCOMPARE(reason, QStringLiteral("file vanished"));
}

void TestPlaylistPrepareData::engineMeasuresTheSelection()
{
    using namespace TestMedia;
    QTemporaryDir mount;
    const QString gone = mount.filePath("001_0004_20240501120009.mp4");
    const QStringList files{path(RunThird),  path(RunFirst),      path(Mpeg4),
                            path(AudioOnly), path(LengthAllOnes), path(TimescaleZero),
                            path(Truncated), path(RunSecond),     gone};
    PlaylistPrepareData worker;
    QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
    QSignalSpy progress(&worker, &PlaylistPrepareData::reportProgress);
    worker.startProcessing(1, files, {});
    QVERIFY(worker.wait(60000));

    QCOMPARE(progress.count(), files.size());
    QCOMPARE(completed.count(), 1);
    const auto trips = completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
    QCOMPARE(trips->size(), size_t(1));
    const Trip::TripList& trip = trips->at(0);
    QCOMPARE(trip.size(), size_t(3));
    const qint64 expected[] = {3000, 2000, 4000};
    for (size_t i = 0; i < trip.size(); ++i)
        QVERIFY2(qAbs(trip.at(i).duration - expected[i]) <= 40,
                 qPrintable(QString::number(trip.at(i).duration)));

    const Skipped skipped = worker.skippedFiles();
    QCOMPARE(pathsOf(skipped), (QStringList{gone, path(AudioOnly), path(LengthAllOnes), path(Mpeg4),
                                            path(TimescaleZero), path(Truncated)}));
    QCOMPARE(reasonsOf(skipped),
             (QStringList{"file vanished", "no video track", "length not confirmed", "fourcc: [MP4V]",
                          "length not confirmed", "track info not avaialble"}));
}

QTEST_GUILESS_MAIN(TestPlaylistPrepareData)
#include "tst_playlistpreparedata.moc"
