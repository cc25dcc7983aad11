#pragma once

#include "tripitem.h"
#include "triptimeline.h"

#include <QMutex>
#include <QStringList>
#include <QWidget>

#include <atomic>
#include <memory>
#include <vector>

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
class VlcQtVideoWidget : public QWidget
{
    Q_OBJECT
public:
    enum Page
    {
        VideoPage = 0,
        EndPage = 1
    };

    explicit VlcQtVideoWidget(QWidget* parent = nullptr);
    ~VlcQtVideoWidget() override;

    int currentPage() const;

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

signals:
    void onPositionChange(qint64 position);
    void onDurationChange(qint64 duration);
    void onCurrentVideoChange(const QString& name);
    void updateVolumeButtonIcon(int volume, bool muted);
    void updatePlayPauseButton(int state);
    void openingMedia();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

    // Options for each new engine instance.
    virtual QStringList engineArguments() const;
    // Tells the user that the trip's video cannot be played.
    virtual void showLoadError();

    VlcPlayer* player() const { return m_player; }

private slots:
    void openMedia();
    void timeChanged(int time);
    void stateChanged();
    void mediaChanged(const QString& path);
    void mediaPlayerError(const QString& message);
    void muteChanged();
    void playingStateChanged();

private:
    void createPlayer();
    void setupPosition(int position, bool notify, bool force);
    void redrawVideoWidget();
    void showPage(Page page);
    bool fromCurrentPlayer() const;
    bool seekOutstanding(qint64 position) const;
    void mapEngineItems(int refused);
    int playableFrom(int index) const;
    bool isLastPlayable(int index) const;
    void clearPendingSeek();

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
    // Engine list index of each trip file; -1 for a file the engine refused to play.
    std::vector<int> m_engineIndex;
    std::atomic<int> m_currentIndex{0};
    std::atomic<int> m_pendingIndex{-1};
    qint64 m_duration = 0;
    std::atomic<qint64> m_position{0};
    std::atomic<int> m_pendingPosition{-1};
    std::atomic<bool> m_keepPaused{false};
    std::atomic<bool> m_mouseMoved{false};
    int m_volume = 60;
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
    int m_heldSeeks = 0;
    int m_wasActive = -1;
};
