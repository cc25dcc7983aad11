#pragma once

#include "inheritenum.h"
#include "qnmeacoordinate.h"

#include <QDateTime>
#include <QGeoPositionInfo>
#include <QMetaType>
#include <QString>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One per-second sample of position and vehicle-sensor data.
class QNmeaPositionInfo : public QGeoPositionInfo
{
public:
    // The program's own attributes continue the numbering of QGeoPositionInfo::Attribute.
    enum Attribute
    {
        AccelerationX = 6,
        AccelerationY = 7
    };
    using AttributeKey = InheritEnum<Attribute, QGeoPositionInfo::Attribute>;

    enum Markers
    {
        Fix,
        Event,
        PositionGapBegin,
        PositionGapEnd,
        VideoGapBegin,
        VideoGapEnd
    };

    enum Coordinate
    {
        Latitude,
        Longitude,
        Altitude
    };

    QNmeaPositionInfo() = default;
    QNmeaPositionInfo(const QNmeaCoordinate& coordinate, const QDateTime& timestamp);
    QNmeaPositionInfo(const QNmeaPositionInfo& other) = default;
    QNmeaPositionInfo(QNmeaPositionInfo&& other) = default;
    QNmeaPositionInfo& operator=(const QNmeaPositionInfo& other) = default;
    QNmeaPositionInfo& operator=(QNmeaPositionInfo&& other) = default;
    virtual ~QNmeaPositionInfo();

    void setTimestamp(const QDateTime& timestamp);

    void setAttribute(AttributeKey attribute, double value);
    // Text as written in NMEA: ground speed in knots; a text that holds no number changes nothing.
    void setAttribute(AttributeKey attribute, const std::string& text);
    // The same rules for a number already converted from its text.
    void setConvertedAttribute(AttributeKey attribute, double converted);
    double attribute(AttributeKey attribute) const;
    bool hasAttribute(AttributeKey attribute) const;

    void setMarker(Markers marker, bool value);
    // A decimal number of at least 1 sets the marker; a text without a number leaves it unchanged.
    void setMarker(Markers marker, const std::string& text);
    void setMarker(Markers marker, const char* text) { setMarker(marker, std::string(text)); }
    void setMarkerFromText(Markers marker, std::string_view text);
    bool marker(Markers marker) const;

    void setFileName(const QString& fileName) { m_fileName = fileName; }
    const QString& fileName() const { return m_fileName; }
    // Display texts, made from the values when asked for, so that copies and changes cost nothing:
    // date and time of day in Qt::TextDate on two lines (empty without timestamp), and the ground
    // speed with six significant digits (empty without speed).
    QString timestampText() const;
    QString speedText() const;
    QString tooltip() const;

    bool isExtendedValid() const;

    std::string coordinateToStdString(Coordinate part) const;
    QString toString() const;
    std::string toStdString() const;

    // Registers the shared vector of samples for queued signals.
    static void registerMetaTypes();

private:
    // A long trip holds tens of thousands of samples: markers as bits and the two
    // accelerations in place cost a few bytes each, where maps would cost hundreds.
    std::array<double, 2> m_accelerations{};
    quint8 m_accelerationsSet = 0;
    quint8 m_markers = 0;
    QString m_fileName;
};

Q_DECLARE_METATYPE(std::shared_ptr<std::vector<QNmeaPositionInfo>>)
