#pragma once

#include <QMetaType>
#include <QtGlobal>
#include <QtNumeric>

#include <memory>
#include <vector>

// One drive-data sample as the graph and the panels show it, in SI units. A value whose
// validity flag is false was not measured in that second: views show a gap or a dash for it,
// never the number, which is 0 then.
struct DataPoint
{
    double speed = 0.0;         // m/s
    double accelerationX = 0.0; // m/s², as recorded
    double accelerationY = 0.0;
    bool accelerationValid = false; // both accelerations were recorded
    double direction = 0.0;         // course over ground, degrees
    qint64 time = 0;                // position on the trip timeline, ms
    double latitude = qQNaN();      // decimal degrees; NaN without a coordinate
    double longitude = qQNaN();
    bool fix = false;
    bool speedValid = false;     // the speed was measured (or closes a short hole of its clip)
    bool positionValid = false;  // latitude and longitude come from a GPS fix
    bool directionValid = false; // the course was recorded

    // Makes the shared sample vector usable in queued connections; safe to call repeatedly,
    // registers only on the first call.
    static void registerMetaTypes();
};

Q_DECLARE_METATYPE(std::shared_ptr<std::vector<DataPoint>>)
