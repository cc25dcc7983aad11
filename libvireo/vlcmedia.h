#pragma once

#include <QString>

struct libvlc_instance_t;
struct libvlc_media_t;

// Local media files as the engine sees them, for the library's own classes.
namespace VlcMedia {

enum class ParseResult
{
    Done,
    Failed,
    TimedOut
};

// A media of the engine for a local path, or null.
libvlc_media_t* fromPath(libvlc_instance_t* engine, const QString& file);

// Parses media and waits for the outcome. The engine gives up by itself after
// timeoutMs (after its own default when negative); the wait here is only a
// backstop should its report never come.
ParseResult parse(libvlc_media_t* media, int timeoutMs);

// What the file check learns of a playable video track.
struct VideoInfo
{
    int width = 0;
    int height = 0;
    // Shape of one pixel; 1:1 when the file does not say.
    unsigned sarNum = 1;
    unsigned sarDen = 1;
    // Frames per second; 0 when the file does not say.
    double frameRate = 0;
};

// The file check of a parsed media: empty when its first video track carries an
// accepted code and a real resolution, otherwise the reason it fails. On success
// `info`, when given, receives the track's size, pixel shape and frame rate.
QString checkTracks(libvlc_media_t* media, VideoInfo* info = nullptr);

} // namespace VlcMedia
