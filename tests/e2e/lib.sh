# Helpers for driving the real program in a private X server.
# shellcheck shell=bash

# The window's name is Japanese, and xdotool finds it by name only in a UTF-8 locale,
# whatever the caller's (a bare system's login has none). C.UTF-8 is always there.
export LC_ALL=C.UTF-8

# Starts Xvfb on a free display and exports DISPLAY; the server ends with the script.
start_x() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$fd_file" 2>/dev/null &
  XVFB_PID=$!
  for _ in $(seq 100); do
    [ -s "$fd_file" ] && break
    sleep 0.05
  done
  DISPLAY=":$(cat "$fd_file")"
  export DISPLAY
  rm -f "$fd_file"
  trap stop_x EXIT
}

stop_x() {
  [ -n "${APP_PID:-}" ] && kill "$APP_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  wait 2>/dev/null || true
}

# Waits for the program's window and sets WIN, WIN_X, WIN_Y (its client area's origin).
wait_window() {
  WIN=$(xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  [ -n "$WIN" ] || return 1
  eval "$(xdotool getwindowgeometry --shell "$WIN")"
  WIN_X=$X
  WIN_Y=$Y
  # Let the first frame land before anything looks at it.
  sleep 0.3
}

# Prints "r,g,b" of pixel (x, y) of a PNG.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)],%[fx:int(255*p{$2,$3}.g+0.5)],%[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Checks pixel (x, y) of the board's drawing area in a screenshot of the window.
FAILURES=0
expect_board_pixel() {
  local shot=$1 x=$2 y=$3 want=$4 what=$5 got
  got=$(pixel "$shot" $((10 + x)) $((50 + y)))
  if [ "$got" = "$want" ]; then
    echo "ok: $what ($x, $y) is $want"
  else
    echo "FAIL: $what ($x, $y) is $got, expected $want"
    FAILURES=$((FAILURES + 1))
  fi
}

# Clicks window pixel (x, y) with the real pointer.
click_at() {
  xdotool mousemove --sync $((WIN_X + $1)) $((WIN_Y + $2)) click 1
}

# Moves the real pointer to pixel (x, y) of the board's drawing area.
board_move() {
  xdotool mousemove --sync $((WIN_X + 10 + $1)) $((WIN_Y + 50 + $2))
}

# Drags with the left button from one point of the drawing area to another in steps.
board_drag() {
  local x0=$1 y0=$2 x1=$3 y1=$4 steps=${5:-10} i
  board_move "$x0" "$y0"
  xdotool mousedown 1
  for i in $(seq 1 "$steps"); do
    board_move $((x0 + (x1 - x0) * i / steps)) $((y0 + (y1 - y0) * i / steps))
  done
  xdotool mouseup 1
}

# Ends the program by a click on "終了" (at window pixel x, y; its middle if not
# given) and checks its exit status.
end_with_quit_button() {
  local status=timeout x=${1:-780} y=${2:-24}
  click_at "$x" "$y"
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
    echo "ok: 終了 at ($x, $y) ended the program with status 0"
  else
    echo "FAIL: after 終了 at ($x, $y) the program's status is $status"
    FAILURES=$((FAILURES + 1))
  fi
}
