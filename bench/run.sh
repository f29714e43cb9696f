#!/usr/bin/env bash
# Whole-run benchmarks: opening generated furniture models of 1,000, 10,000 and
# 100,000 records plus the first frame with orx-render, against f3d opening the
# same geometry as OBJ, both writing an 800 x 600 picture; frame replay time;
# parser throughput. Installs f3d (Debian's package) and GNU time when missing.
#   bench/run.sh [counts...]        (default: 1000 10000 100000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/common.sh"
install_packages
PACKAGES=(f3d time)
install_packages
build >/dev/null
COUNTS=("${@:-1000 10000 100000}")
[ $# -gt 0 ] || COUNTS=(1000 10000 100000)
WORK="$(mktemp -d /tmp/orx-bench-XXXXXX)"
trap 'rm -rf "$WORK"; [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true' EXIT
start_xvfb_if_needed

echo "## Parser"
"$BUILD/bench/orx-parser-bench" --benchmark_format=console 2>/dev/null | grep -E "^BM_"
echo
echo "| records | orx-render (start, open, first frame, picture) | f3d on the same OBJ | ratio | orx peak MiB | f3d peak MiB | frame replay |"
echo "|---|---|---|---|---|---|---|"
for n in "${COUNTS[@]}"; do
  "$BUILD/tools/gen-models" bench "$n" 7 "$WORK/m${n}3d.gl" "$WORK/m$n.obj" >/dev/null
  read -r ot om < <(measure "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/o.bmp" --mode 3 --size 800x600)
  read -r ft fm < <(measure f3d --no-background --resolution=800,600 --output="$WORK/f.png" "$WORK/m$n.obj")
  frame=$("$BUILD/bench/orx-open-bench" "$WORK/m${n}3d.gl" 5 800x600 | sed -E 's/.*frame ([0-9.]+ ms).*/\1/')
  ratio=$(awk "BEGIN{printf \"%.2f\", $ot / $ft}")
  echo "| $n | $ot s | $ft s | $ratio | $om | $fm | $frame |"
done
