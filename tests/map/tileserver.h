#pragma once

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QSize>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>

#include <sys/socket.h>

// A tile server on the loopback address for tests: answers "/tiles/z/x/y.png" with a 256-pixel
// PNG of one colour per tile, one request per connection unless told to keep connections, after
// a delay, and records what it got and how many connections were open at once. Single paths can
// be given another status, another body, a long body sent as fast as the client takes it, or a
// body that trickles.
class TileServer : public QObject
{
    Q_OBJECT

public:
    explicit TileServer(QObject* parent = nullptr) : QObject(parent)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TileServer::accept);
    }
    // The connections still open go with the server and report to nobody.
    ~TileServer() override
    {
        for (QTcpSocket* socket : qAsConst(m_sockets)) {
            socket->disconnect(this);
        }
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    void close() { m_server.close(); }
    QByteArray urlTemplate() const
    {
        return "http://127.0.0.1:" + QByteArray::number(m_server.serverPort()) + "/tiles/%1/%2/%3.png";
    }
    QUrl urlOf(int z, int x, int y) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()) + pathOf(z, x, y));
    }

    static QColor colourOf(int z, int x, int y)
    {
        return QColor((x * 53) % 200 + 40, (y * 71) % 200 + 40, 10 * z);
    }
    static QString pathOf(int z, int x, int y)
    {
        return QStringLiteral("/tiles/%1/%2/%3.png").arg(z).arg(x).arg(y);
    }

    // A PNG of one colour; a one-bit black image of 20000 x 20000 pixels takes about 50 KB.
    static QByteArray png(const QSize& size, const QColor& colour,
                          QImage::Format format = QImage::Format_RGB32)
    {
        QImage image(size, format);
        image.fill(colour);
        QByteArray body;
        QBuffer buffer(&body);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return body;
    }

    void setDelay(int ms) { m_delay = ms; }
    // Keeps connections open for further requests, as real servers do.
    void setKeepAlive(bool keepAlive) { m_keepAlive = keepAlive; }
    // A negative age forbids storing the tiles.
    void setMaxAge(int seconds) { m_maxAge = seconds; }
    // Answers `path` with an error status, or never (status 0).
    void setStatus(const QString& path, int status) { m_status.insert(path, status); }
    // Answers every path without a status of its own this way.
    void setDefaultStatus(int status) { m_defaultStatus = status; }
    // Answers `path` with status 200 and this body.
    void setBody(const QString& path, const QByteArray& body) { m_bodies.insert(path, body); }
    // Answers `path` with the head of a long body and then one byte every `interval` ms.
    void setTrickle(const QString& path, int interval) { m_trickle.insert(path, interval); }
    // Answers `path` with status 200 and `size` bytes, written as fast as the client reads them,
    // with or without a Content-Length.
    void setLongBody(const QString& path, qint64 size, bool declared)
    {
        m_long.insert(path, {size, declared});
    }

    QStringList paths;
    QList<QByteArray> userAgents;
    int inFlight = 0;
    int maxInFlight = 0;
    // Open TCP connections, however far their request got.
    int connections = 0;
    int maxConnections = 0;
    // Bytes of long bodies the client took from the server.
    qint64 longBytesSent = 0;

private:
    struct LongBody
    {
        qint64 size = 0;
        bool declared = true;
    };

    void accept()
    {
        // A client that closes one connection and opens the next may be heard in either order:
        // connections whose peer has already gone are counted out first.
        for (QTcpSocket* socket : QSet<QTcpSocket*>(m_sockets)) {
            char byte;
            const auto peeked = ::recv(int(socket->socketDescriptor()), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
            if (peeked == 0 || (peeked < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
                drop(socket);
            }
        }
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            m_sockets.insert(socket);
            maxConnections = std::max(maxConnections, ++connections);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        }
    }

    void drop(QTcpSocket* socket)
    {
        if (!m_sockets.remove(socket)) {
            return;
        }
        --connections;
        m_buffers.remove(socket);
        m_remaining.remove(socket);
        if (m_open.remove(socket)) {
            --inFlight;
        }
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }

    void read(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int end = buffer.indexOf("\r\n\r\n");
        if (end < 0 || m_open.contains(socket)) {
            return;
        }
        const QList<QByteArray> lines = buffer.left(end).split('\n');
        buffer.remove(0, end + 4);
        const QString path = QString::fromLatin1(lines.first().split(' ').value(1));
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:")) {
                userAgents.append(line.mid(11).trimmed());
            }
        }
        paths.append(path);
        m_open.insert(socket);
        maxInFlight = std::max(maxInFlight, ++inFlight);
        const int status = m_status.value(path, m_defaultStatus);
        if (status == 0) {
            return;
        }
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(m_delay, this, [this, guard, path, status] {
            if (!guard || !m_open.contains(guard)) {
                return;
            }
            if (m_long.contains(path)) {
                startLongBody(guard, m_long.value(path));
                return;
            }
            if (m_trickle.contains(path)) {
                startTrickle(guard, m_trickle.value(path));
                return;
            }
            m_open.remove(guard);
            --inFlight;
            guard->write(response(path, status));
            if (!m_keepAlive) {
                guard->disconnectFromHost();
            } else if (m_buffers.value(guard).contains("\r\n\r\n")) {
                read(guard);
            }
        });
    }

    void startLongBody(QTcpSocket* socket, const LongBody& body)
    {
        QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nCache-Control: max-age=86400\r\n";
        if (body.declared) {
            head += "Content-Length: " + QByteArray::number(body.size) + "\r\n";
        }
        socket->write(head + "Connection: close\r\n\r\n");
        m_remaining.insert(socket, body.size);
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket](qint64 written) {
            if (m_remaining.contains(socket)) {
                longBytesSent += written;
                writeLongBody(socket);
            }
        });
        writeLongBody(socket);
    }

    void startTrickle(QTcpSocket* socket, int interval)
    {
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nContent-Length: 100000\r\n\r\n");
        auto* timer = new QTimer(socket);
        connect(timer, &QTimer::timeout, socket, [socket] { socket->write("x"); });
        timer->start(interval);
    }

    void writeLongBody(QTcpSocket* socket)
    {
        constexpr qint64 Chunk = 64 * 1024;
        qint64& remaining = m_remaining[socket];
        if (socket->bytesToWrite() >= Chunk) {
            return;
        }
        if (remaining == 0) {
            m_remaining.remove(socket);
            m_open.remove(socket);
            --inFlight;
            socket->disconnectFromHost();
            return;
        }
        const qint64 size = std::min(Chunk, remaining);
        remaining -= size;
        socket->write(QByteArray(int(size), '\x55'));
    }

    QByteArray response(const QString& path, int status) const
    {
        static const QRegularExpression tilePath(QStringLiteral("^/tiles/(\\d+)/(\\d+)/(\\d+)\\.png$"));
        const QRegularExpressionMatch match = tilePath.match(path);
        QByteArray body;
        if (status == 200 && m_bodies.contains(path)) {
            body = m_bodies.value(path);
        } else if (status == 200 && match.hasMatch()) {
            body = png(QSize(256, 256), colourOf(match.captured(1).toInt(), match.captured(2).toInt(),
                                                 match.captured(3).toInt()));
        } else if (status == 200) {
            status = 404;
        }
        QByteArray head =
            "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") + "\r\n";
        if (status == 200) {
            head += "Content-Type: image/png\r\nCache-Control: " +
                    (m_maxAge < 0 ? QByteArray("no-store") : "max-age=" + QByteArray::number(m_maxAge)) +
                    "\r\nLast-Modified: Mon, 01 Jan 2024 00:00:00 GMT\r\n";
        }
        head += "Content-Length: " + QByteArray::number(body.size()) +
                (m_keepAlive ? "\r\nConnection: keep-alive\r\n\r\n" : "\r\nConnection: close\r\n\r\n");
        return head + body;
    }

    QTcpServer m_server;
    QSet<QTcpSocket*> m_sockets;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QSet<QTcpSocket*> m_open;
    QHash<QString, int> m_status;
    QHash<QString, QByteArray> m_bodies;
    QHash<QString, LongBody> m_long;
    QHash<QString, int> m_trickle;
    QHash<QTcpSocket*, qint64> m_remaining;
    int m_defaultStatus = 200;
    int m_delay = 20;
    bool m_keepAlive = false;
    int m_maxAge = 86400;
};
