#include "tripitem.h"

namespace Trip {

bool TripItem::operator==(const TripItem& other) const
{
    return duration == other.duration && isEvent == other.isEvent && videoFile == other.videoFile &&
           nmeaFile == other.nmeaFile && channels == other.channels;
}

void registerMetaTypes()
{
    qRegisterMetaType<std::shared_ptr<Trip::TripList>>("std::shared_ptr<Trip::TripList>");
    qRegisterMetaType<std::shared_ptr<Trip::Trips>>("std::shared_ptr<Trip::Trips>");
}

} // namespace Trip
