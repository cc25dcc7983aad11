#include "triplistingcache.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTimeZone>

namespace {

// The trip is kept under its first video, whose own changes the cache sees; the fingerprint
// stands for the rest.
QString keyOf(const Trip::TripList& trip)
{
    return trip.empty() ? QString() : QFileInfo(trip.front().videoFile).absoluteFilePath();
}

void addFile(QDataStream& out, const QString& path)
{
    qint64 size = -1;
    qint64 modified = 0;
    if (!MediaCache::fileStamp(path, size, modified))
        size = -1;
    out << path << size << modified;
}

void addItem(QDataStream& out, const Trip::TripItem& item)
{
    out << item.duration << item.isEvent << item.start << item.camera << item.channel << item.run
        << qint32(item.telemetry) << item.pictureStart;
    addFile(out, item.videoFile);
    if (item.nmeaFile != item.videoFile)
        addFile(out, item.nmeaFile);
    out << quint32(item.channels.size());
    for (const Trip::TripItem& other : item.channels)
        addItem(out, other);
}

} // namespace

// The generation names the listing and how it is made from the files: raise it when the figures,
// the trip assembly or the position parser change what they give.
TripListingCache::TripListingCache() : m_cache(QStringLiteral("listing"), QStringLiteral("listing 1")) {}

QByteArray TripListingCache::fingerprint(const Trip::TripList& trip)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    // Times of day become dates through the zone; a zone changed since lists anew.
    out << QTimeZone::systemTimeZoneId() << quint32(trip.size());
    for (const Trip::TripItem& item : trip)
        addItem(out, item);
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

bool TripListingCache::lookup(const Trip::TripList& trip, Listing& listing)
{
    QByteArray value;
    if (trip.empty() || !m_cache.lookup(keyOf(trip), value))
        return false;
    QDataStream in(value);
    in.setVersion(QDataStream::Qt_5_15);
    QByteArray stored;
    QByteArray json;
    Listing result;
    in >> stored >> json >> result.positions;
    if (in.status() != QDataStream::Ok || !in.atEnd() || stored != fingerprint(trip))
        return false;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    result.statistics = document.object();
    listing = result;
    return true;
}

void TripListingCache::store(const Trip::TripList& trip, const Listing& listing)
{
    if (trip.empty())
        return;
    QByteArray value;
    QDataStream out(&value, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << fingerprint(trip) << QJsonDocument(listing.statistics).toJson(QJsonDocument::Compact)
        << listing.positions;
    m_cache.store(keyOf(trip), value);
}
