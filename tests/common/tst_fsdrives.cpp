#include "fsdrives.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestFsDrives : public QObject
{
    Q_OBJECT
private slots:
    void volumeType_data();
    void volumeType();
    void displayName_data();
    void displayName();
    void driveOrderAndEquality();
    void drivesListHomeAndRoot();
    void pathQueries();
};

void TestFsDrives::volumeType_data()
{
    QTest::addColumn<QString>("fsType");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("root");
    QTest::addColumn<int>("type");
    QTest::newRow("system disk") << "ext4"
                                 << "/dev/nvme0n1p2"
                                 << "/" << int(Fs::Local);
    QTest::newRow("container root") << "overlay"
                                    << "overlay"
                                    << "/" << int(Fs::Local);
    QTest::newRow("samba share") << "cifs"
                                 << "//fileserver/photos"
                                 << "/mnt/photos" << int(Fs::Remote);
    QTest::newRow("nfs export") << "nfs4"
                                << "nas:/export/cam"
                                << "/mnt/cam" << int(Fs::Remote);
    QTest::newRow("sshfs") << "fuse.sshfs"
                           << "me@host:/data"
                           << "/home/me/remote" << int(Fs::Remote);
    QTest::newRow("dvd") << "iso9660"
                         << "/dev/sr0"
                         << "/media/me/DISC" << int(Fs::CdRom);
    QTest::newRow("tmpfs") << "tmpfs"
                           << "tmpfs"
                           << "/tmp" << int(Fs::Ramdisk);
    QTest::newRow("proc") << "proc"
                          << "proc"
                          << "/proc" << int(Fs::Unknown);
    QTest::newRow("nothing known") << ""
                                   << ""
                                   << "/somewhere" << int(Fs::Unknown);
}

void TestFsDrives::volumeType()
{
    QFETCH(QString, fsType);
    QFETCH(QString, device);
    QFETCH(QString, root);
    QFETCH(int, type);
    QCOMPARE(int(Fs::volumeType(fsType, device, root, QString())), type);
}

void TestFsDrives::displayName_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("name");
    const QString root = QStringLiteral("/media/me/CARD");
    QTest::newRow("labelled card") << int(Fs::Removable) << "DASHCAM"
                                   << "/dev/sdb1"
                                   << "DASHCAM (/media/me/CARD)";
    QTest::newRow("no label") << int(Fs::Removable) << ""
                              << "/dev/sdb1" << root;
    QTest::newRow("label equals root") << int(Fs::Local) << root << "/dev/sda1" << root;
    QTest::newRow("samba") << int(Fs::Remote) << ""
                           << "//fileserver/photos"
                           << "photos (\\\\FILESERVER) (/media/me/CARD)";
    QTest::newRow("nfs") << int(Fs::Remote) << ""
                         << "nas:/export/cam"
                         << "export (\\\\NAS) (/media/me/CARD)";
    QTest::newRow("share without name") << int(Fs::Remote) << ""
                                        << "//server" << root;
}

void TestFsDrives::displayName()
{
    QFETCH(int, type);
    QFETCH(QString, label);
    QFETCH(QString, device);
    QFETCH(QString, name);
    QCOMPARE(Fs::volumeDisplayName(Fs::DriveType(type), label, device, QStringLiteral("/media/me/CARD")),
             name);
}

void TestFsDrives::driveOrderAndEquality()
{
    const Fs::Drive root(QStringLiteral("/"), QStringLiteral("/"), Fs::Local);
    const Fs::Drive home(QStringLiteral("Home"), QStringLiteral("/home/me"), Fs::Local);
    const Fs::Drive card(QStringLiteral("CARD (/media/me/CARD)"), QStringLiteral("/media/me/CARD"),
                         Fs::Removable);
    QList<Fs::Drive> drives = {card, home, root};
    std::sort(drives.begin(), drives.end());
    QCOMPARE(drives, QList<Fs::Drive>({root, home, card}));
    QVERIFY(card != Fs::Drive(card.name, card.path, Fs::Local));
    QCOMPARE(card.typeName(), QStringLiteral("Removable"));
    QCOMPARE(Fs::Drive(QString(), QString(), Fs::DriveType(42)).typeName(), QStringLiteral("Invalid"));
}

void TestFsDrives::drivesListHomeAndRoot()
{
    QList<Fs::Drive> drives;
    Fs::getDrives(drives, true);
    QVERIFY(!drives.isEmpty());
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
        QVERIFY2(!drive.path.startsWith(QLatin1String("/proc")) &&
                     !drive.path.startsWith(QLatin1String("/sys")),
                 qPrintable(drive.path));
        QVERIFY(drive.type != Fs::None);
    }
}

void TestFsDrives::pathQueries()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/card");
    QVERIFY(QDir().mkpath(dir));
    QVERIFY(Fs::checkDirExists(dir));
    QVERIFY(Fs::isPathMounted(dir));
    QVERIFY(!Fs::isPathRemote(dir));
    QVERIFY(!Fs::checkDirExists(QString()));
    QVERIFY(!Fs::isPathMounted(QString()));
    QVERIFY(!Fs::isPathRemote(QString()));
    // A folder that went away with its medium.
    QVERIFY(QDir(dir).removeRecursively());
    QVERIFY(!Fs::checkDirExists(dir));
}

QTEST_GUILESS_MAIN(TestFsDrives)
#include "tst_fsdrives.moc"
