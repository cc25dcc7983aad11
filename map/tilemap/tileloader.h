#pragma once

#include <QByteArray>
#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QUrl>

#include <deque>

class QNetworkAccessManager;
class QNetworkReply;

namespace qmapcontrol {

// Fetches and keeps the map tiles of the whole process: one network manager with a disk
// cache in the user's cache folder, decoded tiles in a memory cache bounded by size, at most
// MaxRequestsPerHost requests in flight per host, each tile asked for once at a time, and a
// tile that fails tried again only a bounded number of times, never in a loop.
class TileLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRequestsPerHost = 2;
    static constexpr int MaxAttempts = 3;
    // Tiles waiting beyond this per host are the oldest wishes, for views long left: dropped.
    static constexpr int MaxWaiting = 128;
    static constexpr int DefaultTransferTimeout = 15000;
    static constexpr int DefaultRetryDelay = 5000;
    static constexpr int MemoryCacheKiB = 64 * 1024;

    // The loader of the application; it lives as long as the application object.
    static TileLoader* instance();

    // The decoded tile, or a null pixmap while it is on its way or when it cannot be had;
    // a missing tile is requested unless it is already waiting, in flight or given up.
    QPixmap tile(const QUrl& url);

    QByteArray userAgent() const { return m_userAgent; }
    void setUserAgent(const QByteArray& userAgent) { m_userAgent = userAgent; }
    int transferTimeout() const { return m_transferTimeout; }
    void setTransferTimeout(int ms) { m_transferTimeout = ms; }
    // The pause before a failed tile may be tried again; it doubles with every failure.
    void setRetryDelay(int ms) { m_retryDelay = ms; }
    void clearMemoryCache() { m_tiles.clear(); }
    int requestsInFlight() const;

signals:
    void tileReady(const QUrl& url);
    void tileFailed(const QUrl& url);

private:
    struct Host
    {
        int inFlight = 0;
        std::deque<QUrl> waiting;
    };
    struct Failure
    {
        int attempts = 0;
        bool permanent = false;
        qint64 retryAt = 0;
    };

    explicit TileLoader(QObject* parent);
    static QString hostKey(const QUrl& url);
    bool mayRequest(const QString& key) const;
    void enqueue(const QUrl& url);
    void startNext(const QString& host);
    void send(const QUrl& url, bool cacheOnly);
    void onFinished(QNetworkReply* reply);
    void fail(const QUrl& url, bool permanent);

    QNetworkAccessManager* m_manager;
    QCache<QString, QPixmap> m_tiles;
    QHash<QString, Host> m_hosts;
    QSet<QString> m_pending;
    QHash<QString, Failure> m_failures;
    QElapsedTimer m_clock;
    QByteArray m_userAgent;
    int m_transferTimeout = DefaultTransferTimeout;
    int m_retryDelay = DefaultRetryDelay;
};

} // namespace qmapcontrol
