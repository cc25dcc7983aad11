#pragma once

#include "nmeafields.h"
#include "qnmeapositioninfo.h"
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

    // Sentence identifiers and their kinds, tried in this order; anything else is Other.
    static const std::array<std::pair<std::string_view, FrameType>, 6> frameTypes;

    explicit NmeaParser(QObject* parent = nullptr);
    ~NmeaParser() override;

    // Aborts a running parse, waits for it to stop and announces the new request.
    void requestParsing(std::shared_ptr<QStringList> files);
    // Returns the previous abort flag when a parse runs; false otherwise.
    bool abort();
    bool isRunning() const { return m_running; }

    // False when the file is not registered (out untouched) or registered without samples (out set).
    bool getParsedFile(NmeaFilePtr& out, const std::string& path);

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

    // Trip assembly: one record per second of the trip; emits ready with them.
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
    using Registry = std::vector<std::pair<std::string, NmeaFilePtr>>;

    bool isStopped(quint64 request) const { return m_aborted || m_request != request; }
    void resetFileState();
    void parseFile(const QString& path, NmeaFile& map, quint64 request);
    void handleLine(std::string_view line, NmeaFile& map);
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

    // State of the file being parsed; touched by the parser's thread only.
    QNmeaPositionInfo m_firstValid;
    QNmeaPositionInfo m_lastValid;
    QDateTime m_latestValidTime;
    NmeaFields m_fields;
    std::vector<std::pair<QNmeaCoordinate, bool>> m_pendingSnrmc;
    std::vector<QNmeaPositionInfo> m_pendingPztrx;
};
