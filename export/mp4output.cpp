#include "mp4output.h"

#include <QIODevice>

namespace {

#if LIBAVFORMAT_VERSION_MAJOR < 61
using WriteBuffer = uint8_t*;
#else
using WriteBuffer = const uint8_t*;
#endif

constexpr int IoBufferSize = 256 * 1024;

int writeToDevice(void* opaque, WriteBuffer data, int size)
{
    auto* device = static_cast<QIODevice*>(opaque);
    return device->write(reinterpret_cast<const char*>(data), size) == size ? size : AVERROR(EIO);
}

int64_t seekDevice(void* opaque, int64_t offset, int whence)
{
    auto* device = static_cast<QIODevice*>(opaque);
    qint64 position = offset;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
        return device->size();
    case SEEK_SET:
        break;
    case SEEK_CUR:
        position = device->pos() + offset;
        break;
    case SEEK_END:
        position = device->size() + offset;
        break;
    default:
        return AVERROR(EINVAL);
    }
    return device->seek(position) ? position : AVERROR(EIO);
}

} // namespace

Mp4Output::~Mp4Output()
{
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
    avformat_free_context(m_context);
}

bool Mp4Output::open(QIODevice& device)
{
    if (avformat_alloc_output_context2(&m_context, nullptr, "mp4", nullptr) < 0 || !m_context)
        return false;
    auto* buffer = static_cast<unsigned char*>(av_malloc(IoBufferSize));
    if (!buffer)
        return false;
    m_io = avio_alloc_context(buffer, IoBufferSize, 1, &device, nullptr, writeToDevice, seekDevice);
    if (!m_io) {
        av_free(buffer);
        return false;
    }
    m_context->pb = m_io;
    return true;
}

bool Mp4Output::flush()
{
    if (!m_io)
        return false;
    avio_flush(m_io);
    return m_io->error == 0;
}
