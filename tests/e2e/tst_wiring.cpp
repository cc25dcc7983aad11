#include "compass.h"
#include "controlpanelwgt.h"
#include "dataprocessor.h"
#include "drivedata.h"
#include "graph.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "playlistwgt.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QPushButton>
#include <QtTest>

#include <map>

namespace {

// Counts and swallows the deferred slot calls that queued connections post to a receiver,
// so the panels' slots never run with the test's dummy arguments.
class QueuedCallCounter : public QObject
{
public:
    void watch(QObject* receiver, const char* name)
    {
        receiver->installEventFilter(this);
        m_names[receiver] = QString::fromLatin1(name);
    }
    // Receivers that got a deferred call since the last take, by name, with their counts.
    QMap<QString, int> take()
    {
        QCoreApplication::processEvents();
        QMap<QString, int> counts;
        std::swap(counts, m_counts);
        return counts;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MetaCall && m_names.count(watched)) {
            ++m_counts[m_names[watched]];
            return true;
        }
        return false;
    }

private:
    std::map<QObject*, QString> m_names;
    QMap<QString, int> m_counts;
};

using Counts = QMap<QString, int>;

} // namespace

// The main window wires its panels through the event loop: each signal of the wiring table
// reaches exactly its receivers, later, never inside the emitting code.
class TestWiring : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void metaTypesAreRegistered();
    void everyRowIsQueuedToItsReceivers();
    void openButtonCallsDirectly();
    void mapClickSeeksThePlayer();
    void cleanupTestCase();

private:
    std::unique_ptr<MainWindow> m_window;
    QueuedCallCounter m_counter;
};

void TestWiring::initTestCase()
{
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    m_window = std::make_unique<MainWindow>();
    Ui_MainWindow* ui = m_window->form();
    m_counter.watch(m_window.get(), "window");
    m_counter.watch(ui->videoWidget, "video");
    m_counter.watch(ui->ctrlPanel, "ctrl");
    m_counter.watch(ui->dataFrame, "graph");
    m_counter.watch(ui->driveData, "drive");
    m_counter.watch(ui->compass, "compass");
    m_counter.watch(ui->gpsWidget, "map");
    m_counter.watch(ui->fileWidget, "playlist");
    m_counter.watch(m_window->dataProcessor(), "processor");
}

void TestWiring::metaTypesAreRegistered()
{
    for (const char* name :
         {"std::shared_ptr<Trip::TripList>", "std::shared_ptr<Trip::Trips>", "std::shared_ptr<QStringList>",
          "std::shared_ptr<std::vector<QNmeaPositionInfo>>", "std::shared_ptr<std::vector<DataPoint> >",
          "VlcThumbnails::InData", "VlcThumbnails::OutData"}) {
        QVERIFY2(QMetaType::type(name) != QMetaType::UnknownType, name);
    }
}

void TestWiring::everyRowIsQueuedToItsReceivers()
{
    Ui_MainWindow* ui = m_window->form();
    VlcQtVideoWidget* video = ui->videoWidget;
    ControlPanelWgt* ctrl = ui->ctrlPanel;
    PlaylistWgt* playlist = ui->fileWidget;
    MapWidget* map = ui->gpsWidget;
    DataProcessor* processor = m_window->dataProcessor();
    m_counter.take();

    // Each emission: the signal, then the receivers the table names for it (rows in brackets).
    emit m_window->openFileDialog(QDir::homePath());
    QCOMPARE(m_counter.take(), Counts({{"playlist", 1}})); // 2
    emit playlist->setTripSelected(std::make_shared<Trip::TripList>());
    QCOMPARE(m_counter.take(), Counts({{"video", 1}, {"map", 1}, {"ctrl", 1}, {"graph", 1}})); // 3-6
    emit video->onPositionChange(1000);
    QCOMPARE(m_counter.take(),
             Counts({{"map", 1}, {"graph", 1}, {"drive", 1}, {"ctrl", 1}})); // 7, 11, 14, 20
    emit playlist->setFilesSelected(std::make_shared<QStringList>());
    QCOMPARE(m_counter.take(), Counts({{"map", 1}})); // 8
    emit playlist->setFileDialogFinished();
    QCOMPARE(m_counter.take(), Counts({{"window", 1}})); // 9
    emit map->nmeaReady(nullptr);
    QCOMPARE(m_counter.take(), Counts({{"processor", 1}})); // 10
    emit video->onDurationChange(60000);
    QCOMPARE(m_counter.take(), Counts({{"graph", 1}, {"ctrl", 1}})); // 12, 21
    emit processor->trip_data_processed(nullptr);
    QCOMPARE(m_counter.take(), Counts({{"graph", 1}, {"drive", 1}})); // 13, 15
    emit ui->driveData->direction_changed(90.0);
    QCOMPARE(m_counter.take(), Counts({{"compass", 1}})); // 16
    emit ctrl->toggleFullScreen();
    QCOMPARE(m_counter.take(), Counts({{"window", 1}})); // 17
    emit video->updateVolumeButtonIcon(50, false);
    QCOMPARE(m_counter.take(), Counts({{"ctrl", 1}})); // 18
    emit video->updatePlayPauseButton(3);
    QCOMPARE(m_counter.take(), Counts({{"ctrl", 1}})); // 19
    emit ctrl->play();
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 22
    emit ctrl->rewind();
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 23
    emit ctrl->forward();
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 24
    emit ctrl->toggleMute();
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 25
    emit ctrl->setVolume(40);
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 26
    emit ctrl->setPosition(5000);
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 27
    emit map->parsing_finished();
    QCOMPARE(m_counter.take(), Counts({{"playlist", 1}})); // 28
    emit m_window->updateActivationState();
    QCOMPARE(m_counter.take(), Counts({{"video", 1}})); // 29
}

void TestWiring::openButtonCallsDirectly()
{
    // Row 1 is the one direct connection: the window's slot runs inside the click and
    // emits the dialog request (row 2, queued to the playlist).
    QSignalSpy request(m_window.get(), &MainWindow::openFileDialog);
    m_window->form()->openFileButton->click();
    QCOMPARE(request.count(), 1);
    QCOMPARE(m_counter.take(), Counts({{"playlist", 1}}));
    m_window->on_setFileDialogFinished();
}

void TestWiring::mapClickSeeksThePlayer()
{
    m_counter.take();
    emit m_window->form()->gpsWidget->positionSelected(42000);
    QCOMPARE(m_counter.take(), Counts({{"video", 1}}));
}

void TestWiring::cleanupTestCase()
{
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestWiring)
#include "tst_wiring.moc"
