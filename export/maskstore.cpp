#include "maskstore.h"

#include "exportlog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString MaskStore::pathFor(const Trip::TripList& trip)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (trip.empty() || folder.isEmpty())
        return QString();
    const QFileInfo first(trip.front().videoFile);
    const QByteArray identity = first.fileName().toUtf8() + '/' + QByteArray::number(first.size()) + '/' +
                                QByteArray::number(qint64(trip.size()));
    const QString name =
        QString::fromLatin1(QCryptographicHash::hash(identity, QCryptographicHash::Sha1).toHex());
    return QDir(folder).filePath(QStringLiteral("masks/%1.json").arg(name));
}

Masks MaskStore::load(const Trip::TripList& trip)
{
    Masks masks;
    const QString path = pathFor(trip);
    if (path.isEmpty() || !QFileInfo::exists(path))
        return masks;
    if (!masks.load(path)) {
        qCWarning(lcExport).noquote() << "the masks of the trip cannot be read:" << masks.errorString();
        return Masks();
    }
    return masks;
}

bool MaskStore::save(const Trip::TripList& trip, const Masks& masks, QString* error)
{
    const QString path = pathFor(trip);
    if (path.isEmpty()) {
        if (error)
            *error = Masks::tr("no data folder for the masks");
        return false;
    }
    if (masks.isEmpty()) {
        QFile::remove(path);
        return true;
    }
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = Masks::tr("cannot write %1: %2").arg(folder, QStringLiteral("mkdir"));
        return false;
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Masks copy = masks;
    if (!copy.save(path)) {
        if (error)
            *error = copy.errorString();
        return false;
    }
    return true;
}
