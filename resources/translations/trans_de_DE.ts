<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <translation>Endbenutzer-Lizenzvertrag</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <comment>tab</comment>
        <translation>Endbenutzer-
Lizenzvertrag</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <translation>Impressum</translation>
    </message>
    <message>
        <source>Legal notice</source>
        <comment>tab</comment>
        <translation>Impressum</translation>
    </message>
    <message>
        <source>Licenses</source>
        <translation>Lizenzen</translation>
    </message>
    <message>
        <source>Privacy</source>
        <translation>Datenschutz</translation>
    </message>
    <message>
        <source>Privacy statement</source>
        <translation>Datenschutzerklärung</translation>
    </message>
    <message>
        <source>This application uses the following 3rd-party opensource components</source>
        <translation>Diese Anwendung verwendet die folgenden quelloffenen Komponenten von Drittanbietern</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>ChannelComposer</name>
    <message>
        <source>No %1 recording</source>
        <translation>Keine Aufnahme „%1“</translation>
    </message>
</context>
<context>
    <name>ChannelDeck</name>
    <message>
        <source>%1 (click: show large)</source>
        <translation>%1 (Klick: groß zeigen)</translation>
    </message>
</context>
<context>
    <name>ChannelView</name>
    <message>
        <source>front</source>
        <translation>vorn</translation>
    </message>
    <message>
        <source>rear</source>
        <translation>hinten</translation>
    </message>
    <message>
        <source>interior</source>
        <translation>innen</translation>
    </message>
    <message>
        <source>left side</source>
        <translation>links</translation>
    </message>
    <message>
        <source>right side</source>
        <translation>rechts</translation>
    </message>
    <message>
        <source>left pillar</source>
        <translation>Säule links</translation>
    </message>
    <message>
        <source>right pillar</source>
        <translation>Säule rechts</translation>
    </message>
    <message>
        <source>The %1 recording cannot be played</source>
        <translation>Die Aufnahme der Kamera „%1“ lässt sich nicht abspielen</translation>
    </message>
    <message>
        <source>No %1 recording for %2–%3</source>
        <translation>Keine Aufnahme „%1“ für %2–%3</translation>
    </message>
</context>
<context>
    <name>ClipExport</name>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Das Video von %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Der Clip kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>In diesem Bereich gibt es nichts zu exportieren.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Die Aufnahme %1 wird nicht überschrieben.</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Der Export wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The files of this range differ in format and cannot be joined without re-encoding.</source>
        <translation>Die Dateien dieses Bereichs haben verschiedene Formate und lassen sich nicht ohne Neukodierung verbinden.</translation>
    </message>
    <message>
        <source>The recorded format cannot be written to MP4.</source>
        <translation>Das aufgezeichnete Format kann nicht als MP4 geschrieben werden.</translation>
    </message>
    <message>
        <source>The trip has no video to export.</source>
        <translation>Die Fahrt enthält kein Video zum Exportieren.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Der Anfang des Bereichs ist in %1 nicht auffindbar.</translation>
    </message>
    <message>
        <source>The %1 recording %2 cannot be read: %3</source>
        <translation>Die Aufnahme %2 des Kanals %1 kann nicht gelesen werden: %3</translation>
    </message>
    <message>
        <source>No %1 clip written: %2</source>
        <translation>Kein Abschnitt des Kanals %1 geschrieben: %2</translation>
    </message>
    <message>
        <source>No %1 recording from %2 to %3</source>
        <translation>Keine Aufnahme des Kanals %1 von %2 bis %3</translation>
    </message>
    <message>
        <source>no video</source>
        <translation>kein Video</translation>
    </message>
    <message>
        <source>the range cannot be found in it</source>
        <translation>der Bereich ist darin nicht zu finden</translation>
    </message>
</context>
<context>
    <name>ClipExportJob</name>
    <message>
        <source>Export clip</source>
        <translation>Abschnitt exportieren</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Writing %1…</source>
        <translation>%1 wird geschrieben…</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Mit Daten exportieren</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>--%1 %2 is no trip position: use mm:ss, hh:mm:ss or seconds.</source>
        <translation>--%1 %2 ist keine Position der Fahrt: mm:ss, hh:mm:ss oder Sekunden verwenden.</translation>
    </message>
    <message>
        <source>--%1 does not apply to --%2.</source>
        <translation>--%1 gilt nicht für --%2.</translation>
    </message>
    <message>
        <source>--%1 needs a command.</source>
        <translation>--%1 braucht einen Befehl.</translation>
    </message>
    <message>
        <source>--at lies after the end of trip %1 (%2).</source>
        <translation>--at liegt nach dem Ende von Fahrt %1 (%2).</translation>
    </message>
    <message>
        <source>--export-track takes gpx, kml or csv, not %1.</source>
        <translation>--export-track erwartet gpx, kml oder csv, nicht %1.</translation>
    </message>
    <message>
        <source>--from lies after the end of trip %1 (%2).</source>
        <translation>--from liegt nach dem Ende von Fahrt %1 (%2).</translation>
    </message>
    <message>
        <source>--time-offset takes ±HH:MM, not %1.</source>
        <translation>--time-offset erwartet ±HH:MM, nicht %1.</translation>
    </message>
    <message>
        <source>--to lies before --from.</source>
        <translation>--to liegt vor --from.</translation>
    </message>
    <message>
        <source>--trip takes a trip number from 1 on, not %1.</source>
        <translation>--trip erwartet eine Fahrtnummer ab 1, nicht %1.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Choose the trip with --trip N.</source>
        <translation>Wählen Sie die Fahrt mit --trip N.</translation>
    </message>
    <message>
        <source>End of the range, included.</source>
        <translation>Ende des Bereichs, eingeschlossen.</translation>
    </message>
    <message>
        <source>Exports the positions of a trip as gpx, kml or csv.</source>
        <translation>Exportiert die Positionen einer Fahrt als gpx, kml oder csv.</translation>
    </message>
    <message>
        <source>Give one command at a time, not --%1.</source>
        <translation>Nur ein Befehl auf einmal, nicht --%1.</translation>
    </message>
    <message>
        <source>Give the position with --at T.</source>
        <translation>Geben Sie die Position mit --at T an.</translation>
    </message>
    <message>
        <source>Give the range with --from T --to T.</source>
        <translation>Geben Sie den Bereich mit --from T --to T an.</translation>
    </message>
    <message>
        <source>Name the file to write with -o FILE.</source>
        <translation>Geben Sie die zu schreibende Datei mit -o DATEI an.</translation>
    </message>
    <message>
        <source>Name the recordings: video files or folders.</source>
        <translation>Geben Sie die Aufnahmen an: Videodateien oder Ordner.</translation>
    </message>
    <message>
        <source>No command given.</source>
        <translation>Kein Befehl angegeben.</translation>
    </message>
    <message>
        <source>No playable recordings found.</source>
        <translation>Keine abspielbaren Aufnahmen gefunden.</translation>
    </message>
    <message>
        <source>Plays the recordings of an in-car camera. With a command, it exports or lists them without a window.</source>
        <translation>Spielt die Aufnahmen einer Fahrzeugkamera ab. Mit einem Befehl exportiert oder listet es sie ohne Fenster.</translation>
    </message>
    <message>
        <source>Position of the still.</source>
        <translation>Position des Standbilds.</translation>
    </message>
    <message>
        <source>Prints the trips of the recordings as JSON.</source>
        <translation>Gibt die Fahrten der Aufnahmen als JSON aus.</translation>
    </message>
    <message>
        <source>Recordings: video files and folders.</source>
        <translation>Aufnahmen: Videodateien und Ordner.</translation>
    </message>
    <message>
        <source>Saves the frame at a trip position as PNG.</source>
        <translation>Speichert das Bild an einer Position der Fahrt als PNG.</translation>
    </message>
    <message>
        <source>Offset of local time from the recorded UTC, e.g. +02:00.</source>
        <translation>Abstand der Ortszeit zur aufgezeichneten UTC, z. B. +02:00.</translation>
    </message>
    <message>
        <source>Start of the range: mm:ss, hh:mm:ss or seconds.</source>
        <translation>Beginn des Bereichs: mm:ss, hh:mm:ss oder Sekunden.</translation>
    </message>
    <message>
        <source>The file to write.</source>
        <translation>Die zu schreibende Datei.</translation>
    </message>
    <message>
        <source>The trip, numbered as --list numbers them.</source>
        <translation>Die Fahrt, nummeriert wie in --list.</translation>
    </message>
    <message numerus="yes">
        <source>There is no trip %1: the recordings hold %n trip(s).</source>
        <translation>
            <numerusform>Es gibt keine Fahrt %1: die Aufnahmen enthalten %n Fahrt.</numerusform>
            <numerusform>Es gibt keine Fahrt %1: die Aufnahmen enthalten %n Fahrten.</numerusform>
        </translation>
    </message>
    <message>
        <source>Trip %1 has no position data.</source>
        <translation>Fahrt %1 hat keine Positionsdaten.</translation>
    </message>
    <message>
        <source>Trip %1 has no position data: no GPX file written.</source>
        <translation>Fahrt %1 hat keine Positionsdaten: keine GPX-Datei geschrieben.</translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos; for the options.</source>
        <translation>Die Optionen zeigt &apos;%1 --help&apos;.</translation>
    </message>
    <message>
        <source>Writes date, time and offset, coordinates, speed and heading below the still.</source>
        <translation>Schreibt Datum, Uhrzeit mit Zeitversatz, Koordinaten, Geschwindigkeit und Kurs unter das Standbild.</translation>
    </message>
    <message>
        <source>Writes diagnostic messages to stderr.</source>
        <translation>Schreibt Diagnosemeldungen auf stderr.</translation>
    </message>
    <message>
        <source>Replaces files that exist already instead of refusing to write them.</source>
        <translation>Ersetzt vorhandene Dateien, statt das Schreiben abzulehnen.</translation>
    </message>
    <message>
        <source>%1 exists already; give --overwrite to replace it.</source>
        <translation>Die Datei %1 gibt es schon; mit --overwrite wird sie ersetzt.</translation>
    </message>
    <message>
        <source>Exports a range of a trip as one MP4 file, with a GPX file beside it. Without re-encoding, it starts at the key frame at or before --from.</source>
        <translation>Exportiert einen Bereich einer Fahrt als eine MP4-Datei, mit einer GPX-Datei daneben. Ohne Neukodierung beginnt er beim Schlüsselbild an oder vor --from.</translation>
    </message>
    <message>
        <source>Re-encodes the clip&apos;s pictures from --from to the next key frame, so that it starts at --from.</source>
        <translation>Kodiert die Bilder des Abschnitts von --from bis zum nächsten Schlüsselbild neu, sodass er bei --from beginnt.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame): its video cannot be re-encoded.</source>
        <translation>Der Abschnitt beginnt %1 s vor --from, bei %2 (Schlüsselbild): sein Video lässt sich nicht neu kodieren.</translation>
    </message>
    <message>
        <source>The clip starts %1 s before --from, at %2 (key frame); --exact-cut starts it at --from.</source>
        <translation>Der Abschnitt beginnt %1 s vor --from, bei %2 (Schlüsselbild); mit --exact-cut beginnt er bei --from.</translation>
    </message>
    <message>
        <source>Re-encodes the clip with a band of data in the picture: date and time, speed, coordinates and heading.</source>
        <translation>Kodiert den Abschnitt neu, mit einer Datenleiste im Bild: Datum und Uhrzeit, Geschwindigkeit, Koordinaten und Kurs.</translation>
    </message>
    <message>
        <source>What --overlay draws: band, map, graph, separated by commas.</source>
        <translation>Was --overlay zeichnet: band, map, graph, durch Kommas getrennt.</translation>
    </message>
    <message>
        <source>Speed in km/h or mph in the overlay and the still&apos;s band.</source>
        <translation>Geschwindigkeit in km/h oder mph in der Einblendung und der Datenleiste des Standbilds.</translation>
    </message>
    <message>
        <source>Blurs or pixelates the rectangles of a mask file (JSON) in the overlay export or the still.</source>
        <translation>Macht die Rechtecke einer Maskendatei (JSON) im Export mit Daten oder im Standbild unscharf oder verpixelt sie.</translation>
    </message>
    <message>
        <source>Leaves out every position within RADIUS_M metres of LAT,LON; may be repeated.</source>
        <translation>Lässt jede Position im Umkreis von RADIUS_M Metern um LAT,LON weg; mehrfach möglich.</translation>
    </message>
    <message>
        <source>--units takes km/h or mph, not %1.</source>
        <translation>--units erwartet km/h oder mph, nicht %1.</translation>
    </message>
    <message>
        <source>--%1 needs --overlay: the clip is re-encoded then.</source>
        <translation>--%1 braucht --overlay: Dann wird der Abschnitt neu kodiert.</translation>
    </message>
    <message>
        <source>Bad mask file: %1</source>
        <translation>Fehlerhafte Maskendatei: %1</translation>
    </message>
    <message>
        <source>The camera channel (as --list names it) of the clip or still, or all: one file per channel, named with _&lt;channel&gt; before the extension, all of the same instant (clips re-encoded from --from to each channel&apos;s next key frame). Exit code 3: written, but some channel has no readable recording for part of it.</source>
        <translation>Der Kamerakanal (wie --list ihn nennt) des Abschnitts oder Standbilds, oder all: eine Datei je Kanal, mit _&lt;Kanal&gt; vor der Endung benannt, alle vom selben Augenblick (Abschnitte von --from bis zum nächsten Schlüsselbild jedes Kanals neu kodiert). Exit-Code 3: geschrieben, aber einem Kanal fehlt für einen Teil davon eine lesbare Aufnahme.</translation>
    </message>
    <message>
        <source>Trip %1 has no channel %2; its channels: %3.</source>
        <translation>Fahrt %1 hat keinen Kanal %2; ihre Kanäle: %3.</translation>
    </message>
    <message>
        <source>Neither reads nor writes the cache of lengths, checks, position data and thumbnails of recordings.</source>
        <translation>Liest und schreibt den Zwischenspeicher der Längen, Prüfungen, Positionsdaten und Vorschaubilder der Aufnahmen nicht.</translation>
    </message>
    <message>
        <source>--overlay-items takes band, map and graph, separated by commas, not %1.</source>
        <translation>--overlay-items nimmt band, map und graph, durch Kommas getrennt, nicht %1.</translation>
    </message>
    <message>
        <source>--layout takes pip, side or main, not %1.</source>
        <translation>--layout nimmt pip, side oder main, nicht %1.</translation>
    </message>
    <message>
        <source>With --overlay, composes the trip&apos;s channels into one picture, each of the same instant: pip (the others small in the lower right corner), side (side by side) or main (one channel). --channel NAME is the large one, and alone without --layout.</source>
        <translation>Mit --overlay werden die Kanäle der Fahrt zu einem Bild zusammengesetzt, alle vom selben Augenblick: pip (die anderen klein in der rechten unteren Ecke), side (nebeneinander) oder main (ein Kanal). --channel NAME ist der große Kanal, ohne --layout der einzige.</translation>
    </message>
</context>
<context>
    <name>CommandLineTrips</name>
    <message>
        <source>No such file or folder: %1</source>
        <translation>Datei oder Ordner nicht vorhanden: %1</translation>
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
        <translation>O</translation>
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
        <translation>Wiedergabetempo (%1 langsamer, %2 schneller, %3 normal)</translation>
    </message>
    <message>
        <source>In point; again at the same place clears it</source>
        <translation>Startpunkt; erneut an derselben Stelle löscht ihn</translation>
    </message>
    <message>
        <source>Out point; again at the same place clears it</source>
        <translation>Endpunkt; erneut an derselben Stelle löscht ihn</translation>
    </message>
    <message>
        <source>Save the picture as PNG</source>
        <translation>Bild als PNG speichern</translation>
    </message>
    <message>
        <source>Export the clip between the in and out points (or the whole trip); the menu exports the track</source>
        <translation>Den Abschnitt zwischen Start- und Endpunkt (oder die ganze Fahrt) exportieren; das Menü exportiert die Strecke</translation>
    </message>
</context>
<context>
    <name>DriveData</name>
    <message>
        <source>No data</source>
        <translation>Keine Daten</translation>
    </message>
</context>
<context>
    <name>EvidenceExport</name>
    <message>
        <source>trip</source>
        <translation>Fahrt</translation>
    </message>
    <message>
        <source>Export clip</source>
        <translation>Abschnitt exportieren</translation>
    </message>
    <message>
        <source>MP4 video (*.mp4)</source>
        <translation>MP4-Video (*.mp4)</translation>
    </message>
    <message>
        <source>Clip saved: %1 (with its track as GPX)</source>
        <translation>Abschnitt gespeichert: %1 (mit der Strecke als GPX)</translation>
    </message>
    <message>
        <source>Clip saved: %1</source>
        <translation>Abschnitt gespeichert: %1</translation>
    </message>
    <message>
        <source>Export cancelled; nothing was written.</source>
        <translation>Export abgebrochen; nichts wurde geschrieben.</translation>
    </message>
    <message>
        <source>The clip could not be exported.</source>
        <translation>Der Abschnitt konnte nicht exportiert werden.</translation>
    </message>
    <message>
        <source>The track cannot be exported.</source>
        <translation>Die Strecke kann nicht exportiert werden.</translation>
    </message>
    <message>
        <source>This trip has no position data.</source>
        <translation>Diese Fahrt hat keine Positionsdaten.</translation>
    </message>
    <message>
        <source>%1 files (*.%2)</source>
        <translation>%1-Dateien (*.%2)</translation>
    </message>
    <message>
        <source>Export track</source>
        <translation>Strecke exportieren</translation>
    </message>
    <message>
        <source>The track could not be exported.</source>
        <translation>Die Strecke konnte nicht exportiert werden.</translation>
    </message>
    <message>
        <source>Track saved: %1</source>
        <translation>Strecke gespeichert: %1</translation>
    </message>
    <message>
        <source>The snapshot could not be saved.</source>
        <translation>Das Standbild konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The folder %1 cannot be created.</source>
        <translation>Der Ordner %1 kann nicht angelegt werden.</translation>
    </message>
    <message>
        <source>Snapshot saved: %1</source>
        <translation>Standbild gespeichert: %1</translation>
    </message>
    <message>
        <source>A clip is still being exported.</source>
        <translation>Ein Abschnitt wird noch exportiert.</translation>
    </message>
    <message>
        <source>Quit once the clip is saved, or cancel the export and quit now?</source>
        <translation>Nach dem Speichern des Abschnitts beenden oder den Export abbrechen und jetzt beenden?</translation>
    </message>
    <message>
        <source>Quit when saved</source>
        <translation>Nach dem Speichern beenden</translation>
    </message>
    <message>
        <source>Cancel export and quit</source>
        <translation>Export abbrechen und beenden</translation>
    </message>
    <message>
        <source>Don&apos;t quit</source>
        <translation>Nicht beenden</translation>
    </message>
    <message>
        <source>The program quits when the clip is saved.</source>
        <translation>Das Programm wird beendet, sobald der Abschnitt gespeichert ist.</translation>
    </message>
    <message>
        <source>%1 exists already.</source>
        <translation>Die Datei %1 gibt es schon.</translation>
    </message>
    <message>
        <source>The clip&apos;s track goes into this file. Replace it?</source>
        <translation>In diese Datei kommt die Strecke des Abschnitts. Ersetzen?</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Don&apos;t export</source>
        <translation>Nicht exportieren</translation>
    </message>
    <message>
        <source>it starts %1 s before the in point, at %2 (key frame)</source>
        <translation>er beginnt %1 s vor dem Startpunkt, bei %2 (Schlüsselbild)</translation>
    </message>
    <message>
        <source>Export with data</source>
        <translation>Mit Daten exportieren</translation>
    </message>
    <message>
        <source>Clips saved: %1</source>
        <translation>Abschnitte gespeichert: %1</translation>
    </message>
    <message>
        <source>Snapshots saved: %1</source>
        <translation>Standbilder gespeichert: %1</translation>
    </message>
    <message>
        <source>A channel&apos;s clip goes into this file. Replace it?</source>
        <translation>Der Abschnitt eines Kanals kommt in diese Datei. Ersetzen?</translation>
    </message>
</context>
<context>
    <name>ExportMenu</name>
    <message>
        <source>Export clip as MP4 with GPX…</source>
        <translation>Abschnitt als MP4 mit GPX exportieren…</translation>
    </message>
    <message>
        <source>Export track as GPX…</source>
        <translation>Strecke als GPX exportieren…</translation>
    </message>
    <message>
        <source>Export track as KML…</source>
        <translation>Strecke als KML exportieren…</translation>
    </message>
    <message>
        <source>Export track as CSV…</source>
        <translation>Strecke als CSV exportieren…</translation>
    </message>
    <message>
        <source>Clear in and out points</source>
        <translation>Start- und Endpunkt löschen</translation>
    </message>
    <message>
        <source>Exact cut at the in point (re-encodes up to the next key frame)</source>
        <translation>Genauer Schnitt am Startpunkt (kodiert bis zum nächsten Schlüsselbild neu)</translation>
    </message>
    <message>
        <source>Export with data: date, time, speed and place in the picture…</source>
        <translation>Mit Daten exportieren: Datum, Uhrzeit, Geschwindigkeit und Ort im Bild…</translation>
    </message>
    <message>
        <source>Draw privacy masks over faces and number plates</source>
        <translation>Datenschutzmasken über Gesichter und Kennzeichen zeichnen</translation>
    </message>
</context>
<context>
    <name>Graph</name>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Acceleration X</source>
        <translation>Beschleunigung X</translation>
    </message>
    <message>
        <source>Acceleration Y</source>
        <translation>Beschleunigung Y</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Do you want to close the application?</source>
        <translation>Wollen Sie die Anwendung schließen?</translation>
    </message>
    <message>
        <source>Halvard Tarrow</source>
        <translation>Halvard Tarrow</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Settings cannot be saved.</source>
        <translation>Einstellungen können nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>No folder of your own can be written (neither beside the program nor in your configuration folder). Tarrow runs with its default settings and forgets changes when it closes.</source>
        <translation>Kein eigener Ordner ist beschreibbar (weder neben dem Programm noch in Ihrem Konfigurationsordner). Tarrow läuft mit den Standardeinstellungen und vergisst Änderungen beim Beenden.</translation>
    </message>
    <message>
        <source>No privacy masks on this trip.</source>
        <translation>Diese Fahrt hat keine Datenschutzmasken.</translation>
    </message>
    <message>
        <source>Masks saved: exports with data and snapshots of this trip apply them.</source>
        <translation>Masken gespeichert: Exporte mit Daten und Standbilder dieser Fahrt wenden sie an.</translation>
    </message>
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Centre on vehicle</source>
        <translation>Auf Fahrzeug zentrieren</translation>
    </message>
    <message>
        <source>Show whole route</source>
        <translation>Ganze Strecke zeigen</translation>
    </message>
</context>
<context>
    <name>MaskPanel</name>
    <message>
        <source>The masks could not be saved: %1</source>
        <translation>Die Masken konnten nicht gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Drag on the picture to hide a face or a number plate. Step on to where it has gone and drag the mask after it: it moves evenly between the places you set.</source>
        <translation>Ziehen Sie im Bild, um ein Gesicht oder ein Kennzeichen zu verdecken. Gehen Sie weiter, bis es sich bewegt hat, und ziehen Sie die Maske nach: Sie bewegt sich gleichmäßig zwischen den gesetzten Stellen.</translation>
    </message>
    <message>
        <source>Blur</source>
        <translation>Weichzeichnen</translation>
    </message>
    <message>
        <source>Pixelate</source>
        <translation>Verpixeln</translation>
    </message>
    <message>
        <source>Remove keyframe</source>
        <translation>Schlüsselbild entfernen</translation>
    </message>
    <message>
        <source>Delete mask</source>
        <translation>Maske löschen</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
</context>
<context>
    <name>Masks</name>
    <message>
        <source>not JSON: %1 at byte %2</source>
        <translation>kein JSON: %1 bei Byte %2</translation>
    </message>
    <message>
        <source>no list &quot;masks&quot; in the file</source>
        <translation>keine Liste „masks“ in der Datei</translation>
    </message>
    <message>
        <source>mask %1 has no list &quot;keyframes&quot;</source>
        <translation>Maske %1 hat keine Liste „keyframes“</translation>
    </message>
    <message>
        <source>mask %1: the mode is &quot;blur&quot; or &quot;pixelate&quot;, not &quot;%2&quot;</source>
        <translation>Maske %1: Der Modus ist „blur“ oder „pixelate“, nicht „%2“</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: &quot;%3&quot; is missing or not a number</source>
        <translation>Maske %1, Schlüsselbild %2: „%3“ fehlt oder ist keine Zahl</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2: the time must not be negative, the width and height must be positive</source>
        <translation>Maske %1, Schlüsselbild %2: Die Zeit darf nicht negativ sein, Breite und Höhe müssen positiv sein</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>%1 kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>mask %1, keyframe %2 lies outside the picture of %3 × %4 pixels</source>
        <translation>Maske %1, Schlüsselbild %2 liegt außerhalb des Bildes von %3 × %4 Pixeln</translation>
    </message>
    <message>
        <source>no data folder for the masks</source>
        <translation>kein Datenordner für die Masken</translation>
    </message>
</context>
<context>
    <name>OverlayExport</name>
    <message>
        <source>The trip has no video to export.</source>
        <translation>Die Fahrt enthält kein Video zum Exportieren.</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Die Aufnahme %1 wird nicht überschrieben.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>The export was cancelled.</source>
        <translation>Der Export wurde abgebrochen.</translation>
    </message>
    <message>
        <source>Cannot write the clip.</source>
        <translation>Der Clip kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>Cannot read the video of %1.</source>
        <translation>Das Video von %1 kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Cannot find the start of the range in %1.</source>
        <translation>Der Anfang des Bereichs ist in %1 nicht auffindbar.</translation>
    </message>
    <message>
        <source>No H.264 encoder is installed.</source>
        <translation>Es ist kein H.264-Encoder installiert.</translation>
    </message>
    <message>
        <source>Nothing to export in this range.</source>
        <translation>In diesem Bereich gibt es nichts zu exportieren.</translation>
    </message>
</context>
<context>
    <name>OverlayPainter</name>
    <message>
        <source>no data</source>
        <translation>keine Daten</translation>
    </message>
    <message>
        <source>speed unknown</source>
        <translation>Geschwindigkeit unbekannt</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>Position verborgen</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>Kurs %1</translation>
    </message>
    <message>
        <source>© OpenStreetMap contributors</source>
        <translation>© OpenStreetMap-Mitwirkende</translation>
    </message>
</context>
<context>
    <name>PlaylistWgt</name>
    <message>
        <source>Events</source>
        <translation>Ereignisse</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Dauer</translation>
    </message>
    <message>
        <source>Invalid files selected!</source>
        <translation>Ungültige Dateien ausgewählt!</translation>
    </message>
    <message>
        <source>Open Movie or Directory</source>
        <translation>Öffnen Sie den Film oder das Verzeichnis</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Open the camera&apos;s memory card or a folder of recordings; its trips are listed here.</source>
        <translation>Öffnen Sie die Speicherkarte der Kamera oder einen Ordner mit Aufnahmen; die Fahrten werden hier aufgelistet.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera video(s) found.</source>
        <translation>
            <numerusform>%n Kameravideo gefunden.</numerusform>
            <numerusform>%n Kameravideos gefunden.</numerusform>
        </translation>
    </message>
    <message>
        <source>List the files that were left out and why</source>
        <translation>Die ausgelassenen Dateien mit Grund anzeigen</translation>
    </message>
    <message>
        <source>No recordings could be opened from %1.</source>
        <translation>Aus %1 konnten keine Aufnahmen geöffnet werden.</translation>
    </message>
    <message>
        <source>No recordings open</source>
        <translation>Keine Aufnahmen geöffnet</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n video(s) from %1 could be played.</source>
        <translation>
            <numerusform>Das Video aus %1 kann nicht abgespielt werden.</numerusform>
            <numerusform>Keines der %n Videos aus %1 kann abgespielt werden.</numerusform>
        </translation>
    </message>
    <message>
        <source>Open recordings…</source>
        <translation>Aufnahmen öffnen…</translation>
    </message>
    <message>
        <source>Shortcut: %1</source>
        <translation>Tastenkürzel: %1</translation>
    </message>
    <message>
        <source>show the files</source>
        <translation>Dateien anzeigen</translation>
    </message>
    <message numerus="yes">
        <source>%n ch.</source>
        <comment>channels, short</comment>
        <translation>
            <numerusform>%n Kan.</numerusform>
            <numerusform>%n Kan.</numerusform>
        </translation>
    </message>
    <message>
        <source>Channels: %1</source>
        <translation>Kanäle: %1</translation>
    </message>
</context>
<context>
    <name>PrivacyZones</name>
    <message>
        <source>the privacy zone %1 is not LAT,LON,RADIUS_M</source>
        <translation>die Privatzone %1 hat nicht die Form LAT,LON,RADIUS_M</translation>
    </message>
    <message>
        <source>the privacy zone %1 lies outside the latitudes -90 to 90 and longitudes -180 to 180</source>
        <translation>die Privatzone %1 liegt außerhalb der Breiten -90 bis 90 und Längen -180 bis 180</translation>
    </message>
    <message>
        <source>the privacy zone %1 has a negative radius</source>
        <translation>die Privatzone %1 hat einen negativen Radius</translation>
    </message>
</context>
<context>
    <name>PrivacyZonesDialog</name>
    <message>
        <source>Privacy zones</source>
        <translation>Privatzonen</translation>
    </message>
    <message>
        <source>No export shows a position within these circles, such as around your home; time and speed stay. One zone a line: latitude, longitude, radius in metres, e.g. 48.1374,11.5755,200.</source>
        <translation>Kein Export zeigt eine Position in diesen Kreisen, etwa rund um Ihr Zuhause; Zeit und Geschwindigkeit bleiben. Eine Zone pro Zeile: Breite, Länge, Radius in Metern, z. B. 48.1374,11.5755,200.</translation>
    </message>
    <message>
        <source>Zones</source>
        <translation>Zonen</translation>
    </message>
    <message>
        <source>Line %1: %2</source>
        <translation>Zeile %1: %2</translation>
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
        <translation>Über</translation>
    </message>
    <message>
        <source>Acceleration in m/s²</source>
        <translation>Beschleunigung in m/s²</translation>
    </message>
    <message>
        <source>Application already started!</source>
        <translation>Anwendung bereits gestartet!</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>Rückwärts</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Corrupted file. Video can&apos;t be loaded!</source>
        <translation>Beschädigte Datei. Video kann nicht geladen werden!</translation>
    </message>
    <message>
        <source>Playback stopped: the recording %1 can no longer be read. The card or folder may have been removed.</source>
        <translation>Wiedergabe angehalten: Die Aufnahme %1 kann nicht mehr gelesen werden. Die Karte oder der Ordner wurde möglicherweise entfernt.</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Open Halvard website</source>
        <translation>Halvard-Webseite öffnen</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Wiedergeben</translation>
    </message>
    <message>
        <source>Restore down</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Select language</source>
        <translation>Sprache auswählen</translation>
    </message>
    <message>
        <source>Speed in km/h</source>
        <translation>Geschwindigkeit in km/h</translation>
    </message>
    <message>
        <source>Speed in mph</source>
        <translation>Geschwindigkeit in mph</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source>Video fullscreen off</source>
        <translation>Video-Vollbild beenden</translation>
    </message>
    <message>
        <source>Video fullscreen on</source>
        <translation>Video-Vollbild</translation>
    </message>
    <message>
        <source>Volume off</source>
        <translation>Lautstärke aus</translation>
    </message>
    <message>
        <source>Volume on</source>
        <translation>Lautstärke ein</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
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
        <translation>NO</translation>
    </message>
    <message>
        <source>E</source>
        <comment>compass point</comment>
        <translation>O</translation>
    </message>
    <message>
        <source>SE</source>
        <comment>compass point</comment>
        <translation>SO</translation>
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
        <translation>Voraus</translation>
    </message>
    <message>
        <source>Bridged gap</source>
        <translation>Überbrückte Lücke</translation>
    </message>
    <message>
        <source>Driven</source>
        <translation>Gefahren</translation>
    </message>
    <message>
        <source>Event</source>
        <translation>Ereignis</translation>
    </message>
    <message>
        <source>No GPS fix</source>
        <translation>Kein GPS-Empfang</translation>
    </message>
</context>
<context>
    <name>SelectionReport</name>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 existiert nicht.</translation>
    </message>
    <message numerus="yes">
        <source>%n chosen item(s) in %1</source>
        <translation>
            <numerusform>%n gewähltes Element in %1</numerusform>
            <numerusform>%n gewählte Elemente in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n file(s) looked at, none of them a camera recording (a video named like 001_0001_20240501120000.mp4).</source>
        <translation>
            <numerusform>%n Datei durchsucht, keine davon ist eine Kameraaufnahme (ein Video mit einem Namen wie 001_0001_20240501120000.mp4).</numerusform>
            <numerusform>%n Dateien durchsucht, keine davon ist eine Kameraaufnahme (ein Video mit einem Namen wie 001_0001_20240501120000.mp4).</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n of the chosen paths do(es) not exist.</source>
        <translation>
            <numerusform>%n der gewählten Pfade existiert nicht.</numerusform>
            <numerusform>%n der gewählten Pfade existieren nicht.</numerusform>
        </translation>
    </message>
    <message>
        <source>No files were found.</source>
        <translation>Es wurden keine Dateien gefunden.</translation>
    </message>
    <message>
        <source>No recordings found in %1.</source>
        <translation>Keine Aufnahmen in %1 gefunden.</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n chosen path(s) exists.</source>
        <translation>
            <numerusform>Der gewählte Pfad existiert nicht.</numerusform>
            <numerusform>Keiner der %n gewählten Pfade existiert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was opened.</source>
        <translation>Es wurde nichts geöffnet.</translation>
    </message>
    <message>
        <source>The folder and its subfolders hold no files.</source>
        <translation>Der Ordner und seine Unterordner enthalten keine Dateien.</translation>
    </message>
</context>
<context>
    <name>SettingsButton</name>
    <message>
        <source>Acceleration</source>
        <translation>Beschleunigung</translation>
    </message>
    <message>
        <source>Kilometres per hour (km/h)</source>
        <translation>Kilometer pro Stunde (km/h)</translation>
    </message>
    <message>
        <source>Metres per second squared (m/s²)</source>
        <translation>Meter pro Quadratsekunde (m/s²)</translation>
    </message>
    <message>
        <source>Miles per hour (mph)</source>
        <translation>Meilen pro Stunde (mph)</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Geschwindigkeit</translation>
    </message>
    <message>
        <source>Standard gravity (g)</source>
        <translation>Normfallbeschleunigung (g)</translation>
    </message>
    <message>
        <source>Time offset: %1 h…</source>
        <translation>Zeitversatz: %1 h…</translation>
    </message>
    <message>
        <source>Settings: units, time offset and snapshots</source>
        <translation>Einstellungen: Einheiten, Zeitversatz und Standbilder</translation>
    </message>
    <message>
        <source>Folder for snapshots</source>
        <translation>Ordner für Standbilder</translation>
    </message>
    <message>
        <source>Snapshot folder: %1…</source>
        <translation>Ordner für Standbilder: %1…</translation>
    </message>
    <message>
        <source>Data band below snapshots</source>
        <translation>Datenleiste unter Standbildern</translation>
    </message>
    <message>
        <source>Hardware video decoding</source>
        <translation>Videodekodierung durch die Grafikhardware</translation>
    </message>
    <message>
        <source>Clips exported with data</source>
        <translation>Mit Daten exportierte Abschnitte</translation>
    </message>
    <message>
        <source>Route map</source>
        <translation>Streckenkarte</translation>
    </message>
    <message>
        <source>Speed and acceleration strip</source>
        <translation>Streifen mit Geschwindigkeit und Beschleunigung</translation>
    </message>
    <message numerus="yes">
        <source>Privacy zones: %n…</source>
        <translation>
            <numerusform>Privatzonen: %n…</numerusform>
            <numerusform>Privatzonen: %n…</numerusform>
        </translation>
    </message>
    <message>
        <source>Clear cache</source>
        <translation>Zwischenspeicher leeren</translation>
    </message>
</context>
<context>
    <name>SkippedFiles</name>
    <message numerus="yes">
        <source>%n file(s) skipped</source>
        <translation>
            <numerusform>%n Datei ausgelassen</numerusform>
            <numerusform>%n Dateien ausgelassen</numerusform>
        </translation>
    </message>
    <message>
        <source>not a playable video</source>
        <translation>kein abspielbares Video</translation>
    </message>
    <message>
        <source>not named like a camera recording</source>
        <translation>nicht wie eine Kameraaufnahme benannt</translation>
    </message>
    <message>
        <source>without a matching NMEA file</source>
        <translation>ohne passende NMEA-Datei</translation>
    </message>
    <message>
        <source>without a valid start time in the name</source>
        <translation>ohne gültige Startzeit im Namen</translation>
    </message>
    <message>
        <source>gone while they were read</source>
        <translation>beim Lesen verschwunden</translation>
    </message>
</context>
<context>
    <name>SkippedFilesDialog</name>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>Ordner</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
</context>
<context>
    <name>Snapshot</name>
    <message>
        <source>Cannot decode a frame of %1.</source>
        <translation>Aus %1 lässt sich kein Bild dekodieren.</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Refusing to overwrite the recording %1.</source>
        <translation>Die Aufnahme %1 wird nicht überschrieben.</translation>
    </message>
    <message>
        <source>The trip has no video.</source>
        <translation>Die Fahrt enthält kein Video.</translation>
    </message>
    <message>
        <source>Cannot find the position in %1.</source>
        <translation>Die Position ist in %1 nicht auffindbar.</translation>
    </message>
    <message>
        <source>no GPS fix</source>
        <translation>kein GPS-Empfang</translation>
    </message>
    <message>
        <source>heading %1</source>
        <translation>Kurs %1</translation>
    </message>
    <message>
        <source>No %1 recording at %2</source>
        <translation>Keine Aufnahme des Kanals %1 bei %2</translation>
    </message>
    <message>
        <source>No %1 recording at %2: %3</source>
        <translation>Keine Aufnahme des Kanals %1 bei %2: %3</translation>
    </message>
    <message>
        <source>position hidden</source>
        <translation>Position verborgen</translation>
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
        <translation>Richtung</translation>
    </message>
    <message>
        <source>Hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>No offset</source>
        <translation>Kein Versatz</translation>
    </message>
    <message>
        <source>Shift the shown clock times, for a camera whose clock or GPS time is not the local time.</source>
        <translation>Verschiebt die angezeigten Uhrzeiten, für eine Kamera, deren Uhr oder GPS-Zeit nicht die Ortszeit ist.</translation>
    </message>
    <message>
        <source>Time offset</source>
        <translation>Zeitversatz</translation>
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
        <translation>%1 überbrückt</translation>
    </message>
    <message>
        <source>%1 h %2 min driving</source>
        <translation>%1 h %2 min Fahrt</translation>
    </message>
    <message>
        <source>%1 min driving</source>
        <translation>%1 min Fahrt</translation>
    </message>
    <message>
        <source>max %1</source>
        <translation>max. %1</translation>
    </message>
    <message>
        <source>avg %1</source>
        <translation>Ø %1</translation>
    </message>
    <message numerus="yes">
        <source>%n stop(s)</source>
        <translation>
            <numerusform>%n Stopp</numerusform>
            <numerusform>%n Stopps</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s)</source>
        <translation>
            <numerusform>%n Ereignis</numerusform>
            <numerusform>%n Ereignisse</numerusform>
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
