#pragma once

#include <QString>

#include <condition_variable>
#include <mutex>

struct libvlc_event_t;
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

// The engine's parse of one media, started on construction and awaited by result().
// The engine gives up by itself after timeoutMs (after its own default when negative);
// the wait is bounded beyond that only as a backstop should its report never come.
// The media must outlive the parse.
class Parse
{
public:
    Parse(libvlc_media_t* media, int timeoutMs);
    // Waits for the outcome if nobody has: the engine reports to this object.
    ~Parse();

    Parse(const Parse&) = delete;
    Parse& operator=(const Parse&) = delete;

    ParseResult result();

private:
    static void onParsed(const libvlc_event_t* event, void* data);

    libvlc_media_t* m_media;
    int m_timeoutMs;
    bool m_started = false;
    bool m_finished = false;
    ParseResult m_result = ParseResult::Failed;
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_parsed = false;
};

// Parses media and waits for the outcome.
ParseResult parse(libvlc_media_t* media, int timeoutMs);

// The file check of a parsed media: empty when its first video track carries an
// accepted code and a real resolution, otherwise the reason it fails.
QString checkTracks(libvlc_media_t* media);

} // namespace VlcMedia
