#include "vlcoptions.h"

#include <iterator>

namespace VlcOptions {

QStringList playback(bool hardwareDecoding)
{
    return {
        QStringLiteral("--quiet"),
        QStringLiteral("--verbose=0"),
        QStringLiteral("--no-file-logging"),
        QStringLiteral("--no-disable-screensaver"),
        QStringLiteral("--skip-frames"),
        QStringLiteral("--drop-late-frames"),
        QStringLiteral("--no-spu"),
        QStringLiteral("--no-sub-autodetect-file"),
        QStringLiteral("--no-loop"),
        QStringLiteral("--no-osd"),
        QStringLiteral("--no-interact"),
        QStringLiteral("--no-stats"),
        QStringLiteral("--no-playlist-tree"),
        QStringLiteral("--no-media-library"),
        QStringLiteral("--no-video-deco"),
        QStringLiteral("--no-video-title-show"),
        QStringLiteral("--no-video-wallpaper"),
        QStringLiteral("--no-video-on-top"),
        // "--file-caching=5000" changed to 20: the engine shows the picture of a seek made
        // while paused only once it has buffered that much beyond the target, so with 5 s
        // no paused seek into the last 5 s of a file ever showed its picture (the frame
        // before the seek stayed, or frame 0 of a file just opened). Local files need no
        // more; playback keeps every frame at 1080p with it.
        QStringLiteral("--file-caching=20"),
        QStringLiteral("--quiet-synchro"),
        // "--swscale-mode=2" (bicubic) changed to 0 (fast bilinear): with the X11 outputs
        // below every picture is scaled to the window in software, and bicubic scaling
        // took most of the CPU that playback cost.
        QStringLiteral("--swscale-mode=0"),
        QStringLiteral("--antiflicker-softening-size=10"),
        QStringLiteral("--antiflicker-window-size=10"),
        QStringLiteral("--sout-mp4-faststart"),
        QStringLiteral("--sout-display-delay=100"),
        QStringLiteral("--sout-display-video"),
        QStringLiteral("--sout-display-audio"),
        QStringLiteral("--sout-deinterlace-mode=blend"),
        QStringLiteral("--postproc-name=default"),
        QStringLiteral("--postproc-q=6"),
        // "--gpu-affinity=-1" dropped: a Direct3D option the engine here does not know.
        // "--avcodec-hw=h264_dxva2" mapped: DirectX Video Acceleration does not exist on
        // X11; "any" lets the decoder pick VA-API or VDPAU and fall back to software.
        hardwareDecoding ? QStringLiteral("--avcodec-hw=any") : QStringLiteral("--avcodec-hw=none"),
        QStringLiteral("--avcodec-codec=h264"),
        QStringLiteral("--avcodec-debug=0"),
        QStringLiteral("--avcodec-skiploopfilter=4"),
        // "--avcodec-vismv=0" dropped: the engine here no longer has it and warns on stderr.
        QStringLiteral("--avcodec-skip-idct=0"),
        QStringLiteral("--avcodec-skip-frame=0"),
        QStringLiteral("--avcodec-workaround-bugs=1"),
        QStringLiteral("--avcodec-error-resilience=1"),
        QStringLiteral("--avcodec-dr"),
        QStringLiteral("--avcodec-threads=1"),
        QStringLiteral("--avcodec-hurry-up"),
        QStringLiteral("--avcodec-fast"),
        QStringLiteral("--deinterlace-mode=blend"),
        QStringLiteral("--deinterlace=-1"),
        QStringLiteral("--demux=mp4"),
        QStringLiteral("--hdtv-fix"),
        QStringLiteral("--autoscale"),
        QStringLiteral("--embedded-video"),
        // "--overlay" dropped: the engine here no longer has it and warns on stderr.
        // "--no-directx-use-sysmem", "--direct3d-hw-blending", "--directx-3buffering" and
        // "--directx-hw-yuv" dropped: DirectX output options, unknown to the engine here.
        // "--vout=direct3d,any" mapped to "any": the engine picks the X11 output that
        // works on the display (XVideo, OpenGL or plain X11).
        QStringLiteral("--vout=any"),
        // Added: no OpenGL outputs. Without a graphics processor (a virtual or remote
        // display, a machine without a driver) OpenGL is rendered in software, which cost
        // several times the CPU of the whole decoding, also while paused, and ~30 MB of
        // memory. The engine then draws through XVideo where the display offers it (scaled
        // by the graphics hardware) and plain X11 elsewhere. (The engine resets the output
        // choice above for an embedded window, so the outputs are switched off by name.)
        QStringLiteral("--gl=none"),
        QStringLiteral("--gles2=none"),
        QStringLiteral("--plugins-cache"),
        QStringLiteral("--ignore-config"),
        QStringLiteral("--intf=dummy"),
    };
}

ArgTable durationProbe()
{
    static const char* const args[] = {
        "--intf=dummy",
        "--ignore-config",
        "--vout=dummy",
        "--aout=dummy",
        "--no-video",
        "--no-audio",
        "--no-sub-autodetect-file",
        "--no-disable-screensaver",
        "--no-snapshot-preview",
        "--no-media-library",
        "--no-stats",
        "--no-interact",
        "--no-osd",
        "--no-loop",
        "--no-video-title-show",
        "--no-sub-autodetect-file",
        "--file-caching=100",
        "--avcodec-fast",
        "--avcodec-hurry-up",
        "--avcodec-threads=1",
        "--avcodec-dr",
        "--avcodec-error-resilience=1",
        "--avcodec-workaround-bugs=1",
        "--avcodec-skip-frame=0",
        "--avcodec-skip-idct=0",
        // "--avcodec-vismv=0" dropped: the engine here no longer has it and warns on stderr.
        "--avcodec-skiploopfilter=4",
        "--avcodec-debug=0",
        "--avcodec-codec=h264",
        // "--avcodec-hw=h264_dxva2" mapped: DirectX Video Acceleration does not exist on
        // X11, and with video off no decoder is opened, so no hardware is probed for.
        "--avcodec-hw=none",
        "--swscale-mode=0",
        "--quiet-synchro",
        "--no-disable-screensaver",
        "--no-file-logging",
        "--verbose=0",
        "--quiet",
    };
    return {static_cast<int>(std::size(args)), args};
}

QStringList thumbnail()
{
    // Two options appear twice; the engine takes the last value, so they stay.
    return {
        QStringLiteral("--intf=dummy"),
        QStringLiteral("--ignore-config"),
        QStringLiteral("--vout=dummy"),
        QStringLiteral("--aout=dummy"),
        QStringLiteral("--no-audio"),
        QStringLiteral("--no-sub-autodetect-file"),
        QStringLiteral("--no-disable-screensaver"),
        QStringLiteral("--no-snapshot-preview"),
        QStringLiteral("--no-media-library"),
        QStringLiteral("--no-stats"),
        QStringLiteral("--no-interact"),
        QStringLiteral("--no-osd"),
        QStringLiteral("--no-loop"),
        QStringLiteral("--no-video-title-show"),
        QStringLiteral("--no-sub-autodetect-file"),
        QStringLiteral("--file-caching=10"),
        QStringLiteral("--avcodec-fast"),
        QStringLiteral("--avcodec-hurry-up"),
        QStringLiteral("--avcodec-threads=1"),
        QStringLiteral("--avcodec-dr"),
        QStringLiteral("--avcodec-error-resilience=1"),
        QStringLiteral("--avcodec-workaround-bugs=1"),
        QStringLiteral("--avcodec-skip-frame=0"),
        QStringLiteral("--avcodec-skip-idct=0"),
        // "--avcodec-vismv=0" dropped: the engine here no longer has it and warns on stderr.
        QStringLiteral("--avcodec-skiploopfilter=4"),
        QStringLiteral("--avcodec-debug=0"),
        QStringLiteral("--avcodec-codec=h264"),
        // "--avcodec-hw=h264_dxva2" mapped: DirectX Video Acceleration does not exist on
        // X11, and the transcoder needs the frames in memory anyway, so decode in software.
        QStringLiteral("--avcodec-hw=none"),
        QStringLiteral("--swscale-mode=0"),
        QStringLiteral("--quiet-synchro"),
        QStringLiteral("--no-disable-screensaver"),
        QStringLiteral("--no-file-logging"),
        QStringLiteral("--verbose=0"),
        QStringLiteral("--quiet"),
        // "--sout=..." moved to the media (thumbnailChain): the player ignores an engine
        // chain. The time-sync switch stays an engine option of its own, which the
        // memory output reads; glued onto the chain text it would be lost.
        QStringLiteral("--no-sout-smem-time-sync"),
    };
}

QString thumbnailChain(int height, std::intptr_t prerender, std::intptr_t postrender, std::intptr_t data)
{
    // Addresses as sign-extended 64-bit decimals, the form the memory output parses.
    return QStringLiteral(":sout=#transcode{vcodec=RV32,scale=Auto,height=%1,acodec=none}"
                          ":smem{video-prerender-callback=%2,video-postrender-callback=%3,video-data=%4}")
        .arg(height)
        .arg(static_cast<qint64>(prerender))
        .arg(static_cast<qint64>(postrender))
        .arg(static_cast<qint64>(data));
}

} // namespace VlcOptions
