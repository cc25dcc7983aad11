#pragma once

#include "nmeafields.h"
#include "qnmeapositioninfo.h"
#include "telemetry.h"
#include "tripitem.h"

#include <QDateTime>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QStringList>

#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using NmeaFile = QMap<QDateTime, QNmeaPositionInfo>;
using NmeaFilePtr = std::shared_ptr<NmeaFile>;

// Parses the NMEA files of a selection on its own thread into one map of samples per file, and
// assembles the samples of a trip into one record per second of its timeline.
class MediaCache;
class TelemetryCache;

class NmeaParser : public QObject
{
    Q_OBJECT

public:
    enum FrameType
    {
        GPRMC,
        SNRMC,
        GPGGA,
        PZTRX,
        Other
    };

    // Sentence identifiers and their kinds, tried in this order; anything else is Other. "--" stands
    // for any talker: two capital letters, the first not P (that marks a maker's own sentence).
    static const std::array<std::pair<std::string_view, FrameType>, 4> frameTypes;

    // Longest line read; the rest of a longer line is skipped.
    static constexpr std::size_t MaxLineLength = 64UL * 1024;
    // Most bytes read of one file; a larger one is not a recording's companion and counts as damaged.
    static constexpr qint64 MaxFileSize = 64LL * 1024 * 1024;

    // The cache of parsed ".nmea" files: its name, and the generation of what it holds (raised
    // when the parser's results or their encoding change).
    static constexpr const char* FileCacheName = "positions";
    static constexpr const char* FileCacheGeneration = "positions 1";

    // What reading one file met, besides its samples.
    struct FileReport
    {
        enum Problem
        {
            None,
            CannotOpen, // missing or unreadable
            NotAFile,   // a folder, a FIFO, a device: never read
            TooLarge,   // read up to MaxFileSize only
            ReadError   // read up to the error only
        };
        Problem problem = None;
        int badChecksumLines = 0; // lines of a known sentence whose checksum is wrong or malformed
        int overlongLines = 0;    // lines cut at MaxLineLength

        bool isDamaged() const
        {
            return problem == TooLarge || problem == ReadError || badChecksumLines > 0 || overlongLines > 0;
        }
    };

    explicit NmeaParser(QObject* parent = nullptr);
    ~NmeaParser() override;

    // Announces a new request. A parse still running stops at its next chunk and registers nothing;
    // the caller never waits for it.
    void requestParsing(std::shared_ptr<QStringList> files);
    // Returns the previous abort flag when a parse runs; false otherwise.
    bool abort();
    bool isRunning() const { return m_running; }

    // False when the file is not registered (out untouched) or registered without samples (out set).
    bool getParsedFile(NmeaFilePtr& out, const std::string& path);
    // False when the file is not registered (out untouched).
    bool getFileReport(FileReport& out, const std::string& path);
    // Records of a registered file whose coordinate is valid; 0 for a file not registered.
    int getPositionCount(const std::string& path);

    // True when the line has no checksum or a right one: "*" and two hexadecimal digits ending the
    // line (blanks may follow), the exclusive or of the bytes between "$" and "*".
    static bool hasValidChecksum(std::string_view line);

    static FrameType lookUpFrameType(const std::string& field);
    static FrameType lookUpFrameType(std::string_view field);

    static QNmeaPositionInfo parseGPRMC(const NmeaFields& fields);
    static QNmeaPositionInfo parseGPGGA(const NmeaFields& fields);
    static QNmeaPositionInfo parsePZTRX(const NmeaFields& fields);

    void handleGPRMC(const NmeaFields& fields, NmeaFile& map);
    void handleSNRMC(const NmeaFields& fields, NmeaFile& map);
    void handleGPGGA(const NmeaFields& fields, NmeaFile& map);
    void handlePZTRX(const NmeaFields& fields, NmeaFile& map);

    int getSnrmcReplacementMethod(const QNmeaPositionInfo& record) const;
    void replaceSnrmcPostFactum(NmeaFile& map);
    void replacePztrxPostFactum(NmeaFile& map);

    static void setMissingAltitude(QNmeaPositionInfo& target, const QNmeaPositionInfo& source);
    static void setMissingAccelaration(QNmeaPositionInfo& target, const QNmeaPositionInfo& source);

    using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;
    // Trip assembly: one record per second of the trip's timeline, record i for second i. Null
    // when a file of the trip is not parsed yet, when no file nearby has a position to stand in
    // for a file without any, or when stopped by abort(). Safe on any thread.
    Positions assemble(const std::shared_ptr<Trip::TripList>& trip);
    // The same, reported by ready(); false when assemble() gives nothing.
    bool requestParsed(std::shared_ptr<Trip::TripList> trip);

    static void concatenate(std::vector<QNmeaPositionInfo>& out, const NmeaFilePtr& file, bool event);
    bool fillMissingFile(const NmeaFilePtr& file, const std::shared_ptr<Trip::TripList>& trip,
                         const Trip::TripItem& item, const QNmeaPositionInfo& previousLast);
    static void fillForwardToDuration(const NmeaFilePtr& file, const QNmeaPositionInfo& from,
                                      qint64 durationMs);
    static void fillReverseToDuration(const NmeaFilePtr& file, const QNmeaPositionInfo& from, qint64 offsetMs,
                                      qint64 durationMs);
    static void fillWithEstimates(const NmeaFilePtr& file, qint64 maxGapSec);
    static void cutToDuration(const NmeaFilePtr& file, qint64 durationMs);
    static void cutToDuration(std::vector<QNmeaPositionInfo>& positions, qint64 durationMs);

public slots:
    void doParsing();

signals:
    void parsingRequested();
    void parsingFinished();
    void ready(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);

private:
    // A selection holds thousands of files: each is kept in its compact form (NmeaFileCodec)
    // and made into records when asked for.
    struct ParsedFile
    {
        std::string path;
        QByteArray bytes; // its report, then its records
        bool empty = true;
        int positions = 0;
        FileReport report;
    };
    using Registry = std::vector<ParsedFile>;

    bool isStopped(quint64 request) const { return m_aborted || m_request != request; }
    // With m_mutex held.
    const ParsedFile* findParsedFile(const std::string& path);
    void resetFileState();
    // False when stopped before the end of the file.
    bool parseFile(const QString& path, NmeaFile& map, FileReport& report, quint64 request);
    // A ".nmea" file as the cache keeps it: false when it has none for the file as it is now.
    bool cachedFile(const QString& key, ParsedFile& parsed);
    void storeFile(const QString& key, const ParsedFile& parsed);
    void handleLine(std::string_view line, NmeaFile& map, FileReport& report);
    // A ".gps"/".gpx" sidecar or a video: read through the camera families.
    static bool isTelemetryFile(const QString& path);
    void parseTelemetry(const QString& path, NmeaFile& map, FileReport& report);
    void handleSample(const Camera::TelemetrySample& sample, NmeaFile& map);
    // The date of a sentence that carries only a time of day: that of the latest valid position,
    // moved by a day when the two times lie more than 12 hours apart (a drive across midnight).
    QDateTime anchoredTimestamp(const QTime& timeOfDay) const;

    std::atomic<bool> m_running{false};
    std::atomic<bool> m_aborted{false};
    std::atomic<quint64> m_request{0};
    quint64 m_servedRequest = 0;

    QMutex m_mutex; // guards m_files and m_parsedFiles
    std::shared_ptr<QStringList> m_files;
    Registry m_parsedFiles;
    std::size_t m_lookupHint = 0;

    // State of the file being parsed; touched by the parser's thread only.
    QNmeaPositionInfo m_firstValid;
    QNmeaPositionInfo m_lastValid;
    QDateTime m_latestValidTime;
    NmeaFields m_fields;
    std::unique_ptr<char[]> m_readBuffer;
    // Position data read from videos and other sidecars, kept between runs; the parser thread's.
    std::unique_ptr<TelemetryCache> m_telemetryCache;
    // Parsed ".nmea" files kept between runs; the parser thread's, dropped after each parse.
    std::unique_ptr<MediaCache> m_fileCache;
    std::vector<std::pair<QNmeaCoordinate, bool>> m_pendingSnrmc;
    std::vector<QNmeaPositionInfo> m_pendingPztrx;
};
