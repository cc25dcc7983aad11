#include "thumbnailstore.h"

#include "mediacache.h"
#include "zelcfg.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QStandardPaths>
#include <QUrl>

namespace ThumbnailStore {

namespace {

const QString UriKey = QStringLiteral("Thumb::URI");
const QString MTimeKey = QStringLiteral("Thumb::MTime");
const QString SizeKey = QStringLiteral("Thumb::Size");

// The text chunks that tie a thumbnail to the video as it is now; empty when it cannot be read.
struct Identity
{
    QString uri;
    QString mtime;
    QString size;
};

Identity identityOf(const QString& video)
{
    const QFileInfo info(video);
    if (!info.isFile())
        return {};
    return {uriOf(video), QString::number(info.lastModified().toSecsSinceEpoch()),
            QString::number(info.size())};
}

bool matches(const QImage& thumbnail, const Identity& video)
{
    if (thumbnail.isNull() || thumbnail.text(UriKey) != video.uri || thumbnail.text(MTimeKey) != video.mtime)
        return false;
    // The size is optional; when given it must be the video's.
    const QString size = thumbnail.text(SizeKey);
    return size.isEmpty() || size == video.size;
}

QImage validIn(const QString& path, const Identity& video)
{
    const QImage thumbnail(path, "PNG");
    return matches(thumbnail, video) ? thumbnail : QImage();
}

bool write(const QString& folder, const QString& name, QImage image, const Identity& video)
{
    image.setText(UriKey, video.uri);
    image.setText(MTimeKey, video.mtime);
    image.setText(SizeKey, video.size);
    image.setText(QStringLiteral("Software"), ZelCfg::AppName);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(image))
        return false;
    return MediaCache::makePrivateFolder(folder) &&
           MediaCache::writeAtomically(folder + QLatin1Char('/') + name, buffer.data());
}

} // namespace

QString root()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
           QStringLiteral("/thumbnails");
}

QString uriOf(const QString& video)
{
    return QString::fromLatin1(QUrl::fromLocalFile(QDir::cleanPath(QFileInfo(video).absoluteFilePath()))
                                   .toEncoded(QUrl::FullyEncoded));
}

QString fileNameFor(const QString& video)
{
    return QString::fromLatin1(
               QCryptographicHash::hash(uriOf(video).toUtf8(), QCryptographicHash::Md5).toHex()) +
           QStringLiteral(".png");
}

QString failFolder()
{
    return root() + QStringLiteral("/fail/") + ZelCfg::AppName.toLower() + QLatin1Char('-') +
           ZelCfg::AppVersion;
}

QImage find(const QString& video)
{
    if (!MediaCache::isEnabled())
        return {};
    const Identity identity = identityOf(video);
    if (identity.uri.isEmpty())
        return {};
    const QString name = fileNameFor(video);
    QImage found = validIn(root() + QStringLiteral("/normal/") + name, identity);
    if (found.isNull())
        found = validIn(root() + QStringLiteral("/large/") + name, identity);
    return found;
}

bool hasFailed(const QString& video)
{
    if (!MediaCache::isEnabled())
        return false;
    const Identity identity = identityOf(video);
    return !identity.uri.isEmpty() &&
           !validIn(failFolder() + QLatin1Char('/') + fileNameFor(video), identity).isNull();
}

bool save(const QString& video, const QImage& picture)
{
    const Identity identity = identityOf(video);
    if (!MediaCache::isEnabled() || identity.uri.isEmpty() || picture.isNull())
        return false;
    QImage image = picture;
    if (image.width() > NormalSize || image.height() > NormalSize)
        image = image.scaled(NormalSize, NormalSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return write(root() + QStringLiteral("/normal"), fileNameFor(video), image, identity);
}

bool saveFailure(const QString& video)
{
    const Identity identity = identityOf(video);
    if (!MediaCache::isEnabled() || identity.uri.isEmpty())
        return false;
    QImage empty(1, 1, QImage::Format_ARGB32);
    empty.fill(Qt::transparent);
    return write(failFolder(), fileNameFor(video), empty, identity);
}

} // namespace ThumbnailStore
