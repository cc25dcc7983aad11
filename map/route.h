#pragma once

#include "mapwidgetconfig.h"
#include "qnmeapositioninfo.h"

#include <QList>
#include <QObject>
#include <QPen>

#include <memory>
#include <vector>

namespace qmapcontrol {
class LineString;
class Point;
} // namespace qmapcontrol

// What the map shows of a trip at one second of playback: line strings coloured by the kind of
// each stretch (driven, ahead, event, without fix, bridged gap) and the start, end and vehicle
// markers.
class Route : public QObject
{
    Q_OBJECT

public:
    enum RouteType
    {
        Inactive,
        Active,
        EventFix,
        LostInactive,
        LostActive,
        LostEvent
    };

    enum MarkerType
    {
        Beginning,
        End,
        Vehicle
    };

    using PointList = QList<qmapcontrol::Point*>;

    // One run of points drawn with one pen. Points that no line has adopted yet are deleted with
    // the last copy of the track.
    struct Track
    {
        std::shared_ptr<PointList> points;
        const QPen* pen = nullptr;
    };

    Route(QObject* parent, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);

    static RouteType routeType(const QNmeaPositionInfo& record, unsigned index, unsigned current);
    static const QPen* penOf(RouteType type);

    // Appends the tracks of the route at second `current`; false when there are no positions.
    bool test(std::vector<Track>& tracks, unsigned current);
    // One line per track; the lines take the tracks' points over.
    void test_line(std::vector<std::shared_ptr<qmapcontrol::LineString>>& lines, std::vector<Track>& tracks);
    void setRoutes(std::vector<std::shared_ptr<qmapcontrol::LineString>>& lines, unsigned current);

    bool createMarker(std::shared_ptr<qmapcontrol::Point>& out, MarkerType type, unsigned current);
    // Appends the beginning, end and vehicle markers that exist, the vehicle last so it is on top.
    void setMarkers(std::vector<std::shared_ptr<qmapcontrol::Point>>& markers, unsigned current);

    // First record at or after `from` with a valid coordinate.
    static bool getMiddleWithValidCoordinates(QNmeaPositionInfo& out, const std::vector<QNmeaPositionInfo>& v,
                                              unsigned from);
    // Last record before `end` with a valid coordinate.
    static bool getLastWithValidCoordinates(QNmeaPositionInfo& out, const std::vector<QNmeaPositionInfo>& v,
                                            unsigned end);

private:
    static Track newTrack(const QPen* pen);
    static void addPoint(Track& track, const QNmeaPositionInfo& record);

    MapWidgetConfig* m_config;
    std::shared_ptr<std::vector<QNmeaPositionInfo>> m_positions;
};
