#include "controlpanelwgtform.h"

#include "myslider.h"
#include "panelicons.h"
#include "positionslider.h"
#include "speedbutton.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace {

const char* const ButtonStyle = "background-color: rgb(255, 255, 255);";
const char* const SliderStyle = "background-color: rgba(255, 255, 255, 0);";
// Text and drawn icons in white on the dark panel.
const char* const ToolStyle = "QToolButton { color: white; background-color: rgba(0, 0, 0, 0); border: none; "
                              "padding: 0px 1px; }"
                              "QToolButton:disabled { color: #888888; }"
                              "QToolButton::menu-indicator { image: none; }";

QPushButton* makeButton(QWidget* parent, const char* name, const char* icon, int iconSize = 32)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(QLatin1String(ButtonStyle));
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setIconSize(QSize(iconSize, iconSize));
    button->setText(QString());
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setScaledContents(true);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    // The panel is dark; the times must read on it.
    label->setStyleSheet(QStringLiteral("color: white;"));
    return label;
}

} // namespace

void Ui_ControlPanelWgt::setupUi(QWidget* panel)
{
    if (panel->objectName().isEmpty()) {
        panel->setObjectName(QStringLiteral("ControlPanelWgt"));
    }
    panel->resize(520, 60);
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    volumeButton = makeButton(panel, "volumeButton", ":/resources/images/88_volume_high_line.png");
    volumeButton->setFixedSize(32, 32);

    rewButton = makeButton(panel, "rewButton", ":/resources/images/88_media_back.png");
    rewButton->setFixedSize(32, 32);
    rewButton->setFlat(false);

    playpauseButton = makeButton(panel, "playpauseButton", ":/resources/images/88_media_play.svg", 64);
    playpauseButton->setMinimumSize(32, 32);
    playpauseButton->setMaximumSize(48, 64);

    positionLabel = makeLabel(panel, "positionLabel");

    maxminButton = makeButton(panel, "maxminButton", ":/resources/images/88_media_full_screen_view.png");
    maxminButton->setFixedSize(32, 32);

    positionSlider = new PositionSlider(Qt::Horizontal, panel);
    positionSlider->setObjectName(QStringLiteral("positionSlider"));
    positionSlider->setStyleSheet(QLatin1String(SliderStyle));

    ffdButton = makeButton(panel, "ffdButton", ":/resources/images/88_media_forward.png");
    ffdButton->setFixedSize(32, 32);
    ffdButton->setAutoDefault(false);

    volumeSlider = new MySlider(Qt::Horizontal, panel);
    volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    volumeSlider->setStyleSheet(QLatin1String(SliderStyle));
    // Wide enough to set the volume finely, and no wider however much room the panel has.
    volumeSlider->setMinimumWidth(VolumeSliderMinimum);
    volumeSlider->setMaximumWidth(VolumeSliderMaximum);

    durationLabel = makeLabel(panel, "durationLabel");
    clockLabel = makeLabel(panel, "clockLabel");

    speedButton = new SpeedButton(panel);
    speedButton->setStyleSheet(QLatin1String(ToolStyle));
    speedButton->setFixedHeight(32);

    inButton = makeButton(panel, "inButton", "");
    inButton->setIcon(PanelIcons::inPoint());
    inButton->setIconSize(QSize(20, 20));
    inButton->setFixedSize(22, 32);
    outButton = makeButton(panel, "outButton", "");
    outButton->setIcon(PanelIcons::outPoint());
    outButton->setIconSize(QSize(20, 20));
    outButton->setFixedSize(22, 32);
    snapshotButton = makeButton(panel, "snapshotButton", "");
    snapshotButton->setIcon(PanelIcons::snapshot());
    snapshotButton->setIconSize(QSize(24, 24));
    snapshotButton->setFixedSize(28, 32);

    exportButton = new QToolButton(panel);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    exportButton->setFocusPolicy(Qt::NoFocus);
    // The menu part beside the icon: narrow, plain, and next to the icon rather than over it.
    exportButton->setStyleSheet(QLatin1String(ToolStyle) +
                                QLatin1String("QToolButton { padding-right: 3px; }"
                                              "QToolButton::menu-button { border: none; width: 9px; "
                                              "background-color: rgba(0, 0, 0, 0); }"));
    exportButton->setIcon(PanelIcons::exportClip());
    exportButton->setIconSize(QSize(24, 24));
    exportButton->setPopupMode(QToolButton::MenuButtonPopup);
    exportButton->setFixedHeight(32);

    retranslateUi(panel);
}

void Ui_ControlPanelWgt::retranslateUi(QWidget* /*panel*/)
{
    positionLabel->setText(QCoreApplication::translate("ControlPanelWgt", "00:00"));
    durationLabel->setText(QCoreApplication::translate("ControlPanelWgt", "00:00"));
}
