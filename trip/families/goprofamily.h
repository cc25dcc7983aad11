#pragma once

#include "camerafamily.h"

namespace Camera {

// Action cameras that split a recording into chapters: "GXccnnnn.MP4" (HEVC) and
// "GHccnnnn.MP4" (AVC), cc the chapter from 01, nnnn the recording; older models name the first
// part "GOPRnnnn.MP4" and the next ones "GPccnnnn.MP4" from 01. Videos lie in "DCIM/1xxGOPRO".
// The names hold no time: a recording starts at the camera's clock in its first chapter's movie
// header, and every later chapter where the chapter before it ends. Positions are GPMF in a
// "gpmd" metadata track.
class GoProFamily : public CameraFamily
{
public:
    static const QString Id;

    QString id() const override { return Id; }
    Recording recognise(const QString& videoFile) const override;
    QStringList folderNames() const override;
    bool readsFile() const override { return true; }
    Telemetry readTelemetry(const Recording& recording) const override;

    // A name of this family: the recording number and the chapter's place in it (0 for an older
    // model's first part "GOPRnnnn"); chapter -1 when the name is not this family's.
    struct Name
    {
        QString number;
        int chapter = -1;
    };
    static Name parseName(const QString& fileName);
    // The file of the chapter that plays before `videoFile`; empty when there is none.
    static QString previousChapter(const QString& videoFile);
    // Where the recording's clock stands at the first frame of `videoFile`: the movie header's
    // time of the earliest chapter on hand plus the lengths of the chapters between, or, where
    // the header holds no time, the first GPS time of the telemetry (UTC). Invalid when neither.
    static QDateTime startTime(const QString& videoFile);
};

} // namespace Camera
