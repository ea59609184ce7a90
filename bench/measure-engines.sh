#!/usr/bin/env bash
# The page beside the blank page in Chromium, Firefox ESR and WebKitGTK (in a virtual X
# display), with bench/page-engines.mjs.
#
#   bench/measure-engines.sh [ROUNDS] [ENGINES...]   (needs `make web` and tests/web's npm ci)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
unset NODE_PATH
exec xvfb-run -a -s "-screen 0 7700x4500x24 -nolisten tcp" node "$root/bench/page-engines.mjs" "$@"
