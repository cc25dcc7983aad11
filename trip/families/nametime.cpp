#include "nametime.h"

#include <QRegularExpression>

namespace Camera {

QDateTime NameTime::find(const QString& name)
{
    // Year, month, day, hour, minute, second; each pair may be parted by one "-", "_", ".", " ",
    // "T" (between date and time) or nothing.
    static const QRegularExpression pattern(
        QStringLiteral("(?<![0-9])((?:19|20)[0-9]{2})[-_.]?([0-9]{2})[-_.]?([0-9]{2})[-_. "
                       "T]?([0-9]{2})[-_.]?([0-9]{2})[-_.]?([0-9]{2})(?![0-9])"));
    QRegularExpressionMatchIterator matches = pattern.globalMatch(name);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        const auto part = [&match](int i) { return match.capturedRef(i).toInt(); };
        const QDate date(part(1), part(2), part(3));
        const QTime time(part(4), part(5), part(6));
        if (date.isValid() && time.isValid())
            return QDateTime(date, time, Qt::UTC);
    }
    return QDateTime();
}

} // namespace Camera
