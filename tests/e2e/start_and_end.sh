#!/usr/bin/env bash
# The real program in a real X server: it opens on the initial figure, follows a
# drag of p and a click on the picture of ℓ, and "終了" ends it with exit status 0.
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
import -window "$WIN" "$work/start.png"

white=255,255,255
expect_board_pixel "$work/start.png" 200 275 $white "line p"
expect_board_pixel "$work/start.png" 600 350 $white "line q"
expect_board_pixel "$work/start.png" 400 500 $white "line r"
expect_board_pixel "$work/start.png" 350 200 $white "transversal l"
expect_board_pixel "$work/start.png" 500 200 $white "transversal m"
expect_board_pixel "$work/start.png" 670 279 255,255,0 "arrowhead on p"
expect_board_pixel "$work/start.png" 100 100 0,128,0 "empty board"

# A drag of p with the real pointer: p follows it up by 75 px.
board_drag 30 275 30 200
sleep 0.3
import -window "$WIN" "$work/dragged.png"
expect_board_pixel "$work/dragged.png" 200 200 $white "line p after the drag"
expect_board_pixel "$work/dragged.png" 200 275 0,128,0 "where p was"

# The picture of ℓ shows ℓ's upward extension.
board_move 412 152
xdotool click 1
sleep 0.3
import -window "$WIN" "$work/extension.png"
expect_board_pixel "$work/extension.png" 433 75 $white "extension of l"

end_with_quit_button

# Every part of 終了's face ends the program: its corners, and the strip x 752 to 760
# that the eraser buttons' boxes reach over.
for point in "752 8" "756 14" "756 30" "760 40" "808 8" "808 40"; do
  "$app" &
  APP_PID=$!
  wait_window '平行線と線分の比' || { echo "FAIL: no window"; exit 1; }
  # shellcheck disable=SC2086
  end_with_quit_button $point
done
rm -rf "$work"
[ "$FAILURES" -eq 0 ]
