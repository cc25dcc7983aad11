#include "commandlinetrips.h"

#include "tripfile.h"
#include "videoselection.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

bool CommandLineTrips::load(const QStringList& paths)
{
    m_trips.clear();
    m_skipped.clear();
    m_error.clear();
    for (const QString& path : paths) {
        if (!QFileInfo::exists(path)) {
            m_error = tr("No such file or folder: %1").arg(path);
            return false;
        }
    }

    // As the playlist's openPaths: one folder stands for itself and its subfolders.
    static const QRegularExpression filePattern(
        QRegularExpression::anchoredPattern(VideoSelection::FilePattern));
    const QStringList files = VideoSelection::expand(
        paths, VideoSelection::namePatterns({QStringLiteral("MP4 (*.mp4)")}), filePattern);

    QStringList ordinary;
    QStringList events;
    for (const QString& file : files) {
        const QString native = QDir::toNativeSeparators(file);
        switch (Trip::admit(native)) {
        case Trip::Admission::Ordinary:
            ordinary << native;
            break;
        case Trip::Admission::Event:
            events << native;
            break;
        case Trip::Admission::Rejected:
            if (!QFileInfo::exists(Trip::nmeaFileFor(native)))
                m_skipped.append({native, tr("no NMEA file beside it")});
            else
                m_skipped.append({native, tr("no valid start time in its name")});
            break;
        }
    }
    if (ordinary.isEmpty() && events.isEmpty())
        return true;

    m_trips = prepare(ordinary, events);
    // The playlist sorts its rows by start time; rows that start together keep their order.
    std::stable_sort(m_trips.begin(), m_trips.end(), [](const Trip::TripList& a, const Trip::TripList& b) {
        return Trip::startTime(a.front().videoFile) < Trip::startTime(b.front().videoFile);
    });
    m_skipped += unplayable(ordinary + events, m_trips, m_probeReasons);
    return true;
}

Trip::Trips CommandLineTrips::prepare(const QStringList& ordinary, const QStringList& events)
{
    Trip::registerMetaTypes();
    PlaylistPrepareData worker;
    if (m_probe)
        worker.setDurationProbe(m_probe);
    std::shared_ptr<Trip::Trips> result;
    QEventLoop loop;
    QObject::connect(
        &worker, &PlaylistPrepareData::completed, &loop,
        [&](intptr_t, std::shared_ptr<Trip::Trips> trips) {
            result = std::move(trips);
            loop.quit();
        },
        Qt::QueuedConnection);
    QObject::connect(&worker, &PlaylistPrepareData::finishedEmpty, &loop, &QEventLoop::quit,
                     Qt::QueuedConnection);
    worker.startProcessing(reinterpret_cast<intptr_t>(&worker), ordinary, events);
    loop.exec();
    m_probeReasons.clear();
    for (const PlaylistPrepareData::SkippedFile& file : worker.skippedFiles())
        m_probeReasons.insert(file.path, file.reason);

    Trip::Trips trips;
    if (result) {
        for (const Trip::TripList& trip : *result) {
            if (!trip.empty())
                trips.push_back(trip);
        }
    }
    return trips;
}

QVector<CommandLineTrips::Skipped> CommandLineTrips::unplayable(const QStringList& admitted,
                                                                const Trip::Trips& trips,
                                                                const QHash<QString, QString>& reasons)
{
    QSet<QString> listed;
    for (const Trip::TripList& trip : trips) {
        for (const Trip::TripItem& item : trip)
            listed.insert(item.videoFile);
    }
    QVector<Skipped> skipped;
    for (const QString& file : admitted) {
        if (!listed.contains(file))
            skipped.append({file, reasons.contains(file)
                                      ? tr("not a playable video (%1)").arg(reasons.value(file))
                                      : tr("not a playable video")});
    }
    return skipped;
}
