#include "route.h"

#include "imagepoint.h"
#include "linestring.h"
#include "nmeagaps.h"

namespace {

bool isLost(Route::RouteType type)
{
    return type == Route::LostInactive || type == Route::LostActive || type == Route::LostEvent;
}

} // namespace

Route::Route(QObject* parent, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
    : QObject(parent), m_config(new MapWidgetConfig(this)), m_positions(std::move(positions))
{}

Route::RouteType Route::routeType(const QNmeaPositionInfo& record, unsigned index, unsigned current)
{
    const bool fix = record.marker(QNmeaPositionInfo::Fix);
    if (record.marker(QNmeaPositionInfo::Event))
        return fix ? EventFix : LostEvent;
    if (fix)
        return index > current ? Inactive : Active;
    return index >= current ? LostInactive : LostActive;
}

const QPen* Route::penOf(RouteType type)
{
    switch (type) {
    case Inactive:
        return &MapWidgetConfig::inactiveRoutePen;
    case Active:
        return &MapWidgetConfig::activeRoutePen;
    case EventFix:
        return &MapWidgetConfig::eventRoutePen;
    case LostInactive:
        return &MapWidgetConfig::lostInactiveRoutePen;
    case LostActive:
        return &MapWidgetConfig::lostActiveRoutePen;
    case LostEvent:
        break;
    }
    return &MapWidgetConfig::lostRoutePen;
}

Route::Track Route::newTrack(const QPen* pen)
{
    // A line adopts its points; whatever no line took is still ours to delete.
    auto points = std::shared_ptr<PointList>(new PointList, [](PointList* list) {
        for (qmapcontrol::Point* point : qAsConst(*list)) {
            if (!point->parent())
                delete point;
        }
        delete list;
    });
    return Track{points, pen};
}

void Route::addPoint(Track& track, const QNmeaPositionInfo& record)
{
    // A record without a position has nothing to contribute to the line.
    const QGeoCoordinate coordinate = record.coordinate();
    if (!coordinate.isValid())
        return;
    track.points->append(new qmapcontrol::Point(coordinate.longitude(), coordinate.latitude(),
                                                record.tooltip(), qmapcontrol::Point::Middle));
}

bool Route::test(std::vector<Track>& tracks, unsigned current)
{
    if (!m_positions || m_positions->empty())
        return false;
    const std::vector<QNmeaPositionInfo>& v = *m_positions;

    RouteType type = routeType(v[0], 0, current);
    Track track = newTrack(penOf(type));
    addPoint(track, v[0]);

    for (std::size_t i = 1; i < v.size(); ++i) {
        const QNmeaPositionInfo& r = v[i];
        const QNmeaPositionInfo& p = v[i - 1];
        if (p.marker(QNmeaPositionInfo::VideoGapBegin) && r.marker(QNmeaPositionInfo::VideoGapEnd))
            continue;
        if (p.marker(QNmeaPositionInfo::PositionGapBegin) && r.marker(QNmeaPositionInfo::PositionGapEnd)) {
            std::vector<QNmeaPositionInfo> filled;
            Nmea::fillLongGap(filled, p, r);
            for (const QNmeaPositionInfo& record : filled) {
                Track dot = newTrack(&MapWidgetConfig::longNmeaGapPen);
                addPoint(dot, record);
                tracks.push_back(dot);
            }
        }

        const RouteType next = routeType(r, unsigned(i - 1), current);
        if (next != type) {
            const bool wasLost = isLost(type);
            // A dotted stretch reaches on to the next point, and the line after it starts where
            // the stretch's last record lies.
            if (wasLost)
                addPoint(track, r);
            tracks.push_back(track);
            track = newTrack(penOf(next));
            if (wasLost && next != EventFix)
                addPoint(track, p);
            type = next;
        }
        addPoint(track, r);
    }

    if (!track.points->isEmpty())
        tracks.push_back(track);
    return true;
}

void Route::test_line(std::vector<std::shared_ptr<qmapcontrol::LineString>>& lines,
                      std::vector<Track>& tracks)
{
    for (Track& track : tracks) {
        // The line adopts the points; the track lets go of them.
        lines.push_back(std::make_shared<qmapcontrol::LineString>(*track.points, QString(), *track.pen));
        track.points->clear();
    }
}

void Route::setRoutes(std::vector<std::shared_ptr<qmapcontrol::LineString>>& lines, unsigned current)
{
    std::vector<Track> tracks;
    if (test(tracks, current))
        test_line(lines, tracks);
}

bool Route::createMarker(std::shared_ptr<qmapcontrol::Point>& out, MarkerType type, unsigned current)
{
    if (!m_positions)
        return false;
    QNmeaPositionInfo record;
    QPixmap image = m_config->pinImage();
    QString name;
    qmapcontrol::Point::Alignment alignment = qmapcontrol::Point::BottomMiddle;
    bool found = false;
    switch (type) {
    case Beginning:
        found = getMiddleWithValidCoordinates(record, *m_positions, 0);
        name = QStringLiteral("Beginning");
        break;
    case End:
        found = getLastWithValidCoordinates(record, *m_positions, unsigned(m_positions->size()));
        name = QStringLiteral("End");
        break;
    case Vehicle:
        found = getMiddleWithValidCoordinates(record, *m_positions, current);
        name = QStringLiteral("Vehicle");
        image = m_config->hotSpotImage();
        alignment = qmapcontrol::Point::Middle;
        break;
    }
    if (!found)
        return false;
    const QGeoCoordinate coordinate = record.coordinate();
    out = std::make_shared<qmapcontrol::ImagePoint>(coordinate.longitude(), coordinate.latitude(), image,
                                                    name, alignment);
    return true;
}

void Route::setMarkers(std::vector<std::shared_ptr<qmapcontrol::Point>>& markers, unsigned current)
{
    for (const MarkerType type : {Beginning, End, Vehicle}) {
        std::shared_ptr<qmapcontrol::Point> marker;
        if (createMarker(marker, type, current))
            markers.push_back(marker);
    }
}

bool Route::getMiddleWithValidCoordinates(QNmeaPositionInfo& out, const std::vector<QNmeaPositionInfo>& v,
                                          unsigned from)
{
    for (std::size_t i = from; i < v.size(); ++i) {
        if (v[i].coordinate().isValid()) {
            out = v[i];
            return true;
        }
    }
    return false;
}

bool Route::getLastWithValidCoordinates(QNmeaPositionInfo& out, const std::vector<QNmeaPositionInfo>& v,
                                        unsigned end)
{
    for (std::size_t i = std::min<std::size_t>(end, v.size()); i > 0; --i) {
        if (v[i - 1].coordinate().isValid()) {
            out = v[i - 1];
            return true;
        }
    }
    return false;
}
