#include "aboutdialog.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "ostrellogo.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>
#include <QtTest>

namespace {

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

QString closeQuestion(MainWindow& w)
{
    QString text;
    QTimer::singleShot(50, [&text]() {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            text = box->text();
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::NoRole)
                    button->click();
            }
        }
    });
    w.form()->closeButton->click();
    return text;
}

} // namespace

// One process, one current language: the steps build on each other in order.
class TestLanguages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QFile::remove(ZelSettings::getWritablePath());
        m_window = std::make_unique<MainWindow>();
        m_window->show();
    }

    void firstStartIsEnglish()
    {
        QStringList names;
        for (QAction* action : m_window->form()->langButton->languageMenu()->actions())
            names << action->text();
        QCOMPARE(names, QStringList({"Deutsch", "English", QString::fromUtf8("Русский")}));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("en_GB"));
        QCOMPARE(storedLanguage(), QStringLiteral("en_GB"));
        QCOMPARE(m_window->form()->closeButton->toolTip(), QStringLiteral("Close"));
    }

    void choosingGermanTranslatesAtOnce()
    {
        MainWindow& w = *m_window;
        Ui_MainWindow* ui = w.form();
        QAction* german = menuAction(ui->langButton, QStringLiteral("Deutsch"));
        QVERIFY(german);
        german->trigger();

        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        QCOMPARE(storedLanguage(), QStringLiteral("de_DE"));
        // Qt posts the language change to every window: the texts change on the next turn of
        // the event loop.
        QTRY_COMPARE(ui->openFileButton->toolTip(), QString::fromUtf8("Öffnen"));
        QCOMPARE(ui->closeButton->toolTip(), QString::fromUtf8("Schließen"));
        QCOMPARE(ui->langButton->toolTip(), QString::fromUtf8("Sprache auswählen"));
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Maximieren"));
        ui->maximizeButton->click();
        QCOMPARE(ui->maximizeButton->toolTip(), QStringLiteral("Verkleinern"));
        ui->maximizeButton->click();
        QCOMPARE(closeQuestion(w), QString::fromUtf8("Wollen Sie die Anwendung schließen?"));
        QVERIFY(w.isVisible());
        // Qt's own catalog is installed too.
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
        // The logo switches to the German claim artwork (28 pixels high instead of 30).
        auto* logo = w.findChild<OstrelLogo*>();
        QVERIFY(logo);
        const QPixmap claim = logo->claim()->pixmap(Qt::ReturnByValue);
        QCOMPARE(claim.height() / claim.devicePixelRatio(), 28.0);

        // A new window, as at the next start, comes up in German.
        MainWindow second;
        QCOMPARE(second.form()->openFileButton->toolTip(), QString::fromUtf8("Öffnen"));
        QCOMPARE(second.form()->langButton->getLanguage(), QStringLiteral("de_DE"));
    }

    void choosingCurrentWritesNothing()
    {
        const QString settings = ZelSettings::getWritablePath();
        QVERIFY(QFile::remove(settings));
        menuAction(m_window->form()->langButton, QStringLiteral("Deutsch"))->trigger();
        QVERIFY(!QFile::exists(settings));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
    }

    void unknownLocalesKeepTheLanguage()
    {
        ZelSettings::setValue(ZelSettings::LocaleLanguage, QStringLiteral("de_DE"));
        LangSelectionButton* button = m_window->form()->langButton;
        button->loadLanguage(QStringLiteral("fr_FR"));
        QCOMPARE(LangSelectionButton::getLanguage(), QStringLiteral("de_DE"));
        QCOMPARE(m_window->form()->closeButton->toolTip(), QString::fromUtf8("Schließen"));

        // The window reacts to a system locale change the same way.
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
        QTRY_COMPARE(m_window->form()->closeButton->toolTip(), QString::fromUtf8("Закрыть"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8("Отмена"));
        QCOMPARE(storedLanguage(), QStringLiteral("ru_RU"));
    }

    void legalTextsFollowLanguage()
    {
        QCOMPARE(getTextFileForCurrentLanguge(QStringLiteral(":/x/EULA"), QStringLiteral(".html")),
                 QStringLiteral(":/x/EULA_ru.html"));
        AboutDialog* about = m_window->aboutDialog();
        const QString russian = about->pageBrowser(AboutDialog::PrivacyPage)->toHtml();
        QTRY_COMPARE(about->pageButton(AboutDialog::PrivacyPage)->text(),
                     QString::fromUtf8("Защита\nданных"));
        QCOMPARE(about->pageBrowser(AboutDialog::LicensesPage)->toPlainText().left(26),
                 QString::fromUtf8("Это приложение использует "));

        m_window->form()->langButton->loadLanguage(QStringLiteral("de_DE"));
        QCOMPARE(getTextFileForCurrentLanguge(QStringLiteral(":/x/EULA"), QStringLiteral(".html")),
                 QStringLiteral(":/x/EULA_en.html"));
        // German uses the English legal texts; the tab texts stay as in the source.
        QTRY_COMPARE(about->pageButton(AboutDialog::PrivacyPage)->text(), QStringLiteral("Privacy"));
        QVERIFY(about->pageBrowser(AboutDialog::PrivacyPage)->toHtml() != russian);

        m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
        QTRY_COMPARE(m_window->form()->closeButton->toolTip(), QStringLiteral("Close"));
    }

    void cleanupTestCase()
    {
        m_window.reset();
        QFile::remove(ZelSettings::getWritablePath());
    }

private:
    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestLanguages)
#include "tst_languages.moc"
