#pragma once

#include <QBrush>
#include <QtGlobal>

// A coloured stretch of the position slider, in slider units.
struct RangeColour
{
    qint64 start = 0;
    qint64 end = 0;
    QBrush brush;
    bool isEvent = false; // its edges get marker lines outside full screen
};
