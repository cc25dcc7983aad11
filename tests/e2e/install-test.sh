#!/usr/bin/env bash
# Installs the build under a system prefix and starts the installed program: the files land
# in the usual places, the program finds its library, and it counts as installed (settings
# in the user's configuration folder, not beside the program).
# Usage: install-test.sh BUILD_DIR. Needs to write below /opt: exits 77 (skipped) otherwise.
set -euo pipefail
build=$1

prefix=$(mktemp -d /opt/tarrow-install-test.XXXXXX 2>/dev/null) || { echo "cannot write below /opt"; exit 77; }
work=$(mktemp -d)
pid=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$prefix" "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/tarrow share/applications/tarrow.desktop share/icons/hicolor/48x48/apps/tarrow.png \
         share/icons/hicolor/scalable/apps/tarrow.svg share/tarrow/translations/trans_de_DE.qm \
         include/vireo/vlcplayer.h; do
    [ -e "$prefix/$f" ] || fail "$f is not installed"
done
ls "$prefix"/lib*/libvireo.so* >/dev/null 2>&1 || ls "$prefix"/lib/*/libvireo.so* >/dev/null 2>&1 || fail "libvireo is not installed"
grep -q '^Exec=tarrow %F$' "$prefix/share/applications/tarrow.desktop" || fail "desktop entry does not start tarrow"
grep -q '^Icon=tarrow$' "$prefix/share/applications/tarrow.desktop" || fail "desktop entry has no icon"
# Not grep -q: it stops reading early, and with pipefail the cut-off ldd fails the line.
ldd "$prefix/bin/tarrow" | grep "libvireo.so.* => $prefix/" >/dev/null || fail "the installed program does not use the installed library"

mkdir -p "$work/home" "$work/config" "$work/temp" "$work/runtime"
chmod 700 "$work/runtime"
HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/home/data" XDG_CACHE_HOME="$work/home/cache" \
XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/temp" QT_QPA_PLATFORM=offscreen \
TARROW_TILE_SERVER="http://127.0.0.1:9/%1/%2/%3.png" "$prefix/bin/tarrow" >/dev/null 2>&1 &
pid=$!
trace="$work/home/.local/state/Tarrow/startup.log"
for _ in $(seq 1 200); do
    [ -f "$work/config/Tarrow/.settings.ini" ] && grep -q "Writable path \[" "$trace" 2>/dev/null && break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null || fail "the installed program did not keep running"
grep -q "Application is installed" "$trace" || fail "the installed program counts as standalone: $(cat "$trace")"
grep -q "Writable path \[$work/config/Tarrow\]" "$trace" || fail "settings not in the configuration folder: $(cat "$trace")"
grep -q "^Language=en_GB" "$work/config/Tarrow/.settings.ini" || fail "no settings written"
[ ! -e "$prefix/bin/.settings.ini" ] || fail "settings written beside the installed program"
[ -z "$(ls -A "$work/temp" | grep -v '^qipc_')" ] || fail "files left in the temp folder: $(ls -A "$work/temp")"
echo "installed program: ok"
echo "1 passed, 0 failed"
