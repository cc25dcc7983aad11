<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <translation>Enduser license</translation>
    </message>
    <message>
        <source>Enduser license</source>
        <comment>tab</comment>
        <translation>Enduser license</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>Form</translation>
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
        <translation>Licenses</translation>
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
</context>
<context>
    <name>MapWidget</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
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
</TS>
