#pragma once

#include <QList>
#include <QToolButton>

class QActionGroup;

// A compact button showing the playback speed ("1×") whose menu offers the speeds to choose.
class SpeedButton : public QToolButton
{
    Q_OBJECT
public:
    explicit SpeedButton(QWidget* parent = nullptr);

    double rate() const { return m_rate; }
    QAction* rateAction(double rate) const;
    // "0.25×", "1×", "16×" with the display language's decimal sign.
    static QString rateText(double rate);

public slots:
    // Shows `rate` as the current speed; chooses nothing.
    void setRate(double rate);

signals:
    void rateChosen(double rate);

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();

    QActionGroup* m_group = nullptr;
    double m_rate = 1.0;
};
