#pragma once

#include "avcconfig.h"
#include "avhandles.h"

#include <QString>

#include <functional>
#include <vector>

// Re-encodes the pictures of a clip that come before its first copied key frame, so that the
// clip starts with the picture shown at its start instead of at the key frame before it. The
// pictures are decoded from the key frame before the start and encoded as H.264 of the same
// size, pixel format, colours, time base and reordering depth. The encoder's parameter sets take
// an id the recording's do not use: both sets go into the track's decoder configuration, and the
// copied pictures after the re-encoded ones stay bit for bit as recorded.
class CutEncoder
{
public:
    // `source`: the recorded H.264 stream; `frameRate` its frame rate, if known.
    CutEncoder(const AVStream* source, AVRational frameRate);

    // Whether the stream can be re-encoded so; otherwise false with the reason in errorString().
    bool canJoin();
    // Decodes `packets` (a key frame and the packets after it up to the next key frame, in
    // decoding order) and encodes the pictures shown from `fromPts` to `toPts`, both included,
    // in the source's time base. `progress` is told the time of each encoded picture and stops
    // the work by returning false.
    bool encode(const std::vector<Av::Packet>& packets, int64_t fromPts, int64_t toPts,
                const std::function<bool(int64_t)>& progress);

    // The encoded pictures in decoding order as MP4 samples (NAL units after 4-byte lengths),
    // with their times and duration in the source's time base; the first is a key frame.
    std::vector<Av::Packet>& packets() { return m_packets; }
    // The recording's decoder configuration with the encoder's parameter sets added.
    QByteArray extradata() const { return m_config.record(); }
    QString errorString() const { return m_error; }

private:
    // `reorder`: how many pictures the recording's decoder holds back to reorder them.
    bool openEncoder(const AVFrame* frame, int reorder);
    // Passes a picture to the encoder (null to drain it) and collects what it returns.
    bool encodeFrame(AVFrame* frame);

    const AVStream* m_source = nullptr;
    AVRational m_frameRate{0, 1};
    AvcConfig m_config;
    int m_id = -1;
    Av::Codec m_encoder;
    std::vector<Av::Packet> m_packets;
    std::vector<std::pair<int64_t, int64_t>> m_durations; // picture time -> duration
    QString m_error;
};
