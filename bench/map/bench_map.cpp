// Prints what the map costs for a trip of one and of ten hours: the full rebuild when the trip's
// positions arrive, and the update per second of playback, with and without the repaint it
// causes.

#include "extendedmapcontrol.h"
#include "mapwidget.h"
#include "osmmapquestadapter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

using Positions = std::shared_ptr<std::vector<QNmeaPositionInfo>>;

// One record per second of a drive at about 50 km/h that winds gently eastwards, in files of
// one minute, with the local-time stamps the parser makes.
Positions drive(int seconds)
{
    auto v = std::make_shared<std::vector<QNmeaPositionInfo>>();
    v->reserve(std::size_t(seconds));
    const QDateTime start(QDate(2024, 5, 1), QTime(6, 0));
    double latitude = 48.1;
    double longitude = 11.5;
    QString file;
    for (int s = 0; s < seconds; ++s) {
        const double heading = 1.2 + 0.8 * std::sin(s / 600.0);
        latitude += 0.000125 * std::cos(heading);
        longitude += 0.000188 * std::sin(heading);
        if (s % 60 == 0)
            file = QStringLiteral("/card/Normal/001_%1_%2.mp4")
                       .arg(s / 60 + 1, 4, 10, QLatin1Char('0'))
                       .arg(start.addSecs(s).toString(QStringLiteral("yyyyMMddHHmmss")));
        QNmeaPositionInfo r(QNmeaCoordinate(latitude, longitude), start.addSecs(s));
        r.setMarker(QNmeaPositionInfo::Fix, s % 900 > 20);
        r.setAttribute(QNmeaPositionInfo::GroundSpeed, 13.9);
        r.setFileName(file);
        v->push_back(r);
    }
    return v;
}

// Counts the paintings of a widget.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

struct Figures
{
    double mean = 0;
    double median = 0;
};

template <typename F> Figures timeEach(int count, F&& step)
{
    std::vector<double> times;
    QElapsedTimer timer;
    for (int i = 0; i < count; ++i) {
        timer.start();
        step(i);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    Figures f;
    for (const double t : times)
        f.mean += t;
    f.mean /= count;
    std::nth_element(times.begin(), times.begin() + count / 2, times.end());
    f.median = times[std::size_t(count / 2)];
    return f;
}

// Plays `steps` seconds from `from` on: the update alone, and the update with the repaint it
// asks for.
void play(MapWidget& widget, int from, const char* what)
{
    constexpr int Steps = 300;
    PaintCounter paints(widget.mapControl());
    const Figures update = timeEach(Steps, [&](int i) { widget.on_PositionChange(qint64(from + i) * 1000); });
    QCoreApplication::processEvents();
    paints.count = 0;
    const Figures shown = timeEach(Steps, [&](int i) {
        widget.on_PositionChange(qint64(from + Steps + i) * 1000);
        QCoreApplication::processEvents();
    });
    std::printf("    %-26s update %.3f ms (median %.3f); with repaints %.3f ms (median %.3f), "
                "%d repaints in %d s\n",
                what, update.mean, update.median, shown.mean, shown.median, paints.count, Steps);
}

void measure(int hours)
{
    const int seconds = hours * 3600;
    const Positions positions = drive(seconds);
    MapWidget widget;
    widget.resize(480, 360);
    widget.show();
    QCoreApplication::processEvents();

    // The rebuild: route, markers and the fitted view, then the first painting.
    const Figures rebuild = timeEach(3, [&](int) { widget.onReady(positions); });
    QElapsedTimer timer;
    timer.start();
    widget.repaint();
    const double firstPaint = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%2d h (%5d records): rebuild %.2f ms, first paint %.2f ms; per second of playback:\n", hours,
                seconds, rebuild.mean, firstPaint);

    play(widget, seconds / 4, "whole trip in view:");
    // Zoomed in close, the view follows the vehicle and the whole map moves each second.
    for (int i = 0; i < 6; ++i)
        widget.mapControl()->zoomIn();
    play(widget, seconds / 2,
         qPrintable(QStringLiteral("zoom %1, following:").arg(widget.mapControl()->currentZoom())));
}

} // namespace

int main(int argc, char* argv[])
{
    // No tiles: the figures are the route's, not the network's.
    qputenv(OSMMapQuestAdapter::TileServerVariable, "http://127.0.0.1:9/%1/%2/%3.png");
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    QApplication app(argc, argv);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    const QByteArray zone = qgetenv("TZ");
    std::printf("Map (TZ %s)\n", zone.isNull() ? "unset" : zone.constData());
    measure(1);
    measure(10);
    return 0;
}
