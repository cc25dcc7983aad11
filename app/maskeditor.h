#pragma once

#include "masks.h"

#include <QImage>
#include <QWidget>

// A still of the trip with its masks: the picture as an export shows it (blurred or pixelated),
// each mask outlined, solid where it has a keyframe at this instant and dashed where it moves
// between keyframes. Dragging on the picture draws a new mask; dragging a mask moves it and
// dragging its lower right corner resizes it, either setting its keyframe at this instant.
class MaskEditor : public QWidget
{
    Q_OBJECT
public:
    explicit MaskEditor(QWidget* parent = nullptr);

    void setFrame(const QImage& frame, double seconds);
    double seconds() const { return m_seconds; }
    bool hasFrame() const { return !m_frame.isNull(); }
    void setMasks(const Masks& masks);
    const Masks& masks() const { return m_masks; }
    // The mask chosen last; -1 for none.
    int selected() const { return m_selected; }
    void setSelectedMode(Masks::Mode mode);
    void removeSelectedKeyframe();
    void removeSelected();

    // Where a point of the widget lies in the picture, and back.
    QPointF toPicture(const QPointF& point) const;
    QRectF toWidget(const QRect& rect) const;

    QSize sizeHint() const override { return {800, 450}; }

signals:
    void masksChanged();
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Drag
    {
        None,
        Draw,
        Move,
        Resize
    };
    QRectF pictureRect() const;
    void select(int index);

    QImage m_frame;
    double m_seconds = 0.0;
    Masks m_masks;
    int m_selected = -1;
    Drag m_drag = Drag::None;
    QPoint m_pressed; // in picture pixels
    QRect m_start;    // the mask's rectangle when the drag began
    QRect m_current;  // the rectangle being drawn or dragged
};
