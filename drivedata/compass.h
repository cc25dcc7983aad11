#pragma once

#include <QWidget>

class QPainter;

// A circle with the cardinal letters and a needle turned clockwise from north to the heading.
class Compass : public QWidget
{
    Q_OBJECT
public:
    explicit Compass(QWidget* parent = nullptr);

    double direction() const { return m_direction; }

public slots:
    void set_direction(double direction);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paint_circle(QPainter& painter);
    void paint_needle(QPainter& painter);

    double m_direction = 0.0;
    const double m_circleRatio = 0.5;
    const double m_needleLength = 0.3;
    const double m_needleWidth = 0.4;
    const double m_needleTail = 1.3;
};
