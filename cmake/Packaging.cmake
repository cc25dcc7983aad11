# The Debian package: `cpack -G DEB` in the build folder (scripts/package does it all).
# One package, tarrow, holds the program, libvireo with its build files (headers, vireo.pc,
# the CMake package), the menu entry, icons, catalogs, software-centre description and manual
# page. Its Depends come from dpkg-shlibdeps; its shlibs file lets packages built against
# libvireo depend on it in turn.

set(CPACK_PACKAGE_NAME tarrow)
set(CPACK_PACKAGE_VENDOR Halvard)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "player for dashboard camera recordings with route map and drive data")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarrow plays the recordings of an in-car dashboard camera: short MP4 files with an NMEA
position file beside each, grouped into trips that play back to back while a street map,
a speed and acceleration graph, a data panel and a compass follow the playing position.
Its command line lists the trips as JSON and exports tracks (GPX, KML, CSV), clips
without re-encoding and stills. It never changes the recordings it reads.
.
The package also holds libvireo, the program's media engine library, with its headers,
pkg-config file and CMake package.")
set(CPACK_PACKAGE_CONTACT "Halvard <tarrow@halvard.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://halvard.example)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# Loaded at run time, so no library link names them: the engine's plug-ins for MP4, H.264
# and the X11 video output, the fonts' and the Qt catalogs are compiled in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "vlc-plugin-base, vlc-plugin-video-output")

include(CPack)
