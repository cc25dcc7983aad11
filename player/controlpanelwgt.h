#pragma once

#include "duration.h"
#include "tripitem.h"

#include <QWidget>

#include <atomic>
#include <memory>

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

public slots:
    void setMedia(std::shared_ptr<Trip::TripList> trip);
    void updateDuration(qint64 duration);
    void updatePosition(qint64 position);
    void updateVolumeButtonIcon(int volume, bool muted);
    void updatePlayPauseButton(int state);
    void on_fullscreenModeChanged();

signals:
    void toggleFullScreen();
    void toggleMute();
    void play();
    void rewind();
    void forward();
    void setVolume(int volume);
    void setPosition(int position);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void on_maxminButton_clicked();
    void on_volumeButton_clicked();
    void on_playpauseButton_clicked();
    void on_rewButton_clicked();
    void on_ffdButton_clicked();
    void volumeChanged(int volume);
    void positionChanged(int position);

private:
    void createLayout();
    void clearPositionItems();
    void updateRangeColours();
    void updateSliderLayout();
    void retranslateToolTips();
    void updateFullScreenToolTip();
    void updatePlayPauseToolTip();
    void updateVolumeToolTip();

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
    Duration m_duration;
    std::atomic<bool> m_active{false};
    bool m_playing = false;
    bool m_muted = false;
    bool m_fullScreenLayout = false;
    int m_lastWidth = -1;
    int m_lastHeight = -1;
    std::shared_ptr<Trip::TripList> m_trip;
};
