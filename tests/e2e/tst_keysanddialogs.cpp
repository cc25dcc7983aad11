#include "../contrast.h"
#include "aboutdialog.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "myfiledialog.h"
#include "playlistwgt.h"
#include "sessionfixture.h"
#include "settingsbutton.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

#include <functional>

namespace {

// What the X server shows of `widget`'s `area` (widget coordinates).
QImage onScreen(QWidget* widget)
{
    return Session::screenImage(widget);
}

double worstLabelContrast(QWidget* window)
{
    const QImage image = onScreen(window);
    double worst = 21.0;
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        const QRect area(label->mapTo(window, QPoint()), label->size());
        worst = qMin(worst, Contrast::textContrast(image, area));
    }
    return worst;
}

// Runs `action` on the modal window of type T once it is shown. Polls without blocking, so
// the action runs inside the modal window's own event loop.
template <typename T> void whenShown(std::function<void(T*)> action, int attempts = 200)
{
    QTimer::singleShot(50, [action, attempts]() {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            QTimer::singleShot(300, [action, window]() { action(window); });
        } else if (attempts > 0) {
            whenShown<T>(action, attempts - 1);
        }
    });
}

} // namespace

// The program's window on a real display, used with the keyboard: the prompt while nothing
// is open, Ctrl+O, F1, Ctrl+Q and Escape, and every dialog and message readable in each
// language. Screenshots of each are kept as artifacts.
class TestKeysAndDialogs : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void promptWhileNothingIsOpen();
    void keysOpenAndEscapeCloses_data();
    void keysOpenAndEscapeCloses();
    void cleanupTestCase();

private:
    void saveArtifact(QWidget* widget, const QString& name) const;
    Ui_MainWindow* ui() const { return m_window->form(); }

    QTemporaryDir m_tmp;
    std::unique_ptr<MainWindow> m_window;
};

void TestKeysAndDialogs::initTestCase()
{
    QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "needs an X display (run under xvfb-run)");
    QVERIFY(m_tmp.isValid());
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", m_tmp.filePath(QStringLiteral("cache")).toLocal8Bit());
    QFile::remove(ZelSettings::getWritablePath());
    QDir().mkpath(QStringLiteral(TARROW_ARTIFACTS_DIR));
    // The open dialog starts in a folder with something to show.
    QVERIFY(Session::copyTree(Session::sampleCard(), m_tmp.filePath(QStringLiteral("card"))));
    ZelSettings::setValue(ZelSettings::PlaylistPath, m_tmp.filePath(QStringLiteral("card")));

    m_window = std::make_unique<MainWindow>();
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestKeysAndDialogs::saveArtifact(QWidget* widget, const QString& name) const
{
    onScreen(widget).save(QStringLiteral(TARROW_ARTIFACTS_DIR "/") + name + QStringLiteral(".png"));
}

void TestKeysAndDialogs::promptWhileNothingIsOpen()
{
    PlaylistWgt* playlist = ui()->fileWidget;
    QVERIFY(playlist->emptyPrompt()->isVisible());
    QVERIFY(!playlist->treeView()->isVisible());
    bool namesTheKey = false;
    for (QLabel* label : playlist->emptyPrompt()->findChildren<QLabel*>())
        namesTheKey = namesTheKey || label->text().contains(QStringLiteral("Ctrl+O"));
    QVERIFY(namesTheKey);
    QTest::qWait(200);
    saveArtifact(m_window.get(), QStringLiteral("window-empty"));
    const QImage image = onScreen(playlist);
    for (QWidget* part : playlist->emptyPrompt()->findChildren<QWidget*>()) {
        const QRect area(part->mapTo(playlist, QPoint(2, 2)), part->size() - QSize(4, 4));
        const double contrast = Contrast::textContrast(image, area);
        QVERIFY2(contrast >= 4.5, qPrintable(part->objectName() + QString::number(contrast)));
    }
    // The prompt's button does what the title bar's open button does.
    QSignalSpy dialogAsked(m_window.get(), &MainWindow::openFileDialog);
    whenShown<MyFileDialog>([](MyFileDialog* dialog) { dialog->close(); });
    QTest::mouseClick(playlist->emptyPromptButton(), Qt::LeftButton);
    QTRY_COMPARE(dialogAsked.count(), 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    // The title bar's tooltips name the keys.
    QCOMPARE(ui()->infoButton->toolTip(), QStringLiteral("About (F1)"));
    QCOMPARE(ui()->closeButton->toolTip(), QStringLiteral("Close (Ctrl+Q)"));
}

void TestKeysAndDialogs::keysOpenAndEscapeCloses_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en_GB");
    QTest::newRow("German") << QStringLiteral("de_DE");
    QTest::newRow("Russian") << QStringLiteral("ru_RU");
}

void TestKeysAndDialogs::keysOpenAndEscapeCloses()
{
    QFETCH(QString, language);
    ui()->langButton->loadLanguage(language);
    QTest::qWait(50);
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));

    // Ctrl+O: the open dialog, readable (its buttons and entries are checked beside the
    // playlist); Escape closes it.
    QStringList seen;
    whenShown<MyFileDialog>([&](MyFileDialog* dialog) {
        saveArtifact(dialog, QStringLiteral("open-dialog-") + language);
        const double contrast = worstLabelContrast(dialog);
        QVERIFY2(contrast >= 4.5, qPrintable(QString::number(contrast)));
        seen << QStringLiteral("dialog");
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QTest::keyClick(m_window.get(), Qt::Key_O, Qt::ControlModifier);
    QTRY_VERIFY(seen.contains(QStringLiteral("dialog")));
    QTRY_VERIFY(!QApplication::activeModalWidget());

    // A message that names what was looked at, readable; Escape closes it.
    m_window->openPaths({m_tmp.filePath(QStringLiteral("nowhere"))});
    QMessageBox* box = ui()->fileWidget->message();
    QVERIFY(box);
    QVERIFY(box->text().contains(QDir::toNativeSeparators(m_tmp.filePath(QStringLiteral("nowhere")))));
    QVERIFY(QTest::qWaitForWindowExposed(box));
    QTest::qWait(300);
    saveArtifact(box, QStringLiteral("message-missing-") + language);
    QVERIFY2(worstLabelContrast(box) >= 4.5, qPrintable(QString::number(worstLabelContrast(box))));
    QPointer<QMessageBox> open(box);
    QTest::keyClick(box, Qt::Key_Escape);
    QTRY_VERIFY(!open);

    // F1: the about box; Escape closes it.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QTest::keyClick(m_window.get(), Qt::Key_F1);
    AboutDialog* about = m_window->aboutDialog();
    QTRY_VERIFY(about->isVisible());
    QTest::keyClick(about, Qt::Key_Escape);
    QTRY_VERIFY(!about->isVisible());

    // The settings menu, readable.
    QMenu* menu = ui()->settingsButton->settingsMenu();
    menu->popup(ui()->settingsButton->mapToGlobal(QPoint(0, ui()->settingsButton->height())));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    QTest::qWait(200);
    saveArtifact(menu, QStringLiteral("settings-menu-") + language);
    const QImage image = onScreen(menu);
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        const QRect area = menu->actionGeometry(action);
        QVERIFY2(Contrast::textContrast(image, area) >= 4.5, qPrintable(action->text()));
    }
    menu->close();

    // Ctrl+Q asks; Escape answers no.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    bool asked = false;
    whenShown<QMessageBox>([&](QMessageBox* question) {
        saveArtifact(question, QStringLiteral("close-question-") + language);
        asked = worstLabelContrast(question) >= 4.5;
        QTest::keyClick(question, Qt::Key_Escape);
    });
    QTest::keyClick(m_window.get(), Qt::Key_Q, Qt::ControlModifier);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QVERIFY(asked);
    QVERIFY(m_window->isVisible());
}

void TestKeysAndDialogs::cleanupTestCase()
{
    if (m_window)
        ui()->langButton->loadLanguage(QStringLiteral("en_GB"));
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestKeysAndDialogs)
#include "tst_keysanddialogs.moc"
