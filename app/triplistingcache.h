#pragma once

#include "mediacache.h"
#include "tripitem.h"

#include <QByteArray>
#include <QJsonObject>
#include <QVector>

// What `--list` printed of a trip (its figures and the positions of each file), kept between
// runs: a card listed again is answered without reading its position files. An entry holds while
// every file of the trip, video and position file alike, keeps its size and modification time
// and the trip is made of the same files in the same way; anything else lists the trip anew.
class TripListingCache
{
public:
    struct Listing
    {
        QJsonObject statistics;
        QVector<int> positions; // of every file, main channel's and the other channels', in order
    };

    TripListingCache();

    // False when nothing is kept for the trip as it is now.
    bool lookup(const Trip::TripList& trip, Listing& listing);
    void store(const Trip::TripList& trip, const Listing& listing);
    void save() { m_cache.save(); }

    // Everything the listing of a trip depends on besides the program itself.
    static QByteArray fingerprint(const Trip::TripList& trip);

private:
    MediaCache m_cache;
};
