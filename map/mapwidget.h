#pragma once

#include "qnmeapositioninfo.h"
#include "tripitem.h"

#include <QFutureWatcher>
#include <QPointF>
#include <QSize>
#include <QStringList>
#include <QWidget>

#include <list>
#include <memory>
#include <string>
#include <vector>

class ExtendedMapControl;
class NmeaParser;
class OSMMapQuestAdapter;
class QLabel;
class QPushButton;
class QThread;
class Route;

namespace qmapcontrol {
class GeometryLayer;
class LineString;
class MapAdapter;
class MapLayer;
class Point;
} // namespace qmapcontrol

// The map pane: parses the NMEA files of a selection in the background, assembles the positions
// of the trip being played, draws its route and markers fitted into view, and moves the driven
// part and the vehicle along with playback.
class MapWidget : public QWidget
{
    Q_OBJECT

public:
    using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;

    static constexpr double DefaultLongitude = 9.949208;
    static constexpr double DefaultLatitude = 49.79226;
    static constexpr int DefaultZoom = 5;

    explicit MapWidget(QWidget* parent = nullptr);
    ~MapWidget() override;

    ExtendedMapControl* mapControl() const { return m_mapControl; }
    // The second the route was last drawn for; -1 when none.
    int currentSecond() const { return m_currentSecond; }
    const std::vector<std::shared_ptr<qmapcontrol::LineString>>& routes() const { return m_routes; }
    const std::vector<std::shared_ptr<qmapcontrol::Point>>& markers() const { return m_markers; }

    static QString speedLocaleToString(double metresPerSecond);
    static QString toolTipLocale(const QString& text);

public slots:
    void on_setFilesSelected(std::shared_ptr<QStringList> files);
    void on_setContentForNmeaReader(std::shared_ptr<Trip::TripList> trip);
    void on_PositionChange(qint64 ms);
    void onReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    void onparsingFinished();
    void parsingTripFinished();

signals:
    void nmeaReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions);
    void parsing_finished();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool parseTrip(std::shared_ptr<Trip::TripList> trip);
    bool isRequestedParsedFileFound(std::shared_ptr<Trip::TripList> trip, const std::string& caller);
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

    static bool isTripValid(const std::shared_ptr<Trip::TripList>& trip, const std::string& caller);
    static bool isPositionsValid(const Positions& positions, const std::string& caller);
    static bool isFilesValid(const std::shared_ptr<QStringList>& files, const std::string& caller);

    ExtendedMapControl* m_mapControl;
    OSMMapQuestAdapter* m_mapAdapter;
    qmapcontrol::MapLayer* m_mapLayer;
    qmapcontrol::GeometryLayer* m_routesLayer;
    qmapcontrol::GeometryLayer* m_markersLayer;
    QThread* m_parserThread;
    std::unique_ptr<NmeaParser> m_parser;
    Positions m_positions;
    std::vector<std::shared_ptr<qmapcontrol::LineString>> m_routes;
    std::vector<std::shared_ptr<qmapcontrol::Point>> m_markers;
    std::vector<qmapcontrol::Point*> m_routePoints;
    std::shared_ptr<Route> m_route;
    std::list<QPointF> m_fitPoints;
    QSize m_widgetSize;
    QPointF m_middle{195, 350};
    int m_currentSecond = -1;
    // Parse requests whose end the parser has not reported yet.
    int m_pendingParses = 0;
    QFutureWatcher<bool> m_watcher;
    QPushButton* m_zoomInButton = nullptr;
    QPushButton* m_zoomOutButton = nullptr;
    QLabel* m_copyrightLabel = nullptr;
};
