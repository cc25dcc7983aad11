#include "greatcircle.h"

GreatCircle::GreatCircle(const QGeoCoordinate& from, const QGeoCoordinate& to)
    : m_from(from.latitude(), from.longitude()), m_distance(from.distanceTo(to)),
      m_azimuth(from.azimuthTo(to))
{}

QGeoCoordinate GreatCircle::at(double fraction) const
{
    return m_from.atDistanceAndAzimuth(m_distance * fraction, m_azimuth);
}
