// Trip assembly: the parsed files of a trip joined into one record per second of its timeline.

#include "greatcircle.h"
#include "nmeagaps.h"
#include "nmealog.h"
#include "nmeaparser.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

QNmeaPositionInfo substitute(const QNmeaPositionInfo& from, const QDateTime& timestamp)
{
    return QNmeaPositionInfo(QNmeaCoordinate(from.coordinate().latitude(), from.coordinate().longitude()),
                             timestamp);
}

} // namespace

bool NmeaParser::requestParsed(std::shared_ptr<Trip::TripList> trip)
{
    Positions positions = assemble(trip);
    if (!positions)
        return false;
    emit ready(std::move(positions));
    return true;
}

NmeaParser::Positions NmeaParser::assemble(const std::shared_ptr<Trip::TripList>& trip)
{
    static const QString prefix = QStringLiteral("NmeaParser::assemble:");
    if (!trip)
        return nullptr;

    std::vector<QNmeaPositionInfo> result;
    QNmeaPositionInfo previousLast;
    bool previousEvent = false;
    qint64 totalMs = 0;

    qint64 plannedMs = 0;
    for (const Trip::TripItem& item : *trip)
        plannedMs += std::max<qint64>(item.duration, 0);
    result.reserve(std::size_t(plannedMs / 1000) + trip->size());

    for (std::size_t index = 0; index < trip->size(); ++index) {
        const Trip::TripItem& item = (*trip)[index];
        totalMs += item.duration;
        QThread::yieldCurrentThread();

        if (item.nmeaFile.isEmpty()) {
            // A recording without position data: its seconds hold records without data, as a
            // gap does, so that the records after it stay on their seconds.
            const qint64 seconds =
                index + 1 < trip->size() ? item.duration / 1000 : (item.duration + 999) / 1000;
            QNmeaPositionInfo none;
            none.setFileName(item.videoFile);
            result.insert(result.end(), std::size_t(std::max<qint64>(seconds, 0)), none);
            previousEvent = item.isEvent;
            continue;
        }
        NmeaFilePtr registered;
        const bool hasPositions = getParsedFile(registered, item.nmeaFile.toStdString());
        if (!registered) {
            qCDebug(lcNmea) << prefix << "not parsed yet:" << item.nmeaFile;
            return nullptr;
        }
        // Work on a copy: filling and cutting belong to this trip, and the parsed file must look
        // the same the next time it is assembled, alone or in another trip. The copy shares the
        // records until it is changed.
        const NmeaFilePtr file = std::make_shared<NmeaFile>(*registered);
        if (!hasPositions) {
            if (!fillMissingFile(file, trip, item, previousLast)) {
                qCDebug(lcNmea) << prefix << "no positions to fill" << item.nmeaFile;
                return nullptr;
            }
        }
        fillWithEstimates(file, qint64(std::ceil(double(item.duration) / 1000.0)));
        if (index + 1 < trip->size())
            cutToDuration(file, item.duration);
        if (!file->isEmpty())
            previousLast = std::as_const(*file).last();
        const std::size_t first = result.size();
        // The recording after an event still shows its consequences.
        concatenate(result, file, item.isEvent || previousEvent);
        for (std::size_t i = first; i < result.size(); ++i)
            result[i].setFileName(item.videoFile);
        previousEvent = item.isEvent;
        if (m_aborted)
            return nullptr;
    }

    cutToDuration(result, totalMs);
    Nmea::detectLongGaps(result, trip);
    Nmea::fillShortGaps(result);
    return std::make_shared<std::vector<QNmeaPositionInfo>>(std::move(result));
}

void NmeaParser::concatenate(std::vector<QNmeaPositionInfo>& out, const NmeaFilePtr& file, bool event)
{
    if (!file || file->isEmpty())
        return;
    if (!out.empty() && !event && file->firstKey() <= out.back().timestamp()) {
        // The files overlap: skip the seconds that are already there.
        bool appended = false;
        for (auto it = file->cbegin(); it != file->cend(); ++it) {
            if (!appended) {
                const QDateTime& key = it.key();
                const auto found =
                    std::find_if(out.crbegin(), out.crend(),
                                 [&key](const QNmeaPositionInfo& p) { return p.timestamp() == key; });
                if (found != out.crend())
                    continue;
                appended = true;
            }
            out.push_back(it.value());
        }
        return;
    }
    // The records are marked in the output; the file itself stays as it is.
    for (auto it = file->cbegin(); it != file->cend(); ++it) {
        out.push_back(it.value());
        if (event)
            out.back().setMarker(QNmeaPositionInfo::Event, true);
    }
}

bool NmeaParser::fillMissingFile(const NmeaFilePtr& file, const std::shared_ptr<Trip::TripList>& trip,
                                 const Trip::TripItem& item, const QNmeaPositionInfo& previousLast)
{
    if (previousLast.isValid()) {
        fillForwardToDuration(file, previousLast, item.duration);
        return true;
    }
    if (!trip)
        return false;
    auto it = std::find(trip->cbegin(), trip->cend(), item);
    if (it == trip->cend())
        return false;
    qint64 offsetMs = 0;
    for (++it; it != trip->cend(); ++it) {
        NmeaFilePtr next;
        if (getParsedFile(next, it->nmeaFile.toStdString())) {
            fillReverseToDuration(file, std::as_const(*next).first(), offsetMs, item.duration);
            return true;
        }
        offsetMs += it->duration;
    }
    return false;
}

void NmeaParser::fillForwardToDuration(const NmeaFilePtr& file, const QNmeaPositionInfo& from,
                                       qint64 durationMs)
{
    const QDateTime start = from.timestamp();
    for (qint64 i = 1; i <= durationMs / 1000; ++i) {
        const QDateTime key = start.addSecs(i);
        file->insert(key, substitute(from, key));
    }
}

void NmeaParser::fillReverseToDuration(const NmeaFilePtr& file, const QNmeaPositionInfo& from,
                                       qint64 offsetMs, qint64 durationMs)
{
    const QDateTime start = from.timestamp().addSecs(-(offsetMs / 1000));
    for (qint64 i = 1; i <= durationMs / 1000; ++i) {
        const QDateTime key = start.addSecs(-i);
        file->insert(key, substitute(from, key));
    }
}

void NmeaParser::fillWithEstimates(const NmeaFilePtr& file, qint64 maxGapSec)
{
    if (!file || file->isEmpty())
        return;
    std::vector<QNmeaPositionInfo> estimates;
    auto previous = file->cbegin();
    for (auto it = file->cbegin(); it != file->cend(); previous = it, ++it) {
        // Full timestamps, not times of day, so that a hole across midnight is filled as well.
        const QDateTime& from = previous->timestamp();
        const qint64 seconds = from.secsTo(it->timestamp());
        if (seconds <= 1 || seconds > maxGapSec)
            continue;
        const GreatCircle line(previous->coordinate(), it->coordinate());
        for (qint64 i = 1; i < seconds; ++i)
            estimates.emplace_back(QNmeaCoordinate(line.at(Nmea::evenlyBetween(0.0, 1.0, i, seconds - 1))),
                                   from.addSecs(i));
    }
    for (const QNmeaPositionInfo& estimate : estimates)
        file->insert(estimate.timestamp(), estimate);
}

void NmeaParser::cutToDuration(const NmeaFilePtr& file, qint64 durationMs)
{
    if (!file)
        return;
    for (qint64 excess = file->size() - durationMs / 1000; excess > 0 && !file->isEmpty(); --excess)
        file->erase(std::prev(file->end()));
    if (!file->isEmpty() && !std::as_const(*file).last().coordinate().isValid())
        file->erase(std::prev(file->end()));
}

void NmeaParser::cutToDuration(std::vector<QNmeaPositionInfo>& positions, qint64 durationMs)
{
    const qint64 excess = qint64(positions.size()) - durationMs / 1000;
    if (excess > 0)
        positions.resize(positions.size() - std::size_t(excess));
    if (!positions.empty() && !positions.back().coordinate().isValid())
        positions.pop_back();
}
