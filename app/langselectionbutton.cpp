#include "langselectionbutton.h"

#include "stylesheet.h"
#include "units.h"
#include "zelcfg.h"
#include "zelsettings.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QMenu>

#include <algorithm>

QString LangSelectionButton::m_currLang;

const QMap<QString, QString> LangSelectionButton::m_KnownLanguagesNames = {
    {QStringLiteral("de_DE"), QStringLiteral("Deutsch")},
    {QStringLiteral("en_GB"), QStringLiteral("English")},
    {QStringLiteral("es_ES"), QString::fromUtf8("Español")},
    {QStringLiteral("fr_FR"), QString::fromUtf8("Français")},
    {QStringLiteral("it_IT"), QStringLiteral("Italiano")},
    {QStringLiteral("ja_JP"), QString::fromUtf8("日本語")},
    {QStringLiteral("ko_KR"), QString::fromUtf8("한국어")},
    {QStringLiteral("ru_RU"), QString::fromUtf8("Русский")},
    {QStringLiteral("zh_CN"), QString::fromUtf8("中文")},
};

LangSelectionButton::LangSelectionButton(QWidget* parent)
    : QToolButton(parent), m_langMenu(new QMenu(this)), m_languageGroup(new QActionGroup(this)),
      m_langPath(QStringLiteral(":/resources/translations")), m_langFilePrefix(QStringLiteral("trans_")),
      m_qtLangPath(QStringLiteral(":/resources/translations/qt/"))
{
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myMenu.qss"), style)) {
        m_langMenu->setStyleSheet(style);
    }
    QFont menuFont = font();
    menuFont.setPointSize(12);
    m_langMenu->setFont(menuFont);
    connect(m_langMenu, &QMenu::triggered, this, &LangSelectionButton::slotLanguageChanged);

    const QStringList files = QDir(m_langPath).entryList({m_langFilePrefix + QStringLiteral("*.qm")});
    for (const QString& file : files) {
        QString locale = file.left(file.lastIndexOf(QLatin1Char('.')));
        locale = locale.mid(locale.indexOf(QLatin1Char('_')) + 1);
        const QString name = QLocale(locale).name();
        const QString displayName = m_KnownLanguagesNames.value(name, QLocale(locale).nativeLanguageName());
        auto* action = new QAction(displayName, this);
        action->setData(locale);
        // The language in force carries a tick.
        action->setCheckable(true);
        m_languageGroup->addAction(action);
        m_langMenu->addAction(action);
        m_languages.push_back(locale);
    }
    setMenu(m_langMenu);
    setPopupMode(QToolButton::InstantPopup);

    loadLanguage(
        ZelSettings::value(ZelSettings::LocaleLanguage, ZelSettings::LocaleLanguageDefault).toString());
}

LangSelectionButton::~LangSelectionButton()
{
    m_langMenu->deleteLater();
}

QString LangSelectionButton::getLanguage()
{
    return m_currLang;
}

void LangSelectionButton::slotLanguageChanged(QAction* action)
{
    if (action) {
        loadLanguage(action->data().toString());
    }
}

bool LangSelectionButton::switchTranslator(QTranslator& translator, const QString& filename,
                                           const QString& directory)
{
    QCoreApplication::removeTranslator(&translator);
    if (!translator.load(filename, directory)) {
        return false;
    }
    return QCoreApplication::installTranslator(&translator);
}

void LangSelectionButton::loadLanguage(const QString& language)
{
    if (language == m_currLang) {
        // Another button (a window made anew) may not show it yet.
        tickCurrentLanguage();
        return;
    }
    const auto known = [this](const QString& name) {
        return std::find(m_languages.begin(), m_languages.end(), name) != m_languages.end();
    };
    const QString base = language.left(language.lastIndexOf(QLatin1Char('_')));
    if (known(language)) {
        m_currLang = language;
    } else if (known(base)) {
        m_currLang = base;
    } else {
        m_currLang =
            ZelSettings::value(ZelSettings::LocaleLanguage, ZelSettings::LocaleLanguageDefault).toString();
    }

    // Dates and numbers follow the language; set before the translators change, so the texts
    // rebuilt on the language change already use it.
    Units::setDisplayLocale(QLocale(m_currLang));

    switchTranslator(m_translator,
                     m_langPath + QLatin1Char('/') + m_langFilePrefix +
                         QStringLiteral("%1.qm").arg(m_currLang),
                     QString());
    switchTranslator(m_translatorQt, m_qtLangPath + QStringLiteral("qt_%1.qm").arg(m_currLang), QString());
    switchTranslator(m_translatorQtBase, m_qtLangPath + QStringLiteral("qtbase_%1.qm").arg(m_currLang),
                     QString());

    ZelSettings::setValue(ZelSettings::LocaleLanguage, m_currLang);
    tickCurrentLanguage();
}

void LangSelectionButton::tickCurrentLanguage()
{
    for (QAction* action : m_languageGroup->actions()) {
        action->setChecked(action->data().toString() == m_currLang);
    }
}

QString getTextFileForCurrentLanguge(const QString& base, const QString& extension)
{
    // The languages the legal texts are written in besides English.
    static const QStringList translated{QStringLiteral("de"), QStringLiteral("ru")};
    const QString language = LangSelectionButton::getLanguage().section(QLatin1Char('_'), 0, 0).toLower();
    return base + QLatin1Char('_') + (translated.contains(language) ? language : QStringLiteral("en")) +
           extension;
}
