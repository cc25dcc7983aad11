#include "nmeaparser.h"

#include "families.h"
#include "mediacache.h"
#include "nmeafilecodec.h"
#include "nmealog.h"
#include "telemetrycache.h"
#include "utilities.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QtMath>

#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t ReadChunk = 256UL * 1024;
constexpr int SecondsPerDay = 24 * 3600;
// A parsed file is kept as its report (problem, bad checksums, overlong lines, positions, whether
// empty) followed by its records.
constexpr int ReportSize = 4 * 4 + 1;

QByteArray encodeReport(const NmeaParser::FileReport& report, int positions, bool empty)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << qint32(report.problem) << qint32(report.badChecksumLines) << qint32(report.overlongLines)
        << qint32(positions) << empty;
    return bytes;
}

const char* problemText(NmeaParser::FileReport::Problem problem)
{
    switch (problem) {
    case NmeaParser::FileReport::None:
        break;
    case NmeaParser::FileReport::CannotOpen:
        return "cannot be opened";
    case NmeaParser::FileReport::NotAFile:
        return "is not a regular file";
    case NmeaParser::FileReport::TooLarge:
        return "is too large, read in part";
    case NmeaParser::FileReport::ReadError:
        return "read error, read in part";
    }
    return "read";
}

// Closes a file descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads up to `size` bytes; 0 at the end of the file, -1 on an error.
ssize_t readSome(int fd, char* data, std::size_t size)
{
    for (;;) {
        const ssize_t count = ::read(fd, data, size);
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isTalkerLetter(char c, std::size_t position)
{
    return c >= 'A' && c <= 'Z' && (position > 0 || c != 'P');
}

// A sentence identifier against a pattern of frameTypes.
bool matchesId(std::string_view field, std::string_view pattern)
{
    if (field.size() != pattern.size())
        return false;
    std::size_t talker = 0;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (pattern[i] == '-') {
            if (!isTalkerLetter(field[i], talker++))
                return false;
        } else if (field[i] != pattern[i]) {
            return false;
        }
    }
    return true;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool twoDigits(const char* p, int& value)
{
    if (!isDigit(p[0]) || !isDigit(p[1]))
        return false;
    value = (p[0] - '0') * 10 + (p[1] - '0');
    return true;
}

// "hhmmss" with any number of fraction digits, rounded to the nearest second. Receivers write
// none to three fraction digits. nextDay tells that rounding passed midnight.
bool readTimeOfDay(std::string_view text, QTime& time, bool& nextDay)
{
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (text.size() < 6 || !twoDigits(text.data(), hour) || !twoDigits(text.data() + 2, minute) ||
        !twoDigits(text.data() + 4, second))
        return false;
    int milliseconds = 0;
    if (text.size() > 6) {
        if (text[6] != '.')
            return false;
        int scale = 100;
        for (std::size_t i = 7; i < text.size(); ++i) {
            if (!isDigit(text[i]))
                return false;
            milliseconds += (text[i] - '0') * scale;
            scale /= 10;
        }
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    int total = hour * 3600 + minute * 60 + second + (milliseconds >= 500 ? 1 : 0);
    nextDay = total >= SecondsPerDay;
    total %= SecondsPerDay;
    time = QTime(total / 3600, total / 60 % 60, total % 60);
    return true;
}

// "ddMMyy" of the years 2000 to 2099.
bool readDate(std::string_view text, QDate& date)
{
    int day = 0;
    int month = 0;
    int year = 0;
    if (text.size() != 6 || !twoDigits(text.data(), day) || !twoDigits(text.data() + 2, month) ||
        !twoDigits(text.data() + 4, year))
        return false;
    date = QDate(2000 + year, month, day);
    return date.isValid();
}

// A one-letter field; a checksum glued to it ("W*6A") is not part of it.
bool isLetter(std::string_view field, char letter)
{
    return !field.empty() && field[0] == letter && (field.size() == 1 || field[1] == '*');
}

QNmeaPositionInfo readGga(const NmeaFields& fields, const QDateTime& timestamp)
{
    QNmeaCoordinate coordinate;
    if (fields.size() >= 6 && fields.has(2) && fields.has(3) && fields.has(4) && fields.has(5))
        coordinate = QNmeaCoordinate::fromText(fields[2], fields[3], fields[4], fields[5]);
    double altitude = 0.0;
    if (fields.size() >= 10 && fields.has(9) && Utilities::toDouble(fields[9], altitude))
        coordinate.setAltitude(altitude);
    QNmeaPositionInfo record(coordinate, timestamp);
    if (fields.size() >= 7 && fields.has(6))
        record.setMarkerFromText(QNmeaPositionInfo::Fix, fields[6]);
    return record;
}

QNmeaPositionInfo readPztrx(const NmeaFields& fields, const QDateTime& timestamp)
{
    QNmeaPositionInfo record;
    if (fields.has(1))
        record.setTimestamp(timestamp);
    if (fields.has(2))
        record.setConvertedAttribute(QNmeaPositionInfo::AccelerationX, Utilities::secureStod(fields[2]));
    if (fields.has(3))
        record.setConvertedAttribute(QNmeaPositionInfo::AccelerationY, Utilities::secureStod(fields[3]));
    return record;
}

// Timestamp of a time-only field as read on its own: dated 1900-01-01.
QDateTime undatedTimestamp(std::string_view text)
{
    QTime time;
    bool nextDay = false;
    if (!readTimeOfDay(text, time, nextDay))
        return QDateTime();
    return QDateTime(QDate(1900, 1, nextDay ? 2 : 1), time, Qt::UTC);
}

// The entry at `key`, or where a new one goes: `end` and insertAt set. Sentences come in time
// order, so the last entry is tried first.
NmeaFile::iterator locate(NmeaFile& map, const QDateTime& key, NmeaFile::iterator& insertAt)
{
    insertAt = map.end();
    if (map.isEmpty())
        return map.end();
    const auto last = std::prev(map.end());
    const qint64 wanted = key.toMSecsSinceEpoch();
    const qint64 lastMs = last.key().toMSecsSinceEpoch();
    if (wanted == lastMs)
        return last;
    if (wanted > lastMs)
        return map.end();
    const auto it = map.lowerBound(key);
    if (it != map.end() && it.key() == key)
        return it;
    insertAt = it;
    return map.end();
}

} // namespace

const std::array<std::pair<std::string_view, NmeaParser::FrameType>, 4> NmeaParser::frameTypes{{
    {"$SNRMC", SNRMC},
    {"$PZTRX", PZTRX},
    {"$--RMC", GPRMC},
    {"$--GGA", GPGGA},
}};

NmeaParser::NmeaParser(QObject* parent) : QObject(parent)
{
    QNmeaPositionInfo::registerMetaTypes();
}

NmeaParser::~NmeaParser()
{
    abort();
}

void NmeaParser::requestParsing(std::shared_ptr<QStringList> files)
{
    abort();
    {
        // A parse of the previous request sees the new number at its next chunk and stops
        // without registering anything, so there is nothing to wait for here.
        QMutexLocker lock(&m_mutex);
        m_files = std::make_shared<QStringList>(files ? *files : QStringList());
        m_parsedFiles = Registry();
        ++m_request;
        m_aborted = false;
    }
    emit parsingRequested();
}

bool NmeaParser::abort()
{
    if (!m_running)
        return false;
    return m_aborted.exchange(true);
}

bool NmeaParser::getParsedFile(NmeaFilePtr& out, const std::string& path)
{
    QByteArray records;
    bool empty = true;
    {
        QMutexLocker lock(&m_mutex);
        const ParsedFile* file = findParsedFile(path);
        if (!file)
            return false;
        records = file->bytes;
        empty = file->empty;
    }
    auto map = std::make_shared<NmeaFile>();
    // Only whole values are registered: what was encoded here or checked when read from the cache.
    if (!empty && !NmeaFileCodec::decode(records, *map, ReportSize))
        qCWarning(lcNmea).nospace() << "the records of " << QString::fromStdString(path) << " are damaged";
    out = std::move(map);
    return !out->isEmpty();
}

bool NmeaParser::getFileReport(FileReport& out, const std::string& path)
{
    QMutexLocker lock(&m_mutex);
    const ParsedFile* file = findParsedFile(path);
    if (!file)
        return false;
    out = file->report;
    return true;
}

int NmeaParser::getPositionCount(const std::string& path)
{
    QMutexLocker lock(&m_mutex);
    const ParsedFile* file = findParsedFile(path);
    return file ? file->positions : 0;
}

const NmeaParser::ParsedFile* NmeaParser::findParsedFile(const std::string& path)
{
    // A trip asks for its files in the order they were parsed: start after the last hit.
    const std::size_t count = m_parsedFiles.size();
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = (m_lookupHint + k) % count;
        if (m_parsedFiles[i].path == path) {
            m_lookupHint = i + 1;
            return &m_parsedFiles[i];
        }
    }
    return nullptr;
}

bool NmeaParser::hasValidChecksum(std::string_view line)
{
    const std::size_t star = line.find('*');
    if (star == std::string_view::npos)
        return true;
    std::string_view digits = line.substr(star + 1);
    while (!digits.empty() && (digits.back() == ' ' || digits.back() == '\t' || digits.back() == '\r'))
        digits.remove_suffix(1);
    if (digits.size() != 2)
        return false;
    const int high = hexValue(digits[0]);
    const int low = hexValue(digits[1]);
    if (high < 0 || low < 0)
        return false;
    unsigned char sum = 0;
    for (std::size_t i = line.empty() || line[0] != '$' ? 0 : 1; i < star; ++i)
        sum ^= static_cast<unsigned char>(line[i]);
    return sum == high * 16 + low;
}

NmeaParser::FrameType NmeaParser::lookUpFrameType(const std::string& field)
{
    return lookUpFrameType(std::string_view(field));
}

NmeaParser::FrameType NmeaParser::lookUpFrameType(std::string_view field)
{
    for (const auto& [id, type] : frameTypes) {
        if (matchesId(field, id))
            return type;
    }
    return Other;
}

void NmeaParser::doParsing()
{
    m_running = true;
    QStringList files;
    quint64 request = 0;
    {
        QMutexLocker lock(&m_mutex);
        request = m_request;
        // Two requests made before the thread got here leave two queued calls; serve each request once.
        if (request != m_servedRequest && m_files)
            files = *m_files;
        m_servedRequest = request;
    }

    for (const QString& path : files) {
        if (isStopped(request))
            break;
        ParsedFile parsed;
        parsed.path = path.toStdString();
        // Other sidecars and videos are kept by the telemetry cache, before they become records.
        const QString key = MediaCache::isEnabled() && !isTelemetryFile(path)
                                ? QFileInfo(path).absoluteFilePath()
                                : QString();
        if (!key.isEmpty() && cachedFile(key, parsed)) {
            qCDebug(lcNmea).nospace().noquote()
                << path << ": from the cache, " << parsed.positions << " positions, "
                << parsed.report.badChecksumLines << " bad checksums, " << parsed.report.overlongLines
                << " overlong lines";
        } else {
            resetFileState();
            NmeaFile map;
            if (!parseFile(path, map, parsed.report, request))
                break;
            replaceSnrmcPostFactum(map);
            replacePztrxPostFactum(map);
            if (isStopped(request))
                break;
            qCDebug(lcNmea).nospace().noquote()
                << path << ": " << problemText(parsed.report.problem) << ", " << map.size() << " records, "
                << parsed.report.badChecksumLines << " bad checksums, " << parsed.report.overlongLines
                << " overlong lines";
            parsed.empty = map.isEmpty();
            parsed.positions = NmeaFileCodec::validPositions(map);
            parsed.bytes =
                NmeaFileCodec::encode(map, encodeReport(parsed.report, parsed.positions, parsed.empty));
            if (!key.isEmpty())
                storeFile(key, parsed);
        }
        QMutexLocker lock(&m_mutex);
        if (isStopped(request))
            break;
        m_parsedFiles.push_back(std::move(parsed));
    }

    resetFileState();
    // Written out and let go: a selection of thousands of files would otherwise keep both caches
    // in memory beside the parsed files for as long as it is open.
    if (m_telemetryCache)
        m_telemetryCache->save();
    m_telemetryCache.reset();
    if (m_fileCache)
        m_fileCache->save();
    m_fileCache.reset();
    m_running = false;
    emit parsingFinished();
}

bool NmeaParser::cachedFile(const QString& key, ParsedFile& parsed)
{
    if (!m_fileCache)
        m_fileCache = std::make_unique<MediaCache>(QString::fromLatin1(FileCacheName),
                                                   QString::fromLatin1(FileCacheGeneration));
    QByteArray value;
    if (!m_fileCache->lookup(key, value) || value.size() < ReportSize)
        return false;
    QDataStream in(value);
    qint32 problem = 0;
    qint32 positions = 0;
    bool empty = true;
    FileReport report;
    in >> problem >> report.badChecksumLines >> report.overlongLines >> positions >> empty;
    // A value that does not read as a whole is not used: the file is parsed and stored anew.
    if (in.status() != QDataStream::Ok || (problem != FileReport::None && problem != FileReport::TooLarge) ||
        report.badChecksumLines < 0 || report.overlongLines < 0 || positions < 0 ||
        !NmeaFileCodec::isWhole(value, ReportSize))
        return false;
    report.problem = FileReport::Problem(problem);
    // Shared with the cache until it goes: no copy, and nothing left behind when it does.
    parsed.bytes = value;
    parsed.empty = empty;
    parsed.positions = positions;
    parsed.report = report;
    return true;
}

void NmeaParser::storeFile(const QString& key, const ParsedFile& parsed)
{
    // A file that could not be read whole may read differently next time.
    if (parsed.report.problem != FileReport::None && parsed.report.problem != FileReport::TooLarge)
        return;
    m_fileCache->store(key, parsed.bytes);
}

void NmeaParser::resetFileState()
{
    m_firstValid = QNmeaPositionInfo();
    m_lastValid = QNmeaPositionInfo();
    m_latestValidTime = QDateTime();
    m_pendingSnrmc.clear();
    m_pendingPztrx.clear();
}

bool NmeaParser::isTelemetryFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("gps") || suffix == QLatin1String("gpx") ||
           suffix == QLatin1String("mp4") || suffix == QLatin1String("mov");
}

void NmeaParser::parseTelemetry(const QString& path, NmeaFile& map, FileReport& report)
{
    if (!QFileInfo(path).isFile()) {
        report.problem = QFileInfo::exists(path) ? FileReport::NotAFile : FileReport::CannotOpen;
        return;
    }
    if (!m_telemetryCache)
        m_telemetryCache = std::make_unique<TelemetryCache>();
    const Camera::Telemetry telemetry = m_telemetryCache->read(path);
    for (const std::string& line : telemetry.nmeaLines)
        handleLine(line, map, report);
    // A record stands for one second: of faster receivers (10 or 18 samples a second) the first
    // sample of each second is kept, at its whole second.
    qint64 lastSecond = std::numeric_limits<qint64>::min();
    for (Camera::TelemetrySample sample : telemetry.samples) {
        const qint64 second = sample.utcMs >= 0 ? sample.utcMs / 1000 : (sample.utcMs - 999) / 1000;
        if (second == lastSecond)
            continue;
        lastSecond = second;
        sample.utcMs = second * 1000;
        handleSample(sample, map);
    }
    if (!telemetry.error.isEmpty()) {
        qCDebug(lcNmea).noquote() << path << ":" << telemetry.error;
        report.problem = FileReport::ReadError;
    }
}

void NmeaParser::handleSample(const Camera::TelemetrySample& sample, NmeaFile& map)
{
    const QNmeaCoordinate coordinate =
        std::isnan(sample.altitude)
            ? QNmeaCoordinate(sample.latitude, sample.longitude)
            : QNmeaCoordinate(QGeoCoordinate(sample.latitude, sample.longitude, sample.altitude));
    if (!coordinate.isExtendedValid())
        return;
    QNmeaPositionInfo record(coordinate, QDateTime::fromMSecsSinceEpoch(sample.utcMs, Qt::UTC));
    if (!record.timestamp().isValid())
        return;
    record.setMarker(QNmeaPositionInfo::Fix, true);
    if (!std::isnan(sample.speed))
        record.setAttribute(QNmeaPositionInfo::GroundSpeed, sample.speed);
    if (!std::isnan(sample.course))
        record.setAttribute(QNmeaPositionInfo::Direction, sample.course);
    if (!std::isnan(sample.accelerationX))
        record.setAttribute(QNmeaPositionInfo::AccelerationX, sample.accelerationX);
    if (!std::isnan(sample.accelerationY))
        record.setAttribute(QNmeaPositionInfo::AccelerationY, sample.accelerationY);
    if (!m_firstValid.isExtendedValid())
        m_firstValid = record;
    m_lastValid = record;
    m_latestValidTime = record.timestamp();
    NmeaFile::iterator insertAt;
    const auto it = locate(map, record.timestamp(), insertAt);
    if (it == map.end())
        map.insert(insertAt, record.timestamp(), record);
    else
        *it = record;
}

bool NmeaParser::parseFile(const QString& path, NmeaFile& map, FileReport& report, quint64 request)
{
    // Sidecars of other formats and videos holding their own positions are read by the camera families.
    if (isTelemetryFile(path)) {
        parseTelemetry(path, map, report);
        return !isStopped(request);
    }

    // Non-blocking, so that opening a FIFO without writer does not hang; only regular files are
    // read: a FIFO, a device or a link to one could block or never end.
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        report.problem = FileReport::CannotOpen;
        return true;
    }
    struct stat status = {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        report.problem = FileReport::NotAFile;
        return true;
    }
    const int flags = ::fcntl(file.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(file.get(), F_SETFL, flags & ~O_NONBLOCK);

    if (!m_readBuffer)
        m_readBuffer = std::make_unique<char[]>(ReadChunk); // one for every file of the parser
    char* const buffer = m_readBuffer.get();
    std::string partial;   // a line that runs over the end of a chunk, at most MaxLineLength bytes
    bool skipping = false; // inside the rest of an overlong line
    const auto handle = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        handleLine(line, map, report);
    };

    qint64 total = 0;
    for (;;) {
        if (isStopped(request))
            return false;
        if (total >= MaxFileSize) {
            char probe = 0;
            if (readSome(file.get(), &probe, 1) > 0) {
                report.problem = FileReport::TooLarge;
                partial.clear(); // cut by the limit, not by its end
            }
            break;
        }
        const ssize_t count = readSome(file.get(), buffer,
                                       std::size_t(std::min<qint64>(qint64(ReadChunk), MaxFileSize - total)));
        if (count < 0) {
            report.problem = FileReport::ReadError;
            partial.clear();
            break;
        }
        if (count == 0)
            break;
        total += count;

        const char* begin = buffer;
        const char* const end = begin + count;
        while (begin != end) {
            const auto* newline =
                static_cast<const char*>(std::memchr(begin, '\n', std::size_t(end - begin)));
            const char* const lineEnd = newline ? newline : end;
            const auto length = std::size_t(lineEnd - begin);
            if (skipping) {
                skipping = !newline;
            } else if (partial.empty() && newline) {
                if (length > MaxLineLength)
                    ++report.overlongLines;
                handle(std::string_view(begin, std::min(length, MaxLineLength)));
            } else {
                const std::size_t room = MaxLineLength - partial.size();
                partial.append(begin, std::min(length, room));
                if (length > room) {
                    ++report.overlongLines;
                    handle(partial);
                    partial.clear();
                    skipping = !newline;
                } else if (newline) {
                    handle(partial);
                    partial.clear();
                }
            }
            begin = newline ? newline + 1 : end;
        }
    }
    if (!partial.empty())
        handle(partial);
    return true;
}

void NmeaParser::handleLine(std::string_view line, NmeaFile& map, FileReport& report)
{
    const std::string_view first = line.substr(0, line.find(','));
    const FrameType type = lookUpFrameType(first);
    if (type == Other)
        return;
    if (!hasValidChecksum(line)) {
        ++report.badChecksumLines;
        return;
    }
    m_fields.assign(line);
    switch (type) {
    case GPRMC:
        handleGPRMC(m_fields, map);
        break;
    case SNRMC:
        handleSNRMC(m_fields, map);
        break;
    case GPGGA:
        handleGPGGA(m_fields, map);
        break;
    case PZTRX:
        handlePZTRX(m_fields, map);
        break;
    case Other:
        break;
    }
}

QNmeaPositionInfo NmeaParser::parseGPRMC(const NmeaFields& fields)
{
    QDateTime timestamp;
    if (fields.size() >= 10 && fields.has(1) && fields.has(9)) {
        QDate date;
        QTime time;
        bool nextDay = false;
        if (readDate(fields[9], date) && readTimeOfDay(fields[1], time, nextDay))
            timestamp = QDateTime(nextDay ? date.addDays(1) : date, time, Qt::UTC);
    }

    QNmeaCoordinate coordinate;
    if (fields.size() >= 7 && fields.has(3) && fields.has(4) && fields.has(5) && fields.has(6)) {
        coordinate = QNmeaCoordinate::fromText(fields[3], fields[4], fields[5], fields[6]);
        if (!coordinate.isExtendedValid())
            return QNmeaPositionInfo();
    }

    QNmeaPositionInfo record(coordinate, timestamp);
    if (fields[2] == "A")
        record.setMarker(QNmeaPositionInfo::Fix, true);
    if (fields.has(7))
        record.setConvertedAttribute(QNmeaPositionInfo::GroundSpeed, Utilities::secureStod(fields[7]));
    if (fields.has(8))
        record.setConvertedAttribute(QNmeaPositionInfo::Direction, Utilities::secureStod(fields[8]));
    if (fields.size() >= 12 && fields.has(10) && fields.has(11)) {
        const double variation = Utilities::secureStod(fields[10]);
        record.setAttribute(QNmeaPositionInfo::MagneticVariation,
                            isLetter(fields[11], 'W') ? -variation : variation);
    }
    return record;
}

QNmeaPositionInfo NmeaParser::parseGPGGA(const NmeaFields& fields)
{
    return readGga(fields, fields.size() >= 2 ? undatedTimestamp(fields[1]) : QDateTime());
}

QNmeaPositionInfo NmeaParser::parsePZTRX(const NmeaFields& fields)
{
    return readPztrx(fields, undatedTimestamp(fields[1]));
}

QDateTime NmeaParser::anchoredTimestamp(const QTime& timeOfDay) const
{
    const QDateTime& anchor = m_latestValidTime.isValid() ? m_latestValidTime : m_firstValid.timestamp();
    QDate date = anchor.date();
    const int seconds = anchor.time().secsTo(timeOfDay);
    if (seconds < -SecondsPerDay / 2)
        date = date.addDays(1);
    else if (seconds > SecondsPerDay / 2)
        date = date.addDays(-1);
    return QDateTime(date, timeOfDay, Qt::UTC);
}

void NmeaParser::handleGPRMC(const NmeaFields& fields, NmeaFile& map)
{
    QNmeaPositionInfo record = parseGPRMC(fields);
    if (!record.isValid())
        return;
    if (!m_firstValid.isExtendedValid())
        m_firstValid = record;
    m_lastValid = record;
    m_latestValidTime = record.timestamp();

    NmeaFile::iterator insertAt;
    const auto it = locate(map, record.timestamp(), insertAt);
    if (it == map.end()) {
        map.insert(insertAt, record.timestamp(), record);
        return;
    }
    setMissingAltitude(record, *it);
    setMissingAccelaration(record, *it);
    *it = record;
}

void NmeaParser::handleSNRMC(const NmeaFields& fields, NmeaFile& map)
{
    QNmeaPositionInfo record = parseGPRMC(fields);
    if (record.isExtendedValid()) {
        if (!m_firstValid.isExtendedValid())
            m_firstValid = record;
        m_lastValid = record;
        m_latestValidTime = record.timestamp();
    }

    const int method = getSnrmcReplacementMethod(record);
    if (method <= 1) {
        const QDateTime key = m_lastValid.timestamp().addSecs(1);
        if (method == 1)
            record.setCoordinate(m_lastValid.coordinate());
        map.insert(key, record);
        m_lastValid = record;
    } else {
        m_pendingSnrmc.emplace_back(QNmeaCoordinate(record.coordinate()), method == 3);
    }
}

void NmeaParser::handleGPGGA(const NmeaFields& fields, NmeaFile& map)
{
    if (!m_firstValid.timestamp().isValid() || fields.size() < 2)
        return;
    QTime time;
    bool nextDay = false;
    if (!readTimeOfDay(fields[1], time, nextDay))
        return;
    const QNmeaPositionInfo record = readGga(fields, anchoredTimestamp(time));
    if (!record.isValid())
        return;

    NmeaFile::iterator insertAt;
    const auto it = locate(map, record.timestamp(), insertAt);
    if (it == map.end()) {
        map.insert(insertAt, record.timestamp(), record);
        return;
    }
    setMissingAltitude(*it, record);
    setMissingAccelaration(*it, record);
}

void NmeaParser::handlePZTRX(const NmeaFields& fields, NmeaFile& map)
{
    if (!m_firstValid.timestamp().isValid())
        return;
    QTime time;
    bool nextDay = false;
    if (!readTimeOfDay(fields[1], time, nextDay))
        return; // no second to merge into
    const QNmeaPositionInfo record = readPztrx(fields, anchoredTimestamp(time));

    NmeaFile::iterator insertAt;
    const auto it = locate(map, record.timestamp(), insertAt);
    if (it == map.end())
        m_pendingPztrx.push_back(record);
    else
        setMissingAccelaration(*it, record);
}

int NmeaParser::getSnrmcReplacementMethod(const QNmeaPositionInfo& record) const
{
    const bool lastExtended = m_lastValid.isExtendedValid();
    const bool usable = record.isValid() ? record.isExtendedValid() : record.coordinate().isValid();
    if (usable)
        return lastExtended ? 0 : 2;
    return lastExtended ? 1 : 3;
}

void NmeaParser::replaceSnrmcPostFactum(NmeaFile& map)
{
    if (!m_firstValid.isExtendedValid())
        return;
    const QDateTime first = m_firstValid.timestamp();
    const QNmeaCoordinate firstFix(m_firstValid.coordinate().latitude(),
                                   m_firstValid.coordinate().longitude());
    const quint64 request = m_request;
    qint64 k = 1;
    for (auto it = m_pendingSnrmc.rbegin(); it != m_pendingSnrmc.rend() && !isStopped(request); ++it, ++k) {
        const QDateTime key = first.addSecs(-k);
        map.insert(key, QNmeaPositionInfo(it->second ? firstFix : it->first, key));
    }
}

void NmeaParser::replacePztrxPostFactum(NmeaFile& map)
{
    const quint64 request = m_request;
    for (auto it = m_pendingPztrx.rbegin(); it != m_pendingPztrx.rend() && !isStopped(request); ++it) {
        const auto entry = map.find(it->timestamp());
        if (entry != map.end())
            setMissingAccelaration(*entry, *it);
    }
}

void NmeaParser::setMissingAltitude(QNmeaPositionInfo& target, const QNmeaPositionInfo& source)
{
    const bool hadAltitude = !qIsNaN(target.coordinate().altitude());
    if (!target.coordinate().isValid() && source.coordinate().isValid())
        target.setCoordinate(source.coordinate());
    const double altitude = source.coordinate().altitude();
    if (!hadAltitude && !qIsNaN(altitude)) {
        QGeoCoordinate coordinate = target.coordinate();
        coordinate.setAltitude(altitude);
        target.setCoordinate(coordinate);
    }
}

void NmeaParser::setMissingAccelaration(QNmeaPositionInfo& target, const QNmeaPositionInfo& source)
{
    for (const auto attribute : {QNmeaPositionInfo::AccelerationX, QNmeaPositionInfo::AccelerationY}) {
        if (!target.hasAttribute(attribute) && source.hasAttribute(attribute))
            target.setAttribute(attribute, source.attribute(attribute));
    }
}
