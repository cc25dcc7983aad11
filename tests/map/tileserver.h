#pragma once

#include <QBuffer>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A tile server on the loopback address for tests: answers "/tiles/z/x/y.png" with a 256-pixel
// PNG of one colour per tile, one request per connection, after a delay, and records what it got.
class TileServer : public QObject
{
    Q_OBJECT

public:
    explicit TileServer(QObject* parent = nullptr) : QObject(parent)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &TileServer::accept);
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost); }
    void close() { m_server.close(); }
    QByteArray urlTemplate() const
    {
        return "http://127.0.0.1:" + QByteArray::number(m_server.serverPort()) + "/tiles/%1/%2/%3.png";
    }

    static QColor colourOf(int z, int x, int y)
    {
        return QColor((x * 53) % 200 + 40, (y * 71) % 200 + 40, 10 * z);
    }
    static QString pathOf(int z, int x, int y)
    {
        return QStringLiteral("/tiles/%1/%2/%3.png").arg(z).arg(x).arg(y);
    }

    void setDelay(int ms) { m_delay = ms; }
    // A negative age forbids storing the tiles.
    void setMaxAge(int seconds) { m_maxAge = seconds; }
    // Answers `path` with an error status, or never (status 0).
    void setStatus(const QString& path, int status) { m_status.insert(path, status); }

    QStringList paths;
    QList<QByteArray> userAgents;
    int inFlight = 0;
    int maxInFlight = 0;

private:
    void accept()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
            connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
                m_buffers.remove(socket);
                if (m_open.remove(socket)) {
                    --inFlight;
                }
                socket->deleteLater();
            });
        }
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
        const QString path = QString::fromLatin1(lines.first().split(' ').value(1));
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("user-agent:")) {
                userAgents.append(line.mid(11).trimmed());
            }
        }
        paths.append(path);
        m_open.insert(socket);
        maxInFlight = std::max(maxInFlight, ++inFlight);
        const int status = m_status.value(path, 200);
        if (status == 0) {
            return;
        }
        QPointer<QTcpSocket> guard(socket);
        QTimer::singleShot(m_delay, this, [this, guard, path, status] {
            if (guard && m_open.remove(guard)) {
                --inFlight;
                guard->write(response(path, status));
                guard->disconnectFromHost();
            }
        });
    }

    QByteArray response(const QString& path, int status) const
    {
        static const QRegularExpression tilePath(QStringLiteral("^/tiles/(\\d+)/(\\d+)/(\\d+)\\.png$"));
        const QRegularExpressionMatch match = tilePath.match(path);
        QByteArray body;
        if (status == 200 && match.hasMatch()) {
            QImage image(256, 256, QImage::Format_RGB32);
            image.fill(
                colourOf(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt()));
            QBuffer buffer(&body);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
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
        head += "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n";
        return head + body;
    }

    QTcpServer m_server;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QSet<QTcpSocket*> m_open;
    QHash<QString, int> m_status;
    int m_delay = 20;
    int m_maxAge = 86400;
};
