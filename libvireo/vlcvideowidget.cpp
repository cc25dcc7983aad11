#include "vireo/vlcvideowidget.h"

#include <QHBoxLayout>

namespace {

void paintBlack(QWidget* widget)
{
    QPalette palette = widget->palette();
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::black, Qt::SolidPattern));
    widget->setPalette(palette);
}

// Lays the surface out as large as fits with the picture's shape, centred.
class SurfaceLayout : public QHBoxLayout
{
public:
    explicit SurfaceLayout(QWidget* parent) : QHBoxLayout(parent) {}

    void setGeometry(const QRect& rect) override
    {
        QHBoxLayout::setGeometry(rect);
        if (count() == 0 || !m_videoSize.isValid() || m_videoSize.isEmpty()) {
            return;
        }
        QSize fitted = m_videoSize.scaled(rect.size(), Qt::KeepAspectRatio);
        fitted = fitted.boundedTo(rect.size());
        QRect place(QPoint(0, 0), fitted);
        place.moveCenter(rect.center());
        itemAt(0)->setGeometry(place);
    }

    QSize m_videoSize;
};

} // namespace

VlcVideoWidget::VlcVideoWidget(QWidget* parent) : QFrame(parent), m_layout(new SurfaceLayout(this))
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
    // In its place before the engine learns the window's size.
    m_layout->setGeometry(contentsRect());
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

void VlcVideoWidget::setVideoSize(const QSize& size)
{
    auto* layout = static_cast<SurfaceLayout*>(m_layout);
    if (layout->m_videoSize == size) {
        return;
    }
    layout->m_videoSize = size;
    layout->invalidate();
    // Laid out now, before the engine takes the window's size for its next picture.
    layout->setGeometry(contentsRect());
}

QSize VlcVideoWidget::videoSize() const
{
    return static_cast<const SurfaceLayout*>(m_layout)->m_videoSize;
}

QRect VlcVideoWidget::surfaceGeometry() const
{
    return m_surface ? m_surface->geometry() : QRect();
}
