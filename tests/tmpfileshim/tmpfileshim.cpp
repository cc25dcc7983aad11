// Loaded with LD_PRELOAD into a test or the program under test. While TARROW_TEST_NO_TMPFILE
// is set, the file system seems to lack unnamed temporary files (O_TMPFILE), as FAT and exFAT
// do: QSaveFile then writes under a visible temporary name beside the target ("clip.mp4.Ab12Cd").
// TARROW_TEST_SLOW_WRITES=MS makes each write to such a file take that long, so that a test
// can stop an export half-way.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int TrackedFds = 4096;
std::atomic<bool> g_slow[TrackedFds];

bool isSet(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value && std::strcmp(value, "0") != 0;
}

// A name QSaveFile's fallback makes: the target's name, a dot and six letters or digits.
bool isSaveFileTemporary(const char* path)
{
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strlen(dot + 1) != 6 || dot == path)
        return false;
    for (const char* c = dot + 1; *c; ++c) {
        if (!((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9')))
            return false;
    }
    return true;
}

template <typename Open> int openFile(Open real, const char* path, int flags, mode_t mode)
{
    if ((flags & O_TMPFILE) == O_TMPFILE && isSet("TARROW_TEST_NO_TMPFILE")) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const int fd = real(path, flags, mode);
    if (fd >= 0 && fd < TrackedFds)
        g_slow[fd] = (flags & O_CREAT) && (flags & O_EXCL) && isSaveFileTemporary(path);
    return fd;
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

using OpenFunction = int (*)(const char*, int, ...);

OpenFunction next(const char* name)
{
    return reinterpret_cast<OpenFunction>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...)
{
    static const OpenFunction real = next("open");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openFile(real, path, flags, mode);
}

int open64(const char* path, int flags, ...)
{
    static const OpenFunction real = next("open64");
    va_list args;
    va_start(args, flags);
    const mode_t mode = modeOf(flags, args);
    va_end(args);
    return openFile(real, path, flags, mode);
}

ssize_t write(int fd, const void* data, size_t size)
{
    using WriteFunction = ssize_t (*)(int, const void*, size_t);
    static const auto real = reinterpret_cast<WriteFunction>(dlsym(RTLD_NEXT, "write"));
    if (fd >= 0 && fd < TrackedFds && g_slow[fd]) {
        if (const char* ms = std::getenv("TARROW_TEST_SLOW_WRITES"))
            usleep(useconds_t(std::atoi(ms)) * 1000);
    }
    return real(fd, data, size);
}

int close(int fd)
{
    using CloseFunction = int (*)(int);
    static const auto real = reinterpret_cast<CloseFunction>(dlsym(RTLD_NEXT, "close"));
    if (fd >= 0 && fd < TrackedFds)
        g_slow[fd] = false;
    return real(fd);
}

} // extern "C"
