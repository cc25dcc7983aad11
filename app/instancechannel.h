#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

class QLocalSocket;

// The way from a second start to the running window: the running instance listens on a local
// socket in the user's runtime folder, and a second start with paths hands them over there
// instead of opening a window of its own.
class InstanceChannel : public QObject
{
    Q_OBJECT
public:
    explicit InstanceChannel(QString name, QObject* parent = nullptr);

    // Listens for second starts; a socket left behind by an instance that died is replaced.
    // Call only while holding the single-instance lock.
    bool listen();

    // Hands `paths` to the instance listening on `name`; true once it confirmed receipt.
    static bool send(const QString& name, const QStringList& paths, int timeoutMs = 3000);

    // The socket of the instance that holds the lock with this native key: in the user's runtime
    // folder, so only the same user reaches it, and named after the lock, so that instances
    // isolated from each other (another temp folder) have their own channel.
    static QString nameFor(const QString& lockNativeKey);

signals:
    void pathsReceived(const QStringList& paths);

private:
    void accept();
    void read(QLocalSocket* socket);

    QString m_name;
    QLocalServer m_server;
};
