#pragma once

#include <QColor>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSize>
#include <QWidget>

namespace qmapcontrol {

class Layer;

// The map view: a stack of layers around a centre coordinate (x longitude, y latitude) at a
// zoom level, panned by dragging with the left button. Layers are drawn in the order added;
// the control does not own them.
class MapControl : public QWidget
{
    Q_OBJECT

public:
    enum MouseMode
    {
        Panning,
        None
    };
    Q_ENUM(MouseMode)

    static constexpr int MinZoom = 0;
    static constexpr int MaxZoom = 17;

    explicit MapControl(const QSize& size, MouseMode mouseMode = Panning, bool showScale = false,
                        bool showCrosshairs = false, QWidget* parent = nullptr);
    ~MapControl() override;

    void addLayer(Layer* layer);
    void removeLayer(Layer* layer);
    // The first layer of that name, or nullptr.
    Layer* layer(const QString& name) const;
    QList<Layer*> layers() const;
    QStringList layerNames() const;

    QPointF currentCoordinate() const { return m_centre; }
    int currentZoom() const { return m_zoom; }
    // The visible area in coordinates: x longitude from west to east, y latitude from south
    // to north (a normalized rectangle, so QRectF::contains works).
    QRectF getViewport() const;

    // Between widget pixels and coordinates at the current view.
    QPointF coordinateToScreen(const QPointF& coordinate) const;
    QPointF screenToCoordinate(const QPointF& point) const;

    void setView(const QPointF& coordinate);
    void setMouseMode(MouseMode mode) { m_mouseMode = mode; }
    MouseMode mouseMode() const { return m_mouseMode; }
    void showScale(bool show);
    void showCrosshairs(bool show);

    static QColor backgroundColor() { return QColor(0xe5, 0xe3, 0xdf); }

    QSize sizeHint() const override { return m_sizeHint; }

public slots:
    void setZoom(int zoom);
    void zoomIn();
    void zoomOut();
    void updateView();

signals:
    void viewChanged(const QPointF& coordinate, int zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // A change of language or units redraws the scale.
    void changeEvent(QEvent* event) override;

private:
    int tileSize() const;
    int minZoom() const;
    int maxZoom() const;
    // Display pixel of the widget's top-left corner, whole pixels so tiles meet without seams.
    QPointF viewOrigin() const;
    void drawScale(QPainter& painter) const;
    void drawCrosshairs(QPainter& painter) const;

    QList<QPointer<Layer>> m_layers;
    QPointF m_centre;
    int m_zoom = 0;
    MouseMode m_mouseMode;
    bool m_showScale;
    bool m_showCrosshairs;
    QSize m_sizeHint;
    bool m_dragging = false;
    QPoint m_dragStart;
    QPointF m_dragCentre;
};

} // namespace qmapcontrol
