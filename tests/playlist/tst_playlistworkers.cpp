#include "mediacache.h"
#include "playlistpreparedata.h"
#include "testmedia.h"
#include "vlcthumbnails.h"

#include <vireo/vlcfileduration.h>

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <mutex>

namespace {

using Skipped = QVector<PlaylistPrepareData::SkippedFile>;
using TestMedia::path;

// Durations and errors by file name; unknown files measure 0. Records the order of the probes;
// `before` runs ahead of every probe with the number of probes made so far.
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

// "path: reason" of every skipped file, or just the paths.
QStringList described(const Skipped& skipped, bool withReasons = true)
{
    QStringList lines;
    for (const auto& file : skipped)
        lines << (withReasons ? file.path + ": " + file.reason : file.path);
    return lines;
}

std::shared_ptr<Trip::Trips> tripsOf(const QSignalSpy& completed)
{
    return completed.at(0).at(1).value<std::shared_ptr<Trip::Trips>>();
}

// Warnings of the playlist category, as the program's log would show them.
std::mutex g_thumbnailLogMutex;
QStringList g_thumbnailLog;
QtMessageHandler g_previousHandler = nullptr;

void keepThumbnailLog(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && context.category && QByteArray(context.category) == "tarrow.playlist") {
        std::lock_guard<std::mutex> lock(g_thumbnailLogMutex);
        g_thumbnailLog << message;
    }
    g_previousHandler(type, context, message);
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
        QCOMPARE(described(worker.skippedFiles(), false),
                 QStringList{"/c/EVENT/001_0004_20240501140000.mp4"});

        // Names sort ignoring case, ordinary files first (files on disk: one that measures
        // nothing is looked for, and a missing one would end the probing of its folder).
        QTemporaryDir card;
        const QStringList ordinary = touch(card.filePath("c"), {"b.mp4", "A.mp4"});
        const QStringList events = touch(card.filePath("c/EVENT"), {"d.mp4", "C.mp4"});
        FakeProbe names;
        PlaylistPrepareData sorting;
        sorting.setDurationProbe(names);
        QSignalSpy empty(&sorting, &PlaylistPrepareData::finishedEmpty);
        sorting.startProcessing(7, ordinary, events);
        QVERIFY(sorting.wait(5000));
        QCOMPARE(*names.probed, (QStringList{ordinary.at(1), ordinary.at(0), events.at(1), events.at(0)}));
        // Nothing measurable: finished empty, every file skipped.
        QCOMPARE(empty.count(), 1);
        QCOMPARE(empty.at(0).at(0).value<intptr_t>(), intptr_t(7));
        QCOMPARE(sorting.skippedFiles().size(), 4);
    }

    // The probe's answers are kept for the next run: a file unchanged since is not probed again, a
    // touched or rewritten one is, and a refusal is kept with its reason; a parse that timed out
    // is asked again.
    void probeAnswersAreKeptWhileFilesStayAsTheyWere()
    {
        QTemporaryDir home;
        qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
        const QStringList files = touch(home.filePath("card"), {"a.mp4", "b.mp4", "c.mp4", "d.mp4"});
        FakeProbe probe;
        probe.durations[files[0]] = 60000;
        probe.durations[files[1]] = 60000;
        probe.errors[files[2]] = "fourcc: [MP4V]";
        probe.errors[files[3]] = "parse timed out";
        const auto run = [&probe, &files]() {
            MediaCache cache("probe", "test");
            QStringList answers;
            for (const QString& file : files) {
                QString error;
                const qint64 length = PlaylistPrepareData::cachedProbe(cache, file, error, probe);
                answers << QString::number(length) + " " + error;
            }
            cache.save();
            return answers;
        };
        const QStringList answers{"60000 ", "60000 ", "0 fourcc: [MP4V]", "0 parse timed out"};
        QCOMPARE(run(), answers);
        QCOMPARE(*probe.probed, files);

        probe.probed->clear();
        QCOMPARE(run(), answers);
        QCOMPARE(*probe.probed, QStringList{files[3]});

        // Touched: probed again, and its new answer is the one given.
        probe.probed->clear();
        QFile touched(files[0]);
        QVERIFY(touched.open(QIODevice::ReadWrite));
        QVERIFY(
            touched.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
        touched.close();
        QFile grown(files[1]);
        QVERIFY(grown.open(QIODevice::Append) && grown.write("more") == 4);
        grown.close();
        probe.durations[files[0]] = 30000;
        QCOMPARE(run(), (QStringList{"30000 ", "60000 ", "0 fourcc: [MP4V]", "0 parse timed out"}));
        QCOMPARE(*probe.probed, (QStringList{files[0], files[1], files[3]}));

        // Switched off (--no-cache): every file is probed.
        probe.probed->clear();
        MediaCache::setEnabled(false);
        run();
        MediaCache::setEnabled(true);
        QCOMPARE(*probe.probed, files);
    }

    void implausibleLengthsAreSkippedWithTheirReason()
    {
        QTemporaryDir card;
        const QStringList files =
            touch(card.path(), {"001_0001_20240501120000.mp4", "001_0002_20240501120100.mp4",
                                "001_0003_20240501120200.mp4", "001_0004_20240501120300.mp4",
                                "001_0005_20240501120400.mp4", "001_0006_20240501120500.mp4"});
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
        QCOMPARE(tripsOf(completed)->size(), size_t(1));
        QCOMPARE(tripsOf(completed)->at(0).size(), size_t(1));
        QCOMPARE(tripsOf(completed)->at(0).at(0).videoFile, files.at(0));
        QCOMPARE(tripsOf(completed)->at(0).at(0).duration, qint64(60000));
        const QString unconfirmed = QStringLiteral(": length not confirmed");
        QCOMPARE(described(worker.skippedFiles()),
                 (QStringList{files.at(1) + unconfirmed, files.at(2) + unconfirmed,
                              files.at(3) + ": fourcc: [MP4V]", files.at(4) + unconfirmed,
                              files.at(5) + unconfirmed}));
    }

    void pulledCardIsNotProbedFurther()
    {
        QTemporaryDir mount;
        const QString card = mount.filePath("CARD");
        const QStringList ordinary =
            touch(card + "/Normal", {"001_0001_20240501120000.mp4", "001_0002_20240501120010.mp4",
                                     "001_0003_20240501120020.mp4", "001_0004_20240501120030.mp4",
                                     "001_0005_20240501120040.mp4"});
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
        QCOMPARE(tripsOf(completed)->size(), size_t(1));
        QCOMPARE(tripsOf(completed)->at(0).size(), size_t(2));
        QStringList vanished;
        for (const QString& file : ordinary.mid(2) + events)
            vanished << file + ": file vanished";
        QCOMPARE(described(worker.skippedFiles()), vanished);
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
        g_thumbnailLog.clear();
        g_previousHandler = qInstallMessageHandler(keepThumbnailLog);
        worker.startProcessingList(
            9, requests(9, {path(TestMedia::Random), path(TestMedia::FullHd),
                            "/nonexistent/001_0001_20240501120000.mp4", path(TestMedia::RunFirst)}));
        QVERIFY(worker.wait(30000));
        qInstallMessageHandler(g_previousHandler);
        // The files without a picture are logged, each once, with the engine's reason.
        QStringList logged;
        {
            std::lock_guard<std::mutex> lock(g_thumbnailLogMutex);
            logged = g_thumbnailLog;
        }
        QCOMPARE(logged.size(), 2);
        QVERIFY2(logged[0].startsWith(QStringLiteral("no thumbnail of ") + path(TestMedia::Random) + " : ") &&
                     logged[1].startsWith(
                         QStringLiteral("no thumbnail of /nonexistent/001_0001_20240501120000.mp4 : ")),
                 qPrintable(logged.join(QLatin1Char('\n'))));
        QCOMPARE(one.count(), 4);
        QCOMPARE(all.count(), 1);
        QCOMPARE(all.at(0).at(0).value<intptr_t>(), intptr_t(9));
        QList<QSize> sizes;
        for (const QList<QVariant>& result : qAsConst(one)) {
            QCOMPARE(result.at(0).value<VlcThumbnails::OutData>().id, intptr_t(9));
            sizes << result.at(0).value<VlcThumbnails::OutData>().image.size();
        }
        // Thumbnails are 60 rows high and keep the picture's shape (16:9); they show the picture.
        QVERIFY(sizes[0].isEmpty() && sizes[2].isEmpty());
        for (const QSize& size : {sizes[1], sizes[3]})
            QVERIFY2(size.height() == 60 && qAbs(size.width() - 107) <= 2,
                     qPrintable(QString::number(size.width())));
        const QImage picture = one.at(1).at(0).value<VlcThumbnails::OutData>().image;
        int lit = 0;
        for (int x = 0; x < picture.width(); ++x)
            lit += qGray(picture.pixel(x, 30)) > 40 ? 1 : 0;
        QVERIFY(lit > picture.width() / 4);

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
        // Thumbnails kept by the test before would all come at once: every one is made here.
        MediaCache::setEnabled(false);
        const auto restore = qScopeGuard([] { MediaCache::setEnabled(true); });
        QStringList files;
        for (int i = 0; i < 20; ++i)
            files << path(i % 2 ? TestMedia::RunThird : TestMedia::FullHd);
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
