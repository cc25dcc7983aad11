#pragma once

#include "telemetry.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace Camera {

// Reads positions from GPMF telemetry: the KLV payloads of an MP4's "gpmd" metadata track,
// one payload per track sample. Every length is checked against the bytes that hold it and
// nests are walked without recursion, so a damaged payload ends its reading early, never reads
// beyond its bytes and never loops.
class Gpmf
{
public:
    Gpmf() = delete;

    // Deepest nest walked; cameras write three levels.
    static constexpr int MaxDepth = 16;
    // Largest payload read; cameras write a few kilobytes a second.
    static constexpr qint64 MaxPayload = 8 * 1024 * 1024;
    // Most positions kept of one file: more than a day at 18 Hz.
    static constexpr std::size_t MaxSamples = 2000000;

    // One payload and where it lies on the track's time line.
    struct Payload
    {
        QByteArray data;
        qint64 startMs = 0;
        qint64 durationMs = 0;
    };

    // Appends the positions with a fix of one payload to `samples` (and, when given, the track
    // time of each to `trackMs`). Returns why the payload was not read whole; empty when all
    // went well. A payload without a fix is no fault.
    static QString parse(const Payload& payload, std::vector<TelemetrySample>& samples,
                         std::vector<qint64>* trackMs = nullptr);

    // The positions of a video's "gpmd" track.
    static Telemetry read(const QString& videoFile);
    // UTC milliseconds of the track's start, from its first position with a fix; -1 when none.
    static qint64 startUtcMs(const QString& videoFile);
};

} // namespace Camera
