#include "mapcontrol.h"

#include "layer.h"
#include "mapadapter.h"
#include "mercator.h"
#include "tileloader.h"
#include "units.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace qmapcontrol {

MapControl::MapControl(const QSize& size, MouseMode mouseMode, bool showScale, bool showCrosshairs,
                       QWidget* parent)
    : QWidget(parent), m_mouseMode(mouseMode), m_showScale(showScale), m_showCrosshairs(showCrosshairs),
      m_sizeHint(size)
{
    resize(size);
    setMouseTracking(false);
    connect(TileLoader::instance(), &TileLoader::tileReady, this, &MapControl::updateView);
}

MapControl::~MapControl() = default;

void MapControl::addLayer(Layer* layer)
{
    if (!layer || m_layers.contains(layer)) {
        return;
    }
    m_layers.append(layer);
    connect(layer, &Layer::updateRequest, this, &MapControl::updateView);
    connect(layer, &QObject::destroyed, this, &MapControl::updateView);
    // A new adapter may narrow the zoom range; all adapters follow the control's zoom.
    setZoom(m_zoom);
    update();
}

void MapControl::removeLayer(Layer* layer)
{
    if (layer && m_layers.removeAll(layer) > 0) {
        disconnect(layer, nullptr, this, nullptr);
        update();
    }
}

Layer* MapControl::layer(const QString& name) const
{
    for (const QPointer<Layer>& layer : m_layers) {
        if (layer && layer->name() == name) {
            return layer;
        }
    }
    return nullptr;
}

QList<Layer*> MapControl::layers() const
{
    QList<Layer*> list;
    for (const QPointer<Layer>& layer : m_layers) {
        if (layer) {
            list.append(layer.data());
        }
    }
    return list;
}

QStringList MapControl::layerNames() const
{
    QStringList names;
    for (const Layer* layer : layers()) {
        names.append(layer->name());
    }
    return names;
}

int MapControl::tileSize() const
{
    for (const QPointer<Layer>& layer : m_layers) {
        if (layer && layer->mapAdapter()) {
            return layer->mapAdapter()->tilesize();
        }
    }
    return Mercator::DefaultTileSize;
}

int MapControl::minZoom() const
{
    int zoom = MinZoom;
    for (const Layer* layer : layers()) {
        if (layer->mapAdapter()) {
            zoom = std::max(zoom, layer->mapAdapter()->minZoom());
        }
    }
    return zoom;
}

int MapControl::maxZoom() const
{
    int zoom = MaxZoom;
    for (const Layer* layer : layers()) {
        if (layer->mapAdapter()) {
            zoom = std::min(zoom, layer->mapAdapter()->maxZoom());
        }
    }
    return std::max(zoom, minZoom());
}

QPointF MapControl::viewOrigin() const
{
    const QPointF centre = Mercator::coordinateToPixel(m_centre, m_zoom, tileSize());
    return {std::round(centre.x() - width() / 2.0), std::round(centre.y() - height() / 2.0)};
}

QPointF MapControl::coordinateToScreen(const QPointF& coordinate) const
{
    return Mercator::coordinateToPixel(coordinate, m_zoom, tileSize()) - viewOrigin();
}

QPointF MapControl::screenToCoordinate(const QPointF& point) const
{
    return Mercator::pixelToCoordinate(point + viewOrigin(), m_zoom, tileSize());
}

QRectF MapControl::getViewport() const
{
    const QPointF topLeft = screenToCoordinate(QPointF(0, 0));
    const QPointF bottomRight = screenToCoordinate(QPointF(width(), height()));
    return QRectF(QPointF(topLeft.x(), bottomRight.y()), QPointF(bottomRight.x(), topLeft.y()));
}

void MapControl::setView(const QPointF& coordinate)
{
    const QPointF centre(std::clamp(coordinate.x(), -180.0, 180.0),
                         std::clamp(coordinate.y(), -Mercator::MaxLatitude, Mercator::MaxLatitude));
    if (centre != m_centre) {
        m_centre = centre;
        update();
        emit viewChanged(m_centre, m_zoom);
    }
}

void MapControl::setZoom(int zoom)
{
    const int clamped = std::clamp(zoom, minZoom(), maxZoom());
    for (Layer* layer : layers()) {
        if (layer->mapAdapter()) {
            layer->mapAdapter()->setZoom(clamped);
        }
    }
    if (clamped != m_zoom) {
        m_zoom = clamped;
        update();
        emit viewChanged(m_centre, m_zoom);
    }
}

void MapControl::zoomIn()
{
    setZoom(m_zoom + 1);
}

void MapControl::zoomOut()
{
    setZoom(m_zoom - 1);
}

void MapControl::updateView()
{
    update();
}

void MapControl::showScale(bool show)
{
    m_showScale = show;
    update();
}

void MapControl::showCrosshairs(bool show)
{
    m_showCrosshairs = show;
    update();
}

void MapControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backgroundColor());
    painter.setRenderHint(QPainter::Antialiasing);

    const QPointF origin = viewOrigin();
    const QRectF viewport(origin, QSizeF(size()));
    painter.translate(-origin);
    for (Layer* layer : layers()) {
        if (layer->isVisible()) {
            painter.save();
            layer->draw(painter, viewport);
            painter.restore();
        }
    }
    painter.resetTransform();

    if (m_showScale) {
        drawScale(painter);
    }
    if (m_showCrosshairs) {
        drawCrosshairs(painter);
    }
}

void MapControl::drawScale(QPainter& painter) const
{
    constexpr double MaxBarPixels = 120.0;
    const double metresPerPixel = Mercator::metresPerPixel(m_centre.y(), m_zoom, tileSize());
    // A round length in the chosen units (metres and kilometres, or feet and miles).
    const Units::ScaleLength scale = Units::scaleLength(metresPerPixel * MaxBarPixels);
    const int bar = int(std::round(scale.metres / metresPerPixel));
    const QString& text = scale.text;

    const int left = 10;
    const int base = height() - 10;
    QPen halo(QColor(255, 255, 255, 200), 4);
    QPen line(Qt::black, 2);
    for (const QPen& pen : {halo, line}) {
        painter.setPen(pen);
        painter.drawLine(left, base, left + bar, base);
        painter.drawLine(left, base, left, base - 6);
        painter.drawLine(left + bar, base, left + bar, base - 6);
    }
    painter.drawText(QPoint(left + 4, base - 5), text);
}

void MapControl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        update();
    QWidget::changeEvent(event);
}

void MapControl::drawCrosshairs(QPainter& painter) const
{
    const QPointF centre(width() / 2.0, height() / 2.0);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawLine(centre - QPointF(10, 0), centre + QPointF(10, 0));
    painter.drawLine(centre - QPointF(0, 10), centre + QPointF(0, 10));
}

void MapControl::mousePressEvent(QMouseEvent* event)
{
    if (m_mouseMode == Panning && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_dragStart = event->pos();
        m_dragCentre = m_centre;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MapControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF start = Mercator::coordinateToPixel(m_dragCentre, m_zoom, tileSize());
    setView(Mercator::pixelToCoordinate(start - (event->pos() - m_dragStart), m_zoom, tileSize()));
    event->accept();
}

void MapControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        event->accept();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void MapControl::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (m_mouseMode == Panning && event->button() == Qt::LeftButton) {
        setView(screenToCoordinate(event->pos()));
        zoomIn();
        event->accept();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

} // namespace qmapcontrol
