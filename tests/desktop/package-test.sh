#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as a user's system would see it:
# control fields, the file list, the files themselves, and the program started from the
# unpacked package.
# Usage: package-test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
grep -i "warning" "$work/cpack.log" && fail "cpack warned"
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, got: ${debs[*]}"
deb=${debs[0]}
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

# Control fields.
version=$("$build/app/tarrow" --version | awk '{print $2}')
field() { dpkg-deb -f "$deb" "$1"; }
dpkg-deb -I "$deb"
[ "$(field Package)" = tarrow ] || fail "package name"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the program says $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "maintainer or description missing"
[ "$(field Section)" = video ] || fail "section"
depends=$(field Depends)
# From dpkg-shlibdeps: every library the program and libvireo link, with versions.
for needed in 'libvlc5 (>= ' 'libqt5widgets5 (>= ' 'libqt5svg5 (>= ' 'libavformat[0-9]* (>= ' 'libc6 (>= ' \
              'vlc-plugin-base' 'vlc-plugin-video-output'; do
    grep -q -- "$needed" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
# The package's own library is no dependency.
grep -q vireo <<<"$depends" && fail "Depends names the package's own library: $depends"
dpkg-deb --ctrl-tarfile "$deb" | tar -xO ./shlibs | grep -q "^libvireo 1 tarrow (>= $version)$" ||
    fail "no shlibs entry for libvireo"

# The file list.
dpkg-deb -c "$deb" >"$work/list"
awk '{print $2}' "$work/list" | sort -u | grep -qxv root/root && fail "files not owned by root: $(awk '{print $2}' "$work/list" | sort -u)"
awk '{print $6}' "$work/list" | grep -v '^\./usr/' | grep -v '^\./$' && fail "files outside /usr"
expected=(
    usr/bin/tarrow
    usr/lib/libvireo.so.1
    usr/lib/libvireo.so
    usr/include/vireo/vlcplayer.h
    usr/lib/pkgconfig/vireo.pc
    usr/lib/cmake/Vireo/VireoConfig.cmake
    usr/share/applications/tarrow.desktop
    usr/share/metainfo/example.halvard.Tarrow.metainfo.xml
    usr/share/man/man1/tarrow.1.gz
    usr/share/doc/tarrow/copyright
    usr/share/icons/hicolor/scalable/apps/tarrow.svg
    usr/share/tarrow/translations/trans_en_GB.qm
    usr/share/tarrow/translations/trans_de_DE.qm
    usr/share/tarrow/translations/trans_ru_RU.qm
)
sizes=(16 24 32 48 64 128 256)
for size in "${sizes[@]}"; do
    expected+=("usr/share/icons/hicolor/${size}x${size}/apps/tarrow.png")
done
for f in "${expected[@]}"; do
    grep -q " \./$f\( ->.*\)\?$" "$work/list" || fail "$f is not in the package"
done
echo "file list: $(grep -vc '/$' "$work/list") files and links, all ${#expected[@]} expected ones present"

# Unpacked into a throwaway root: the files are what they claim to be.
root="$work/root"
dpkg -x "$deb" "$root"
for size in "${sizes[@]}"; do
    file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/tarrow.png" | grep -q "PNG image data, $size x $size," ||
        fail "the ${size}x${size} icon is $(file -b "$root/usr/share/icons/hicolor/${size}x${size}/apps/tarrow.png")"
done
zcat "$root/usr/share/man/man1/tarrow.1.gz" | grep -q '^\.TH TARROW 1' || fail "the manual page is no manual page"
cmp -s "$root/usr/share/applications/tarrow.desktop" "$source/resources/desktop/tarrow.desktop" ||
    fail "the packaged desktop entry differs from the source"
soname=$(objdump -p "$root/usr/lib/libvireo.so.1" | awk '/SONAME/{print $2}')
[ "$soname" = libvireo.so.1 ] || fail "libvireo's soname is $soname"
# The build files find the headers and library where the package puts them.
includedir=$(PKG_CONFIG_PATH="$root/usr/lib/pkgconfig" pkg-config --variable=includedir vireo)
[ -e "$includedir/vireo/vlcplayer.h" ] || fail "vireo.pc names the headers at $includedir"
grep -rl "$build" "$root/usr/lib/cmake" "$root/usr/lib/pkgconfig" && fail "build paths in the packaged build files"

# The unpacked program runs, and finds the unpacked library by itself.
unset LD_LIBRARY_PATH
ldd "$root/usr/bin/tarrow" >"$work/ldd"
grep -q "not found" "$work/ldd" && fail "unresolved libraries: $(grep 'not found' "$work/ldd")"
used=$(awk '$1 == "libvireo.so.1" {print $3}' "$work/ldd")
[ "$(realpath "$used")" = "$(realpath "$root/usr/lib/libvireo.so.1")" ] || fail "the program uses libvireo from ${used:-nowhere}"
out=$(env -u DISPLAY HOME="$work" TMPDIR="$work" "$root/usr/bin/tarrow" --version)
[ "$out" = "Tarrow $version" ] || fail "tarrow --version said: $out"
echo "unpacked program: $out"
trips=$(env -u DISPLAY HOME="$work" TMPDIR="$work" "$root/usr/bin/tarrow" --list "$source/samples/card" | grep -c '"duration_ms": [0-9]*,$' || true)
[ "$trips" -gt 0 ] || fail "the unpacked program lists nothing on the sample card"
echo "unpacked program lists the sample card"
echo "1 passed, 0 failed"
