#pragma once

#include "vireoexport.h"

#include <QString>

class VIREO_EXPORT VlcFileDuration
{
public:
    // Playing length of file in milliseconds, 0 when it cannot be measured; error
    // then holds the reason the file was refused. Blocks: call it off the GUI thread.
    static int getFileDuration(const QString& file, QString& error);
};
