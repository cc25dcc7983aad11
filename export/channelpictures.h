#pragma once

#include "avhandles.h"

#include <QString>

// Decodes one channel's recordings beside the trip's pictures of an overlay export. Asked for
// presentation times that grow (as an export's do), it decodes on from where it stands and
// keeps the picture shown; a jump back, far ahead or to another file seeks afresh.
class ChannelPictures
{
public:
    // Up to this long before a recording's first picture (a channel that starts a moment after
    // the trip's own) that picture stands in, as the window holds it.
    static const qint64 HoldMs = 1500;
    // The longest a recording's last picture stays after it: the pictures of a recording lie
    // much closer together, so a longer stretch is a recording cut short.
    static const qint64 UnshownGapMs = 500;

    // The picture `file` shows at its presentation time `timeMs`; null where it shows none
    // (before its first picture, after its last, or a file that cannot be read).
    const AVFrame* at(const QString& file, qint64 timeMs);

private:
    void open(const QString& file, qint64 timeMs);
    // Decodes the next picture into m_next; false at the file's end.
    bool decodeNext();

    QString m_file;
    Av::Input m_in;
    Av::Codec m_codec;
    int m_stream = -1;
    bool m_ended = true;
    Av::Frame m_shown;
    Av::Frame m_next;
    qint64 m_shownMs = 0;
    qint64 m_nextMs = 0;
    bool m_haveShown = false;
    bool m_haveNext = false;
};
