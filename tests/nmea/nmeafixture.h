#pragma once

// Writers of NMEA sentences in the styles of different receivers, for test fixtures.

#include <QDate>
#include <QFile>
#include <QStringList>
#include <QTime>

#include <cmath>
#include <ctime>

namespace Fixture {

inline QString withChecksum(const QString& body)
{
    int sum = 0;
    for (const QChar c : body)
        sum ^= c.toLatin1();
    return QStringLiteral("$%1*%2").arg(body).arg(sum, 2, 16, QLatin1Char('0')).toUpper();
}

// Decimal degrees as "ddmm.mmmm" (latitude) or "dddmm.mmmm" (longitude) with hemisphere.
inline QString angle(double degrees, bool latitude)
{
    const double a = std::abs(degrees);
    const int whole = int(a);
    const double minutes = (a - whole) * 60.0;
    const QString text = QStringLiteral("%1%2")
                             .arg(whole, latitude ? 2 : 3, 10, QLatin1Char('0'))
                             .arg(minutes, 7, 'f', 4, QLatin1Char('0'));
    const char side = latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
    return text + ',' + QLatin1Char(side);
}

inline QString clock(const QTime& t, int fractionDigits)
{
    QString text = t.toString(QStringLiteral("hhmmss"));
    if (fractionDigits > 0)
        text += '.' + QString::number(t.msec()).rightJustified(3, '0').left(fractionDigits);
    return text;
}

struct Style
{
    QString talker = QStringLiteral("GP");
    int fractionDigits = 3;
    bool checksum = true;
};

inline QString rmc(const QTime& t, const QDate& d, double lat, double lon, double knots = 20.0,
                   double course = 90.0, const Style& style = Style(), const QString& status = "A")
{
    const QString body =
        QStringLiteral("%1RMC,%2,%3,%4,%5,%6,%7,%8,003.1,W")
            .arg(style.talker, clock(t, style.fractionDigits), status, angle(lat, true), angle(lon, false))
            .arg(knots, 0, 'f', 1)
            .arg(course, 0, 'f', 1)
            .arg(d.toString(QStringLiteral("ddMMyy")));
    return style.checksum ? withChecksum(body) : '$' + body;
}

inline QString gga(const QTime& t, double lat, double lon, double altitude, int quality = 1,
                   const Style& style = Style())
{
    const QString body =
        QStringLiteral("%1GGA,%2,%3,%4,%5,08,0.9,%6,M,47.0,M,,")
            .arg(style.talker, clock(t, style.fractionDigits), angle(lat, true), angle(lon, false))
            .arg(quality)
            .arg(altitude, 0, 'f', 1);
    return style.checksum ? withChecksum(body) : '$' + body;
}

inline QString pztrx(const QTime& t, double x, double y)
{
    return withChecksum(QStringLiteral("PZTRX,%1,%2,%3")
                            .arg(t.toString(QStringLiteral("hhmmss")))
                            .arg(x, 0, 'f', 3)
                            .arg(y, 0, 'f', 3));
}

inline QString snrmc(const QString& time, const QString& latLon)
{
    return withChecksum(QStringLiteral("SNRMC,%1,V,%2,0.0,0.0,,,").arg(time, latLon));
}

inline bool write(const QString& path, const QStringList& lines, bool crlf = false)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray end = crlf ? "\r\n" : "\n";
    for (const QString& line : lines)
        file.write(line.toLatin1() + end);
    return true;
}

inline bool writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Sets the time-zone variable for the guard's life (an empty name unsets it) and restores it.
class TimeZone
{
public:
    explicit TimeZone(const QByteArray& name) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        set(!name.isEmpty(), name);
    }
    ~TimeZone() { set(m_had, m_old); }
    TimeZone(const TimeZone&) = delete;
    TimeZone& operator=(const TimeZone&) = delete;

private:
    static void set(bool on, const QByteArray& value)
    {
        if (on)
            qputenv("TZ", value);
        else
            qunsetenv("TZ");
        tzset();
    }
    bool m_had;
    QByteArray m_old;
};

} // namespace Fixture
