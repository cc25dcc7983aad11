#pragma once

#include "myslider.h"
#include "rangecolour.h"

#include <QList>

class QPainter;

// The trip position slider: a time tooltip, the played part and coloured ranges
// painted over the groove, the handle kept on top.
class PositionSlider : public MySlider
{
    Q_OBJECT
public:
    explicit PositionSlider(QWidget* parent = nullptr);
    PositionSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Neither repaints; the owner does.
    void setRangeColours(QList<RangeColour>& list);
    void clearRangeColours();
    const QList<RangeColour>& rangeColours() const { return m_ranges; }

    // In and out points on the trip timeline, -1 for none; repaints.
    void setMarks(qint64 in, qint64 out);
    qint64 inMark() const { return m_in; }
    qint64 outMark() const { return m_out; }
    // The x coordinate of a timeline position along the groove.
    int xForValue(qint64 value) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    QString valueText(qint64 value) const override;

private:
    void paintMarks(QPainter& painter, const QRect& groove);

    QList<RangeColour> m_ranges;
    qint64 m_in = -1;
    qint64 m_out = -1;
};
