#pragma once

#include "duration.h"
#include "playeractions.h"
#include "tripitem.h"

#include <QDateTime>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QHBoxLayout;
class QSpacerItem;
class QVBoxLayout;
class Ui_ControlPanelWgt;

// Playback controls under the video. Holds no playback logic: clicks and slider moves
// become signals, the video widget's reports come back into the slots. While no trip
// with a length is loaded, every signal but toggleFullScreen() is held back.
class ControlPanelWgt : public QWidget
{
    Q_OBJECT
public:
    explicit ControlPanelWgt(QWidget* parent = nullptr);
    ~ControlPanelWgt() override;

    // Follows the full-screen state of the window first.
    void show();

    Ui_ControlPanelWgt* form() const { return ui; }
    PlayerActions* actions() const { return m_actions; }

    // The recording's clock time at a trip position, shown beside the position.
    void setClockSource(std::function<QDateTime(qint64)> source);
    // In and out points on the trip timeline, -1 for none.
    qint64 inPoint() const { return m_in; }
    qint64 outPoint() const { return m_out; }
    // The in-out range, or the whole trip where a point is missing.
    std::pair<qint64, qint64> exportRange() const;
    bool isActive() const { return m_active; }

public slots:
    void setMedia(std::shared_ptr<Trip::TripList> trip);
    void updateDuration(qint64 duration);
    void updatePosition(qint64 position);
    void updateVolumeButtonIcon(int volume, bool muted);
    void updatePlayPauseButton(int state);
    void on_fullscreenModeChanged();
    void updateRate(double rate);
    // Shows the position and its clock time again, as when the data behind the clock arrived.
    void refreshPosition();
    // Sets the in (out) point at the position shown; again at the same point clears it.
    void markIn();
    void markOut();
    void clearMarks();

signals:
    void toggleFullScreen();
    // V and C: the next layout of a trip's channels, the next channel shown large.
    void cycleChannelLayout();
    void cycleLargeChannel();
    void toggleMute();
    void play();
    void rewind();
    void forward();
    void setVolume(int volume);
    void setPosition(int position);
    void seekBy(int ms);
    void stepFrame(int frames);
    void setRate(double rate);
    void snapshotRequested(qint64 position);
    void exportClipRequested(qint64 from, qint64 to);
    void marksChanged(qint64 in, qint64 out);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void on_maxminButton_clicked();
    void on_volumeButton_clicked();
    void on_playpauseButton_clicked();
    void on_rewButton_clicked();
    void on_ffdButton_clicked();
    void volumeChanged(int volume);
    void positionChanged(int position);
    void runCommand(PlayerActions::Command command);

private:
    void createLayout();
    void clearPositionItems();
    void updateRangeColours();
    void updateSliderLayout();
    void retranslateToolTips();
    void updateFullScreenToolTip();
    void updatePlayPauseToolTip();
    void updateVolumeToolTip();
    void showPosition();
    void showClock();
    // The position as the picture on screen has it: not past the last picture of its file,
    // whose sound may go on beyond it.
    qint64 pictureTime(qint64 position) const;
    void readLastPictures();
    // The speed, in/out, snapshot and export controls: on while a trip with a length is loaded.
    void setTripControlsEnabled(bool enabled);
    void applyMarks();
    void changeRate(int steps);

    Ui_ControlPanelWgt* ui = nullptr;
    QHBoxLayout* m_buttonLayout = nullptr;
    QHBoxLayout* m_buttonRowLayout = nullptr;
    QHBoxLayout* m_labelLayout = nullptr;
    QVBoxLayout* m_sliderColumnLayout = nullptr;
    QHBoxLayout* m_sliderLayout = nullptr;
    QVBoxLayout* m_mainLayout = nullptr;
    QSpacerItem* m_leftSpacer = nullptr;
    QSpacerItem* m_rightSpacer = nullptr;
    QSpacerItem* m_centreSpacer = nullptr;
    Duration m_position;
    QDateTime m_clock; // the recorded clock time at m_position; invalid when unknown
    Duration m_duration;
    std::atomic<bool> m_active{false};
    bool m_playing = false;
    bool m_muted = false;
    bool m_fullScreenLayout = false;
    int m_lastWidth = -1;
    int m_lastHeight = -1;
    std::shared_ptr<Trip::TripList> m_trip;
    // Where each file's last picture starts, from the files' headers; empty until read.
    std::vector<qint64> m_lastPictures;
    PlayerActions* m_actions = nullptr;
    std::function<QDateTime(qint64)> m_clockSource;
    double m_rate = 1.0;
    qint64 m_in = -1;
    qint64 m_out = -1;
};
