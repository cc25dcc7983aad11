#pragma once

#include "datapoint.h"
#include "tripitem.h"

#include <QDateTime>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class QPainter;

// The whole trip's speed and accelerations against time, with the playing position and the
// borders of event recordings. Axes carry round tick values in the display units, a legend
// names the curves, and seconds without data are gaps in their curve.
//
// The curves, axes and borders are drawn once per change of data, size, language or units
// into a cached image, each curve reduced to the first, lowest, highest and last point of
// every pixel column; a new playing position only draws that image and the cursor.
class Graph : public QWidget
{
    Q_OBJECT
public:
    // One labelled value of an axis: the value in the display unit and its row.
    struct Tick
    {
        double value;
        int y;
    };

    explicit Graph(QWidget* parent = nullptr);

    // Time runs from the plot's left edge (0) to its right edge (the trip's length, or the last
    // sample's time when that is later); the cursor and the curves share this mapping.
    int time_to_pixel(qint64 time) const;
    int speed_to_pixel(double speed) const;
    int acceleration_to_pixel(double acceleration) const;
    // The time whose samples lie under column x (rounded down); 0 outside the plot.
    qint64 pixel_to_time(int x) const;
    // The earliest time whose cursor is drawn in column x, within the plot.
    qint64 pixel_to_position(int x) const;
    double pixel_to_speed(int y) const;
    double pixel_to_acceleration(int y) const;
    QPoint speed_to_QPoint(const DataPoint& sample) const;
    QPoint acceleration_x_to_QPoint(const DataPoint& sample) const;
    QPoint acceleration_y_to_QPoint(const DataPoint& sample) const;
    int overlay_time_to_pixel(qint64 time) const;

    // The clock time at the sample's second, shifted by the time offset, when a clock source
    // knows it (else the position on the trip), then speed and accelerations.
    QString make_tooltip(const DataPoint& sample) const;
    // The recording's clock time at a trip position (a wall-clock value held as UTC; invalid
    // when unknown), as the control panel's clock label gets it.
    void setClockSource(std::function<QDateTime(qint64)> source) { m_clockSource = std::move(source); }

    // Speed (m/s) at the top of the plot.
    double speedScale() const;
    // Distance between two ticks, in the display units.
    double speedTickStep() const;
    double accelerationTickStep() const;
    std::vector<Tick> speedTicks() const;
    std::vector<Tick> accelerationTicks() const;
    QRect plotRect() const;
    qint64 timeScale() const;
    bool hasAcceleration() const { return m_hasAcceleration; }
    const std::vector<qint64>& eventBorders() const { return m_eventBorders; }
    // The playing position the cursor marks.
    qint64 position() const { return m_position; }

    // Off: every paint draws all samples directly, without the cached image (for comparison).
    void setCurveCacheEnabled(bool enabled);
    bool curveCacheEnabled() const { return m_cacheEnabled; }

public slots:
    void new_nmea_data(std::shared_ptr<std::vector<DataPoint>> data);
    void setMedia(std::shared_ptr<Trip::TripList> trip);
    void current_video_position_changed(qint64 position);
    void current_video_length_changed(qint64 length);

signals:
    // A click on the plot: the trip position (ms) under the pointer.
    void seekRequested(qint64 position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Everything the mappings need; computed from the size, the font, the units and the data.
    struct Layout
    {
        QSize size;
        int fontPixels = 0;
        int speedUnit = -1;
        int accelerationUnit = -1;
        quint64 generation = 0;
        quint64 version = 0; // counts recomputations

        QRect plot;
        int zeroY = 0;
        double speedTop = 1.0;             // m/s at the plot's top
        double speedStep = 1.0;            // display unit per tick
        int speedTicks = 1;                // ticks above the zero line
        double tickPixels = 1.0;           // distance between two grid lines
        double accelerationPerPixel = 0.0; // m/s² per pixel; 0 without accelerations
        double accelerationStep = 0.0;     // display unit per tick
    };

    const Layout& layout() const;
    int xOf(const Layout& l, qint64 time) const;
    static int speedYOf(const Layout& l, double speed);
    static int accelerationYOf(const Layout& l, double acceleration);
    void invalidate();
    void paintStatic(QPainter& painter, bool reduced) const;
    void draw_legend(QPainter& painter) const;
    void draw_coordinate_system(QPainter& painter) const;
    void draw_axes(QPainter& painter) const;
    void draw_data(QPainter& painter, bool reduced) const;
    void draw_position(QPainter& painter) const;
    void draw_event_borders(QPainter& painter) const;
    void showSampleTooltip(int x, const QPoint& globalPos);

    std::shared_ptr<std::vector<DataPoint>> m_data;
    std::function<QDateTime(qint64)> m_clockSource;
    std::vector<qint64> m_eventBorders;
    double m_maxSpeed = 0.0;        // m/s, of the valid speeds
    double m_maxAcceleration = 0.0; // m/s², of the valid accelerations
    double m_minAcceleration = 0.0;
    qint64 m_lastSampleTime = 0;
    qint64 m_position = 0;
    qint64 m_length = 0;
    bool m_hasAcceleration = true;

    quint64 m_generation = 1; // changes with everything the picture depends on besides layout
    mutable Layout m_layout;
    bool m_cacheEnabled = true;
    QImage m_cache;
    quint64 m_cacheVersion = 0; // layout version the cached image was drawn for
};
