#include "mapwidget.h"

#include "extendedmapcontrol.h"
#include "geometrylayer.h"
#include "linestring.h"
#include "maplayer.h"
#include "mapwidgetconfig.h"
#include "nmeaparser.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "route.h"
#include "stylesheet.h"
#include "units.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int ToolTipDuration = 5000;

QString translated(const char* text)
{
    return QCoreApplication::translate("QObject", text);
}

} // namespace

MapWidget::MapWidget(QWidget* parent)
    : QWidget(parent), m_mapControl(new ExtendedMapControl()), m_mapAdapter(new OSMMapQuestAdapter(this)),
      m_mapLayer(new qmapcontrol::MapLayer(QStringLiteral("OpenStreetMapQuest-Layer"), m_mapAdapter, this)),
      m_routesLayer(new qmapcontrol::GeometryLayer(QStringLiteral("Routes"), m_mapAdapter, this)),
      m_markersLayer(new qmapcontrol::GeometryLayer(QStringLiteral("Markers"), m_mapAdapter, this)),
      m_parserThread(new QThread(this)), m_parser(std::make_unique<NmeaParser>())
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

    // The parser thread runs for the widget's whole life and takes one queued parse call per
    // request. Starting the thread per request and stopping it at the end of each parse would
    // lose a request made while the previous parse winds down: start() does nothing on a thread
    // that is still running.
    m_parserThread->setObjectName(QStringLiteral("NmeaParser_Thread"));
    m_parser->moveToThread(m_parserThread);
    connect(m_parser.get(), &NmeaParser::parsingRequested, m_parser.get(), &NmeaParser::doParsing,
            Qt::QueuedConnection);
    connect(m_parser.get(), &NmeaParser::parsingFinished, this, &MapWidget::onparsingFinished,
            Qt::QueuedConnection);
    connect(m_parser.get(), &NmeaParser::ready, this, &MapWidget::onReady, Qt::QueuedConnection);
    connect(&m_watcher, &QFutureWatcher<bool>::finished, this, &MapWidget::parsingTripFinished);
}

MapWidget::~MapWidget()
{
    m_parser->abort();
    if (m_watcher.isRunning())
        m_watcher.cancel();
    m_parserThread->quit();
    m_parserThread->wait();
    m_watcher.waitForFinished();
    m_watcher.disconnect(this);
    destroyRoutes();
    destroyMarkers();
    m_route.reset();
    m_parser.reset();
}

void MapWidget::addZoomButtons()
{
    m_zoomInButton = new QPushButton(m_mapControl);
    m_zoomInButton->setObjectName(QStringLiteral("zoomInButton"));
    m_zoomOutButton = new QPushButton(m_mapControl);
    m_zoomOutButton->setObjectName(QStringLiteral("zoomOutButton"));
    m_copyrightLabel = new QLabel(m_mapControl);
    m_copyrightLabel->setObjectName(QStringLiteral("copyrightLabel"));

    QFont labelFont = font();
    labelFont.setPointSize(8);
    m_copyrightLabel->setFont(labelFont);
    m_copyrightLabel->setAlignment(Qt::AlignRight);
    m_copyrightLabel->setTextFormat(Qt::RichText);
    m_copyrightLabel->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    m_copyrightLabel->setOpenExternalLinks(true);
    m_copyrightLabel->setText(QString::fromUtf8(MapWidgetConfig::copyrightsText));

    QString styleSheet;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/zoomInButton.qss"), styleSheet))
        m_zoomInButton->setStyleSheet(styleSheet);
    if (Design::loadStyleSheet(QStringLiteral(":/resources/zoomOutButton.qss"), styleSheet))
        m_zoomOutButton->setStyleSheet(styleSheet);
    if (Design::loadStyleSheet(QStringLiteral(":/resources/copyrightLabel.qss"), styleSheet))
        m_copyrightLabel->setStyleSheet(styleSheet);

    connect(m_zoomInButton, &QPushButton::clicked, m_mapControl, &ExtendedMapControl::zoomIn);
    connect(m_zoomOutButton, &QPushButton::clicked, m_mapControl, &ExtendedMapControl::zoomOut);
    retranslateToolTips();

    auto* buttons = new QVBoxLayout();
    buttons->setSpacing(0);
    buttons->addWidget(m_zoomInButton);
    buttons->addWidget(m_zoomOutButton);
    auto* top = new QHBoxLayout();
    top->setSpacing(0);
    top->addLayout(buttons);
    top->addStretch();
    auto* bottom = new QHBoxLayout();
    bottom->setSpacing(0);
    bottom->addStretch();
    bottom->addWidget(m_copyrightLabel);

    // Laid over the map: the buttons at the top left, the attribution at the bottom right.
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
}

void MapWidget::on_setFilesSelected(std::shared_ptr<QStringList> files)
{
    if (!isFilesValid(files, "MapWidget::on_setFilesSelected"))
        return;
    if (!m_parserThread->isRunning())
        m_parserThread->start();
    ++m_pendingParses;
    m_parser->requestParsing(files);
}

void MapWidget::onparsingFinished()
{
    // An aborted parse reports its end too; the selection counts as parsed only when the
    // latest request is done.
    if (m_pendingParses > 0)
        --m_pendingParses;
    if (m_pendingParses == 0)
        emit parsing_finished();
}

void MapWidget::on_setContentForNmeaReader(std::shared_ptr<Trip::TripList> trip)
{
    if (m_watcher.isRunning()) {
        m_watcher.cancel();
        m_watcher.waitForFinished();
    }
    m_watcher.setFuture(QtConcurrent::run(this, &MapWidget::parseTrip, trip));
}

bool MapWidget::parseTrip(std::shared_ptr<Trip::TripList> trip)
{
    const std::string caller = "MapWidget::parseTrip";
    if (!isTripValid(trip, caller))
        return true;
    return !isRequestedParsedFileFound(trip, caller);
}

bool MapWidget::isRequestedParsedFileFound(std::shared_ptr<Trip::TripList> trip, const std::string& caller)
{
    const bool found = m_parser->requestParsed(trip);
    if (!found)
        qDebug() << caller.c_str() << "no positions for the trip";
    return found;
}

void MapWidget::parsingTripFinished()
{
    m_currentSecond = -1;
    if (m_watcher.isCanceled() || !m_watcher.result())
        return;
    destroyRoutes();
    destroyMarkers();
    m_route.reset();
    m_positions.reset();
    m_fitPoints.clear();
    setCenter(DefaultLongitude, DefaultLatitude, DefaultZoom);
    emit nmeaReady(nullptr);
}

void MapWidget::onReady(std::shared_ptr<std::vector<QNmeaPositionInfo>> positions)
{
    if (!isPositionsValid(positions, "MapWidget::onReady"))
        return;
    m_positions = positions;
    m_fitPoints.clear();
    for (const QNmeaPositionInfo& record : *m_positions) {
        const QGeoCoordinate coordinate = record.coordinate();
        if (coordinate.isValid())
            m_fitPoints.emplace_back(coordinate.longitude(), coordinate.latitude());
    }

    destroyRoutes();
    destroyMarkers();
    // Held by the shared pointer alone, not by a QObject parent as well.
    m_route = std::make_shared<Route>(nullptr, m_positions);

    createRoute(0);
    setViewAndZoomIn(m_fitPoints);
    createMarkers(0);
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        addBoundingBox(m_fitPoints, *marker);
    setViewAndZoomIn(m_fitPoints);
    emit nmeaReady(m_positions);
}

void MapWidget::on_PositionChange(qint64 ms)
{
    const auto second = unsigned((std::max<qint64>(ms, 0) + 500) / 1000);
    if (int(second) == m_currentSecond)
        return;
    m_currentSecond = int(second);
    if (!m_positions || second >= m_positions->size())
        return;
    destroyRoutes();
    destroyMarkers();
    createRoute(second);
    createMarkers(second);
    m_mapControl->updateView();
}

void MapWidget::createRoute(unsigned second)
{
    if (!m_route)
        return;
    m_route->setRoutes(m_routes, second);
    m_routePoints.clear();
    for (const std::shared_ptr<qmapcontrol::LineString>& line : m_routes) {
        m_routesLayer->addGeometry(line.get());
        const QList<qmapcontrol::Point*> points = line->points();
        m_routePoints.insert(m_routePoints.end(), points.begin(), points.end());
    }
    m_mapControl->addLayer(m_routesLayer);
}

void MapWidget::createMarkers(unsigned second)
{
    if (!m_route)
        return;
    m_route->setMarkers(m_markers, second);
    m_mapControl->addLayer(m_markersLayer);
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        m_markersLayer->addGeometry(marker.get());
}

void MapWidget::destroyRoutes()
{
    for (const std::shared_ptr<qmapcontrol::LineString>& line : m_routes)
        m_routesLayer->removeGeometry(line.get());
    m_mapControl->removeLayer(m_routesLayer);
    // The points go with their lines.
    m_routePoints.clear();
    m_routes.clear();
}

void MapWidget::destroyMarkers()
{
    for (const std::shared_ptr<qmapcontrol::Point>& marker : m_markers)
        m_markersLayer->removeGeometry(marker.get());
    m_mapControl->removeLayer(m_markersLayer);
    m_markers.clear();
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
    const QRectF viewport = m_mapControl->getViewport();
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
    if (!found || !probe || !adapter || m_routePoints.size() < 2)
        return false;
    const QPointF target = adapter->coordinateToDisplay(probe->coordinate());
    for (std::size_t i = 0; i + 1 < m_routePoints.size(); ++i) {
        const qmapcontrol::Point* a = m_routePoints[i];
        const qmapcontrol::Point* b = m_routePoints[i + 1];
        const QPointF pa = adapter->coordinateToDisplay(a->coordinate());
        const QPointF pb = adapter->coordinateToDisplay(b->coordinate());
        if (!QRectF(pa, pb).normalized().adjusted(-2, -2, 2, 2).contains(target))
            continue;
        const qmapcontrol::Point* nearer = QLineF(pa, target).length() <= QLineF(pb, target).length() ? a : b;
        found->setCoordinate(nearer->coordinate());
        found->setName(nearer->name());
        return true;
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
    const QDate date = QDate::fromString(pieces.value(0), Qt::TextDate);
    const QTime time = QTime::fromString(pieces.value(1), Qt::TextDate);
    QString result = Units::dateText(date) + QLatin1Char('\n') + Units::timeText(time);
    if (pieces.size() >= 3 && !pieces.at(2).isEmpty()) {
        // The record writes its speed in the C locale.
        const double speed = pieces.at(2).toDouble();
        if (speed != 1.0)
            result += QLatin1Char('\n') + speedLocaleToString(speed);
    }
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
}

void MapWidget::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        setWindowTitle(tr("Form"));
        retranslateToolTips();
    }
    QWidget::changeEvent(event);
}

bool MapWidget::isTripValid(const std::shared_ptr<Trip::TripList>& trip, const std::string& caller)
{
    if (trip && !trip->empty())
        return true;
    qDebug() << caller.c_str() << "no trip";
    return false;
}

bool MapWidget::isPositionsValid(const Positions& positions, const std::string& caller)
{
    if (positions && !positions->empty())
        return true;
    qDebug() << caller.c_str() << "no positions";
    return false;
}

bool MapWidget::isFilesValid(const std::shared_ptr<QStringList>& files, const std::string& caller)
{
    if (files && !files->isEmpty())
        return true;
    qDebug() << caller.c_str() << "no files";
    return false;
}
