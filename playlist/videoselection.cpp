#include "videoselection.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

const QString VideoSelection::FilePattern = QStringLiteral("\\b[0-9]{3}_[0-9]{4}_[0-9]{14}\\.mp4");

namespace {

QStringList sortedEntries(const QString& dir, QDir::Filters filters, const QStringList& nameFilters = {})
{
    QDir folder(dir);
    folder.setFilter(filters | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    folder.setSorting(QDir::Name | QDir::IgnoreCase);
    folder.setNameFilters(nameFilters);
    QStringList paths;
    const QStringList names = folder.entryList();
    for (const QString& name : names)
        paths << folder.absoluteFilePath(name);
    return paths;
}

bool matchesExactly(const QRegularExpression& pattern, const QString& fileName)
{
    const QRegularExpressionMatch match = pattern.match(fileName);
    return match.hasMatch() && match.capturedStart() == 0 && match.capturedLength() == fileName.size();
}

bool matchesAny(const QStringList& namePatterns, const QString& fileName)
{
    for (const QString& pattern : namePatterns) {
        if (QDir::match(pattern, fileName))
            return true;
    }
    return false;
}

} // namespace

QStringList VideoSelection::namePatterns(const QStringList& nameFilters)
{
    static const QRegularExpression patternInFilter(QStringLiteral("\\*\\.[0-9a-zA-Z]*"),
                                                    QRegularExpression::CaseInsensitiveOption);
    QStringList patterns;
    for (const QString& filter : nameFilters) {
        const QRegularExpressionMatch match = patternInFilter.match(filter);
        if (match.hasMatch())
            patterns << match.captured().simplified();
    }
    return patterns;
}

QStringList VideoSelection::subfolders(const QString& dir)
{
    return sortedEntries(dir, QDir::Dirs);
}

VideoSelection::Result VideoSelection::collect(const QStringList& chosen, const QStringList& namePatterns,
                                               const QRegularExpression& filePattern)
{
    Result result;
    for (const QString& path : chosen) {
        const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
        if (result.chosen.contains(absolute))
            continue;
        result.chosen << absolute;
        if (!QFileInfo::exists(path))
            result.missing << absolute;
    }

    // Every chosen folder stands for itself and its immediate subfolders, also among others.
    QStringList candidates;
    for (const QString& path : qAsConst(result.chosen)) {
        candidates << path;
        if (QFileInfo(path).isDir())
            candidates << subfolders(path);
    }

    QSet<QString> seen;
    const auto take = [&](const QString& file, bool chosenItself) {
        if (seen.contains(file))
            return;
        seen.insert(file);
        ++result.filesSeen;
        const QString name = QFileInfo(file).fileName();
        // A file chosen by itself needs only the camera's name; a folder's files also the
        // dialog's name patterns.
        const bool patternOk = chosenItself || matchesAny(namePatterns, name);
        if (patternOk && matchesExactly(filePattern, name))
            result.videos << file;
        else if (matchesAny(namePatterns, name))
            result.misnamed << file;
    };
    QSet<QString> searched;
    for (const QString& candidate : qAsConst(candidates)) {
        const QFileInfo info(candidate);
        if (info.isDir()) {
            // A folder reached twice (chosen with its parent, or twice over) is read once.
            if (searched.contains(candidate))
                continue;
            searched.insert(candidate);
            const QStringList inside = sortedEntries(candidate, QDir::Files | QDir::Hidden);
            for (const QString& file : inside)
                take(file, false);
        } else if (info.isFile()) {
            take(info.absoluteFilePath(), true);
        }
    }
    return result;
}

QStringList VideoSelection::expand(const QStringList& chosen, const QStringList& namePatterns,
                                   const QRegularExpression& filePattern)
{
    return collect(chosen, namePatterns, filePattern).videos;
}
