#include "tripchannels.h"

#include "channelpairing.h"
#include "tripfile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace Trip {

QStringList TripChannels::names(const TripList& trip)
{
    QStringList names;
    for (const TripItem& item : trip) {
        if (!names.contains(item.channel))
            names << item.channel;
        for (const TripItem& other : item.channels) {
            if (!names.contains(other.channel))
                names << other.channel;
        }
    }
    if (names.size() > 1)
        std::stable_sort(names.begin() + 1, names.end(), [](const QString& a, const QString& b) {
            return ChannelPairing::rank(a) < ChannelPairing::rank(b);
        });
    return names;
}

const TripItem* TripChannels::recordingOf(const TripItem& item, const QString& channel)
{
    if (item.channel == channel)
        return &item;
    const auto found = std::find_if(item.channels.cbegin(), item.channels.cend(),
                                    [&channel](const TripItem& other) { return other.channel == channel; });
    return found != item.channels.cend() ? &*found : nullptr;
}

qint64 TripChannels::offsetMs(const TripItem& item, const TripItem& recording)
{
    const QDateTime main = startOf(item);
    const QDateTime other = startOf(recording);
    if (!main.isValid() || !other.isValid())
        return 0;
    return main.toMSecsSinceEpoch() - other.toMSecsSinceEpoch();
}

QString TripChannels::pathFor(const QString& path, const QString& channel)
{
    const QFileInfo info(path);
    const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.dir().filePath(base + QLatin1Char('_') + channel + suffix);
}

} // namespace Trip
