#pragma once

#include <QString>

// Constants shared by every module of the program.

namespace ZelCfg {
extern const QString AppName;
extern const QString AppVersion;
extern const QString AppCopyrights;
} // namespace ZelCfg

namespace ZelSettings {
extern const QString Settings;
extern const QString Logs;
extern const QString PlaylistPath;
extern const QString LocaleLanguage;
extern const QString LocaleLanguageDefault;
extern const QString DebugLevel;
extern const QString TileServer;
extern const QString SpeedUnit;
extern const QString AccelerationUnit;
extern const QString TimeOffset;
extern const QString TileContact;
extern const QString SnapshotPath;
extern const QString SnapshotStamp;
extern const QString ExportPath;
extern const QString ExactCut;
extern const QString ChannelLayout;
extern const QString LargeChannel;
extern const QString HardwareDecoding;
extern const QString PrivacyZones;
extern const QString OverlayItems;
} // namespace ZelSettings

namespace Utilities {
extern const QString shortDateTimeString;
}

namespace Trip {
extern const QString EventDirName;
}

namespace Design {
extern const QString WindowIconPath;
}
