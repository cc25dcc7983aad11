#include "selectionreport.h"

#include <QDir>
#include <QFileInfo>

QString SelectionReport::lookedAt(const VideoSelection::Result& selection)
{
    if (selection.chosen.isEmpty())
        return QDir::toNativeSeparators(QDir::currentPath());
    if (selection.chosen.size() == 1)
        return QDir::toNativeSeparators(selection.chosen.first());
    const QString folder = QFileInfo(selection.chosen.first()).absolutePath();
    return tr("%n chosen item(s) in %1", nullptr, selection.chosen.size())
        .arg(QDir::toNativeSeparators(folder));
}

SelectionReport::Message SelectionReport::nothingFound(const VideoSelection::Result& selection,
                                                       const SkippedFiles& misnamed)
{
    if (!selection.chosen.isEmpty() && selection.missing.size() == selection.chosen.size()) {
        if (selection.chosen.size() == 1)
            return {tr("%1 does not exist.").arg(QDir::toNativeSeparators(selection.chosen.first())),
                    tr("Nothing was opened."), QString()};
        return {tr("None of the %n chosen path(s) exists.", nullptr, selection.chosen.size()),
                tr("Nothing was opened."), selection.missing.join(QLatin1Char('\n'))};
    }
    QString info;
    if (selection.filesSeen == 0)
        info = selection.chosen.size() == 1 ? tr("The folder and its subfolders hold no files.")
                                            : tr("No files were found.");
    else
        info = tr("%n file(s) looked at, none of them a camera recording (a video named like "
                  "001_0001_20240501120000.mp4).",
                  nullptr, selection.filesSeen);
    if (!selection.missing.isEmpty())
        info += QLatin1Char(' ') +
                tr("%n of the chosen paths do(es) not exist.", nullptr, selection.missing.size());
    return {tr("No recordings found in %1.").arg(lookedAt(selection)), info, misnamed.details()};
}
