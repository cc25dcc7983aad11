#pragma once

class QLabel;
class QPushButton;
class QToolButton;
class SpeedButton;
class QWidget;
class MySlider;
class PositionSlider;

// The control panel's form: its controls by object name.
class Ui_ControlPanelWgt
{
public:
    // The volume slider's width, whatever the room in the panel.
    static constexpr int VolumeSliderMinimum = 64;
    static constexpr int VolumeSliderMaximum = 120;

    QPushButton* volumeButton = nullptr;
    QPushButton* rewButton = nullptr;
    QPushButton* playpauseButton = nullptr;
    QLabel* positionLabel = nullptr;
    QPushButton* maxminButton = nullptr;
    PositionSlider* positionSlider = nullptr;
    QPushButton* ffdButton = nullptr;
    MySlider* volumeSlider = nullptr;
    QLabel* durationLabel = nullptr;
    QLabel* clockLabel = nullptr;
    SpeedButton* speedButton = nullptr;
    QPushButton* inButton = nullptr;
    QPushButton* outButton = nullptr;
    QPushButton* snapshotButton = nullptr;
    // A click exports the clip; its menu holds the track formats.
    QToolButton* exportButton = nullptr;

    void setupUi(QWidget* panel);
    void retranslateUi(QWidget* panel);
};
