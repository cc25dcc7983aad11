<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <translation>End-user licence</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <comment>tab</comment>
        <translation>End-user licence</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <translation>Legal notice</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <comment>tab</comment>
        <translation>Legal notice</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Licences</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Privacy</translation>
    </message>
    <message>
        <source>Privacy statement</source>
        <translation>Privacy statement</translation>
    </message>
    <message>
        <source>This application uses the following 3rd-party opensource components</source>
        <translation>This application uses the following 3rd-party opensource components</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ChannelComposer</name>
    <message>
        <source>No %1 recording</source>
        <translation>No %1 recording</translation>
    </message>
</context>
<context>
    <name>ChannelDeck</name>
    <message>
        <source>%1 (click: show large)</source>
        <translation>%1 (click: show large)</translation>
    </message>
</context>
<context>
    <name>ChannelView</name>
    <message>
        <source>front</source>
        <translation>front</translation>
    </message>
    <message>
        <source>rear</source>
        <translation>rear</translation>
    </message>
    <message>
        <source>interior</source>
        <translation>interior</translation>
    </message>
    <message>
        <source>left side</source>
        <translation>left side</translation>
    </message>
    <message>
        <source>right side</source>
        <translation>right side</translation>
    </message>
    <message>
        <source>left pillar</source>
        <translation>left pillar</translation>
    </message>
    <message>
        <source>right pillar</source>
        <translation>right pillar</translation>
    </message>
    <message>
        <source>The %1 recording cannot be played</source>
        <translation>The %1 recording cannot be played</translation>
    </message>
    <message>
        <source>No %1 recording for %2–%3</source>
        <translation>No %1 recording for %2–%3</translation>
    </message>
</context>
<context>
    <name>ClipExport</name>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Cannot read the video of %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Cannot write the clip.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>Nothing to export in this range.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Refusing to overwrite the recording %1.</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>The export was cancelled.</translation>
    </message>
    <message>
        <source>The files of this range differ in format and cannot be joined without re-encoding.</source>
        <translation>The files of this range differ in format and cannot be joined without re-encoding.</translation>
    </message>
    <message>
        <source>The recorded format cannot be written to MP4.</source>
        <translation>The recorded format cannot be written to MP4.</translation>
    </message>
    <message>
        <source>The trip has no video to export.</source>
        <translation>The trip has no video to export.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Cannot find the start of the range in %1.</translation>
    </message>
    <message>
        <source>The %1 recording %2 cannot be read: %3</source>
        <translation>The %1 recording %2 cannot be read: %3</translation>
    </message>
    <message>
        <source>No %1 clip written: %2</source>
        <translation>No %1 clip written: %2</translation>
    </message>
    <message>
        <source>No %1 recording from %2 to %3</source>
        <translation>No %1 recording from %2 to %3</translation>
    </message>
    <message>
        <source>no video</source>
        <translation>no video</translation>
    </message>
    <message>
        <source>the range cannot be found in it</source>
        <translation>the range cannot be found in it</translation>
    </message>
</context>
<context>
    <name>ClipExportJob</name>
    <message>
        <source>Export clip</source>
        <translation>Export clip</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Writing %1…</source>
        <translation>Writing %1…</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Export with data</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--%1 %2 is no trip position: use mm:ss, hh:mm:ss or seconds.</source>
        <translation>--%1 %2 is no trip position: use mm:ss, hh:mm:ss or seconds.</translation>
    </message>
    <message>
        <source>--%1 does not apply to --%2.</source>
        <translation>--%1 does not apply to --%2.</translation>
    </message>
    <message>
        <source>--%1 needs a command.</source>
        <translation>--%1 needs a command.</translation>
    </message>
    <message>
        <source>--at lies after the end of trip %1 (%2).</source>
        <translation>--at lies after the end of trip %1 (%2).</translation>
    </message>
    <message>
        <source>--export-track takes gpx, kml or csv, not %1.</source>
        <translation>--export-track takes gpx, kml or csv, not %1.</translation>
    </message>
    <message>
        <source>--from lies after the end of trip %1 (%2).</source>
        <translation>--from lies after the end of trip %1 (%2).</translation>
    </message>
    <message>
        <source>--time-offset takes ±HH:MM, not %1.</source>
        <translation>--time-offset takes ±HH:MM, not %1.</translation>
    </message>
    <message>
        <source>--to lies before --from.</source>
        <translation>--to lies before --from.</translation>
    </message>
    <message>
        <source>--trip takes a trip number from 1 on, not %1.</source>
        <translation>--trip takes a trip number from 1 on, not %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Choose the trip with --trip N.</source>
        <translation>Choose the trip with --trip N.</translation>
    </message>
    <message>
        <source>End of the range, included.</source>
        <translation>End of the range, included.</translation>
    </message>
    <message>
        <source>Exports the positions of a trip as gpx, kml or csv.</source>
        <translation>Exports the positions of a trip as gpx, kml or csv.</translation>
    </message>
    <message>
        <source>Give one command at a time, not --%1.</source>
        <translation>Give one command at a time, not --%1.</translation>
    </message>
    <message>
        <source>Give the position with --at T.</source>
        <translation>Give the position with --at T.</translation>
    </message>
    <message>
        <source>Give the range with --from T --to T.</source>
        <translation>Give the range with --from T --to T.</translation>
    </message>
    <message>
        <source>Name the file to write with -o FILE.</source>
        <translation>Name the file to write with -o FILE.</translation>
    </message>
    <message>
        <source>Name the recordings: video files or folders.</source>
        <translation>Name the recordings: video files or folders.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>No command given.</translation>
    </message>
    <message>
        <source>No playable recordings found.</source>
        <translation>No playable recordings found.</translation>
    </message>
    <message>
        <source>Plays the recordings of an in-car camera. With a command, it exports or lists them without a window.</source>
        <translation>Plays the recordings of an in-car camera. With a command, it exports or lists them without a window.</translation>
    </message>
    <message>
        <source>Position of the still.</source>
        <translation>Position of the still.</translation>
    </message>
    <message>
        <source>Prints the trips of the recordings as JSON.</source>
        <translation>Prints the trips of the recordings as JSON.</translation>
    </message>
    <message>
        <source>Recordings: video files and folders.</source>
        <translation>Recordings: video files and folders.</translation>
    </message>
    <message>
        <source>Saves the frame at a trip position as PNG.</source>
        <translation>Saves the frame at a trip position as PNG.</translation>
    </message>
    <message>
        <source>Offset of local time from the recorded UTC, e.g. +02:00.</source>
        <translation>Offset of local time from the recorded UTC, e.g. +02:00.</translation>
    </message>
    <message>
        <source>Start of the range: mm:ss, hh:mm:ss or seconds.</source>
        <translation>Start of the range: mm:ss, hh:mm:ss or seconds.</translation>
    </message>
    <message>
        <source>The file to write.</source>
        <translation>The file to write.</translation>
    </message>
    <message>
        <source>The trip, numbered as --list numbers them.</source>
        <translation>The trip, numbered as --list numbers them.</translation>
    </message>
    <message numerus="yes">
        <source>There is no trip %1: the recordings hold %n trip(s).</source>
        <translation>
            <numerusform>There is no trip %1: the recordings hold %n trip.</numerusform>
            <numerusform>There is no trip %1: the recordings hold %n trips.</numerusform>
        </translation>
    </message>
    <message>
        <source>Trip %1 has no position data.</source>
        <translation>Trip %1 has no position data.</translation>
    </message>
    <message>
        <source>Trip %1 has no position data: no GPX file written.</source>
        <translation>Trip %1 has no position data: no GPX file written.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for the options.</source>
        <translation>Try &apos;%1 --help&apos; for the options.</translation>
    </message>
    <message>
        <source>Writes date, time and offset, coordinates, speed and heading below the still.</source>
        <translation>Writes date, time and offset, coordinates, speed and heading below the still.</translation>
    </message>
    <message>
        <source>Writes diagnostic messages to stderr.</source>
        <translation>Writes diagnostic messages to stderr.</translation>
    </message>
    <message>
        <source>Replaces files that exist already instead of refusing to write them.</source>
        <translation>Replaces files that exist already instead of refusing to write them.</translation>
    </message>
    <message>
        <source>%1 exists already; give --overwrite to replace it.</source>
        <translation>%1 exists already; give --overwrite to replace it.</translation>
    </message>
    <message>
        <source>Exports a range of a trip as one MP4 file, with a GPX file beside it. Without re-encoding, it starts at the key frame at or before --from.</source>
        <translation>Exports a range of a trip as one MP4 file, with a GPX file beside it. Without re-encoding, it starts at the key frame at or before --from.</translation>
    </message>
    <message>
        <source>Re-encodes the clip&apos;s pictures from --from to the next key frame, so that it starts at --from.</source>
        <translation>Re-encodes the clip&apos;s pictures from --from to the next key frame, so that it starts at --from.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame): its video cannot be re-encoded.</source>
        <translation>The clip starts %1 s before --from, at %2 (key frame): its video cannot be re-encoded.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame); --exact-cut starts it at --from.</source>
        <translation>The clip starts %1 s before --from, at %2 (key frame); --exact-cut starts it at --from.</translation>
    </message>
    <message>
        <source>Re-encodes the clip with a band of data in the picture: date and time, speed, coordinates and heading.</source>
        <translation>Re-encodes the clip with a band of data in the picture: date and time, speed, coordinates and heading.</translation>
    </message>
    <message>
        <source>What --overlay draws: band, map, graph, separated by commas.</source>
        <translation>What --overlay draws: band, map, graph, separated by commas.</translation>
    </message>
    <message>
        <source>Speed in km/h or mph in the overlay and the still&apos;s band.</source>
        <translation>Speed in km/h or mph in the overlay and the still&apos;s band.</translation>
    </message>
    <message>
        <source>Blurs or pixelates the rectangles of a mask file (JSON) in the overlay export or the still.</source>
        <translation>Blurs or pixelates the rectangles of a mask file (JSON) in the overlay export or the still.</translation>
    </message>
    <message>
        <source>Leaves out every position within RADIUS_M metres of LAT,LON; may be repeated.</source>
        <translation>Leaves out every position within RADIUS_M metres of LAT,LON; may be repeated.</translation>
    </message>
    <message>
        <source>--units takes km/h or mph, not %1.</source>
        <translation>--units takes km/h or mph, not %1.</translation>
    </message>
    <message>
        <source>--%1 needs --overlay: the clip is re-encoded then.</source>
        <translation>--%1 needs --overlay: the clip is re-encoded then.</translation>
    </message>
    <message>
        <source>Bad mask file: %1</source>
        <translation>Bad mask file: %1</translation>
    </message>
    <message>
        <source>The camera channel (as --list names it) of the clip or still, or all: one file per channel, named with _&lt;channel&gt; before the extension, all of the same instant (clips re-encoded from --from to each channel&apos;s next key frame). Exit code 3: written, but some channel has no readable recording for part of it.</source>
        <translation>The camera channel (as --list names it) of the clip or still, or all: one file per channel, named with _&lt;channel&gt; before the extension, all of the same instant (clips re-encoded from --from to each channel&apos;s next key frame). Exit code 3: written, but some channel has no readable recording for part of it.</translation>
    </message>
    <message>
        <source>Trip %1 has no channel %2; its channels: %3.</source>
        <translation>Trip %1 has no channel %2; its channels: %3.</translation>
    </message>
    <message>
        <source>Neither reads nor writes the cache of lengths, checks, position data and thumbnails of recordings.</source>
        <translation>Neither reads nor writes the cache of lengths, checks, position data and thumbnails of recordings.</translation>
    </message>
    <message>
        <source>--overlay-items takes band, map and graph, separated by commas, not %1.</source>
        <translation>--overlay-items takes band, map and graph, separated by commas, not %1.</translation>
    </message>
    <message>
        <source>--layout takes pip, side or main, not %1.</source>
        <translation>--layout takes pip, side or main, not %1.</translation>
    </message>
    <message>
        <source>With --overlay, composes the trip&apos;s channels into one picture, each of the same instant: pip (the others small in the lower right corner), side (side by side) or main (one channel). --channel NAME is the large one, and alone without --layout.</source>
        <translation>With --overlay, composes the trip's channels into one picture, each of the same instant: pip (the others small in the lower right corner), side (side by side) or main (one channel). --channel NAME is the large one, and alone without --layout.</translation>
    </message>
</context>
<context>
    <name>CommandLineTrips</name>
    <message>
        <source>No such file or folder: %1</source>
        <translation>No such file or folder: %1</translation>
    </message>
</context>
<context>
    <name>Compass</name>
    <message>
        <source>N</source>
        <comment>compass: north</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass: east</comment>
        <translation>E</translation>
    </message>
    <message>
        <source>S</source>
        <comment>compass: south</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>W</source>
        <comment>compass: west</comment>
        <translation>W</translation>
    </message>
</context>
<context>
    <name>ControlPanelWgt</name>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
    </message>
    <message>
        <source>Playback speed (%1 slower, %2 faster, %3 normal)</source>
        <translation>Playback speed (%1 slower, %2 faster, %3 normal)</translation>
    </message>
    <message>
        <source>In point; again at the same place clears it</source>
        <translation>In point; again at the same place clears it</translation>
    </message>
    <message>
        <source>Out point; again at the same place clears it</source>
        <translation>Out point; again at the same place clears it</translation>
    </message>
    <message>
        <source>Save the picture as PNG</source>
        <translation>Save the picture as PNG</translation>
    </message>
    <message>
        <source>Export the clip between the in and out points (or the whole trip); the menu exports the track</source>
        <translation>Export the clip between the in and out points (or the whole trip); the menu exports the track</translation>
    </message>
</context>
<context>
    <name>DriveData</name>
    <message>
        <source>No data</source>
        <translation>No data</translation>
    </message>
</context>
<context>
    <name>EvidenceExport</name>
    <message>
        <source>trip</source>
        <translation>trip</translation>
    </message>
    <message>
        <source>Export clip</source>
        <translation>Export clip</translation>
    </message>
    <message>
        <source>MP4 video (*.mp4)</source>
        <translation>MP4 video (*.mp4)</translation>
    </message>
    <message>
        <source>Clip saved: %1 (with its track as GPX)</source>
        <translation>Clip saved: %1 (with its track as GPX)</translation>
    </message>
    <message>
        <source>Clip saved: %1</source>
        <translation>Clip saved: %1</translation>
    </message>
    <message>
        <source>Export cancelled; nothing was written.</source>
        <translation>Export cancelled; nothing was written.</translation>
    </message>
    <message>
        <source>The clip could not be exported.</source>
        <translation>The clip could not be exported.</translation>
    </message>
    <message>
        <source>The track cannot be exported.</source>
        <translation>The track cannot be exported.</translation>
    </message>
    <message>
        <source>This trip has no position data.</source>
        <translation>This trip has no position data.</translation>
    </message>
    <message>
        <source>%1 files (*.%2)</source>
        <translation>%1 files (*.%2)</translation>
    </message>
    <message>
        <source>Export track</source>
        <translation>Export track</translation>
    </message>
    <message>
        <source>The track could not be exported.</source>
        <translation>The track could not be exported.</translation>
    </message>
    <message>
        <source>Track saved: %1</source>
        <translation>Track saved: %1</translation>
    </message>
    <message>
        <source>The snapshot could not be saved.</source>
        <translation>The snapshot could not be saved.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation>The folder %1 cannot be created.</translation>
    </message>
    <message>
        <source>Snapshot saved: %1</source>
        <translation>Snapshot saved: %1</translation>
    </message>
    <message>
        <source>A clip is still being exported.</source>
        <translation>A clip is still being exported.</translation>
    </message>
    <message>
        <source>Quit once the clip is saved, or cancel the export and quit now?</source>
        <translation>Quit once the clip is saved, or cancel the export and quit now?</translation>
    </message>
    <message>
        <source>Quit when saved</source>
        <translation>Quit when saved</translation>
    </message>
    <message>
        <source>Cancel export and quit</source>
        <translation>Cancel export and quit</translation>
    </message>
    <message>
        <source>Don&apos;t quit</source>
        <translation>Don&apos;t quit</translation>
    </message>
    <message>
        <source>The program quits when the clip is saved.</source>
        <translation>The program quits when the clip is saved.</translation>
    </message>
    <message>
        <source>%1 exists already.</source>
        <translation>%1 exists already.</translation>
    </message>
    <message>
        <source>The clip&apos;s track goes into this file. Replace it?</source>
        <translation>The clip&apos;s track goes into this file. Replace it?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>Don&apos;t export</source>
        <translation>Don&apos;t export</translation>
    </message>
    <message>
        <source>it starts %1 s before the in point, at %2 (key frame)</source>
        <translation>it starts %1 s before the in point, at %2 (key frame)</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Export with data</translation>
    </message>
    <message>
        <source>Clips saved: %1</source>
        <translation>Clips saved: %1</translation>
    </message>
    <message>
        <source>Snapshots saved: %1</source>
        <translation>Snapshots saved: %1</translation>
    </message>
    <message>
        <source>A channel&apos;s clip goes into this file. Replace it?</source>
        <translation>A channel&apos;s clip goes into this file. Replace it?</translation>
    </message>
</context>
<context>
    <name>ExportMenu</name>
    <message>
        <source>Export clip as MP4 with GPX…</source>
        <translation>Export clip as MP4 with GPX…</translation>
    </message>
    <message>
        <source>Export track as GPX…</source>
        <translation>Export track as GPX…</translation>
    </message>
    <message>
        <source>Export track as KML…</source>
        <translation>Export track as KML…</translation>
    </message>
    <message>
        <source>Export track as CSV…</source>
        <translation>Export track as CSV…</translation>
    </message>
    <message>
        <source>Clear in and out points</source>
        <translation>Clear in and out points</translation>
    </message>
    <message>
        <source>Exact cut at the in point (re-encodes up to the next key frame)</source>
        <translation>Exact cut at the in point (re-encodes up to the next key frame)</translation>
    </message>
    <message>
        <source>Export with data: date, time, speed and place in the picture…</source>
        <translation>Export with data: date, time, speed and place in the picture…</translation>
    </message>
    <message>
        <source>Draw privacy masks over faces and number plates</source>
        <translation>Draw privacy masks over faces and number plates</translation>
    </message>
</context>
<context>
    <name>Graph</name>
    <message>
        <source>Speed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Acceleration X</source>
        <translation>Acceleration X</translation>
    </message>
    <message>
        <source>Acceleration Y</source>
        <translation>Acceleration Y</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Do you want to close the application?</source>
        <translation>Do you want to close the application?</translation>
    </message>
    <message>
        <source>Halvard Tarrow</source>
        <translation>Halvard Tarrow</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Settings cannot be saved.</source>
        <translation>Settings cannot be saved.</translation>
    </message>
    <message>
        <source>No folder of your own can be written (neither beside the program nor in your configuration folder). Tarrow runs with its default settings and forgets changes when it closes.</source>
        <translation>No folder of your own can be written (neither beside the program nor in your configuration folder). Tarrow runs with its default settings and forgets changes when it closes.</translation>
    </message>
    <message>
        <source>No privacy masks on this trip.</source>
        <translation>No privacy masks on this trip.</translation>
    </message>
    <message>
        <source>Masks saved: exports with data and snapshots of this trip apply them.</source>
        <translation>Masks saved: exports with data and snapshots of this trip apply them.</translation>
    </message>
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Centre on vehicle</source>
        <translation>Centre on vehicle</translation>
    </message>
    <message>
        <source>Show whole route</source>
        <translation>Show whole route</translation>
    </message>
</context>
<context>
    <name>MaskPanel</name>
    <message>
        <source>The masks could not be saved: %1</source>
        <translation>The masks could not be saved: %1</translation>
    </message>
    <message>
        <source>Drag on the picture to hide a face or a number plate. Step on to where it has gone and drag the mask after it: it moves evenly between the places you set.</source>
        <translation>Drag on the picture to hide a face or a number plate. Step on to where it has gone and drag the mask after it: it moves evenly between the places you set.</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Blur</translation>
    </message>
    <message>
        <source>Pixelate</source>
        <translation>Pixelate</translation>
    </message>
    <message>
        <source>Remove keyframe</source>
        <translation>Remove keyframe</translation>
    </message>
    <message>
        <source>Delete mask</source>
        <translation>Delete mask</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Done</translation>
    </message>
</context>
<context>
    <name>Masks</name>
    <message>
        <source>not JSON: %1 at byte %2</source>
        <translation>not JSON: %1 at byte %2</translation>
    </message>
    <message>
        <source>no list &quot;masks&quot; in the file</source>
        <translation>no list &quot;masks&quot; in the file</translation>
    </message>
    <message>
        <source>mask %1 has no list &quot;keyframes&quot;</source>
        <translation>mask %1 has no list &quot;keyframes&quot;</translation>
    </message>
    <message>
        <source>mask %1: the mode is &quot;blur&quot; or &quot;pixelate&quot;, not &quot;%2&quot;</source>
        <translation>mask %1: the mode is &quot;blur&quot; or &quot;pixelate&quot;, not &quot;%2&quot;</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: &quot;%3&quot; is missing or not a number</source>
        <translation>mask %1, keyframe %2: &quot;%3&quot; is missing or not a number</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: the time must not be negative, the width and height must be positive</source>
        <translation>mask %1, keyframe %2: the time must not be negative, the width and height must be positive</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2 lies outside the picture of %3 × %4 pixels</source>
        <translation>mask %1, keyframe %2 lies outside the picture of %3 × %4 pixels</translation>
    </message>
    <message>
        <source>no data folder for the masks</source>
        <translation>no data folder for the masks</translation>
    </message>
</context>
<context>
    <name>OverlayExport</name>
    <message>
        <source>The trip has no video to export.</source>
        <translation>The trip has no video to export.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Refusing to overwrite the recording %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>The export was cancelled.</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Cannot write the clip.</translation>
    </message>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Cannot read the video of %1.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Cannot find the start of the range in %1.</translation>
    </message>
    <message>
        <source>No H.264 encoder is installed.</source>
        <translation>No H.264 encoder is installed.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>Nothing to export in this range.</translation>
    </message>
</context>
<context>
    <name>OverlayPainter</name>
    <message>
        <source>no data</source>
        <translation>no data</translation>
    </message>
    <message>
        <source>speed unknown</source>
        <translation>speed unknown</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>position hidden</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>heading %1</translation>
    </message>
    <message>
        <source>© OpenStreetMap contributors</source>
        <translation>© OpenStreetMap contributors</translation>
    </message>
</context>
<context>
    <name>PlaylistWgt</name>
    <message>
        <source>Events</source>
        <translation>Events</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Invalid files selected!</source>
        <translation>Invalid files selected!</translation>
    </message>
    <message>
        <source>Open Movie or Directory</source>
        <translation>Open Movie or Directory</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Open the camera&apos;s memory card or a folder of recordings; its trips are listed here.</source>
        <translation>Open the camera&apos;s memory card or a folder of recordings; its trips are listed here.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera video(s) found.</source>
        <translation>
            <numerusform>%n camera video found.</numerusform>
            <numerusform>%n camera videos found.</numerusform>
        </translation>
    </message>
    <message>
        <source>List the files that were left out and why</source>
        <translation>List the files that were left out and why</translation>
    </message>
    <message>
        <source>No recordings could be opened from %1.</source>
        <translation>No recordings could be opened from %1.</translation>
    </message>
    <message>
        <source>No recordings open</source>
        <translation>No recordings open</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n video(s) from %1 could be played.</source>
        <translation>
            <numerusform>The video from %1 could not be played.</numerusform>
            <numerusform>None of the %n videos from %1 could be played.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open recordings…</source>
        <translation>Open recordings…</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Shortcut: %1</translation>
    </message>
    <message>
        <source>show the files</source>
        <translation>show the files</translation>
    </message>
    <message numerus="yes">
        <source>%n ch.</source>
        <comment>channels, short</comment>
        <translation>
            <numerusform>%n ch.</numerusform>
            <numerusform>%n ch.</numerusform>
        </translation>
    </message>
    <message>
        <source>Channels: %1</source>
        <translation>Channels: %1</translation>
    </message>
</context>
<context>
    <name>PrivacyZones</name>
    <message>
        <source>the privacy zone %1 is not LAT,LON,RADIUS_M</source>
        <translation>the privacy zone %1 is not LAT,LON,RADIUS_M</translation>
    </message>
    <message>
        <source>the privacy zone %1 lies outside the latitudes -90 to 90 and longitudes -180 to 180</source>
        <translation>the privacy zone %1 lies outside the latitudes -90 to 90 and longitudes -180 to 180</translation>
    </message>
    <message>
        <source>the privacy zone %1 has a negative radius</source>
        <translation>the privacy zone %1 has a negative radius</translation>
    </message>
</context>
<context>
    <name>PrivacyZonesDialog</name>
    <message>
        <source>Privacy zones</source>
        <translation>Privacy zones</translation>
    </message>
    <message>
        <source>No export shows a position within these circles, such as around your home; time and speed stay. One zone a line: latitude, longitude, radius in metres, e.g. 48.1374,11.5755,200.</source>
        <translation>No export shows a position within these circles, such as around your home; time and speed stay. One zone a line: latitude, longitude, radius in metres, e.g. 48.1374,11.5755,200.</translation>
    </message>
    <message>
        <source>Zones</source>
        <translation>Zones</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Line %1: %2</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source> km/h</source>
        <translation> km/h</translation>
    </message>
    <message>
        <source> m/s²</source>
        <translation> m/s²</translation>
    </message>
    <message>
        <source> mph</source>
        <translation> mph</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Acceleration in m/s²</source>
        <translation>Acceleration in m/s²</translation>
    </message>
    <message>
        <source>Application already started!</source>
        <translation>Application already started!</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Backward</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Corrupted file. Video can&apos;t be loaded!</source>
        <translation>Corrupted file. Video can&apos;t be loaded!</translation>
    </message>
    <message>
        <source>Playback stopped: the recording %1 can no longer be read. The card or folder may have been removed.</source>
        <translation>Playback stopped: the recording %1 can no longer be read. The card or folder may have been removed.</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximize</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimize</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Open Halvard website</source>
        <translation>Open Halvard website</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Restore down</source>
        <translation>Restore down</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Select language</translation>
    </message>
    <message>
        <source>Speed in km/h</source>
        <translation>Speed in km/h</translation>
    </message>
    <message>
        <source>Speed in mph</source>
        <translation>Speed in mph</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>Video fullscreen off</source>
        <translation>Video fullscreen off</translation>
    </message>
    <message>
        <source>Video fullscreen on</source>
        <translation>Video fullscreen on</translation>
    </message>
    <message>
        <source>Volume off</source>
        <translation>Volume off</translation>
    </message>
    <message>
        <source>Volume on</source>
        <translation>Volume on</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Zoom in</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Zoom out</translation>
    </message>
    <message>
        <source> g</source>
        <translation> g</translation>
    </message>
    <message>
        <source> km</source>
        <translation> km</translation>
    </message>
    <message>
        <source> m</source>
        <translation> m</translation>
    </message>
    <message>
        <source> mi</source>
        <translation> mi</translation>
    </message>
    <message>
        <source> ft</source>
        <translation> ft</translation>
    </message>
    <message>
        <source>N</source>
        <comment>compass point</comment>
        <translation>N</translation>
    </message>
    <message>
        <source>NE</source>
        <comment>compass point</comment>
        <translation>NE</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass point</comment>
        <translation>E</translation>
    </message>
    <message>
        <source>SE</source>
        <comment>compass point</comment>
        <translation>SE</translation>
    </message>
    <message>
        <source>S</source>
        <comment>compass point</comment>
        <translation>S</translation>
    </message>
    <message>
        <source>SW</source>
        <comment>compass point</comment>
        <translation>SW</translation>
    </message>
    <message>
        <source>W</source>
        <comment>compass point</comment>
        <translation>W</translation>
    </message>
    <message>
        <source>NW</source>
        <comment>compass point</comment>
        <translation>NW</translation>
    </message>
</context>
<context>
    <name>RouteLegend</name>
    <message>
        <source>Ahead</source>
        <translation>Ahead</translation>
    </message>
    <message>
        <source>Bridged gap</source>
        <translation>Bridged gap</translation>
    </message>
    <message>
        <source>Driven</source>
        <translation>Driven</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>No GPS fix</source>
        <translation>No GPS fix</translation>
    </message>
</context>
<context>
    <name>SelectionReport</name>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 does not exist.</translation>
    </message>
    <message numerus="yes">
        <source>%n chosen item(s) in %1</source>
        <translation>
            <numerusform>%n chosen item in %1</numerusform>
            <numerusform>%n chosen items in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) looked at, none of them a camera recording (a video named like 001_0001_20240501120000.mp4).</source>
        <translation>
            <numerusform>%n file looked at, not a camera recording (a video named like 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>%n files looked at, none of them a camera recording (a video named like 001_0001_20240501120000.mp4).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of the chosen paths do(es) not exist.</source>
        <translation>
            <numerusform>%n of the chosen paths does not exist.</numerusform>
            <numerusform>%n of the chosen paths do not exist.</numerusform>
        </translation>
    </message>
    <message>
        <source>No files were found.</source>
        <translation>No files were found.</translation>
    </message>
    <message>
        <source>No recordings found in %1.</source>
        <translation>No recordings found in %1.</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n chosen path(s) exists.</source>
        <translation>
            <numerusform>The chosen path does not exist.</numerusform>
            <numerusform>None of the %n chosen paths exists.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was opened.</source>
        <translation>Nothing was opened.</translation>
    </message>
    <message>
        <source>The folder and its subfolders hold no files.</source>
        <translation>The folder and its subfolders hold no files.</translation>
    </message>
</context>
<context>
    <name>SettingsButton</name>
    <message>
        <source>Acceleration</source>
        <translation>Acceleration</translation>
    </message>
    <message>
        <source>Kilometres per hour (km/h)</source>
        <translation>Kilometres per hour (km/h)</translation>
    </message>
    <message>
        <source>Metres per second squared (m/s²)</source>
        <translation>Metres per second squared (m/s²)</translation>
    </message>
    <message>
        <source>Miles per hour (mph)</source>
        <translation>Miles per hour (mph)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Standard gravity (g)</source>
        <translation>Standard gravity (g)</translation>
    </message>
    <message>
        <source>Time offset: %1 h…</source>
        <translation>Time offset: %1 h…</translation>
    </message>
    <message>
        <source>Settings: units, time offset and snapshots</source>
        <translation>Settings: units, time offset and snapshots</translation>
    </message>
    <message>
        <source>Folder for snapshots</source>
        <translation>Folder for snapshots</translation>
    </message>
    <message>
        <source>Snapshot folder: %1…</source>
        <translation>Snapshot folder: %1…</translation>
    </message>
    <message>
        <source>Data band below snapshots</source>
        <translation>Data band below snapshots</translation>
    </message>
    <message>
        <source>Hardware video decoding</source>
        <translation>Hardware video decoding</translation>
    </message>
    <message>
        <source>Clips exported with data</source>
        <translation>Clips exported with data</translation>
    </message>
    <message>
        <source>Route map</source>
        <translation>Route map</translation>
    </message>
    <message>
        <source>Speed and acceleration strip</source>
        <translation>Speed and acceleration strip</translation>
    </message>
    <message numerus="yes">
        <source>Privacy zones: %n…</source>
        <translation>
            <numerusform>Privacy zones: %n…</numerusform>
            <numerusform>Privacy zones: %n…</numerusform>
        </translation>
    </message>
    <message>
        <source>Clear cache</source>
        <translation>Clear cache</translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message numerus="yes">
        <source>%n file(s) skipped</source>
        <translation>
            <numerusform>%n file skipped</numerusform>
            <numerusform>%n files skipped</numerusform>
        </translation>
    </message>
    <message>
        <source>not a playable video</source>
        <translation>not a playable video</translation>
    </message>
    <message>
        <source>not named like a camera recording</source>
        <translation>not named like a camera recording</translation>
    </message>
    <message>
        <source>without a matching NMEA file</source>
        <translation>without a matching NMEA file</translation>
    </message>
    <message>
        <source>without a valid start time in the name</source>
        <translation>without a valid start time in the name</translation>
    </message>
    <message>
        <source>gone while they were read</source>
        <translation>gone while they were read</translation>
    </message>
</context>
<context>
    <name>SkippedFilesDialog</name>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Reason</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Cannot decode a frame of %1.</source>
        <translation>Cannot decode a frame of %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Refusing to overwrite the recording %1.</translation>
    </message>
    <message>
        <source>The trip has no video.</source>
        <translation>The trip has no video.</translation>
    </message>
    <message>
        <source>Cannot find the position in %1.</source>
        <translation>Cannot find the position in %1.</translation>
    </message>
    <message>
        <source>no GPS fix</source>
        <translation>no GPS fix</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>heading %1</translation>
    </message>
    <message>
        <source>No %1 recording at %2</source>
        <translation>No %1 recording at %2</translation>
    </message>
    <message>
        <source>No %1 recording at %2: %3</source>
        <translation>No %1 recording at %2: %3</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>position hidden</translation>
    </message>
</context>
<context>
    <name>TimeOffsetDialog</name>
    <message>
        <source> h</source>
        <translation> h</translation>
    </message>
    <message>
        <source> min</source>
        <translation> min</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Hours</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minutes</translation>
    </message>
    <message>
        <source>No offset</source>
        <translation>No offset</translation>
    </message>
    <message>
        <source>Shift the shown clock times, for a camera whose clock or GPS time is not the local time.</source>
        <translation>Shift the shown clock times, for a camera whose clock or GPS time is not the local time.</translation>
    </message>
    <message>
        <source>Time offset</source>
        <translation>Time offset</translation>
    </message>
</context>
<context>
    <name>TripSummary</name>
    <message>
        <source> km</source>
        <translation> km</translation>
    </message>
    <message>
        <source> mi</source>
        <translation> mi</translation>
    </message>
    <message>
        <source>%1 bridged</source>
        <translation>%1 bridged</translation>
    </message>
    <message>
        <source>%1 h %2 min driving</source>
        <translation>%1 h %2 min driving</translation>
    </message>
    <message>
        <source>%1 min driving</source>
        <translation>%1 min driving</translation>
    </message>
    <message>
        <source>max %1</source>
        <translation>max %1</translation>
    </message>
    <message>
        <source>avg %1</source>
        <translation>avg %1</translation>
    </message>
    <message numerus="yes">
        <source>%n stop(s)</source>
        <translation>
            <numerusform>%n stop</numerusform>
            <numerusform>%n stops</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s)</source>
        <translation>
            <numerusform>%n event</numerusform>
            <numerusform>%n events</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>VideoSelection</name>
    <message>
        <source>Videos (*.mp4 *.MP4 *.mov *.MOV)</source>
        <translation>Videos (*.mp4 *.MP4 *.mov *.MOV)</translation>
    </message>
</context>
</TS>
