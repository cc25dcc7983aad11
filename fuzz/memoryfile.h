#pragma once

#include <cstdint>
#include <cstdlib>

#include <sys/types.h>
#include <unistd.h>

// The fuzz targets hand their input to readers of files through a file in memory (memfd).
namespace MemoryFile {

// Makes `fd` hold exactly `data`; aborts when it cannot, so that no input is read short.
inline void fill(int fd, const std::uint8_t* data, std::size_t size)
{
    if (fd < 0 || ::ftruncate(fd, 0) != 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            std::abort();
        done += std::size_t(n);
    }
}

} // namespace MemoryFile
