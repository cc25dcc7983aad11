#include "zelsettings.h"

#include "writablepath.h"
#include "zelcfg.h"

#include <QSettings>

namespace ZelSettings {

QString getWritablePath(FileType type)
{
    static const QString path = Fs::getWritablePath();
    return path + (type == SettingsFile ? Settings : Logs);
}

QVariant value(const QString& key, const QVariant& defaultValue)
{
    const QSettings settings(getWritablePath(SettingsFile), QSettings::IniFormat);
    return settings.value(key, defaultValue);
}

void setValue(const QString& key, const QVariant& value)
{
    QSettings settings(getWritablePath(SettingsFile), QSettings::IniFormat);
    settings.setValue(key, value);
}

} // namespace ZelSettings
