#include "videoselection.h"

#include "families.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <functional>
#include <vector>

const char* const VideoSelection::NameFilter =
    QT_TRANSLATE_NOOP("VideoSelection", "Videos (*.mp4 *.MP4 *.mov *.MOV)");

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

// The dialog's name patterns as QDir::match reads them, compiled once for a whole selection:
// compiling them for every file took a third of the time of listing a card seen before.
class NameMatcher
{
public:
    explicit NameMatcher(const QStringList& namePatterns)
    {
        for (const QString& pattern : namePatterns) {
            for (const QString& filter : QDir::nameFiltersFromString(pattern))
                m_patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(filter),
                                        QRegularExpression::CaseInsensitiveOption);
        }
    }

    bool matchesAny(const QString& fileName) const
    {
        return std::any_of(
            m_patterns.cbegin(), m_patterns.cend(),
            [&fileName](const QRegularExpression& pattern) { return pattern.match(fileName).hasMatch(); });
    }

private:
    std::vector<QRegularExpression> m_patterns;
};

} // namespace

QStringList VideoSelection::namePatterns(const QStringList& nameFilters)
{
    static const QRegularExpression patternInFilter(QStringLiteral("\\*\\.[0-9a-zA-Z]*"),
                                                    QRegularExpression::CaseInsensitiveOption);
    QStringList patterns;
    for (const QString& filter : nameFilters) {
        QRegularExpressionMatchIterator matches = patternInFilter.globalMatch(filter);
        while (matches.hasNext())
            patterns << matches.next().captured().simplified();
    }
    return patterns;
}

QStringList VideoSelection::videoPatterns()
{
    return namePatterns({QString::fromLatin1(NameFilter)});
}

bool VideoSelection::isCameraVideo(const QString& path)
{
    return Camera::Families::isVideoName(QFileInfo(path).fileName()) &&
           !Camera::Families::recognise(path).family.isEmpty();
}

QStringList VideoSelection::subfolders(const QString& dir)
{
    return sortedEntries(dir, QDir::Dirs);
}

VideoSelection::Result VideoSelection::collect(const QStringList& chosen, const QStringList& namePatterns)
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

    // Every chosen folder stands for itself and its immediate subfolders, also among others, and
    // for the camera families' folders below them.
    QStringList candidates;
    const std::function<void(const QString&, int)> layoutFolders = [&](const QString& dir, int depth) {
        if (depth >= LayoutDepth)
            return;
        const QStringList below = subfolders(dir);
        for (const QString& folder : below) {
            if (Camera::Families::isLayoutFolder(QFileInfo(folder).fileName())) {
                candidates << folder;
                layoutFolders(folder, depth + 1);
            }
        }
    };
    for (const QString& path : qAsConst(result.chosen)) {
        candidates << path;
        if (QFileInfo(path).isDir()) {
            const QStringList immediate = subfolders(path);
            for (const QString& folder : immediate) {
                candidates << folder;
                layoutFolders(folder, 1);
            }
        }
    }

    QSet<QString> seen;
    const NameMatcher patterns(namePatterns);
    const auto take = [&](const QString& file, bool chosenItself) {
        if (seen.contains(file))
            return;
        seen.insert(file);
        ++result.filesSeen;
        const QString name = QFileInfo(file).fileName();
        // A file chosen by itself needs only the camera's name; a folder's files also the
        // dialog's name patterns.
        const bool matched = patterns.matchesAny(name);
        if ((chosenItself || matched) && isCameraVideo(file))
            result.videos << file;
        else if (matched)
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

QStringList VideoSelection::expand(const QStringList& chosen, const QStringList& namePatterns)
{
    return collect(chosen, namePatterns).videos;
}
