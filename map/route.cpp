#include "route.h"

#include "imagepoint.h"
#include "nmeagaps.h"
#include "tripfile.h"

#include <algorithm>
#include <utility>

namespace {

Route::RouteType typeOf(bool event, bool fix, unsigned index, unsigned current)
{
    if (event)
        return fix ? Route::EventFix : Route::LostEvent;
    if (fix)
        return index > current ? Route::Inactive : Route::Active;
    return index >= current ? Route::LostInactive : Route::LostActive;
}

// Date and time of day as written, in seconds: the same whatever the time zone of the machine.
qint64 wallSecond(const QDateTime& time)
{
    return time.date().toJulianDay() * 86400 + time.time().msecsSinceStartOfDay() / 1000;
}

} // namespace

Route::Route(QObject* parent, std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
    : QObject(parent), m_config(new MapWidgetConfig(this)), m_positions(std::move(positions))
{
    if (m_positions)
        build(*m_positions);
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

Route::RouteType Route::typeAt(std::size_t index, unsigned current) const
{
    // The record before it decides for all but the first, so the driven part reaches one
    // record beyond the current second.
    const auto compared = unsigned(index > 0 ? index - 1 : 0);
    return typeOf(isEvent(index), (m_flags[index] & Fix) != 0, compared, current);
}

bool Route::isEvent(std::size_t index) const
{
    return (m_flags[index] & Event) != 0;
}

bool Route::hasCoordinate(std::size_t record) const
{
    return record < m_flags.size() && (m_flags[record] & Valid) != 0;
}

int Route::vertexRecord(std::size_t vertex) const
{
    return std::max(m_vertexRecords[vertex], -1);
}

QString Route::vertexName(std::size_t vertex) const
{
    const int record = m_vertexRecords[vertex];
    if (record >= 0)
        return (*m_positions)[std::size_t(record)].tooltip();
    return m_filledNames.value(-1 - record);
}

int Route::vehicleRecord(unsigned current) const
{
    return current < m_nextValid.size() ? m_nextValid[current] : -1;
}

void Route::build(const std::vector<QNmeaPositionInfo>& v)
{
    const std::size_t n = v.size();
    m_coordinates.assign(n, QPointF());
    m_flags.assign(n, 0);
    m_nextValid.assign(n, -1);
    QPointF low;
    QPointF high;
    bool any = false;
    for (std::size_t i = 0; i < n; ++i) {
        const QNmeaPositionInfo& r = v[i];
        const QGeoCoordinate c = r.coordinate();
        if (c.isValid()) {
            const QPointF p(c.longitude(), c.latitude());
            m_coordinates[i] = p;
            m_flags[i] |= Valid;
            low = any ? QPointF(std::min(low.x(), p.x()), std::min(low.y(), p.y())) : p;
            high = any ? QPointF(std::max(high.x(), p.x()), std::max(high.y(), p.y())) : p;
            any = true;
        }
        if (r.marker(QNmeaPositionInfo::Fix))
            m_flags[i] |= Fix;
        if (i > 0 && v[i - 1].marker(QNmeaPositionInfo::VideoGapBegin) &&
            r.marker(QNmeaPositionInfo::VideoGapEnd))
            m_flags[i] |= Skipped;
    }
    int next = -1;
    for (std::size_t i = n; i > 0; --i) {
        if (m_flags[i - 1] & Valid)
            next = int(i - 1);
        m_nextValid[i - 1] = next;
    }
    if (any)
        m_bounds = QRectF(low, high);
    markEvents(v);
    if (n == 0)
        return;

    // The walk along the records: a new piece begins wherever the kind changes. A stretch
    // without fix reaches on to the next point, and the piece after it starts where the
    // stretch's last record lies, unless that piece is an event.
    std::vector<QPointF> points;
    std::vector<int> records;
    Piece open{kindOf(0), 0, 0, 0, 0};
    const auto add = [&](std::size_t record) {
        if (m_flags[record] & Valid) {
            points.push_back(m_coordinates[record]);
            records.push_back(int(record));
        }
    };
    const auto close = [&] {
        open.begin = int(m_vertices.size());
        m_vertices.insert(m_vertices.end(), points.begin(), points.end());
        m_vertexRecords.insert(m_vertexRecords.end(), records.begin(), records.end());
        open.end = int(m_vertices.size());
        // Even a piece without points of its own counts: where it splits, the part ahead
        // starts at the record before, which may have a position.
        m_pieces.push_back(open);
        points.clear();
        records.clear();
    };

    add(0);
    for (std::size_t i = 1; i < n; ++i) {
        // The second record of a pause between videos is left out: the line runs straight on.
        if (m_flags[i] & Skipped)
            continue;
        const QNmeaPositionInfo& p = v[i - 1];
        const QNmeaPositionInfo& r = v[i];
        if (p.marker(QNmeaPositionInfo::PositionGapBegin) && r.marker(QNmeaPositionInfo::PositionGapEnd)) {
            std::vector<QNmeaPositionInfo> filled;
            Nmea::fillLongGap(filled, p, r);
            for (const QNmeaPositionInfo& record : filled) {
                const QGeoCoordinate c = record.coordinate();
                if (!c.isValid())
                    continue;
                const int vertex = int(m_vertices.size());
                m_vertices.emplace_back(c.longitude(), c.latitude());
                m_vertexRecords.push_back(-1 - m_filledNames.size());
                m_filledNames << record.tooltip();
                m_pieces.push_back(Piece{GapKind, vertex, vertex + 1, int(i), int(i)});
            }
        }
        const Kind kind = kindOf(i);
        if (kind != open.kind) {
            const bool wasLost = open.kind == LostKind || open.kind == LostEventKind;
            if (wasLost)
                add(i);
            close();
            open = Piece{kind, 0, 0, int(i), int(i)};
            if (wasLost && kind != EventFixKind)
                add(i - 1);
        }
        add(i);
        open.lastRecord = int(i);
    }
    close();
}

void Route::markEvents(const std::vector<QNmeaPositionInfo>& v)
{
    // The wall-clock seconds that each event recording covers, read from its own records: the
    // clock of the file names may differ from that of the positions.
    const std::size_t n = v.size();
    std::vector<std::pair<qint64, qint64>> covered;
    std::vector<std::uint8_t> ownFile(n, 0); // 1: an event recording, 2: a recording without name
    for (std::size_t i = 0; i < n;) {
        const QString file = v[i].fileName();
        std::size_t end = i + 1;
        while (end < n && v[end].fileName() == file)
            ++end;
        const std::uint8_t own = file.isEmpty() ? 2 : Trip::isEventFile(file) ? 1 : 0;
        if (own == 1) {
            std::pair<qint64, qint64> span{0, -1};
            for (std::size_t k = i; k < end; ++k) {
                const QDateTime time = v[k].timestamp();
                if (!time.isValid())
                    continue;
                const qint64 second = wallSecond(time);
                span = span.second < span.first
                           ? std::make_pair(second, second)
                           : std::make_pair(std::min(span.first, second), std::max(span.second, second));
            }
            if (span.second >= span.first)
                covered.push_back(span);
        }
        std::fill(ownFile.begin() + std::ptrdiff_t(i), ownFile.begin() + std::ptrdiff_t(end), own);
        i = end;
    }

    for (std::size_t i = 0; i < n; ++i) {
        if (!v[i].marker(QNmeaPositionInfo::Event))
            continue;
        bool event = ownFile[i] != 0;
        if (!event && v[i].timestamp().isValid()) {
            const qint64 second = wallSecond(v[i].timestamp());
            event =
                std::any_of(covered.begin(), covered.end(), [second](const std::pair<qint64, qint64>& span) {
                    return span.first <= second && second <= span.second;
                });
        }
        if (event)
            m_flags[i] |= Event;
    }
}

Route::Kind Route::kindOf(std::size_t record) const
{
    const bool fix = (m_flags[record] & Fix) != 0;
    if (m_flags[record] & Event)
        return fix ? EventFixKind : LostEventKind;
    return fix ? FixKind : LostKind;
}

int Route::firstWalked(int from, int last) const
{
    for (int i = from; i <= last; ++i) {
        if (!(m_flags[std::size_t(i)] & Skipped))
            return i;
    }
    return -1;
}

int Route::splitRecord(const Piece& piece, unsigned current) const
{
    // A record with fix is ahead from two records after the current second on, one without
    // fix from the record after it (at second 0 all of them).
    qint64 threshold = 0;
    if (piece.kind == FixKind)
        threshold = qint64(current) + 2;
    else if (current > 0)
        threshold = qint64(current) + 1;
    if (threshold > piece.lastRecord)
        return -1;
    return firstWalked(int(std::max<qint64>(threshold, piece.firstRecord)), piece.lastRecord);
}

void Route::parts(std::vector<Part>& parts, unsigned current) const
{
    parts.clear();
    const auto push = [&parts](const QPen* pen, int begin, int end, bool hasLead = false,
                               const QPointF& lead = QPointF()) {
        if (begin < end || hasLead)
            parts.push_back(Part{pen, begin, end, hasLead, lead});
    };

    // The points filled into long gaps are pieces of their own, stored just before the piece
    // that was open when they were met; they are drawn before the part of that piece they
    // interrupt.
    std::size_t dots = 0;
    for (std::size_t k = 0; k < m_pieces.size(); ++k) {
        const Piece& piece = m_pieces[k];
        if (piece.kind == GapKind)
            continue;
        // Where the piece turns from driven to ahead, when it does so after its first record.
        int split = -1;
        bool driven = true;
        if (piece.kind == FixKind || piece.kind == LostKind) {
            const int at = splitRecord(piece, current);
            driven = at != piece.firstRecord;
            split = driven ? at : -1;
        }
        const std::size_t firstDot = dots;
        const auto pushDots = [&](bool beforeSplit) {
            for (std::size_t d = firstDot; d < k; ++d) {
                if ((split < 0 || m_pieces[d].firstRecord <= split) == beforeSplit)
                    push(&MapWidgetConfig::longNmeaGapPen, m_pieces[d].begin, m_pieces[d].end);
            }
        };
        pushDots(true);
        dots = k + 1;

        const bool lost = piece.kind == LostKind;
        const QPen* activePen =
            lost ? &MapWidgetConfig::lostActiveRoutePen : &MapWidgetConfig::activeRoutePen;
        const QPen* inactivePen =
            lost ? &MapWidgetConfig::lostInactiveRoutePen : &MapWidgetConfig::inactiveRoutePen;
        switch (piece.kind) {
        case EventFixKind:
            push(&MapWidgetConfig::eventRoutePen, piece.begin, piece.end);
            continue;
        case LostEventKind:
            push(&MapWidgetConfig::lostRoutePen, piece.begin, piece.end);
            continue;
        case GapKind:
            continue;
        case FixKind:
        case LostKind:
            break;
        }
        if (split < 0) {
            push(driven ? activePen : inactivePen, piece.begin, piece.end);
            continue;
        }
        const auto first = m_vertexRecords.begin() + piece.begin;
        const int at = int(std::lower_bound(first, m_vertexRecords.begin() + piece.end, split) -
                           m_vertexRecords.begin());
        if (!lost) {
            push(activePen, piece.begin, at);
            pushDots(false);
            push(inactivePen, at, piece.end);
            continue;
        }
        // Without fix the driven part reaches on to the first record ahead, and the part ahead
        // starts at the record before it.
        const bool reaches = at < piece.end && m_vertexRecords[std::size_t(at)] == split;
        push(activePen, piece.begin, reaches ? at + 1 : at);
        pushDots(false);
        const auto before = std::size_t(split - 1);
        push(inactivePen, at, piece.end, hasCoordinate(before), m_coordinates[before]);
    }
}

bool Route::test(std::vector<Track>& tracks, unsigned current) const
{
    if (!m_positions || m_positions->empty())
        return false;
    std::vector<Part> list;
    parts(list, current);
    for (const Part& part : list) {
        Track track;
        track.pen = part.pen;
        if (part.hasLead)
            track.points.push_back(part.lead);
        track.points.insert(track.points.end(), m_vertices.begin() + part.begin,
                            m_vertices.begin() + part.end);
        tracks.push_back(std::move(track));
    }
    return true;
}

bool Route::createMarker(std::shared_ptr<qmapcontrol::Point>& out, MarkerType type, unsigned current)
{
    int record = -1;
    QPixmap image = m_config->pinImage();
    QString name;
    qmapcontrol::Point::Alignment alignment = qmapcontrol::Point::BottomMiddle;
    switch (type) {
    case Beginning:
        record = vehicleRecord(0);
        name = QStringLiteral("Beginning");
        break;
    case End:
        for (std::size_t i = m_flags.size(); i > 0 && record < 0; --i) {
            if (m_flags[i - 1] & Valid)
                record = int(i - 1);
        }
        name = QStringLiteral("End");
        break;
    case Vehicle:
        record = vehicleRecord(current);
        name = QStringLiteral("Vehicle");
        image = m_config->hotSpotImage();
        alignment = qmapcontrol::Point::Middle;
        break;
    }
    if (record < 0)
        return false;
    const QPointF p = m_coordinates[std::size_t(record)];
    out = std::make_shared<qmapcontrol::ImagePoint>(p.x(), p.y(), image, name, alignment);
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
