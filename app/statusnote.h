#pragma once

#include <QLabel>

class QTimer;

// A short confirmation over the bottom of its parent: shown for a few seconds, never modal.
class StatusNote : public QLabel
{
    Q_OBJECT
public:
    explicit StatusNote(QWidget* parent);

public slots:
    void showNote(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place();

    QTimer* m_timer = nullptr;
};
