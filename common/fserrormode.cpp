#include "fserrormode.h"

#include <atomic>

namespace {
std::atomic_bool suppressed{false};
std::atomic_bool restored{false};
} // namespace

namespace Fs {

void suppressFsErrNotifications()
{
    suppressed.store(true);
}

void restoreFsErrNotifications()
{
    if (suppressed.load()) {
        restored.store(true);
    }
}

} // namespace Fs
