#pragma once

#include <QList>
#include <QString>

#include <utility>

namespace Fs {

enum DriveType
{
    None = 0,
    Local = 1,
    Remote = 2,
    Removable = 3,
    CdRom = 4,
    Ramdisk = 5,
    Other = 6,
    Unknown = 7
};

// One place the user can browse: a mounted volume, or the home folder.
class Drive
{
public:
    Drive() = default;
    Drive(QString name, QString path, DriveType type)
        : name(std::move(name)), path(std::move(path)), type(type)
    {}
    virtual ~Drive() = default;
    Drive(const Drive&) = default;
    Drive& operator=(const Drive&) = default;

    QString typeName() const;
    bool operator==(const Drive& other) const;
    bool operator!=(const Drive& other) const { return !(*this == other); }
    bool operator<(const Drive& other) const;

    QString name;
    QString path;
    DriveType type = None;
};

// Appends the home folder and every mounted volume (system and pseudo file systems left
// out), then sorts the whole list by path. With `withNames` volumes are named by their
// label or network share; without, by their mount point.
void getDrives(QList<Drive>& drives, bool withNames);

bool checkDirExists(const QString& path);
bool isPathRemote(const QString& path);
bool isPathMounted(const QString& path);

// Kind of the volume mounted at `rootPath`. `device` is what was mounted (a block device,
// "//server/share", "server:/export"); `sysBlockPath` the device's folder under
// /sys/class/block, or empty when it has none.
DriveType volumeType(const QString& fsType, const QString& device, const QString& rootPath,
                     const QString& sysBlockPath);
// Display name of a volume: "LABEL (root)", "share (\\SERVER) (root)" or the root itself.
QString volumeDisplayName(DriveType type, const QString& label, const QString& device,
                          const QString& rootPath);

} // namespace Fs
