#pragma once

#include <QString>
#include <QtTest>

// Files made by scripts/make-test-media.
namespace TestMedia {

inline QString path(const char* name)
{
    return QStringLiteral(TARROW_TEST_MEDIA "/") + QLatin1String(name);
}

inline const char* const RunFirst = "001_0001_20240501120000.mp4";  // 3 s, 640x360
inline const char* const RunSecond = "001_0002_20240501120003.mp4"; // 2 s
inline const char* const RunThird = "001_0003_20240501120005.mp4";  // 4 s
inline const char* const FullHd = "002_0001_20240501130000.mp4";    // 2 s, 1920x1080
inline const char* const HevcHvc1 = "hevc_hvc1.mp4";                // 2 s, 640x360, H.265 stored as "hvc1"
inline const char* const HevcHev1 = "hevc_hev1.mp4";                // the same stored as "hev1"
inline const char* const Mpeg4 = "mpeg4.mp4";
inline const char* const AudioOnly = "audio_only.mp4";
inline const char* const Truncated = "truncated.mp4";
inline const char* const Empty = "empty.mp4";
inline const char* const Random = "random.mp4";
// The 3 s clip with a broken movie header (the engine would report weeks, 50 minutes and
// nothing); the tracks' own headers are intact.
inline const char* const LengthAllOnes = "length_all_ones.mp4";
inline const char* const TimescaleZero = "timescale_zero.mp4";
inline const char* const LengthZero = "length_zero.mp4";

// Data rows (file, expected error) for the files the engine's file check refuses.
inline void addBadFileRows()
{
    QTest::newRow("mpeg-4 part 2") << path(Mpeg4) << QStringLiteral("fourcc: [MP4V]");
    QTest::newRow("audio only") << path(AudioOnly) << QStringLiteral("no video track");
    QTest::newRow("no index") << path(Truncated) << QStringLiteral("track info not avaialble");
    QTest::newRow("empty") << path(Empty) << QStringLiteral("track info not avaialble");
    QTest::newRow("random bytes") << path(Random) << QStringLiteral("track info not avaialble");
    QTest::newRow("missing") << path("000_0000_20000101000000.mp4")
                             << QStringLiteral("track info not avaialble");
}

} // namespace TestMedia
