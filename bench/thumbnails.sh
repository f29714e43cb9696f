#!/usr/bin/env bash
# Thumbnails as file managers ask for them: orx-render --thumbnail at the common
# sizes (128 normal, 256 large, 1024 the largest) on generated furniture models,
# whole processes from start to the written PNG, best of three runs (wall time,
# processor time, peak memory). Installs GNU time when missing.
#   bench/thumbnails.sh [counts...]     (default: 1000 10000 100000)
set -euo pipefail
ROOT="$(cd "$(dirname "$0")/.." && pwd)"
BUILD="${ORX_BUILD_DIR:-$ROOT/build}"
source "$ROOT/scripts/common.sh"
install_packages
install_packages time
build >/dev/null
COUNTS=("$@")
[ $# -gt 0 ] || COUNTS=(1000 10000 100000)
WORK="$(mktemp -d /tmp/orx-bench-XXXXXX)"
trap 'rm -rf "$WORK"' EXIT

measure() {  # prints "wall-seconds cpu-seconds peak-MiB" of the fastest of 3 runs
  local best="" cpu="" mem=""
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %U %S %M" -o "$WORK/t" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
    read -r s u k m < "$WORK/t"
    if [ -z "$best" ] || awk "BEGIN{exit !($s < $best)}"; then
      best=$s; cpu=$(awk "BEGIN{printf \"%.2f\", $u + $k}"); mem=$((m / 1024))
    fi
  done
  echo "$best $cpu $mem"
}

# For comparison, the 800 x 600 solid picture of bench/run.sh is measured alongside.
echo "| records | size | wall | processor | peak MiB |"
echo "|---|---|---|---|---|"
for n in "${COUNTS[@]}"; do
  "$BUILD/tools/gen-models" bench "$n" 7 "$WORK/m${n}3d.gl" "$WORK/m$n.obj" >/dev/null
  read -r wall cpu mem < <(measure "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/o.bmp" --mode 3)
  echo "| $n | 800 x 600 solid, no thumbnail | $wall s | $cpu s | $mem |"
  for size in 128 256 1024; do
    read -r wall cpu mem < <(measure "$BUILD/bin/orx-render" "$WORK/m${n}3d.gl" "$WORK/t.png" --thumbnail "$size")
    echo "| $n | $size | $wall s | $cpu s | $mem |"
  done
done
