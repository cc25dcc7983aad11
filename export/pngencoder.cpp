#include "pngencoder.h"

#include "avhandles.h"

extern "C" {
#include <libavutil/opt.h>
}

namespace PngEncoder {

QByteArray encode(const QImage& image)
{
    if (image.isNull())
        return QByteArray();
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const AVCodec* png = avcodec_find_encoder(AV_CODEC_ID_PNG);
    Av::Codec encoder(png ? avcodec_alloc_context3(png) : nullptr);
    if (!encoder)
        return QByteArray();
    encoder->width = rgb.width();
    encoder->height = rgb.height();
    encoder->pix_fmt = AV_PIX_FMT_RGB24;
    encoder->time_base = AVRational{1, 1};
    encoder->compression_level = 1;
    AVDictionary* options = nullptr;
    // Each row less the one above: cheap, and close to the adaptive choice on camera pictures.
    av_dict_set(&options, "pred", "up", 0);
    const int opened = avcodec_open2(encoder.get(), png, &options);
    av_dict_free(&options);
    if (opened < 0)
        return QByteArray();

    Av::Frame frame(av_frame_alloc());
    Av::Packet packet(av_packet_alloc());
    if (!frame || !packet)
        return QByteArray();
    frame->format = AV_PIX_FMT_RGB24;
    frame->width = rgb.width();
    frame->height = rgb.height();
    // The image's own rows; the encoder copies what it keeps.
    frame->data[0] = const_cast<uint8_t*>(rgb.constBits());
    frame->linesize[0] = int(rgb.bytesPerLine());
    frame->pts = 0;
    if (avcodec_send_frame(encoder.get(), frame.get()) < 0 ||
        avcodec_send_frame(encoder.get(), nullptr) < 0 ||
        avcodec_receive_packet(encoder.get(), packet.get()) < 0)
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(packet->data), packet->size);
}

} // namespace PngEncoder
