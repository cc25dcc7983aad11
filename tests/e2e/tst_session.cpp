#include "../sessionfixture.h"
#include "circleprogressbar.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "drivedata.h"
#include "graph.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "positionslider.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Row of the trip whose first file has this name, in the view's order; -1 when not listed.
int tripRow(PlaylistWgt* playlist, const QString& firstFile)
{
    const QAbstractItemModel* rows = playlist->treeView()->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        const QStringList files = rows->index(row, 0).data(PlaylistRoles::Files).toStringList();
        if (!files.isEmpty() && files.first().endsWith(firstFile))
            return row;
    }
    return -1;
}

} // namespace

// A user's session with the whole program on a real X display: open the sample card, list, play
// with every panel in step, seek, damaged recordings and a card pulled while playing. Screenshots of the main
// moments are kept as artifacts.
class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
        QVERIFY(m_tmp.isValid());
        m_card = m_tmp.filePath(QStringLiteral("card"));
        QVERIFY(Session::copyTree(Session::sampleCard(), m_card));
        m_sums = Session::checksums(m_card);
        QCOMPARE(m_sums.size(), 12);
        Session::closeTileServer(m_tmp.path());
        QFile::remove(ZelSettings::getWritablePath());
        QDir().mkpath(QStringLiteral(TARROW_ARTIFACTS_DIR));

        m_window = std::make_unique<MainWindow>();
        m_window->show();
        // The player's keys belong to the active window, as the keyboard's do.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    }

    void listsTheCard()
    {
        // As from the open dialog: the card's folder chosen.
        m_window->openPaths({m_card});
        // Listed, thumbnails made, the map has parsed the files: the spinner goes, the button comes back.
        PlaylistWgt* playlist = ui()->fileWidget;
        QTRY_VERIFY_WITH_TIMEOUT(
            playlist->model() && playlist->model()->rowCount() == 2 && !playlist->isWorking(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!playlist->progressBar()->isVisible() && ui()->openFileButton->isEnabled(),
                                 30000);
        QCOMPARE(ZelSettings::value(ZelSettings::PlaylistPath).toString(), m_tmp.path());

        // The rows' contents are compared with the command line's listing of the same card.
        for (int row : {0, 1})
            QVERIFY2(!playlist->treeView()
                          ->model()
                          ->index(row, 0)
                          .data(Qt::DecorationRole)
                          .value<QIcon>()
                          .isNull(),
                     "every trip has its thumbnail");
        saveArtifact(QStringLiteral("1-listed"));
    }

    void playsWithEveryPanelInStep()
    {
        Session::doubleClickRow(ui()->fileWidget->treeView(), 0);
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

        // Every panel moved on together ...
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
        QVERIFY(!map->routes().empty());
        QCOMPARE(map->markers().size(), std::size_t(3));
        // The trip's event is marked on the slider and the graph, which has the trip's samples
        // and length.
        QVERIFY(!ctrl->form()->positionSlider->rangeColours().isEmpty());
        QCOMPARE(graph->eventBorders().size(), std::size_t(2));
        QVERIFY(graph->speedScale() < 100.0);
        QCOMPARE(graph->overlay_time_to_pixel(40000), graph->width() - 40);

        // The video shows the first file's colour bars, and they move.
        QVERIFY(frame1 != frame2);
        QVERIFY2(Session::yellowShare(frame2) > 0.05,
                 qPrintable(QString::number(Session::yellowShare(frame2))));
    }

    void seeksIntoTheSecondFile()
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

    // Damaged recordings: the good trips still list and play.
    void damagedFilesLeaveGoodTripsPlayable()
    {
        const QString card = m_tmp.filePath(QStringLiteral("damaged"));
        QVERIFY(Session::copyTree(Session::sampleCard(), card));
        const QString normal = card + QStringLiteral("/Normal/");
        const QByteArray clip = Session::readFile(normal + QStringLiteral("002_0001_20240501094210.mp4"));
        const QByteArray nmea = Session::readFile(normal + QStringLiteral("002_0001_20240501094210.nmea"));
        QVERIFY(!clip.isEmpty() && !nmea.isEmpty());
        // A video cut short by a power loss, with good positions.
        QVERIFY(Session::writeFile(normal + QStringLiteral("003_0001_20240501100000.mp4"),
                                   clip.left(clip.size() / 5)));
        QVERIFY(Session::writeFile(normal + QStringLiteral("003_0001_20240501100000.nmea"), nmea));
        // A good video whose position file is empty.
        QVERIFY(Session::writeFile(normal + QStringLiteral("004_0001_20240501110000.mp4"), clip));
        QVERIFY(Session::writeFile(normal + QStringLiteral("004_0001_20240501110000.nmea"), QByteArray()));
        // A good video whose position file is garbage: random bytes and a 1 MB line.
        QByteArray garbage(64 * 1024, '\0');
        QRandomGenerator generator(7);
        for (char& byte : garbage)
            byte = static_cast<char>(generator.bounded(256));
        garbage += QByteArray(1024 * 1024, ',') + "\n$GPRMC,not,a,sentence\n";
        QVERIFY(Session::writeFile(normal + QStringLiteral("005_0001_20240501120000.mp4"), clip));
        QVERIFY(Session::writeFile(normal + QStringLiteral("005_0001_20240501120000.nmea"), garbage));
        const auto sums = Session::checksums(card);

        m_window->openPaths({card});
        PlaylistWgt* playlist = ui()->fileWidget;
        QTRY_VERIFY_WITH_TIMEOUT(
            playlist->model() && playlist->model()->rowCount() >= 4 && !playlist->isWorking(), 30000);
        QTRY_VERIFY_WITH_TIMEOUT(ui()->openFileButton->isEnabled(), 30000);
        for (const char* first : {"001_0001_20240501090000.mp4", "002_0001_20240501094210.mp4",
                                  "004_0001_20240501110000.mp4", "005_0001_20240501120000.mp4"})
            QVERIFY2(tripRow(playlist, first) >= 0, first);

        // The trip with garbage positions plays; there is nothing to show beside it.
        Session::doubleClickRow(playlist->treeView(), tripRow(playlist, "005_0001_20240501120000.mp4"));
        QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1500, 15000);
        QCOMPARE(ui()->driveData->latitudeText(), QStringLiteral("Unknown"));
        // A good trip still plays with all its data.
        Session::doubleClickRow(playlist->treeView(), tripRow(playlist, "001_0001_20240501090000.mp4"));
        QTRY_COMPARE_WITH_TIMEOUT(ui()->ctrlPanel->form()->durationLabel->text(), QStringLiteral("00:40"),
                                  15000);
        QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1500 && ui()->driveData->currentSample(),
                                 15000);
        QVERIFY(ui()->driveData->latitudeText() != QStringLiteral("Unknown"));
        QCOMPARE(Session::checksums(card), sums);
    }

    // The card goes away mid-trip, including the files still to come; the next card works as usual.
    void cardRemovedWhilePlaying()
    {
        PlaylistWgt* playlist = ui()->fileWidget;
        const auto listed = [&]() {
            return playlist->model() && playlist->model()->rowCount() == 2 && !playlist->isWorking() &&
                   ui()->openFileButton->isEnabled();
        };
        const QString card = m_tmp.filePath(QStringLiteral("pulled"));
        QVERIFY(Session::copyTree(Session::sampleCard(), card));
        m_window->openPaths({card});
        QTRY_VERIFY_WITH_TIMEOUT(listed(), 30000);
        Session::doubleClickRow(playlist->treeView(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1000, 15000);
        QVERIFY(QDir(card).removeRecursively());
        QTest::qWait(4000);
        QVERIFY(m_window->isVisible());

        m_window->openPaths({m_card});
        QTRY_VERIFY_WITH_TIMEOUT(listed(), 30000);
        Session::doubleClickRow(playlist->treeView(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(ui()->ctrlPanel->form()->durationLabel->text(), QStringLiteral("00:20"),
                                  15000);
        QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1000, 15000);
    }

    void cleanupTestCase()
    {
        m_window.reset();
        // The recordings are exactly as they were: nothing written, nothing added.
        QCOMPARE(Session::checksums(m_card), m_sums);
        QFile::remove(ZelSettings::getWritablePath());
    }

private:
    void saveArtifact(const QString& name)
    {
        Session::screenImage(m_window.get()).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/") + name + ".png");
    }
    Ui_MainWindow* ui() const { return m_window->form(); }

    QTemporaryDir m_tmp;
    QString m_card;
    QMap<QString, QByteArray> m_sums;
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
