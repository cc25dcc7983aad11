#pragma once

#include "masks.h"

#include <QRegion>
#include <QWidget>

class VlcVideoWidget;

// The trip's privacy masks outlined over the playing picture. The engine draws into a native
// window that Qt cannot paint over, so the outlines are a native window of their own above it,
// shaped to the outlines alone: the picture shows through everywhere else.
class MaskOutlines : public QWidget
{
    Q_OBJECT
public:
    explicit MaskOutlines(VlcVideoWidget* video);

    void setMasks(const Masks& masks);
    const Masks& masks() const { return m_masks; }
    // The trip position shown, in seconds: the masks' place on the picture there.
    void setSeconds(double seconds);
    // The outlines' shape in the video frame's coordinates; empty when none are shown.
    QRegion outlineRegion() const { return m_shape.translated(geometry().topLeft()); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    VlcVideoWidget* m_video = nullptr;
    Masks m_masks;
    double m_seconds = 0.0;
    QRegion m_shape;
};
