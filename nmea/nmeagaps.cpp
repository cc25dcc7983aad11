#include "nmeagaps.h"

#include "greatcircle.h"
#include "nmealog.h"
#include "tripfile.h"

#include <QDebug>
#include <QHash>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Nmea {

namespace {

bool hasBothAccelerations(const QNmeaPositionInfo& p)
{
    return p.hasAttribute(QNmeaPositionInfo::AccelerationX) &&
           p.hasAttribute(QNmeaPositionInfo::AccelerationY);
}

qint64 wholeSeconds(const QNmeaPositionInfo& p)
{
    return p.timestamp().toMSecsSinceEpoch() / 1000;
}

// The recording start in a video's name as milliseconds of a zone-free clock: the name holds a
// wall-clock time, and no time-zone rule may stretch or shrink the pause between two videos (nor
// make a time in the hour skipped for summer time invalid). Invalid digits give 0.
qint64 recordingStartMSecs(const QString& videoFile)
{
    const QDateTime start = Trip::startTime(videoFile);
    return start.isValid() ? start.toMSecsSinceEpoch() : 0;
}

// A second-difference estimate is kept when plausible; above 30 m/s² the change of ground speed is
// the better guess unless the vehicle seemingly jumped a whole block.
void setEstimate(QNmeaPositionInfo& e, const QNmeaPositionInfo& prev, QNmeaPositionInfo::Attribute attribute,
                 double value)
{
    if (std::abs(value) <= PlausibleAcceleration) {
        e.setAttribute(attribute, value);
        return;
    }
    if (prev.coordinate().distanceTo(e.coordinate()) >= PlausibleStepMetres)
        return;
    if (!e.hasAttribute(QNmeaPositionInfo::GroundSpeed) || !prev.hasAttribute(QNmeaPositionInfo::GroundSpeed))
        return;
    const double d =
        e.attribute(QNmeaPositionInfo::GroundSpeed) - prev.attribute(QNmeaPositionInfo::GroundSpeed);
    e.setAttribute(attribute, std::abs(d) < std::abs(value) ? d : value);
}

} // namespace

void detectLongGaps(Positions& v, std::shared_ptr<Trip::TripList> trip)
{
    if (v.size() < 2)
        return;
    // The first trip item of each video, looked up at every boundary between two videos.
    QHash<QString, const Trip::TripItem*> items;
    if (trip) {
        items.reserve(int(trip->size()));
        for (const Trip::TripItem& item : *trip) {
            if (!items.contains(item.videoFile))
                items.insert(item.videoFile, &item);
        }
    }
    qint64 previousMs = v[0].timestamp().toMSecsSinceEpoch();
    for (std::size_t i = 1; i < v.size(); ++i) {
        const qint64 currentMs = v[i].timestamp().toMSecsSinceEpoch();
        const QString& before = v[i - 1].fileName();
        const QString& after = v[i].fileName();
        if (before != after) {
            if (!trip) {
                previousMs = currentMs;
                continue;
            }
            const Trip::TripItem* const item = items.value(before, nullptr);
            if (item) {
                const qint64 gap = recordingStartMSecs(after) - recordingStartMSecs(before) - item->duration;
                if (gap > LongGapMs) {
                    qCDebug(lcNmea).noquote() << QString::asprintf(
                        "%s \tGap in videos before sec: %lu, for %llds", "detectLongGaps",
                        static_cast<unsigned long>(i), static_cast<long long>(gap / 1000));
                    v[i - 1].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
                    v[i].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
                }
            }
        } else if (currentMs - previousMs > LongGapMs) {
            qCDebug(lcNmea).noquote() << QString::asprintf("%s \tGap in positions before sec: %lu",
                                                           "detectLongGaps", static_cast<unsigned long>(i));
            v[i - 1].setMarker(QNmeaPositionInfo::PositionGapBegin, true);
            v[i].setMarker(QNmeaPositionInfo::PositionGapEnd, true);
        }
        previousMs = currentMs;
    }
}

void fillShortGaps(Positions& v)
{
    fillShortSpeedGaps(v);
    fillShortAltitudeAndAccelerationGaps(v);
}

void fillShortSpeedGaps(Positions& v)
{
    constexpr auto speed = QNmeaPositionInfo::GroundSpeed;
    const std::size_t n = v.size();
    if (n < 2)
        return;
    const std::size_t k = findFirstValidAttribute(v, speed, 0, n);
    if (k == n)
        return;

    if (k > 0 && k <= ShortRun) {
        const double value = v[k].attribute(speed);
        for (std::size_t i = 0; i < k; ++i)
            v[i].setAttribute(speed, value);
    }
    const std::size_t j = findLastValidAttribute(v, speed, 0, n);
    const std::size_t trailing = n - 1 - j;
    if (trailing > 0 && trailing <= ShortRun) {
        const double value = v[j].attribute(speed);
        for (std::size_t i = j + 1; i < n; ++i)
            v[i].setAttribute(speed, value);
    }

    std::size_t b = k;
    while (b < j) {
        const std::size_t a = findFirstValidAttribute(v, speed, b + 1, j + 1);
        const std::size_t run = a - b - 1;
        if (run > 0 && run <= ShortRun)
            fillSpeedGapsForRange(v, b + 1, v[b].attribute(speed), v[a].attribute(speed), run);
        b = a;
    }
}

void fillShortAltitudeAndAccelerationGaps(Positions& v)
{
    const std::size_t n = v.size();
    if (n < 3)
        return;
    const auto firstWithBoth = std::find_if(v.cbegin(), v.cend(), hasBothAccelerations);
    if (firstWithBoth == v.cend() || firstWithBoth == v.cend() - 1)
        return;

    for (std::size_t i = 1; i <= n - 3;) {
        if (!qIsNaN(v[i].coordinate().altitude())) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i <= n - 3 && qIsNaN(v[i].coordinate().altitude()))
            ++i;
        const std::size_t run = i - start;
        if (run <= ShortRun)
            fillAltitudeGapsForRange(v, start, v[start - 1].coordinate().altitude(),
                                     v[i].coordinate().altitude(), run);
    }

    for (std::size_t i = 1; i <= n - 3; ++i) {
        QNmeaPositionInfo& e = v[i];
        const QNmeaPositionInfo& prev = v[i - 1];
        const QNmeaPositionInfo& next = v[i + 1];
        if (hasBothAccelerations(e) || !hasBothAccelerations(prev) || !hasBothAccelerations(next))
            continue;
        if (!e.coordinate().isValid() || !prev.coordinate().isValid() || !next.coordinate().isValid())
            continue;
        const qint64 dPrev = wholeSeconds(e) - wholeSeconds(prev);
        const qint64 dNext = wholeSeconds(next) - wholeSeconds(e);
        if (dPrev == 1 && dNext == 1) {
            fillSingleAccelerationsGap(e, prev, next);
            continue;
        }
        const qint64 span = std::abs(dPrev) + std::abs(dNext);
        if (span == 0 || span > 5)
            continue; // records of one second carry no slope
        for (const auto attribute : {QNmeaPositionInfo::AccelerationX, QNmeaPositionInfo::AccelerationY}) {
            const double p = prev.attribute(attribute);
            e.setAttribute(attribute, p + (next.attribute(attribute) - p) * double(dPrev) / double(span));
        }
    }
}

void fillSingleAccelerationsGap(QNmeaPositionInfo& e, const QNmeaPositionInfo& prev,
                                const QNmeaPositionInfo& next)
{
    const QGeoCoordinate p = prev.coordinate();
    const QGeoCoordinate c = e.coordinate();
    const QGeoCoordinate n = next.coordinate();
    const double metresPerLongitude =
        QGeoCoordinate(p.latitude(), std::ceil(p.longitude()))
            .distanceTo(QGeoCoordinate(p.latitude(), std::floor(p.longitude())));
    const double metresPerLatitude = QGeoCoordinate(std::ceil(p.latitude()), p.longitude())
                                         .distanceTo(QGeoCoordinate(std::floor(p.latitude()), p.longitude()));
    const double x = (p.longitude() - 2.0 * c.longitude() + n.longitude()) * metresPerLongitude;
    const double y = (p.latitude() - 2.0 * c.latitude() + n.latitude()) * metresPerLatitude;
    setEstimate(e, prev, QNmeaPositionInfo::AccelerationX, x);
    setEstimate(e, prev, QNmeaPositionInfo::AccelerationY, y);
    qCDebug(lcNmea).noquote() << QString::asprintf("\tX: %4.4f, \tY: %4.4f", x, y);
}

void fillLongGap(Positions& out, const QNmeaPositionInfo& from, const QNmeaPositionInfo& to)
{
    const qint64 ms = from.timestamp().msecsTo(to.timestamp());
    const auto n = qint64(std::ceil(double(ms) / 1000.0));
    const QGeoCoordinate start = from.coordinate();
    const QGeoCoordinate end = to.coordinate();
    if (n <= LongInterpolationSec || n > LongestInterpolationSec || !start.isValid() || !end.isValid())
        return;
    const GreatCircle line(start, end);
    const bool heights = !qIsNaN(start.altitude()) && !qIsNaN(end.altitude());
    const double base = heights ? start.altitude() : 0.0;
    const double total = heights ? end.altitude() - start.altitude() : 0.0;
    for (qint64 i = 1; i < n; ++i) {
        const double share = evenlyBetween(0.0, 1.0, i, n);
        QGeoCoordinate c = line.at(share);
        c.setAltitude(base + total * share);
        out.emplace_back(QNmeaCoordinate(c), from.timestamp().addSecs(i));
    }
}

void fillSpeedGapsForRange(Positions& v, std::size_t first, double startValue, double endValue,
                           std::size_t count)
{
    for (std::size_t j = 1; j <= count && first + j - 1 < v.size(); ++j)
        v[first + j - 1].setAttribute(QNmeaPositionInfo::GroundSpeed,
                                      evenlyBetween(startValue, endValue, qint64(j), qint64(count)));
}

void fillAltitudeGapsForRange(Positions& v, std::size_t first, double startValue, double endValue,
                              std::size_t count)
{
    for (std::size_t j = 1; j <= count && first + j - 1 < v.size(); ++j) {
        QGeoCoordinate c = v[first + j - 1].coordinate();
        c.setAltitude(evenlyBetween(startValue, endValue, qint64(j), qint64(count)));
        v[first + j - 1].setCoordinate(c);
    }
}

std::size_t findFirstValidAttribute(const Positions& v, QNmeaPositionInfo::AttributeKey attribute,
                                    std::size_t first, std::size_t end)
{
    for (std::size_t i = first; i < end && i < v.size(); ++i) {
        if (v[i].hasAttribute(attribute))
            return i;
    }
    return end;
}

std::size_t findLastValidAttribute(const Positions& v, QNmeaPositionInfo::AttributeKey attribute,
                                   std::size_t first, std::size_t end)
{
    for (std::size_t i = std::min(end, v.size()); i > first; --i) {
        if (v[i - 1].hasAttribute(attribute))
            return i - 1;
    }
    return end;
}

} // namespace Nmea
