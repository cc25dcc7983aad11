#include "fsdrives.h"
#include "writablepath.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sstream>

// Where the program may write: the candidates in order, the probe that picks the first usable one
// and the settings module that runs it once per process. What the user can browse: the volumes,
// their kind and name from what the mount table says, and the path queries the dialog relies on.
class TestStorage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_tmp.isValid());
        // The trace goes to the user's state folder; keep it private to this test process.
        qputenv("XDG_STATE_HOME", m_tmp.path().toLocal8Bit());
    }

    void skipsUnusableCandidates()
    {
        // A path below a regular file can never be created.
        const QString plainFile = m_tmp.filePath(QStringLiteral("plain"));
        QFile file(plainFile);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString uncreatable = plainFile + QStringLiteral("/sub");
        // An existing folder that every user may write to: never used for settings.
        const QString blocked = m_tmp.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(blocked));
        QVERIFY(QFile::setPermissions(blocked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                   QFile::WriteOther | QFile::ExeOther | QFile::ReadOther));
        const QString good = m_tmp.filePath(QStringLiteral("good/nested"));
        const QString before = QDir::currentPath();

        std::ostringstream log;
        QCOMPARE(Fs::probeWritableCandidates({uncreatable, blocked, QStringLiteral("/proc"), good}, log),
                 good);
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(QDir(good).exists());
        QCOMPARE(QDir(good).entryList(QDir::Files | QDir::Hidden), QStringList());
        const QString trace = QString::fromStdString(log.str());
        QVERIFY(trace.contains("\tPath does not exist and cannot be created, dir " + uncreatable));
        QVERIFY(trace.contains("\tFile exists " + good + "/.testfile."));
        QVERIFY(trace.endsWith("Writable path [" + good + "]\n"));

        std::ostringstream none;
        QCOMPARE(Fs::probeWritableCandidates({uncreatable, blocked}, none), QString());
        QCOMPARE(QDir::currentPath(), before);
        QVERIFY(QString::fromStdString(none.str()).endsWith(QStringLiteral("Writable path []\n")));
    }

    void installedLocationAndCandidateOrder()
    {
        for (const char* dir : {"/usr/bin", "/usr/local/bin", "/opt/tarrow/bin"})
            QVERIFY2(Fs::isInstalledLocation(dir), dir);
        for (const char* dir : {"/home/driver/src/tarrow/build/app", "/media/driver/CARD/tarrow",
                                "/usrdata/tarrow", "/usr/../home/driver/tarrow"})
            QVERIFY2(!Fs::isInstalledLocation(dir), dir);

        const QString appDir = QStringLiteral("/some/app/dir");
        const QStringList standalone = Fs::writablePathCandidates(false, appDir);
        const QStringList installed = Fs::writablePathCandidates(true, appDir);
        QCOMPARE(standalone.first(), appDir);
        QCOMPARE(standalone.count(appDir), 1);
        QCOMPARE(installed.count(appDir), 1);
        // Installed: the per-user configuration folder comes first, the program folder last.
        QCOMPARE(installed.first(),
                 QStandardPaths::standardLocations(QStandardPaths::AppConfigLocation).first());
        QCOMPARE(standalone.mid(1), installed.mid(0, installed.size() - 1));
        QCOMPARE(installed.last(), appDir);
    }

    void probeRunsOncePerProcess()
    {
        const QString before = QDir::currentPath();
        const QString settings = ZelSettings::getWritablePath(ZelSettings::SettingsFile);
        // Three modules reading and writing keys, as at start-up.
        ZelSettings::value(ZelSettings::LocaleLanguage, ZelSettings::LocaleLanguageDefault);
        ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.path());
        QCOMPARE(ZelSettings::value(ZelSettings::PlaylistPath).toString(), m_tmp.path());
        QCOMPARE(ZelSettings::getWritablePath(ZelSettings::LogFile),
                 settings.left(settings.size() - ZelSettings::Settings.size()) + ZelSettings::Logs);
        QCOMPARE(QDir::currentPath(), before);

        // The test program lives in a build tree, so it is standalone and its own folder wins.
        QCOMPARE(settings, QCoreApplication::applicationDirPath() + QStringLiteral("/.settings.ini"));
        QFile::remove(settings);

        QFile trace(m_tmp.filePath(QStringLiteral("Tarrow/startup.log")));
        QVERIFY(trace.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(trace.readAll());
        QCOMPARE(text.count(QStringLiteral("Writable path [")), 1);
        QVERIFY(text.contains(QStringLiteral("Application is standalone")));
    }

    void volumeKindsAndNames()
    {
        struct Row
        {
            const char* fsType;
            const char* device;
            const char* root;
            Fs::DriveType type;
        };
        const Row kinds[] = {{"ext4", "/dev/nvme0n1p2", "/", Fs::Local},
                             {"overlay", "overlay", "/", Fs::Local},
                             {"cifs", "//fileserver/photos", "/mnt/photos", Fs::Remote},
                             {"nfs4", "nas:/export/cam", "/mnt/cam", Fs::Remote},
                             {"fuse.sshfs", "me@host:/data", "/home/me/remote", Fs::Remote},
                             {"iso9660", "/dev/sr0", "/media/me/DISC", Fs::CdRom},
                             {"tmpfs", "tmpfs", "/tmp", Fs::Ramdisk},
                             {"proc", "proc", "/proc", Fs::Unknown},
                             {"", "", "/somewhere", Fs::Unknown}};
        for (const Row& row : kinds)
            QCOMPARE(Fs::volumeType(row.fsType, row.device, row.root, QString()), row.type);

        struct Name
        {
            Fs::DriveType type;
            const char* label;
            const char* device;
            const char* name;
        };
        const Name names[] = {
            {Fs::Removable, "DASHCAM", "/dev/sdb1", "DASHCAM (/media/me/CARD)"},
            {Fs::Removable, "", "/dev/sdb1", "/media/me/CARD"},
            {Fs::Local, "/media/me/CARD", "/dev/sda1", "/media/me/CARD"},
            {Fs::Remote, "", "//fileserver/photos", "photos (\\\\FILESERVER) (/media/me/CARD)"},
            {Fs::Remote, "", "nas:/export/cam", "export (\\\\NAS) (/media/me/CARD)"},
            {Fs::Remote, "", "//server", "/media/me/CARD"}};
        for (const Name& row : names)
            QCOMPARE(Fs::volumeDisplayName(row.type, row.label, row.device, "/media/me/CARD"),
                     QString(row.name));
    }

    void driveOrderAndEquality()
    {
        const Fs::Drive root("/", "/", Fs::Local);
        const Fs::Drive home("Home", "/home/me", Fs::Local);
        const Fs::Drive card("CARD (/media/me/CARD)", "/media/me/CARD", Fs::Removable);
        QList<Fs::Drive> drives = {card, home, root};
        std::sort(drives.begin(), drives.end());
        QCOMPARE(drives, QList<Fs::Drive>({root, home, card}));
        QVERIFY(card != Fs::Drive(card.name, card.path, Fs::Local));
        QCOMPARE(card.typeName(), QStringLiteral("Removable"));
        QCOMPARE(Fs::Drive(QString(), QString(), Fs::DriveType(42)).typeName(), QStringLiteral("Invalid"));
    }

    void drivesListHomeAndRoot()
    {
        QList<Fs::Drive> drives;
        Fs::getDrives(drives, true);
        QVERIFY(std::is_sorted(drives.begin(), drives.end()));
        const QString home = QStandardPaths::standardLocations(QStandardPaths::HomeLocation).first();
        const auto byPath = [&drives](const QString& path) {
            return std::find_if(drives.begin(), drives.end(),
                                [&path](const Fs::Drive& d) { return d.path == path; });
        };
        QVERIFY(byPath(home) != drives.end());
        QCOMPARE(byPath(home)->name, QStandardPaths::displayName(QStandardPaths::HomeLocation));
        QVERIFY(byPath(QStringLiteral("/")) != drives.end());
        for (const Fs::Drive& drive : drives) {
            QVERIFY2(!drive.path.startsWith("/proc") && !drive.path.startsWith("/sys"),
                     qPrintable(drive.path));
            QVERIFY(drive.type != Fs::None);
        }
    }

    void pathQueries()
    {
        QTemporaryDir tmp;
        const QString dir = tmp.path() + QStringLiteral("/card");
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(Fs::checkDirExists(dir));
        QVERIFY(Fs::isPathMounted(dir));
        QVERIFY(!Fs::isPathRemote(dir));
        QVERIFY(!Fs::checkDirExists(QString()) && !Fs::isPathMounted(QString()) &&
                !Fs::isPathRemote(QString()));
        // A folder that went away with its medium.
        QVERIFY(QDir(dir).removeRecursively());
        QVERIFY(!Fs::checkDirExists(dir));
    }

private:
    QTemporaryDir m_tmp;
};

QTEST_GUILESS_MAIN(TestStorage)
#include "tst_storage.moc"
