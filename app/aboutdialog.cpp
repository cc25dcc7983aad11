#include "aboutdialog.h"

#include "langselectionbutton.h"
#include "stylesheet.h"
#include "zelcfg.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

const char* const SelectedStyle =
    "border: 1px dotted black; border-radius: 1px; padding: 5 2 5 2; color: #007aab;";
const char* const UnselectedStyle =
    "border: 1px dotted transparent; border-radius: 1px; padding: 5 2 5 2; color: black;";

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}

QFont sizedFont(const QFont& base, int points, int weight)
{
    QFont font(base);
    font.setPointSize(points);
    font.setWeight(weight);
    return font;
}

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setWindowModality(Qt::ApplicationModal);
    setFixedSize(600, 500);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Window, QBrush(Qt::white));
    setPalette(pal);
    setAutoFillBackground(true);

    m_nameLabel = new QLabel(this);
    m_nameLabel->setFont(sizedFont(font(), 18, 75));
    m_versionLabel = new QLabel(this);

    m_closeButton = new QPushButton(this);
    m_closeButton->setIcon(QIcon(QStringLiteral(":/resources/images/88_close_abort_small.png")));
    m_closeButton->setIconSize(QSize(24, 24));
    m_closeButton->setFixedSize(24, 24);
    m_closeButton->setFlat(true);
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myButton.qss"), style)) {
        m_closeButton->setStyleSheet(style);
    }

    auto* header = new QHBoxLayout();
    auto* nameBox = new QVBoxLayout();
    nameBox->addWidget(m_nameLabel);
    nameBox->addWidget(m_versionLabel);
    header->addLayout(nameBox);
    header->addStretch(1);
    header->addWidget(m_closeButton, 0, Qt::AlignTop);

    auto* buttonRow = new QHBoxLayout();
    for (int i = 0; i < 4; ++i) {
        m_pageButtons[i] = new QPushButton(this);
        m_pageButtons[i]->setFlat(true);
        m_pageButtons[i]->setMinimumWidth(100);
        if (i > 0) {
            buttonRow->addSpacing(20);
        }
        buttonRow->addWidget(m_pageButtons[i]);
    }
    buttonRow->addStretch(1);

    m_separator = new QLabel(this);
    QPixmap line(width() - 2 * 9, 1);
    line.fill(QColor(102, 102, 102));
    m_separator->setPixmap(line);

    m_pages = new QStackedWidget(this);
    for (int i = 0; i < 4; ++i) {
        auto* page = new QWidget(m_pages);
        auto* pageLayout = new QVBoxLayout(page);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        pageLayout->setSpacing(0);
        m_titles[i] = new QLabel(page);
        m_titles[i]->setFont(sizedFont(font(), 14, 63));
        m_browsers[i] = new QTextBrowser(page);
        m_browsers[i]->setReadOnly(true);
        m_browsers[i]->setOpenExternalLinks(true);
        m_browsers[i]->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse |
                                               Qt::LinksAccessibleByKeyboard);
        m_browsers[i]->setFixedHeight(290);
        pageLayout->addWidget(m_titles[i]);
        pageLayout->addWidget(m_browsers[i]);
        m_pages->addWidget(page);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(header);
    layout->addLayout(buttonRow);
    layout->addWidget(m_separator);
    layout->addWidget(m_pages);

    // Pages change when the mouse button goes down, not when it is released.
    connect(m_closeButton, &QPushButton::pressed, this, &AboutDialog::closeButton_clicked,
            Qt::QueuedConnection);
    connect(m_pageButtons[LegalNoticePage], &QPushButton::pressed, this, &AboutDialog::providerButton_clicked,
            Qt::QueuedConnection);
    connect(m_pageButtons[EnduserLicensePage], &QPushButton::pressed, this,
            &AboutDialog::enduserlicenseButton_clicked, Qt::QueuedConnection);
    connect(m_pageButtons[PrivacyPage], &QPushButton::pressed, this, &AboutDialog::privacyButton_clicked,
            Qt::QueuedConnection);
    connect(m_pageButtons[LicensesPage], &QPushButton::pressed, this, &AboutDialog::licenseButton_clicked,
            Qt::QueuedConnection);

    // Escape closes the dialog, whichever of its parts has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &AboutDialog::closeButton_clicked);

    retranslateUi();
    selectPage(LegalNoticePage);
}

void AboutDialog::retranslateUi()
{
    setWindowTitle(tr("About"));
    m_closeButton->setToolTip(QStringLiteral("%1 (%2)").arg(
        tr("Close"), QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    m_nameLabel->setText(ZelCfg::AppName);
    m_versionLabel->setText(tr("Version: %1").arg(ZelCfg::AppVersion));

    const QString licenses = QStringLiteral(":/resources/licenses/");
    m_pageButtons[LegalNoticePage]->setText(tr("Legal notice", "tab"));
    m_titles[LegalNoticePage]->setText(QLatin1Char('\n') + tr("Legal notice"));
    m_browsers[LegalNoticePage]->setHtml(readText(
        getTextFileForCurrentLanguge(licenses + QStringLiteral("Copyright"), QStringLiteral(".html"))));

    m_pageButtons[EnduserLicensePage]->setText(tr("Enduser license", "tab"));
    m_titles[EnduserLicensePage]->setText(QLatin1Char('\n') + tr("Enduser license"));
    m_browsers[EnduserLicensePage]->setHtml(
        readText(getTextFileForCurrentLanguge(licenses + QStringLiteral("EULA"), QStringLiteral(".html"))));

    m_pageButtons[PrivacyPage]->setText(tr("Privacy"));
    m_titles[PrivacyPage]->setText(QLatin1Char('\n') + tr("Privacy statement"));
    m_browsers[PrivacyPage]->setHtml(readText(
        getTextFileForCurrentLanguge(licenses + QStringLiteral("Privacy"), QStringLiteral(".html"))));

    m_pageButtons[LicensesPage]->setText(tr("Licenses"));
    m_titles[LicensesPage]->setText(QLatin1Char('\n') + tr("Licenses"));
    const QString components = readText(licenses + QStringLiteral("Opensource-licenses.txt"));
    m_browsers[LicensesPage]->setPlainText(
        components.isEmpty() ? QString()
                             : tr("This application uses the following 3rd-party opensource components") +
                                   QStringLiteral("\n\n") + components);
}

void AboutDialog::show()
{
    selectPage(LegalNoticePage);
    adjustSize();
    setFixedSize(size());
    if (!m_placed) {
        // The dialog has no parent, so nothing centres it: put it over the program's window
        // the first time; afterwards it opens where the user dragged it.
        const QWidget* anchor = QApplication::activeWindow();
        const QRect area = anchor ? anchor->geometry()
                                  : (screen() ? screen()->availableGeometry() : QRect(QPoint(), size()));
        move(area.center() - rect().center());
        m_placed = true;
    }
    QWidget::show();
    raise();
    activateWindow();
}

int AboutDialog::currentPage() const
{
    return m_pages->currentIndex();
}

void AboutDialog::selectPage(int page)
{
    m_pages->setCurrentIndex(page);
    for (int i = 0; i < 4; ++i) {
        m_pageButtons[i]->setStyleSheet(QString::fromLatin1(i == page ? SelectedStyle : UnselectedStyle));
    }
}

void AboutDialog::closeButton_clicked()
{
    close();
}

void AboutDialog::providerButton_clicked()
{
    selectPage(LegalNoticePage);
}

void AboutDialog::enduserlicenseButton_clicked()
{
    selectPage(EnduserLicensePage);
}

void AboutDialog::privacyButton_clicked()
{
    selectPage(PrivacyPage);
}

void AboutDialog::licenseButton_clicked()
{
    selectPage(LicensesPage);
}

void AboutDialog::mousePressEvent(QMouseEvent* event)
{
    m_pressPos = event->pos();
    m_dragging = true;
    QWidget::mousePressEvent(event);
}

void AboutDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging) {
        move(event->globalPos() - m_pressPos);
    }
    QWidget::mouseMoveEvent(event);
}

void AboutDialog::mouseReleaseEvent(QMouseEvent* event)
{
    m_pressPos = QPoint();
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void AboutDialog::keyPressEvent(QKeyEvent* event)
{
    // Also when the window is not the active one, so no shortcut applies.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        closeButton_clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void AboutDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslateUi();
    }
    QWidget::changeEvent(event);
}
