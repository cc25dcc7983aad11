#include "mediacache.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

const QString Generation = QStringLiteral("test 1");

} // namespace

// The cache of what was learnt of recordings: kept between runs for a file as long as it keeps
// its size and modification time, never a crash on a damaged file, private to the user.
class TestMediaCache : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { MediaCache::setEnabled(true); }
    void keptBetweenRunsWhileTheFileIsUnchanged_data();
    void keptBetweenRunsWhileTheFileIsUnchanged();
    void damagedOrForeignFileIsIgnoredAndRebuilt_data();
    void damagedOrForeignFileIsIgnoredAndRebuilt();
    void limitDropsTheEntriesUsedLongestAgo();
    void runsSideBySideKeepEachOthersEntries();
    void privateFilesAndClearing();
    void switchedOffNothingIsReadOrWritten();

private:
    QString video(const QString& name) const { return m_dir->filePath(name); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestMediaCache::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
    QVERIFY(writeFile(video(QStringLiteral("a.mp4")), "first video"));
    QVERIFY(writeFile(video(QStringLiteral("b.mp4")), "second video"));
}

void TestMediaCache::keptBetweenRunsWhileTheFileIsUnchanged_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("kept");

    QTest::newRow("unchanged") << "none" << true;
    QTest::newRow("touched") << "touch" << false;
    QTest::newRow("rewritten, same size") << "rewrite" << false;
    QTest::newRow("grown, same time") << "grow" << false;
    QTest::newRow("removed") << "remove" << false;
    QTest::newRow("replaced by a folder") << "folder" << false;
}

void TestMediaCache::keptBetweenRunsWhileTheFileIsUnchanged()
{
    QFETCH(QString, change);
    QFETCH(bool, kept);
    const QString a = video(QStringLiteral("a.mp4"));
    {
        MediaCache cache(QStringLiteral("probe"), Generation);
        QByteArray value;
        QVERIFY(!cache.lookup(a, value));
        cache.store(a, "12000");
        cache.store(video(QStringLiteral("b.mp4")), "3000");
        QVERIFY(cache.lookup(a, value));
        QCOMPARE(value, QByteArray("12000"));
        QVERIFY(cache.save());
    }
    QFile file(a);
    const QDateTime modified = QFileInfo(a).lastModified();
    if (change == QLatin1String("touch")) {
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified.addSecs(2), QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("rewrite")) {
        QVERIFY(writeFile(a, "other video"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified.addMSecs(1), QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("grow")) {
        QVERIFY(writeFile(a, "first video, longer"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
    } else if (change == QLatin1String("remove")) {
        QVERIFY(QFile::remove(a));
    } else if (change == QLatin1String("folder")) {
        QVERIFY(QFile::remove(a) && QDir().mkdir(a));
    }
    file.close();

    // The next run: the changed file is not served, the other one still is.
    MediaCache next(QStringLiteral("probe"), Generation);
    QByteArray value;
    QCOMPARE(next.lookup(a, value), kept);
    if (kept)
        QCOMPARE(value, QByteArray("12000"));
    QVERIFY(next.lookup(video(QStringLiteral("b.mp4")), value));
    QCOMPARE(value, QByteArray("3000"));
    // Another kind of cache, or one written by another generation of the program, knows nothing.
    QVERIFY(
        !MediaCache(QStringLiteral("telemetry"), Generation).lookup(video(QStringLiteral("b.mp4")), value));
    QVERIFY(!MediaCache(QStringLiteral("probe"), QStringLiteral("test 2"))
                 .lookup(video(QStringLiteral("b.mp4")), value));
}

void TestMediaCache::damagedOrForeignFileIsIgnoredAndRebuilt_data()
{
    QTest::addColumn<QString>("damage");

    QTest::newRow("empty") << "empty";
    QTest::newRow("cut short") << "cut";
    QTest::newRow("one byte changed") << "flip";
    QTest::newRow("another program's file") << "foreign";
    QTest::newRow("random bytes after our head") << "random";
    QTest::newRow("a folder in its place") << "folder";
}

void TestMediaCache::damagedOrForeignFileIsIgnoredAndRebuilt()
{
    QFETCH(QString, damage);
    const QString a = video(QStringLiteral("a.mp4"));
    MediaCache first(QStringLiteral("probe"), Generation);
    first.store(a, QByteArray(300, 'v'));
    QVERIFY(first.save());
    const QString path = first.filePath();
    QByteArray bytes = readFile(path);
    QVERIFY(bytes.size() > 300);

    if (damage == QLatin1String("empty")) {
        bytes.clear();
    } else if (damage == QLatin1String("cut")) {
        bytes.chop(30);
    } else if (damage == QLatin1String("flip")) {
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x20);
    } else if (damage == QLatin1String("foreign")) {
        bytes = "[General]\nsize=12\n";
    } else if (damage == QLatin1String("random")) {
        QByteArray noise(4096, '\0');
        for (char& c : noise)
            c = char(QRandomGenerator::global()->generate());
        bytes = bytes.left(12) + noise;
    }
    QVERIFY(QFile::remove(path));
    if (damage == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));
    else
        QVERIFY(writeFile(path, bytes));

    MediaCache damaged(QStringLiteral("probe"), Generation);
    QByteArray value;
    QVERIFY(!damaged.lookup(a, value));
    damaged.store(a, "rebuilt");
    if (damage == QLatin1String("folder")) {
        // Nowhere to write: the run goes on without keeping anything.
        QVERIFY(!damaged.save());
        return;
    }
    QVERIFY(damaged.save());
    QVERIFY(MediaCache(QStringLiteral("probe"), Generation).lookup(a, value));
    QCOMPARE(value, QByteArray("rebuilt"));
}

void TestMediaCache::limitDropsTheEntriesUsedLongestAgo()
{
    MediaCache cache(QStringLiteral("probe"), Generation);
    cache.setLimit(4096);
    QStringList files;
    for (int i = 0; i < 20; ++i) {
        files << video(QStringLiteral("clip%1.mp4").arg(i));
        QVERIFY(writeFile(files.last(), QByteArray::number(i)));
    }
    // Ten entries of about 500 bytes fill the limit; the second ten are used later.
    for (int i = 0; i < 10; ++i)
        cache.store(files[i], QByteArray(500, 'o'));
    QTest::qWait(1100);
    for (int i = 10; i < 20; ++i)
        cache.store(files[i], QByteArray(500, 'n'));
    QVERIFY(cache.save());
    QVERIFY(QFileInfo(cache.filePath()).size() <= 4096);

    MediaCache next(QStringLiteral("probe"), Generation);
    int older = 0;
    int newer = 0;
    QByteArray value;
    for (int i = 0; i < 20; ++i)
        (i < 10 ? older : newer) += next.lookup(files[i], value) ? 1 : 0;
    QCOMPARE(older, 0);
    QVERIFY2(newer >= 6, qPrintable(QString::number(newer)));
}

void TestMediaCache::runsSideBySideKeepEachOthersEntries()
{
    MediaCache window(QStringLiteral("probe"), Generation);
    MediaCache command(QStringLiteral("probe"), Generation);
    QByteArray value;
    QVERIFY(!window.lookup(video(QStringLiteral("a.mp4")), value));
    QVERIFY(!command.lookup(video(QStringLiteral("b.mp4")), value));
    window.store(video(QStringLiteral("a.mp4")), "from the window");
    command.store(video(QStringLiteral("b.mp4")), "from the command line");
    QVERIFY(window.save());
    QVERIFY(command.save());
    MediaCache next(QStringLiteral("probe"), Generation);
    QVERIFY(next.lookup(video(QStringLiteral("a.mp4")), value));
    QCOMPARE(value, QByteArray("from the window"));
    QVERIFY(next.lookup(video(QStringLiteral("b.mp4")), value));
    QCOMPARE(value, QByteArray("from the command line"));
}

void TestMediaCache::privateFilesAndClearing()
{
    MediaCache cache(QStringLiteral("probe"), Generation);
    cache.store(video(QStringLiteral("a.mp4")), "1");
    QVERIFY(cache.save());
    QCOMPARE(QFileInfo(cache.filePath()).path(), m_dir->filePath(QStringLiteral("cache/Tarrow")));
    QCOMPARE(modeOf(cache.filePath()), mode_t(0600));
    QCOMPARE(modeOf(MediaCache::folder()), mode_t(0700));
    QCOMPARE(modeOf(m_dir->filePath(QStringLiteral("cache"))), mode_t(0700));
    // Nothing of the temporary file is left.
    QCOMPARE(QDir(MediaCache::folder()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QStringLiteral("probe.cache")});

    // Clearing removes the caches of recordings and leaves the map's tiles.
    QVERIFY(QDir().mkpath(MediaCache::folder() + QStringLiteral("/tiles")));
    QVERIFY(MediaCache::clearAll());
    QVERIFY(!QFile::exists(cache.filePath()));
    QVERIFY(QFileInfo(MediaCache::folder() + QStringLiteral("/tiles")).isDir());
    QByteArray value;
    QVERIFY(!MediaCache(QStringLiteral("probe"), Generation).lookup(video(QStringLiteral("a.mp4")), value));

    // A link in place of the cache file is replaced, never followed.
    const QString elsewhere = video(QStringLiteral("elsewhere"));
    QVERIFY(writeFile(elsewhere, "keep"));
    QVERIFY(QFile::link(elsewhere, cache.filePath()));
    MediaCache linked(QStringLiteral("probe"), Generation);
    linked.store(video(QStringLiteral("a.mp4")), "1");
    QVERIFY(linked.save());
    QCOMPARE(readFile(elsewhere), QByteArray("keep"));
    QVERIFY(!QFileInfo(cache.filePath()).isSymLink());
}

void TestMediaCache::switchedOffNothingIsReadOrWritten()
{
    MediaCache before(QStringLiteral("probe"), Generation);
    before.store(video(QStringLiteral("a.mp4")), "1");
    QVERIFY(before.save());
    MediaCache::setEnabled(false);
    MediaCache off(QStringLiteral("probe"), Generation);
    QByteArray value;
    QVERIFY(!off.lookup(video(QStringLiteral("a.mp4")), value));
    off.store(video(QStringLiteral("b.mp4")), "2");
    QVERIFY(off.save());
    MediaCache::setEnabled(true);
    MediaCache after(QStringLiteral("probe"), Generation);
    QVERIFY(after.lookup(video(QStringLiteral("a.mp4")), value));
    QVERIFY(!after.lookup(video(QStringLiteral("b.mp4")), value));
}

QTEST_GUILESS_MAIN(TestMediaCache)
#include "tst_mediacache.moc"
