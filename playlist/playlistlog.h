#pragma once

#include <QLoggingCategory>

// Diagnostics of the playlist: files left out and why, the trip chosen.
Q_DECLARE_LOGGING_CATEGORY(lcPlaylist)
