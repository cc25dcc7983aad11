#include "exportlog.h"

Q_LOGGING_CATEGORY(lcExport, "tarrow.export")
