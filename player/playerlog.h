#pragma once

#include <QLoggingCategory>

// Diagnostics of trip playback: the trip opened, engine errors.
Q_DECLARE_LOGGING_CATEGORY(lcPlayer)
