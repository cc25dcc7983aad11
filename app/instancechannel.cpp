#include "instancechannel.h"

#include "zelcfg.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QLocalSocket>
#include <QStandardPaths>

#include <utility>

namespace {

constexpr quint32 Magic = 0x54415250; // identifies a hand-over of paths
constexpr qint64 MaxMessage = 1024LL * 1024;
constexpr char Received = 'k';

} // namespace

InstanceChannel::InstanceChannel(QString name, QObject* parent) : QObject(parent), m_name(std::move(name))
{
    connect(&m_server, &QLocalServer::newConnection, this, &InstanceChannel::accept);
}

QString InstanceChannel::nameFor(const QString& lockNativeKey)
{
    const QByteArray hash =
        QCryptographicHash::hash(lockNativeKey.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    const QString name = ZelCfg::AppName.toLower() + QLatin1Char('-') + QString::fromLatin1(hash);
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? name : QDir(runtime).filePath(name);
}

bool InstanceChannel::listen()
{
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (m_server.listen(m_name))
        return true;
    QLocalServer::removeServer(m_name);
    return m_server.listen(m_name);
}

void InstanceChannel::accept()
{
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket]() { read(socket); });
        read(socket);
    }
}

void InstanceChannel::read(QLocalSocket* socket)
{
    if (socket->bytesAvailable() > MaxMessage) {
        socket->abort();
        return;
    }
    QDataStream in(socket);
    in.setVersion(QDataStream::Qt_5_15);
    in.startTransaction();
    quint32 magic = 0;
    QStringList paths;
    in >> magic >> paths;
    if (!in.commitTransaction())
        return; // the rest is still on its way
    if (magic != Magic) {
        socket->abort();
        return;
    }
    socket->write(&Received, 1);
    socket->flush();
    socket->disconnectFromServer();
    if (!paths.isEmpty())
        emit pathsReceived(paths);
}

bool InstanceChannel::send(const QString& name, const QStringList& paths, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_15);
        out << Magic << paths;
    }
    socket.write(message);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    char reply = 0;
    while (socket.bytesAvailable() < 1) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.read(&reply, 1) == 1 && reply == Received;
}
