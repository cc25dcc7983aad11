#pragma once

#include <QLoggingCategory>

// Diagnostics of the map: tiles that fail and why, trips without positions.
Q_DECLARE_LOGGING_CATEGORY(lcMap)
