#!/usr/bin/env bash
# Lighthouse (pinned by bench/lighthouse/package-lock.json) on the site as a host
# serves it, in Debian's Chromium: the four scores, with the mobile and the desktop
# settings, and the audits that lost points.
#
#   bench/lighthouse.sh [SITE]    (default build/web/site; `make web` first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
site=$(cd "${1:-$root/build/web/site}" && pwd)
cd "$root/bench/lighthouse"
[ node_modules/.package-lock.json -nt package-lock.json ] || npm ci --no-audit --no-fund >/dev/null
out=$(mktemp -d)
python3 -m http.server 0 --bind 127.0.0.1 --directory "$site" >"$out/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; [ -n "${KEEP:-}" ] && cp "$out"/*.json /tmp/ ; rm -rf "$out"' EXIT
for _ in $(seq 50); do
  port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$out/server.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
for preset in mobile desktop; do
  extra=()
  [ "$preset" = desktop ] && extra=(--preset=desktop)
  CHROME_PATH=/usr/bin/chromium npx lighthouse "http://127.0.0.1:$port/" "${extra[@]}" --quiet \
    --chrome-flags="--headless=new --no-sandbox" --output=json --output-path="$out/$preset.json" >/dev/null 2>&1
  node -e '
    const r = require(process.argv[1]);
    const scores = Object.values(r.categories).map(c => `${c.title} ${Math.round(c.score * 100)}`);
    console.log(`${process.argv[2]}: ${scores.join(", ")}`);
    for (const c of Object.values(r.categories))
      for (const a of c.auditRefs)
        if (a.weight > 0 && r.audits[a.id].score !== null && r.audits[a.id].score < 1)
          console.log(`  ${c.title}: ${r.audits[a.id].title} (${r.audits[a.id].displayValue || r.audits[a.id].score})`);
  ' "$out/$preset.json" "$preset"
done
