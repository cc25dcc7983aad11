"""A card of the novatek family: "DCIM/Movie" (normal), "DCIM/Movie/RO" (protected) and
"DCIM/Movie/Parking", videos named "YYYY_MMDD_HHMMSS_NNNN[F|R].MP4", positions in "freeGPS"
blocks inside the videos.

Each clip stands for one camera segment but lasts 3 s, and the names follow 3 s apart, so the
segments form one continuous drive. Front videos keep their blocks inside the media data, listed
by a "gps " box in the movie box (the layout other readers know); rear videos keep them as
top-level "free" boxes. The second front video holds one block without a fix ('V'); the parking
video has a name without underscores in the date and without a channel letter.
"""

import datetime
import os
import shutil
import struct
import tempfile

import clips
import mp4tool

BLOCK_SIZE = 0x8000
CLIP_SECONDS = 3
START = datetime.datetime(2024, 5, 1, 9, 0, 0)
PARKING_START = datetime.datetime(2024, 5, 1, 10, 0, 0)


def nmea_degrees(value):
    """Degrees as "ddmm.mmmm" (a number)."""
    value = abs(value)
    whole = int(value)
    return whole * 100 + (value - whole) * 60


def block(when, lat, lon, knots, bearing, status=b"A"):
    """One block of BLOCK_SIZE bytes: size, "freeGPS ", time, fix, position, speed, bearing."""
    body = (b"freeGPS " + struct.pack("<I", 76) + b"\0" * 32 +
            struct.pack("<6I", when.hour, when.minute, when.second, when.year - 2000, when.month, when.day) +
            status + (b"N" if lat >= 0 else b"S") + (b"E" if lon >= 0 else b"W") + b"\0" +
            struct.pack("<4f", nmea_degrees(lat), nmea_degrees(lon), knots, bearing))
    data = struct.pack(">I", BLOCK_SIZE) + body
    return data + b"\0" * (BLOCK_SIZE - len(data))


def drive_blocks(start, first_second, bad_second=None):
    """The blocks of one clip: one a second along a drive to the north-east."""
    out = []
    for i in range(CLIP_SECONDS):
        k = first_second + i
        out.append(block(start + datetime.timedelta(seconds=i), 48.7766 + k * 0.0001, 9.1827 + k * 0.00015,
                         25.0 + k * 0.5, 45.0 + k, b"V" if i == bad_second else b"A"))
    return out


def parked_blocks(start):
    return [block(start + datetime.timedelta(seconds=i), 48.7801, 9.1901, 0.0, 0.0) for i in range(CLIP_SECONDS)]


def embed_indexed(path, blocks):
    """Puts the blocks at the end of the media data and lists them in a "gps " box in the movie
    box (a version and a count, then offset and size of each block)."""
    with open(path, "rb") as f:
        data = f.read()
    mdat_at, mdat_header, mdat_size = mp4tool.find(data, b"mdat")
    moov_at, moov_header, moov_size = mp4tool.find(data, b"moov")
    if mdat_header != 8 or mdat_at + mdat_size != moov_at or moov_at + moov_size != len(data):
        raise ValueError("expected the media data just before the movie box, which ends the file")
    blob = b"".join(blocks)
    places = b"".join(struct.pack(">II", moov_at + i * BLOCK_SIZE, BLOCK_SIZE) for i in range(len(blocks)))
    index = mp4tool.box(b"gps ", struct.pack(">II", 1, len(blocks)) + places)
    moov = mp4tool.box(b"moov", data[moov_at + moov_header:] + index)
    with open(path, "wb") as f:
        f.write(data[:mdat_at] + struct.pack(">I", mdat_size + len(blob)) + data[mdat_at + 4:moov_at] + blob +
                moov)


def embed_top_level(path, blocks):
    mp4tool.insert_before_moov(path, b"".join(blocks))


def make(dir, minutes):
    movie = os.path.join(dir, "DCIM", "Movie")
    for folder in (movie, os.path.join(movie, "RO"), os.path.join(movie, "Parking")):
        os.makedirs(folder, exist_ok=True)
    written = []
    with tempfile.TemporaryDirectory() as tmp:
        base = clips.clip(os.path.join(tmp, "base.mp4"), CLIP_SECONDS)

        def video(folder, name, blocks, embed):
            path = os.path.join(folder, name)
            shutil.copyfile(base, path)
            embed(path, blocks)
            written.append(path)

        when = START
        sequence = 1
        for i in range(max(1, minutes)):
            stamp = when.strftime("%Y_%m%d_%H%M%S")
            second = i * CLIP_SECONDS
            video(movie, "%s_%04dF.MP4" % (stamp, sequence), drive_blocks(when, second, 1 if i == 1 else None),
                  embed_indexed)
            video(movie, "%s_%04dR.MP4" % (stamp, sequence), drive_blocks(when, second), embed_top_level)
            when += datetime.timedelta(seconds=CLIP_SECONDS)
            sequence += 1

        # The driver protected the segment that follows.
        video(os.path.join(movie, "RO"), "%s_%04dF.MP4" % (when.strftime("%Y_%m%d_%H%M%S"), sequence),
              drive_blocks(when, max(1, minutes) * CLIP_SECONDS), embed_indexed)
        sequence += 1
        video(os.path.join(movie, "Parking"), "%s_%04d.MP4" % (PARKING_START.strftime("%Y%m%d%H%M%S"), sequence),
              parked_blocks(PARKING_START), embed_indexed)
    return written
