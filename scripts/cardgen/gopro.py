"""Action-camera card: chaptered recordings with GPMF telemetry in a metadata track.

    DCIM/100GOPRO/GX010001.MP4  recording 0001, chapter 1 (GPS5 positions, accelerometer)
    DCIM/100GOPRO/GX020001.MP4  recording 0001, chapter 2 (GPS5 positions, accelerometer)
    DCIM/100GOPRO/GH010002.MP4  recording 0002 (GPS9 positions, a fix per sample)
    DCIM/101GOPRO/GOPR0003.MP4  recording 0003 of an older model, first part (no telemetry)
    DCIM/101GOPRO/GP010003.MP4  recording 0003, second part

Names carry no time: the movie header holds the camera's clock (its wall clock, written as it
is, with no zone; here two hours ahead of UTC) at the recording's start, in every chapter. Telemetry is GPMF (KLV: four-character key,
type, structure size, repeat, values big-endian and padded to 32 bits), one payload per second
in a "meta" track whose sample entry is "gpmd". The first payload of recording 0001 has no fix
yet, and the first samples of recording 0002 carry fix 0: readers must leave them out.
"""

import datetime
import math
import os
import struct

import clips
import mp4tool

CLIP_SECONDS = 3
GPS5_HZ = 18
GPS9_HZ = 10
ACCL_HZ = 200
WALL_CLOCK_AHEAD = datetime.timedelta(hours=2)
EPOCH_1904 = datetime.datetime(1904, 1, 1)
# UTC start of each recording.
RECORDING_1 = datetime.datetime(2024, 5, 1, 10, 0, 0, 150000)
RECORDING_2 = datetime.datetime(2024, 5, 1, 10, 5, 0, 400000)
RECORDING_3 = datetime.datetime(2024, 5, 1, 11, 0, 0)


def klv(key, kind, size, values_bytes, repeat):
    """One KLV: key, type character (b"\\0" for nested), structure size, repeat, padded value."""
    assert len(key) == 4 and len(values_bytes) == size * repeat
    pad = (-len(values_bytes)) % 4
    return key + kind + struct.pack(">BH", size, repeat) + values_bytes + b"\0" * pad


def nest(key, children):
    data = b"".join(children)
    # A nest's size and repeat describe its bytes as 4-byte units.
    return klv(key, b"\0", 4, data, len(data) // 4)


def text(key, value):
    raw = value.encode("latin-1")
    return klv(key, b"c", 1, raw, len(raw))


def u32(key, value):
    return klv(key, b"L", 4, struct.pack(">I", value), 1)


def gpsu(when):
    """UTC date and time as "yymmddhhmmss.sss"."""
    raw = when.strftime("%y%m%d%H%M%S.") + "%03d" % (when.microsecond // 1000)
    return klv(b"GPSU", b"U", 16, raw.encode("ascii"), 1)


def position(seconds, recording):
    """A drive along a gentle curve: degrees, metres, m/s (2D and 3D)."""
    lat = 48.1351 + 0.0004 * recording + 0.00012 * seconds + 0.000001 * math.sin(seconds)
    lon = 11.5820 - 0.0003 * recording + 0.00017 * seconds
    alt = 520.0 + 0.8 * seconds
    speed = 13.5 + 0.25 * seconds + 0.1 * math.cos(3 * seconds)
    return lat, lon, alt, speed, speed + 0.03


def accl_stream(second):
    """200 Hz accelerometer, axes named in the stream name: up, right, forward."""
    scale = 418
    samples = []
    for i in range(ACCL_HZ):
        t = second + i / ACCL_HZ
        up, right, forward = 9.81 + 0.05 * math.sin(40 * t), 0.4 * math.sin(t), 1.2 + 0.1 * t
        samples.append(struct.pack(">hhh", *(round(v * scale) for v in (up, right, forward))))
    return nest(b"STRM", [
        u32(b"TSMP", ACCL_HZ * (second + 1)),
        text(b"STNM", "Accelerometer (up/down, right/left, forward/back)"),
        text(b"SIUN", "m/s\xb2"),
        klv(b"SCAL", b"s", 2, struct.pack(">h", scale), 1),
        klv(b"ACCL", b"s", 6, b"".join(samples), ACCL_HZ),
    ])


def gps5_payload(utc, second, recording, fix):
    scales = (10000000, 10000000, 1000, 1000, 100)
    samples = []
    for i in range(GPS5_HZ):
        values = position(second + i / GPS5_HZ, recording)
        samples.append(struct.pack(">5i", *(round(v * s) for v, s in zip(values, scales))))
    gps = nest(b"STRM", [
        u32(b"TSMP", GPS5_HZ * (second + 1)),
        text(b"STNM", "GPS (Lat., Long., Alt., 2D speed, 3D speed)"),
        u32(b"GPSF", fix),
        gpsu(utc),
        klv(b"GPSP", b"S", 2, struct.pack(">H", 150), 1),
        klv(b"UNIT", b"c", 3, b"degdegm\0\0m/sm/s", 5),
        klv(b"SCAL", b"l", 4, struct.pack(">5i", *scales), 5),
        klv(b"GPS5", b"l", 20, b"".join(samples), GPS5_HZ),
    ])
    return device([accl_stream(second), gps])


def gps9_payload(utc, second, recording):
    scales = (10000000, 10000000, 1000, 1000, 100, 1, 1000, 100, 1)
    samples = []
    for i in range(GPS9_HZ):
        when = utc + datetime.timedelta(seconds=i / GPS9_HZ)
        days = (when.date() - datetime.date(2000, 1, 1)).days
        midnight = datetime.datetime.combine(when.date(), datetime.time())
        secs = (when - midnight).total_seconds()
        fix = 0 if second == 0 and i < 3 else 3
        lat, lon, alt, speed2d, speed3d = position(second + i / GPS9_HZ, recording)
        ints = [round(v * s) for v, s in zip((lat, lon, alt, speed2d, speed3d, days, secs), scales)]
        samples.append(struct.pack(">7i", *ints) + struct.pack(">HH", 120, fix))
    gps = nest(b"STRM", [
        u32(b"TSMP", GPS9_HZ * (second + 1)),
        text(b"STNM", "GPS (Lat., Long., Alt., 2D, 3D, days, secs, DOP, fix)"),
        text(b"TYPE", "lllllllSS"),
        klv(b"SCAL", b"l", 4, struct.pack(">9i", *scales), 9),
        klv(b"GPS9", b"?", 32, b"".join(samples), GPS9_HZ),
    ])
    return device([gps])


def device(streams):
    return nest(b"DEVC", [u32(b"DVID", 1), text(b"DVNM", "Camera")] + streams)


def sample_entry():
    # A plain sample entry: six reserved bytes and the data reference index.
    return mp4tool.box(b"gpmd", b"\0" * 6 + struct.pack(">H", 1))


def seconds_1904(wall_clock):
    return int((wall_clock - EPOCH_1904).total_seconds())


def chapter(path, utc_start, recording, first_second, gps9, with_telemetry=True, recording_start=None):
    clips.clip(path, CLIP_SECONDS, audio=False)
    if with_telemetry:
        payloads = []
        for k in range(CLIP_SECONDS):
            second = first_second + k
            utc = utc_start + datetime.timedelta(seconds=k)
            if gps9:
                payloads.append(gps9_payload(utc, second, recording))
            else:
                payloads.append(gps5_payload(utc, second, recording, 0 if second == 0 else 3))
        mp4tool.add_track(path, b"meta", sample_entry(), payloads, [1000] * len(payloads), 1000,
                          handler_name=b"GPMF telemetry")
    # The camera's clock, whole seconds, at the recording's start: later chapters do not say where
    # they begin, readers find it from the chapters before.
    mp4tool.set_creation_time(path, seconds_1904((recording_start or utc_start) + WALL_CLOCK_AHEAD))
    return path


def make(dir, minutes):
    """The card's files. Chapters are short clips whatever `minutes` says."""
    del minutes
    folder = os.path.join(dir, "DCIM", "100GOPRO")
    older = os.path.join(dir, "DCIM", "101GOPRO")
    os.makedirs(folder, exist_ok=True)
    os.makedirs(older, exist_ok=True)
    second_chapter = RECORDING_1 + datetime.timedelta(seconds=CLIP_SECONDS)
    return [
        chapter(os.path.join(folder, "GX010001.MP4"), RECORDING_1, 0, 0, gps9=False),
        chapter(os.path.join(folder, "GX020001.MP4"), second_chapter, 0, CLIP_SECONDS, gps9=False,
                recording_start=RECORDING_1),
        chapter(os.path.join(folder, "GH010002.MP4"), RECORDING_2, 1, 0, gps9=True),
        chapter(os.path.join(older, "GOPR0003.MP4"), RECORDING_3, 2, 0, False, with_telemetry=False),
        chapter(os.path.join(older, "GP010003.MP4"), RECORDING_3 + datetime.timedelta(seconds=CLIP_SECONDS),
                2, CLIP_SECONDS, False, with_telemetry=False, recording_start=RECORDING_3),
    ]
