#include "zelsettings.h"

#include "writablepath.h"
#include "zelcfg.h"

#include <QMap>
#include <QMutex>
#include <QSettings>

namespace ZelSettings {

namespace {

QString writableDir()
{
    static const QString path = Fs::getWritablePath();
    return path;
}

// The settings of a run that cannot save them.
QMutex& memoryMutex()
{
    static QMutex mutex;
    return mutex;
}

QMap<QString, QVariant>& memory()
{
    static QMap<QString, QVariant> values;
    return values;
}

} // namespace

QString getWritablePath(FileType type)
{
    const QString dir = writableDir();
    if (dir.isEmpty())
        return QString();
    return dir + (type == SettingsFile ? Settings : Logs);
}

bool isPersistent()
{
    return !writableDir().isEmpty();
}

QVariant value(const QString& key, const QVariant& defaultValue)
{
    if (!isPersistent()) {
        QMutexLocker lock(&memoryMutex());
        return memory().value(key, defaultValue);
    }
    const QSettings settings(getWritablePath(SettingsFile), QSettings::IniFormat);
    return settings.value(key, defaultValue);
}

void setValue(const QString& key, const QVariant& value)
{
    if (!isPersistent()) {
        QMutexLocker lock(&memoryMutex());
        memory().insert(key, value);
        return;
    }
    QSettings settings(getWritablePath(SettingsFile), QSettings::IniFormat);
    settings.setValue(key, value);
}

void remove(const QString& key)
{
    if (!isPersistent()) {
        QMutexLocker lock(&memoryMutex());
        memory().remove(key);
        return;
    }
    QSettings settings(getWritablePath(SettingsFile), QSettings::IniFormat);
    settings.remove(key);
}

} // namespace ZelSettings
