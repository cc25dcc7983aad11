#pragma once

#include "myslider.h"
#include "rangecolour.h"

#include <QList>

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

protected:
    void paintEvent(QPaintEvent* event) override;
    QString valueText(qint64 value) const override;

private:
    QList<RangeColour> m_ranges;
};
