#pragma once

#include <QString>
#include <QVariant>

namespace ZelSettings {

enum FileType
{
    SettingsFile,
    LogFile
};

// The writable directory (probed once per process) followed by the file name of `type`;
// empty when no private folder is writable.
QString getWritablePath(FileType type = SettingsFile);

// False when no private folder is writable: settings then live only as long as the process.
bool isPersistent();

// The settings file is never cached: each call opens it for one key and lets it go. Without
// a writable folder the values are kept in memory for this run and nothing is written.
QVariant value(const QString& key, const QVariant& defaultValue = QVariant());
void setValue(const QString& key, const QVariant& value);
void remove(const QString& key);

} // namespace ZelSettings
