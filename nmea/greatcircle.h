#pragma once

#include <QGeoCoordinate>

// The shortest path on the earth's surface between two coordinates, for placing estimated
// positions inside a hole in the data.
class GreatCircle
{
public:
    GreatCircle(const QGeoCoordinate& from, const QGeoCoordinate& to);

    // The point `fraction` of the way from the start (0) to the end (1); latitude and
    // longitude only.
    QGeoCoordinate at(double fraction) const;

private:
    QGeoCoordinate m_from;
    double m_distance;
    double m_azimuth;
};
