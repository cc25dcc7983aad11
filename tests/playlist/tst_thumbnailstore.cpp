#include "mediacache.h"
#include "testmedia.h"
#include "thumbnailstore.h"
#include "vlcthumbnails.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : mode_t(-1);
}

QString md5Name(const QByteArray& uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

// A thumbnail as a file manager writes one: its own picture, the chunks it must carry.
bool writeForeign(const QString& path, const QString& uri, qint64 mtime, QColor colour,
                  QSize size = {128, 72})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    image.setText(QStringLiteral("Thumb::URI"), uri);
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    image.setText(QStringLiteral("Software"), QStringLiteral("a file manager"));
    QDir().mkpath(QFileInfo(path).path());
    return QImageWriter(path, "PNG").write(image);
}

bool touch(const QString& path, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime);
}

QList<VlcThumbnails::OutData> grabAll(const QStringList& files)
{
    VlcThumbnails worker;
    QList<VlcThumbnails::InData> requests;
    for (const QString& file : files)
        requests.append({5, QModelIndex(), 0, file});
    QSignalSpy one(&worker, &VlcThumbnails::oneCompleted);
    worker.startProcessingList(5, requests);
    worker.wait(60000);
    QList<VlcThumbnails::OutData> results;
    for (const QList<QVariant>& signal : qAsConst(one))
        results << signal.at(0).value<VlcThumbnails::OutData>();
    return results;
}

} // namespace

// Thumbnails shared with file managers in the freedesktop thumbnail layout.
class TestThumbnailStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { MediaCache::setEnabled(true); }
    void namedByTheMd5OfTheUri_data();
    void namedByTheMd5OfTheUri();
    void writtenValidAndPrivate();
    void otherProgramsThumbnailIsUsedWhenValid_data();
    void otherProgramsThumbnailIsUsedWhenValid();
    void failuresAreNotedInOwnFolder();
    void workerGrabsOnceAndThenUsesTheThumbnail();

private:
    QString card(const QString& name) const { return m_dir->filePath(QStringLiteral("card/") + name); }
    QString thumbnails() const { return m_dir->filePath(QStringLiteral("cache/thumbnails")); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_video;
};

void TestThumbnailStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CACHE_HOME", m_dir->filePath(QStringLiteral("cache")).toUtf8());
    QVERIFY(QDir().mkpath(card(QString())));
    m_video = card(QStringLiteral("001_0001_20240501120000.mp4"));
    QVERIFY(QFile::copy(TestMedia::path(TestMedia::FullHd), m_video));
}

void TestThumbnailStore::namedByTheMd5OfTheUri_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("uri");

    QTest::newRow("plain") << "/media/card/DCIM/001.MP4" << QByteArray("file:///media/card/DCIM/001.MP4");
    QTest::newRow("blank and umlaut") << QString::fromUtf8("/media/my card/Fahrt ü.mp4")
                                      << QByteArray("file:///media/my%20card/Fahrt%20%C3%BC.mp4");
    QTest::newRow("percent and hash") << "/tmp/100%/#1.mp4" << QByteArray("file:///tmp/100%25/%231.mp4");
    QTest::newRow("not clean") << "/media/card/./x/../001.mp4" << QByteArray("file:///media/card/001.mp4");
}

void TestThumbnailStore::namedByTheMd5OfTheUri()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, uri);
    QCOMPARE(ThumbnailStore::uriOf(path), QString::fromLatin1(uri));
    QCOMPARE(ThumbnailStore::fileNameFor(path), md5Name(uri));
}

void TestThumbnailStore::writtenValidAndPrivate()
{
    QImage picture(1920, 1080, QImage::Format_RGB32);
    picture.fill(Qt::green);
    QVERIFY(ThumbnailStore::save(m_video, picture));
    const QString path =
        thumbnails() + QStringLiteral("/normal/") + md5Name(ThumbnailStore::uriOf(m_video).toLatin1());
    QVERIFY(QFile::exists(path));

    QImageReader reader(path);
    QCOMPARE(reader.format(), QByteArray("png"));
    const QImage written = reader.read();
    QCOMPARE(written.size(), QSize(128, 72));
    QCOMPARE(written.text(QStringLiteral("Thumb::URI")), QStringLiteral("file://") + m_video);
    QCOMPARE(written.text(QStringLiteral("Thumb::MTime")),
             QString::number(QFileInfo(m_video).lastModified().toSecsSinceEpoch()));
    QCOMPARE(modeOf(path), mode_t(0600));
    QCOMPARE(modeOf(thumbnails()), mode_t(0700));
    QCOMPARE(modeOf(thumbnails() + QStringLiteral("/normal")), mode_t(0700));
    // Renamed into place: nothing else is left in the folder.
    QCOMPARE(QDir(thumbnails() + QStringLiteral("/normal")).entryList(QDir::Files | QDir::Hidden).size(), 1);

    QCOMPARE(ThumbnailStore::find(m_video).pixelColor(10, 10), QColor(Qt::green));
    // A video changed since is not shown with its old picture.
    QVERIFY(touch(m_video, QFileInfo(m_video).lastModified().addSecs(60)));
    QVERIFY(ThumbnailStore::find(m_video).isNull());

    // Switched off, nothing is read or written.
    MediaCache::setEnabled(false);
    QVERIFY(!ThumbnailStore::save(m_video, picture));
    MediaCache::setEnabled(true);
    QVERIFY(ThumbnailStore::find(m_video).isNull());
}

void TestThumbnailStore::otherProgramsThumbnailIsUsedWhenValid_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("uri");
    QTest::addColumn<qint64>("mtimeShift");
    QTest::addColumn<bool>("used");

    QTest::newRow("normal, valid") << "normal" << QString() << 0LL << true;
    QTest::newRow("large only, valid") << "large" << QString() << 0LL << true;
    QTest::newRow("another file's") << "normal"
                                    << "file:///elsewhere.mp4" << 0LL << false;
    QTest::newRow("made before a change") << "normal" << QString() << -10LL << false;
}

void TestThumbnailStore::otherProgramsThumbnailIsUsedWhenValid()
{
    QFETCH(QString, folder);
    QFETCH(QString, uri);
    QFETCH(qint64, mtimeShift);
    QFETCH(bool, used);
    const QString ownUri = QStringLiteral("file://") + m_video;
    const QString path =
        thumbnails() + QLatin1Char('/') + folder + QLatin1Char('/') + md5Name(ownUri.toLatin1());
    const qint64 mtime = QFileInfo(m_video).lastModified().toSecsSinceEpoch() + mtimeShift;
    QVERIFY(writeForeign(path, uri.isEmpty() ? ownUri : uri, mtime, Qt::red,
                         folder == QLatin1String("large") ? QSize(256, 144) : QSize(128, 72)));
    const QImage found = ThumbnailStore::find(m_video);
    QCOMPARE(!found.isNull(), used);
    if (used)
        QCOMPARE(found.pixelColor(5, 5), QColor(Qt::red));

    // The worker shows it without grabbing, 60 rows high; an invalid one is replaced by a grab.
    const QList<VlcThumbnails::OutData> results = grabAll({m_video});
    QCOMPARE(results.size(), 1);
    const QImage shown = results.first().image;
    QCOMPARE(shown.height(), VlcThumbnails::ThumbnailHeight);
    QCOMPARE(shown.pixelColor(shown.width() / 2, 30) == QColor(Qt::red), used);
    if (!used)
        QVERIFY(!ThumbnailStore::find(m_video).isNull());
}

void TestThumbnailStore::failuresAreNotedInOwnFolder()
{
    const QString broken = card(QStringLiteral("001_0002_20240501120100.mp4"));
    QVERIFY(QFile::copy(TestMedia::path(TestMedia::Random), broken));
    QVERIFY(!ThumbnailStore::hasFailed(broken));
    const QList<VlcThumbnails::OutData> results = grabAll({broken});
    QCOMPARE(results.size(), 1);
    QVERIFY(results.first().image.isNull());
    QVERIFY(ThumbnailStore::hasFailed(broken));
    const QString noted =
        ThumbnailStore::failFolder() + QLatin1Char('/') + ThumbnailStore::fileNameFor(broken);
    QVERIFY(noted.startsWith(thumbnails() + QStringLiteral("/fail/tarrow-")));
    QCOMPARE(modeOf(noted), mode_t(0600));
    QCOMPARE(QImage(noted).text(QStringLiteral("Thumb::URI")), ThumbnailStore::uriOf(broken));
    // No normal thumbnail of it, and the note holds only while the file stays as it was.
    QVERIFY(ThumbnailStore::find(broken).isNull());
    QVERIFY(touch(broken, QFileInfo(broken).lastModified().addSecs(5)));
    QVERIFY(!ThumbnailStore::hasFailed(broken));
}

void TestThumbnailStore::workerGrabsOnceAndThenUsesTheThumbnail()
{
    // H.264 and H.265 alike: the grab is kept as a normal thumbnail of 128 pixels.
    const QString h265 = card(QStringLiteral("002_0001_20240501130000.mp4"));
    QVERIFY(QFile::copy(TestMedia::path(TestMedia::HevcHvc1), h265));
    const QList<VlcThumbnails::OutData> first = grabAll({m_video, h265});
    QCOMPARE(first.size(), 2);
    for (const QString& file : {m_video, h265}) {
        const QImage kept = ThumbnailStore::find(file);
        QVERIFY2(!kept.isNull(), qPrintable(file));
        QCOMPARE(qMax(kept.width(), kept.height()), ThumbnailStore::NormalSize);
    }
    for (const VlcThumbnails::OutData& result : first)
        QCOMPARE(result.image.height(), VlcThumbnails::ThumbnailHeight);

    // The next run takes them from the files: marked by hand, the mark is what it shows.
    const QString path = thumbnails() + QStringLiteral("/normal/") + ThumbnailStore::fileNameFor(h265);
    QVERIFY(writeForeign(path, ThumbnailStore::uriOf(h265), QFileInfo(h265).lastModified().toSecsSinceEpoch(),
                         Qt::blue));
    const QList<VlcThumbnails::OutData> second = grabAll({h265});
    QCOMPARE(second.size(), 1);
    QCOMPARE(second.first().image.pixelColor(20, 20), QColor(Qt::blue));
}

QTEST_MAIN(TestThumbnailStore)
#include "tst_thumbnailstore.moc"
