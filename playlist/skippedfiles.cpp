#include "skippedfiles.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>

const char* const SkippedFiles::NoNmeaFile =
    QT_TRANSLATE_NOOP("SkippedFiles", "without a matching NMEA file");
const char* const SkippedFiles::NoStartTime =
    QT_TRANSLATE_NOOP("SkippedFiles", "without a valid start time in the name");
const char* const SkippedFiles::NotACameraName =
    QT_TRANSLATE_NOOP("SkippedFiles", "not named like a camera recording");
const char* const SkippedFiles::NotPlayable = QT_TRANSLATE_NOOP("SkippedFiles", "not a playable video");
const char* const SkippedFiles::Vanished = QT_TRANSLATE_NOOP("SkippedFiles", "gone while they were read");

void SkippedFiles::add(const QString& path, const QString& reason)
{
    m_files.append({path, reason});
}

void SkippedFiles::add(const List& files)
{
    m_files += files;
}

QString SkippedFiles::reasonText(const QString& reason)
{
    return QCoreApplication::translate("SkippedFiles", reason.toUtf8().constData());
}

QString SkippedFiles::summary() const
{
    if (m_files.isEmpty())
        return QString();
    // Reasons in order of first appearance, then stably by count.
    QVector<QPair<QString, int>> groups;
    for (const auto& file : m_files) {
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&file](const QPair<QString, int>& g) { return g.first == file.second; });
        if (it == groups.end())
            groups.append({file.second, 1});
        else
            ++it->second;
    }
    std::stable_sort(
        groups.begin(), groups.end(),
        [](const QPair<QString, int>& a, const QPair<QString, int>& b) { return a.second > b.second; });
    QStringList parts;
    for (const auto& group : qAsConst(groups))
        parts << QStringLiteral("%1 %2").arg(group.second).arg(reasonText(group.first));
    return QCoreApplication::translate("SkippedFiles", "%n file(s) skipped", nullptr, m_files.size()) +
           QStringLiteral(": ") + parts.join(QStringLiteral(", "));
}

QString SkippedFiles::details() const
{
    QStringList lines;
    for (const auto& file : m_files)
        lines << QDir::toNativeSeparators(file.first) + QString::fromUtf8(" \u2014 ") +
                     reasonText(file.second);
    return lines.join(QLatin1Char('\n'));
}
