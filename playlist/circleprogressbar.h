#pragma once

#include <QLabel>
#include <QPixmap>

class QTimer;

// A turning busy sign with the progress in percent written over it.
class CircleProgressBar : public QLabel
{
    Q_OBJECT
public:
    explicit CircleProgressBar(QWidget* parent = nullptr);

    void start(unsigned maximum, bool showPercent);
    void setProgress(unsigned progress);
    // Shows 100 % for a moment, then hides.
    void setFinished();
    void stop();

    unsigned progress() const { return m_progress; }
    unsigned maximum() const { return m_maximum; }
    // Rounded, halves up.
    int percent() const;

public slots:
    void rotate();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    unsigned m_maximum = 100;
    unsigned m_progress = 0;
    bool m_showPercent = true;
    qreal m_angle = 0.0;
    QPixmap m_image;
    QTimer* m_rotationTimer = nullptr;
    QTimer* m_stopTimer = nullptr;
};
