#include "writablepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <fstream>
#include <ostream>

namespace {

std::ostream& operator<<(std::ostream& os, const QString& text)
{
    return os << text.toStdString();
}

void appendLocations(QStringList& list, QStandardPaths::StandardLocation location)
{
    list += QStandardPaths::standardLocations(location);
}

} // namespace

namespace Fs {

bool isInstalledLocation(const QString& appDir)
{
    static const QStringList prefixes = {QStringLiteral("/usr/"), QStringLiteral("/opt/")};
    const QString dir = QDir::cleanPath(appDir) + QLatin1Char('/');
    for (const QString& prefix : prefixes) {
        if (dir.startsWith(prefix)) {
            return true;
        }
    }
    return false;
}

QStringList writablePathCandidates(bool installed, const QString& appDir)
{
    QStringList list;
    if (!installed) {
        list << appDir;
    }
    appendLocations(list, QStandardPaths::AppConfigLocation);
    appendLocations(list, QStandardPaths::AppLocalDataLocation);
    appendLocations(list, QStandardPaths::AppDataLocation);
    // DataLocation is the same list as AppLocalDataLocation; it is tried again on purpose
    // so the order of candidates stays what earlier versions used.
    appendLocations(list, QStandardPaths::AppLocalDataLocation);
    if (installed) {
        list << appDir;
    }
    appendLocations(list, QStandardPaths::TempLocation);
    return list;
}

QString probeWritableCandidates(const QStringList& candidates, std::ostream& log)
{
    static const QString testFileName = QStringLiteral("/.testfile");
    const QString savedCurrent = QDir::currentPath();
    QString result;
    bool first = true;
    for (const QString& candidate : candidates) {
        if (!first) {
            log << std::endl;
        }
        first = false;
        result.clear();

        if (!QDir(candidate).exists() && !QDir().mkpath(candidate)) {
            log << "\tPath does not exist and cannot be created, dir " << candidate << std::endl;
            continue;
        }
        if (!QDir::setCurrent(candidate)) {
            log << "\tCannot set current path to" << candidate << std::endl;
            continue;
        }
        log << "Current path: " << QDir::currentPath() << std::endl;

        const QString testPath = candidate + testFileName;
        QFile file(testPath);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            continue;
        }
        const QString written = QStringLiteral("\ttesting file ") + testPath;
        const QByteArray bytes = written.toLatin1();
        const bool writeOk = file.write(bytes) == bytes.size();
        file.close();

        QString read;
        if (writeOk && file.open(QIODevice::ReadOnly)) {
            const QByteArray back = file.read(written.size());
            read = QString::fromLatin1(back.constData(),
                                       static_cast<int>(qstrnlen(back.constData(), back.size())));
            file.close();
        }
        const int compare = QString::localeAwareCompare(written, read);
        log << "File read: " << std::endl;
        log << "\t\tW string " << written << std::endl;
        log << "\t\tR string " << read << std::endl;
        log << "\t\tCompare result is " << compare << std::endl;
        if (compare == 0) {
            log << "\tFile exists " << testPath << std::endl;
            file.remove();
            result = candidate;
            break;
        }
        log << "\tFile created but does not exist " << testPath << std::endl;
        file.remove();
    }
    QDir::setCurrent(savedCurrent);
    log << "Writable path [" << result << "]" << std::endl;
    return result;
}

QString getWritablePath()
{
    static std::ofstream log((QDir::tempPath() + QStringLiteral("/.testlogfile")).toStdString(),
                             std::ios::out | std::ios::trunc);

    log << "System detected: " << QSysInfo::prettyProductName() << std::endl << std::endl;

    const QString appDir = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    const bool installed = isInstalledLocation(appDir);
    log << "Path id: Application\t\tPath: [" << appDir << "]" << std::endl;
    log << std::endl
        << "Application is " << (installed ? "installed" : "standalone") << std::endl
        << std::endl;

    return probeWritableCandidates(writablePathCandidates(installed, appDir), log);
}

} // namespace Fs
