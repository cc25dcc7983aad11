#include "centereditemdelegate.h"
#include "circleprogressbar.h"
#include "myfiledialog.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "units.h"
#include "videoselection.h"

#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QTreeView>
#include <QtTest>

namespace {

// Durations taken from a table; files not in it measure 0.
PlaylistPrepareData::DurationProbe tableProbe(const QMap<QString, qint64>& durations)
{
    return [durations](const QString& file, QString&) { return durations.value(file, 0); };
}

// Measures nothing until the worker is told to stop, so the preparation stays running.
qint64 endlessProbe(const QString&, QString&)
{
    while (!QThread::currentThread()->isInterruptionRequested())
        QThread::msleep(1);
    return 0;
}

Trip::TripItem item(const QString& file, qint64 duration, bool isEvent = false)
{
    return Trip::TripItem{duration, isEvent, file, QString(file).replace(".mp4", ".nmea")};
}

QModelIndex tripRow(const PlaylistWgt& view, int row, int column = 0)
{
    return view.treeView()->model()->index(row, column);
}

} // namespace

// The playlist view: trips listed by a worker, thumbnails, clicks and double clicks, the files
// opened from the command line, and the open dialog with its folder selection.
class TestPlaylistWgt : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        // A card: videos at the root and in two folders, a deeper folder that is not searched,
        // and names the camera never writes.
        for (const char* file :
             {"card/001_0001_20240501120000.mp4", "card/001_0001_20240501120000.nmea", "card/readme.txt",
              "card/Normal/002_0001_20240501130000.mp4", "card/Normal/002_0002_20240501130100.mp4",
              "card/Normal/holiday.mp4", "card/Normal/02_0001_clip.mp4",
              "card/EVENT/003_0001_20240501140000.mp4", "card/Normal/deeper/004_0001_20240501150000.mp4"})
            touch(QString::fromLatin1(file));
    }

    void listsTripsAndFinishesAfterParsing()
    {
        PlaylistWgt view;
        QSignalSpy button(&view, &PlaylistWgt::openButtonEnabled);
        listTrips(view, {{item("/c/001_0001_20240501120000.mp4", 60000),
                          item("/c/001_0002_20240501120100.mp4", 30000),
                          item("/c/EVENT/001_0001_20240501120110.mp4", 10000, true)},
                         {item("/c/002_0001_20240501130000.mp4", 605000)},
                         {item("/c/003_0001_20240501140000.mp4", 3600000)}});

        QCOMPARE(view.model()->rowCount(), 3);
        const QModelIndex first = tripRow(view, 0);
        QCOMPARE(first.data(PlaylistRoles::Files).toStringList(),
                 (QStringList{"/c/001_0001_20240501120000.mp4", "/c/001_0002_20240501120100.mp4",
                              "/c/EVENT/001_0001_20240501120110.mp4"}));
        QCOMPARE(tripRow(view, 0, 2).data().toString(), QString("01:40"));
        QCOMPARE(tripRow(view, 0, 2).data(PlaylistRoles::Duration).toLongLong(), qint64(100000));
        QCOMPARE(tripRow(view, 0, 3).data(PlaylistRoles::Events).toLongLong(), qint64(1));
        QCOMPARE(tripRow(view, 0, 1).data(PlaylistRoles::Start).toDateTime(),
                 QDateTime(QDate(2024, 5, 1), QTime(12, 0), Qt::UTC));
        const QModelIndex eventFile = view.treeView()->model()->index(2, 0, first);
        QCOMPARE(eventFile.data().toString(), QString("001_0001_20240501120110.mp4"));
        QVERIFY(eventFile.data(PlaylistRoles::Events).toBool());
        QCOMPARE(eventFile.data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::red));
        QVERIFY(view.treeView()->isFirstColumnSpanned(2, first));
        QCOMPARE(view.model()->horizontalHeaderItem(2)->text(), QString("Duration"));

        // The event column shows a sign only for trips with events, and no text.
        auto* delegate = qobject_cast<CenteredItemDelegate*>(view.treeView()->itemDelegateForColumn(3));
        QVERIFY(delegate);
        QCOMPARE(delegate->maxDangers(), qint64(1));
        const auto paint = [&](const QModelIndex& index) {
            QImage image(60, 30, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QStyleOptionViewItem option;
            option.rect = image.rect();
            option.palette.setColor(QPalette::Text, Qt::white);
            delegate->paint(&painter, option, index);
            return image;
        };
        QVERIFY(tripRow(view, 0, 3).data(Qt::DisplayRole).toString().isEmpty());
        QImage blank(60, 30, QImage::Format_ARGB32);
        blank.fill(Qt::transparent);
        QVERIFY(paint(tripRow(view, 0, 3)) != blank);
        QCOMPARE(paint(tripRow(view, 1, 3)), blank);

        // Durations sort by their length, not their text.
        view.treeView()->sortByColumn(2, Qt::AscendingOrder);
        QStringList texts;
        for (int row = 0; row < 3; ++row)
            texts << tripRow(view, row, 2).data().toString();
        QCOMPARE(texts, (QStringList{"01:40", "10:05", "01:00:00"}));
        view.treeView()->sortByColumn(1, Qt::DescendingOrder);
        QCOMPARE(tripRow(view, 0).data(PlaylistRoles::Files).toStringList().first(),
                 QString("/c/003_0001_20240501140000.mp4"));

        // A new language relabels the header and writes the start times in its locale, as the
        // clock label does: the whole year, the seconds and the time offset.
        QTranslator german;
        QVERIFY(german.load(QStringLiteral(":/resources/translations/trans_de_DE.qm")));
        Units::setDisplayLocale(QLocale(QLocale::German, QLocale::Germany));
        Units::setClockOffsetSeconds(-14 * 3600 - 30);
        QCoreApplication::installTranslator(&german);
        QTRY_COMPARE(view.model()->horizontalHeaderItem(2)->text(), QString("Dauer"));
        QCOMPARE(tripRow(view, 0, 1).data().toString(), QString("30.04.2024 23:59:30"));
        QCoreApplication::removeTranslator(&german);
        Units::setClockOffsetSeconds(0);
        Units::setDisplayLocale(QLocale::c());

        // Thumbnails are done, the map's parsing is not: still busy.
        QCOMPARE(view.requestId(), intptr_t(0));
        QCOMPARE(button.count(), 1);
        QVERIFY(!button.at(0).at(0).toBool());
        QCOMPARE(view.progressBar()->progress(), 100u);
        view.nmea_parsing_finished();
        QCOMPARE(button.count(), 2);
        QVERIFY(button.at(1).at(0).toBool());
        view.nmea_parsing_finished();
        QCOMPARE(button.count(), 2);
    }

    void onlyTheCurrentRequestCounts()
    {
        PlaylistWgt view;
        view.setDurationProbe(&endlessProbe);
        QStringList ordinary{"/c/001_0001_20240501120000.mp4"};
        QStringList events;
        view.prepareModel(ordinary, events);
        const intptr_t replaced = view.requestId();
        view.prepareModel(ordinary, events);
        const intptr_t current = view.requestId();
        QVERIFY(replaced != 0 && current != 0 && current != replaced);

        // Late signals of a replaced worker change nothing.
        auto trips =
            std::make_shared<Trip::Trips>(Trip::Trips{{item("/c/001_0001_20240501120000.mp4", 1000)}});
        view.on_PlaylistProgress(replaced);
        view.on_PlaylistCompleted(replaced, trips);
        view.on_PlaylistFinishedEmpty(replaced);
        view.on_VlcThumbnailsAllCompleted(replaced);
        view.on_VlcThumbnailsCompleted(
            VlcThumbnails::OutData{replaced, QModelIndex(), 0, QImage(10, 10, QImage::Format_RGB32)});
        QCOMPARE(view.requestId(), current);
        QVERIFY(!view.model());
        QCOMPARE(view.progressBar()->progress(), 0u);
        QVERIFY(view.isWorking());
        QCoreApplication::processEvents();
        for (QWidget* widget : QApplication::topLevelWidgets())
            QVERIFY(!qobject_cast<QMessageBox*>(widget) || !widget->isVisible());

        // The current worker's result: the thumbnails start, and until they are done a double
        // click plays nothing.
        QSignalSpy selected(&view, &PlaylistWgt::setTripSelected);
        view.on_PlaylistCompleted(current, trips);
        QVERIFY(view.model() && view.isWorking());
        view.on_TreeViewDoubleClick(tripRow(view, 0));
        QCOMPARE(selected.count(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 20000);
        view.on_TreeViewDoubleClick(tripRow(view, 0));
        QCOMPARE(selected.count(), 1);
    }

    // A new selection replaces a worker whose probe is still measuring a file: the view goes on
    // at once, the old worker ends on its own and goes.
    void replacedPreparationDoesNotHoldUpTheView()
    {
        auto inProbe = std::make_shared<QSemaphore>();
        PlaylistWgt view;
        view.setDurationProbe([inProbe](const QString&, QString&) -> qint64 {
            inProbe->release();
            QThread::msleep(400); // an engine probe does not look at interruptions
            return 60000;
        });
        QStringList ordinary{"/c/001_0001_20240501120000.mp4"};
        QStringList events;
        view.prepareModel(ordinary, events);
        QVERIFY(inProbe->tryAcquire(1, 5000));
        QCOMPARE(view.findChildren<PlaylistPrepareData*>().size(), 0);

        QElapsedTimer clock;
        clock.start();
        qint64 last = 0;
        qint64 longest = 0;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&]() {
            longest = std::max(longest, clock.elapsed() - last);
            last = clock.elapsed();
        });
        tick.start(5);
        QTimer::singleShot(20, &view, [&]() {
            QStringList next{"/c/002_0001_20240501130000.mp4"};
            view.prepareModel(next, events);
        });
        // The old worker lives on beside the view until its probe returns, then goes.
        QTRY_COMPARE_WITH_TIMEOUT(view.findChildren<PlaylistPrepareData*>().size(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(view.findChildren<PlaylistPrepareData*>().size(), 0, 5000);
        QVERIFY2(longest <= 50,
                 qPrintable(QStringLiteral("the event loop stood still for %1 ms").arg(longest)));
        // The new selection is listed.
        QTRY_VERIFY_WITH_TIMEOUT(view.model() && view.model()->rowCount() == 1, 5000);
        QCOMPARE(view.model()->item(0)->child(0)->data(PlaylistRoles::Files).toString(),
                 QStringLiteral("/c/002_0001_20240501130000.mp4"));
    }

    void singleClickTogglesDoubleClickSelects()
    {
        PlaylistWgt view;
        listTrips(view, {{item("/c/001_0001_20240501120000.mp4", 60000),
                          item("/c/EVENT/001_0001_20240501120030.mp4", 20000, true),
                          item("/c/001_0002_20240501120100.mp4", 30000)},
                         {item("/c/002_0001_20240501130000.mp4", 5000)}});
        QSignalSpy selected(&view, &PlaylistWgt::setTripSelected);
        QTreeView* tree = view.treeView();
        const QModelIndex trip = tripRow(view, 0, 1);

        view.on_treeViewClick(trip);
        QVERIFY(!tree->isExpanded(tripRow(view, 0)));
        QTRY_VERIFY(tree->isExpanded(tripRow(view, 0)));
        QCOMPARE(tree->currentIndex().row(), 0);
        view.on_treeViewClick(trip);
        QTRY_VERIFY(!tree->isExpanded(tripRow(view, 0)));
        QCOMPARE(selected.count(), 0);

        view.on_treeViewClick(trip);
        view.on_treeViewClick(trip);
        QCOMPARE(selected.count(), 1);
        const auto chosen = selected.at(0).at(0).value<std::shared_ptr<Trip::TripList>>();
        QVERIFY(chosen);
        QCOMPARE(chosen->size(), size_t(3));
        QCOMPARE(chosen->at(1), item("/c/EVENT/001_0001_20240501120030.mp4", 20000, true));
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        QVERIFY(!tree->isExpanded(tripRow(view, 0)));

        // A file row plays on its own.
        const QModelIndex file = tree->model()->index(2, 0, tripRow(view, 0));
        view.on_treeViewClick(file);
        view.on_treeViewClick(file);
        QCOMPARE(selected.count(), 2);
        const auto single = selected.at(1).at(0).value<std::shared_ptr<Trip::TripList>>();
        QCOMPARE(single->size(), size_t(1));
        QCOMPARE(single->front(), item("/c/001_0002_20240501120100.mp4", 30000));
    }

    void openPathsAdmitsAndAnnounces()
    {
        for (const char* file :
             {"own/card/001_0001_20240501120000.mp4", "own/card/001_0001_20240501120000.nmea",
              "own/card/001_0002_20240501120100.mp4", // no position file
              "own/card/009_0001_20241301120000.mp4", "own/card/009_0001_20241301120000.nmea", // month 13
              "own/card/EVENT/001_0001_20240501120030.mp4", "own/card/EVENT/001_0001_20240501120030.nmea"})
            touch(QString::fromLatin1(file));
        const QDir dir(path("own"));

        PlaylistWgt view;
        view.setDurationProbe([](const QString&, QString&) { return qint64(60000); });
        QSignalSpy trips(&view, &PlaylistWgt::setTripSelected);
        QSignalSpy files(&view, &PlaylistWgt::setFilesSelected);
        view.openPaths({dir.filePath("card")});

        QCOMPARE(trips.count(), 1);
        QVERIFY(!trips.at(0).at(0).value<std::shared_ptr<Trip::TripList>>());
        QCOMPARE(files.count(), 1);
        const auto nmea = files.at(0).at(0).value<std::shared_ptr<QStringList>>();
        QVERIFY(nmea);
        QCOMPARE(*nmea, (QStringList{dir.filePath("card/001_0001_20240501120000.nmea"),
                                     dir.filePath("card/EVENT/001_0001_20240501120030.nmea")}));
        QCOMPARE(QDir::currentPath(), dir.absolutePath());
        QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 20000);
        QCOMPARE(view.model()->rowCount(), 1);
        QCOMPARE(tripRow(view, 0, 3).data(PlaylistRoles::Events).toLongLong(), qint64(1));

        // Nothing admitted (the message is checked with the other messages): the map gets an
        // empty list.
        view.openPaths({dir.filePath("card/001_0002_20240501120100.mp4")});
        QCOMPARE(files.count(), 2);
        QVERIFY(files.at(1).at(0).value<std::shared_ptr<QStringList>>()->isEmpty());
        QVERIFY(!view.isWorking());
    }

    void everyChosenFolderExpands_data()
    {
        QTest::addColumn<QStringList>("chosen"); // relative to the temporary directory
        QTest::addColumn<QStringList>("videos"); // in the order found
        QTest::addColumn<int>("filesSeen");

        const QStringList card{"card/001_0001_20240501120000.mp4", "card/EVENT/003_0001_20240501140000.mp4",
                               "card/Normal/002_0001_20240501130000.mp4",
                               "card/Normal/002_0002_20240501130100.mp4"};
        const QStringList second{"second/Normal/005_0001_20240502080000.mp4",
                                 "second/Normal/005_0002_20240502080100.mp4"};
        // The card's files: three at its root, four in Normal, one in EVENT; Normal/deeper is
        // not searched.
        QTest::newRow("one folder") << QStringList{"card"} << card << 8;
        QTest::newRow("a card and an empty folder") << QStringList{"card", "empty"} << card << 8;
        QTest::newRow("two cards") << QStringList{"card", "second"} << card + second << 10;
        QTest::newRow("the same folder twice") << QStringList{"card", "card/"} << card << 8;
        QTest::newRow("a folder and its subfolder")
            << QStringList{"card", "card/Normal"}
            << card + QStringList{"card/Normal/deeper/004_0001_20240501150000.mp4"} << 9;
        QTest::newRow("a file and its folder")
            << QStringList{"card/Normal/002_0002_20240501130100.mp4", "card"}
            << QStringList{"card/Normal/002_0002_20240501130100.mp4", "card/001_0001_20240501120000.mp4",
                           "card/EVENT/003_0001_20240501140000.mp4",
                           "card/Normal/002_0001_20240501130000.mp4"}
            << 8;
        QTest::newRow("two empty folders") << QStringList{"empty", "second/empty"} << QStringList{} << 0;
    }

    // What a choice of folders and files stands for, in the window and on the command line.
    void everyChosenFolderExpands()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, videos);
        QFETCH(int, filesSeen);
        touch("second/Normal/005_0001_20240502080000.mp4");
        touch("second/Normal/005_0002_20240502080100.mp4");
        QVERIFY(QDir().mkpath(path("empty")));
        QVERIFY(QDir().mkpath(path("second/empty")));

        QStringList paths;
        for (const QString& relative : chosen)
            paths << path(relative);
        const VideoSelection::Result result = VideoSelection::collect(paths);
        QStringList wanted;
        for (const QString& file : videos)
            wanted << QFileInfo(path(file)).absoluteFilePath();
        QCOMPARE(result.videos, wanted);
        QCOMPARE(result.filesSeen, filesSeen);
        QVERIFY(result.missing.isEmpty());
        // Each path once, the trailing separator making no other path.
        QCOMPARE(result.chosen.size(), chosen.size() - (chosen.contains("card/") ? 1 : 0));
    }

    void folderSelection_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("selected"); // names in `folder`; none = press Open with no selection
        QTest::addColumn<QStringList>("expected"); // relative to the temporary directory

        QTest::newRow("card root with subfolders")
            << "" << QStringList{"card"}
            << QStringList{"card/001_0001_20240501120000.mp4", "card/EVENT/003_0001_20240501140000.mp4",
                           "card/Normal/002_0001_20240501130000.mp4",
                           "card/Normal/002_0002_20240501130100.mp4"};
        // Every entry counts as chosen, the folders among them with their own files.
        QTest::newRow("nothing selected takes the folder")
            << "card/Normal" << QStringList{}
            << QStringList{"card/Normal/deeper/004_0001_20240501150000.mp4",
                           "card/Normal/002_0001_20240501130000.mp4",
                           "card/Normal/002_0002_20240501130100.mp4"};
        QTest::newRow("files picked one by one")
            << "card/Normal" << QStringList{"002_0002_20240501130100.mp4"}
            << QStringList{"card/Normal/002_0002_20240501130100.mp4"};
        QTest::newRow("non-matching names never come back")
            << "card/Normal" << QStringList{"holiday.mp4", "02_0001_clip.mp4"} << QStringList{};
        // Several folders selected: each one with its immediate subfolders, as a lone folder.
        QTest::newRow("two folders with their subfolders")
            << "card" << QStringList{"EVENT", "Normal"}
            << QStringList{"card/EVENT/003_0001_20240501140000.mp4",
                           "card/Normal/002_0001_20240501130000.mp4",
                           "card/Normal/002_0002_20240501130100.mp4",
                           "card/Normal/deeper/004_0001_20240501150000.mp4"};
        QTest::newRow("a folder and a file")
            << "card" << QStringList{"Normal", "001_0001_20240501120000.mp4"}
            << QStringList{"card/001_0001_20240501120000.mp4", "card/Normal/002_0001_20240501130000.mp4",
                           "card/Normal/002_0002_20240501130100.mp4",
                           "card/Normal/deeper/004_0001_20240501150000.mp4"};
    }

    void folderSelection()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, expected);

        const QString start = path(folder);
        MyFileDialog dialog(nullptr, "Open", start, "MP4 (*.mp4)");
        auto* model = dialog.findChild<QFileSystemModel*>("qt_filesystem_model");
        auto* view = dialog.findChild<QListView*>("listView");
        QVERIFY(model && view);
        // The folder is read in the background: wait until all of it is there.
        QSignalSpy loaded(model, &QFileSystemModel::directoryLoaded);
        QTRY_VERIFY(loaded.contains(QVariantList{QDir(start).absolutePath()}));
        for (const QString& name : selected) {
            const QModelIndex index = model->index(QDir(start).filePath(name));
            QVERIFY(index.isValid());
            view->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        }

        dialog.chooseClicked();

        QStringList wanted;
        for (const QString& file : expected)
            wanted << QFileInfo(path(file)).absoluteFilePath();
        // In the order the view lists them; the trips are sorted later.
        QStringList chosen = dialog.selectedFiles();
        chosen.sort();
        wanted.sort();
        QCOMPARE(chosen, wanted);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.topDir(), expected.isEmpty() ? QString() : QDir(start).absolutePath());
    }

    void activatingAVideoAcceptsIt()
    {
        const QString start = path("card/Normal");
        MyFileDialog dialog(nullptr, "Open", start, "MP4 (*.mp4)");
        auto* model = dialog.findChild<QFileSystemModel*>("qt_filesystem_model");
        auto* view = dialog.findChild<QListView*>("listView");
        QTRY_VERIFY(model->rowCount(model->index(start)) > 0);

        emit view->activated(model->index(path("card/Normal/holiday.mp4")));
        QVERIFY(dialog.selectedFiles().isEmpty());

        emit view->activated(model->index(path("card/Normal/002_0001_20240501130000.mp4")));
        QCOMPARE(dialog.selectedFiles(), QStringList{path("card/Normal/002_0001_20240501130000.mp4")});
        QCOMPARE(dialog.topDir(), start);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        // Open stays enabled, whatever is selected: it chooses the folder itself.
        auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        QPushButton* open = buttons ? buttons->button(QDialogButtonBox::Open) : nullptr;
        QVERIFY(open);
        open->setEnabled(false);
        QVERIFY(open->isEnabled());
    }

    void removedFolderFallsBackToAnExistingDrive()
    {
        const QString doomed = path("card/Normal/deeper");
        MyFileDialog dialog(nullptr, "Open", doomed, "MP4 (*.mp4)");
        auto* sidebar = dialog.findChild<QListView*>("sidebar");
        QVERIFY(sidebar);
        QVERIFY(sidebar->model()->rowCount() > 0);

        QVERIFY(QDir(doomed).removeRecursively());
        dialog.updateSidebar();

        QVERIFY(dialog.directory().exists());
        QStringList locations;
        for (const Fs::Drive& drive : dialog.drives())
            if (QDir(drive.path).exists())
                locations << QDir(drive.path).absolutePath();
        QVERIFY(!locations.isEmpty());
        QCOMPARE(dialog.directory().absolutePath(), locations.first());
    }

private:
    // Lists `trips` through a worker whose probe knows their durations, and waits until idle.
    void listTrips(PlaylistWgt& view, const Trip::Trips& trips)
    {
        QMap<QString, qint64> durations;
        QStringList ordinary;
        QStringList events;
        for (const Trip::TripList& trip : trips) {
            for (const Trip::TripItem& file : trip) {
                durations[file.videoFile] = file.duration;
                (file.isEvent ? events : ordinary) << file.videoFile;
            }
        }
        view.setDurationProbe(tableProbe(durations));
        view.prepareModel(ordinary, events);
        QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 20000);
        QVERIFY(view.model());
    }

    void touch(const QString& relative)
    {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
    }

    QString path(const QString& relative) const { return m_dir->filePath(relative); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

QTEST_MAIN(TestPlaylistWgt)
#include "tst_playlistwgt.moc"
