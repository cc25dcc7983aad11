#pragma once

extern "C" {
#include <libavformat/avformat.h>
}

class QIODevice;

// FFmpeg's MP4 writer on a Qt device (a QSaveFile, so that a failed export leaves nothing).
class Mp4Output
{
public:
    Mp4Output() = default;
    ~Mp4Output();
    Mp4Output(const Mp4Output&) = delete;
    Mp4Output& operator=(const Mp4Output&) = delete;

    // False when the writer cannot be made.
    bool open(QIODevice& device);
    AVFormatContext* context() const { return m_context; }
    // True when every write and seek so far reached the device.
    bool flush();

private:
    AVFormatContext* m_context = nullptr;
    AVIOContext* m_io = nullptr;
};
