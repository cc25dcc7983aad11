#include "tileloader.h"

#include "zelcfg.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QStandardPaths>

#include <algorithm>

namespace qmapcontrol {

namespace {
const char* const CacheOnlyProperty = "tileCacheOnly";
const char* const UrlProperty = "tileUrl";
constexpr qint64 DiskCacheBytes = 256ll * 1024 * 1024;
} // namespace

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
      m_userAgent(QStringLiteral("%1/%2 (+https://halvard.example)")
                      .arg(ZelCfg::AppName, ZelCfg::AppVersion)
                      .toUtf8())
{
    const QString cacheDir = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    if (!cacheDir.isEmpty()) {
        auto* cache = new QNetworkDiskCache(m_manager);
        cache->setCacheDirectory(cacheDir + QStringLiteral("/tiles"));
        cache->setMaximumCacheSize(DiskCacheBytes);
        m_manager->setCache(cache);
    }
    connect(m_manager, &QNetworkAccessManager::finished, this, &TileLoader::onFinished);
    m_clock.start();
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

void TileLoader::send(const QUrl& url, bool cacheOnly)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setTransferTimeout(m_transferTimeout);
    if (cacheOnly) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysCache);
    }
    QNetworkReply* reply = m_manager->get(request);
    reply->setProperty(UrlProperty, url);
    reply->setProperty(CacheOnlyProperty, cacheOnly);
}

void TileLoader::onFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    const QUrl url = reply->property(UrlProperty).toUrl();
    const QString key = url.toString();
    const bool cacheOnly = reply->property(CacheOnlyProperty).toBool();
    if (!cacheOnly) {
        const QString host = hostKey(url);
        --m_hosts[host].inFlight;
        startNext(host);
    }

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (reply->error() != QNetworkReply::NoError) {
        if (!cacheOnly && status == 0) {
            // The server is out of reach: an expired copy from the disk cache beats no tile.
            send(url, true);
            return;
        }
        const bool transient = status == 0 || status == 408 || status == 429 || status >= 500;
        fail(url, !transient);
        return;
    }

    QImage image;
    if (!image.loadFromData(reply->readAll())) {
        fail(url, true);
        return;
    }
    auto* pixmap = new QPixmap(QPixmap::fromImage(image));
    const int cost = std::max(1, int(qint64(image.sizeInBytes()) / 1024));
    m_tiles.insert(key, pixmap, cost);
    m_pending.remove(key);
    m_failures.remove(key);
    emit tileReady(url);
}

void TileLoader::fail(const QUrl& url, bool permanent)
{
    const QString key = url.toString();
    m_pending.remove(key);
    Failure& failure = m_failures[key];
    ++failure.attempts;
    failure.permanent = failure.permanent || permanent;
    failure.retryAt = m_clock.elapsed() + (qint64(m_retryDelay) << std::min(failure.attempts - 1, 10));
    emit tileFailed(url);
}

} // namespace qmapcontrol
