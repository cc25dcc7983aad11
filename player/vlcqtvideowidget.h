#pragma once

#include "tripitem.h"
#include "triptimeline.h"

#include <QElapsedTimer>
#include <QMutex>
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

    // Playback speeds offered, slowest first.
    static const QList<double>& rates();

    explicit VlcQtVideoWidget(QWidget* parent = nullptr);
    ~VlcQtVideoWidget() override;

    int currentPage() const;
    double rate() const { return m_rate; }
    // The trip position last published.
    qint64 position() const { return m_published; }

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
    VlcVideoWidget* videoSurface() const;

private slots:
    void openMedia();
    void timeChanged(int time);
    void stateChanged();
    void mediaChanged(const QString& path);
    void mediaPlayerError(const QString& message);
    void muteChanged();
    void playingStateChanged();
    void buffering(int percent);
    void pictureShown();
    void confirmSeek();

private:
    void createPlayer();
    void setupPosition(qint64 position, bool notify);
    void showPage(Page page);
    bool fromCurrentPlayer() const;
    bool seekOutstanding(qint64 position) const;
    int playableFrom(int index) const;
    bool isLastPlayable(int index) const;
    void clearPendingSeek();
    void publish(qint64 position);
    // Where the picture on screen is now, from the latest report and the time since.
    qint64 shownPosition() const;
    // Where a seek or step starts: the picture on screen, or the target of one under way.
    qint64 targetPosition() const;
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
    QMutex m_mutex{QMutex::Recursive};
    VlcInstance* m_instance = nullptr;
    VlcPlayer* m_player = nullptr;
    QStringList m_files;
    std::shared_ptr<Trip::TripList> m_trip;
    TripTimeline m_timeline;
    std::atomic<int> m_currentIndex{0};
    std::atomic<int> m_pendingIndex{-1};
    qint64 m_duration = 0;
    std::atomic<qint64> m_position{0};
    // The position last told through onPositionChange.
    std::atomic<qint64> m_published{0};
    // When m_position was last taken from the engine or set by a seek.
    QElapsedTimer m_positionClock;
    std::atomic<qint64> m_pendingPosition{-1};
    std::atomic<bool> m_keepPaused{false};
    std::atomic<bool> m_mouseMoved{false};
    int m_volume = 60;
    // The user's choice, shown on the volume button.
    bool m_muted = false;
    bool m_requestedMute = false;
    QTimer* m_muteTimer = nullptr;
    int m_expectedState = 0;
    QTimer* m_stateTimer = nullptr;
    std::atomic<int> m_lastState;
    std::atomic<bool> m_ready{false};
    int m_invalidMuteCounter = 0;
    int m_invalidStateCounter = 0;
    int m_heldReports = 0;
    int m_wasActive = -1;
    double m_rate = 1.0;
    // A pause asked for while playing: the position to show once the engine has paused.
    qint64 m_pauseTarget = -1;
    // A seek into another file while paused: the position to show once that file plays.
    qint64 m_switchTarget = -1;
    // The file switched to has sent its first time report.
    bool m_switchReported = false;
    // Where in its file the switched-to file was started.
    int m_switchStart = 0;
    // A seek of the paused engine whose picture has not come yet.
    bool m_awaitingPicture = false;
    bool m_bufferingSeen = false;
    qint64 m_pictureTarget = -1;
    QTimer* m_pictureTimer = nullptr;
    // The position of a file switched to while paused, sought once more a moment later.
    qint64 m_confirmTarget = -1;
    QTimer* m_confirmTimer = nullptr;
    bool m_missingReported = false;
};
