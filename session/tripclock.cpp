#include "tripclock.h"

#include "tripfile.h"
#include "units.h"

QDateTime TripClock::at(const Trip::TripList& trip, const TripTimeline& timeline,
                        const PositionsPtr& positions, qint64 positionMs)
{
    const auto second = std::size_t(TripTimeline::secondAt(positionMs));
    if (positions && second < positions->size()) {
        const QDateTime recorded = (*positions)[second].timestamp();
        if (recorded.isValid())
            return QDateTime(recorded.date(), recorded.time(), Qt::UTC);
    }
    const int index = timeline.indexAt(positionMs);
    if (index < 0 || std::size_t(index) >= trip.size())
        return QDateTime();
    const QDateTime start = Trip::startOf(trip[std::size_t(index)]);
    if (!start.isValid())
        return QDateTime();
    return QDateTime(start.date(), start.time(), Qt::UTC).addMSecs(timeline.timeInFile(positionMs));
}

QString TripClock::fileName(const QDateTime& recorded, qint64 offsetSeconds, const QString& suffix)
{
    const QDateTime shown = QDateTime(recorded.date(), recorded.time(), Qt::UTC).addSecs(offsetSeconds);
    return shown.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + Units::fileOffsetText(offsetSeconds) +
           QLatin1Char('.') + suffix;
}
