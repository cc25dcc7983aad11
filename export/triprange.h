#pragma once

#include "tripitem.h"

#include <vector>

// Positions on a trip's timeline (milliseconds from the start of its first file) turned into
// files and times within them.
class TripRange
{
public:
    TripRange() = delete;

    // The part of file `index` between `fromMs` and `toMs`, both within the file.
    struct Piece
    {
        int index = -1;
        qint64 fromMs = 0;
        qint64 toMs = 0;
    };

    static qint64 duration(const Trip::TripList& trip);

    // The file shown at `positionMs` (clamped to the timeline) and the time within it. A
    // position at the very end of a file shows that file's last frame, as the player does.
    // Index -1 for a trip without length.
    static Piece locate(const Trip::TripList& trip, qint64 positionMs);

    // [fromMs, toMs], clamped to the timeline, cut into one piece per file it touches. The range
    // starts in the file that begins at `fromMs` and ends in the file that ends at `toMs`, so a
    // range that starts or ends on a file boundary takes nothing of the neighbouring file.
    static std::vector<Piece> pieces(const Trip::TripList& trip, qint64 fromMs, qint64 toMs);
};
