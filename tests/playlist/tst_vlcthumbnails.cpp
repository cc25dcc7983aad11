#include "vlcthumbnails.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

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

class TestVlcThumbnails : public QObject
{
    Q_OBJECT

private slots:
    void badFileGivesNullImageAndNextFollows();
    void emptyListCompletesAtOnce();
    void interruptionEmitsNothingMore();
};

void TestVlcThumbnails::badFileGivesNullImageAndNextFollows()
{
    VlcThumbnails worker;
    QSignalSpy one(&worker, &VlcThumbnails::oneCompleted);
    QSignalSpy all(&worker, &VlcThumbnails::allCompleted);
    worker.startProcessingList(
        9, requests(9, {media("random.mp4"), media("002_0001_20240501130000.mp4"),
                        "/nonexistent/001_0001_20240501120000.mp4", media("001_0001_20240501120000.mp4")}));
    QVERIFY(worker.wait(30000));

    QCOMPARE(one.count(), 4);
    QCOMPARE(all.count(), 1);
    QCOMPARE(all.at(0).at(0).value<intptr_t>(), intptr_t(9));
    const auto result = [&one](int i) { return one.at(i).at(0).value<VlcThumbnails::OutData>(); };
    QVERIFY(result(0).image.isNull());
    QVERIFY(result(2).image.isNull());
    // 1920x1080 scaled to 60 rows: as wide as the engine chose, exactly 60 high.
    const QImage fullHd = result(1).image;
    QVERIFY(!fullHd.isNull());
    QCOMPARE(fullHd.height(), 60);
    QVERIFY2(fullHd.width() >= 100 && fullHd.width() <= 110, qPrintable(QString::number(fullHd.width())));
    QCOMPARE(result(3).image.height(), 60);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(result(i).id, intptr_t(9));
}

void TestVlcThumbnails::emptyListCompletesAtOnce()
{
    VlcThumbnails worker;
    QSignalSpy one(&worker, &VlcThumbnails::oneCompleted);
    QSignalSpy all(&worker, &VlcThumbnails::allCompleted);
    worker.startProcessingList(0, {});
    QVERIFY(!worker.isRunning());
    worker.startProcessingList(4, {});
    QVERIFY(worker.wait(10000));
    QCOMPARE(one.count(), 0);
    QCOMPARE(all.count(), 1);
}

void TestVlcThumbnails::interruptionEmitsNothingMore()
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

QTEST_GUILESS_MAIN(TestVlcThumbnails)
#include "tst_vlcthumbnails.moc"
