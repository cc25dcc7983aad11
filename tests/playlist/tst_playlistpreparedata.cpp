#include "playlistpreparedata.h"

#include <QSignalSpy>
#include <QtTest>

#include <mutex>

namespace {

// Durations by file name; unknown files measure 0. Records the order of the probes.
struct FakeProbe
{
    QMap<QString, qint64> durations;
    std::shared_ptr<QStringList> probed = std::make_shared<QStringList>();
    std::shared_ptr<std::mutex> lock = std::make_shared<std::mutex>();

    qint64 operator()(const QString& file, QString&) const
    {
        std::lock_guard<std::mutex> guard(*lock);
        probed->append(file);
        return durations.value(file, 0);
    }
};

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
    FakeProbe probe;
    PlaylistPrepareData worker;
    worker.setDurationProbe(probe);
    worker.startProcessing(1, {"/c/b.mp4", "/c/A.mp4"}, {"/c/EVENT/d.mp4", "/c/EVENT/C.mp4"});
    QVERIFY(worker.wait(5000));
    QCOMPARE(*probe.probed, (QStringList{"/c/A.mp4", "/c/b.mp4", "/c/EVENT/C.mp4", "/c/EVENT/d.mp4"}));
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

QTEST_GUILESS_MAIN(TestPlaylistPrepareData)
#include "tst_playlistpreparedata.moc"
