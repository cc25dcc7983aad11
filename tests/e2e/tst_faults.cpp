#include "controlpanelwgt.h"
#include "controlpanelwgtform.h"
#include "drivedata.h"
#include "graph.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "sessionfixture.h"
#include "zelsettings.h"

#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Row of the trip whose first file has this name, in the view's order; -1 when not listed.
int tripRow(PlaylistWgt* playlist, const QString& firstFile)
{
    const QAbstractItemModel* rows = playlist->treeView()->model();
    for (int row = 0; row < rows->rowCount(); ++row) {
        const QStringList files = rows->index(row, 0).data(PlaylistRoles::Files).toStringList();
        if (!files.isEmpty() && files.first().endsWith(firstFile)) {
            return row;
        }
    }
    return -1;
}

void doubleClickTrip(PlaylistWgt* playlist, int row)
{
    QTreeView* tree = playlist->treeView();
    tree->scrollTo(tree->model()->index(row, 1));
    const QPoint at = tree->visualRect(tree->model()->index(row, 1)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mousePress(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(tree->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

// Damaged recordings and a card pulled during playback: the good trips still list and play,
// and the program stays usable.
class TestFaults : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void damagedFilesLeaveGoodTripsPlayable();
    void cardRemovedWhilePlaying();
    void cleanupTestCase();

private:
    bool waitForListing(int trips);
    Ui_MainWindow* ui() const { return m_window->form(); }

    QTemporaryDir m_tmp;
    std::unique_ptr<MainWindow> m_window;
};

void TestFaults::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", m_tmp.filePath(QStringLiteral("cache")).toLocal8Bit());
    QFile::remove(ZelSettings::getWritablePath());
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

bool TestFaults::waitForListing(int trips)
{
    PlaylistWgt* playlist = ui()->fileWidget;
    (void)QTest::qWaitFor(
        [&]() {
            return playlist->model() && playlist->model()->rowCount() == trips && !playlist->isWorking() &&
                   ui()->openFileButton->isEnabled();
        },
        30000);
    return playlist->model() && playlist->model()->rowCount() == trips && ui()->openFileButton->isEnabled();
}

void TestFaults::damagedFilesLeaveGoodTripsPlayable()
{
    const QString card = m_tmp.filePath(QStringLiteral("damaged"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    const QString normal = card + QStringLiteral("/Normal/");
    const QByteArray clip = readFile(normal + QStringLiteral("002_0001_20240501094210.mp4"));
    const QByteArray nmea = readFile(normal + QStringLiteral("002_0001_20240501094210.nmea"));
    QVERIFY(!clip.isEmpty() && !nmea.isEmpty());

    // A video cut short by a power loss, with good positions.
    QVERIFY(writeFile(normal + QStringLiteral("003_0001_20240501100000.mp4"), clip.left(clip.size() / 5)));
    QVERIFY(writeFile(normal + QStringLiteral("003_0001_20240501100000.nmea"), nmea));
    // A good video whose position file is empty.
    QVERIFY(writeFile(normal + QStringLiteral("004_0001_20240501110000.mp4"), clip));
    QVERIFY(writeFile(normal + QStringLiteral("004_0001_20240501110000.nmea"), QByteArray()));
    // A good video whose position file is garbage: random bytes and a 1 MB line.
    QByteArray garbage(64 * 1024, '\0');
    QRandomGenerator generator(7);
    for (char& byte : garbage) {
        byte = static_cast<char>(generator.bounded(256));
    }
    garbage += QByteArray(1024 * 1024, ',') + "\n$GPRMC,not,a,sentence\n";
    QVERIFY(writeFile(normal + QStringLiteral("005_0001_20240501120000.mp4"), clip));
    QVERIFY(writeFile(normal + QStringLiteral("005_0001_20240501120000.nmea"), garbage));
    const auto sums = Session::checksums(card);

    m_window->openPaths({card});
    PlaylistWgt* playlist = ui()->fileWidget;
    QTRY_VERIFY_WITH_TIMEOUT(
        playlist->model() && playlist->model()->rowCount() >= 4 && !playlist->isWorking(), 30000);
    QTRY_VERIFY_WITH_TIMEOUT(ui()->openFileButton->isEnabled(), 30000);
    QVERIFY(tripRow(playlist, QStringLiteral("001_0001_20240501090000.mp4")) >= 0);
    QVERIFY(tripRow(playlist, QStringLiteral("002_0001_20240501094210.mp4")) >= 0);
    QVERIFY(tripRow(playlist, QStringLiteral("004_0001_20240501110000.mp4")) >= 0);
    QVERIFY(tripRow(playlist, QStringLiteral("005_0001_20240501120000.mp4")) >= 0);

    // The trip with garbage positions plays; there is nothing to show beside it.
    doubleClickTrip(playlist, tripRow(playlist, QStringLiteral("005_0001_20240501120000.mp4")));
    QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1500, 15000);
    QCOMPARE(ui()->driveData->latitudeText(), QStringLiteral("Unknown"));

    // A good trip still plays with all its data.
    doubleClickTrip(playlist, tripRow(playlist, QStringLiteral("001_0001_20240501090000.mp4")));
    QTRY_COMPARE_WITH_TIMEOUT(ui()->ctrlPanel->form()->durationLabel->text(), QStringLiteral("00:40"), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1500 && ui()->driveData->currentSample(), 15000);
    QVERIFY(ui()->driveData->latitudeText() != QStringLiteral("Unknown"));

    QCOMPARE(Session::checksums(card), sums);
}

void TestFaults::cardRemovedWhilePlaying()
{
    const QString card = m_tmp.filePath(QStringLiteral("pulled"));
    QVERIFY(Session::copyTree(Session::sampleCard(), card));
    m_window->openPaths({card});
    QVERIFY(waitForListing(2));
    PlaylistWgt* playlist = ui()->fileWidget;
    doubleClickTrip(playlist, 0);
    QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1000, 15000);

    // The card goes away mid-trip, including the files still to come.
    QVERIFY(QDir(card).removeRecursively());
    QTest::qWait(4000);
    QVERIFY(m_window->isVisible());

    // The next card works as usual.
    const QString next = m_tmp.filePath(QStringLiteral("next"));
    QVERIFY(Session::copyTree(Session::sampleCard(), next));
    const auto sums = Session::checksums(next);
    m_window->openPaths({next});
    QVERIFY(waitForListing(2));
    doubleClickTrip(playlist, 1);
    QTRY_COMPARE_WITH_TIMEOUT(ui()->ctrlPanel->form()->durationLabel->text(), QStringLiteral("00:20"), 15000);
    QTRY_VERIFY_WITH_TIMEOUT(ui()->dataFrame->position() >= 1000, 15000);
    QCOMPARE(Session::checksums(next), sums);
}

void TestFaults::cleanupTestCase()
{
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestFaults)
#include "tst_faults.moc"
