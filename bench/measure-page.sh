#!/usr/bin/env bash
# Page figures in Debian's headless Chromium with measure-page.mjs (shared tools):
# time to the first painted figure, main-thread task time per 1000 pointer moves (at
# 1000 moves a second, button held) for a drag of ℓ's upper end and for a pen stroke
# in memo mode, beside the floor: a blank page of the same size with a pointer-move
# listener that does nothing. The three run in turn, ROUNDS times, so that a noisy
# machine touches each alike; medians are reported. Then the page's file size, its
# JavaScript heap and wasm memory after a minute of writing, and the hosted site's start
# beside the single file's, from a cold cache and from its worker's cache.
#
#   bench/measure-page.sh [ROUNDS] [EARLIER]   (default 5; needs `make web` and tests/web's npm ci)
#
# EARLIER, another build's page (a worktree's build/web/parallel-lines.html, say), adds
# its drag and pen stroke to every round, so that a change is measured before and
# after alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tools=$root/../shared/tools
page=$root/build/web/parallel-lines.html
floor=$tools/page-floor/blank.html
rounds=${1:-5}
earlier=${2:+$(realpath "$2")}
out=$(mktemp -d)
names="drag pen floor"
[ -n "$earlier" ] && names="drag pen drag-earlier pen-earlier floor"
# The tool runs from a folder whose node_modules has puppeteer-core and pngjs.
runner=$root/tests/web/.measure-page.mjs
cp "$tools/measure-page.mjs" "$runner"
trap 'rm -f "$runner"; rm -rf "$out"' EXIT
cd "$root/tests/web"
unset NODE_PATH

# p is white at window pixel (210, 325) once the figure is painted, on both pages.
probe=210,325,FFFFFF
for r in $(seq "$rounds"); do
  node "$runner" --page "$page" --runs 1 --probe $probe --start 410,175 --json "$out/drag-$r.json" >/dev/null
  # "メモ" at window pixel (500, 24), then the stroke in the middle of the board.
  node "$runner" --page "$page" --runs 1 --probe $probe --pre-click 500,24 --start 310,380 \
    --json "$out/pen-$r.json" >/dev/null
  if [ -n "$earlier" ]; then
    node "$runner" --page "$earlier" --runs 1 --probe $probe --start 410,175 --json "$out/drag-earlier-$r.json" >/dev/null
    node "$runner" --page "$earlier" --runs 1 --probe $probe --pre-click 500,24 --start 310,380 \
      --json "$out/pen-earlier-$r.json" >/dev/null
  fi
  node "$runner" --page "$floor" --runs 1 --probe $probe --start 410,175 --json "$out/floor-$r.json" >/dev/null
done

python3 - "$out" "$rounds" $names <<'PY'
import json, statistics, sys
out, rounds, names = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
keys = ["t_figure_ms", "TaskDuration_ms_per_1000", "ScriptDuration_ms_per_1000",
        "tree_cpu_ms_per_1000", "pointermoves_seen", "tree_pss_2s_kb"]
print(f"{'median of ' + str(rounds):<16}" + "".join(f"{k:>28}" for k in keys))
for name in names:
    runs = [json.load(open(f"{out}/{name}-{r}.json"))["runs"][0] for r in range(1, rounds + 1)]
    row = []
    for k in keys:
        vals = [run[k] for run in runs if isinstance(run.get(k), (int, float))]
        row.append(statistics.median(vals) if vals else float("nan"))
    print(f"{name:<16}" + "".join(f"{v:>28}" for v in row))
PY
echo "file: $(stat -c %s "$page") bytes"
node "$root/bench/page-memory.mjs" "$page"
node "$root/bench/site-start.mjs" "$rounds"
