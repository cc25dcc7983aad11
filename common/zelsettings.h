#pragma once

#include <QString>
#include <QVariant>

namespace ZelSettings {

enum FileType
{
    SettingsFile,
    LogFile
};

// The writable directory (probed once per process) followed by the file name of `type`.
QString getWritablePath(FileType type = SettingsFile);

// The settings file is never cached: each call opens it for one key and lets it go.
QVariant value(const QString& key, const QVariant& defaultValue = QVariant());
void setValue(const QString& key, const QVariant& value);

} // namespace ZelSettings
