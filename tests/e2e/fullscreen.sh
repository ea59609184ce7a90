#!/usr/bin/env bash
# The real program on a 1280 x 1024 projector under a window manager: F11 fills the
# screen with the whole window scaled by 1024 / 687 and centred; the figure, a drag
# and the chalk work at that size; F11 again gives back the 822 x 687 window, the
# board and its writing as they were.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$here/lib.sh"
app=$1
work=$(mktemp -d)

start_x 1280x1024x24
# Full screen is the window manager's to grant, as on every desktop.
openbox --sm-disable >/dev/null 2>&1 &
WM_PID=$!
trap 'kill $WM_PID 2>/dev/null; stop_x' EXIT
sleep 0.5
"$app" &
APP_PID=$!
wait_window '平行線と線分の比' || { echo "FAIL: no window"; exit 1; }
xdotool windowactivate --sync "$WIN" 2>/dev/null || true

# The window manager frames the window: clicks go by the window's own pixels.
click_at() { xdotool mousemove --window "$WIN" "$1" "$2" sleep 0.1 click 1; }
board_move() { xdotool mousemove --window "$WIN" $((10 + $1)) $((50 + $2)) sleep 0.02; }

red=255,0,0
white=255,255,255
green=0,128,0

# Where a pixel of the drawing area lands on the screen in full screen: the window
# scaled by 1024 / 687 from (27, 0), the board's widget on whole pixels at (39, 72).
scale=$(echo "1024 / 687" | bc -l)
sx() { printf '%.0f' "$(echo "39 + ($1 + 2.5) * $scale - 0.5" | bc -l)"; }
sy() { printf '%.0f' "$(echo "72 + ($1 + 2.5) * $scale - 0.5" | bc -l)"; }
expect_screen_pixel() {
  local shot=$1 x=$2 y=$3 want=$4 what=$5 got
  got=$(pixel "$shot" "$(sx "$x")" "$(sy "$y")")
  if [ "$got" = "$want" ]; then
    echo "ok: $what ($x, $y) is $want"
  else
    echo "FAIL: $what ($x, $y) at screen ($(sx "$x"), $(sy "$y")) is $got, expected $want"
    FAILURES=$((FAILURES + 1))
  fi
}
expect_geometry() {
  local want=$1 got
  got=$(xdotool getwindowgeometry "$WIN" | sed -n 's/.*Geometry: //p')
  if [ "$got" = "$want" ]; then
    echo "ok: the window is $want"
  else
    echo "FAIL: the window is $got, expected $want"
    FAILURES=$((FAILURES + 1))
  fi
}
f11() {
  xdotool key --clearmodifiers F11
  sleep 0.8
}
screen_drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 steps=$5 i
  xdotool mousemove --sync "$x0" "$y0" mousedown 1
  for i in $(seq 1 "$steps"); do
    xdotool mousemove --sync $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps))
  done
  xdotool mouseup 1
}
board_of() { convert "$1" -crop "806x630+$2+$3" +repage "$4"; }

# Writing made in the window must come back from full screen as sharp as it was.
click_at 500 24                # メモ
board_drag 100 600 300 610 20
click_at 500 24
import -window "$WIN" "$work/before.png"
expect_board_pixel "$work/before.png" 200 605 $red "writing before full screen"
f11
expect_geometry 1280x1024
import -window root "$work/full.png"
for line in 275:p 350:q 500:r; do
  y=${line%:*}
  expect_screen_pixel "$work/full.png" 200 "$y" $white "${line#*:} at its scaled height"
  expect_screen_pixel "$work/full.png" 200 $((y + 6)) $green "below ${line#*:}"
done
f11
expect_geometry 822x687
import -window "$WIN" "$work/after.png"
board_of "$work/before.png" 8 48 "$work/board-before.png"
board_of "$work/after.png" 8 48 "$work/board-after.png"
differ=$(compare -metric AE "$work/board-before.png" "$work/board-after.png" null: 2>&1)
if [ "$differ" = 0 ]; then
  echo "ok: after F11 twice every pixel of the board is as it was"
else
  echo "FAIL: after F11 twice $differ pixels of the board differ"
  FAILURES=$((FAILURES + 1))
fi

# In full screen: ℓ's upper end dragged right by 30 layout pixels, in screen pixels,
# swings ℓ about B to (430, 125)-(70, 575); then a stroke of chalk.
f11
screen_drag "$(sx 400)" "$(sy 125)" $(($(sx 400) + 45)) "$(sy 125)" 9
xdotool mousemove --sync "$(printf '%.0f' "$(echo "27 + 500 * $scale" | bc -l)")" \
  "$(printf '%.0f' "$(echo "24 * $scale" | bc -l)")" click 1   # メモ
screen_drag "$(sx 100)" "$(sy 60)" "$(sx 300)" "$(sy 60)" 20
sleep 0.3
import -window root "$work/drawn.png"
expect_screen_pixel "$work/drawn.png" 370 200 $white "ℓ swung about B"
expect_screen_pixel "$work/drawn.png" 350 200 $green "where ℓ stood"
expect_screen_pixel "$work/drawn.png" 200 60 $red "chalk"
# As thick as the layout's 3 pixels scaled by 1024 / 687 make it.
thick=$(convert "$work/drawn.png" -crop "1x40+$(sx 200)+$(($(sy 60) - 20))" +repage txt:- |
        grep -cE '\((2[0-9][0-9]|1[3-9][0-9]),([0-9]|[1-9][0-9]),0\)')
if [ "$thick" -ge 4 ]; then
  echo "ok: the chalk is $thick screen pixels thick"
else
  echo "FAIL: the chalk is $thick screen pixels thick, not 3 scaled by 1024 / 687"
  FAILURES=$((FAILURES + 1))
fi
f11
expect_geometry 822x687
import -window "$WIN" "$work/back.png"
expect_board_pixel "$work/back.png" 200 60 $red "chalk kept"
expect_board_pixel "$work/back.png" 370 200 $white "ℓ where it was left"

end_with_quit_button
rm -rf "$work"
[ "$FAILURES" -eq 0 ]
