#!/usr/bin/env bash
# The browser tests: the page that `make web` builds, in each engine in turn (Debian's
# Chromium and Firefox ESR, and WebKitGTK in a virtual X display), with puppeteer-core
# and pngjs from tests/web/node_modules (`npm ci` there installs them).
#
#   run.sh [PAGE]              every engine
#   PL_ENGINES=firefox run.sh  only those named
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
PL_PAGE=$(realpath "${1:-$here/../../build/web/parallel-lines.html}")
export PL_PAGE
# No page built (a build of the window alone): skipped, and said so (ctest counts 77
# as skipped).
[ -f "$PL_PAGE" ] || { echo "skipped: no page at $PL_PAGE (make web builds it)"; exit 77; }
[ -d "$here/node_modules/puppeteer-core" ] || { echo "no puppeteer-core: run npm ci in $here"; exit 1; }
cd "$here"
status=0
for engine in ${PL_ENGINES:-chromium firefox webkit}; do
  echo "== $engine"
  start=$(date +%s)
  if [ "$engine" = webkit ]; then
    # Big enough for a 4K window at twice the density, where X presses must land.
    run=(xvfb-run -a -s "-screen 0 7700x4500x24 -nolisten tcp")
  else
    run=()
  fi
  PL_ENGINE=$engine "${run[@]}" node --test --test-concurrency=1 suite.test.mjs || status=1
  echo "== $engine: $(( $(date +%s) - start )) s"
done
exit $status
