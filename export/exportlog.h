#pragma once

#include <QLoggingCategory>

// Diagnostics of clip, still and track export: files that cannot be read, sought or written.
Q_DECLARE_LOGGING_CATEGORY(lcExport)
