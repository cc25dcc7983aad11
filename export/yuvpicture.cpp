#include "yuvpicture.h"

extern "C" {
#include <libavutil/imgutils.h>
}

#include <cstring>

namespace YuvPicture {

bool isYuv420(int format)
{
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

bool fullRange(const AVFrame* frame)
{
    return frame->color_range == AVCOL_RANGE_JPEG || frame->format == AV_PIX_FMT_YUVJ420P;
}

int colourSpace(const AVFrame* frame)
{
    if (frame->colorspace == AVCOL_SPC_BT709 ||
        (frame->colorspace == AVCOL_SPC_UNSPECIFIED && frame->height >= 720))
        return SWS_CS_ITU709;
    return SWS_CS_DEFAULT;
}

Av::Frame make(int width, int height, const AVFrame* like)
{
    Av::Frame frame(av_frame_alloc());
    if (!frame)
        return frame;
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    frame->color_range = fullRange(like) ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    frame->colorspace = like->colorspace;
    frame->color_primaries = like->color_primaries;
    frame->color_trc = like->color_trc;
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        frame.reset();
    return frame;
}

void fillBlack(AVFrame* frame, const QRect& rect)
{
    const QRect r = rect & QRect(0, 0, frame->width, frame->height);
    if (r.isEmpty())
        return;
    const int black = fullRange(frame) ? 0 : 16;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int width = AV_CEIL_RSHIFT(r.width(), shift);
        const int top = r.top() >> shift;
        const int rows = AV_CEIL_RSHIFT(r.height(), shift);
        for (int row = 0; row < rows; ++row)
            std::memset(frame->data[p] + std::ptrdiff_t(top + row) * frame->linesize[p] + (r.left() >> shift),
                        p == 0 ? black : 128, std::size_t(width));
    }
}

Av::Frame fromImage(const QImage& image, const AVFrame* like)
{
    Av::Frame yuv = make(image.width(), image.height(), like);
    if (!yuv)
        return yuv;
    const QImage rgb = image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
                           ? image
                           : image.convertToFormat(QImage::Format_RGB32);
    Av::Scale scale(sws_getContext(rgb.width(), rgb.height(), AV_PIX_FMT_RGB32, rgb.width(), rgb.height(),
                                   AV_PIX_FMT_YUV420P, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr,
                                   nullptr));
    if (!scale)
        return Av::Frame();
    const int* coefficients = sws_getCoefficients(colourSpace(like));
    sws_setColorspaceDetails(scale.get(), coefficients, 1, coefficients, fullRange(like) ? 1 : 0, 0, 1 << 16,
                             1 << 16);
    const uint8_t* planes[4] = {rgb.constBits(), nullptr, nullptr, nullptr};
    const int strides[4] = {int(rgb.bytesPerLine()), 0, 0, 0};
    sws_scale(scale.get(), planes, strides, 0, rgb.height(), yuv->data, yuv->linesize);
    return yuv;
}

void paste(const AVFrame* picture, const QPoint& at, AVFrame* frame)
{
    const QRect r =
        QRect(at, QSize(picture->width, picture->height)) & QRect(0, 0, frame->width, frame->height);
    if (r.isEmpty())
        return;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int x = r.left() >> shift;
        const int fromX = (r.left() - at.x()) >> shift;
        const int fromY = (r.top() - at.y()) >> shift;
        const int width = AV_CEIL_RSHIFT(r.width(), shift);
        const int top = r.top() >> shift;
        const int rows = AV_CEIL_RSHIFT(r.height(), shift);
        for (int row = 0; row < rows; ++row)
            std::memcpy(frame->data[p] + std::ptrdiff_t(top + row) * frame->linesize[p] + x,
                        picture->data[p] + std::ptrdiff_t(fromY + row) * picture->linesize[p] + fromX,
                        std::size_t(width));
    }
}

bool scaleInto(const AVFrame* source, AVFrame* frame, const QRect& rect, Av::Scale& scale)
{
    const QRect r = rect & QRect(0, 0, frame->width, frame->height);
    if (r.width() < 2 || r.height() < 2)
        return true;
    scale.reset(sws_getCachedContext(scale.release(), source->width, source->height,
                                     AVPixelFormat(source->format), r.width(), r.height(), AV_PIX_FMT_YUV420P,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale)
        return false;
    const int* from = sws_getCoefficients(colourSpace(source));
    const int* to = sws_getCoefficients(colourSpace(frame));
    sws_setColorspaceDetails(scale.get(), from, fullRange(source) ? 1 : 0, to, fullRange(frame) ? 1 : 0, 0,
                             1 << 16, 1 << 16);
    uint8_t* planes[4] = {};
    int strides[4] = {};
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        planes[p] =
            frame->data[p] + std::ptrdiff_t(r.top() >> shift) * frame->linesize[p] + (r.left() >> shift);
        strides[p] = frame->linesize[p];
    }
    sws_scale(scale.get(), source->data, source->linesize, 0, source->height, planes, strides);
    return true;
}

} // namespace YuvPicture
