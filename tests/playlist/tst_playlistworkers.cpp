#include "playlistpreparedata.h"
#include "vlcthumbnails.h"

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

QString media(const char* name)
{
    return QStringLiteral(TARROW_TEST_MEDIA "/") + QLatin1String(name);
}

QList<VlcThumbnails::InData> requests(intptr_t id, const QStringList& files)
{
    QList<VlcThumbnails::InData> list;
    for (const QString& file : files)
        list.append({id, QModelIndex(), 0, file});
    return list;
}

} // namespace

// The playlist's two workers: the preparation that measures the chosen files and merges them into
// trips, and the thumbnails of the trips' first files.
class TestPlaylistWorkers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        Trip::registerMetaTypes();
        qRegisterMetaType<intptr_t>("intptr_t");
    }

    void preparationMeasuresAndMerges()
    {
        FakeProbe probe;
        probe.durations["/c/EVENT/001_0001_20240501120000.mp4"] = 10000;
        probe.durations["/c/EVENT/001_0002_20240501120010.mp4"] = 10000;
        probe.durations["/c/EVENT/001_0003_20240501130000.mp4"] = 5000;
        PlaylistPrepareData worker;
        worker.setDurationProbe(probe);
        QSignalSpy progress(&worker, &PlaylistPrepareData::reportProgress);
        QSignalSpy completed(&worker, &PlaylistPrepareData::completed);
        worker.startProcessing(3, {},
                               QStringList(probe.durations.keys()) << "/c/EVENT/001_0004_20240501140000.mp4");
        QVERIFY(worker.wait(5000));

        // Every file measured, in order, with a report for each; the unmeasurable one is left out
        // and a gap of an hour splits the rest.
        QCOMPARE(*probe.probed, QStringList(probe.durations.keys())
                                    << "/c/EVENT/001_0004_20240501140000.mp4");
        QCOMPARE(progress.count(), 4);
        QCOMPARE(progress.last().at(0).value<intptr_t>(), intptr_t(3));
        QCOMPARE(completed.count(), 1);
        QCOMPARE(completed.at(0).at(0).value<intptr_t>(), intptr_t(3));
        const auto trips = completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
        QVERIFY(trips);
        QCOMPARE(trips->size(), size_t(2));
        QCOMPARE(trips->at(0).size(), size_t(2));
        QCOMPARE(trips->at(1).size(), size_t(1));
        QCOMPARE(trips->at(0).at(0), (Trip::TripItem{10000, true, "/c/EVENT/001_0001_20240501120000.mp4",
                                                     "/c/EVENT/001_0001_20240501120000.nmea"}));

        // Names sort ignoring case, ordinary files first.
        FakeProbe names;
        PlaylistPrepareData sorting;
        sorting.setDurationProbe(names);
        QSignalSpy empty(&sorting, &PlaylistPrepareData::finishedEmpty);
        sorting.startProcessing(7, {"/c/b.mp4", "/c/A.mp4"}, {"/c/EVENT/d.mp4", "/c/EVENT/C.mp4"});
        QVERIFY(sorting.wait(5000));
        QCOMPARE(*names.probed, (QStringList{"/c/A.mp4", "/c/b.mp4", "/c/EVENT/C.mp4", "/c/EVENT/d.mp4"}));
        // Nothing measurable: finished empty.
        QCOMPARE(empty.count(), 1);
        QCOMPARE(empty.at(0).at(0).value<intptr_t>(), intptr_t(7));
    }

    void refusedStarts()
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

    void deletingDuringAProbeWaitsAndStaysSilent()
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

    // One result per file, a null image for a file without a picture, then the end of the list.
    void thumbnailsOfEveryFileInTurn()
    {
        VlcThumbnails worker;
        QSignalSpy one(&worker, &VlcThumbnails::oneCompleted);
        QSignalSpy all(&worker, &VlcThumbnails::allCompleted);
        worker.startProcessingList(9, requests(9, {media("random.mp4"), media("002_0001_20240501130000.mp4"),
                                                   "/nonexistent/001_0001_20240501120000.mp4",
                                                   media("001_0001_20240501120000.mp4")}));
        QVERIFY(worker.wait(30000));
        QCOMPARE(one.count(), 4);
        QCOMPARE(all.count(), 1);
        QCOMPARE(all.at(0).at(0).value<intptr_t>(), intptr_t(9));
        QList<int> heights;
        for (const QList<QVariant>& result : qAsConst(one)) {
            QCOMPARE(result.at(0).value<VlcThumbnails::OutData>().id, intptr_t(9));
            heights << result.at(0).value<VlcThumbnails::OutData>().image.height();
        }
        // Thumbnails are 60 rows high.
        QCOMPARE(heights, QList<int>({0, 60, 0, 60}));

        // An empty list ends at once; none with the id 0.
        VlcThumbnails idle;
        QSignalSpy none(&idle, &VlcThumbnails::allCompleted);
        idle.startProcessingList(0, {});
        QVERIFY(!idle.isRunning());
        idle.startProcessingList(4, {});
        QVERIFY(idle.wait(10000));
        QCOMPARE(none.count(), 1);
    }

    void interruptionEmitsNothingMore()
    {
        QStringList files;
        for (int i = 0; i < 20; ++i)
            files << media(i % 2 ? "001_0003_20240501120005.mp4" : "002_0001_20240501130000.mp4");
        auto worker = std::make_unique<VlcThumbnails>();
        QSignalSpy one(worker.get(), &VlcThumbnails::oneCompleted);
        QSignalSpy all(worker.get(), &VlcThumbnails::allCompleted);
        worker->startProcessingList(2, requests(2, files));
        QTRY_VERIFY_WITH_TIMEOUT(one.count() >= 1, 20000);

        worker.reset();

        const int delivered = one.count();
        QVERIFY(delivered < files.size());
        QCoreApplication::processEvents();
        QCOMPARE(one.count(), delivered);
        QCOMPARE(all.count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPlaylistWorkers)
#include "tst_playlistworkers.moc"
