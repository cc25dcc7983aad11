#include "drivedata.h"
#include "evidenceexport.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mediacache.h"
#include "overlaypainter.h"
#include "privacyzonesdialog.h"
#include "settingsbutton.h"
#include "timeoffsetdialog.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// The gear menu beside the language: units of speed and acceleration and the time offset of
// shown clock times, applied at once and remembered.
class TestSettingsMenu : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void unitsFollowTheLocaleUntilChosen();
    void choosingUnitsUpdatesTheViewsAndIsRemembered();
    void timeOffsetIsAskedAndRemembered();
    void hardwareDecodingAndClearCache();
    void overlayItemsAndPrivacyZonesAreRemembered();
    void cleanupTestCase();

private:
    SettingsButton* button() const { return m_window->form()->settingsButton; }
    std::unique_ptr<MainWindow> m_window;
};

void TestSettingsMenu::initTestCase()
{
    QFile::remove(ZelSettings::getWritablePath());
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestSettingsMenu::unitsFollowTheLocaleUntilChosen()
{
    QVERIFY(!ZelSettings::value(ZelSettings::SpeedUnit).isValid());
    QCOMPARE(Units::speedUnit(), Units::defaultSpeedUnit(QLocale::system()));
    QVERIFY(button()->speedAction(Units::speedUnit())->isChecked());
    QVERIFY(button()->accelerationAction(Units::AccelerationUnit::MetresPerSecondSquared)->isChecked());
    // The menu sits beside the globe in the title bar.
    const QRect globe = m_window->form()->langButton->geometry();
    QCOMPARE(button()->geometry().left(), globe.right() + 1);
}

void TestSettingsMenu::choosingUnitsUpdatesTheViewsAndIsRemembered()
{
    DriveData* panel = m_window->form()->driveData;
    button()->speedAction(Units::SpeedUnit::KilometresPerHour)->trigger();
    QCOMPARE(panel->speedUnitText(), QStringLiteral(" km/h"));
    const QImage metric = panel->grab().toImage();

    button()->speedAction(Units::SpeedUnit::MilesPerHour)->trigger();
    QCOMPARE(Units::speedUnit(), Units::SpeedUnit::MilesPerHour);
    QCOMPARE(ZelSettings::value(ZelSettings::SpeedUnit).toString(), QStringLiteral("mph"));
    QCOMPARE(panel->speedUnitText(), QStringLiteral(" mph"));
    // The panel shows it at once, without a restart or a language change.
    QVERIFY(panel->grab().toImage() != metric);
    QCOMPARE(Units::scaleLength(1000.0).text, QStringLiteral("2000 ft"));

    button()->accelerationAction(Units::AccelerationUnit::StandardGravity)->trigger();
    QCOMPARE(ZelSettings::value(ZelSettings::AccelerationUnit).toString(), QStringLiteral("g"));
    QCOMPARE(Units::accelerationText(9.80665), QStringLiteral("1.00 g"));
    QVERIFY(button()->accelerationAction(Units::AccelerationUnit::StandardGravity)->isChecked());

    // The next start reads the choices back.
    Units::setSpeedUnit(Units::SpeedUnit::KilometresPerHour);
    Units::setAccelerationUnit(Units::AccelerationUnit::MetresPerSecondSquared);
    SettingsButton::loadStoredSettings();
    QCOMPARE(Units::speedUnit(), Units::SpeedUnit::MilesPerHour);
    QCOMPARE(Units::accelerationUnit(), Units::AccelerationUnit::StandardGravity);

    button()->speedAction(Units::SpeedUnit::KilometresPerHour)->trigger();
    button()->accelerationAction(Units::AccelerationUnit::MetresPerSecondSquared)->trigger();
    QCOMPARE(ZelSettings::value(ZelSettings::SpeedUnit).toString(), QStringLiteral("kmh"));
}

void TestSettingsMenu::timeOffsetIsAskedAndRemembered()
{
    QCOMPARE(SettingsButton::timeOffsetMinutes(), 0);
    bool asked = false;
    QTimer::singleShot(0, [&asked]() {
        auto* dialog = qobject_cast<TimeOffsetDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        asked = true;
        dialog->signBox()->setCurrentIndex(1);
        dialog->hoursBox()->setValue(1);
        dialog->minutesBox()->setValue(30);
        QCOMPARE(dialog->minutes(), -90);
        dialog->accept();
    });
    QTimer::singleShot(10000, []() {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    button()->timeOffsetAction()->trigger();
    QVERIFY(asked);
    QCOMPARE(ZelSettings::value(ZelSettings::TimeOffset).toInt(), -90);
    QCOMPARE(Units::clockOffsetSeconds(), qint64(-5400));
    QCOMPARE(Units::clockTimeText(QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC)).right(8),
             QStringLiteral("07:30:00"));
    QVERIFY(button()->timeOffsetAction()->text().contains(QString::fromUtf8("\u22121:30")));

    // Escape leaves the offset as it was; a value edited by hand beyond a day counts as none.
    QTimer::singleShot(0, []() {
        if (QWidget* modal = QApplication::activeModalWidget())
            QTest::keyClick(modal, Qt::Key_Escape);
    });
    button()->editTimeOffset();
    QCOMPARE(SettingsButton::timeOffsetMinutes(), -90);
    ZelSettings::setValue(ZelSettings::TimeOffset, 100000);
    QCOMPARE(SettingsButton::timeOffsetMinutes(), 0);
    button()->setTimeOffsetMinutes(0);
    QCOMPARE(Units::clockOffsetSeconds(), qint64(0));
}

void TestSettingsMenu::overlayItemsAndPrivacyZonesAreRemembered()
{
    QCOMPARE(EvidenceExport::overlayItems(), int(OverlayPainter::Band));
    button()->overlayGraphAction()->trigger();
    QCOMPARE(EvidenceExport::overlayItems(), int(OverlayPainter::Band | OverlayPainter::Graph));
    QCOMPARE(ZelSettings::value(ZelSettings::OverlayItems).toString(), QStringLiteral("band,graph"));
    QVERIFY(!button()->overlayMapAction()->isChecked());
    button()->overlayGraphAction()->trigger();
    QCOMPARE(EvidenceExport::overlayItems(), int(OverlayPainter::Band));

    // A line that is no zone keeps OK disabled and is named; the good lines are kept.
    QString problem;
    QTimer::singleShot(0, [&problem]() {
        auto* dialog = qobject_cast<PrivacyZonesDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialog->editor()->setPlainText(QStringLiteral("48.1374,11.5755,200\n\n52.5,13.4,-10"));
        problem = dialog->problemLabel()->text();
        QVERIFY(!dialog->okButton()->isEnabled());
        dialog->editor()->setPlainText(QStringLiteral("48.1374,11.5755,200\n\n52.5,13.4,10"));
        QVERIFY(dialog->okButton()->isEnabled());
        dialog->okButton()->click();
    });
    QTimer::singleShot(10000, []() {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    button()->privacyZonesAction()->trigger();
    QVERIFY2(problem.contains(QStringLiteral("Line 3")) &&
                 problem.contains(QStringLiteral("negative radius")),
             qPrintable(problem));
    const PrivacyZones stored = PrivacyZones::stored();
    QCOMPARE(stored.zones().size(), 2);
    QVERIFY(stored.contains(QGeoCoordinate(52.5, 13.40001)));
    QVERIFY(button()->privacyZonesAction()->text().contains(QLatin1Char('2')));
}

// Hardware decoding is on until turned off, and remembered; "Clear cache" forgets what was learnt
// of recordings and keeps the map's tiles.
void TestSettingsMenu::hardwareDecodingAndClearCache()
{
    QAction* hardware = button()->hardwareDecodingAction();
    QVERIFY(button()->settingsMenu()->actions().contains(hardware));
    QVERIFY(hardware->isCheckable() && hardware->isChecked());
    hardware->trigger();
    QVERIFY(!hardware->isChecked());
    QCOMPARE(ZelSettings::value(ZelSettings::HardwareDecoding).toBool(), false);
    hardware->trigger();
    QCOMPARE(ZelSettings::value(ZelSettings::HardwareDecoding).toBool(), true);

    QTemporaryDir home;
    qputenv("XDG_CACHE_HOME", home.path().toUtf8());
    const QString recording = home.filePath(QStringLiteral("001_0001_20240501120000.mp4"));
    QFile video(recording);
    QVERIFY(video.open(QIODevice::WriteOnly) && video.write("video") == 5);
    video.close();
    MediaCache cache(QStringLiteral("probe"), QStringLiteral("test"));
    cache.store(recording, "5000");
    QVERIFY(cache.save());
    QVERIFY(QDir().mkpath(MediaCache::folder() + QStringLiteral("/tiles")));
    QVERIFY(button()->settingsMenu()->actions().contains(button()->clearCacheAction()));
    QCOMPARE(button()->clearCacheAction()->text(), QStringLiteral("Clear cache"));
    button()->clearCacheAction()->trigger();
    QVERIFY(!QFile::exists(cache.filePath()));
    QVERIFY(QFileInfo(MediaCache::folder() + QStringLiteral("/tiles")).isDir());
}

void TestSettingsMenu::cleanupTestCase()
{
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestSettingsMenu)
#include "tst_settingsmenu.moc"
