#pragma once

namespace Fs {

// Silence the system's own dialogs for failing file access (missing media, drive not
// ready) while the program probes files, and restore them at exit. Each acts once per
// process. The desktop systems the program runs on show no such dialogs, so only the
// once-flags remain.
void suppressFsErrNotifications();
void restoreFsErrNotifications();

} // namespace Fs
