#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the layout and the desktop metadata.
#   test_install.sh <build dir>
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

# The program sits in a folder of its own; bin holds a relative link to it.
[ -x "$prefix/lib/xiaoliao/xiaoliao" ] || fail "lib/xiaoliao/xiaoliao is missing"
[ -f "$prefix/lib/xiaoliao/SkinH_EL.dll" ] || fail "the skin library is not beside the program"
[ -L "$prefix/bin/xiaoliao" ] || fail "bin/xiaoliao is not a link"
[ "$(readlink -f "$prefix/bin/xiaoliao")" = "$(readlink -f "$prefix/lib/xiaoliao/xiaoliao")" ] ||
    fail "bin/xiaoliao does not lead to the program"

desktop=$prefix/share/applications/com.vexlo.xiaoliao.desktop
metainfo=$prefix/share/metainfo/com.vexlo.xiaoliao.metainfo.xml
icon=$prefix/share/icons/hicolor/32x32/apps/com.vexlo.xiaoliao.png
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Name=笑料工坊' "$desktop" || fail "the desktop entry has another name"
grep -qx 'Comment=创意源于生活！' "$desktop" || fail "the desktop entry has another comment"
appstreamcli validate --no-net "$metainfo" || fail "the metainfo does not validate"
grep -q '<release version="1.0.0.1"' "$metainfo" || fail "the metainfo has another version"
grep -q '<developer_name>Vexlo</developer_name>' "$metainfo" || fail "the metainfo has another maker"

# The icon: 32 x 32 with a palette of at most 256 colours.
info=$(/usr/bin/identify -format '%w %h %k %[png:IHDR.color_type]' "$icon")
read -r w h colours type _ <<<"$info"
[ "$w $h" = "32 32" ] || fail "the icon is ${w}x${h}"
[ "$type" = "3" ] || fail "the icon is not a palette image (colour type $type)"
[ "$colours" -le 256 ] || fail "the icon has $colours colours"
echo "install layout and metadata: 1 passed, 0 failed"
