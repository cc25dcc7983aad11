"""A two-channel card as Thinkware cameras write it.

Each recording mode has its folder (cont_rec, evt_rec, parking_rec, ...); a video is named by
mode prefix, start and channel: "REC_20240501_090000_F.MP4". The front video carries its
positions as NMEA sentences in a QuickTime text track, one sample a second holding an RMC and a
GGA sentence; the rear video has no text track. The camera's clock is set to UTC here, so the
names and the sentences tell the same time.

The card: `minutes` of 3-second continuous recordings in consecutive pairs, an event pair inside
that drive (its sentences cover the same seconds), and a parking recording ten minutes after.
One second of the second continuous clip has damaged checksums: a reader must not take it.
"""

import datetime
import os
import shutil

import clips
import mp4tool
import qttext

CLIP_SECONDS = 3
START = datetime.datetime(2024, 5, 1, 9, 0, 0)
ORIGIN = (37.5665, 126.9780)
DAMAGED = (1, 1)  # (clip, second) whose sentences carry wrong checksums


def position(second):
    """Latitude, longitude, speed (km/h) and course `second` seconds into the drive."""
    speed = 30.0 + (second % 20)
    return ORIGIN[0] + second * 0.00011, ORIGIN[1] + second * 0.00017, speed, 52.0


def _dm(value, width):
    value = abs(value)
    degrees = int(value)
    return "%0*d%07.4f" % (width, degrees, (value - degrees) * 60)


def gga(when, lat, lon, altitude):
    body = "GPGGA,%s,%s,%s,%s,%s,1,08,0.9,%.1f,M,18.0,M,," % (
        when.strftime("%H%M%S.") + "%02d" % (when.microsecond // 10000),
        _dm(lat, 2), "N" if lat >= 0 else "S", _dm(lon, 3), "E" if lon >= 0 else "W", altitude)
    return mp4tool.nmea(body)


def _damage(sentence):
    wrong = "%02X" % (int(sentence[-2:], 16) ^ 0x5A)
    return sentence[:-2] + wrong


def texts(first_second, count, damaged=None, parked=False):
    """The text samples of `count` seconds from `first_second` into the drive."""
    out = []
    for i in range(count):
        second = first_second + i
        when = START + datetime.timedelta(seconds=second)
        lat, lon, speed, course = position(second)
        if parked:
            speed = 0.0
        lines = [mp4tool.rmc(when, lat, lon, speed, course), gga(when, lat, lon, 35.0 + second * 0.1)]
        if damaged == i:
            lines = [_damage(line) for line in lines]
        out.append(("\r\n".join(lines) + "\r\n").encode("ascii"))
    return out


def _name(prefix, when, channel):
    return "%s_%s_%s.MP4" % (prefix, when.strftime("%Y%m%d_%H%M%S"), channel)


def make(dir, minutes):
    written = []
    base = {}
    for channel, size in (("F", "320x180"), ("R", "320x180")):
        base[channel] = clips.clip(os.path.join(dir, ".base_%s.mp4" % channel), CLIP_SECONDS, size=size)

    def pair(folder, prefix, second, front_texts, channels=("F", "R")):
        os.makedirs(os.path.join(dir, folder), exist_ok=True)
        when = START + datetime.timedelta(seconds=second)
        for channel in channels:
            path = os.path.join(dir, folder, _name(prefix, when, channel))
            shutil.copyfile(base[channel], path)
            if channel == "F":
                qttext.add(path, front_texts)
            written.append(path)

    count = max(2, minutes * 60 // CLIP_SECONDS)
    for index in range(count):
        second = index * CLIP_SECONDS
        damaged = DAMAGED[1] if index == DAMAGED[0] else None
        pair("cont_rec", "REC", second, texts(second, CLIP_SECONDS, damaged))
    event = 2 * CLIP_SECONDS + 1
    pair("evt_rec", "EVT", event, texts(event, CLIP_SECONDS))
    parked = count * CLIP_SECONDS + 600
    pair("parking_rec", "PAK", parked, texts(parked, CLIP_SECONDS, parked=True), channels=("F",))

    for path in base.values():
        os.remove(path)
    return written
