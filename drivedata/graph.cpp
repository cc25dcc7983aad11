#include "graph.h"

#include "units.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

const QColor SpeedColour(0, 173, 239);
const QColor FrameColour(51, 51, 51);
const QColor FillColour(153, 153, 153, 96);
constexpr int TickSteps = 5;
constexpr int TooltipDuration = 5000;

// Speed on the left, accelerations on the right, each with its own zero line.
struct Curve
{
    QColor colour;
    QPoint (Graph::*point)(const DataPoint&) const;
    int zeroY;
    QPainterPath stroke;
    QPainterPath fill;
};

QPen curvePen(const QColor& colour, bool fix)
{
    return QPen(colour, 1, fix ? Qt::SolidLine : Qt::DotLine);
}

QPen overlayPen(const QColor& colour)
{
    QPen pen(colour, 0, Qt::DotLine);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

Graph::Graph(QWidget* parent) : QWidget(parent)
{
    DataPoint::registerMetaTypes();
    setStyleSheet(QStringLiteral("QToolTip { color: #fff; background-color: #000; border: none; }"));
    QFont f = font();
    f.setPointSize(11);
    setFont(f);
    setAttribute(Qt::WA_MouseTracking);
}

int Graph::plotWidth() const
{
    return width() - 1 - 79;
}

int Graph::plotHeight() const
{
    return height() - 1 - 9;
}

int Graph::accelerationZeroLine() const
{
    return m_accelerationZero * plotHeight() / 100 + 5;
}

int Graph::time_to_pixel(qint64 time) const
{
    return static_cast<int>(static_cast<double>(time) / m_timeScale * plotWidth() + 40);
}

int Graph::speed_to_pixel(double speed) const
{
    return static_cast<int>(plotHeight() * m_speedZero * (1 - speed / m_speedScale) / 100 + 5);
}

int Graph::acceleration_to_pixel(double acceleration) const
{
    const int zero = accelerationZeroLine();
    // Without recorded accelerations the scale is 0 and every value sits on the zero line.
    if (m_accelerationScale <= 0.0 || plotHeight() <= 0) {
        return zero;
    }
    return static_cast<int>(zero - acceleration / (m_accelerationScale / plotHeight()));
}

qint64 Graph::pixel_to_time(int x) const
{
    if (x < 40 || x > width() - 1 - 39 || plotWidth() <= 0) {
        return 0;
    }
    return static_cast<qint64>(std::floor(static_cast<double>(m_timeScale) * (x - 40) / plotWidth()));
}

double Graph::pixel_to_speed(int y) const
{
    const int i = plotHeight() * m_speedZero / 100;
    if (i == 0) {
        return 0.0;
    }
    return (m_speedScale / i) * ((i + 5) - y);
}

double Graph::pixel_to_acceleration(int y) const
{
    if (plotHeight() <= 0) {
        return 0.0;
    }
    return (m_accelerationScale / plotHeight()) * (accelerationZeroLine() - y);
}

QPoint Graph::speed_to_QPoint(const DataPoint& sample) const
{
    return QPoint(time_to_pixel(sample.time), speed_to_pixel(sample.speed));
}

QPoint Graph::acceleration_x_to_QPoint(const DataPoint& sample) const
{
    return QPoint(time_to_pixel(sample.time), acceleration_to_pixel(sample.accelerationX));
}

QPoint Graph::acceleration_y_to_QPoint(const DataPoint& sample) const
{
    return QPoint(time_to_pixel(sample.time), acceleration_to_pixel(sample.accelerationY));
}

int Graph::overlay_time_to_pixel(qint64 time) const
{
    if (m_length == 0) {
        return 40;
    }
    return static_cast<int>(static_cast<qint64>(plotWidth()) * time / m_length + 40);
}

QString Graph::make_tooltip(const DataPoint& sample) const
{
    QString text = Units::clockText(sample.time) + QLatin1Char('\n') + Units::speedText(sample.speed);
    if (m_hasAcceleration) {
        text += QStringLiteral("\n↕ ") + Units::accelerationText(sample.accelerationX) +
                QStringLiteral("\n↔ ") + Units::accelerationText(sample.accelerationY);
    }
    return text;
}

void Graph::new_nmea_data(std::shared_ptr<std::vector<DataPoint>> data)
{
    m_data = std::move(data);
    if (m_data) {
        double maxSpeed = 0.0;
        double maxAcceleration = 0.0;
        double minAcceleration = 0.0;
        bool hasAcceleration = false;
        for (const DataPoint& sample : *m_data) {
            maxSpeed = std::max(maxSpeed, sample.speed);
            if (sample.accelerationValid) {
                hasAcceleration = true;
                maxAcceleration = std::max({maxAcceleration, sample.accelerationX, sample.accelerationY});
                minAcceleration = std::min({minAcceleration, sample.accelerationX, sample.accelerationY});
            }
        }
        m_hasAcceleration = hasAcceleration;
        if (hasAcceleration) {
            m_accelerationZero = 60;
            m_accelerationScale = std::max(
                {maxAcceleration * 1.05 / 60 * 100, std::abs(minAcceleration * 1.05) / 40 * 100, 3.0});
        } else {
            m_accelerationZero = 0;
            m_accelerationScale = 0.0;
        }
        // The speed zero line follows the accelerations here too, so the mappings agree with
        // the picture before the next paint.
        m_speedZero = hasAcceleration ? 60 : 100;
        // A single sample (or none) would leave the time axis without a length.
        m_timeScale = m_data->empty() ? 1 : std::max<qint64>(m_data->back().time, 1);
        m_speedScale = std::max(maxSpeed * 1.05, 5.0);
    }
    update();
}

void Graph::setMedia(std::shared_ptr<Trip::TripList> trip)
{
    m_position = 0;
    m_length = 0;
    m_eventBorders.clear();
    if (trip) {
        qint64 offset = 0;
        for (const Trip::TripItem& item : *trip) {
            if (item.isEvent) {
                m_eventBorders.push_back(offset);
                m_eventBorders.push_back(offset + item.duration);
            }
            offset += item.duration;
        }
    }
    update();
}

void Graph::current_video_position_changed(qint64 position)
{
    m_position = position;
    update();
}

void Graph::current_video_length_changed(qint64 length)
{
    m_length = length;
    update();
}

void Graph::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawRect(rect());

    m_speedZero = m_hasAcceleration ? 60 : 100;
    m_accelerationZero = m_hasAcceleration ? 60 : 0;
    draw_coordinate_system(painter, m_speedZero, TickSteps);

    painter.setRenderHint(QPainter::Antialiasing, true);
    draw_data(painter);

    painter.setRenderHint(QPainter::Antialiasing, false);
    draw_position(painter);
    draw_event_borders(painter);
}

void Graph::draw_coordinate_system(QPainter& painter, int zeroPercent, int n) const
{
    const int w1 = width() - 1;
    const int h1 = height() - 1;
    const int f = QFontInfo(painter.font()).pixelSize();

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FrameColour, 1));
    painter.drawLine(0, 0, w1 + 1, 0);
    painter.drawLine(0, h1 + 1, w1 + 1, h1 + 1);
    painter.drawLine(0, 0, 0, h1 + 1);

    const QPen axisPen(Qt::white, 1, Qt::SolidLine);
    const QPen gridPen(Qt::white, 1, Qt::DotLine);
    const int y0 = plotHeight() * zeroPercent / 100 + 5;
    painter.setPen(axisPen);
    painter.drawLine(40, 5, 40, h1 - 4);
    painter.drawLine(w1 - 39, 5, w1 - 39, h1 - 4);
    painter.drawLine(40, y0, w1 - 39, y0);

    auto leftLabel = [&](int y, const QString& text) {
        painter.setPen(axisPen);
        painter.drawText(QRect(QPoint(5, y - f / 2), QPoint(34, y - f / 2 + f - 1)),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    };
    auto rightLabel = [&](int y, const QString& text) {
        painter.setPen(axisPen);
        painter.drawText(QRect(QPoint(w1 - 39, y - f / 2), QPoint(w1 - 5, y - f / 2 + f - 1)),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    };
    auto gridLine = [&](int y) {
        painter.setPen(gridPen);
        painter.drawLine(40, y, w1 - 39, y);
    };

    leftLabel(y0, QStringLiteral("0"));
    if (m_hasAcceleration) {
        rightLabel(y0, QStringLiteral("0"));
    }

    const int step = plotHeight() / (n + 1);
    const int above = n * zeroPercent / 100;
    for (int k = 1; k <= above; ++k) {
        const int y = y0 - k * step;
        leftLabel(y, QString::number(static_cast<int>(Units::speedValue(pixel_to_speed(y)))));
        if (m_hasAcceleration) {
            rightLabel(y, QString::number(pixel_to_acceleration(y), 'f', 1));
        }
        gridLine(y);
    }
    if (m_hasAcceleration) {
        for (int k = 1; k <= n - above; ++k) {
            const int y = y0 + k * step;
            rightLabel(y, QString::number(pixel_to_acceleration(y), 'f', 1));
            gridLine(y);
        }
    }
}

void Graph::draw_data(QPainter& painter) const
{
    if (!m_data || m_data->empty()) {
        return;
    }
    std::vector<Curve> curves{{SpeedColour, &Graph::speed_to_QPoint, speed_to_pixel(0.0), {}, {}}};
    if (m_hasAcceleration) {
        const int zero = accelerationZeroLine();
        curves.push_back({Qt::yellow, &Graph::acceleration_x_to_QPoint, zero, {}, {}});
        curves.push_back({Qt::green, &Graph::acceleration_y_to_QPoint, zero, {}, {}});
    }

    const std::vector<DataPoint>& samples = *m_data;
    painter.setBrush(Qt::NoBrush);
    auto strokeAll = [&](bool fix) {
        for (const Curve& curve : curves) {
            painter.setPen(curvePen(curve.colour, fix));
            painter.drawPath(curve.stroke);
        }
    };

    for (Curve& curve : curves) {
        const QPoint first = (this->*curve.point)(samples.front());
        curve.stroke.moveTo(first);
        curve.fill.moveTo(first);
    }
    bool fix = samples.front().fix;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        const DataPoint& sample = samples[i];
        if (sample.fix != fix) {
            strokeAll(fix);
            for (Curve& curve : curves) {
                curve.stroke = QPainterPath(curve.stroke.currentPosition());
            }
            fix = sample.fix;
        }
        for (Curve& curve : curves) {
            const QPoint q = (this->*curve.point)(samples[i - 1]);
            const QPoint p = (this->*curve.point)(sample);
            const QPoint mid(p.x() + qRound((q.x() - p.x()) * 0.5), p.y() + qRound((q.y() - p.y()) * 0.5));
            curve.stroke.cubicTo(q, q, mid);
            curve.fill.cubicTo(q, q, mid);
        }
    }
    for (Curve& curve : curves) {
        const QPoint last = (this->*curve.point)(samples.back());
        curve.stroke.lineTo(last);
        curve.fill.lineTo(last);
    }
    strokeAll(fix);

    painter.setPen(Qt::NoPen);
    painter.setBrush(FillColour);
    for (Curve& curve : curves) {
        const QPoint first = (this->*curve.point)(samples.front());
        const QPoint last = (this->*curve.point)(samples.back());
        curve.fill.lineTo(last.x(), curve.zeroY);
        curve.fill.lineTo(first.x(), curve.zeroY);
        curve.fill.lineTo(first);
        painter.drawPath(curve.fill);
    }
}

void Graph::draw_position(QPainter& painter) const
{
    if (m_length == 0 || m_position > m_length) {
        return;
    }
    const int x = overlay_time_to_pixel(m_position);
    painter.setPen(overlayPen(SpeedColour));
    painter.drawLine(x, 0, x, height() - 1 - 4);
}

void Graph::draw_event_borders(QPainter& painter) const
{
    if (m_length == 0) {
        return;
    }
    painter.setPen(overlayPen(Qt::red));
    for (qint64 border : m_eventBorders) {
        const int x = overlay_time_to_pixel(border);
        painter.drawLine(x, 0, x, height() - 1 - 4);
    }
}

void Graph::mouseMoveEvent(QMouseEvent* event)
{
    if (!isActiveWindow()) {
        event->ignore();
        return;
    }
    const int w1 = width() - 1;
    const int x = qRound(event->localPos().x());
    if (x >= 6 && x <= 39) {
        const QString text = Units::isMetric() ? QCoreApplication::translate("QObject", "Speed in km/h")
                                               : QCoreApplication::translate("QObject", "Speed in mph");
        QToolTip::showText(event->globalPos(), text, this, QRect(), TooltipDuration);
        return;
    }
    if (x >= w1 - 38 && x <= w1 - 5) {
        if (m_hasAcceleration) {
            QToolTip::showText(event->globalPos(),
                               QCoreApplication::translate("QObject", "Acceleration in m/s²"), this, QRect(),
                               TooltipDuration);
        }
        return;
    }
    if (m_data && !m_data->empty() && x >= 40 && x <= w1 - 39) {
        const qint64 t = pixel_to_time(x);
        if (t != 0 && m_data->front().time <= t) {
            const auto after =
                std::upper_bound(m_data->begin(), m_data->end(), t,
                                 [](qint64 time, const DataPoint& s) { return time < s.time; });
            QToolTip::showText(event->globalPos(), make_tooltip(*std::prev(after)), this, QRect(),
                               TooltipDuration);
            return;
        }
    }
    QToolTip::hideText();
    event->ignore();
}

void Graph::changeEvent(QEvent* event)
{
    // Units and tooltips are looked up on every paint and hover; a repaint picks up the language.
    if (event->type() == QEvent::LanguageChange) {
        QToolTip::hideText();
        update();
    }
    QWidget::changeEvent(event);
}
