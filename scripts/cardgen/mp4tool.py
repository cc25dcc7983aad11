"""Small MP4 (ISO base media) writing helpers for the test-card generators.

Videos come from ffmpeg; these helpers add what cameras add after it: top-level boxes
("free"/"gps " blocks) and extra tracks (text or metadata samples) appended behind the
existing media data, so the video and sound tracks stay byte for byte as ffmpeg wrote them.
"""

import struct


def box(kind, payload):
    """One box: 32-bit size, four-character type, payload."""
    assert len(kind) == 4
    return struct.pack(">I", 8 + len(payload)) + kind + payload


def full_box(kind, version, flags, payload):
    return box(kind, struct.pack(">I", (version << 24) | flags) + payload)


def boxes(data, start=0, end=None):
    """(type, offset, header size, total size) of the boxes in data[start:end]."""
    end = len(data) if end is None else end
    at = start
    out = []
    while at + 8 <= end:
        size, kind = struct.unpack(">I4s", data[at:at + 8])
        header = 8
        if size == 1:
            size = struct.unpack(">Q", data[at + 8:at + 16])[0]
            header = 16
        elif size == 0:
            size = end - at
        out.append((kind, at, header, size))
        at += size
    return out


def find(data, kind, start=0, end=None):
    for k, offset, header, size in boxes(data, start, end):
        if k == kind:
            return offset, header, size
    raise KeyError(kind)


def append_boxes(path, extra):
    """Appends top-level boxes (bytes) to the end of an MP4 file."""
    with open(path, "ab") as f:
        f.write(extra)


def insert_before_moov(path, extra):
    """Puts top-level boxes between the media data and the movie box, shifting nothing that
    the movie box points at (ffmpeg writes the movie box last)."""
    with open(path, "rb") as f:
        data = f.read()
    offset, _, size = find(data, b"moov")
    if offset + size != len(data):
        raise ValueError("moov is not the last box")
    with open(path, "wb") as f:
        f.write(data[:offset] + extra + data[offset:])
    # The movie box moved behind `extra`; chunk offsets point before it and are unchanged.


def add_track(path, handler, sample_entry, samples, durations, timescale, media_header=None,
              handler_name=b"", track_flags=3):
    """Adds a track to an MP4 whose movie box is the last box.

    sample_entry: the whole sample entry box (bytes), e.g. box(b"gpmd", reserved + index + ...).
    samples: list of bytes, each one sample; durations: list of ints in `timescale` units.
    media_header: the minf's header box (nmhd/gmhd/sthd); a null media header when None.
    """
    with open(path, "rb") as f:
        data = f.read()
    moov_at, moov_header, moov_size = find(data, b"moov")
    if moov_at + moov_size != len(data):
        raise ValueError("moov is not the last box")
    head = data[:moov_at]
    moov = data[moov_at + moov_header:moov_at + moov_size]

    # The samples go into a media data box where the movie box was.
    mdat_payload = b"".join(samples)
    mdat = box(b"mdat", mdat_payload)
    first = moov_at + 8
    offsets = []
    at = first
    for s in samples:
        offsets.append(at)
        at += len(s)

    # The next track id, from the movie header.
    mvhd_at, mvhd_header, mvhd_size = find(moov, b"mvhd")
    mvhd = bytearray(moov[mvhd_at:mvhd_at + mvhd_size])
    version = mvhd[mvhd_header]
    movie_timescale_at = mvhd_header + 4 + (16 if version == 1 else 8)
    movie_timescale = struct.unpack(">I", mvhd[movie_timescale_at:movie_timescale_at + 4])[0]
    next_id_at = mvhd_size - 4
    track_id = struct.unpack(">I", mvhd[next_id_at:next_id_at + 4])[0]
    mvhd[next_id_at:next_id_at + 4] = struct.pack(">I", track_id + 1)

    duration = sum(durations)
    movie_duration = duration * movie_timescale // timescale
    tkhd = full_box(b"tkhd", 0, track_flags,
                    struct.pack(">IIIII", 0, 0, track_id, 0, movie_duration) + b"\0" * 8 +
                    struct.pack(">hhhh", 0, 0, 0, 0) +
                    struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000) +
                    struct.pack(">II", 0, 0))
    mdhd = full_box(b"mdhd", 0, 0, struct.pack(">IIIIHH", 0, 0, timescale, duration, 0x55c4, 0))
    hdlr = full_box(b"hdlr", 0, 0, b"\0\0\0\0" + handler + b"\0" * 12 + handler_name + b"\0")
    if media_header is None:
        media_header = full_box(b"nmhd", 0, 0, b"")
    dinf = box(b"dinf", full_box(b"dref", 0, 0, struct.pack(">I", 1) + full_box(b"url ", 0, 1, b"")))

    stts_entries = []
    for d in durations:
        if stts_entries and stts_entries[-1][1] == d:
            stts_entries[-1][0] += 1
        else:
            stts_entries.append([1, d])
    stsd = full_box(b"stsd", 0, 0, struct.pack(">I", 1) + sample_entry)
    stts = full_box(b"stts", 0, 0, struct.pack(">I", len(stts_entries)) +
                    b"".join(struct.pack(">II", c, d) for c, d in stts_entries))
    stsc = full_box(b"stsc", 0, 0, struct.pack(">IIII", 1, 1, 1, 1))
    stsz = full_box(b"stsz", 0, 0, struct.pack(">II", 0, len(samples)) +
                    b"".join(struct.pack(">I", len(s)) for s in samples))
    stco = full_box(b"stco", 0, 0, struct.pack(">I", len(offsets)) +
                    b"".join(struct.pack(">I", o) for o in offsets))
    stbl = box(b"stbl", stsd + stts + stsc + stsz + stco)
    minf = box(b"minf", media_header + dinf + stbl)
    trak = box(b"trak", tkhd + box(b"mdia", mdhd + hdlr + minf))

    new_moov_payload = moov[:mvhd_at] + bytes(mvhd) + moov[mvhd_at + mvhd_size:] + trak
    with open(path, "wb") as f:
        f.write(head + mdat + box(b"moov", new_moov_payload))
    return track_id


def set_creation_time(path, seconds_since_1904):
    """Sets the movie header's creation and modification times."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    moov_at, moov_header, moov_size = find(data, b"moov")
    mvhd_at, mvhd_header, _ = find(data, b"mvhd", moov_at + moov_header, moov_at + moov_size)
    at = mvhd_at + mvhd_header
    if data[at] == 1:
        data[at + 4:at + 20] = struct.pack(">QQ", seconds_since_1904, seconds_since_1904)
    else:
        data[at + 4:at + 12] = struct.pack(">II", seconds_since_1904, seconds_since_1904)
    with open(path, "wb") as f:
        f.write(bytes(data))


def nmea_checksum(body):
    """The checksum of an NMEA sentence body (between "$" and "*"), two hex digits."""
    value = 0
    for c in body.encode("ascii"):
        value ^= c
    return "%02X" % value


def nmea(body):
    return "$%s*%s" % (body, nmea_checksum(body))


def rmc(when, lat, lon, speed_kmh, course):
    """A $GPRMC sentence for a datetime (UTC), decimal degrees, km/h and degrees."""
    def dm(value, width):
        value = abs(value)
        degrees = int(value)
        minutes = (value - degrees) * 60
        return "%0*d%07.4f" % (width, degrees, minutes)
    body = "GPRMC,%s,A,%s,%s,%s,%s,%.2f,%.2f,%s,,,A" % (
        when.strftime("%H%M%S.") + "%02d" % (when.microsecond // 10000),
        dm(lat, 2), "N" if lat >= 0 else "S", dm(lon, 3), "E" if lon >= 0 else "W",
        speed_kmh / 1.852, course, when.strftime("%d%m%y"))
    return nmea(body)
