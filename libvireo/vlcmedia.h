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

// The file check of a parsed media: empty when its first video track carries an
// accepted code and a real resolution, otherwise the reason it fails.
QString checkTracks(libvlc_media_t* media);

} // namespace VlcMedia
