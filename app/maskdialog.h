#pragma once

#include "masks.h"
#include "tripitem.h"

#include <QDialog>

class MaskEditor;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;
class QTimer;

// Draws a trip's privacy masks on its pictures: a slider picks the instant, the editor shows the
// picture there with the masks as exports apply them. Save keeps them for the trip in the
// program's data folder (MaskStore); "Export with data" and snapshots apply them.
class MaskDialog : public QDialog
{
    Q_OBJECT
public:
    MaskDialog(Trip::TripList trip, qint64 positionMs, QWidget* parent);

    MaskEditor* editor() const { return m_editor; }
    QSlider* slider() const { return m_slider; }
    // Decodes and shows the picture at a trip position.
    void showPosition(qint64 positionMs);

    void accept() override;

private:
    void updateControls();

    Trip::TripList m_trip;
    MaskEditor* m_editor = nullptr;
    QSlider* m_slider = nullptr;
    QLabel* m_time = nullptr;
    QRadioButton* m_blur = nullptr;
    QRadioButton* m_pixelate = nullptr;
    QPushButton* m_removeKey = nullptr;
    QPushButton* m_remove = nullptr;
    QTimer* m_decode = nullptr;
};
