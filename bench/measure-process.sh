#!/usr/bin/env bash
# Whole-process figures under Xvfb with measure-window: start-up to first paint,
# resident memory, CPU per 1000 pointer moves (program and X server), repaints per
# 1000 moves and the time to settle, for a drag of ℓ's upper end, a pen stroke in
# memo mode, and a bare Qt window that ignores the moves. The three are run in turn,
# ROUNDS times, so that a noisy machine touches each alike; medians are reported.
#
#   bench/measure-process.sh [ROUNDS] [EARLIER]   (default 5)
#
# EARLIER, another build's folder (a worktree's build/release, say), adds its drag and
# pen stroke to every round, so that a change is measured before and after alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=$root/../shared/tools/measure-window
app=$root/build/release/parallel-lines
bare=$root/build/release/bench/bare_window
rounds=${1:-5}
earlier=${2:-}
out=$(mktemp -d)
names="drag pen bare"
[ -n "$earlier" ] && names="drag pen drag-earlier pen-earlier bare"

for r in $(seq "$rounds"); do
  "$tool" --name '平行線' --runs 1 --start 410,175 --json "$out/drag-$r.json" -- "$app" >/dev/null 2>&1
  # "メモ" at (500, 24), then the stroke from the middle of the board.
  "$tool" --name '平行線' --runs 1 --pre-click 500,24 --start 300,330 --json "$out/pen-$r.json" -- "$app" >/dev/null 2>&1
  if [ -n "$earlier" ]; then
    "$tool" --name '平行線' --runs 1 --start 410,175 --json "$out/drag-earlier-$r.json" -- "$earlier/parallel-lines" >/dev/null 2>&1
    "$tool" --name '平行線' --runs 1 --pre-click 500,24 --start 300,330 --json "$out/pen-earlier-$r.json" -- "$earlier/parallel-lines" >/dev/null 2>&1
  fi
  "$tool" --name 'bare window' --runs 1 --start 410,175 --json "$out/bare-$r.json" -- "$bare" >/dev/null 2>&1
done

python3 - "$out" "$rounds" $names <<'PY'
import json, statistics, sys
out, rounds, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
keys = ["t_first_paint_s", "rss_2s_kb", "drag_cpu_ms_per_1000", "drag_xvfb_cpu_ms",
        "frames_per_1000_moves", "settle_after_last_move_ms"]
print(f"{'median of ' + str(rounds):<16}" + "".join(f"{k:>28}" for k in keys))
for name in names:
    runs = [json.load(open(f"{out}/{name}-{r}.json"))["runs"][0] for r in range(1, rounds + 1)]
    row = []
    for k in keys:
        vals = [run[k] for run in runs if run.get(k) is not None]
        row.append(statistics.median(vals) if vals else float("nan"))
    print(f"{name:<16}" + "".join(f"{v:>28}" for v in row))
PY
rm -rf "$out"
