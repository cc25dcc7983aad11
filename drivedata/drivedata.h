#pragma once

#include "datapoint.h"

#include <QWidget>

#include <memory>
#include <vector>

class QLCDNumber;
class QPainter;

// Position, speed and accelerations of the sample at the playing position.
class DriveData : public QWidget
{
    Q_OBJECT
public:
    explicit DriveData(QWidget* parent = nullptr);

    // What the panel shows now; without a sample the placeholder.
    const DataPoint* currentSample() const { return m_current; }
    QString latitudeText() const;
    QString longitudeText() const;
    // The LCD's number; meaningful only while speedKnown().
    int speedValue() const;
    // False while the sample shown has no measured speed: the LCD shows dashes.
    bool speedKnown() const;
    // Shown instead of a position or value that the sample does not have.
    static QString noDataText();
    QString speedUnitText() const;
    bool hasAcceleration() const { return m_hasAcceleration; }

public slots:
    void new_nmea_data(std::shared_ptr<std::vector<DataPoint>> trip_data);
    void current_video_position_changed(qint64 position);

signals:
    void direction_changed(double direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void select_sample(qint64 time);
    void show_speed();
    void draw_data(QPainter& painter);
    void place_lcd();
    int linePitch() const;

    std::shared_ptr<std::vector<DataPoint>> m_data;
    qint64 m_position = 0;
    QLCDNumber* m_lcd;
    const DataPoint* m_current = nullptr;
    bool m_hasAcceleration = true;
};
