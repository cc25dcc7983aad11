#pragma once

#include <QByteArray>
#include <QCache>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QPixmap>
#include <QSet>
#include <QThreadPool>
#include <QUrl>

#include <deque>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace qmapcontrol {

// Fetches and keeps the map tiles of the whole process: one network manager with a disk
// cache in the user's cache folder, decoded tiles in a memory cache bounded by size, at most
// MaxRequestsPerHost requests in flight per host, each tile asked for once at a time, and a
// tile that fails tried again only a bounded number of times, never in a loop.
//
// A server cannot make the program hold or decode more than a tile's worth: a body longer than
// MaxBodyBytes is cut off, an image is decoded on a worker thread and only when its header
// gives at most MaxTileSide pixels a side, and a tile that breaks these rules or cannot be
// decoded is given up for the session and dropped from the disk cache.
class TileLoader : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxRequestsPerHost = 2;
    static constexpr int MaxAttempts = 3;
    // Tiles waiting beyond this per host are the oldest wishes, for views long left: dropped.
    static constexpr int MaxWaiting = 128;
    // A transfer silent for this long is aborted, and so is one still running after
    // MaxTransferTimeouts times as long, however it trickles.
    static constexpr int DefaultTransferTimeout = 15000;
    static constexpr int MaxTransferTimeouts = 4;
    static constexpr int DefaultRetryDelay = 5000;
    static constexpr int MemoryCacheKiB = 64 * 1024;
    static constexpr qint64 MaxBodyBytes = 2 * 1024 * 1024;
    static constexpr int MaxTileSide = 1024;

    // The contact in the User-Agent: this environment variable, else the setting "TileContact",
    // else the program's website.
    static const char* const ContactVariable;
    static const QString DefaultContact;

    // The loader of the application; it lives as long as the application object.
    static TileLoader* instance();
    // A loader of its own (tests); the views draw from instance().
    explicit TileLoader(QObject* parent = nullptr);
    ~TileLoader() override;

    static QString diskCacheDirectory();
    // The first candidate that still says something once made safe for a header, or the default.
    static QString chooseContact(const QString& environment, const QString& setting);
    static QByteArray userAgentFor(const QString& contact);

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
    // Tiles received and not yet decoded.
    int pendingDecodes() const { return m_decoding; }

signals:
    void tileReady(const QUrl& url);
    void tileFailed(const QUrl& url);

private:
    enum class Abort
    {
        None,
        TimedOut,
        TooLarge
    };
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
    struct Transfer
    {
        QUrl url;
        bool cacheOnly = false;
        QByteArray body;
        Abort abort = Abort::None;
        qint64 startedAt = 0;
        QTimer* silence = nullptr;
    };

    static QString hostKey(const QUrl& url);
    static QString contact();
    bool mayRequest(const QString& key) const;
    void enqueue(const QUrl& url);
    void startNext(const QString& host);
    void release(const QString& host);
    void send(const QUrl& url, bool cacheOnly);
    void onMetaDataChanged(QNetworkReply* reply);
    void onReadyRead(QNetworkReply* reply);
    void abortTransfer(QNetworkReply* reply, Abort abort);
    void onFinished(QNetworkReply* reply);
    void decode(const QUrl& url, const QByteArray& body);
    void onDecoded(const QUrl& url, const QImage& image);
    void fail(const QUrl& url, bool permanent, const QString& reason);

    QNetworkAccessManager* m_manager;
    QCache<QString, QPixmap> m_tiles;
    QHash<QString, Host> m_hosts;
    QSet<QString> m_pending;
    QHash<QString, Failure> m_failures;
    QHash<QNetworkReply*, Transfer> m_transfers;
    QThreadPool m_decoders;
    int m_decoding = 0;
    QElapsedTimer m_clock;
    QByteArray m_userAgent;
    int m_transferTimeout = DefaultTransferTimeout;
    int m_retryDelay = DefaultRetryDelay;
};

} // namespace qmapcontrol
