#include "imagepoint.h"

namespace qmapcontrol {

ImagePoint::ImagePoint(qreal x, qreal y, const QPixmap& pixmap, const QString& name, Alignment alignment)
    : Point(x, y, name, alignment)
{
    setPixmap(pixmap);
}

} // namespace qmapcontrol
