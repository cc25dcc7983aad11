#include "writablepath.h"

#include "zelcfg.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QSysInfo>

#include <cerrno>
#include <fcntl.h>
#include <ostream>
#include <streambuf>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const TraceFileName = "startup.log";

std::ostream& operator<<(std::ostream& os, const QString& text)
{
    return os << text.toStdString();
}

// The user's own folder of a kind. The system-wide folders of the same kind (/etc/xdg,
// /usr/share ...) are shared by every user of the machine and are left out.
void appendLocations(QStringList& list, QStandardPaths::StandardLocation location)
{
    const QString own = QStandardPaths::writableLocation(location);
    if (!own.isEmpty())
        list << own;
}

// Writes straight to a file descriptor it owns; unbuffered, so every line is on disk at once.
class DescriptorBuffer : public std::streambuf
{
public:
    explicit DescriptorBuffer(int fd) : m_fd(fd) {}
    ~DescriptorBuffer() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    DescriptorBuffer(const DescriptorBuffer&) = delete;
    DescriptorBuffer& operator=(const DescriptorBuffer&) = delete;

protected:
    int_type overflow(int_type ch) override
    {
        if (traits_type::eq_int_type(ch, traits_type::eof()))
            return traits_type::not_eof(ch);
        const char c = traits_type::to_char_type(ch);
        return xsputn(&c, 1) == 1 ? ch : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override
    {
        if (m_fd < 0)
            return size; // no trace file: the text goes nowhere
        std::streamsize done = 0;
        while (done < size) {
            const ssize_t n = ::write(m_fd, data + done, size_t(size - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return done;
            done += n;
        }
        return done;
    }

private:
    int m_fd;
};

// A folder that is not the user's own to keep settings in: writable by everybody (a shared
// temp folder) or owned by someone else.
bool isShared(const QString& dir)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(dir).constData(), &info) != 0)
        return false;
    return (info.st_mode & S_IWOTH) != 0 || info.st_uid != ::geteuid();
}

bool makePrivateDir(const QString& dir)
{
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return false;
    // Only the user reads the trace.
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return !isShared(dir);
}

} // namespace

namespace Fs {

QString traceDirectory()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    QString stateDir = state + QLatin1Char('/') + ZelCfg::AppName;
    if (makePrivateDir(stateDir))
        return stateDir;
    QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (makePrivateDir(cacheDir))
        return cacheDir;
    return QString();
}

QString startupTracePath()
{
    const QString dir = traceDirectory();
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + QLatin1String(TraceFileName);
}

int openPrivateFileForWriting(const QString& path)
{
    if (path.isEmpty())
        return -1;
    // O_NONBLOCK: opening a FIFO must not wait for a reader; it is refused below anyway.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return -1;
    struct stat info = {};
    // A second name (a hard link) would let the text land in a file the user did not mean.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_nlink != 1 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

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
    // No temp folder: settings kept there could be read or replaced by other users.
    return list;
}

QString probeWritableCandidates(const QStringList& candidates, std::ostream& log)
{
    static const QString testFileName = QStringLiteral("/.testfile.XXXXXX");
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
        if (isShared(candidate)) {
            log << "\tPath is shared with other users, dir " << candidate << std::endl;
            continue;
        }
        if (!QDir::setCurrent(candidate)) {
            log << "\tCannot set current path to" << candidate << std::endl;
            continue;
        }
        log << "Current path: " << QDir::currentPath() << std::endl;

        // Created new under a unique name (O_EXCL): whatever lies in the folder already, a
        // symbolic link included, is never opened.
        QByteArray nativePath = QFile::encodeName(candidate + testFileName);
        const int fd = ::mkostemp(nativePath.data(), O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        const QString testPath = QFile::decodeName(nativePath);
        const QString written = QStringLiteral("\ttesting file ") + testPath;
        const QByteArray bytes = written.toLatin1();
        const bool writeOk = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();

        QString read;
        if (writeOk && ::lseek(fd, 0, SEEK_SET) == 0) {
            QByteArray back(bytes.size(), '\0');
            const ssize_t n = ::read(fd, back.data(), size_t(back.size()));
            back.truncate(int(qMax<ssize_t>(n, 0)));
            read = QString::fromLatin1(back.constData(),
                                       static_cast<int>(qstrnlen(back.constData(), back.size())));
        }
        ::close(fd);
        ::unlink(nativePath.constData());

        const int compare = QString::localeAwareCompare(written, read);
        log << "File read: " << std::endl;
        log << "\t\tW string " << written << std::endl;
        log << "\t\tR string " << read << std::endl;
        log << "\t\tCompare result is " << compare << std::endl;
        if (compare == 0) {
            log << "\tFile exists " << testPath << std::endl;
            result = candidate;
            break;
        }
        log << "\tFile created but does not exist " << testPath << std::endl;
    }
    QDir::setCurrent(savedCurrent);
    log << "Writable path [" << result << "]" << std::endl;
    return result;
}

QString getWritablePath()
{
    static DescriptorBuffer traceBuffer(openPrivateFileForWriting(startupTracePath()));
    static std::ostream log(&traceBuffer);

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
