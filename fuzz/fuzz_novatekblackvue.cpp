// One fuzz input is a whole video file: the novatek family reads its "freeGPS" blocks (listed by
// the movie box or top-level), the blackvue family its "gps " box, as they would on a card.

#include "blackvuefamily.h"
#include "memoryfile.h"
#include "novatekfamily.h"

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("video", MFD_CLOEXEC);
    MemoryFile::fill(fd, data, size);
    Camera::Recording recording;
    recording.videoFile = recording.telemetryFile = QStringLiteral("/proc/self/fd/%1").arg(fd);
    recording.telemetry = Camera::TelemetrySource::Mp4Box;

    const Camera::Telemetry blocks = Camera::NovatekFamily().readTelemetry(recording);
    if (blocks.samples.size() > std::size_t(Camera::NovatekFamily::MaxBlocks))
        std::abort();
    for (const Camera::TelemetrySample& sample : blocks.samples) {
        if (!(std::abs(sample.latitude) <= 90 && std::abs(sample.longitude) <= 180))
            std::abort();
    }
    Camera::TelemetrySample sample;
    Camera::NovatekFamily::parseBlock(QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                              int(std::min<std::size_t>(size, 1 << 20))),
                                      sample);

    Camera::BlackVueFamily::hasGpsBox(recording.videoFile);
    Camera::BlackVueFamily().readTelemetry(recording);
    return 0;
}
