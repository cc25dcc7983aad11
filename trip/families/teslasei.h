#pragma once

#include "telemetry.h"

#include <QByteArray>
#include <QDateTime>

#include <vector>

namespace Camera {

// Reads the car's state that newer firmware of one car maker writes into the H.264 stream of its
// camera videos: an SEI NAL unit before a frame's first slice, holding a "user data unregistered"
// message whose payload is a run of 0x42 bytes, the byte 0x69 and a protobuf message.
class TeslaSei
{
public:
    TeslaSei() = delete;

    // The fields of one message that give a position; proto3 leaves zero values out, so a field
    // not written is zero.
    struct Metadata
    {
        double latitude = 0;
        double longitude = 0;
        double heading = 0;       // degrees
        double speed = 0;         // m/s
        double accelerationX = 0; // m/s^2
        double accelerationY = 0;
        bool hasPosition() const;
    };

    enum class Decoded
    {
        Foreign, // another party's user data
        Damaged,
        Ok
    };

    // Most bytes of one SEI NAL unit read; the car writes about a hundred.
    static constexpr int MaxSeiSize = 64 * 1024;
    // Most NAL units looked at before a frame's first slice.
    static constexpr int MaxUnitsPerSample = 64;

    // Positions of a video, read from at most one frame a second (the first frame at or after
    // each whole second), timed from `start`, the wall clock at the first frame. Only the movie
    // box and the first NAL units of those frames are read. `durationMs` gets the video track's
    // length, or 0 when there is none.
    static Telemetry read(const QString& videoFile, const QDateTime& start, qint64* durationMs = nullptr);

    // An SEI NAL unit (its header byte first, emulation prevention bytes in place): the payloads
    // of its user data unregistered messages. `damaged` is set when a message runs past the unit.
    static std::vector<QByteArray> userData(const QByteArray& nal, bool& damaged);
    // One user data payload: the car's message, decoded.
    static Decoded decode(const QByteArray& payload, Metadata& out);
    // A NAL unit's bytes without its emulation prevention bytes (00 00 03 -> 00 00).
    static QByteArray unescape(const QByteArray& bytes);
};

} // namespace Camera
