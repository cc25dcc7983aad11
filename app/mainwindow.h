#pragma once

#include "fullscreenstate.h"

#include <QKeySequence>
#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QRecursiveMutex>
#include <QSize>

#include <memory>
#include <vector>

class AboutDialog;
class ChannelDeck;
class EvidenceExport;
class ExportMenu;
class QGridLayout;
class QHBoxLayout;
class QShortcut;
class QTimer;
class QSizeGrip;
class QSplitter;
class QVBoxLayout;
class StatusNote;
class TripSession;
class TripSummary;
class Ui_MainWindow;

// The program's only top-level window: frameless, with its own title bar, resize edges
// and window-state bookkeeping. It builds every panel, lays them out and wires them.
class MainWindow : public QMainWindow, public FullScreenState
{
    Q_OBJECT
public:
    enum WinState
    {
        Minimized = 0,
        Normal = 1,
        Maximized = 2,
        FullScreen = 3
    };
    Q_ENUM(WinState)

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    bool isWindowFullScreen() const override;
    WinState currentState() const;
    WinState previousState() const;

    void setWindowMinimized(bool force = false);
    void setWindowNormal(bool force = false);
    void setWindowMaximized(bool force = false);
    void setWindowFulscreen(bool force = false);
    void forceWindowStateAsRequested();
    void forcePreviousWindowState();

    // Opens recordings as if they had been chosen in the open dialog.
    void openPaths(const QStringList& paths);

    QRect getScreenGeometry() const;
    QRect getAvailableGeometry() const;
    static QString getWindowStateName(WinState state);

    // Keys of the title bar's actions; their tooltips name them.
    static QKeySequence openShortcut();
    static QKeySequence aboutShortcut();
    static QKeySequence closeShortcut();
    // Recomputes the smallest window size at which every panel shows its content in full.
    void updateMinimumSize();

    // The form, for the code that wires panels and for tests.
    Ui_MainWindow* form() const { return ui.get(); }
    AboutDialog* aboutDialog() const { return m_aboutDialog; }
    // The selection, the trip and the playing position that every panel shows.
    TripSession* session() const { return m_session; }
    TripSummary* tripSummary() const { return m_tripSummary; }
    EvidenceExport* evidenceExport() const { return m_evidence; }
    ExportMenu* exportMenu() const { return m_exportMenu; }
    // The video area: the trip's channels and how they are laid out.
    ChannelDeck* channelDeck() const { return m_deck; }
    StatusNote* statusNote() const { return m_statusNote; }
    // The channels of the playing trip that the video area shows, main first: clip export and
    // snapshots make one file for each.
    QStringList shownChannels() const;

signals:
    void openFileDialog(const QString& dir);
    void fullScreenModeChanged();
    void updateActivationState();

public slots:
    void on_openFileButtonClicked();
    void on_setFileDialogFinished();
    void onToggleFullScreenMode();
    void on_infoButton_clicked();
    void on_minimizeButton_clicked();
    void on_maximizeButton_clicked();
    void on_closeButton_clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    enum DragMode
    {
        DragNone = 0,
        DragMove = 1,
        DragBottom = 2,
        DragTop = 3,
        DragLeft = 4,
        DragRight = 5
    };

    void setAppFont();
    void applyStyleSheets();
    void buildLayout();
    void makeConnections();
    void retranslateToolTips();
    void checkMaximizedTooltip();
    void makeShortcuts();
    void openFromShortcut();
    // Escape: leaves full screen, or a maximised window for the normal one.
    void leaveLargeState();
    void connectEvidence();
    // Privacy masks outlined on the picture and drawn on the paused picture.
    void connectMasks();
    // Tells the user once that settings cannot be kept, when no private folder is writable.
    void reportUnsavedSettings();

    // Records `state` as current (the old one as previous) and applies it.
    void enterState(WinState state);
    void applyState(WinState state);
    QRect normalRect() const;
    QScreen* activeScreen() const;
    // Edge strip under a window-local point: a drag mode 2 to 5, or DragNone.
    int edgeAt(const QPoint& localPos) const;
    void setFullScreenWidgetsVisible(bool visible);

    std::unique_ptr<Ui_MainWindow> ui;
    AboutDialog* m_aboutDialog = nullptr;
    QHBoxLayout* m_buttonsLayout = nullptr;
    QHBoxLayout* m_titleLayout = nullptr;
    QVBoxLayout* m_leftLayout = nullptr;
    QWidget* m_leftPanel = nullptr;
    QSplitter* m_rightSplitter = nullptr;
    QSplitter* m_mainSplitter = nullptr;
    QSizeGrip* m_sizeGrips[4] = {};
    QVBoxLayout* m_contentLayout = nullptr;
    QGridLayout* m_panelGrid = nullptr;
    QGridLayout* m_frameGrid = nullptr;
    QSize m_lastSize;
    QPoint m_lastPos;
    QPoint m_normalPos;
    std::vector<QWidget*> m_hideOnFullScreen;
    TripSession* m_session = nullptr;
    TripSummary* m_tripSummary = nullptr; // in the panel grid, below the graph
    EvidenceExport* m_evidence = nullptr;
    ExportMenu* m_exportMenu = nullptr;
    ChannelDeck* m_deck = nullptr;
    StatusNote* m_statusNote = nullptr;
    int m_dragMode = DragNone;
    QPoint m_pressGlobalPos;
    QPoint m_pressLocalPos;
    mutable QRecursiveMutex m_stateMutex;
    WinState m_previousState = Normal;
    WinState m_currentState = Normal;
    QRect m_normalGeometry;
    // Set while the window clears its own minimised flag, so that state change is not
    // taken for a restore by the system.
    bool m_applyingState = false;
    bool m_shownBefore = false;
    // Measures the minimum size once the panels have taken new texts.
    QTimer* m_minimumSizeTimer = nullptr;
};
