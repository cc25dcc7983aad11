#include "writablepath.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

// Files the program writes for itself: the start-up trace and the writable-folder probe's test
// file. Links planted by someone else are never followed, nothing lands in a shared temp
// folder, and two users never share a file.
class TestPrivateFiles : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void startupLeavesPlantedLinksAlone();
    void writesOnlyRegularFilesOfItsOwn();
    void probeSkipsSharedFoldersAndPlantedNames();

private:
    QTemporaryDir m_tmp;
    QString m_victim;
    QString m_state;
    QString m_temp;
};

void TestPrivateFiles::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    m_victim = m_tmp.filePath(QStringLiteral("victim.txt"));
    QVERIFY(writeFile(m_victim, "precious"));
    m_state = m_tmp.filePath(QStringLiteral("state"));
    m_temp = m_tmp.filePath(QStringLiteral("temp"));
    QVERIFY(QDir().mkpath(m_temp));
    qputenv("XDG_STATE_HOME", m_state.toLocal8Bit());
    qputenv("TMPDIR", m_temp.toLocal8Bit());
}

void TestPrivateFiles::startupLeavesPlantedLinksAlone()
{
    // What another user of the machine could place in the shared temp folder.
    for (const char* name : {"/.testlogfile", "/.testfile", "/.settings.ini", "/startup.log"}) {
        QVERIFY(QFile::link(m_victim, m_temp + QLatin1String(name)));
    }
    // The trace's own place already holds a link too: it is not written through.
    QVERIFY(QDir().mkpath(m_state + QStringLiteral("/Tarrow")));
    QVERIFY(QFile::link(m_victim, m_state + QStringLiteral("/Tarrow/startup.log")));

    const QString settings = ZelSettings::getWritablePath();
    ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.path());

    QCOMPARE(contents(m_victim), QByteArray("precious"));
    QVERIFY(!settings.startsWith(m_temp));
    QVERIFY(!settings.startsWith(QDir::tempPath()));
    QCOMPARE(QFileInfo(m_state + QStringLiteral("/Tarrow/startup.log")).isSymLink(), true);
    QFile::remove(settings);

    // Without the planted link the trace is written, in the user's own folder, readable by
    // the user only.
    QCOMPARE(Fs::startupTracePath(), m_state + QStringLiteral("/Tarrow/startup.log"));
    struct stat info = {};
    QCOMPARE(::stat(QFile::encodeName(m_state + QStringLiteral("/Tarrow")).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & 0777), 0700);
}

void TestPrivateFiles::writesOnlyRegularFilesOfItsOwn()
{
    const QString dir = m_tmp.filePath(QStringLiteral("open"));
    QVERIFY(QDir().mkpath(dir));

    const QString link = dir + QStringLiteral("/link");
    QVERIFY(QFile::link(m_victim, link));
    QCOMPARE(Fs::openPrivateFileForWriting(link), -1);

    // A FIFO would block a writer until someone reads it; it is refused at once.
    const QString fifo = dir + QStringLiteral("/fifo");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(Fs::openPrivateFileForWriting(fifo), -1);

    // A second name of another file would let the text land there.
    const QString hardLink = dir + QStringLiteral("/hard");
    QCOMPARE(::link(QFile::encodeName(m_victim).constData(), QFile::encodeName(hardLink).constData()), 0);
    QCOMPARE(Fs::openPrivateFileForWriting(hardLink), -1);
    QCOMPARE(contents(m_victim), QByteArray("precious"));
    QFile::remove(hardLink);

    const QString fresh = dir + QStringLiteral("/fresh");
    const int fd = Fs::openPrivateFileForWriting(fresh);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, "new", 3), ssize_t(3));
    ::close(fd);
    QCOMPARE(contents(fresh), QByteArray("new"));
    QCOMPARE(QFile::permissions(fresh) & (QFileDevice::ReadOther | QFileDevice::ReadGroup),
             QFileDevice::Permissions());
    // An old trace is replaced, not appended to.
    const int again = Fs::openPrivateFileForWriting(fresh);
    QVERIFY(again >= 0);
    ::close(again);
    QCOMPARE(contents(fresh), QByteArray());
}

void TestPrivateFiles::probeSkipsSharedFoldersAndPlantedNames()
{
    const QString shared = m_tmp.filePath(QStringLiteral("shared"));
    const QString own = m_tmp.filePath(QStringLiteral("own"));
    QVERIFY(QDir().mkpath(shared) && QDir().mkpath(own));
    QCOMPARE(::chmod(QFile::encodeName(shared).constData(), 01777), 0);
    // The probe's old fixed test name, planted as a link in the folder that will be used.
    QVERIFY(QFile::link(m_victim, own + QStringLiteral("/.testfile")));

    std::ostringstream log;
    QCOMPARE(Fs::probeWritableCandidates({shared, own}, log), own);
    QCOMPARE(contents(m_victim), QByteArray("precious"));
    QVERIFY(QFileInfo(own + QStringLiteral("/.testfile")).isSymLink());
    QCOMPARE(QDir(own).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
    QVERIFY(
        QString::fromStdString(log.str()).contains(QStringLiteral("shared with other users, dir ") + shared));

    // A temp folder or a system-wide folder (/etc/xdg, /usr/share) is never a place for one
    // user's settings, installed or not.
    for (const bool installed : {false, true}) {
        const QStringList candidates = Fs::writablePathCandidates(installed, QStringLiteral("/opt/x/bin"));
        for (const QString& temp : QStandardPaths::standardLocations(QStandardPaths::TempLocation)) {
            QVERIFY(!candidates.contains(temp));
        }
        for (const QString& candidate : candidates) {
            QVERIFY2(candidate == QStringLiteral("/opt/x/bin") || candidate.startsWith(QDir::homePath()),
                     qPrintable(candidate));
        }
    }
}

QTEST_GUILESS_MAIN(TestPrivateFiles)
#include "tst_privatefiles.moc"
