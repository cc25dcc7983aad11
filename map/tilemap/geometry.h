#pragma once

#include <QObject>
#include <QPen>
#include <QRectF>
#include <QString>

class QPainter;

namespace qmapcontrol {

class MapAdapter;

// Something drawn on a layer at geographic coordinates (x longitude, y latitude).
class Geometry : public QObject
{
    Q_OBJECT

public:
    explicit Geometry(QString name = QString(), QObject* parent = nullptr);
    ~Geometry() override = default;

    QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    QPen pen() const { return m_pen; }
    void setPen(const QPen& pen);
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    // Draws in display pixels of `adapter` (the painter is already translated to the view);
    // `viewport` is the visible part of the world in the same pixels.
    virtual void draw(QPainter& painter, const MapAdapter& adapter, const QRectF& viewport) = 0;

signals:
    // The geometry looks different now; the map repaints.
    void changed();

private:
    QString m_name;
    QPen m_pen;
    bool m_visible = true;
};

} // namespace qmapcontrol
