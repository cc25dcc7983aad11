#include "myfiledialog.h"
#include "videoselection.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QtTest>

class TestMyFileDialog : public QObject
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
              "card/Normal/holiday.mp4", "card/Normal/02_0001_20240501130000.mp4",
              "card/EVENT/003_0001_20240501140000.mp4", "card/Normal/deeper/004_0001_20240501150000.mp4"})
            touch(QString::fromLatin1(file));
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
            << "card/Normal" << QStringList{"holiday.mp4", "02_0001_20240501130000.mp4"} << QStringList{};
    }

    void folderSelection()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, selected);
        QFETCH(QStringList, expected);

        const QString start = path(folder);
        MyFileDialog dialog(nullptr, "Open", start, "MP4 (*.mp4)", VideoSelection::FilePattern);
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
        MyFileDialog dialog(nullptr, "Open", start, "MP4 (*.mp4)", VideoSelection::FilePattern);
        auto* model = dialog.findChild<QFileSystemModel*>("qt_filesystem_model");
        auto* view = dialog.findChild<QListView*>("listView");
        QTRY_VERIFY(model->rowCount(model->index(start)) > 0);

        emit view->activated(model->index(path("card/Normal/holiday.mp4")));
        QVERIFY(dialog.selectedFiles().isEmpty());

        emit view->activated(model->index(path("card/Normal/002_0001_20240501130000.mp4")));
        QCOMPARE(dialog.selectedFiles(), QStringList{path("card/Normal/002_0001_20240501130000.mp4")});
        QCOMPARE(dialog.topDir(), start);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void openButtonStaysEnabled()
    {
        MyFileDialog dialog(nullptr, "Open", path("card"), "MP4 (*.mp4)", VideoSelection::FilePattern);
        auto* buttons = dialog.findChild<QDialogButtonBox*>("buttonBox");
        QVERIFY(buttons);
        QPushButton* open = buttons->button(QDialogButtonBox::Open);
        QVERIFY(open);
        open->setEnabled(false);
        QVERIFY(open->isEnabled());
    }

    void removedFolderFallsBackToAnExistingDrive()
    {
        const QString doomed = path("card/Normal/deeper");
        MyFileDialog dialog(nullptr, "Open", doomed, "MP4 (*.mp4)", VideoSelection::FilePattern);
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

QTEST_MAIN(TestMyFileDialog)
#include "tst_myfiledialog.moc"
