#include "drivedata.h"

#include "triptimeline.h"
#include "units.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLCDNumber>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

const QColor FrameColour(51, 51, 51);
const QColor PanelColour(0, 173, 239);

} // namespace

DriveData::DriveData(QWidget* parent) : QWidget(parent), m_lcd(new QLCDNumber(3, this))
{
    DataPoint::registerMetaTypes();
    setStyleSheet(QStringLiteral("* {background-color: none; color:#00adef; border:none;}"));
    setAutoFillBackground(false);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, PanelColour);
    setPalette(pal);
    m_lcd->setSegmentStyle(QLCDNumber::Filled);
    m_lcd->display(0);
    place_lcd();
}

QString DriveData::latitudeText() const
{
    if (!m_current)
        return QCoreApplication::translate("QObject", "Unknown");
    return m_current->positionValid ? Units::latitudeText(m_current->latitude) : noDataText();
}

QString DriveData::longitudeText() const
{
    return m_current && m_current->positionValid ? Units::longitudeText(m_current->longitude) : QString();
}

QString DriveData::noDataText()
{
    return tr("No data");
}

int DriveData::speedValue() const
{
    return m_lcd->intValue();
}

bool DriveData::speedKnown() const
{
    return !m_current || m_current->speedValid;
}

QString DriveData::speedUnitText() const
{
    return Units::speedUnitText();
}

void DriveData::new_nmea_data(std::shared_ptr<std::vector<DataPoint>> trip_data)
{
    m_data = std::move(trip_data);
    m_position = 0;
    select_sample(0);
    m_hasAcceleration = m_data && std::any_of(m_data->begin(), m_data->end(), [](const DataPoint& sample) {
                            return sample.accelerationValid;
                        });
    update();
}

void DriveData::current_video_position_changed(qint64 position)
{
    m_position = position;
    select_sample(position);
}

void DriveData::select_sample(qint64 time)
{
    // The sample of the record every view shows at this position.
    const int record = TripTimeline::recordAt(time, m_data ? m_data->size() : 0);
    m_current = record < 0 ? nullptr : &(*m_data)[std::size_t(record)];
    show_speed();
    // A second without a course turns the compass to "unknown" (NaN).
    if (!m_current)
        emit direction_changed(0.0);
    else
        emit direction_changed(m_current->directionValid ? m_current->direction : qQNaN());
    update();
}

void DriveData::show_speed()
{
    // A second without a measured speed shows dashes, not 0.
    if (m_current && !m_current->speedValid) {
        m_lcd->display(QStringLiteral("--"));
    } else {
        const double speed = m_current ? m_current->speed : 0.0;
        m_lcd->display(static_cast<int>(std::lround(Units::speedValue(speed))));
    }
}

int DriveData::linePitch() const
{
    return QFontInfo(font()).pixelSize() + 1;
}

void DriveData::place_lcd()
{
    const int pitch = linePitch();
    const int unitWidth = QFontMetrics(font()).horizontalAdvance(Units::speedUnitText());
    const int right = width() - 1 - unitWidth - 5;
    m_lcd->setGeometry(QRect(QPoint(10, static_cast<int>(3.5 * pitch + 1)), QSize(right - 10, 2 * pitch)));
}

void DriveData::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillRect(rect(), Qt::black);
    draw_data(painter);
}

void DriveData::draw_data(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const int f = QFontInfo(painter.font()).pixelSize();
    const int pitch = f + 1;
    auto line = [&](int left, int right, double lines) {
        const int y = static_cast<int>(lines * pitch);
        // One pixel-size tall, as the layout spaces the lines; the glyphs reach below it
        // (baseline and descenders), so the text is drawn unclipped.
        return QRect(QPoint(left, y), QPoint(right, y + f));
    };

    painter.setPen(QPen(FrameColour, 1));
    painter.drawLine(0, h, w, h);
    painter.drawLine(w, 0, w, h);
    painter.drawLine(0, 0, 0, h);

    painter.setPen(Qt::white);
    painter.drawText(line(0, w - 11, 0.5), Qt::AlignRight | Qt::TextDontClip, latitudeText());
    painter.drawText(line(0, w - 11, 1.5), Qt::AlignRight | Qt::TextDontClip, longitudeText());

    painter.setPen(PanelColour);
    painter.drawText(line(0, w - 11, 4.5), Qt::AlignRight | Qt::TextDontClip, Units::speedUnitText());

    if (m_hasAcceleration) {
        const DataPoint placeholder;
        const DataPoint& sample = m_current ? *m_current : placeholder;
        const bool known = !m_current || sample.accelerationValid;
        const QString missing = QStringLiteral("–") + Units::accelerationUnitText();
        painter.setPen(Qt::yellow);
        painter.drawText(line(10, 19, 6.5), Qt::AlignLeft | Qt::TextDontClip, QStringLiteral("↕"));
        painter.drawText(line(20, w - 11, 6.5), Qt::AlignRight | Qt::TextDontClip,
                         known ? Units::accelerationText(sample.accelerationX) : missing);
        painter.setPen(Qt::green);
        painter.drawText(line(10, 19, 7.5), Qt::AlignLeft | Qt::TextDontClip, QStringLiteral("↔"));
        painter.drawText(line(20, w - 11, 7.5), Qt::AlignRight | Qt::TextDontClip,
                         known ? Units::accelerationText(sample.accelerationY) : missing);
    }
}

void DriveData::resizeEvent(QResizeEvent* event)
{
    place_lcd();
    QWidget::resizeEvent(event);
}

void DriveData::changeEvent(QEvent* event)
{
    // The unit's width decides where the LCD ends. A change of units is announced as a language
    // change too: the LCD's number is converted again, also while paused.
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange) {
        if (event->type() == QEvent::LanguageChange)
            show_speed();
        place_lcd();
        update();
    }
    QWidget::changeEvent(event);
}
