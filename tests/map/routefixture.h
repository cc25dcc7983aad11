#pragma once

// Per-second trip records on a straight line to the north-east, for route and map tests.

#include "qnmeapositioninfo.h"

#include <QDateTime>

#include <cmath>
#include <memory>
#include <vector>

namespace RouteFixture {

constexpr double Longitude0 = 9.9;
constexpr double Latitude0 = 49.8;
constexpr double Step = 0.0005;

inline QDateTime start()
{
    return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
}

// Record i lies Step degrees further in both directions than record i - 1 and one second later.
inline QNmeaPositionInfo record(int i, bool fix = true, double step = Step)
{
    QNmeaPositionInfo r(QNmeaCoordinate(Latitude0 + i * step, Longitude0 + i * step), start().addSecs(i));
    r.setMarker(QNmeaPositionInfo::Fix, fix);
    r.setAttribute(QNmeaPositionInfo::GroundSpeed, 10.0);
    return r;
}

inline QNmeaPositionInfo invalid(int i)
{
    return QNmeaPositionInfo(QNmeaCoordinate(), start().addSecs(i));
}

inline std::shared_ptr<std::vector<QNmeaPositionInfo>> line(int count, double step = Step)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < count; ++i)
        v->push_back(record(i, true, step));
    return v;
}

// The record a point of the line was made from.
inline int indexOf(double longitude)
{
    return int(std::lround((longitude - Longitude0) / Step));
}

} // namespace RouteFixture
