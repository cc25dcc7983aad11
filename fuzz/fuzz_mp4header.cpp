// One fuzz input is the start of an MP4 file: the header reader that checks the engine's length
// reads it as a recording on the card would be read.

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
    if (fd < 0 || ::ftruncate(fd, 0) != 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            std::abort();
        done += std::size_t(n);
    }
    const Mp4Header header = Mp4Header::read(QStringLiteral("/proc/self/fd/%1").arg(fd));
    if (header.longestTrackMs < 0)
        std::abort();
    return 0;
}
