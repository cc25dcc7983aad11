#include "playerlog.h"

Q_LOGGING_CATEGORY(lcPlayer, "tarrow.player")
