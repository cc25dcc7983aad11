#include "videoadmission.h"

#include "playlistlog.h"
#include "tripfile.h"

#include <QDir>
#include <QSet>

VideoAdmission VideoAdmission::admit(const VideoSelection::Result& selection)
{
    VideoAdmission result;
    QSet<QString> positionFiles;
    for (const QString& file : selection.misnamed)
        result.skipped.add(QDir::toNativeSeparators(file), QString::fromLatin1(SkippedFiles::NotACameraName));
    for (const QString& file : selection.videos) {
        const QString native = QDir::toNativeSeparators(file);
        switch (Trip::rejection(native)) {
        case Trip::Rejection::NoNmeaFile:
            qCDebug(lcPlaylist).noquote() << "left out" << native << "- no NMEA file beside it";
            result.skipped.add(native, QString::fromLatin1(SkippedFiles::NoNmeaFile));
            continue;
        case Trip::Rejection::NoStartTime:
            qCDebug(lcPlaylist).noquote() << "left out" << native << "- no valid start time in its name";
            result.skipped.add(native, QString::fromLatin1(SkippedFiles::NoStartTime));
            continue;
        case Trip::Rejection::NoCameraName:
            result.skipped.add(native, QString::fromLatin1(SkippedFiles::NotACameraName));
            continue;
        case Trip::Rejection::None:
            break;
        }
        const Camera::Recording recording = Trip::recording(native);
        (recording.kind == Camera::RecordingKind::Event ? result.events : result.ordinary) << native;
        // Several channels may share one position file; a recording without any has none.
        if (!recording.telemetryFile.isEmpty() && !positionFiles.contains(recording.telemetryFile)) {
            positionFiles.insert(recording.telemetryFile);
            result.nmeaFiles << recording.telemetryFile;
        }
    }
    return result;
}

SkippedFiles::List VideoAdmission::unplayable(const QVector<PlaylistPrepareData::SkippedFile>& files)
{
    SkippedFiles::List list;
    for (const PlaylistPrepareData::SkippedFile& file : files)
        list.append({file.path, QString::fromLatin1(file.vanished ? SkippedFiles::Vanished
                                                                  : SkippedFiles::NotPlayable)});
    return list;
}
