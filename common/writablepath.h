#pragma once

#include <QString>
#include <QStringList>

#include <iosfwd>

namespace Fs {

// Finds the directory that holds the settings file. Runs the probe below on the
// default candidates and traces every step to the start-up trace (startupTracePath).
// Callers go through ZelSettings::getWritablePath, which caches the result for the process.
QString getWritablePath();

// The user's own folder for the start-up trace: "$XDG_STATE_HOME/Tarrow" (by default
// "~/.local/state/Tarrow"), or the user's cache folder when that cannot be made. Never a
// shared temp folder. Empty when neither can be made.
QString traceDirectory();
// The trace file in traceDirectory(), or empty.
QString startupTracePath();

// Opens `path` for writing the way every file of the program is written: a symbolic link is
// never followed, only a regular file with a single name is written (a FIFO or device is
// refused without blocking), and a new file is private to the user. The file is emptied.
// Returns the open descriptor, or -1.
int openPrivateFileForWriting(const QString& path);

// True when the program directory lies under a system prefix (/usr, /usr/local, /opt):
// the program is installed rather than run from a build tree or a removable drive.
bool isInstalledLocation(const QString& appDir);

// Candidate directories in the order they are tried. Shared temp folders are never among them.
QStringList writablePathCandidates(bool installed, const QString& appDir);

// Returns the first candidate in which a test file can be written and read back,
// or an empty string. A folder that other users may write to, or that belongs to another
// user, is skipped. The test file is created new under a unique name, so nothing that
// already exists in a candidate is ever opened. The process's current directory is the
// same afterwards.
QString probeWritableCandidates(const QStringList& candidates, std::ostream& log);

} // namespace Fs
