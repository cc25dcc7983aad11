#include "fsdrives.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// Volumes: their kind and name from what the mount table says, the list the sidebar shows,
// and the path queries the open dialog relies on.
class TestFsDrives : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_GUILESS_MAIN(TestFsDrives)
#include "tst_fsdrives.moc"
