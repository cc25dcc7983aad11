#pragma once

#include <Qt>

// Item roles of the playlist tree.
namespace PlaylistRoles {

// Trip row, column 0: QStringList of the trip's videos; file row: QString video path.
constexpr int Files = Qt::UserRole + 1;
// Trip row, column 2: total milliseconds (qint64); file row: the file's milliseconds.
constexpr int Duration = Qt::UserRole + 2;
// Trip row, column 1: QDateTime start of the first file.
constexpr int Start = Qt::UserRole + 3;
// Trip row, column 3: number of event files (qint64); file row: bool, an event file.
constexpr int Events = Qt::UserRole + 4;

} // namespace PlaylistRoles
