#include "../sessionfixture.h"
#include "aboutdialog.h"
#include "compass.h"
#include "controlpanelwgt.h"
#include "dataprocessor.h"
#include "drivedata.h"
#include "graph.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "mapwidget.h"
#include "playlistwgt.h"
#include "tripsummary.h"
#include "vlcqtvideowidget.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QDirIterator>
#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

namespace {

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& local, Qt::MouseButtons buttons = Qt::LeftButton)
{
    QMouseEvent event(type, local, w->geometry().topLeft() + local, Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

// Moves the mouse to a screen position while the left button is held.
void dragTo(QWidget* w, const QPoint& global)
{
    QMouseEvent event(QEvent::MouseMove, global - w->geometry().topLeft(), global, Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

QString storedLanguage()
{
    return QSettings(ZelSettings::getWritablePath(), QSettings::IniFormat)
        .value(ZelSettings::LocaleLanguage)
        .toString();
}

QAction* menuAction(LangSelectionButton* button, const QString& text)
{
    for (QAction* action : button->languageMenu()->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// Counts and swallows the deferred slot calls the event loop would deliver, and notes their
// receivers.
class DeferredCalls : public QObject
{
public:
    int count = 0;
    QSet<QObject*> receivers;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::MetaCall)
            return false;
        ++count;
        receivers.insert(receiver);
        return true;
    }
};

// QObject::receivers() is for subclasses; this reaches it from outside.
struct Receivers : QObject
{
    using QObject::receivers;
};

} // namespace

// The frameless main window: its states, dragging, the title-bar buttons, how its panels are
// connected, and its languages.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QFile::remove(ZelSettings::getWritablePath()); }

    void init()
    {
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        // As small as the window may be, away from the screen's corner, so it differs from the
        // maximised geometry.
        m_normal = QRect(QPoint(20, 10), m_window->minimumSize() + QSize(10, 6));
        QVERIFY(m_normal.bottom() < m_window->getAvailableGeometry().bottom());
        m_window->setGeometry(m_normal);
        QCOMPARE(m_window->currentState(), MainWindow::Normal);
    }

    void cleanup() { m_window.reset(); }

    void everyNamedResourceIsCompiledIn()
    {
        // Every resource the sources and style sheets name must be compiled in and usable.
        const QRegularExpression named(QStringLiteral(":/?resources/[\\w./-]+\\.(png|svg|qss|ttf|html|txt)"));
        QStringList names;
        const QString source = qEnvironmentVariable("TARROW_SOURCE_DIR");
        for (const char* folder : {"app", "common", "player", "playlist", "map", "drivedata", "resources"}) {
            QDirIterator files(source + '/' + folder, {"*.cpp", "*.h", "*.ui", "*.qss"}, QDir::Files,
                               QDirIterator::Subdirectories);
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QRegularExpressionMatchIterator matches =
                    named.globalMatch(QString::fromUtf8(file.readAll()));
                while (matches.hasNext())
                    names << matches.next().captured();
            }
        }
        names.removeDuplicates();
        QStringList families;
        QVERIFY2(names.size() > 40, qPrintable(QString::number(names.size())));
        for (const QString& name : qAsConst(names)) {
            QFile file(name);
            QVERIFY2(file.open(QIODevice::ReadOnly) && file.size() > 0, qPrintable(name));
            if (name.endsWith(".png"))
                QVERIFY2(!QImage(name).isNull(), qPrintable(name));
            else if (name.endsWith(".svg"))
                QVERIFY2(QSvgRenderer(name).isValid(), qPrintable(name));
            else if (name.endsWith(".ttf"))
                families << QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(name));
        }
        // The application font is the one compiled in.
        QVERIFY2(families.contains(QApplication::font().family()), qPrintable(QApplication::font().family()));
    }

    // Panels talk through the event loop: every connection from a panel's signal is queued, so no
    // slot runs inside the code that emitted, and every type a signal carries is registered.
    void panelsTalkThroughTheEventLoop()
    {
        Ui_MainWindow* ui = m_window->form();
        const auto receivers = &Receivers::receivers;
        DeferredCalls calls;
        QCoreApplication::instance()->installEventFilter(&calls);
        for (QObject* panel :
             std::initializer_list<QObject*>{m_window.get(), ui->videoWidget, ui->ctrlPanel, ui->dataFrame,
                                             ui->driveData, ui->compass, ui->gpsWidget, ui->fileWidget}) {
            const QMetaObject* meta = panel->metaObject();
            for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
                const QMetaMethod signal = meta->method(i);
                const QByteArray name = QByteArray(meta->className()) + "::" + signal.name();
                // Direct connections by design: to the open button, the window telling the panel its
                // full-screen state while it changes it, the list's prompt opening the dialog as the
                // open button does, and the window measuring its minimum size as the list widens.
                // The map's own reports of its trip serve callers that use the map alone; in the
                // window the session tells everybody.
                if (signal.methodType() != QMetaMethod::Signal || name == "PlaylistWgt::openButtonEnabled" ||
                    name == "MapWidget::nmeaReady" || name == "MapWidget::parsing_finished" ||
                    name == "MainWindow::fullScreenModeChanged" || name == "PlaylistWgt::openRequested" ||
                    name == "PlaylistWgt::minimumListWidthChanged")
                    continue;
                const int expected = (panel->*receivers)("2" + signal.methodSignature());
                std::vector<std::pair<int, void*>> values;
                QGenericArgument args[3];
                for (int p = 0; p < signal.parameterCount(); ++p) {
                    QVERIFY2(signal.parameterType(p) != QMetaType::UnknownType, name);
                    values.emplace_back(signal.parameterType(p), QMetaType::create(signal.parameterType(p)));
                    args[p] = QGenericArgument(signal.parameterTypes().at(p), values.back().second);
                }
                QCoreApplication::sendPostedEvents();
                calls.count = 0;
                calls.receivers.clear();
                QVERIFY(signal.invoke(panel, Qt::DirectConnection, args[0], args[1], args[2]));
                for (const auto& [type, value] : values)
                    QMetaType::destroy(type, value);
                QCoreApplication::sendPostedEvents();
                QVERIFY2(calls.count == expected,
                         name + ": " + QByteArray::number(calls.count) + " deferred calls");
                // Every panel's news reaches somebody; only the video's file changes and its
                // state machine's steps (for observers such as tests) are for nobody, and its
                // targets reach the other channels of a trip that has them.
                QVERIFY2(expected > 0 || name == "VlcQtVideoWidget::onCurrentVideoChange" ||
                             name == "VlcQtVideoWidget::playStateChanged" ||
                             name == "VlcQtVideoWidget::targetChanged",
                         name + " reaches nobody");
                // A seek from the slider, the graph or the map reaches the player alone.
                if (name == "ControlPanelWgt::setPosition" || name == "Graph::seekRequested" ||
                    name == "MapWidget::positionSelected")
                    QVERIFY2(calls.receivers == QSet<QObject*>{ui->videoWidget}, name);
            }
        }
        QCoreApplication::instance()->removeEventFilter(&calls);
    }

    void statesAndEscape()
    {
        MainWindow& w = *m_window;
        Ui_MainWindow* ui = w.form();
        QSignalSpy fullScreenChanged(&w, &MainWindow::fullScreenModeChanged);
        QCOMPARE(w.windowTitle(), QStringLiteral("Halvard Tarrow"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        // At its smallest it asks for no more than the screen offers.
        QVERIFY(w.minimumWidth() <= w.getAvailableGeometry().width() &&
                w.minimumHeight() <= w.getAvailableGeometry().height());
        QCOMPARE(ui->openFileButton->toolTip(), QStringLiteral("Open (Ctrl+O)"));

        ui->maximizeButton->click();
        QCOMPARE(w.currentState(), MainWindow::Maximized);
        QCOMPARE(w.geometry(), w.getAvailableGeometry());
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Restore down"));

        w.onToggleFullScreenMode();
        QVERIFY(w.isWindowFullScreen());
        QCOMPARE(w.geometry(), w.getScreenGeometry());
        QCOMPARE(fullScreenChanged.count(), 1);
        for (QWidget* hidden :
             std::initializer_list<QWidget*>{ui->closeButton, ui->dataFrame, ui->gpsWidget, ui->compass})
            QVERIFY(!hidden->isVisible());
        QVERIFY(ui->videoWidget->isVisible() && ui->ctrlPanel->isVisible());

        // Escape steps back: full screen to maximised, maximised to normal, normal stays.
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.currentState(), MainWindow::Maximized);
        QCOMPARE(w.geometry(), w.getAvailableGeometry());
        QCOMPARE(fullScreenChanged.count(), 2);
        QVERIFY(ui->closeButton->isVisible() && ui->gpsWidget->isVisible());
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.currentState(), MainWindow::Normal);
        QCOMPARE(w.geometry(), m_normal);
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Maximize"));
        QTest::keyClick(&w, Qt::Key_Escape);
        QCOMPARE(w.currentState(), MainWindow::Normal);
        QCOMPARE(w.geometry(), m_normal);

        // Minimised by the system and restored by it returns to the state before.
        ui->maximizeButton->click();
        w.setWindowState(Qt::WindowMinimized);
        QCOMPARE(w.currentState(), MainWindow::Minimized);
        QCOMPARE(w.previousState(), MainWindow::Maximized);
        w.setWindowState(Qt::WindowNoState);
        QCOMPARE(w.currentState(), MainWindow::Maximized);
        QCOMPARE(w.geometry(), w.getAvailableGeometry());
        QTest::keyClick(&w, Qt::Key_Escape);
        ui->minimizeButton->click();
        QVERIFY(w.windowState() & Qt::WindowMinimized);
        w.setWindowState(Qt::WindowNoState);
        QCOMPARE(w.currentState(), MainWindow::Normal);
        QCOMPARE(w.geometry(), m_normal);
    }

    void edgeDragging()
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
        dragTo(&w, before.topLeft() + right - QPoint(before.width(), 0));
        QCOMPARE(w.geometry(), before);
        dragTo(&w, before.topLeft() + right + QPoint(50, 0));
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

    void moveByDraggingOnlyWhenNormal()
    {
        MainWindow& w = *m_window;
        const QPoint press(300, 200);
        sendMouse(&w, QEvent::MouseButtonPress, press);
        QCOMPARE(w.cursor().shape(), Qt::SizeAllCursor);
        dragTo(&w, m_normal.topLeft() + press + QPoint(25, 10));
        QCOMPARE(w.geometry(), m_normal.translated(25, 10));
        sendMouse(&w, QEvent::MouseButtonRelease, press, Qt::NoButton);

        // The moved position is the one a later restore returns to; maximised, neither an edge
        // nor the middle drags.
        w.form()->maximizeButton->click();
        const QRect maximized = w.geometry();
        for (const QPoint& at : {QPoint(300, 5), QPoint(300, 200)}) {
            sendMouse(&w, QEvent::MouseButtonPress, at);
            dragTo(&w, maximized.topLeft() + at + QPoint(40, 40));
            sendMouse(&w, QEvent::MouseButtonRelease, at, Qt::NoButton);
            QCOMPARE(w.geometry(), maximized);
        }
        w.form()->maximizeButton->click();
        QCOMPARE(w.geometry(), m_normal.translated(25, 10));
    }

    void openButtonDirectory()
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

    void aboutDialogPages()
    {
        AboutDialog* about = m_window->aboutDialog();
        m_window->form()->infoButton->click();
        QVERIFY(about->isVisible() && about->isModal());
        QCOMPARE(about->currentPage(), int(AboutDialog::LegalNoticePage));
        QVERIFY(!about->pageBrowser(AboutDialog::LegalNoticePage)->toPlainText().isEmpty());
        // Pages switch, and the dialog closes, when the button goes down.
        QTest::mousePress(about->pageButton(AboutDialog::PrivacyPage), Qt::LeftButton);
        QTRY_COMPARE(about->currentPage(), int(AboutDialog::PrivacyPage));
        QTest::mousePress(about->closeButton(), Qt::LeftButton);
        QTRY_VERIFY(!about->isVisible());

        // Opening again starts on the legal notice.
        m_window->form()->infoButton->click();
        QCOMPARE(about->currentPage(), int(AboutDialog::LegalNoticePage));
        about->close();
    }

    // The languages: one window switching in steps that build on each other (the last slot, so
    // the other slots see English).
    void languages()
    {
        Ui_MainWindow* ui = m_window->form();
        QStringList names;
        for (QAction* action : ui->langButton->languageMenu()->actions())
            names << action->text();
        QCOMPARE(names, QStringList({"Deutsch", "English", QString::fromUtf8("Русский")}));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("en_GB"));
        QCOMPARE(storedLanguage(), QStringLiteral("en_GB"));
        QCOMPARE(ui->closeButton->toolTip(), QStringLiteral("Close (Ctrl+Q)"));

        // Choosing German translates at once.
        menuAction(ui->langButton, QStringLiteral("Deutsch"))->trigger();

        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        QCOMPARE(storedLanguage(), QStringLiteral("de_DE"));
        // Qt posts the language change to every window: the texts change on the next turn of
        // the event loop.
        QTRY_COMPARE(ui->openFileButton->toolTip(), QString::fromUtf8("Öffnen (Strg+O)"));
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Maximieren"));
        ui->maximizeButton->click();
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Verkleinern"));
        ui->maximizeButton->click();
        QString question;
        Session::whenShown<QMessageBox>(
            [&question](QMessageBox* box) {
                question = box->text();
                for (QAbstractButton* button : box->buttons()) {
                    if (button->text() == QStringLiteral("Nein"))
                        button->click();
                }
            },
            0);
        ui->closeButton->click();
        QCOMPARE(question, QString::fromUtf8("Wollen Sie die Anwendung schließen?"));
        QVERIFY(m_window->isVisible());
        // Qt's own catalog is installed too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

        // A new window, as at the next start, comes up in German.
        MainWindow second;
        QCOMPARE(second.form()->openFileButton->toolTip(), QString::fromUtf8("Öffnen (Strg+O)"));
        QCOMPARE(second.form()->langButton->getLanguage(), QStringLiteral("de_DE"));

        // Choosing the current language again writes nothing.
        QVERIFY(QFile::remove(ZelSettings::getWritablePath()));
        menuAction(ui->langButton, QStringLiteral("Deutsch"))->trigger();
        QVERIFY(!QFile::exists(ZelSettings::getWritablePath()));

        // An unknown locale keeps the stored language, also when the system's locale changes.
        LangSelectionButton* button = ui->langButton;
        ZelSettings::setValue(ZelSettings::LocaleLanguage, QStringLiteral("de_DE"));
        button->loadLanguage(QStringLiteral("fr_FR"));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        QCOMPARE(ui->closeButton->toolTip(), QString::fromUtf8("Schließen (Strg+Q)"));
        QEvent change(QEvent::LocaleChange);
        QApplication::sendEvent(m_window.get(), &change);
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        QCOMPARE(storedLanguage(), QStringLiteral("de_DE"));

        // "ru_UA" has no catalog and its base "ru" is not a compiled-in name either: the stored
        // setting stays. A full name switches, Qt's own texts included.
        button->loadLanguage(QStringLiteral("ru_UA"));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        button->loadLanguage(QStringLiteral("ru_RU"));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("ru_RU"));
        QTRY_COMPARE(ui->closeButton->toolTip(), QString::fromUtf8("Закрыть (Ctrl+Q)"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
        QCOMPARE(storedLanguage(), QStringLiteral("ru_RU"));

        // The legal texts follow the language: Russian and German have their own.
        QCOMPARE(getTextFileForCurrentLanguge(QStringLiteral(":/x/EULA"), QStringLiteral(".html")),
                 QStringLiteral(":/x/EULA_ru.html"));
        AboutDialog* about = m_window->aboutDialog();
        const QString russian = about->pageBrowser(AboutDialog::PrivacyPage)->toHtml();
        QTRY_COMPARE(about->pageButton(AboutDialog::PrivacyPage)->text(),
                     QString::fromUtf8("Защита\nданных"));
        QCOMPARE(about->pageBrowser(AboutDialog::LicensesPage)->toPlainText().left(26),
                 QString::fromUtf8("Это приложение использует "));

        ui->langButton->loadLanguage(QStringLiteral("de_DE"));
        QCOMPARE(getTextFileForCurrentLanguge(QStringLiteral(":/x/EULA"), QStringLiteral(".html")),
                 QStringLiteral(":/x/EULA_de.html"));
        QTRY_COMPARE(about->pageButton(AboutDialog::PrivacyPage)->text(), QStringLiteral("Datenschutz"));
        QVERIFY(about->pageBrowser(AboutDialog::PrivacyPage)->toHtml() != russian);

        ui->langButton->loadLanguage(QStringLiteral("en_GB"));
        QTRY_COMPARE(ui->closeButton->toolTip(), QStringLiteral("Close (Ctrl+Q)"));
    }

    void cleanupTestCase() { QFile::remove(ZelSettings::getWritablePath()); }

private:
    std::unique_ptr<MainWindow> m_window;
    QRect m_normal;
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
