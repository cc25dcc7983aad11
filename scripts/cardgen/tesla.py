"""A card of a car whose cameras record onto a USB drive.

    TeslaCam/RecentClips/YYYY-MM-DD_HH-MM-SS-<camera>.mp4            ordinary driving
    TeslaCam/SavedClips/<YYYY-MM-DD_HH-MM-SS>/...-<camera>.mp4       saved by the driver
    TeslaCam/SentryClips/<YYYY-MM-DD_HH-MM-SS>/...-<camera>.mp4      recorded while parked

Cameras: front, back, left_repeater, right_repeater. Each event folder holds an event.json with
the event's time, reason and estimated place.

Newer firmware writes the car's state into the H.264 stream: every frame carries an SEI NAL unit
(payload type 5, user data unregistered) whose payload is a run of 0x42 bytes, the byte 0x69 and
a protobuf SeiMetadata message (version 1, gear 2, frame_seq_no 3, vehicle_speed_mps 4 as float,
latitude_deg 11, longitude_deg 12, heading_deg 13, linear_acceleration_mps2_x/y/z 14-16 as
double; proto3, so zero values are left out). The driving clips here carry it; the parked Sentry
clips carry none, as parked cars write none.

What the generator wrote is kept in DIR/.cardgen.json: per video its start, channel, kind and
the state of every frame, so that tests compare a reader with known values.
"""

import json
import os
import shutil
import struct
from datetime import datetime, timedelta

import clips
import mp4tool

CAMERAS = ["front", "back", "left_repeater", "right_repeater"]
CLIP_SECONDS = 3
FPS = 30
TRIP_START = datetime(2024, 5, 1, 9, 0, 0)
SAVED_START = datetime(2024, 5, 1, 9, 30, 0)
SENTRY_START = datetime(2024, 5, 1, 11, 0, 0)
MARKER = b"\x42\x42\x42\x69"


# --- protobuf, as the wire format describes it ---

def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)


def key(field, wire):
    return varint(field << 3 | wire)


def pb_varint(field, value):
    return key(field, 0) + varint(value) if value else b""


def pb_float(field, value):
    return key(field, 5) + struct.pack("<f", value) if value else b""


def pb_double(field, value):
    return key(field, 1) + struct.pack("<d", value) if value else b""


def pb_bytes(field, value):
    return key(field, 2) + varint(len(value)) + value


# --- H.264 SEI ---

def ff_coded(value):
    """An SEI payload type or size: 0xFF per 255, then the rest."""
    return b"\xff" * (value // 255) + bytes([value % 255])


def escape(rbsp):
    """Inserts emulation prevention bytes: no 00 00 0x (x <= 3) may appear in a NAL unit."""
    out = bytearray()
    zeros = 0
    for byte in rbsp:
        if zeros >= 2 and byte <= 3:
            out.append(3)
            zeros = 0
        out.append(byte)
        zeros = zeros + 1 if byte == 0 else 0
    return bytes(out)


def sei_nal(messages):
    """An SEI NAL unit (type 6) of (payload type, payload) messages."""
    body = b"".join(ff_coded(t) + ff_coded(len(p)) + p for t, p in messages)
    return b"\x06" + escape(body + b"\x80")


def frame_state(index):
    """The car's state at frame `index` of the trip (frames counted from the trip's start)."""
    return {
        "seq": 1000 + index,
        "lat": 52.52 + 0.00001 * index,
        "lon": 13.405 + 0.00002 * index,
        # Quarters are exact in a 32-bit float.
        "speed": 12.5 + (index % 20) * 0.25,
        "heading": (index * 0.5) % 360,
        "ax": 0.25 * ((index % 9) - 4),
        "ay": -0.125 * ((index % 7) - 3),
        # The car has no fix for the first second of the trip: no position is written.
        "fix": index >= FPS,
    }


def metadata(state):
    message = pb_varint(1, 1) + pb_varint(2, 1) + pb_varint(3, state["seq"])
    message += pb_float(4, state["speed"])
    if state["seq"] % 3 == 0:
        # Fields a reader does not know: a nested message, a 32-bit zero (its zero bytes need
        # emulation prevention in the stream) and a large varint.
        message += pb_bytes(20, pb_varint(1, 7) + pb_bytes(2, b"\x00\x00\x01")) + key(21, 5) + b"\0\0\0\0"
        message += pb_varint(22, 2 ** 63)
    if state["fix"]:
        message += pb_double(11, state["lat"]) + pb_double(12, state["lon"])
    message += pb_double(13, state["heading"])
    message += pb_double(14, state["ax"]) + pb_double(15, state["ay"]) + pb_double(16, 9.81)
    return message


def sei_for(state):
    # Another party's user data first, as encoders write their own; then the car's.
    other = b"\x11" * 16 + b"encoder notes\0"
    return sei_nal([(5, other), (5, MARKER + metadata(state))])


# --- MP4 rewriting: every video sample gets an SEI NAL unit before its first slice ---

def _table(data, trak_at, trak_size, path):
    start, end = trak_at + 8, trak_at + trak_size
    for kind in path:
        offset, header, size = mp4tool.find(data, kind, start, end)
        start, end = offset + header, offset + size
    return start, end  # the payload of the last box


def _chunks(data, trak_at, trak_size):
    """(stco entry offset, chunk offset, [(sample index, size)]) of one track."""
    stbl = (b"mdia", b"minf", b"stbl")
    sz_at, _ = _table(data, trak_at, trak_size, stbl + (b"stsz",))
    sc_at, _ = _table(data, trak_at, trak_size, stbl + (b"stsc",))
    co_at, _ = _table(data, trak_at, trak_size, stbl + (b"stco",))
    fixed, count = struct.unpack(">II", data[sz_at + 4:sz_at + 12])
    sizes = [fixed] * count if fixed else list(struct.unpack(">%dI" % count, data[sz_at + 12:sz_at + 12 + 4 * count]))
    runs = struct.unpack(">I", data[sc_at + 4:sc_at + 8])[0]
    runs = [struct.unpack(">III", data[sc_at + 8 + 12 * i:sc_at + 20 + 12 * i]) for i in range(runs)]
    chunks_count = struct.unpack(">I", data[co_at + 4:co_at + 8])[0]
    chunks = []
    sample = 0
    for chunk in range(1, chunks_count + 1):
        per = [r[1] for r in runs if r[0] <= chunk][-1]
        entry = co_at + 8 + 4 * (chunk - 1)
        offset = struct.unpack(">I", data[entry:entry + 4])[0]
        chunks.append((entry, offset, [(s, sizes[s]) for s in range(sample, sample + per)]))
        sample += per
    return chunks, sz_at, fixed


def _with_sei(sample, length_size, nal):
    at = 0
    while at + length_size < len(sample):
        size = int.from_bytes(sample[at:at + length_size], "big")
        if 1 <= sample[at + length_size] & 0x1F <= 5:  # the first slice
            break
        at += length_size + size
    return sample[:at] + len(nal).to_bytes(length_size, "big") + nal + sample[at:]


def insert_sei(path, nal_for_frame):
    """Puts nal_for_frame(i) before the first slice of every video sample i of an MP4 whose
    movie box is last; media data and chunk offsets are rewritten to match."""
    with open(path, "rb") as f:
        data = f.read()
    moov_at, moov_header, moov_size = mp4tool.find(data, b"moov")
    mdat_at, mdat_header, mdat_size = mp4tool.find(data, b"mdat")
    if moov_at + moov_size != len(data) or mdat_at > moov_at:
        raise ValueError("expected the media data before the movie box, the movie box last")
    moov = bytearray(data[moov_at:])
    tracks = []
    for kind, at, header, size in mp4tool.boxes(data, moov_at + moov_header, moov_at + moov_size):
        if kind != b"trak":
            continue
        hdlr_at, _ = _table(data, at, size, (b"mdia", b"hdlr"))
        handler = data[hdlr_at + 8:hdlr_at + 12]
        length_size = 4
        if handler == b"vide":
            stsd_at, stsd_end = _table(data, at, size, (b"mdia", b"minf", b"stbl", b"stsd"))
            entry_at, entry_header, entry_size = mp4tool.find(data, b"avc1", stsd_at + 8, stsd_end)
            avcc_at, avcc_header, _ = mp4tool.find(data, b"avcC", entry_at + entry_header + 78,
                                                   entry_at + entry_size)
            length_size = (data[avcc_at + avcc_header + 4] & 3) + 1
        tracks.append((handler, length_size) + _chunks(data, at, size))

    payload = bytearray()
    base = mdat_at + 8
    order = sorted((offset, t, entry, samples) for t, (_, _, chunks, _, _) in enumerate(tracks)
                   for entry, offset, samples in chunks)
    new_sizes = {}
    for offset, t, entry, samples in order:
        handler, length_size = tracks[t][:2]
        struct.pack_into(">I", moov, entry - moov_at, base + len(payload))
        for index, size in samples:
            sample = data[offset:offset + size]
            offset += size
            if handler == b"vide":
                sample = _with_sei(sample, length_size, nal_for_frame(index))
                new_sizes[index] = len(sample)
            payload += sample
    for handler, _, _, sz_at, fixed in tracks:
        if handler == b"vide":
            if fixed:
                raise ValueError("a fixed sample size cannot grow")
            for index, size in new_sizes.items():
                struct.pack_into(">I", moov, sz_at + 12 + 4 * index - moov_at, size)
    with open(path, "wb") as f:
        f.write(data[:mdat_at] + mp4tool.box(b"mdat", bytes(payload)) + data[mdat_at + mdat_size:moov_at] +
                bytes(moov))


# --- the card ---

def _name(start, camera):
    return "%s-%s.mp4" % (start.strftime("%Y-%m-%d_%H-%M-%S"), camera)


def _event_json(path, when, reason, lat, lon, city):
    with open(path, "w") as f:
        json.dump({"timestamp": when.strftime("%Y-%m-%dT%H:%M:%S"), "city": city, "street": "",
                   "est_lat": "%.4f" % lat, "est_lon": "%.4f" % lon, "reason": reason, "camera": "0"}, f)


def make(dir, minutes):
    written = []
    truth = {"videos": {}, "events": {}}
    base = os.path.join(dir, ".cardgen-clip.mp4")
    clips.clip(base, CLIP_SECONDS, audio=False, extra=("-crf", "45"))
    frames = CLIP_SECONDS * FPS

    def video(folder, start, first_frame, kind, sei):
        for camera in CAMERAS:
            path = os.path.join(folder, _name(start, camera))
            shutil.copyfile(base, path)
            states = [frame_state(first_frame + i) for i in range(frames)]
            if sei:
                insert_sei(path, lambda i: sei_for(states[i]))
            truth["videos"][os.path.relpath(path, dir)] = {
                "start": start.strftime("%Y-%m-%dT%H:%M:%S"), "channel": camera, "kind": kind,
                "run": os.path.relpath(folder, dir), "frames": states if sei else []}
            written.append(path)

    root = os.path.join(dir, "TeslaCam")
    recent = os.path.join(root, "RecentClips")
    os.makedirs(recent, exist_ok=True)
    count = max(2, minutes * 60 // CLIP_SECONDS)
    for n in range(count):
        video(recent, TRIP_START + timedelta(seconds=n * CLIP_SECONDS), n * frames, "normal", True)

    # Saved by the driver: two clips while driving, the event within the second.
    saved = os.path.join(root, "SavedClips", SAVED_START.strftime("%Y-%m-%d_%H-%M-%S"))
    os.makedirs(saved)
    for n in range(2):
        start = SAVED_START - timedelta(seconds=(2 - n) * CLIP_SECONDS)
        video(saved, start, (count + n) * frames, "event", True)
    event = SAVED_START - timedelta(seconds=2)
    _event_json(os.path.join(saved, "event.json"), event, "user_interaction_dashcam_icon_tapped",
                52.6, 13.5, "Berlin")
    written.append(os.path.join(saved, "event.json"))

    # Recorded while parked: no state in the stream, the event's place in event.json.
    sentry = os.path.join(root, "SentryClips", SENTRY_START.strftime("%Y-%m-%d_%H-%M-%S"))
    os.makedirs(sentry)
    start = SENTRY_START - timedelta(seconds=CLIP_SECONDS)
    video(sentry, start, 0, "event", False)
    event = start + timedelta(seconds=1)
    _event_json(os.path.join(sentry, "event.json"), event, "sentry_aware_object_detection",
                52.5163, 13.3777, "Berlin")
    written.append(os.path.join(sentry, "event.json"))
    truth["events"][os.path.relpath(sentry, dir)] = {
        "time": event.strftime("%Y-%m-%dT%H:%M:%S"), "lat": 52.5163, "lon": 13.3777}

    os.remove(base)
    with open(os.path.join(dir, ".cardgen.json"), "w") as f:
        json.dump(truth, f, indent=1)
    return written
