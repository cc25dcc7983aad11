#include "tileloader.h"

#include "maplog.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFutureWatcher>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>
#include <QtConcurrent>

#include <algorithm>

namespace qmapcontrol {

namespace {
constexpr qint64 DiskCacheBytes = 256ll * 1024 * 1024;
// The reply holds no more than this before we take it, so a fast server cannot run ahead.
constexpr qint64 ReadChunkBytes = 64LL * 1024;
constexpr int MaxContactLength = 200;

// Runs on a worker thread. Only raster formats whose header gives the size are decoded, and
// only up to MaxTileSide a side: a small file must not turn into gigabytes of pixels.
QImage decodeTile(const QByteArray& data)
{
    static const QList<QByteArray> formats = {"png", "jpeg", "webp", "gif", "bmp"};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (!formats.contains(reader.format())) {
        return QImage();
    }
    const QSize size = reader.size();
    if (size.isEmpty() || size.width() > TileLoader::MaxTileSide || size.height() > TileLoader::MaxTileSide) {
        return QImage();
    }
    QImage image;
    if (!reader.read(&image) || image.size() != size) {
        return QImage();
    }
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The text as it may stand in a header comment: printable ASCII, no brackets or escapes,
// control characters as single spaces.
QString cleanContact(const QString& text)
{
    QString clean;
    for (const QChar c : text) {
        const ushort code = c.unicode();
        if (code < 0x20 || code == 0x7f) {
            clean += QLatin1Char(' ');
        } else if (code < 0x7f && c != QLatin1Char('(') && c != QLatin1Char(')') && c != QLatin1Char('\\')) {
            clean += c;
        }
    }
    return clean.simplified().left(MaxContactLength).trimmed();
}
} // namespace

const char* const TileLoader::ContactVariable = "TARROW_TILE_CONTACT";
const QString TileLoader::DefaultContact = QStringLiteral("https://halvard.example");

TileLoader* TileLoader::instance()
{
    static QPointer<TileLoader> loader;
    if (!loader) {
        loader = new TileLoader(QCoreApplication::instance());
    }
    return loader;
}

TileLoader::TileLoader(QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_tiles(MemoryCacheKiB),
      m_userAgent(userAgentFor(contact()))
{
    const QString cacheDir = diskCacheDirectory();
    if (!cacheDir.isEmpty()) {
        auto* cache = new QNetworkDiskCache(m_manager);
        cache->setCacheDirectory(cacheDir);
        cache->setMaximumCacheSize(DiskCacheBytes);
        m_manager->setCache(cache);
    }
    connect(m_manager, &QNetworkAccessManager::finished, this, &TileLoader::onFinished);
    // One decoder is plenty for tiles of bounded size and leaves the other cores alone.
    m_decoders.setMaxThreadCount(1);
    m_clock.start();
}

TileLoader::~TileLoader()
{
    // Decodes not yet started are dropped; a running one ends before its watcher goes.
    m_decoders.clear();
    m_decoders.waitForDone();
}

QString TileLoader::diskCacheDirectory()
{
    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    return cacheDir.isEmpty() ? QString() : cacheDir + QStringLiteral("/tiles");
}

QString TileLoader::contact()
{
    QString environment = cleanContact(qEnvironmentVariable(ContactVariable));
    if (!environment.isEmpty()) {
        return environment;
    }
    return chooseContact(QString(), ZelSettings::value(ZelSettings::TileContact).toString());
}

QString TileLoader::chooseContact(const QString& environment, const QString& setting)
{
    for (const QString& candidate : {environment, setting}) {
        QString clean = cleanContact(candidate);
        if (!clean.isEmpty()) {
            return clean;
        }
    }
    return DefaultContact;
}

QByteArray TileLoader::userAgentFor(const QString& contact)
{
    return QStringLiteral("%1/%2 (+%3)").arg(ZelCfg::AppName, ZelCfg::AppVersion, contact).toLatin1();
}

QString TileLoader::hostKey(const QUrl& url)
{
    return url.scheme() + QStringLiteral("://") + url.host() + QLatin1Char(':') + QString::number(url.port());
}

int TileLoader::requestsInFlight() const
{
    int count = 0;
    for (const Host& host : m_hosts) {
        count += host.inFlight;
    }
    return count;
}

QPixmap TileLoader::tile(const QUrl& url)
{
    const QString key = url.toString();
    if (const QPixmap* pixmap = m_tiles.object(key)) {
        return *pixmap;
    }
    if (mayRequest(key)) {
        enqueue(url);
    }
    return QPixmap();
}

bool TileLoader::mayRequest(const QString& key) const
{
    if (m_pending.contains(key)) {
        return false;
    }
    const auto failure = m_failures.constFind(key);
    if (failure == m_failures.cend()) {
        return true;
    }
    return !failure->permanent && failure->attempts < MaxAttempts && m_clock.elapsed() >= failure->retryAt;
}

void TileLoader::enqueue(const QUrl& url)
{
    const QString host = hostKey(url);
    Host& queue = m_hosts[host];
    m_pending.insert(url.toString());
    queue.waiting.push_back(url);
    while (int(queue.waiting.size()) > MaxWaiting) {
        m_pending.remove(queue.waiting.front().toString());
        queue.waiting.pop_front();
    }
    startNext(host);
}

void TileLoader::startNext(const QString& host)
{
    Host& queue = m_hosts[host];
    while (queue.inFlight < MaxRequestsPerHost && !queue.waiting.empty()) {
        const QUrl url = queue.waiting.front();
        queue.waiting.pop_front();
        ++queue.inFlight;
        send(url, false);
    }
}

void TileLoader::release(const QString& host)
{
    --m_hosts[host].inFlight;
    startNext(host);
}

void TileLoader::send(const QUrl& url, bool cacheOnly)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (cacheOnly) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysCache);
    }
    QNetworkReply* reply = m_manager->get(request);
    reply->setReadBufferSize(ReadChunkBytes);

    // Our own timers rather than the request's transfer timeout, which a server that sends a
    // byte now and then would keep from ever firing.
    Transfer& transfer = m_transfers[reply];
    transfer.url = url;
    transfer.cacheOnly = cacheOnly;
    transfer.startedAt = m_clock.elapsed();
    transfer.silence = new QTimer(reply);
    transfer.silence->setSingleShot(true);
    connect(transfer.silence, &QTimer::timeout, this,
            [this, reply] { abortTransfer(reply, Abort::TimedOut); });
    transfer.silence->start(m_transferTimeout);
    connect(reply, &QNetworkReply::metaDataChanged, this, [this, reply] { onMetaDataChanged(reply); });
    connect(reply, &QNetworkReply::readyRead, this, [this, reply] { onReadyRead(reply); });
}

void TileLoader::onMetaDataChanged(QNetworkReply* reply)
{
    bool known = false;
    const qint64 length = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    if (known && length > MaxBodyBytes) {
        abortTransfer(reply, Abort::TooLarge);
    }
}

void TileLoader::onReadyRead(QNetworkReply* reply)
{
    const auto transfer = m_transfers.find(reply);
    if (transfer == m_transfers.end()) {
        return;
    }
    transfer->body += reply->read(MaxBodyBytes + 1 - transfer->body.size());
    if (transfer->body.size() > MaxBodyBytes) {
        abortTransfer(reply, Abort::TooLarge);
    } else if (m_clock.elapsed() - transfer->startedAt > qint64(m_transferTimeout) * MaxTransferTimeouts) {
        abortTransfer(reply, Abort::TimedOut);
    } else {
        transfer->silence->start(m_transferTimeout);
    }
}

void TileLoader::abortTransfer(QNetworkReply* reply, Abort abort)
{
    const auto transfer = m_transfers.find(reply);
    if (transfer == m_transfers.end() || transfer->abort != Abort::None) {
        return;
    }
    transfer->abort = abort;
    transfer->body.clear();
    // Finishes the reply and so reaches onFinished before it returns.
    reply->abort();
}

void TileLoader::onFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const auto found = m_transfers.find(reply);
    if (found == m_transfers.end()) {
        return;
    }
    Transfer transfer = *found;
    m_transfers.erase(found);
    transfer.silence->stop();
    const QUrl& url = transfer.url;
    if (!transfer.cacheOnly) {
        const QString host = hostKey(url);
        if (transfer.abort == Abort::None) {
            release(host);
        } else {
            // An aborted reply reports its end before it lets go of its connection: the place
            // is freed afterwards, so the next request cannot open a connection beside it.
            QMetaObject::invokeMethod(
                this, [this, host] { release(host); }, Qt::QueuedConnection);
        }
    }

    if (transfer.abort == Abort::None && reply->error() == QNetworkReply::NoError) {
        transfer.body += reply->read(MaxBodyBytes + 1 - transfer.body.size());
        if (transfer.body.size() > MaxBodyBytes) {
            transfer.abort = Abort::TooLarge;
        }
    }
    if (transfer.abort == Abort::TooLarge) {
        if (QAbstractNetworkCache* cache = m_manager->cache()) {
            cache->remove(url);
        }
        fail(url, true, QStringLiteral("more than %1 bytes").arg(MaxBodyBytes));
        return;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        const bool unreachable = status == 0 || transfer.abort == Abort::TimedOut;
        if (!transfer.cacheOnly && unreachable) {
            // The server is out of reach: an expired copy from the disk cache beats no tile.
            qCDebug(lcMap).noquote() << "tile" << url.toString() << "out of reach:"
                                     << (transfer.abort == Abort::TimedOut
                                             ? QStringLiteral("no answer in time")
                                             : reply->errorString())
                                     << "- looking in the disk cache";
            send(url, true);
            return;
        }
        const bool transient = unreachable || status == 408 || status == 429 || status >= 500;
        fail(url, !transient,
             transfer.abort == Abort::TimedOut ? QStringLiteral("no answer in time") : reply->errorString());
        return;
    }
    decode(url, transfer.body);
}

void TileLoader::decode(const QUrl& url, const QByteArray& body)
{
    ++m_decoding;
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, url] {
        watcher->deleteLater();
        --m_decoding;
        onDecoded(url, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(&m_decoders, decodeTile, body));
}

void TileLoader::onDecoded(const QUrl& url, const QImage& image)
{
    if (image.isNull()) {
        // Too large or not an image: the server will not say otherwise this session, and a
        // later one must not find it in the cache either.
        if (QAbstractNetworkCache* cache = m_manager->cache()) {
            cache->remove(url);
        }
        fail(url, true, QStringLiteral("not an image, or larger than %1 pixels a side").arg(MaxTileSide));
        return;
    }
    const QString key = url.toString();
    const int cost = std::max(1, int(qint64(image.sizeInBytes()) / 1024));
    m_tiles.insert(key, new QPixmap(QPixmap::fromImage(image)), cost);
    m_pending.remove(key);
    m_failures.remove(key);
    emit tileReady(url);
}

void TileLoader::fail(const QUrl& url, bool permanent, const QString& reason)
{
    qCDebug(lcMap).noquote() << "tile" << url.toString() << "failed:" << reason
                             << (permanent ? "(not asked for again)" : "(asked for again later)");
    const QString key = url.toString();
    m_pending.remove(key);
    Failure& failure = m_failures[key];
    ++failure.attempts;
    failure.permanent = failure.permanent || permanent;
    failure.retryAt = m_clock.elapsed() + (qint64(m_retryDelay) << std::min(failure.attempts - 1, 10));
    emit tileFailed(url);
}

} // namespace qmapcontrol
