#pragma once

#include <QPair>
#include <QString>
#include <QVector>

// Files that were left out of a playlist, each with the reason. Reasons are short phrases that
// read after a count ("2 without a matching NMEA file"); the program's own ones are kept as
// source texts and translated when shown, so they follow a change of language. A reason that
// has no translation (such as one already translated by its sender) is shown as it is.
class SkippedFiles
{
public:
    // (path, reason) as other parts of the program report them.
    using List = QVector<QPair<QString, QString>>;

    static const char* const NoNmeaFile;
    static const char* const NoStartTime;
    static const char* const NotACameraName;
    static const char* const NotPlayable;
    static const char* const Vanished;

    void add(const QString& path, const QString& reason);
    void add(const List& files);
    void clear() { m_files.clear(); }
    bool isEmpty() const { return m_files.isEmpty(); }
    int count() const { return m_files.size(); }
    const List& files() const { return m_files; }

    static QString reasonText(const QString& reason);
    // "3 files skipped: 2 without a matching NMEA file, 1 not a playable video"; the most
    // frequent reason first.
    QString summary() const;
    // One line per file: its path, a dash and the reason.
    QString details() const;

private:
    List m_files;
};
