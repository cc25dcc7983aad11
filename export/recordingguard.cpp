#include "recordingguard.h"

#include <QFileInfo>

namespace {

// Same file, whether named the same way or not.
bool samePath(const QString& a, const QString& b)
{
    const QFileInfo first(a);
    const QFileInfo second(b);
    if (first.exists() && second.exists())
        return first.canonicalFilePath() == second.canonicalFilePath();
    return first.absoluteFilePath() == second.absoluteFilePath();
}

} // namespace

QString RecordingGuard::recordingAt(const Trip::TripList& trip, const QString& path)
{
    for (const Trip::TripItem& item : trip) {
        for (const QString& recording : {item.videoFile, item.nmeaFile}) {
            if (samePath(recording, path))
                return recording;
        }
        // The other channels' recordings too.
        QString other = recordingAt(item.channels, path);
        if (!other.isEmpty())
            return other;
    }
    return QString();
}
