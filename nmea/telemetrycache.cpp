#include "telemetrycache.h"

#include "families.h"

#include <QDataStream>
#include <QFileInfo>

#include <limits>

namespace {

qint64 secondOf(qint64 utcMs)
{
    return utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000;
}

} // namespace

// The generation names the encoding below and the readers' results: raise it when either changes.
TelemetryCache::TelemetryCache() : m_cache(QStringLiteral("telemetry"), QStringLiteral("telemetry 1")) {}

Camera::Telemetry TelemetryCache::read(const QString& path)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    QByteArray stored;
    Camera::Telemetry telemetry;
    if (m_cache.lookup(key, stored) && decode(stored, telemetry))
        return telemetry;
    telemetry = Camera::Families::readTelemetryFile(path);
    telemetry.samples = firstOfEachSecond(telemetry.samples);
    m_cache.store(key, encode(telemetry));
    return telemetry;
}

std::vector<Camera::TelemetrySample>
TelemetryCache::firstOfEachSecond(const std::vector<Camera::TelemetrySample>& samples)
{
    std::vector<Camera::TelemetrySample> kept;
    qint64 lastSecond = std::numeric_limits<qint64>::min();
    for (const Camera::TelemetrySample& sample : samples) {
        const qint64 second = secondOf(sample.utcMs);
        if (second == lastSecond)
            continue;
        lastSecond = second;
        kept.push_back(sample);
    }
    return kept;
}

QByteArray TelemetryCache::encode(const Camera::Telemetry& telemetry)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << qint32(telemetry.source) << telemetry.error << quint32(telemetry.nmeaLines.size());
    for (const std::string& line : telemetry.nmeaLines)
        out << QByteArray::fromStdString(line);
    out << quint32(telemetry.samples.size());
    for (const Camera::TelemetrySample& s : telemetry.samples)
        out << s.utcMs << s.latitude << s.longitude << s.speed << s.course << s.altitude << s.accelerationX
            << s.accelerationY;
    return bytes;
}

bool TelemetryCache::decode(const QByteArray& bytes, Camera::Telemetry& telemetry)
{
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_15);
    Camera::Telemetry result;
    qint32 source = 0;
    quint32 lines = 0;
    in >> source >> result.error >> lines;
    if (in.status() != QDataStream::Ok || source < 0 || source > qint32(Camera::TelemetrySource::Sei) ||
        lines > quint32(bytes.size()))
        return false;
    result.source = Camera::TelemetrySource(source);
    for (quint32 i = 0; i < lines && in.status() == QDataStream::Ok; ++i) {
        QByteArray line;
        in >> line;
        result.nmeaLines.push_back(line.toStdString());
    }
    quint32 samples = 0;
    in >> samples;
    if (in.status() != QDataStream::Ok || samples > quint32(bytes.size()))
        return false;
    result.samples.resize(samples);
    for (Camera::TelemetrySample& s : result.samples)
        in >> s.utcMs >> s.latitude >> s.longitude >> s.speed >> s.course >> s.altitude >> s.accelerationX >>
            s.accelerationY;
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return false;
    telemetry = std::move(result);
    return true;
}
