"""A card of the blackvue family: "BlackVue/Record" holding "YYYYMMDD_HHMMSS_<type><channel>.mp4",
".gps" files of "[epoch ms]NMEA" lines and ".3gf" accelerometer files beside them, and the same
data inside the videos (a top-level "free" box holding "cprt", "ptnm", "gps " and "3gf " boxes).

Each clip stands for one camera segment but lasts 3 s, and the names follow 3 s apart, so the
segments form one continuous drive of front (F) and rear (R) videos sharing one
"YYYYMMDD_HHMMSS_N.gps". The second segment's sentences hold one with a wrong checksum, and its
rear video has a ".gps" of its own. The event video (E) keeps its sentences only inside itself;
the parking video (P) has no position data at all.
"""

import datetime
import os
import shutil
import struct
import tempfile

import clips
import mp4tool

CLIP_SECONDS = 3
START = datetime.datetime(2024, 5, 1, 9, 0, 0)
PARKING_START = datetime.datetime(2024, 5, 1, 10, 0, 0)
EPOCH = datetime.datetime(1970, 1, 1)


def gps_text(start, first_second, bad_second=None):
    """One $GPRMC a second along a drive to the north-east, each after the camera's clock in
    milliseconds since the epoch; the sentence of `bad_second` with a wrong checksum."""
    lines = []
    for i in range(CLIP_SECONDS):
        k = first_second + i
        when = start + datetime.timedelta(seconds=i)
        sentence = mp4tool.rmc(when, 48.7766 + k * 0.0001, 9.1827 + k * 0.00015, 45.0 + k, 45.0 + k)
        if i == bad_second:
            wrong = (int(sentence[-2:], 16) + 1) % 256
            sentence = sentence[:-2] + "%02X" % wrong
        lines.append("[%d]%s" % ((when - EPOCH) // datetime.timedelta(milliseconds=1), sentence))
    return ("\n".join(lines) + "\n").encode("ascii")


def accelerations():
    """Ten records a second: a 32-bit offset in milliseconds and three 16-bit axes, big-endian."""
    return b"".join(struct.pack(">Ihhh", i * 100, 128, 3, -5) for i in range(CLIP_SECONDS * 10))


def embed(path, name, text, accel):
    """The camera's own box at the end of the video; the text padded with zero bytes."""
    children = (mp4tool.box(b"cprt", b"Pittasoft Co., Ltd.;DR900S-2CH;1.0;English;") +
                mp4tool.box(b"ptnm", name.encode("ascii")) +
                mp4tool.box(b"gps ", text + b"\0" * 16) +
                mp4tool.box(b"3gf ", accel))
    mp4tool.append_boxes(path, mp4tool.box(b"free", children))


def make(dir, minutes):
    record = os.path.join(dir, "BlackVue", "Record")
    os.makedirs(record, exist_ok=True)
    written = []
    with tempfile.TemporaryDirectory() as tmp:
        base = clips.clip(os.path.join(tmp, "base.mp4"), CLIP_SECONDS)

        def video(name, text=None):
            path = os.path.join(record, name)
            shutil.copyfile(base, path)
            if text is not None:
                embed(path, name, text, accelerations())
            written.append(path)

        def sidecar(name, data):
            path = os.path.join(record, name)
            with open(path, "wb") as f:
                f.write(data)
            written.append(path)

        when = START
        for i in range(max(1, minutes)):
            stamp = when.strftime("%Y%m%d_%H%M%S")
            text = gps_text(when, i * CLIP_SECONDS, 1 if i == 1 else None)
            video(stamp + "_NF.mp4", text)
            video(stamp + "_NR.mp4", text)
            sidecar(stamp + "_N.gps", text)
            sidecar(stamp + "_N.3gf", accelerations())
            if i == 1:
                sidecar(stamp + "_NR.gps", gps_text(when, i * CLIP_SECONDS))
            when += datetime.timedelta(seconds=CLIP_SECONDS)

        video(when.strftime("%Y%m%d_%H%M%S") + "_EF.mp4", gps_text(when, max(1, minutes) * CLIP_SECONDS))
        video(PARKING_START.strftime("%Y%m%d_%H%M%S") + "_PF.mp4")
    return written
