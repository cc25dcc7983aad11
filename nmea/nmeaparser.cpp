#include "nmeaparser.h"

#include "utilities.h"

#include <QFile>
#include <QThread>
#include <QtMath>

#include <cstring>

namespace {

constexpr qint64 ReadChunk = 256 * 1024;
constexpr int SecondsPerDay = 24 * 3600;

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
    return QDateTime(QDate(1900, 1, nextDay ? 2 : 1), time);
}

} // namespace

const std::array<std::pair<std::string_view, NmeaParser::FrameType>, 6> NmeaParser::frameTypes{{
    {"$GPRMC", GPRMC},
    {"$GLRMC", GPRMC},
    {"$SNRMC", SNRMC},
    {"$GPGGA", GPGGA},
    {"$GLGGA", GPGGA},
    {"$PZTRX", PZTRX},
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
    while (m_running)
        QThread::yieldCurrentThread();
    {
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
    QMutexLocker lock(&m_mutex);
    for (const auto& [name, map] : m_parsedFiles) {
        if (name == path) {
            out = map;
            return !map->isEmpty();
        }
    }
    return false;
}

NmeaParser::FrameType NmeaParser::lookUpFrameType(const std::string& field)
{
    return lookUpFrameType(std::string_view(field));
}

NmeaParser::FrameType NmeaParser::lookUpFrameType(std::string_view field)
{
    for (const auto& [id, type] : frameTypes) {
        if (field == id)
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
        resetFileState();
        NmeaFile map;
        parseFile(path, map, request);
        replaceSnrmcPostFactum(map);
        replacePztrxPostFactum(map);
        QMutexLocker lock(&m_mutex);
        if (isStopped(request))
            break;
        m_parsedFiles.emplace_back(path.toStdString(), std::make_shared<NmeaFile>(std::move(map)));
    }

    resetFileState();
    m_running = false;
    emit parsingFinished();
}

void NmeaParser::resetFileState()
{
    m_firstValid = QNmeaPositionInfo();
    m_lastValid = QNmeaPositionInfo();
    m_latestValidTime = QDateTime();
    m_pendingSnrmc.clear();
    m_pendingPztrx.clear();
}

void NmeaParser::parseFile(const QString& path, NmeaFile& map, quint64 request)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;

    std::vector<char> buffer(static_cast<std::size_t>(ReadChunk));
    std::string partial; // a line that runs over the end of a chunk
    const auto handle = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        handleLine(line, map);
    };

    qint64 count = 0;
    while ((count = file.read(buffer.data(), ReadChunk)) > 0) {
        const char* begin = buffer.data();
        const char* const end = begin + count;
        while (begin != end) {
            const auto* newline =
                static_cast<const char*>(std::memchr(begin, '\n', std::size_t(end - begin)));
            if (!newline) {
                partial.append(begin, end);
                break;
            }
            if (partial.empty()) {
                handle(std::string_view(begin, std::size_t(newline - begin)));
            } else {
                partial.append(begin, newline);
                handle(partial);
                partial.clear();
            }
            begin = newline + 1;
            if (isStopped(request))
                return;
        }
    }
    if (!partial.empty())
        handle(partial);
}

void NmeaParser::handleLine(std::string_view line, NmeaFile& map)
{
    const std::string_view first = line.substr(0, line.find(','));
    const FrameType type = lookUpFrameType(first);
    if (type == Other)
        return;
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
            timestamp = QDateTime(nextDay ? date.addDays(1) : date, time);
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
    return QDateTime(date, timeOfDay);
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

    const auto it = map.find(record.timestamp());
    if (it == map.end()) {
        map.insert(record.timestamp(), record);
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

    const auto it = map.find(record.timestamp());
    if (it == map.end()) {
        map.insert(record.timestamp(), record);
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

    const auto it = map.find(record.timestamp());
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
