#pragma once

#include <QAbstractItemView>
#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QWidget>

#include <cmath>

// Legibility of rendered text, measured on the pixels: the contrast ratio of the sRGB colours
// (1:1 for equal colours, 21:1 for black on white; 4.5:1 is the usual minimum for text).
namespace Contrast {

inline double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

inline double ratio(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// The text contrast in `area` of `image`: its most frequent colour is the background, the text
// the pixel that differs most from it. Anti-aliased glyphs reach their full colour in the middle
// of their strokes, so this is the contrast of the text colour itself. 1.0 when there is nothing
// but background.
inline double textContrast(const QImage& image, const QRect& area)
{
    const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
    const QRect inside = area.intersected(pixels.rect());
    QHash<QRgb, int> counts;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            ++counts[pixels.pixel(x, y) & 0xffffff];
        }
    }
    QRgb background = 0;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        best = qMax(best, ratio(background, it.key()));
    }
    return best;
}

// The same for a widget as it renders itself (children included), in its own coordinates.
inline double widgetTextContrast(QWidget* widget, const QRect& area)
{
    return textContrast(widget->grab().toImage(), area);
}

// The text part of an item view's row (the icon left out).
inline QRect itemTextRect(const QAbstractItemView* view, const QModelIndex& index)
{
    const QRect rect = view->visualRect(index);
    const int icon = index.data(Qt::DecorationRole).isNull() ? 0 : view->iconSize().width() + 4;
    return rect.adjusted(icon + 2, 1, -1, -1);
}

} // namespace Contrast
