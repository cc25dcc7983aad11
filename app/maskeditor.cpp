#include "maskeditor.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// The corner handle's size in widget pixels.
constexpr double Handle = 10.0;
// A rectangle drawn smaller than this (in picture pixels) is a click, not a mask.
constexpr int Smallest = 4;

bool hasKeyframeAt(const Masks::Mask& mask, double seconds)
{
    for (const Masks::Keyframe& key : mask.keyframes) {
        if (std::abs(key.seconds - seconds) < 0.02)
            return true;
    }
    return false;
}

} // namespace

MaskEditor::MaskEditor(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("maskEditor"));
    setMouseTracking(false);
    setMinimumSize(320, 180);
}

void MaskEditor::setFrame(const QImage& frame, double seconds)
{
    m_frame = frame.convertToFormat(QImage::Format_RGB32);
    m_seconds = seconds;
    update();
}

void MaskEditor::setMasks(const Masks& masks)
{
    m_masks = masks;
    select(-1);
    update();
}

void MaskEditor::select(int index)
{
    if (m_selected == index)
        return;
    m_selected = index;
    emit selectionChanged(index);
    update();
}

void MaskEditor::setSelectedMode(Masks::Mode mode)
{
    if (m_selected < 0 || m_selected >= m_masks.masks().size())
        return;
    m_masks.masks()[m_selected].mode = mode;
    emit masksChanged();
    update();
}

void MaskEditor::removeSelectedKeyframe()
{
    if (m_selected < 0)
        return;
    const int before = int(m_masks.masks().size());
    m_masks.removeKeyframe(m_selected, m_seconds);
    if (m_masks.masks().size() != before)
        select(-1);
    emit masksChanged();
    update();
}

void MaskEditor::removeSelected()
{
    if (m_selected < 0 || m_selected >= m_masks.masks().size())
        return;
    m_masks.masks().remove(m_selected);
    select(-1);
    emit masksChanged();
    update();
}

QRectF MaskEditor::pictureRect() const
{
    if (m_frame.isNull())
        return QRectF(rect());
    const QSizeF size = QSizeF(m_frame.size()).scaled(QSizeF(this->size()), Qt::KeepAspectRatio);
    return QRectF(QPointF((width() - size.width()) / 2.0, (height() - size.height()) / 2.0), size);
}

QPointF MaskEditor::toPicture(const QPointF& point) const
{
    const QRectF area = pictureRect();
    if (m_frame.isNull() || area.isEmpty())
        return point;
    return QPointF((point.x() - area.left()) * m_frame.width() / area.width(),
                   (point.y() - area.top()) * m_frame.height() / area.height());
}

QRectF MaskEditor::toWidget(const QRect& rect) const
{
    const QRectF area = pictureRect();
    if (m_frame.isNull())
        return QRectF(rect);
    const double sx = area.width() / m_frame.width();
    const double sy = area.height() / m_frame.height();
    return QRectF(area.left() + rect.x() * sx, area.top() + rect.y() * sy, rect.width() * sx,
                  rect.height() * sy);
}

void MaskEditor::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    // The picture as the export shows it.
    QImage shown = m_frame;
    m_masks.apply(shown, m_seconds);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(pictureRect(), shown);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < m_masks.masks().size(); ++i) {
        const Masks::Mask& mask = m_masks.masks()[i];
        const QRect r =
            (m_drag != Drag::None && i == m_selected) ? m_current : Masks::rectAt(mask, m_seconds);
        QPen pen(i == m_selected ? QColor(255, 200, 0) : Qt::white, 2);
        pen.setStyle(hasKeyframeAt(mask, m_seconds) ? Qt::SolidLine : Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const QRectF area = toWidget(r);
        painter.drawRect(area);
        if (i == m_selected) {
            painter.setBrush(pen.color());
            painter.drawRect(QRectF(area.bottomRight() - QPointF(Handle, Handle), QSizeF(Handle, Handle)));
        }
    }
    if (m_drag == Drag::Draw) {
        painter.setPen(QPen(QColor(255, 200, 0), 2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(toWidget(m_current));
    }
}

void MaskEditor::mousePressEvent(QMouseEvent* event)
{
    if (m_frame.isNull() || event->button() != Qt::LeftButton)
        return;
    const QPoint at = toPicture(event->localPos()).toPoint();
    m_pressed = at;
    const int hit = m_masks.maskAt(at, m_seconds);
    if (m_selected >= 0) {
        const QRectF area = toWidget(Masks::rectAt(m_masks.masks()[m_selected], m_seconds));
        if (QRectF(area.bottomRight() - QPointF(Handle, Handle), QSizeF(Handle, Handle))
                .adjusted(-2, -2, 2, 2)
                .contains(event->localPos())) {
            m_drag = Drag::Resize;
            m_start = m_current = Masks::rectAt(m_masks.masks()[m_selected], m_seconds);
            return;
        }
    }
    if (hit >= 0) {
        select(hit);
        m_drag = Drag::Move;
        m_start = m_current = Masks::rectAt(m_masks.masks()[hit], m_seconds);
        return;
    }
    select(-1);
    m_drag = Drag::Draw;
    m_current = QRect(at, QSize());
}

void MaskEditor::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag == Drag::None)
        return;
    const QRect picture = m_frame.rect();
    const QPoint at = toPicture(event->localPos()).toPoint();
    const QPoint moved = at - m_pressed;
    if (m_drag == Drag::Draw) {
        m_current = QRect(m_pressed, at).normalized() & picture;
    } else if (m_drag == Drag::Move) {
        QRect r = m_start.translated(moved);
        // Kept inside the picture, as exports require.
        r.moveLeft(qBound(0, r.left(), picture.width() - r.width()));
        r.moveTop(qBound(0, r.top(), picture.height() - r.height()));
        m_current = r;
    } else {
        m_current = QRect(m_start.topLeft(), QSize(std::max(Smallest, m_start.width() + moved.x()),
                                                   std::max(Smallest, m_start.height() + moved.y()))) &
                    picture;
    }
    update();
}

void MaskEditor::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_drag == Drag::None || event->button() != Qt::LeftButton)
        return;
    const Drag drag = std::exchange(m_drag, Drag::None);
    if (drag == Drag::Draw) {
        if (m_current.width() >= Smallest && m_current.height() >= Smallest) {
            m_masks.masks().append(Masks::Mask{Masks::Mode::Blur, {Masks::Keyframe{m_seconds, m_current}}});
            select(int(m_masks.masks().size()) - 1);
            emit masksChanged();
        }
    } else if (m_current != m_start) {
        m_masks.setKeyframe(m_selected, m_seconds, m_current);
        emit masksChanged();
    }
    update();
}
