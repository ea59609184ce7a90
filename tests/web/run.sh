#!/usr/bin/env bash
# The browser tests: the page that `make web` builds, in Debian's headless Chromium,
# with puppeteer-core from tests/web/node_modules (`npm ci` there installs it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
PL_PAGE=$(realpath "${1:-$here/../../build/web/parallel-lines.html}")
export PL_PAGE
[ -f "$PL_PAGE" ] || { echo "no page at $PL_PAGE: run make web"; exit 1; }
[ -d "$here/node_modules/puppeteer-core" ] || { echo "no puppeteer-core: run npm ci in $here"; exit 1; }
cd "$here"
exec node --test --test-concurrency=1
