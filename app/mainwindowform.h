#pragma once

class QMainWindow;
class QPushButton;
class QWidget;
class LangSelectionButton;
class OstrelLogo;

// The main window's form: the central widget and every panel, by object name.
// Panels that are not built yet are plain widgets carrying the panel's object name.
class Ui_MainWindow
{
public:
    QWidget* centralwidget = nullptr;
    OstrelLogo* ostrelIcon = nullptr;
    QPushButton* openFileButton = nullptr;
    QPushButton* infoButton = nullptr;
    LangSelectionButton* langButton = nullptr;
    QWidget* videoWidget = nullptr;
    QWidget* ctrlPanel = nullptr;
    QWidget* dataFrame = nullptr;
    QWidget* driveData = nullptr;
    QWidget* compass = nullptr;
    QWidget* gpsWidget = nullptr;
    QWidget* fileWidget = nullptr;
    QPushButton* minimizeButton = nullptr;
    QPushButton* maximizeButton = nullptr;
    QPushButton* closeButton = nullptr;

    void setupUi(QMainWindow* mainWindow);
    void retranslateUi(QMainWindow* mainWindow);
};
