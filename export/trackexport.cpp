#include "trackexport.h"

#include "recordingguard.h"
#include "triptimeline.h"
#include "zelcfg.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QXmlStreamWriter>

#include <cmath>

namespace {

const QString GpxNamespace = QStringLiteral("http://www.topografix.com/GPX/1/1");
const QString TrackPointNamespace = QStringLiteral("http://www.garmin.com/xmlschemas/TrackPointExtension/v2");
const QString KmlNamespace = QStringLiteral("http://www.opengis.net/kml/2.2");

QString number(double value, int decimals)
{
    return std::isnan(value) ? QString() : QString::number(value, 'f', decimals);
}

// A long gap lies before this record: the track is interrupted there.
bool startsAfterGap(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::PositionGapEnd) || record.marker(QNmeaPositionInfo::VideoGapEnd);
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

bool TrackExport::hasFix(const QNmeaPositionInfo& record)
{
    return record.marker(QNmeaPositionInfo::Fix) && record.coordinate().isValid();
}

QString TrackExport::clockText(const QDateTime& recorded, qint64 offsetSeconds)
{
    if (!recorded.isValid())
        return QString();
    // The recorded value is a wall-clock time: read its fields as they are, never through a zone.
    return QDateTime(recorded.date(), recorded.time(), Qt::UTC).addSecs(offsetSeconds).toString(Qt::ISODate);
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
    for (std::size_t i = firstRecord(); i < endRecord(); ++i) {
        const QNmeaPositionInfo& record = (*m_positions)[i];
        if (segmentOpen && startsAfterGap(record)) {
            xml.writeEndElement();
            segmentOpen = false;
        }
        if (!hasFix(record))
            continue;
        // An event recording repeats seconds the trip has shown already: its points get a
        // segment of their own, so that time never runs backwards inside one.
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
        const QString clock = clockText(record.timestamp(), m_clockOffset);
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
    xml.writeStartElement(KmlNamespace, QStringLiteral("kml"));
    xml.writeStartElement(KmlNamespace, QStringLiteral("Document"));
    if (!m_name.isEmpty())
        xml.writeTextElement(KmlNamespace, QStringLiteral("name"), m_name);

    QStringList coordinates;
    for (std::size_t i = firstRecord(); i < endRecord(); ++i) {
        const QNmeaPositionInfo& record = (*m_positions)[i];
        if (hasFix(record)) {
            const QGeoCoordinate c = record.coordinate();
            coordinates << number(c.longitude(), 8) + QLatin1Char(',') + number(c.latitude(), 8);
        }
    }
    xml.writeStartElement(KmlNamespace, QStringLiteral("Placemark"));
    if (!m_name.isEmpty())
        xml.writeTextElement(KmlNamespace, QStringLiteral("name"), m_name);
    xml.writeStartElement(KmlNamespace, QStringLiteral("LineString"));
    xml.writeTextElement(KmlNamespace, QStringLiteral("tessellate"), QStringLiteral("1"));
    xml.writeTextElement(KmlNamespace, QStringLiteral("coordinates"), coordinates.join(QLatin1Char(' ')));
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
            const QString clock = clockText(record.timestamp(), m_clockOffset);
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
    for (std::size_t i = firstRecord(); i < endRecord(); ++i) {
        const QNmeaPositionInfo& record = (*m_positions)[i];
        const QGeoCoordinate c = record.coordinate();
        const bool located = c.isValid();
        const QStringList fields{
            QString::number(i),
            clockText(record.timestamp(), m_clockOffset),
            located ? number(c.latitude(), 8) : QString(),
            located ? number(c.longitude(), 8) : QString(),
            located ? number(c.altitude(), 1) : QString(),
            number(record.attribute(QNmeaPositionInfo::GroundSpeed) * 3.6, 2),
            number(record.attribute(QNmeaPositionInfo::Direction), 1),
            number(record.attribute(QNmeaPositionInfo::AccelerationX), 3),
            number(record.attribute(QNmeaPositionInfo::AccelerationY), 3),
            hasFix(record) ? QStringLiteral("1") : QStringLiteral("0"),
            record.marker(QNmeaPositionInfo::Event) ? QStringLiteral("1") : QStringLiteral("0"),
        };
        out << fields.join(QLatin1Char(',')) << '\n';
    }
    out.flush();
    return out.status() == QTextStream::Ok;
}
