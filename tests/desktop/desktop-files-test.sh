#!/usr/bin/env bash
# The files that present the program to the desktop: the menu entry and the software-centre
# description pass their validators, and they and the manual page agree with the program
# (its version, its options, its screenshots).
# Usage: desktop-files-test.sh SOURCE_DIR PROGRAM
set -euo pipefail
source=$(realpath "$1")
program=$2
desktop="$source/resources/desktop/tarrow.desktop"
metainfo="$source/resources/desktop/example.halvard.Tarrow.metainfo.xml"
manpage="$source/doc/tarrow.1"
failed=0
fail() { echo "FAIL: $*"; failed=1; }

echo "desktop-file-validate:"
if ! out=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$out" ]; then
    fail "the desktop entry: $out"
else
    echo "  (no findings)"
fi
grep -q '^MimeType=video/mp4;$' "$desktop" || fail "the desktop entry claims more than MP4 videos: $(grep MimeType "$desktop")"
for lang in de ru; do
    grep -q "^Comment\[$lang\]=." "$desktop" || fail "no Comment[$lang]"
done

echo "appstreamcli validate --no-net:"
if ! appstreamcli validate --no-net "$metainfo" 2>&1 | sed 's/^/  /'; then
    fail "the metainfo file does not validate"
fi
version=$("$program" --version | awk '{print $2}')
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest" = "$version" ] || fail "the metainfo's newest release is $newest, the program's version $version"
grep -q '<launchable type="desktop-id">tarrow.desktop</launchable>' "$metainfo" || fail "the metainfo launches no tarrow.desktop"
for image in $(grep -o '<image>[^<]*</image>' "$metainfo" | sed 's/<[^>]*>//g'); do
    [ -s "$source/resources/desktop/screenshots/$(basename "$image")" ] ||
        fail "screenshot $(basename "$image") is not in resources/desktop/screenshots"
done

echo "manual page (groff -man -ww -z):"
if ! out=$(LC_ALL=C.UTF-8 groff -man -ww -z "$manpage" 2>&1) || [ -n "$out" ]; then
    fail "the manual page: $out"
else
    echo "  (no findings)"
fi
grep -q "^\.TH TARROW 1 .*\"Tarrow $version\"" "$manpage" || fail "the manual page is not of version $version"
# Every option the program knows is documented.
text=$(LC_ALL=C groff -man -Tascii -P-c -P-b -P-u "$manpage" 2>/dev/null)
for option in $(env -u DISPLAY "$program" --help | grep -o -- '--[a-z][a-z-]*' | sort -u); do
    grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$text" || fail "the manual page does not document $option"
done

if [ "$failed" -ne 0 ]; then
    echo "0 passed, 1 failed"
    exit 1
fi
echo "1 passed, 0 failed"
