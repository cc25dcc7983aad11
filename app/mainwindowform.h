#pragma once

class QMainWindow;
class QPushButton;
class QWidget;
class Compass;
class ControlPanelWgt;
class DriveData;
class Graph;
class LangSelectionButton;
class MapWidget;
class OstrelLogo;
class PlaylistWgt;
class SettingsButton;
class VlcQtVideoWidget;

// The main window's form: the central widget and every panel, by object name.
class Ui_MainWindow
{
public:
    QWidget* centralwidget = nullptr;
    OstrelLogo* ostrelIcon = nullptr;
    QPushButton* openFileButton = nullptr;
    QPushButton* infoButton = nullptr;
    LangSelectionButton* langButton = nullptr;
    SettingsButton* settingsButton = nullptr;
    VlcQtVideoWidget* videoWidget = nullptr;
    ControlPanelWgt* ctrlPanel = nullptr;
    Graph* dataFrame = nullptr;
    DriveData* driveData = nullptr;
    Compass* compass = nullptr;
    MapWidget* gpsWidget = nullptr;
    PlaylistWgt* fileWidget = nullptr;
    QPushButton* minimizeButton = nullptr;
    QPushButton* maximizeButton = nullptr;
    QPushButton* closeButton = nullptr;

    void setupUi(QMainWindow* mainWindow);
    void retranslateUi(QMainWindow* mainWindow);
};
