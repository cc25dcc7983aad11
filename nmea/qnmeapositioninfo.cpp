#include "qnmeapositioninfo.h"

#include "tripfile.h"
#include "utilities.h"
#include "zelcfg.h"

#include <QtMath>

#include <cmath>
#include <iomanip>
#include <sstream>

namespace {

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

} // namespace

QNmeaPositionInfo::QNmeaPositionInfo(const QNmeaCoordinate& coordinate, const QDateTime& timestamp)
    : QGeoPositionInfo(coordinate, timestamp)
{}

QNmeaPositionInfo::~QNmeaPositionInfo() = default;

void QNmeaPositionInfo::setTimestamp(const QDateTime& timestamp)
{
    QGeoPositionInfo::setTimestamp(timestamp);
}

QString QNmeaPositionInfo::timestampText() const
{
    const QDateTime t = timestamp();
    if (!t.isValid())
        return QString();
    return t.date().toString(Qt::TextDate) + QLatin1Char('\n') + t.time().toString(Qt::TextDate);
}

QString QNmeaPositionInfo::speedText() const
{
    return hasAttribute(GroundSpeed) ? QString::number(attribute(GroundSpeed), 'g', 6) : QString();
}

void QNmeaPositionInfo::setAttribute(AttributeKey attribute, double value)
{
    if (attribute < AccelerationX) {
        QGeoPositionInfo::setAttribute(static_cast<QGeoPositionInfo::Attribute>(int(attribute)), value);
    } else if (const int i = int(attribute) - AccelerationX; i < int(m_accelerations.size())) {
        m_accelerations[std::size_t(i)] = value;
        m_accelerationsSet |= quint8(1u << i);
    }
}

void QNmeaPositionInfo::setAttribute(AttributeKey attribute, const std::string& text)
{
    setConvertedAttribute(attribute, Utilities::secureStod(text));
}

void QNmeaPositionInfo::setConvertedAttribute(AttributeKey attribute, double converted)
{
    // 1.00 kn or 1.00° is a measurement like any other; only a text without a number sets nothing.
    if (std::isnan(converted))
        return;
    if (attribute == GroundSpeed)
        converted = converted * 1.852 / 3.6; // knots to metres per second
    setAttribute(attribute, converted);
}

double QNmeaPositionInfo::attribute(AttributeKey attribute) const
{
    if (attribute < AccelerationX) {
        const auto base = static_cast<QGeoPositionInfo::Attribute>(int(attribute));
        return QGeoPositionInfo::hasAttribute(base) ? QGeoPositionInfo::attribute(base) : qQNaN();
    }
    return hasAttribute(attribute) ? m_accelerations[std::size_t(int(attribute) - AccelerationX)] : qQNaN();
}

bool QNmeaPositionInfo::hasAttribute(AttributeKey attribute) const
{
    if (attribute < AccelerationX)
        return QGeoPositionInfo::hasAttribute(static_cast<QGeoPositionInfo::Attribute>(int(attribute)));
    const int i = int(attribute) - AccelerationX;
    return i < int(m_accelerations.size()) && (m_accelerationsSet & (1u << i)) != 0;
}

void QNmeaPositionInfo::setMarker(Markers marker, bool value)
{
    const auto bit = quint8(1u << int(marker));
    m_markers = value ? quint8(m_markers | bit) : quint8(m_markers & ~bit);
}

void QNmeaPositionInfo::setMarker(Markers marker, const std::string& text)
{
    setMarkerFromText(marker, text);
}

void QNmeaPositionInfo::setMarkerFromText(Markers marker, std::string_view text)
{
    int number = 0;
    if (Utilities::toIntPrefix(text, number))
        setMarker(marker, number >= 1);
}

bool QNmeaPositionInfo::marker(Markers marker) const
{
    return (m_markers & (1u << int(marker))) != 0;
}

QString QNmeaPositionInfo::tooltip() const
{
    return timestampText() + QLatin1Char('\n') + speedText();
}

bool QNmeaPositionInfo::isExtendedValid() const
{
    return isValid() && QNmeaCoordinate(coordinate()).isExtendedValid();
}

std::string QNmeaPositionInfo::coordinateToStdString(Coordinate part) const
{
    const QString text = coordinate().toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere);
    const std::vector<std::string> pieces = Utilities::split(text.toStdString(), ",");
    const auto index = static_cast<std::size_t>(part);
    return index < pieces.size() ? pieces[index] : std::string();
}

QString QNmeaPositionInfo::toString() const
{
    const auto flag = [this](Markers m) { return QString::number(marker(m) ? 1 : 0); };
    return QStringLiteral("Timestamp %1 Coor: %2 Speed: %3 AccX: %4 AccY: %5 Dir: %6 Fix: %7 Event %8 "
                          "NGap (%9, %10) VGap (%11, %12), FileTime %13")
        .arg(timestamp().toString(Utilities::shortDateTimeString))
        .arg(coordinate().toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere))
        .arg(fixed(attribute(GroundSpeed), 4))
        .arg(fixed(attribute(AccelerationX), 4))
        .arg(fixed(attribute(AccelerationY), 4))
        .arg(fixed(attribute(Direction), 1))
        .arg(flag(Fix))
        .arg(flag(Event))
        .arg(flag(PositionGapEnd))
        .arg(flag(PositionGapBegin))
        .arg(flag(VideoGapEnd))
        .arg(flag(VideoGapBegin))
        .arg(Trip::startTime(m_fileName).toString(Utilities::shortDateTimeString));
}

std::string QNmeaPositionInfo::toStdString() const
{
    std::ostringstream out;
    out << std::fixed << std::setprecision(4);
    out << "Timestamp: " << timestamp().toString(Utilities::shortDateTimeString).toStdString() << " Coor: "
        << coordinate().toString(QGeoCoordinate::DegreesMinutesSecondsWithHemisphere).toStdString()
        << " Speed: " << attribute(GroundSpeed) << " AccX: " << attribute(AccelerationX)
        << " AccY: " << attribute(AccelerationY) << std::setprecision(1) << " Dir: " << attribute(Direction)
        << " Fix: " << marker(Fix) << " Event: " << marker(Event) << " NGap: (" << marker(PositionGapEnd)
        << "," << marker(PositionGapBegin) << ") VGap: (" << marker(VideoGapEnd) << ","
        << marker(VideoGapBegin) << ") FileTime: "
        << Trip::startTime(m_fileName).toString(Utilities::shortDateTimeString).toStdString();
    return out.str();
}

void QNmeaPositionInfo::registerMetaTypes()
{
    qRegisterMetaType<std::shared_ptr<std::vector<QNmeaPositionInfo>>>(
        "std::shared_ptr<std::vector<QNmeaPositionInfo>>");
}
