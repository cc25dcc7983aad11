#include "driveunits.h"

#include <QCoreApplication>
#include <QLocale>

namespace DriveUnits {

bool is_metric()
{
    return QLocale().measurementSystem() == QLocale::MetricSystem;
}

double speed_locale(double metresPerSecond)
{
    return metresPerSecond * (is_metric() ? 3.6 : 2.23694);
}

QString speed_unit()
{
    return is_metric() ? QCoreApplication::translate("QObject", " km/h")
                       : QCoreApplication::translate("QObject", " mph");
}

QString speed_to_text(double metresPerSecond)
{
    return QString::number(speed_locale(metresPerSecond), 'f', 1) + speed_unit();
}

QString acc_to_text(double acceleration)
{
    return QString::number(acceleration, 'f', 1) + QCoreApplication::translate("QObject", " m/s²");
}

QString time_to_text(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QString::asprintf("%lld:%02lld:%02lld", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
}

} // namespace DriveUnits
