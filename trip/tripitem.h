#pragma once

#include <QMetaType>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace Trip {

// One recorded video file with its position file.
struct TripItem
{
    qint64 duration = 0; // playing length in milliseconds
    bool isEvent = false;
    QString videoFile;
    QString nmeaFile;

    bool operator==(const TripItem& other) const;
    bool operator!=(const TripItem& other) const { return !(*this == other); }
};

// The files of one trip, in playing order.
using TripList = std::vector<TripItem>;
// The trips of a playlist, in playlist order.
using Trips = std::vector<TripList>;

// Registers the shared-pointer types that cross threads in queued signals.
void registerMetaTypes();

} // namespace Trip

Q_DECLARE_METATYPE(std::shared_ptr<Trip::TripList>)
Q_DECLARE_METATYPE(std::shared_ptr<Trip::Trips>)
