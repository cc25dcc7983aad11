#include "masks.h"

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One plane of a picture: `step` bytes from one pixel to the next, each of them a channel.
struct Plane
{
    uint8_t* data = nullptr;
    int stride = 0;
    int step = 1;

    uint8_t* at(int x, int y, int channel) const
    {
        return data + std::ptrdiff_t(y) * stride + std::ptrdiff_t(x) * step + channel;
    }
};

void pixelate(const Plane& plane, const QRect& r, int block)
{
    for (int top = r.top(); top <= r.bottom(); top += block) {
        for (int left = r.left(); left <= r.right(); left += block) {
            const QRect cell = QRect(left, top, block, block) & r;
            const int count = cell.width() * cell.height();
            for (int c = 0; c < plane.step; ++c) {
                int sum = 0;
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    const uint8_t* p = plane.at(cell.left(), y, c);
                    for (int x = 0; x < cell.width(); ++x, p += plane.step)
                        sum += *p;
                }
                const auto mean = uint8_t((sum + count / 2) / count);
                for (int y = cell.top(); y <= cell.bottom(); ++y) {
                    uint8_t* p = plane.at(cell.left(), y, c);
                    for (int x = 0; x < cell.width(); ++x, p += plane.step)
                        *p = mean;
                }
            }
        }
    }
}

// A running mean over 2 * radius + 1 samples, the edge sample repeated beyond the ends, so that
// nothing outside the rectangle is read or written.
void boxLine(uint8_t* first, int count, int step, int radius, std::vector<int>& line)
{
    line.resize(std::size_t(count));
    for (int i = 0; i < count; ++i)
        line[std::size_t(i)] = first[std::ptrdiff_t(i) * step];
    const auto at = [&](int i) { return line[std::size_t(std::clamp(i, 0, count - 1))]; };
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int i = -radius; i <= radius; ++i)
        sum += at(i);
    for (int i = 0; i < count; ++i) {
        first[std::ptrdiff_t(i) * step] = uint8_t((sum + width / 2) / width);
        sum += at(i + radius + 1) - at(i - radius);
    }
}

void blur(const Plane& plane, const QRect& r, int radius)
{
    std::vector<int> line;
    // Three box passes come close to a Gaussian blur.
    for (int pass = 0; pass < 3; ++pass) {
        for (int c = 0; c < plane.step; ++c) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                boxLine(plane.at(r.left(), y, c), r.width(), plane.step, radius, line);
            for (int x = r.left(); x <= r.right(); ++x)
                boxLine(plane.at(x, r.top(), c), r.height(), plane.stride, radius, line);
        }
    }
}

void hide(const Plane& plane, const QRect& r, Masks::Mode mode, double scale)
{
    if (r.isEmpty())
        return;
    // Coarse enough that a face or a number plate cannot be read, whatever its size.
    const int size = std::max(r.width(), r.height());
    if (mode == Masks::Mode::Pixelate)
        pixelate(plane, r, std::max(2, int(std::lround(std::max(8.0, size / 8.0) * scale))));
    else
        blur(plane, r, std::max(1, int(std::lround(std::max(4.0, size / 6.0) * scale))));
}

QString modeName(Masks::Mode mode)
{
    return mode == Masks::Mode::Pixelate ? QStringLiteral("pixelate") : QStringLiteral("blur");
}

} // namespace

bool Masks::read(const QByteArray& json)
{
    m_masks.clear();
    m_error.clear();
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        m_error = tr("not JSON: %1 at byte %2").arg(parseError.errorString()).arg(parseError.offset);
        return false;
    }
    const QJsonValue list = document.object().value(QStringLiteral("masks"));
    if (!document.isObject() || !list.isArray()) {
        m_error = tr("no list \"masks\" in the file");
        return false;
    }
    const QJsonArray masks = list.toArray();
    for (int m = 0; m < masks.size(); ++m) {
        const QJsonObject object = masks[m].toObject();
        const QJsonValue keyframes = object.value(QStringLiteral("keyframes"));
        if (!masks[m].isObject() || !keyframes.isArray() || keyframes.toArray().isEmpty()) {
            m_error = tr("mask %1 has no list \"keyframes\"").arg(m + 1);
            return false;
        }
        Mask mask;
        const QString mode = object.value(QStringLiteral("mode")).toString(QStringLiteral("blur"));
        if (mode == QLatin1String("pixelate")) {
            mask.mode = Mode::Pixelate;
        } else if (mode != QLatin1String("blur")) {
            m_error = tr(R"(mask %1: the mode is "blur" or "pixelate", not "%2")").arg(m + 1).arg(mode);
            return false;
        }
        const QJsonArray frames = keyframes.toArray();
        for (int k = 0; k < frames.size(); ++k) {
            const QJsonObject frame = frames[k].toObject();
            double values[5] = {};
            const char* const names[5] = {"t", "x", "y", "w", "h"};
            for (int i = 0; i < 5; ++i) {
                const QJsonValue value = frame.value(QLatin1String(names[i]));
                if (!value.isDouble() || !std::isfinite(value.toDouble())) {
                    m_error = tr("mask %1, keyframe %2: \"%3\" is missing or not a number")
                                  .arg(m + 1)
                                  .arg(k + 1)
                                  .arg(QLatin1String(names[i]));
                    return false;
                }
                values[i] = value.toDouble();
            }
            if (values[0] < 0.0 || values[3] <= 0.0 || values[4] <= 0.0) {
                m_error = tr("mask %1, keyframe %2: the time must not be negative, the width and height "
                             "must be positive")
                              .arg(m + 1)
                              .arg(k + 1);
                return false;
            }
            const auto px = [](double v) { return int(std::lround(std::clamp(v, -1e6, 1e6))); };
            mask.keyframes.append(
                {values[0], QRect(px(values[1]), px(values[2]), px(values[3]), px(values[4]))});
        }
        std::stable_sort(mask.keyframes.begin(), mask.keyframes.end(),
                         [](const Keyframe& a, const Keyframe& b) { return a.seconds < b.seconds; });
        m_masks.append(mask);
    }
    return true;
}

bool Masks::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_masks.clear();
        m_error = tr("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    if (read(file.readAll()))
        return true;
    m_error = QStringLiteral("%1: %2").arg(path, m_error);
    return false;
}

QByteArray Masks::toJson() const
{
    QJsonArray masks;
    for (const Mask& mask : m_masks) {
        QJsonArray keyframes;
        for (const Keyframe& key : mask.keyframes)
            keyframes.append(QJsonObject{{QStringLiteral("t"), key.seconds},
                                         {QStringLiteral("x"), key.rect.x()},
                                         {QStringLiteral("y"), key.rect.y()},
                                         {QStringLiteral("w"), key.rect.width()},
                                         {QStringLiteral("h"), key.rect.height()}});
        masks.append(QJsonObject{{QStringLiteral("mode"), modeName(mask.mode)},
                                 {QStringLiteral("keyframes"), keyframes}});
    }
    return QJsonDocument(QJsonObject{{QStringLiteral("masks"), masks}}).toJson(QJsonDocument::Compact);
}

bool Masks::save(const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toJson()) < 0 || !file.commit()) {
        m_error = tr("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool Masks::fits(const QSize& size)
{
    const QRect picture(QPoint(0, 0), size);
    for (int m = 0; m < m_masks.size(); ++m) {
        for (int k = 0; k < m_masks[m].keyframes.size(); ++k) {
            if (!picture.contains(m_masks[m].keyframes[k].rect)) {
                m_error = tr("mask %1, keyframe %2 lies outside the picture of %3 × %4 pixels")
                              .arg(m + 1)
                              .arg(k + 1)
                              .arg(size.width())
                              .arg(size.height());
                return false;
            }
        }
    }
    return true;
}

QRect Masks::rectAt(const Mask& mask, double seconds)
{
    if (mask.keyframes.isEmpty())
        return QRect();
    if (seconds <= mask.keyframes.front().seconds)
        return mask.keyframes.front().rect;
    for (int k = 1; k < mask.keyframes.size(); ++k) {
        const Keyframe& a = mask.keyframes[k - 1];
        const Keyframe& b = mask.keyframes[k];
        if (seconds > b.seconds)
            continue;
        const double f = b.seconds > a.seconds ? (seconds - a.seconds) / (b.seconds - a.seconds) : 1.0;
        const auto mix = [f](int from, int to) { return int(std::lround(from + (to - from) * f)); };
        return QRect(mix(a.rect.x(), b.rect.x()), mix(a.rect.y(), b.rect.y()),
                     mix(a.rect.width(), b.rect.width()), mix(a.rect.height(), b.rect.height()));
    }
    return mask.keyframes.back().rect;
}

Masks Masks::shifted(double seconds) const
{
    Masks result = *this;
    for (Mask& mask : result.m_masks)
        for (Keyframe& key : mask.keyframes)
            key.seconds -= seconds;
    return result;
}

void Masks::setKeyframe(int index, double seconds, const QRect& rect)
{
    if (index < 0 || index >= m_masks.size())
        return;
    QVector<Keyframe>& keys = m_masks[index].keyframes;
    for (Keyframe& key : keys) {
        if (std::abs(key.seconds - seconds) < 0.02) {
            key.rect = rect;
            return;
        }
    }
    const auto at = std::lower_bound(keys.begin(), keys.end(), seconds,
                                     [](const Keyframe& key, double t) { return key.seconds < t; });
    keys.insert(at, Keyframe{seconds, rect});
}

void Masks::removeKeyframe(int index, double seconds)
{
    if (index < 0 || index >= m_masks.size())
        return;
    QVector<Keyframe>& keys = m_masks[index].keyframes;
    keys.erase(
        std::remove_if(keys.begin(), keys.end(),
                       [seconds](const Keyframe& key) { return std::abs(key.seconds - seconds) < 0.02; }),
        keys.end());
    if (keys.isEmpty())
        m_masks.remove(index);
}

int Masks::maskAt(const QPoint& point, double seconds) const
{
    for (int i = int(m_masks.size()) - 1; i >= 0; --i) {
        if (rectAt(m_masks[i], seconds).contains(point))
            return i;
    }
    return -1;
}

void Masks::apply(AVFrame* frame, double seconds) const
{
    const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    if (!format || (format->flags & AV_PIX_FMT_FLAG_RGB) || format->nb_components < 3 ||
        !(format->flags & AV_PIX_FMT_FLAG_PLANAR))
        return;
    const QRect picture(0, 0, frame->width, frame->height);
    for (const Mask& mask : m_masks) {
        const QRect r = rectAt(mask, seconds) & picture;
        hide({frame->data[0], frame->linesize[0], 1}, r, mask.mode, 1.0);
        const int sx = format->log2_chroma_w;
        const int sy = format->log2_chroma_h;
        const QRect chroma(QPoint(r.left() >> sx, r.top() >> sy), QPoint(r.right() >> sx, r.bottom() >> sy));
        for (int p = 1; p <= 2; ++p)
            hide({frame->data[p], frame->linesize[p], 1}, chroma, mask.mode, 1.0 / (1 << sx));
    }
}

void Masks::apply(QImage& image, double seconds) const
{
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    for (const Mask& mask : m_masks) {
        const QRect r = rectAt(mask, seconds) & image.rect();
        hide({image.bits(), int(image.bytesPerLine()), 4}, r, mask.mode, 1.0);
    }
}
