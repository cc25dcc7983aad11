#pragma once

#include "mp4boxes.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace Camera {

// A timed text track of an MP4 or QuickTime file (QuickTime "text", 3GPP "tx3g" or a subtitle
// track), read sample by sample. A text sample is a 16-bit length word and that many bytes of
// text; styling boxes that may follow are left out. Only the movie box and the text samples are
// read, never the other media data.
class TextTrack
{
public:
    struct Sample
    {
        qint64 timeMs = 0; // from the start of the track
        QByteArray text;
    };

    // Most bytes of text read from one file; the rest of a larger file is left out and reported.
    static constexpr qint64 MaxTextBytes = 16 * 1024 * 1024;

    std::vector<Sample> samples;

    // The text tracks of a file in the order of the movie box. `error` says why something could
    // not be read (no movie box, a sample beyond the end of the file, a text cut short); what
    // could be read is kept.
    static std::vector<TextTrack> read(Mp4Boxes& file, QString& error);

    // The text of one sample: the bytes its length word announces. A sample that starts with "$"
    // is taken as text without a length word. `cut` is set when the sample ends before its text.
    static QByteArray textOf(const QByteArray& sample, bool& cut);

    // A track time in milliseconds, without overflow for any 64-bit time.
    static qint64 toMs(qint64 time, quint32 timescale);
};

} // namespace Camera
