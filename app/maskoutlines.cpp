#include "maskoutlines.h"

#include <vireo/vlcvideowidget.h>

#include <QEvent>
#include <QPainter>

namespace {

// The outline's width in screen pixels.
constexpr int Line = 2;

// A frame of `line` pixels along the inside of `rect`.
QRegion ring(const QRect& rect, int line)
{
    const QRegion outer(rect);
    return rect.width() > 2 * line && rect.height() > 2 * line
               ? outer.subtracted(QRegion(rect.adjusted(line, line, -line, -line)))
               : outer;
}

} // namespace

MaskOutlines::MaskOutlines(VlcVideoWidget* video) : QWidget(video), m_video(video)
{
    setObjectName(QStringLiteral("maskOutlines"));
    // A window of its own stacks above the engine's; its shape leaves the picture visible.
    setAttribute(Qt::WA_NativeWindow);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    video->installEventFilter(this);
    hide();
}

void MaskOutlines::setMasks(const Masks& masks)
{
    m_masks = masks;
    refresh();
}

void MaskOutlines::setSeconds(double seconds)
{
    m_seconds = seconds;
    refresh();
}

bool MaskOutlines::eventFilter(QObject* watched, QEvent* event)
{
    // The engine's window changes with the frame's size and with every file it opens.
    if (watched == m_video && (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest ||
                               event->type() == QEvent::ChildAdded || event->type() == QEvent::Show))
        refresh();
    return QWidget::eventFilter(watched, event);
}

void MaskOutlines::refresh()
{
    const QRect area = m_video->surfaceGeometry();
    const QSize picture = m_video->videoSize();
    QRegion shape;
    if (!m_masks.isEmpty() && !area.isEmpty() && !picture.isEmpty()) {
        const double sx = double(area.width()) / picture.width();
        const double sy = double(area.height()) / picture.height();
        for (const Masks::Mask& mask : m_masks.masks()) {
            const QRect r = Masks::rectAt(mask, m_seconds);
            const QRect onScreen(qRound(r.x() * sx), qRound(r.y() * sy), qMax(1, qRound(r.width() * sx)),
                                 qMax(1, qRound(r.height() * sy)));
            shape += ring(onScreen & QRect(QPoint(0, 0), area.size()), Line);
        }
    }
    if (shape.isEmpty()) {
        m_shape = QRegion();
        hide();
        return;
    }
    if (geometry() != area)
        setGeometry(area);
    if (shape != m_shape) {
        m_shape = shape;
        setMask(shape);
        update();
    }
    if (isHidden())
        show();
    raise();
}

void MaskOutlines::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(255, 200, 0));
}
