#pragma once

// Test cards made by scripts/make-family-card, exiftool's reading of their position data, and
// byte surgery on the boxes of a copied video.

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <vector>

namespace FamilyCard {

// Makes a card of `family` in `dir`; the files written, or none with the reason in `error`.
inline QStringList make(const QString& family, const QString& dir, QString& error)
{
    QProcess process;
    process.start(QStringLiteral("python3"),
                  {qEnvironmentVariable("TARROW_SOURCE_DIR") + QStringLiteral("/scripts/make-family-card"),
                   family, dir});
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        error = QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    return QString::fromLocal8Bit(process.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline bool hasExiftool()
{
    return !QStandardPaths::findExecutable(QStringLiteral("exiftool")).isEmpty();
}

// One position as exiftool reads it (-n: degrees, km/h).
struct Fix
{
    QDateTime utc;
    double latitude = 0;
    double longitude = 0;
    double speedKmh = 0;
};

// "2024:05:01 09:00:03.00Z" and the like; invalid when it is no such time.
inline QDateTime exifTime(const QString& text)
{
    static const QRegularExpression pattern(
        QStringLiteral("^([0-9]{4}):([0-9]{2}):([0-9]{2}) ([0-9]{2}):([0-9]{2}):([0-9]{2})(\\.[0-9]+)?Z?$"));
    const QRegularExpressionMatch m = pattern.match(text);
    if (!m.hasMatch())
        return QDateTime();
    const auto n = [&m](int i) { return m.capturedRef(i).toInt(); };
    const int ms = m.capturedRef(7).isEmpty() ? 0 : qRound(m.captured(7).toDouble() * 1000);
    return QDateTime(QDate(n(1), n(2), n(3)), QTime(n(4), n(5), n(6)).addMSecs(ms), Qt::UTC);
}

// exiftool turns some cameras' times into the machine's local time: it runs in UTC, so that its
// times are instants whatever the zone of the machine running the tests.
inline QProcessEnvironment utcEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TZ"), QStringLiteral("UTC"));
    return environment;
}

// exiftool's positions in each file's embedded documents, in document order, by file path.
inline QHash<QString, std::vector<Fix>> exiftoolFixes(const QStringList& files)
{
    QHash<QString, std::vector<Fix>> result;
    QProcess process;
    process.setProcessEnvironment(utcEnvironment());
    process.start(QStringLiteral("exiftool"),
                  QStringList{QStringLiteral("-ee"), QStringLiteral("-n"), QStringLiteral("-j"),
                              QStringLiteral("-G3"), QStringLiteral("-GPSDateTime"),
                              QStringLiteral("-GPSLatitude"), QStringLiteral("-GPSLongitude"),
                              QStringLiteral("-GPSSpeed")} +
                      files);
    if (!process.waitForFinished(120000))
        return result;
    const QJsonArray array = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    for (const QJsonValue& value : array) {
        const QJsonObject object = value.toObject();
        std::vector<Fix>& fixes = result[object.value(QStringLiteral("SourceFile")).toString()];
        for (int doc = 1;; ++doc) {
            const QString prefix = QStringLiteral("Doc%1:GPS").arg(doc);
            if (!object.contains(prefix + QStringLiteral("Latitude")))
                break;
            Fix fix;
            fix.utc = exifTime(object.value(prefix + QStringLiteral("DateTime")).toString());
            fix.latitude = object.value(prefix + QStringLiteral("Latitude")).toDouble();
            fix.longitude = object.value(prefix + QStringLiteral("Longitude")).toDouble();
            fix.speedKmh = object.value(prefix + QStringLiteral("Speed")).toDouble();
            fixes.push_back(fix);
        }
    }
    return result;
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(data) == data.size();
}

// The offset of the header of the last box of `type` ("stco") in the bytes; -1 when none.
inline int lastBox(const QByteArray& data, const char* type)
{
    const int at = data.lastIndexOf(type);
    return at >= 4 ? at - 4 : -1;
}

inline quint32 u32(const QByteArray& data, int at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

inline void setU32(QByteArray& data, int at, quint32 value)
{
    qToBigEndian(value, data.data() + at);
}

inline void setU16(QByteArray& data, int at, quint16 value)
{
    qToBigEndian(value, data.data() + at);
}

// Damage done to a copy of a video whose text track is its last track, as a hostile or broken
// card could hold it.
enum class Damage
{
    MovieBeyondFile,    // the movie box claims more bytes than the file has
    MediaSizeTooSmall,  // the text track's media box claims a 64-bit size smaller than its header
    SamplesBeyondFile,  // the text samples from the second on point past the end of the file
    LengthBeyondSample, // the first text sample's length word announces more than the sample has
    CountBeyondTable,   // the text track's sample-size table claims two billion samples
    CutInHalf,          // the file ends in the middle of its media data: no movie box
    NotAVideo           // text that is no MP4 at all
};

inline QByteArray damaged(QByteArray data, Damage damage)
{
    switch (damage) {
    case Damage::MovieBeyondFile:
        setU32(data, lastBox(data, "moov"), 0x7ffffff0);
        break;
    case Damage::MediaSizeTooSmall: {
        const int mdia = lastBox(data, "mdia");
        const QByteArray rest = data.mid(mdia + 8);
        // A 64-bit size of 4 follows the type; the bytes after stay, so nothing else moves.
        setU32(data, mdia, 1);
        data = data.left(mdia + 8) + QByteArray::fromHex("0000000000000004") + rest.mid(8);
        break;
    }
    case Damage::SamplesBeyondFile: {
        const int stco = lastBox(data, "stco");
        const quint32 count = u32(data, stco + 12);
        for (quint32 i = 1; i < count; ++i)
            setU32(data, stco + 16 + int(i) * 4, quint32(data.size() - 4));
        break;
    }
    case Damage::LengthBeyondSample: {
        const int stco = lastBox(data, "stco");
        setU16(data, int(u32(data, stco + 16)), 0xffff);
        break;
    }
    case Damage::CountBeyondTable: {
        const int stsz = lastBox(data, "stsz");
        setU32(data, stsz + 16, 0x7fffffff);
        break;
    }
    case Damage::CutInHalf:
        data.truncate(data.size() / 2);
        break;
    case Damage::NotAVideo:
        data = QByteArray("$GPRMC,090000.00,A,3733.9900,N,12658.6800,E,16.20,52.00,010524,,,A*6B\r\n");
        break;
    }
    return data;
}

} // namespace FamilyCard
