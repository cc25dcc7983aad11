#include "settingsbutton.h"

#include "dialoglook.h"
#include "evidenceexport.h"
#include "mediacache.h"
#include "overlaypainter.h"
#include "privacyzonesdialog.h"
#include "stylesheet.h"
#include "timeoffsetdialog.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QMenu>

namespace {

const QString KmhValue = QStringLiteral("kmh");
const QString MphValue = QStringLiteral("mph");
const QString Ms2Value = QStringLiteral("ms2");
const QString GValue = QStringLiteral("g");

} // namespace

QString timeOffsetText(int minutes)
{
    const QString sign = minutes > 0   ? QStringLiteral("+")
                         : minutes < 0 ? QString::fromUtf8("\u2212")
                                       : QString();
    return sign + QString::asprintf("%d:%02d", qAbs(minutes) / 60, qAbs(minutes) % 60);
}

SettingsButton::SettingsButton(QWidget* parent) : QToolButton(parent), m_menu(new QMenu(this))
{
    setObjectName(QStringLiteral("settingsButton"));
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myMenu.qss"), style))
        m_menu->setStyleSheet(style);
    QFont menuFont = font();
    menuFont.setPointSize(12);
    m_menu->setFont(menuFont);

    m_speedMenu = m_menu->addMenu(QString());
    m_accelerationMenu = m_menu->addMenu(QString());
    m_menu->addSeparator();
    m_offsetAction = m_menu->addAction(QString());
    m_menu->addSeparator();
    m_snapshotFolderAction = m_menu->addAction(QString());
    m_stampAction = m_menu->addAction(QString());
    m_stampAction->setCheckable(true);
    m_menu->addSeparator();
    m_hardwareAction = m_menu->addAction(QString());
    m_hardwareAction->setObjectName(QStringLiteral("hardwareDecodingAction"));
    m_hardwareAction->setCheckable(true);
    m_clearCacheAction = m_menu->addAction(QString());
    m_clearCacheAction->setObjectName(QStringLiteral("clearCacheAction"));
    m_overlayMenu = m_menu->addMenu(QString());
    m_overlayMap = m_overlayMenu->addAction(QString());
    m_overlayGraph = m_overlayMenu->addAction(QString());
    m_zonesAction = m_menu->addAction(QString());
    for (QAction* action : {m_overlayMap, m_overlayGraph}) {
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, [this]() {
            EvidenceExport::setOverlayItems(OverlayPainter::Band |
                                            (m_overlayMap->isChecked() ? OverlayPainter::Map : 0) |
                                            (m_overlayGraph->isChecked() ? OverlayPainter::Graph : 0));
        });
    }
    connect(m_zonesAction, &QAction::triggered, this, &SettingsButton::editPrivacyZones);
    for (QMenu* sub : {m_speedMenu, m_accelerationMenu, m_overlayMenu}) {
        sub->setStyleSheet(style);
        sub->setFont(menuFont);
    }

    auto* speeds = new QActionGroup(this);
    m_kmh = m_speedMenu->addAction(QString());
    m_mph = m_speedMenu->addAction(QString());
    auto* accelerations = new QActionGroup(this);
    m_ms2 = m_accelerationMenu->addAction(QString());
    m_g = m_accelerationMenu->addAction(QString());
    for (QAction* action : {m_kmh, m_mph}) {
        action->setCheckable(true);
        speeds->addAction(action);
    }
    for (QAction* action : {m_ms2, m_g}) {
        action->setCheckable(true);
        accelerations->addAction(action);
    }
    connect(m_kmh, &QAction::triggered, this,
            [this]() { setSpeedUnit(Units::SpeedUnit::KilometresPerHour); });
    connect(m_mph, &QAction::triggered, this, [this]() { setSpeedUnit(Units::SpeedUnit::MilesPerHour); });
    connect(m_ms2, &QAction::triggered, this,
            [this]() { setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared); });
    connect(m_g, &QAction::triggered, this,
            [this]() { setAccelerationUnit(Units::AccelerationUnit::StandardGravity); });
    connect(m_offsetAction, &QAction::triggered, this, &SettingsButton::editTimeOffset);
    connect(m_snapshotFolderAction, &QAction::triggered, this, &SettingsButton::chooseSnapshotFolder);
    connect(m_stampAction, &QAction::triggered, this, &SettingsButton::setSnapshotStamp);
    connect(m_hardwareAction, &QAction::triggered, this, &SettingsButton::setHardwareDecoding);
    connect(m_clearCacheAction, &QAction::triggered, this, &SettingsButton::clearCache);

    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
    loadStoredSettings();
    retranslateUi();
}

void SettingsButton::loadStoredSettings()
{
    const QString speed = ZelSettings::value(ZelSettings::SpeedUnit).toString();
    if (speed == KmhValue)
        Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    else if (speed == MphValue)
        Units::setSpeedUnit(Units::SpeedUnit::MilesPerHour);
    const QString acceleration = ZelSettings::value(ZelSettings::AccelerationUnit).toString();
    Units::setAccelerationUnit(acceleration == GValue ? Units::AccelerationUnit::StandardGravity
                                                      : Units::AccelerationUnit::MetresPerSecondSquared);
    Units::setClockOffsetSeconds(qint64(timeOffsetMinutes()) * 60);
}

int SettingsButton::timeOffsetMinutes()
{
    bool ok = false;
    const int minutes = ZelSettings::value(ZelSettings::TimeOffset, 0).toInt(&ok);
    // A value edited by hand beyond a day or not a number counts as no offset.
    return ok && qAbs(minutes) <= MaxOffsetMinutes ? minutes : 0;
}

QAction* SettingsButton::speedAction(Units::SpeedUnit unit) const
{
    return unit == Units::SpeedUnit::KilometresPerHour ? m_kmh : m_mph;
}

QAction* SettingsButton::accelerationAction(Units::AccelerationUnit unit) const
{
    return unit == Units::AccelerationUnit::StandardGravity ? m_g : m_ms2;
}

void SettingsButton::setSpeedUnit(Units::SpeedUnit unit)
{
    Units::setSpeedUnit(unit);
    ZelSettings::setValue(ZelSettings::SpeedUnit,
                          unit == Units::SpeedUnit::KilometresPerHour ? KmhValue : MphValue);
    announceChange();
}

void SettingsButton::setAccelerationUnit(Units::AccelerationUnit unit)
{
    Units::setAccelerationUnit(unit);
    ZelSettings::setValue(ZelSettings::AccelerationUnit,
                          unit == Units::AccelerationUnit::StandardGravity ? GValue : Ms2Value);
    announceChange();
}

void SettingsButton::setTimeOffsetMinutes(int minutes)
{
    minutes = qBound(-MaxOffsetMinutes, minutes, MaxOffsetMinutes);
    Units::setClockOffsetSeconds(qint64(minutes) * 60);
    ZelSettings::setValue(ZelSettings::TimeOffset, minutes);
    announceChange();
}

void SettingsButton::editTimeOffset()
{
    TimeOffsetDialog dialog(timeOffsetMinutes(), this);
    if (dialog.exec() == QDialog::Accepted)
        setTimeOffsetMinutes(dialog.minutes());
}

void SettingsButton::chooseSnapshotFolder()
{
    QFileDialog dialog(DialogLook::parentFor(this), tr("Folder for snapshots"),
                       EvidenceExport::snapshotFolder());
    dialog.setObjectName(QStringLiteral("snapshotFolderDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    DialogLook::apply(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    ZelSettings::setValue(ZelSettings::SnapshotPath, dialog.selectedFiles().first());
    retranslateUi();
}

void SettingsButton::setSnapshotStamp(bool stamp)
{
    ZelSettings::setValue(ZelSettings::SnapshotStamp, stamp);
    syncChecks();
}

void SettingsButton::editPrivacyZones()
{
    PrivacyZonesDialog dialog(PrivacyZones::stored(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    PrivacyZones::store(dialog.zones());
    retranslateUi();
}

void SettingsButton::setHardwareDecoding(bool enabled)
{
    ZelSettings::setValue(ZelSettings::HardwareDecoding, enabled);
    syncChecks();
}

void SettingsButton::clearCache()
{
    MediaCache::clearAll();
}

void SettingsButton::announceChange()
{
    syncChecks();
    retranslateUi();
    // Every panel sets its texts again on a language change and reads units and formats as it
    // does; the same event after a change of units makes them show the new ones.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        QEvent change(QEvent::LanguageChange);
        QCoreApplication::sendEvent(window, &change);
        window->update();
    }
    emit displaySettingsChanged();
}

void SettingsButton::syncChecks()
{
    speedAction(Units::speedUnit())->setChecked(true);
    accelerationAction(Units::accelerationUnit())->setChecked(true);
    m_stampAction->setChecked(EvidenceExport::snapshotStamp());
    m_hardwareAction->setChecked(ZelSettings::value(ZelSettings::HardwareDecoding, true).toBool());
    m_overlayMap->setChecked(EvidenceExport::overlayItems() & OverlayPainter::Map);
    m_overlayGraph->setChecked(EvidenceExport::overlayItems() & OverlayPainter::Graph);
}

void SettingsButton::retranslateUi()
{
    setToolTipDuration(5000);
    setToolTip(tr("Settings: units, time offset and snapshots"));
    m_speedMenu->setTitle(tr("Speed"));
    m_accelerationMenu->setTitle(tr("Acceleration"));
    m_kmh->setText(tr("Kilometres per hour (km/h)"));
    m_mph->setText(tr("Miles per hour (mph)"));
    m_ms2->setText(tr("Metres per second squared (m/s²)"));
    m_g->setText(tr("Standard gravity (g)"));
    m_offsetAction->setText(tr("Time offset: %1 h\u2026").arg(timeOffsetText(timeOffsetMinutes())));
    // A long path is shown by its end, which names the folder.
    QString folder = QDir::toNativeSeparators(EvidenceExport::snapshotFolder());
    if (folder.size() > 40)
        folder = QStringLiteral("\u2026") + folder.right(39);
    m_snapshotFolderAction->setText(tr("Snapshot folder: %1\u2026").arg(folder));
    m_stampAction->setText(tr("Data band below snapshots"));
    m_hardwareAction->setText(tr("Hardware video decoding"));
    m_clearCacheAction->setText(tr("Clear cache"));
    m_overlayMenu->setTitle(tr("Clips exported with data"));
    m_overlayMap->setText(tr("Route map"));
    m_overlayGraph->setText(tr("Speed and acceleration strip"));
    const int zones = PrivacyZones::stored().zones().size();
    m_zonesAction->setText(tr("Privacy zones: %n\u2026", nullptr, zones));
    syncChecks();
}

void SettingsButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslateUi();
    QToolButton::changeEvent(event);
}
