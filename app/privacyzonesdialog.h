#pragma once

#include "privacyzones.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// Edits the privacy zones of the settings: one "LAT,LON,RADIUS_M" a line. OK stays disabled, and
// the line at fault is named, while a line is not a zone.
class PrivacyZonesDialog : public QDialog
{
    Q_OBJECT
public:
    PrivacyZonesDialog(const PrivacyZones& zones, QWidget* parent);

    // The zones entered; valid when OK is enabled.
    PrivacyZones zones() const;
    QPlainTextEdit* editor() const { return m_editor; }
    QPushButton* okButton() const { return m_ok; }
    QLabel* problemLabel() const { return m_problem; }

private:
    // Checks the lines; returns the zones, with the first problem in `problem`.
    PrivacyZones read(QString* problem) const;
    void check();

    QPlainTextEdit* m_editor = nullptr;
    QLabel* m_problem = nullptr;
    QPushButton* m_ok = nullptr;
};
