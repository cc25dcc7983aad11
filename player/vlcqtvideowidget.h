#pragma once

#include "tripitem.h"
#include "triptimeline.h"
#include "vireo/vlcenums.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <memory>

class QStackedWidget;
class QTimer;
class QVBoxLayout;
class VlcInstance;
class VlcPlayer;
class VlcVideoWidget;

class Ui_VlcQtVideoWidget
{
public:
    VlcVideoWidget* video = nullptr;

    void setupUi(QWidget* widget);
};

// Plays the files of one trip back to back and presents them as a single timeline in
// milliseconds from the start of the trip's first file. Every trip gets a fresh engine
// instance and player; the engine's reports arrive queued and are translated from
// (file, time in file) to the trip position.
//
// The published position describes the picture on screen. While playing it is the
// engine's latest report. A pause, a seek while paused and a frame step put the engine
// on a known position and publish that position once the engine has its picture.
class VlcQtVideoWidget : public QWidget
{
    Q_OBJECT
public:
    enum Page
    {
        VideoPage = 0,
        EndPage = 1
    };

    // What the widget is doing with the trip. The engine's own state follows with a delay;
    // the states with "Paused" or a pause in them keep the picture still.
    enum class PlayState
    {
        NoTrip,         // nothing loaded, or unloaded
        Opening,        // a trip's files are being opened
        Starting,       // play asked for, the engine not playing yet
        Playing,        // playing
        Pausing,        // pause asked for while playing; then the picture is put on the target
        Paused,         // still, the picture on screen is the one published
        SeekingPaused,  // a seek of the paused engine, until its picture is shown
        SwitchingFile,  // another file started while paused, until it has sent its first report
        SettlingFile,   // that file reported and is being paused
        ConfirmingSeek, // that file paused; its target is sought once more a moment later
        Stopped,        // the engine stopped (also when a file of the trip has gone)
        Ended           // the trip played (or was sought) to its end
    };
    Q_ENUM(PlayState)

    // Playback speeds offered, slowest first.
    static const QList<double>& rates();
    // The transitions the widget makes; every other one is a fault.
    static bool canMove(PlayState from, PlayState to);
    static QList<PlayState> playStates();

    explicit VlcQtVideoWidget(QWidget* parent = nullptr);
    ~VlcQtVideoWidget() override;

    int currentPage() const;
    double rate() const { return m_rate; }
    // The trip position last published.
    qint64 position() const { return m_published; }
    // Where the picture on screen is now, from the latest report and the time since.
    qint64 shownPosition() const;
    // Where a seek or step starts: the picture on screen, or the target of one under way.
    qint64 targetPosition() const;
    // While playing, the engine's latest report taken when it was made and carried on to now
    // (no queue on the way); otherwise shownPosition(). For comparing two players at one moment.
    qint64 enginePosition() const;
    // The trip's files, as set.
    std::shared_ptr<Trip::TripList> trip() const { return m_trip; }
    // Scales the engine's speed by factor (near 1) without changing rate(): lets a picture that
    // runs early or late catch up smoothly.
    void setRateTrim(double factor);
    double rateTrim() const { return m_trim; }
    PlayState playState() const { return m_state; }
    // The frame that holds the engine's window.
    VlcVideoWidget* videoSurface() const;

public slots:
    void setMedia(std::shared_ptr<Trip::TripList> list);
    void play();
    void stop();
    void rewind();
    void forward();
    void toggleMute();
    void setVolume(int volume);
    void setPosition(int position);
    void updateActivationState();

    // Moves the position by ms (negative: back).
    void seekBy(int ms);
    // Shows the frame `frames` frames after (before, when negative) the one on screen, also
    // in the next or previous file. Pauses first when playing.
    void stepFrame(int frames);
    // Playback speed, 1.0 normal, within the range of rates(); it holds across files and
    // trips until changed. Sound is off above 2x, where the engine cannot keep it clean.
    void setRate(double rate);

signals:
    void onPositionChange(qint64 position);
    void onDurationChange(qint64 duration);
    void onCurrentVideoChange(const QString& name);
    void updateVolumeButtonIcon(int volume, bool muted);
    void updatePlayPauseButton(int state);
    void openingMedia();
    void rateChanged(double rate);
    void playStateChanged(VlcQtVideoWidget::PlayState state);
    // A seek, step or pause has chosen the position the picture goes to.
    void targetChanged(qint64 position);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Options for each new engine instance.
    virtual QStringList engineArguments() const;
    // Tells the user that the trip's video cannot be played.
    virtual void showLoadError();
    // Tells the user that playback stopped because a file of the trip has gone.
    virtual void showMissingFile(const QString& file);

    VlcPlayer* player() const { return m_player; }
    // A paused seek starts its file anew at the target instead of seeking the paused engine
    // (FFmpeg's reader in the engine can miss the picture of a paused seek).
    void setReopenPausedSeeks(bool reopen) { m_reopenPausedSeeks = reopen; }

private slots:
    void openMedia();
    void timeChanged(int time);
    void stateChanged();
    void mediaChanged(const QString& path);
    void mediaPlayerError(const QString& message);
    void muteChanged();
    void commandPoll();
    void buffering(int percent);
    void pictureShown();
    void confirmSeek();
    // The message boxes run their own event loop: they are shown after the transition.
    void reportLoadError();

private:
    // Moves to state: stops the timer of the state left, and confirms a play or pause
    // on the button once the engine has taken it.
    void setState(PlayState state);
    // Acts on a state the engine has reached.
    void engineStateReached(int state);
    // The picture stands still (paused, or about to be), whatever the engine does.
    bool keepsPaused() const;
    // A seek of the paused engine is under way: a new one waits for it.
    bool pausedSeekUnderWay() const;
    // Starts the seek that waited for a paused one, once none is under way; true when it did.
    bool seekQueued();
    void reportMissingFile(const QString& file);

    void createPlayer();
    void setupPosition(qint64 position, bool notify);
    void showPage(Page page);
    bool fromCurrentPlayer() const;
    bool seekOutstanding(qint64 position) const;
    int playableFrom(int index) const;
    bool isLastPlayable(int index) const;
    void clearPendingSeek();
    void publish(qint64 position);
    // Seeks the paused engine to position and publishes it when its picture is there.
    void seekPaused(qint64 position);
    int pausedSeekTime(qint64 position) const;
    double frameInterval() const;
    bool engineMuteWanted() const;
    void applyEngineMute();
    // Stops playback for good when a file of the trip has gone; true when one has.
    bool stopIfFileMissing(int from, int to);

    Ui_VlcQtVideoWidget* ui = nullptr;
    QStackedWidget* m_stack = nullptr;
    QVBoxLayout* m_layout = nullptr;
    int m_lastWidth = -1;
    int m_lastHeight = -1;
    VlcInstance* m_instance = nullptr;
    VlcPlayer* m_player = nullptr;
    QStringList m_files;
    std::shared_ptr<Trip::TripList> m_trip;
    TripTimeline m_timeline;
    qint64 m_duration = 0;

    PlayState m_state = PlayState::NoTrip;
    // The position the state is heading for: the picture to pause on (Pausing), to show
    // (SeekingPaused), or of the file switched to (SwitchingFile, SettlingFile,
    // ConfirmingSeek); -1 in the other states.
    qint64 m_stateTarget = -1;
    // A seek asked for while a paused one was under way: sought once that one's picture is shown.
    qint64 m_queuedTarget = -1;
    // SeekingPaused: the engine has begun buffering for the seek.
    bool m_bufferingSeen = false;
    // SwitchingFile: where in its file the switched-to file was started.
    int m_switchStart = 0;
    // The timers of the states that own them; each stops when its state is left.
    QTimer* m_startingPausingTimer = nullptr;
    QTimer* m_seekingPausedTimer = nullptr;
    QTimer* m_confirmingSeekTimer = nullptr;
    int m_commandPolls = 0;

    int m_currentIndex = 0;
    // File of a seek that switched files and is not yet confirmed by the engine; -1 none.
    int m_pendingIndex = -1;
    // Trip position of a seek while playing not yet confirmed by a report; -1 none.
    qint64 m_pendingPosition = -1;
    int m_heldReports = 0;
    qint64 m_position = 0;
    // The position last told through onPositionChange.
    qint64 m_published = 0;
    // When m_position was last taken from the engine or set by a seek.
    QElapsedTimer m_positionClock;
    int m_lastEngineState = VlcEnums::Error;

    bool m_mouseMoved = false;
    int m_volume = 60;
    // The user's choice, shown on the volume button.
    bool m_muted = false;
    bool m_requestedMute = false;
    // Runs while a mute toggle waits for the engine to take it.
    QTimer* m_muteTimer = nullptr;
    int m_mutePolls = 0;
    int m_wasActive = -1;
    double m_rate = 1.0;
    double m_trim = 1.0;
    bool m_reopenPausedSeeks = false;
    // The engine's latest time report and when it was made (steady clock, ms), written on the
    // engine's event thread as it reports: free of the delay of the queued report.
    std::atomic<qint64> m_reportedTime{-1};
    std::atomic<qint64> m_reportedAt{0};
    bool m_missingReported = false;
};
