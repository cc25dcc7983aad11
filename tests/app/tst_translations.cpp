#include "aboutdialog.h"
#include "drivedata.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "ostrellogo.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "routelegend.h"
#include "settingsbutton.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QStringList translations; // one, or the plural forms
    bool finished = true;
};

QList<Message> readCatalog(const QString& language)
{
    QFile file(qEnvironmentVariable("TARROW_SOURCE_DIR") +
               QStringLiteral("/resources/translations/trans_%1.ts").arg(language));
    QList<Message> messages;
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            Message message;
            message.context = context;
            while (!(xml.isEndElement() && xml.name() == QLatin1String("message")) && !xml.atEnd()) {
                xml.readNext();
                if (!xml.isStartElement())
                    continue;
                if (xml.name() == QLatin1String("source")) {
                    message.source = xml.readElementText();
                } else if (xml.name() == QLatin1String("comment")) {
                    message.comment = xml.readElementText();
                } else if (xml.name() == QLatin1String("translation")) {
                    const QString type = xml.attributes().value(QLatin1String("type")).toString();
                    message.finished = type.isEmpty();
                    if (xml.readNext() == QXmlStreamReader::Characters && !xml.isWhitespace())
                        message.translations << xml.text().toString();
                } else if (xml.name() == QLatin1String("numerusform")) {
                    message.translations << xml.readElementText();
                }
            }
            messages << message;
        }
    }
    return messages;
}

// Visible texts of a window and its menus: labels, buttons with their tooltips, actions.
QStringList visibleTexts(QWidget* root)
{
    QStringList texts;
    for (QLabel* label : root->findChildren<QLabel*>()) {
        if (label->isVisibleTo(root))
            texts << label->text();
    }
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(root))
            texts << button->text() << button->toolTip();
    }
    for (QMenu* menu : root->findChildren<QMenu*>()) {
        for (QAction* action : menu->actions())
            texts << action->text();
    }
    texts.removeAll(QString());
    return texts;
}

// The lines of a legal text that say something in words (three words or more).
QStringList sentences(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QStringList lines;
    for (QString line : document.toPlainText().split(QRegularExpression(QStringLiteral("[\n\u2028]")))) {
        line = line.simplified();
        if (line.split(QLatin1Char(' ')).size() >= 3)
            lines << line;
    }
    return lines;
}

QString resourceText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

// German and Russian are complete: every message of the catalogs is translated, every text the
// window shows is in the chosen language, dates follow it, and so does the slogan.
class TestTranslations : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void catalogsAreComplete();
    void visibleTextsAreTranslated_data();
    void visibleTextsAreTranslated();
    void aboutPagesInTheLanguage_data();
    void aboutPagesInTheLanguage();
    void englishWording();
    void currentLanguageTicked();
    void unknownPositionReadsNoData();
    void datesFollowTheLanguage();
    void eventsNamedAlike();
    void sloganFollowsTheLanguage();
    void cleanupTestCase();

private:
    std::unique_ptr<MainWindow> m_window;
    QTemporaryDir m_tmp;
};

void TestTranslations::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    qputenv("TARROW_TILE_SERVER", "http://127.0.0.1:9/%1/%2/%3.png");
    qputenv("XDG_CACHE_HOME", m_tmp.filePath(QStringLiteral("cache")).toLocal8Bit());
    QFile::remove(ZelSettings::getWritablePath());
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestTranslations::catalogsAreComplete()
{
    const QList<Message> english = readCatalog(QStringLiteral("en_GB"));
    QVERIFY(english.size() > 50);
    const auto keys = [](const QList<Message>& messages) {
        QSet<QString> set;
        for (const Message& m : messages)
            set << m.context + QLatin1Char('|') + m.source + QLatin1Char('|') + m.comment;
        return set;
    };
    for (const auto& [language, forms] :
         {std::make_pair(QStringLiteral("de_DE"), 2), std::make_pair(QStringLiteral("ru_RU"), 3)}) {
        const QList<Message> catalog = readCatalog(language);
        QCOMPARE(keys(catalog), keys(english));
        for (const Message& m : catalog) {
            const QString where = language + QLatin1Char(' ') + m.context + QLatin1Char(' ') + m.source;
            QVERIFY2(m.finished, qPrintable(where));
            QVERIFY2(!m.translations.isEmpty(), qPrintable(where));
            if (m.source.contains(QLatin1String("%n")))
                QVERIFY2(m.translations.size() == forms, qPrintable(where));
        }
    }
}

void TestTranslations::visibleTextsAreTranslated_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << QStringLiteral("de_DE");
    QTest::newRow("Russian") << QStringLiteral("ru_RU");
}

void TestTranslations::visibleTextsAreTranslated()
{
    QFETCH(QString, language);
    // English texts that the language translates differently.
    QSet<QString> english;
    for (const Message& m : readCatalog(language)) {
        if (!m.translations.contains(m.source))
            english << m.source;
    }
    m_window->form()->langButton->loadLanguage(language);
    QTest::qWait(50);
    QStringList texts = visibleTexts(m_window.get()) + visibleTexts(m_window->aboutDialog());
    texts << m_window->windowTitle() << m_window->aboutDialog()->windowTitle();
    QStringList untranslated;
    for (const QString& text : qAsConst(texts)) {
        // Tooltips add the key: "Open (Ctrl+O)".
        const QString plain = text.section(QStringLiteral(" ("), 0, 0);
        if (english.contains(text) || english.contains(plain))
            untranslated << text;
    }
    QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QStringLiteral(" | "))));
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
}

void TestTranslations::aboutPagesInTheLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("privacyTab");
    QTest::newRow("German") << QStringLiteral("de_DE") << QStringLiteral("Datenschutz");
    QTest::newRow("Russian") << QStringLiteral("ru_RU") << QString::fromUtf8("Защита\nданных");
}

// The legal notice, the end-user licence and the privacy statement are in the chosen language:
// not one of their English sentences is left.
void TestTranslations::aboutPagesInTheLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, privacyTab);
    m_window->form()->langButton->loadLanguage(language);
    AboutDialog* about = m_window->aboutDialog();
    // The dialog has taken the language.
    QTRY_COMPARE(about->pageButton(AboutDialog::PrivacyPage)->text(), privacyTab);
    const std::pair<int, const char*> pages[] = {{AboutDialog::LegalNoticePage, "Copyright"},
                                                 {AboutDialog::EnduserLicensePage, "EULA"},
                                                 {AboutDialog::PrivacyPage, "Privacy"}};
    for (const auto& [page, file] : pages) {
        const QStringList english = sentences(
            resourceText(QStringLiteral(":/resources/licenses/%1_en.html").arg(QLatin1String(file))));
        QVERIFY2(english.size() >= 3, file);
        const QStringList shown = sentences(about->pageBrowser(page)->toHtml());
        QVERIFY2(shown.size() >= 3, file);
        for (const QString& sentence : english)
            QVERIFY2(!shown.contains(sentence), qPrintable(QStringLiteral("%1: %2").arg(file, sentence)));
    }
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
}

// English says "End-user licence", and "licence" throughout the legal pages and their tabs.
void TestTranslations::englishWording()
{
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
    AboutDialog* about = m_window->aboutDialog();
    QTRY_COMPARE(about->pageButton(AboutDialog::EnduserLicensePage)->text(),
                 QStringLiteral("End-user licence"));
    QStringList texts;
    for (int page = 0; page < 4; ++page)
        texts << about->pageButton(page)->text();
    for (int page : {AboutDialog::LegalNoticePage, AboutDialog::EnduserLicensePage, AboutDialog::PrivacyPage})
        texts << about->pageBrowser(page)->toPlainText();
    const QString all = texts.join(QLatin1Char('\n'));
    QVERIFY(all.contains(QStringLiteral("licence"), Qt::CaseInsensitive));
    QVERIFY2(!all.contains(QStringLiteral("licens"), Qt::CaseInsensitive), qPrintable(all));
}

// The language menu ticks the language in force, and only it; so does a window made later.
void TestTranslations::currentLanguageTicked()
{
    const auto ticked = [](LangSelectionButton* button) {
        QStringList languages;
        for (QAction* action : button->languageMenu()->actions()) {
            if (action->isChecked())
                languages << action->data().toString();
        }
        return languages;
    };
    LangSelectionButton* button = m_window->form()->langButton;
    for (const char* language : {"de_DE", "ru_RU", "en_GB"}) {
        button->loadLanguage(QString::fromLatin1(language));
        QCOMPARE(ticked(button), QStringList{QString::fromLatin1(language)});
    }
    button->languageMenu()->actions().at(0)->trigger();
    QCOMPARE(ticked(button), QStringList{LangSelectionButton::getLanguage()});
    LangSelectionButton another;
    QCOMPARE(ticked(&another), QStringList{LangSelectionButton::getLanguage()});
    button->loadLanguage(QStringLiteral("en_GB"));
}

// Before any record is known, the position reads as the catalog's "no data" in Russian.
void TestTranslations::unknownPositionReadsNoData()
{
    m_window->form()->langButton->loadLanguage(QStringLiteral("ru_RU"));
    DriveData panel;
    QCOMPARE(panel.latitudeText(), DriveData::noDataText());
    QCOMPARE(panel.latitudeText(), QString::fromUtf8("Нет данных"));
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
}

void TestTranslations::datesFollowTheLanguage()
{
    PlaylistWgt* playlist = m_window->form()->fileWidget;
    playlist->setDurationProbe([](const QString&, QString&) { return qint64(60000); });
    const QString card = m_tmp.filePath(QStringLiteral("card"));
    QVERIFY(QDir().mkpath(card));
    for (const char* name : {"/001_0001_20241231235900.mp4", "/001_0001_20241231235900.nmea"}) {
        QFile file(card + QLatin1String(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    m_window->openPaths({card});
    QTRY_VERIFY_WITH_TIMEOUT(playlist->model() && !playlist->isWorking(), 10000);
    // The start as the clock label shows it: the language's date order, the whole year, seconds.
    for (const auto& [language, expected] : {std::pair{"de_DE", "31.12.2024 23:59:00"},
                                             {"ru_RU", "31.12.2024 23:59:00"},
                                             {"en_GB", "31/12/2024 23:59:00"}}) {
        m_window->form()->langButton->loadLanguage(QString::fromLatin1(language));
        QCOMPARE(Units::displayLocale().name(), QString::fromLatin1(language));
        QTRY_COMPARE(playlist->model()->item(0, 1)->text(), QString::fromUtf8(expected));
    }
}

// The list's column of event recordings and the map legend's event stretch use one word.
void TestTranslations::eventsNamedAlike()
{
    PlaylistWgt* playlist = m_window->form()->fileWidget;
    QVERIFY(playlist->model());
    for (const char* language : {"en_GB", "de_DE", "ru_RU"}) {
        m_window->form()->langButton->loadLanguage(QString::fromLatin1(language));
        const QString legend = RouteLegend::label(RouteLegend::Event);
        QTRY_VERIFY2(playlist->model()
                         ->headerData(3, Qt::Horizontal)
                         .toString()
                         .startsWith(legend.left(legend.size() - 1)),
                     qPrintable(playlist->model()->headerData(3, Qt::Horizontal).toString() +
                                QLatin1Char('/') + legend));
    }
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
}

void TestTranslations::sloganFollowsTheLanguage()
{
    auto* logo = m_window->findChild<OstrelLogo*>();
    QVERIFY(logo);
    QMap<QString, QImage> claims;
    for (const char* language : {"en_GB", "de_DE", "ru_RU"}) {
        m_window->form()->langButton->loadLanguage(QString::fromLatin1(language));
        QTest::qWait(20);
        claims.insert(QString::fromLatin1(language), logo->claim()->pixmap(Qt::ReturnByValue).toImage());
    }
    QVERIFY(claims.value("ru_RU") != claims.value("en_GB"));
    QVERIFY(claims.value("ru_RU") != claims.value("de_DE"));
    QVERIFY(claims.value("de_DE") != claims.value("en_GB"));
    m_window->form()->langButton->loadLanguage(QStringLiteral("en_GB"));
}

void TestTranslations::cleanupTestCase()
{
    m_window.reset();
    QFile::remove(ZelSettings::getWritablePath());
}

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"
