#pragma once

#include "tripitem.h"

#include <QString>

// Keeps exports from replacing the recordings they are made from.
class RecordingGuard
{
public:
    RecordingGuard() = delete;

    // The recording (video or position file) of `trip` that `path` names, or an empty string.
    static QString recordingAt(const Trip::TripList& trip, const QString& path);
};
