#pragma once

#include <QCoreApplication>

namespace HighDpi {

// Lets Qt scale the whole interface by the screen's device pixel ratio and lets icons hand out
// pixmaps at that ratio, so text, icons and painted panels stay sharp on high-DPI screens.
// Takes effect only before the application object exists.
inline void enable()
{
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps, true);
}

} // namespace HighDpi
