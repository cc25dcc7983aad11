// One fuzz input is a whole video file: the text-track readers of the camera families read it
// as a recording on the card would be read (NMEA sentences, binary position records, the movie
// header's creation time).

#include "garminfamily.h"
#include "thinkwarefamily.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const int fd = ::memfd_create("texttrack", MFD_CLOEXEC);
    if (fd < 0 || ::ftruncate(fd, 0) != 0)
        std::abort();
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size - done, off_t(done));
        if (n <= 0)
            std::abort();
        done += std::size_t(n);
    }
    const QString path = QStringLiteral("/proc/self/fd/%1").arg(fd);

    Camera::Recording recording;
    recording.videoFile = path;
    recording.telemetryFile = path;
    recording.telemetry = Camera::TelemetrySource::TextTrack;

    const Camera::Telemetry sentences = Camera::ThinkwareFamily().readTelemetry(recording);
    for (const std::string& line : sentences.nmeaLines) {
        if (line.empty() || line.front() != '$')
            std::abort();
    }
    Camera::GarminFamily::headerStart(path);
    const Camera::Telemetry records = Camera::GarminFamily().readTelemetry(recording);
    for (const Camera::TelemetrySample& sample : records.samples) {
        if (!(std::abs(sample.latitude) <= 90) || !(std::abs(sample.longitude) <= 180))
            std::abort();
    }
    return 0;
}
