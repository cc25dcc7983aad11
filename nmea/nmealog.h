#pragma once

#include <QLoggingCategory>

// Diagnostics of the position data: files read, damage found, gaps, trip assembly.
Q_DECLARE_LOGGING_CATEGORY(lcNmea)
