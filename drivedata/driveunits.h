#pragma once

#include <QString>
#include <QtGlobal>

// Display units of the drive-data widgets: speeds are m/s inside the program and are shown
// in km/h or mph after the default locale's measurement system.
namespace DriveUnits {

bool is_metric();
double speed_locale(double metresPerSecond);
QString speed_unit();
QString speed_to_text(double metresPerSecond);
QString acc_to_text(double acceleration);
QString time_to_text(qint64 ms);

} // namespace DriveUnits
