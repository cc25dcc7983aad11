#pragma once

#include "datapoint.h"
#include "qnmeapositioninfo.h"
#include "tripstatistics.h"

#include <QObject>

#include <memory>
#include <vector>

// Turns the per-second positions of a trip into drive-data samples on the trip timeline and
// the trip's figures.
class DataProcessor : public QObject
{
    Q_OBJECT
public:
    explicit DataProcessor(QObject* parent = nullptr);

    static std::shared_ptr<std::vector<DataPoint>> process(const std::vector<QNmeaPositionInfo>& positions);

public slots:
    void process_trip_data(std::shared_ptr<std::vector<QNmeaPositionInfo>> tripdata);

signals:
    void trip_data_processed(std::shared_ptr<std::vector<DataPoint>> trip_data);
    // The figures of the same positions; not sent for a null vector.
    void trip_statistics_processed(const TripStatistics& statistics);
};
