#include "svgpixmap.h"

#include <QPainter>
#include <QSvgRenderer>

namespace Design {

QPixmap svgPixmap(const QString& path, const QSize& size, qreal devicePixelRatio)
{
    QSvgRenderer renderer(path);
    if (!renderer.isValid() || size.isEmpty()) {
        return QPixmap();
    }
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        renderer.render(&painter);
    }
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace Design
