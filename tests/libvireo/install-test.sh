#!/usr/bin/env bash
# Installs libvireo into a temporary prefix and builds a small program from outside this
# tree against the installed copy, once with pkg-config and once with CMake's
# find_package(Vireo); both builds then measure and play VIDEO.
# Usage: install-test.sh BUILD_DIR VIDEO
set -euo pipefail
build=$1
video=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() { echo "FAIL: $*"; exit 1; }
# As in a desktop session; without it the engine's hardware decoders complain on stderr.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime

cmake --install "$build" --prefix "$prefix" --component vireo >/dev/null

pc=$(find "$prefix" -name vireo.pc | head -n 1)
[ -n "$pc" ] || fail "vireo.pc is not installed"
[ -n "$(find "$prefix" -name VireoConfig.cmake)" ] || fail "the CMake package is not installed"
export PKG_CONFIG_PATH=$(dirname "$pc")
libdir=$(cd "$(pkg-config --variable=libdir vireo)" && pwd -P)
[ -e "$libdir/libvireo.so" ] || fail "no libvireo.so in $libdir"
soname=$(objdump -p "$libdir/libvireo.so" | awk '/SONAME/ { print $2 }')
[ -e "$libdir/$soname" ] || fail "the library's soname $soname is not installed"
echo "installed $soname, vireo $(pkg-config --modversion vireo)"

# The public headers build on their own and show nothing of the engine.
if grep -rniE 'libvlc|vlc/' "$prefix/include/vireo"; then
    fail "the installed headers expose the engine"
fi
for header in "$prefix"/include/vireo/*.h; do
    echo "#include <vireo/$(basename "$header")>" |
        g++ -std=c++17 -fPIC -fsyntax-only -x c++ - $(pkg-config --cflags vireo) ||
        fail "$(basename "$header") does not build on its own"
done

# Built with pkg-config.
g++ -std=c++17 -fPIC -o "$work/consumer-pc" "$here/consumer/main.cpp" $(pkg-config --cflags --libs vireo) \
    -Wl,-rpath,"$libdir"
# (ldd's output is read whole: with pipefail, grep -q leaving early would fail the pipe.)
grep -q "libvireo.so.* => $libdir/" <<<"$(ldd "$work/consumer-pc")" ||
    fail "the pkg-config build does not use the installed library"
"$work/consumer-pc" "$video" || fail "the pkg-config build did not measure and play $video"

# Built with CMake.
cmake -S "$here/consumer" -B "$work/consumer-cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/consumer-cmake" >/dev/null
grep -q "libvireo.so.* => $libdir/" <<<"$(ldd "$work/consumer-cmake/vireo-consumer")" ||
    fail "the CMake build does not use the installed library"
"$work/consumer-cmake/vireo-consumer" "$video" || fail "the CMake build did not measure and play $video"
echo "2 passed, 0 failed"
