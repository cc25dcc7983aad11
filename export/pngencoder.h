#pragma once

#include <QByteArray>
#include <QImage>

// PNG files of stills written by FFmpeg's encoder with a cheap row filter and the fastest
// compression: a 4K still in a fraction of the time the general-purpose writer takes, whose
// adaptive filter tries five filters on every row.
namespace PngEncoder {

// The PNG of `image` (any format; written as 8-bit RGB); empty when the encoder fails.
QByteArray encode(const QImage& image);

} // namespace PngEncoder
