#pragma once

#include "tripitem.h"

#include "vireo/vlcfileduration.h"

#include <QDir>
#include <QString>

#include <memory>

// Clips made by make-player-media: two seconds each, tinted red, green and blue, and one
// in a codec the player refuses.
namespace PlayerMedia {

inline const char* const Red = "001_0001_20240501120000.mp4";
inline const char* const Green = "001_0002_20240501120002.mp4";
inline const char* const Blue = "001_0003_20240501120004.mp4";
inline const char* const Refused = "001_0009_20240501120010.mp4";

inline QString path(const char* name)
{
    return QDir::toNativeSeparators(QStringLiteral(PLAYER_TEST_MEDIA "/") + QLatin1String(name));
}

// A trip item with the length the engine measures; `claimed` stands in for files it cannot measure.
inline Trip::TripItem item(const char* name, qint64 claimed = 0)
{
    Trip::TripItem item;
    item.videoFile = path(name);
    QString error;
    item.duration = claimed > 0 ? claimed : VlcFileDuration::getFileDuration(item.videoFile, error);
    return item;
}

} // namespace PlayerMedia
