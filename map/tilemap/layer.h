#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QString>

class QPainter;

namespace qmapcontrol {

class Geometry;
class MapAdapter;

// A named, stackable level of the map. A layer draws its geometries in the display pixels of
// its adapter. It does not own the geometries: a geometry deleted elsewhere leaves the layer.
class Layer : public QObject
{
    Q_OBJECT

public:
    Layer(QString name, MapAdapter* adapter, QObject* parent = nullptr);
    ~Layer() override = default;

    QString name() const { return m_name; }
    MapAdapter* mapAdapter() const { return m_adapter; }
    bool isVisible() const { return m_visible; }
    void setVisible(bool visible);

    void addGeometry(Geometry* geometry);
    void removeGeometry(Geometry* geometry);
    // Takes every geometry off the layer without deleting any.
    void clearGeometries();
    QList<Geometry*> geometries() const;

    virtual void draw(QPainter& painter, const QRectF& viewport);

signals:
    // The layer's content changed; the map repaints.
    void updateRequest();

protected:
    void drawGeometries(QPainter& painter, const QRectF& viewport);

private:
    QString m_name;
    QPointer<MapAdapter> m_adapter;
    QList<QPointer<Geometry>> m_geometries;
    bool m_visible = true;
};

} // namespace qmapcontrol
