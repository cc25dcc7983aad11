#pragma once

#include <QSlider>

// A slider that jumps to the clicked point, ignores the wheel and shows the value
// under the cursor while a button is held.
class MySlider : public QSlider
{
    Q_OBJECT
public:
    explicit MySlider(QWidget* parent = nullptr);
    MySlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Value at a widget coordinate along the slider; false outside the groove.
    bool positionToValue(int pos, qint64& value) const;

    bool eventFilter(QObject* obj, QEvent* event) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

    virtual QString valueText(qint64 value) const;
};
