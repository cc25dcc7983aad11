// One fuzz input is the text of an NMEA file: it is parsed as a recording's companion file,
// assembled into a trip of three videos, and its records go through the route's gap filling and
// the debug texts.

#include "nmeagaps.h"
#include "nmeaparser.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include <sys/mman.h>
#include <unistd.h>

namespace {

void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

// The input as a regular file: an anonymous memory file, opened by the parser through its path.
class InputFile
{
public:
    InputFile() : m_fd(::memfd_create("nmea", MFD_CLOEXEC))
    {
        if (m_fd < 0)
            std::abort();
        m_path = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
    }
    const QString& write(const std::uint8_t* data, std::size_t size)
    {
        if (::ftruncate(m_fd, 0) != 0)
            std::abort();
        for (std::size_t done = 0; done < size;) {
            const ssize_t n = ::pwrite(m_fd, data + done, size - done, off_t(done));
            if (n <= 0)
                std::abort();
            done += std::size_t(n);
        }
        return m_path;
    }

private:
    int m_fd;
    QString m_path;
};

// Every line through the sentence readers directly, whatever its kind.
void readLines(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        NmeaParser::hasValidChecksum(line);
        const NmeaFields fields(line);
        NmeaParser::lookUpFrameType(fields[0]);
        NmeaParser::parseGPRMC(fields).toStdString();
        NmeaParser::parseGPGGA(fields).isExtendedValid();
        NmeaParser::parsePZTRX(fields).tooltip();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static InputFile input;
    // Everything else lives for one input only, so that nothing it allocates looks like a leak.
    NmeaParser parser;
    std::shared_ptr<std::vector<QNmeaPositionInfo>> assembled;
    QObject::connect(&parser, &NmeaParser::ready,
                     [&assembled](const std::shared_ptr<std::vector<QNmeaPositionInfo>>& positions) {
                         assembled = positions;
                     });

    const QString& path = input.write(data, size);
    readLines(std::string_view(reinterpret_cast<const char*>(data), size));

    parser.requestParsing(std::make_shared<QStringList>(QStringList{path}));
    parser.doParsing();
    NmeaParser::FileReport report;
    parser.getFileReport(report, path.toStdString());

    // The same file behind three videos: the second an event, the third starting before the
    // second ends; lengths taken from the input so that cutting and filling vary.
    const qint64 first = size > 0 ? qint64(data[0]) * 1000 + (size > 1 ? data[1] : 0) : 60000;
    auto trip = std::make_shared<Trip::TripList>(Trip::TripList{
        {first, false, QStringLiteral("/c/001_0001_20240501100000.mp4"), path},
        {60000, true, QStringLiteral("/c/EVENT/001_0002_20240501100100.mp4"), path},
        {qint64(size % 120) * 1000, false, QStringLiteral("/c/001_0003_20240501100150.mp4"), path},
    });
    if (parser.requestParsed(trip) && assembled) {
        const std::vector<QNmeaPositionInfo>& v = *assembled;
        for (std::size_t i = 1; i < v.size(); ++i) {
            if (v[i - 1].marker(QNmeaPositionInfo::PositionGapBegin) &&
                v[i].marker(QNmeaPositionInfo::PositionGapEnd)) {
                std::vector<QNmeaPositionInfo> filled;
                Nmea::fillLongGap(filled, v[i - 1], v[i]);
            }
        }
        if (!v.empty()) {
            v.front().toString();
            v.back().toStdString();
            v.back().coordinateToStdString(QNmeaPositionInfo::Altitude);
        }
    }
    return 0;
}
