#pragma once

#include "point.h"

namespace qmapcontrol {

// A point shown as an image, such as a marker pin.
class ImagePoint : public Point
{
    Q_OBJECT

public:
    ImagePoint(qreal x, qreal y, const QPixmap& pixmap, const QString& name = QString(),
               Alignment alignment = Middle);
};

} // namespace qmapcontrol
