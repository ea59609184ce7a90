#!/usr/bin/env bash
# Builds the Debian package, unpacks it into a temporary root as an installation
# would lay it out, checks its menu entry and dependencies, and starts the program
# from there in a real X server.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$here/lib.sh"
build=$1
work=$(mktemp -d)
FAILURES=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAIL: $1"; FAILURES=$((FAILURES + 1)); fi
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/*.deb)
root="$work/root"
dpkg-deb -x "$deb" "$root"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"

check "the program is installed" "[ -x '$root/usr/bin/parallel-lines' ]"
check "the menu entry is installed" "[ -f '$root/usr/share/applications/parallel-lines.desktop' ]"
check "the menu entry is valid" "desktop-file-validate '$root/usr/share/applications/parallel-lines.desktop'"
check "the menu entry names the lesson in Japanese" "grep -q 'Name\[ja\]=平行線と線分の比' '$root/usr/share/applications/parallel-lines.desktop'"
check "the menu entry is filed under Education and Math" "grep -q '^Categories=Education;Math;' '$root/usr/share/applications/parallel-lines.desktop'"
for size in 16 32 48 128 256; do
  check "a ${size}px icon" "[ -f '$root/usr/share/icons/hicolor/${size}x${size}/apps/parallel-lines.png' ]"
done
check "depends on Qt's widgets, from the binary" "grep -q 'libqt6widgets6' <<<'$depends'"
check "depends on the Japanese fonts" "grep -q 'fonts-ipafont-mincho' <<<'$depends'"

start_x
"$root/usr/bin/parallel-lines" &
APP_PID=$!
if wait_window '平行線と線分の比'; then
  import -window "$WIN" "$work/shot.png"
  expect_board_pixel "$work/shot.png" 200 275 255,255,255 "line p, from the unpacked package"
  end_with_quit_button
else
  echo "FAIL: the unpacked program opened no window"
  FAILURES=$((FAILURES + 1))
fi

rm -rf "$work"
[ "$FAILURES" -eq 0 ]
