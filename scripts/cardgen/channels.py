"""Cards of several channels whose pictures tell the instant they show.

Every frame of every channel is one colour above a strip: red counts the frame of the drive
modulo 8, green the frame divided by 8 modulo 8, blue the frame divided by 64 modulo 8, each as
16 + 32 * digit. The frame of the drive is counted at 25 frames a second from the first front
picture, so pictures of one instant carry one colour in every channel, whichever file and
position in it they come from. The strip (the lowest quarter) names the channel: a grey of
40 + 60 * the channel's number.

Two channels ("blackvue" layout): BlackVue/Record/YYYYMMDD_HHMMSS_NF.mp4 and _NR.mp4, segments
of 3 s. Each rear video begins 0.4 s after its front (its video starts at 0.4 s in the file, as
an edit list says), so the same file position shows different instants (not with
--no-delay). The third segment has no rear video and the fourth a rear video of 0 bytes.

Four channels ("tesla" layout): TeslaCam/RecentClips/YYYY-MM-DD_HH-MM-SS-<camera>.mp4 for front,
back, left_repeater and right_repeater, two segments of 3 s, no gaps.

What was written is kept in DIR/.cardgen.json: per video its channel, the drive frame of its
first picture and the file time of that picture in milliseconds.
"""

import datetime
import json
import os
import subprocess

FPS = 25
CLIP_SECONDS = 3
START = datetime.datetime(2024, 5, 1, 9, 0, 0)
REAR_DELAY_FRAMES = 10  # 0.4 s


def coded_clip(path, first_frame, frames, channel_number, delay_ms=0):
    """A clip of `frames` coded frames from drive frame `first_frame`; its video starts
    `delay_ms` into the file."""
    code = ("if(lt(Y\\,H*3/4)\\,16+32*mod(floor((N+{f})/{d})\\,8)\\,{g})")
    grey = 40 + 60 * channel_number
    expr = "r='%s':g='%s':b='%s'" % (code.format(f=first_frame, d=1, g=grey),
                                      code.format(f=first_frame, d=8, g=grey),
                                      code.format(f=first_frame, d=64, g=grey))
    cmd = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
           "-f", "lavfi", "-i", "nullsrc=size=320x180:rate=%d,format=gbrp,geq=%s" % (FPS, expr),
           "-frames:v", str(frames)]
    if delay_ms:
        cmd += ["-output_ts_offset", "%.3f" % (delay_ms / 1000.0)]
    cmd += ["-c:v", "libx264", "-preset", "ultrafast", "-crf", "12", "-pix_fmt", "yuv420p",
            "-g", str(FPS), "-movflags", "+faststart", path]
    subprocess.run(cmd, check=True)


def make(dir, channels=2, delay=True):
    written = []
    truth = {"fps": FPS, "videos": {}}
    frames = CLIP_SECONDS * FPS

    def video(path, channel, number, first_frame, count, delay_ms=0):
        coded_clip(path, first_frame, count, number, delay_ms)
        truth["videos"][os.path.relpath(path, dir)] = {
            "channel": channel, "first_frame": first_frame, "first_ms": delay_ms}
        written.append(path)

    if channels == 2:
        record = os.path.join(dir, "BlackVue", "Record")
        os.makedirs(record, exist_ok=True)
        for segment in range(4):
            when = START + datetime.timedelta(seconds=segment * CLIP_SECONDS)
            stamp = when.strftime("%Y%m%d_%H%M%S")
            first = segment * frames
            video(os.path.join(record, stamp + "_NF.mp4"), "front", 0, first, frames)
            rear = os.path.join(record, stamp + "_NR.mp4")
            late = REAR_DELAY_FRAMES if delay else 0
            if segment < 2:
                video(rear, "rear", 1, first + late, frames - late, late * 1000 // FPS)
            elif segment == 3:
                open(rear, "wb").close()
                written.append(rear)
    else:
        recent = os.path.join(dir, "TeslaCam", "RecentClips")
        os.makedirs(recent, exist_ok=True)
        cameras = ["front", "back", "left_repeater", "right_repeater"][:channels]
        for segment in range(2):
            when = START + datetime.timedelta(seconds=segment * CLIP_SECONDS)
            for number, camera in enumerate(cameras):
                name = when.strftime("%Y-%m-%d_%H-%M-%S") + "-" + camera + ".mp4"
                video(os.path.join(recent, name), camera, number, segment * frames, frames)

    with open(os.path.join(dir, ".cardgen.json"), "w") as f:
        json.dump(truth, f, indent=1, sort_keys=True)
    return written
