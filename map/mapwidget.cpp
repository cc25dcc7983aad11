#include "mapwidget.h"

#include "extendedmapcontrol.h"
#include "geometrylayer.h"
#include "maplayer.h"
#include "maplog.h"
#include "mapwidgetconfig.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "route.h"
#include "routegeometry.h"
#include "routelegend.h"
#include "stylesheet.h"
#include "tripsession.h"
#include "units.h"

#include <QCoreApplication>
#include <QDebug>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ToolTipDuration = 5000;

QString translated(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

// Whether two display points are a pixel or more apart.
bool apart(const QPointF& a, const QPointF& b)
{
    return (a - b).manhattanLength() >= 1.0;
}

// Between the legend and the map's right edge or the buttons.
constexpr int LegendMargin = 10;

// Seconds of playback further apart than this are a jump, redrawn without looking closer.
constexpr int SmallStep = 8;

QPushButton* mapButton(QWidget* parent, const QString& name, const QString& styleSheetPath)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    QString styleSheet;
    if (Design::loadStyleSheet(styleSheetPath, styleSheet))
        button->setStyleSheet(styleSheet);
    return button;
}

} // namespace

MapWidget::MapWidget(QWidget* parent)
    : QWidget(parent), m_mapControl(new ExtendedMapControl()), m_mapAdapter(new OSMMapQuestAdapter(this)),
      m_mapLayer(new qmapcontrol::MapLayer(QStringLiteral("OpenStreetMapQuest-Layer"), m_mapAdapter, this)),
      m_routesLayer(new qmapcontrol::GeometryLayer(QStringLiteral("Routes"), m_mapAdapter, this)),
      m_markersLayer(new qmapcontrol::GeometryLayer(QStringLiteral("Markers"), m_mapAdapter, this)),
      m_ownSession(new TripSession(this))
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("MapWidget"));
    resize(240, 320);
    setWindowTitle(tr("Form"));
    setStyleSheet(QStringLiteral("QToolTip { color: #fff; background-color: #000; border: none; }"));

    QNmeaPositionInfo::registerMetaTypes();
    Trip::registerMetaTypes();

    m_mapControl->addLayer(m_mapLayer);
    addZoomButtons();
    setCenter(DefaultLongitude, DefaultLatitude, DefaultZoom);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_mapControl);

    setSession(nullptr);

    // The user's hand on the map: a drag ends following, a click on the route asks to seek, and
    // a zoom keeps following the vehicle.
    connect(m_mapControl, &ExtendedMapControl::dragStarted, this, [this] { m_following = false; });
    connect(m_mapControl, &ExtendedMapControl::clicked, this, &MapWidget::onMapClicked);
    connect(m_mapControl, &ExtendedMapControl::viewChanged, this, &MapWidget::onViewChanged);
    m_viewZoom = m_mapControl->currentZoom();
}

MapWidget::~MapWidget()
{
    if (m_session)
        m_session->disconnect(this);
    destroyRoutes();
    destroyMarkers();
    m_route.reset();
    // The control is a child of this widget and goes after this destructor; it must not
    // report to it any more.
    m_mapControl->disconnect(this);
}

void MapWidget::addZoomButtons()
{
    m_zoomInButton = mapButton(m_mapControl, QStringLiteral("zoomInButton"),
                               QStringLiteral(":/resources/zoomInButton.qss"));
    m_zoomOutButton = mapButton(m_mapControl, QStringLiteral("zoomOutButton"),
                                QStringLiteral(":/resources/zoomOutButton.qss"));
    m_centreButton = mapButton(m_mapControl, QStringLiteral("centreButton"),
                               QStringLiteral(":/resources/centreButton.qss"));
    m_fitButton = mapButton(m_mapControl, QStringLiteral("fitRouteButton"),
                            QStringLiteral(":/resources/fitRouteButton.qss"));
    m_copyrightLabel = new QLabel(m_mapControl);
    m_copyrightLabel->setObjectName(QStringLiteral("copyrightLabel"));
    m_legend = new RouteLegend(m_mapControl);

    QFont labelFont = font();
    labelFont.setPointSize(8);
    m_copyrightLabel->setFont(labelFont);
    m_copyrightLabel->setAlignment(Qt::AlignRight);
    m_copyrightLabel->setTextFormat(Qt::RichText);
    m_copyrightLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_copyrightLabel->setOpenExternalLinks(true);
    m_copyrightLabel->setText(QString::fromUtf8(MapWidgetConfig::copyrightsText));
    QString styleSheet;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/copyrightLabel.qss"), styleSheet))
        m_copyrightLabel->setStyleSheet(styleSheet);

    connect(m_zoomInButton, &QPushButton::clicked, m_mapControl, &ExtendedMapControl::zoomIn);
    connect(m_zoomOutButton, &QPushButton::clicked, m_mapControl, &ExtendedMapControl::zoomOut);
    connect(m_centreButton, &QPushButton::clicked, this, &MapWidget::centreOnVehicle);
    connect(m_fitButton, &QPushButton::clicked, this, &MapWidget::fitRoute);
    retranslateToolTips();
    updateRouteControls();

    // The route's two buttons sit apart from the zoom pair, below it.
    auto* buttons = new QVBoxLayout();
    buttons->setSpacing(0);
    buttons->addWidget(m_zoomInButton);
    buttons->addWidget(m_zoomOutButton);
    buttons->addSpacing(8);
    buttons->addWidget(m_centreButton);
    buttons->addWidget(m_fitButton);
    auto* top = new QHBoxLayout();
    top->setSpacing(0);
    top->addLayout(buttons);
    top->addStretch();
    auto* bottom = new QHBoxLayout();
    bottom->setSpacing(0);
    bottom->addStretch();
    bottom->addWidget(m_copyrightLabel);

    // Laid over the map: the buttons at the top left, the attribution at the bottom right, and
    // the scale, which the map draws, at the bottom left. The legend at the top right is placed
    // by hand, so that it never makes the map wider than it needs to be.
    auto* overlay = new QVBoxLayout(m_mapControl);
    overlay->setContentsMargins(15, 15, 0, 0);
    overlay->setSpacing(0);
    overlay->addLayout(top);
    overlay->addStretch();
    overlay->addLayout(bottom);
}

void MapWidget::retranslateToolTips()
{
    m_zoomInButton->setToolTip(translated(QT_TRANSLATE_NOOP("QObject", "Zoom in")));
    m_zoomInButton->setToolTipDuration(ToolTipDuration);
    m_zoomOutButton->setToolTip(translated(QT_TRANSLATE_NOOP("QObject", "Zoom out")));
    m_zoomOutButton->setToolTipDuration(ToolTipDuration);
    m_centreButton->setToolTip(tr("Centre on vehicle"));
    m_centreButton->setToolTipDuration(ToolTipDuration);
    m_fitButton->setToolTip(tr("Show whole route"));
    m_fitButton->setToolTipDuration(ToolTipDuration);
}

void MapWidget::updateRouteControls()
{
    const bool route = m_route != nullptr;
    m_centreButton->setVisible(route);
    m_fitButton->setVisible(route);
    // The legend at the top right, where it leaves room for the buttons beside it.
    const QSize legend = m_legend->sizeHint();
    const int left = m_mapControl->width() - LegendMargin - legend.width();
    m_legend->setGeometry(left, 15, legend.width(), legend.height());
    m_legend->setVisible(route && left >= 15 + m_zoomInButton->sizeHint().width() + LegendMargin);
}

void MapWidget::setSession(TripSession* session)
{
    if (m_session)
        m_session->disconnect(this);
    m_session = session ? session : m_ownSession;
    connect(m_session, &TripSession::filesParsed, this, &MapWidget::parsing_finished);
    connect(m_session, &TripSession::tripLoaded, this, [this](const TripDataPtr&) { clearRoute(); });
    connect(m_session, &TripSession::positionsReady, this, &MapWidget::showTrip);
    connect(m_session, &TripSession::positionChanged, this, &MapWidget::showPosition);
}

void MapWidget::on_setFilesSelected(std::shared_ptr<QStringList> files)
{
    if (!isFilesValid(files, "MapWidget::on_setFilesSelected"))
        return;
    m_session->selectFiles(std::move(files));
}

void MapWidget::on_setContentForNmeaReader(std::shared_ptr<Trip::TripList> trip)
{
    // No trip is a trip without positions: the view resets and says so.
    m_session->selectTrip(std::move(trip));
}

void MapWidget::on_PositionChange(qint64 ms)
{
    m_session->setPosition(ms);
}

void MapWidget::showTrip(const TripDataPtr& data)
{
    if (data && data->sharedPositions()) {
        onReady(data->sharedPositions());
        showPosition(m_session->position());
        return;
    }
    qCDebug(lcMap) << "MapWidget::showTrip: no positions for the trip";
    clearRoute();
    emit nmeaReady(nullptr);
}

void MapWidget::clearRoute()
{
    m_currentSecond = -1;
    if (!m_route && !m_positions)
        return;
    destroyRoutes();
    destroyMarkers();
    m_route.reset();
    m_positions.reset();
    m_fitPoints.clear();
    updateRouteControls();
    const QScopedValueRollback<bool> adjusting(m_adjustingView, true);
    setCenter(DefaultLongitude, DefaultLatitude, DefaultZoom);
}

void MapWidget::onReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
{
    if (!isPositionsValid(positions, "MapWidget::onReady"))
        return;
    m_currentSecond = -1;
    m_positions = positions;
    destroyRoutes();
    destroyMarkers();
    // Held by the shared pointer alone, not by a QObject parent as well.
    m_route = std::make_shared<Route>(nullptr, m_positions);
    m_routeLine = std::make_unique<RouteGeometry>(m_route);

    // The view fits the box around every valid position, which is the same as fitting all of
    // them, and the marker images around it.
    m_fitPoints.clear();
    const QRectF bounds = m_route->bounds();
    if (m_route->vehicleRecord(0) >= 0) {
        m_fitPoints.push_back(bounds.topLeft());
        m_fitPoints.push_back(bounds.bottomRight());
    }

    const QScopedValueRollback<bool> adjusting(m_adjustingView, true);
    createRoute(0);
    setViewAndZoomIn(m_fitPoints);
    createMarkers(0);
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        addBoundingBox(m_fitPoints, *marker);
    setViewAndZoomIn(m_fitPoints);
    m_following = true;
    updateRouteControls();
    emit nmeaReady(m_positions);
}

void MapWidget::showPosition(qint64 ms)
{
    if (!m_route)
        return;
    // The record every view shows at this position.
    const int second = TripTimeline::recordAt(ms, m_route->size());
    if (second == m_currentSecond || second < 0)
        return;
    m_currentSecond = second;
    showSecond(unsigned(second));
}

void MapWidget::showSecond(unsigned second)
{
    const bool repaint = changedVisibly(second);
    m_routeLine->setCurrent(second);
    moveVehicle(second);
    followVehicle();
    if (repaint)
        m_mapControl->updateView();
}

bool MapWidget::changedVisibly(unsigned to)
{
    const int drawn = m_routeLine->drawnSecond();
    const auto from = int(m_routeLine->current());
    if (drawn < 0)
        return true;
    // What changes colour lies between the records of the two seconds, the driven part
    // reaching up to two records beyond the second. Gathered since the last drawing, all of
    // it within a pixel looks the same.
    if (drawn == from)
        m_changed = Changed();
    const int first = std::min(from, int(to));
    const int last = std::min(std::max(from, int(to)) + 2, int(m_route->size()) - 1);
    if (last - first > SmallStep)
        return true;
    for (int record = first; record <= last; ++record) {
        if (m_route->hasCoordinate(std::size_t(record)))
            m_changed.add(display(std::size_t(record)));
    }
    if (m_changed.spansPixel())
        return true;
    const int before = m_route->vehicleRecord(unsigned(drawn));
    const int now = m_route->vehicleRecord(to);
    if (before == now)
        return false;
    return before < 0 || now < 0 || apart(display(std::size_t(before)), display(std::size_t(now)));
}

QPointF MapWidget::display(std::size_t record) const
{
    return m_mapAdapter->coordinateToDisplay(m_route->coordinate(record));
}

void MapWidget::moveVehicle(unsigned second)
{
    const int record = m_route->vehicleRecord(second);
    if (record < 0) {
        if (m_vehicle) {
            m_markersLayer->removeGeometry(m_vehicle.get());
            m_markers.erase(std::remove(m_markers.begin(), m_markers.end(), m_vehicle), m_markers.end());
            m_vehicle.reset();
        }
        return;
    }
    if (!m_vehicle) {
        if (m_route->createMarker(m_vehicle, Route::Vehicle, second)) {
            m_markers.push_back(m_vehicle);
            m_markersLayer->addGeometry(m_vehicle.get());
        }
        return;
    }
    // The map repaints when the move shows; the marker's own report would repaint every time.
    const QSignalBlocker blocker(m_vehicle.get());
    m_vehicle->setCoordinate(m_route->coordinate(std::size_t(record)));
}

void MapWidget::followVehicle()
{
    if (!m_following || !m_vehicle || !m_route)
        return;
    // While the whole route is in view, the vehicle is too.
    const QRectF viewport = m_mapControl->getViewport();
    const QRectF bounds = m_route->bounds();
    if (viewport.contains(bounds.topLeft()) && viewport.contains(bounds.bottomRight()))
        return;
    centreOn(m_vehicle->coordinate());
}

void MapWidget::centreOn(const QPointF& coordinate)
{
    const QPointF centre = m_mapAdapter->coordinateToDisplay(m_mapControl->currentCoordinate());
    if (!apart(centre, m_mapAdapter->coordinateToDisplay(coordinate)))
        return;
    const QScopedValueRollback<bool> adjusting(m_adjustingView, true);
    m_mapControl->setView(coordinate);
}

void MapWidget::centreOnVehicle()
{
    m_following = true;
    if (m_vehicle)
        centreOn(m_vehicle->coordinate());
}

void MapWidget::fitRoute()
{
    const QScopedValueRollback<bool> adjusting(m_adjustingView, true);
    setViewAndZoomIn(m_fitPoints);
}

void MapWidget::onViewChanged(const QPointF&, int zoom)
{
    const bool zoomed = zoom != m_viewZoom;
    m_viewZoom = zoom;
    // After the user's zoom the vehicle may be out of sight; the widget's own moves are final.
    if (zoomed && !m_adjustingView)
        followVehicle();
}

void MapWidget::onMapClicked(const QPoint& position)
{
    if (!m_route)
        return;
    const QPointF target = m_mapAdapter->coordinateToDisplay(m_mapControl->screenToCoordinate(position));

    // The nearest point of the route within reach, on the straight lines between the records' own
    // positions (the drawn line may leave records out), as the time between those two records.
    double best = ClickReach;
    double found = -1.0; // seconds
    std::size_t previous = 0;
    QPointF from;
    bool started = false;
    for (std::size_t record = 0; record < m_route->size(); ++record) {
        if (!m_route->hasCoordinate(record))
            continue;
        const QPointF to = m_mapAdapter->coordinateToDisplay(m_route->coordinate(record));
        if (!started)
            from = to;
        const QPointF d = to - from;
        const double length2 = QPointF::dotProduct(d, d);
        const double t =
            length2 > 0 ? std::clamp(QPointF::dotProduct(target - from, d) / length2, 0.0, 1.0) : 1.0;
        const double distance = QLineF(from + t * d, target).length();
        if (distance < best || (found < 0 && distance <= best)) {
            best = distance;
            found = started ? double(previous) + t * double(record - previous) : double(record);
        }
        previous = record;
        from = to;
        started = true;
    }
    if (found >= 0)
        emit positionSelected(std::llround(found * 1000.0));
}

std::vector<Route::Track> MapWidget::routes() const
{
    std::vector<Route::Track> tracks;
    if (m_route && m_routeLine)
        m_route->test(tracks, m_routeLine->current());
    return tracks;
}

void MapWidget::createRoute(unsigned second)
{
    if (!m_route || !m_routeLine)
        return;
    m_routeLine->setCurrent(second);
    m_routesLayer->addGeometry(m_routeLine.get());
    m_mapControl->addLayer(m_routesLayer);
}

void MapWidget::createMarkers(unsigned second)
{
    if (!m_route)
        return;
    m_route->setMarkers(m_markers, second);
    m_vehicle.reset();
    if (!m_markers.empty() && m_markers.back()->name() == QLatin1String("Vehicle"))
        m_vehicle = m_markers.back();
    m_mapControl->addLayer(m_markersLayer);
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        m_markersLayer->addGeometry(marker.get());
}

void MapWidget::destroyRoutes()
{
    if (m_routeLine)
        m_routesLayer->removeGeometry(m_routeLine.get());
    m_mapControl->removeLayer(m_routesLayer);
    m_routeLine.reset();
}

void MapWidget::destroyMarkers()
{
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        m_markersLayer->removeGeometry(marker.get());
    m_mapControl->removeLayer(m_markersLayer);
    m_markers.clear();
    m_vehicle.reset();
}

void MapWidget::setViewAndZoomIn(const std::list<QPointF>& points)
{
    // With nothing to show any zoom would do; the view stays where it is.
    if (!m_mapControl->layer(QStringLiteral("Routes")) || points.empty())
        return;
    while (!containsAll(points) && m_mapControl->currentZoom() > 0) {
        setMiddle(points);
        m_mapControl->zoomOut();
    }
    while (containsAll(points) && m_mapControl->currentZoom() < 17) {
        setMiddle(points);
        m_mapControl->zoomIn();
    }
    if (!containsAll(points))
        m_mapControl->zoomOut();
    update();
}

void MapWidget::setMiddle(const std::list<QPointF>& points)
{
    if (points.empty())
        return;
    const auto [minX, maxX] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    const auto [minY, maxY] = std::minmax_element(
        points.begin(), points.end(), [](const QPointF& a, const QPointF& b) { return a.y() < b.y(); });
    m_mapControl->setView(QPointF((minX->x() + maxX->x()) / 2, (minY->y() + maxY->y()) / 2));
}

bool MapWidget::containsAll(const std::list<QPointF>& points) const
{
    QRectF viewport = m_mapControl->getViewport();
    // The buttons lie over the map's left edge: what is fitted keeps clear of them, and as far
    // from the right edge, so it stays in the middle.
    const int width = m_mapControl->width();
    const int buttons = m_zoomInButton->geometry().right() + LegendMargin;
    if (width > 4 * buttons) {
        const double inset = viewport.width() * buttons / width;
        viewport.adjust(inset, 0, -inset, 0);
    }
    return std::all_of(points.begin(), points.end(),
                       [&viewport](const QPointF& p) { return viewport.contains(p); });
}

void MapWidget::setCenter(double x, double y, int zoom)
{
    m_mapControl->setView(QPointF(x, y));
    m_mapControl->setZoom(zoom);
}

void MapWidget::addBoundingBox(std::list<QPointF>& points, qmapcontrol::Point& marker)
{
    const qmapcontrol::MapAdapter* adapter = m_markersLayer->mapAdapter();
    if (!adapter)
        return;
    const QPointF p = adapter->coordinateToDisplay(marker.coordinate());
    const QSizeF size = marker.pixmap().size();
    const QPointF topLeft = qmapcontrol::Point::alignedTopLeft(p, size, marker.alignment());
    const QRectF box(topLeft, size);
    for (const QPointF& corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        points.push_back(adapter->displayToCoordinate(corner));
}

bool MapWidget::touches(qmapcontrol::Point* found, qmapcontrol::Point* probe,
                        const qmapcontrol::MapAdapter* adapter)
{
    if (!found || !probe || !adapter || !m_route || !m_routeLine)
        return false;
    const QPointF target = adapter->coordinateToDisplay(probe->coordinate());
    const std::vector<QPointF>& points = m_routeLine->displayPoints(*adapter);
    std::vector<Route::Part> parts;
    m_route->parts(parts, m_routeLine->current());
    // Pairwise along each drawn stretch: the first pair whose box, widened by 2 pixels, holds
    // the pointer gives the nearer of its two points. A lone point is a pair of itself.
    for (const Route::Part& part : parts) {
        for (int v = part.begin; v < part.end; ++v) {
            const int w = v + 1 < part.end ? v + 1 : v;
            if (w == v && part.end - part.begin > 1)
                break;
            const QPointF pa = points[std::size_t(v)];
            const QPointF pb = points[std::size_t(w)];
            if (!QRectF(pa, pb).normalized().adjusted(-2, -2, 2, 2).contains(target))
                continue;
            const int nearer = QLineF(pa, target).length() <= QLineF(pb, target).length() ? v : w;
            found->setCoordinate(m_route->vertices()[std::size_t(nearer)]);
            found->setName(m_route->vertexName(std::size_t(nearer)));
            return true;
        }
    }
    return false;
}

bool MapWidget::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const qmapcontrol::MapAdapter* adapter = m_mapAdapter;
    const QPointF centre = adapter->coordinateToDisplay(m_mapControl->currentCoordinate());
    const QPointF pointer = centre + (QPointF(help->pos()) - m_middle);
    const QPointF coordinate = adapter->displayToCoordinate(pointer);
    qmapcontrol::Point probe(coordinate.x(), coordinate.y());
    qmapcontrol::Point found(0, 0);
    if (touches(&found, &probe, adapter)) {
        QToolTip::showText(help->globalPos(), toolTipLocale(found.name()), this, QRect(), ToolTipDuration);
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

QString MapWidget::toolTipLocale(const QString& text)
{
    if (text.isEmpty())
        return QStringLiteral("NaN");
    const QStringList pieces = text.split(QLatin1Char('\n'));
    // The recorded wall-clock time, shown as the clock label shows it: shifted by the time offset,
    // with the whole year and the seconds.
    const QDateTime recorded(QDate::fromString(pieces.value(0), Qt::TextDate),
                             QTime::fromString(pieces.value(1), Qt::TextDate), Qt::UTC);
    QString result = Units::clockTimeText(recorded);
    // The record writes its speed in the C locale; every measured speed is shown, 1 m/s too.
    if (pieces.size() >= 3 && !pieces.at(2).isEmpty())
        result += QLatin1Char('\n') + speedLocaleToString(pieces.at(2).toDouble());
    return result;
}

QString MapWidget::speedLocaleToString(double metresPerSecond)
{
    // One decimal, and none where it is 0: "12.5 km/h", "12 km/h".
    const double value = std::round(Units::speedValue(metresPerSecond) * 10.0) / 10.0;
    return QString::number(value, 'g', 6) + Units::speedUnitText();
}

void MapWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (size() == m_widgetSize)
        return;
    m_widgetSize = size();
    m_mapControl->resize(m_widgetSize);
    m_middle = QPointF(width() / 2.0, height() / 2.0);
    updateRouteControls();
}

void MapWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Form"));
        retranslateToolTips();
        updateRouteControls();
    }
    QWidget::changeEvent(event);
}

bool MapWidget::isPositionsValid(const Positions& positions, const std::string& caller)
{
    if (positions && !positions->empty())
        return true;
    qCDebug(lcMap) << caller.c_str() << "no positions";
    return false;
}

bool MapWidget::isFilesValid(const std::shared_ptr<QStringList>& files, const std::string& caller)
{
    if (files && !files->isEmpty())
        return true;
    qCDebug(lcMap) << caller.c_str() << "no files";
    return false;
}
