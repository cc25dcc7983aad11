#pragma once

#include "tripdata.h"

#include <QIODevice>
#include <QString>

#include <limits>
#include <vector>

// Writes the records of a trip, or of a range of it, as GPX 1.1, KML or CSV. Record i belongs to
// second i of the trip; a range [from, to] takes the records of every second it touches. Clock
// times are recorded in UTC: GPX and KML write the instant as UTC ("Z"), for map tools; CSV's
// clock is the local time the clock offset gives, with that offset written ("+02:00").
//
// An event recording may cover clock time an ordinary recording covers too, so the trip's
// records can hold a second twice and run back in time. A track is written in clock order by
// default: each clock second once (the ordinary recording's record where both have it), in time
// order, with the event flag on every second an event recording covers. In timeline order (the
// track beside a clip) the records stay as the video shows them, and GPX starts a new segment
// where the clock runs back.
class TrackExport
{
public:
    enum class Format
    {
        Gpx,
        Kml,
        Csv
    };
    enum class Order
    {
        Clock,
        Timeline
    };
    // One point of the track: the index of its record and whether an event recording covers it.
    struct Point
    {
        std::size_t record = 0;
        bool event = false;
    };

    TrackExport(Trip::TripList trip, PositionsPtr positions);

    void setRange(qint64 fromMs, qint64 toMs);
    // The local time's lead on UTC, for CSV's clock.
    void setClockOffset(qint64 seconds) { m_clockOffset = seconds; }
    // Name of the track in GPX and KML.
    void setName(const QString& name) { m_name = name; }
    void setOrder(Order order) { m_order = order; }

    bool write(Format format, QIODevice& device) const;
    // Writes to a temporary file beside `path` and renames it on success.
    bool save(Format format, const QString& path, QString* error = nullptr) const;

    // "gpx", "kml" or "csv", in any case.
    static bool parseFormat(const QString& text, Format& format);
    static QString suffix(Format format);
    static bool hasFix(const QNmeaPositionInfo& record);

    // Index of the first record in the range and one past the last.
    std::size_t firstRecord() const;
    std::size_t endRecord() const;
    // The points of the range in the order they are written.
    std::vector<Point> points() const;

private:
    bool writeGpx(QIODevice& device) const;
    bool writeKml(QIODevice& device) const;
    bool writeCsv(QIODevice& device) const;

    Trip::TripList m_trip;
    PositionsPtr m_positions;
    qint64 m_fromMs = 0;
    qint64 m_toMs = std::numeric_limits<qint64>::max();
    qint64 m_clockOffset = 0;
    QString m_name;
    Order m_order = Order::Clock;
};
