#pragma once

#include <QWidget>

class QPainter;

// A circle with the cardinal letters, a needle turned clockwise from north to the heading
// (its north half red) and the heading in degrees beside or below it. A heading of NaN is unknown: no
// needle, a dash for the degrees.
class Compass : public QWidget
{
    Q_OBJECT
public:
    // The rose's least side; the minimum size adds room for the degrees beside it.
    static constexpr int MinimumSide = 64;

    explicit Compass(QWidget* parent = nullptr);

    double direction() const { return m_direction; }
    // "237°", or a dash without a heading.
    QString headingText() const;
    // The cardinal letters in the interface language, north first, then clockwise.
    static QStringList cardinalLetters();

    // The square the rose is drawn in and its centre, for the current size.
    QRect roseRect() const;

public slots:
    void set_direction(double direction);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int headingRowHeight() const;
    int headingColumnWidth() const;
    bool headingBeside() const;
    void paint_circle(QPainter& painter);
    void paint_needle(QPainter& painter);
    void paint_heading(QPainter& painter);

    double m_direction = 0.0;
};
