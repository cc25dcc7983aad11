#include "vireolog.h"

Q_LOGGING_CATEGORY(lcVireo, "tarrow.vireo")
