"""A card as Garmin dash cameras write it.

Videos lie in numbered DCF folders below DCIM, one per kind: 105UNSVD (unsaved, overwritten in
turn), 100EVENT (incidents), 101SAVED (saved by the user), 104PARKM (parked). Names carry a
number only ("GRMN0001.MP4"); the start is the movie header's creation time, in UTC. Positions
are binary "PNDM" records in a QuickTime text track, one sample a second: "PNDM", four unknown
bytes, speed in km/h (signed 16 bits), two bytes of flags, then latitude and longitude as signed
32-bit semicircles (180/2^31 degrees), all big-endian.

The card: `minutes` of 3-second unsaved clips with consecutive creation times, an event and a
saved clip inside that drive, and a parked clip ten minutes after. One second of the second
unsaved clip has no fix (both coordinates -2^31): a reader must not take it as a position.
"""

import datetime
import os
import shutil
import struct

import clips
import mp4tool
import qttext

CLIP_SECONDS = 3
START = datetime.datetime(2024, 5, 1, 9, 0, 0)  # UTC
ORIGIN = (47.6062, -122.3321)
NO_FIX = (1, 2)  # (clip, second) without a fix
EPOCH_1904 = datetime.datetime(1904, 1, 1)


def position(second):
    """Latitude, longitude and speed (whole km/h) `second` seconds into the drive."""
    return ORIGIN[0] + second * 0.00012, ORIGIN[1] - second * 0.00019, 40 + (second % 25)


def semicircles(degrees):
    return int(round(degrees * 2 ** 31 / 180.0))


def record(lat, lon, speed, event=False, fix=True):
    if fix:
        lat, lon = semicircles(lat), semicircles(lon)
    else:
        lat = lon = -2 ** 31
    return b"PNDM" + b"\0" * 4 + struct.pack(">hBBii", speed, 1, 1 if event else 0, lat, lon)


def records(first_second, count, event=False, no_fix=None, parked=False):
    out = []
    for i in range(count):
        lat, lon, speed = position(first_second + i)
        out.append(record(lat, lon, 0 if parked else speed, event, fix=no_fix != i))
    return out


def make(dir, minutes):
    written = []
    base = clips.clip(os.path.join(dir, ".base.mp4"), CLIP_SECONDS)
    number = [0]

    def video(folder, second, texts):
        os.makedirs(os.path.join(dir, "DCIM", folder), exist_ok=True)
        number[0] += 1
        path = os.path.join(dir, "DCIM", folder, "GRMN%04d.MP4" % number[0])
        shutil.copyfile(base, path)
        qttext.add(path, texts)
        when = START + datetime.timedelta(seconds=second)
        mp4tool.set_creation_time(path, int((when - EPOCH_1904).total_seconds()))
        written.append(path)

    count = max(2, minutes * 60 // CLIP_SECONDS)
    for index in range(count):
        second = index * CLIP_SECONDS
        video("105UNSVD", second, records(second, CLIP_SECONDS, no_fix=NO_FIX[1] if index == NO_FIX[0] else None))
    event = 2 * CLIP_SECONDS + 1
    video("100EVENT", event, records(event, CLIP_SECONDS, event=True))
    saved = 5 * CLIP_SECONDS
    video("101SAVED", saved, records(saved, CLIP_SECONDS))
    parked = count * CLIP_SECONDS + 600
    video("104PARKM", parked, records(parked, CLIP_SECONDS, parked=True))

    os.remove(base)
    return written
