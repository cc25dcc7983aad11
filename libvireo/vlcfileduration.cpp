#include "vireo/vlcfileduration.h"

#include "mp4header.h"
#include "vireo/vlcinstance.h"
#include "vireolog.h"
#include "vlcerror.h"
#include "vlcinstance_p.h"
#include "vlcmedia.h"
#include "vlcoptions.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

#include <vlc/vlc.h>

#include <exception>

namespace {

// Only a parse that ran out of time is tried again: a file the engine has read
// and refused stays refused.
constexpr int Attempts = 3;
// A local file parses in a few milliseconds; this bounds a stalled medium.
constexpr int ParseTimeoutMs = 3000;
// Playing a file for its length, when the parse could not tell it.
constexpr qint64 PlayTimeoutMs = 3000;
constexpr unsigned long PollMs = 2;

// The engine takes a clip's length from the movie header alone. A broken one (a
// timescale of 0, a length of all ones) gives hours or weeks for a clip of
// seconds, so the length counts only when the tracks' own headers back it.
bool confirmed(qint64 length, const Mp4Header& header)
{
    if (length <= 0 || length > VlcFileDuration::MaxClipMs) {
        return false;
    }
    if (!header.found) {
        return true;
    }
    if (header.movieTimescale == 0) {
        return false;
    }
    if (header.longestTrackMs <= 0) {
        return true;
    }
    const qint64 slack = qMax<qint64>(1000, header.longestTrackMs / 10);
    return length <= header.longestTrackMs + slack;
}

} // namespace

class VlcFileDurationPrivate
{
public:
    VlcFileDurationPrivate() : m_instance(VlcOptions::durationProbe().count, VlcOptions::durationProbe().args)
    {
        m_instance.setObjectName(QStringLiteral("Duration instance"));
    }

    // One parse of file; timedOut tells whether another attempt may help.
    qint64 measure(const QString& file, QString& error, bool& timedOut);
    // Length found by playing media, 0 when none is found.
    qint64 playedLength(libvlc_media_t* media);

    VlcInstance m_instance;
};

qint64 VlcFileDurationPrivate::measure(const QString& file, QString& error, bool& timedOut)
{
    libvlc_instance_t* engine = VlcInstancePrivate::core(&m_instance);
    if (!engine) {
        error = QStringLiteral("engine not started");
        return 0;
    }
    libvlc_media_t* media = VlcMedia::fromPath(engine, file);
    if (!media) {
        error = QStringLiteral("track info not avaialble");
        return 0;
    }
    if (VlcMedia::parse(media, ParseTimeoutMs) == VlcMedia::ParseResult::TimedOut) {
        libvlc_media_release(media);
        error = QStringLiteral("parse timed out");
        timedOut = true;
        return 0;
    }
    error = VlcMedia::checkTracks(media);
    qint64 length = 0;
    if (error.isEmpty()) {
        length = libvlc_media_get_duration(media);
        if (length <= 0) {
            length = playedLength(media);
        }
    }
    libvlc_media_release(media);
    if (!error.isEmpty()) {
        return 0;
    }
    if (!confirmed(length, Mp4Header::read(file))) {
        error = QStringLiteral("length not confirmed");
        return 0;
    }
    return length;
}

qint64 VlcFileDurationPrivate::playedLength(libvlc_media_t* media)
{
    libvlc_media_player_t* player = libvlc_media_player_new_from_media(media);
    if (!player) {
        return 0;
    }
    if (libvlc_media_player_play(player) != 0) {
        VlcError::report("playing a file to measure it");
        libvlc_media_player_release(player);
        return 0;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 length = 0;
    for (;;) {
        length = libvlc_media_player_get_length(player);
        if (length > 0 || libvlc_media_player_get_state(player) > libvlc_Playing ||
            clock.elapsed() > PlayTimeoutMs) {
            break;
        }
        QThread::msleep(PollMs);
    }
    libvlc_media_player_stop(player);
    libvlc_media_player_release(player);
    return length;
}

VlcFileDuration::VlcFileDuration() : m_d(std::make_unique<VlcFileDurationPrivate>()) {}

VlcFileDuration::~VlcFileDuration() = default;

bool VlcFileDuration::isValid() const
{
    return m_d->m_instance.isValid();
}

qint64 VlcFileDuration::duration(const QString& file, QString& error)
{
    error.clear();
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        bool timedOut = false;
        try {
            const qint64 length = m_d->measure(file, error, timedOut);
            if (length > 0) {
                return length;
            }
        } catch (const std::exception& e) {
            qCCritical(lcVireo) << "getFileDuration"
                                << ": EXCEPTION: " << e.what() << ", retrying";
            timedOut = true;
        } catch (...) {
            qCCritical(lcVireo) << "getFileDuration"
                                << ": UNKNOWN EXCEPTION, retrying";
            timedOut = true;
        }
        // A file that vanished meanwhile is not waited for again.
        if (!timedOut || !QFileInfo::exists(file)) {
            break;
        }
    }
    if (error.isEmpty()) {
        error = QStringLiteral("length not confirmed");
    }
    return 0;
}

qint64 VlcFileDuration::getFileDuration(const QString& file, QString& error)
{
    VlcFileDuration probe;
    return probe.duration(file, error);
}

qint64 VlcFileDuration::lastPictureStart(const QString& file)
{
    return Mp4Header::read(file).lastVideoFrameMs;
}
