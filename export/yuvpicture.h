#pragma once

#include "avhandles.h"

#include <QImage>
#include <QPoint>
#include <QRect>

// Pictures in the 4:2:0 YUV planes an overlay export encodes: panels drawn by Qt converted to
// them, pasted onto a picture, and other pictures scaled into a part of one.
namespace YuvPicture {

bool isYuv420(int format);
// Full-range (JPEG) levels, as some cameras record.
bool fullRange(const AVFrame* frame);
// The colour matrix a player assumes for the picture: what it says, else BT.709 from 720 lines
// on (as the stills read it).
int colourSpace(const AVFrame* frame);

// A new YUV 4:2:0 frame of `width` x `height` with the colour range of `like`; null when out of
// memory.
Av::Frame make(int width, int height, const AVFrame* like);
// Fills `rect` (even coordinates) of `frame` with black.
void fillBlack(AVFrame* frame, const QRect& rect);

// `image` converted to a YUV 4:2:0 frame in the colour matrix and range of `like`.
Av::Frame fromImage(const QImage& image, const AVFrame* like);
// Copies `picture` onto `frame` with its top left corner at `at` (even), clipped to the frame.
void paste(const AVFrame* picture, const QPoint& at, AVFrame* frame);
// Scales `source` (any format) into `rect` (even coordinates) of the YUV 4:2:0 `frame`; `scale`
// keeps the scaler between calls. False when the scaler cannot be made.
bool scaleInto(const AVFrame* source, AVFrame* frame, const QRect& rect, Av::Scale& scale);

} // namespace YuvPicture
