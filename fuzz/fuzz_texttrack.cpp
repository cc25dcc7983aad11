// One fuzz input is a whole video file: the text-track readers of the camera families read it
// as a recording on the card would be read (NMEA sentences, binary position records, the movie
// header's creation time).

#include "garminfamily.h"
#include "memoryfile.h"
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
    MemoryFile::fill(fd, data, size);
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
