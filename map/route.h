#pragma once

#include "mapwidgetconfig.h"
#include "qnmeapositioninfo.h"

#include <QObject>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

namespace qmapcontrol {
class Point;
} // namespace qmapcontrol

// What the map shows of a trip at one second of playback: stretches coloured by their kind
// (driven, ahead, event, without fix, bridged gap) and the start, end and vehicle markers.
//
// The geometry is built once per trip, as plain coordinates in runs of one kind ("pieces").
// A second of playback only moves where the driven-or-ahead pieces split, which takes the same
// time for a trip of a minute as for one of ten hours; nothing is rebuilt.
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

    // One run of points drawn with one pen (x longitude, y latitude).
    struct Track
    {
        std::vector<QPointF> points;
        const QPen* pen = nullptr;
    };

    // What one pen draws at a given second: an optional lead point, then the vertices
    // [begin, end) of vertices().
    struct Part
    {
        const QPen* pen = nullptr;
        int begin = 0;
        int end = 0;
        bool hasLead = false;
        QPointF lead;
    };

    Route(QObject* parent, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);

    static const QPen* penOf(RouteType type);

    // The kind record `index` is drawn with at second `current`. Besides the records of an event
    // recording, only those whose wall-clock second an event recording covers count as event:
    // the assembly marks the whole recording after an event, which may run on much longer.
    RouteType typeAt(std::size_t index, unsigned current) const;
    bool isEvent(std::size_t index) const;

    // The tracks at second `current`; false when there are no positions.
    bool test(std::vector<Track>& tracks, unsigned current) const;
    // The same, as parts of vertices() in drawing order (replaces the content of `parts`).
    void parts(std::vector<Part>& parts, unsigned current) const;

    // Every point of the route, piece after piece (x longitude, y latitude).
    const std::vector<QPointF>& vertices() const { return m_vertices; }
    // The record a vertex was made from; -1 for a point filled into a long gap.
    int vertexRecord(std::size_t vertex) const;
    // The record's tooltip text (date, time, speed) of a vertex.
    QString vertexName(std::size_t vertex) const;

    std::size_t size() const { return m_coordinates.size(); }
    bool hasCoordinate(std::size_t record) const;
    // x longitude, y latitude; only meaningful with hasCoordinate().
    QPointF coordinate(std::size_t record) const { return m_coordinates[record]; }
    // The smallest rectangle (x longitude, y latitude) holding every valid coordinate; null
    // when there is none.
    QRectF bounds() const { return m_bounds; }
    // The record the vehicle marker stands on at second `current`: the first with a valid
    // coordinate at or after it; -1 when there is none.
    int vehicleRecord(unsigned current) const;

    bool createMarker(std::shared_ptr<qmapcontrol::Point>& out, MarkerType type, unsigned current);
    // Appends the beginning, end and vehicle markers that exist, the vehicle last so it is on top.
    void setMarkers(std::vector<std::shared_ptr<qmapcontrol::Point>>& markers, unsigned current);

private:
    // Kinds of stretch; a driven-or-ahead kind splits at the current second.
    enum Kind : std::uint8_t
    {
        FixKind,
        LostKind,
        EventFixKind,
        LostEventKind,
        GapKind
    };

    enum Flag : std::uint8_t
    {
        Valid = 1,
        Skipped = 2, // the second record of a pause between videos: the line runs past it
        Event = 4,
        Fix = 8
    };

    struct Piece
    {
        Kind kind;
        int begin;       // first vertex
        int end;         // one past the last vertex
        int firstRecord; // records walked while the piece was open; a gap dot: the record after
        int lastRecord;  // the gap
    };

    void build(const std::vector<QNmeaPositionInfo>& v);
    void markEvents(const std::vector<QNmeaPositionInfo>& v);
    Kind kindOf(std::size_t record) const;
    // The first record at or after `from` up to `last` that the walk does not leave out; -1 if none.
    int firstWalked(int from, int last) const;
    // The first record of a driven-or-ahead piece that is ahead at second `current`; -1 when all
    // of it is driven.
    int splitRecord(const Piece& piece, unsigned current) const;

    MapWidgetConfig* m_config;
    std::shared_ptr<std::vector<QNmeaPositionInfo>> m_positions;

    std::vector<QPointF> m_coordinates; // per record
    std::vector<std::uint8_t> m_flags;  // per record
    std::vector<int> m_nextValid;       // per record: first valid record at or after it, or -1
    QRectF m_bounds;

    std::vector<QPointF> m_vertices;
    std::vector<int> m_vertexRecords;
    std::vector<Piece> m_pieces;
    QStringList m_filledNames; // tooltips of the points filled into long gaps
};
