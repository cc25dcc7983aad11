#include "circleprogressbar.h"

#include "stylesheet.h"

#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {
const int Side = 84;
}

CircleProgressBar::CircleProgressBar(QWidget* parent)
    : QLabel(parent), m_image(QPixmap(QStringLiteral(":/resources/images/buffer_loader_icon.png"))
                                  .scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation)),
      m_rotationTimer(new QTimer(this)), m_stopTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("CircleProgressBar"));
    setFixedSize(Side, Side);
    setAlignment(Qt::AlignCenter);
    QString styleSheet;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myLabel.qss"), styleSheet))
        setStyleSheet(styleSheet);
    setPixmap(m_image);
    m_stopTimer->setSingleShot(true);
    connect(m_rotationTimer, &QTimer::timeout, this, &CircleProgressBar::rotate);
    connect(m_stopTimer, &QTimer::timeout, this, &CircleProgressBar::stop);
    hide();
}

void CircleProgressBar::start(unsigned maximum, bool showPercent)
{
    m_maximum = maximum;
    m_showPercent = showPercent;
    m_progress = 0;
    m_stopTimer->stop();
    m_rotationTimer->start(40);
    show();
    raise();
    update();
}

void CircleProgressBar::setProgress(unsigned progress)
{
    m_progress = qMin(progress, m_maximum);
    update();
}

void CircleProgressBar::setFinished()
{
    m_progress = m_maximum;
    update();
    m_stopTimer->start(250);
}

void CircleProgressBar::stop()
{
    m_rotationTimer->stop();
    m_stopTimer->stop();
    hide();
}

int CircleProgressBar::percent() const
{
    if (m_maximum == 0)
        return 100;
    return int((qulonglong(m_progress) * 200 + m_maximum) / (qulonglong(m_maximum) * 2));
}

void CircleProgressBar::rotate()
{
    m_angle = std::fmod(m_angle + 14.4, 360.0);
    if (m_image.isNull())
        return;
    QPixmap turned(m_image.size());
    turned.fill(Qt::transparent);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(turned.width() / 2.0, turned.height() / 2.0);
    painter.rotate(m_angle);
    painter.translate(-turned.width() / 2.0, -turned.height() / 2.0);
    painter.drawPixmap(0, 0, m_image);
    painter.end();
    setPixmap(turned);
}

void CircleProgressBar::paintEvent(QPaintEvent* event)
{
    if (m_showPercent) {
        QPainter painter(this);
        QFont font = painter.font();
        font.setWeight(87);
        font.setPointSize(18);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QString::asprintf("%d%s", percent(), "%"));
    }
    QLabel::paintEvent(event);
}
