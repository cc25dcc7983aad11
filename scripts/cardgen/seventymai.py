"""A card of a two-channel camera that files its videos by kind and channel in folders.

    Normal/Front/NO20240501-090000-000001F.MP4    Normal/Back/NO20240501-090000-000001B.MP4
    Event/Front/EV...F.MP4                        Event/Back/EV...B.MP4
    Parking/Front/PA...F.MP4                      Parking/Back/PA...B.MP4

"NO", "EV" and "PA" (normal, event, parking), the start, a running number and the channel's
letter. The camera keeps no positions in its videos; position files beside a video are read as
any card's: the first three front clips get a ".nmea", a ".gps" and a ".gpx" file.

What the generator wrote is kept in DIR/.cardgen.json: per video its start, channel, kind and
run, and the positions of each position file.
"""

import json
import os
import shutil
from datetime import datetime, timedelta, timezone

import clips
import mp4tool

CLIP_SECONDS = 3
TRIP_START = datetime(2024, 5, 1, 9, 0, 0)
EVENT_START = TRIP_START + timedelta(seconds=7)
PARKING_START = datetime(2024, 5, 1, 13, 0, 0)
KINDS = {"Normal": ("NO", "normal"), "Event": ("EV", "event"), "Parking": ("PA", "parking")}
CHANNELS = {"Front": ("F", "front"), "Back": ("B", "back")}


def _position(second):
    """Where the car is `second` seconds after the trip's start."""
    return 31.2304 + 0.0001 * second, 121.4737 + 0.0002 * second, 36.0 + (second % 5)


def _sidecar(path, kind, start, offset):
    """A position file of one clip, one position a second; returns the positions written."""
    points = []
    for s in range(CLIP_SECONDS):
        when = start + timedelta(seconds=s)
        lat, lon, speed = _position(offset + s)
        points.append({"time": when.strftime("%Y-%m-%dT%H:%M:%S"), "lat": lat, "lon": lon,
                       "speed_kmh": speed})
    with open(path, "w", newline="\r\n" if kind != "gpx" else "\n") as f:
        if kind == "gpx":
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n<gpx version="1.1" creator="cardgen">'
                    "<trk><trkseg>\n")
            for p in points:
                f.write('<trkpt lat="%.6f" lon="%.6f"><time>%sZ</time><speed>%.3f</speed></trkpt>\n'
                        % (p["lat"], p["lon"], p["time"], p["speed_kmh"] / 3.6))
            f.write("</trkseg></trk></gpx>\n")
        else:
            for p in points:
                when = datetime.strptime(p["time"], "%Y-%m-%dT%H:%M:%S")
                sentence = mp4tool.rmc(when, p["lat"], p["lon"], p["speed_kmh"], 90.0)
                if kind == "gps":
                    ms = int(when.replace(tzinfo=timezone.utc).timestamp() * 1000)
                    f.write("[%d]%s\n" % (ms, sentence))
                else:
                    f.write(sentence + "\n")
    return points


def make(dir, minutes):
    written = []
    truth = {"videos": {}, "sidecars": {}}
    bases = {}
    for folder in CHANNELS:
        bases[folder] = os.path.join(dir, ".cardgen-%s.mp4" % folder)
        clips.clip(bases[folder], CLIP_SECONDS, extra=("-crf", "45"))

    def video(kind_folder, start, number, offset=0, sidecar=None):
        prefix, kind = KINDS[kind_folder]
        for folder, (letter, channel) in CHANNELS.items():
            where = os.path.join(dir, kind_folder, folder)
            os.makedirs(where, exist_ok=True)
            name = "%s%s-%06d%s.MP4" % (prefix, start.strftime("%Y%m%d-%H%M%S"), number, letter)
            path = os.path.join(where, name)
            shutil.copyfile(bases[folder], path)
            written.append(path)
            truth["videos"][os.path.relpath(path, dir)] = {
                "start": start.strftime("%Y-%m-%dT%H:%M:%S"), "channel": channel, "kind": kind,
                "run": kind_folder}
            if sidecar and channel == "front":
                side = path[:-4] + "." + sidecar
                points = _sidecar(side, sidecar, start, offset)
                written.append(side)
                truth["videos"][os.path.relpath(path, dir)]["sidecar"] = os.path.relpath(side, dir)
                truth["sidecars"][os.path.relpath(side, dir)] = points

    count = max(2, minutes * 60 // CLIP_SECONDS)
    for n in range(count):
        video("Normal", TRIP_START + timedelta(seconds=n * CLIP_SECONDS), n + 1, n * CLIP_SECONDS,
              ["nmea", "gps", "gpx"][n] if n < 3 else None)
    # A bump during the trip, then a bump while parked.
    video("Event", EVENT_START, count + 1)
    video("Parking", PARKING_START, count + 2)

    for base in bases.values():
        os.remove(base)
    with open(os.path.join(dir, ".cardgen.json"), "w") as f:
        json.dump(truth, f, indent=1)
    return written
