"""QuickTime text tracks for the test-card generators: the sample description, the media
header and the samples (a 16-bit length word before each sample's text), as the QuickTime File
Format describes text media."""

import struct

import mp4tool
from mp4tool import box, full_box


def sample_entry():
    """A 'text' sample description: default style, no font name."""
    payload = b"\0" * 6 + struct.pack(">H", 1)              # reserved, data reference index
    payload += struct.pack(">Ii", 0, 0)                     # display flags, justification
    payload += struct.pack(">HHH", 0, 0, 0)                 # background colour
    payload += struct.pack(">hhhh", 0, 0, 0, 0)             # default text box
    payload += b"\0" * 8                                    # reserved
    payload += struct.pack(">HHBH", 0, 0, 0, 0)             # font number, face, reserved
    payload += struct.pack(">HHH", 0xffff, 0xffff, 0xffff)  # foreground colour
    payload += b"\0"                                        # font name (empty Pascal string)
    return box(b"text", payload)


def media_header():
    """The base media information header a text track's media information starts with."""
    gmin = full_box(b"gmin", 0, 0, struct.pack(">HHHHHH", 0x40, 0x8000, 0x8000, 0x8000, 0, 0))
    text = box(b"text", struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000))
    return box(b"gmhd", gmin + text)


def sample(text):
    """One text sample: the length word, then the text (bytes)."""
    return struct.pack(">H", len(text)) + text


def add(path, texts, seconds=1):
    """Adds a text track to an MP4 whose movie box is last: one sample per text, `seconds` each."""
    return mp4tool.add_track(path, b"text", sample_entry(), [sample(t) for t in texts],
                             [seconds * 1000] * len(texts), 1000, media_header=media_header())


def bare_movie(path, seconds_since_1904=0):
    """An MP4 of a file type box and a movie box with its header only, for tracks to be added
    to without any picture (small seed files for the fuzz targets)."""
    mvhd = full_box(b"mvhd", 0, 0, struct.pack(">IIII", seconds_since_1904, seconds_since_1904, 1000, 0) +
                    struct.pack(">IH", 0x10000, 0x100) + b"\0" * 10 +
                    struct.pack(">9I", 0x10000, 0, 0, 0, 0x10000, 0, 0, 0, 0x40000000) +
                    b"\0" * 24 + struct.pack(">I", 1))
    with open(path, "wb") as f:
        f.write(box(b"ftyp", b"isom\0\0\2\0isomiso2mp41") + box(b"moov", mvhd))
    return path
