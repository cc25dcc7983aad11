#include "controlpanelwgt.h"

#include "controlpanelwgtform.h"
#include "fullscreenstate.h"
#include "myslider.h"
#include "positionslider.h"
#include "stylesheet.h"
#include "tripfile.h"

#include "vireo/vlcenums.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace {

const int ToolTipMs = 5000;
const int SideSpacing = 24;
const int SideSpacingFullScreen = 10;

} // namespace

ControlPanelWgt::ControlPanelWgt(QWidget* parent) : QWidget(parent), ui(new Ui_ControlPanelWgt)
{
    ui->setupUi(this);

    QString sheet;
    if (Design::loadStyleSheet(QStringLiteral(":/resources/mySlider.qss"), sheet)) {
        ui->positionSlider->setStyleSheet(sheet);
        ui->volumeSlider->setStyleSheet(sheet);
    }
    if (Design::loadStyleSheet(QStringLiteral(":/resources/myButton.qss"), sheet)) {
        for (QPushButton* button :
             {ui->maxminButton, ui->rewButton, ui->playpauseButton, ui->ffdButton, ui->volumeButton}) {
            button->setStyleSheet(sheet);
        }
    }
    for (QLabel* label : {ui->positionLabel, ui->durationLabel}) {
        QFont font = label->font();
        font.setPointSize(12);
        label->setFont(font);
    }

    createLayout();
    clearPositionItems();
    ui->positionSlider->setTracking(false);
    ui->volumeSlider->setRange(0, 100);
    ui->volumeSlider->setValue(60);
    ui->volumeButton->setIcon(QIcon(QStringLiteral(":/resources/images/88_volume_high_line.png")));

    connect(ui->volumeSlider, &QSlider::valueChanged, this, &ControlPanelWgt::volumeChanged);
    connect(ui->positionSlider, &QSlider::valueChanged, this, &ControlPanelWgt::positionChanged);
    connect(ui->maxminButton, &QPushButton::clicked, this, &ControlPanelWgt::on_maxminButton_clicked);
    connect(ui->volumeButton, &QPushButton::clicked, this, &ControlPanelWgt::on_volumeButton_clicked);
    connect(ui->playpauseButton, &QPushButton::clicked, this, &ControlPanelWgt::on_playpauseButton_clicked);
    connect(ui->rewButton, &QPushButton::clicked, this, &ControlPanelWgt::on_rewButton_clicked);
    connect(ui->ffdButton, &QPushButton::clicked, this, &ControlPanelWgt::on_ffdButton_clicked);

    ui->positionSlider->setEnabled(false);
    ui->volumeSlider->setEnabled(false);
    retranslateToolTips();
    setStyleSheet(QStringLiteral("border: 1px solid #333333;"));

    // Bounding-box coordinates: the gradient follows every resize by itself.
    QLinearGradient gradient(0, 0, 0, 1);
    gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
    gradient.setColorAt(0, QColor(60, 60, 60));
    gradient.setColorAt(1, Qt::black);
    QPalette palette = this->palette();
    palette.setBrush(QPalette::Window, QBrush(gradient));
    setPalette(palette);
    setAutoFillBackground(true);
}

ControlPanelWgt::~ControlPanelWgt()
{
    delete ui;
}

void ControlPanelWgt::createLayout()
{
    m_leftSpacer = new QSpacerItem(SideSpacing, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_rightSpacer = new QSpacerItem(SideSpacing, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_centreSpacer = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);

    m_buttonLayout = new QHBoxLayout;
    m_buttonLayout->setContentsMargins(0, 0, 0, 0);
    m_buttonLayout->setSpacing(0);
    m_buttonLayout->setSizeConstraint(QLayout::SetFixedSize);
    m_buttonLayout->addWidget(ui->maxminButton);
    m_buttonLayout->addSpacing(30);
    m_buttonLayout->addWidget(ui->rewButton);
    m_buttonLayout->addWidget(ui->playpauseButton);
    m_buttonLayout->addWidget(ui->ffdButton);
    m_buttonLayout->addSpacing(30);
    m_buttonLayout->addWidget(ui->volumeButton);
    m_buttonLayout->addWidget(ui->volumeSlider);

    m_buttonRowLayout = new QHBoxLayout;
    m_buttonRowLayout->setContentsMargins(0, 0, 0, 0);
    m_buttonRowLayout->setSpacing(0);
    m_buttonRowLayout->addItem(m_centreSpacer);
    m_buttonRowLayout->addLayout(m_buttonLayout);
    m_buttonRowLayout->setAlignment(m_buttonLayout, Qt::AlignCenter);

    m_labelLayout = new QHBoxLayout;
    m_labelLayout->setContentsMargins(0, 0, 0, 0);
    m_labelLayout->setSpacing(0);
    m_labelLayout->addWidget(ui->positionLabel, 1, Qt::AlignLeft);
    m_labelLayout->addWidget(ui->durationLabel, 1, Qt::AlignRight);

    m_sliderColumnLayout = new QVBoxLayout;
    m_sliderColumnLayout->setContentsMargins(0, 0, 0, 0);
    m_sliderColumnLayout->setSpacing(0);
    m_sliderColumnLayout->addLayout(m_labelLayout);
    m_sliderColumnLayout->addWidget(ui->positionSlider);

    m_sliderLayout = new QHBoxLayout;
    m_sliderLayout->setContentsMargins(0, 0, 0, 0);
    m_sliderLayout->setSpacing(0);
    m_sliderLayout->addItem(m_leftSpacer);
    m_sliderLayout->addLayout(m_sliderColumnLayout);
    m_sliderLayout->addItem(m_rightSpacer);

    m_mainLayout = new QVBoxLayout(this);
    m_mainLayout->setContentsMargins(0, 0, 0, 0);
    m_mainLayout->setSpacing(0);
    m_mainLayout->addLayout(m_buttonRowLayout);
    m_mainLayout->addLayout(m_sliderLayout);

    setFixedHeight(60);
    setMinimumWidth(qMax(m_buttonRowLayout->minimumSize().width(), m_sliderLayout->minimumSize().width()));
    resize(640, 60);
    QWidget::show();
}

void ControlPanelWgt::show()
{
    on_fullscreenModeChanged();
    QWidget::show();
}

void ControlPanelWgt::setMedia(std::shared_ptr<Trip::TripList> trip)
{
    m_active = false;
    ui->positionSlider->setEnabled(false);
    ui->volumeSlider->setEnabled(false);
    retranslateToolTips();
    clearPositionItems();
    ui->positionSlider->clearRangeColours();
    m_trip = std::move(trip);
}

void ControlPanelWgt::clearPositionItems()
{
    const QSignalBlocker blocker(ui->positionSlider);
    ui->positionSlider->setRange(0, 0);
    ui->positionSlider->setSliderPosition(0);
    m_duration = Duration(0);
    m_position = Duration(0);
    ui->positionLabel->setText(m_position.toString());
    ui->durationLabel->setText(m_duration.toString());
}

void ControlPanelWgt::updateDuration(qint64 duration)
{
    m_duration = Duration(duration);
    m_active = true;
    ui->positionSlider->setEnabled(true);
    ui->volumeSlider->setEnabled(true);
    retranslateToolTips();
    {
        const QSignalBlocker blocker(ui->positionSlider);
        ui->positionSlider->setRange(0, static_cast<int>(qBound<qint64>(0, duration, INT_MAX)));
        updateRangeColours();
    }
    ui->durationLabel->setText(m_duration.toString());
    repaint();
}

void ControlPanelWgt::updateRangeColours()
{
    if (!m_trip) {
        return;
    }
    QList<RangeColour> ranges;
    const Trip::TripList& items = *m_trip;
    qint64 start = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Trip::TripItem& item = items[i];
        const qint64 end = start + item.duration;
        if (item.isEvent) {
            ranges.append({start, end, QBrush(Qt::red), true});
        } else if (i + 1 < items.size() && items[i + 1].isEvent) {
            // An event recording that overlaps the end of this file marks the overlap.
            const QDateTime thisStart = Trip::startTime(item.videoFile);
            const QDateTime nextStart = Trip::startTime(items[i + 1].videoFile);
            if (thisStart.isValid() && nextStart.isValid()) {
                const qint64 gap = thisStart.msecsTo(nextStart);
                if (gap <= item.duration) {
                    ranges.append({start + gap, end, QBrush(QColor(255, 0, 0, 127)), false});
                }
            }
        }
        start = end;
    }
    if (!ranges.isEmpty()) {
        ui->positionSlider->setRangeColours(ranges);
    }
}

void ControlPanelWgt::updatePosition(qint64 position)
{
    if (!m_active) {
        return;
    }
    m_position = Duration(position);
    ui->positionLabel->setText(m_position.toString());
    // Tracking is off: the handle moves, the value (and so setPosition) does not.
    ui->positionSlider->setSliderPosition(static_cast<int>(qBound<qint64>(0, position, INT_MAX)));
}

void ControlPanelWgt::updatePlayPauseButton(int state)
{
    m_playing = state == VlcEnums::Playing;
    ui->playpauseButton->setIcon(QIcon(m_playing ? QStringLiteral(":/resources/images/88_media_pause.png")
                                                 : QStringLiteral(":/resources/images/88_media_play.svg")));
    updatePlayPauseToolTip();
}

void ControlPanelWgt::updateVolumeButtonIcon(int volume, bool muted)
{
    m_muted = muted;
    QString icon;
    if (muted) {
        icon = QStringLiteral(":/resources/images/88_mute_sound_line.png");
    } else if (volume < ui->volumeSlider->maximum() / 2) {
        icon = QStringLiteral(":/resources/images/88_volume_low_line.png");
    } else {
        icon = QStringLiteral(":/resources/images/88_volume_high_line.png");
    }
    ui->volumeButton->setIcon(QIcon(icon));
    updateVolumeToolTip();
}

void ControlPanelWgt::on_fullscreenModeChanged()
{
    updateSliderLayout();
    ui->maxminButton->setIcon(
        QIcon(windowIsFullScreen(this) ? QStringLiteral(":/resources/images/88_media_full_screen_close.png")
                                       : QStringLiteral(":/resources/images/88_media_full_screen_view.png")));
    updateFullScreenToolTip();
}

void ControlPanelWgt::updateSliderLayout()
{
    const bool fullScreen = windowIsFullScreen(this);
    if (fullScreen == m_fullScreenLayout) {
        return;
    }
    m_fullScreenLayout = fullScreen;
    const int side = fullScreen ? SideSpacingFullScreen : SideSpacing;
    m_leftSpacer->changeSize(side, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_rightSpacer->changeSize(side, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_centreSpacer->changeSize(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    m_sliderLayout->invalidate();
}

void ControlPanelWgt::on_maxminButton_clicked()
{
    emit toggleFullScreen();
}

void ControlPanelWgt::on_volumeButton_clicked()
{
    if (m_active) {
        emit toggleMute();
    }
}

void ControlPanelWgt::on_playpauseButton_clicked()
{
    if (m_active) {
        emit play();
    }
}

void ControlPanelWgt::on_rewButton_clicked()
{
    if (m_active) {
        emit rewind();
    }
}

void ControlPanelWgt::on_ffdButton_clicked()
{
    if (m_active) {
        emit forward();
    }
}

void ControlPanelWgt::volumeChanged(int volume)
{
    if (m_active) {
        emit setVolume(volume);
    }
}

void ControlPanelWgt::positionChanged(int position)
{
    if (m_active) {
        emit setPosition(position);
    }
}

void ControlPanelWgt::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        on_playpauseButton_clicked();
        break;
    case Qt::Key_Left:
        on_rewButton_clicked();
        break;
    case Qt::Key_Right:
        on_ffdButton_clicked();
        break;
    case Qt::Key_M:
        on_volumeButton_clicked();
        break;
    case Qt::Key_F:
        on_maxminButton_clicked();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ControlPanelWgt::retranslateToolTips()
{
    for (QPushButton* button :
         {ui->ffdButton, ui->rewButton, ui->playpauseButton, ui->volumeButton, ui->maxminButton}) {
        button->setToolTipDuration(ToolTipMs);
    }
    ui->ffdButton->setToolTip(m_active ? QObject::tr("Forward") : QString());
    ui->rewButton->setToolTip(m_active ? QObject::tr("Backward") : QString());
    updateFullScreenToolTip();
    updatePlayPauseToolTip();
    updateVolumeToolTip();
}

void ControlPanelWgt::updateFullScreenToolTip()
{
    ui->maxminButton->setToolTip(windowIsFullScreen(this) ? QObject::tr("Video fullscreen off")
                                                          : QObject::tr("Video fullscreen on"));
}

void ControlPanelWgt::updatePlayPauseToolTip()
{
    QString text;
    if (m_active) {
        text = m_playing ? QObject::tr("Pause") : QObject::tr("Play");
    }
    ui->playpauseButton->setToolTip(text);
}

void ControlPanelWgt::updateVolumeToolTip()
{
    QString text;
    if (m_active) {
        text = m_muted ? QObject::tr("Volume on") : QObject::tr("Volume off");
    }
    ui->volumeButton->setToolTip(text);
}

void ControlPanelWgt::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateToolTips();
        ui->positionLabel->setText(m_position.toString());
        ui->durationLabel->setText(m_duration.toString());
    }
    QWidget::changeEvent(event);
}

void ControlPanelWgt::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(QPen(QColor(51, 51, 51), 1));
    painter.drawLine(0, 0, width(), 0);
    painter.drawLine(0, height(), width(), height());
    painter.drawLine(width(), 0, width(), height());
    painter.drawLine(0, 0, 0, height());
}

void ControlPanelWgt::resizeEvent(QResizeEvent* event)
{
    if (width() == m_lastWidth && height() == m_lastHeight) {
        return;
    }
    m_lastWidth = width();
    m_lastHeight = height();
    QWidget::resizeEvent(event);
}
