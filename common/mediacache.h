#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

// What the program learnt of a recording (its length, its file check, its position data), kept
// in a file of the user's cache folder so that a card opened again is not read again. An entry
// belongs to a path and holds while the file keeps its size and modification time; a changed
// file is read again, never served from the cache. A cache file that is damaged, foreign or
// written for another kind of content is ignored and written anew.
//
// One object holds one cache file in memory; it is not shared between threads.
class MediaCache
{
public:
    // `name` names the file (`<name>.cache` in folder()); `generation` says what produced the
    // values: a cache file of another generation is dropped as a whole.
    MediaCache(QString name, QString generation);

    // $XDG_CACHE_HOME/Tarrow.
    static QString folder();
    // The switch of `--no-cache`, for the whole process: while off, nothing is read or written.
    static void setEnabled(bool enabled);
    static bool isEnabled();
    // Removes every cache file of the program (map tiles excepted); false when one stays.
    static bool clearAll();

    // Most bytes a cache file may hold; the entries used longest ago go first.
    static constexpr qint64 DefaultLimit = 32LL * 1024 * 1024;
    void setLimit(qint64 bytes) { m_limit = bytes; }

    // The value stored for the file as it is now; false when none is, or the file changed.
    bool lookup(const QString& path, QByteArray& value);
    // Stores a value for the file as it is now; nothing when the file cannot be read.
    void store(const QString& path, const QByteArray& value);
    // Writes the entries to the cache file, merged with what another process wrote meanwhile;
    // nothing when nothing changed. False when the file cannot be written.
    bool save();

    QString filePath() const;

    // Size and modification time (ms since the epoch) of a regular file, links followed; false
    // for anything else. Read without the local time zone, which costs a look at the zone's file
    // on every call.
    static bool fileStamp(const QString& path, qint64& size, qint64& modifiedMs);

    // Makes the folder and the missing folders above it, each private to the user (0700).
    static bool makePrivateFolder(const QString& path);
    // Writes a file private to the user (0600) under a temporary name beside it and renames it
    // into place, so that readers never see half of it; a symbolic link is never followed.
    static bool writeAtomically(const QString& path, const QByteArray& bytes);

private:
    struct Entry
    {
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        qint64 used = 0;     // s since the epoch of the last lookup or store
        QByteArray value;
    };
    using Entries = QHash<QString, Entry>;

    void load();
    // The entries of the cache file; empty when it is missing, damaged or of another generation.
    Entries read() const;

    QString m_name;
    QString m_generation;
    qint64 m_limit = DefaultLimit;
    bool m_loaded = false;
    bool m_changed = false;
    Entries m_entries;
};
