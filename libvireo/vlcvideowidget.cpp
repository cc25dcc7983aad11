#include "vireo/vlcvideowidget.h"

#include <QHBoxLayout>

namespace {

void paintBlack(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::black, Qt::SolidPattern));
    widget->setPalette(palette);
}

} // namespace

VlcVideoWidget::VlcVideoWidget(QWidget* parent) : QFrame(parent), m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    paintBlack(this);
    setAutoFillBackground(true);
}

VlcVideoWidget::~VlcVideoWidget()
{
    release();
}

WId VlcVideoWidget::request()
{
    if (m_surface) {
        return 0;
    }
    m_surface = new QWidget;
    paintBlack(m_surface);
    m_surface->setAutoFillBackground(true);
    m_surface->setMouseTracking(true);
    // The engine paints the window; Qt must not paint over it.
    m_surface->setAttribute(Qt::WA_PaintOnScreen);
    m_layout->addWidget(m_surface);
    return m_surface->winId();
}

void VlcVideoWidget::release()
{
    if (m_surface) {
        m_layout->removeWidget(m_surface);
        m_surface->deleteLater();
        m_surface = nullptr;
    }
    updateGeometry();
}
