#pragma once

#include "vireoexport.h"

#include <QString>

class VIREO_EXPORT VlcInfo
{
public:
    // Version of the engine the library was built against, "major.minor.revision".
    static QString vlcVersion();
};
