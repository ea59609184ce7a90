#!/usr/bin/env bash
# The real program in a real X server, used as a blackboard with the real pointer:
# write with the pen, erase part of it, stretch a straight line, lay the grid.
set -u
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tests/e2e/lib.sh
. "$here/lib.sh"
app=$1
work=$(mktemp -d)

start_x
"$app" &
APP_PID=$!
wait_window '平行線と線分の比' || { echo "FAIL: no window"; exit 1; }

red=255,0,0
white=255,255,255
green=0,128,0

click_at 500 24                # メモ
click_at 568 16                # bold red pen
board_drag 100 60 300 60 20
click_at 688 16                # bold eraser
board_drag 150 60 250 60 10
sleep 0.3
import -window "$WIN" "$work/memo.png"
expect_board_pixel "$work/memo.png" 120 60 $red "pen stroke"
expect_board_pixel "$work/memo.png" 280 60 $red "pen stroke"
expect_board_pixel "$work/memo.png" 200 60 $green "erased part of the stroke"
expect_board_pixel "$work/memo.png" 200 40 $green "above the stroke"

click_at 292 24                # 直線
board_drag 450 40 750 100 10
click_at 244 24                # 方眼
board_move 790 600
sleep 0.3
import -window "$WIN" "$work/lines.png"
expect_board_pixel "$work/lines.png" 600 70 $white "straight line"
expect_board_pixel "$work/lines.png" 13 50 0,0,0 "solid grid line"
expect_board_pixel "$work/lines.png" 13 0 0,0,0 "top grid line"
expect_board_pixel "$work/lines.png" 100 60 0,0,0 "grid line over the writing"
expect_board_pixel "$work/lines.png" 101 60 $red "writing beside the grid line"

# "初期画面" wipes it all.
click_at 176 24
sleep 0.3
import -window "$WIN" "$work/reset.png"
expect_board_pixel "$work/reset.png" 120 60 $green "writing after the reset"
expect_board_pixel "$work/reset.png" 600 70 $green "straight line after the reset"
expect_board_pixel "$work/reset.png" 13 50 $green "grid after the reset"

end_with_quit_button
rm -rf "$work"
[ "$FAILURES" -eq 0 ]
