#include "families.h"

#include "blackvuefamily.h"
#include "garminfamily.h"
#include "genericfamily.h"
#include "goprofamily.h"
#include "nmeacompanionfamily.h"
#include "novatekfamily.h"
#include "seventymaifamily.h"
#include "sidecars.h"
#include "teslafamily.h"
#include "thinkwarefamily.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRegularExpression>

#include <algorithm>

namespace Camera {

namespace {

std::vector<std::unique_ptr<CameraFamily>> makeFamilies()
{
    std::vector<std::unique_ptr<CameraFamily>> families;
    // Stricter grammars first: a name several families could read belongs to the first.
    families.push_back(std::make_unique<NmeaCompanionFamily>());
    families.push_back(std::make_unique<NovatekFamily>());
    families.push_back(std::make_unique<BlackVueFamily>());
    families.push_back(std::make_unique<ThinkwareFamily>());
    families.push_back(std::make_unique<SeventyMaiFamily>());
    families.push_back(std::make_unique<TeslaFamily>());
    families.push_back(std::make_unique<GarminFamily>());
    families.push_back(std::make_unique<GoProFamily>());
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

namespace {

// Readings of families that read the file, by path, with the size and time they were read at.
struct Remembered
{
    qint64 size = 0;
    QDateTime modified;
    Recording recording;
};

QMutex rememberedMutex;
QHash<QString, Remembered> remembered; // guarded by rememberedMutex

constexpr int MaxRemembered = 100000;

} // namespace

Recording Families::recognise(const QString& videoFile)
{
    const QFileInfo info(videoFile);
    bool statted = false;
    {
        QMutexLocker lock(&rememberedMutex);
        const auto it = remembered.constFind(videoFile);
        if (it != remembered.cend()) {
            statted = true;
            if (it->size == info.size() && it->modified == info.lastModified())
                return it->recording;
        }
    }
    for (const auto& family : all()) {
        Recording recording = family->recognise(videoFile);
        if (recording.family.isEmpty())
            continue;
        if (family->readsFile() || statted) {
            QMutexLocker lock(&rememberedMutex);
            if (remembered.size() >= MaxRemembered)
                remembered.clear();
            remembered.insert(videoFile, Remembered{info.size(), info.lastModified(), recording});
        }
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
    // Names and wildcard patterns ("1??EVENT") of every family, matched ignoring case.
    static const std::vector<QRegularExpression> patterns = [] {
        std::vector<QRegularExpression> list;
        for (const auto& family : all()) {
            const QStringList folders = family->folderNames();
            for (const QString& folder : folders)
                list.emplace_back(QRegularExpression::wildcardToRegularExpression(folder),
                                  QRegularExpression::CaseInsensitiveOption);
        }
        return list;
    }();
    return std::any_of(patterns.cbegin(), patterns.cend(), [&folderName](const QRegularExpression& pattern) {
        return pattern.match(folderName).hasMatch();
    });
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
