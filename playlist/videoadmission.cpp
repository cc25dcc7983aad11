#include "videoadmission.h"

#include "playlistlog.h"
#include "tripfile.h"

#include <QDir>

VideoAdmission VideoAdmission::admit(const VideoSelection::Result& selection)
{
    VideoAdmission result;
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
        case Trip::Rejection::None:
            break;
        }
        (Trip::isEventFile(native) ? result.events : result.ordinary) << native;
        result.nmeaFiles << Trip::nmeaFileFor(native);
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
