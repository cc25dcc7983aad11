#include "aboutdialog.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "graph.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "playlistwgt.h"
#include "tripsummary.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButtons buttons = Qt::LeftButton)
{
    const QPoint global = w->geometry().topLeft() + local;
    QMouseEvent event(type, local, global, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Moves the mouse to a screen position while the left button is held.
void dragTo(QWidget* w, const QPoint& global)
{
    const QPoint local = global - w->geometry().topLeft();
    QMouseEvent event(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

void pressEscape(QWidget* w)
{
    QTest::keyClick(w, Qt::Key_Escape);
}

// Answers the next modal message box with the button whose text is `answer`; stores the
// box's text in `text`.
void answerNextMessageBox(const QString& answer, QString* text)
{
    QTimer::singleShot(50, [answer, text]() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            answerNextMessageBox(answer, text);
            return;
        }
        *text = box->text();
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == answer) {
                button->click();
                return;
            }
        }
    });
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void layoutAndForm();
    void maximizeFullScreenEscape();
    void normalFullScreenEscape();
    void minimizeAndRestore();
    void edgeDragging();
    void noDragWhenMaximized();
    void moveByDragging();
    void openButtonDirectory();
    void closeConfirmation();
    void aboutDialogPages();

private:
    std::unique_ptr<MainWindow> m_window;
    // Set up in init(): as small as the window may be, away from the screen's corner, so it
    // differs from the maximised geometry of the test screen.
    QRect m_normal;
};

void TestMainWindow::initTestCase()
{
    QFile::remove(ZelSettings::getWritablePath());
}

void TestMainWindow::init()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_normal = QRect(QPoint(20, 10), m_window->minimumSize() + QSize(10, 6));
    QVERIFY(m_normal.bottom() < m_window->getAvailableGeometry().bottom());
    m_window->setGeometry(m_normal);
    QCOMPARE(m_window->currentState(), MainWindow::Normal);
}

void TestMainWindow::cleanup()
{
    m_window.reset();
}

void TestMainWindow::layoutAndForm()
{
    MainWindow& w = *m_window;
    Ui_MainWindow* ui = w.form();
    QCOMPARE(w.windowTitle(), QStringLiteral("Halvard Tarrow"));
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.maximumSize(), QSize(3000, 1875));
    // At least what the panels show in full (checked with pixels elsewhere), never more than
    // the screen offers.
    QVERIFY(w.minimumWidth() >= qMax(ui->ctrlPanel->minimumWidth() + 120, 320) + 150 + 60 ||
            w.minimumWidth() == w.getAvailableGeometry().width());
    QVERIFY(w.minimumWidth() <= w.getAvailableGeometry().width());
    QVERIFY(w.minimumHeight() <= w.getAvailableGeometry().height());
    for (const char* name :
         {"videoWidget", "ctrlPanel", "dataFrame", "driveData", "compass", "gpsWidget", "fileWidget"}) {
        QVERIFY2(w.findChild<QWidget*>(QString::fromLatin1(name)), name);
    }
    QCOMPARE(ui->videoWidget->minimumSize(), QSize(320, 180));
    QVERIFY(ui->fileWidget->minimumWidth() >= 150);
    QCOMPARE(ui->fileWidget->minimumHeight(), 200);
    auto* splitter = qobject_cast<QSplitter*>(ui->gpsWidget->parentWidget());
    QVERIFY(splitter);
    QCOMPARE(splitter->orientation(), Qt::Vertical);
    QCOMPARE(splitter->handleWidth(), 5);
    QVERIFY(!splitter->childrenCollapsible());
    QCOMPARE(ui->closeButton->size(), QSize(24, 24));
    QCOMPARE(ui->openFileButton->size(), QSize(40, 24));
    QCOMPARE(ui->openFileButton->toolTip(), QStringLiteral("Open (Ctrl+O)"));
    QCOMPARE(ui->openFileButton->toolTipDuration(), 5000);
    QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Maximize"));
}

void TestMainWindow::maximizeFullScreenEscape()
{
    MainWindow& w = *m_window;
    Ui_MainWindow* ui = w.form();
    QSignalSpy fullScreenChanged(&w, &MainWindow::fullScreenModeChanged);

    ui->maximizeButton->click();
    QCOMPARE(w.currentState(), MainWindow::Maximized);
    QCOMPARE(w.geometry(), w.getAvailableGeometry());
    QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Restore down"));

    w.onToggleFullScreenMode();
    QCOMPARE(w.currentState(), MainWindow::FullScreen);
    QVERIFY(w.isWindowFullScreen());
    QCOMPARE(w.geometry(), w.getScreenGeometry());
    QCOMPARE(fullScreenChanged.count(), 1);
    for (QWidget* hidden :
         std::initializer_list<QWidget*>{ui->closeButton, ui->dataFrame, ui->gpsWidget, ui->compass}) {
        QVERIFY(!hidden->isVisible());
    }
    QVERIFY(ui->videoWidget->isVisible());
    QVERIFY(ui->ctrlPanel->isVisible());

    pressEscape(&w);
    QCOMPARE(w.currentState(), MainWindow::Maximized);
    QCOMPARE(w.geometry(), w.getAvailableGeometry());
    QCOMPARE(fullScreenChanged.count(), 2);
    QVERIFY(ui->closeButton->isVisible());
    QVERIFY(ui->gpsWidget->isVisible());

    // Escape from maximised restores the normal geometry.
    pressEscape(&w);
    QCOMPARE(w.currentState(), MainWindow::Normal);
    QCOMPARE(w.geometry(), m_normal);
    QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Maximize"));

    // Escape in the normal state does nothing.
    pressEscape(&w);
    QCOMPARE(w.currentState(), MainWindow::Normal);
    QCOMPARE(w.geometry(), m_normal);
}

void TestMainWindow::normalFullScreenEscape()
{
    MainWindow& w = *m_window;
    w.onToggleFullScreenMode();
    QCOMPARE(w.currentState(), MainWindow::FullScreen);
    QCOMPARE(w.geometry(), w.getScreenGeometry());
    pressEscape(&w);
    QCOMPARE(w.currentState(), MainWindow::Normal);
    QCOMPARE(w.previousState(), MainWindow::FullScreen);
    QCOMPARE(w.geometry(), m_normal);

    // The control panel's toggle works the same way twice in a row.
    w.onToggleFullScreenMode();
    w.onToggleFullScreenMode();
    QCOMPARE(w.currentState(), MainWindow::Normal);
    QCOMPARE(w.geometry(), m_normal);
}

void TestMainWindow::minimizeAndRestore()
{
    MainWindow& w = *m_window;
    w.form()->maximizeButton->click();
    QCOMPARE(w.currentState(), MainWindow::Maximized);

    // Minimised by the system (task bar), then restored by it.
    w.setWindowState(Qt::WindowMinimized);
    QCOMPARE(w.currentState(), MainWindow::Minimized);
    QCOMPARE(w.previousState(), MainWindow::Maximized);
    w.setWindowState(Qt::WindowNoState);
    QCOMPARE(w.currentState(), MainWindow::Maximized);
    QCOMPARE(w.geometry(), w.getAvailableGeometry());

    // Minimised from the title bar, restored by the system.
    pressEscape(&w);
    QCOMPARE(w.currentState(), MainWindow::Normal);
    w.form()->minimizeButton->click();
    QCOMPARE(w.currentState(), MainWindow::Minimized);
    QCOMPARE(w.previousState(), MainWindow::Normal);
    QVERIFY(w.windowState() & Qt::WindowMinimized);
    w.setWindowState(Qt::WindowNoState);
    QCOMPARE(w.currentState(), MainWindow::Normal);
    QCOMPARE(w.geometry(), m_normal);

    QCOMPARE(MainWindow::getWindowStateName(MainWindow::FullScreen), QStringLiteral("FullScreen"));
    QCOMPARE(MainWindow::getWindowStateName(static_cast<MainWindow::WinState>(7)), QStringLiteral("Invalid"));
}

void TestMainWindow::edgeDragging()
{
    MainWindow& w = *m_window;
    const QRect start = w.geometry();

    // Top strip: dragging upwards grows the window upwards.
    sendMouse(&w, QEvent::MouseButtonPress, QPoint(300, 5));
    QCOMPARE(w.cursor().shape(), Qt::SizeVerCursor);
    const QPoint pressGlobal = start.topLeft() + QPoint(300, 5);
    dragTo(&w, pressGlobal - QPoint(0, 20));
    QCOMPARE(w.geometry(), start.adjusted(0, -20, 0, 0));

    // A step beyond the maximum height is dropped and keeps the reference point, so the
    // next small step is measured from the last applied position.
    dragTo(&w, pressGlobal - QPoint(0, 20 + 2000));
    QCOMPARE(w.geometry(), start.adjusted(0, -20, 0, 0));
    dragTo(&w, pressGlobal - QPoint(0, 30));
    QCOMPARE(w.geometry(), start.adjusted(0, -30, 0, 0));
    sendMouse(&w, QEvent::MouseButtonRelease, QPoint(300, 5), Qt::NoButton);

    // Right strip: shrinking below the minimum width is dropped.
    const QRect before = w.geometry();
    const QPoint right(before.width() - 5, before.height() / 2);
    sendMouse(&w, QEvent::MouseButtonPress, right);
    QCOMPARE(w.cursor().shape(), Qt::SizeHorCursor);
    const QPoint rightGlobal = before.topLeft() + right;
    dragTo(&w, rightGlobal - QPoint(before.width(), 0));
    QCOMPARE(w.geometry(), before);
    dragTo(&w, rightGlobal + QPoint(50, 0));
    QCOMPARE(w.geometry(), before.adjusted(0, 0, 50, 0));
    sendMouse(&w, QEvent::MouseButtonRelease, right, Qt::NoButton);

    // Bottom strip down to exactly the minimum height is allowed.
    const QRect b = w.geometry();
    const QPoint bottom(b.width() / 2, b.height() - 3);
    sendMouse(&w, QEvent::MouseButtonPress, bottom);
    dragTo(&w, b.topLeft() + bottom - QPoint(0, b.height() - w.minimumHeight()));
    QCOMPARE(w.height(), w.minimumHeight());
    sendMouse(&w, QEvent::MouseButtonRelease, bottom, Qt::NoButton);
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindow::noDragWhenMaximized()
{
    MainWindow& w = *m_window;
    w.form()->maximizeButton->click();
    const QRect maximized = w.geometry();
    for (const QPoint& press : {QPoint(300, 5), QPoint(300, 200)}) {
        sendMouse(&w, QEvent::MouseButtonPress, press);
        dragTo(&w, maximized.topLeft() + press + QPoint(40, 40));
        sendMouse(&w, QEvent::MouseButtonRelease, press, Qt::NoButton);
        QCOMPARE(w.geometry(), maximized);
    }
    w.onToggleFullScreenMode();
    const QRect full = w.geometry();
    sendMouse(&w, QEvent::MouseButtonPress, QPoint(300, 5));
    dragTo(&w, full.topLeft() + QPoint(300, 100));
    QCOMPARE(w.geometry(), full);
}

void TestMainWindow::moveByDragging()
{
    MainWindow& w = *m_window;
    const QPoint press(300, 200);
    sendMouse(&w, QEvent::MouseButtonPress, press);
    QCOMPARE(w.cursor().shape(), Qt::SizeAllCursor);
    dragTo(&w, m_normal.topLeft() + press + QPoint(25, 10));
    QCOMPARE(w.geometry(), m_normal.translated(25, 10));
    sendMouse(&w, QEvent::MouseButtonRelease, press, Qt::NoButton);

    // The moved position is the one a later restore returns to.
    w.form()->maximizeButton->click();
    w.form()->maximizeButton->click();
    QCOMPARE(w.geometry(), m_normal.translated(25, 10));
}

void TestMainWindow::openButtonDirectory()
{
    MainWindow& w = *m_window;
    QSignalSpy spy(&w, &MainWindow::openFileDialog);
    QTemporaryDir dir;

    ZelSettings::setValue(ZelSettings::PlaylistPath, dir.path());
    w.form()->openFileButton->click();
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), dir.path());
    QCOMPARE(w.cursor().shape(), Qt::WaitCursor);
    w.on_setFileDialogFinished();
    QCOMPARE(w.cursor().shape(), Qt::ArrowCursor);

    // A folder that no longer exists falls back to the home folder.
    ZelSettings::setValue(ZelSettings::PlaylistPath, dir.path() + QStringLiteral("/gone"));
    w.form()->openFileButton->click();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toString(), QDir::homePath());
}

void TestMainWindow::closeConfirmation()
{
    MainWindow& w = *m_window;
    QString question;
    answerNextMessageBox(QStringLiteral("No"), &question);
    w.form()->closeButton->click();
    QCOMPARE(question, QStringLiteral("Do you want to close the application?"));
    QVERIFY(w.isVisible());

    answerNextMessageBox(QStringLiteral("Yes"), &question);
    w.form()->closeButton->click();
    QVERIFY(!w.isVisible());
}

void TestMainWindow::aboutDialogPages()
{
    MainWindow& w = *m_window;
    AboutDialog* about = w.aboutDialog();
    w.form()->infoButton->click();
    QVERIFY(about->isVisible());
    QVERIFY(about->windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(about->windowModality(), Qt::ApplicationModal);
    QCOMPARE(about->currentPage(), int(AboutDialog::LegalNoticePage));
    QVERIFY(!about->pageBrowser(AboutDialog::LegalNoticePage)->toPlainText().isEmpty());
    QVERIFY(about->pageBrowser(AboutDialog::LicensesPage)
                ->toPlainText()
                .startsWith(
                    QStringLiteral("This application uses the following 3rd-party opensource components")));

    // Pages switch when the button goes down.
    QTest::mousePress(about->pageButton(AboutDialog::PrivacyPage), Qt::LeftButton);
    QTRY_COMPARE(about->currentPage(), int(AboutDialog::PrivacyPage));
    QVERIFY(about->pageButton(AboutDialog::PrivacyPage)->styleSheet().contains(QStringLiteral("#00adef")));
    QVERIFY(
        !about->pageButton(AboutDialog::LegalNoticePage)->styleSheet().contains(QStringLiteral("#00adef")));
    QTest::mouseRelease(about->pageButton(AboutDialog::PrivacyPage), Qt::LeftButton);

    QTest::mousePress(about->closeButton(), Qt::LeftButton);
    QTRY_VERIFY(!about->isVisible());
    QTest::mouseRelease(about->closeButton(), Qt::LeftButton);

    // Opening again starts on the legal notice.
    w.form()->infoButton->click();
    QCOMPARE(about->currentPage(), int(AboutDialog::LegalNoticePage));
    about->close();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
