#include "mediacache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Magic = QByteArrayLiteral("TarrowMC");
constexpr quint32 FormatVersion = 1;
constexpr int DigestSize = 20;                   // SHA-1
constexpr qint64 UseResolution = 24LL * 60 * 60; // seconds
// A cache file far beyond any limit is not one of ours: it is not read at all.
constexpr qint64 MaxReadBytes = 1LL << 30;

std::atomic<bool> enabled{true};

QByteArray digest(const QByteArray& body)
{
    return QCryptographicHash::hash(body, QCryptographicHash::Sha1);
}

qint64 now()
{
    return QDateTime::currentSecsSinceEpoch();
}

} // namespace

MediaCache::MediaCache(QString name, QString generation)
    : m_name(std::move(name)), m_generation(std::move(generation))
{}

QString MediaCache::folder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Tarrow");
}

void MediaCache::setEnabled(bool on)
{
    enabled = on;
}

bool MediaCache::isEnabled()
{
    return enabled;
}

bool MediaCache::clearAll()
{
    bool cleared = true;
    QDir dir(folder());
    const QStringList files = dir.entryList({QStringLiteral("*.cache")}, QDir::Files | QDir::Hidden);
    for (const QString& file : files)
        cleared = dir.remove(file) && cleared;
    return cleared;
}

QString MediaCache::filePath() const
{
    return folder() + QLatin1Char('/') + m_name + QStringLiteral(".cache");
}

bool MediaCache::makePrivateFolder(const QString& path)
{
    // Each missing level is made private to the user; existing ones are left as they are.
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QString built;
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        built += QLatin1Char('/') + part;
        const QByteArray native = QFile::encodeName(built);
        if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info = {};
    return ::lstat(QFile::encodeName(absolute).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool MediaCache::writeAtomically(const QString& path, const QByteArray& bytes)
{
    // A new file of the user's alone beside the target, renamed over it once complete: a reader
    // sees the old file or the new one, never half of one, and no link is followed.
    const QString temporary = path + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate64(),
                                                                   16, 16, QLatin1Char('0'));
    const QByteArray tempName = QFile::encodeName(temporary);
    const int fd = ::open(tempName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    qint64 written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        written += n;
    }
    const bool complete = ::close(fd) == 0 && written == bytes.size();
    if (!complete || ::rename(tempName.constData(), QFile::encodeName(path).constData()) != 0) {
        ::unlink(tempName.constData());
        return false;
    }
    return true;
}

bool MediaCache::fileStamp(const QString& path, qint64& size, qint64& modifiedMs)
{
    struct stat info = {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    size = qint64(info.st_size);
    // As QFileInfo::lastModified() gives it, in whole milliseconds.
    modifiedMs = qint64(info.st_mtim.tv_sec) * 1000 + info.st_mtim.tv_nsec / 1000000;
    return true;
}

bool MediaCache::lookup(const QString& path, QByteArray& value)
{
    if (!isEnabled())
        return false;
    load();
    const auto it = m_entries.find(path);
    if (it == m_entries.end())
        return false;
    qint64 size = 0;
    qint64 modified = 0;
    if (!fileStamp(path, size, modified) || size != it->size || modified != it->modified)
        return false;
    // A use is written back once a day at most: a card opened again and again does not rewrite
    // the cache file every time, and the limit still drops what was not used for longest.
    const qint64 time = now();
    if (time - it->used > UseResolution)
        m_changed = true;
    it->used = time;
    value = it->value;
    return true;
}

void MediaCache::store(const QString& path, const QByteArray& value)
{
    if (!isEnabled())
        return;
    load();
    qint64 size = 0;
    qint64 modified = 0;
    if (!fileStamp(path, size, modified))
        return;
    m_entries.insert(path, Entry{size, modified, now(), value});
    m_changed = true;
}

void MediaCache::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_entries = read();
}

MediaCache::Entries MediaCache::read() const
{
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxReadBytes)
        return {};
    const QByteArray bytes = file.readAll();
    const int head = Magic.size() + 4;
    if (bytes.size() < head + DigestSize || !bytes.startsWith(Magic))
        return {};
    QDataStream version(bytes.mid(Magic.size(), 4));
    quint32 format = 0;
    version >> format;
    // The body is read where it lies: a cache file of many megabytes is not copied again.
    const QByteArray body =
        QByteArray::fromRawData(bytes.constData() + head, bytes.size() - head - DigestSize);
    if (format != FormatVersion || digest(body) != bytes.right(DigestSize))
        return {};
    QDataStream in(body);
    in.setVersion(QDataStream::Qt_5_15);
    QString generation;
    quint32 count = 0;
    in >> generation >> count;
    if (generation != m_generation)
        return {};
    Entries entries;
    for (quint32 i = 0; i < count && in.status() == QDataStream::Ok; ++i) {
        QString path;
        Entry entry;
        in >> path >> entry.size >> entry.modified >> entry.used >> entry.value;
        if (in.status() == QDataStream::Ok)
            entries.insert(path, entry);
    }
    if (in.status() != QDataStream::Ok)
        return {};
    return entries;
}

bool MediaCache::save()
{
    if (!isEnabled() || !m_changed)
        return true;
    // What another run stored meanwhile stays, unless this one knows the file better.
    const Entries onDisk = read();
    for (auto it = onDisk.cbegin(); it != onDisk.cend(); ++it) {
        if (!m_entries.contains(it.key()))
            m_entries.insert(it.key(), it.value());
    }

    // The entries used most recently first, as many as the limit holds, written straight into
    // the file's bytes: a large cache is held once, not once more for every step.
    std::vector<Entries::const_iterator> order;
    order.reserve(std::size_t(m_entries.size()));
    qint64 total = 0;
    for (auto it = m_entries.cbegin(); it != m_entries.cend(); ++it) {
        order.push_back(it);
        total += it->value.size() + it.key().size() * 2 + 40;
    }
    std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a->used > b->used; });
    QByteArray bytes = Magic;
    bytes.reserve(int(std::min({total, m_limit, MaxReadBytes}) + 256));
    QDataStream out(&bytes, QIODevice::Append);
    out.setVersion(QDataStream::Qt_5_15);
    out << FormatVersion;
    const int body = bytes.size();
    out << m_generation;
    const int countAt = bytes.size();
    out << quint32(0);
    const int entries = bytes.size();
    quint32 count = 0;
    Entries kept;
    for (const auto& it : order) {
        const int before = bytes.size();
        out << it.key() << it->size << it->modified << it->used << it->value;
        if (bytes.size() - entries + Magic.size() + 64 + DigestSize > m_limit) {
            bytes.truncate(before);
            break;
        }
        kept.insert(it.key(), it.value());
        ++count;
    }
    m_entries = kept;
    // The count, big-endian as the stream writes it, in its place.
    for (int i = 0; i < 4; ++i)
        bytes[countAt + i] = char((count >> (8 * (3 - i))) & 0xff);
    bytes += digest(QByteArray::fromRawData(bytes.constData() + body, bytes.size() - body));
    if (!makePrivateFolder(folder()) || !writeAtomically(filePath(), bytes))
        return false;
    m_changed = false;
    return true;
}
