#!/usr/bin/env bash
# The real program in a real X server: it opens on the initial figure, and "終了"
# ends it with exit status 0.
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

# "終了" at (752, 8), 57 x 33.
click_at 780 24
status=timeout
for _ in $(seq 50); do
  if ! kill -0 "$APP_PID" 2>/dev/null; then
    wait "$APP_PID"
    status=$?
    break
  fi
  sleep 0.1
done
APP_PID=
if [ "$status" = 0 ]; then
  echo "ok: 終了 ended the program with status 0"
else
  echo "FAIL: after 終了 the program's status is $status"
  FAILURES=$((FAILURES + 1))
fi

rm -rf "$work"
[ "$FAILURES" -eq 0 ]
