#pragma once

#include "datapoint.h"
#include "tripitem.h"

#include <QPoint>
#include <QWidget>

#include <memory>
#include <vector>

class QPainter;

// The whole trip's speed and accelerations against time, with the playing position and the
// borders of event recordings.
class Graph : public QWidget
{
    Q_OBJECT
public:
    explicit Graph(QWidget* parent = nullptr);

    int time_to_pixel(qint64 time) const;
    int speed_to_pixel(double speed) const;
    int acceleration_to_pixel(double acceleration) const;
    qint64 pixel_to_time(int x) const;
    double pixel_to_speed(int y) const;
    double pixel_to_acceleration(int y) const;
    QPoint speed_to_QPoint(const DataPoint& sample) const;
    QPoint acceleration_x_to_QPoint(const DataPoint& sample) const;
    QPoint acceleration_y_to_QPoint(const DataPoint& sample) const;
    int overlay_time_to_pixel(qint64 time) const;

    QString make_tooltip(const DataPoint& sample) const;

    double speedScale() const { return m_speedScale; }
    double accelerationScale() const { return m_accelerationScale; }
    bool hasAcceleration() const { return m_hasAcceleration; }
    const std::vector<qint64>& eventBorders() const { return m_eventBorders; }
    // The playing position the cursor marks.
    qint64 position() const { return m_position; }

public slots:
    void new_nmea_data(std::shared_ptr<std::vector<DataPoint>> data);
    void setMedia(std::shared_ptr<Trip::TripList> trip);
    void current_video_position_changed(qint64 position);
    void current_video_length_changed(qint64 length);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int plotWidth() const;
    int plotHeight() const;
    int accelerationZeroLine() const;
    void draw_coordinate_system(QPainter& painter, int zeroPercent, int n) const;
    void draw_data(QPainter& painter) const;
    void draw_position(QPainter& painter) const;
    void draw_event_borders(QPainter& painter) const;
    void showSampleTooltip(int x, const QPoint& globalPos);

    std::shared_ptr<std::vector<DataPoint>> m_data;
    std::vector<qint64> m_eventBorders;
    double m_speedScale = 100.0;
    int m_speedZero = 70;
    double m_accelerationScale = 20.0;
    int m_accelerationZero = 70;
    qint64 m_timeScale = 1;
    qint64 m_position = 0;
    qint64 m_length = 0;
    bool m_hasAcceleration = true;
};
