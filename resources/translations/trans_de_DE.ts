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
        <source>Form</source>
        <translation>Formular</translation>
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
    <name>ControlPanelWgt</name>
    <message>
        <source>00:00</source>
        <translation>00:00</translation>
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
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
</context>
<context>
    <name>PlaylistWgt</name>
    <message>
        <source>Danger</source>
        <translation>Gefahr</translation>
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
        <source>MP4 (*.mp4)</source>
        <translation>MP4 (*.mp4)</translation>
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
        <source>Open the camera's memory card or a folder of recordings; its trips are listed here.</source>
        <translation>Öffnen Sie die Speicherkarte der Kamera oder einen Ordner mit Aufnahmen; die Fahrten werden hier aufgelistet.</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 existiert nicht.</translation>
    </message>
    <message numerus="yes">
        <source>%n camera video(s) found.</source>
        <translation>
            <numerusform>%n Kameravideo gefunden.</numerusform>
            <numerusform>%n Kameravideos gefunden.</numerusform>
        </translation>
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
        <source>List the files that were left out and why</source>
        <translation>Die ausgelassenen Dateien mit Grund anzeigen</translation>
    </message>
    <message>
        <source>No files were found.</source>
        <translation>Es wurden keine Dateien gefunden.</translation>
    </message>
    <message>
        <source>No recordings could be opened from %1.</source>
        <translation>Aus %1 konnten keine Aufnahmen geöffnet werden.</translation>
    </message>
    <message>
        <source>No recordings found in %1.</source>
        <translation>Keine Aufnahmen in %1 gefunden.</translation>
    </message>
    <message>
        <source>No recordings open</source>
        <translation>Keine Aufnahmen geöffnet</translation>
    </message>
    <message numerus="yes">
        <source>None of the %n chosen path(s) exists.</source>
        <translation>
            <numerusform>Der gewählte Pfad existiert nicht.</numerusform>
            <numerusform>Keiner der %n gewählten Pfade existiert.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>None of the %n video(s) from %1 could be played.</source>
        <translation>
            <numerusform>Das Video aus %1 kann nicht abgespielt werden.</numerusform>
            <numerusform>Keines der %n Videos aus %1 kann abgespielt werden.</numerusform>
        </translation>
    </message>
    <message>
        <source>Nothing was opened.</source>
        <translation>Es wurde nichts geöffnet.</translation>
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
        <source>The folder and its subfolders hold no files.</source>
        <translation>Der Ordner und seine Unterordner enthalten keine Dateien.</translation>
    </message>
    <message>
        <source>show the files</source>
        <translation>Dateien anzeigen</translation>
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
        <source>Corrupted file. Video can't be loaded!</source>
        <translation>Beschädigte Datei. Video kann nicht geladen werden!</translation>
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
        <source>Settings: units and time offset</source>
        <translation>Einstellungen: Einheiten und Zeitversatz</translation>
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
</TS>
