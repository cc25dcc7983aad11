#pragma once

#include <QPoint>
#include <QWidget>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

// Frameless, modal, always-on-top dialog with the name, the version and four legal pages.
class AboutDialog : public QWidget
{
    Q_OBJECT
public:
    enum Page
    {
        LegalNoticePage = 0,
        EnduserLicensePage = 1,
        PrivacyPage = 2,
        LicensesPage = 3
    };

    explicit AboutDialog(QWidget* parent = nullptr);

    void show();
    void retranslateUi();

    int currentPage() const;
    QPushButton* pageButton(int page) const { return m_pageButtons[page]; }
    QPushButton* closeButton() const { return m_closeButton; }
    QTextBrowser* pageBrowser(int page) const { return m_browsers[page]; }

public slots:
    void closeButton_clicked();
    void providerButton_clicked();
    void enduserlicenseButton_clicked();
    void privacyButton_clicked();
    void licenseButton_clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void selectPage(int page);

    QLabel* m_nameLabel = nullptr;
    QLabel* m_versionLabel = nullptr;
    QPushButton* m_closeButton = nullptr;
    QPushButton* m_pageButtons[4] = {};
    QLabel* m_separator = nullptr;
    QStackedWidget* m_pages = nullptr;
    QLabel* m_titles[4] = {};
    QTextBrowser* m_browsers[4] = {};
    QPoint m_pressPos;
    bool m_dragging = false;
    bool m_placed = false;
};
