#pragma once

#include <QDateTime>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QtGlobal>

// Units and display formats. Records keep numbers (m/s, m/s², degrees, milliseconds, wall-clock
// times); views turn them into text here and nowhere else.
namespace Units {

enum class SpeedUnit
{
    KilometresPerHour,
    MilesPerHour
};

enum class AccelerationUnit
{
    MetresPerSecondSquared,
    StandardGravity
};

// The units shown. Until one is chosen, speeds follow the system locale's measurement system
// (every non-metric system counts as miles) and accelerations are m/s².
SpeedUnit speedUnit();
void setSpeedUnit(SpeedUnit unit);
SpeedUnit defaultSpeedUnit(const QLocale& locale);
AccelerationUnit accelerationUnit();
void setAccelerationUnit(AccelerationUnit unit);
bool isMetric();

// The locale of the selected interface language, for dates and numbers. Until one is set, dates
// follow the default locale and numbers use a decimal point.
QLocale displayLocale();
void setDisplayLocale(const QLocale& locale);

double speedValue(double metresPerSecond, SpeedUnit unit = speedUnit());
// The unit with its leading blank, translated: " km/h", " mph".
QString speedUnitText(SpeedUnit unit = speedUnit());
// "12.3 km/h"; NaN reads as 0.
QString speedText(double metresPerSecond, int decimals = 1);

double accelerationValue(double metresPerSecondSquared, AccelerationUnit unit = accelerationUnit());
QString accelerationUnitText(AccelerationUnit unit = accelerationUnit());
// "-0.4 m/s²"; a value that rounds to zero never shows a minus sign.
QString accelerationText(double metresPerSecondSquared, int decimals = 1);

// The length of a map's scale bar: the longest round distance (1, 2 or 5 times a power of ten)
// in the shown unit system that is at most `maxMetres`: metres and kilometres with km/h, feet
// and miles with mph. `metres` is its length in metres, `text` its label ("200 m", "2 mi").
struct ScaleLength
{
    double metres = 0.0;
    QString text;
};
ScaleLength scaleLength(double maxMetres, SpeedUnit unit = speedUnit());

// A fixed-point number without a lone minus sign on zero ("-0.0" reads "0.0").
QString fixed(double value, int decimals);

// A trip length or position: "mm:ss" below an hour, "hh:mm:ss" from an hour on.
QString durationText(qint64 ms);
// A trip position with tenths of a second: "03:38.4".
QString positionText(qint64 ms);
// A time on the trip timeline as "h:mm:ss".
QString clockText(qint64 ms);

// Degrees, minutes and seconds with one decimal and the hemisphere: 48° 8' 13.9" N.
QString latitudeText(double degrees);
QString longitudeText(double degrees);

// Recorded clock times are the receiver's UTC, read from their fields as they are (kept as
// Qt::UTC so no zone of the machine applies). Shown clock times are shifted by this offset, the
// local time's lead on UTC; texts that leave the program name the offset with the time.
qint64 clockOffsetSeconds();
void setClockOffsetSeconds(qint64 seconds);
QDateTime shownClock(const QDateTime& recorded);
// A recorded clock time, shifted, as date and time of day with seconds in the display locale.
QString clockTimeText(const QDateTime& recorded);

// A clock offset as ISO 8601 writes it: "+02:00", "-01:30". No offset is "+00:00", never "Z", so
// that a reader always sees which clock a time is on. Seconds, where there are any, follow.
QString offsetText(qint64 seconds);
// The same for file names, which cannot hold ':' on a card: "+0200", "-0130", "+0000".
QString fileOffsetText(qint64 seconds);
// The offset where room is short, beside a time: "+2", "−1:30", "+0".
QString shortOffsetText(qint64 seconds);
// The instant of a recorded clock time: "2024-06-15T14:02:50Z"; empty when it is invalid.
QString utcIsoText(const QDateTime& recorded);
// The same instant on the clock `offsetSeconds` ahead of UTC, with the offset written:
// "2024-06-15T16:02:50+02:00"; empty when it is invalid.
QString clockIsoText(const QDateTime& recorded, qint64 offsetSeconds);
// A heading in whole degrees from 0 to 359 with its compass point, translated: "90° E", "225° SW".
QString headingText(double degrees);

// Date and time in the display locale's short format.
QString dateTimeText(const QDateTime& dateTime);
QString dateText(const QDate& date);
QString timeText(const QTime& time);

} // namespace Units

Q_DECLARE_METATYPE(Units::SpeedUnit)
Q_DECLARE_METATYPE(Units::AccelerationUnit)
