#pragma once

#include "vireoexport.h"

#include <QString>

#include <memory>

class VlcFileDurationPrivate;

// Measures the playing length of video files. One object keeps one engine for a
// whole series of files; it belongs to the thread that made it.
class VIREO_EXPORT VlcFileDuration
{
public:
    VlcFileDuration();
    ~VlcFileDuration();

    VlcFileDuration(const VlcFileDuration&) = delete;
    VlcFileDuration& operator=(const VlcFileDuration&) = delete;

    // False when the engine could not start; every file is refused then.
    bool isValid() const;

    // Playing length of file in milliseconds, or 0 when the file is refused; error
    // then holds the reason: a file-check message of VlcPlayer, "length not
    // confirmed" (the file's own header does not back the engine's length, or the
    // length is not between 1 ms and MaxClipMs) or "parse timed out". Blocks for a
    // few milliseconds per file: call it off the GUI thread.
    qint64 duration(const QString& file, QString& error);

    // The same for one file, on an engine started for it alone.
    static qint64 getFileDuration(const QString& file, QString& error);

    // Where the last picture of file starts, in milliseconds, as the file's own header
    // states it; -1 when it does not tell. The file may play on beyond it with sound alone.
    // Reads the header only, no engine; still, call it off the GUI thread.
    static qint64 lastPictureStart(const QString& file);

    // Longest length taken for one clip.
    static constexpr qint64 MaxClipMs = 24LL * 60 * 60 * 1000;

private:
    std::unique_ptr<VlcFileDurationPrivate> m_d;
};
