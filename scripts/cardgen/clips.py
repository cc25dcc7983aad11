"""Short test clips made with ffmpeg."""

import subprocess


def clip(path, seconds, size="320x180", fps=30, audio=True, extra=()):
    """An H.264 (AAC) MP4 clip with moving content, the movie box last."""
    cmd = ["ffmpeg", "-hide_banner", "-loglevel", "error", "-nostdin", "-y",
           "-f", "lavfi", "-i", "testsrc2=size=%s:rate=%d:duration=%s" % (size, fps, seconds)]
    if audio:
        cmd += ["-f", "lavfi", "-i", "sine=frequency=440:duration=%s" % seconds, "-c:a", "aac", "-b:a", "32k"]
    cmd += ["-c:v", "libx264", "-preset", "ultrafast", "-g", str(fps), "-pix_fmt", "yuv420p"]
    cmd += list(extra)
    cmd += [path]
    subprocess.run(cmd, check=True)
    return path
