#pragma once

#include "vireoexport.h"

#include <QFrame>

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

private:
    QHBoxLayout* m_layout = nullptr;
    QWidget* m_surface = nullptr;
};
