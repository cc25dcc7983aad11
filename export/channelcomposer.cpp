#include "channelcomposer.h"

#include "tripchannels.h"
#include "yuvpicture.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

// The small pictures' share of the picture's width, as the window shows them.
constexpr double SmallShare = 0.25;

int even(double value)
{
    return 2 * int(std::lround(value / 2.0));
}

// The largest rectangle of `picture`'s shape centred in `cell`, on even pixels.
QRect fitted(const QSize& picture, const QRect& cell)
{
    if (picture.isEmpty() || cell.isEmpty())
        return cell;
    QSize size = picture.scaled(cell.size(), Qt::KeepAspectRatio);
    size = QSize(qMax(2, size.width() & ~1), qMax(2, size.height() & ~1));
    const int x = cell.left() + ((cell.width() - size.width()) / 2 & ~1);
    const int y = cell.top() + ((cell.height() - size.height()) / 2 & ~1);
    return QRect(QPoint(x, y), size);
}

} // namespace

bool ChannelComposer::parseLayout(const QString& text, Layout& layout)
{
    if (text == QLatin1String("pip"))
        layout = Layout::PictureInPicture;
    else if (text == QLatin1String("side"))
        layout = Layout::SideBySide;
    else if (text == QLatin1String("main"))
        layout = Layout::MainOnly;
    else
        return false;
    return true;
}

ChannelComposer::ChannelComposer(Trip::TripList trip, Layout layout, QStringList order)
    : m_trip(std::move(trip)), m_layout(layout), m_order(std::move(order))
{
    if (!m_trip.empty())
        m_own = m_trip.front().channel;
    if (m_order.isEmpty())
        m_order << m_own;
    if (m_layout == Layout::MainOnly)
        m_order = m_order.mid(0, 1);
}

QSize ChannelComposer::canvasSize(const QSize& picture) const
{
    const QSize size(picture.width() & ~1, picture.height() & ~1);
    if (m_layout != Layout::SideBySide || size.isEmpty())
        return size;
    const int count = int(m_order.size());
    const int columns = count <= 2 ? count : (count <= 4 ? 2 : 3);
    const int rows = (count + columns - 1) / columns;
    const int cellWidth = qMax(2, even(double(size.width()) / columns));
    const int cellHeight = qMax(2, even(double(cellWidth) * size.height() / size.width()));
    return QSize(cellWidth * columns, cellHeight * rows);
}

std::vector<QRect> ChannelComposer::cells(const QSize& canvas, int reservedBottom) const
{
    std::vector<QRect> result;
    const int count = int(m_order.size());
    if (m_layout == Layout::SideBySide) {
        const int columns = count <= 2 ? count : (count <= 4 ? 2 : 3);
        const int rows = (count + columns - 1) / columns;
        const int width = canvas.width() / columns & ~1;
        const int height = canvas.height() / rows & ~1;
        for (int i = 0; i < count; ++i)
            result.emplace_back((i % columns) * width, (i / columns) * height, width, height);
        return result;
    }
    result.emplace_back(QPoint(0, 0), canvas);
    const int width = qMax(2, even(canvas.width() * SmallShare));
    const int height = qMax(2, even(double(width) * canvas.height() / qMax(1, canvas.width())));
    const int margin = qMax(2, even(canvas.width() / 100.0));
    const int lowest = canvas.height() - reservedBottom - margin;
    int right = canvas.width() - margin;
    int bottom = lowest;
    for (int i = 1; i < count; ++i) {
        // A stack that reaches the top goes on in a column to its left.
        if (bottom - height < margin && bottom != lowest) {
            right -= width + margin;
            bottom = lowest;
        }
        result.emplace_back(right - width, bottom - height, width, height);
        bottom -= height + margin;
    }
    return result;
}

bool ChannelComposer::compose(const AVFrame* own, int index, qint64 inFileMs, AVFrame* canvas,
                              int reservedBottom)
{
    const std::vector<QRect> places = cells(QSize(canvas->width, canvas->height), reservedBottom);
    m_scalers.resize(places.size());
    YuvPicture::fillBlack(canvas, QRect(0, 0, canvas->width, canvas->height));
    for (std::size_t i = 0; i < places.size(); ++i) {
        const QString& channel = m_order[int(i)];
        const QRect& cell = places[i];
        if (const AVFrame* picture = pictureOf(channel, own, index, inFileMs)) {
            const QRect place = fitted(QSize(picture->width, picture->height), cell);
            // A small picture over the large one has its own black around it.
            if (i > 0)
                YuvPicture::fillBlack(canvas, cell);
            if (!YuvPicture::scaleInto(picture, canvas, place, m_scalers[i]))
                return false;
        } else {
            const AVFrame* note = placeholder(channel, cell.size(), canvas);
            if (!note)
                return false;
            YuvPicture::paste(note, cell.topLeft(), canvas);
        }
    }
    return true;
}

const AVFrame* ChannelComposer::pictureOf(const QString& channel, const AVFrame* own, int index,
                                          qint64 inFileMs)
{
    if (channel == m_own)
        return own;
    if (index < 0 || std::size_t(index) >= m_trip.size())
        return nullptr;
    const Trip::TripItem& item = m_trip[std::size_t(index)];
    const Trip::TripItem* recording = Trip::TripChannels::recordingOf(item, channel);
    if (!recording)
        return nullptr;
    if (recording == &item)
        return own;
    // The channel's presentation time of the instant the trip's picture shows: the same as
    // the stills and the channels' clips use.
    const qint64 timeMs =
        inFileMs + videoStart(item.videoFile) + Trip::TripChannels::offsetMs(item, *recording);
    std::unique_ptr<ChannelPictures>& reader = m_readers[channel];
    if (!reader)
        reader = std::make_unique<ChannelPictures>();
    return reader->at(recording->videoFile, timeMs);
}

const AVFrame* ChannelComposer::placeholder(const QString& channel, const QSize& size, const AVFrame* like)
{
    Placeholder& cached = m_placeholders[channel];
    if (cached.picture && cached.size == size)
        return cached.picture.get();
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(32, 32, 32));
    const QString text = tr("No %1 recording").arg(m_label ? m_label(channel) : channel);
    QPainter painter(&image);
    QFont font = painter.font();
    int pixels = qMax(8, size.height() / 8);
    font.setPixelSize(pixels);
    // Smaller until the note fits the cell's width.
    while (pixels > 8 && QFontMetrics(font).horizontalAdvance(text) > size.width() * 9 / 10)
        font.setPixelSize(--pixels);
    painter.setFont(font);
    painter.setPen(QColor(220, 220, 220));
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    painter.end();
    cached.size = size;
    cached.picture = YuvPicture::fromImage(image, like);
    return cached.picture.get();
}

qint64 ChannelComposer::videoStart(const QString& file)
{
    const auto found = m_videoStarts.find(file);
    if (found != m_videoStarts.end())
        return found->second;
    const qint64 start = Av::videoStartMs(file);
    m_videoStarts.emplace(file, start);
    return start;
}
