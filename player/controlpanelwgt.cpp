#include "controlpanelwgt.h"

#include "controlpanelwgtform.h"
#include "fullscreenstate.h"
#include "myslider.h"
#include "positionslider.h"
#include "speedbutton.h"
#include "stylesheet.h"
#include "tripfile.h"
#include "units.h"
#include "vlcqtvideowidget.h"

#include "vireo/vlcenums.h"
#include "vireo/vlcfileduration.h"

#include <QEvent>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent>

namespace {

const int ToolTipMs = 5000;
const int SideSpacing = 24;
const int SideSpacingFullScreen = 10;
// Between the position and the clock.
const int LabelSpacing = 12;
const int MinuteMs = 60000;

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
        for (QPushButton* button : {ui->maxminButton, ui->rewButton, ui->playpauseButton, ui->ffdButton,
                                    ui->volumeButton, ui->inButton, ui->outButton, ui->snapshotButton}) {
            button->setStyleSheet(sheet);
        }
    }
    for (QLabel* label : {ui->positionLabel, ui->durationLabel}) {
        QFont font = label->font();
        font.setPointSize(12);
        label->setFont(font);
    }
    QFont clockFont = ui->clockLabel->font();
    clockFont.setPointSize(10);
    ui->clockLabel->setFont(clockFont);
    ui->clockLabel->setStyleSheet(QStringLiteral("color: #d8d8d8;"));

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
    connect(ui->inButton, &QPushButton::clicked, this, &ControlPanelWgt::markIn);
    connect(ui->outButton, &QPushButton::clicked, this, &ControlPanelWgt::markOut);
    connect(ui->snapshotButton, &QPushButton::clicked, this,
            [this]() { runCommand(PlayerActions::Snapshot); });
    connect(ui->exportButton, &QToolButton::clicked, this, [this]() {
        if (m_active) {
            const auto range = exportRange();
            emit exportClipRequested(range.first, range.second);
        }
    });
    connect(ui->speedButton, &SpeedButton::rateChosen, this, [this](double rate) {
        if (m_active) {
            emit setRate(rate);
        }
    });
    // The keys work in the whole window; the sliders never take the focus (and so never move
    // by a step on an arrow key).
    m_actions = new PlayerActions(this);
    connect(m_actions, &PlayerActions::triggered, this, &ControlPanelWgt::runCommand);
    ui->positionSlider->setFocusPolicy(Qt::NoFocus);
    ui->volumeSlider->setFocusPolicy(Qt::NoFocus);

    ui->positionSlider->setEnabled(false);
    ui->volumeSlider->setEnabled(false);
    setTripControlsEnabled(false);
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
    m_buttonLayout->addWidget(ui->speedButton);
    // The widest speed ("0.25×") reaches the edge of its button.
    m_buttonLayout->addSpacing(6);
    m_buttonLayout->addWidget(ui->inButton);
    m_buttonLayout->addWidget(ui->outButton);
    m_buttonLayout->addSpacing(4);
    m_buttonLayout->addWidget(ui->maxminButton);
    m_buttonLayout->addSpacing(4);
    m_buttonLayout->addWidget(ui->rewButton);
    m_buttonLayout->addWidget(ui->playpauseButton);
    m_buttonLayout->addWidget(ui->ffdButton);
    m_buttonLayout->addSpacing(4);
    m_buttonLayout->addWidget(ui->volumeButton);
    m_buttonLayout->addWidget(ui->volumeSlider);
    m_buttonLayout->addSpacing(4);
    m_buttonLayout->addWidget(ui->snapshotButton);
    m_buttonLayout->addWidget(ui->exportButton);

    m_buttonRowLayout = new QHBoxLayout;
    m_buttonRowLayout->setContentsMargins(0, 0, 0, 0);
    m_buttonRowLayout->setSpacing(0);
    m_buttonRowLayout->addItem(m_centreSpacer);
    m_buttonRowLayout->addLayout(m_buttonLayout);
    m_buttonRowLayout->setAlignment(m_buttonLayout, Qt::AlignCenter);

    m_labelLayout = new QHBoxLayout;
    m_labelLayout->setContentsMargins(0, 0, 0, 0);
    m_labelLayout->setSpacing(0);
    m_labelLayout->addWidget(ui->positionLabel, 0, Qt::AlignLeft);
    m_labelLayout->addSpacing(LabelSpacing);
    m_labelLayout->addWidget(ui->clockLabel, 1, Qt::AlignLeft | Qt::AlignVCenter);
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

    setFixedHeight(66);
    setMinimumWidth(qMax(m_buttonRowLayout->minimumSize().width(), m_sliderLayout->minimumSize().width()));
    resize(640, 66);
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
    readLastPictures();
    clearMarks();
    setTripControlsEnabled(false);
}

void ControlPanelWgt::readLastPictures()
{
    m_lastPictures.clear();
    if (!m_trip || m_trip->empty()) {
        return;
    }
    QStringList files;
    for (const Trip::TripItem& item : *m_trip) {
        files << item.videoFile;
    }
    // The headers are read on a pool thread: a slow card must not stall the window.
    auto* watcher = new QFutureWatcher<std::vector<qint64>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, trip = m_trip]() {
        if (trip == m_trip) {
            m_lastPictures = watcher->result();
            showPosition();
        }
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([files]() {
        std::vector<qint64> starts;
        starts.reserve(std::size_t(files.size()));
        for (const QString& file : files) {
            starts.push_back(VlcFileDuration::lastPictureStart(file));
        }
        return starts;
    }));
}

qint64 ControlPanelWgt::pictureTime(qint64 position) const
{
    if (!m_trip || m_lastPictures.size() != m_trip->size()) {
        return position;
    }
    qint64 start = 0;
    for (std::size_t i = 0; i < m_trip->size(); ++i) {
        const qint64 end = start + (*m_trip)[i].duration;
        // A position at a file's end belongs to that file and shows its last picture.
        if (position <= end || i + 1 == m_trip->size()) {
            const qint64 last = m_lastPictures[i];
            return last >= 0 ? qMin(position, start + last) : position;
        }
        start = end;
    }
    return position;
}

void ControlPanelWgt::clearPositionItems()
{
    const QSignalBlocker blocker(ui->positionSlider);
    ui->positionSlider->setRange(0, 0);
    ui->positionSlider->setSliderPosition(0);
    m_duration = Duration(0);
    m_position = Duration(0);
    showPosition();
    ui->durationLabel->setText(m_duration.toString());
}

void ControlPanelWgt::updateDuration(qint64 duration)
{
    m_duration = Duration(duration);
    m_active = true;
    ui->positionSlider->setEnabled(true);
    ui->volumeSlider->setEnabled(true);
    setTripControlsEnabled(true);
    retranslateToolTips();
    {
        const QSignalBlocker blocker(ui->positionSlider);
        ui->positionSlider->setRange(0, static_cast<int>(qBound<qint64>(0, duration, INT_MAX)));
        updateRangeColours();
    }
    ui->durationLabel->setText(m_duration.toString());
    showClock();
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
            const QDateTime thisStart = Trip::startOf(item);
            const QDateTime nextStart = Trip::startOf(items[i + 1]);
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
    showPosition();
    // Tracking is off: the handle moves, the value (and so setPosition) does not.
    ui->positionSlider->setSliderPosition(static_cast<int>(qBound<qint64>(0, position, INT_MAX)));
}

void ControlPanelWgt::updatePlayPauseButton(int state)
{
    m_playing = state == VlcEnums::Playing;
    showPosition();
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

void ControlPanelWgt::setTripControlsEnabled(bool enabled)
{
    for (QWidget* control : std::initializer_list<QWidget*>{ui->speedButton, ui->inButton, ui->outButton,
                                                            ui->snapshotButton, ui->exportButton}) {
        control->setEnabled(enabled);
    }
}

void ControlPanelWgt::showPosition()
{
    // Paused, the picture is one frame: tenths tell neighbouring frames apart.
    const bool tenths = m_active && !m_playing;
    const qint64 shown = pictureTime(m_position.ms());
    ui->positionLabel->setText(tenths ? Units::positionText(shown) : Duration(shown).toString());
    m_clock = m_active && m_clockSource ? m_clockSource(m_position.ms()) : QDateTime();
    showClock();
}

void ControlPanelWgt::showClock()
{
    if (!m_clock.isValid()) {
        ui->clockLabel->clear();
        ui->clockLabel->setToolTip(QString());
        return;
    }
    // The local time the offset gives, with the offset, so that nobody takes it for UTC: in full
    // where the row has room, else compact, else only in the tooltip. The position is taken at
    // its widest (with tenths), so that the form does not change with pausing.
    const QString time = Units::clockTimeText(m_clock);
    const qint64 offset = Units::clockOffsetSeconds();
    const QString full = time + QLatin1Char(' ') + Units::offsetText(offset);
    const int room =
        m_sliderColumnLayout->geometry().width() -
        ui->positionLabel->fontMetrics().horizontalAdvance(Units::positionText(m_position.ms())) -
        LabelSpacing - ui->durationLabel->sizeHint().width();
    QString shown = time;
    for (const QString& text : {full, time + QLatin1Char(' ') + Units::shortOffsetText(offset)}) {
        if (ui->clockLabel->fontMetrics().horizontalAdvance(text) <= room) {
            shown = text;
            break;
        }
    }
    ui->clockLabel->setText(shown);
    ui->clockLabel->setToolTip(full);
}

void ControlPanelWgt::refreshPosition()
{
    showPosition();
}

void ControlPanelWgt::setClockSource(std::function<QDateTime(qint64)> source)
{
    m_clockSource = std::move(source);
    showPosition();
}

void ControlPanelWgt::updateRate(double rate)
{
    m_rate = rate;
    ui->speedButton->setRate(rate);
}

void ControlPanelWgt::changeRate(int steps)
{
    const QList<double>& rates = VlcQtVideoWidget::rates();
    int index = 0;
    while (index + 1 < rates.size() && rates[index] < m_rate - 1e-9) {
        ++index;
    }
    // Taken at once: keys pressed before the player has answered step on from the last one.
    m_rate = rates[qBound(0, index + steps, int(rates.size()) - 1)];
    emit setRate(m_rate);
}

void ControlPanelWgt::markIn()
{
    if (!m_active) {
        return;
    }
    const qint64 at = m_position.ms();
    m_in = m_in == at ? -1 : at;
    // An in point at or after the out point starts a new range.
    if (m_in >= 0 && m_out >= 0 && m_out <= m_in) {
        m_out = -1;
    }
    applyMarks();
}

void ControlPanelWgt::markOut()
{
    if (!m_active) {
        return;
    }
    const qint64 at = m_position.ms();
    m_out = m_out == at ? -1 : at;
    if (m_in >= 0 && m_out >= 0 && m_in >= m_out) {
        m_in = -1;
    }
    applyMarks();
}

void ControlPanelWgt::clearMarks()
{
    m_in = -1;
    m_out = -1;
    applyMarks();
}

void ControlPanelWgt::applyMarks()
{
    ui->positionSlider->setMarks(m_in, m_out);
    emit marksChanged(m_in, m_out);
}

std::pair<qint64, qint64> ControlPanelWgt::exportRange() const
{
    return {m_in >= 0 ? m_in : 0, m_out >= 0 ? m_out : m_duration.ms()};
}

void ControlPanelWgt::runCommand(PlayerActions::Command command)
{
    if (command == PlayerActions::FullScreen) {
        on_maxminButton_clicked();
        return;
    }
    if (!m_active) {
        return;
    }
    switch (command) {
    case PlayerActions::PlayPause:
        on_playpauseButton_clicked();
        break;
    case PlayerActions::Back:
        on_rewButton_clicked();
        break;
    case PlayerActions::Forward:
        on_ffdButton_clicked();
        break;
    case PlayerActions::BackMinute:
        emit seekBy(-MinuteMs);
        break;
    case PlayerActions::ForwardMinute:
        emit seekBy(MinuteMs);
        break;
    case PlayerActions::Start:
        emit setPosition(0);
        break;
    case PlayerActions::End:
        emit setPosition(static_cast<int>(qBound<qint64>(0, m_duration.ms(), INT_MAX)));
        break;
    case PlayerActions::Mute:
        on_volumeButton_clicked();
        break;
    case PlayerActions::Slower:
        changeRate(-1);
        break;
    case PlayerActions::Faster:
        changeRate(1);
        break;
    case PlayerActions::NormalSpeed:
        m_rate = 1.0;
        emit setRate(1.0);
        break;
    case PlayerActions::FrameBack:
        emit stepFrame(-1);
        break;
    case PlayerActions::FrameForward:
        emit stepFrame(1);
        break;
    case PlayerActions::InPoint:
        markIn();
        break;
    case PlayerActions::OutPoint:
        markOut();
        break;
    case PlayerActions::Snapshot:
        emit snapshotRequested(m_position.ms());
        break;
    case PlayerActions::NextLayout:
        emit cycleChannelLayout();
        break;
    case PlayerActions::NextChannel:
        emit cycleLargeChannel();
        break;
    case PlayerActions::FullScreen:
    case PlayerActions::CommandCount:
        break;
    }
}

void ControlPanelWgt::retranslateToolTips()
{
    for (QWidget* button : std::initializer_list<QWidget*>{
             ui->ffdButton, ui->rewButton, ui->playpauseButton, ui->volumeButton, ui->maxminButton,
             ui->speedButton, ui->inButton, ui->outButton, ui->snapshotButton, ui->exportButton}) {
        button->setToolTipDuration(ToolTipMs);
    }
    using Keys = PlayerActions;
    ui->ffdButton->setToolTip(m_active ? Keys::withKey(QObject::tr("Forward"), Keys::Forward) : QString());
    ui->rewButton->setToolTip(m_active ? Keys::withKey(QObject::tr("Backward"), Keys::Back) : QString());
    ui->speedButton->setToolTip(tr("Playback speed (%1 slower, %2 faster, %3 normal)")
                                    .arg(Keys::key(Keys::Slower).toString(QKeySequence::NativeText),
                                         Keys::key(Keys::Faster).toString(QKeySequence::NativeText),
                                         Keys::key(Keys::NormalSpeed).toString(QKeySequence::NativeText)));
    ui->inButton->setToolTip(Keys::withKey(tr("In point; again at the same place clears it"), Keys::InPoint));
    ui->outButton->setToolTip(
        Keys::withKey(tr("Out point; again at the same place clears it"), Keys::OutPoint));
    ui->snapshotButton->setToolTip(Keys::withKey(tr("Save the picture as PNG"), Keys::Snapshot));
    ui->exportButton->setToolTip(tr("Export the clip between the in and out points (or the whole trip); "
                                    "the menu exports the track"));
    updateFullScreenToolTip();
    updatePlayPauseToolTip();
    updateVolumeToolTip();
}

void ControlPanelWgt::updateFullScreenToolTip()
{
    ui->maxminButton->setToolTip(PlayerActions::withKey(
        windowIsFullScreen(this) ? QObject::tr("Video fullscreen off") : QObject::tr("Video fullscreen on"),
        PlayerActions::FullScreen));
}

void ControlPanelWgt::updatePlayPauseToolTip()
{
    QString text;
    if (m_active) {
        text = PlayerActions::withKey(m_playing ? QObject::tr("Pause") : QObject::tr("Play"),
                                      PlayerActions::PlayPause);
    }
    ui->playpauseButton->setToolTip(text);
}

void ControlPanelWgt::updateVolumeToolTip()
{
    QString text;
    if (m_active) {
        text = PlayerActions::withKey(m_muted ? QObject::tr("Volume on") : QObject::tr("Volume off"),
                                      PlayerActions::Mute);
    }
    ui->volumeButton->setToolTip(text);
}

void ControlPanelWgt::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        retranslateToolTips();
        // The clock's form depends on the room the duration leaves.
        ui->durationLabel->setText(m_duration.toString());
        showPosition();
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
    showClock();
}
