#pragma once

#include <QString>
#include <QWidget>

// A small key to the colours of the route, laid over a corner of the map: a sample of each kind
// of stretch with its name, on a half-transparent box so the map still shows through.
class RouteLegend : public QWidget
{
    Q_OBJECT

public:
    enum Row
    {
        Driven,
        Ahead,
        Event,
        NoFix,
        BridgedGap,
        RowCount
    };

    explicit RouteLegend(QWidget* parent = nullptr);

    static QString label(Row row);
    // Where the sample of a row is drawn, in the legend's pixels.
    QRect sampleRect(Row row) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int rowHeight() const;
};
