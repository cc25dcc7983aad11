#include "videoselection.h"

#include <QDir>
#include <QFileInfo>

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

void appendOnce(QStringList& files, const QString& file)
{
    if (!files.contains(file))
        files << file;
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

QStringList VideoSelection::expand(const QStringList& chosen, const QStringList& namePatterns,
                                   const QRegularExpression& filePattern)
{
    QStringList candidates;
    if (chosen.size() == 1 && QFileInfo(chosen.first()).isDir())
        candidates << chosen.first() << subfolders(chosen.first());
    else
        candidates = chosen;

    QStringList files;
    for (const QString& candidate : qAsConst(candidates)) {
        const QFileInfo info(candidate);
        if (info.isDir()) {
            const QStringList inside = sortedEntries(candidate, QDir::Files, namePatterns);
            for (const QString& file : inside) {
                if (matchesExactly(filePattern, QFileInfo(file).fileName()))
                    appendOnce(files, file);
            }
        } else if (info.isFile() && matchesExactly(filePattern, info.fileName())) {
            appendOnce(files, info.absoluteFilePath());
        }
    }
    return files;
}
