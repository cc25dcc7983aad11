// One fuzz input is read twice: as one GPMF payload, and as a video of the action-camera family
// (recognised as the second chapter of a recording whose first chapter is the same file, then its
// telemetry read), as a card's file would be.

#include "goprofamily.h"
#include "gpmf.h"
#include "memoryfile.h"

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

namespace {

const char* const Names[] = {"/GX010001.MP4", "/GX020001.MP4"};

// A folder with "GX010001.MP4" and "GX020001.MP4", both links to the in-memory file `fd`; removed
// when the fuzzer ends.
struct Chapters
{
    explicit Chapters(int fd)
    {
        char name[] = "/tmp/fuzz_gpmf.XXXXXX";
        if (!::mkdtemp(name))
            std::abort();
        folder = name;
        const QByteArray target = QByteArray("/proc/self/fd/") + QByteArray::number(fd);
        for (const char* file : Names) {
            if (::symlink(target.constData(), (folder + file).constData()) != 0)
                std::abort();
        }
    }
    ~Chapters()
    {
        for (const char* file : Names)
            ::unlink((folder + file).constData());
        ::rmdir(folder.constData());
    }
    QByteArray folder;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Camera::Gpmf::Payload payload;
    payload.data = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    payload.durationMs = 1000;
    std::vector<Camera::TelemetrySample> samples;
    std::vector<qint64> trackMs;
    Camera::Gpmf::parse(payload, samples, &trackMs);
    if (samples.size() != trackMs.size())
        std::abort();

    static const int fd = ::memfd_create("gpmf", MFD_CLOEXEC);
    static const Chapters chapters(fd);
    MemoryFile::fill(fd, data, size);
    const Camera::GoProFamily family;
    const Camera::Recording recording = family.recognise(QString::fromLocal8Bit(chapters.folder + Names[1]));
    if (recording.family != Camera::GoProFamily::Id)
        std::abort();
    const Camera::Telemetry telemetry = family.readTelemetry(recording);
    if (telemetry.samples.size() > Camera::Gpmf::MaxSamples)
        std::abort();
    return 0;
}
