#include "tripsession.h"

#include "nmeaparser.h"

#include <QFutureWatcher>
#include <QThread>

#include <QtConcurrent>
#include <algorithm>

TripSession::TripSession(QObject* parent)
    : QObject(parent), m_parser(std::make_unique<NmeaParser>()), m_data(std::make_shared<TripData>())
{
    QNmeaPositionInfo::registerMetaTypes();
    Trip::registerMetaTypes();
    DataPoint::registerMetaTypes();
    TripStatistics::registerMetaTypes();
    TripData::registerMetaTypes();
}

TripSession::~TripSession()
{
    m_parser->abort();
    // Assemblies read the parser, also those whose result is no longer wanted: they must end
    // before the parser goes.
    for (auto* watcher : findChildren<QFutureWatcher<TripDataPtr>*>()) {
        watcher->disconnect(this);
        watcher->waitForFinished();
    }
    if (m_parserThread) {
        m_parserThread->quit();
        m_parserThread->wait();
    }
}

void TripSession::startThread()
{
    if (m_parserThread)
        return;
    // The thread runs for the session's whole life and takes one queued parse call per request.
    // Starting it per request would lose a request made while the previous parse winds down:
    // start() does nothing on a thread that is still running.
    m_parserThread = new QThread(this);
    m_parserThread->setObjectName(QStringLiteral("NmeaParser_Thread"));
    m_parser->moveToThread(m_parserThread);
    connect(m_parser.get(), &NmeaParser::parsingRequested, m_parser.get(), &NmeaParser::doParsing,
            Qt::QueuedConnection);
    connect(m_parser.get(), &NmeaParser::parsingFinished, this, &TripSession::onParsingFinished,
            Qt::QueuedConnection);
    m_parserThread->start();
}

int TripSession::positionsIn(const QString& nmeaFile) const
{
    return nmeaFile.isEmpty() ? 0 : m_parser->getPositionCount(nmeaFile.toStdString());
}

void TripSession::parseNow(const QStringList& nmeaFiles)
{
    Q_ASSERT(!m_parserThread);
    QStringList unique = nmeaFiles;
    unique.removeDuplicates();
    m_parser->requestParsing(std::make_shared<QStringList>(unique));
    m_parser->doParsing();
}

TripDataPtr TripSession::load(const Trip::TripList& trip)
{
    return std::make_shared<TripData>(trip, m_parser->assemble(std::make_shared<Trip::TripList>(trip)));
}

TripDataPtr TripSession::loadNow(const Trip::TripList& trip)
{
    TripSession session;
    QStringList files;
    for (const Trip::TripItem& item : trip)
        files << item.nmeaFile;
    session.parseNow(files);
    return session.load(trip);
}

void TripSession::selectFiles(std::shared_ptr<QStringList> nmeaFiles)
{
    if (!nmeaFiles || nmeaFiles->isEmpty())
        return;
    startThread();
    ++m_pendingParses;
    m_parser->requestParsing(std::move(nmeaFiles));
}

void TripSession::onParsingFinished()
{
    // An aborted parse reports its end too; the selection counts as parsed only when the latest
    // request is done.
    if (m_pendingParses > 0)
        --m_pendingParses;
    if (m_pendingParses == 0)
        emit filesParsed();
}

void TripSession::selectTrip(std::shared_ptr<Trip::TripList> trip)
{
    const quint64 request = ++m_tripRequest;
    m_data = std::make_shared<TripData>(trip ? *trip : Trip::TripList());
    m_position = 0;
    emit tripLoaded(m_data);
    if (!trip || trip->empty()) {
        emit positionsReady(m_data);
        return;
    }
    // An assembly still running for an earlier trip is left to finish on its own and its result
    // dropped: waiting for it would stall the window.
    auto* watcher = new QFutureWatcher<TripDataPtr>(this);
    connect(watcher, &QFutureWatcher<TripDataPtr>::finished, watcher, &QObject::deleteLater);
    connect(watcher, &QFutureWatcher<TripDataPtr>::finished, this, [this, watcher, request] {
        if (request == m_tripRequest) {
            m_data = watcher->result();
            emit positionsReady(m_data);
        }
    });
    NmeaParser* parser = m_parser.get();
    watcher->setFuture(QtConcurrent::run([parser, trip]() -> TripDataPtr {
        return std::make_shared<TripData>(*trip, parser->assemble(trip));
    }));
}

void TripSession::setPosition(qint64 positionMs)
{
    m_position = positionMs;
    emit positionChanged(positionMs);
}
