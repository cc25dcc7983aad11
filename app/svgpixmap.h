#pragma once

#include <QPixmap>

namespace Design {

// Renders an SVG resource into a transparent pixmap of `size` logical pixels, sharp on
// high-DPI screens. A null pixmap when the resource cannot be read.
QPixmap svgPixmap(const QString& path, const QSize& size, qreal devicePixelRatio = 1.0);

} // namespace Design
