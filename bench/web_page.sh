#!/usr/bin/env bash
# Web page export: the page's size for each sample model and for generated models of
# 1,000 and 10,000 records (textured look, the export's default), and the time from
# opening the page from disk to its first frame in headless Chromium with software
# WebGL (best of three, each in a fresh tab). Needs node, chromium and
# puppeteer-core, which ./test installs.
#   bench/web_page.sh [counts...]        (default: 1000 10000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/common.sh"
COUNTS=("$@")
[ $# -gt 0 ] || COUNTS=(1000 10000)
WORK="$(mktemp -d /tmp/orx-bench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT
export PUPPETEER_CORE_DIR="$PUPPETEER_CORE_PREFIX/node_modules"
export CHROMIUM="${CHROMIUM:-$(command -v chromium)}"

pages=()
for model in "$BUILD"/bin/modelle/*.gl; do
  name="$(basename "$model" .gl)"
  "$BUILD/bin/orx-render" "$model" "$WORK/$name.html"
  pages+=("$WORK/$name.html")
done
for n in "${COUNTS[@]}"; do
  "$BUILD/tools/gen-models" bench "$n" 7 "$WORK/m${n}3d.gl" "$WORK/m$n.obj" >/dev/null
  "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/m$n.html"
  pages+=("$WORK/m$n.html")
done
echo "load: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "| page | size | opening to the first frame (best of 3) |"
echo "|---|---|---|"
node "$ROOT/bench/web_page.mjs" "${pages[@]}"
