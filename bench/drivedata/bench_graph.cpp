// Prints the graph's repaint time for a position change at 1 h and 10 h of samples, with and
// without accelerations, for the cached picture and for drawing every sample, and what that
// costs per second of playback. Also the time to turn the positions into samples and figures.

#include "dataprocessor.h"
#include "graph.h"
#include "tripstatistics.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// The player reports the position about four times a second.
constexpr int ReportsPerSecond = 4;

std::vector<QNmeaPositionInfo> drive(int seconds, bool accelerations)
{
    std::vector<QNmeaPositionInfo> positions;
    positions.reserve(std::size_t(seconds));
    const QDateTime start(QDate(2024, 5, 1), QTime(6, 0, 0));
    double lat = 48.0;
    for (int i = 0; i < seconds; ++i) {
        const double speed = std::max(0.0, 14.0 + 12.0 * std::sin(i / 300.0) + 2.0 * std::sin(i * 0.7));
        lat += speed / 111320.0;
        QNmeaPositionInfo p(QNmeaCoordinate(lat, 11.0), start.addSecs(i));
        p.setMarker(QNmeaPositionInfo::Fix, true);
        p.setAttribute(QGeoPositionInfo::GroundSpeed, speed);
        p.setAttribute(QGeoPositionInfo::Direction, 10.0);
        if (accelerations) {
            p.setAttribute(QNmeaPositionInfo::AccelerationX, std::sin(i / 40.0));
            p.setAttribute(QNmeaPositionInfo::AccelerationY, std::cos(i / 17.0));
        }
        p.setFileName(QStringLiteral("/card/Normal/%1.mp4").arg(i / 60));
        positions.push_back(p);
    }
    return positions;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("TZ=%s\n",
                qEnvironmentVariableIsSet("TZ") ? qPrintable(qEnvironmentVariable("TZ")) : "(unset)");
    std::printf("%-6s %-14s %-8s %12s %14s %12s\n", "trip", "accelerations", "drawing", "repaint ms",
                "ms per play s", "new data ms");
    for (int hours : {1, 10}) {
        for (bool accelerations : {true, false}) {
            const std::vector<QNmeaPositionInfo> positions = drive(hours * 3600, accelerations);
            QElapsedTimer timer;
            timer.start();
            const auto samples = DataProcessor::process(positions);
            const double processMs = timer.nsecsElapsed() / 1e6;
            timer.restart();
            const TripStatistics statistics = TripStatistics::fromPositions(positions);
            const double statisticsMs = timer.nsecsElapsed() / 1e6;
            std::printf("%2d h: samples %.1f ms, statistics %.1f ms (%.1f km)\n", hours, processMs,
                        statisticsMs, statistics.distance / 1000.0);

            for (bool cached : {true, false}) {
                Graph graph;
                graph.setCurveCacheEnabled(cached);
                graph.resize(640, 180);
                graph.show();
                graph.new_nmea_data(samples);
                graph.current_video_length_changed(qint64(hours) * 3600000);
                QCoreApplication::processEvents();
                // New samples: the first repaint draws the picture again.
                graph.new_nmea_data(samples);
                timer.restart();
                graph.repaint();
                const double first = timer.nsecsElapsed() / 1e6;
                std::vector<double> times;
                const int rounds = cached ? 200 : 10;
                for (int i = 0; i < rounds; ++i) {
                    graph.current_video_position_changed(qint64(i) * 250);
                    timer.restart();
                    graph.repaint();
                    times.push_back(timer.nsecsElapsed() / 1e6);
                }
                const double ms = median(times);
                std::printf("%-6s %-14s %-8s %12.3f %14.3f %12.1f\n",
                            qPrintable(QStringLiteral("%1 h").arg(hours)), accelerations ? "yes" : "no",
                            cached ? "cached" : "direct", ms, ms * ReportsPerSecond, first);
            }
        }
    }
    return 0;
}
