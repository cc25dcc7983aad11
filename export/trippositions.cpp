#include "trippositions.h"

#include <algorithm>

TripPositions::TripPositions(const Trip::Trips& trips)
{
    QStringList files;
    for (const Trip::TripList& trip : trips) {
        for (const Trip::TripItem& item : trip)
            files << item.nmeaFile;
    }
    parse(files);
}

TripPositions::TripPositions(const Trip::TripList& trip) : TripPositions(Trip::Trips{trip}) {}

void TripPositions::parse(const QStringList& nmeaFiles)
{
    QStringList unique = nmeaFiles;
    unique.removeDuplicates();
    m_parser.requestParsing(std::make_shared<QStringList>(unique));
    m_parser.doParsing();
}

PositionsPtr TripPositions::assemble(const Trip::TripList& trip)
{
    std::shared_ptr<std::vector<QNmeaPositionInfo>> result;
    const QMetaObject::Connection connection = QObject::connect(
        &m_parser, &NmeaParser::ready, &m_parser,
        [&result](std::shared_ptr<std::vector<QNmeaPositionInfo>> positions) {
            result = std::move(positions);
        },
        Qt::DirectConnection);
    const bool assembled = m_parser.requestParsed(std::make_shared<Trip::TripList>(trip));
    QObject::disconnect(connection);
    if (!assembled || !result || result->empty())
        return nullptr;
    return result;
}

bool TripPositions::hasFix(const PositionsPtr& positions)
{
    if (!positions)
        return false;
    return std::any_of(positions->begin(), positions->end(), [](const QNmeaPositionInfo& record) {
        return record.marker(QNmeaPositionInfo::Fix) && record.coordinate().isValid();
    });
}
