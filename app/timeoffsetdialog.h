#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QSpinBox;

// Asks for the offset added to shown clock times: a sign, hours and minutes.
class TimeOffsetDialog : public QDialog
{
    Q_OBJECT
public:
    TimeOffsetDialog(int minutes, QWidget* parent);

    int minutes() const;
    void setMinutes(int minutes);

    QComboBox* signBox() const { return m_sign; }
    QSpinBox* hoursBox() const { return m_hours; }
    QSpinBox* minutesBox() const { return m_minutes; }

private:
    QLabel* m_text = nullptr;
    QComboBox* m_sign = nullptr;
    QSpinBox* m_hours = nullptr;
    QSpinBox* m_minutes = nullptr;
};
