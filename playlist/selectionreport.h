#pragma once

#include "skippedfiles.h"
#include "videoselection.h"

#include <QCoreApplication>
#include <QString>

// What the user is told about a choice of files and folders that holds nothing to open: what
// was looked at, what was found there and why none of it opens. The window shows it in a
// message box and keeps the card that is open; the command line writes it to stderr and fails.
class SelectionReport
{
    Q_DECLARE_TR_FUNCTIONS(SelectionReport)
public:
    struct Message
    {
        QString text;
        QString informativeText;
        // One line per file that was left out, as SkippedFiles::details() gives them.
        QString details;
    };

    SelectionReport() = delete;

    // The chosen path, or "3 chosen items in FOLDER"; the current folder when nothing was chosen.
    static QString lookedAt(const VideoSelection::Result& selection);

    // For a selection without camera videos; `misnamed` are the files it left out.
    static Message nothingFound(const VideoSelection::Result& selection, const SkippedFiles& misnamed);
};
