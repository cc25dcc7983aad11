#pragma once

#include "masks.h"
#include "tripitem.h"

#include <QString>

// The masks a user drew for a trip, kept in the program's data folder (never on the card): one
// JSON file a trip, named after the trip's first video (its name and size, so that a card read
// through another mount point finds them again). Keyframe times count from the trip's start.
class MaskStore
{
public:
    MaskStore() = delete;

    // The file of a trip's masks; empty without a data folder or a trip.
    static QString pathFor(const Trip::TripList& trip);
    // The trip's masks; none when there is no file or it cannot be read.
    static Masks load(const Trip::TripList& trip);
    // Writes the masks (removes the file when there are none); false with `error` on failure.
    static bool save(const Trip::TripList& trip, const Masks& masks, QString* error = nullptr);
};
