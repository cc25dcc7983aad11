#pragma once

#include <QString>
#include <QtGlobal>

// What an MP4 file's own header says about its length, read without the engine.
// The engine takes a movie's length from the movie header alone; the tracks'
// own headers are a second opinion on it.
struct Mp4Header
{
    // A movie header was found and read.
    bool found = false;
    // Units per second of the movie header's length; 0 in a broken header.
    quint32 movieTimescale = 0;
    // Longest length that a track's media header states, 0 when none states one.
    qint64 longestTrackMs = 0;
    // Where the last picture of the first video track starts, in milliseconds from the start
    // of that track; -1 when the header does not tell. The sound may go on beyond it.
    qint64 lastVideoFrameMs = -1;

    static Mp4Header read(const QString& file);
};
