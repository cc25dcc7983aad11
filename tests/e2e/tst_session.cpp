#include "aboutdialog.h"
#include "circleprogressbar.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "drivedata.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "positionslider.h"
#include "sessionfixture.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

void answerNextMessageBox(const QString& answer)
{
    QTimer::singleShot(100, [answer]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerNextMessageBox(answer);
            return;
        }
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == answer) {
                button->click();
            }
        }
    });
}

} // namespace

// A user's session with the whole program on a copy of the sample card, on a real X display:
// open, list, play, follow, seek, full screen, language, about, close. Screenshots of the
// main moments are kept as artifacts.
class TestSession : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void listsTheCardsTrips();
    void playsWithEveryPanelInStep();
    void seeksIntoTheSecondFile();
    void fullScreenAndBack();
    void germanAndBack();
    void aboutDialog();
    void closesAfterConfirmation();
    void cleanupTestCase();

private:
    void saveArtifact(const QString& name);
    Ui_MainWindow* ui() const { return m_window->form(); }

    QTemporaryDir m_tmp;
    QString m_card;
    QMap<QString, QByteArray> m_sums;
    std::unique_ptr<MainWindow> m_window;
};

void TestSession::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(m_tmp.isValid());
    m_card = m_tmp.filePath(QStringLiteral("card"));
    QVERIFY(Session::copyTree(Session::sampleCard(), m_card));
    m_sums = Session::checksums(m_card);
    QCOMPARE(m_sums.size(), 12);
    // No test touches the network: the tile server is a closed loopback port.
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", m_tmp.filePath(QStringLiteral("cache")).toLocal8Bit());
    QFile::remove(ZelSettings::getWritablePath());
    QDir().mkpath(QStringLiteral(TARROW_ARTIFACTS_DIR));

    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestSession::saveArtifact(const QString& name)
{
    Session::screenImage(m_window.get()).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/") + name + ".png");
}

void TestSession::listsTheCardsTrips()
{
    PlaylistWgt* playlist = ui()->fileWidget;
    m_window->openPaths({m_card});
    // Listed, thumbnails made, the map has parsed the files: the spinner goes, the button comes back.
    QTRY_VERIFY_WITH_TIMEOUT(
        playlist->model() && playlist->model()->rowCount() == 2 && !playlist->isWorking(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(!playlist->progressBar()->isVisible() && ui()->openFileButton->isEnabled(),
                             30000);
    // As after choosing the card folder in the open dialog: the folder that holds it.
    QCOMPARE(ZelSettings::value(ZelSettings::PlaylistPath).toString(), m_tmp.path());

    const QAbstractItemModel* rows = playlist->treeView()->model();
    const auto cell = [rows](int row, int column) { return rows->index(row, column); };
    QCOMPARE(cell(0, 2).data().toString(), QStringLiteral("00:40"));
    QCOMPARE(cell(1, 2).data().toString(), QStringLiteral("00:20"));
    QCOMPARE(cell(0, 1).data(PlaylistRoles::Start).toDateTime(),
             QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC));
    QCOMPARE(cell(1, 1).data(PlaylistRoles::Start).toDateTime(),
             QDateTime(QDate(2024, 5, 1), QTime(9, 42, 10), Qt::UTC));
    QCOMPARE(cell(0, 3).data(PlaylistRoles::Events).toLongLong(), 1);
    QCOMPARE(cell(1, 3).data(PlaylistRoles::Events).toLongLong(), 0);
    QCOMPARE(rows->rowCount(cell(0, 0)), 4);
    for (int row : {0, 1}) {
        const QIcon thumbnail = cell(row, 0).data(Qt::DecorationRole).value<QIcon>();
        QVERIFY2(!thumbnail.isNull(), "every trip has its thumbnail");
    }
    saveArtifact(QStringLiteral("1-listed"));
}

void TestSession::playsWithEveryPanelInStep()
{
    QTreeView* tree = ui()->fileWidget->treeView();
    const QPoint trip = tree->visualRect(tree->model()->index(0, 1)).center();
    // A double click as the mouse sends it.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, trip);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, trip);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, trip);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, trip);

    ControlPanelWgt* ctrl = ui()->ctrlPanel;
    Graph* graph = ui()->dataFrame;
    DriveData* drive = ui()->driveData;
    MapWidget* map = ui()->gpsWidget;
    QTRY_COMPARE_WITH_TIMEOUT(ctrl->form()->durationLabel->text(), QStringLiteral("00:40"), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(graph->position() >= 2000, 15000);
    QVERIFY(drive->currentSample());

    const auto snapshot = [&]() {
        return std::make_tuple(ctrl->form()->positionLabel->text(),
                               ctrl->form()->positionSlider->sliderPosition(), graph->position(),
                               drive->currentSample() ? drive->currentSample()->time : -1,
                               map->currentSecond());
    };
    const auto first = snapshot();
    const QImage frame1 = Session::screenImage(ui()->videoWidget);
    QTest::qWait(2500);
    const auto second = snapshot();
    const QImage frame2 = Session::screenImage(ui()->videoWidget);
    saveArtifact(QStringLiteral("2-playing"));

    // Every panel moved on together.
    QVERIFY(std::get<0>(second) != std::get<0>(first));
    QVERIFY(std::get<1>(second) > std::get<1>(first));
    QVERIFY(std::get<2>(second) > std::get<2>(first));
    QVERIFY(std::get<3>(second) > std::get<3>(first));
    QVERIFY(std::get<4>(second) > std::get<4>(first));
    // ... and agree on where the trip is, within the second the samples are spaced by.
    const qint64 position = graph->position();
    QVERIFY(qAbs(ctrl->form()->positionSlider->sliderPosition() - position) <= 1000);
    QVERIFY(qAbs(drive->currentSample()->time - position) <= 1000);
    QVERIFY(qAbs(map->currentSecond() * 1000 - position) <= 1500);
    QVERIFY(drive->latitudeText() != QStringLiteral("Unknown"));
    QVERIFY(drive->speedValue() > 0);
    QTRY_COMPARE(ui()->compass->direction(), drive->currentSample()->direction);
    QCOMPARE(map->routes().empty(), false);
    QCOMPARE(map->markers().size(), std::size_t(3));

    // The video shows the first file's colour bars, and they move.
    QVERIFY(!Session::allBlack(frame2));
    QVERIFY(frame1 != frame2);
    QVERIFY2(Session::yellowShare(frame2) > 0.05, qPrintable(QString::number(Session::yellowShare(frame2))));
}

void TestSession::seeksIntoTheSecondFile()
{
    PositionSlider* slider = ui()->ctrlPanel->form()->positionSlider;
    // 37.5 % of the 40 s trip is 15 s: inside the second file (10 s to 20 s).
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 3 / 8, slider->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 12000 && ui()->dataFrame->position() < 20000,
                             10000);
    // The second file is a fractal, with hardly any yellow.
    QTRY_VERIFY_WITH_TIMEOUT(Session::yellowShare(Session::screenImage(ui()->videoWidget)) < 0.02, 10000);
    saveArtifact(QStringLiteral("3-seeked"));
}

void TestSession::fullScreenAndBack()
{
    const QRect normal = m_window->geometry();
    QTest::mouseClick(ui()->ctrlPanel->form()->maxminButton, Qt::LeftButton);
    QTRY_VERIFY(m_window->isWindowFullScreen());
    QTRY_COMPARE(m_window->geometry(), m_window->getScreenGeometry());
    QVERIFY(!ui()->gpsWidget->isVisible());
    QVERIFY(!ui()->fileWidget->isVisible());
    QVERIFY(ui()->videoWidget->isVisible());
    QVERIFY(ui()->ctrlPanel->isVisible());
    QTest::qWait(500);
    saveArtifact(QStringLiteral("4-fullscreen"));

    QTest::keyClick(m_window.get(), Qt::Key_Escape);
    QTRY_VERIFY(!m_window->isWindowFullScreen());
    QCOMPARE(m_window->geometry(), normal);
    QVERIFY(ui()->gpsWidget->isVisible());
}

void TestSession::germanAndBack()
{
    LangSelectionButton* button = ui()->langButton;
    const auto choose = [button](const QString& name) {
        for (QAction* action : button->languageMenu()->actions()) {
            if (action->text() == name) {
                action->trigger();
                return true;
            }
        }
        return false;
    };
    QVERIFY(choose(QStringLiteral("Deutsch")));
    QTRY_COMPARE(ui()->closeButton->toolTip(), QString::fromUtf8("Schließen (Strg+Q)"));
    QTRY_COMPARE(ui()->fileWidget->treeView()->model()->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("Dauer"));
    saveArtifact(QStringLiteral("5-german"));
    QVERIFY(choose(QStringLiteral("English")));
    QTRY_COMPARE(ui()->closeButton->toolTip(), QStringLiteral("Close (Ctrl+Q)"));
    QCOMPARE(ZelSettings::value(ZelSettings::LocaleLanguage).toString(), QStringLiteral("en_GB"));
}

void TestSession::aboutDialog()
{
    QTest::mouseClick(ui()->infoButton, Qt::LeftButton);
    AboutDialog* about = m_window->aboutDialog();
    QTRY_VERIFY(about->isVisible());
    QTest::qWait(200);
    Session::screenImage(about).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/6-about.png"));
    QTest::mousePress(about->closeButton(), Qt::LeftButton);
    QTRY_VERIFY(!about->isVisible());
}

void TestSession::closesAfterConfirmation()
{
    answerNextMessageBox(QStringLiteral("No"));
    QTest::mouseClick(ui()->closeButton, Qt::LeftButton);
    QVERIFY(m_window->isVisible());
    answerNextMessageBox(QStringLiteral("Yes"));
    QTest::mouseClick(ui()->closeButton, Qt::LeftButton);
    QVERIFY(!m_window->isVisible());
}

void TestSession::cleanupTestCase()
{
    m_window.reset();
    // The recordings are exactly as they were: nothing written, nothing added.
    QCOMPARE(Session::checksums(m_card), m_sums);
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
