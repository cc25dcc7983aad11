#include "fsdrives.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>

namespace {

const QSet<QByteArray>& pseudoFileSystems()
{
    static const QSet<QByteArray> types = {
        "proc",    "sysfs",       "cgroup",          "cgroup2",    "devtmpfs",   "devpts",    "securityfs",
        "pstore",  "bpf",         "tracefs",         "debugfs",    "mqueue",     "hugetlbfs", "configfs",
        "fusectl", "autofs",      "binfmt_misc",     "efivarfs",   "rpc_pipefs", "nsfs",      "squashfs",
        "overlay", "fuse.portal", "fuse.gvfsd-fuse", "fuse.lxcfs", "selinuxfs",  "nfsd"};
    return types;
}

const QSet<QByteArray>& networkFileSystems()
{
    static const QSet<QByteArray> types = {"nfs",        "nfs4",        "cifs",        "smb3",      "smbfs",
                                           "9p",         "afs",         "ceph",        "glusterfs", "davfs",
                                           "fuse.sshfs", "fuse.davfs2", "fuse.rclone", "fuse.s3fs"};
    return types;
}

// Folders of the system itself; volumes mounted there are not for browsing. Removable
// media mounted by the desktop under /run/media stay.
bool isSystemMount(const QString& root)
{
    static const QStringList prefixes = {
        QStringLiteral("/proc"), QStringLiteral("/sys"),  QStringLiteral("/dev"),     QStringLiteral("/run"),
        QStringLiteral("/boot"), QStringLiteral("/snap"), QStringLiteral("/var/lib"), QStringLiteral("/etc")};
    if (root.startsWith(QLatin1String("/run/media/"))) {
        return false;
    }
    for (const QString& prefix : prefixes) {
        if (root == prefix || root.startsWith(prefix + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

bool isBrowsable(const QStorageInfo& volume)
{
    if (!volume.isValid()) {
        return false;
    }
    const QString root = volume.rootPath();
    if (root == QLatin1String("/")) {
        return true;
    }
    return !pseudoFileSystems().contains(volume.fileSystemType()) && !isSystemMount(root);
}

QString sysBlockPathOf(const QString& device)
{
    if (!device.startsWith(QLatin1String("/dev/"))) {
        return QString();
    }
    const QString name = QFileInfo(QFileInfo(device).canonicalFilePath()).fileName();
    const QString path = QStringLiteral("/sys/class/block/") + name;
    return QFileInfo::exists(path) ? QFileInfo(path).canonicalFilePath() : QString();
}

bool isRemovableBlockDevice(const QString& sysBlockPath)
{
    if (sysBlockPath.isEmpty()) {
        return false;
    }
    // A partition's folder sits inside its disk's folder; the disk carries the flag.
    for (const QString& dir : {sysBlockPath, QFileInfo(sysBlockPath).path()}) {
        QFile flag(dir + QStringLiteral("/removable"));
        if (flag.open(QIODevice::ReadOnly) && flag.readAll().trimmed() == "1") {
            return true;
        }
    }
    const QString name = QFileInfo(sysBlockPath).fileName();
    // USB sticks and card readers, and memory cards in built-in readers.
    return sysBlockPath.contains(QLatin1String("/usb")) || name.startsWith(QLatin1String("mmcblk"));
}

Fs::DriveType driveTypeOf(const QString& path)
{
    if (path.isEmpty()) {
        return Fs::None;
    }
    const QStorageInfo volume(path);
    if (!volume.isValid()) {
        return Fs::None;
    }
    const QString device = QString::fromLocal8Bit(volume.device());
    return Fs::volumeType(QString::fromLatin1(volume.fileSystemType()), device, volume.rootPath(),
                          sysBlockPathOf(device));
}

} // namespace

namespace Fs {

QString Drive::typeName() const
{
    static const QMap<int, QString> names = {
        {None, QStringLiteral("None")},     {Local, QStringLiteral("Local")},
        {Remote, QStringLiteral("Remote")}, {Removable, QStringLiteral("Removable")},
        {CdRom, QStringLiteral("CdRom")},   {Ramdisk, QStringLiteral("Ramdisk")},
        {Other, QStringLiteral("Other")},   {Unknown, QStringLiteral("Unknown")}};
    return names.value(type, QStringLiteral("Invalid"));
}

bool Drive::operator==(const Drive& other) const
{
    return QString::localeAwareCompare(name, other.name) == 0 &&
           QString::localeAwareCompare(path, other.path) == 0 && type == other.type;
}

bool Drive::operator<(const Drive& other) const
{
    return QString::localeAwareCompare(path, other.path) < 0;
}

DriveType volumeType(const QString& fsType, const QString& device, const QString& rootPath,
                     const QString& sysBlockPath)
{
    const QByteArray type = fsType.toLatin1();
    if (networkFileSystems().contains(type) || device.startsWith(QLatin1String("//"))) {
        return Remote;
    }
    if (type == "iso9660" || type == "udf") {
        return CdRom;
    }
    if (type == "tmpfs" || type == "ramfs") {
        return Ramdisk;
    }
    if (isRemovableBlockDevice(sysBlockPath)) {
        return Removable;
    }
    if (rootPath == QLatin1String("/") || device.startsWith(QLatin1String("/dev/"))) {
        return Local;
    }
    if (pseudoFileSystems().contains(type)) {
        return Unknown;
    }
    // Other mounted file systems (fuse, zfs datasets, bind mounts) hold ordinary files.
    return fsType.isEmpty() ? Unknown : Local;
}

QString volumeDisplayName(DriveType type, const QString& label, const QString& device,
                          const QString& rootPath)
{
    if (type == Remote) {
        QString unc = device;
        unc.replace(QLatin1Char(':'), QLatin1Char('/'));
        const QStringList parts = unc.split(QLatin1Char('/'), Qt::SkipEmptyParts);
        if (parts.size() >= 2) {
            return parts.at(1) + QStringLiteral(" (\\\\") + parts.at(0).toUpper() + QStringLiteral(") (") +
                   rootPath + QLatin1Char(')');
        }
        return rootPath;
    }
    if (!label.isEmpty() && label != rootPath) {
        return label + QStringLiteral(" (") + rootPath + QLatin1Char(')');
    }
    return rootPath;
}

void getDrives(QList<Drive>& drives, bool withNames)
{
    for (const QString& home : QStandardPaths::standardLocations(QStandardPaths::HomeLocation)) {
        if (QDir(home).exists()) {
            drives.append(Drive(QStandardPaths::displayName(QStandardPaths::HomeLocation), home, Local));
            break;
        }
    }
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!isBrowsable(volume)) {
            continue;
        }
        const QString root = volume.rootPath();
        const QString device = QString::fromLocal8Bit(volume.device());
        const DriveType type =
            volumeType(QString::fromLatin1(volume.fileSystemType()), device, root, sysBlockPathOf(device));
        const QString name = withNames ? volumeDisplayName(type, volume.name(), device, root) : root;
        drives.append(Drive(name, QFileInfo(root).absoluteFilePath(), type));
    }
    std::stable_sort(drives.begin(), drives.end());
}

bool checkDirExists(const QString& path)
{
    if (path.isEmpty() || !isPathMounted(path)) {
        return false;
    }
    return QFileInfo(path).isDir();
}

bool isPathRemote(const QString& path)
{
    return !path.isEmpty() && driveTypeOf(path) == Remote;
}

bool isPathMounted(const QString& path)
{
    if (path.isEmpty()) {
        return false;
    }
    const DriveType type = driveTypeOf(path);
    return type != None && type != Unknown;
}

} // namespace Fs
