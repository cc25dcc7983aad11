#include "../contrast.h"
#include "filenamecodec.h"
#include "myfiledialog.h"
#include "playlistwgt.h"
#include "skippedfilesdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTreeView>
#include <QTreeWidget>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const QString& file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly));
}

// Every file measures 10 s, as long as it exists under exactly the name it was given.
qint64 existingFileProbe(const QString& file, QString&)
{
    return QFile::exists(file) ? 10000 : 0;
}

QString native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Contrast of a message box's main and informative text.
double messageContrast(QMessageBox* box)
{
    box->adjustSize();
    const QImage image = box->grab().toImage();
    double worst = 21.0;
    for (const char* name : {"qt_msgbox_label", "qt_msgbox_informativelabel"}) {
        auto* label = box->findChild<QLabel*>(QLatin1String(name));
        if (label && !label->text().isEmpty()) {
            worst = qMin(worst, Contrast::textContrast(image, label->geometry()));
        }
    }
    return worst;
}

} // namespace

// Opening files and folders: what the user is told when nothing can be opened, the files that
// are left out and why, the open dialog's legibility and typed paths, and folders whose names
// are not UTF-8.
class TestOpenSelection : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void messagesSayWhatWasLookedAtAndWhy_data();
    void messagesSayWhatWasLookedAtAndWhy();
    void unplayableVideosAreReported();
    void skippedFilesAreCountedAndListed();
    void nothingToOpenKeepsTheOpenCard_data();
    void nothingToOpenKeepsTheOpenCard();
    void openDialogIsLegibleAndTypedPathChooses();
    void folderNamedInAnotherEncodingOpens();

private:
    QString path(const QString& relative) const { return m_dir->filePath(relative); }
    std::unique_ptr<QTemporaryDir> m_dir;
    QTranslator m_english;
};

void TestOpenSelection::initTestCase()
{
    Fs::keepFileNameBytes();
    // The English catalog gives the plural forms, as in the program.
    QVERIFY(m_english.load(QStringLiteral(":/resources/translations/trans_en_GB.qm")));
    QCoreApplication::installTranslator(&m_english);
}

void TestOpenSelection::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestOpenSelection::messagesSayWhatWasLookedAtAndWhy_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("opened");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("informative");
    QTest::addColumn<QString>("details");

    QTest::newRow("missing path") << QStringList{} << "nowhere"
                                  << "%1/nowhere does not exist."
                                  << "Nothing was opened."
                                  << "";
    QTest::newRow("empty folder") << QStringList{"empty/"} << "empty"
                                  << "No recordings found in %1/empty."
                                  << "The folder and its subfolders hold no files."
                                  << "";
    QTest::newRow("no recordings")
        << QStringList{"stuff/readme.txt", "stuff/holiday.mp4", "stuff/Normal/notes.txt"} << "stuff"
        << "No recordings found in %1/stuff."
        << "3 files looked at, none of them a camera recording (a video named like "
           "001_0001_20240501120000.mp4)."
        << QString::fromUtf8("%1/stuff/holiday.mp4 \u2014 not named like a camera recording");
    QTest::newRow("every video left out")
        << QStringList{"card/001_0001_20240501120000.mp4", "card/EVENT/001_0002_20240501120100.mp4",
                       "card/009_0001_20241301120000.mp4", "card/009_0001_20241301120000.nmea"}
        << "card"
        << "No recordings could be opened from %1/card."
        << "3 camera videos found. 3 files skipped: 2 without a matching NMEA file, 1 without a valid "
           "start time in the name."
        << QString::fromUtf8("%1/card/001_0001_20240501120000.mp4 \u2014 without a matching NMEA file");
}

void TestOpenSelection::messagesSayWhatWasLookedAtAndWhy()
{
    QFETCH(QStringList, files);
    QFETCH(QString, opened);
    QFETCH(QString, text);
    QFETCH(QString, informative);
    QFETCH(QString, details);
    for (const QString& file : files) {
        if (file.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(path(file)));
        else
            touch(path(file));
    }
    const QString root = native(m_dir->path());

    PlaylistWgt view;
    view.resize(400, 300);
    view.show();
    view.setDurationProbe(existingFileProbe);
    view.openPaths({path(opened)});

    QMessageBox* box = view.message();
    QVERIFY(box);
    QCOMPARE(box->text(), text.arg(root));
    QCOMPARE(box->informativeText(), informative);
    if (!details.isEmpty())
        QVERIFY(box->detailedText().contains(details.arg(root)));
    QCOMPARE(box->windowTitle(), QStringLiteral("Tarrow"));
    QVERIFY(!view.isWorking());
    // The words are there, and readable.
    QVERIFY(QTest::qWaitForWindowExposed(box));
    const double contrast = messageContrast(box);
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
    box->close();
}

void TestOpenSelection::unplayableVideosAreReported()
{
    for (const char* file : {"card/001_0001_20240501120000.mp4", "card/001_0001_20240501120000.nmea",
                             "card/001_0002_20240501120100.mp4", "card/001_0002_20240501120100.nmea"})
        touch(path(QString::fromLatin1(file)));
    PlaylistWgt view;
    view.setDurationProbe([](const QString&, QString&) { return qint64(0); });
    view.openPaths({path("card")});
    QTRY_VERIFY_WITH_TIMEOUT(view.message(), 10000);
    QCOMPARE(view.message()->text(),
             QStringLiteral("None of the 2 videos from %1 could be played.").arg(native(path("card"))));
    QVERIFY(view.emptyPrompt()->isVisibleTo(&view));
}

void TestOpenSelection::skippedFilesAreCountedAndListed()
{
    for (const char* file :
         {"card/001_0001_20240501120000.mp4", "card/001_0001_20240501120000.nmea",
          "card/001_0002_20240501120100.mp4", "card/EVENT/001_0003_20240501120200.mp4", "card/readme.txt"})
        touch(path(QString::fromLatin1(file)));

    PlaylistWgt view;
    view.resize(420, 320);
    view.show();
    view.setDurationProbe(existingFileProbe);
    view.openPaths({path("card")});
    QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 10000);
    QCOMPARE(view.model()->rowCount(), 1);
    QVERIFY(!view.emptyPrompt()->isVisibleTo(&view));
    // Some files opened: no message, but the list says what was left out.
    QVERIFY(!view.message());
    QVERIFY(view.skippedBar()->isVisibleTo(&view));
    QVERIFY(view.skippedBar()->text().contains(
        QStringLiteral("2 files skipped: 2 without a matching NMEA file")));

    // The preparation reports its own reasons in one call; a report of a replaced request is dropped.
    const QString broken = native(path("card/001_0004_20240501120300.mp4"));
    view.on_PlaylistSkipped(view.requestId() + 12345, {{broken, QStringLiteral("stale")}});
    view.addSkippedFiles({{broken, QStringLiteral("not a playable video")}});
    QCOMPARE(view.skippedFiles().summary(),
             QStringLiteral("3 files skipped: 2 without a matching NMEA file, 1 not a playable video"));
    QVERIFY(view.skippedBar()->text().contains(view.skippedFiles().summary()));

    // One click away: every file with its folder and reason.
    QTest::mouseClick(view.skippedBar(), Qt::LeftButton);
    SkippedFilesDialog* dialog = nullptr;
    const auto findDialog = []() -> SkippedFilesDialog* {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<SkippedFilesDialog*>(window))
                return found;
        }
        return nullptr;
    };
    QTRY_VERIFY((dialog = findDialog()) && dialog->isVisible());
    QTreeWidget* list = dialog->list();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("001_0002_20240501120100.mp4"));
    QCOMPARE(list->topLevelItem(0)->text(1), native(path("card")));
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("without a matching NMEA file"));
    QCOMPARE(list->topLevelItem(2)->text(2), QStringLiteral("not a playable video"));
    QPointer<SkippedFilesDialog> open(dialog);
    QTest::keyClick(list, Qt::Key_Escape);
    QTRY_VERIFY(!open || !open->isVisible());

    // The bar is on the panel's black, readable.
    const double contrast = Contrast::widgetTextContrast(view.skippedBar(), view.skippedBar()->rect());
    QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
}

void TestOpenSelection::nothingToOpenKeepsTheOpenCard_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("details");
    QTest::newRow("empty folder") << QStringList{"other/"} << "";
    QTest::newRow("no recordings") << QStringList{"other/holiday.mp4"}
                                   << QString::fromUtf8("%1 \u2014 not named like a camera recording");
}

// A folder with nothing to open only says so: the open card keeps its list and its skipped
// files, and the message lists the new folder's misnamed files, not the card's.
void TestOpenSelection::nothingToOpenKeepsTheOpenCard()
{
    QFETCH(QStringList, files);
    QFETCH(QString, details);
    for (const char* file : {"card/001_0001_20240501120000.mp4", "card/001_0001_20240501120000.nmea",
                             "card/001_0002_20240501120100.mp4"})
        touch(path(QString::fromLatin1(file)));
    for (const QString& file : files) {
        if (file.endsWith(QLatin1Char('/')))
            QVERIFY(QDir().mkpath(path(file)));
        else
            touch(path(file));
    }

    PlaylistWgt view;
    view.resize(420, 320);
    view.show();
    view.setDurationProbe(existingFileProbe);
    view.openPaths({path("card")});
    QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 10000);
    QCOMPARE(view.model()->rowCount(), 1);
    const QString bar = view.skippedBar()->text();
    QVERIFY(bar.contains(QStringLiteral("1 file skipped: 1 without a matching NMEA file")));

    view.openPaths({path("other")});
    QMessageBox* box = view.message();
    QVERIFY(box);
    QCOMPARE(box->text(), QStringLiteral("No recordings found in %1.").arg(native(path("other"))));
    QCOMPARE(box->detailedText().isEmpty(), details.isEmpty());
    if (!details.isEmpty())
        QCOMPARE(box->detailedText(), details.arg(native(path(files.first()))));
    box->close();
    QVERIFY(!view.isWorking());
    QCOMPARE(view.model()->rowCount(), 1);
    QCOMPARE(view.skippedFiles().count(), 1);
    QVERIFY(view.skippedBar()->isVisibleTo(&view));
    QCOMPARE(view.skippedBar()->text(), bar);
}

void TestOpenSelection::openDialogIsLegibleAndTypedPathChooses()
{
    for (const char* file :
         {"card/Normal/001_0001_20240501120000.mp4", "card/Normal/001_0001_20240501120000.nmea",
          "card/EVENT/001_0001_20240501120005.mp4", "card/EVENT/001_0001_20240501120005.nmea",
          "card/readme.txt", "elsewhere/readme.txt"})
        touch(path(QString::fromLatin1(file)));

    PlaylistWgt view;
    view.resize(420, 320);
    view.show();
    view.setDurationProbe(existingFileProbe);
    QSignalSpy announced(&view, &PlaylistWgt::setFilesSelected);

    QStringList illegible;
    bool typed = false;
    QTimer::singleShot(0, [&]() {
        auto* dialog = qobject_cast<MyFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto* model = dialog->findChild<QFileSystemModel*>(QStringLiteral("qt_filesystem_model"));
        auto* list = dialog->findChild<QListView*>(QStringLiteral("listView"));
        auto* sidebar = dialog->findChild<QListView*>(QStringLiteral("sidebar"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString start = path("card");
        QTRY_VERIFY(model->rowCount(model->index(start)) == 2);
        list->selectionModel()->select(model->index(path("card/EVENT")), QItemSelectionModel::ClearAndSelect);
        name->setText(QStringLiteral("typed text"));
        QTest::qWait(100);

        const QImage image = dialog->grab().toImage();
        const auto check = [&](const QString& what, const QRect& area) {
            const double contrast = Contrast::textContrast(image, area);
            if (contrast < 4.5)
                illegible << QStringLiteral("%1 %2").arg(what).arg(contrast, 0, 'f', 2);
        };
        const auto inDialog = [dialog](const QWidget* w, const QRect& r) {
            return QRect(w->mapTo(dialog, r.topLeft()), r.size());
        };
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            if (label->isVisible() && !label->text().isEmpty())
                check(label->text(), inDialog(label, label->rect()));
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->isVisible() && !button->text().isEmpty())
                check(button->text(), inDialog(button, button->rect().adjusted(4, 4, -4, -4)));
        }
        for (QComboBox* combo : dialog->findChildren<QComboBox*>()) {
            if (combo->isVisible())
                check(combo->objectName(), inDialog(combo, combo->rect().adjusted(4, 3, -24, -3)));
        }
        check(QStringLiteral("name box"), inDialog(name, name->rect().adjusted(3, 3, -3, -3)));
        for (QListView* view : {list, sidebar}) {
            const QModelIndex root = view->rootIndex();
            for (int row = 0; row < view->model()->rowCount(root); ++row) {
                const QModelIndex index = view->model()->index(row, 0, root);
                check(index.data().toString(),
                      inDialog(view->viewport(), Contrast::itemTextRect(view, index)));
            }
        }

        name->clear();
        QTest::keyClicks(name, start);
        typed = true;
        QTest::keyClick(name, Qt::Key_Return);
    });
    // Whatever happens above, the dialog does not stay open.
    QTimer::singleShot(20000, []() {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    view.on_openFileButtonClicked(path("card"));

    QVERIFY(typed);
    QVERIFY2(illegible.isEmpty(), qPrintable(illegible.join(QStringLiteral("; "))));
    // Enter on the typed folder did what Choose does: the card with its subfolders.
    QCOMPARE(announced.count(), 1);
    QCOMPARE(*announced.at(0).at(0).value<std::shared_ptr<QStringList>>(),
             (QStringList{native(path("card/EVENT/001_0001_20240501120005.nmea")),
                          native(path("card/Normal/001_0001_20240501120000.nmea"))}));
}

void TestOpenSelection::folderNamedInAnotherEncodingOpens()
{
    // A card folder named in Latin-1: its name is not valid UTF-8.
    const QByteArray folder = QFile::encodeName(m_dir->path()) + "/Fahrten M\xfc"
                                                                 "nchen";
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    for (const char* name : {"/001_0001_20240501120000.mp4", "/001_0001_20240501120000.nmea",
                             "/001_0002_20240501120010.mp4", "/001_0002_20240501120010.nmea"}) {
        const int fd = ::open((folder + name).constData(), O_CREAT | O_WRONLY, 0600);
        QVERIFY(fd >= 0);
        ::close(fd);
    }
    const QString card = QFile::decodeName(folder);

    PlaylistWgt view;
    QSignalSpy announced(&view, &PlaylistWgt::setFilesSelected);
    QStringList probed;
    view.setDurationProbe([&probed](const QString& file, QString& error) {
        probed << file;
        return existingFileProbe(file, error);
    });
    // Chosen as the folder itself, and through the folder that holds it.
    for (const QString& chosen : {card, m_dir->path()}) {
        announced.clear();
        probed.clear();
        view.openPaths({chosen});
        QTRY_VERIFY_WITH_TIMEOUT(!view.isWorking(), 10000);
        QVERIFY(!view.message());
        QCOMPARE(view.model()->rowCount(), 1);
        QCOMPARE(view.model()->item(0)->rowCount(), 2);
        // The position files and the videos handed on are found under those names.
        const QStringList nmea = *announced.at(0).at(0).value<std::shared_ptr<QStringList>>();
        QCOMPARE(nmea.size(), 2);
        QCOMPARE(probed.size(), 2);
        for (const QString& file : nmea + probed) {
            QVERIFY2(QFile::exists(file), qPrintable(file));
            QVERIFY(QFile::encodeName(file).startsWith(folder));
        }
    }
}

QTEST_MAIN(TestOpenSelection)
#include "tst_openselection.moc"
