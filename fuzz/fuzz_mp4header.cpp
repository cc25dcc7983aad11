// One fuzz input is the start of an MP4 file: the header reader that checks the engine's length
// reads it as a recording on the card would be read.

#include "memoryfile.h"
#include "mp4header.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("mp4", MFD_CLOEXEC);
    MemoryFile::fill(fd, data, size);
    const Mp4Header header = Mp4Header::read(QStringLiteral("/proc/self/fd/%1").arg(fd));
    if (header.longestTrackMs < 0)
        std::abort();
    return 0;
}
