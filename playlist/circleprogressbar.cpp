#include "circleprogressbar.h"

#include "stylesheet.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>
#include <QTimer>

#include <cmath>

namespace {

const int Side = 84;

// The spinner at Side logical pixels with as many device pixels as the sharpest screen shows,
// drawn from its SVG source; from the PNG when the SVG cannot be read.
QPixmap spinnerImage()
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int side = qRound(Side * ratio);
    QImageReader reader(QStringLiteral(":/resources/images/buffer_loader_icon.svg"));
    reader.setScaledSize(QSize(side, side));
    QPixmap image = QPixmap::fromImage(reader.read());
    if (image.isNull()) {
        image = QPixmap(QStringLiteral(":/resources/images/buffer_loader_icon.png"))
                    .scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

CircleProgressBar::CircleProgressBar(QWidget* parent)
    : QLabel(parent), m_image(spinnerImage()), m_rotationTimer(new QTimer(this)),
      m_stopTimer(new QTimer(this))
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
    turned.setDevicePixelRatio(m_image.devicePixelRatio());
    turned.fill(Qt::transparent);
    // In logical pixels, as the painter on a pixmap with a pixel ratio counts.
    const QSizeF size = QSizeF(m_image.size()) / m_image.devicePixelRatio();
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    painter.rotate(m_angle);
    painter.translate(-size.width() / 2.0, -size.height() / 2.0);
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
