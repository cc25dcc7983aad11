#include "tripclock.h"

#include "tripfile.h"
#include "triprange.h"

#include <algorithm>

QDateTime TripClock::at(const Trip::TripList& trip, const PositionsPtr& positions, qint64 positionMs)
{
    const auto second = std::size_t(std::max<qint64>(positionMs, 0) / 1000);
    if (positions && second < positions->size()) {
        const QDateTime recorded = (*positions)[second].timestamp();
        if (recorded.isValid())
            return QDateTime(recorded.date(), recorded.time(), Qt::UTC);
    }
    const TripRange::Piece piece = TripRange::locate(trip, positionMs);
    if (piece.index < 0)
        return QDateTime();
    const QDateTime start = Trip::startTime(trip[std::size_t(piece.index)].videoFile);
    if (!start.isValid())
        return QDateTime();
    return QDateTime(start.date(), start.time(), Qt::UTC).addMSecs(piece.fromMs);
}

QString TripClock::fileName(const QDateTime& clock, const QString& suffix)
{
    return clock.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")) + QLatin1Char('.') + suffix;
}
