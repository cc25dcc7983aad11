#include "trackexport.h"

#include "recordingguard.h"
#include "triptimeline.h"
#include "units.h"
#include "zelcfg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace {

const QString GpxNamespace = QStringLiteral("http://www.topografix.com/GPX/1/1");
const QString TrackPointNamespace = QStringLiteral("http://www.garmin.com/xmlschemas/TrackPointExtension/v2");
const QString KmlNamespace = QStringLiteral("http://www.opengis.net/kml/2.2");
// The KML extension that holds a track with a time per point.
const QString KmlExtNamespace = QStringLiteral("http://www.google.com/kml/ext/2.2");

QString number(double value, int decimals)
{
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

// A long gap lies before this record: the track is interrupted there.
bool startsAfterGap(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::PositionGapEnd) || record.marker(QNmeaPositionInfo::VideoGapEnd);
}

// The clock second of a recorded wall-clock time, read from its fields as they are.
qint64 clockSecond(const QDateTime& recorded)
{
    return QDateTime(recorded.date(), recorded.time(), Qt::UTC).toSecsSinceEpoch();
}

} // namespace

TrackExport::TrackExport(Trip::TripList trip, PositionsPtr positions)
    : m_trip(std::move(trip)), m_positions(std::move(positions))
{}

void TrackExport::setRange(qint64 fromMs, qint64 toMs)
{
    m_fromMs = std::max<qint64>(fromMs, 0);
    m_toMs = std::max(toMs, m_fromMs);
}

std::size_t TrackExport::firstRecord() const
{
    const std::size_t count = m_positions ? m_positions->size() : 0;
    return std::min(std::size_t(TripTimeline::secondAt(m_fromMs)), count);
}

std::size_t TrackExport::endRecord() const
{
    const std::size_t count = m_positions ? m_positions->size() : 0;
    const qint64 last = TripTimeline::secondAt(m_toMs);
    return std::max(firstRecord(), std::min(std::size_t(last) + 1, count));
}

std::vector<TrackExport::Point> TrackExport::points() const
{
    const std::size_t first = firstRecord();
    const std::size_t end = endRecord();
    std::vector<Point> points;
    points.reserve(end - first);
    if (m_order == Order::Timeline) {
        for (std::size_t i = first; i < end; ++i)
            points.push_back({i, (*m_positions)[i].marker(QNmeaPositionInfo::Event)});
        return points;
    }

    QSet<QString> eventFiles;
    for (const Trip::TripItem& item : m_trip) {
        if (item.isEvent)
            eventFiles.insert(item.videoFile);
    }
    // Records without a time keep their place behind the record before them.
    std::vector<qint64> seconds;
    seconds.reserve(end - first);
    QHash<qint64, std::size_t> bySecond;
    qint64 second = std::numeric_limits<qint64>::min();
    for (std::size_t i = first; i < end; ++i) {
        const QNmeaPositionInfo& record = (*m_positions)[i];
        const bool event = record.marker(QNmeaPositionInfo::Event);
        if (!record.timestamp().isValid()) {
            points.push_back({i, event});
            seconds.push_back(second);
            continue;
        }
        second = clockSecond(record.timestamp());
        const auto found = bySecond.constFind(second);
        if (found == bySecond.constEnd()) {
            bySecond.insert(second, points.size());
            points.push_back({i, event});
            seconds.push_back(second);
            continue;
        }
        // A second held twice: the ordinary recording's record, flagged when either is an event.
        Point& kept = points[*found];
        if (eventFiles.contains((*m_positions)[kept.record].fileName()) &&
            !eventFiles.contains(record.fileName()))
            kept.record = i;
        kept.event = kept.event || event;
    }
    std::vector<std::size_t> order(points.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&seconds](std::size_t a, std::size_t b) { return seconds[a] < seconds[b]; });
    std::vector<Point> sorted;
    sorted.reserve(points.size());
    for (const std::size_t i : order)
        sorted.push_back(points[i]);
    return sorted;
}

bool TrackExport::hasFix(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::Fix) && record.coordinate().isValid();
}

bool TrackExport::parseFormat(const QString& text, Format& format)
{
    const QString name = text.trimmed().toLower();
    if (name == QLatin1String("gpx"))
        format = Format::Gpx;
    else if (name == QLatin1String("kml"))
        format = Format::Kml;
    else if (name == QLatin1String("csv"))
        format = Format::Csv;
    else
        return false;
    return true;
}

QString TrackExport::suffix(Format format)
{
    switch (format) {
    case Format::Gpx:
        return QStringLiteral("gpx");
    case Format::Kml:
        return QStringLiteral("kml");
    case Format::Csv:
        break;
    }
    return QStringLiteral("csv");
}

bool TrackExport::write(Format format, QIODevice& device) const
{
    if (!device.isWritable())
        return false;
    switch (format) {
    case Format::Gpx:
        return writeGpx(device);
    case Format::Kml:
        return writeKml(device);
    case Format::Csv:
        break;
    }
    return writeCsv(device);
}

bool TrackExport::save(Format format, const QString& path, QString* error) const
{
    const QString recording = RecordingGuard::recordingAt(m_trip, path);
    if (!recording.isEmpty()) {
        if (error)
            *error = QCoreApplication::translate("ClipExport", "Refusing to overwrite the recording %1.")
                         .arg(recording);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !write(format, file) || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

bool TrackExport::writeGpx(QIODevice& device) const
{
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(GpxNamespace);
    xml.writeNamespace(TrackPointNamespace, QStringLiteral("gpxtpx"));
    xml.writeStartElement(GpxNamespace, QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), ZelCfg::AppName + QLatin1Char(' ') + ZelCfg::AppVersion);
    if (!m_name.isEmpty()) {
        xml.writeStartElement(GpxNamespace, QStringLiteral("metadata"));
        xml.writeTextElement(GpxNamespace, QStringLiteral("name"), m_name);
        xml.writeEndElement();
    }
    xml.writeStartElement(GpxNamespace, QStringLiteral("trk"));
    if (!m_name.isEmpty())
        xml.writeTextElement(GpxNamespace, QStringLiteral("name"), m_name);

    bool segmentOpen = false;
    QDateTime previousTime;
    for (const Point& point : points()) {
        const QNmeaPositionInfo& record = (*m_positions)[point.record];
        if (segmentOpen && startsAfterGap(record)) {
            xml.writeEndElement();
            segmentOpen = false;
        }
        if (!hasFix(record))
            continue;
        // In timeline order an event recording repeats seconds the trip has shown already: its
        // points get a segment of their own, so that time never runs backwards inside one.
        const QDateTime time = record.timestamp();
        if (segmentOpen && time.isValid() && previousTime.isValid() && time <= previousTime) {
            xml.writeEndElement();
            segmentOpen = false;
        }
        if (time.isValid())
            previousTime = time;
        if (!segmentOpen) {
            xml.writeStartElement(GpxNamespace, QStringLiteral("trkseg"));
            segmentOpen = true;
        }
        const QGeoCoordinate c = record.coordinate();
        xml.writeStartElement(GpxNamespace, QStringLiteral("trkpt"));
        xml.writeAttribute(QStringLiteral("lat"), number(c.latitude(), 8));
        xml.writeAttribute(QStringLiteral("lon"), number(c.longitude(), 8));
        if (!std::isnan(c.altitude()))
            xml.writeTextElement(GpxNamespace, QStringLiteral("ele"), number(c.altitude(), 1));
        const QString clock = Units::utcIsoText(record.timestamp());
        if (!clock.isEmpty())
            xml.writeTextElement(GpxNamespace, QStringLiteral("time"), clock);
        const double speed = record.attribute(QNmeaPositionInfo::GroundSpeed);
        const double course = record.attribute(QNmeaPositionInfo::Direction);
        if (!std::isnan(speed) || !std::isnan(course)) {
            xml.writeStartElement(GpxNamespace, QStringLiteral("extensions"));
            xml.writeStartElement(TrackPointNamespace, QStringLiteral("TrackPointExtension"));
            if (!std::isnan(speed))
                xml.writeTextElement(TrackPointNamespace, QStringLiteral("speed"),
                                     number(std::max(speed, 0.0), 3));
            if (!std::isnan(course) && course >= 0.0 && course < 360.0)
                xml.writeTextElement(TrackPointNamespace, QStringLiteral("course"), number(course, 1));
            xml.writeEndElement();
            xml.writeEndElement();
        }
        xml.writeEndElement();
    }
    if (segmentOpen)
        xml.writeEndElement();
    xml.writeEndElement(); // trk
    xml.writeEndElement(); // gpx
    xml.writeEndDocument();
    return !xml.hasError();
}

bool TrackExport::writeKml(QIODevice& device) const
{
    QXmlStreamWriter xml(&device);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(1);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(KmlNamespace);
    xml.writeNamespace(KmlExtNamespace, QStringLiteral("gx"));
    xml.writeStartElement(KmlNamespace, QStringLiteral("kml"));
    xml.writeStartElement(KmlNamespace, QStringLiteral("Document"));
    if (!m_name.isEmpty())
        xml.writeTextElement(KmlNamespace, QStringLiteral("name"), m_name);

    // The route as a track with a time per point, so that viewers can play it back. A point
    // without a time cannot be placed in one and is left out.
    QStringList whens;
    QStringList coordinates;
    for (const Point& point : points()) {
        const QNmeaPositionInfo& record = (*m_positions)[point.record];
        const QString clock = Units::utcIsoText(record.timestamp());
        if (!hasFix(record) || clock.isEmpty())
            continue;
        const QGeoCoordinate c = record.coordinate();
        whens << clock;
        coordinates << number(c.longitude(), 8) + QLatin1Char(' ') + number(c.latitude(), 8) +
                           QLatin1Char(' ') +
                           (std::isnan(c.altitude()) ? QStringLiteral("0") : number(c.altitude(), 1));
    }
    xml.writeStartElement(KmlNamespace, QStringLiteral("Placemark"));
    if (!m_name.isEmpty())
        xml.writeTextElement(KmlNamespace, QStringLiteral("name"), m_name);
    xml.writeStartElement(KmlExtNamespace, QStringLiteral("Track"));
    xml.writeTextElement(KmlNamespace, QStringLiteral("altitudeMode"), QStringLiteral("clampToGround"));
    for (const QString& when : std::as_const(whens))
        xml.writeTextElement(KmlNamespace, QStringLiteral("when"), when);
    for (const QString& coordinate : std::as_const(coordinates))
        xml.writeTextElement(KmlExtNamespace, QStringLiteral("coord"), coordinate);
    xml.writeEndElement();
    xml.writeEndElement();

    // One mark per event recording, where its records begin.
    for (const Trip::TripItem& item : m_trip) {
        if (!item.isEvent)
            continue;
        for (std::size_t i = firstRecord(); i < endRecord(); ++i) {
            const QNmeaPositionInfo& record = (*m_positions)[i];
            if (record.fileName() != item.videoFile || !record.marker(QNmeaPositionInfo::Event))
                continue;
            if (!hasFix(record))
                continue;
            const QGeoCoordinate c = record.coordinate();
            xml.writeStartElement(KmlNamespace, QStringLiteral("Placemark"));
            xml.writeTextElement(KmlNamespace, QStringLiteral("name"),
                                 QFileInfo(item.videoFile).completeBaseName());
            const QString clock = Units::utcIsoText(record.timestamp());
            if (!clock.isEmpty()) {
                xml.writeStartElement(KmlNamespace, QStringLiteral("TimeStamp"));
                xml.writeTextElement(KmlNamespace, QStringLiteral("when"), clock);
                xml.writeEndElement();
            }
            xml.writeStartElement(KmlNamespace, QStringLiteral("Point"));
            xml.writeTextElement(KmlNamespace, QStringLiteral("coordinates"),
                                 number(c.longitude(), 8) + QLatin1Char(',') + number(c.latitude(), 8));
            xml.writeEndElement();
            xml.writeEndElement();
            break;
        }
    }
    xml.writeEndElement(); // Document
    xml.writeEndElement(); // kml
    xml.writeEndDocument();
    return !xml.hasError();
}

bool TrackExport::writeCsv(QIODevice& device) const
{
    QTextStream out(&device);
    out.setCodec("UTF-8");
    out << "trip_s,clock,lat,lon,alt,speed_kmh,heading,acc_x,acc_y,fix,event\n";
    for (const Point& point : points()) {
        const QNmeaPositionInfo& record = (*m_positions)[point.record];
        const QGeoCoordinate c = record.coordinate();
        const bool located = c.isValid();
        const QStringList fields{
            QString::number(point.record),
            Units::clockIsoText(record.timestamp(), m_clockOffset),
            located ? number(c.latitude(), 8) : QString(),
            located ? number(c.longitude(), 8) : QString(),
            located ? number(c.altitude(), 1) : QString(),
            number(record.attribute(QNmeaPositionInfo::GroundSpeed) * 3.6, 2),
            number(record.attribute(QNmeaPositionInfo::Direction), 1),
            number(record.attribute(QNmeaPositionInfo::AccelerationX), 3),
            number(record.attribute(QNmeaPositionInfo::AccelerationY), 3),
            hasFix(record) ? QStringLiteral("1") : QStringLiteral("0"),
            point.event ? QStringLiteral("1") : QStringLiteral("0"),
        };
        out << fields.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}
