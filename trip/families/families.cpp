#include "families.h"

#include "garminfamily.h"
#include "genericfamily.h"
#include "nmeacompanionfamily.h"
#include "sidecars.h"
#include "thinkwarefamily.h"

#include <QFileInfo>
#include <QSet>

namespace Camera {

namespace {

std::vector<std::unique_ptr<CameraFamily>> makeFamilies()
{
    std::vector<std::unique_ptr<CameraFamily>> families;
    // Stricter grammars first: a name several families could read belongs to the first.
    families.push_back(std::make_unique<NmeaCompanionFamily>());
    families.push_back(std::make_unique<ThinkwareFamily>());
    families.push_back(std::make_unique<GarminFamily>());
    families.push_back(std::make_unique<GenericFamily>());
    return families;
}

} // namespace

const std::vector<std::unique_ptr<CameraFamily>>& Families::all()
{
    static const std::vector<std::unique_ptr<CameraFamily>> families = makeFamilies();
    return families;
}

const CameraFamily* Families::byId(const QString& id)
{
    for (const auto& family : all()) {
        if (family->id() == id)
            return family.get();
    }
    return nullptr;
}

Recording Families::recognise(const QString& videoFile)
{
    for (const auto& family : all()) {
        Recording recording = family->recognise(videoFile);
        if (!recording.family.isEmpty())
            return recording;
    }
    return {};
}

bool Families::isVideoName(const QString& fileName)
{
    return fileName.endsWith(QLatin1String(".mp4"), Qt::CaseInsensitive) ||
           fileName.endsWith(QLatin1String(".mov"), Qt::CaseInsensitive);
}

bool Families::isLayoutFolder(const QString& folderName)
{
    static const QSet<QString> names = [] {
        QSet<QString> set;
        for (const auto& family : all()) {
            const QStringList folders = family->folderNames();
            for (const QString& folder : folders)
                set.insert(folder.toLower());
        }
        return set;
    }();
    return names.contains(folderName.toLower());
}

Telemetry Families::readTelemetryFile(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gps"))
        return Sidecars::readGps(path);
    if (suffix == QLatin1String("gpx"))
        return Sidecars::readGpx(path);
    const Recording recording = recognise(path);
    if (const CameraFamily* family = byId(recording.family))
        return family->readTelemetry(recording);
    Telemetry telemetry;
    telemetry.error = QStringLiteral("no camera family reads %1").arg(path);
    return telemetry;
}

} // namespace Camera
