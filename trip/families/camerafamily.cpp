#include "camerafamily.h"

#include <QDir>
#include <QFileInfo>

namespace Camera {

Telemetry CameraFamily::readTelemetry(const Recording& recording) const
{
    Telemetry telemetry;
    telemetry.source = recording.telemetry;
    if (recording.telemetry != TelemetrySource::None)
        telemetry.error = QStringLiteral("the %1 family reads no position data inside its videos").arg(id());
    return telemetry;
}

QString CameraFamily::sibling(const QString& videoFile, const QString& suffix)
{
    const QFileInfo video(videoFile);
    const QString base = video.path() + QLatin1Char('/') + video.completeBaseName();
    for (const QString& candidate : {base + suffix.toLower(), base + suffix.toUpper(), base + suffix}) {
        if (QFileInfo(candidate).isFile())
            return QDir::toNativeSeparators(candidate);
    }
    return QString();
}

bool CameraFamily::inFolder(const QString& path, const QString& name, int levels)
{
    QString folder = QDir::fromNativeSeparators(path);
    for (int level = 0; level < levels; ++level) {
        const int slash = folder.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return false;
        folder.truncate(slash);
        const QStringRef last = folder.midRef(folder.lastIndexOf(QLatin1Char('/')) + 1);
        if (last.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString CameraFamily::channelOfLetter(QChar letter)
{
    switch (letter.toUpper().unicode()) {
    case 'R':
        return QStringLiteral("rear");
    case 'I':
        return QStringLiteral("interior");
    default:
        return QStringLiteral("front");
    }
}

QString CameraFamily::folderName(const QString& path)
{
    return QFileInfo(QFileInfo(path).path()).fileName();
}

} // namespace Camera
