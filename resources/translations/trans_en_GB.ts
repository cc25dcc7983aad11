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
    <name>PlaylistWgt</name>
    <message>
        <source>Danger</source>
        <translation>Danger</translation>
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
        <source>MP4 (*.mp4)</source>
        <translation>MP4 (*.mp4)</translation>
    </message>
    <message>
        <source>Open Movie or Directory</source>
        <translation>Open Movie or Directory</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
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
        <source>Corrupted file. Video can't be loaded!</source>
        <translation>Corrupted file. Video can't be loaded!</translation>
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
</TS>
