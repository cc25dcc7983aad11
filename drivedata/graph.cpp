#include "graph.h"

#include "units.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

const QColor SpeedColour(0, 173, 239);
const QColor AccelerationXColour(Qt::yellow);
const QColor AccelerationYColour(Qt::green);
const QColor FrameColour(51, 51, 51);
const QColor FillColour(153, 153, 153, 96);
const QColor LegendTextColour(200, 200, 200);
constexpr int TooltipDuration = 5000;
constexpr int LeftMargin = 40;  // speed labels
constexpr int RightMargin = 39; // acceleration labels
constexpr int MinTickPixels = 18;
constexpr int MaxTicks = 6; // above the zero line
constexpr double Headroom = 1.05;
constexpr double MinSpeedScale = 5.0;        // m/s: a trip standing still still gets an axis
constexpr double MinAccelerationRange = 1.0; // m/s² up and down
constexpr int LegendPointSize = 9;

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

// The smallest step of 1, 2 or 5 times a power of ten that is at least `least`.
double niceStep(double least)
{
    if (!(least > 0.0))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(least)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        // A little slack, so that 20.000000001 still takes the step 20.
        if (factor * power >= least * (1.0 - 1e-9))
            return factor * power;
    }
    return 10.0 * power;
}

// Decimals that show every multiple of `step` exactly.
int decimalsOf(double step)
{
    int decimals = 0;
    while (decimals < 3 &&
           std::abs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) > 1e-6)
        ++decimals;
    return decimals;
}

// Of the points of one pixel column keeps the first, the lowest, the highest and the last, in
// their order: a line through them covers the same pixels of the column as one through all.
std::vector<QPoint> reduceColumns(const std::vector<QPoint>& points)
{
    std::vector<QPoint> out;
    out.reserve(std::min<std::size_t>(points.size(), 4096));
    std::size_t begin = 0;
    while (begin < points.size()) {
        std::size_t end = begin + 1;
        std::size_t low = begin;
        std::size_t high = begin;
        while (end < points.size() && points[end].x() == points[begin].x()) {
            if (points[end].y() < points[low].y())
                low = end;
            if (points[end].y() > points[high].y())
                high = end;
            ++end;
        }
        std::size_t keep[4] = {begin, std::min(low, high), std::max(low, high), end - 1};
        for (std::size_t i = 0; i < 4; ++i) {
            if (i == 0 || keep[i] != keep[i - 1])
                out.push_back(points[keep[i]]);
        }
        begin = end;
    }
    return out;
}

// Of the points of one pixel column keeps the first and the last: the area under a line through
// them is the area under a line through all of them.
std::vector<QPoint> reduceColumnsForFill(const std::vector<QPoint>& points)
{
    std::vector<QPoint> out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const bool first = i == 0 || points[i - 1].x() != points[i].x();
        const bool last = i + 1 == points.size() || points[i + 1].x() != points[i].x();
        if (first || last)
            out.push_back(points[i]);
    }
    return out;
}

// One curve's points, split where its values are missing or its fix state changes.
struct Run
{
    std::vector<QPoint> points;
    bool fix = true;
};

struct Channel
{
    QColor colour;
    int zeroY;
    std::vector<Run> strokes; // a change of fix continues from the previous run's last point
    std::vector<Run> fills;   // runs of valid values, whatever their fix
};

} // namespace

Graph::Graph(QWidget* parent) : QWidget(parent)
{
    DataPoint::registerMetaTypes();
    setStyleSheet(QStringLiteral("QToolTip { color: #fff; background-color: #000; border: none; }"));
    QFont f = font();
    f.setPointSize(11);
    setFont(f);
    setAttribute(Qt::WA_MouseTracking);
    // The cached image covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Graph::invalidate()
{
    ++m_generation;
    update();
}

const Graph::Layout& Graph::layout() const
{
    const int fontPixels = QFontInfo(font()).pixelSize();
    const int speedUnit = int(Units::speedUnit());
    const int accelerationUnit = int(Units::accelerationUnit());
    Layout& l = m_layout;
    if (l.size == size() && l.fontPixels == fontPixels && l.speedUnit == speedUnit &&
        l.accelerationUnit == accelerationUnit && l.generation == m_generation)
        return l;
    l.size = size();
    l.fontPixels = fontPixels;
    l.speedUnit = speedUnit;
    l.accelerationUnit = accelerationUnit;
    l.generation = m_generation;
    ++l.version;

    // The legend's row above the plot; below it room for half a label.
    QFont legendFont = font();
    legendFont.setPointSize(LegendPointSize);
    const int legendPixels = QFontInfo(legendFont).pixelSize();
    const int w1 = width() - 1;
    const int h1 = height() - 1;
    const int top = std::max(5, legendPixels + 6);
    const int bottom = std::max(top + 1, h1 - std::max(4, fontPixels / 2 + 1));
    l.plot = QRect(QPoint(LeftMargin, top), QPoint(std::max(LeftMargin + 1, w1 - RightMargin), bottom));

    const int height = bottom - top;
    l.zeroY = m_hasAcceleration ? top + height * 60 / 100 : bottom;
    const int above = std::max(1, l.zeroY - top);

    // Speed: the fewest ticks of a round step that hold the top speed with some room.
    const double speedUnitFactor = Units::speedValue(1.0);
    const double topSpeed = std::max(m_maxSpeed * Headroom, MinSpeedScale) * speedUnitFactor;
    const int maxTicks = std::clamp(above / MinTickPixels, 1, MaxTicks);
    l.speedStep = niceStep(topSpeed / maxTicks);
    l.speedTicks = std::max(1, int(std::ceil(topSpeed / l.speedStep - 1e-9)));
    l.speedTop = l.speedTicks * l.speedStep / speedUnitFactor;
    l.tickPixels = double(above) / l.speedTicks;

    // Accelerations share the zero line and the grid: a round step per grid line that holds
    // the largest value above and the smallest below.
    l.accelerationPerPixel = 0.0;
    l.accelerationStep = 0.0;
    if (m_hasAcceleration) {
        const double unitFactor = Units::accelerationValue(1.0);
        const double up = std::max(m_maxAcceleration * Headroom, MinAccelerationRange) * unitFactor;
        const double down = std::max(-m_minAcceleration * Headroom, MinAccelerationRange) * unitFactor;
        const double ticksBelow = std::max(0.5, (bottom - l.zeroY) / l.tickPixels);
        l.accelerationStep = niceStep(std::max(up / l.speedTicks, down / ticksBelow));
        l.accelerationPerPixel = l.accelerationStep / unitFactor / l.tickPixels;
    }
    return l;
}

QRect Graph::plotRect() const
{
    return layout().plot;
}

qint64 Graph::timeScale() const
{
    return std::max<qint64>({m_length, m_lastSampleTime, 1});
}

double Graph::speedScale() const
{
    return layout().speedTop;
}

double Graph::speedTickStep() const
{
    return layout().speedStep;
}

double Graph::accelerationTickStep() const
{
    return layout().accelerationStep;
}

std::vector<Graph::Tick> Graph::speedTicks() const
{
    const Layout& l = layout();
    std::vector<Tick> ticks;
    for (int k = 0; k <= l.speedTicks; ++k)
        ticks.push_back({k * l.speedStep, l.zeroY - int(std::lround(k * l.tickPixels))});
    return ticks;
}

std::vector<Graph::Tick> Graph::accelerationTicks() const
{
    const Layout& l = layout();
    std::vector<Tick> ticks;
    if (l.accelerationPerPixel <= 0.0)
        return ticks;
    const int below = int(std::floor((l.plot.bottom() - l.zeroY) / l.tickPixels + 1e-9));
    for (int k = -below; k <= l.speedTicks; ++k)
        ticks.push_back({k * l.accelerationStep, l.zeroY - int(std::lround(k * l.tickPixels))});
    return ticks;
}

int Graph::xOf(const Layout& l, qint64 time) const
{
    const qint64 width = l.plot.right() - l.plot.left();
    return int(l.plot.left() + time * width / timeScale());
}

int Graph::speedYOf(const Layout& l, double speed)
{
    return int(std::lround(l.zeroY - speed / l.speedTop * (l.zeroY - l.plot.top())));
}

int Graph::accelerationYOf(const Layout& l, double acceleration)
{
    // Without recorded accelerations every value sits on the zero line.
    if (l.accelerationPerPixel <= 0.0)
        return l.zeroY;
    return int(std::lround(l.zeroY - acceleration / l.accelerationPerPixel));
}

int Graph::time_to_pixel(qint64 time) const
{
    return xOf(layout(), time);
}

int Graph::overlay_time_to_pixel(qint64 time) const
{
    return time_to_pixel(time);
}

qint64 Graph::pixel_to_time(int x) const
{
    const QRect& plot = layout().plot;
    if (x < plot.left() || x > plot.right())
        return 0;
    return qint64(x - plot.left()) * timeScale() / (plot.right() - plot.left());
}

qint64 Graph::pixel_to_position(int x) const
{
    const QRect& plot = layout().plot;
    const qint64 width = plot.right() - plot.left();
    const qint64 column = std::clamp<qint64>(x - plot.left(), 0, width);
    return (column * timeScale() + width - 1) / width;
}

int Graph::speed_to_pixel(double speed) const
{
    return speedYOf(layout(), speed);
}

int Graph::acceleration_to_pixel(double acceleration) const
{
    return accelerationYOf(layout(), acceleration);
}

double Graph::pixel_to_speed(int y) const
{
    const Layout& l = layout();
    return (l.zeroY - y) * l.speedTop / std::max(1, l.zeroY - l.plot.top());
}

double Graph::pixel_to_acceleration(int y) const
{
    const Layout& l = layout();
    return (l.zeroY - y) * l.accelerationPerPixel;
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

QString Graph::make_tooltip(const DataPoint& sample) const
{
    const QString none = QStringLiteral("–");
    const QDateTime clock = m_clockSource ? m_clockSource(sample.time) : QDateTime();
    QString text = (clock.isValid() ? Units::clockTimeText(clock) : Units::clockText(sample.time)) +
                   QLatin1Char('\n') +
                   (sample.speedValid ? Units::speedText(sample.speed) : none + Units::speedUnitText());
    if (m_hasAcceleration) {
        const QString unit = Units::accelerationUnitText();
        text += QStringLiteral("\n↕ ") +
                (sample.accelerationValid ? Units::accelerationText(sample.accelerationX) : none + unit) +
                QStringLiteral("\n↔ ") +
                (sample.accelerationValid ? Units::accelerationText(sample.accelerationY) : none + unit);
    }
    return text;
}

void Graph::setCurveCacheEnabled(bool enabled)
{
    m_cacheEnabled = enabled;
    m_cache = QImage();
    update();
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
            if (sample.speedValid)
                maxSpeed = std::max(maxSpeed, sample.speed);
            if (sample.accelerationValid) {
                hasAcceleration = true;
                maxAcceleration = std::max({maxAcceleration, sample.accelerationX, sample.accelerationY});
                minAcceleration = std::min({minAcceleration, sample.accelerationX, sample.accelerationY});
            }
        }
        m_hasAcceleration = hasAcceleration;
        m_maxSpeed = maxSpeed;
        m_maxAcceleration = maxAcceleration;
        m_minAcceleration = minAcceleration;
        m_lastSampleTime = m_data->empty() ? 0 : m_data->back().time;
    }
    invalidate();
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
    invalidate();
}

void Graph::current_video_position_changed(qint64 position)
{
    m_position = position;
    update();
}

void Graph::current_video_length_changed(qint64 length)
{
    if (length == m_length)
        return;
    m_length = length;
    invalidate();
}

void Graph::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    if (!m_cacheEnabled) {
        paintStatic(painter, false);
    } else {
        const Layout& l = layout();
        const qreal ratio = devicePixelRatioF();
        if (m_cache.isNull() || m_cacheVersion != l.version || m_cache.devicePixelRatioF() != ratio) {
            // Opaque like the window, so that text is rendered the same way in both.
            m_cache = QImage(size() * ratio, QImage::Format_RGB32);
            m_cache.setDevicePixelRatio(ratio);
            QPainter cachePainter(&m_cache);
            // In pixels: the image's resolution must not change the size of the texts.
            QFont f = font();
            f.setPixelSize(QFontInfo(font()).pixelSize());
            cachePainter.setFont(f);
            paintStatic(cachePainter, true);
            m_cacheVersion = l.version;
        }
        painter.drawImage(0, 0, m_cache);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    draw_position(painter);
}

void Graph::resizeEvent(QResizeEvent* event)
{
    // The cached picture was of the old size; keeping it until the next paint is of no use.
    if (m_cache.size() != size() * devicePixelRatioF())
        m_cache = QImage();
    QWidget::resizeEvent(event);
}

// Everything but the cursor.
void Graph::paintStatic(QPainter& painter, bool reduced) const
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(rect(), Qt::black);
    draw_coordinate_system(painter);
    draw_data(painter, reduced);
    painter.setRenderHint(QPainter::Antialiasing, false);
    draw_axes(painter);
    draw_legend(painter);
    draw_event_borders(painter);
}

void Graph::draw_legend(QPainter& painter) const
{
    const QRect& plot = layout().plot;
    QFont legendFont = font();
    legendFont.setPointSize(LegendPointSize);
    legendFont.setPixelSize(QFontInfo(legendFont).pixelSize());
    painter.save();
    painter.setFont(legendFont);
    const QFontMetrics metrics(legendFont);
    const int swatch = 12;
    const int gap = 10;

    struct Entry
    {
        QColor colour;
        QString text;
        QString shortText;
    };
    std::vector<Entry> entries{{SpeedColour,
                                tr("Speed") + QStringLiteral(", ") + Units::speedUnitText().trimmed(),
                                Units::speedUnitText().trimmed()}};
    if (m_hasAcceleration) {
        const QString unit = QStringLiteral(", ") + Units::accelerationUnitText().trimmed();
        entries.push_back({AccelerationXColour, tr("Acceleration X") + unit, QStringLiteral("X") + unit});
        entries.push_back({AccelerationYColour, tr("Acceleration Y") + unit, QStringLiteral("Y") + unit});
    }
    auto widthOf = [&](bool shortTexts) {
        int total = 0;
        for (const Entry& e : entries)
            total += swatch + 4 + metrics.horizontalAdvance(shortTexts ? e.shortText : e.text) + gap;
        return total - gap;
    };
    const bool shortTexts = widthOf(false) > plot.width();
    int x = plot.left();
    const int rowTop = 1;
    const int rowHeight = metrics.height();
    for (const Entry& e : entries) {
        const int y = rowTop + rowHeight / 2;
        painter.setPen(QPen(e.colour, 2, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(x + 1, y, x + swatch, y);
        x += swatch + 4;
        const QString& text = shortTexts ? e.shortText : e.text;
        painter.setPen(LegendTextColour);
        painter.drawText(QRect(x, rowTop, metrics.horizontalAdvance(text) + 1, rowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text) + gap;
    }
    painter.restore();
}

void Graph::draw_coordinate_system(QPainter& painter) const
{
    const Layout& l = layout();
    const int w1 = width() - 1;
    const int h1 = height() - 1;

    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(FrameColour, 1));
    painter.drawLine(0, 0, w1 + 1, 0);
    painter.drawLine(0, h1 + 1, w1 + 1, h1 + 1);
    painter.drawLine(0, 0, 0, h1 + 1);

    const QPen gridPen(QColor(255, 255, 255, 110), 1, Qt::DotLine);
    const int left = l.plot.left();
    const int right = l.plot.right();

    // The grid goes under the curves, the axes (draw_axes) over them.
    painter.setPen(gridPen);
    for (const Tick& tick : accelerationTicks()) {
        if (tick.y != l.zeroY)
            painter.drawLine(left, tick.y, right, tick.y);
    }
    for (const Tick& tick : speedTicks()) {
        if (tick.y != l.zeroY)
            painter.drawLine(left, tick.y, right, tick.y);
    }
}

void Graph::draw_axes(QPainter& painter) const
{
    const Layout& l = layout();
    const int w1 = width() - 1;
    const int f = QFontInfo(painter.font()).pixelSize();
    const QPen axisPen(Qt::white, 1, Qt::SolidLine);
    const int left = l.plot.left();
    const int right = l.plot.right();
    auto label = [&](int x0, int x1, int y, const QString& text) {
        painter.setPen(axisPen);
        painter.drawText(QRect(QPoint(x0, y - f / 2), QPoint(x1, y - f / 2 + f - 1)),
                         Qt::AlignRight | Qt::AlignVCenter, text);
    };

    painter.setPen(axisPen);
    painter.drawLine(left, l.plot.top(), left, l.plot.bottom());
    painter.drawLine(right, l.plot.top(), right, l.plot.bottom());
    painter.drawLine(left, l.zeroY, right, l.zeroY);

    const int speedDecimals = decimalsOf(l.speedStep);
    for (const Tick& tick : speedTicks())
        label(5, left - 6, tick.y, Units::fixed(tick.value, speedDecimals));
    const int accelerationDecimals = decimalsOf(l.accelerationStep);
    for (const Tick& tick : accelerationTicks()) {
        painter.setPen(axisPen);
        painter.drawLine(right, tick.y, right + 3, tick.y);
        label(right + 4, w1 - 5, tick.y, Units::fixed(tick.value, accelerationDecimals));
    }
}

void Graph::draw_data(QPainter& painter, bool reduced) const
{
    if (!m_data || m_data->empty())
        return;
    const Layout& l = layout();
    const std::vector<DataPoint>& samples = *m_data;

    std::vector<Channel> channels{{SpeedColour, l.zeroY, {}, {}}};
    if (m_hasAcceleration) {
        channels.push_back({AccelerationXColour, l.zeroY, {}, {}});
        channels.push_back({AccelerationYColour, l.zeroY, {}, {}});
    }
    for (std::size_t c = 0; c < channels.size(); ++c) {
        Channel& channel = channels[c];
        bool open = false; // the previous sample had a value
        for (const DataPoint& sample : samples) {
            const bool valid = c == 0 ? sample.speedValid : sample.accelerationValid;
            if (!valid) {
                open = false;
                continue;
            }
            // The layout once, not per sample: looking it up costs a font query.
            const int x = xOf(l, sample.time);
            const QPoint point = c == 0   ? QPoint(x, speedYOf(l, sample.speed))
                                 : c == 1 ? QPoint(x, accelerationYOf(l, sample.accelerationX))
                                          : QPoint(x, accelerationYOf(l, sample.accelerationY));
            if (!open) {
                channel.fills.push_back({{point}, true});
                channel.strokes.push_back({{point}, sample.fix});
                open = true;
                continue;
            }
            channel.fills.back().points.push_back(point);
            Run& stroke = channel.strokes.back();
            if (stroke.fix != sample.fix) {
                const QPoint last = stroke.points.back();
                channel.strokes.push_back({{last, point}, sample.fix});
            } else {
                stroke.points.push_back(point);
            }
        }
    }

    painter.save();
    painter.setClipRect(l.plot.adjusted(0, 0, 1, 1));
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Pixel centres: a one-pixel line covers its pixels rather than half of two rows.
    painter.translate(0.5, 0.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(FillColour);
    for (const Channel& channel : channels) {
        for (const Run& run : channel.fills) {
            std::vector<QPoint> polygon = reduced ? reduceColumnsForFill(run.points) : run.points;
            polygon.emplace_back(polygon.back().x(), channel.zeroY);
            polygon.emplace_back(polygon.front().x(), channel.zeroY);
            painter.drawPolygon(polygon.data(), int(polygon.size()));
        }
    }

    painter.setBrush(Qt::NoBrush);
    for (const Channel& channel : channels) {
        for (const Run& run : channel.strokes) {
            painter.setPen(curvePen(channel.colour, run.fix));
            if (run.points.size() == 1) {
                painter.drawPoint(run.points.front());
                continue;
            }
            const std::vector<QPoint> line = reduced ? reduceColumns(run.points) : run.points;
            painter.drawPolyline(line.data(), int(line.size()));
        }
    }
    painter.restore();
}

void Graph::draw_position(QPainter& painter) const
{
    if (m_length == 0 || m_position > m_length)
        return;
    const QRect& plot = layout().plot;
    const int x = time_to_pixel(m_position);
    painter.setPen(overlayPen(SpeedColour));
    painter.drawLine(x, plot.top(), x, plot.bottom());
}

void Graph::draw_event_borders(QPainter& painter) const
{
    if (m_length == 0)
        return;
    const QRect& plot = layout().plot;
    painter.setPen(overlayPen(Qt::red));
    for (qint64 border : m_eventBorders) {
        const int x = time_to_pixel(border);
        painter.drawLine(x, plot.top(), x, plot.bottom());
    }
}

void Graph::mousePressEvent(QMouseEvent* event)
{
    const QRect& plot = layout().plot;
    const int x = qRound(event->localPos().x());
    if (event->button() != Qt::LeftButton || x < plot.left() || x > plot.right() ||
        (m_length == 0 && (!m_data || m_data->empty()))) {
        event->ignore();
        return;
    }
    qint64 position = pixel_to_position(x);
    if (m_length > 0)
        position = std::min(position, m_length);
    emit seekRequested(position);
}

void Graph::mouseMoveEvent(QMouseEvent* event)
{
    if (!isActiveWindow()) {
        event->ignore();
        return;
    }
    const QRect& plot = layout().plot;
    const int w1 = width() - 1;
    const int x = qRound(event->localPos().x());
    if (x >= 6 && x < plot.left()) {
        const QString text = Units::isMetric() ? QCoreApplication::translate("QObject", "Speed in km/h")
                                               : QCoreApplication::translate("QObject", "Speed in mph");
        QToolTip::showText(event->globalPos(), text, this, QRect(), TooltipDuration);
        return;
    }
    if (x > plot.right() && x <= w1 - 5) {
        if (m_hasAcceleration) {
            QToolTip::showText(event->globalPos(),
                               QCoreApplication::translate("QObject", "Acceleration in m/s²"), this, QRect(),
                               TooltipDuration);
        }
        return;
    }
    if (m_data && !m_data->empty() && x >= plot.left() && x <= plot.right()) {
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
    // The legend, the units and the label widths follow the language and the font.
    if (event->type() == QEvent::LanguageChange || event->type() == QEvent::FontChange) {
        QToolTip::hideText();
        invalidate();
    }
    QWidget::changeEvent(event);
}
