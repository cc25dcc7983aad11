#pragma once

#include "avhandles.h"
#include "channelpictures.h"
#include "tripitem.h"

#include <QCoreApplication>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <map>
#include <memory>
#include <vector>

// Composes a trip's channels into one picture of an overlay export, as the window shows them:
// picture-in-picture (the large channel fills the picture, the others small in the lower right
// corner, stacked upwards), side by side (a grid of cells of the video's shape, as wide as the
// trip's picture), or the large channel alone. Every channel shows the instant of the trip's
// own picture; a channel without a recording then shows a dark placeholder naming it.
class ChannelComposer
{
    Q_DECLARE_TR_FUNCTIONS(ChannelComposer)
public:
    enum class Layout
    {
        PictureInPicture,
        SideBySide,
        MainOnly
    };
    // "pip", "side" or "main", the words the settings and the command line use.
    static bool parseLayout(const QString& text, Layout& layout);

    // `order`: the channels shown, the large one first; names as the trip's recordings give
    // them. The trip's own channel is the first file's.
    ChannelComposer(Trip::TripList trip, Layout layout, QStringList order);

    // How a channel is named in its placeholder; the name itself without it.
    void setLabels(std::function<QString(const QString&)> label) { m_label = std::move(label); }

    // The composed picture's size where the trip's own pictures have `picture` size.
    QSize canvasSize(const QSize& picture) const;
    // Where each channel of the order goes on a canvas; small pictures stay above the lowest
    // `reservedBottom` pixels (the data band and the map).
    std::vector<QRect> cells(const QSize& canvas, int reservedBottom) const;

    // Composes onto `canvas` (YUV 4:2:0) the channels at the instant of `own`, the trip's picture
    // of item `index` at `inFileMs` from that file's first picture. False when out of memory.
    bool compose(const AVFrame* own, int index, qint64 inFileMs, AVFrame* canvas, int reservedBottom);

private:
    const AVFrame* pictureOf(const QString& channel, const AVFrame* own, int index, qint64 inFileMs);
    const AVFrame* placeholder(const QString& channel, const QSize& size, const AVFrame* like);
    qint64 videoStart(const QString& file);

    Trip::TripList m_trip;
    Layout m_layout;
    QStringList m_order;
    QString m_own;
    std::function<QString(const QString&)> m_label;
    std::map<QString, std::unique_ptr<ChannelPictures>> m_readers;
    std::map<QString, qint64> m_videoStarts;
    std::vector<Av::Scale> m_scalers; // one per cell
    struct Placeholder
    {
        QSize size;
        Av::Frame picture;
    };
    std::map<QString, Placeholder> m_placeholders;
};
