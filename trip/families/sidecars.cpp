#include "sidecars.h"

#include <QDateTime>
#include <QFile>
#include <QXmlStreamReader>

#include <cmath>

namespace Camera {

namespace {

QByteArray readLimited(const QString& path, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return {};
    }
    QByteArray data = file.read(Sidecars::MaxSize);
    if (!file.atEnd())
        error = QStringLiteral("read only the first %1 bytes").arg(Sidecars::MaxSize);
    return data;
}

} // namespace

Telemetry Sidecars::parseGps(const QByteArray& text)
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::GpsFile;
    for (qsizetype at = 0; at < text.size();) {
        qsizetype end = text.indexOf('\n', at);
        if (end < 0)
            end = text.size();
        QByteArray line = text.mid(at, end - at).trimmed();
        at = end + 1;
        // "[1714554000000]$GPRMC,...": the camera's own time in milliseconds, then the sentence.
        if (line.startsWith('[')) {
            const qsizetype close = line.indexOf(']');
            if (close < 0)
                continue;
            line = line.mid(close + 1);
        }
        if (line.startsWith('$'))
            telemetry.nmeaLines.emplace_back(line.constData(), std::size_t(line.size()));
    }
    return telemetry;
}

Telemetry Sidecars::parseGpx(const QByteArray& xml)
{
    Telemetry telemetry;
    telemetry.source = TelemetrySource::GpxFile;
    QXmlStreamReader reader(xml);
    TelemetrySample sample;
    bool inPoint = false;
    bool hasTime = false;
    while (!reader.atEnd()) {
        reader.readNext();
        const QStringRef name = reader.name();
        if (reader.isStartElement()) {
            if (name == QLatin1String("trkpt") || name == QLatin1String("rtept") ||
                name == QLatin1String("wpt")) {
                bool latOk = false;
                bool lonOk = false;
                sample = TelemetrySample();
                sample.latitude = reader.attributes().value(QLatin1String("lat")).toDouble(&latOk);
                sample.longitude = reader.attributes().value(QLatin1String("lon")).toDouble(&lonOk);
                inPoint =
                    latOk && lonOk && std::abs(sample.latitude) <= 90 && std::abs(sample.longitude) <= 180;
                hasTime = false;
            } else if (inPoint && name == QLatin1String("time")) {
                QDateTime time = QDateTime::fromString(reader.readElementText(), Qt::ISODateWithMs);
                if (time.timeSpec() == Qt::LocalTime) // GPX times are UTC, written with or without "Z"
                    time = QDateTime(time.date(), time.time(), Qt::UTC);
                hasTime = time.isValid();
                if (hasTime)
                    sample.utcMs = time.toMSecsSinceEpoch();
            } else if (inPoint && name == QLatin1String("ele")) {
                bool ok = false;
                const double value = reader.readElementText().toDouble(&ok);
                if (ok)
                    sample.altitude = value;
            } else if (inPoint && (name == QLatin1String("speed") || name == QLatin1String("course"))) {
                bool ok = false;
                const double value = reader.readElementText().toDouble(&ok);
                if (ok)
                    (name == QLatin1String("speed") ? sample.speed : sample.course) = value;
            }
        } else if (reader.isEndElement() && inPoint &&
                   (name == QLatin1String("trkpt") || name == QLatin1String("rtept") ||
                    name == QLatin1String("wpt"))) {
            if (hasTime)
                telemetry.samples.push_back(sample);
            inPoint = false;
        }
    }
    if (reader.hasError() && reader.error() != QXmlStreamReader::PrematureEndOfDocumentError)
        telemetry.error = reader.errorString();
    else if (reader.hasError())
        telemetry.error = QStringLiteral("the track ends early");
    return telemetry;
}

Telemetry Sidecars::readGps(const QString& path)
{
    QString error;
    Telemetry telemetry = parseGps(readLimited(path, error));
    if (!error.isEmpty())
        telemetry.error = error;
    return telemetry;
}

Telemetry Sidecars::readGpx(const QString& path)
{
    QString error;
    const QByteArray xml = readLimited(path, error);
    Telemetry telemetry = parseGpx(xml);
    if (!error.isEmpty())
        telemetry.error = error;
    return telemetry;
}

} // namespace Camera
