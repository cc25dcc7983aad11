#pragma once

#include <QIcon>

// Icons of the control panel's range and evidence buttons, drawn in white for the dark panel.
namespace PanelIcons {

QIcon inPoint();
QIcon outPoint();
QIcon snapshot();
QIcon exportClip();

} // namespace PanelIcons
