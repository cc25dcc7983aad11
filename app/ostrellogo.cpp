#include "ostrellogo.h"

#include "langselectionbutton.h"
#include "ostrelicon.h"
#include "svgpixmap.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

OstrelLogo::OstrelLogo(QWidget* parent)
    : QWidget(parent), m_icon(new OstrelIcon(this)), m_claim(new QLabel(this)),
      m_closingLine(new QLabel(this))
{
    setObjectName(QStringLiteral("OstrelLogo"));
    m_icon->setObjectName(QStringLiteral("ostrelIcon"));
    m_icon->setFocusPolicy(Qt::ClickFocus);
    m_claim->setObjectName(QStringLiteral("ostrelClaim"));
    m_closingLine->setObjectName(QStringLiteral("ostrelClosingLine"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_icon);
    layout->addWidget(m_claim);
    layout->addWidget(m_closingLine);

    renderArtwork();
    retranslateToolTips();
}

void OstrelLogo::retranslateToolTips()
{
    m_icon->setToolTipDuration(5000);
    m_icon->setToolTip(QObject::tr("Open Halvard website"));
}

void OstrelLogo::renderArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (LangSelectionButton::getLanguage().compare(QStringLiteral("de_DE"), Qt::CaseInsensitive) == 0) {
        m_claim->setPixmap(Design::svgPixmap(
            QStringLiteral(":/resources/images/HL-wm_claim1DE_896x224_web.svg"), QSize(112, 28), ratio));
        m_closingLine->setPixmap(Design::svgPixmap(
            QStringLiteral(":/resources/images/HL-closing_line_DE_224px.svg"), QSize(1, 28), ratio));
    } else {
        // The slogan is lettering; Russian has its own, every other language the English one.
        const bool russian =
            LangSelectionButton::getLanguage().compare(QStringLiteral("ru_RU"), Qt::CaseInsensitive) == 0;
        m_claim->setPixmap(
            Design::svgPixmap(russian ? QStringLiteral(":/resources/images/HL-wm_claim1RU_896x240_web.svg")
                                      : QStringLiteral(":/resources/images/HL-wm_claim1EN_896x240_web.svg"),
                              QSize(112, 30), ratio));
        m_closingLine->setPixmap(Design::svgPixmap(
            QStringLiteral(":/resources/images/HL-closing_line_EN_240px.svg"), QSize(1, 30), ratio));
    }
}

void OstrelLogo::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        renderArtwork();
        retranslateToolTips();
        return;
    }
    QWidget::changeEvent(event);
}
