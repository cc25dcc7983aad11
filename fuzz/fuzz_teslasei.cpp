// One fuzz input is a selector byte and then either a camera video whose H.264 stream carries the
// car's state in SEI messages (even selector), read as a recording on the drive would be read,
// or one SEI NAL unit (odd selector) whose user data is decoded directly.

#include "memoryfile.h"
#include "teslasei.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool unit = data[0] & 1;
    ++data;
    --size;
    if (unit) {
        bool damaged = false;
        const QByteArray nal(reinterpret_cast<const char*>(data), int(size));
        for (const QByteArray& payload : Camera::TeslaSei::userData(nal, damaged)) {
            Camera::TeslaSei::Metadata metadata;
            if (Camera::TeslaSei::decode(payload, metadata) == Camera::TeslaSei::Decoded::Ok &&
                metadata.hasPosition() &&
                (std::abs(metadata.latitude) > 90 || std::abs(metadata.longitude) > 180))
                std::abort();
        }
        return 0;
    }

    static const int fd = ::memfd_create("mp4", MFD_CLOEXEC);
    MemoryFile::fill(fd, data, size);
    const QDateTime start(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC);
    qint64 durationMs = 0;
    const Camera::Telemetry telemetry =
        Camera::TeslaSei::read(QStringLiteral("/proc/self/fd/%1").arg(fd), start, &durationMs);
    for (const Camera::TelemetrySample& sample : telemetry.samples) {
        if (sample.utcMs < start.toMSecsSinceEpoch() || std::abs(sample.latitude) > 90)
            std::abort();
    }
    return 0;
}
