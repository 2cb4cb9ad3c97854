#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks that a desktop finds the
# program there: the programs run, the desktop entry is valid, the icon is in
# the theme at every size, and worksheet files map to the program's type.
#   check_install.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share
[ -x "$prefix/bin/talloway-cli" ] || fail "talloway-cli not installed"
if [ -x "$build/talloway" ]; then
  [ -x "$prefix/bin/talloway" ] || fail "talloway not installed"
fi
desktop=$share/applications/talloway.desktop
[ -f "$desktop" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
grep -q '^Exec=talloway %f$' "$desktop" || fail "desktop entry does not open a file"
grep -q '^MimeType=application/x-talloway-worksheet;$' "$desktop" || fail "desktop entry has no file type"

[ -f "$share/icons/hicolor/scalable/apps/talloway.svg" ] || fail "no scalable icon"
xmllint --noout "$share/icons/hicolor/scalable/apps/talloway.svg" || fail "icon is not well-formed"
for size in 16 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/talloway.png
  [ -f "$png" ] || fail "no ${size}px icon"
  # The PNG header's width and height, big-endian at bytes 16 and 20.
  dims=$(od -An --endian=big -tu4 -j16 -N8 "$png" | tr -s ' ')
  want=" $size $size"
  [ "$dims" = "$want" ] || fail "${size}px icon has size $dims"
done

xml=$share/mime/packages/talloway.xml
[ -f "$xml" ] || fail "no file type definition"
xmllint --noout "$xml" || fail "file type definition is not well-formed"
# The install refreshed the prefix's MIME database: both extensions map to the type.
globs=$share/mime/globs2
[ -f "$globs" ] || fail "MIME database not refreshed"
grep -q 'application/x-talloway-worksheet:\*\.wk1' "$globs" || fail ".wk1 not mapped"
grep -q 'application/x-talloway-worksheet:\*\.wks' "$globs" || fail ".wks not mapped"
grep -q 'application/x-talloway-worksheet' "$share/mime/magic" || fail "no content match"
if command -v update-desktop-database >/dev/null; then
  grep -q 'application/x-talloway-worksheet=talloway.desktop' "$share/applications/mimeinfo.cache" ||
    fail "desktop database does not name the program for the type"
fi

# The glyph strip beside the program: a 20 x 1000 Windows bitmap.
btn=$prefix/bin/MACROS.BTN
[ -f "$btn" ] || fail "no glyph strip beside the program"
[ "$(head -c2 "$btn")" = "BM" ] || fail "the glyph strip is not a bitmap"
dims=$(od -An -td4 -j18 -N8 "$btn" | tr -s ' ')
[ "$dims" = " 20 1000" ] || fail "the glyph strip has size $dims"

example=$share/talloway/examples/showcase.wk1
[ -f "$example" ] || fail "no example worksheet"
"$prefix/bin/talloway-cli" "$example" --dump >/dev/null || fail "installed talloway-cli cannot read the example"
echo "install layout OK"
