#pragma once

class QLabel;
class QPushButton;
class QWidget;
class MySlider;
class PositionSlider;

// The control panel's form: its controls by object name.
class Ui_ControlPanelWgt
{
public:
    QPushButton* volumeButton = nullptr;
    QPushButton* rewButton = nullptr;
    QPushButton* playpauseButton = nullptr;
    QLabel* positionLabel = nullptr;
    QPushButton* maxminButton = nullptr;
    PositionSlider* positionSlider = nullptr;
    QPushButton* ffdButton = nullptr;
    MySlider* volumeSlider = nullptr;
    QLabel* durationLabel = nullptr;

    void setupUi(QWidget* panel);
    void retranslateUi(QWidget* panel);
};
