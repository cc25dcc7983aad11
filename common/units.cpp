#include "units.h"

#include <QCoreApplication>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace Units {

namespace {

constexpr double KmhPerMps = 3.6;
constexpr double MphPerMps = 2.23694;
constexpr double StandardGravity = 9.80665;

// -1: not chosen yet; otherwise the enum's value.
std::atomic<int> g_speedUnit{-1};
std::atomic<int> g_accelerationUnit{int(AccelerationUnit::MetresPerSecondSquared)};
std::atomic<qint64> g_clockOffset{0};

// Unset: the application's default locale.
std::optional<QLocale>& localeStore()
{
    static std::optional<QLocale> locale;
    return locale;
}

QString translated(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

// Degrees, minutes and tenths of seconds of |degrees|, carried so that seconds never read 60.0.
QString dms(double degrees, const char* positive, const char* negative)
{
    if (std::isnan(degrees))
        return QString();
    const auto tenths = static_cast<qint64>(std::llround(std::abs(degrees) * 36000.0));
    const qint64 whole = tenths / 36000;
    const qint64 minutes = tenths / 600 % 60;
    const qint64 secondTenths = tenths % 600;
    return QStringLiteral("%1° %2' %3%4%5\" %6")
        .arg(whole)
        .arg(minutes)
        .arg(secondTenths / 10)
        .arg(localeStore().value_or(QLocale::c()).decimalPoint())
        .arg(secondTenths % 10)
        .arg(QLatin1String(degrees < 0 && tenths > 0 ? negative : positive));
}

} // namespace

SpeedUnit speedUnit()
{
    const int chosen = g_speedUnit.load();
    return chosen >= 0 ? SpeedUnit(chosen) : defaultSpeedUnit(QLocale::system());
}

SpeedUnit defaultSpeedUnit(const QLocale& locale)
{
    return locale.measurementSystem() == QLocale::MetricSystem ? SpeedUnit::KilometresPerHour
                                                               : SpeedUnit::MilesPerHour;
}

void setSpeedUnit(SpeedUnit unit)
{
    g_speedUnit = int(unit);
}

AccelerationUnit accelerationUnit()
{
    return AccelerationUnit(g_accelerationUnit.load());
}

void setAccelerationUnit(AccelerationUnit unit)
{
    g_accelerationUnit = int(unit);
}

bool isMetric()
{
    return speedUnit() == SpeedUnit::KilometresPerHour;
}

QLocale displayLocale()
{
    return localeStore().value_or(QLocale());
}

void setDisplayLocale(const QLocale& locale)
{
    localeStore() = locale;
}

double speedValue(double metresPerSecond, SpeedUnit unit)
{
    const double v = std::isnan(metresPerSecond) ? 0.0 : metresPerSecond;
    return v * (unit == SpeedUnit::KilometresPerHour ? KmhPerMps : MphPerMps);
}

QString speedUnitText(SpeedUnit unit)
{
    return unit == SpeedUnit::KilometresPerHour ? translated(QT_TRANSLATE_NOOP("QObject", " km/h"))
                                                : translated(QT_TRANSLATE_NOOP("QObject", " mph"));
}

QString speedText(double metresPerSecond, int decimals)
{
    return fixed(speedValue(metresPerSecond), decimals) + speedUnitText();
}

double accelerationValue(double metresPerSecondSquared, AccelerationUnit unit)
{
    const double a = std::isnan(metresPerSecondSquared) ? 0.0 : metresPerSecondSquared;
    return unit == AccelerationUnit::StandardGravity ? a / StandardGravity : a;
}

QString accelerationUnitText(AccelerationUnit unit)
{
    return unit == AccelerationUnit::StandardGravity ? translated(QT_TRANSLATE_NOOP("QObject", " g"))
                                                     : translated(QT_TRANSLATE_NOOP("QObject", " m/s²"));
}

QString accelerationText(double metresPerSecondSquared, int decimals)
{
    const AccelerationUnit unit = accelerationUnit();
    // g needs one more decimal to say as much as m/s².
    const int shown = unit == AccelerationUnit::StandardGravity ? decimals + 1 : decimals;
    return fixed(accelerationValue(metresPerSecondSquared, unit), shown) + accelerationUnitText(unit);
}

ScaleLength scaleLength(double maxMetres, SpeedUnit unit)
{
    constexpr double MetresPerFoot = 0.3048;
    constexpr double FeetPerMile = 5280.0;
    // The largest of 1, 2, 5 times a power of ten not above `limit` (at least 1).
    const auto round = [](double limit) {
        if (!(limit >= 1.0))
            return 1.0;
        const double magnitude = std::pow(10.0, std::floor(std::log10(limit)));
        for (const double step : {5.0, 2.0, 1.0}) {
            if (step * magnitude <= limit)
                return step * magnitude;
        }
        return magnitude;
    };
    const auto number = [](double value) { return QString::number(value, 'f', 0); };
    ScaleLength result;
    if (unit == SpeedUnit::KilometresPerHour) {
        if (maxMetres >= 1000.0) {
            const double km = round(maxMetres / 1000.0);
            result = {km * 1000.0, number(km) + translated(QT_TRANSLATE_NOOP("QObject", " km"))};
        } else {
            const double m = round(maxMetres);
            result = {m, number(m) + translated(QT_TRANSLATE_NOOP("QObject", " m"))};
        }
    } else {
        const double feet = maxMetres / MetresPerFoot;
        if (feet >= FeetPerMile) {
            const double miles = round(feet / FeetPerMile);
            result = {miles * FeetPerMile * MetresPerFoot,
                      number(miles) + translated(QT_TRANSLATE_NOOP("QObject", " mi"))};
        } else {
            const double ft = round(feet);
            result = {ft * MetresPerFoot, number(ft) + translated(QT_TRANSLATE_NOOP("QObject", " ft"))};
        }
    }
    return result;
}

QString fixed(double value, int decimals)
{
    // The selected language's decimal separator, without thousands separators (axis labels and
    // speeds read "1000", not "1.000"). Until a language is selected, a decimal point.
    QLocale locale = localeStore().value_or(QLocale::c());
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    // A value that shows as zero shows without a minus sign.
    const bool showsAsZero = std::abs(value) < 0.5 * std::pow(10.0, -decimals);
    return locale.toString(showsAsZero ? 0.0 : value, 'f', decimals);
}

QString durationText(qint64 ms)
{
    const auto t = static_cast<unsigned long long>(qMax<qint64>(ms, 0));
    if (t < 3600000ULL)
        return QString::asprintf("%02llu:%02llu", t / 60000ULL, t / 1000ULL % 60ULL);
    return QString::asprintf("%02llu:%02llu:%02llu", t / 3600000ULL, t / 60000ULL % 60ULL,
                             t / 1000ULL % 60ULL);
}

QString positionText(qint64 ms)
{
    return durationText(ms) + displayLocale().decimalPoint() +
           QString::number(qMax<qint64>(ms, 0) / 100 % 10);
}

QString clockText(qint64 ms)
{
    const auto seconds = static_cast<long long>(qMax<qint64>(ms, 0) / 1000);
    return QString::asprintf("%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

QString latitudeText(double degrees)
{
    return dms(degrees, "N", "S");
}

QString longitudeText(double degrees)
{
    return dms(degrees, "E", "W");
}

qint64 clockOffsetSeconds()
{
    return g_clockOffset.load();
}

void setClockOffsetSeconds(qint64 seconds)
{
    g_clockOffset = seconds;
}

QDateTime shownClock(const QDateTime& recorded)
{
    return recorded.isValid() ? recorded.addSecs(clockOffsetSeconds()) : recorded;
}

QString clockTimeText(const QDateTime& recorded)
{
    if (!recorded.isValid())
        return QString();
    const QDateTime shown = shownClock(recorded);
    const QLocale locale = displayLocale();
    // The locale's short date, but always with the whole year: a recording's date is evidence.
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QLatin1String("yyyy")))
        date.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return locale.toString(shown.date(), date) + QLatin1Char(' ') +
           locale.toString(shown.time(), QStringLiteral("HH:mm:ss"));
}

QString offsetText(qint64 seconds)
{
    const qint64 magnitude = std::abs(seconds);
    QString text = QString::asprintf("%c%02lld:%02lld", seconds < 0 ? '-' : '+',
                                     static_cast<long long>(magnitude / 3600),
                                     static_cast<long long>(magnitude / 60 % 60));
    if (magnitude % 60 != 0)
        text += QString::asprintf(":%02lld", static_cast<long long>(magnitude % 60));
    return text;
}

QString fileOffsetText(qint64 seconds)
{
    return offsetText(seconds).remove(QLatin1Char(':'));
}

QString shortOffsetText(qint64 seconds)
{
    const qint64 magnitude = std::abs(seconds);
    QString text =
        (seconds < 0 ? QStringLiteral("\u2212") : QStringLiteral("+")) + QString::number(magnitude / 3600);
    if (magnitude % 3600 != 0)
        text += QString::asprintf(":%02lld", static_cast<long long>(magnitude / 60 % 60));
    if (magnitude % 60 != 0)
        text += QString::asprintf(":%02lld", static_cast<long long>(magnitude % 60));
    return text;
}

QString utcIsoText(const QDateTime& recorded)
{
    if (!recorded.isValid())
        return QString();
    // Read the fields as they are, never through a zone of the machine.
    return QDateTime(recorded.date(), recorded.time(), Qt::UTC).toString(Qt::ISODate);
}

QString clockIsoText(const QDateTime& recorded, qint64 offsetSeconds)
{
    if (!recorded.isValid())
        return QString();
    const QDateTime shown = QDateTime(recorded.date(), recorded.time(), Qt::UTC).addSecs(offsetSeconds);
    return shown.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) + offsetText(offsetSeconds);
}

QString headingText(double degrees)
{
    static const struct
    {
        const char* source;
        const char* comment;
    } points[] = {
        QT_TRANSLATE_NOOP3("QObject", "N", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "NE", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "E", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "SE", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "S", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "SW", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "W", "compass point"),
        QT_TRANSLATE_NOOP3("QObject", "NW", "compass point"),
    };
    if (!std::isfinite(degrees))
        return QString();
    // Whole degrees from 0 to 359: 359.6 reads 0°, not 360°; each point covers 45° around it.
    const int whole = int(std::fmod(std::fmod(std::round(degrees), 360.0) + 360.0, 360.0));
    const auto& point = points[((whole * 2 + 45) / 90) % 8];
    return QString::number(whole) + QStringLiteral("° ") +
           QCoreApplication::translate("QObject", point.source, point.comment);
}

QString dateTimeText(const QDateTime& dateTime)
{
    return displayLocale().toString(dateTime, QLocale::ShortFormat);
}

QString dateText(const QDate& date)
{
    return displayLocale().toString(date, QLocale::ShortFormat);
}

QString timeText(const QTime& time)
{
    return displayLocale().toString(time, QLocale::ShortFormat);
}

} // namespace Units
