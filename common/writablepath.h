#pragma once

#include <QString>
#include <QStringList>

#include <iosfwd>

namespace Fs {

// Finds the directory that holds the settings file. Runs the probe below on the
// default candidates and traces every step to "<temp>/.testlogfile". Callers go
// through ZelSettings::getWritablePath, which caches the result for the process.
QString getWritablePath();

// True when the program directory lies under a system prefix (/usr, /usr/local, /opt):
// the program is installed rather than run from a build tree or a removable drive.
bool isInstalledLocation(const QString& appDir);

// Candidate directories in the order they are tried.
QStringList writablePathCandidates(bool installed, const QString& appDir);

// Returns the first candidate in which a test file can be written and read back,
// or an empty string. The process's current directory is the same afterwards.
QString probeWritableCandidates(const QStringList& candidates, std::ostream& log);

} // namespace Fs
