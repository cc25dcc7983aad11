#pragma once

#include "tripdata.h"
#include "tripitem.h"

#include <QObject>
#include <QStringList>

#include <memory>

class NmeaParser;
class QThread;

// What the window shows of one selection and one trip, owned in one place: the parsed position
// files of the selection, the trip being played with its assembled data (TripData), and the
// playing position. Views, exports and the command line read it; none keeps its own copy or
// works out on its own which second a position lies in.
//
// In the window the files are parsed on the session's own thread and a trip is assembled on
// Qt's thread pool; the command line does both on the calling thread (parseNow, load).
class TripSession : public QObject
{
    Q_OBJECT
public:
    explicit TripSession(QObject* parent = nullptr);
    ~TripSession() override;

    // Reads the position files on the calling thread and returns when done. Only for a session
    // that has not been given files with selectFiles().
    void parseNow(const QStringList& nmeaFiles);
    // Assembles a trip from the files parsed so far, on the calling thread; the result has no
    // records when the trip has no position data or a file of it is not parsed yet.
    TripDataPtr load(const Trip::TripList& trip);
    // Both at once for one trip, on the calling thread.
    static TripDataPtr loadNow(const Trip::TripList& trip);
    // The positions a parsed file holds (records with a valid place); 0 for a file not parsed.
    int positionsIn(const QString& nmeaFile) const;

    // The trip selected last (no files before the first); never null.
    const TripDataPtr& data() const { return m_data; }
    // The playing position last set, in milliseconds of the trip's timeline.
    qint64 position() const { return m_position; }
    // The record shown at the position; -1 without records.
    int record() const { return m_data->recordAt(m_position); }
    // The recording's clock at a trip position (invalid without a trip).
    QDateTime clockAt(qint64 positionMs) const { return m_data->clockAt(positionMs); }
    // Whether files handed over with selectFiles() are still being read.
    bool isParsing() const { return m_pendingParses > 0; }

public slots:
    // Starts reading the position files of a new selection; filesParsed() tells the end.
    void selectFiles(std::shared_ptr<QStringList> nmeaFiles);
    // Makes `trip` the session's trip: tripLoaded() at once, positionsReady() once its records
    // are assembled. A trip selected while another is assembled replaces it.
    void selectTrip(std::shared_ptr<Trip::TripList> trip);
    // The playing position moved; positionChanged() tells everybody.
    void setPosition(qint64 positionMs);

signals:
    void filesParsed();
    // The new trip, without its records yet: views clear what belonged to the one before.
    void tripLoaded(TripDataPtr data);
    // The trip's records, samples and figures; a trip without position data gets null
    // positions here too, so views know the wait is over.
    void positionsReady(TripDataPtr data);
    void positionChanged(qint64 positionMs);

private:
    void startThread();
    void onParsingFinished();

    std::unique_ptr<NmeaParser> m_parser;
    QThread* m_parserThread = nullptr;
    // Parse requests whose end the parser has not reported yet.
    int m_pendingParses = 0;
    TripDataPtr m_data;
    qint64 m_position = 0;
    // Counts trip selections; an assembly finishing for an older one is dropped.
    quint64 m_tripRequest = 0;
};
