#include "speedbutton.h"

#include "stylesheet.h"
#include "units.h"
#include "vlcqtvideowidget.h"

#include <QActionGroup>
#include <QEvent>
#include <QMenu>

SpeedButton::SpeedButton(QWidget* parent) : QToolButton(parent), m_group(new QActionGroup(this))
{
    setObjectName(QStringLiteral("speedButton"));
    setFocusPolicy(Qt::NoFocus);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("speedMenu"));
    QString style;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myMenu.qss"), style))
        menu->setStyleSheet(style);
    for (double rate : VlcQtVideoWidget::rates()) {
        QAction* action = menu->addAction(QString());
        action->setCheckable(true);
        action->setData(rate);
        m_group->addAction(action);
        connect(action, &QAction::triggered, this, [this, rate]() { emit rateChosen(rate); });
    }
    setMenu(menu);
    setRate(1.0);
}

QAction* SpeedButton::rateAction(double rate) const
{
    for (QAction* action : m_group->actions()) {
        if (qFuzzyCompare(action->data().toDouble(), rate))
            return action;
    }
    return nullptr;
}

QString SpeedButton::rateText(double rate)
{
    return Units::displayLocale().toString(rate, 'g', 3) + QChar(0x00D7);
}

void SpeedButton::setRate(double rate)
{
    m_rate = rate;
    if (QAction* action = rateAction(rate))
        action->setChecked(true);
    retranslate();
}

void SpeedButton::retranslate()
{
    // As wide as the widest speed, so the panel does not change its size with the speed.
    int widest = 0;
    for (double rate : VlcQtVideoWidget::rates())
        widest = qMax(widest, fontMetrics().horizontalAdvance(rateText(rate)));
    setFixedWidth(widest + 2);
    setText(rateText(m_rate));
    for (QAction* action : m_group->actions())
        action->setText(rateText(action->data().toDouble()));
}

void SpeedButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QToolButton::changeEvent(event);
}
