#include "ostrelicon.h"

#include "svgpixmap.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QUrl>

OstrelIcon::OstrelIcon(QWidget* parent) : QWidget(parent), m_label(new QLabel(this))
{
    setFixedSize(64, 64);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_label->setPixmap(Design::svgPixmap(QStringLiteral(":/resources/images/HL-star_512px_web.svg"),
                                         QSize(64, 64), devicePixelRatioF()));
    layout->addWidget(m_label);
}

QUrl OstrelIcon::websiteUrl()
{
    return QUrl(QStringLiteral("https://halvard.example"));
}

void OstrelIcon::mousePressEvent(QMouseEvent* event)
{
    QDesktopServices::openUrl(websiteUrl());
    QWidget::mousePressEvent(event);
}
