#include "duration.h"

#include "units.h"

QString Duration::toString() const
{
    return Units::durationText(m_ms);
}
