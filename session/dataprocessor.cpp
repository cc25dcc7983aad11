#include "dataprocessor.h"

#include <QSet>

#include <cmath>

namespace {

double valueOr0(double value)
{
    return std::isnan(value) ? 0.0 : value;
}

// The clips that delivered at least one GPS fix.
QSet<QString> clipsWithFix(const std::vector<QNmeaPositionInfo>& positions)
{
    QSet<QString> clips;
    for (const QNmeaPositionInfo& position : positions) {
        if (position.marker(QNmeaPositionInfo::Fix))
            clips.insert(position.fileName());
    }
    return clips;
}

} // namespace

DataProcessor::DataProcessor(QObject* parent) : QObject(parent)
{
    DataPoint::registerMetaTypes();
    TripStatistics::registerMetaTypes();
}

// What counts as measured. The assembly gives every second of the trip a record, also the
// seconds without data: a hole in a clip's NMEA file gets positions estimated between its
// neighbours, a clip whose NMEA file is empty gets the coordinate of the neighbouring clip,
// and short runs without a speed get speeds interpolated between their neighbours. None of
// those records carries a GPS fix. So:
// - the position is valid only with a fix: an estimated or copied coordinate is no position;
// - the speed is valid when the record has a ground speed and its clip delivered a fix at
//   all: an interpolated speed inside a clip with data closes a short hole, but a clip without
//   data never shows a speed taken over from the clip before or after it;
// - accelerations and course are valid when recorded (the substitutes carry neither).
std::shared_ptr<std::vector<DataPoint>>
DataProcessor::process(const std::vector<QNmeaPositionInfo>& positions)
{
    const QSet<QString> measuredClips = clipsWithFix(positions);
    auto samples = std::make_shared<std::vector<DataPoint>>();
    samples->reserve(positions.size());
    qint64 time = 0;
    for (const QNmeaPositionInfo& position : positions) {
        DataPoint sample;
        sample.time = time;
        time += 1000;
        const QGeoCoordinate coordinate = position.coordinate();
        if (coordinate.isValid()) {
            sample.latitude = coordinate.latitude();
            sample.longitude = coordinate.longitude();
        }
        sample.fix = position.marker(QNmeaPositionInfo::Fix);
        sample.positionValid = sample.fix && coordinate.isValid();
        const double speed = position.attribute(QGeoPositionInfo::GroundSpeed);
        sample.speedValid = !std::isnan(speed) && (sample.fix || measuredClips.contains(position.fileName()));
        sample.speed = valueOr0(speed);
        const double x = position.attribute(QNmeaPositionInfo::AccelerationX);
        const double y = position.attribute(QNmeaPositionInfo::AccelerationY);
        sample.accelerationX = valueOr0(x);
        sample.accelerationY = valueOr0(y);
        sample.accelerationValid = !std::isnan(x) && !std::isnan(y);
        const double direction = position.attribute(QGeoPositionInfo::Direction);
        sample.direction = valueOr0(direction);
        sample.directionValid = !std::isnan(direction);
        samples->push_back(sample);
    }
    return samples;
}

void DataProcessor::process_trip_data(std::shared_ptr<std::vector<QNmeaPositionInfo>> tripdata)
{
    emit trip_data_processed(tripdata ? process(*tripdata) : nullptr);
    if (tripdata)
        emit trip_statistics_processed(TripStatistics::fromPositions(*tripdata));
}
