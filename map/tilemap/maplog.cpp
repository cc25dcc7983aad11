#include "maplog.h"

Q_LOGGING_CATEGORY(lcMap, "tarrow.map")
