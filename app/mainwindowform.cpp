#include "mainwindowform.h"

#include "compass.h"
#include "controlpanelwgt.h"
#include "drivedata.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mapwidget.h"
#include "ostrellogo.h"
#include "playlistwgt.h"
#include "settingsbutton.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"

#include <QCoreApplication>
#include <QIcon>
#include <QMainWindow>
#include <QPushButton>

namespace {

const char* const titleButtonStyle = "background-color: rgba(214, 214, 214,0);\ncolor: white;\n";

QPushButton* makeTitleButton(QWidget* parent, const char* name, const QString& icon, const QSize& size)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFixedSize(size);
    button->setIcon(QIcon(icon));
    button->setIconSize(QSize(32, 32));
    return button;
}

template <typename Panel> Panel* makePanel(QWidget* parent, const char* name)
{
    auto* panel = new Panel(parent);
    panel->setObjectName(QString::fromLatin1(name));
    return panel;
}

} // namespace

void Ui_MainWindow::setupUi(QMainWindow* mainWindow)
{
    mainWindow->setObjectName(QStringLiteral("MainWindow"));
    mainWindow->setWindowIcon(QIcon(Design::WindowIconPath));
    mainWindow->setIconSize(QSize(16, 16));
    mainWindow->setAnimated(false);
    mainWindow->setMouseTracking(true);
    mainWindow->setFocusPolicy(Qt::StrongFocus);
    // No style sheet of its own (the default); setting an empty one would reset the panels' palettes.

    centralwidget = new QWidget(mainWindow);
    centralwidget->setObjectName(QStringLiteral("centralwidget"));
    centralwidget->setMouseTracking(true);
    centralwidget->setFocusPolicy(Qt::StrongFocus);

    ostrelIcon = new OstrelLogo(centralwidget);
    ostrelIcon->setObjectName(QStringLiteral("ostrelIcon"));
    ostrelIcon->setContextMenuPolicy(Qt::NoContextMenu);
    ostrelIcon->setLayoutDirection(Qt::LeftToRight);
    ostrelIcon->setAutoFillBackground(true);

    openFileButton = makeTitleButton(
        centralwidget, "openFileButton",
        QStringLiteral(":/resources/images/88_additional_options_line_white.png"), QSize(40, 24));
    openFileButton->setFlat(false);
    openFileButton->setStyleSheet(QString::fromLatin1(titleButtonStyle));

    infoButton =
        makeTitleButton(centralwidget, "infoButton",
                        QStringLiteral(":/resources/images/88_information_credits.png"), QSize(32, 32));

    langButton = new LangSelectionButton(centralwidget);
    langButton->setObjectName(QStringLiteral("langButton"));
    langButton->setFixedSize(32, 32);
    langButton->setIcon(
        QIcon(QStringLiteral(":/resources/images/88_language_country_switch_line_white.png")));
    langButton->setIconSize(QSize(32, 32));
    langButton->setCheckable(false);
    langButton->setArrowType(Qt::NoArrow);

    settingsButton = new SettingsButton(centralwidget);
    settingsButton->setFixedSize(32, 32);
    settingsButton->setIcon(QIcon(QStringLiteral(":/resources/images/88_settings_line_white.png")));
    settingsButton->setIconSize(QSize(28, 28));
    settingsButton->setArrowType(Qt::NoArrow);

    videoWidget = makePanel<VlcQtVideoWidget>(centralwidget, "videoWidget");
    videoWidget->setFocusPolicy(Qt::NoFocus);
    ctrlPanel = makePanel<ControlPanelWgt>(centralwidget, "ctrlPanel");
    ctrlPanel->setFocusPolicy(Qt::StrongFocus);
    dataFrame = makePanel<Graph>(centralwidget, "dataFrame");
    driveData = makePanel<DriveData>(centralwidget, "driveData");
    compass = makePanel<Compass>(centralwidget, "compass");
    gpsWidget = makePanel<MapWidget>(centralwidget, "gpsWidget");
    fileWidget = makePanel<PlaylistWgt>(centralwidget, "fileWidget");

    minimizeButton =
        makeTitleButton(centralwidget, "minimizeButton",
                        QStringLiteral(":/resources/images/88_minimize_line_white.png"), QSize(24, 24));
    maximizeButton =
        makeTitleButton(centralwidget, "maximizeButton",
                        QStringLiteral(":/resources/images/88_media_full_screen_view.png"), QSize(24, 24));
    closeButton =
        makeTitleButton(centralwidget, "closeButton",
                        QStringLiteral(":/resources/images/88_close_abort_small_white.png"), QSize(24, 24));
    for (QPushButton* button : {minimizeButton, maximizeButton, closeButton}) {
        button->setFlat(false);
        button->setStyleSheet(QString::fromLatin1(titleButtonStyle));
    }

    mainWindow->setCentralWidget(centralwidget);
    retranslateUi(mainWindow);
    QMetaObject::connectSlotsByName(mainWindow);
}

void Ui_MainWindow::retranslateUi(QMainWindow* mainWindow)
{
    mainWindow->setWindowTitle(QCoreApplication::translate("MainWindow", "Halvard Tarrow"));
    for (QPushButton* button : {openFileButton, infoButton, minimizeButton, maximizeButton, closeButton}) {
        button->setText(QString());
    }
}
