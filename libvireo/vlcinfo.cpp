#include "vireo/vlcinfo.h"

#include <vlc/libvlc_version.h>

QString VlcInfo::vlcVersion()
{
    return QStringLiteral("%1.%2.%3")
        .arg(LIBVLC_VERSION_MAJOR)
        .arg(LIBVLC_VERSION_MINOR)
        .arg(LIBVLC_VERSION_REVISION);
}
