#pragma once

#include "qnmeapositioninfo.h"
#include "route.h"
#include "tripdata.h"
#include "tripitem.h"
#include "tripsession.h"

#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <list>
#include <memory>
#include <string>
#include <vector>

class ExtendedMapControl;
class OSMMapQuestAdapter;
class QLabel;
class QPushButton;
class RouteGeometry;
class RouteLegend;

namespace qmapcontrol {
class GeometryLayer;
class MapAdapter;
class MapLayer;
class Point;
} // namespace qmapcontrol

// The map pane: a view of a trip session. It draws the route and markers of the session's trip
// fitted into view, and moves the driven part and the vehicle along with the session's
// position. The view follows the vehicle until the user drags the map; a click on the route
// asks for the playing position of the nearest point. Without a session of the caller's it
// keeps one of its own, so it can be used alone.
class MapWidget : public QWidget
{
    Q_OBJECT

public:
    using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;

    static constexpr double DefaultLongitude = 9.949208;
    static constexpr double DefaultLatitude = 49.79226;
    static constexpr int DefaultZoom = 5;
    // How far from the drawn route, in pixels, a click still counts as one on the route.
    static constexpr double ClickReach = 8.0;

    explicit MapWidget(QWidget* parent = nullptr);
    ~MapWidget() override;

    ExtendedMapControl* mapControl() const { return m_mapControl; }
    // Follows `session` from now on (the widget's own one when null).
    void setSession(TripSession* session);
    TripSession* session() const { return m_session; }
    // The second the route was last drawn for; -1 when none.
    int currentSecond() const { return m_currentSecond; }
    // The tracks as drawn at the current second; empty when no route is shown.
    std::vector<Route::Track> routes() const;
    const std::vector<std::shared_ptr<qmapcontrol::Point>>& markers() const { return m_markers; }
    // Whether the view keeps the vehicle in sight during playback.
    bool isFollowing() const { return m_following; }

    static QString speedLocaleToString(double metresPerSecond);
    static QString toolTipLocale(const QString& text);

public slots:
    // Hand the selection's files, the trip and the playing position to the session.
    void on_setFilesSelected(std::shared_ptr<QStringList> files);
    void on_setContentForNmeaReader(std::shared_ptr<Trip::TripList> trip);
    void on_PositionChange(qint64 ms);
    // Draws the route of `positions`, fitted into view, and reports nmeaReady.
    void onReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    // Centres the view on the vehicle and follows it from now on.
    void centreOnVehicle();
    // Shows the whole route.
    void fitRoute();

signals:
    void nmeaReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    void parsing_finished();
    // A click on the route: the trip position of the nearest point, in milliseconds.
    void positionSelected(qint64 ms);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void showTrip(const TripDataPtr& data);
    void clearRoute();
    void showPosition(qint64 ms);
    void createRoute(unsigned second);
    void createMarkers(unsigned second);
    void destroyRoutes();
    void destroyMarkers();
    void setViewAndZoomIn(const std::list<QPointF>& points);
    void setMiddle(const std::list<QPointF>& points);
    bool containsAll(const std::list<QPointF>& points) const;
    void setCenter(double x, double y, int zoom);
    void addBoundingBox(std::list<QPointF>& points, qmapcontrol::Point& marker);
    bool touches(qmapcontrol::Point* found, qmapcontrol::Point* probe,
                 const qmapcontrol::MapAdapter* adapter);
    void retranslateToolTips();
    void addZoomButtons();

    // Moves the driven part and the vehicle to `second`; repaints only what moved by a pixel.
    void showSecond(unsigned second);
    bool changedVisibly(unsigned to);
    void moveVehicle(unsigned second);
    // Centres the view on the vehicle when following and the route does not fit into view.
    void followVehicle();
    void centreOn(const QPointF& coordinate);
    void onMapClicked(const QPoint& position);
    void onViewChanged(const QPointF& coordinate, int zoom);
    // The route's buttons and legend while a route is shown, the legend where it fits.
    void updateRouteControls();
    QPointF display(std::size_t record) const;

    static bool isPositionsValid(const Positions& positions, const std::string& caller);
    static bool isFilesValid(const std::shared_ptr<QStringList>& files, const std::string& caller);

    ExtendedMapControl* m_mapControl;
    OSMMapQuestAdapter* m_mapAdapter;
    qmapcontrol::MapLayer* m_mapLayer;
    qmapcontrol::GeometryLayer* m_routesLayer;
    qmapcontrol::GeometryLayer* m_markersLayer;
    TripSession* m_ownSession;
    QPointer<TripSession> m_session;
    Positions m_positions;
    std::vector<std::shared_ptr<qmapcontrol::Point>> m_markers;
    std::shared_ptr<qmapcontrol::Point> m_vehicle;
    std::shared_ptr<Route> m_route;
    std::unique_ptr<RouteGeometry> m_routeLine;
    std::list<QPointF> m_fitPoints;
    QSize m_widgetSize;
    QPointF m_middle{195, 350};
    int m_currentSecond = -1;
    // Display pixels of the records whose look changed since the route was last drawn.
    struct Changed
    {
        QPointF low;
        QPointF high;
        bool any = false;

        void add(const QPointF& p)
        {
            low = any ? QPointF(std::min(low.x(), p.x()), std::min(low.y(), p.y())) : p;
            high = any ? QPointF(std::max(high.x(), p.x()), std::max(high.y(), p.y())) : p;
            any = true;
        }
        bool spansPixel() const { return high.x() - low.x() >= 1.0 || high.y() - low.y() >= 1.0; }
    } m_changed;
    bool m_following = true;
    // Set while the widget itself moves the view, which is no reason to follow.
    bool m_adjustingView = false;
    int m_viewZoom = -1;
    QPushButton* m_zoomInButton = nullptr;
    QPushButton* m_zoomOutButton = nullptr;
    QPushButton* m_centreButton = nullptr;
    QPushButton* m_fitButton = nullptr;
    QLabel* m_copyrightLabel = nullptr;
    RouteLegend* m_legend = nullptr;
};
