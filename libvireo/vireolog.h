#pragma once

#include <QLoggingCategory>

// Diagnostics of the media engine: engines that do not start, media and engine errors.
// Where they go is up to the program's message handler.
Q_DECLARE_LOGGING_CATEGORY(lcVireo)
