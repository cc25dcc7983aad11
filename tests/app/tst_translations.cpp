#include "aboutdialog.h"
#include "langselectionbutton.h"
#include "mainwindow.h"
#include "mainwindowform.h"
#include "ostrellogo.h"
#include "playlistroles.h"
#include "playlistwgt.h"
#include "settingsbutton.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QSet>
#include <QStandardItemModel>
#include <QTemporaryDir>
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
    void datesFollowTheLanguage();
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
