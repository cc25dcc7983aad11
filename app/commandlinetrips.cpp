#include "commandlinetrips.h"

#include "selectionreport.h"
#include "tripfile.h"
#include "videoadmission.h"
#include "videoselection.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHash>

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

    // As the playlist's openPaths: every folder stands for itself and its subfolders.
    const VideoSelection::Result selection = VideoSelection::collect(paths);
    const VideoAdmission admitted = VideoAdmission::admit(selection);
    if (selection.videos.isEmpty()) {
        // Nothing at all to open fails with what the window says about it.
        const SelectionReport::Message report = SelectionReport::nothingFound(selection, admitted.skipped);
        m_error = report.text + QLatin1Char(' ') + report.informativeText;
        if (!report.details.isEmpty())
            m_error += QLatin1Char('\n') + report.details;
        return false;
    }

    SkippedFiles skipped = admitted.skipped;
    QHash<QString, QString> engineReasons;
    if (!admitted.ordinary.isEmpty() || !admitted.events.isEmpty()) {
        QVector<PlaylistPrepareData::SkippedFile> leftOut;
        m_trips = prepare(admitted.ordinary, admitted.events, leftOut);
        // The playlist sorts its rows by start time; rows that start together keep their order.
        std::stable_sort(m_trips.begin(), m_trips.end(),
                         [](const Trip::TripList& a, const Trip::TripList& b) {
                             return Trip::startOf(a.front()) < Trip::startOf(b.front());
                         });
        skipped.add(VideoAdmission::unplayable(leftOut));
        for (const PlaylistPrepareData::SkippedFile& file : qAsConst(leftOut)) {
            if (!file.vanished)
                engineReasons.insert(file.path, file.reason);
        }
    }
    // The window's reasons; the engine's own words, which the window leaves to its log, follow.
    for (const auto& file : skipped.files()) {
        QString reason = SkippedFiles::reasonText(file.second);
        if (engineReasons.contains(file.first))
            reason += QStringLiteral(" (%1)").arg(engineReasons.value(file.first));
        m_skipped.append({file.first, reason});
    }
    return true;
}

Trip::Trips CommandLineTrips::prepare(const QStringList& ordinary, const QStringList& events,
                                      QVector<PlaylistPrepareData::SkippedFile>& unplayable)
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
    unplayable = worker.skippedFiles();

    Trip::Trips trips;
    if (result) {
        for (const Trip::TripList& trip : *result) {
            if (!trip.empty())
                trips.push_back(trip);
        }
    }
    return trips;
}
