#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that every file of the desktop is there: the
# two programs, the menu entry naming an installed program and icon, the metadata naming the
# entry, the icon as SVG and as PNG of each size (each PNG as large as its folder says), the two
# manual pages and the completion.
#   install_tree.sh CMAKE BUILD-DIR PREFIX APP-ID
set -euo pipefail
cmake=$1 build=$2 prefix=$3 id=$4
rm -rf "$prefix"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
cd "$prefix"

for program in bin/dravik bin/dravik-cli; do
    [ -x "$program" ] || fail "$program is not an installed program"
done
entry=share/applications/$id.desktop
metainfo=share/metainfo/$id.metainfo.xml
for file in "$entry" "$metainfo" share/icons/hicolor/scalable/apps/$id.svg \
    share/man/man1/dravik.1.gz share/man/man1/dravik-cli.1.gz share/bash-completion/completions/dravik-cli; do
    [ -s "$file" ] || fail "$file is missing or empty"
done

# A PNG's width and height are the big-endian words at bytes 16 and 20.
png_size() {
    local b
    read -ra b < <(od -An -tu1 -j16 -N8 "$1")
    echo "$(((b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3]))x$(((b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7]))"
}
for size in 16 22 24 32 48 64 128 256; do
    png=share/icons/hicolor/${size}x$size/apps/$id.png
    if [ ! -s "$png" ]; then
        fail "$png is missing"
    elif [ "$(png_size "$png")" != "${size}x$size" ]; then
        fail "$png is $(png_size "$png"), not ${size}x$size"
    fi
done
grep -q '<svg' "share/icons/hicolor/scalable/apps/$id.svg" || fail "the SVG icon holds no drawing"

[ -f "$entry" ] && {
    grep -qx "Exec=dravik" "$entry" || fail "the menu entry does not start dravik"
    grep -qx "Icon=$id" "$entry" || fail "the menu entry does not name the installed icon"
}
[ -f "$metainfo" ] && {
    grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
        fail "the metadata does not name the menu entry"
    grep -q '<release version="[0-9.]*" date="[0-9-]*"' "$metainfo" || fail "the metadata names no release"
    grep -q '<screenshot type="default">' "$metainfo" || fail "the metadata shows no screenshot"
}

((failures == 0)) && echo "every file installed into $prefix"
exit $((failures > 0))
