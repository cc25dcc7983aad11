#pragma once

#include "datapoint.h"
#include "qnmeapositioninfo.h"
#include "tripclock.h"
#include "tripitem.h"
#include "tripstatistics.h"
#include "triptimeline.h"

#include <QDateTime>
#include <QMetaType>

#include <memory>
#include <optional>
#include <vector>

// One trip as loaded: its files on one timeline and, once assembled, the per-second records
// from its position files with the drive-data samples and figures made from them. Never
// changed once made, so views, exports and threads share it without copies or locks.
class TripData
{
public:
    using Samples = std::shared_ptr<std::vector<DataPoint>>;

    TripData() = default;
    // The trip before (or without) its records.
    explicit TripData(Trip::TripList trip);
    // The trip with its records, record i for second i of the timeline; `positions` may be
    // null for a trip without position data.
    TripData(Trip::TripList trip, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);

    const Trip::TripList& trip() const { return m_trip; }
    const TripTimeline& timeline() const { return m_timeline; }
    qint64 duration() const { return m_timeline.duration(); }
    // Null without position data.
    PositionsPtr positions() const { return m_positions; }
    // The same records for receivers that take them as the parser hands them out.
    const std::shared_ptr<std::vector<QNmeaPositionInfo>>& sharedPositions() const { return m_positions; }
    // Null without position data.
    const Samples& samples() const { return m_samples; }
    // Empty without position data.
    const std::optional<TripStatistics>& statistics() const { return m_statistics; }
    // True when at least one record holds a real fix.
    bool hasFix() const;

    // The record shown at a trip position (see TripTimeline::recordAt); -1 without records.
    int recordAt(qint64 positionMs) const;
    const QNmeaPositionInfo* positionAt(qint64 positionMs) const;
    // The recording's clock at a trip position, a wall-clock time held as UTC (TripClock).
    QDateTime clockAt(qint64 positionMs) const;

    static bool hasFix(const PositionsPtr& positions);
    static void registerMetaTypes();

private:
    Trip::TripList m_trip;
    TripTimeline m_timeline;
    std::shared_ptr<std::vector<QNmeaPositionInfo>> m_positions;
    Samples m_samples;
    std::optional<TripStatistics> m_statistics;
};

using TripDataPtr = std::shared_ptr<const TripData>;

Q_DECLARE_METATYPE(TripDataPtr)
