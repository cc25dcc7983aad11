#include "../nmea/nmeafixture.h"
#include "extendedmapcontrol.h"
#include "imagepoint.h"
#include "layer.h"
#include "mapwidget.h"
#include "mapwidgetconfig.h"
#include "nmeagaps.h"
#include "osmmapquestadapter.h"
#include "point.h"
#include "qnmeapositioninfo.h"
#include "route.h"
#include "routelegend.h"
#include "units.h"

#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QToolTip>
#include <QTranslator>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// Per-second trip records on a straight line to the north-east: record i lies Step degrees further
// in both directions than record i - 1 and one second later.
namespace RouteFixture {

constexpr double Longitude0 = 9.9;
constexpr double Latitude0 = 49.8;
constexpr double Step = 0.0005;

QDateTime start()
{
    return QDateTime(QDate(2024, 3, 1), QTime(10, 0, 0));
}

QNmeaPositionInfo record(int i)
{
    QNmeaPositionInfo r(QNmeaCoordinate(Latitude0 + i * Step, Longitude0 + i * Step), start().addSecs(i));
    r.setMarker(QNmeaPositionInfo::Fix, true);
    r.setAttribute(QNmeaPositionInfo::GroundSpeed, 10.0);
    return r;
}

QNmeaPositionInfo invalid(int i)
{
    return QNmeaPositionInfo(QNmeaCoordinate(), start().addSecs(i));
}

std::shared_ptr<std::vector<QNmeaPositionInfo>> line(int count)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < count; ++i)
        v->push_back(record(i));
    return v;
}

// The record a point of the line was made from.
int indexOf(double longitude)
{
    return int(std::lround((longitude - Longitude0) / Step));
}

} // namespace RouteFixture

using namespace qmapcontrol;
using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;
using Setup = std::function<void(std::vector<QNmeaPositionInfo>&)>;
Q_DECLARE_METATYPE(Setup)

namespace {

QString penName(const QPen* pen)
{
    const std::vector<std::pair<const QPen*, const char*>> names{
        {&MapWidgetConfig::activeRoutePen, "active"},
        {&MapWidgetConfig::inactiveRoutePen, "inactive"},
        {&MapWidgetConfig::eventRoutePen, "event"},
        {&MapWidgetConfig::lostActiveRoutePen, "lostActive"},
        {&MapWidgetConfig::lostInactiveRoutePen, "lostInactive"},
        {&MapWidgetConfig::lostRoutePen, "lostEvent"},
        {&MapWidgetConfig::longNmeaGapPen, "gap"},
    };
    for (const auto& [candidate, name] : names) {
        if (candidate == pen)
            return QString::fromLatin1(name);
    }
    return QStringLiteral("?");
}

// "active[0..11] inactive[12..59]": each track's pen and the records of its points.
QString describe(const std::vector<Route::Track>& tracks)
{
    QStringList parts;
    for (const Route::Track& track : tracks) {
        QStringList runs;
        int first = 0;
        int last = 0;
        bool open = false;
        const auto close = [&] {
            if (open)
                runs << (first == last ? QString::number(first)
                                       : QStringLiteral("%1..%2").arg(first).arg(last));
        };
        for (const QPointF& point : track.points) {
            const int index = RouteFixture::indexOf(point.x());
            if (open && index == last + 1) {
                last = index;
                continue;
            }
            close();
            first = last = index;
            open = true;
        }
        close();
        parts << penName(track.pen) + '[' + runs.join(',') + ']';
    }
    return parts.join(' ');
}

// "active gap×11 inactive": the pens in drawing order, repeats counted.
QString penSequence(const std::vector<Route::Track>& tracks)
{
    QStringList names;
    int repeats = 0;
    for (std::size_t i = 0; i < tracks.size(); ++i) {
        ++repeats;
        if (i + 1 < tracks.size() && tracks[i + 1].pen == tracks[i].pen)
            continue;
        names << penName(tracks[i].pen) + (repeats > 1 ? QStringLiteral("×%1").arg(repeats) : QString());
        repeats = 0;
    }
    return names.join(' ');
}

void mark(std::vector<QNmeaPositionInfo>& v, int from, int to, QNmeaPositionInfo::Markers marker, bool value)
{
    for (int i = from; i <= to; ++i)
        v[std::size_t(i)].setMarker(marker, value);
}

Positions positionsFrom(const QSignalSpy& spy, int index = 0)
{
    return spy.at(index).at(0).value<Positions>();
}

QStringList layerNames(const MapWidget& widget)
{
    return widget.mapControl()->layerNames();
}

// Counts the paintings of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    // Paintings since the last take, once every pending update has been painted.
    int take()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
        return std::exchange(m_count, 0);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        m_count += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }

private:
    int m_count = 0;
};

// Press, a few moves with the button held, release.
void drag(QWidget* widget, const QPoint& from, const QPoint& to)
{
    const auto send = [widget](QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                               Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 4; ++i)
        send(QEvent::MouseMove, from + (to - from) * i / 4, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

QPointF screenOf(const ExtendedMapControl& control, const QNmeaPositionInfo& record)
{
    return control.coordinateToScreen(
        QPointF(record.coordinate().longitude(), record.coordinate().latitude()));
}

QRect boxIn(const QWidget* child, const QWidget* ancestor)
{
    return {child->mapTo(ancestor, QPoint(0, 0)), child->size()};
}

bool near(const QColor& a, const QColor& b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// A half-transparent colour over an opaque one.
QColor blend(const QColor& over, const QColor& under)
{
    const double a = over.alphaF();
    return QColor::fromRgbF(over.redF() * a + under.redF() * (1 - a),
                            over.greenF() * a + under.greenF() * (1 - a),
                            over.blueF() * a + under.blueF() * (1 - a));
}

// Whether some pixel of `area` shows `colour`.
bool shows(const QImage& image, const QRect& area, const QColor& colour, int tolerance)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (near(image.pixelColor(x, y), colour, tolerance))
                return true;
        }
    }
    return false;
}

// A square of points around (longitude, latitude), `span` degrees wide.
Positions square(double longitude, double latitude, double span)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    for (int i = 0; i < 4; ++i) {
        const double x = longitude + ((i & 1) ? span / 2 : -span / 2);
        const double y = latitude + ((i & 2) ? span / 2 : -span / 2);
        QNmeaPositionInfo r(QNmeaCoordinate(y, x), RouteFixture::start().addSecs(i));
        r.setMarker(QNmeaPositionInfo::Fix, true);
        v->push_back(r);
    }
    return v;
}

} // namespace

// The map panel: the route of a trip at a playing second (its tracks in their pens, the filled
// long gaps, the three markers), parsing the chosen files, the view that fits the route, the
// tooltips and the zoom buttons.
class TestMapWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        qputenv("XDG_CACHE_HOME", m_home.filePath("cache").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_home.filePath("config").toUtf8());
        // Port 9 on the loopback address: tiles are refused at once, nothing leaves the machine.
        qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    }

    void cleanup() { Units::setDisplayLocale(QLocale::c()); }

    void tracksAtSecond_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<unsigned>("current");
        QTest::addColumn<QString>("expected");

        const Setup none = [](std::vector<QNmeaPositionInfo>&) {};
        QTest::newRow("all fix, second 10") << none << 10u << "active[0..11] inactive[12..59]";
        QTest::newRow("all fix, second 0") << none << 0u << "active[0..1] inactive[2..59]";
        QTest::newRow("last second") << none << 59u << "active[0..59]";
        QTest::newRow("beyond the end") << none << 500u << "active[0..59]";

        const Setup event = [](auto& v) { mark(v, 20, 29, QNmeaPositionInfo::Event, true); };
        QTest::newRow("event, before it")
            << event << 0u << "active[0..1] inactive[2..19] event[20..29] inactive[30..59]";
        QTest::newRow("event, inside it") << event << 25u << "active[0..19] event[20..29] inactive[30..59]";
        QTest::newRow("event, after it") << event << 59u << "active[0..19] event[20..29] active[30..59]";

        const Setup lost = [](auto& v) { mark(v, 10, 14, QNmeaPositionInfo::Fix, false); };
        QTest::newRow("no fix ahead")
            << lost << 0u << "active[0..1] inactive[2..9] lostInactive[10..15] inactive[14..59]";
        QTest::newRow("no fix, partly driven") << lost << 12u
                                               << "active[0..9] lostActive[10..13] lostInactive[12..15] "
                                                  "inactive[14..59]";

        const Setup lostEvent = [](auto& v) {
            mark(v, 20, 29, QNmeaPositionInfo::Event, true);
            mark(v, 20, 24, QNmeaPositionInfo::Fix, false);
        };
        QTest::newRow("event without fix") << lostEvent << 0u
                                           << "active[0..1] inactive[2..19] lostEvent[20..25] event[25..29] "
                                              "inactive[30..59]";

        const Setup videoGap = [](auto& v) {
            v[29].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
            v[30].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
        };
        QTest::newRow("pause between videos") << videoGap << 59u << "active[0..29,31..59]";
        QTest::newRow("pause between videos, driven up to it")
            << videoGap << 28u << "active[0..29] inactive[31..59]";

        const Setup noPosition = [](auto& v) { v[30] = RouteFixture::invalid(30); };
        QTest::newRow("record without position")
            << noPosition << 40u << "active[0..29] lostActive[31] active[31..41] inactive[42..59]";

        const Setup lostStart = [](auto& v) { mark(v, 0, 4, QNmeaPositionInfo::Fix, false); };
        QTest::newRow("no fix at the start, second 0")
            << lostStart << 0u << "lostInactive[0..5] inactive[4..59]";
        QTest::newRow("no fix at the start, second 1")
            << lostStart << 1u << "lostActive[0..2] lostInactive[1..5] inactive[4..59]";
    }

    void tracksAtSecond()
    {
        QFETCH(Setup, setup);
        QFETCH(unsigned, current);
        QFETCH(QString, expected);

        const Positions positions = RouteFixture::line(60);
        setup(*positions);
        Route route(nullptr, positions);
        std::vector<Route::Track> tracks;
        QVERIFY(route.test(tracks, current));
        QCOMPARE(describe(tracks), expected);
    }

    void longPositionGaps()
    {
        // 30 records, a hole of some seconds, 30 more further along the same line:
        // above 5 s the hole gets a dot a second between its two sides, and the
        // line runs on across it.
        for (const auto& [gapSeconds, filled] : {std::pair{5, 0}, {6, 5}, {12, 11}}) {
            auto positions = RouteFixture::line(60);
            for (int i = 30; i < 60; ++i)
                (*positions)[std::size_t(i)].setTimestamp(RouteFixture::start().addSecs(i - 1 + gapSeconds));
            Nmea::detectLongGaps(*positions, nullptr);
            Route route(nullptr, positions);
            std::vector<Route::Track> tracks;
            QVERIFY(route.test(tracks, 59));

            int dots = 0;
            std::vector<Route::Track> line;
            for (const Route::Track& track : tracks) {
                if (track.pen != &MapWidgetConfig::longNmeaGapPen) {
                    line.push_back(track);
                    continue;
                }
                ++dots;
                QCOMPARE(int(track.points.size()), 1);
                const double longitude = track.points.front().x();
                QVERIFY(longitude > (*positions)[29].coordinate().longitude() &&
                        longitude < (*positions)[30].coordinate().longitude());
            }
            QCOMPARE(dots, filled);
            QCOMPARE(describe(line), QStringLiteral("active[0..59]"));
        }

        // The dots are drawn between the driven part and the part ahead when the gap lies
        // between them, so the half-transparent strokes overlap the same way whatever the second.
        auto positions = RouteFixture::line(60);
        for (int i = 30; i < 60; ++i)
            (*positions)[std::size_t(i)].setTimestamp(RouteFixture::start().addSecs(i + 11));
        Nmea::detectLongGaps(*positions, nullptr);
        Route route(nullptr, positions);
        for (const auto& [current, sequence] : {std::pair{10u, "active gap×11 inactive"},
                                                {28u, "gap×11 active inactive"},
                                                {59u, "gap×11 active"}}) {
            std::vector<Route::Track> tracks;
            QVERIFY(route.test(tracks, current));
            QCOMPARE(penSequence(tracks), QString::fromUtf8(sequence));
        }
    }

    void markers_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<unsigned>("current");
        QTest::addColumn<QString>("expected");

        const auto invalidate = [](int from, int to) {
            return Setup([from, to](std::vector<QNmeaPositionInfo>& v) {
                for (int i = from; i <= to; ++i)
                    v[std::size_t(i)] =
                        QNmeaPositionInfo(QNmeaCoordinate(), RouteFixture::start().addSecs(i));
            });
        };
        QTest::newRow("all valid") << invalidate(1, 0) << 10u << "Beginning@0 End@59 Vehicle@10";
        QTest::newRow("vehicle at the start") << invalidate(1, 0) << 0u << "Beginning@0 End@59 Vehicle@0";
        QTest::newRow("invalid start") << invalidate(0, 4) << 0u << "Beginning@5 End@59 Vehicle@5";
        QTest::newRow("invalid stretch under the vehicle")
            << invalidate(40, 49) << 45u << "Beginning@0 End@59 Vehicle@50";
        QTest::newRow("second beyond the last valid record")
            << invalidate(50, 59) << 55u << "Beginning@0 End@49";
        QTest::newRow("second beyond the trip") << invalidate(1, 0) << 60u << "Beginning@0 End@59";
        QTest::newRow("no valid coordinate") << invalidate(0, 59) << 10u << "";
    }

    void markers()
    {
        QFETCH(Setup, setup);
        QFETCH(unsigned, current);
        QFETCH(QString, expected);

        const Positions positions = RouteFixture::line(60);
        setup(*positions);
        Route route(nullptr, positions);
        std::vector<std::shared_ptr<Point>> markers;
        route.setMarkers(markers, current);

        QStringList found;
        for (const std::shared_ptr<Point>& marker : markers) {
            found << marker->name() + '@' + QString::number(RouteFixture::indexOf(marker->longitude()));
            // The pins stand on their place, the vehicle's spot is centred on it.
            QCOMPARE(marker->alignment(), marker->name() == "Vehicle" ? Point::Middle : Point::BottomMiddle);
        }
        QCOMPARE(found.join(' '), expected);
    }

    void eventOnlyWhereAnEventRecordingCovers_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QList<int>>("firstRecords");
        QTest::addColumn<QList<int>>("startSeconds");
        QTest::addColumn<QString>("expected");

        // Ordinary recordings of 10:00:00 and 10:00:20, an event recording of 10:00:14 between
        // them as the trip plays them; the assembly marks the event and everything of the
        // recording after it.
        const QString a = "/card/Normal/001_0001_20240301100000.mp4";
        const QString e = "/card/EVENT/001_0001_20240301100014.mp4";
        const QString b = "/card/Normal/001_0002_20240301100020.mp4";
        QTest::newRow("recording after an event")
            << QStringList{a, e, b} << QList<int>{0, 20, 30} << QList<int>{0, 14, 20}
            << "active[0..1] inactive[2..19] event[20..33] inactive[34..59]";
        const QString e2 = "/card/EVENT/001_0002_20240301100024.mp4";
        QTest::newRow("two events in a row")
            << QStringList{a, e, e2, b} << QList<int>{0, 20, 30, 40} << QList<int>{0, 14, 24, 30}
            << "active[0..1] inactive[2..19] event[20..43] inactive[44..59]";
        QTest::newRow("recording after the event's end")
            << QStringList{a, e, b} << QList<int>{0, 20, 30} << QList<int>{0, 14, 24}
            << "active[0..1] inactive[2..19] event[20..29] inactive[30..59]";
    }

    void eventOnlyWhereAnEventRecordingCovers()
    {
        QFETCH(QStringList, files);
        QFETCH(QList<int>, firstRecords);
        QFETCH(QList<int>, startSeconds);
        QFETCH(QString, expected);

        const Positions positions = RouteFixture::line(60);
        for (int f = 0; f < files.size(); ++f) {
            const int end = f + 1 < files.size() ? firstRecords[f + 1] : 60;
            for (int i = firstRecords[f]; i < end; ++i) {
                QNmeaPositionInfo& r = (*positions)[std::size_t(i)];
                r.setFileName(files[f]);
                r.setTimestamp(RouteFixture::start().addSecs(startSeconds[f] + i - firstRecords[f]));
                r.setMarker(QNmeaPositionInfo::Event,
                            files[f].contains("EVENT") || (f > 0 && files[f - 1].contains("EVENT")));
            }
        }
        Route route(nullptr, positions);
        std::vector<Route::Track> tracks;
        QVERIFY(route.test(tracks, 0));
        QCOMPARE(describe(tracks), expected);
        // Whatever the second, the event stays where it is.
        tracks.clear();
        QVERIFY(route.test(tracks, 59));
        QCOMPARE(describe(tracks).count("event["), 1);
    }

    void unparsedTripResetsTheViewAndNothingToParse()
    {
        MapWidget widget;
        show(widget);
        QSignalSpy ready(&widget, &MapWidget::nmeaReady);
        widget.onReady(square(139.7, 35.7, 0.01));
        QCOMPARE(ready.count(), 1);
        QVERIFY(widget.mapControl()->currentZoom() > 5);
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));

        auto trip = std::make_shared<Trip::TripList>();
        trip->push_back({60000, false, m_home.filePath("001_0001_20240301100000.mp4"),
                         m_home.filePath("001_0001_20240301100000.nmea")});
        widget.on_setContentForNmeaReader(trip);
        QTRY_COMPARE(ready.count(), 2);
        QVERIFY(!positionsFrom(ready, 1));
        QCOMPARE(widget.mapControl()->currentZoom(), 5);
        QCOMPARE(widget.mapControl()->currentCoordinate().x(), 9.949208);
        QCOMPARE(widget.mapControl()->currentCoordinate().y(), 49.79226);
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer"}));
        QVERIFY(widget.routes().empty());
        QVERIFY(widget.markers().empty());

        // Playing on draws nothing of the old trip.
        widget.on_PositionChange(3000);
        QVERIFY(widget.routes().empty());

        // No trip at all is the same.
        widget.on_setContentForNmeaReader(nullptr);
        QTRY_COMPARE(ready.count(), 3);
        QVERIFY(!positionsFrom(ready, 2));

        // No files to parse start no parser; a missing file still runs it to its end.
        QSignalSpy finished(&widget, &MapWidget::parsing_finished);
        widget.on_setFilesSelected(nullptr);
        widget.on_setFilesSelected(std::make_shared<QStringList>());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 0);
        auto* thread = widget.findChild<QThread*>(QStringLiteral("NmeaParser_Thread"));
        QVERIFY(!thread || !thread->isRunning());
        widget.on_setFilesSelected(
            std::make_shared<QStringList>(QStringList{m_home.filePath("missing.nmea")}));
        QTRY_COMPARE(finished.count(), 1);
    }

    void redrawOncePerSecond()
    {
        MapWidget widget;
        show(widget);
        PaintCounter paints(widget.mapControl());
        const Positions positions = RouteFixture::line(60);
        widget.onReady(positions);
        QCOMPARE(widget.currentSecond(), -1);
        paints.take();

        struct Step
        {
            qint64 ms;
            int second;
            bool redraw;
        };
        // A second lasts from its first to its last millisecond; past the last record the
        // vehicle stays on it.
        const std::vector<Step> steps{
            {0, 0, true},       {499, 0, false},     {500, 0, false},   {999, 0, false},    {1000, 1, true},
            {1999, 1, false},   {2000, 2, true},     {10000, 10, true}, {10200, 10, false}, {59499, 59, true},
            {59999, 59, false}, {900000, 59, false}, {-300, 0, true}};
        for (const Step& step : steps) {
            widget.on_PositionChange(step.ms);
            QCOMPARE(widget.currentSecond(), step.second);
            QVERIFY2((paints.take() > 0) == step.redraw, qPrintable(QString::number(step.ms)));
        }
    }

    // The view that fits a route keeps its pins clear of the buttons over the map's left edge,
    // for a route from west to east (which fills the map's width), whatever its size.
    void fittedRouteClearOfTheButtons_data()
    {
        QTest::addColumn<double>("span");
        for (double span = 0.002; span < 0.03; span *= 1.37)
            QTest::addRow("%.4f degrees", span) << span;
    }

    void fittedRouteClearOfTheButtons()
    {
        QFETCH(double, span);
        MapWidget widget;
        show(widget);
        auto positions = std::make_shared<std::vector<QNmeaPositionInfo>>();
        for (int i = 0; i <= 10; ++i) {
            QNmeaPositionInfo r(QNmeaCoordinate(49.79 + (i % 2) * span / 10, 9.95 - span / 2 + i * span / 10),
                                RouteFixture::start().addSecs(i));
            r.setMarker(QNmeaPositionInfo::Fix, true);
            positions->push_back(r);
        }
        widget.onReady(positions);
        auto* fit = widget.mapControl()->findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
        QVERIFY(fit && fit->isVisible());
        for (int round = 0; round < 2; ++round) {
            const ExtendedMapControl& control = *widget.mapControl();
            for (const std::shared_ptr<Point>& marker : widget.markers()) {
                const QPointF at = control.coordinateToScreen(marker->coordinate());
                const QRectF pin(Point::alignedTopLeft(at, marker->pixmap().size(), marker->alignment()),
                                 marker->pixmap().size());
                for (const QPushButton* button : control.findChildren<QPushButton*>()) {
                    QVERIFY2(!button->isVisible() || !pin.intersects(button->geometry()),
                             qPrintable(marker->name() + QStringLiteral(" on ") + button->objectName()));
                }
            }
            // The same after the user has looked elsewhere and asks for the whole route again.
            widget.mapControl()->zoomIn();
            fit->click();
        }
    }

    void zoomToFit_data()
    {
        QTest::addColumn<double>("longitude");
        QTest::addColumn<double>("latitude");
        QTest::addColumn<double>("span");
        QTest::addColumn<int>("zoom");

        QTest::newRow("a few metres") << 9.95 << 49.79 << 0.0001 << 17;
        QTest::newRow("the globe") << 0.0 << 0.0 << 340.0 << 0;
        QTest::newRow("a town") << 9.95 << 49.79 << 0.05 << -1;
        QTest::newRow("near the date line") << 179.0 << -40.0 << 1.0 << -1;
    }

    void zoomToFit()
    {
        QFETCH(double, longitude);
        QFETCH(double, latitude);
        QFETCH(double, span);
        QFETCH(int, zoom);

        MapWidget widget;
        show(widget);
        const Positions positions = square(longitude, latitude, std::min(span, 160.0));
        if (span > 160.0) {
            // Longitudes from -170 to 170 and latitudes of ±80.
            for (std::size_t i = 0; i < positions->size(); ++i) {
                (*positions)[i].setCoordinate(QGeoCoordinate((i & 2) ? 80 : -80, (i & 1) ? 170 : -170));
            }
        }
        widget.onReady(positions);
        const ExtendedMapControl& control = *widget.mapControl();
        if (zoom >= 0)
            QCOMPARE(control.currentZoom(), zoom);

        // Every position is in view, and so is every marker's image (within a pixel) ...
        const auto allInView = [&](double margin) {
            const QRectF view =
                QRectF(QPointF(0, 0), QSizeF(control.size())).adjusted(-margin, -margin, margin, margin);
            for (const QNmeaPositionInfo& r : *positions) {
                if (!view.contains(control.coordinateToScreen(
                        QPointF(r.coordinate().longitude(), r.coordinate().latitude()))))
                    return false;
            }
            for (const std::shared_ptr<Point>& marker : widget.markers()) {
                const QPointF p = control.coordinateToScreen(marker->coordinate());
                if (!view.contains(
                        QRectF(Point::alignedTopLeft(p, marker->pixmap().size(), marker->alignment()),
                               marker->pixmap().size())))
                    return false;
            }
            return true;
        };
        QVERIFY(allInView(1));
        // ... and one level closer would cut something off.
        widget.mapControl()->zoomIn();
        QVERIFY(zoom >= 0 || !allInView(0));
    }

    void toolTipTexts()
    {
        // A record's clock time as the clock label shows it (the display locale's date with the
        // whole year, seconds, shifted by the time offset), and its speed with one decimal, none
        // where it is 0, in the chosen unit; 1 m/s is a speed like any other.
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        for (const auto& [speed, shown] :
             {std::pair{"10", "\n36 km/h"}, {"", ""}, {"1", "\n3.6 km/h"}, {"5.14444", "\n18.5 km/h"}}) {
            QNmeaPositionInfo record(QNmeaCoordinate(49.8, 9.9),
                                     QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9), Qt::UTC));
            if (*speed)
                record.setAttribute(QNmeaPositionInfo::GroundSpeed, QString(speed).toDouble());
            QCOMPARE(MapWidget::toolTipLocale(record.tooltip()),
                     QStringLiteral("01.03.2024 14:05:09") + shown);
        }
        Units::setClockOffsetSeconds(-15 * 3600);
        QNmeaPositionInfo early(QNmeaCoordinate(49.8, 9.9),
                                QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9), Qt::UTC));
        QCOMPARE(MapWidget::toolTipLocale(early.tooltip()), QStringLiteral("29.02.2024 23:05:09"));
        Units::setClockOffsetSeconds(0);
        QCOMPARE(MapWidget::toolTipLocale(QString()), QStringLiteral("NaN"));
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
        QCOMPARE(MapWidget::speedLocaleToString(10.0), QStringLiteral("22.4 mph"));
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    }

    void selectionToRoute()
    {
        QTemporaryDir folder;
        const QDateTime start(QDate(2024, 3, 1), QTime(10, 0, 0));
        const std::shared_ptr<Trip::TripList> trip = writeTrip(folder.path(), start, 2);
        const std::shared_ptr<Trip::TripList> other = writeTrip(folder.path(), start.addSecs(-3600), 2);
        QVERIFY(trip && other);

        MapWidget widget;
        show(widget);
        QSignalSpy finished(&widget, &MapWidget::parsing_finished);
        QSignalSpy ready(&widget, &MapWidget::nmeaReady);
        // A new selection replaces a long parse still running: only the end of the latest request
        // counts, and that request is served.
        QStringList many;
        for (int i = 0; i < 200; ++i)
            many << other->at(std::size_t(i % 2)).nmeaFile;
        widget.on_setFilesSelected(std::make_shared<QStringList>(many));
        QTest::qWait(5);
        widget.on_setFilesSelected(
            std::make_shared<QStringList>(QStringList{trip->at(0).nmeaFile, trip->at(1).nmeaFile}));
        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);

        widget.on_setContentForNmeaReader(trip);
        QTRY_COMPARE(ready.count(), 1);
        const Positions positions = positionsFrom(ready);
        QVERIFY(positions);
        QCOMPARE(int(positions->size()), 120);
        for (std::size_t i = 0; i < positions->size(); ++i) {
            const QNmeaPositionInfo& r = (*positions)[i];
            QCOMPARE(r.timestamp(), start.toUTC().addSecs(qint64(i))); // the times written in the files
            QVERIFY(r.marker(QNmeaPositionInfo::Fix) && !r.marker(QNmeaPositionInfo::Event));
            QCOMPARE(RouteFixture::indexOf(r.coordinate().longitude()), int(i));
            QVERIFY(r.hasAttribute(QNmeaPositionInfo::AccelerationX));
        }
        QCOMPARE((*positions)[0].fileName(), trip->at(0).videoFile);
        QCOMPARE((*positions)[119].fileName(), trip->at(1).videoFile);

        // The whole trip drawn as not yet driven but for its start, with its three markers.
        QCOMPARE(layerNames(widget), QStringList({"OpenStreetMapQuest-Layer", "Routes", "Markers"}));
        QCOMPARE(int(widget.markers().size()), 3);
        std::size_t points = 0;
        for (const Route::Track& track : widget.routes())
            points += track.points.size();
        QCOMPARE(points, std::size_t(120));
        QVERIFY(widget.mapControl()->currentZoom() > 10);
        widget.on_PositionChange(90400);
        QCOMPARE(RouteFixture::indexOf(widget.markers().back()->longitude()), 90);
    }

    void followsTheVehicle()
    {
        MapWidget widget;
        show(widget);
        const Positions positions = RouteFixture::line(600);
        widget.onReady(positions);
        ExtendedMapControl& control = *widget.mapControl();
        const QPointF middle(control.width() / 2.0, control.height() / 2.0);
        const auto vehicleOffCentre = [&] {
            return QLineF(control.coordinateToScreen(widget.markers().back()->coordinate()), middle).length();
        };
        QVERIFY(widget.isFollowing());

        // While the whole trip is in view, nothing needs to move.
        const QPointF fitted = control.currentCoordinate();
        const int fittedZoom = control.currentZoom();
        widget.on_PositionChange(100000);
        QCOMPARE(control.currentCoordinate(), fitted);

        // Zoomed in, the view keeps the vehicle in its middle, at once and second by second, and
        // the user sees it there.
        auto* zoomIn = widget.findChild<QPushButton*>(QStringLiteral("zoomInButton"));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(zoomIn, Qt::LeftButton);
        QCOMPARE(control.currentZoom(), fittedZoom + 3);
        QVERIFY(vehicleOffCentre() < 1.5);
        const QImage hotSpot = widget.markers().back()->pixmap().toImage();
        const QColor vehicleColour = hotSpot.pixelColor(hotSpot.width() / 2, hotSpot.height() / 2);
        for (const qint64 ms : {101000, 102000, 250000}) {
            widget.on_PositionChange(ms);
            QVERIFY2(vehicleOffCentre() < 1.5, qPrintable(QString::number(ms)));
            QVERIFY(near(control.grab().toImage().pixelColor(middle.toPoint()), vehicleColour, 8));
        }

        // Dragging the map ends following; the view stays where the user put it.
        drag(&control, middle.toPoint(), middle.toPoint() + QPoint(80, 40));
        QVERIFY(!widget.isFollowing());
        const QPointF dragged = control.currentCoordinate();
        QVERIFY(vehicleOffCentre() > 50);
        widget.on_PositionChange(260000);
        QTest::mouseClick(zoomIn, Qt::LeftButton);
        QCOMPARE(control.currentCoordinate(), dragged);

        // The centre button brings the vehicle back and follows on.
        auto* centre = widget.findChild<QPushButton*>(QStringLiteral("centreButton"));
        QVERIFY(centre && centre->isVisible());
        QTest::mouseClick(centre, Qt::LeftButton);
        QVERIFY(widget.isFollowing());
        QVERIFY(vehicleOffCentre() < 1.5);
        widget.on_PositionChange(270000);
        QVERIFY(vehicleOffCentre() < 1.5);

        // The fit button shows the whole trip again.
        auto* fit = widget.findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
        QVERIFY(fit && fit->isVisible());
        QTest::mouseClick(fit, Qt::LeftButton);
        QCOMPARE(control.currentZoom(), fittedZoom);
        const QRectF view(QPointF(0, 0), QSizeF(control.size()));
        for (const std::size_t i : {std::size_t(0), std::size_t(300), std::size_t(599)})
            QVERIFY(view.contains(screenOf(control, (*positions)[i])));

        // A new trip is followed again.
        drag(&control, middle.toPoint(), middle.toPoint() + QPoint(-30, 0));
        QVERIFY(!widget.isFollowing());
        widget.onReady(RouteFixture::line(60));
        QVERIFY(widget.isFollowing());
    }

    void clickOnTheRouteSeeks()
    {
        MapWidget widget;
        show(widget);
        const Positions positions = RouteFixture::line(60);
        widget.onReady(positions);
        ExtendedMapControl& control = *widget.mapControl();
        QSignalSpy seek(&widget, &MapWidget::positionSelected);
        const auto at = [&](int record) { return screenOf(control, (*positions)[std::size_t(record)]); };
        const QPointF along = at(31) - at(30);
        const QPointF across = QPointF(-along.y(), along.x()) / QLineF(QPointF(), along).length();

        // A click a little beside the line seeks to the point of the line nearest to it; the
        // click lands on whole pixels, so within one pixel's share of a second.
        const double msPerPixel = 1000.0 / QLineF(QPointF(), along).length();
        QTest::mouseClick(&control, Qt::LeftButton, {}, (at(30) + 0.3 * along + 3 * across).toPoint());
        QCOMPARE(seek.count(), 1);
        QVERIFY2(std::abs(seek.at(0).at(0).toLongLong() - 30300) <= msPerPixel,
                 qPrintable(seek.at(0).at(0).toString()));

        // A hand's tremor between press and release is still a click, and the map stays put.
        const QPointF view = control.currentCoordinate();
        drag(&control, at(20).toPoint(), at(20).toPoint() + QPoint(2, -1));
        QCOMPARE(seek.count(), 2);
        QVERIFY2(std::abs(seek.at(1).at(0).toLongLong() - 20000) <= 3 * msPerPixel,
                 qPrintable(seek.at(1).at(0).toString()));
        QCOMPARE(control.currentCoordinate(), view);

        // Over the route the tooltip shows its record; away from it none.
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        QHelpEvent hit(QEvent::ToolTip, at(30).toPoint(), control.mapToGlobal(at(30).toPoint()));
        QVERIFY(QCoreApplication::sendEvent(&widget, &hit));
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), QStringLiteral("01.03.2024 10:00:30\n36 km/h"));
        const QPoint away(5, widget.height() - 5);
        QHelpEvent miss(QEvent::ToolTip, away, widget.mapToGlobal(away));
        QCoreApplication::sendEvent(&widget, &miss);
        QVERIFY(!miss.isAccepted());
        QTRY_VERIFY(!QToolTip::isVisible());

        // Away from the route nothing happens; a drag along it pans without seeking.
        QTest::mouseClick(&control, Qt::LeftButton, {}, (at(30) + 40 * across).toPoint());
        drag(&control, at(10).toPoint(), at(40).toPoint());
        QCOMPARE(seek.count(), 2);
        QVERIFY(control.currentCoordinate() != view);
    }

    // Close up, the click's time is the nearest point's, between two records; the records' own
    // positions count, also where the drawn line leaves one out (the first record after a pause
    // between videos).
    void clickSeeksToTheNearestRecordedPoint()
    {
        MapWidget widget;
        show(widget);
        const Positions positions = RouteFixture::line(60);
        (*positions)[39].setMarker(QNmeaPositionInfo::VideoGapBegin, true);
        (*positions)[40].setMarker(QNmeaPositionInfo::VideoGapEnd, true);
        widget.onReady(positions);
        ExtendedMapControl& control = *widget.mapControl();
        control.setZoom(control.currentZoom() + 3);
        QSignalSpy seek(&widget, &MapWidget::positionSelected);
        const auto at = [&](int record) { return screenOf(control, (*positions)[std::size_t(record)]); };
        const auto clickAt = [&](int record, double share, double aside) {
            const QGeoCoordinate c = (*positions)[std::size_t(record)].coordinate();
            control.setView(QPointF(c.longitude(), c.latitude()));
            const QPointF along = at(record + 1) - at(record);
            const QPointF across = QPointF(-along.y(), along.x()) / QLineF(QPointF(), along).length();
            QTest::mouseClick(&control, Qt::LeftButton, {},
                              (at(record) + share * along + aside * across).toPoint());
            return 1000.0 / QLineF(QPointF(), along).length(); // ms per pixel
        };

        double msPerPixel = clickAt(50, 0.6, -7.0);
        QVERIFY2(msPerPixel < 100.0, qPrintable(QString::number(msPerPixel)));
        QCOMPARE(seek.count(), 1);
        QVERIFY2(std::abs(seek.at(0).at(0).toLongLong() - 50600) <= msPerPixel,
                 qPrintable(seek.at(0).at(0).toString()));
        msPerPixel = clickAt(40, 0.1, 2.0);
        QCOMPARE(seek.count(), 2);
        QVERIFY2(std::abs(seek.at(1).at(0).toLongLong() - 40100) <= msPerPixel,
                 qPrintable(seek.at(1).at(0).toString()));
        // Beyond the last record, the end of the route; out of reach, nothing.
        clickAt(58, 1.0 + 4.0 * msPerPixel / 1000.0, 0.0); // 4 px past the end
        QCOMPARE(seek.count(), 3);
        QCOMPARE(seek.at(2).at(0).toLongLong(), 59000);
        clickAt(50, 0.5, 9.0);
        QCOMPARE(seek.count(), 3);
    }

    void routeControlsAndLegend()
    {
        MapWidget widget;
        show(widget);
        auto* legend = widget.findChild<RouteLegend*>();
        auto* centre = widget.findChild<QPushButton*>(QStringLiteral("centreButton"));
        auto* fit = widget.findChild<QPushButton*>(QStringLiteral("fitRouteButton"));
        auto* zoomOut = widget.findChild<QPushButton*>(QStringLiteral("zoomOutButton"));
        auto* label = widget.findChild<QLabel*>(QStringLiteral("copyrightLabel"));
        QVERIFY(legend && centre && fit && zoomOut && label);
        QCOMPARE(widget.mapControl()->currentZoom(), 5);
        QTest::mouseClick(zoomOut, Qt::LeftButton);
        QCOMPARE(widget.mapControl()->currentZoom(), 4);

        // The attribution, with its link, sits at the bottom right whether or not tiles arrive.
        QVERIFY(label->isVisible());
        QTextDocument document;
        document.setHtml(label->text());
        QCOMPARE(document.toPlainText(), QString::fromUtf8("\u00a9 OpenStreetMap contributors, ODbL"));
        QVERIFY(label->text().contains("href=\"https://www.openstreetmap.org/copyright\""));
        QCOMPARE(boxIn(label, &widget).bottomRight(), widget.rect().bottomRight());

        // Without a route there is nothing to explain or to centre on.
        QVERIFY(!legend->isVisible() && !centre->isVisible() && !fit->isVisible());
        widget.onReady(RouteFixture::line(60));
        QVERIFY(legend->isVisible() && centre->isVisible() && fit->isVisible());
        QCOMPARE(centre->toolTip(), QStringLiteral("Centre on vehicle"));
        QCOMPARE(fit->toolTip(), QStringLiteral("Show whole route"));

        // The route's buttons below the zoom pair; the legend at the top right, clear of the
        // buttons and of the attribution.
        QCOMPARE(boxIn(centre, &widget).left(), 15);
        QVERIFY(boxIn(centre, &widget).top() > boxIn(zoomOut, &widget).bottom());
        QVERIFY(boxIn(fit, &widget).top() > boxIn(centre, &widget).bottom());
        const QRect key = boxIn(legend, &widget);
        QVERIFY(key.right() < widget.width() && key.right() > widget.width() - 30);
        QVERIFY(key.top() < 30);
        // Whatever the language and the width of the map, a legend shown covers nothing else.
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        QTranslator russian;
        QVERIFY(russian.load(QStringLiteral(":/resources/translations/trans_ru_RU.qm")));
        for (QTranslator* language : {static_cast<QTranslator*>(nullptr), &german, &russian}) {
            if (language)
                QCoreApplication::installTranslator(language);
            QCoreApplication::processEvents();
            for (const int width : {120, 260, 400}) {
                widget.resize(width, 300);
                QCoreApplication::processEvents();
                if (!legend->isVisible())
                    continue;
                const QRect shown = boxIn(legend, &widget);
                QVERIFY(shown.right() < widget.width());
                QVERIFY(shown.width() >= legend->sizeHint().width());
                for (const QWidget* other :
                     std::initializer_list<const QWidget*>{label, fit, centre, zoomOut})
                    QVERIFY2(!shown.intersects(boxIn(other, &widget)), qPrintable(other->objectName()));
            }
            QVERIFY(legend->isVisible());
            if (language)
                QCoreApplication::removeTranslator(language);
        }

        // In German the labels and the tooltips follow.
        QCoreApplication::installTranslator(&german);
        QCOMPARE(RouteLegend::label(RouteLegend::NoFix), QStringLiteral("Kein GPS-Empfang"));
        QTRY_COMPARE(centre->toolTip(), QStringLiteral("Auf Fahrzeug zentrieren"));
        QCoreApplication::removeTranslator(&german);
        QTRY_COMPARE(fit->toolTip(), QStringLiteral("Show whole route"));
    }

    // The route and the legend as the user sees them, without tiles.
    void routeAndLegendOnScreen()
    {
        MapWidget widget;
        show(widget);
        const Positions positions = RouteFixture::line(60);
        mark(*positions, 20, 33, QNmeaPositionInfo::Event, true);
        widget.onReady(positions);
        widget.on_PositionChange(10000);
        const ExtendedMapControl& control = *widget.mapControl();
        const QImage shot = widget.grab().toImage();

        // The route lies on the plain background: driven, ahead, the event, and ahead again.
        const QColor ground = MapControl::backgroundColor();
        const std::vector<std::pair<int, QColor>> expected{
            {5, MapWidgetConfig::activeRouteColor},    {16, MapWidgetConfig::inactiveRouteColor},
            {25, MapWidgetConfig::eventRouteColor},    {32, MapWidgetConfig::eventRouteColor},
            {40, MapWidgetConfig::inactiveRouteColor}, {52, MapWidgetConfig::inactiveRouteColor}};
        for (const auto& [record, colour] : expected) {
            const QColor seen =
                shot.pixelColor(screenOf(control, (*positions)[std::size_t(record)]).toPoint());
            QVERIFY2(near(seen, blend(colour, ground), 12),
                     qPrintable(QStringLiteral("record %1: %2").arg(record).arg(seen.name())));
        }
        // The vehicle is drawn on its place.
        const std::shared_ptr<Point>& vehicle = widget.markers().back();
        const QImage hotSpot = vehicle->pixmap().toImage();
        QVERIFY(near(shot.pixelColor(control.coordinateToScreen(vehicle->coordinate()).toPoint()),
                     hotSpot.pixelColor(hotSpot.width() / 2, hotSpot.height() / 2), 8));

        // The legend's samples in the route's colours, on its half-transparent box.
        auto* legend = widget.findChild<RouteLegend*>();
        QVERIFY(legend && legend->isVisible());
        const QColor box = blend(QColor(255, 255, 255, 200), ground);
        const QPoint origin = legend->mapTo(&widget, QPoint(0, 0));
        const std::vector<std::pair<RouteLegend::Row, QColor>> samples{
            {RouteLegend::Driven, MapWidgetConfig::activeRouteColor},
            {RouteLegend::Ahead, MapWidgetConfig::inactiveRouteColor},
            {RouteLegend::Event, MapWidgetConfig::eventRouteColor},
            {RouteLegend::NoFix, MapWidgetConfig::activeRouteColor},
            {RouteLegend::NoFix, MapWidgetConfig::inactiveRouteColor},
            {RouteLegend::BridgedGap, MapWidgetConfig::longNmeaGapColor}};
        for (const auto& [row, colour] : samples) {
            const QRect area = legend->sampleRect(row).translated(origin);
            QVERIFY2(shows(shot, area, blend(colour, box), 6), qPrintable(RouteLegend::label(row)));
            QVERIFY2(!shows(shot, area, MapWidgetConfig::eventRouteColor, 60) || row == RouteLegend::Event,
                     qPrintable(RouteLegend::label(row)));
        }
        // The box lets the map show through.
        QVERIFY(near(shot.pixelColor(origin + QPoint(2, legend->height() / 2)), box, 6));
    }

private:
    void show(MapWidget& widget)
    {
        widget.resize(400, 300);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QCOMPARE(widget.mapControl()->size(), QSize(400, 300));
    }
    std::shared_ptr<Trip::TripList> writeTrip(const QString& folder, const QDateTime& start, int files)
    {
        auto trip = std::make_shared<Trip::TripList>();
        for (int f = 0; f < files; ++f) {
            const QDateTime fileStart = start.addSecs(60 * f);
            const QString base = QStringLiteral("%1/001_%2_%3")
                                     .arg(folder)
                                     .arg(f + 1, 4, 10, QLatin1Char('0'))
                                     .arg(fileStart.toString("yyyyMMddHHmmss"));
            QStringList lines;
            for (int s = 0; s < 60; ++s) {
                const int i = 60 * f + s;
                const QDateTime t = fileStart.addSecs(s).toUTC();
                const double lat = RouteFixture::Latitude0 + i * RouteFixture::Step;
                const double lon = RouteFixture::Longitude0 + i * RouteFixture::Step;
                lines << Fixture::rmc(t.time(), t.date(), lat, lon, 20.0 + s % 5, 45.0)
                      << Fixture::gga(t.time(), lat, lon, 180.0 + s)
                      << Fixture::pztrx(t.time(), 0.1 * (s % 3), -0.2);
            }
            if (!Fixture::write(base + ".nmea", lines))
                return nullptr;
            trip->push_back({60000, false, base + ".mp4", base + ".nmea"});
        }
        return trip;
    }

    QTemporaryDir m_home;
};

QTEST_MAIN(TestMapWidget)
#include "tst_mapwidget.moc"
