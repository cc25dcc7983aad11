#include "mainwindow.h"

#include "aboutdialog.h"
#include "channeldeck.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "design.h"
#include "dialoglook.h"
#include "drivedata.h"
#include "evidenceexport.h"
#include "exportmenu.h"
#include "filenamecodec.h"
#include "fsdrives.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "maskeditor.h"
#include "maskoutlines.h"
#include "maskpanel.h"
#include "maskstore.h"
#include "ostrellogo.h"
#include "playlistwgt.h"
#include "qnmeapositioninfo.h"
#include "settingsbutton.h"
#include "statusnote.h"
#include "stringlistpointer.h"
#include "stylesheet.h"
#include "tripchannels.h"
#include "tripitem.h"
#include "tripsession.h"
#include "tripsummary.h"
#include "units.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QMutexLocker>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSizeGrip>
#include <QSplitter>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const int EdgeStrip = 15;
const int TooltipDuration = 5000;
const QSize MaximumWindowSize(3000, 1875);
// The compass needs this much to show its letters and needle.
const int CompassMinimum = 64;

// "Open (Ctrl+O)": a tooltip that names its key, in the language's own key names.
QString withShortcut(const QString& text, const QKeySequence& key)
{
    return QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                              Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                              Qt::WindowCloseButtonHint),
      ui(std::make_unique<Ui_MainWindow>())
{
    // Before any file name is read: names that are not UTF-8 must survive the round trip.
    Fs::keepFileNameBytes();
    m_aboutDialog = new AboutDialog(parent);
    m_buttonsLayout = new QHBoxLayout();
    m_titleLayout = new QHBoxLayout();
    m_leftLayout = new QVBoxLayout();
    m_leftPanel = new QWidget();
    m_rightSplitter = new QSplitter(Qt::Vertical);
    m_mainSplitter = new QSplitter(Qt::Horizontal);
    for (QSizeGrip*& grip : m_sizeGrips) {
        grip = new QSizeGrip(this);
    }
    m_contentLayout = new QVBoxLayout();
    m_panelGrid = new QGridLayout();
    m_frameGrid = new QGridLayout();
    m_session = new TripSession(this);
    m_tripSummary = new TripSummary();

    setAppFont();
    ui->setupUi(this);
    resize(1030, 700);
    QNmeaPositionInfo::registerMetaTypes();
    applyStyleSheets();
    for (QSizeGrip* grip : m_sizeGrips) {
        grip->setStyleSheet(QStringLiteral("background-color: rgba(0,0,0,0);"));
    }
    buildLayout();
    m_statusNote = new StatusNote(m_leftPanel);
    m_evidence = new EvidenceExport(this);
    m_exportMenu = new ExportMenu(this);
    installEventFilter(this);
    Trip::registerMetaTypes();
    qRegisterMetaType<std::shared_ptr<QStringList>>("std::shared_ptr<QStringList>");
    DataPoint::registerMetaTypes();
    makeConnections();
    connectEvidence();
    connectMasks();
    makeShortcuts();
    retranslateToolTips();
    m_minimumSizeTimer = new QTimer(this);
    m_minimumSizeTimer->setSingleShot(true);
    m_minimumSizeTimer->setInterval(0);
    connect(m_minimumSizeTimer, &QTimer::timeout, this, &MainWindow::updateMinimumSize);
}

MainWindow::~MainWindow()
{
    removeEventFilter(this);
    m_aboutDialog->deleteLater();
    // The splitters and the left panel belong to the central widget's layout and go with it.
}

void MainWindow::setAppFont()
{
    static const char* const fonts[] = {
        ":resources/OstrelCS-Regular.ttf",         ":resources/OstrelCS-Bold.ttf",
        ":resources/OstrelCS-BoldItalic.ttf",      ":resources/OstrelCS-Demi.ttf",
        ":resources/OstrelCS-DemiItalic.ttf",      ":resources/OstrelCS-ExtraBold.ttf",
        ":resources/OstrelCS-ExtraBoldItalic.ttf", ":resources/OstrelCS-Italic.ttf",
        ":resources/OstrelCS-Light.ttf",           ":resources/OstrelCS-LightItalic.ttf"};
    QStringList regularFamilies;
    for (const char* font : fonts) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(font));
        if (font == fonts[0] && id >= 0) {
            regularFamilies = QFontDatabase::applicationFontFamilies(id);
        }
    }
    if (regularFamilies.isEmpty()) {
        return;
    }
    // 12 points at 96 DPI: the same pixel size whatever the screen's DPI.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    QFont font(regularFamilies.first());
    font.setPointSizeF(dpi > 0 ? 96.0 / dpi * 12.0 : 12.0);
    QApplication::setFont(font);
}

void MainWindow::applyStyleSheets()
{
    QString style;
    if (!Design::loadStyleSheet(QStringLiteral(":/resources/myButton.qss"), style)) {
        return;
    }
    ui->infoButton->setStyleSheet(style);
    ui->langButton->setStyleSheet(style);
    ui->settingsButton->setStyleSheet(style);
    ui->openFileButton->setStyleSheet(style);
    ui->closeButton->setStyleSheet(style);
    ui->minimizeButton->setStyleSheet(style);
    ui->maximizeButton->setStyleSheet(style);
}

void MainWindow::buildLayout()
{
    ui->videoWidget->setMinimumSize(320, 180);
    ui->dataFrame->setMinimumSize(320, 148);
    ui->driveData->setMinimumSize(120, 148);
    ui->gpsWidget->setMinimumSize(150, 150);
    ui->fileWidget->setMinimumSize(150, 200);
    setMaximumSize(MaximumWindowSize);

    m_buttonsLayout->setContentsMargins(0, 0, 0, 0);
    m_buttonsLayout->setSpacing(0);
    m_buttonsLayout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    m_buttonsLayout->addWidget(ui->openFileButton);
    m_buttonsLayout->addWidget(ui->langButton);
    m_buttonsLayout->addWidget(ui->settingsButton);
    m_buttonsLayout->addWidget(ui->infoButton);
    m_buttonsLayout->addSpacing(20);
    m_buttonsLayout->addWidget(ui->minimizeButton);
    m_buttonsLayout->addWidget(ui->maximizeButton);
    m_buttonsLayout->addWidget(ui->closeButton);

    m_titleLayout->setContentsMargins(0, 0, 0, 0);
    m_titleLayout->setSpacing(0);
    m_titleLayout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    m_titleLayout->addWidget(ui->ostrelIcon, 0, Qt::AlignLeft);
    m_titleLayout->addLayout(m_buttonsLayout);
    m_titleLayout->setAlignment(m_buttonsLayout, Qt::AlignRight);

    m_panelGrid->setContentsMargins(0, 0, 0, 0);
    m_panelGrid->setSpacing(0);
    m_panelGrid->setSizeConstraint(QLayout::SetMinimumSize);
    m_panelGrid->addWidget(ui->ctrlPanel, 0, 0);
    m_panelGrid->addWidget(ui->dataFrame, 1, 0);
    m_panelGrid->addWidget(ui->compass, 0, 1);
    m_panelGrid->addWidget(ui->driveData, 1, 1);
    m_panelGrid->addWidget(m_tripSummary, 2, 0, 1, 2);

    m_leftLayout->setContentsMargins(0, 0, 0, 0);
    m_leftLayout->setSpacing(0);
    m_leftLayout->setSizeConstraint(QLayout::SetMinimumSize);
    m_deck = new ChannelDeck(ui->videoWidget, m_leftPanel);
    m_leftLayout->addWidget(m_deck);
    m_leftLayout->addLayout(m_panelGrid);
    m_leftPanel->setLayout(m_leftLayout);

    m_rightSplitter->addWidget(ui->gpsWidget);
    m_rightSplitter->addWidget(ui->fileWidget);
    m_rightSplitter->setChildrenCollapsible(false);

    m_mainSplitter->addWidget(m_leftPanel);
    m_mainSplitter->addWidget(m_rightSplitter);
    m_mainSplitter->setChildrenCollapsible(false);

    m_contentLayout->setContentsMargins(0, 0, 0, 0);
    m_contentLayout->setSpacing(0);
    m_contentLayout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    m_contentLayout->addLayout(m_titleLayout);
    m_contentLayout->setAlignment(m_titleLayout, Qt::AlignTop);
    m_contentLayout->addWidget(m_mainSplitter, 1);

    m_frameGrid->setContentsMargins(0, 0, 0, 0);
    m_frameGrid->setSpacing(0);
    m_frameGrid->setSizeConstraint(QLayout::SetMinAndMaxSize);
    const Qt::Alignment gripAlignment[4] = {Qt::AlignTop | Qt::AlignLeft, Qt::AlignTop | Qt::AlignRight,
                                            Qt::AlignBottom | Qt::AlignLeft,
                                            Qt::AlignBottom | Qt::AlignRight};
    const int gripCell[4][2] = {{0, 0}, {0, 2}, {2, 0}, {2, 2}};
    for (int i = 0; i < 4; ++i) {
        m_sizeGrips[i]->setFixedSize(EdgeStrip, EdgeStrip);
        m_frameGrid->addWidget(m_sizeGrips[i], gripCell[i][0], gripCell[i][1], gripAlignment[i]);
    }
    m_frameGrid->addLayout(m_contentLayout, 1, 1);
    for (int i : {0, 2}) {
        m_frameGrid->setRowMinimumHeight(i, EdgeStrip);
        m_frameGrid->setColumnMinimumWidth(i, EdgeStrip);
        m_frameGrid->setRowStretch(i, 0);
        m_frameGrid->setColumnStretch(i, 0);
    }
    m_frameGrid->setRowStretch(1, 1);
    m_frameGrid->setColumnStretch(1, 1);
    ui->centralwidget->setLayout(m_frameGrid);
    ui->centralwidget->show();
    setCentralWidget(ui->centralwidget);

    updateMinimumSize();

    m_rightSplitter->setSizes({288, 288});
    m_mainSplitter->setSizes({640, 430});
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/mySplitter.qss"), style)) {
        m_rightSplitter->setStyleSheet(style);
        m_mainSplitter->setStyleSheet(style);
    }
    m_rightSplitter->setHandleWidth(5);
    m_mainSplitter->setHandleWidth(5);

    m_hideOnFullScreen = {ui->openFileButton, ui->langButton,     ui->settingsButton, ui->infoButton,
                          ui->minimizeButton, ui->maximizeButton, ui->closeButton,    ui->ostrelIcon,
                          ui->dataFrame,      ui->driveData,      ui->compass,        m_rightSplitter,
                          m_tripSummary};
    for (QSizeGrip* grip : m_sizeGrips) {
        m_hideOnFullScreen.push_back(grip);
    }
}

void MainWindow::updateMinimumSize()
{
    // The drive-data column shows the longest coordinates and accelerations right-aligned,
    // 11 pixels from its edge; the compass above it is at least 64 pixels square.
    const QFontMetrics metrics(ui->driveData->font());
    int text = 0;
    for (const QString& sample : {Units::latitudeText(-88.7766), Units::longitudeText(-178.7766),
                                  QStringLiteral("\u2195 ") + Units::accelerationText(-19.99),
                                  Units::speedUnitText() + QStringLiteral("888")}) {
        text = qMax(text, metrics.horizontalAdvance(sample));
    }
    // Nine lines of text: two coordinates, the speed (two lines), two accelerations, and room
    // below the last line for its descenders.
    const int lines = int(std::ceil(9.0 * (QFontInfo(ui->driveData->font()).pixelSize() + 1)));
    ui->driveData->setMinimumSize(std::max({120, text + 11 + 12, CompassMinimum}), qMax(148, lines));
    ui->compass->setMinimumSize(CompassMinimum, CompassMinimum);
    ui->fileWidget->setMinimumSize(qMax(150, ui->fileWidget->minimumListWidth()), 200);

    const int columnWidth = qMax(ui->driveData->minimumWidth(), ui->compass->minimumWidth());
    const int topRow = qMax(ui->ctrlPanel->minimumHeight(), ui->compass->minimumHeight());
    // The graph shares the left column with the control panel.
    const int leftColumn = qMax(ui->ctrlPanel->minimumWidth(), ui->dataFrame->minimumWidth());
    const int minWidth = qMax(leftColumn + columnWidth, m_deck->minimumWidth()) +
                         qMax(ui->gpsWidget->minimumWidth(), ui->fileWidget->minimumWidth()) + 60;
    // The graph shares its row with the drive-data panel.
    const int dataRow = qMax(ui->dataFrame->minimumHeight(), ui->driveData->minimumHeight());
    const int minHeight = qMax(m_deck->minimumHeight() + topRow + dataRow + m_tripSummary->minimumHeight(),
                               ui->gpsWidget->minimumHeight() + ui->fileWidget->minimumHeight()) +
                          154;
    // Whatever the layouts themselves need (the title bar's buttons and logo included).
    m_frameGrid->invalidate();
    const QSize layoutMinimum = m_frameGrid->totalMinimumSize();
    QSize minimum(qMax(minWidth, layoutMinimum.width()), qMax(minHeight, layoutMinimum.height()));
    // On a screen smaller than that the window may still be maximised; the panels then clip.
    const QRect screen = getAvailableGeometry();
    if (screen.isValid()) {
        minimum = minimum.boundedTo(screen.size());
    }
    setMinimumSize(minimum);
    if (width() < minimumWidth() || height() < minimumHeight()) {
        resize(size().expandedTo(minimumSize()));
    }
}

void MainWindow::makeShortcuts()
{
    // Window-wide: they work whichever panel has the focus.
    const auto add = [this](const QKeySequence& key, void (MainWindow::*slot)()) {
        auto* shortcut = new QShortcut(key, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    add(openShortcut(), &MainWindow::openFromShortcut);
    add(aboutShortcut(), &MainWindow::on_infoButton_clicked);
    add(closeShortcut(), &MainWindow::on_closeButton_clicked);
    add(QKeySequence(Qt::Key_Escape), &MainWindow::leaveLargeState);
    ui->fileWidget->setOpenShortcut(openShortcut());
}

QKeySequence MainWindow::openShortcut()
{
    return QKeySequence(QKeySequence::Open);
}

QKeySequence MainWindow::aboutShortcut()
{
    return QKeySequence(Qt::Key_F1);
}

QKeySequence MainWindow::closeShortcut()
{
    return QKeySequence(QStringLiteral("Ctrl+Q"));
}

void MainWindow::openFromShortcut()
{
    // While a selection is being prepared the open button is off, and so is its key.
    if (ui->openFileButton->isEnabled() && ui->openFileButton->isVisible()) {
        on_openFileButtonClicked();
    }
}

void MainWindow::reportUnsavedSettings()
{
    if (ZelSettings::isPersistent()) {
        return;
    }
    QMessageBox* box = DialogLook::messageBox(
        this, QMessageBox::Information, tr("Settings cannot be saved."),
        tr("No folder of your own can be written (neither beside the program nor in your configuration "
           "folder). Tarrow runs with its default settings and forgets changes when it closes."));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
}

void MainWindow::makeConnections()
{
    // Panel-to-panel messages are queued even though every panel lives on this thread: a slot
    // never runs inside the code that emitted its signal.
    const auto queued = Qt::QueuedConnection;
    VlcQtVideoWidget* video = ui->videoWidget;
    ControlPanelWgt* ctrl = ui->ctrlPanel;
    PlaylistWgt* playlist = ui->fileWidget;
    MapWidget* map = ui->gpsWidget;
    Graph* graph = ui->dataFrame;
    DriveData* drive = ui->driveData;
    TripSession* session = m_session;
    map->setSession(session);

    // Files chosen -> parsed: the open button asks the playlist for its dialog; the chosen
    // files go to the session's parser, and the playlist stays busy until the parser is done.
    connect(ui->openFileButton, &QPushButton::clicked, this, &MainWindow::on_openFileButtonClicked,
            Qt::DirectConnection);
    connect(this, &MainWindow::openFileDialog, playlist, &PlaylistWgt::on_openFileButtonClicked, queued);
    connect(playlist, &PlaylistWgt::setFileDialogFinished, this, &MainWindow::on_setFileDialogFinished,
            queued);
    connect(playlist, &PlaylistWgt::setFilesSelected, session, &TripSession::selectFiles, queued);
    connect(session, &TripSession::filesParsed, playlist, &PlaylistWgt::nmea_parsing_finished, queued);
    // The playlist does not own the open button; it disables it while a selection is prepared.
    connect(playlist, &PlaylistWgt::openButtonEnabled, ui->openFileButton, &QPushButton::setEnabled);
    // The prompt shown while nothing is open does what the open button does.
    connect(playlist, &PlaylistWgt::openRequested, this, &MainWindow::openFromShortcut);
    connect(playlist, &PlaylistWgt::minimumListWidthChanged, this, &MainWindow::updateMinimumSize);

    // Trip chosen -> played and assembled: the video plays it, the panels reset for it, and the
    // session assembles its records, samples and figures, which the map (through its session),
    // the graph, the drive-data panel and the line below the graph show.
    connect(playlist, &PlaylistWgt::setTripSelected, video, &VlcQtVideoWidget::setMedia, queued);
    connect(playlist, &PlaylistWgt::setTripSelected, m_deck, &ChannelDeck::setMedia, queued);
    connect(ctrl, &ControlPanelWgt::cycleChannelLayout, m_deck, &ChannelDeck::cycleLayout, queued);
    connect(ctrl, &ControlPanelWgt::cycleLargeChannel, m_deck, &ChannelDeck::cycleLargeChannel, queued);
    connect(playlist, &PlaylistWgt::setTripSelected, session, &TripSession::selectTrip, queued);
    connect(playlist, &PlaylistWgt::setTripSelected, ctrl, &ControlPanelWgt::setMedia, queued);
    connect(playlist, &PlaylistWgt::setTripSelected, graph, &Graph::setMedia, queued);
    connect(playlist, &PlaylistWgt::setTripSelected, m_tripSummary, &TripSummary::setMedia, queued);
    connect(
        session, &TripSession::positionsReady, graph,
        [graph, drive, summary = m_tripSummary](const TripDataPtr& data) {
            graph->new_nmea_data(data->samples());
            drive->new_nmea_data(data->samples());
            if (data->statistics())
                summary->setStatistics(*data->statistics());
        },
        queued);

    // Position and length on the trip timeline: the video tells the session, the session every
    // view that follows playback, so that all of them show the same second.
    connect(video, &VlcQtVideoWidget::onPositionChange, session, &TripSession::setPosition, queued);
    connect(session, &TripSession::positionChanged, graph, &Graph::current_video_position_changed, queued);
    connect(session, &TripSession::positionChanged, drive, &DriveData::current_video_position_changed,
            queued);
    connect(session, &TripSession::positionChanged, ctrl, &ControlPanelWgt::updatePosition, queued);
    connect(video, &VlcQtVideoWidget::onDurationChange, graph, &Graph::current_video_length_changed, queued);
    connect(video, &VlcQtVideoWidget::onDurationChange, ctrl, &ControlPanelWgt::updateDuration, queued);
    connect(drive, &DriveData::direction_changed, ui->compass, &Compass::set_direction, queued);

    // Control panel <-> player: commands one way, the player's state back to the buttons.
    connect(ctrl, &ControlPanelWgt::play, video, &VlcQtVideoWidget::play, queued);
    connect(ctrl, &ControlPanelWgt::rewind, video, &VlcQtVideoWidget::rewind, queued);
    connect(ctrl, &ControlPanelWgt::forward, video, &VlcQtVideoWidget::forward, queued);
    connect(ctrl, &ControlPanelWgt::toggleMute, video, &VlcQtVideoWidget::toggleMute, queued);
    connect(ctrl, &ControlPanelWgt::setVolume, video, &VlcQtVideoWidget::setVolume, queued);
    connect(ctrl, &ControlPanelWgt::setPosition, video, &VlcQtVideoWidget::setPosition, queued);
    connect(ctrl, &ControlPanelWgt::seekBy, video, &VlcQtVideoWidget::seekBy, queued);
    connect(ctrl, &ControlPanelWgt::stepFrame, video, &VlcQtVideoWidget::stepFrame, queued);
    connect(ctrl, &ControlPanelWgt::setRate, video, &VlcQtVideoWidget::setRate, queued);
    connect(video, &VlcQtVideoWidget::rateChanged, ctrl, &ControlPanelWgt::updateRate, queued);
    // A click on the graph seeks like the slider.
    connect(graph, &Graph::seekRequested, video, &VlcQtVideoWidget::setPosition, queued);
    connect(video, &VlcQtVideoWidget::updateVolumeButtonIcon, ctrl, &ControlPanelWgt::updateVolumeButtonIcon,
            queued);
    connect(video, &VlcQtVideoWidget::updatePlayPauseButton, ctrl, &ControlPanelWgt::updatePlayPauseButton,
            queued);

    // Map -> player: a click on the route plays the trip from that point.
    connect(map, &MapWidget::positionSelected, video, &VlcQtVideoWidget::setPosition, queued);

    // Window state: full screen asked for by the panel and announced back to it; activation
    // changes reach the video.
    connect(ctrl, &ControlPanelWgt::toggleFullScreen, this, &MainWindow::onToggleFullScreenMode, queued);
    connect(this, &MainWindow::fullScreenModeChanged, ctrl, &ControlPanelWgt::on_fullscreenModeChanged);
    connect(this, &MainWindow::updateActivationState, video, &VlcQtVideoWidget::updateActivationState,
            queued);
}

void MainWindow::connectEvidence()
{
    const auto queued = Qt::QueuedConnection;
    ControlPanelWgt* ctrl = ui->ctrlPanel;
    EvidenceExport* evidence = m_evidence;
    connect(m_session, &TripSession::tripLoaded, evidence, &EvidenceExport::setTripData, queued);
    connect(m_session, &TripSession::positionsReady, evidence, &EvidenceExport::setTripData, queued);
    evidence->setChannelSource([this]() { return shownChannels(); });
    evidence->setLayoutSource([this]() { return ChannelDeck::layoutKey(m_deck->channelLayout()); });
    // The clock beside the position is the session's, which knows the trip's records once they
    // arrive after the trip.
    ctrl->setClockSource([session = m_session](qint64 ms) { return session->clockAt(ms); });
    m_deck->setClockSource([session = m_session](qint64 ms) { return session->clockAt(ms); });
    ui->dataFrame->setClockSource([session = m_session](qint64 ms) { return session->clockAt(ms); });
    connect(m_session, &TripSession::positionsReady, ctrl, &ControlPanelWgt::refreshPosition, queued);

    connect(ctrl, &ControlPanelWgt::snapshotRequested, evidence, &EvidenceExport::takeSnapshot, queued);
    connect(ctrl, &ControlPanelWgt::exportClipRequested, evidence, &EvidenceExport::exportClip, queued);
    ctrl->form()->exportButton->setMenu(m_exportMenu);
    connect(m_exportMenu, &ExportMenu::clipRequested, ctrl, [ctrl, evidence]() {
        if (ctrl->isActive()) {
            const auto range = ctrl->exportRange();
            evidence->exportClip(range.first, range.second);
        }
    });
    connect(m_exportMenu, &ExportMenu::overlayRequested, ctrl, [ctrl, evidence]() {
        if (ctrl->isActive()) {
            const auto range = ctrl->exportRange();
            evidence->exportOverlay(range.first, range.second);
        }
    });
    connect(m_exportMenu, &ExportMenu::trackRequested, ctrl, [ctrl, evidence](TrackExport::Format format) {
        if (ctrl->isActive()) {
            const auto range = ctrl->exportRange();
            evidence->exportTrack(format, range.first, range.second);
        }
    });
    connect(m_exportMenu, &ExportMenu::clearMarksRequested, ctrl, &ControlPanelWgt::clearMarks);
    connect(
        ctrl, &ControlPanelWgt::marksChanged, m_exportMenu->clearMarksAction(),
        [this](qint64 in, qint64 out) { m_exportMenu->clearMarksAction()->setEnabled(in >= 0 || out >= 0); },
        queued);
    m_exportMenu->clearMarksAction()->setEnabled(false);
    connect(evidence, &EvidenceExport::note, m_statusNote, &StatusNote::showNote);
}

void MainWindow::connectMasks()
{
    VlcQtVideoWidget* video = ui->videoWidget;
    auto* outlines = new MaskOutlines(video->videoSurface());
    auto* panel = new MaskPanel(video->videoSurface());
    const auto queued = Qt::QueuedConnection;
    const auto setTrip = [outlines, panel](const TripDataPtr& data) {
        panel->setTrip(data ? data->trip() : Trip::TripList());
        outlines->setMasks(data ? MaskStore::load(data->trip()) : Masks());
    };
    connect(m_session, &TripSession::tripLoaded, this, setTrip, queued);
    // The masks' place follows the picture; while drawing, the still follows the player.
    connect(
        video, &VlcQtVideoWidget::onPositionChange, this,
        [outlines, panel](qint64 position) {
            outlines->setSeconds(double(position) / 1000.0);
            panel->showPosition(position);
        },
        queued);
    connect(video, &VlcQtVideoWidget::targetChanged, panel, &MaskPanel::showPosition, queued);
    connect(
        video, &VlcQtVideoWidget::playStateChanged, panel,
        [panel](VlcQtVideoWidget::PlayState state) {
            if (state == VlcQtVideoWidget::PlayState::Starting ||
                state == VlcQtVideoWidget::PlayState::Playing)
                panel->finish();
        },
        queued);
    connect(m_exportMenu, &ExportMenu::masksRequested, panel, [this, video, panel, outlines]() {
        if (!video->trip() || video->trip()->empty())
            return;
        // Masks are drawn on the trip's own channel: it is shown large for it.
        const QString own = video->trip()->front().channel;
        if (m_deck->largeChannel() != own && m_deck->channels().contains(own))
            m_deck->setLargeChannel(own);
        // Drawn on a still picture: playing pauses first.
        const VlcQtVideoWidget::PlayState state = video->playState();
        if (state == VlcQtVideoWidget::PlayState::Playing || state == VlcQtVideoWidget::PlayState::Starting)
            video->play();
        outlines->setMasks(Masks());
        m_deck->setOwnOnTop(true);
        panel->start(video->targetPosition());
    });
    connect(panel, &MaskPanel::finished, outlines, [panel, outlines, this]() {
        m_deck->setOwnOnTop(false);
        outlines->setMasks(panel->editor()->masks());
        m_statusNote->showNote(
            panel->editor()->masks().isEmpty()
                ? tr("No privacy masks on this trip.")
                : tr("Masks saved: exports with data and snapshots of this trip apply them."));
    });
    connect(panel, &MaskPanel::failed, m_statusNote, &StatusNote::showNote);
}

QStringList MainWindow::shownChannels() const
{
    // The channels on screen in the video area's layout, the one shown large first.
    return m_deck->shownChannels();
}

bool MainWindow::isWindowFullScreen() const
{
    QMutexLocker lock(&m_stateMutex);
    return m_currentState == FullScreen;
}

MainWindow::WinState MainWindow::currentState() const
{
    QMutexLocker lock(&m_stateMutex);
    return m_currentState;
}

MainWindow::WinState MainWindow::previousState() const
{
    QMutexLocker lock(&m_stateMutex);
    return m_previousState;
}

QString MainWindow::getWindowStateName(WinState state)
{
    static const std::map<int, QString> names = {{Minimized, QStringLiteral("Minimized")},
                                                 {Normal, QStringLiteral("Normal")},
                                                 {Maximized, QStringLiteral("Maximized")},
                                                 {FullScreen, QStringLiteral("FullScreen")}};
    const auto it = names.find(state);
    return it == names.end() ? QStringLiteral("Invalid") : it->second;
}

QScreen* MainWindow::activeScreen() const
{
    if (QGuiApplication::screens().size() >= 2 && windowHandle() && windowHandle()->screen()) {
        return windowHandle()->screen();
    }
    return QGuiApplication::primaryScreen();
}

QRect MainWindow::getScreenGeometry() const
{
    const QScreen* screen = activeScreen();
    return screen ? screen->geometry() : QRect();
}

QRect MainWindow::getAvailableGeometry() const
{
    const QScreen* screen = activeScreen();
    return screen ? screen->availableGeometry() : QRect();
}

QRect MainWindow::normalRect() const
{
    QRect rect = m_normalGeometry;
    rect.moveTopLeft(m_normalPos);
    return rect;
}

void MainWindow::applyState(WinState state)
{
    if (state == Minimized) {
        setWindowState(Qt::WindowMinimized);
        return;
    }
    if (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)) {
        m_applyingState = true;
        setWindowState(Qt::WindowNoState);
        m_applyingState = false;
    }
    switch (state) {
    case Normal:
        if (m_normalGeometry.isValid()) {
            setGeometry(normalRect());
        }
        break;
    case Maximized:
        setGeometry(getAvailableGeometry());
        break;
    case FullScreen:
        setGeometry(getScreenGeometry());
        break;
    case Minimized:
        break;
    }
}

void MainWindow::enterState(WinState state)
{
    {
        QMutexLocker lock(&m_stateMutex);
        m_previousState = m_currentState;
        m_currentState = state;
    }
    applyState(state);
    checkMaximizedTooltip();
}

void MainWindow::setWindowMinimized(bool force)
{
    if (force || currentState() != Minimized) {
        enterState(Minimized);
    }
}

void MainWindow::setWindowNormal(bool force)
{
    if (force || currentState() != Normal) {
        enterState(Normal);
    }
}

void MainWindow::setWindowMaximized(bool force)
{
    if (force || currentState() != Maximized) {
        enterState(Maximized);
    }
}

void MainWindow::setWindowFulscreen(bool force)
{
    if (force || currentState() != FullScreen) {
        enterState(FullScreen);
    }
}

void MainWindow::forceWindowStateAsRequested()
{
    WinState state;
    {
        QMutexLocker lock(&m_stateMutex);
        m_previousState = m_currentState;
        state = m_currentState;
    }
    applyState(state);
    checkMaximizedTooltip();
}

void MainWindow::forcePreviousWindowState()
{
    WinState state;
    {
        QMutexLocker lock(&m_stateMutex);
        // Coming back from a minimised window must not minimise it again.
        state = m_previousState == Minimized && m_currentState == Minimized ? Normal : m_previousState;
        m_previousState = m_currentState;
        m_currentState = state;
    }
    applyState(state);
    checkMaximizedTooltip();
}

void MainWindow::setFullScreenWidgetsVisible(bool visible)
{
    for (QWidget* widget : m_hideOnFullScreen) {
        widget->setVisible(visible);
    }
}

void MainWindow::onToggleFullScreenMode()
{
    QMutexLocker lock(&m_stateMutex);
    if (m_currentState == FullScreen) {
        enterState(m_previousState == Maximized ? Maximized : Normal);
        setFullScreenWidgetsVisible(true);
    } else {
        setFullScreenWidgetsVisible(false);
        enterState(FullScreen);
    }
    lock.unlock();
    emit fullScreenModeChanged();
}

void MainWindow::on_minimizeButton_clicked()
{
    setWindowMinimized(false);
}

void MainWindow::on_maximizeButton_clicked()
{
    QMutexLocker lock(&m_stateMutex);
    enterState(m_currentState == Maximized ? Normal : Maximized);
}

void MainWindow::on_closeButton_clicked()
{
    // During a clip export the question is what becomes of the clip (closeEvent).
    if (m_evidence->isExporting()) {
        close();
        return;
    }
    QMessageBox box;
    DialogLook::apply(&box);
    box.setWindowIcon(QIcon(Design::WindowIconPath));
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(ZelCfg::AppName);
    box.setText(tr("Do you want to close the application?"));
    QPushButton* yes = box.addButton(tr("Yes"), QMessageBox::YesRole);
    box.addButton(tr("No"), QMessageBox::NoRole);
    box.exec();
    if (box.clickedButton() == yes) {
        close();
    }
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // However the window is closed, a clip being exported is finished or cancelled, never cut off.
    if (!m_evidence->confirmQuit()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void MainWindow::on_infoButton_clicked()
{
    if (m_aboutDialog) {
        m_aboutDialog->show();
    }
}

void MainWindow::on_openFileButtonClicked()
{
    const QString stored = ZelSettings::value(ZelSettings::PlaylistPath, QString()).toString();
    setCursor(Qt::WaitCursor);
    QString dir;
    if (Fs::checkDirExists(stored)) {
        dir = stored;
    } else {
        for (const QString& home : QStandardPaths::standardLocations(QStandardPaths::HomeLocation)) {
            if (QDir(home).exists()) {
                dir = home;
                break;
            }
        }
        if (dir.isEmpty()) {
            dir = QDir::homePath();
        }
    }
    emit openFileDialog(dir);
}

void MainWindow::openPaths(const QStringList& paths)
{
    ui->fileWidget->openPaths(paths);
}

void MainWindow::on_setFileDialogFinished()
{
    unsetCursor();
}

void MainWindow::retranslateToolTips()
{
    const std::tuple<QWidget*, const char*, QKeySequence> tips[] = {
        {ui->openFileButton, QT_TRANSLATE_NOOP("QObject", "Open"), openShortcut()},
        {ui->infoButton, QT_TRANSLATE_NOOP("QObject", "About"), aboutShortcut()},
        {ui->langButton, QT_TRANSLATE_NOOP("QObject", "Select language"), QKeySequence()},
        {ui->minimizeButton, QT_TRANSLATE_NOOP("QObject", "Minimize"), QKeySequence()},
        {ui->closeButton, QT_TRANSLATE_NOOP("QObject", "Close"), closeShortcut()}};
    for (const auto& [widget, text, key] : tips) {
        widget->setToolTipDuration(TooltipDuration);
        widget->setToolTip(key.isEmpty() ? QObject::tr(text) : withShortcut(QObject::tr(text), key));
    }
    checkMaximizedTooltip();
}

void MainWindow::checkMaximizedTooltip()
{
    QMutexLocker lock(&m_stateMutex);
    ui->maximizeButton->setToolTipDuration(TooltipDuration);
    ui->maximizeButton->setToolTip(m_currentState == Maximized ? QObject::tr("Restore down")
                                                               : QObject::tr("Maximize"));
}

int MainWindow::edgeAt(const QPoint& pos) const
{
    const int w = width() - 1;
    const int h = height() - 1;
    if (QRect(QPoint(0, 0), QPoint(w, EdgeStrip)).contains(pos)) {
        return DragTop;
    }
    if (QRect(QPoint(0, h - EdgeStrip), QPoint(w, h)).contains(pos)) {
        return DragBottom;
    }
    if (QRect(QPoint(w - EdgeStrip, 0), QPoint(w, h)).contains(pos)) {
        return DragRight;
    }
    if (QRect(QPoint(0, 0), QPoint(EdgeStrip, h)).contains(pos)) {
        return DragLeft;
    }
    return DragNone;
}

static Qt::CursorShape cursorForDragMode(int mode)
{
    switch (mode) {
    case 2:
    case 3:
        return Qt::SizeVerCursor;
    case 4:
    case 5:
        return Qt::SizeHorCursor;
    default:
        return Qt::SizeAllCursor;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == this && (event->type() == QEvent::MouseMove || event->type() == QEvent::HoverMove)) {
        const WinState state = currentState();
        if (m_dragMode == DragNone && state != Maximized && state != FullScreen) {
            const QPoint pos = event->type() == QEvent::MouseMove ? static_cast<QMouseEvent*>(event)->pos()
                                                                  : static_cast<QHoverEvent*>(event)->pos();
            if (edgeAt(pos) == DragNone) {
                unsetCursor();
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    const WinState state = currentState();
    if (state != Maximized && state != FullScreen) {
        m_pressGlobalPos = event->globalPos();
        m_pressLocalPos = event->pos();
        const int edge = edgeAt(m_pressLocalPos);
        m_dragMode = edge == DragNone ? DragMove : edge;
        setCursor(cursorForDragMode(m_dragMode));
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event)
{
    QMutexLocker lock(&m_stateMutex);
    if (m_currentState == Maximized || m_currentState == FullScreen) {
        QMainWindow::mouseMoveEvent(event);
        return;
    }
    const QPoint globalPos = event->globalPos();
    if (m_dragMode == DragNone) {
        const int edge = edgeAt(event->pos());
        if (edge == DragNone) {
            unsetCursor();
        } else {
            setCursor(cursorForDragMode(edge));
        }
    } else if (m_dragMode == DragMove) {
        move(globalPos - m_pressLocalPos);
    } else {
        QRect rect = geometry();
        const QPoint travel = globalPos - m_pressGlobalPos;
        switch (m_dragMode) {
        case DragBottom:
            rect.setBottom(rect.bottom() + travel.y());
            break;
        case DragTop:
            rect.setTop(rect.top() + travel.y());
            break;
        case DragLeft:
            rect.setLeft(rect.left() + travel.x());
            break;
        case DragRight:
            rect.setRight(rect.right() + travel.x());
            break;
        default:
            break;
        }
        const QSize minimum = minimumSize();
        const QSize maximum = maximumSize();
        if (rect.width() >= minimum.width() && rect.width() <= maximum.width() &&
            rect.height() >= minimum.height() && rect.height() <= maximum.height()) {
            setGeometry(rect);
            m_pressGlobalPos = globalPos;
        }
    }
    QMainWindow::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressGlobalPos = QPoint();
    m_pressLocalPos = QPoint();
    unsetCursor();
    m_dragMode = DragNone;
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::leaveLargeState()
{
    const WinState state = currentState();
    if (state == FullScreen) {
        onToggleFullScreenMode();
    } else if (state == Maximized) {
        enterState(Normal);
    }
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    if (event->size() == m_lastSize) {
        return;
    }
    QMainWindow::resizeEvent(event);
    m_lastSize = event->size();
    QMutexLocker lock(&m_stateMutex);
    if (m_currentState == Normal) {
        m_normalGeometry = geometry();
    }
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    if (event->pos() == m_lastPos) {
        return;
    }
    QMainWindow::moveEvent(event);
    m_lastPos = event->pos();
    QMutexLocker lock(&m_stateMutex);
    if (m_currentState == Normal) {
        m_normalGeometry = geometry();
        m_normalPos = geometry().topLeft();
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    setAttribute(Qt::WA_Mapped);
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        // Once the window is on screen.
        auto* timer = new QTimer(this);
        timer->setSingleShot(true);
        connect(timer, &QTimer::timeout, this, &MainWindow::reportUnsavedSettings);
        connect(timer, &QTimer::timeout, timer, &QObject::deleteLater);
        timer->start(0);
    }
    QMutexLocker lock(&m_stateMutex);
    if (m_currentState == Normal) {
        // The plain top-left corner, as a move records it: a top-level window's geometry is
        // already in screen coordinates, and mapping it again would add the offset twice.
        m_normalPos = geometry().topLeft();
    }
}

void MainWindow::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::LocaleChange:
        ui->langButton->loadLanguage(QLocale::system().name());
        break;
    case QEvent::LanguageChange:
        ui->retranslateUi(this);
        retranslateToolTips();
        // Texts change width with the language (and with the units, which announce themselves
        // the same way); measured once the panels have taken their new texts.
        if (m_minimumSizeTimer) {
            m_minimumSizeTimer->start();
        }
        break;
    case QEvent::ActivationChange:
        emit updateActivationState();
        break;
    case QEvent::WindowStateChange:
        if (!m_applyingState) {
            const auto* change = static_cast<QWindowStateChangeEvent*>(event);
            if (windowState() & Qt::WindowMinimized) {
                QMutexLocker lock(&m_stateMutex);
                if (m_currentState != Minimized) {
                    m_previousState = m_currentState;
                    m_currentState = Minimized;
                }
            } else if (change->oldState() & Qt::WindowMinimized) {
                forcePreviousWindowState();
            }
        }
        break;
    default:
        break;
    }
    QMainWindow::changeEvent(event);
}

void MainWindow::paintEvent(QPaintEvent* event)
{
    Design::ApplyFixedSizeGradientForBackground(this);
    QMainWindow::paintEvent(event);
}
