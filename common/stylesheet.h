#pragma once

#include <QString>

namespace Design {

// Reads a style sheet resource as Latin-1 text up to the first NUL byte. Returns false
// when the resource cannot be opened; callers then keep the widget's default look.
bool loadStyleSheet(const QString& path, QString& styleSheet);

} // namespace Design
