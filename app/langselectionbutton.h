#pragma once

#include <QMap>
#include <QToolButton>
#include <QTranslator>

#include <vector>

class QAction;
class QActionGroup;
class QMenu;

// The globe button of the title bar: offers the compiled-in translations by their
// native names, installs the chosen one with Qt's own catalogs and remembers it.
class LangSelectionButton : public QToolButton
{
    Q_OBJECT
public:
    explicit LangSelectionButton(QWidget* parent = nullptr);
    ~LangSelectionButton() override;

    void loadLanguage(const QString& language);
    static QString getLanguage();
    const std::vector<QString>& languages() const { return m_languages; }
    QMenu* languageMenu() const { return m_langMenu; }

    static bool switchTranslator(QTranslator& translator, const QString& filename, const QString& directory);

public slots:
    void slotLanguageChanged(QAction* action);

private:
    void tickCurrentLanguage();

    static QString m_currLang;
    static const QMap<QString, QString> m_KnownLanguagesNames;

    QTranslator m_translator;
    QTranslator m_translatorQt;
    QTranslator m_translatorQtBase;
    QMenu* m_langMenu = nullptr;
    QActionGroup* m_languageGroup = nullptr;
    std::vector<QString> m_languages;
    QString m_langPath;
    QString m_langFilePrefix;
    QString m_qtLangPath;
};

// The legal text of the current language: base + "_de" + extension for German, base + "_ru" +
// extension for Russian, base + "_en" + extension for every other language.
QString getTextFileForCurrentLanguge(const QString& base, const QString& extension);
