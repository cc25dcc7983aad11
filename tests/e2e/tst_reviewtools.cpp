#include "../contrast.h"
#include "../sessionfixture.h"
#include "aboutdialog.h"
#include "clipexportjob.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "evidenceexport.h"
#include "exportmenu.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "myfiledialog.h"
#include "playlistwgt.h"
#include "positionslider.h"
#include "settingsbutton.h"
#include "speedbutton.h"
#include "statusnote.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <atomic>
#include <functional>
#include <memory>

namespace {

const int Long = 15000;

// Answers the next save dialog with `path`.
void saveAs(const QString& path)
{
    Session::whenShown<QFileDialog>(
        [path](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(path);
            static_cast<QDialog*>(dialog)->accept();
        },
        100);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

double worstLabelContrast(QWidget* window)
{
    const QImage image = Session::screenImage(window);
    double worst = 21.0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        worst =
            qMin(worst, Contrast::textContrast(image, QRect(label->mapTo(window, QPoint()), label->size())));
    }
    return worst;
}

} // namespace

// The window on a real display, used with the keyboard, on the sample card: the prompt while
// nothing is open, keys wherever the focus is, speed, tenths while paused, the clock beside the
// position, in and out points, evidence out of the window (clip with track, snapshot), and every
// dialog and menu readable in each language. Screenshots are kept as artifacts.
class TestReviewTools : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void promptWhileNothingIsOpen();
    void keysWorkWhereverTheFocusIs();
    void speedFromMenuAndKeys();
    void tenthsWhilePausedAndFrameKeys();
    void clockBesideThePosition();
    void inAndOutPointsOnTheSlider();
    void exportClipWritesVideoAndTrack();
    void cancelledExportLeavesNothing();
    void trackFromTheExportMenu();
    void exportOverARecordingIsRefused();
    void snapshotNamedByClockTime();
    void speedAndKeysStayWithTheNextTrip();
    void dialogsAndMenusReadableInEachLanguage_data();
    void dialogsAndMenusReadableInEachLanguage();
    void quitDuringAClipExportAsks_data();
    void quitDuringAClipExportAsks();
    void cleanupTestCase();

private:
    Ui_MainWindow* ui() const { return m_window->form(); }
    ControlPanelWgt* ctrl() const { return ui()->ctrlPanel; }
    VlcQtVideoWidget* video() const { return ui()->videoWidget; }
    // The key as the keyboard sends it: to the widget with the focus.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const;
    // Brings the window to the front, where the keyboard's keys go.
    void activate() const;
    // Pauses at `ms` and waits until the panel shows it.
    void pauseAt(qint64 ms);
    bool playing() const
    {
        return ctrl()->form()->playpauseButton->toolTip().startsWith(QStringLiteral("Pause"));
    }

    QTemporaryDir m_tmp;
    std::unique_ptr<MainWindow> m_window;
};

void TestReviewTools::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(m_tmp.isValid());
    QVERIFY(Session::copyTree(Session::sampleCard(), m_tmp.filePath(QStringLiteral("card"))));
    Session::closeTileServer(m_tmp.path());
    QFile::remove(ZelSettings::getWritablePath());
    ZelSettings::setValue(ZelSettings::SnapshotPath, m_tmp.filePath(QStringLiteral("shots")));
    // The open dialog starts in a folder with something to show.
    ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.path());
    QDir().mkpath(m_tmp.filePath(QStringLiteral("out")));
    QDir().mkpath(QStringLiteral(TARROW_ARTIFACTS_DIR));

    m_window = std::make_unique<MainWindow>();
    m_window->show();
    activate();
}

void TestReviewTools::activate() const
{
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestReviewTools::promptWhileNothingIsOpen()
{
    PlaylistWgt* playlist = ui()->fileWidget;
    QVERIFY(playlist->emptyPrompt()->isVisible());
    QVERIFY(!playlist->treeView()->isVisible());
    bool namesTheKey = false;
    for (QLabel* label : playlist->emptyPrompt()->findChildren<QLabel*>())
        namesTheKey = namesTheKey || label->text().contains(QStringLiteral("Ctrl+O"));
    QVERIFY(namesTheKey);
    QTest::qWait(200);
    const QImage image = Session::screenImage(playlist);
    image.save(QStringLiteral(TARROW_ARTIFACTS_DIR "/window-empty.png"));
    for (QWidget* part : playlist->emptyPrompt()->findChildren<QWidget*>()) {
        const QRect area(part->mapTo(playlist, QPoint(2, 2)), part->size() - QSize(4, 4));
        const double contrast = Contrast::textContrast(image, area);
        QVERIFY2(contrast >= 4.5, qPrintable(part->objectName() + QString::number(contrast)));
    }
    // The prompt's button does what the title bar's open button does.
    QSignalSpy dialogAsked(m_window.get(), &MainWindow::openFileDialog);
    Session::whenShown<MyFileDialog>([](MyFileDialog* dialog) { dialog->close(); });
    QTest::mouseClick(playlist->emptyPromptButton(), Qt::LeftButton);
    QTRY_COMPARE(dialogAsked.count(), 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    // The title bar's tooltips name the keys.
    QCOMPARE(ui()->infoButton->toolTip(), QStringLiteral("About (F1)"));
    QCOMPARE(ui()->closeButton->toolTip(), QStringLiteral("Close (Ctrl+Q)"));

    m_window->openPaths({m_tmp.filePath(QStringLiteral("card"))});
    QTRY_VERIFY_WITH_TIMEOUT(
        playlist->model() && playlist->model()->rowCount() == 2 && !playlist->isWorking(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(ui()->openFileButton->isEnabled(), 30000);
    activate();
}

void TestReviewTools::press(int key, Qt::KeyboardModifiers modifiers) const
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : m_window.get(), Qt::Key(key), modifiers);
}

void TestReviewTools::pauseAt(qint64 ms)
{
    if (playing())
        press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!playing(), Long);
    video()->setPosition(int(ms));
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(video()->position() - ms) < 200, Long);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(ctrl()->form()->positionSlider->sliderPosition() - ms) < 200, Long);
}

void TestReviewTools::keysWorkWhereverTheFocusIs()
{
    // A double click plays the trip; the focus is wherever it was left.
    Session::doubleClickRow(ui()->fileWidget->treeView(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ctrl()->form()->durationLabel->text(), QStringLiteral("00:40"), Long);
    QTRY_VERIFY_WITH_TIMEOUT(playing(), Long);
    press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!playing(), Long);
    QCOMPARE(ctrl()->form()->playpauseButton->toolTip(), QStringLiteral("Play (Space)"));

    // After the map's "+" the keys still reach the player, and Space does not zoom again.
    auto* zoomIn = ui()->gpsWidget->findChild<QPushButton*>(QStringLiteral("zoomInButton"));
    QVERIFY(zoomIn);
    QTest::mouseClick(zoomIn, Qt::LeftButton);
    const qint64 before = video()->position();
    press(Qt::Key_Right);
    QTRY_VERIFY_WITH_TIMEOUT(video()->position() >= before + 4500, Long);
    press(Qt::Key_Left, Qt::ShiftModifier);
    QTRY_COMPARE_WITH_TIMEOUT(video()->position(), qint64(0), Long);
    press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(playing(), Long);
    press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!playing(), Long);

    // A click on the slider leaves no focus there: Left then jumps 5 s back, not 1 ms.
    PositionSlider* slider = ctrl()->form()->positionSlider;
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, slider->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(video()->position() > 15000 && video()->position() < 25000, Long);
    QVERIFY(!slider->hasFocus());
    const qint64 clicked = video()->position();
    press(Qt::Key_Left);
    QTRY_VERIFY_WITH_TIMEOUT(qAbs(video()->position() - (clicked - 5000)) < 300, Long);
    press(Qt::Key_Home);
    QTRY_COMPARE_WITH_TIMEOUT(video()->position(), qint64(0), Long);

    // M and the volume button's tooltip; F and Escape for full screen.
    press(Qt::Key_M);
    QTRY_COMPARE_WITH_TIMEOUT(ctrl()->form()->volumeButton->toolTip(), QStringLiteral("Volume on (M)"), Long);
    press(Qt::Key_M);
    QTRY_COMPARE_WITH_TIMEOUT(ctrl()->form()->volumeButton->toolTip(), QStringLiteral("Volume off (M)"),
                              Long);
    const QRect normal = m_window->geometry();
    press(Qt::Key_F);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry(), m_window->getScreenGeometry(), Long);
    press(Qt::Key_Escape);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->geometry(), normal, Long);
}

void TestReviewTools::speedFromMenuAndKeys()
{
    SpeedButton* speed = ctrl()->form()->speedButton;
    QCOMPARE(speed->text(), QString::fromUtf8("1×"));
    press(Qt::Key_BracketRight);
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 2.0, Long);
    QTRY_COMPARE_WITH_TIMEOUT(speed->text(), QString::fromUtf8("2×"), Long);
    press(Qt::Key_BracketLeft);
    press(Qt::Key_BracketLeft);
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 0.5, Long);

    // The menu offers every speed and shows the current one checked.
    QCOMPARE(speed->menu()->actions().size(), VlcQtVideoWidget::rates().size());
    QVERIFY(speed->rateAction(0.5)->isChecked());
    speed->rateAction(8.0)->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 8.0, Long);
    QTRY_COMPARE_WITH_TIMEOUT(speed->text(), QString::fromUtf8("8×"), Long);
    QVERIFY(speed->rateAction(8.0)->isChecked());
    press(Qt::Key_Backspace);
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 1.0, Long);
    QTRY_COMPARE_WITH_TIMEOUT(speed->text(), QString::fromUtf8("1×"), Long);
}

void TestReviewTools::tenthsWhilePausedAndFrameKeys()
{
    pauseAt(12300);
    QLabel* label = ctrl()->form()->positionLabel;
    QTRY_VERIFY_WITH_TIMEOUT(
        QRegularExpression(QStringLiteral("^00:12\\.[2-4]$")).match(label->text()).hasMatch(), Long);
    QSignalSpy steps(ctrl(), &ControlPanelWgt::stepFrame);
    press(Qt::Key_Period);
    press(Qt::Key_Comma);
    QCOMPARE(steps.count(), 2);
    QCOMPARE(steps.at(0).at(0).toInt(), 1);
    QCOMPARE(steps.at(1).at(0).toInt(), -1);

    press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(playing(), Long);
    QTRY_VERIFY_WITH_TIMEOUT(
        QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d$")).match(label->text()).hasMatch(), Long);
    press(Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!playing(), Long);
}

void TestReviewTools::clockBesideThePosition()
{
    QLabel* clock = ctrl()->form()->clockLabel;
    pauseAt(15000);
    // 09:00:00 is the first record of the trip, in the file name and in the position data.
    QTRY_VERIFY_WITH_TIMEOUT(clock->text().contains(QStringLiteral("09:00:15")), Long);
    QVERIFY(clock->text().contains(QStringLiteral("2024")));
    QVERIFY(clock->isVisible());

    ui()->settingsButton->setTimeOffsetMinutes(90);
    QTRY_VERIFY_WITH_TIMEOUT(clock->text().contains(QStringLiteral("10:30:15")), Long);
    ui()->settingsButton->setTimeOffsetMinutes(0);
    QTRY_VERIFY_WITH_TIMEOUT(clock->text().contains(QStringLiteral("09:00:15")), Long);
}

void TestReviewTools::inAndOutPointsOnTheSlider()
{
    PositionSlider* slider = ctrl()->form()->positionSlider;
    pauseAt(5000);
    press(Qt::Key_I);
    QCOMPARE(ctrl()->inPoint(), video()->position());
    // The out point lies in the third file: the range spans two clip boundaries.
    pauseAt(25000);
    press(Qt::Key_O);
    QCOMPARE(ctrl()->outPoint(), video()->position());
    QCOMPARE(slider->inMark(), ctrl()->inPoint());
    QCOMPARE(slider->outMark(), ctrl()->outPoint());
    QCOMPARE(ctrl()->exportRange(), std::make_pair(ctrl()->inPoint(), ctrl()->outPoint()));

    // The marks are drawn where the points are, nowhere else.
    const auto markedColumn = [slider](int x) {
        const QImage image = slider->grab().toImage();
        int marked = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int dx = -1; dx <= 1; ++dx) {
                const QColor c = image.pixelColor(qBound(0, x + dx, image.width() - 1), y);
                marked += c.red() > 200 && c.green() > 150 && c.blue() < 60;
            }
        }
        // A bracket over the slider's height.
        return marked >= image.height() / 2;
    };
    QVERIFY(markedColumn(slider->xForValue(ctrl()->inPoint())));
    QVERIFY(markedColumn(slider->xForValue(ctrl()->outPoint())));
    QVERIFY(!markedColumn(slider->xForValue(38000)));
    Session::screenImage(m_window.get()).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/reviewtools-marks.png"));

    // The export menu clears both.
    QVERIFY(m_window->exportMenu()->clearMarksAction()->isEnabled());
    m_window->exportMenu()->clearMarksAction()->trigger();
    QCOMPARE(slider->inMark(), qint64(-1));
    QCOMPARE(slider->outMark(), qint64(-1));
    QVERIFY(!markedColumn(slider->xForValue(5000)));
}

void TestReviewTools::exportClipWritesVideoAndTrack()
{
    // In at 5 s, out at 25 s, then the export button.
    ctrl()->clearMarks();
    pauseAt(5000);
    ctrl()->form()->inButton->click();
    pauseAt(25000);
    ctrl()->form()->outButton->click();
    const QString path = m_tmp.filePath(QStringLiteral("out/incident.mp4"));
    QSignalSpy finished(m_window->evidenceExport(), &EvidenceExport::clipExportFinished);
    // The dialog suggests a name from the clock time at the in point.
    QString suggested;
    QString typed;
    Session::whenShown<QFileDialog>([&suggested, &typed, path](QFileDialog* dialog) {
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        suggested = name->text();
        Session::screenImage(dialog).save(
            QStringLiteral(TARROW_ARTIFACTS_DIR "/reviewtools-save-dialog.png"));
        // The player's keys are letters a text field types.
        name->clear();
        QTest::keyClicks(name, QStringLiteral("si o,.[] m"));
        typed = name->text();
        name->setText(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    ctrl()->form()->exportButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QCOMPARE(suggested, QStringLiteral("2024-05-01_09-00-05+0000.mp4"));
    QCOMPARE(typed, QStringLiteral("si o,.[] m"));
    QCOMPARE(video()->rate(), 1.0);
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(entries(m_tmp.filePath(QStringLiteral("out"))),
             QStringList({QStringLiteral("incident.gpx"), QStringLiteral("incident.mp4")}));
    QFile clip(path);
    QVERIFY(clip.open(QIODevice::ReadOnly));
    QCOMPARE(clip.read(8).mid(4), QByteArray("ftyp"));
    QFile track(m_tmp.filePath(QStringLiteral("out/incident.gpx")));
    QVERIFY(track.open(QIODevice::ReadOnly));
    const QByteArray gpx = track.readAll();
    // Seconds 5 to 25: 21 records.
    QCOMPARE(gpx.count("<trkpt"), 21);
    QTRY_VERIFY(m_window->statusNote()->isVisible());
    QVERIFY(m_window->statusNote()->text().contains(QStringLiteral("incident.mp4")));
}

void TestReviewTools::cancelledExportLeavesNothing()
{
    const QString folder = m_tmp.filePath(QStringLiteral("cancel"));
    QVERIFY(QDir().mkpath(folder));
    // Cancel pressed before the exporter has written anything.
    const QMetaObject::Connection cancelAtStart = connect(
        m_window->evidenceExport(), &EvidenceExport::clipExportStarting, this,
        [](ClipExportJob* job) {
            auto* cancel = job->progressDialog()->findChild<QPushButton*>();
            QVERIFY(cancel);
            cancel->click();
        },
        Qt::DirectConnection);
    QSignalSpy finished(m_window->evidenceExport(), &EvidenceExport::clipExportFinished);
    saveAs(QDir(folder).filePath(QStringLiteral("cancelled.mp4")));
    m_window->exportMenu()->clipAction()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    disconnect(cancelAtStart);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QCOMPARE(entries(folder), QStringList());
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QTRY_VERIFY(m_window->statusNote()->text().contains(QStringLiteral("nothing was written")));
}

void TestReviewTools::trackFromTheExportMenu()
{
    // Without in and out points: the whole trip, one row a clock second (its event recording
    // repeats ten of its 30 seconds, written once).
    ctrl()->clearMarks();
    const QString path = m_tmp.filePath(QStringLiteral("out/trip.csv"));
    saveAs(path);
    m_window->exportMenu()->trackAction(TrackExport::Format::Csv)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(path), Long);
    QFile csv(path);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> rows = csv.readAll().trimmed().split('\n');
    QVERIFY(rows.first().startsWith("trip_s,clock,lat,lon"));
    QCOMPARE(rows.size(), 1 + 30);
    QVERIFY(rows.at(1).startsWith("0,2024-05-01T09:00:00+00:00,"));
    QVERIFY(rows.last().split(',').value(1) == "2024-05-01T09:00:29+00:00");
    QTRY_VERIFY(m_window->statusNote()->text().contains(QStringLiteral("trip.csv")));
}

// Chosen as the target and confirmed, a recording is not overwritten: the export fails with a
// message that names it, and the card is unchanged.
void TestReviewTools::exportOverARecordingIsRefused()
{
    const QString card = m_tmp.filePath(QStringLiteral("card"));
    const auto before = Session::checksums(card);
    const QString recording = QDir(card).filePath(QStringLiteral("Normal/001_0002_20240501090010.mp4"));
    QSignalSpy finished(m_window->evidenceExport(), &EvidenceExport::clipExportFinished);
    saveAs(recording);
    // The dialog asks before replacing an existing file; the user says yes.
    Session::whenShown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); }, 100);
    m_window->exportMenu()->clipAction()->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 60000);
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QMessageBox* error = nullptr;
    QTRY_VERIFY((error = [] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("exportError") && window->isVisible())
                return qobject_cast<QMessageBox*>(window);
        }
        return static_cast<QMessageBox*>(nullptr);
    }()));
    QVERIFY(error->informativeText().contains(QStringLiteral("001_0002_20240501090010.mp4")));
    Session::screenImage(error).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/reviewtools-export-error.png"));
    error->close();
    QCOMPARE(Session::checksums(card), before);
}

void TestReviewTools::snapshotNamedByClockTime()
{
    const QString folder = m_tmp.filePath(QStringLiteral("shots"));
    pauseAt(12300);
    activate();
    press(Qt::Key_S);
    QTRY_COMPARE_WITH_TIMEOUT(entries(folder), QStringList({QStringLiteral("2024-05-01_09-00-12+0000.png")}),
                              Long);
    const QImage still(QDir(folder).filePath(QStringLiteral("2024-05-01_09-00-12+0000.png")));
    // The recording's full size, not the size on screen.
    QCOMPARE(still.size(), QSize(640, 360));
    QTRY_VERIFY(m_window->statusNote()->text().contains(QStringLiteral("2024-05-01_09-00-12+0000.png")));
    Session::screenImage(m_window.get())
        .save(QStringLiteral(TARROW_ARTIFACTS_DIR "/reviewtools-snapshot.png"));

    // A second one in the same second keeps the first; with the data band it is taller.
    ui()->settingsButton->snapshotStampAction()->trigger();
    QVERIFY(EvidenceExport::snapshotStamp());
    ctrl()->form()->snapshotButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(entries(folder).size(), 2, Long);
    const QImage stamped(QDir(folder).filePath(QStringLiteral("2024-05-01_09-00-12+0000_2.png")));
    QCOMPARE(stamped.width(), 640);
    QVERIFY(stamped.height() > 360);
}

// Another trip keeps the speed; its in and out points start empty.
void TestReviewTools::speedAndKeysStayWithTheNextTrip()
{
    activate();
    pauseAt(5000);
    press(Qt::Key_I);
    press(Qt::Key_BracketRight);
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 2.0, Long);
    Session::doubleClickRow(ui()->fileWidget->treeView(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(ctrl()->form()->durationLabel->text(), QStringLiteral("00:20"), Long);
    QCOMPARE(ctrl()->form()->speedButton->text(), QString::fromUtf8("2×"));
    QCOMPARE(video()->rate(), 2.0);
    QCOMPARE(ctrl()->inPoint(), qint64(-1));
    QCOMPARE(ctrl()->form()->positionSlider->inMark(), qint64(-1));
    // The clock follows the new trip: it starts at 09:42:10.
    pauseAt(3000);
    QTRY_VERIFY_WITH_TIMEOUT(ctrl()->form()->clockLabel->text().contains(QStringLiteral("09:42:13")), Long);
    press(Qt::Key_Backspace);
    QTRY_COMPARE_WITH_TIMEOUT(video()->rate(), 1.0, Long);
}

void TestReviewTools::dialogsAndMenusReadableInEachLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en_GB");
    QTest::newRow("German") << QStringLiteral("de_DE");
    QTest::newRow("Russian") << QStringLiteral("ru_RU");
}

// Ctrl+O, F1 and Ctrl+Q open their dialogs, a message names what was looked at, and Escape
// closes each; dialogs, messages and menus are readable, the tooltips name their keys.
void TestReviewTools::dialogsAndMenusReadableInEachLanguage()
{
    QFETCH(QString, language);
    const auto save = [&language](QWidget* widget, const QString& name) {
        Session::screenImage(widget).save(
            QStringLiteral(TARROW_ARTIFACTS_DIR "/%1-%2.png").arg(name, language));
    };
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    activate();

    // The open dialog (its buttons and entries are checked beside the playlist).
    bool dialogSeen = false;
    Session::whenShown<MyFileDialog>([&](MyFileDialog* dialog) {
        save(dialog, QStringLiteral("open-dialog"));
        QVERIFY2(worstLabelContrast(dialog) >= 4.5, qPrintable(QString::number(worstLabelContrast(dialog))));
        dialogSeen = true;
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    QTRY_VERIFY(dialogSeen);
    QTRY_VERIFY(!QApplication::activeModalWidget());

    m_window->openPaths({m_tmp.filePath(QStringLiteral("nowhere"))});
    QMessageBox* box = ui()->fileWidget->message();
    QVERIFY(box);
    QVERIFY(box->text().contains(QDir::toNativeSeparators(m_tmp.filePath(QStringLiteral("nowhere")))));
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::qWait(300);
    save(box, QStringLiteral("message-missing"));
    QVERIFY2(worstLabelContrast(box) >= 4.5, qPrintable(QString::number(worstLabelContrast(box))));
    QPointer<QMessageBox> open(box);
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!open);

    activate();
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    AboutDialog* about = m_window->aboutDialog();
    QTRY_VERIFY(about->isVisible());
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!about->isVisible());

    for (QMenu* menu : {ui()->settingsButton->settingsMenu(), static_cast<QMenu*>(m_window->exportMenu()),
                        ctrl()->form()->speedButton->menu()}) {
        menu->popup(ctrl()->mapToGlobal(QPoint(ctrl()->width() / 2, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        QTest::qWait(200);
        const QImage image = Session::screenImage(menu);
        image.save(QStringLiteral(TARROW_ARTIFACTS_DIR "/menu-%1-%2.png").arg(menu->objectName(), language));
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isEnabled())
                continue;
            const QRect area = menu->actionGeometry(action);
            QVERIFY2(Contrast::textContrast(image, area) >= 4.5, qPrintable(action->text()));
            QVERIFY2(menu->fontMetrics().horizontalAdvance(action->text()) < area.width(),
                     qPrintable(action->text()));
        }
        menu->close();
    }
    const QString play = ctrl()->form()->playpauseButton->toolTip();
    QVERIFY2(play.endsWith(QStringLiteral(")")) &&
                 !play.startsWith(QStringLiteral("Play")) == (language != QStringLiteral("en_GB")),
             qPrintable(play));

    // Ctrl+Q asks; Escape answers no.
    activate();
    bool asked = false;
    Session::whenShown<QMessageBox>([&](QMessageBox* question) {
        save(question, QStringLiteral("close-question"));
        asked = worstLabelContrast(question) >= 4.5;
        QTest::keyClick(question, Qt::Key_Escape);
    });
    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(asked);
    QVERIFY(m_window->isVisible());
}

void TestReviewTools::quitDuringAClipExportAsks_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("how");    // how the user quits
    QTest::addColumn<QString>("answer"); // the button's object name
    QTest::addColumn<bool>("quits");
    QTest::addColumn<bool>("saved");

    QTest::newRow("quit when saved") << QStringLiteral("en_GB") << "key"
                                     << "quitWhenSaved" << true << true;
    QTest::newRow("cancel and quit") << QStringLiteral("de_DE") << "button"
                                     << "cancelAndQuit" << true << false;
    QTest::newRow("don't quit") << QStringLiteral("ru_RU") << "window"
                                << "dontQuit" << false << true;
}

// Quitting while a clip is written asks what becomes of it: finish and then quit, cancel and
// quit (nothing is left), or stay; it never closes on a half-written clip.
void TestReviewTools::quitDuringAClipExportAsks()
{
    QFETCH(QString, language);
    QFETCH(QString, how);
    QFETCH(QString, answer);
    QFETCH(bool, quits);
    QFETCH(bool, saved);
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    activate();
    const QString folder = m_tmp.filePath(QStringLiteral("quit-") + answer);
    QVERIFY(QDir().mkpath(folder));

    // The exporter holds after its first packet until the test lets it go or it is cancelled.
    auto inGate = std::make_shared<std::atomic<bool>>(false);
    auto open = std::make_shared<std::atomic<bool>>(false);
    const auto release = qScopeGuard([open] { *open = true; });
    const QMetaObject::Connection gate = connect(
        m_window->evidenceExport(), &EvidenceExport::clipExportStarting, this,
        [inGate, open](ClipExportJob* job) {
            ClipExport* exporter = job->exporter();
            connect(
                exporter, &ClipExport::progressChanged, exporter,
                [exporter, inGate, open](int) {
                    *inGate = true;
                    while (!*open && !exporter->wasCancelled())
                        QThread::msleep(5);
                },
                Qt::DirectConnection);
        },
        Qt::DirectConnection);
    QSignalSpy finished(m_window->evidenceExport(), &EvidenceExport::clipExportFinished);
    saveAs(QDir(folder).filePath(QStringLiteral("clip.mp4")));
    m_window->exportMenu()->clipAction()->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(*inGate, Long);
    disconnect(gate);

    // The progress dialog is active and blocks the window: keys go to it.
    QTRY_VERIFY_WITH_TIMEOUT(qobject_cast<QProgressDialog*>(QApplication::activeWindow()), Long);
    // The window waits in close() while the question is open: the answer is given in any case.
    QStringList texts;
    QString name;
    double contrast = 0;
    Session::whenShown<QMessageBox>(
        [&](QMessageBox* box) {
            name = box->objectName();
            texts << box->text() << box->informativeText();
            for (QAbstractButton* button : box->buttons())
                texts << button->text();
            Session::screenImage(box).save(
                QStringLiteral(TARROW_ARTIFACTS_DIR "/reviewtools-quit-during-export-%1.png").arg(language));
            contrast = worstLabelContrast(box);
            auto* button = box->findChild<QPushButton*>(answer);
            (button ? static_cast<QAbstractButton*>(button) : box->buttons().first())->click();
        },
        300, 1200);
    if (how == QLatin1String("key"))
        press(Qt::Key_Q, Qt::ControlModifier);
    else if (how == QLatin1String("button"))
        ui()->closeButton->click();
    else
        m_window->close();
    QTRY_COMPARE_WITH_TIMEOUT(texts.size(), 5, Long);
    QCOMPARE(name, QStringLiteral("quitDuringExport"));
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    // The question and its three answers, in the language of the window.
    const QString english = QStringLiteral("A clip is still being exported.");
    QCOMPARE(texts.first() == english, language == QLatin1String("en_GB"));
    *open = true;

    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, Long);
    QCOMPARE(finished.at(0).at(0).toBool(), saved);
    QTRY_COMPARE_WITH_TIMEOUT(!m_window->isVisible(), quits, Long);
    QTest::qWait(200);
    QCOMPARE(m_window->isVisible(), !quits);
    QCOMPARE(entries(folder),
             saved ? QStringList({QStringLiteral("clip.gpx"), QStringLiteral("clip.mp4")}) : QStringList());
    if (quits) {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
}

void TestReviewTools::cleanupTestCase()
{
    if (m_window)
        ui()->langButton->loadLanguage(QStringLiteral("en_GB"));
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestReviewTools)
#include "tst_reviewtools.moc"
