#pragma once

#include "units.h"

#include <QToolButton>

class QAction;
class QActionGroup;
class QMenu;

// The gear button of the title bar: the units of speed and acceleration, the time offset
// of shown clock times, where snapshots go and whether they carry the data band, what clips
// exported with data show, and the privacy zones. Choices are remembered
// in the settings file and applied at once; until a speed unit is chosen it follows the system locale.
class SettingsButton : public QToolButton
{
    Q_OBJECT
public:
    explicit SettingsButton(QWidget* parent = nullptr);

    // Reads the stored choices into the units module. Run once at start-up.
    static void loadStoredSettings();
    // Offset of shown clock times in minutes, as stored.
    static int timeOffsetMinutes();
    static constexpr int MaxOffsetMinutes = 23 * 60 + 59;

    QMenu* settingsMenu() const { return m_menu; }
    QAction* speedAction(Units::SpeedUnit unit) const;
    QAction* accelerationAction(Units::AccelerationUnit unit) const;
    QAction* timeOffsetAction() const { return m_offsetAction; }
    QAction* snapshotFolderAction() const { return m_snapshotFolderAction; }
    QAction* snapshotStampAction() const { return m_stampAction; }
    QAction* hardwareDecodingAction() const { return m_hardwareAction; }
    QAction* clearCacheAction() const { return m_clearCacheAction; }
    QAction* overlayMapAction() const { return m_overlayMap; }
    QAction* overlayGraphAction() const { return m_overlayGraph; }
    QAction* privacyZonesAction() const { return m_zonesAction; }

public slots:
    void setSpeedUnit(Units::SpeedUnit unit);
    void setAccelerationUnit(Units::AccelerationUnit unit);
    void setTimeOffsetMinutes(int minutes);
    // Asks for the offset in a small dialog.
    void editTimeOffset();
    // Asks for the folder snapshots go to.
    void chooseSnapshotFolder();
    void setSnapshotStamp(bool stamp);
    // Whether playback may use the graphics hardware's decoder; from the next trip played on.
    void setHardwareDecoding(bool enabled);
    // Forgets what was learnt of recordings in earlier runs: their lengths, checks and position data.
    void clearCache();
    // Asks for the privacy zones in a small dialog.
    void editPrivacyZones();

signals:
    // A unit or the offset changed; every view has been told to show its values again.
    void displaySettingsChanged();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslateUi();
    void syncChecks();
    // Views re-read units and formats when their texts are set again.
    void announceChange();

    QMenu* m_menu = nullptr;
    QMenu* m_speedMenu = nullptr;
    QMenu* m_accelerationMenu = nullptr;
    QAction* m_kmh = nullptr;
    QAction* m_mph = nullptr;
    QAction* m_ms2 = nullptr;
    QAction* m_g = nullptr;
    QAction* m_offsetAction = nullptr;
    QAction* m_snapshotFolderAction = nullptr;
    QAction* m_stampAction = nullptr;
    QAction* m_hardwareAction = nullptr;
    QAction* m_clearCacheAction = nullptr;
    QMenu* m_overlayMenu = nullptr;
    QAction* m_overlayMap = nullptr;
    QAction* m_overlayGraph = nullptr;
    QAction* m_zonesAction = nullptr;
};

// "+1:30", "−0:45", "0:00".
QString timeOffsetText(int minutes);
