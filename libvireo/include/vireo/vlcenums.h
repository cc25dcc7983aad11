#pragma once

#include "vireoexport.h"

#include <QObject>

// Player states. Values 0 to 7 are the engine's own player states, so the
// integer from VlcPlayer::getState() compares directly with them.
class VIREO_EXPORT VlcEnums : public QObject
{
    Q_OBJECT
public:
    enum State
    {
        Idle = 0,
        Opening = 1,
        Buffering = 2,
        Playing = 3,
        Paused = 4,
        Stopped = 5,
        Ended = 6,
        Error = 7,
        Unknown = 8
    };
    Q_ENUM(State)

    using QObject::QObject;
};
