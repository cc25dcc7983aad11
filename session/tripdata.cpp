#include "tripdata.h"

#include "dataprocessor.h"

#include <algorithm>

TripData::TripData(Trip::TripList trip) : m_trip(std::move(trip)), m_timeline(m_trip) {}

TripData::TripData(Trip::TripList trip, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
    : TripData(std::move(trip))
{
    if (!positions || positions->empty())
        return;
    m_positions = std::move(positions);
    m_samples = DataProcessor::process(*m_positions);
    m_statistics = TripStatistics::fromPositions(*m_positions, &m_trip);
}

bool TripData::hasFix() const
{
    return hasFix(m_positions);
}

bool TripData::hasFix(const PositionsPtr& positions)
{
    if (!positions)
        return false;
    return std::any_of(positions->begin(), positions->end(), [](const QNmeaPositionInfo& record) {
        return record.marker(QNmeaPositionInfo::Fix) && record.coordinate().isValid();
    });
}

int TripData::recordAt(qint64 positionMs) const
{
    return TripTimeline::recordAt(positionMs, m_positions ? m_positions->size() : 0);
}

const QNmeaPositionInfo* TripData::positionAt(qint64 positionMs) const
{
    const int record = recordAt(positionMs);
    return record < 0 ? nullptr : &(*m_positions)[std::size_t(record)];
}

QDateTime TripData::clockAt(qint64 positionMs) const
{
    return TripClock::at(m_trip, m_timeline, m_positions, positionMs);
}

void TripData::registerMetaTypes()
{
    static const int id = qRegisterMetaType<TripDataPtr>("TripDataPtr");
    Q_UNUSED(id)
}
