#include "nmealog.h"

Q_LOGGING_CATEGORY(lcNmea, "tarrow.nmea")
