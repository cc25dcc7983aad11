#include "dataprocessor.h"

#include <cmath>

namespace {

double valueOr0(double value)
{
    return std::isnan(value) ? 0.0 : value;
}

} // namespace

DataProcessor::DataProcessor(QObject* parent) : QObject(parent)
{
    DataPoint::registerMetaTypes();
}

std::shared_ptr<std::vector<DataPoint>>
DataProcessor::process(const std::vector<QNmeaPositionInfo>& positions)
{
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
        sample.speed = valueOr0(position.attribute(QGeoPositionInfo::GroundSpeed));
        const double x = position.attribute(QNmeaPositionInfo::AccelerationX);
        const double y = position.attribute(QNmeaPositionInfo::AccelerationY);
        sample.accelerationX = valueOr0(x);
        sample.accelerationY = valueOr0(y);
        sample.accelerationValid = !std::isnan(x) && !std::isnan(y);
        sample.direction = valueOr0(position.attribute(QGeoPositionInfo::Direction));
        sample.fix = position.marker(QNmeaPositionInfo::Fix);
        samples->push_back(std::move(sample));
    }
    return samples;
}

void DataProcessor::process_trip_data(std::shared_ptr<std::vector<QNmeaPositionInfo>> tripdata)
{
    emit trip_data_processed(tripdata ? process(*tripdata) : nullptr);
}
