#pragma once

#include "vireoexport.h"

#include <QFrame>
#include <QSize>

class QHBoxLayout;

// Black frame that hosts the native window the engine draws into. The window
// exists only while something plays: request() creates it, release() removes it.
class VIREO_EXPORT VlcVideoWidget : public QFrame
{
    Q_OBJECT
public:
    explicit VlcVideoWidget(QWidget* parent = nullptr);
    ~VlcVideoWidget() override;

    // Native handle of a new surface, or 0 when one exists already.
    WId request();
    void release();

    // Shape of the picture to show. The engine's window then keeps that shape, centred,
    // with the frame's black around it, so the picture is never stretched, not even while
    // the engine sets itself up for a new file. An empty size fills the frame.
    void setVideoSize(const QSize& size);
    QSize videoSize() const;
    // Where the engine's window lies in the frame; empty without one.
    QRect surfaceGeometry() const;

private:
    QHBoxLayout* m_layout = nullptr;
    QWidget* m_surface = nullptr;
};
