#include "zelcfg.h"

namespace ZelCfg {
const QString AppName = QStringLiteral("Tarrow");
const QString AppVersion = QStringLiteral("1.0.17");
const QString AppCopyrights = QString::fromUtf8("Copyright \u00a9 2026 Halvard. All rights reserved.");
} // namespace ZelCfg

namespace ZelSettings {
const QString Settings = QStringLiteral("/.settings.ini");
const QString Logs = QStringLiteral("/logfile.txt");
const QString PlaylistPath = QStringLiteral("PlaylistPath");
const QString LocaleLanguage = QStringLiteral("Language");
const QString LocaleLanguageDefault = QStringLiteral("en_GB");
const QString DebugLevel = QStringLiteral("DebugLevel");
// URL template of the map tile server (%1 zoom, %2 x, %3 y).
const QString TileServer = QStringLiteral("TileServer");
// Display units: "kmh" or "mph"; "ms2" or "g". Unset: speeds follow the system locale.
const QString SpeedUnit = QStringLiteral("SpeedUnit");
const QString AccelerationUnit = QStringLiteral("AccelerationUnit");
// Minutes the local time lies ahead of the recorded UTC, added to shown clock times (may be
// negative).
const QString TimeOffset = QStringLiteral("TimeOffset");
// Contact (e-mail or web address) the tile requests name in their User-Agent.
const QString TileContact = QStringLiteral("TileContact");
// Folder of snapshots taken in the program, and whether they carry the data band (true/false).
const QString SnapshotPath = QStringLiteral("SnapshotPath");
const QString SnapshotStamp = QStringLiteral("SnapshotStamp");
// Folder last chosen for exported clips and tracks.
const QString ExportPath = QStringLiteral("ExportPath");
// Whether a clip from the window re-encodes its start up to the first key frame (true/false).
const QString ExactCut = QStringLiteral("ExactCut");
// How a trip's channels share the video area ("pip", "side" or "main"), and the channel shown
// large (empty: the trip's own).
const QString ChannelLayout = QStringLiteral("ChannelLayout");
const QString LargeChannel = QStringLiteral("LargeChannel");
// Whether playback may decode on the graphics hardware where the machine offers it (true/false).
const QString HardwareDecoding = QStringLiteral("HardwareDecoding");
const QString PrivacyZones = QStringLiteral("PrivacyZones");
const QString OverlayItems = QStringLiteral("OverlayItems");
} // namespace ZelSettings

namespace Utilities {
const QString shortDateTimeString = QStringLiteral("yyyy-MM-dd HH:mm:ss");
}

namespace Trip {
const QString EventDirName = QStringLiteral("EVENT");
}

namespace Design {
const QString WindowIconPath = QStringLiteral(":/resources/images/favicon_mobile_196x196.png");
}
