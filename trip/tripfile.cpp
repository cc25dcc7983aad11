#include "tripfile.h"

#include "zelcfg.h"

#include <QDir>
#include <QFileInfo>

namespace Trip {

QString nmeaFileFor(const QString& videoFile)
{
    // Only the file name's extension (".mp4" in any case) is replaced: a folder such as
    // "card.mp4.bak" keeps its name.
    const QString suffix = QFileInfo(videoFile).suffix();
    return (suffix.isEmpty() ? videoFile : videoFile.chopped(suffix.size() + 1)) + QLatin1String(".nmea");
}

QString startTimeString(const QString& videoFile)
{
    return videoFile.right(18).left(14);
}

QDateTime startTime(const QString& videoFile)
{
    const QString digits = startTimeString(videoFile);
    bool valid = digits.size() == 14;
    const auto number = [&digits, &valid](int from, int length) {
        bool ok = false;
        const int value = digits.mid(from, length).toInt(&ok, 10);
        valid = valid && ok;
        return value;
    };
    const QDate date(number(0, 4), number(4, 2), number(6, 2));
    const QTime time(number(8, 2), number(10, 2), number(12, 2), 0);
    if (!valid || !date.isValid() || !time.isValid())
        return QDateTime();
    // A wall-clock time without a zone, kept as UTC so that no time-zone rule (a summer-time
    // gap, a slow local conversion) ever applies to it; the position data's times are kept so too.
    return QDateTime(date, time, Qt::UTC);
}

qint64 startMSecs(const QString& videoFile)
{
    return startTime(videoFile).toMSecsSinceEpoch();
}

bool isEventFile(const QString& videoFile)
{
    // A folder named exactly "EVENT" on the way to the file, at any level; "EVENTCAM" or
    // "PREVENTION" are ordinary folders.
    const QString path = QDir::fromNativeSeparators(videoFile);
    const int name = path.lastIndexOf(QLatin1Char('/'));
    for (int end = name; end > 0;) {
        const int begin = path.lastIndexOf(QLatin1Char('/'), end - 1) + 1;
        if (QStringView(path).mid(begin, end - begin) == EventDirName)
            return true;
        end = begin - 1;
    }
    return false;
}

Rejection rejection(const QString& videoFile)
{
    if (!QFileInfo::exists(nmeaFileFor(videoFile)))
        return Rejection::NoNmeaFile;
    if (!startTime(videoFile).isValid())
        return Rejection::NoStartTime;
    return Rejection::None;
}

Admission admit(const QString& videoFile)
{
    if (rejection(videoFile) != Rejection::None)
        return Admission::Rejected;
    return isEventFile(videoFile) ? Admission::Event : Admission::Ordinary;
}

void admit(const QStringList& selected, QStringList& ordinary, QStringList& events)
{
    for (const QString& path : selected) {
        const QString native = QDir::toNativeSeparators(path);
        switch (admit(native)) {
        case Admission::Ordinary:
            ordinary.append(native);
            break;
        case Admission::Event:
            events.append(native);
            break;
        case Admission::Rejected:
            break;
        }
    }
}

} // namespace Trip
